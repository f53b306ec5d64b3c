#include "platform/Mixer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr winx_PcmFormat kStereo16{16, 2, 22050};

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples) {
        const auto u = static_cast<uint16_t>(s);
        bytes.push_back(static_cast<uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    return bytes;
}

winx_BufferId MakeBuffer(winx_Mixer& mixer, const winx_PcmFormat& format,
                         const std::vector<uint8_t>& bytes) {
    const winx_BufferId id = mixer.Create(format, static_cast<uint32_t>(bytes.size()));
    winx_LockedRegion region;
    EXPECT_EQ(mixer.Lock(id, 0, static_cast<uint32_t>(bytes.size()), region), 1);
    std::memcpy(region.first, bytes.data(), region.firstBytes);
    EXPECT_EQ(region.secondBytes, 0u);
    mixer.Unlock(id);
    return id;
}

std::vector<int16_t> Render(winx_Mixer& mixer, int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * mixer.OutputChannels(), 12345);
    mixer.Render(out.data(), frames);
    return out;
}

}  // namespace

TEST(Mixer, SumsPlayingBuffersAndClipsToSixteenBits) {
    winx_Mixer mixer(2, 22050);
    const auto a = MakeBuffer(mixer, kStereo16, Pcm16({1000, -1000, 30000, -30000, 5, 7}));
    const auto b = MakeBuffer(mixer, kStereo16, Pcm16({234, 100, 10000, -10000, -5, 7}));
    mixer.Play(a, 0);
    mixer.Play(b, 0);
    const auto out = Render(mixer, 3);
    EXPECT_EQ(out, (std::vector<int16_t>{1234, -900, 32767, -32768, 0, 14}));
}

TEST(Mixer, StoppedAndUnplayedBuffersAreSilent) {
    winx_Mixer mixer(2, 22050);
    const auto a = MakeBuffer(mixer, kStereo16, Pcm16({500, 500, 500, 500}));
    MakeBuffer(mixer, kStereo16, Pcm16({700, 700, 700, 700}));  // never played
    mixer.Play(a, 1);
    mixer.Stop(a);
    EXPECT_EQ(Render(mixer, 2), (std::vector<int16_t>{0, 0, 0, 0}));
    uint32_t status = 99;
    ASSERT_EQ(mixer.GetStatus(a, status), 1);
    EXPECT_EQ(status, 0u);
}

TEST(Mixer, LoopingBufferWrapsAndOnceBufferStopsAfterItsLastFrame) {
    winx_Mixer mixer(1, 22050);
    const winx_PcmFormat mono{16, 1, 22050};
    const auto looped = MakeBuffer(mixer, mono, Pcm16({1, 2, 3}));
    mixer.Play(looped, 1);
    EXPECT_EQ(Render(mixer, 7), (std::vector<int16_t>{1, 2, 3, 1, 2, 3, 1}));
    uint32_t status = 0;
    mixer.GetStatus(looped, status);
    EXPECT_EQ(status, kWinxStatusPlaying | kWinxStatusLooping);
    mixer.Stop(looped);

    const auto once = MakeBuffer(mixer, mono, Pcm16({10, 20, 30}));
    mixer.SetPosition(once, 0);
    mixer.Play(once, 0);
    EXPECT_EQ(Render(mixer, 5), (std::vector<int16_t>{10, 20, 30, 0, 0}));
    mixer.GetStatus(once, status);
    EXPECT_EQ(status, 0u);
}

TEST(Mixer, EightBitSamplesAreUnsignedAndMonoFeedsBothSides) {
    winx_Mixer mixer(2, 22050);
    const auto id = MakeBuffer(mixer, winx_PcmFormat{8, 1, 22050}, {128, 255, 0});
    mixer.Play(id, 0);
    EXPECT_EQ(Render(mixer, 3), (std::vector<int16_t>{0, 0, 32512, 32512, -32768, -32768}));
}

TEST(Mixer, SixteenBitSamplesAreLittleEndian) {
    winx_Mixer mixer(1, 22050);
    const auto id = MakeBuffer(mixer, winx_PcmFormat{16, 1, 22050}, {0x34, 0x12, 0xFE, 0xFF});
    mixer.Play(id, 0);
    EXPECT_EQ(Render(mixer, 2), (std::vector<int16_t>{0x1234, -2}));
}

TEST(Mixer, StereoFoldsToMonoOutput) {
    winx_Mixer mixer(1, 22050);
    const auto id = MakeBuffer(mixer, kStereo16, Pcm16({100, 300, -50, -150}));
    mixer.Play(id, 0);
    EXPECT_EQ(Render(mixer, 2), (std::vector<int16_t>{200, -100}));
}

TEST(Mixer, HalfRateSourceIsInterpolatedBetweenItsFrames) {
    winx_Mixer mixer(1, 22050);
    const auto id = MakeBuffer(mixer, winx_PcmFormat{16, 1, 11025}, Pcm16({0, 1000, 3000}));
    mixer.Play(id, 0);
    EXPECT_EQ(Render(mixer, 7), (std::vector<int16_t>{0, 500, 1000, 2000, 3000, 3000, 0}));
}

TEST(Mixer, AttenuationScalesByTenToTheHundredthsOverTwoThousand) {
    winx_Mixer mixer(1, 22050);
    const auto id = MakeBuffer(mixer, winx_PcmFormat{16, 1, 22050}, Pcm16({10000, 10000, 10000}));
    mixer.SetVolume(id, -2000);  // -20 dB
    mixer.Play(id, 1);
    EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{1000}));
    mixer.SetVolume(id, -600);  // -6 dB
    EXPECT_NEAR(Render(mixer, 1)[0], 5012, 1);
    mixer.SetVolume(id, -10000);
    EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{0}));
    int32_t attenuation = 0;
    mixer.SetVolume(id, -20000);
    mixer.GetVolume(id, attenuation);
    EXPECT_EQ(attenuation, kWinxVolumeMin);
}

TEST(Mixer, LockOfARingBufferWrapsIntoTwoParts) {
    winx_Mixer mixer(2, 22050);
    const auto id = mixer.Create(kStereo16, 40);
    winx_LockedRegion region;
    ASSERT_EQ(mixer.Lock(id, 32, 16, region), 1);
    EXPECT_EQ(region.firstBytes, 8u);
    EXPECT_EQ(region.secondBytes, 8u);
    ASSERT_NE(region.second, nullptr);
    EXPECT_EQ(region.second + 32, region.first);
    ASSERT_EQ(mixer.Lock(id, 0, 400, region), 1);
    EXPECT_EQ(region.firstBytes, 40u);
    EXPECT_EQ(region.second, nullptr);
}

TEST(Mixer, PositionIsReportedInBytesAndSetOnFrameBoundaries) {
    winx_Mixer mixer(2, 22050);
    const auto id = mixer.Create(kStereo16, 400);
    mixer.Play(id, 1);
    std::vector<int16_t> out(20);
    mixer.Render(out.data(), 10);
    uint32_t position = 0;
    mixer.GetPosition(id, position);
    EXPECT_EQ(position, 40u);
    EXPECT_EQ(mixer.SetPosition(id, 7), 1);
    mixer.GetPosition(id, position);
    EXPECT_EQ(position, 4u);
    EXPECT_EQ(mixer.SetPosition(id, 400), 0);
    winx_PcmFormat format;
    ASSERT_EQ(mixer.GetFormat(id, format), 1);
    EXPECT_EQ(format.BlockAlign(), 4);
}

TEST(Mixer, RefusesFormatsAndSizesItCannotPlay) {
    winx_Mixer mixer(2, 22050);
    EXPECT_EQ(mixer.Create(winx_PcmFormat{24, 2, 22050}, 60), 0u);
    EXPECT_EQ(mixer.Create(winx_PcmFormat{16, 0, 22050}, 60), 0u);
    EXPECT_EQ(mixer.Create(winx_PcmFormat{16, 3, 22050}, 60), 0u);
    EXPECT_EQ(mixer.Create(winx_PcmFormat{16, 2, 0}, 60), 0u);
    EXPECT_EQ(mixer.Create(winx_PcmFormat{16, 2, -5}, 60), 0u);
    EXPECT_EQ(mixer.Create(kStereo16, 0), 0u);
    EXPECT_EQ(mixer.Create(kStereo16, 6), 0u);
    EXPECT_EQ(mixer.Create(kStereo16, winx_Mixer::kMaxBufferBytes + 4), 0u);
    EXPECT_EQ(mixer.Create(winx_PcmFormat{16, 2, 192001}, 60), 0u);
    EXPECT_EQ(mixer.BufferCount(), 0);
    // The other side of each limit.
    EXPECT_NE(mixer.Create(winx_PcmFormat{16, 2, 192000}, 60), 0u);
    EXPECT_NE(mixer.Create(winx_PcmFormat{8, 1, 1}, 3), 0u);
    EXPECT_NE(mixer.Create(winx_PcmFormat{8, 2, 11025}, 2), 0u);
    EXPECT_EQ(mixer.BufferCount(), 3);
    // An output the mixer cannot make is stereo at 22050 Hz.
    const struct {
        int channels, rate, madeChannels, madeRate;
    } outputs[] = {{1, 44100, 1, 44100}, {2, 8000, 2, 8000}, {0, 0, 2, 22050}, {3, -1, 2, 22050}};
    for (const auto& o : outputs) {
        winx_Mixer made(o.channels, o.rate);
        EXPECT_EQ(made.OutputChannels(), o.madeChannels) << o.channels;
        EXPECT_EQ(made.OutputRate(), o.madeRate) << o.rate;
    }
}

TEST(Mixer, VolumeAboveFullIsFullAndLocksWrapTheirOffset) {
    winx_Mixer mixer(1, 22050);
    const auto id = MakeBuffer(mixer, winx_PcmFormat{16, 1, 22050}, Pcm16({7000, 7000}));
    ASSERT_EQ(mixer.SetVolume(id, 300), 1);
    int32_t attenuation = -1;
    ASSERT_EQ(mixer.GetVolume(id, attenuation), 1);
    EXPECT_EQ(attenuation, kWinxVolumeMax);
    mixer.Play(id, 1);
    EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{7000}));
    ASSERT_EQ(mixer.SetVolume(id, -1), 1);
    EXPECT_LT(Render(mixer, 1)[0], 7000);
    winx_LockedRegion region;
    const auto ring = mixer.Create(kStereo16, 40);
    uint32_t size = 0;
    ASSERT_EQ(mixer.GetSize(ring, size), 1);
    EXPECT_EQ(size, 40u);
    ASSERT_EQ(mixer.Lock(ring, 48, 40, region), 1);
    EXPECT_EQ(region.firstBytes, 32u);
    EXPECT_EQ(region.secondBytes, 8u);
    EXPECT_EQ(region.first, region.second + 8);
    // A lock that ends exactly at the buffer's end is one part.
    ASSERT_EQ(mixer.Lock(ring, 32, 8, region), 1);
    EXPECT_EQ(region.firstBytes, 8u);
    EXPECT_EQ(region.second, nullptr);
    EXPECT_EQ(region.secondBytes, 0u);
}

TEST(Mixer, HandlesAreNeverReusedSoStaleOnesFindNothing) {
    winx_Mixer mixer(2, 22050);
    const auto old = mixer.Create(kStereo16, 8);
    mixer.ReleaseAll();
    const auto fresh = mixer.Create(kStereo16, 8);
    EXPECT_NE(old, fresh);
    EXPECT_EQ(mixer.Play(old, 0), 0);
    uint32_t status = 0;
    EXPECT_EQ(mixer.GetStatus(old, status), 0);
    winx_PcmFormat format;
    EXPECT_EQ(mixer.GetFormat(old, format), 0);
    uint32_t bytes = 0;
    EXPECT_EQ(mixer.GetSize(old, bytes), 0);
    winx_LockedRegion region;
    EXPECT_EQ(mixer.Lock(old, 0, 4, region), 0);
    EXPECT_EQ(mixer.Unlock(old), 0);
    winx_Mixer other(2, 22050);
    EXPECT_NE(other.Create(kStereo16, 8), fresh);
    // Every call on a live handle succeeds, every one on a stale handle fails alike.
    const auto calls = [&](winx_BufferId id) {
        int32_t volume = 0;
        uint32_t position = 0;
        return std::vector<int>{mixer.Contains(id),
                                mixer.Play(id, 1),
                                mixer.Stop(id),
                                mixer.SetPosition(id, 4),
                                mixer.SetVolume(id, -100),
                                mixer.GetVolume(id, volume),
                                mixer.GetPosition(id, position)};
    };
    EXPECT_EQ(calls(fresh), std::vector<int>(7, 1));
    EXPECT_EQ(calls(old), std::vector<int>(7, 0));
    EXPECT_EQ(mixer.Release(fresh), 1);
    EXPECT_EQ(mixer.Release(fresh), 0);
}
