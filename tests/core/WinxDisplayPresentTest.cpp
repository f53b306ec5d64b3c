#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

#include "core/Palette.h"
#include "core/winx_Display.h"
#include "platform/SdlVideo.h"
#include "platform/Window.h"

namespace {

intptr_t QuietProc(winx_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return winx_DefWindowProc(window, message, wParam, lParam);
}

// What reaches the window over a run of frames: a frame equal to the one on the window is not
// sent again, while any change (a pixel, a palette entry, the window redrawn by someone else)
// is.
TEST(WinxDisplayPresent, SendsOnlyFramesThatDifferFromWhatTheWindowShows) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_NE(winx_CreateMainWindow("Quarnex present test", QuietProc), nullptr);
    {
        winx_Display screen;
        screen.cursorShape = -1;
        screen.SetPalette(new Palette());
        Palette& palette = *screen.GetPalette();
        screen.Present();
        const int32_t first = screen.Presents();
        EXPECT_GE(first, 1);

        struct Step {
            const char* what;
            void (*change)(winx_Display&, Palette&);
            int sent;
        };
        const Step steps[] = {
            {"unchanged", [](winx_Display&, Palette&) {}, 0},
            {"unchanged again", [](winx_Display&, Palette&) {}, 0},
            {"pixel", [](winx_Display& s, Palette&) { s.BackPage()[640 * 100 + 7] = 9; }, 1},
            // After the flip the back page is the older one: drawing it equal again shows
            // nothing new.
            {"redrawn alike", [](winx_Display& s, Palette&) { s.BackPage()[640 * 100 + 7] = 9; },
             0},
            {"palette only",
             [](winx_Display& s, Palette& p) {
                 p.entries[9] = Rgb{200, 10, 10};
                 s.SetPalette(&p);
             },
             1},
            // The palette it owns, set again: the entries are read afresh.
            {"palette set alike", [](winx_Display& s, Palette& p) { s.SetPalette(&p); }, 0},
            {"movie drew on the window", [](winx_Display&, Palette&) { winx_NoteForeignPresent(); },
             1},
        };
        for (const Step& step : steps) {
            const int32_t before = screen.Presents();
            step.change(screen, palette);
            screen.Present();
            EXPECT_EQ(screen.Presents() - before, step.sent) << step.what;
        }
        EXPECT_EQ(screen.Shows(), 1 + static_cast<int32_t>(std::size(steps)));
    }
    winx_ReleaseMainWindow();
}

}  // namespace
