#pragma once
// The results screen's question after a lost mission: leave for the main menu, or play the
// mission again (in a network game only the menu: "go on" is struck out and leads there).
#include <cstdint>
#include <memory>

#include "core/Rect.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class InputEvent;
class World;

class NextMissionPrompt : public ScreenBase {
public:
    static constexpr int kLeave = 0;
    static constexpr int kGoOn = 1;
    static constexpr int kNone = 3;
    static constexpr char kPack[] = "7a1ufxxx99s999.msp";
    static constexpr char kKnobPack[] = "7a0unxxx99s999.msp";
    static constexpr int32_t kKnobRow = 65;

    explicit NextMissionPrompt(World& world);
    ~NextMissionPrompt() override;

    int Load() override;
    void Unload() override;
    int HandleEvent(const InputEvent& event) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;
    // After the accept sound: 0 ends the results screen.
    int Answer(int choice);

    Button* ButtonOf(int n) const { return buttons[n].get(); }

private:
    World& world;
    std::unique_ptr<Bitmap> prompt;
    std::unique_ptr<Bitmap> networkOverlay;
    Rect screenRect;
    std::unique_ptr<Button> buttons[2];
    int hovered = kNone;
    int pressed = kNone;
    int chosen = kNone;
};
