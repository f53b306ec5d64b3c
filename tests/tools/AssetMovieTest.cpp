// Opens the asset maker's movies with the game's movie decoder.
#include <gtest/gtest.h>

#include <cstdio>
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

TEST_F(AssetMovieTest, CampaignTitleCardsLieOnTheirClansVolume) {
    for (int mission = 1; mission <= 11; ++mission) {
        char v[16], t[16];
        std::snprintf(v, sizeof v, "VN%02d.mov", mission);
        std::snprintf(t, sizeof t, "TM%02d.mov", mission);
        EXPECT_TRUE(fs::exists(Volume(kVolumes[0]) / "Movies" / v)) << v;
        EXPECT_TRUE(fs::exists(Volume(kVolumes[1]) / "Movies" / t)) << t;
        // VN01 is the sample briefing every volume carries.
        EXPECT_EQ(fs::exists(Volume(kVolumes[1]) / "Movies" / v), mission == 1) << v;
        EXPECT_FALSE(fs::exists(Volume(kVolumes[0]) / "Movies" / t)) << t;
    }
    const fs::path victory = Volume(kVolumes[1]) / "Movies" / "TMVIC.mov";
    std::unique_ptr<winx_FfmpegMovie> movie = winx_FfmpegMovie::Open(victory.string());
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->Width(), 320);
}

}  // namespace
