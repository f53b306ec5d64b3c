#include "world/LandLoader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/NodeList.h"
#include "map/LandFixture.h"
#include "map/PathGrid.h"
#include "map/RoutePoints.h"
#include "map/SightGrid.h"
#include "map/TerrainFakes.h"
#include "map/TerrainMap.h"
#include "platform/Capture.h"

namespace {
// A 20 x 14 land: a lake, an 'r' ridge and land features in the middle.
LandLayout TestLand() {
    LandLayout layout;
    layout.columns = 20;
    layout.rows = 14;
    layout.letters = std::vector<std::string>(14, std::string(20, 'c'));
    for (int r = 3; r <= 6; ++r)
        layout.letters[r].replace(4, 4, "wwww");
    for (int r = 2; r <= 11; ++r)
        layout.letters[r][12] = 'r';
    layout.letters[9][3] = 'g';
    layout.starts = {{2, 2}, {11, 17}};
    layout.withFeatures = true;
    layout.features = {{9, 8, 0}, {10, 8, 1}, {11, 8, 2}};
    layout.withDecorations = true;
    return layout;
}

class LandLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.WriteLand(TestLand());
        services.localDirectory = directory.c_str();
        services.discDirectory = directory.c_str();
    }

    MemoryDisplay screen;
    LandFixture files;
    std::string directory = files.Path();
    FakeTerrainServices services;
};

}  // namespace

TEST_F(LandLoaderTest, LoadsThePackLandAndBuildsTheGrids) {
    services.landNumber = 0;
    Land land = LandLoader::Load(services);
    ASSERT_TRUE(land.map->HasTiles());
    ASSERT_NE(land.sight, nullptr);
    ASSERT_NE(land.paths, nullptr);
    EXPECT_EQ(land.paths->Rows(), 14);
    EXPECT_EQ(land.paths->Columns(), 20);
    EXPECT_EQ(land.sight->Columns(), 10);
    EXPECT_EQ(land.sight->Rows(), 7);
    EXPECT_EQ(land.sight->LocalTeam(), 1);
    EXPECT_EQ(land.paths->AttachedSightGrid(), land.sight.get());
    // Each terrain letter's bit over the land bit; unknown letters ('g') are open land.
    EXPECT_EQ(land.paths->CellWord(0, 5), 0x18u);
    EXPECT_EQ(land.paths->CellWord(4, 5), 0x12u);
    EXPECT_EQ(land.paths->CellWord(4, 12), 0x14u);
    EXPECT_EQ(land.paths->CellWord(9, 8), 0x11u);
    EXPECT_EQ(land.paths->CellWord(9, 3), 0x10u);
    EXPECT_EQ(land.paths->CellWord(1, 1), 0x10u);
    EXPECT_EQ(land.map->StartPoints().Count(), 2);

    LandLoader::PlaceLandFeatures(*land.map, services);
    ASSERT_EQ(services.featureCount, 3);
    EXPECT_EQ(services.features[0], land.map->CellCenter(9, 8));
    EXPECT_EQ(services.features[2], land.map->CellCenter(11, 8));
}

TEST_F(LandLoaderTest, EditLandIsReadWhenTheScenarioNamesNoLand) {
    services.landNumber = -1;
    Land land = LandLoader::Load(services);
    EXPECT_EQ(land.map->SizeInCells(), Size(20, 14));
}

// The map of the land before is reused: emptied when the pack lacks the number, and loaded
// again as a fresh map would be.
TEST_F(LandLoaderTest, ALandNumberThePackLacksGivesAnEmptyLandAlsoInAReusedMap) {
    services.landNumber = 0;
    Land land = LandLoader::Load(services);
    for (int number : {1, 250, -7}) {
        services.landNumber = number;
        TerrainMap* reused = land.map.get();
        land = LandLoader::Load(services, std::move(land.map));
        EXPECT_EQ(land.map.get(), reused);
        EXPECT_EQ(land.map->SizeInCells(), Size(0, 0));
        EXPECT_FALSE(land.map->HasTiles());
        EXPECT_EQ(land.map->StartPoints().Count(), 0);
        EXPECT_EQ(land.paths->Rows(), 0);
        EXPECT_EQ(land.sight->Rows(), 0);
    }
    services.landNumber = 0;
    land = LandLoader::Load(services, std::move(land.map));
    EXPECT_TRUE(land.map->HasTiles());
    EXPECT_EQ(land.paths->CellWord(4, 12), 0x14u);
    EXPECT_EQ(land.map->StartPoints().Count(), 2);
}

// Loads a land, places objects, finds routes round them and captures the view at three zooms
// with fog.
TEST_F(LandLoaderTest, RoutesRoundPlacedObjectsAndDrawsTheViewWithFog) {
    services.landNumber = 0;
    Land land = LandLoader::Load(services);
    ASSERT_TRUE(land.map->HasTiles());
    PathGrid& paths = *land.paths;

    // A wall of enemy units across the gap between the lake and the ridge.
    std::vector<std::unique_ptr<FakeMapObject>> wall;
    for (int row = 7; row <= 12; ++row) {
        wall.push_back(std::make_unique<FakeMapObject>(2, 100 + row, CentreOf(row, 5)));
        paths.AddFootprint(wall.back().get(), wall.back()->position, 0);
    }
    FakeMapObject unit(1, 1, CentreOf(10, 2));
    unit.filter.noWater = 1;
    unit.filter.noR = 1;
    unit.enemyMask = unit.filter.EnemyMaskFor(0);
    NodeList route;
    const Point goal = CentreOf(10, 10);
    int result = 0;
    for (int call = 0; call < 20 && result == 0; ++call) {
        result = paths.FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr);
        if (result == 0 && !paths.IsCutShort()) break;
    }
    ASSERT_EQ(result, 1);
    const auto points = PointsOf(route);
    EXPECT_EQ(points.front(), CentreOf(10, 2));
    EXPECT_EQ(points.back(), goal);
    // The way round goes north of the lake: through row 2 or above.
    bool north = false;
    for (const Point& p : points)
        north = north || p.y < 3 * 32;
    EXPECT_TRUE(north);
    // Units ignored: through the wall, south of the lake, round the land features.
    ASSERT_EQ(paths.FindPath(unit.position, goal, &unit, route, 1, nullptr, nullptr), 1);
    for (const Point& p : PointsOf(route))
        EXPECT_GE(p.y, 7 * 32);
    EXPECT_EQ(PointsOf(route).back(), goal);

    // The local player's sight and the ground's fog.
    land.sight->AddViewer(&unit, unit.position);
    EXPECT_EQ(land.sight->IsVisible(unit.position, 1), 1);
    for (int row = 6; row <= 13; ++row) {
        for (int column = 0; column <= 10; ++column)
            land.map->AddVisibility(row, column, 1);
    }
    for (int row = 6; row <= 13; ++row)
        land.map->AddVisibility(row, 4, -1);

    land.map->SetView(Rect(Point(0, 0), Size(512, 480)));
    const char* names[3] = {"terrain-1to1", "terrain-1to2", "terrain-1to4"};
    for (int shift = 0; shift <= 2; ++shift) {
        std::fill(screen.BackPage(), screen.BackPage() + 640 * 480, 0);
        if (shift == 0) land.map->DrawViewZoom0(Point(0, 0));
        if (shift == 1) land.map->DrawViewZoom1(Point(0, 0));
        if (shift == 2) land.map->DrawViewZoom2(Point(0, 0));
        const uint8_t* page = screen.BackPage();
        const int cell = 32 >> shift;
        // A cell seen now shows its tile; a fogged one has the checkerboard; a never-seen one
        // the spare tile.
        const int seenTile = land.map->SheetTileAt(10, 2);
        EXPECT_EQ(page[(10 * cell) * 640 + 2 * cell], TilePixel(seenTile, 0, 0));
        const int fogX = 4 * cell, fogY = 10 * cell;
        const int fogged = shift == 0 ? 0 : 1;  // first fog pixel on the cell's top row
        EXPECT_EQ(page[fogY * 640 + fogX + fogged], TerrainMap::kFogColour);
        EXPECT_EQ(page[2 * cell * 640 + 15 * cell], TilePixel(0, 0, 0));
        // Nothing right of the view.
        EXPECT_EQ(page[100 * 640 + 600], 0);
        winx_RequestCapture(names[shift]);
        screen.Present();
    }
}
