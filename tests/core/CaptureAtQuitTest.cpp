// Captures requested just before the quit are written from the last frame; a failed capture is
// told once, with its file; a lock that cannot be taken is a warning, not the end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/AppBase.h"
#include "core/MainLoop.h"
#include "core/MemoryDisplay.h"
#include "core/MovieBase.h"
#include "core/SoundBase.h"
#include "platform/Capture.h"
#include "platform/Clock.h"
#include "support/ScopedWorkingDir.h"

namespace {

class MemoryDevices : public DeviceFactory {
public:
    std::unique_ptr<DisplayBase> CreateDisplay(winx_HWND) override {
        return std::make_unique<MemoryDisplay>();
    }
    std::unique_ptr<SoundBase> CreateSoundDevice(winx_HWND, const AudioFormat& f) override {
        return std::make_unique<SoundBase>(f);
    }
    std::unique_ptr<MovieBase> CreateMoviePlayer(winx_HWND) override {
        return std::make_unique<MovieBase>();
    }
};

class CountingApp : public AppBase {
public:
    int Tick(int) override { return ++ticks < 1000 ? 1 : 0; }
    int ticks = 0;
};

class CaptureAtQuit : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("QX_CLOCK", "fixed:16", 1);
        setenv("QX_CAPTURE", "shots", 1);
        std::filesystem::create_directory("shots");
        while (!winx_TakeCaptureRequest().empty()) {
        }
    }
    void TearDown() override {
        unsetenv("QX_SCRIPT");
        unsetenv("QX_CAPTURE");
        unsetenv("QX_CLOCK");
        winx_StartClock();
    }
    ScopedWorkingDir dir;
    MemoryDevices devices;
};

}  // namespace

TEST_F(CaptureAtQuit, CapturesRequestedWithTheQuitAreWritten) {
    dir.WriteFile("quit.qxs", "wait 100\ncapture last\ncapture after\nquit\n");
    setenv("QX_SCRIPT", "quit.qxs", 1);
    CountingApp app;
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_LT(app.ticks, 1000);
    EXPECT_TRUE(dir.Exists("shots/last.png"));
    EXPECT_TRUE(dir.Exists("shots/after.png"));
}

TEST_F(CaptureAtQuit, AFailedCaptureIsToldOnceWithItsFile) {
    MemoryDisplay screen;
    winx_RequestCapture("lost");
    setenv("QX_CAPTURE", "nowhere", 1);
    testing::internal::CaptureStderr();
    screen.Present();
    screen.Present();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told.find("nowhere/lost.png"), told.rfind("nowhere/lost.png")) << told;
    EXPECT_NE(told.find("capture: cannot write nowhere/lost.png: No such file"), std::string::npos)
        << told;
    EXPECT_FALSE(dir.Exists("nowhere"));
}

TEST_F(CaptureAtQuit, ALockThatCannotBeTakenIsAWarning) {
    std::filesystem::create_directory("quarnex.lock");
    CountingApp app;
    testing::internal::CaptureStderr();
    EXPECT_EQ(MainLoop(devices), 0);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("warning: cannot take the lock quarnex.lock"), std::string::npos) << told;
    EXPECT_EQ(app.ticks, 1000);
}
