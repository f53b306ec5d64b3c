// Loads the asset maker's lands with the game's terrain map and checks what it made of them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "core/MemoryDisplay.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "platform/Capture.h"
#include "support/MadeAssets.h"

using namespace MadeAssets;

namespace {

class AssetLandTest : public MadeAssetsTest {
protected:
    // The map of pack land `row`, or of "edit.lnd" for -1, read as the land loader reads it.
    std::unique_ptr<TerrainMap> LoadMap(int row) {
        auto map = std::make_unique<TerrainMap>();
        const std::string local = Local().string() + "/";
        if (row < 0) {
            map->SetDiscDataPath(local.c_str());
            map->SetLocalDataPath(local.c_str());
            map->Load("edit.lnd");
            return map;
        }
        const std::string disc = (Volume(kVolumes[0]) / "Data").string() + "/";
        map->SetDiscDataPath(disc.c_str());
        map->SetLocalDataPath(local.c_str());
        ResourceFile pack;
        EXPECT_EQ(pack.Open(TerrainMap::kLandPack, ResourceFile::OpenMode::Pack), 1);
        EXPECT_EQ(pack.SelectEntry(0, row), 1);
        map->LoadFromStream(pack);
        return map;
    }

    MemoryDisplay screen;
};

TEST_F(AssetLandTest, EveryLandLoadsWithTilesStartsFeaturesAndTables) {
    const std::vector<LandText> lands = ReadAllLands();
    ASSERT_GE(lands.size(), 5u);
    for (size_t i = 0; i < lands.size(); ++i) {
        const bool edit = i + 1 == lands.size();
        SCOPED_TRACE(lands[i].tileSet);
        std::unique_ptr<TerrainMap> map = LoadMap(edit ? -1 : static_cast<int>(i));
        ASSERT_TRUE(map->HasTiles());
        EXPECT_EQ(map->SizeInCells(), Size(lands[i].columns, lands[i].rows));
        EXPECT_EQ(map->StartPoints().Count(), static_cast<int>(lands[i].starts.size()));
        EXPECT_NE(map->GetPalette(), nullptr);
        EXPECT_NE(map->ShadeTable1(), nullptr);
        EXPECT_NE(map->BlendTable(), nullptr);
        EXPECT_NE(map->DecorationSprites(), nullptr);
        if (!lands[i].features.empty()) {
            ASSERT_NE(map->LandFeatureSprites(), nullptr);
            const auto& f = lands[i].features.front();
            EXPECT_EQ(map->LandFeatureAt(f.row, f.column), f.frame);
            EXPECT_EQ(map->TerrainTypeAt(f.row, f.column), 'p');
        }
        // Inner cells read back the letters the description gave; the border is the edge.
        for (int r = 1; r + 1 < lands[i].rows; ++r) {
            for (int c = 1; c + 1 < lands[i].columns; ++c) {
                EXPECT_EQ(map->TileLetterAt(r, c),
                          lands[i].letters[static_cast<size_t>(r)][static_cast<size_t>(c)]);
            }
        }
        EXPECT_EQ(map->TerrainTypeAt(0, 0), 'e');
    }
}

TEST_F(AssetLandTest, MapDrawsAsShadedTerrainAtEveryZoom) {
    std::unique_ptr<TerrainMap> map = LoadMap(0);
    ASSERT_TRUE(map->HasTiles());
    map->SetRevealAll(1);
    map->InstallPalette();
    map->SetView(Rect(Point(0, 0), Size(512, 480)));
    for (int zoom = 0; zoom < 3; ++zoom) {
        std::memset(screen.BackPage(), 0, 640 * 480);
        screen.SetClipRect(Rect(Point(0, 0), Size(512, 480)));
        const Point origin(256, 256);
        if (zoom == 0) map->DrawViewZoom0(origin);
        if (zoom == 1) map->DrawViewZoom1(origin);
        if (zoom == 2) map->DrawViewZoom2(origin);
        screen.ResetClipRect();
        std::set<uint8_t> colours;
        int blank = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 512; ++x) {
                colours.insert(screen.BackPage()[y * 640 + x]);
                blank += screen.BackPage()[y * 640 + x] == 0 ? 1 : 0;
            }
        }
        EXPECT_GT(colours.size(), 20u) << zoom;
        EXPECT_EQ(blank, 0) << zoom;
        // With QX_CAPTURE set, the frame is kept as a picture to look at.
        winx_RequestCapture("land-zoom" + std::to_string(zoom));
        screen.Present();
    }
}

}  // namespace
