#include <gtest/gtest.h>

#include <cstring>

#include "objects/SimTestSupport.h"
#include "objects/TargetGoal.h"
#include "objects/UnitVariantsSupport.h"

namespace {

class Capture : public ::testing::Test {
protected:
    // The target ids of the capture commands recorded, in order.
    std::vector<SimId> CaptureCommands() {
        std::vector<SimId> ids;
        const uint8_t* p = world.commands.Data();
        size_t at = 0;
        while (at + 1 < world.commands.Size() && p[at] > 0) {
            if (p[at + 1] == 53) {
                // The payload's id: a team byte (255 for none) and a 32-bit serial.
                const uint8_t* id = p + at + p[at] - 5;
                int32_t serial = 0;
                std::memcpy(&serial, id + 1, 4);
                ids.emplace_back(id[0] == 255 ? -1 : id[0], serial);
            }
            at += p[at];
        }
        return ids;
    }

    FakeClock clock{1000};
    SpecialKit kit;
    SpecialWorld world;
    EventLog events;
    const Point at{320, 320};
};

TEST_F(Capture, TakeTheControlOfAnEnemyOnTheOwnerAndOnACopy) {
    world.controllers[1] = &events;
    for (const int local : {1, 0}) {
        world.structures.clear();
        // The copy applies the owner's decision without testing: no code 5 there.
        if (local == 1) world.GrantStructure(1, 5);
        Sim* enemy = kit.Unit(world, 2, 10 + local, at);
        DeployingSim* structure = kit.Structure(world, 0, 2, 20 + local, at + Point(64, 0));
        structure->facing = 12;
        structure->DeployNow();
        for (GameObject* target :
             {static_cast<GameObject*>(enemy), static_cast<GameObject*>(structure)}) {
            CaptureSim* unit = kit.Capturer(world, 1, 100 + world.nextSerial++, at);
            unit->local = local;
            world.commands.Rewind();
            unit->TakeOver(target);
            EXPECT_EQ(target->teamRecord.first, 2) << local;
            EXPECT_EQ(target->teamRecord.second, 1) << local;
            EXPECT_EQ(unit->IsDestroyed(), 1) << local;
            EXPECT_EQ(world.marks[target], 1) << local;
            // The taken object flashes nine times in colour 10 with the capturer's map pictures.
            const auto* flashed = static_cast<const Sim*>(target);
            EXPECT_EQ(flashed->flashSprite, kit.capture->mapPictures.get()) << local;
            EXPECT_EQ(flashed->flashCount, 9) << local;
            EXPECT_EQ(flashed->flashColour, 10) << local;
            EXPECT_EQ(CaptureCommands(),
                      local == 1 ? std::vector<SimId>{target->id} : std::vector<SimId>{});
        }
    }
    EXPECT_EQ(events.Count(13), 4);
}

TEST_F(Capture, FailAndExplodeOnBothMachines) {
    world.GrantStructure(1, 5);
    Sim* captured = kit.Unit(world, 2, 2, at);
    captured->teamRecord.second = 3;
    struct FactoryKind : GameObject {
        using GameObject::GameObject;
        int GetKind() override { return 4; }
    } building(at, 0, Size(64, 64), nullptr, 0, CollisionFilter(4, 0, 0, 0, 0), SimId(2, 3), 100,
               1);
    CarrierSim* carrier = kit.Carrier(world, 2, 4, at);
    Sim* plain = kit.Unit(world, 2, 5, at);
    struct Case {
        GameObject* target;
        bool withCode;
    } cases[] = {
        {&building, true}, {carrier, true}, {captured, true}, {plain, false}, {nullptr, true}};
    for (const Case& c : cases) {
        if (!c.withCode) world.structures.clear();
        CaptureSim* unit = kit.Capturer(world, 1, world.nextSerial++, at);
        world.commands.Rewind();
        const int explosions = world.positionNotes;
        unit->TakeOver(c.target);
        EXPECT_EQ(unit->IsDestroyed(), 1);
        EXPECT_EQ(CaptureCommands(), std::vector<SimId>{SimId()});
        if (c.target) {
            EXPECT_NE(c.target->teamRecord.second, 1);
        }
        // And the copy, told of the failure, goes the same way.
        CaptureSim* copy = kit.Capturer(world, 1, world.nextSerial++, at);
        copy->local = 0;
        copy->TakeOver(nullptr);
        EXPECT_EQ(copy->IsDestroyed(), 1);
        EXPECT_EQ(world.positionNotes, explosions + 2);
    }
}

// With nothing blocking it, the owner takes over the enemy whose ground or low footprint covers
// its cell; a copy, a unit off the map and a destroyed one take nothing.
TEST_F(Capture, AnOwnerOnAnEnemysCellTakesItOverOnlyOnTheMapAndWhole) {
    world.GrantStructure(1, 5);
    struct Row {
        const char* name;
        int layer, local, onMap;
        bool dead, taken;
    };
    const Row rows[] = {{"ground", 0, 1, 1, false, true},
                        {"low", 1, 1, 1, false, true},
                        {"copy", 0, 0, 1, false, false},
                        {"off the map", 0, 1, 0, false, false},
                        {"destroyed", 0, 1, 1, true, false}};
    int serial = 40;
    for (const Row& row : rows) {
        Sim* enemy = kit.Unit(world, 2, ++serial, at + Point(4, 4));
        enemy->collision.layer = row.layer;
        world.paths.AddFootprint(enemy, enemy->GetPosition(), 0);
        CaptureSim* unit = kit.Capturer(world, 1, ++serial, at);
        ASSERT_EQ(unit->FindCaptureTarget(), enemy) << row.name;
        unit->local = row.local;
        unit->onMap = row.onMap;
        if (row.dead) unit->damage.SetValue(unit->damage.Max() + 1);
        unit->Update(16);
        EXPECT_EQ(enemy->teamRecord.second, row.taken ? 1 : 2) << row.name;
        EXPECT_EQ(unit->IsDestroyed(), row.taken || row.dead ? 1 : 0) << row.name;
        world.paths.RemoveFootprint(enemy, enemy->GetPosition(), 0);
    }
}

TEST_F(Capture, FindTheBlockerAndQueueEveryAttack) {
    world.GrantStructure(1, 5);
    Sim* enemy = kit.Unit(world, 2, 2, at + Point(200, 0));
    CaptureSim* unit = kit.Capturer(world, 1, 1, at);
    EXPECT_EQ(unit->FindCaptureTarget(), nullptr);
    unit->blockingSim = enemy->id;
    EXPECT_EQ(unit->FindCaptureTarget(), enemy);
    enemy->teamRecord.second = 3;
    EXPECT_EQ(unit->FindCaptureTarget(), nullptr);
    enemy->teamRecord.second = 2;
    unit->Update(16);
    EXPECT_EQ(enemy->teamRecord.second, 1);

    CaptureSim* unarmed = kit.Capturer(world, 1, 3, at);
    unarmed->OrderAttack(enemy->id, 0, 1, 1, 0, 0);
    unarmed->OrderAttack(SimId(2, 77), 1, 1, 1, 1, 0);
    ASSERT_NE(unarmed->goals.Front(), nullptr);
    EXPECT_EQ(static_cast<TargetGoal*>(unarmed->goals.Front())->targetId, enemy->id);
    EXPECT_EQ(static_cast<TargetGoal*>(unarmed->goals.Next(unarmed->goals.Front()))->targetId,
              SimId(2, 77));
    EXPECT_EQ(unarmed->GetKind(), 6);
}

}  // namespace

namespace {

// A capture unit whose target is no longer hostile (taken over already, or a friend) drops
// its goals; one on an enemy keeps them.
TEST(CaptureGoals, ATargetNoLongerHostileIsDropped) {
    FakeClock clock{1000};
    SpecialKit kit;
    SpecialWorld world;
    const Point at(320, 320);
    for (int targetTeam : {2, 1}) {
        Sim* target = kit.Unit(world, targetTeam, 10 + targetTeam, at + Point(300, 0));
        CaptureSim* unit = kit.Capturer(world, 1, 30 + targetTeam, at);
        unit->local = 0;  // a copy decides nothing itself
        unit->goals.PushBack(std::make_unique<TargetGoal>(unit->id, target->id, Point(), 1, 1));
        clock.Advance(50);
        unit->Update(50);
        EXPECT_EQ(unit->goals.IsEmpty(), targetTeam == 1 ? 1 : 0) << targetTeam;
        unit->ClearGoals();
    }
}

}  // namespace
