// The loop's idle path and its ends: between ticks it catches the cursor up and sleeps until
// the next tick is due (never under the fixed-step clock); captures asked for with the quit
// are written from the last frame; a lock that cannot be taken is only a warning.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/AppBase.h"
#include "core/MainLoop.h"
#include "core/MemoryDisplay.h"
#include "core/MovieBase.h"
#include "core/SoundBase.h"
#include "platform/Capture.h"
#include "platform/Clock.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"

namespace {

std::vector<std::string> journal;

class IdleDisplay : public MemoryDisplay {
public:
    void Idle() override { journal.push_back("idle"); }
};

class Devices : public DeviceFactory {
public:
    std::unique_ptr<DisplayBase> CreateDisplay(winx_HWND) override {
        return std::make_unique<IdleDisplay>();
    }
    std::unique_ptr<SoundBase> CreateSoundDevice(winx_HWND, const AudioFormat& f) override {
        return std::make_unique<SoundBase>(f);
    }
    std::unique_ptr<MovieBase> CreateMoviePlayer(winx_HWND) override {
        return std::make_unique<MovieBase>();
    }
};

// Ticks under a 16 ms floor, each tick's work taking 5 ms of the clock, until `last` ticks.
class FlooredApp : public AppBase {
public:
    FlooredApp(FakeClock& clock, int last) : clock(clock), lastTick(last) {}
    int Tick(int nowMs) override {
        if (nowMs - last < 16 && ticks > 0) return 1;
        last = nowMs;
        journal.push_back("tick " + std::to_string(nowMs));
        clock.Advance(5);
        return ++ticks < lastTick ? 1 : 0;
    }
    int MsUntilTickDue(int nowMs) const override { return 16 - (nowMs - last); }

    FakeClock& clock;
    int lastTick;
    int last = 0;
    int ticks = 0;
};

class MainLoopIdle : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        unsetenv("QX_SCRIPT");
        journal.clear();
        winx_SetWaitHook([this](uint32_t ms) {
            journal.push_back("wait " + std::to_string(ms));
            clock.Advance(ms);
        });
        while (!winx_TakeCaptureRequest().empty()) {
        }
    }
    void TearDown() override {
        winx_SetWaitHook({});
        for (const char* name : {"QX_CLOCK", "QX_SCRIPT", "QX_CAPTURE"})
            unsetenv(name);
        winx_StartClock();
    }

    ScopedWorkingDir dir;
    FakeClock clock{5000};
    Devices devices;
};

}  // namespace

TEST_F(MainLoopIdle, SleepsUntilTheNextTickIsDueAfterTheCursorCaughtUp) {
    FlooredApp app(clock, 3);
    EXPECT_EQ(MainLoop(devices), 0);
    const std::vector<std::string> expected = {"tick 0", "idle",    "wait 11", "tick 16",
                                               "idle",   "wait 11", "tick 32", "idle"};
    EXPECT_EQ(journal, expected);
}

TEST_F(MainLoopIdle, TheFixedStepClockNeverSleeps) {
    // The fixed clock moves 16 ms a pass, so every pass ticks and none waits.
    setenv("QX_CLOCK", "fixed:16", 1);
    winx_SetClockSource({});
    FlooredApp app(clock, 3);
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_EQ(journal.size(), 3u);
    EXPECT_EQ(app.ticks, 3);
}

TEST_F(MainLoopIdle, CapturesRequestedWithTheQuitAreWritten) {
    std::filesystem::create_directory("shots");
    setenv("QX_CAPTURE", "shots", 1);
    dir.WriteFile("quit.qxs", "wait 100\ncapture last\ncapture after\nquit\n");
    setenv("QX_SCRIPT", "quit.qxs", 1);
    FlooredApp app(clock, 1000);
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_LT(app.ticks, 1000);
    EXPECT_TRUE(dir.Exists("shots/last.png"));
    EXPECT_TRUE(dir.Exists("shots/after.png"));
}

TEST_F(MainLoopIdle, AFailedCaptureIsToldOnceWithItsFile) {
    MemoryDisplay screen;
    winx_RequestCapture("lost");
    setenv("QX_CAPTURE", "nowhere", 1);
    testing::internal::CaptureStderr();
    screen.Present();
    screen.Present();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, "Quarnex: capture: cannot write nowhere/lost.png: No such file or directory\n");
}

TEST_F(MainLoopIdle, ALockThatCannotBeTakenIsAWarning) {
    std::filesystem::create_directory("quarnex.lock");
    FlooredApp app(clock, 5);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MainLoop(devices), 0);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("warning: cannot take the lock quarnex.lock"), std::string::npos) << told;
    EXPECT_EQ(app.ticks, 5);
}
