#include "platform/FfmpegMovie.h"
#include "platform/MovieWriter.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

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
