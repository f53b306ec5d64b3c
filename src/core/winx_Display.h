#pragma once
// The display device on the platform: the memory pages of MemoryDisplay shown in the main
// window through the palette. Presenting shows every frame; the cursor moving between frames
// shows the front page again, at most once per refresh of the screen.
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/MemoryDisplay.h"
#include "platform/Messages.h"

class winx_SdlVideo;

class winx_Display : public MemoryDisplay {
public:
    // Shows the pages in the window (the main window when null); without one the program
    // ends with "Cannot initialize DirectDraw".
    explicit winx_Display(winx_HWND window = nullptr);
    ~winx_Display() override;

    // Display modes are the window's business: every mode request succeeds.
    int SetDisplayMode(int width, int height, int bitsPerPixel) override;
    void SetPalette(Palette* palette) override;
    // The pages live in memory and cannot be lost.
    void RestoreLostSurfaces() override {}
    // Shows a cursor move that the refresh limit held back.
    void Idle() override;

    // How often the front page was to be shown, and how often it actually went to the window
    // (a page and palette equal to the last ones shown are not sent again).
    int32_t Shows() const { return shows; }
    int32_t Presents() const;
    // How many of those went to the window in part (only the rows that changed).
    int32_t PartialPresents() const;
    // Sends every page whole (off) or only its changed rows where the window allows (on).
    void AllowPartialPresents(bool allow);

protected:
    void FrontPageChanged(bool presented) override;

private:
    void Show();

    std::unique_ptr<winx_SdlVideo> video;
    uint32_t argb[256] = {};
    // What the window shows: a frame that shows the same again is not sent (an idle screen
    // would cost a core's share for nothing), but for a refresh now and then.
    std::vector<uint8_t> shownPage;
    uint32_t shownArgb[256] = {};
    // Which rows of the front page differ from shownPage (non-zero), found at each show.
    uint8_t changedRows[kScreenHeight] = {};
    std::chrono::steady_clock::time_point lastSent;
    std::chrono::steady_clock::time_point lastShown;
    std::chrono::microseconds refreshInterval{16667};
    bool showPending = false;
    int32_t shows = 0;
};
