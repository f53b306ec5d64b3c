#pragma once
// The overlay the battle screen opens over the map (Esc or its options button): save the game
// under a typed title, quit to the main menu, restart the mission, show the mission text, music
// on or off, and the game speed and volume sliders. Speed, volume and music take effect at once
// and are written to the settings file; the speed also goes to the other machines. The battle
// screen owns one for its whole life and gives it events, ticks and drawing while it is open.
#include <cstdint>
#include <memory>

#include "core/Rect.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class InputEvent;
class TextField;
class World;

class OptionsMenu : public ScreenBase {
public:
    enum Widget : int32_t {
        kQuit = 0,
        kSave = 1,
        kRestart = 2,
        kMissionText = 3,
        kMusic = 4,
        kSpeedSlider = 5,
        kVolumeSlider = 6,
        kWidgets = 7,
        kNone = 8,
    };
    static constexpr char kWidgetPack[] = "7a1ubxxx99s999.msp";
    static constexpr char kPicturePack[] = "7a0unxxx99s999.msp";
    static constexpr int32_t kTitleColour = 34;
    static constexpr int32_t kFieldColour = 54;
    static constexpr int32_t kValueColour = 10;
    // The longest saved-game title shown when the overlay opens.
    static constexpr int32_t kShownTitle = 63;

    OptionsMenu();
    ~OptionsMenu() override;

    int Load() override;
    void Unload() override;
    void Activate() override;
    // 1 when the overlay used the event.
    int HandleEvent(const InputEvent& event) override;
    // 0 when the overlay is to close.
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    int32_t WidgetAt(const InputEvent& event) const;
    int HandleKey(const InputEvent& event);
    // 0 when the overlay is to close.
    int DoAction(int32_t index);

    // The game speed 1 .. 5 a speed slider value stands for.
    static int32_t SpeedOfSlider(int32_t value);
    // The speed slider position that shows a speed.
    static int32_t SliderOfSpeed(int32_t speed) { return speed * 20 - 9; }

    // Everything the overlay draws lies inside it (the battle screen's region 0x29).
    static Rect Bounds() { return Rect(Point(142, 88), Point(497, 390)); }
    Button* WidgetOf(int32_t index) const;
    TextField* TitleField() const { return titleField.get(); }
    const char* Title() const { return title; }
    // Set by the mission-text button; the battle screen reads it when the overlay closes.
    int32_t MissionTextRequested() const { return missionTextRequested; }

private:
    // Saving needs a single-player game outside the tutorial.
    static bool SaveAllowed(World& world);
    int SaveUnderTitle(World& world);

    Rect overlayRect;
    std::unique_ptr<Bitmap> background;
    std::unique_ptr<Bitmap> saveUnavailable;
    std::unique_ptr<Button> widgets[kWidgets];
    int32_t hovered = kNone;
    int32_t pressed = kNone;
    int32_t pending = kNone;
    std::unique_ptr<TextField> titleField;
    // The field keeps at most 127 characters.
    char title[128] = {};
    int32_t missionTextRequested = 0;
};
