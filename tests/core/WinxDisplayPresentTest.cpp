#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "core/Palette.h"
#include "core/winx_Display.h"
#include "platform/SdlVideo.h"
#include "platform/Window.h"
#include "support/WindowCheck.h"

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

// Pages sent in part (only the rows that changed, scaled into the 1024 x 768 window of the
// dummy driver in bands of whole scaling periods) leave the window exactly as the same pages
// sent whole: single rows at any place, scattered rows, bands, every row, palette changes.
TEST(WinxDisplayPresent, PartialPresentsLeaveTheWindowAsWholeOnes) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_NE(winx_CreateMainWindow("Quarnex present test", QuietProc), nullptr);
    {
        winx_Display screen;
        screen.cursorShape = -1;
        screen.SetPalette(new Palette());
        Palette& palette = *screen.GetPalette();
        for (int i = 1; i < 255; ++i)
            palette.entries[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                     static_cast<uint8_t>(i * 3)};
        screen.SetPalette(&palette);
        screen.Present();
        const int32_t partialBefore = screen.PartialPresents();
        EXPECT_EQ(PartialPresentMismatch(screen, palette, 60), "");
        // Nearly all of those pages went in part, palette changes too: the comparison checked
        // the partial path.
        EXPECT_GE(screen.PartialPresents() - partialBefore, 55);

        // With partial presents off, a changed row sends the page whole.
        screen.AllowPartialPresents(false);
        const int32_t partialOff = screen.PartialPresents();
        const int32_t sentOff = screen.Presents();
        std::memcpy(screen.BackPage(), screen.FrontPage(), 640 * 480);
        screen.BackPage()[640 * 200] = static_cast<uint8_t>(screen.FrontPage()[640 * 200] + 1);
        screen.Present();
        EXPECT_EQ(screen.Presents(), sentOff + 1);
        EXPECT_EQ(screen.PartialPresents(), partialOff);
        // A movie drawing on the window is followed by a whole present, even of a small change.
        screen.AllowPartialPresents(true);
        winx_NoteForeignPresent();
        std::memcpy(screen.BackPage(), screen.FrontPage(), 640 * 480);
        screen.BackPage()[640 * 300] = static_cast<uint8_t>(screen.FrontPage()[640 * 300] + 1);
        screen.Present();
        EXPECT_EQ(screen.PartialPresents(), partialOff);
        const std::vector<uint32_t> afterMovie = WindowPixels();
        EXPECT_EQ(afterMovie, WindowPixelsOfWholePresent(screen, palette));
    }
    winx_ReleaseMainWindow();
}

}  // namespace
