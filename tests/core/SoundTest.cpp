#include "core/Sound.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/ResourceFile.h"
#include "support/FakeSoundDevice.h"
#include "support/PackBuilder.h"
#include "support/SampleEntry.h"
#include "support/ScopedWorkingDir.h"

namespace {

// A sound pack of one column whose rows are the given entries, installed as the shared pack.
class SoundPackTest : public ::testing::Test {
protected:
    void InstallPack(const std::vector<Bytes>& entries, int rows = -1) {
        PackBuilder builder(1, static_cast<uint16_t>(rows < 0 ? entries.size() : rows));
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].empty()) builder.Entry(0, static_cast<int>(i), entries[i]);
        }
        const Bytes bytes = builder.Build();
        dir.WriteFile("7a1.XSF", std::string(bytes.begin(), bytes.end()));
        auto pack = std::make_unique<ResourceFile>();
        pack->plainPath = 1;
        ASSERT_EQ(pack->Open((dir.Path() + "/7a1.XSF").c_str(), 1, 0), 1);
        SetSharedSoundPack(std::move(pack));
    }
    void TearDown() override { SetSharedSoundPack(nullptr); }

    FakeSoundDevice::Buffer* BufferOf(const Sound& sound) { return device.Find(sound.Buffer()); }

    ScopedWorkingDir dir;
    FakeSoundDevice device;
};

}  // namespace

TEST_F(SoundPackTest, EachFormatDeliversItsSamplesUnchanged) {
    const Bytes samples = CountingSamples16(6, 2);
    InstallPack({MakeSampleEntry({0, 16, 2, 22050}, samples),
                 MakeSampleEntry({1, 16, 2, 11025}, samples),
                 MakeSampleEntry({2, 16, 2, 44100}, samples)});
    const int32_t rates[] = {22050, 11025, 44100};
    for (int entry = 0; entry < 3; ++entry) {
        Sound sound(entry);
        sound.Play(0);
        const auto* buffer = BufferOf(sound);
        ASSERT_NE(buffer, nullptr) << entry;
        EXPECT_EQ(sound.Format(), entry);
        EXPECT_EQ(buffer->bits, 16);
        EXPECT_EQ(buffer->channels, 2);
        EXPECT_EQ(buffer->rate, rates[entry]);
        EXPECT_EQ(sound.FrameCount(), 6);
        // Format 0 at 16 bits has a block before the samples that is never played.
        EXPECT_EQ(buffer->data, samples) << entry;
        EXPECT_TRUE(buffer->playing);
        EXPECT_FALSE(buffer->looping);
    }
}

TEST_F(SoundPackTest, EightBitFormatZeroHasNoSkippedBlock) {
    const Bytes samples{0, 64, 128, 255, 10};
    InstallPack({MakeSampleEntry({0, 8, 1, 8000}, samples)});
    Sound sound(0);
    sound.Play(1);
    ASSERT_NE(BufferOf(sound), nullptr);
    EXPECT_EQ(BufferOf(sound)->data, samples);
    EXPECT_TRUE(BufferOf(sound)->looping);
}

TEST_F(SoundPackTest, HeaderWordsFollowTheFormatsByteOrder) {
    // 00 00 00 10 in format 1 and 10 00 00 00 in format 2 are both 16 bits.
    Bytes bigEndian{0, 1, 0, 0, 0, 16, 0, 0, 0, 1, 0, 0, 0x56, 0x22, 0, 0, 0, 2, 1, 2, 3, 4};
    Bytes littleEndian{0, 2, 16, 0, 0, 0, 1, 0, 0, 0, 0x22, 0x56, 0, 0, 2, 0, 0, 0, 1, 2, 3, 4};
    InstallPack({bigEndian, littleEndian});
    for (int entry = 0; entry < 2; ++entry) {
        Sound sound(entry);
        sound.Play(0);
        EXPECT_EQ(sound.BitsPerSample(), 16);
        EXPECT_EQ(sound.Channels(), 1);
        EXPECT_EQ(sound.SamplesPerSecond(), 22050);
        EXPECT_EQ(sound.FrameCount(), 2);
        ASSERT_NE(BufferOf(sound), nullptr);
        EXPECT_EQ(BufferOf(sound)->data, (Bytes{1, 2, 3, 4}));
    }
}

TEST_F(SoundPackTest, ReplayAfterStopReadsTheEntryAgainAndGivesIdenticalSamples) {
    const Bytes samples = CountingSamples16(5, 2, 300);
    InstallPack({MakeSampleEntry({0, 16, 2, 22050}, samples),
                 MakeSampleEntry({1, 16, 2, 22050}, samples),
                 MakeSampleEntry({2, 16, 2, 22050}, samples)});
    for (int entry = 0; entry < 3; ++entry) {
        Sound sound(entry);
        sound.Play(0);
        ASSERT_NE(BufferOf(sound), nullptr);
        sound.Stop();
        EXPECT_EQ(sound.Buffer(), SoundBuffer::None);
        EXPECT_EQ(sound.HeaderRead(), 1);
        const int createdBefore = device.created;
        sound.Play(0);
        EXPECT_EQ(device.created, createdBefore + 1);
        ASSERT_NE(BufferOf(sound), nullptr);
        EXPECT_EQ(BufferOf(sound)->data, samples) << "format " << entry;
    }
    // Each sound released one buffer at Stop and one at destruction.
    EXPECT_EQ(device.released, 2 * 3);
}

TEST_F(SoundPackTest, LaterLoadsStartOnTheSameSampleByteAsTheFirst) {
    const Bytes samples = CountingSamples16(8, 2);
    InstallPack({MakeSampleEntry({0, 16, 2, 22050}, samples)});
    Sound sound(0);
    sound.Play(0);
    ASSERT_NE(BufferOf(sound), nullptr);
    // Write frames 3 and 4 over frames 0 and 1 of the existing buffer.
    sound.Load(8, 2, 0, 3);
    Bytes expected = samples;
    std::copy(samples.begin() + 12, samples.begin() + 20, expected.begin());
    EXPECT_EQ(BufferOf(sound)->data, expected);
    // The last two frames still load; a range that reaches past them, or starts before the
    // first, loads nothing and leaves the buffer as it was.
    sound.Load(8, 2, 2, 6);
    std::copy(samples.begin() + 24, samples.begin() + 32, expected.begin() + 8);
    EXPECT_EQ(BufferOf(sound)->data, expected);
    sound.Load(8, 2, 4, 7);
    sound.Load(8, 1, 4, -1);
    sound.Load(8, 0, 4, 0);
    EXPECT_EQ(BufferOf(sound)->data, expected);
}

TEST_F(SoundPackTest, HeadersTheEntryCannotHoldAreRefusedNotAllocated) {
    const Bytes samples = CountingSamples16(4, 2);
    std::vector<Bytes> entries{
        MakeSampleEntry({2, 0, 2, 22050, 4}, samples),
        MakeSampleEntry({2, -16, 2, 22050, 4}, samples),
        MakeSampleEntry({2, 24, 2, 22050, 4}, samples),
        MakeSampleEntry({2, 16, 0, 22050, 4}, samples),
        MakeSampleEntry({2, 16, -2, 22050, 4}, samples),
        MakeSampleEntry({2, 16, 3, 22050, 4}, samples),
        MakeSampleEntry({2, 16, 2, 0, 4}, samples),
        MakeSampleEntry({2, 16, 2, -1, 4}, samples),
        MakeSampleEntry({2, 16, 2, 22050, 5}, samples),
        MakeSampleEntry({2, 16, 2, 22050, 0x7FFFFFFF}, samples),
        MakeSampleEntry({2, 16, 2, 22050, -4}, samples),
        MakeSampleEntry({0, 16, 2, 22050, 0x40000000}, samples),
        MakeSampleEntry({1, 0x10000000, 2, 22050, 4}, samples),
        MakeSampleEntry({2, 16, 2, 22050, 0}, samples),
        Bytes{0, 7, 1, 2, 3, 4},
        Bytes{0, 2, 16, 0},
    };
    InstallPack(entries);
    for (size_t entry = 0; entry < entries.size(); ++entry) {
        Sound sound(static_cast<int32_t>(entry));
        sound.Play(0);
        EXPECT_EQ(sound.Buffer(), SoundBuffer::None) << entry;
        EXPECT_EQ(sound.IsPlaying(), 0);
        sound.Stop();
    }
    EXPECT_EQ(device.created, 0);
    EXPECT_EQ(device.strayPlays, 0);
}

TEST_F(SoundPackTest, AFailedSelectIsNoSource) {
    // Entry 1 is absent: a failed select must not read entry 0's window instead.
    InstallPack({MakeSampleEntry({2, 16, 1, 22050}, CountingSamples16(4, 1)), Bytes{}}, 2);
    Sound first(0);
    first.Play(0);
    ASSERT_NE(BufferOf(first), nullptr);
    Sound absent(1);
    absent.Play(0);
    EXPECT_EQ(absent.Buffer(), SoundBuffer::None);
    Sound beyond(9);
    beyond.Play(0);
    EXPECT_EQ(beyond.Buffer(), SoundBuffer::None);
    EXPECT_EQ(device.created, 1);
}

TEST_F(SoundPackTest, AMissingSoundPackLeavesTheGameSilent) {
    auto missing = std::make_unique<ResourceFile>();
    missing->plainPath = 1;
    EXPECT_EQ(missing->Open((dir.Path() + "/7a1.XSF").c_str(), 1, 0), 0);
    SetSharedSoundPack(std::move(missing));
    Sound sound(3);
    sound.Play(0);
    EXPECT_EQ(sound.IsPlaying(), 0);
    sound.Stop();
    SetSharedSoundPack(nullptr);
    Sound noPack(3);
    noPack.Play(0);
    EXPECT_EQ(noPack.Buffer(), SoundBuffer::None);
    EXPECT_EQ(device.created, 0);
}

TEST(SoundEntry, DecodedHeaderGivesWhereTheSamplesStart) {
    const Bytes samples = CountingSamples16(3, 2);
    SampleHeader header;
    Bytes entry = MakeSampleEntry({0, 16, 2, 22050}, samples);
    ASSERT_EQ(DecodeSampleHeader(entry.data(), static_cast<int64_t>(entry.size()),
                                 static_cast<int64_t>(entry.size()), header),
              1);
    EXPECT_EQ(header.dataOffset, 34 + 3 * 2 * 2);
    entry = MakeSampleEntry({1, 8, 2, 22050}, Bytes(6, 9));
    ASSERT_EQ(DecodeSampleHeader(entry.data(), 18, static_cast<int64_t>(entry.size()), header), 1);
    EXPECT_EQ(header.dataOffset, 18);
    EXPECT_EQ(header.BlockAlign(), 2);
    // The least the header may say, one frame at one sample a second, is a sound.
    SampleHeader least;
    const Bytes tiny = MakeSampleEntry({1, 16, 1, 1, 1}, CountingSamples16(1, 1));
    ASSERT_EQ(DecodeSampleHeader(tiny.data(), 18, static_cast<int64_t>(tiny.size()), least), 1);
    EXPECT_EQ(least.samplesPerSecond, 1);
    EXPECT_EQ(least.frameCount, 1);
    // A header cut short is refused.
    EXPECT_EQ(DecodeSampleHeader(entry.data(), 17, static_cast<int64_t>(entry.size()), header), 0);
    EXPECT_EQ(DecodeSampleHeader(entry.data(), 18, static_cast<int64_t>(entry.size()) - 1, header),
              0);
}
