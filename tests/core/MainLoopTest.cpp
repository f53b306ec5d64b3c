#include "core/MainLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/AppBase.h"
#include "core/AudioFormat.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/FatalError.h"
#include "core/MovieBase.h"
#include "core/Settings.h"
#include "core/SoundBase.h"
#include "core/WindowProc.h"
#include "platform/Capture.h"
#include "platform/Clock.h"
#include "platform/Drives.h"
#include "platform/InstanceLock.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"

namespace {

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

std::string WithQueue(const std::string& text) {
    return eventQueue ? text + " with queue" : text;
}

class FakeDisplay : public DisplayBase {
public:
    ~FakeDisplay() override { Log().push_back("delete display"); }
    void Suspend() override { Log().push_back("display suspend"); }
    void Resume() override { Log().push_back("display resume"); }
};

class FakeSound : public SoundBase {
public:
    explicit FakeSound(const AudioFormat& format) : SoundBase(format) {}
    ~FakeSound() override { Log().push_back(WithQueue("delete sound")); }
    void Open() override { Log().push_back("sound open"); }
    void Close() override { Log().push_back("sound close"); }
};

class FakeMovie : public MovieBase {
public:
    ~FakeMovie() override { Log().push_back(WithQueue("delete movie")); }
    int Init() override {
        Log().push_back("movie init");
        return 1;
    }
    void Update() override {
        playing = playFor > 0 ? 1 : 0;
        if (playFor > 0) {
            --playFor;
            Log().push_back("movie playing");
        }
    }
    void Shutdown() override { Log().push_back("movie shutdown"); }

    static int playFor;
};
int FakeMovie::playFor = 0;

class FakeDevices : public DeviceFactory {
public:
    std::unique_ptr<DisplayBase> CreateDisplay(winx_HWND window) override {
        Log().push_back(window ? "create display" : "create display without window");
        cheatsAtDisplay = cheatsOn;
        return std::make_unique<FakeDisplay>();
    }
    std::unique_ptr<SoundBase> CreateSoundDevice(winx_HWND, const AudioFormat& format) override {
        Log().push_back(WithQueue("create sound " + std::to_string(format.bitsPerSample) + "/" +
                                  std::to_string(format.channels) + "/" +
                                  std::to_string(format.samplesPerSecond)));
        return std::make_unique<FakeSound>(format);
    }
    std::unique_ptr<MovieBase> CreateMoviePlayer(winx_HWND) override {
        Log().push_back(WithQueue("create movie"));
        return std::make_unique<FakeMovie>();
    }
    int32_t cheatsAtDisplay = -1;
};

class FakeApp : public AppBase {
public:
    int Init() override {
        Log().push_back("app init");
        handlerAtInit = std::get_new_handler();
        return initResult;
    }
    void Shutdown() override { Log().push_back("app shutdown"); }
    int Tick(int elapsedMs) override {
        ticks.push_back(elapsedMs);
        Log().push_back("tick");
        return onTick(elapsedMs);
    }
    void GetAudioFormat(AudioFormat& format) override {
        Log().push_back("audio format");
        AppBase::GetAudioFormat(format);
    }
    void OnDeactivate() override { Log().push_back("app deactivate"); }
    void OnActivate() override {
        Log().push_back("app activate shift=" + std::to_string(eventQueue->shiftDown) +
                        " ctrl=" + std::to_string(eventQueue->ctrlDown) +
                        " alt=" + std::to_string(eventQueue->altDown));
    }

    int initResult = 1;
    std::function<int(int)> onTick = [](int) { return 0; };
    std::vector<int> ticks;
    std::new_handler handlerAtInit = nullptr;
};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("QX_SCRIPT");
        Log().clear();
        FakeMovie::playFor = 0;
        cheatsOn = 0;
    }
    void TearDown() override {
        unsetenv("QX_SCRIPT");
        std::set_new_handler(nullptr);
        cheatsOn = 0;
        traceOn = 0;
    }

    // The log without the ticks and movie frames.
    static std::vector<std::string> Lifecycle() {
        std::vector<std::string> events;
        for (const auto& entry : Log())
            if (entry != "tick" && entry != "movie playing") events.push_back(entry);
        return events;
    }

    ScopedWorkingDir dir;
    FakeDevices devices;
};

}  // namespace

TEST_F(MainLoopTest, WithoutAnApplicationItEndsAtOnce) {
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_TRUE(Log().empty());
}

TEST_F(MainLoopTest, StartsAndShutsDownInTheirOrder) {
    FakeClock clock(1000);
    FakeApp app;
    app.onTick = [&](int) {
        clock.Advance(16);
        return app.ticks.size() < 3 ? 1 : 0;
    };
    EXPECT_EQ(MainLoop(devices), 0);
    std::vector<std::string> expected = {"create display",
                                         "audio format",
                                         "create sound 16/2/22050",
                                         "create movie with queue",
                                         "movie init",
                                         "app init",
                                         "tick",
                                         "tick",
                                         "tick",
                                         "app shutdown",
                                         "movie shutdown",
                                         "delete movie with queue",
                                         "delete sound",
                                         "delete display"};
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(app.ticks, (std::vector<int>{0, 16, 32}));
    EXPECT_EQ(display, nullptr);
    EXPECT_EQ(soundDevice, nullptr);
    EXPECT_EQ(moviePlayer, nullptr);
    EXPECT_EQ(eventQueue, nullptr);
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(application, &app);
}

TEST_F(MainLoopTest, ReadsTheSettingsBeforeTheDevicesAndGuardsAllocation) {
    dir.WriteFile("QX.INI", "[OPTIONS]\nCHEAT=yes\n");
    FakeApp app;
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_EQ(devices.cheatsAtDisplay, 1);
    EXPECT_EQ(app.handlerAtInit, &OutOfMemoryHandler);
}

TEST_F(MainLoopTest, InitReturningZeroShutsDownWithoutATick) {
    FakeApp app;
    app.initResult = 0;
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_TRUE(app.ticks.empty());
    ASSERT_GE(Log().size(), 4u);
    EXPECT_EQ(Log()[Log().size() - 5], "app shutdown");
    EXPECT_EQ(Log().back(), "delete display");
}

TEST_F(MainLoopTest, AnyNonZeroTickGoesOnAndAnExceptionCostsOnlyItsPass) {
    FakeApp app;
    app.onTick = [&](int) -> int {
        const int results[] = {2, 1, -1, 1, 0};
        if (app.ticks.size() == 2) throw std::runtime_error("surface lost");
        return results[app.ticks.size() - 1];
    };
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_EQ(app.ticks.size(), 5u);
}

TEST_F(MainLoopTest, NoTickWhileAMoviePlays) {
    FakeMovie::playFor = 3;
    FakeApp app;
    app.onTick = [&](int) { return app.ticks.size() < 2 ? 1 : 0; };
    EXPECT_EQ(MainLoop(devices), 0);
    std::vector<std::string> frames;
    for (const auto& entry : Log())
        if (entry == "tick" || entry == "movie playing") frames.push_back(entry);
    std::vector<std::string> expected = {"movie playing", "movie playing", "movie playing", "tick",
                                         "tick"};
    EXPECT_EQ(frames, expected);
}

TEST_F(MainLoopTest, InactiveProgramDoesNotTickAndActivationKeepsOnlyShift) {
    dir.WriteFile("focus.qxs", "wait 100\ndeactivate\nwait 100\nactivate\nwait 100\nquit\n");
    setenv("QX_SCRIPT", "focus.qxs", 1);
    // Every reading of the clock moves it on a millisecond, so the script runs by itself
    // while no tick happens.
    uint32_t now = 0;
    winx_SetClockSource([&] { return ++now; });
    FakeApp app;
    app.onTick = [&](int) {
        eventQueue->shiftDown = 1;
        eventQueue->ctrlDown = 1;
        eventQueue->altDown = 1;
        return 1;
    };
    EXPECT_EQ(MainLoop(devices), 0);
    winx_SetClockSource({});
    auto at = [&](const std::string& entry) {
        return std::find(Log().begin(), Log().end(), entry) - Log().begin();
    };
    auto deactivated = at("app deactivate");
    auto activated = at("app activate shift=1 ctrl=0 alt=0");
    ASSERT_LT(deactivated, static_cast<long>(Log().size()));
    ASSERT_LT(activated, static_cast<long>(Log().size()));
    std::vector<std::string> between(Log().begin() + deactivated, Log().begin() + activated + 1);
    std::vector<std::string> expected = {"app deactivate", "display suspend",
                                         "sound close",    "display resume",
                                         "sound open",     "app activate shift=1 ctrl=0 alt=0"};
    EXPECT_EQ(between, expected);
    EXPECT_GT(std::count(Log().begin(), Log().begin() + deactivated, "tick"), 0);
    EXPECT_GT(std::count(Log().begin() + activated, Log().end(), "tick"), 0);
}

TEST_F(MainLoopTest, ASecondCopyInTheSameDirectoryIsRefused) {
    winx_InstanceLock running;
    ASSERT_EQ(running.Acquire("quarnex.lock"), winx_InstanceLock::Result::Acquired);
    FakeApp app;
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_TRUE(Log().empty());
    running.Release();
    EXPECT_EQ(MainLoop(devices), 0);
    EXPECT_FALSE(Log().empty());
}

// A small application through the real entry routine and the platform's devices, driven by
// an input script under the dummy drivers.
TEST_F(MainLoopTest, ScriptedRunDeliversTicksAndInputEventsUntilQuit) {
    dir.WriteFile("run.qxs",
                  "move 100 200\n"
                  "wait 40\n"
                  "text \"hi\"\n"
                  "key F5\n"
                  "keydown SHIFT\n"
                  "click R 10 20\n"
                  "keyup SHIFT\n"
                  "capture e2e\n"
                  "wait 40\n"
                  "quit\n");
    setenv("QX_SCRIPT", "run.qxs", 1);
    while (!winx_TakeCaptureRequest().empty()) {
    }
    FakeClock clock(50000);
    struct Seen {
        InputKind kind;
        Point at;
        int32_t param;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    FakeApp app;
    app.onTick = [&](int) {
        clock.Advance(16);
        while (auto event = eventQueue->Take())
            seen.push_back(Seen{event->kind, event->position, event->param});
        return 1;
    };
    EXPECT_EQ(MainLoop(), 0);
    EXPECT_GE(app.ticks.size(), 5u);
    // Keys come at the cursor; the click neither moves it nor makes a move event.
    const Point cursor(100, 200);
    const std::vector<Seen> expected = {{InputKind::MouseMove, cursor, 0},
                                        {InputKind::Key, cursor, 'h'},
                                        {InputKind::Key, cursor, 'i'},
                                        {InputKind::Key, cursor, 260},
                                        {InputKind::Key, cursor, 307},
                                        {InputKind::ButtonDown, Point(10, 20), 'R'},
                                        {InputKind::ButtonUp, Point(10, 20), 'R'}};
    EXPECT_TRUE(seen == expected) << "got " << seen.size() << " events";
    EXPECT_EQ(winx_TakeCaptureRequest(), "e2e");
    EXPECT_EQ(cursorPosition, Point(100, 200));
    EXPECT_EQ(display, nullptr);
    EXPECT_EQ(soundDevice, nullptr);
}
