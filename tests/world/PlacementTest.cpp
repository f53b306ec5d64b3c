// Placing objects on the map: the placement test and move, layers, reservations, buildable
// ground, mouse picking and the searches round an object.
#include <algorithm>

#include <gtest/gtest.h>

#include "map/SightGrid.h"
#include "world/RegistryTestFixture.h"

namespace {

constexpr uint32_t kGround1 = 0x00010000u << 1;

class PlacementTest : public ::testing::Test {
protected:
    // Water in row 6, columns 3 .. 5.
    WorldOnLand land{OpenLand(12, 10, {"", "", "", "", "", "", "cccwww"})};
    World& world = land.world;
    PathGrid& grid = *world.pathGrid;
};

TEST_F(PlacementTest, ARefusedPlacementChangesNothingAndReportsTheBlocker) {
    TestObject* a = land.AddUnit(1, 1, 3, 3);
    TestObject* b = land.AddUnit(2, 2, 5, 5);
    const Rect footprint = b->footprint;
    const uint32_t wordBefore = grid.CellWord(5, 5);
    GameObject* blocker = nullptr;
    EXPECT_EQ(world.PlaceObject(b, a->GetPosition(), &blocker), 0);
    EXPECT_EQ(blocker, a);
    EXPECT_EQ(b->GetPosition(), land.Centre(5, 5));
    EXPECT_EQ(b->footprint, footprint);
    EXPECT_EQ(grid.CellWord(5, 5), wordBefore);
    EXPECT_EQ(grid.Occupant(5, 5, 0), b);
    // No object: nothing is placed.
    EXPECT_EQ(world.PlaceObject(nullptr, land.Centre(7, 7), nullptr), 0);
    EXPECT_EQ(world.PlaceOnLayer(nullptr, land.Centre(7, 7), 1, nullptr), 0);
    EXPECT_EQ(world.CanPlace(nullptr, land.Centre(7, 7), &blocker, 0, 0), 0);
    EXPECT_EQ(blocker, nullptr);
}

TEST_F(PlacementTest, AMoveTakesTheFootprintAlong) {
    TestObject* a = land.AddUnit(1, 1, 3, 3);
    EXPECT_EQ(grid.CellWord(3, 3) & kGround1, kGround1);
    EXPECT_EQ(world.PlaceObject(a, land.Centre(3, 4), nullptr), 1);
    EXPECT_EQ(grid.CellWord(3, 3) & kGround1, 0u);
    EXPECT_EQ(grid.Occupant(3, 3, 0), nullptr);
    EXPECT_EQ(grid.Occupant(3, 4, 0), a);
    EXPECT_EQ(a->GetPosition(), land.Centre(3, 4));
    // Terrain under the footprint's centre refuses: open water for a ground unit of no flags
    // is allowed, the map edge never.
    EXPECT_EQ(world.PlaceObject(a, land.Centre(0, 4), nullptr), 0);
}

// Two units trade places where each fits on the other's, the grids marking each on its new place;
// where either does not, or either marks no footprint, nothing changes.
TEST(TradePlacesTest, TwoUnitsTradePlacesOnlyWhereEachFitsOnTheOthers) {
    struct Row {
        const char* name;
        int bColumn, bRadius, bFilterKind;
        bool third, traded;
    };
    const Row rows[] = {
        {"neighbours", 4, 16, 2, false, true},
        {"two cells apart", 5, 16, 2, false, true},
        {"the wider one beside a third unit on the other's place", 5, 40, 2, true, false},
        {"the wider one with room", 5, 40, 2, false, true},
        {"one that marks no footprint", 4, 16, 0, false, false},
    };
    for (const Row& row : rows) {
        WorldOnLand here{OpenLand(12, 10, {})};
        TestObject* a = here.AddUnit(1, 1, 3, 3);
        auto made = std::make_unique<TestObject>(1, 2, here.Centre(3, row.bColumn), 1, row.bRadius,
                                                 0, row.bFilterKind);
        TestObject* b = made.get();
        std::unique_ptr<GameObject> owned = std::move(made);
        ASSERT_EQ(here.world.AddSim(owned), 1) << row.name;
        if (row.third) here.AddUnit(1, 3, 3, 2);
        PathGrid& paths = *here.world.pathGrid;
        const MapObjectView* onA = paths.Occupant(3, 3, 0);
        const MapObjectView* onB = paths.Occupant(3, row.bColumn, 0);
        EXPECT_EQ(here.world.TradePlaces(a, b), row.traded ? 1 : 0) << row.name;
        EXPECT_EQ(a->GetPosition(), here.Centre(3, row.traded ? row.bColumn : 3)) << row.name;
        EXPECT_EQ(b->GetPosition(), here.Centre(3, row.traded ? 3 : row.bColumn)) << row.name;
        EXPECT_EQ(paths.Occupant(3, 3, 0), row.traded ? static_cast<MapObjectView*>(b) : onA)
            << row.name;
        EXPECT_EQ(paths.Occupant(3, row.bColumn, 0),
                  row.traded ? static_cast<MapObjectView*>(a) : onB)
            << row.name;
        EXPECT_EQ(here.world.TradePlaces(a, a), 0) << row.name;
    }
}

TEST_F(PlacementTest, AnObjectOfAnotherFilterKindMovesWithoutTouchingTheGrids) {
    auto shot = std::make_unique<TestObject>(1, 5, land.Centre(4, 4), 0, 16, 0, 1);
    const uint32_t before = grid.CellWord(4, 6);
    EXPECT_EQ(world.PlaceObject(shot.get(), land.Centre(4, 6), nullptr), 1);
    EXPECT_EQ(shot->GetPosition(), land.Centre(4, 6));
    EXPECT_EQ(grid.CellWord(4, 6), before);
    EXPECT_EQ(grid.Occupant(4, 6, 0), nullptr);
}

TEST_F(PlacementTest, AFailedLayerChangeLeavesTheObjectWhereAndOnTheLayerItWas) {
    TestObject* a = land.AddUnit(1, 1, 3, 3);
    auto flyer = std::make_unique<TestObject>(2, 9, land.Centre(3, 5), 1, 16, 2);
    std::unique_ptr<GameObject> owned = std::move(flyer);
    ASSERT_EQ(world.AddSim(owned), 1);
    TestObject* low = land.AddUnit(1, 2, 4, 4);
    const int seers = world.sight->Value(0, 1, 1, 2);
    // Onto the low layer above a free ground cell: taken, its sight with it.
    EXPECT_EQ(world.PlaceOnLayer(low, land.Centre(3, 4), 1, nullptr), 1);
    EXPECT_EQ(world.sight->Value(0, 1, 1, 2), seers);
    EXPECT_EQ(low->GetCollision()->layer, 1);
    EXPECT_EQ(grid.Occupant(3, 4, 1), low);
    EXPECT_EQ(grid.Occupant(4, 4, 0), nullptr);
    // Back onto the ground where a stands: refused, still on layer 1 at (3, 4).
    GameObject* blocker = nullptr;
    EXPECT_EQ(world.PlaceOnLayer(low, a->GetPosition(), 0, &blocker), 0);
    EXPECT_EQ(blocker, a);
    EXPECT_EQ(low->GetCollision()->layer, 1);
    EXPECT_EQ(low->GetPosition(), land.Centre(3, 4));
    EXPECT_EQ(grid.Occupant(3, 4, 1), low);
}

// A building not yet on the map takes nothing away where it stood before: only its new place
// is seen.
TEST_F(PlacementTest, ABuildingPutOnALayerFromOffTheGridsOnlyAddsItsNewPlace) {
    auto building = std::make_unique<TestObject>(1, 7, land.Centre(1, 1), 4, 16);
    ASSERT_EQ(world.PlaceOnLayer(building.get(), land.Centre(7, 10), 0, nullptr), 1);
    EXPECT_EQ(grid.Occupant(7, 10, 0), building.get());
    EXPECT_GE(world.terrain->Visibility(7, 10), 1);
    EXPECT_EQ(world.terrain->Visibility(1, 0), -1);
    EXPECT_EQ(world.terrain->Visibility(8, 0), -1);
    world.RemoveFromGrids(building.get(), building->GetPosition(), 0);
}

TEST_F(PlacementTest, AReservationHoldsThePlaceUntilItIsMoved) {
    TestObject* unit = land.AddUnit(1, 1, 3, 3);
    SimId out;
    const SimId held = world.ReservePlace(out, unit, land.Centre(5, 8), nullptr);
    EXPECT_EQ(held, unit->id);
    EXPECT_EQ(out, unit->id);
    EXPECT_EQ(world.reservations.Count(), 1);
    TestObject* other = land.AddUnit(2, 7, 5, 9);
    EXPECT_EQ(world.PlaceObject(other, land.Centre(5, 8), nullptr), 0);
    // An unknown id does nothing.
    world.MoveReservation(SimId(4, 4), unit);
    EXPECT_EQ(world.reservations.Count(), 1);
    world.MoveReservation(held, unit);
    EXPECT_EQ(world.reservations.Count(), 0);
    EXPECT_EQ(unit->GetPosition(), land.Centre(5, 8));
    EXPECT_EQ(grid.Occupant(5, 8, 0), unit);
    // A taken place reserves nothing.
    SimId none;
    EXPECT_TRUE(world.ReservePlace(none, other, land.Centre(5, 8), nullptr).IsNull());
    EXPECT_TRUE(none.IsNull());
    // With no object the reservation only frees its place.
    const SimId second = world.ReservePlace(out, other, land.Centre(2, 8), nullptr);
    world.MoveReservation(second, nullptr);
    EXPECT_EQ(grid.Occupant(2, 8, 0), nullptr);
    EXPECT_EQ(other->GetPosition(), land.Centre(5, 9));
}

TEST_F(PlacementTest, AnAirObjectAskingForTheGroundReservesOnTheLowLayer) {
    auto flyer = std::make_unique<TestObject>(2, 9, land.Centre(3, 5), 1, 16, 2);
    std::unique_ptr<GameObject> owned = std::move(flyer);
    GameObject* air = owned.get();
    ASSERT_EQ(world.AddSim(owned), 1);
    SimId out;
    EXPECT_EQ(world.ReservePlaceOnLayer(out, air, land.Centre(5, 5), 0, nullptr), air->id);
    EXPECT_EQ(air->GetCollision()->layer, 2);
    EXPECT_EQ(air->GetCollision()->extra, 0);
    // On the low layer, also standing on the ground.
    EXPECT_NE(grid.Occupant(5, 5, 1), nullptr);
    EXPECT_NE(grid.Occupant(5, 5, 0), nullptr);
    // A taken place: still the object's own layer and flag afterwards.
    land.AddUnit(1, 3, 7, 7);
    EXPECT_TRUE(world.ReservePlaceOnLayer(out, air, land.Centre(7, 7), 0, nullptr).IsNull());
    EXPECT_EQ(air->GetCollision()->layer, 2);
    EXPECT_EQ(air->GetCollision()->extra, 0);
}

TEST_F(PlacementTest, OnlyOpenGroundInsideTheMapIsBuildable) {
    // Columns 3 .. 5 of row 6 are water; the map is 384 x 320 pixels, its border is 'e'.
    EXPECT_EQ(world.IsAreaBuildable(Rect(Point(64, 64), Size(64, 64))), 1);
    EXPECT_EQ(world.IsAreaBuildable(Rect(Point(64, 160), Size(64, 64))), 0);
    EXPECT_EQ(world.IsAreaBuildable(Rect(Point(-1, 64), Size(10, 10))), 0);
    // The inclusive corner at the last pixel column is inside the map (on its 'e' border).
    EXPECT_EQ(world.IsAreaBuildable(Rect(Point(340, 64), Size(44, 10))), 0);
    EXPECT_EQ(world.IsAreaBuildable(Rect(Point(340, 64), Size(45, 10))), 0);
    EXPECT_EQ(world.IsAreaBuildable(Rect(Point(320, 64), Size(31, 10))), 1);
}

TEST_F(PlacementTest, PickingPrefersAnotherTeamsObjectOnAnyLayer) {
    // The local team's flyer above an enemy on the ground.
    TestObject* enemy = land.AddUnit(2, 1, 4, 4);
    auto flyer = std::make_unique<TestObject>(1, 2, land.Centre(4, 4), 1, 16, 2);
    std::unique_ptr<GameObject> owned = std::move(flyer);
    GameObject* own = owned.get();
    ASSERT_EQ(world.AddSim(owned), 1);
    EXPECT_EQ(world.PickObjectAt(land.Centre(4, 4) + Point(3, 3)), enemy);
    // A wreck is picked only when nothing else is there.
    auto wreck = std::make_unique<TestObject>(0, 3, land.Centre(6, 8), 3);
    GameObject* wreckObject = wreck.get();
    world.AddWreck(std::move(wreck));
    EXPECT_EQ(world.PickObjectAt(land.Centre(6, 8)), wreckObject);
    enemy->destroyed = 1;
    world.RemoveFromGrids(enemy, enemy->GetPosition(), 0);
    EXPECT_EQ(world.PickObjectAt(land.Centre(4, 4)), own);
    EXPECT_EQ(world.PickObjectAt(Point(-40, 20)), nullptr);
    EXPECT_EQ(world.PickObjectAt(Point(20, 50000)), nullptr);
}

TEST_F(PlacementTest, FindObjectNearTurnsTheRadiusIntoWholeCells) {
    // The grid's search looks at the low and air layers for hostiles the object detects, as
    // far in rows as in columns.
    TestObject* centre = land.AddUnit(1, 1, 4, 4);
    for (const Point& cell : {Point(4, 7), Point(7, 4)}) {
        auto low = std::make_unique<TestObject>(2, 2, land.Centre(cell.x, cell.y), 1, 16, 1);
        TestObject* threeAway = low.get();
        std::unique_ptr<GameObject> owned = std::move(low);
        ASSERT_EQ(world.AddSim(owned), 1);
        EXPECT_EQ(world.FindObjectNear(centre, 0), nullptr);
        EXPECT_EQ(world.FindObjectNear(centre, 64), nullptr);
        EXPECT_EQ(world.FindObjectNear(centre, 65), static_cast<GameObject*>(threeAway));
        world.RemoveFromGrids(threeAway, threeAway->GetPosition(), 0);
        threeAway->destroyed = 1;
    }
}

TEST_F(PlacementTest, HasObjectAroundSeesHostilesTwoCellsBeyondTheFootprint) {
    TestObject* unit = land.AddUnit(1, 1, 4, 4);
    land.AddUnit(1, 2, 4, 6);
    EXPECT_EQ(world.HasObjectAround(unit, -1), 0);
    land.AddUnit(3, 3, 6, 6);
    EXPECT_EQ(world.HasObjectAround(unit, -1), 1);
    EXPECT_EQ(world.HasObjectAround(unit, 3), 1);
    EXPECT_EQ(world.HasObjectAround(unit, 2), 0);
    // A footprint that leaves the map sees nothing, even with a hostile beside it.
    land.AddUnit(3, 4, 1, 2);
    TestObject offMap(1, 9, Point(4, 4));
    EXPECT_EQ(world.HasObjectAround(&offMap, -1), 0);
    world.Ally(SimId(1, 0), SimId(3, 0));
    EXPECT_EQ(world.HasObjectAround(unit, -1), 0);
    // In its own cells a ground unit sees the layer above the ground, not the air layer.
    land.AddUnit(4, 1, 4, 4, 1, 2);
    EXPECT_EQ(world.HasObjectAround(unit, 4), 0);
    land.AddUnit(4, 2, 4, 4, 1, 1);
    EXPECT_EQ(world.HasObjectAround(unit, 4), 1);
}

// Two cells beyond the footprint on every side are looked at; the third is not.
TEST_F(PlacementTest, HasObjectAroundEndsTwoCellsBeyondTheFootprintOnEverySide) {
    TestObject* unit = land.AddUnit(1, 1, 4, 7);
    int row0 = 0, column0 = 0, row1 = 0, column1 = 0;
    ASSERT_EQ(grid.RectToCells(unit->GetCentre(), unit->GetRadius(), row0, column0, row1, column1),
              1);
    int serial = 10;
    for (const int away : {2, 3}) {
        for (const auto& [dr, dc] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
            const int row = dr < 0 ? row0 - away : dr > 0 ? row1 + away : row0;
            const int column = dc < 0 ? column0 - away : dc > 0 ? column1 + away : column0;
            TestObject* hostile = land.AddUnit(3, ++serial, row, column);
            EXPECT_EQ(world.HasObjectAround(unit, 3), away == 2 ? 1 : 0)
                << away << " " << dr << "," << dc;
            world.RemoveFromGrids(hostile, hostile->GetPosition(), 0);
            hostile->destroyed = 1;
        }
    }
    // No object, or no land to look on: nothing around.
    EXPECT_EQ(world.HasObjectAround(nullptr, -1), 0);
    World bare;
    EXPECT_EQ(bare.HasObjectAround(unit, -1), 0);
}

TEST_F(PlacementTest, DeployingTakesTheTeamOffTheGridsAndPutsItBackUnderTheNewKind) {
    TestObject* unit = land.AddUnit(2, 1, 3, 3);
    TestObject* other = land.AddUnit(2, 2, 5, 5);
    auto building = std::make_unique<TestObject>(2, 3, land.Centre(7, 8), 4, 24);
    world.AddBuilding(std::move(building));
    const uint32_t before = grid.CellWord(5, 5);
    std::vector<int> kindsSeen;
    world.setDeployKind = [&](GameObject* sim, int kind) {
        static_cast<TestObject*>(sim)->kind = kind;
        // Everything of the team is off the grids at this moment.
        kindsSeen.push_back(
            grid.Occupant(5, 5, 0) == nullptr && grid.Occupant(7, 8, 0) == nullptr ? kind : -kind);
    };
    EXPECT_EQ(world.DeploySim(unit), 0);
    EXPECT_EQ(unit->kind, 7);
    EXPECT_EQ(grid.Occupant(5, 5, 0), other);
    EXPECT_EQ(grid.CellWord(5, 5), before);
    EXPECT_EQ(world.UndeploySim(unit), 0);
    EXPECT_EQ(unit->kind, 1);
    EXPECT_EQ(kindsSeen, std::vector<int>({7, 1}));
    EXPECT_EQ(grid.Occupant(3, 3, 0), unit);
}

// Sight counts of every sight cell of player 1 on layer 0.
std::vector<int32_t> SightCounts(const SightGrid& sight) {
    std::vector<int32_t> counts;
    for (int row = 0; row < sight.Rows(); ++row) {
        for (int column = 0; column < sight.Columns(); ++column)
            counts.push_back(sight.Value(0, 1, row, column));
    }
    return counts;
}

TEST_F(PlacementTest, AUnitHalfwayBetweenCellsLeavesTheGridsBeforeItMovesOn) {
    TestObject* unit = land.AddUnit(1, 1, 4, 4);
    const std::vector<int32_t> seen = SightCounts(*world.sight);
    const Point centre = unit->GetPosition();
    // 16 pixels right of the centre: the footprint box of radius 16 holds no cell centre.
    ASSERT_EQ(world.PlaceObject(unit, centre + Point(16, 0), nullptr), 1);
    ASSERT_EQ(world.PlaceObject(unit, centre + Point(20, 0), nullptr), 1);
    ASSERT_EQ(world.PlaceObject(unit, centre, nullptr), 1);
    EXPECT_EQ(SightCounts(*world.sight), seen);
    EXPECT_EQ(grid.Occupant(4, 4, 0), unit);
    EXPECT_EQ(grid.Occupant(4, 5, 0), nullptr);
}

// A copy goes where its owner says (kinds 9 and 57) whatever stands there; but a carried copy
// stays off the grids until its carrier sets it down, and a destroyed one is not touched.
TEST_F(PlacementTest, PlaceOverMovesAStandingOrCarriedCopyAndLeavesADestroyedOne) {
    enum State { kStanding, kOverAnother, kCarried, kDestroyedOff, kDestroyedMarked };
    const struct {
        State state;
        bool moves;
        bool marksTarget;
    } cases[] = {
        {kStanding, true, true},       {kOverAnother, true, true},       {kCarried, true, false},
        {kDestroyedOff, false, false}, {kDestroyedMarked, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        WorldOnLand fresh{OpenLand(12, 10)};
        World& w = fresh.world;
        PathGrid& paths = *w.pathGrid;
        const auto grids = [&] {
            std::vector<int64_t> all;
            for (int r = 0; r < paths.Rows(); ++r)
                for (int col = 0; col < paths.Columns(); ++col)
                    all.push_back(paths.CellWord(r, col));
            // Seen once, a cell stays explored (0, not -1) when no one sees it any more.
            for (int32_t v : SightCounts(*w.sight))
                all.push_back(std::max(v, 0));
            return all;
        };
        TestObject* other = c.state == kOverAnother ? fresh.AddUnit(2, 9, 7, 7) : nullptr;
        const std::vector<int64_t> empty = grids();
        TestObject* unit = fresh.AddUnit(1, 1, 3, 3);
        unit->viewingPlayer = 1;
        w.RemoveFromGrids(unit, unit->GetPosition(), 0);
        w.AddToGrids(unit, unit->GetPosition(), 0);
        if (c.state == kCarried || c.state == kDestroyedOff) {
            // As a carrier takes it aboard, or as its death takes it off.
            w.RemoveFromGrids(unit, unit->GetPosition(), 0);
            unit->onMap = c.state == kCarried ? 0 : 1;
            unit->gridFlag = c.state == kCarried ? 0 : 1;
        }
        if (c.state == kDestroyedOff || c.state == kDestroyedMarked) unit->destroyed = 1;
        const std::vector<int64_t> before = grids();
        const Point from = unit->GetPosition();
        const Point to = fresh.Centre(7, 7);
        w.PlaceOver(unit, to);
        EXPECT_EQ(unit->GetPosition(), c.moves ? to : from);
        EXPECT_EQ(paths.Occupant(7, 7, 0) == unit, c.marksTarget);
        if (!c.marksTarget) {
            EXPECT_EQ(grids(), before);
        }
        if (c.state == kDestroyedMarked) {
            EXPECT_EQ(paths.Occupant(3, 3, 0), unit);
        }
        if (c.state == kCarried) {
            EXPECT_EQ(unit->GetFootprint(), Rect());
            // Set down later, it marks one place once.
            unit->onMap = unit->gridFlag = 1;
            EXPECT_EQ(w.PlaceObject(unit, fresh.Centre(5, 5), nullptr), 1);
            EXPECT_EQ(paths.Occupant(5, 5, 0), unit);
        }
        // Off the grids again, the unit leaves nothing behind; the unit it stood over keeps
        // its place.
        if (c.state != kDestroyedOff) w.RemoveFromGrids(unit, unit->GetPosition(), 0);
        EXPECT_EQ(grids(), empty);
        if (other) {
            EXPECT_EQ(paths.Occupant(7, 7, 0), other);
        }
    }
}

}  // namespace
