#pragma once
// The screen of game mode 1: plays the intro movie, then shows the title picture for up to a
// minute and leads to the main menu on a key or a click; Esc quits and I plays the intro again.
#include <cstdint>
#include <memory>

#include "core/Rect.h"
#include "core/Timer.h"
#include "ui/ScreenBase.h"

class Bitmap;

class TitleScreen : public ScreenBase {
public:
    static constexpr int32_t kWaitMs = 60000;
    static constexpr int32_t kTitlePaletteRow = 24;
    static constexpr char kTitlePicturePack[] = "7a1utxxx00s000.msp";
    static constexpr char kIntroMovie[] = "intro.mov";
    // Cursor shapes: none while the intro may play, the arrow over the title.
    static constexpr int32_t kNoCursor = -1;
    static constexpr int32_t kArrowCursor = 34;

    enum class Phase : int32_t { StartIntro = 0, IntroPlaying = 1, StartWait = 2, ShowTitle = 3 };

    TitleScreen();
    ~TitleScreen() override;

    // Installs the title palette and reads the title picture; a missing pack is fatal.
    int Load() override;
    void Unload() override;
    int HandleEvents(int elapsedMs) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    Phase GetPhase() const { return phase; }

private:
    std::unique_ptr<Bitmap> titlePicture;
    Rect screenRect;
    Timer waitTimer{kWaitMs};
    Phase phase = Phase::StartIntro;
};
