#include "map/TerrainMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "map/LandFixture.h"
#include "ui/ScreenBase.h"

namespace {
class TerrainMapTest : public ::testing::Test {
protected:
    std::unique_ptr<TerrainMap> Load(const LandLayout& layout) {
        files.WriteLand(layout);
        auto map = std::make_unique<TerrainMap>();
        map->SetDiscDataPath(files.Path().c_str());
        map->SetLocalDataPath(files.Path().c_str());
        map->Load("edit.lnd");
        return map;
    }
    std::unique_ptr<TerrainMap> Plain(bool decorations = true) {
        LandLayout layout;
        layout.letters = {"cccccccc", "ccwwcccc", "ccwwcrcc", "cccpcccc", "cccccccc", "cccccccc"};
        layout.withDecorations = decorations;
        return Load(layout);
    }

    MemoryDisplay screen;
    LandFixture files;
};
}  // namespace

TEST(TerrainMapEmpty, StartsEmptyAndAnswersOutsideValues) {
    TerrainMap map;
    EXPECT_EQ(map.SizeInCells(), Size(0, 0));
    EXPECT_EQ(map.SheetTileCount(), -1);
    EXPECT_EQ(map.TerrainTypeAt(0, 0), 'e');
    EXPECT_EQ(map.TerrainTypeWithFog(3, 3), 'e');
    EXPECT_EQ(map.TerrainTypeAtPixel(Point(5, 5)), 'X');
    EXPECT_EQ(map.Visibility(0, 0), -1);
    EXPECT_EQ(map.DecorationAt(0, 0), 0xFF);
    EXPECT_EQ(map.CountTerrainInRect(Rect(Point(0, 0), Size(64, 64)), 'e'), 0);
    EXPECT_EQ(map.ScarTile(Point(5, 5)), 0);
    EXPECT_EQ(map.CellCenter(2, 5), Point(5 * 32 + 16, 2 * 32 + 16));
    int row = 0, column = 0;
    map.PixelToCell(Point(100, 70), row, column);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(column, 3);
    map.SetView(Rect(Point(0, 0), Size(512, 470)));
    EXPECT_EQ(map.ViewSizeInCells(), Size(16, 14));
}

TEST_F(TerrainMapTest, FogHidesNeverSeenCellsBehindTheEdgeRule) {
    auto map = Plain();
    EXPECT_EQ(map->TerrainTypeWithFog(1, 2), 'X');
    EXPECT_EQ(map->TerrainTypeWithFog(0, 2), 'e');
    map->AddVisibility(1, 2, 1);
    EXPECT_EQ(map->TerrainTypeWithFog(1, 2), 'w');
    map->AddVisibility(1, 2, -1);
    EXPECT_EQ(map->TerrainTypeWithFog(1, 2), 'w');  // seen before is enough
    map->SetRevealAll(1);
    EXPECT_EQ(map->TerrainTypeWithFog(2, 5), 'r');
    EXPECT_TRUE(map->IsUnexplored('X'));
}

TEST_F(TerrainMapTest, VisibilityNeverReturnsToNeverSeen) {
    auto map = Plain();
    map->AddVisibility(2, 2, -1);
    EXPECT_EQ(map->Visibility(2, 2), 0);
    map->AddVisibility(3, 3, 1);
    EXPECT_EQ(map->Visibility(3, 3), 1);
    map->AddVisibility(3, 3, 1);
    map->AddVisibility(3, 3, -5);
    EXPECT_EQ(map->Visibility(3, 3), 0);
    map->AddVisibility(-1, 3, 1);
    map->AddVisibility(6, 3, 1);
    EXPECT_EQ(map->Visibility(6, 3), -1);
    EXPECT_EQ(map->VisibilityAtPixel(map->CellCenter(3, 3)), 0);
    EXPECT_EQ(map->VisibilityAtPixel(Point(-3, 100)), -1);
    map->SetRevealAll(1);
    EXPECT_EQ(map->Visibility(4, 4), 1);
    EXPECT_EQ(map->Visibility(6, 0), -1);
}

// A viewer's square moves with it: the cells it leaves lose one count, those it enters gain one.
// Where the cells it leaves were not counted (never seen, or seen before but not now), the move
// takes every old cell down and every new one up, so the viewer's new square is seen now.
TEST_F(TerrainMapTest, MovingASquareOfSightMovesItsCountsWhateverTheCellsHeld) {
    const struct {
        int start;  // what the old square's cells hold before the move
        int left, kept, entered;
    } cases[] = {{1, 0, 1, 1}, {2, 1, 2, 1}, {-1, 0, 1, 1}, {0, 0, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        auto map = Plain();
        for (int r = 1; r <= 3; ++r) {
            for (int col = 1; col <= 3; ++col) {
                if (c.start > 0) map->AddVisibility(r, col, c.start);
                if (c.start == 0) map->AddVisibility(r, col, -1);
            }
        }
        map->MoveVisibility(2, 2, 2, 3, 1);
        for (int r = 1; r <= 3; ++r) {
            EXPECT_EQ(map->Visibility(r, 1), c.left) << r;
            EXPECT_EQ(map->Visibility(r, 2), c.kept) << r;
            EXPECT_EQ(map->Visibility(r, 3), c.kept) << r;
            EXPECT_EQ(map->Visibility(r, 4), c.entered) << r;
        }
        EXPECT_EQ(map->Visibility(0, 2), -1);
        EXPECT_EQ(map->Visibility(4, 4), -1);
    }
    // One cell seen before among counted ones takes the whole move: left or up, the far row
    // and column of the old square lose their count too, and the kept cells keep theirs.
    const struct { int toRow, toColumn; } moves[] = {{2, 1}, {1, 2}};
    for (const auto& m : moves) {
        SCOPED_TRACE(m.toColumn);
        auto map = Plain();
        for (int r = 1; r <= 3; ++r) {
            for (int col = 1; col <= 3; ++col)
                map->AddVisibility(r, col, 2);
        }
        map->AddVisibility(2, 2, -2);
        map->MoveVisibility(2, 2, m.toRow, m.toColumn, 1);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(m.toColumn == 1 ? map->Visibility(i, 3) : map->Visibility(3, i), 1) << i;
            EXPECT_EQ(m.toColumn == 1 ? map->Visibility(i, 0) : map->Visibility(0, i), 1) << i;
        }
        EXPECT_EQ(map->Visibility(2, 2), 1);
        EXPECT_EQ(map->Visibility(1, 1), 2);
    }
}

TEST_F(TerrainMapTest, RectVisibilityPrefersSeenNowThenSeenBefore) {
    auto map = Plain();
    const Rect area(Point(40, 40), Size(60, 30));  // cells (1, 1) .. (2, 3)
    EXPECT_EQ(map->RectVisibility(area), -1);
    map->AddVisibility(2, 3, -1);
    EXPECT_EQ(map->RectVisibility(area), 0);
    map->AddVisibility(1, 1, 1);
    EXPECT_EQ(map->RectVisibility(area), 1);
    EXPECT_EQ(map->RectVisibility(Rect(Point(-500, -500), Size(10, 10))), -1);
    EXPECT_EQ(map->RectVisibility(Rect(Point(-500, -500), Size(560, 560))), 1);
    map->SetRevealAll(1);
    EXPECT_EQ(map->RectVisibility(Rect(Point(-500, -500), Size(10, 10))), 1);
}

TEST_F(TerrainMapTest, CountsLettersInAPixelRectangleClippedToTheMap) {
    auto map = Plain();
    EXPECT_EQ(map->CountTerrainInRect(Rect(Point(-100, -100), Size(1000, 1000)), 'w'), 4);
    EXPECT_EQ(map->CountTerrainInRect(Rect(Point(-100, -100), Size(1000, 1000)), 'e'), 24);
    EXPECT_EQ(map->CountTerrainInRect(Rect(Point(70, 40), Size(1, 1)), 'w'), 1);
    EXPECT_EQ(map->CountTerrainInRect(Rect(Point(64, 32), Size(64, 64)), 'c'), 0);
}

TEST_F(TerrainMapTest, BlastsDecorateOpenGroundTilesOnly) {
    auto map = Plain();
    SeedRandom(5);
    EXPECT_EQ(map->ScarTile(map->CellCenter(1, 2)), 0);  // water
    EXPECT_EQ(map->ScarTile(Point(-1, 40)), 0);
    EXPECT_EQ(map->DecorationAt(4, 4), 0xFF);
    map->DecodeVisibleTiles(Rect(Point(0, 0), Size(256, 192)));
    const int tile = map->SheetTileAt(4, 4);
    const uint8_t before = map->DecodedTile(tile)[5 * 32 + 6];
    ASSERT_NE(before, LandFixture::kDecorationColour);
    ASSERT_EQ(map->ScarTile(map->CellCenter(4, 4)), 1);
    const uint8_t frame = map->DecorationAt(4, 4);
    ASSERT_LT(frame, LandFixture::kDecorationFrames);
    // Painted into the decoded picture at once, over the frame's square.
    EXPECT_EQ(map->DecodedTile(tile)[5 * 32 + 4 + frame], LandFixture::kDecorationColour);
    EXPECT_EQ(map->DecodedTile(tile)[20 * 32 + 20], TilePixel(tile, 20, 20));
    // Released when out of view and repainted when decoded again.
    map->DecodeVisibleTiles(Rect(Point(0, 0), Size(32, 32)));
    EXPECT_EQ(map->DecodedTile(tile), nullptr);
    map->DecodeVisibleTiles(Rect(Point(96, 96), Size(64, 64)));
    ASSERT_NE(map->DecodedTile(tile), nullptr);
    EXPECT_EQ(map->DecodedTile(tile)[5 * 32 + 4 + frame], LandFixture::kDecorationColour);
}

TEST_F(TerrainMapTest, BlastWithoutDecorationSpritesChangesNothing) {
    auto map = Plain(false);
    EXPECT_EQ(map->ScarTile(map->CellCenter(4, 4)), 0);
    EXPECT_EQ(map->DecorationAt(4, 4), 0xFF);
}

TEST_F(TerrainMapTest, SetDecorationRestoresASavedBlast) {
    auto map = Plain();
    map->DecodeVisibleTiles(Rect(Point(0, 0), Size(256, 192)));
    map->SetDecoration(3, 4, 1);
    EXPECT_EQ(map->DecorationAt(3, 4), 1);
    EXPECT_EQ(map->DecodedTile(map->SheetTileAt(3, 4))[5 * 32 + 5], LandFixture::kDecorationColour);
    // The first frame is painted like any other.
    const uint8_t* plain = map->DecodedTile(map->SheetTileAt(2, 4));
    ASSERT_NE(plain[5 * 32 + 4], LandFixture::kDecorationColour);
    map->SetDecoration(2, 4, 0);
    EXPECT_EQ(map->DecorationAt(2, 4), 0);
    EXPECT_EQ(plain[5 * 32 + 4], LandFixture::kDecorationColour);
    map->SetDecoration(30, 4, 1);
    EXPECT_EQ(map->DecorationAt(30, 4), 0xFF);
    // Cells just off the map's right side decorate nothing, not even the spare tile that
    // stands for every cell beyond the map.
    ASSERT_NE(map->DecodedTile(0), nullptr);
    const std::vector<uint8_t> spare(map->DecodedTile(0), map->DecodedTile(0) + 32 * 32);
    map->SetDecoration(1, map->SizeInCells().w, 2);
    map->SetDecoration(0, map->SizeInCells().w + 3, 0);
    EXPECT_EQ(std::vector<uint8_t>(map->DecodedTile(0), map->DecodedTile(0) + 32 * 32), spare);
}

TEST_F(TerrainMapTest, OnlyTheTilesInViewStayDecoded) {
    auto map = Plain();
    map->DecodeVisibleTiles(Rect(Point(32, 32), Size(64, 32)));  // cells (1, 1) and (1, 2)
    int decoded = 0;
    for (int t = 1; t <= 48; ++t)
        decoded += map->DecodedTile(t) != nullptr;
    EXPECT_EQ(decoded, 2);
    EXPECT_NE(map->DecodedTile(map->SheetTileAt(1, 2)), nullptr);
    EXPECT_NE(map->DecodedTile(0), nullptr);
    map->DecodeVisibleTiles(Rect(Point(128, 128), Size(32, 32)));
    EXPECT_EQ(map->DecodedTile(map->SheetTileAt(1, 2)), nullptr);
    EXPECT_NE(map->DecodedTile(map->SheetTileAt(4, 4)), nullptr);
}

TEST_F(TerrainMapTest, LandFeaturesAreDrawnShadedAtTheirCellCentre) {
    LandLayout layout;
    layout.letters = std::vector<std::string>(6, "cccccccc");
    layout.withFeatures = true;
    layout.features = {{2, 3, 1}};
    auto map = Load(layout);
    ScreenBase view;  // maps map pixels to the same screen pixels
    std::fill(screen.BackPage(), screen.BackPage() + 640 * 480, 0);
    screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    map->DrawLandFeature(2, 2, view);  // no feature there
    map->DrawLandFeature(2, 3, view);
    int drawn = 0;
    for (int y = 64; y < 96; ++y) {
        for (int x = 96; x < 128; ++x)
            drawn += screen.BackPage()[y * 640 + x] != 0;
    }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(screen.BackPage()[80 * 640 + 80], 0);
    lowDetail = 1;
    std::fill(screen.BackPage(), screen.BackPage() + 640 * 480, 0);
    map->DrawLandFeature(2, 3, view);
    lowDetail = 0;
    EXPECT_EQ(std::count(screen.BackPage(), screen.BackPage() + 640 * 480, 0), 640 * 480);
}
