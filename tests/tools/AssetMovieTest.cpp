// Opens the asset maker's movies with the game's movie decoder.
#include <gtest/gtest.h>

#include <memory>

#include "platform/FfmpegMovie.h"
#include "support/MadeAssets.h"

using namespace MadeAssets;

namespace {

using AssetMovieTest = MadeAssetsTest;

TEST_F(AssetMovieTest, MoviesOpenAndAreTheSameOnBothVolumes) {
    for (const char* name : {"intro.mov", "VN01.mov", "VNVIC.mov"}) {
        const fs::path first = Volume(kVolumes[0]) / "Movies" / name;
        EXPECT_EQ(FileBytes(first), FileBytes(Volume(kVolumes[1]) / "Movies" / name)) << name;
        std::unique_ptr<winx_FfmpegMovie> movie = winx_FfmpegMovie::Open(first.string());
        ASSERT_NE(movie, nullptr) << name;
        EXPECT_EQ(movie->Width(), 320);
        EXPECT_EQ(movie->Height(), 240);
    }
}

}  // namespace
