#include "map/PathGrid.h"

#include <gtest/gtest.h>

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
