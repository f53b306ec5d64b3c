// The audio output as SDL's own thread drives it: the device pulls the mix, every frame of a
// sound once, silence after; a device that cannot open gives no output and leaves no sound
// system running. SDL's disk driver writes what the device plays into a file, block by block at
// the pace of real play, so that a device thread that runs on while the test waits writes little.
#include "platform/SdlAudio.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/Mixer.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"

namespace {

// Polls every 5 ms until the condition holds or a minute has passed, which only a stalled
// device uses up; whether it held.
template <typename Condition>
bool WaitUntil(Condition condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class SdlAudio : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }
    void TearDown() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }
    ScopedWorkingDir dir;
};

}  // namespace

TEST_F(SdlAudio, TheDeviceThreadPlaysEachFrameOfASoundOnceThenSilence) {
    const std::string played = dir.Path() + "/played.raw";
    setenv("SDL_DISKAUDIOFILE", played.c_str(), 1);
    winx_Mixer mixer(2, 22050);
    const int frames = 3000;  // more than one device block of 1024 frames
    const winx_BufferId id = mixer.Create(winx_PcmFormat{16, 2, 22050}, frames * 4);
    winx_LockedRegion region;
    ASSERT_EQ(mixer.Lock(id, 0, frames * 4, region), 1);
    std::vector<int16_t> tone(static_cast<size_t>(frames) * 2);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(i % 2 ? -1000 : 1000);
    std::memcpy(region.first, tone.data(), region.firstBytes);
    mixer.Unlock(id);
    // The device thread may run before the sound starts and writes silence until then: what
    // it promises is the sound whole from its first frame on, then silence. Awaited with a
    // bound only a stalled device reaches; a loaded machine merely writes late.
    auto samplesPlayed = [&played] {
        std::ifstream in(played, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<int16_t> samples(bytes.size() / 2);
        if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    };
    const size_t silenceAfter = 2048;  // one device block of two channels
    auto firstSound = [](const std::vector<int16_t>& samples) {
        return static_cast<size_t>(
            std::find_if(samples.begin(), samples.end(), [](int16_t v) { return v != 0; }) -
            samples.begin());
    };
    auto enoughPlayed = [&](const std::vector<int16_t>& samples) {
        const size_t start = firstSound(samples);
        return start < samples.size() && samples.size() >= start + tone.size() + silenceAfter;
    };
    {
        auto output = winx_AudioOutput::Open(mixer, 0);
        ASSERT_NE(output, nullptr);
        {
            winx_AudioOutput::Guard guard(output.get());
            mixer.Play(id, 0);
        }
        uint32_t status = 1;
        WaitUntil([&] {
            winx_AudioOutput::Guard guard(output.get());
            mixer.GetStatus(id, status);
            return status == 0;
        });
        EXPECT_EQ(status, 0u);
        WaitUntil([&] { return enoughPlayed(samplesPlayed()); });
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    const std::vector<int16_t> samples = samplesPlayed();
    const size_t start = firstSound(samples);
    ASSERT_TRUE(enoughPlayed(samples)) << samples.size() << " samples, sound from " << start;
    // Silence before the sound is whole frames of it: the channels stay in step.
    EXPECT_EQ(start % 2, 0u);
    EXPECT_EQ(
        std::vector<int16_t>(samples.begin() + static_cast<std::ptrdiff_t>(start),
                             samples.begin() + static_cast<std::ptrdiff_t>(start + tone.size())),
        tone);
    size_t after = 0;
    for (size_t i = start + tone.size(); i < samples.size(); ++i)
        after += samples[i] != 0;
    EXPECT_EQ(after, 0u);
}

// While the game holds the guard, the device thread leaves the mixer alone: a playing sound does
// not move on.
TEST_F(SdlAudio, HoldingTheGuardHoldsTheMixOff) {
    setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/held.raw").c_str(), 1);
    winx_Mixer mixer(2, 22050);
    const winx_BufferId id = mixer.Create(winx_PcmFormat{16, 2, 22050}, 4 * 22050);
    mixer.Play(id, 1);
    auto output = winx_AudioOutput::Open(mixer, 0);
    ASSERT_NE(output, nullptr);
    uint32_t before = 0;
    uint32_t after = 1;
    {
        winx_AudioOutput::Guard guard(output.get());
        mixer.GetPosition(id, before);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        mixer.GetPosition(id, after);
    }
    EXPECT_EQ(after, before);
    // Let go, it moves on.
    WaitUntil([&] {
        winx_AudioOutput::Guard guard(output.get());
        mixer.GetPosition(id, after);
        return after != before;
    });
    EXPECT_NE(after, before);
}

TEST_F(SdlAudio, ADeviceThatCannotOpenGivesNoOutput) {
    setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/missing/played.raw").c_str(), 1);
    winx_Mixer mixer(2, 22050);
    for (const int pumped : {0, 1}) {
        EXPECT_EQ(winx_AudioOutput::Open(mixer, pumped), nullptr);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    }
    // A null output holds nothing off.
    winx_AudioOutput::Guard guard(nullptr);
}

// Under the fixed-step clock the main loop pushes the mix, the clock's time at each pump; the
// device queues half a second ahead at most and drops a mix that would go beyond, so a clock
// faster than real time cannot grow the queue without end. The dummy driver plays in real time:
// the device is held while the table runs, so that a loaded machine's delays play nothing off
// the queue meanwhile.
TEST_F(SdlAudio, APumpedDeviceQueuesHalfASecondAheadAtMost) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Every open device's queue: this test's device is the only one.
    const auto queued = [] {
        uint32_t bytes = 0;
        for (SDL_AudioDeviceID id = 1; id < 64; ++id)
            bytes += SDL_GetQueuedAudioSize(id);
        return static_cast<int>(bytes);
    };
    const auto holdDevices = [](bool hold) {
        for (SDL_AudioDeviceID id = 1; id < 64; ++id)
            hold ? SDL_LockAudioDevice(id) : SDL_UnlockAudioDevice(id);
    };
    FakeClock clock(9000);
    winx_Mixer mixer(2, 22050);
    auto output = winx_AudioOutput::Open(mixer, 1);
    ASSERT_NE(output, nullptr);
    ASSERT_EQ(output->Pumped(), 1);
    const auto bytesOf = [](uint32_t ms) { return static_cast<int>(ms * 22050 / 1000 * 4); };
    const int cap = bytesOf(500);
    const struct {
        uint32_t ms;
        bool fits;
    } pumps[] = {{400, true}, {400, false}, {100, true}, {200, false}};
    holdDevices(true);
    for (const auto& p : pumps) {
        SCOPED_TRACE(p.ms);
        const int before = queued();
        clock.Advance(p.ms);
        output->Pump();
        const int after = queued();
        EXPECT_LE(after, cap);
        EXPECT_EQ(after, p.fits ? before + bytesOf(p.ms) : before);
    }
    holdDevices(false);
}

// A pump mixes the frames the clock's time since the last pump is worth, carrying the part of
// a frame left over to the next, nothing when no time passed, and two seconds at most after a
// stall; the tap hears each mix as made.
TEST_F(SdlAudio, APumpMixesTheClocksTimeSinceTheLastPumpToTheFrame) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FakeClock clock(7000);
    winx_Mixer mixer(1, 22050);
    auto output = winx_AudioOutput::Open(mixer, 1);
    ASSERT_NE(output, nullptr);
    std::vector<int> heard;
    winx_SetAudioTap([&](const int16_t*, int frames, int channels) {
        EXPECT_EQ(channels, 1);
        heard.push_back(frames);
    });
    const struct {
        uint32_t ms;
        int pumps;
        std::vector<int> heard;
    } steps[] = {{0, 2, {}},
                 {1, 1, {22}},
                 {1, 19, std::vector<int>(18, 22)},
                 {0, 1, {}},
                 {5000, 1, {44100}}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.ms);
        heard.clear();
        for (int i = 0; i < s.pumps; ++i) {
            clock.Advance(s.ms);
            output->Pump();
        }
        std::vector<int> expected = s.heard;
        // The twentieth millisecond completes a frame carried since the first.
        if (s.pumps == 19) expected.push_back(23);
        EXPECT_EQ(heard, expected);
    }
    winx_SetAudioTap(nullptr);
}
