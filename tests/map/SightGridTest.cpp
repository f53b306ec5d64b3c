#include "map/SightGrid.h"

#include <gtest/gtest.h>

#include <vector>

#include "map/TerrainFakes.h"

namespace {
// 20 x 20 sight cells of 64 pixels (a 40 x 40 cell map).
SightGrid MakeGrid(int localTeam = 1) {
    return SightGrid(Size(64, 64), Size(1280, 1280), localTeam);
}

Point SightCentre(int row, int column) {
    return Point(column * 64 + 32, row * 64 + 32);
}

// Every value of every layer and player, in one list.
std::vector<int32_t> AllValues(const SightGrid& grid) {
    std::vector<int32_t> values;
    for (int layer = 0; layer < SightGrid::kLayers; ++layer) {
        for (int player = 1; player <= SightGrid::kPlayers; ++player) {
            for (int r = 0; r < grid.Rows(); ++r) {
                for (int c = 0; c < grid.Columns(); ++c)
                    values.push_back(grid.Value(layer, player, r, c));
            }
        }
    }
    return values;
}

int CountCells(const SightGrid& grid, int layer, int player, int atLeast) {
    int n = 0;
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Columns(); ++c)
            n += grid.Value(layer, player, r, c) >= atLeast;
    }
    return n;
}
}  // namespace

TEST(SightGrid, SizeRoundsUpToWholeCells) {
    SightGrid grid(Size(64, 64), Size(100, 130), 1);
    EXPECT_EQ(grid.Columns(), 2);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.Value(0, 1, 0, 0), -1);
}

TEST(SightGrid, ViewersCountAndRemovingLeavesCellsSeenBefore) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(1, 1, SightCentre(10, 10)), b(1, 2, SightCentre(10, 11));
    grid.AddViewer(&a, a.position);
    grid.AddViewer(&b, b.position);
    EXPECT_EQ(grid.Value(0, 1, 10, 10), 2);
    EXPECT_EQ(grid.Value(0, 1, 10, 6), 1);  // only a reaches 4 cells left
    EXPECT_EQ(grid.Value(0, 1, 10, 5), -1);
    EXPECT_EQ(CountCells(grid, 0, 1, 1), 9 * 10);
    grid.RemoveViewer(&a, a.position);
    EXPECT_EQ(grid.IsVisible(SightCentre(10, 10), 1), 1);
    EXPECT_EQ(grid.IsVisible(SightCentre(10, 6), 1), 0);
    EXPECT_EQ(grid.IsExplored(SightCentre(10, 6), 1), 1);
    grid.RemoveViewer(&b, b.position);
    EXPECT_EQ(grid.Value(0, 1, 10, 10), 0);
    // Removing sight that was never added marks the cells seen before.
    grid.RemoveViewer(&a, SightCentre(2, 2));
    EXPECT_EQ(grid.Value(0, 1, 2, 2), 0);
    EXPECT_EQ(grid.IsVisible(SightCentre(2, 2), 1), 0);
    EXPECT_EQ(grid.IsExplored(SightCentre(2, 2), 1), 1);
}

// An object that keeps a record loses exactly the sight it was given, whatever it would answer
// now: its sensors switched off and its owner changed since the add.
TEST(SightGrid, ARecordedViewerTakesAwayExactlyWhatItAdded) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(1, 1, SightCentre(8, 2));
    a.keepsRecord = true;
    a.sensors[static_cast<int>(SensorKind::A)] = 1;
    grid.RemoveViewer(&a, a.position);
    EXPECT_EQ(CountCells(grid, 0, 1, 0), 0);  // nothing added, nothing taken
    grid.AddViewer(&a, a.position);
    grid.AddViewer(&a, a.position);
    EXPECT_EQ(CountCells(grid, 1, 1, 1), 20 * 15);
    a.sensors[static_cast<int>(SensorKind::A)] = 0;
    a.viewer = 2;
    const Point to = SightCentre(2, 2);
    grid.MoveViewer(&a, a.position, to);
    EXPECT_EQ(grid.Value(1, 1, 17, 2), 0);
    EXPECT_EQ(grid.Value(1, 1, 14, 2), 2);
    EXPECT_EQ(CountCells(grid, 0, 2, 0), 0);
    grid.RemoveViewer(&a, to);
    EXPECT_EQ(grid.Value(1, 1, 14, 2), 1);
    grid.RemoveViewer(&a, to);
    grid.RemoveViewer(&a, to);
    EXPECT_EQ(grid.Value(1, 1, 14, 2), 0);
    EXPECT_EQ(grid.SeenInLayer1(14, 2, 1), 0);
    for (int layer = 0; layer < SightGrid::kLayers; ++layer) {
        for (int player = 1; player <= SightGrid::kPlayers; ++player)
            EXPECT_EQ(CountCells(grid, layer, player, 1), 0) << layer << " " << player;
    }
    // Added anew, it sees by its answers now.
    grid.AddViewer(&a, to);
    EXPECT_EQ(grid.IsVisible(to, 2), 1);
    EXPECT_EQ(CountCells(grid, 1, 2, 1), 0);
}

// A second viewing player equal to the first does not blind the object.
TEST(SightGrid, ASecondViewingPlayerLikeTheFirstCountsOnce) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(2, 1, SightCentre(5, 5));
    a.secondViewer = 2;
    grid.AddViewer(&a, a.position);
    EXPECT_EQ(grid.Value(0, 2, 5, 5), 1);
}

TEST(SightGrid, SecondViewingPlayerSeesToo) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(2, 1, SightCentre(5, 5));
    a.secondViewer = 3;
    grid.AddViewer(&a, a.position);
    EXPECT_EQ(grid.IsVisible(a.position, 2), 1);
    EXPECT_EQ(grid.IsVisible(a.position, 3), 1);
    EXPECT_EQ(grid.IsVisible(a.position, 1), 0);
    FakeMapObject blind(2, 2, SightCentre(15, 15));
    blind.viewer = 0;
    blind.secondViewer = 3;
    grid.AddViewer(&blind, blind.position);
    EXPECT_EQ(grid.IsExplored(blind.position, 3), 0);
}

TEST(SightGrid, ViewerAtTheCornerTouchesOnlyCellsInside) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(1, 1, Point(0, 0));
    a.sensors[static_cast<int>(SensorKind::C)] = 1;
    grid.AddViewer(&a, a.position);
    EXPECT_EQ(CountCells(grid, 0, 1, 1), 5 * 5);
    EXPECT_EQ(CountCells(grid, 3, 1, 1), 9 * 9);
    FakeMapObject b(1, 2, Point(1279, 1279));
    grid.AddViewer(&b, b.position);
    EXPECT_EQ(CountCells(grid, 0, 1, 1), 2 * 5 * 5);
}

TEST(SightGrid, SensorLayersAreSeparate) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(1, 1, SightCentre(10, 10));
    a.baseSight = 0;
    a.sensors[static_cast<int>(SensorKind::A)] = 1;
    grid.AddViewer(&a, a.position);
    EXPECT_EQ(grid.SeenInLayer1(10, 0, 1), 1);
    EXPECT_EQ(grid.SeenInLayer1(10, 0, 2), 0);
    EXPECT_EQ(grid.SeenInLayer2(10, 10, 1), 0);
    EXPECT_EQ(grid.SeenInLayer3(10, 10, 1), 0);
    EXPECT_EQ(grid.Value(0, 1, 10, 10), -1);
    EXPECT_EQ(grid.IsVisible(SightCentre(10, 0), 1), 1);
    EXPECT_EQ(grid.SeenInLayer1(-1, 0, 1), 0);
    EXPECT_EQ(grid.SeenInLayer1(0, 20, 1), 0);
}

TEST(SightGrid, PixelQueriesAnswerZeroOutsideTheGrid) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(1, 1, SightCentre(0, 0));
    grid.AddViewer(&a, a.position);
    EXPECT_EQ(grid.IsVisible(Point(0, 0), 1), 1);
    for (const Point& outside : {Point(-1, 10), Point(-63, 10), Point(10, -1), Point(1280, 5)}) {
        EXPECT_EQ(grid.IsVisible(outside, 1), 0);
        EXPECT_EQ(grid.IsExplored(outside, 1), 0);
    }
    EXPECT_EQ(grid.IsVisible(Point(10, 10), 0), 0);
    EXPECT_EQ(grid.IsVisible(Point(10, 10), 5), 0);
    // Rectangles: only the part inside counts.
    EXPECT_EQ(grid.IsRectVisible(Rect(Point(-100, -100), Size(110, 110)), 1), 1);
    EXPECT_EQ(grid.IsRectVisible(Rect(Point(-100, -100), Size(90, 300)), 1), 0);
    EXPECT_EQ(grid.IsRectExplored(Rect(Point(600, 600), Size(20, 20)), 1), 0);
    grid.MarkExplored(9, 9);
    EXPECT_EQ(grid.IsRectExplored(Rect(Point(600, 600), Size(20, 20)), 1), 1);
    EXPECT_EQ(grid.IsRectVisible(Rect(Point(600, 600), Size(20, 20)), 1), 0);
}

// Cells just off each side, layers and players outside the grid's: never seen, whatever the
// cells next to them in memory hold.
TEST(SightGrid, ValuesOffTheGridAreNeverSeen) {
    SightGrid grid = MakeGrid();
    FakeMapObject one(1, 1, SightCentre(1, 0)), two(2, 2, SightCentre(0, 0));
    for (int layer = 1; layer < SightGrid::kLayers; ++layer) {
        one.sensors[layer - 1] = 1;
        two.sensors[layer - 1] = 1;
    }
    grid.AddViewer(&one, one.position);
    grid.AddViewer(&two, two.position);
    ASSERT_EQ(grid.Value(0, 1, 19, 0), -1);
    ASSERT_EQ(grid.Value(0, 1, 1, 0), 1);
    const struct {
        int layer, player, row, column;
    } outside[] = {
        {0, 1, 20, 0}, {0, 1, 0, 20}, {0, 1, -1, 0}, {0, 1, 1, -1}, {3, 1, 20, 0},
        {0, 0, 0, 0},  {0, 5, 0, 0},  {4, 1, 0, 0},  {-1, 2, 0, 0},
    };
    for (const auto& o : outside)
        EXPECT_EQ(grid.Value(o.layer, o.player, o.row, o.column), -1)
            << o.layer << " " << o.player << " " << o.row << "," << o.column;
    EXPECT_EQ(grid.SeenInLayer2(20, 0, 1), 0);
    EXPECT_EQ(grid.SeenInLayer3(0, 20, 1), 0);
    // Rectangles running past the right or the bottom side look at no cell beyond it: not
    // the start of the next row, not the next player's cells.
    const Rect pastRight(Point(19 * 64 - 10, 10), Size(300, 20));
    const Rect pastBottom(Point(10, 19 * 64 - 10), Size(20, 300));
    EXPECT_EQ(grid.IsRectVisible(pastRight, 1), 0);
    EXPECT_EQ(grid.IsRectExplored(pastRight, 1), 0);
    EXPECT_EQ(grid.IsRectVisible(pastBottom, 1), 0);
    EXPECT_EQ(grid.IsRectExplored(pastBottom, 1), 0);
    EXPECT_EQ(grid.IsRectVisible(Rect(Point(-30, 64), Size(40, 40)), 1), 1);
}

TEST(SightGrid, MarkExploredOnlyTouchesNeverSeenCellsOfTheLocalTeam) {
    SightGrid grid = MakeGrid(2);
    FakeMapObject a(2, 1, SightCentre(3, 3));
    grid.AddViewer(&a, a.position);
    grid.MarkExplored(3, 3);
    EXPECT_EQ(grid.Value(0, 2, 3, 3), 1);
    grid.MarkExplored(15, 15);
    EXPECT_EQ(grid.Value(0, 2, 15, 15), 0);
    EXPECT_EQ(grid.Value(0, 1, 15, 15), -1);
    // Cells off the grid mark nothing, not even the cell their index would reach.
    const int explored = CountCells(grid, 0, 2, 0);
    for (const auto& [row, column] : {std::pair{-1, 35}, {12, 20}, {5, -1}, {20, 3}})
        grid.MarkExplored(row, column);
    EXPECT_EQ(CountCells(grid, 0, 2, 0), explored);
    grid.MarkExplored(0, 19);
    grid.MarkExplored(19, 0);
    EXPECT_EQ(grid.Value(0, 2, 0, 19), 0);
    EXPECT_EQ(grid.Value(0, 2, 19, 0), 0);
}

TEST(SightGrid, EnemyPresenceCountsOnlyPlayersNotAllied) {
    FakeTerrainServices services;
    SightGrid grid = MakeGrid();
    FakeMapObject p2a(2, 1, SightCentre(5, 5)), p2b(2, 2, SightCentre(5, 6)),
        p3(3, 3, SightCentre(5, 5));
    for (FakeMapObject* o : {&p2a, &p2b, &p3})
        grid.AddViewer(o, o->position);
    EXPECT_EQ(grid.EnemyPresence(SightCentre(5, 5), 1), 3);
    EXPECT_EQ(grid.EnemyPresence(SightCentre(5, 5), 2), 1);
    services.Ally(1, 3);
    EXPECT_EQ(grid.EnemyPresence(SightCentre(5, 5), 1), 2);
    // A team not allied with itself counts its own sight.
    services.allied[2][2] = 0;
    EXPECT_EQ(grid.EnemyPresence(SightCentre(5, 5), 2), 3);
    EXPECT_EQ(grid.EnemyPresence(Point(-10, 5), 1), 0);
}

TEST(SightGrid, DetectionByDistanceSensorsAndCells) {
    SightGrid grid = MakeGrid();
    FakeMapObject viewer(1, 1, Point(100, 100));
    FakeMapObject target(2, 2, Point(300, 100));
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 1);  // 200 < 256
    target.position = Point(400, 100);
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 0);
    viewer.sensors[static_cast<int>(SensorKind::C)] = 1;
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 1);  // 300 < 512
    viewer.sensors[static_cast<int>(SensorKind::C)] = 0;
    viewer.sensors[static_cast<int>(SensorKind::A)] = 1;
    target.position = Point(800, 100);
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 1);  // 700 < 768
    target.hidden[static_cast<int>(StealthKind::A)] = 1;
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 0);
}

TEST(SightGrid, HiddenTargetNextDoorIsDetectedOnlyOnTheSameLayer) {
    SightGrid grid = MakeGrid();
    FakeMapObject viewer(1, 1, Point(100, 100));  // sight cell (1, 1)
    FakeMapObject target(2, 2, Point(190, 110));  // sight cell (1, 2), distance about 90
    target.hidden[static_cast<int>(StealthKind::General)] = 1;
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 1);
    target.filter.layer = 2;
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 0);
    target.position = Point(120, 120);  // same cell, other layer
    EXPECT_EQ(grid.CanDetect(&viewer, &target), 1);
    // A grid whose cells have no width or no height has no cells: nothing to share, see or
    // explore, and a viewer adds nothing.
    for (const Size& cell : {Size(0, 64), Size(64, 0)}) {
        SightGrid flat(cell, Size(1280, 1280), 1);
        flat.AddViewer(&viewer, viewer.position);
        EXPECT_EQ(flat.CanDetect(&viewer, &target), 0);
        EXPECT_EQ(flat.IsVisible(viewer.position, 1), 0);
        EXPECT_EQ(flat.IsExplored(viewer.position, 1), 0);
        EXPECT_EQ(flat.IsRectVisible(Rect(Point(0, 0), Size(200, 200)), 1), 0);
        EXPECT_EQ(flat.IsRectExplored(Rect(Point(0, 0), Size(200, 200)), 1), 0);
        EXPECT_EQ(flat.EnemyPresence(target.position, 2), 0);
        flat.RemoveViewer(&viewer, viewer.position);
    }
}

// Each way of detecting, just inside and just outside its reach. The viewer stands at (100, 100)
// in sight cell (1, 1); targets lie to its right on the same row unless placed below.
TEST(SightGrid, DetectionReachesEndJustBeforeTheirDistance) {
    constexpr int kA = static_cast<int>(SensorKind::A), kB = static_cast<int>(SensorKind::B),
                  kC = static_cast<int>(SensorKind::C);
    constexpr int kGeneral = static_cast<int>(StealthKind::General),
                  kHideA = static_cast<int>(StealthKind::A),
                  kHideB = static_cast<int>(StealthKind::B);
    struct Case {
        const char* name;
        int sensor;  // -1: none
        int sensorValue;
        std::vector<int> hiddenFrom;
        Point at;
        int targetLayer;
        int expected;
    };
    const Case cases[] = {
        {"plain just inside", -1, 0, {}, Point(355, 100), 0, 1},
        {"plain at the reach", -1, 0, {}, Point(356, 100), 0, 0},
        {"sensor C just inside", kC, 1, {kGeneral}, Point(611, 100), 0, 1},
        {"sensor C at the reach", kC, 1, {kGeneral}, Point(612, 100), 0, 0},
        {"sensor C answering below zero is off", kC, -1, {kGeneral}, Point(400, 100), 0, 0},
        {"sensor A just inside", kA, 1, {kGeneral}, Point(867, 100), 0, 1},
        {"sensor A at the reach", kA, 1, {kGeneral}, Point(868, 100), 0, 0},
        {"sensor A beaten by its stealth", kA, 1, {kGeneral, kHideA}, Point(400, 100), 0, 0},
        {"sensor A sees through the other stealth",
         kA,
         1,
         {kGeneral, kHideB},
         Point(400, 100),
         0,
         1},
        {"sensor B just inside", kB, 1, {kGeneral}, Point(867, 100), 0, 1},
        {"sensor B at the reach", kB, 1, {kGeneral}, Point(868, 100), 0, 0},
        {"sensor B beaten by its stealth", kB, 1, {kGeneral, kHideB}, Point(400, 100), 0, 0},
        {"sensor B sees through the other stealth",
         kB,
         1,
         {kGeneral, kHideA},
         Point(400, 100),
         0,
         1},
        {"hidden, diagonal next cell, same layer", -1, 0, {kGeneral}, Point(191, 191), 0, 1},
        {"hidden, two cells right, same layer", -1, 0, {kGeneral}, Point(192, 100), 0, 0},
        {"hidden, two cells down, same layer", -1, 0, {kGeneral}, Point(100, 192), 0, 0},
        {"hidden, next cell down, other layer", -1, 0, {kGeneral}, Point(100, 130), 1, 0},
        {"hidden, same cell, other layer", -1, 0, {kGeneral}, Point(127, 127), 1, 1},
    };
    SightGrid grid = MakeGrid();
    for (const Case& c : cases) {
        FakeMapObject viewer(1, 1, Point(100, 100));
        FakeMapObject target(2, 2, c.at);
        if (c.sensor >= 0) viewer.sensors[c.sensor] = c.sensorValue;
        for (int kind : c.hiddenFrom)
            target.hidden[kind] = 1;
        target.filter.layer = c.targetLayer;
        EXPECT_EQ(grid.CanDetect(&viewer, &target), c.expected) << c.name;
    }
}

// An object that keeps no record moves the sight it has now; one that sees for nobody, or no
// object at all, changes nothing.
TEST(SightGrid, AViewerWithoutARecordMovesItsSightAndNoViewerChangesNothing) {
    SightGrid grid = MakeGrid();
    FakeMapObject a(1, 1, SightCentre(10, 10));
    a.sensors[static_cast<int>(SensorKind::C)] = 1;
    grid.AddViewer(&a, a.position);
    grid.MoveViewer(&a, a.position, SightCentre(10, 12));
    const struct {
        int layer, column, value;
    } after[] = {
        {0, 5, -1}, {0, 6, 0}, {0, 7, 0}, {0, 8, 1}, {0, 16, 1}, {0, 17, -1},
        {3, 1, -1}, {3, 2, 0}, {3, 3, 0}, {3, 4, 1}, {3, 19, 1}, {1, 12, -1},
    };
    for (const auto& c : after)
        EXPECT_EQ(grid.Value(c.layer, 1, 10, c.column), c.value) << c.layer << " " << c.column;
    EXPECT_EQ(CountCells(grid, 0, 1, 1), 9 * 9);
    EXPECT_EQ(CountCells(grid, 3, 1, 1), 17 * 16);

    const std::vector<int32_t> before = AllValues(grid);
    FakeMapObject blind(1, 2, SightCentre(3, 3));
    blind.viewer = 0;
    grid.AddViewer(&blind, blind.position);
    grid.MoveViewer(&blind, blind.position, SightCentre(3, 5));
    grid.RemoveViewer(&blind, blind.position);
    grid.AddViewer(nullptr, SightCentre(3, 3));
    grid.MoveViewer(nullptr, SightCentre(3, 3), SightCentre(3, 5));
    grid.RemoveViewer(nullptr, SightCentre(10, 12));
    EXPECT_TRUE(AllValues(grid) == before);
    EXPECT_EQ(grid.CanDetect(nullptr, &a), 0);
    EXPECT_EQ(grid.CanDetect(&a, nullptr), 0);
}
