// SIGTERM ends the program at any stage: at once outside the main loop, by closing the window
// inside it, and at once when a second one comes before the loop took the first.
#include "platform/Termination.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "platform/FfmpegMovie.h"
#include "platform/Messages.h"
#include "platform/Window.h"

namespace {

intptr_t Ignore(winx_HWND, uint32_t, uintptr_t, intptr_t) {
    return 0;
}

}  // namespace

TEST(TerminationDeathTest, OutsideTheLoopTheSignalEndsTheProcessAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            winx_InstallTerminationHandler();
            winx_SetOrderlyTermination(0);
            std::raise(SIGTERM);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
    EXPECT_EXIT(
        {
            winx_InstallTerminationHandler();
            winx_SetOrderlyTermination(1);
            std::raise(SIGTERM);
            if (!winx_TerminationRequested()) std::exit(3);
            std::raise(SIGTERM);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

TEST(Termination, InsideTheLoopTheSignalClosesTheWindow) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    winx_InstallTerminationHandler();
    winx_SetOrderlyTermination(1);
    ASSERT_NE(winx_CreateMainWindow("Quarnex test", Ignore), nullptr);
    std::raise(SIGINT);
    winx_Msg msg;
    bool closed = false;
    while (winx_PeekMessage(&msg, 0, 0, PM_REMOVE))
        closed = closed || msg.message == WM_CLOSE;
    EXPECT_TRUE(closed);
    // The wait for the next message ends at once while a request stands, and a playing movie
    // ends as if a key were pressed.
    winx_WaitMessage(60000);
    EXPECT_EQ(winx_TakeKeyPress(0), 1);
    winx_ReleaseMainWindow();
    winx_SetOrderlyTermination(0);
    winx_ClearTerminationRequest();
    EXPECT_EQ(winx_TakeKeyPress(0), 0);
}
