#pragma once
// The screen of game mode 10: the exit pictures, a background with pages shown over it for
// about eight seconds each; a key or a click ends it, and the program then quits.
#include <cstdint>
#include <memory>

#include "core/Rect.h"
#include "ui/ScreenBase.h"

class SpriteSet;

class PictureScreen : public ScreenBase {
public:
    static constexpr int32_t kPageMs = 8000;
    static constexpr int32_t kExitPaletteRow = 26;
    static constexpr char kExitPicturePack[] = "7a1uzxxx99s999.msp";

    PictureScreen();
    ~PictureScreen() override;

    // Installs the exit palette and reads the pictures (one per pack row); a missing pack is
    // fatal.
    int Load() override;
    void Unload() override;
    int HandleEvents(int elapsedMs) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    int32_t Page() const { return page; }

private:
    // The last page index; a pack of the background alone still shows it for one page's time.
    int32_t LastPage() const;

    // Frame 0 the background, frames 1 to the last the pages.
    std::unique_ptr<SpriteSet> pictures;
    Rect screenRect;
    int32_t page = -1;
    int32_t elapsed = 0;
};
