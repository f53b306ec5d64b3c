#include "map/LandFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "map/LandAssets.h"
#include "map/LandFixture.h"
#include "map/RoutePoints.h"
#include "map/TerrainMap.h"

namespace {
const std::vector<std::string> kLetters = {
    "cccccccc", "ccwwcccc", "ccwwcrcc", "cccpcccc", "cccccccc", "cccccccc",
};

// A 5 x 4 land cut from a 10 x 7 tile sheet at sheet cell (3, 2).
LandLayout CutFromSheet() {
    LandLayout layout;
    layout.columns = 5;
    layout.rows = 4;
    layout.originColumn = 3;
    layout.originRow = 2;
    layout.sheetColumns = 10;
    layout.sheetRows = 7;
    return layout;
}

class LandFileTest : public ::testing::Test {
protected:
    // Reads the land's description through "edit.lnd".
    std::unique_ptr<TerrainMap> Load(const LandLayout& layout) {
        files.WriteLand(layout);
        return LoadText(DescriptionText(layout));
    }
    std::unique_ptr<TerrainMap> LoadText(const std::string& text) {
        files.Write("edit.lnd", text);
        auto map = std::make_unique<TerrainMap>();
        map->SetDiscDataPath(files.Path().c_str());
        map->SetLocalDataPath(files.Path().c_str());
        map->Load("edit.lnd");
        return map;
    }
    static void ExpectEmpty(const TerrainMap& map) {
        EXPECT_EQ(map.SizeInCells(), Size(0, 0));
        EXPECT_EQ(map.PixelExtent(), Size(0, 0));
        EXPECT_FALSE(map.HasTiles());
        EXPECT_EQ(map.TerrainTypeAt(1, 1), 'e');
    }

    MemoryDisplay screen;
    LandFixture files;
};
}  // namespace

TEST_F(LandFileTest, ReadsSizesLettersAndTheTilesOfEveryCell) {
    LandLayout layout;
    layout.letters = kLetters;
    auto map = Load(layout);
    ASSERT_TRUE(map->HasTiles());
    EXPECT_EQ(map->SizeInCells(), Size(8, 6));
    EXPECT_EQ(map->PixelExtent(), Size(256, 192));
    EXPECT_EQ(map->SheetTileCount(), 48);
    EXPECT_EQ(map->TerrainTypeAt(1, 2), 'w');
    EXPECT_EQ(map->TerrainTypeAt(2, 5), 'r');
    EXPECT_EQ(map->TerrainTypeAt(3, 3), 'p');
    EXPECT_EQ(map->TerrainTypeAt(3, 4), 'c');
    // Border cells are the edge whatever their tiles say; the pixel lookup gives the tile.
    EXPECT_EQ(map->TerrainTypeAt(0, 3), 'e');
    EXPECT_EQ(map->TerrainTypeAt(5, 7), 'e');
    EXPECT_EQ(map->TerrainTypeAtPixel(map->CellCenter(0, 3)), 'c');
    EXPECT_EQ(map->SheetTileAt(2, 5), 1 + 2 * 8 + 5);
    // The palette went to the display; the shade tables exist.
    EXPECT_NE(map->GetPalette(), nullptr);
    EXPECT_NE(map->ShadeTable1(), nullptr);
    EXPECT_NE(map->ShadeTable2(), nullptr);
    EXPECT_NE(map->BlendTable(), nullptr);
}

TEST_F(LandFileTest, TilesAreReadAtTheirSheetOffsets) {
    LandLayout layout = CutFromSheet();
    layout.letters = std::vector<std::string>(7, "wwwcccccww");
    auto map = Load(layout);
    ASSERT_TRUE(map->HasTiles());
    EXPECT_EQ(map->TileData().size(), (5u * 4u + 1u) * 256u);
    map->DecodeVisibleTiles(Rect(Point(0, 0), Size(160, 128)));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 5; ++column) {
            const int tile = 1 + (row + 2) * 10 + column + 3;
            ASSERT_EQ(map->SheetTileAt(row, column), tile);
            EXPECT_EQ(map->TileLetterAt(row, column), "wwwcccccww"[column + 3]);
            const uint8_t* picture = map->DecodedTile(tile);
            ASSERT_NE(picture, nullptr);
            for (int y = 0; y < 32; y += 5) {
                for (int x = 0; x < 32; x += 3) {
                    ASSERT_EQ(picture[y * 32 + x], TilePixel(tile, x, y)) << row << "," << column;
                }
            }
        }
    }
    // Tiles of the sheet outside the map's part keep the unknown letter.
    EXPECT_EQ(map->SheetTileLetter(1 + 2 * 10 + 3), 'c');
    EXPECT_EQ(map->SheetTileLetter(1 + 2 * 10 + 2), 'X');
    EXPECT_EQ(map->SheetTileLetter(1 + 1 * 10 + 4), 'X');
    EXPECT_EQ(map->SheetTileLetter(1 + 6 * 10 + 4), 'X');
    // Both ends of the table: numbers past them name no tile.
    EXPECT_EQ(map->SheetTileLetter(-1), 'X');
    EXPECT_EQ(map->SheetTileLetter(TerrainMap::kTableLength), 'X');
    const uint8_t* spare = map->DecodedTile(0);
    ASSERT_NE(spare, nullptr);
    EXPECT_EQ(spare[33], TilePixel(0, 1, 1));
}

TEST_F(LandFileTest, ShortRowLinesLeaveTheirLastTilesUnknown) {
    LandLayout layout;
    layout.letters = kLetters;
    layout.letters[2] = "ccw";
    auto map = Load(layout);
    EXPECT_EQ(map->TerrainTypeAt(2, 2), 'w');
    EXPECT_EQ(map->TerrainTypeAt(2, 3), 'X');
    EXPECT_EQ(map->TerrainTypeAt(2, 6), 'X');
    EXPECT_EQ(map->TerrainTypeAt(3, 3), 'p');
}

TEST_F(LandFileTest, StartPointsAreReversedAndBorderPointsDropped) {
    LandLayout layout;
    layout.letters = kLetters;
    layout.starts = {{2, 2}, {0, 3}, {3, 6}, {5, 1}, {3, 7}, {4, 5}};
    layout.seconds = {{1, 1}, {2, 0}};
    auto map = Load(layout);
    EXPECT_EQ(
        PointsOf(map->StartPoints()),
        (std::vector<Point>{map->CellCenter(4, 5), map->CellCenter(3, 6), map->CellCenter(2, 2)}));
    EXPECT_EQ(PointsOf(map->SecondPoints()), (std::vector<Point>{map->CellCenter(1, 1)}));
}

TEST_F(LandFileTest, PointsAreTakenRelativeToTheSheetOrigin) {
    LandLayout layout = CutFromSheet();
    // Sheet (3, 4) is map cell (1, 1); sheet (2, 4) lies on the map's first row.
    layout.starts = {{3, 4}, {2, 4}, {4, 6}};
    auto map = Load(layout);
    EXPECT_EQ(PointsOf(map->StartPoints()),
              (std::vector<Point>{map->CellCenter(2, 3), map->CellCenter(1, 1)}));
}

TEST_F(LandFileTest, LandFeaturesUpToTheLastFrameAreTaken) {
    LandLayout layout;
    layout.letters = kLetters;
    layout.withFeatures = true;
    layout.features = {{1, 1, 0},
                       {2, 4, LandFixture::kFeatureFrames - 1},
                       {4, 4, LandFixture::kFeatureFrames},
                       {0, 2, 1},
                       {4, 1, -1}};
    auto map = Load(layout);
    ASSERT_NE(map->LandFeatureSprites(), nullptr);
    EXPECT_EQ(map->LandFeatureAt(1, 1), 0);
    EXPECT_EQ(map->LandFeatureAt(2, 4), LandFixture::kFeatureFrames - 1);
    EXPECT_EQ(map->LandFeatureAt(4, 4), -1);
    EXPECT_EQ(map->LandFeatureAt(0, 2), -1);
    EXPECT_EQ(map->LandFeatureAt(4, 1), -1);
    EXPECT_EQ(map->TerrainTypeAt(2, 4), 'p');
    EXPECT_EQ(map->TerrainTypeAtPixel(map->CellCenter(2, 4)), 'p');
    map->ClearLandFeature(map->CellCenter(2, 4));
    EXPECT_EQ(map->TerrainTypeAt(2, 4), 'c');

    // A source that finds no feature sheet leaves the land without features.
    struct NoSheets : LandAssets {
        std::unique_ptr<SpriteSet> LoadSpriteSet(const char*) override { return nullptr; }
    } noSheets;
    auto bare = std::make_unique<TerrainMap>();
    bare->SetAssets(&noSheets);
    bare->SetDiscDataPath(files.Path().c_str());
    bare->SetLocalDataPath(files.Path().c_str());
    bare->Load("edit.lnd");
    EXPECT_EQ(bare->LandFeatureSprites(), nullptr);
    EXPECT_EQ(bare->LandFeatureAt(1, 1), -1);
    EXPECT_EQ(bare->TerrainTypeAt(2, 4), 'c');
}

TEST_F(LandFileTest, LowDetailLandHasNoLandFeatures) {
    LandLayout layout;
    layout.letters = kLetters;
    layout.withFeatures = true;
    layout.features = {{1, 1, 0}};
    layout.withDecorations = true;
    lowDetail = 1;
    auto map = Load(layout);
    lowDetail = 0;
    EXPECT_EQ(map->LandFeatureSprites(), nullptr);
    EXPECT_EQ(map->LandFeatureAt(1, 1), -1);
    EXPECT_EQ(map->TerrainTypeAt(1, 1), 'c');
    EXPECT_EQ(map->TerrainTypeAt(3, 3), 'p');  // the tile's own letter
    // The list was still consumed: the decoration line after it is read.
    EXPECT_NE(map->DecorationSprites(), nullptr);
}

TEST_F(LandFileTest, UnusableSizesLeaveAnEmptyMap) {
    LandLayout good;
    good.letters = kLetters;
    files.WriteLand(good);
    const std::string text = DescriptionText(good);
    const size_t sizes = text.find("8 6\n");
    ASSERT_NE(sizes, std::string::npos);
    for (const char* bad : {"0 6\n", "8 -1\n", "201 6\n", "8\n", "x y\n", "9 6\n", "8 7\n"}) {
        std::string broken = text;
        broken.replace(sizes, 4, bad);
        auto map = LoadText(broken);
        SCOPED_TRACE(bad);
        ExpectEmpty(*map);
    }
    // Origin outside the sheet, also where adding the size would pass the int limit.
    for (const char* origin : {"1 0\n", "-1 0\n", "2147483647 0\n", "0 2147483647\n"}) {
        std::string broken = text;
        broken.replace(text.find("0 0\n"), 4, origin);
        SCOPED_TRACE(origin);
        ExpectEmpty(*LoadText(broken));
    }
}

TEST_F(LandFileTest, TruncatedOrUnopenedDescriptionsLeaveAnEmptyMap) {
    LandLayout layout;
    layout.letters = kLetters;
    files.WriteLand(layout);
    const std::string text = DescriptionText(layout);
    // Without the '*' line, without the tile-set name, or cut before the sizes.
    const size_t star = text.find("*\n");
    ExpectEmpty(*LoadText(text.substr(0, star)));
    ExpectEmpty(*LoadText(text.substr(0, star) + "cells\n" + text.substr(star + 2)));
    ExpectEmpty(*LoadText(text.substr(0, star + 2)));
    ExpectEmpty(*LoadText("title\n0\n30\n0\n"));
    ExpectEmpty(*LoadText(""));

    auto missing = std::make_unique<TerrainMap>();
    missing->Load("no-such-land.lnd");
    ExpectEmpty(*missing);
    // An empty map draws nothing.
    missing->SetView(Rect(Point(0, 0), Size(512, 480)));
    std::fill(screen.BackPage(), screen.BackPage() + 640 * 480, 7);
    missing->DrawViewZoom0(Point(0, 0));
    EXPECT_EQ(screen.BackPage()[1000], 7);
}

TEST_F(LandFileTest, ShortOrMissingTileSetIsZeroFilled) {
    LandLayout layout;
    layout.letters = kLetters;
    files.WriteLand(layout);
    std::vector<uint8_t> shortSet = TileSetBytes(8, 6);
    shortSet.resize(10 * 256 + 100);  // tiles 0 .. 9 and a part of tile 10
    files.Write("land.tls", shortSet);
    auto map = LoadText(DescriptionText(layout));
    ASSERT_TRUE(map->HasTiles());
    const auto& data = map->TileData();
    EXPECT_EQ(data[9 * 256 + 5], shortSet[9 * 256 + 5]);
    EXPECT_EQ(data[10 * 256 + 99], shortSet[10 * 256 + 99]);
    EXPECT_EQ(data[10 * 256 + 100], 0);
    EXPECT_EQ(data[40 * 256], 0);

    // A source that finds no tile set still gives every cell, the last one too, a blank tile.
    struct NoTileSets : LandAssets {
        int OpenTileSet(const char*, const char*, const char*, ResourceFile&) override { return 0; }
    } noTileSets;
    auto bare = std::make_unique<TerrainMap>();
    bare->SetAssets(&noTileSets);
    bare->SetDiscDataPath(files.Path().c_str());
    bare->SetLocalDataPath(files.Path().c_str());
    bare->Load("edit.lnd");
    ASSERT_TRUE(bare->HasTiles());
    EXPECT_EQ(bare->TileData().size(), (8u * 6u + 1u) * 256u);
    bare->DecodeVisibleTiles(Rect(Point(0, 0), Size(256, 192)));
    const uint8_t* last = bare->DecodedTile(bare->SheetTileAt(5, 7));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(std::count(last, last + 32 * 32, 0), 32 * 32);
}
