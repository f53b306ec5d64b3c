// The World's object lists: where objects go, lookups by id, team and nearness, and serials.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "world/RegistryTestFixture.h"

namespace {

std::unique_ptr<GameObject> Object(int team, int serial, const Point& at, int kind = 1,
                                   TestObject** raw = nullptr) {
    auto object = std::make_unique<TestObject>(team, serial, at, kind);
    if (raw) *raw = object.get();
    return object;
}

class RegistryTest : public ::testing::Test {
protected:
    WorldOnLand land{OpenLand(12, 10)};
    World& world = land.world;
};

TEST_F(RegistryTest, FindObjectLooksInTheIdsTeamFirstAndThenTheOthersInOrder) {
    EXPECT_EQ(world.FindObject(SimId()), nullptr);
    // The same id listed under team 3 and (after a team change) under team 1: the id's own
    // team's list answers first, whichever was listed last.
    TestObject* inTeam3 = land.AddUnit(3, 7, 4, 4);
    TestObject* inTeam1 = land.AddUnit(1, 7, 2, 2, 1, 0, SimId(3, 7));
    EXPECT_EQ(world.FindObject(SimId(3, 7)), inTeam3);
    TestObject* moved = land.AddUnit(1, 7, 3, 3, 1, 0, SimId(3, 8));
    EXPECT_EQ(world.FindObject(SimId(3, 8)), moved);
    EXPECT_EQ(world.MoveSimToTeam(inTeam3, 3, 0), 1);
    EXPECT_EQ(world.FindObject(SimId(3, 7)), inTeam3);
    // Asked to move from a team that does not list it, nothing moves and the answer says so.
    EXPECT_EQ(world.MoveSimToTeam(inTeam3, 3, 1), 0);
    EXPECT_EQ(world.FindSim(SimId(3, 7)), nullptr);
    world.MoveSimToTeam(inTeam1, 1, 3);
    EXPECT_EQ(world.FindObject(SimId(3, 7)), inTeam1);
    // A building of the id's team is found only after every Sim list.
    auto building = Object(2, 9, land.Centre(6, 6), 4);
    world.AddBuilding(std::move(building));
    TestObject* simWithSameId = land.AddUnit(4, 9, 6, 9, 1, 0, SimId(2, 9));
    EXPECT_EQ(world.FindObject(SimId(2, 9)), simWithSameId);
    // FindSim looks only in the id's team.
    EXPECT_EQ(world.FindSim(SimId(3, 8)), nullptr);
    EXPECT_EQ(world.FindSim(SimId(3, 7)), inTeam1);
}

TEST_F(RegistryTest, TheNewestOfTwoEqualIdsIsFoundAndTeamsOutsideTheRangeFindNothing) {
    TestObject* older = land.AddUnit(2, 5, 2, 2);
    TestObject* newer = land.AddUnit(2, 5, 5, 5);
    ASSERT_NE(older, newer);
    EXPECT_EQ(world.FindObject(SimId(2, 5)), newer);
    EXPECT_EQ(world.FindSim(SimId(7, 5)), nullptr);
    EXPECT_EQ(world.FindSim(SimId(-3, 5)), nullptr);
    EXPECT_EQ(world.TeamFactory(9), nullptr);
    EXPECT_EQ(world.FindObject(SimId(12, 5)), nullptr);
    // Even an object whose own id was damaged to a team outside the range is not found by it.
    older->id = SimId(6, 5);
    EXPECT_EQ(world.FindObject(SimId(6, 5)), nullptr);
    EXPECT_EQ(world.FindCargoCarrier(SimId(6, 5)), nullptr);
}

TEST_F(RegistryTest, EffectsWeaponsTakenArtifactsAndReservationsAreNeverSearched) {
    world.AddEffect(Object(1, 40, land.Centre(3, 3), 0));
    world.AddWeapon(Object(1, 41, land.Centre(3, 3), 0));
    TestObject* unit = land.AddUnit(1, 42, 4, 4);
    SimId held;
    world.ReservePlace(held, unit, land.Centre(6, 6), nullptr);
    EXPECT_EQ(held, SimId(1, 42));
    EXPECT_EQ(world.FindObject(SimId(1, 40)), nullptr);
    EXPECT_EQ(world.FindObject(SimId(1, 41)), nullptr);
    EXPECT_EQ(world.FindObject(SimId(1, 42)), unit);
}

TEST_F(RegistryTest, TeamFactorySkipsABuildingThatChangedTeam) {
    TestObject* first = nullptr;
    TestObject* second = nullptr;
    world.AddBuilding(Object(2, 1, land.Centre(3, 3), 4, &first));
    world.AddBuilding(Object(2, 2, land.Centre(6, 6), 4, &second));
    EXPECT_EQ(world.TeamFactory(2), second);
    second->teamRecord.first = 3;
    EXPECT_EQ(world.TeamFactory(2), first);
}

TEST_F(RegistryTest, ADestructibleThatCannotBePlacedIsNotListedAndStaysWithTheCaller) {
    land.AddUnit(1, 1, 3, 3);
    std::unique_ptr<GameObject> blocked = Object(0, 2, land.Centre(3, 3), 5);
    EXPECT_EQ(world.AddDestructible(blocked), 0);
    ASSERT_NE(blocked, nullptr);
    std::unique_ptr<GameObject> free = Object(0, 3, land.Centre(5, 5), 5);
    EXPECT_EQ(world.AddDestructible(free), 1);
    EXPECT_EQ(free, nullptr);
    EXPECT_NE(world.FindDestructible(SimId(0, 3)), nullptr);
    std::unique_ptr<GameObject> deposit = Object(0, 4, land.Centre(3, 3), 9);
    EXPECT_EQ(world.AddOreDeposit(deposit), 0);
    EXPECT_NE(deposit, nullptr);
}

// Where a new wreck goes by what holds its place. Outside a network game: another wreck takes
// in its salvage, anything else keeps it out. In a network game every machine keeps it where its
// maker put it (another machine's copies may stand elsewhere), listed but off the grids, so the
// place's holder keeps its cells.
TEST(WreckPlacement, ByWhatHoldsThePlaceAndWhetherTheGameIsANetworkGame) {
    enum Holder { kFree, kWreck, kUnit, kBuilding, kOffMap };
    enum Outcome { kPlaced, kMerged, kLaidOver, kDestroyed };
    const struct {
        Holder holder;
        int network;
        Outcome outcome;
    } cases[] = {
        {kFree, 0, kPlaced},        {kFree, 1, kPlaced},       {kWreck, 0, kMerged},
        {kWreck, 1, kLaidOver},     {kUnit, 0, kDestroyed},    {kUnit, 1, kLaidOver},
        {kBuilding, 0, kDestroyed}, {kBuilding, 1, kLaidOver}, {kOffMap, 0, kDestroyed},
        {kOffMap, 1, kDestroyed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "holder " << c.holder << " network " << c.network);
        // Before the land: a listed wreck is deleted with the land and counts here.
        int deleted = 0;
        WorldOnLand land{OpenLand(12, 10)};
        World& world = land.world;
        const Point at = c.holder == kOffMap ? Point(-200, -200) : land.Centre(4, 4);
        GameObject* holder = nullptr;
        TestObject* old = nullptr;
        if (c.holder == kWreck) {
            auto first = Object(0, 1, at, 3, &old);
            first->SetCargoCapacity(50);
            first->AddCargo(40);
            ASSERT_EQ(world.AddWreck(std::move(first)), 1);
            holder = old;
        } else if (c.holder == kUnit) {
            holder = land.AddUnit(1, 1, 4, 4);
        } else if (c.holder == kBuilding) {
            TestObject* building = nullptr;
            world.AddBuilding(Object(2, 1, at, 4, &building));
            holder = building;
        }
        const int listedBefore = world.wrecks.Count();
        world.networkGame = c.network;
        TestObject* made = nullptr;
        auto wreck = Object(1, 6, at, 3, &made);
        made->deletions = &deleted;
        wreck->SetCargoCapacity(25);
        wreck->AddCargo(25);
        const int result = world.AddWreck(std::move(wreck));
        EXPECT_EQ(result, c.outcome == kDestroyed ? 0 : 1);
        EXPECT_EQ(deleted, c.outcome == kPlaced || c.outcome == kLaidOver ? 0 : 1);
        const bool listed = c.outcome == kPlaced || c.outcome == kLaidOver;
        EXPECT_EQ(world.wrecks.Count(), listedBefore + (listed ? 1 : 0));
        EXPECT_EQ(world.FindWreckById(SimId(1, 6)) != nullptr, listed);
        if (listed) {
            EXPECT_EQ(made->GetPosition(), at);
        }
        if (old) {
            EXPECT_EQ(old->GetCargo(), c.outcome == kMerged ? 65 : 40);
        }
        if (c.holder == kOffMap) continue;
        // Who marks the cell: the placed wreck, or the place's holder as before.
        const MapObjectView* occupant = world.pathGrid->Occupant(4, 4, 0);
        EXPECT_EQ(occupant, c.outcome == kPlaced ? static_cast<MapObjectView*>(made)
                                                 : static_cast<MapObjectView*>(holder));
        if (c.outcome != kLaidOver) continue;
        EXPECT_EQ(made->GetFootprint(), Rect());
        // Used up, it leaves the holder's marks as they were.
        const uint32_t word = world.pathGrid->CellWord(4, 4);
        made->destroyed = 1;
        world.UpdateObjects(16);
        EXPECT_EQ(world.FindWreckById(SimId(1, 6)), nullptr);
        EXPECT_EQ(world.pathGrid->CellWord(4, 4), word);
        EXPECT_EQ(world.pathGrid->Occupant(4, 4, 0), static_cast<MapObjectView*>(holder));
    }
}

TEST_F(RegistryTest, AddWreckWithNothingRefusesIt) {
    EXPECT_EQ(world.AddWreck(nullptr), 0);
    world.networkGame = 1;
    EXPECT_EQ(world.AddWreck(nullptr), 0);
}

TEST_F(RegistryTest, AnArtifactTakesTheCellCentreAndACellHoldsOnlyOne) {
    std::unique_ptr<GameObject> artifact = Object(0, 1, Point(100, 70), 8);
    EXPECT_EQ(world.AddArtifact(artifact), 1);
    EXPECT_TRUE(world.pathGrid->CellWord(2, 3) & 0x20u);
    GameObject* listed = world.ArtifactAt(Point(100, 70));
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->GetPosition(), land.Centre(2, 3));
    std::unique_ptr<GameObject> second = Object(0, 2, Point(110, 80), 8);
    EXPECT_EQ(world.AddArtifact(second), 0);
    EXPECT_NE(second, nullptr);
    // Picked up: it leaves the artifact list, the cell keeps refusing a second one.
    world.RetireArtifact(listed);
    EXPECT_EQ(world.artifacts.Count(), 0);
    EXPECT_EQ(world.takenArtifacts.Count(), 1);
    EXPECT_TRUE(world.pathGrid->CellWord(2, 3) & 0x20u);
    EXPECT_EQ(world.ArtifactAt(Point(-5, 70)), nullptr);
    EXPECT_EQ(world.ArtifactAt(Point(100000, 70)), nullptr);
}

TEST_F(RegistryTest, ReserveSerialKeepsNewIdsAboveEveryLoadedOne) {
    world.nextSerial = 3;
    world.ReserveSerial(5);
    EXPECT_EQ(world.nextSerial, 6);
    world.nextSerial = 9;
    world.ReserveSerial(5);
    EXPECT_EQ(world.nextSerial, 9);
    EXPECT_EQ(world.NewSimId(2), SimId(2, 9));
    EXPECT_EQ(world.NewSimId(0), SimId(0, 10));
}

TEST_F(RegistryTest, NearnessIgnoresEmptyAndFarCandidatesAndKeepsTheFirstOfEquals) {
    world.terrain->SetRevealAll(1);
    TestObject* asker = land.AddUnit(2, 1, 5, 5);
    auto emptyDeposit = Object(0, 2, land.Centre(5, 6), 9);
    ASSERT_EQ(world.AddOreDeposit(emptyDeposit), 1);
    EXPECT_EQ(world.NearestOreDeposit(asker), nullptr);
    TestObject* left = nullptr;
    TestObject* right = nullptr;
    auto a = Object(0, 3, land.Centre(5, 3), 9, &left);
    auto b = Object(0, 4, land.Centre(5, 7), 9, &right);
    left->stored = 10;
    right->stored = 10;
    ASSERT_EQ(world.AddOreDeposit(a), 1);
    ASSERT_EQ(world.AddOreDeposit(b), 1);
    // Both 64 pixels away: the first found (the newest, b) wins.
    EXPECT_EQ(world.NearestOreDeposit(asker), right);
    // 10000 pixels or farther is never found.
    right->stored = 0;
    left->SetPosition(Point(10000 + asker->GetPosition().x, asker->GetPosition().y));
    EXPECT_EQ(world.NearestOreDeposit(asker), nullptr);
    left->SetPosition(Point(9999 + asker->GetPosition().x, asker->GetPosition().y));
    EXPECT_EQ(world.NearestOreDeposit(asker), left);
}

TEST_F(RegistryTest, DestructiblesWithCargoCountForTheirSecondTeamAndAreFoundNearest) {
    world.terrain->SetRevealAll(1);
    TestObject* asker = land.AddUnit(2, 1, 5, 2);
    TestObject* empty = nullptr;
    TestObject* near = nullptr;
    TestObject* far = nullptr;
    std::unique_ptr<GameObject> objects[] = {Object(0, 2, land.Centre(5, 3), 5, &empty),
                                             Object(0, 3, land.Centre(5, 5), 5, &near),
                                             Object(0, 4, land.Centre(5, 9), 5, &far)};
    for (TestObject* o : {empty, near, far}) {
        o->teamRecord.second = 2;
        o->SetCargoCapacity(10);
    }
    near->AddCargo(10);
    far->AddCargo(10);
    for (auto& o : objects)
        ASSERT_EQ(world.AddDestructible(o), 1);
    EXPECT_EQ(world.CountTeamDestructibles(2), 2);
    EXPECT_EQ(world.CountTeamDestructibles(3), 0);
    // The empty one lies nearest (32 pixels) but has nothing; the next is 96 pixels away.
    EXPECT_EQ(world.NearestDestructible(asker, 0), near);
    EXPECT_EQ(world.NearestDestructible(asker, 96), nullptr);
    EXPECT_EQ(world.NearestDestructible(asker, 97), near);
    EXPECT_EQ(world.NearestDestructible(nullptr, 0), nullptr);
    // A miner is sent only to a field its drive reaches: water between column 7 and the far
    // field parts the land. Asked from the miner or from elsewhere (its factory), by drive and
    // by whether its own field is dry.
    for (int row = 0; row < world.pathGrid->Rows(); ++row)
        world.pathGrid->SetCellBits(row, 7, kCellWater);
    struct {
        int noWater;
        int nearCargo;
        GameObject* fromMiner;
        GameObject* fromFactory;
    } const reach[] = {{1, 10, near, near}, {1, 0, nullptr, nullptr}, {0, 0, far, far}};
    TestObject* factory = land.AddUnit(2, 9, 2, 2);
    for (const auto& row : reach) {
        asker->collision.noWater = row.noWater;
        near->cargo = row.nearCargo;
        EXPECT_EQ(world.NearestFieldInReach(asker, asker, 0), row.fromMiner) << row.noWater;
        EXPECT_EQ(world.NearestFieldInReach(factory, asker, 0), row.fromFactory) << row.noWater;
    }
    // The water dried: the labels follow the terrain.
    for (int row = 0; row < world.pathGrid->Rows(); ++row)
        world.pathGrid->ClearCellBits(row, 7, kCellWater);
    asker->collision.noWater = 1;
    EXPECT_EQ(world.NearestFieldInReach(asker, asker, 0), far);
    // Shapes of water the labels must see through: a way round that turns back west, a field
    // whose own cell is water, and a miner on an island of one cell with a field under it.
    std::vector<std::pair<int, int>> wall;
    for (int column = 0; column <= 8; ++column)
        wall.emplace_back(4, column);
    struct {
        const char* name;
        std::vector<std::pair<int, int>> water;
        bool fieldUnder;
        GameObject* found;
    } const shapes[] = {
        {"wall above it, open at its east end", wall, false, far},
        {"field in water, open only to its east", {{5, 9}, {4, 9}, {6, 9}, {5, 8}}, false, far},
        {"one-cell island, a field under it", {{4, 2}, {6, 2}, {5, 1}, {5, 3}}, true, empty},
    };
    for (const auto& shape : shapes) {
        for (const auto& [row, column] : shape.water)
            world.pathGrid->SetCellBits(row, column, kCellWater);
        if (shape.fieldUnder) {
            empty->SetPosition(asker->GetPosition());
            empty->cargo = 10;
        }
        EXPECT_EQ(world.NearestFieldInReach(asker, asker, 0), shape.found) << shape.name;
        for (const auto& [row, column] : shape.water)
            world.pathGrid->ClearCellBits(row, column, kCellWater);
    }
}

TEST_F(RegistryTest, GroupsAndDepositsAreFoundByIdInTheirOwnLists) {
    TestObject* group = nullptr;
    EXPECT_EQ(world.AddGroup(nullptr), 0);
    EXPECT_EQ(world.AddGroup(Object(2, 50, Point(), 0, &group)), 1);
    TestObject* deposit = nullptr;
    auto ore = Object(0, 51, land.Centre(4, 4), 9, &deposit);
    ASSERT_EQ(world.AddOreDeposit(ore), 1);
    EXPECT_EQ(world.FindGroup(SimId(2, 50)), group);
    EXPECT_EQ(world.FindGroup(SimId(0, 51)), nullptr);
    EXPECT_EQ(world.FindOreDeposit(SimId(0, 51)), deposit);
    EXPECT_EQ(world.FindOreDeposit(SimId(2, 50)), nullptr);
    EXPECT_EQ(world.FindObject(SimId(2, 50)), group);
}

TEST_F(RegistryTest, NearestWreckNeedsAFreeDockAndHonoursTheLimit) {
    world.terrain->SetRevealAll(1);
    TestObject* asker = land.AddUnit(2, 1, 5, 2);
    TestObject* near = nullptr;
    TestObject* far = nullptr;
    world.AddWreck(Object(0, 2, land.Centre(5, 4), 3, &near));
    world.AddWreck(Object(0, 3, land.Centre(5, 8), 3, &far));
    near->freeDock = -1;
    EXPECT_EQ(world.FindNearestWreck(asker, 0), far);
    // 192 pixels away: a limit of 192 drops it, 193 keeps it.
    EXPECT_EQ(world.FindNearestWreck(asker, 192), nullptr);
    EXPECT_EQ(world.FindNearestWreck(asker, 193), far);
    near->freeDock = 0;
    EXPECT_EQ(world.FindNearestWreck(asker, 0), near);
    // For a scavenger, water at column 6 parts it from the far wreck: by drive and free dock.
    for (int row = 0; row < world.pathGrid->Rows(); ++row)
        world.pathGrid->SetCellBits(row, 6, kCellWater);
    struct {
        int noWater, nearDock;
        GameObject* found;
    } const reach[] = {{1, 0, near}, {1, -1, nullptr}, {0, -1, far}};
    for (const auto& row : reach) {
        asker->collision.noWater = row.noWater;
        near->freeDock = row.nearDock;
        EXPECT_EQ(world.NearestWreckInReach(asker, land.Centre(5, 9), 0, asker), row.found)
            << row.noWater << row.nearDock;
        // A repair trip asks the same of a point: a repairer, or the side of a damaged unit.
        EXPECT_EQ(world.InReachOf(asker, land.Centre(5, 8)), row.noWater == 0) << row.noWater;
        EXPECT_TRUE(world.InReachOf(asker, land.Centre(5, 5)));
    }
}

TEST_F(RegistryTest, TheLocalPlayerDoesNotFindWhatLiesOnGroundItNeverSaw) {
    // Team 1 is the local team; this unit lifts no fog of its own.
    auto own = std::make_unique<TestObject>(1, 1, land.Centre(2, 2));
    own->sensors.viewer = 0;
    TestObject* asker = own.get();
    std::unique_ptr<GameObject> listed = std::move(own);
    ASSERT_EQ(world.AddSim(listed), 1);
    TestObject* deposit = nullptr;
    auto object = Object(0, 2, land.Centre(8, 10), 9, &deposit);
    deposit->stored = 5;
    ASSERT_EQ(world.AddOreDeposit(object), 1);
    EXPECT_EQ(world.NearestOreDeposit(asker), nullptr);
    auto enemy = std::make_unique<TestObject>(2, 3, land.Centre(2, 3));
    enemy->sensors.viewer = 0;
    TestObject* other = enemy.get();
    std::unique_ptr<GameObject> enemyListed = std::move(enemy);
    ASSERT_EQ(world.AddSim(enemyListed), 1);
    EXPECT_EQ(world.NearestOreDeposit(other), deposit);
    world.terrain->SetRevealAll(1);
    EXPECT_EQ(world.NearestOreDeposit(asker), deposit);
}

TEST_F(RegistryTest, AddSimTalliesTheUnitInItsTeamRecord) {
    land.AddUnit(3, 1, 4, 4);
    EXPECT_EQ(land.records.tallied[3], 1);
    EXPECT_EQ(land.records.lastEffort, 0);
    // A Sim whose place is taken is not listed and not tallied.
    auto blocked = Object(3, 2, land.Centre(4, 4));
    EXPECT_EQ(world.AddSim(blocked), 0);
    EXPECT_NE(blocked, nullptr);
    EXPECT_EQ(land.records.tallied[3], 1);
}

TEST_F(RegistryTest, TeamHasStructureAsksTheMissionFirst) {
    land.records.scriptedTeam = 2;
    land.records.scriptedCode = 5;
    EXPECT_EQ(world.TeamHasStructure(2, 5), 1);
    EXPECT_EQ(world.TeamHasStructure(2, 6), 0);
    TestObject* structure = land.AddUnit(2, 1, 4, 4, 7);
    // Until the deploying units say which code a unit gives, none counts.
    EXPECT_EQ(world.TeamHasStructure(2, 6), 0);
    EXPECT_EQ(world.ScanForStructure(2, 6), 0);
    world.structureCodeOf = [](GameObject* o) { return o->id.serial == 1 ? 6 : -1; };
    EXPECT_EQ(world.TeamHasStructure(7, 6), 0);
    EXPECT_EQ(world.ScanForStructure(-1, 6), 0);
    EXPECT_EQ(world.TeamHasStructure(2, 6), 1);
    EXPECT_EQ(world.NearestStructure(2, 6, Point(0, 0)), structure);
    // Codes 0 to 7 are noted apart: the last code is found, the ones not standing are not,
    // and the nearer of two of a code is the answer.
    TestObject* last = land.AddUnit(2, 2, 8, 8, 7);
    TestObject* far = land.AddUnit(2, 3, 8, 2, 7);
    world.structureCodeOf = [](GameObject* o) { return o->id.serial == 1 ? 6 : 7; };
    world.NoteTeamSimsChanged(2);
    EXPECT_EQ(world.TeamHasStructure(2, 7), 1);
    EXPECT_EQ(world.TeamHasStructure(2, 0), 0);
    EXPECT_EQ(world.TeamHasStructure(2, 8), 0);
    EXPECT_EQ(world.NearestStructure(2, 7, land.Centre(8, 7)), last);
    EXPECT_EQ(world.NearestStructure(2, 7, land.Centre(8, 3)), far);
    EXPECT_EQ(world.NearestStructure(2, 5, land.Centre(8, 3)), nullptr);
    structure->destroyed = 1;
    EXPECT_EQ(world.TeamHasStructure(2, 6), 0);
    EXPECT_EQ(world.NearestStructure(2, 6, Point(0, 0)), nullptr);
}

}  // namespace
