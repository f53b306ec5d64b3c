#include "core/winx_Display.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/Palette.h"
#include "core/Settings.h"
#include "platform/Window.h"

namespace {

intptr_t QuietProc(winx_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return winx_DefWindowProc(window, message, wParam, lParam);
}

class WindowDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        window = winx_CreateMainWindow("Quarnex display test", QuietProc);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { winx_ReleaseMainWindow(); }
    winx_HWND window = nullptr;
};

TEST_F(WindowDisplay, CursorMovesShowAtMostOncePerRefresh) {
    winx_Display screen;
    // Every depth is converted for the window, so a movie's mode and the game's are both taken.
    EXPECT_EQ(screen.SetDisplayMode(640, 480, 16), 1);
    EXPECT_EQ(screen.SetDisplayMode(640, 480, 8), 1);
    screen.cursorShape = -1;
    screen.Present();
    const int32_t afterPresent = screen.Shows();
    // Two moves in quick succession reach the window at most once; the held-back one goes
    // out once a refresh has passed.
    screen.cursorPosition = Point(10, 10);
    screen.UpdateCursor();
    screen.cursorPosition = Point(20, 20);
    screen.UpdateCursor();
    EXPECT_LE(screen.Shows(), afterPresent + 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    screen.Idle();
    const int32_t settled = screen.Shows();
    EXPECT_GE(settled, afterPresent + 1);
    screen.Idle();  // nothing pending any more, neither now nor once a refresh has passed
    EXPECT_EQ(screen.Shows(), settled);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    screen.Idle();
    EXPECT_EQ(screen.Shows(), settled);
}

}  // namespace
