// Starts the game's template catalogue on the asset maker's stand-in catalogue and fixed packs,
// as the World's start-up does after building the title screen.
#include <gtest/gtest.h>

#include "MadeAssets.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/NodeList.h"
#include "core/SpriteSet.h"

using namespace MadeAssets;

namespace {

using AssetCatalogueTest = MadeAssetsTest;

TEST_F(AssetCatalogueTest, StandInCatalogueLoadsWithEveryFixedPack) {
    ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
    EXPECT_EQ(PartList.Count(), 0);
    EXPECT_EQ(RoleList.Count(), 3);
    ASSERT_NE(ArtifactPictures, nullptr);
    ASSERT_NE(OreDepositPictures, nullptr);
    EXPECT_GE(OreDepositPictures->LastFrameIndex(), 0);
    ASSERT_NE(LevelBarPictures, nullptr);
    EXPECT_GE(LevelBarPictures->LastFrameIndex(), 1);
    ASSERT_NE(LevelMeterPictures, nullptr);
    ClearTemplateCatalogue();
}

}  // namespace
