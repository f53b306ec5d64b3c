#include "map/PathGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "map/SightGrid.h"
#include "map/TerrainFakes.h"

namespace {
std::vector<uint32_t> Words(const PathGrid& grid) {
    std::vector<uint32_t> words;
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Columns(); ++c)
            words.push_back(grid.CellWord(r, c));
    }
    return words;
}

const std::vector<std::string> kOpen = {
    "eeeeeeee", "e......e", "e......e", "e..w...e", "e......e", "e......e", "eeeeeeee",
};
}  // namespace

TEST(PathGrid, FootprintRadiusDecidesTheCellsCovered) {
    PathGrid grid(10, 10, Size(32, 32));
    int r0, c0, r1, c1;
    ASSERT_EQ(grid.RectToCells(CentreOf(2, 3), 16, r0, c0, r1, c1), 1);
    EXPECT_EQ(r0, 2);
    EXPECT_EQ(r1, 2);
    EXPECT_EQ(c0, 3);
    EXPECT_EQ(c1, 3);
    ASSERT_EQ(grid.RectToCells(CentreOf(2, 3), 48, r0, c0, r1, c1), 1);
    EXPECT_EQ(r1 - r0 + 1, 3);
    EXPECT_EQ(c1 - c0 + 1, 3);
    EXPECT_EQ(r0, 1);
    EXPECT_EQ(c0, 2);
}

TEST(PathGrid, BoxesLeavingTheMapAreRefused) {
    PathGrid grid(10, 10, Size(32, 32));
    int r0 = 99, c0 = 99, r1 = 99, c1 = 99;
    EXPECT_EQ(grid.RectToCells(Point(16, 16), 16, r0, c0, r1, c1), 1);  // touches 0 exactly
    r0 = c0 = r1 = c1 = 99;
    EXPECT_EQ(grid.RectToCells(Point(15, 40), 16, r0, c0, r1, c1), 0);  // left edge at -1
    EXPECT_EQ(grid.RectToCells(Point(40, 15), 16, r0, c0, r1, c1), 0);  // top edge at -1
    EXPECT_EQ(r0, 99);
    EXPECT_EQ(grid.RectToCells(Point(304, 40), 16, r0, c0, r1, c1), 0);  // right edge at 320
    EXPECT_EQ(grid.RectToCells(Point(303, 303), 16, r0, c0, r1, c1), 1);
}

TEST(PathGrid, AddThenRemoveRestoresEveryCellWord) {
    auto grid = GridFromRows(kOpen);
    const auto before = Words(*grid);
    FakeMapObject tank(2, 1, CentreOf(3, 3), 0, 48);
    FakeMapObject hover(3, 2, CentreOf(2, 4), 1, 16);
    hover.filter.extra = 1;
    grid->AddFootprint(&tank, tank.position, 0);
    grid->AddFootprint(&hover, hover.position, 0);
    EXPECT_EQ(grid->CellWord(2, 2), kCellLand | (kGroundBit << 2));
    EXPECT_EQ(grid->CellWord(3, 3), kCellLand | kCellWater | (kGroundBit << 2));
    EXPECT_EQ(grid->CellWord(2, 4),
              kCellLand | (kGroundBit << 2) | (kGroundBit << 3) | (kLowBit << 3));
    EXPECT_EQ(tank.footprint, Rect(Point(64, 64), Size(96, 96)));
    EXPECT_EQ(grid->Occupant(2, 4, 0), &hover);
    EXPECT_EQ(grid->Occupant(2, 4, 1), &hover);
    grid->RemoveFootprint(&tank, tank.position, 0);
    grid->RemoveFootprint(&hover, hover.position, 0);
    EXPECT_EQ(Words(*grid), before);
    EXPECT_EQ(tank.footprint, Rect());
    EXPECT_EQ(grid->Occupant(3, 3, 0), nullptr);
}

// Removing what was never added changes nothing; removing after a team change clears the bits
// that were added.
TEST(PathGrid, RemoveClearsOnlyWhatWasAddedEvenAfterATeamChange) {
    auto grid = GridFromRows(kOpen);
    const auto before = Words(*grid);
    FakeMapObject stranger(1, 9, CentreOf(2, 2), 0, 48);
    grid->RemoveFootprint(&stranger, stranger.position, 0);
    EXPECT_EQ(Words(*grid), before);
    EXPECT_EQ(stranger.footprint, Rect());
    FakeMapObject unit(1, 1, CentreOf(2, 2), 0, 16);
    grid->AddFootprint(&unit, unit.position, 0);
    unit.filter.team = 4;
    grid->RemoveFootprint(&unit, unit.position, 48);
    EXPECT_EQ(Words(*grid), before);
}

TEST(PathGrid, RemoveLeavesOtherObjectsEntriesAlone) {
    auto grid = GridFromRows(kOpen);
    FakeMapObject first(1, 1, CentreOf(2, 2), 0, 48);
    FakeMapObject second(2, 2, CentreOf(2, 3), 0, 16);
    grid->AddFootprint(&first, first.position, 0);
    grid->AddFootprint(&second, second.position, 0);
    grid->RemoveFootprint(&first, first.position, 0);
    EXPECT_EQ(grid->Occupant(2, 3, 0), &second);
    EXPECT_EQ(grid->CellWord(2, 3), kCellLand | (kGroundBit << 2));
    EXPECT_EQ(grid->Occupant(2, 2, 0), nullptr);
}

// Footprints that overlap (two buildings of one team, a third team's unit): in every order of
// adds and removes, each shared cell keeps the bits of the footprints still on it, and its
// occupant is the latest added of them.
TEST(PathGrid, OverlappingFootprintsKeepTheirMarksInAnyOrder) {
    auto grid = GridFromRows(kOpen);
    const auto before = Words(*grid);
    FakeMapObject a(2, 1, CentreOf(3, 3), 0, 48), b(2, 2, CentreOf(3, 4), 0, 48),
        c(3, 3, CentreOf(3, 4), 0, 16);
    FakeMapObject* all[3] = {&a, &b, &c};
    std::vector<int> adds = {0, 1, 2};
    int cases = 0;
    do {
        std::vector<int> removes = {0, 1, 2};
        do {
            for (int k : adds)
                grid->AddFootprint(all[k], all[k]->position, 0);
            std::vector<int> on = adds;
            for (int k : removes) {
                grid->RemoveFootprint(all[k], all[k]->position, 0);
                on.erase(std::find(on.begin(), on.end(), k));
                // Cell (3, 4) lies under all three; cell (2, 3) under a and b.
                uint32_t bits = 0;
                FakeMapObject* top = nullptr;
                FakeMapObject* topAB = nullptr;
                for (int left : on) {
                    bits |= all[left]->filter.OwnMask();
                    top = all[left];
                    if (left != 2) topAB = all[left];
                }
                EXPECT_EQ(grid->CellWord(3, 4), kCellLand | bits) << cases;
                EXPECT_EQ(grid->Occupant(3, 4, 0), top) << cases;
                EXPECT_EQ(grid->CellWord(2, 3) & kOccupancyPart, topAB ? kGroundBit << 2 : 0u)
                    << cases;
                EXPECT_EQ(grid->Occupant(2, 3, 0), topAB) << cases;
            }
            EXPECT_EQ(Words(*grid), before) << cases;
            ++cases;
        } while (std::next_permutation(removes.begin(), removes.end()));
    } while (std::next_permutation(adds.begin(), adds.end()));
    EXPECT_EQ(cases, 36);
}

TEST(PathGrid, MarkingAgainMovesTheFootprint) {
    auto grid = GridFromRows(kOpen);
    const auto before = Words(*grid);
    FakeMapObject unit(1, 1, CentreOf(2, 2), 0, 16);
    grid->AddFootprint(&unit, CentreOf(2, 2), 0);
    grid->AddFootprint(&unit, CentreOf(4, 5), 0);
    EXPECT_EQ(grid->CellWord(2, 2), kCellLand);
    EXPECT_EQ(grid->Occupant(4, 5, 0), &unit);
    grid->RemoveFootprint(&unit, CentreOf(4, 5), 0);
    EXPECT_EQ(Words(*grid), before);
}

TEST(PathGrid, TerrainBlocksOnlyUnderTheFootprintCentre) {
    auto grid = GridFromRows(kOpen);
    FakeMapObject boat(1, 1, CentreOf(3, 4), 0, 48);
    boat.filter.noWater = 1;
    const uint32_t mask = boat.filter.MoveFlags();
    // Water at (3, 3) lies under the footprint but not under its centre.
    EXPECT_EQ(grid->CanOccupy(&boat, CentreOf(3, 4), nullptr, mask, 0, 0), 1);
    MapObjectView* blocker = &boat;
    EXPECT_EQ(grid->CanOccupy(&boat, CentreOf(3, 3), &blocker, mask, 0, 0), 0);
    EXPECT_EQ(blocker, nullptr);
    // Outside the map: blocked.
    EXPECT_EQ(grid->CanOccupy(&boat, CentreOf(0, 0), nullptr, mask, 0, 0), 0);
}

// Two places are joined when a cell's region is another's; a point on a cell the drive cannot
// stand on (a unit over water, a dock on the shore) takes the regions of the open cells beside it.
TEST(PathGrid, TerrainJoinsPlacesOfOneRegionForTheDrive) {
    auto grid = GridFromRows({
        "eeeeeeeee",
        "e..w....e",
        "e..w.w..e",
        "e..w....e",
        "eeeeeeeee",
    });
    const uint32_t ground = 0x0B, hover = 0x09;
    struct Row {
        const char* name;
        uint32_t drive;
        Point from, to;
        int joined;
    };
    const Row rows[] = {
        {"one side of the water", ground, CentreOf(1, 1), CentreOf(3, 2), 1},
        {"across the water", ground, CentreOf(1, 1), CentreOf(1, 4), 0},
        {"across the water, hovering", hover, CentreOf(1, 1), CentreOf(1, 4), 1},
        {"from the water, to its west shore", ground, CentreOf(2, 3), CentreOf(2, 1), 1},
        {"from the water, to its east shore", ground, CentreOf(2, 3), CentreOf(1, 7), 1},
        {"a pond's cell, to its own side", ground, CentreOf(2, 5), CentreOf(3, 7), 1},
        {"a pond's cell, across the water", ground, CentreOf(2, 5), CentreOf(1, 1), 0},
        {"an edge corner, nothing open beside it", ground, CentreOf(0, 0), CentreOf(0, 0), 0},
        {"off the map", ground, Point(-40, 16), CentreOf(1, 1), 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(grid->TerrainJoins(row.drive, row.from, row.to), row.joined) << row.name;
        EXPECT_EQ(grid->TerrainJoins(row.drive, row.to, row.from), row.joined) << row.name;
    }
    // The labels follow the terrain: the wall dried at one cell, the sides join.
    grid->ClearCellBits(3, 3, kCellWater);
    EXPECT_EQ(grid->TerrainJoins(ground, CentreOf(1, 1), CentreOf(1, 4)), 1);
}

TEST(PathGrid, OccupantsBlockUnlessMovingOrThemselves) {
    auto grid = GridFromRows(kOpen);
    FakeMapObject unit(1, 1, CentreOf(2, 2), 0, 16);
    FakeMapObject other(2, 2, CentreOf(2, 3), 0, 16);
    grid->AddFootprint(&unit, unit.position, 0);
    grid->AddFootprint(&other, other.position, 0);
    const uint32_t mask = unit.filter.MoveFlags() | unit.filter.LayerMask(0);
    EXPECT_EQ(grid->CanOccupy(&unit, CentreOf(2, 2), nullptr, mask, 0, 0), 1);
    MapObjectView* blocker = nullptr;
    // A radius asked for stands in for the object's own: this one reaches the neighbour.
    EXPECT_EQ(grid->CanOccupy(&unit, CentreOf(2, 2), &blocker, mask, 0, 48), 0);
    EXPECT_EQ(blocker, &other);
    EXPECT_EQ(grid->CanOccupy(&unit, CentreOf(2, 3), &blocker, mask, 1, 0), 0);
    EXPECT_EQ(blocker, &other);
    other.moving = 1;
    EXPECT_EQ(grid->CanOccupy(&unit, CentreOf(2, 3), &blocker, mask, 1, 0), 1);
    EXPECT_EQ(grid->CanOccupy(&unit, CentreOf(2, 3), &blocker, mask, 0, 0), 0);
    // The recorded blocker blocks even while it moves.
    unit.blocking = other.id;
    EXPECT_EQ(grid->CanOccupy(&unit, CentreOf(2, 3), &blocker, mask, 1, 0), 0);
}

TEST(PathGrid, MatchingMaskPrefersAirThenLowThenGround) {
    auto grid = GridFromRows(kOpen);
    FakeMapObject tank(1, 1, CentreOf(2, 2), 0, 16);
    FakeMapObject plane(2, 2, CentreOf(2, 2), 2, 16);
    grid->AddFootprint(&tank, tank.position, 0);
    grid->AddFootprint(&plane, plane.position, 0);
    EXPECT_EQ(grid->ObjectMatchingMask(2, 2, kGroundBits | kAirBits), &plane);
    EXPECT_EQ(grid->ObjectMatchingMask(2, 2, kGroundBits), &tank);
    // The occupant's own bits must meet the mask: team 1's ground bit only.
    EXPECT_EQ(grid->ObjectMatchingMask(2, 2, kGroundBit << 3), nullptr);
    EXPECT_EQ(grid->ObjectMatchingMask(-1, 2, kGroundBits), nullptr);
}

TEST(PathGrid, AnchoredObjectMustStandInTheCellOnThatLayer) {
    auto grid = GridFromRows(kOpen);
    FakeMapObject big(1, 1, CentreOf(3, 3), 0, 48);
    grid->AddFootprint(&big, big.position, 0);
    EXPECT_EQ(grid->ObjectAnchoredAt(3, 3, 0), &big);
    EXPECT_EQ(grid->ObjectAnchoredAt(2, 2, 0), nullptr);
    EXPECT_EQ(grid->ObjectAnchoredAt(3, 3, 1), nullptr);
}

TEST(PathGrid, FindObjectNearTakesHostileDetectableOffTheGround) {
    FakeTerrainServices services;
    auto grid = GridFromRows(kOpen);
    SightGrid sight(Size(64, 64), grid->PixelExtent(), 1);
    grid->AttachSightGrid(&sight);
    FakeMapObject seeker(1, 1, CentreOf(2, 2), 0, 16);
    FakeMapObject groundFoe(2, 2, CentreOf(2, 3), 0, 16);
    FakeMapObject friendHover(1, 3, CentreOf(3, 2), 1, 16);
    FakeMapObject foeHover(3, 4, CentreOf(4, 4), 1, 16);
    for (FakeMapObject* o : {&seeker, &groundFoe, &friendHover, &foeHover}) {
        grid->AddFootprint(o, o->position, 0);
    }
    EXPECT_EQ(grid->FindObjectNear(&seeker, 2, 0), &foeHover);
    EXPECT_EQ(grid->FindObjectNear(&seeker, 1, 1), nullptr);
    services.Ally(1, 3);
    EXPECT_EQ(grid->FindObjectNear(&seeker, 2, 0), nullptr);
}

// Crowds of friends and foes of every size on both searched layers, some foes hidden: the
// answer is always the first hostile object the viewer detects in the order the box's cells are
// read (row by row, the low layer before the air layer of a cell), however many friends and
// big objects come first.
TEST(PathGrid, FindObjectNearAnswersTheFirstDetectedFoeInReadingOrder) {
    std::mt19937 random(35);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const std::vector<std::string> rows(24, std::string(24, '.'));
    for (int round = 0; round < 200; ++round) {
        FakeTerrainServices services;
        auto grid = GridFromRows(rows);
        SightGrid sight(Size(64, 64), grid->PixelExtent(), 1);
        grid->AttachSightGrid(&sight);
        std::vector<std::unique_ptr<FakeMapObject>> objects;
        for (int i = 0; i < 70; ++i) {
            const int team = pick(0, 9) < 7 ? 1 : pick(2, 3);
            auto o = std::make_unique<FakeMapObject>(team, i, CentreOf(pick(2, 21), pick(2, 21)),
                                                     pick(1, 2), pick(0, 2) == 0 ? 48 : 16);
            o->hidden[0] = pick(0, 3) == 0;
            grid->AddFootprint(o.get(), o->position, 0);
            objects.push_back(std::move(o));
        }
        if (pick(0, 3) == 0) services.Ally(1, 3);
        FakeMapObject& seeker = *objects[static_cast<size_t>(pick(0, 69))];
        const int rowRadius = pick(1, 8), columnRadius = pick(0, 8);
        const int columnsAcross = columnRadius == 0 ? rowRadius : columnRadius;
        short row, column;
        grid->PixelToCell(seeker.position, row, column);
        MapObjectView* expected = nullptr;
        for (int r = row - rowRadius; r <= row + rowRadius && !expected; ++r) {
            for (int c = column - columnsAcross; c <= column + columnsAcross && !expected; ++c) {
                for (int layer = 1; layer <= 2 && !expected; ++layer) {
                    MapObjectView* other = grid->Occupant(r, c, layer);
                    if (other && other != &seeker && seeker.IsHostileTo(other) &&
                        sight.CanDetect(&seeker, other)) {
                        expected = other;
                    }
                }
            }
        }
        EXPECT_EQ(grid->FindObjectNear(&seeker, rowRadius, columnRadius), expected)
            << "round " << round;
    }
}
