#pragma once
// The current mission's briefing text over the battle screen, with a button to go back to the
// game and one to leave it be (both close the dialog). The battle screen makes it when the
// options overlay closes with the mission-text request, gives it every event, ticks it in
// place of itself and draws it on top until it answers.
#include <cstdint>
#include <memory>

#include "core/Rect.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class InputEvent;

class MissionTextDialog : public ScreenBase {
public:
    static constexpr char kPack[] = "7a0ukxxx99s999.msp";
    static constexpr int32_t kNone = 3;
    static constexpr int32_t kMaxText = 1023;
    static constexpr int32_t kTextColour = 10;

    // A null text shows nothing; a longer one is cut to kMaxText characters.
    explicit MissionTextDialog(const char* text);
    ~MissionTextDialog() override;

    int Load() override;
    void Unload() override;
    // Takes the queued events; 0 when the dialog is done.
    int HandleEvents(int elapsedMs) override;
    // 0 when the dialog is done.
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    int32_t ButtonAt(const InputEvent& event) const;
    // 0 when the key answered the dialog.
    int HandleKey(const InputEvent& event);
    // 0 when the answer closes the dialog: 1 goes on (exit code 0), 0 backs out (exit code 1).
    int Answer(int32_t answer);

    const char* Text() const { return text; }
    Button* ButtonOf(int32_t index) const;

private:
    // One event of the batch; 0 when it answered the dialog.
    int HandleOne(const InputEvent& event);

    char text[kMaxText + 1] = {};
    Rect screenRect;
    std::unique_ptr<Bitmap> background;
    std::unique_ptr<Button> buttons[2];
    int32_t hovered = kNone;
    int32_t pressed = kNone;
    int32_t pending = kNone;
};
