#include "core/DirectSoundDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/AudioFormat.h"
#include "core/MusicPlaylist.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "platform/SdlAudio.h"
#include "support/FakeClock.h"
#include "support/FakeSoundDevice.h"
#include "support/PackBuilder.h"
#include "support/SampleEntry.h"
#include "support/ScopedWorkingDir.h"

namespace {

// The real device on SDL's dummy driver, advanced by a fake clock through the pump, with
// every mixed block collected in memory.
class DirectSoundDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        winx_SetAudioTap([this](const int16_t* samples, int frames, int channels) {
            mixed.insert(mixed.end(), samples, samples + frames * channels);
        });
    }
    void TearDown() override { winx_SetAudioTap(nullptr); }

    // Advances the clock and lets the main loop's pump mix that much.
    void Pass(uint32_t ms) {
        clock.Advance(ms);
        winx_AudioPump();
    }
    SoundBuffer MakeBuffer(DirectSoundDevice& device, const std::vector<int16_t>& stereo) {
        std::vector<uint8_t> bytes;
        for (int16_t s : stereo) {
            bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) & 0xFF));
            bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
        }
        const auto frames = static_cast<int32_t>(stereo.size() / 2);
        return device.CreateBuffer(frames, frames, bytes.data(), 16, 2, 22050);
    }

    ScopedWorkingDir dir;
    FakeClock clock{5000};
    std::vector<int16_t> mixed;
};

}  // namespace

TEST_F(DirectSoundDeviceTest, OpensOnTheDummyDriverAndMixesWhatPlays) {
    DirectSoundDevice device(GameAudioFormat(), 1);
    ASSERT_EQ(device.IsOpen(), 1);
    EXPECT_EQ(soundDevice, &device);
    const SoundBuffer buffer = MakeBuffer(device, {100, -100, 200, -200, 300, -300});
    ASSERT_NE(buffer, SoundBuffer::None);
    ASSERT_NE(buffer, SoundBuffer::Placeholder);
    EXPECT_EQ(device.IsUsable(buffer), 1);
    device.Play(buffer, 0);
    EXPECT_EQ(device.IsPlaying(buffer), 1);
    Pass(10);  // 220.5 frames: 220 now, the half frame carried
    ASSERT_EQ(mixed.size(), 440u);
    EXPECT_EQ(std::vector<int16_t>(mixed.begin(), mixed.begin() + 8),
              (std::vector<int16_t>{100, -100, 200, -200, 300, -300, 0, 0}));
    // Played once, it has finished: the voice pool may take its place.
    EXPECT_EQ(device.IsPlaying(buffer), 0);
    Pass(10);
    EXPECT_EQ(mixed.size(), 882u);
    // After a stall (a movie, a long load) one pump mixes two seconds at most: 44100 frames.
    for (const uint32_t stall : {60000u, 2001u, 2000u}) {
        mixed.clear();
        Pass(stall);
        EXPECT_EQ(mixed.size(), 88200u) << stall << " ms";
    }
}

TEST_F(DirectSoundDeviceTest, PlayRestartsFromTheBeginningAtTheMasterVolume) {
    DirectSoundDevice device(GameAudioFormat(), 1);
    device.masterVolume = 50;  // -10 dB
    std::vector<int16_t> loud(2 * 22050, 10000);
    const SoundBuffer buffer = MakeBuffer(device, loud);
    device.Play(buffer, 1);
    Pass(100);
    EXPECT_GT(device.GetPosition(buffer), 0u);
    device.Play(buffer, 1);
    EXPECT_EQ(device.GetPosition(buffer), 0u);
    EXPECT_NEAR(mixed[0], 10000.0 * std::pow(10.0, -1000 / 2000.0), 1.0);
    device.SetVolume(buffer, 100);
    mixed.clear();
    Pass(10);
    EXPECT_EQ(mixed[0], 10000);
    device.Stop(buffer);
    mixed.clear();
    Pass(10);
    EXPECT_EQ(mixed, std::vector<int16_t>(mixed.size(), 0));
}

TEST_F(DirectSoundDeviceTest, MasterVolumeComesFromTheSettingsFile) {
    // No file, an empty value and a word all leave the full volume.
    const std::pair<const char*, int32_t> cases[] = {{nullptr, 100},
                                                     {"[OPTIONS]\nVOLUME=\n", 100},
                                                     {"[OPTIONS]\nVOLUME=loud\n", 100},
                                                     {"[OPTIONS]\nVOLUME=50\n", 50}};
    for (const auto& [ini, volume] : cases) {
        SCOPED_TRACE(ini ? ini : "no settings file");
        if (ini) dir.WriteFile("QX.INI", ini);
        DirectSoundDevice device(GameAudioFormat(), 1);
        EXPECT_EQ(device.masterVolume, volume);
    }
}

TEST_F(DirectSoundDeviceTest, AClosedDeviceHandsOutThePlaceholderAndDoesNothing) {
    DirectSoundDevice device(GameAudioFormat(), 1);
    device.Close();
    EXPECT_EQ(device.IsOpen(), 0);
    const SoundBuffer placeholder = MakeBuffer(device, {1, 2});
    EXPECT_EQ(placeholder, SoundBuffer::Placeholder);
    device.Play(placeholder, 1);
    EXPECT_EQ(device.IsPlaying(placeholder), 0);
    EXPECT_EQ(device.IsUsable(placeholder), 0);
    EXPECT_EQ(device.GetPosition(placeholder), 0u);
    device.Release(placeholder);
    Pass(10);
    EXPECT_TRUE(mixed.empty());
    // Open again, the placeholder still reaches nothing and reports "not playing".
    device.Open();
    EXPECT_EQ(device.IsUsable(placeholder), 0);
    EXPECT_EQ(device.IsPlaying(placeholder), 0);
}

TEST_F(DirectSoundDeviceTest, HandlesFromBeforeACloseAreInertAfterwards) {
    DirectSoundDevice device(GameAudioFormat(), 1);
    const SoundBuffer old = MakeBuffer(device, std::vector<int16_t>(2000, 5000));
    device.Play(old, 1);
    device.Close();
    Pass(10);
    EXPECT_TRUE(mixed.empty());  // closing silences the output
    device.Open();
    EXPECT_EQ(device.IsUsable(old), 0);
    device.Play(old, 1);
    EXPECT_EQ(device.IsPlaying(old), 0);
    Pass(10);
    EXPECT_EQ(mixed, std::vector<int16_t>(mixed.size(), 0));
    const SoundBuffer fresh = MakeBuffer(device, std::vector<int16_t>(2000, 5000));
    EXPECT_NE(fresh, old);
    EXPECT_EQ(device.IsUsable(fresh), 1);
}

TEST_F(DirectSoundDeviceTest, RefillWritesIntoTheRingAndWrapsAtItsEnd) {
    DirectSoundDevice device(GameAudioFormat(), 1);
    const SoundBuffer ring = MakeBuffer(device, std::vector<int16_t>(8, 0));  // 4 frames
    const std::vector<int16_t> chunk{1, 2, 3, 4, 5, 6};
    device.Refill(ring, 3, 3, reinterpret_cast<const uint8_t*>(chunk.data()));
    device.Play(ring, 1);
    Pass(1);  // 22 frames
    ASSERT_GE(mixed.size(), 8u);
    EXPECT_EQ(std::vector<int16_t>(mixed.begin(), mixed.begin() + 8),
              (std::vector<int16_t>{3, 4, 5, 6, 0, 0, 1, 2}));
}

TEST_F(DirectSoundDeviceTest, RefillRefusesARequestBeyondThirtyTwoBitsInsteadOfTruncatingIt) {
    // Frames of 4 bytes: 2^30 frames are 2^32 bytes, which a truncated 32-bit offset or size
    // would turn into 0 and write at the start of the ring (or copy a piece of the data).
    const int32_t kBeyond = int32_t{1} << 30;
    struct Case {
        int32_t firstFrame, frameCount;
        std::vector<int16_t> played;  // the 4-frame ring's first frames as mixed
    };
    const Case cases[] = {
        {kBeyond - 1, 1, {0, 0, 0, 0, 0, 0, 7, 8}},  // last frame in range: wraps to frame 3
        {kBeyond, 1, {0, 0, 0, 0, 0, 0, 0, 0}},      // offset 2^32
        {0, kBeyond + 1, {0, 0, 0, 0, 0, 0, 0, 0}},  // size 2^32 + 4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstFrame << " + " << c.frameCount);
        mixed.clear();
        DirectSoundDevice device(GameAudioFormat(), 1);
        const SoundBuffer ring = MakeBuffer(device, std::vector<int16_t>(8, 0));
        const std::vector<int16_t> chunk{7, 8, 9, 10, 11, 12, 13, 14};
        device.Refill(ring, c.firstFrame, c.frameCount,
                      reinterpret_cast<const uint8_t*>(chunk.data()));
        device.Play(ring, 1);
        Pass(1);
        ASSERT_GE(mixed.size(), 8u);
        EXPECT_EQ(std::vector<int16_t>(mixed.begin(), mixed.begin() + 8), c.played);
    }
}

TEST_F(DirectSoundDeviceTest, ASoundPlaysAgainAfterTheDeviceWasReopened) {
    PackBuilder builder(1, 1);
    builder.Entry(0, 0, MakeSampleEntry({2, 16, 2, 22050}, CountingSamples16(20000, 2)));
    const Bytes bytes = builder.Build();
    dir.WriteFile("fx.xsf", std::string(bytes.begin(), bytes.end()));
    auto pack = std::make_unique<ResourceFile>();
    pack->plainPath = 1;
    ASSERT_EQ(pack->Open((dir.Path() + "/fx.xsf").c_str(), 1, 0), 1);
    SetSharedSoundPack(std::move(pack));

    DirectSoundDevice device(GameAudioFormat(), 1);
    Sound sound(0);
    sound.Play(0);
    EXPECT_EQ(sound.IsPlaying(), 1);
    device.Close();
    sound.Play(0);  // loaded as the placeholder while closed
    EXPECT_EQ(sound.Buffer(), SoundBuffer::Placeholder);
    EXPECT_EQ(sound.IsPlaying(), 0);
    device.Open();
    sound.Play(0);
    EXPECT_EQ(sound.IsPlaying(), 1);
    Pass(10);
    ASSERT_GE(mixed.size(), 4u);
    EXPECT_EQ(mixed[2], 2);  // frame 1, left channel: (0 + 1) * 2
    SetSharedSoundPack(nullptr);
}

TEST_F(DirectSoundDeviceTest, WithoutAnyAudioDeviceTheGameRunsSilent) {
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string kept = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        DirectSoundDevice device(GameAudioFormat(), 1);
        EXPECT_EQ(device.IsOpen(), 0);
        const SoundBuffer buffer = MakeBuffer(device, {1, 2});
        EXPECT_EQ(buffer, SoundBuffer::Placeholder);
        device.Play(buffer, 0);
        EXPECT_EQ(device.IsPlaying(buffer), 0);
    }
    setenv("SDL_AUDIODRIVER", kept.empty() ? "dummy" : kept.c_str(), 1);
}

TEST_F(DirectSoundDeviceTest, MusicStreamsThroughTheMixerWithoutAGapOrASwappedChannel) {
    // Three pieces of 1000 counting frames; a ring of 0.1 s refilled in 0.02 s chunks while
    // the pump plays 10 ms per pass.
    PackBuilder builder(1, 3);
    for (int piece = 0; piece < 3; ++piece) {
        builder.Entry(0, piece,
                      MakeSampleEntry({piece == 1 ? 0 : 2, 16, 2, 22050},
                                      CountingSamples16(1000, 2, piece * 1000)));
    }
    const Bytes bytes = builder.Build();
    dir.WriteFile("7a0.xsf", std::string(bytes.begin(), bytes.end()));
    DirectSoundDevice device(GameAudioFormat(), 1);
    MusicPlaylist music(dir.Path() + "/7a0.xsf", 0, 2205, 441);
    music.Play(0);
    for (int pass = 0; pass < 300; ++pass) {
        Pass(10);
        music.Tick();
    }
    ASSERT_EQ(mixed.size() % 2, 0u);
    ASSERT_GT(mixed.size(), 2u * 60000);
    int plays = 0;
    int expected = -1;
    for (size_t i = 0; i < mixed.size(); i += 2) {
        const int value = mixed[i] / 2;
        ASSERT_EQ(mixed[i + 1], mixed[i] + 1) << "frame " << i / 2;
        if (value % 1000 == 0) {
            if (expected >= 0) {
                ASSERT_EQ(expected % 1000, 0) << "a piece was cut short";
            }
            ++plays;
        } else {
            ASSERT_EQ(value, expected) << "frame " << i / 2;
        }
        expected = value + 1;
    }
    EXPECT_GE(plays, 60);
}
