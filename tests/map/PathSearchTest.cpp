#include "map/PathSearch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <queue>
#include <random>
#include <vector>

#include "core/NodeList.h"
#include "map/PathGrid.h"
#include "map/RoutePoints.h"
#include "map/SightGrid.h"
#include "map/TerrainFakes.h"

namespace {
struct Cell {
    int row, column;
};

Cell CellOf(const Point& p) {
    return Cell{p.y / 32, p.x / 32};
}

bool Passable(PathGrid& grid, FakeMapObject& o, int row, int column) {
    return grid.CanOccupy(&o, CentreOf(row, column), nullptr,
                          o.filter.MoveFlags() | o.GetEnemyMask(), 1, 0) == 1;
}

// Every leg runs along a row, a column or a diagonal, over passable cells, without cutting
// a corner between two blocked cells.
::testing::AssertionResult LegsArePassable(PathGrid& grid, FakeMapObject& o,
                                           const std::vector<Point>& route) {
    for (size_t i = 1; i < route.size(); ++i) {
        const Cell a = CellOf(route[i - 1]), b = CellOf(route[i]);
        const int dr = b.row - a.row, dc = b.column - a.column;
        if (dr != 0 && dc != 0 && std::abs(dr) != std::abs(dc)) {
            return ::testing::AssertionFailure() << "leg " << i << " is not straight";
        }
        const int sr = (dr > 0) - (dr < 0), sc = (dc > 0) - (dc < 0);
        Cell at = a;
        while (at.row != b.row || at.column != b.column) {
            const Cell next{at.row + sr, at.column + sc};
            if (!Passable(grid, o, next.row, next.column)) {
                return ::testing::AssertionFailure()
                       << "leg " << i << " crosses blocked cell " << next.row << "," << next.column;
            }
            if (sr != 0 && sc != 0 &&
                (!Passable(grid, o, at.row, next.column) ||
                 !Passable(grid, o, next.row, at.column))) {
                return ::testing::AssertionFailure() << "leg " << i << " cuts a corner";
            }
            at = next;
        }
    }
    return ::testing::AssertionSuccess();
}

// The reachable cells' smallest Manhattan distance to the goal (eight neighbours, no corner
// cutting), found by a flood from the start.
int ClosestReachable(PathGrid& grid, FakeMapObject& o, Cell start, Cell goal) {
    std::vector<char> seen(grid.Rows() * grid.Columns(), 0);
    std::queue<Cell> todo;
    todo.push(start);
    seen[start.row * grid.Columns() + start.column] = 1;
    int best = 1 << 30;
    static const int dr[8] = {1, 0, -1, -1, -1, 0, 1, 1}, dc[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
    while (!todo.empty()) {
        const Cell c = todo.front();
        todo.pop();
        best = std::min(best, std::abs(c.row - goal.row) + std::abs(c.column - goal.column));
        for (int d = 0; d < 8; ++d) {
            const Cell n{c.row + dr[d], c.column + dc[d]};
            if (!grid.IsInside(n.row, n.column) || seen[n.row * grid.Columns() + n.column])
                continue;
            if (!Passable(grid, o, n.row, n.column)) continue;
            if (dr[d] != 0 && dc[d] != 0 &&
                (!Passable(grid, o, c.row, n.column) || !Passable(grid, o, n.row, c.column))) {
                continue;
            }
            seen[n.row * grid.Columns() + n.column] = 1;
            todo.push(n);
        }
    }
    return best;
}

const std::vector<std::string> kRoom = {
    "eeeeeeeeee", "e........e", "e........e", "e........e", "e........e",
    "e........e", "e........e", "e........e", "e........e", "eeeeeeeeee",
};

// kRoom with land features on rows row0 .. row1 and columns column0 .. column1.
std::vector<std::string> RoomWith(int row0, int column0, int row1, int column1) {
    std::vector<std::string> rows = kRoom;
    for (int r = row0; r <= row1; ++r) {
        for (int c = column0; c <= column1; ++c)
            rows[r][c] = '#';
    }
    return rows;
}

// A wide pocket that the greedy search fills before it finds the way round the wall.
std::unique_ptr<PathGrid> TrapGrid() {
    std::vector<std::string> rows(60, std::string(60, '.'));
    for (int c = 0; c < 60; ++c)
        rows[0][c] = rows[59][c] = 'e';
    for (int r = 0; r < 60; ++r)
        rows[r][0] = rows[r][59] = 'e';
    for (int r = 1; r <= 56; ++r)
        rows[r][40] = '#';
    return GridFromRows(rows);
}
}  // namespace

TEST(PathSearch, RoutesRunFromTheStartCellToTheGoalCellWithOnlyTheirCorners) {
    const std::vector<std::string> ell = {"eeeeeeeeee", "e........e", "e.#######e", "e.#######e",
                                          "e.#######e", "e.#######e", "eeeeeeeeee"};
    struct Case {
        std::vector<std::string> rows;
        Point start, goal;
        std::vector<Point> route;
        bool endsOnly;  // only the first and last waypoints are pinned
    };
    const auto at = &CentreOf;  // a cell's centre
    const Case cases[] = {
        // The same cell gives two identical waypoints; a straight run its ends; an L its corner.
        {kRoom, Point(70, 75), Point(80, 66), {at(2, 2), at(2, 2)}, false},
        {kRoom, at(4, 1), at(4, 8), {at(4, 1), at(4, 8)}, false},
        {ell, at(5, 1), at(1, 8), {at(5, 1), at(1, 1), at(1, 8)}, false},
        // Blocked ends move to the nearest passable cell: from the right half of (3, 3) right.
        {RoomWith(3, 3, 3, 3), Point(126, 112), at(3, 7), {at(3, 4), at(3, 7)}, true},
        {RoomWith(3, 5, 5, 7), at(4, 1), at(4, 6), {at(4, 1), at(4, 4)}, true},
        // Clamped to the last column, an edge cell, which then moves to the nearest open cell.
        {kRoom, at(4, 4), Point(5000, 144), {at(4, 4), at(4, 8)}, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(::testing::Message() << "case " << i);
        auto grid = GridFromRows(c.rows);
        FakeMapObject unit(1, 1, c.start);
        NodeList route;
        ASSERT_EQ(grid->FindPath(unit.position, c.goal, &unit, route, 0, nullptr, nullptr), 1);
        const auto points = PointsOf(route);
        ASSERT_FALSE(points.empty());
        if (c.endsOnly) {
            EXPECT_EQ(points.front(), c.route.front());
            EXPECT_EQ(points.back(), c.route.back());
        } else {
            EXPECT_EQ(points, c.route);
        }
    }
}

TEST(PathSearch, NoDiagonalStepBetweenTwoBlockedCells) {
    auto grid = GridFromRows({
        "eeeeeeee",
        "e......e",
        "e..#...e",
        "e...#..e",
        "e......e",
        "eeeeeeee",
    });
    FakeMapObject unit(1, 1, CentreOf(3, 3));
    NodeList route;
    ASSERT_EQ(grid->FindPath(unit.position, CentreOf(2, 4), &unit, route, 0, nullptr, nullptr), 1);
    const auto points = PointsOf(route);
    ASSERT_GE(points.size(), 3u);
    EXPECT_TRUE(LegsArePassable(*grid, unit, points));
    // Without an object there is nothing to search for, and the route is left alone.
    EXPECT_EQ(grid->FindPath(unit.position, CentreOf(2, 4), nullptr, route, 0, nullptr, nullptr),
              0);
    EXPECT_EQ(PointsOf(route), points);
}

TEST(PathSearch, UnreachableIslandGivesARouteToTheClosestReachableCell) {
    auto grid = GridFromRows({
        "eeeeeeeeeeee",
        "e..........e",
        "e......www.e",
        "e......w.w.e",
        "e......www.e",
        "e..........e",
        "eeeeeeeeeeee",
    });
    FakeMapObject unit(1, 1, CentreOf(3, 1));
    unit.filter.noWater = 1;
    NodeList route;
    ASSERT_EQ(grid->FindPath(unit.position, CentreOf(3, 8), &unit, route, 0, nullptr, nullptr), 1);
    const auto points = PointsOf(route);
    const Cell end = CellOf(points.back());
    EXPECT_EQ(std::abs(end.row - 3) + std::abs(end.column - 8),
              ClosestReachable(*grid, unit, Cell{3, 1}, Cell{3, 8}));
    EXPECT_TRUE(LegsArePassable(*grid, unit, points));
}

TEST(PathSearch, NoRouteWhenNoReachableCellIsCloser) {
    auto grid = GridFromRows({
        "eeeeeeeeee",
        "e#.......e",
        "e.#......e",
        "e#.......e",
        "e........e",
        "eeeeeeeeee",
    });
    FakeMapObject unit(1, 1, CentreOf(2, 1));
    NodeList route;
    EXPECT_EQ(grid->FindPath(unit.position, CentreOf(2, 6), &unit, route, 0, nullptr, nullptr), 0);
    EXPECT_EQ(grid->IsCutShort(), 0);
    EXPECT_TRUE(route.IsEmpty());
}

TEST(PathSearch, LongSearchSuspendsAndResumesForTheSameRequest) {
    auto grid = TrapGrid();
    FakeMapObject unit(1, 1, CentreOf(5, 5));
    const Point goal = CentreOf(5, 50);
    NodeList route;
    ASSERT_EQ(grid->FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr), 0);
    ASSERT_EQ(grid->IsCutShort(), 1);
    EXPECT_EQ(grid->Search().RequestNodes(), 601u);
    int calls = 1, result = 0;
    while (result == 0 && grid->IsCutShort() && calls < 50) {
        result = grid->FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr);
        ++calls;
    }
    ASSERT_EQ(result, 1);
    EXPECT_GT(calls, 1);
    const auto points = PointsOf(route);
    EXPECT_EQ(points.front(), CentreOf(5, 5));
    EXPECT_EQ(points.back(), goal);
    EXPECT_TRUE(LegsArePassable(*grid, unit, points));
}

TEST(PathSearch, EveryLegOfARandomGridRouteIsPassable) {
    std::mt19937 random(20260);
    for (int round = 0; round < 60; ++round) {
        const int rows = 12 + static_cast<int>(random() % 30);
        const int columns = 12 + static_cast<int>(random() % 30);
        std::vector<std::string> map(rows, std::string(columns, '.'));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                if (r == 0 || c == 0 || r == rows - 1 || c == columns - 1) {
                    map[r][c] = 'e';
                } else if (random() % 100 < 28) {
                    map[r][c] = random() % 2 ? '#' : 'w';
                }
            }
        }
        auto grid = GridFromRows(map);
        FakeMapObject unit(1, 1, CentreOf(1 + random() % (rows - 2), 1 + random() % (columns - 2)));
        unit.filter.noWater = random() % 2;
        const Point goal = CentreOf(1 + random() % (rows - 2), 1 + random() % (columns - 2));
        NodeList route;
        int result = 0;
        for (int call = 0; call < 200; ++call) {
            result = grid->FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr);
            if (result == 1 || !grid->IsCutShort()) break;
        }
        if (result == 1) {
            EXPECT_TRUE(LegsArePassable(*grid, unit, PointsOf(route))) << "round " << round;
        }
    }
}

TEST(PathSearch, NeighbourRejectsDirectionsOutsideTheEight) {
    int r = 0, c = 0;
    EXPECT_EQ(PathSearch::Neighbour(5, 5, r, c, 8), 0);
    EXPECT_EQ(PathSearch::Neighbour(5, 5, r, c, -1), 0);
    ASSERT_EQ(PathSearch::Neighbour(5, 5, r, c, 0), 1);
    EXPECT_EQ(r, 6);
    EXPECT_EQ(c, 4);
}

TEST(PathSearch, EngagingUnitsPriceCellsTheEnemySees) {
    FakeTerrainServices services;
    std::vector<std::string> rows(30, "e" + std::string(58, '.') + "e");
    rows[0] = rows[29] = std::string(60, 'e');
    auto grid = GridFromRows(rows);
    SightGrid sight(Size(64, 64), grid->PixelExtent(), 1);
    grid->AttachSightGrid(&sight);
    // Five enemy sightings over map rows 6 .. 23 and columns 22 .. 39.
    FakeMapObject spotter(2, 10, Point(15 * 64 + 10, 7 * 64 + 10));
    for (int i = 0; i < 5; ++i)
        sight.AddViewer(&spotter, spotter.position);
    auto seen = [&sight](const Point& p) { return sight.EnemyPresence(p, 1) > 0; };
    ASSERT_TRUE(seen(CentreOf(15, 30)));
    ASSERT_FALSE(seen(CentreOf(15, 20)));

    FakeMapObject unit(1, 1, CentreOf(15, 2));
    const Point goal = CentreOf(15, 57);
    NodeList route;
    ASSERT_EQ(grid->FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr), 1);
    EXPECT_EQ(PointsOf(route).size(), 2u);  // straight through: units that do not engage ignore it

    unit.engageNearest = 1;
    ASSERT_EQ(grid->FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr), 1);
    const auto points = PointsOf(route);
    EXPECT_EQ(points.back(), goal);
    ASSERT_TRUE(LegsArePassable(*grid, unit, points));
    for (size_t i = 1; i < points.size(); ++i) {
        const Cell a = CellOf(points[i - 1]), b = CellOf(points[i]);
        const int sr = (b.row > a.row) - (b.row < a.row),
                  sc = (b.column > a.column) - (b.column < a.column);
        for (Cell at = a;; at = Cell{at.row + sr, at.column + sc}) {
            EXPECT_FALSE(seen(CentreOf(at.row, at.column))) << at.row << "," << at.column;
            if (at.row == b.row && at.column == b.column) break;
        }
    }
}

// A path exists only between points on the map, to the very cell asked for, found in one call:
// a goal behind water, or a search the node limit cuts short, is no path.
TEST(PathSearch, HasPathOnlyForOnePointOnTheMapToAnother) {
    // 10 x 6 open cells (320 x 192 pixels) with a pond around cell (3, 7).
    auto grid = GridFromRows({
        "..........",
        "......www.",
        "......w.w.",
        "......www.",
        "..........",
        "..........",
    });
    FakeMapObject unit(1, 1, CentreOf(4, 1), 0, 4);
    unit.filter.noWater = 1;
    const struct {
        Point from, to;
        int expected;
    } cases[] = {
        {Point(0, 0), Point(319, 191), 1},     {Point(319, 191), Point(0, 0), 1},
        {Point(-1, 0), Point(100, 100), 0},    {Point(0, -1), Point(100, 100), 0},
        {Point(100, 100), Point(320, 100), 0}, {Point(100, 100), Point(100, 192), 0},
        {Point(320, 0), Point(100, 100), 0},   {Point(0, 192), Point(100, 100), 0},
        {CentreOf(4, 1), CentreOf(2, 7), 0},   {CentreOf(4, 1), CentreOf(2, 9), 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(grid->HasPath(&unit, c.from, c.to), c.expected)
            << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(grid->IsCutShort(), 0);
    }
    // Over the trap the search runs out of nodes before it reaches the goal.
    auto trap = TrapGrid();
    EXPECT_EQ(trap->HasPath(&unit, CentreOf(5, 5), CentreOf(5, 50)), 0);
    EXPECT_EQ(trap->HasPath(&unit, CentreOf(5, 5), CentreOf(5, 20)), 1);
}
