// Between ticks the loop catches the cursor up and sleeps until the next tick is due; the
// fixed-step clock of a headless run never sleeps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/AppBase.h"
#include "core/DisplayBase.h"
#include "core/MainLoop.h"
#include "core/MovieBase.h"
#include "core/SoundBase.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"

namespace {

std::vector<std::string> journal;

class IdleDisplay : public DisplayBase {
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

// Ticks under a 16 ms floor; each tick's work takes 5 ms of the clock.
class FlooredApp : public AppBase {
public:
    explicit FlooredApp(FakeClock& clock) : clock(clock) {}
    int Tick(int nowMs) override {
        if (nowMs - last < 16 && last >= 0) return 1;
        last = nowMs;
        journal.push_back("tick " + std::to_string(nowMs));
        clock.Advance(5);
        return ++ticks < 3 ? 1 : 0;
    }
    int MsUntilTickDue(int nowMs) const override { return 16 - (nowMs - last); }

    FakeClock& clock;
    int last = -1;
    int ticks = 0;
};

class MainLoopWait : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        unsetenv("QX_SCRIPT");
        journal.clear();
        winx_SetWaitHook([this](uint32_t ms) {
            journal.push_back("wait " + std::to_string(ms));
            clock.Advance(ms);
        });
    }
    void TearDown() override {
        winx_SetWaitHook({});
        unsetenv("QX_CLOCK");
        winx_StartClock();
    }

    ScopedWorkingDir dir;
    FakeClock clock{5000};
    Devices devices;
};

}  // namespace

TEST_F(MainLoopWait, SleepsUntilTheNextTickIsDueAfterTheCursorCaughtUp) {
    FlooredApp app(clock);
    EXPECT_EQ(MainLoop(devices), 0);
    const std::vector<std::string> expected = {"tick 0", "idle",    "wait 11", "tick 16",
                                               "idle",   "wait 11", "tick 32", "idle"};
    EXPECT_EQ(journal, expected);
}

TEST_F(MainLoopWait, TheFixedStepClockNeverSleeps) {
    setenv("QX_CLOCK", "fixed:16", 1);
    // The fixed clock moves 16 ms a pass, so every pass ticks and no pass waits.
    winx_SetClockSource({});
    FlooredApp app(clock);
    EXPECT_EQ(MainLoop(devices), 0);
    for (const std::string& entry : journal)
        EXPECT_EQ(entry.rfind("tick", 0), 0u) << entry;
    EXPECT_EQ(app.ticks, 3);
}
