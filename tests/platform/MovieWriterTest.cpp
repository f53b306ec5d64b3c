#include "platform/FfmpegMovie.h"
#include "platform/MovieWriter.h"
#include "support/TempDirectory.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

class MovieWriterTest : public ::testing::Test {
protected:
    // A small movie of moving stripes with a rising tone.
    bool Write(const fs::path& path, bool sound) {
        winx_MovieWriter writer;
        if (!writer.Open(path.string(), 64, 48, 10, sound ? 22050 : 0, 2)) return false;
        std::vector<uint8_t> rgb(64 * 48 * 3);
        std::vector<int16_t> samples(2205 * 2);
        for (int frame = 0; frame < 10; ++frame) {
            for (size_t i = 0; i < rgb.size(); ++i)
                rgb[i] = static_cast<uint8_t>((i / 3 + frame * 8) * 5);
            if (!writer.WriteFrame(rgb.data(), 64 * 3)) return false;
            for (size_t i = 0; i < samples.size(); ++i) {
                samples[i] = static_cast<int16_t>(((i + frame) % 50) * 400 - 10000);
            }
            if (sound && !writer.WriteSound(samples.data(), 2205)) return false;
        }
        return writer.Close();
    }

    static std::vector<uint8_t> Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    TempDirectory scratch;
    fs::path directory{scratch.Path()};
};

TEST_F(MovieWriterTest, SameFramesGiveTheSameBytes) {
    ASSERT_TRUE(Write(directory / "a.mov", true));
    ASSERT_TRUE(Write(directory / "b.mov", true));
    EXPECT_EQ(Bytes(directory / "a.mov"), Bytes(directory / "b.mov"));
    ASSERT_TRUE(Write(directory / "silent.mov", false));
    EXPECT_LT(Bytes(directory / "silent.mov").size(), Bytes(directory / "a.mov").size());
}

// Every picture written plays, the last one too, and for as long as the others.
TEST_F(MovieWriterTest, EveryPictureWrittenPlaysTheLastOneToo) {
    for (const int frames : {1, 2, 3, 10}) {
        SCOPED_TRACE(frames);
        const fs::path path = directory / "count.mov";
        winx_MovieWriter writer;
        ASSERT_TRUE(writer.Open(path.string(), 64, 48, 10, 0, 2));
        std::vector<uint8_t> rgb(64 * 48 * 3, 90);
        for (int i = 0; i < frames; ++i)
            ASSERT_TRUE(writer.WriteFrame(rgb.data(), 64 * 3));
        ASSERT_TRUE(writer.Close());
        auto movie = winx_FfmpegMovie::Open(path.string());
        ASSERT_NE(movie, nullptr);
        int slices = 0;
        while (!movie->WaitForCompletion(100))
            ASSERT_LT(++slices, 40);
        EXPECT_EQ(movie->FramesShown(), frames);
        movie.reset();
        fs::remove(path);
    }
}

// The sound track holds every sample written, in order, of mono and stereo sound alike, in
// blocks of any length (longer and shorter than the encoder's own).
TEST_F(MovieWriterTest, TheSoundTrackHoldsEverySampleWrittenInOrder) {
    for (const int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const fs::path path = directory / "sound.mov";
        winx_MovieWriter writer;
        ASSERT_TRUE(writer.Open(path.string(), 64, 48, 10, 22050, channels));
        std::vector<uint8_t> rgb(64 * 48 * 3, 40);
        std::vector<int16_t> written;
        int16_t next = -30000;
        for (const int frames : {2205, 1024, 1, 3000}) {
            std::vector<int16_t> block(static_cast<size_t>(frames) * channels);
            for (int16_t& v : block) {
                v = next;
                next = static_cast<int16_t>(next + 37);
            }
            ASSERT_TRUE(writer.WriteFrame(rgb.data(), 64 * 3));
            ASSERT_TRUE(writer.WriteSound(block.data(), frames));
            written.insert(written.end(), block.begin(), block.end());
        }
        ASSERT_TRUE(writer.Close());

        AVFormatContext* movie = nullptr;
        ASSERT_EQ(avformat_open_input(&movie, path.string().c_str(), nullptr, nullptr), 0);
        ASSERT_GE(avformat_find_stream_info(movie, nullptr), 0);
        const int track = av_find_best_stream(movie, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        ASSERT_GE(track, 0);
        EXPECT_EQ(movie->streams[track]->codecpar->ch_layout.nb_channels, channels);
        EXPECT_EQ(movie->streams[track]->codecpar->sample_rate, 22050);
        std::vector<int16_t> stored;
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(movie, packet) >= 0) {
            if (packet->stream_index == track) {
                for (int b = 0; b + 1 < packet->size; b += 2) {
                    stored.push_back(static_cast<int16_t>(
                        static_cast<uint16_t>(packet->data[b] | packet->data[b + 1] << 8)));
                }
            }
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        avformat_close_input(&movie);
        EXPECT_EQ(stored, written);
        fs::remove(path);
    }
}

TEST_F(MovieWriterTest, RefusesOddSizesAndUnwritablePaths) {
    winx_MovieWriter writer;
    EXPECT_FALSE(writer.Open((directory / "odd.mov").string(), 63, 48, 10, 0, 2));
    // Sizes and rates of 0 or below are refused, on each of the three.
    for (const auto& [w, h, fps] :
         {std::tuple{0, 48, 10}, std::tuple{64, 0, 10}, std::tuple{64, 48, 0},
          std::tuple{-2, 48, 10}, std::tuple{64, -2, 10}, std::tuple{64, 48, -1}}) {
        EXPECT_FALSE(writer.Open((directory / "zero.mov").string(), w, h, fps, 0, 2))
            << w << " " << h << " " << fps;
        EXPECT_FALSE(std::filesystem::exists(directory / "zero.mov"));
    }
    EXPECT_FALSE(writer.LastError().empty());
    EXPECT_FALSE(writer.Open((directory / "none" / "x.mov").string(), 64, 48, 10, 0, 2));
    EXPECT_FALSE(writer.Open((directory / "mono.mov").string(), 64, 48, 10, 22050, 3));
    // A link at the name is not written through, to a file or to nowhere; nor is a directory
    // or a FIFO (without a reader) opened.
    std::ofstream(directory / "players.mov") << "the player's";
    fs::create_symlink(directory / "players.mov", directory / "link.mov");
    fs::create_symlink(directory / "nowhere.mov", directory / "dangling.mov");
    fs::create_directory(directory / "directory.mov");
    ASSERT_EQ(mkfifo((directory / "fifo.mov").c_str(), 0600), 0);
    for (const char* name : {"link.mov", "dangling.mov", "directory.mov", "fifo.mov"}) {
        EXPECT_FALSE(writer.Open((directory / name).string(), 64, 48, 10, 0, 2)) << name;
        EXPECT_NE(writer.LastError().find("cannot create"), std::string::npos) << name;
    }
    EXPECT_EQ(Bytes(directory / "players.mov"), Bytes(directory / "link.mov"));
    EXPECT_EQ(Bytes(directory / "players.mov").size(), 12u);
    EXPECT_FALSE(fs::exists(directory / "nowhere.mov"));
}

TEST_F(MovieWriterTest, WritingWithoutAnOpenMovieFails) {
    winx_MovieWriter writer;
    std::vector<uint8_t> rgb(64 * 48 * 3);
    std::vector<int16_t> samples(100);
    EXPECT_FALSE(writer.WriteFrame(rgb.data(), 64 * 3));
    EXPECT_FALSE(writer.WriteSound(samples.data(), 50));
    EXPECT_FALSE(writer.Close());
    // A movie without a sound track refuses sound, and a too-short picture row.
    ASSERT_TRUE(writer.Open((directory / "v.mov").string(), 64, 48, 10, 0, 2));
    EXPECT_FALSE(writer.WriteSound(samples.data(), 50));
    EXPECT_FALSE(writer.Close());
    // A refused picture fails the movie: it is not finished.
    const struct {
        const uint8_t* rgb;
        int pitch;
        bool written;
    } pictures[] = {
        {rgb.data(), 64 * 3, true}, {rgb.data(), 64 * 3 - 1, false}, {nullptr, 64 * 3, false}};
    for (const auto& p : pictures) {
        winx_MovieWriter one;
        ASSERT_TRUE(one.Open((directory / "p.mov").string(), 64, 48, 10, 0, 2));
        EXPECT_EQ(one.WriteFrame(p.rgb, p.pitch), p.written) << p.pitch;
        EXPECT_EQ(one.LastError(), p.written ? "" : "bad picture") << p.pitch;
        EXPECT_EQ(one.Close(), p.written) << p.pitch;
    }
}

// A disk that takes no more (a file-size limit) fails the movie with a write error, and nothing
// written after that succeeds.
TEST_F(MovieWriterTest, AFullDiskFailsTheMovieWithAWriteError) {
    winx_MovieWriter writer;
    ASSERT_TRUE(writer.Open((directory / "full.mov").string(), 320, 240, 10, 0, 2));
    std::vector<uint8_t> rgb(320 * 240 * 3);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit low{8192, old.rlim_max};
    auto previous = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    int written = 0;
    uint32_t noise = 1;
    for (; written < 40; ++written) {
        // Pixels that do not compress, so that every picture is many kilobytes.
        for (uint8_t& b : rgb) {
            noise = noise * 1664525u + 1013904223u;
            b = static_cast<uint8_t>(noise >> 24);
        }
        if (!writer.WriteFrame(rgb.data(), 320 * 3)) break;
    }
    const bool closed = writer.Close();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previous);
    EXPECT_LT(written, 40);
    EXPECT_FALSE(closed);
    EXPECT_EQ(writer.LastError(), "cannot write to the movie file");
}

}  // namespace
