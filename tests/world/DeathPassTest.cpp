// The per-tick update and the death pass: losses, wrecks of dead units, the elimination of a
// team whose factory dies and the pieces it leaves, and the removal of used-up wrecks.
#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "objects/CommandBuffer.h"
#include "world/MemoryCatalogueMedia.h"
#include "world/RegistryTestFixture.h"

namespace {

std::unique_ptr<ChassisTemplate> Chassis(char clan, char role, int cost) {
    ChassisValues values;
    values.clan = clan;
    values.role = role;
    values.firstCost = cost;
    return std::make_unique<ChassisTemplate>(values);
}

class DeathPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCatalogueMedia(&media);
        for (char chassis : {'g', 'h'}) {
            ListNode* record = new WreckTemplate('X', chassis, 0);
            WreckList.PushBack(record);
            records.push_back(record);
        }
        for (char clan : {'V', 'T'}) {
            BuildingValues values;
            values.letter = clan;
            ListNode* record = new BuildingTemplate(values, Chassis(clan, 'b', 0), nullptr);
            BuildingList.PushBack(record);
            records.push_back(record);
        }
        world.makeWreck =
            [this](const WreckDescription& description) -> std::unique_ptr<GameObject> {
            made.push_back(description);
            const int radius = std::max(description.size.w, description.size.h) / 2;
            auto wreck = std::make_unique<TestObject>(description.id.team, description.id.serial,
                                                      description.position, 3, radius);
            wreck->SetCargoCapacity(0);
            return wreck;
        };
    }
    void TearDown() override {
        world.ClearObjects();
        for (ListNode* record : records)
            delete record;
        SetCatalogueMedia(nullptr);
    }

    TestObject* Unit(int team, int serial, int row, int column, VehicleDesign* design, int kind = 1,
                     int layer = 0) {
        TestObject* unit = land.AddUnit(team, serial, row, column, kind, layer);
        unit->design = design;
        return unit;
    }

    TestObject* Factory(int team, int serial, const Point& at, VehicleDesign* design) {
        auto building = std::make_unique<TestObject>(team, serial, at, 4, 24);
        building->design = design;
        TestObject* raw = building.get();
        raw->deletions = &land.deletions;
        world.AddBuilding(std::move(building));
        return raw;
    }

    std::vector<GameObject*> Wrecks() {
        std::vector<GameObject*> all;
        for (ListNode* n = world.wrecks.First(); n; n = world.wrecks.Next(n))
            all.push_back(static_cast<ObjectNode*>(n)->Object());
        return all;
    }

    MemoryCatalogueMedia media;
    WorldOnLand land{OpenLand(24, 20)};
    World& world = land.world;
    std::vector<ListNode*> records;
    std::vector<WreckDescription> made;
    std::unique_ptr<ChassisTemplate> groundChassis = Chassis('V', 'g', 101);
    std::unique_ptr<ChassisTemplate> cargoChassis = Chassis('V', 'h', 101);
    VehicleDesign groundDesign{'V'};
    VehicleDesign cargoDesign{'V'};
};

TEST_F(DeathPassTest, ADeadUnitWorth101LeavesAWreckWorth75WhereItStood) {
    groundDesign.chassis = groundChassis.get();
    TestObject* unit = Unit(2, 1, 5, 5, &groundDesign);
    unit->teamRecord.third = 6;
    const Point at = unit->GetPosition();
    world.nextSerial = 40;
    unit->destroyed = 1;
    world.UpdateObjects(16);
    EXPECT_EQ(land.deletions, 1);
    EXPECT_EQ(land.records.losses[2], 1);
    EXPECT_EQ(world.FindObject(SimId(2, 1)), nullptr);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].clan, 'V');
    EXPECT_EQ(made[0].chassis, 'g');
    EXPECT_EQ(made[0].size, Size(24, 20));
    EXPECT_EQ(made[0].id, SimId(2, 40));
    // The picture is the wreck record's of the unit's chassis ('g', the first record).
    EXPECT_EQ(made[0].picture, static_cast<WreckTemplate*>(records[0])->pictures.get());
    const std::vector<GameObject*> wrecks = Wrecks();
    ASSERT_EQ(wrecks.size(), 1u);
    EXPECT_EQ(wrecks[0]->GetPosition(), at);
    EXPECT_EQ(wrecks[0]->GetCargo(), 75);
    EXPECT_EQ(wrecks[0]->teamRecord.first, 0);
    EXPECT_EQ(wrecks[0]->teamRecord.third, 6);
    EXPECT_EQ(wrecks[0]->GetCollision()->team, 0);
}

TEST_F(DeathPassTest, ACargoCarrierAddsItsCargoAfterTheFactorAndAnAirUnitsWreckLies40PxLower) {
    cargoDesign.chassis = cargoChassis.get();
    groundDesign.chassis = groundChassis.get();
    TestObject* carrier = Unit(1, 1, 5, 5, &cargoDesign);
    carrier->SetCargoCapacity(100);
    carrier->AddCargo(30);
    TestObject* flyer = Unit(1, 2, 12, 12, &groundDesign, 1, 2);
    const Point at = flyer->GetPosition();
    carrier->destroyed = flyer->destroyed = 1;
    world.UpdateObjects(16);
    ASSERT_EQ(made.size(), 2u);
    for (const WreckDescription& wreck : made) {
        EXPECT_EQ(wreck.position == at + Point(0, 40), wreck.chassis == 'g');
        EXPECT_EQ(
            wreck.picture,
            static_cast<WreckTemplate*>(records[wreck.chassis == 'g' ? 0 : 1])->pictures.get());
    }
    std::multiset<int> cargo;
    for (GameObject* wreck : Wrecks())
        cargo.insert(wreck->GetCargo());
    EXPECT_EQ(cargo, (std::multiset<int>{75, 75 + 30}));
}

TEST_F(DeathPassTest, CaptureUnitsAndRemoteCopiesLeaveNoWreckButCountTheLoss) {
    groundDesign.chassis = groundChassis.get();
    TestObject* capture = Unit(3, 1, 5, 5, &groundDesign, 6);
    TestObject* remote = Unit(3, 2, 8, 8, &groundDesign);
    remote->local = 0;
    capture->destroyed = 1;
    remote->destroyed = 1;
    world.UpdateObjects(16);
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(land.records.losses[3], 2);
    EXPECT_EQ(land.deletions, 2);
    // Without game records a loss goes uncounted, and the dead unit still goes.
    world.SetGameRecords(nullptr);
    Unit(3, 3, 10, 10, &groundDesign, 6)->destroyed = 1;
    world.UpdateObjects(16);
    EXPECT_EQ(land.deletions, 3);
    world.SetGameRecords(&land.records);
}

TEST_F(DeathPassTest, DestroyedShotsAndEffectsGoAtOnceAndCountNoLoss) {
    int gone = 0;
    auto shot = std::make_unique<TestObject>(1, 9, land.Centre(3, 3), 0, 4, 0, 1);
    shot->destroyed = 1;
    shot->deletions = &gone;
    auto effect = std::make_unique<TestObject>(1, 10, land.Centre(3, 3), 0, 4, 0, 1);
    TestObject* living = effect.get();
    world.AddWeapon(std::move(shot));
    world.AddEffect(std::move(effect));
    world.UpdateObjects(16);
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(living->updates, 1);
    EXPECT_EQ(land.records.losses[1], 0);
}

TEST_F(DeathPassTest, DepositsAndDestructiblesUpdateEveryTickAndAreNeverRemoved) {
    auto deposit = std::make_unique<TestObject>(0, 1, land.Centre(4, 4), 9);
    TestObject* d = deposit.get();
    d->destroyed = 1;
    std::unique_ptr<GameObject> owned = std::move(deposit);
    ASSERT_EQ(world.AddOreDeposit(owned), 1);
    world.UpdateObjects(16);
    world.UpdateObjects(16);
    EXPECT_EQ(d->updates, 2);
    EXPECT_EQ(world.oreDeposits.Count(), 1);
}

TEST_F(DeathPassTest, AVFactoryWorth1000Leaves3PiecesAndATFactory4) {
    auto vChassis = Chassis('V', 'b', 1000);
    VehicleDesign vDesign{'V'};
    vDesign.chassis = vChassis.get();
    TestObject* v = Factory(2, 1, Point(200, 200), &vDesign);
    v->destroyed = 1;
    world.UpdateObjects(16);
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(world.wrecks.Count(), 3);
    for (GameObject* piece : Wrecks())
        EXPECT_EQ(piece->GetCargo(), 333);
    // Piece i: centre less half its size plus its offset.
    EXPECT_EQ(made[0].position, Point(200 - 20, 200 - 15));
    EXPECT_EQ(made[1].position, Point(200 - 21 + 115, 200 - 15));
    EXPECT_EQ(made[2].position, Point(200 - 22 + 125, 200 - 15 + 95));
    EXPECT_EQ(made[2].chassis, 'Z');
    EXPECT_EQ(made[2].id.team, 2);
    EXPECT_EQ(land.records.losses[2], 1);

    made.clear();
    auto tChassis = Chassis('T', 'b', 900);
    VehicleDesign tDesign{'T'};
    tDesign.chassis = tChassis.get();
    TestObject* t = Factory(3, 2, Point(400, 300), &tDesign);
    t->SetCargoCapacity(200);
    t->AddCargo(100);
    t->destroyed = 1;
    world.UpdateObjects(16);
    ASSERT_EQ(made.size(), 4u);
    EXPECT_EQ(made[3].position, Point(400 - 23 + 92, 300 - 15 + 129));
    EXPECT_EQ(made[3].clan, 'T');
    int worth250 = 0;
    for (GameObject* piece : Wrecks())
        worth250 += piece->GetCargo() == 250 ? 1 : 0;
    EXPECT_EQ(worth250, 4);
}

// Every machine scatters the pieces of a factory that dies: whatever its own serial counter
// says, the pieces take the ids derived from the factory's and share its value alike.
TEST_F(DeathPassTest, AFactorysPiecesTakeIdsFromItsOwnWhateverTheMachinesCounter) {
    auto chassis = Chassis('V', 'b', 1000);
    VehicleDesign design{'V'};
    design.chassis = chassis.get();
    std::vector<std::vector<std::pair<SimId, int>>> machines;
    // The first machine owns the factory in a network game, the second holds a copy.
    for (int32_t counter : {40, 9000}) {
        const int owner = counter == 40 ? 1 : 0;
        made.clear();
        world.nextSerial = counter;
        world.networkGame = owner;
        world.commands->SetEnabled(1);
        world.commands->Rewind();
        world.commands->BeginRecording();
        TestObject* f = Factory(2, 17, Point(200, 200), &design);
        f->local = owner;
        // Outside a network game the team's own units are not announced either.
        if (owner == 0) Unit(2, 30, 8, 8, nullptr)->local = 1;
        f->SetCargoCapacity(1000);
        f->AddCargo(200);
        f->destroyed = 1;
        world.UpdateObjects(16);
        std::vector<std::pair<SimId, int>> pieces;
        for (const WreckDescription& d : made) {
            GameObject* piece = world.FindWreckById(d.id);
            ASSERT_NE(piece, nullptr);
            pieces.emplace_back(d.id, piece->GetCargo());
            // The owner's pieces are its own; a copy's follow the owner's word.
            EXPECT_EQ(piece->local, owner);
        }
        // Only the owner tells what each piece holds: one snapshot per piece (a 7-byte
        // header, its point, facing, damage, limit and cargo: 24 bytes).
        EXPECT_EQ(world.commands->Size(), owner == 1 ? 3u * 24u : 0u) << counter;
        world.networkGame = 0;
        world.commands->SetEnabled(0);
        machines.push_back(pieces);
        EXPECT_EQ(world.nextSerial, counter) << "no serial of the machine's own is used";
        // Used up, the pieces leave the grids for the next machine's.
        for (GameObject* piece : Wrecks())
            static_cast<TestObject*>(piece)->destroyed = 1;
        world.UpdateObjects(16);
    }
    const std::vector<std::pair<SimId, int>> expected = {
        {World::WreckPieceId(SimId(2, 17), 0), 400},
        {World::WreckPieceId(SimId(2, 17), 1), 400},
        {World::WreckPieceId(SimId(2, 17), 2), 400}};
    EXPECT_EQ(machines[0], expected);
    EXPECT_EQ(machines[1], expected);
    // Distinct per factory and piece, and above any serial a machine hands out.
    EXPECT_NE(World::WreckPieceId(SimId(2, 17), 3), World::WreckPieceId(SimId(2, 18), 0));
    EXPECT_EQ(World::WreckPieceId(SimId(3, 5), 2),
              SimId(3, static_cast<int32_t>(World::kPieceSerialBase + 5 * 4 + 2)));
}

// A factory another machine owned dies: in a network game the lowest-numbered player left
// takes its units over; outside one nobody does.
TEST_F(DeathPassTest, OnlyANetworkGamesTakerTakesTheUnitsOfAFactoryDiedElsewhere) {
    groundDesign.chassis = groundChassis.get();
    auto chassis = Chassis('V', 'b', 10);
    VehicleDesign design{'V'};
    design.chassis = chassis.get();
    land.records.allBelowEmpty = 1;
    for (int network : {0, 1}) {
        world.networkGame = network;
        TestObject* unit = Unit(2 + network, 5, 8, 8 + 4 * network, &groundDesign);
        unit->local = 0;
        TestObject* factory = Factory(2 + network, 1, Point(200 + 300 * network, 200), &design);
        factory->local = 0;
        factory->destroyed = 1;
        world.UpdateObjects(16);
        EXPECT_EQ(unit->local, network) << network;
    }
    world.networkGame = 0;
}

TEST_F(DeathPassTest, EliminationBreaksOnlyThatTeamsAlliancesAndDisownsItsUnits) {
    world.Ally(SimId(1, 0), SimId(2, 0));
    world.Ally(SimId(2, 0), SimId(3, 0));
    world.Ally(SimId(3, 0), SimId(4, 0));
    groundDesign.chassis = groundChassis.get();
    TestObject* unit = Unit(2, 5, 8, 8, &groundDesign);
    unit->teamRecord.third = 3;
    unit->SetMoving(1);
    auto chassis = Chassis('V', 'b', 10);
    VehicleDesign design{'V'};
    design.chassis = chassis.get();
    TestObject* factory = Factory(2, 1, Point(200, 200), &design);
    // The team's destructibles pass to team 0; another team's stay as they are.
    TestObject* destructibles[2] = {};
    for (int i = 0; i < 2; ++i) {
        auto object = std::make_unique<TestObject>(0, 20 + i, land.Centre(3, 3 + 4 * i), 11);
        object->teamRecord.second = 2 + i;
        destructibles[i] = object.get();
        std::unique_ptr<GameObject> owned = std::move(object);
        ASSERT_EQ(world.AddDestructible(owned), 1);
    }
    factory->destroyed = 1;
    world.UpdateObjects(16);
    EXPECT_EQ(destructibles[0]->newTeams, std::vector<int>({0}));
    EXPECT_TRUE(destructibles[1]->newTeams.empty());
    EXPECT_EQ(world.AreAllied(1, 2), 0);
    EXPECT_EQ(world.AreAllied(2, 1), 0);
    EXPECT_EQ(world.AreAllied(3, 2), 0);
    EXPECT_EQ(world.AreAllied(3, 4), 1);
    EXPECT_EQ(world.AreAllied(2, 2), 1);
    EXPECT_EQ(land.records.emptied, std::vector<int>({2}));
    // Still listed, but off the map, uncoloured and stopped.
    EXPECT_EQ(world.FindSim(SimId(2, 5)), unit);
    EXPECT_EQ(unit->onMap, 0);
    EXPECT_EQ(unit->teamRecord.third, 0);
    EXPECT_EQ(unit->IsMoving(), 0);
    EXPECT_EQ(world.TeamFactory(2), nullptr);
}

TEST_F(DeathPassTest, AUsedUpWreckLeavesTheGrids) {
    auto wreck = std::make_unique<TestObject>(0, 1, land.Centre(6, 6), 3);
    TestObject* raw = wreck.get();
    ASSERT_EQ(world.AddWreck(std::move(wreck)), 1);
    ASSERT_EQ(world.pathGrid->Occupant(6, 6, 0), raw);
    const uint32_t word = world.pathGrid->CellWord(6, 6);
    EXPECT_NE(word & 0x00010000u, 0u);
    raw->destroyed = 1;
    world.UpdateObjects(16);
    EXPECT_EQ(world.wrecks.Count(), 0);
    EXPECT_EQ(world.pathGrid->Occupant(6, 6, 0), nullptr);
    EXPECT_EQ(world.pathGrid->CellWord(6, 6) & 0x00010000u, 0u);
}

TEST_F(DeathPassTest, ADeadUnitsCellsAreFreeForTheNextObject) {
    groundDesign.chassis = groundChassis.get();
    world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
    TestObject* unit = Unit(2, 1, 5, 5, &groundDesign);
    unit->destroyed = 1;
    world.UpdateObjects(16);
    EXPECT_EQ(world.pathGrid->Occupant(5, 5, 0), nullptr);
    EXPECT_EQ(world.pathGrid->CellWord(5, 5) & 0xFFFF0000u, 0u);
    TestObject* next = Unit(3, 2, 5, 5, &groundDesign);
    // No wreck picture for no object, or for a design without a chassis.
    EXPECT_EQ(world.FindTemplateForDesign(nullptr), nullptr);
    groundDesign.chassis = nullptr;
    EXPECT_EQ(world.FindTemplateForDesign(next), nullptr);
    groundDesign.chassis = groundChassis.get();
}

TEST_F(DeathPassTest, WithoutAMakerTheGamesWreckIsLeft) {
    world.makeWreck = nullptr;
    groundDesign.chassis = groundChassis.get();
    TestObject* unit = Unit(2, 1, 5, 5, &groundDesign);
    unit->destroyed = 1;
    world.UpdateObjects(16);
    const std::vector<GameObject*> wrecks = Wrecks();
    ASSERT_EQ(wrecks.size(), 1u);
    EXPECT_EQ(wrecks[0]->GetKind(), 3);
    EXPECT_EQ(wrecks[0]->GetCargo(), 75);
    EXPECT_EQ(wrecks[0]->GetCollision()->kind, 2);
    EXPECT_EQ(world.pathGrid->Occupant(5, 5, 0), wrecks[0]);
}

}  // namespace
