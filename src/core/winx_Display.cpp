#include "core/winx_Display.h"

#include <algorithm>
#include <cstring>

#include "core/FatalError.h"
#include "platform/SdlVideo.h"
#include "platform/Window.h"

namespace {
// An unchanged frame is sent again after this long: the window system may have lost it.
constexpr std::chrono::milliseconds kRefreshAnyway{500};
}  // namespace

winx_Display::winx_Display(winx_HWND window) {
    video = std::make_unique<winx_SdlVideo>(winx_SdlWindowOf(window), kScreenWidth, kScreenHeight);
    if (!video->Ok()) FatalError(4);
    refreshInterval = std::chrono::microseconds(1000000 / video->RefreshRate());
    const auto& colours = HardwarePalette();
    for (int i = 0; i < 256; ++i) {
        argb[i] = 0xFF000000u | (colours[i].r << 16) | (colours[i].g << 8) | colours[i].b;
    }
}

winx_Display::~winx_Display() = default;

int winx_Display::SetDisplayMode(int, int, int) {
    return 1;
}

void winx_Display::SetPalette(Palette* newPalette) {
    MemoryDisplay::SetPalette(newPalette);
    const auto& colours = HardwarePalette();
    for (int i = 0; i < 256; ++i) {
        argb[i] = 0xFF000000u | (colours[i].r << 16) | (colours[i].g << 8) | colours[i].b;
    }
}

void winx_Display::Show() {
    showPending = false;
    ++shows;
    lastShown = std::chrono::steady_clock::now();
    // A frame that shows what the window already shows is not sent again: the conversion and
    // the renderer's present are nearly all of a frame's cost on a still screen. It is sent
    // again after a while all the same, since the window system may have lost it.
    const size_t bytes = static_cast<size_t>(kScreenWidth) * kScreenHeight;
    const uint8_t* page = FrontPage();
    const bool known = shownPage.size() == bytes;
    const bool samePalette = std::memcmp(shownArgb, argb, sizeof argb) == 0;
    // Only the rows that differ from what the window shows are converted and sent.
    bool anyRow = !known;
    if (known) {
        for (int y = 0; y < kScreenHeight; ++y) {
            const size_t at = static_cast<size_t>(y) * kScreenWidth;
            changedRows[y] = std::memcmp(shownPage.data() + at, page + at, kScreenWidth) != 0;
            anyRow = anyRow || changedRows[y];
        }
    }
    // A new palette (palette cycling: a few entries, several times a second) shows anew only
    // the rows that hold one of the colours it changed.
    if (known && !samePalette) {
        // The changed entries as one range (cycling changes a run of neighbours): a row that
        // holds any index of the range is shown anew, which may take a few rows more than
        // needed but tests sixteen pixels at a time.
        int low = 256, high = -1;
        for (int i = 0; i < 256; ++i) {
            if (argb[i] == shownArgb[i]) continue;
            low = std::min(low, i);
            high = i;
        }
        const uint8_t first = static_cast<uint8_t>(low), span = static_cast<uint8_t>(high - low);
        for (int y = 0; y < kScreenHeight; ++y) {
            if (changedRows[y]) continue;
            const uint8_t* row = page + static_cast<size_t>(y) * kScreenWidth;
            uint8_t shows = 0;
            for (int x = 0; x < kScreenWidth; ++x)
                shows |= static_cast<uint8_t>(static_cast<uint8_t>(row[x] - first) <= span);
            changedRows[y] = shows;
        }
    }
    const bool same = !anyRow && samePalette && !video->OutputChanged();
    if (same && lastShown - lastSent < kRefreshAnyway) return;
    lastSent = lastShown;
    // The refresh of an unchanged frame, like the first one, sends every row.
    const bool whole = !known || same;
    if (!video->Show(page, kScreenWidth, argb, whole ? nullptr : changedRows, true))
        throw winx_Exception();
    if (whole) {
        shownPage.assign(page, page + bytes);
    } else {
        // Neighbouring changed rows lie next to each other in both pages: one copy a run.
        for (int y = 0; y < kScreenHeight;) {
            if (!changedRows[y]) {
                ++y;
                continue;
            }
            int end = y + 1;
            while (end < kScreenHeight && changedRows[end])
                ++end;
            const size_t at = static_cast<size_t>(y) * kScreenWidth;
            std::memcpy(shownPage.data() + at, page + at,
                        static_cast<size_t>(end - y) * kScreenWidth);
            y = end;
        }
    }
    std::memcpy(shownArgb, argb, sizeof argb);
}

int32_t winx_Display::Presents() const {
    return video->Presents();
}

int32_t winx_Display::PartialPresents() const {
    return video->PartialPresents();
}

void winx_Display::AllowPartialPresents(bool allow) {
    video->AllowPartial(allow);
}

void winx_Display::FrontPageChanged(bool presented) {
    // A present per mouse move would tie the loop to the screen's refresh; moves that come
    // faster are shown with the next frame.
    if (presented || std::chrono::steady_clock::now() - lastShown >= refreshInterval) {
        Show();
    } else {
        showPending = true;
    }
}

void winx_Display::Idle() {
    if (showPending && !IsSuspended()) FrontPageChanged(false);
}
