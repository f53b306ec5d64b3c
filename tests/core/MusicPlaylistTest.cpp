#include "core/MusicPlaylist.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/Random.h"
#include "support/FakeSoundDevice.h"
#include "support/PackBuilder.h"
#include "support/SampleEntry.h"
#include "support/ScopedWorkingDir.h"

namespace {

constexpr int32_t kRing = 8;
constexpr int32_t kChunk = 4;

// Piece p, frame f of a counting piece: channel 0 holds (p * 1000 + f) * 2, channel 1 one more.
Bytes CountingPiece(int piece, int32_t frames) {
    return MakeSampleEntry({2, 16, 2, 22050}, CountingSamples16(frames, 2, piece * 1000));
}

struct FrameId {
    int piece;
    int frame;
    bool operator==(const FrameId&) const = default;
};

// Reads 16-bit stereo counting frames back; a frame whose channels are not in order fails.
std::vector<FrameId> DecodeFrames(const Bytes& bytes) {
    std::vector<FrameId> frames;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        const int left = bytes[i] | bytes[i + 1] << 8;
        const int right = bytes[i + 2] | bytes[i + 3] << 8;
        EXPECT_EQ(right, left + 1) << "channels out of order at byte " << i;
        frames.push_back({left / 2 / 1000, left / 2 % 1000});
    }
    return frames;
}

// Splits frames into the plays of pieces: a play starts at frame 0.
std::vector<std::pair<int, int>> Plays(const std::vector<FrameId>& frames) {
    std::vector<std::pair<int, int>> plays;  // (piece, frames played)
    for (const FrameId& f : frames) {
        if (f.frame == 0 || plays.empty()) plays.push_back({f.piece, 0});
        EXPECT_EQ(plays.back().first, f.piece);
        EXPECT_EQ(f.frame, plays.back().second) << "a frame was skipped or repeated";
        ++plays.back().second;
    }
    return plays;
}

class MusicPlaylistTest : public ::testing::Test {
protected:
    std::string WritePack(const std::vector<Bytes>& pieces) {
        PackBuilder builder(1, static_cast<uint16_t>(pieces.size()));
        for (size_t i = 0; i < pieces.size(); ++i)
            builder.Entry(0, static_cast<int>(i), pieces[i]);
        const Bytes bytes = builder.Build();
        dir.WriteFile("7a0.xsf", std::string(bytes.begin(), bytes.end()));
        return dir.Path() + "/7a0.xsf";
    }
    // Moves the play cursor into the chunk after the one the write position stands at, as a
    // playing ring does, and ticks.
    void PlayOneChunk(MusicPlaylist& playlist) {
        FakeSoundDevice::Buffer* ring = device.Find(playlist.Buffer());
        ASSERT_NE(ring, nullptr);
        const int32_t frame = (playlist.WritePosition() + kChunk) % kRing;
        ring->position = static_cast<uint32_t>(frame * ring->BlockAlign());
        playlist.Tick();
    }

    ScopedWorkingDir dir;
    FakeSoundDevice device;
};

}  // namespace

TEST_F(MusicPlaylistTest, EveryPieceOfTheCyclePlaysBeforeAnyRepeats) {
    const std::string pack =
        WritePack({CountingPiece(0, 10), CountingPiece(1, 10), CountingPiece(2, 10)});
    for (uint32_t seed : {1u, 77u, 4242u, 99999u}) {
        SeedRandom(seed);
        device.written.clear();
        MusicPlaylist playlist(pack, 0, kRing, kChunk);
        playlist.Play(0);
        for (int i = 0; i < 60; ++i)
            PlayOneChunk(playlist);
        const auto plays = Plays(DecodeFrames(device.written));
        ASSERT_GE(plays.size(), 9u);
        for (size_t cycle = 0; cycle + 3 <= plays.size(); cycle += 3) {
            std::set<int> pieces;
            for (size_t i = cycle; i < cycle + 3; ++i)
                pieces.insert(plays[i].first);
            EXPECT_EQ(pieces, (std::set<int>{0, 1, 2})) << "seed " << seed << " cycle " << cycle;
        }
    }
}

TEST_F(MusicPlaylistTest, AChunkThatStraddlesAPieceBoundaryIsFull) {
    const std::string pack = WritePack({CountingPiece(0, 6), CountingPiece(1, 6)});
    MusicPlaylist playlist(pack, 0, kRing, kChunk);
    playlist.Play(0);
    for (int i = 0; i < 12; ++i) {
        const size_t before = device.written.size();
        PlayOneChunk(playlist);
        EXPECT_EQ(device.written.size() - before, static_cast<size_t>(kChunk * 4)) << i;
        EXPECT_EQ(playlist.WritePosition() % kChunk, 0);
    }
    // Every piece is played whole, one after the other.
    const auto plays = Plays(DecodeFrames(device.written));
    for (size_t i = 0; i + 1 < plays.size(); ++i)
        EXPECT_EQ(plays[i].second, 6) << i;
}

TEST_F(MusicPlaylistTest, TheRingHoldsExactlyThePiecesSamplesAcrossRefills) {
    // One piece of 20 frames: refills reload its entry with the header already read, and
    // must land on the same sample bytes as the first load (a shift would swap the channels).
    const Bytes samples = CountingSamples16(20, 2, 0);
    const std::string pack = WritePack({MakeSampleEntry({0, 16, 2, 22050}, samples)});
    MusicPlaylist playlist(pack, 0, kRing, kChunk);
    playlist.Play(0);
    FakeSoundDevice::Buffer* ring = device.Find(playlist.Buffer());
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->data, Bytes(samples.begin(), samples.begin() + kRing * 4));

    // A model of the ring: frame n of the stream goes to ring frame n mod 8.
    Bytes model = ring->data;
    int32_t streamed = kRing;
    for (int i = 0; i < 15; ++i) {
        PlayOneChunk(playlist);
        for (int32_t k = 0; k < kChunk; ++k, ++streamed) {
            const int32_t frame = streamed % 20;
            std::copy(samples.begin() + frame * 4, samples.begin() + frame * 4 + 4,
                      model.begin() + (streamed % kRing) * 4);
        }
        ASSERT_EQ(ring->data, model) << "after refill " << i;
    }
}

TEST_F(MusicPlaylistTest, AFirstPieceShorterThanTheRingStillFillsIt) {
    const std::string pack =
        WritePack({CountingPiece(0, 3), CountingPiece(1, 3), CountingPiece(2, 3)});
    MusicPlaylist playlist(pack, 0, kRing, kChunk);
    ASSERT_NE(device.Find(playlist.Buffer()), nullptr);
    const auto frames = DecodeFrames(device.Find(playlist.Buffer())->data);
    ASSERT_EQ(frames.size(), static_cast<size_t>(kRing));
    const auto plays = Plays(frames);
    EXPECT_EQ(plays.size(), 3u);
    EXPECT_EQ(plays[0].second, 3);
    EXPECT_EQ(plays[1].second, 3);
    EXPECT_EQ(plays[2].second, 2);
}

TEST_F(MusicPlaylistTest, PiecesWithoutFramesAreSkipped) {
    const Bytes empty = MakeSampleEntry({2, 16, 2, 22050, 0}, Bytes{});
    const std::string pack = WritePack({empty, CountingPiece(1, 5), empty});
    MusicPlaylist playlist(pack, 0, kRing, kChunk);
    playlist.Play(0);
    for (int i = 0; i < 10; ++i)
        PlayOneChunk(playlist);
    for (const FrameId& f : DecodeFrames(device.written))
        EXPECT_EQ(f.piece, 1);
    EXPECT_GT(device.written.size(), 0u);
}

TEST_F(MusicPlaylistTest, APackOfUnplayablePiecesIsSilentAndDoesNotHang) {
    const Bytes empty = MakeSampleEntry({2, 16, 2, 22050, 0}, Bytes{});
    const std::string pack = WritePack({empty, Bytes{0, 9, 1, 2}});
    MusicPlaylist playlist(pack, 0, kRing, kChunk);
    EXPECT_EQ(playlist.Buffer(), SoundBuffer::None);
    playlist.Play(0);
    playlist.Tick();
    EXPECT_EQ(device.created, 0);
}

TEST_F(MusicPlaylistTest, PiecesOfAnotherSampleSizeAreNotStreamedIntoTheRing) {
    const Bytes eightBit = MakeSampleEntry({2, 8, 1, 22050}, Bytes(8, 0x77));
    const std::string pack = WritePack({CountingPiece(0, 10), eightBit});
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        SeedRandom(seed);
        device.written.clear();
        MusicPlaylist playlist(pack, 0, kRing, kChunk);
        playlist.Play(0);
        for (int i = 0; i < 10; ++i)
            PlayOneChunk(playlist);
        if (device.Find(playlist.Buffer())->bits == 8) {
            EXPECT_EQ(device.written, Bytes(device.written.size(), 0x77));
        } else {
            for (const FrameId& f : DecodeFrames(device.written))
                EXPECT_EQ(f.piece, 0);
        }
    }
}

TEST_F(MusicPlaylistTest, TickWaitsWhileTheCursorIsInTheChunkAboutToBeWritten) {
    const std::string pack = WritePack({CountingPiece(0, 50)});
    MusicPlaylist playlist(pack, 0, kRing, kChunk);
    playlist.Tick();  // not playing yet
    EXPECT_EQ(device.refills, 0);
    playlist.Play(7);
    EXPECT_TRUE(device.Find(playlist.Buffer())->looping);
    FakeSoundDevice::Buffer* ring = device.Find(playlist.Buffer());
    ring->position = 3 * 4;  // inside frames 0..3, where the next chunk goes
    playlist.Tick();
    EXPECT_EQ(device.refills, 0);
    ring->position = 4 * 4;
    playlist.Tick();
    EXPECT_EQ(device.refills, 1);
    EXPECT_EQ(playlist.WritePosition(), 4);
    EXPECT_EQ(playlist.ReadPosition(), 12);
    playlist.Stop();
    EXPECT_FALSE(ring->playing);
    EXPECT_NE(device.Find(playlist.Buffer()), nullptr);
    playlist.SetVolume(40);
    EXPECT_EQ(ring->volume, 40);
}
