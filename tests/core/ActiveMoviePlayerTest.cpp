#include "core/ActiveMoviePlayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/AppBase.h"
#include "core/AudioFormat.h"
#include "core/DirectSoundDevice.h"
#include "core/DisplayBase.h"
#include "support/FakeSoundDevice.h"
#include "support/ScopedWorkingDir.h"
#include "support/TestMovie.h"

namespace {

using Log = std::vector<std::string>;

class RecordingDisplay : public DisplayBase {
public:
    explicit RecordingDisplay(Log& log) : log(log) {}
    int SetDisplayMode(int width, int height, int bits) override {
        log.push_back("mode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
                      std::to_string(bits));
        return bits == 16 ? refuseSixteenBits == 0 : 1;
    }
    void Suspend() override { log.push_back("display suspend"); }
    void Resume() override { log.push_back("display resume"); }
    int refuseSixteenBits = 0;

private:
    Log& log;
};

class RecordingApp : public AppBase {
public:
    explicit RecordingApp(Log& log) : log(log) {}
    int Tick(int) override { return 1; }
    void OnDeactivate() override { log.push_back("app deactivate"); }
    void OnActivate() override { log.push_back("app activate"); }

private:
    Log& log;
};

class RecordingSound : public FakeSoundDevice {
public:
    explicit RecordingSound(Log& log) : log(log) {}
    void Open() override { log.push_back("sound open"); }
    void Close() override { log.push_back("sound close"); }

private:
    Log& log;
};

class ActiveMoviePlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(StartTestEventQueue(), 1);
    }
    void TearDown() override { StopTestEventQueue(); }

    std::string Movie(int frames, int framesPerSecond) {
        TestMovieShape shape;
        shape.frames = frames;
        shape.framesPerSecond = framesPerSecond;
        const std::string path = dir.Path() + "/intro.mov";
        EXPECT_EQ(WriteTestMovie(path, shape), 1);
        return path;
    }

    ScopedWorkingDir dir;
    Log log;
    RecordingDisplay screen{log};
    RecordingApp app{log};
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const Log kRestored{"display resume", "sound open", "app activate"};

}  // namespace

TEST_F(ActiveMoviePlayerTest, AFileThatWontOpenAnswersZeroAndRestoresTheDevices) {
    RecordingSound sound(log);
    ActiveMoviePlayer player;
    EXPECT_EQ(moviePlayer, &player);
    EXPECT_EQ(player.Open(".\\Movies\\NOSUCH.mov"), 0);
    EXPECT_EQ(log, kRestored);
    dir.WriteFile("bad.mov", "not a movie");
    log.clear();
    EXPECT_EQ(player.Open("bad.mov"), 0);
    EXPECT_EQ(log, kRestored);
    EXPECT_EQ(player.IsOpen(), 0);
}

TEST_F(ActiveMoviePlayerTest, AGeneratedMoviePlaysToItsEndWithTheDevicesHandedOver) {
    RecordingSound sound(log);
    ActiveMoviePlayer player;
    EXPECT_EQ(player.Init(), 0);
    ASSERT_EQ(player.Open(Movie(8, 10).c_str()), 1);
    EXPECT_TRUE(log.empty());
    player.Update();  // nothing requested yet
    EXPECT_TRUE(log.empty());
    player.RequestPlay();
    const auto start = std::chrono::steady_clock::now();
    player.Update();
    // Paced by the frames' timestamps: the last frame is due at 0.7 s.
    EXPECT_GE(SecondsSince(start), 0.65);
    EXPECT_EQ(player.playing, 0);
    EXPECT_EQ(player.playRequested, 0);
    EXPECT_EQ(player.IsOpen(), 0);
    EXPECT_EQ(log, (Log{"app deactivate", "mode 640x480x16", "display suspend", "sound close",
                        "display resume", "sound open", "app activate"}));
}

TEST_F(ActiveMoviePlayerTest, ARefusedSixteenBitModeFallsBackToEightBits) {
    RecordingSound sound(log);
    screen.refuseSixteenBits = 1;
    ActiveMoviePlayer player;
    ASSERT_EQ(player.Open(Movie(2, 20).c_str()), 1);
    player.RequestPlay();
    player.Update();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1], "mode 640x480x16");
    EXPECT_EQ(log[2], "mode 640x480x8");
}

TEST_F(ActiveMoviePlayerTest, AKeyPressEndsTheMovieWithinASecondAndIsConsumed) {
    RecordingSound sound(log);
    ActiveMoviePlayer player;
    ASSERT_EQ(player.Open(Movie(50, 10).c_str()), 1);  // five seconds
    ASSERT_EQ(PushTestMouseMotion(), 1);
    player.RequestPlay();
    std::thread presser([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        PushTestKeyPress('x');
    });
    const auto start = std::chrono::steady_clock::now();
    player.Update();
    const double seconds = SecondsSince(start);
    presser.join();
    EXPECT_LT(seconds, 0.3 + 1.0 + 0.5);
    EXPECT_EQ(PendingKeyAndTextEvents(), 0);
    EXPECT_EQ(PendingMouseMotions(), 1);
    EXPECT_EQ(player.playing, 0);
    EXPECT_EQ(player.IsOpen(), 0);
    EXPECT_EQ(log.back(), "app activate");
}

TEST_F(ActiveMoviePlayerTest, TheRealSoundDeviceIsOpenAgainAfterAMovie) {
    AudioFormat format;
    format.bitsPerSample = 16;
    format.channels = 2;
    format.samplesPerSecond = 22050;
    DirectSoundDevice sound(format, 1);
    ASSERT_EQ(sound.IsOpen(), 1);
    ActiveMoviePlayer player;
    ASSERT_EQ(player.Open(Movie(3, 10).c_str()), 1);
    player.RequestPlay();
    player.Update();
    EXPECT_EQ(sound.IsOpen(), 1);
    const int16_t frame[2] = {1, 2};
    const SoundBuffer buffer =
        sound.CreateBuffer(1, 1, reinterpret_cast<const uint8_t*>(frame), 16, 2, 22050);
    EXPECT_EQ(sound.IsUsable(buffer), 1);
}
