// The squad pool manager files its economy requests in order of need and sends its idle pool
// members to work every five seconds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ai/ManagerFixture.h"
#include "ai/ManagerTools.h"
#include "ai/SquadPoolManager.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PartRule.h"
#include "objects/FactoryProduction.h"
#include "objects/Squad.h"
#include "objects/TargetGoal.h"
#include "support/FakeClock.h"
#include "world/Scenario.h"

namespace {

// A wreck with salvage at a point.
GameObject* AddWreck(World& world, const Point& at) {
    auto wreck = std::make_unique<TestObject>(0, world.NewSimId(0).serial, at, 3);
    GameObject* raw = wreck.get();
    world.AddWreck(std::move(wreck));
    return raw;
}

}  // namespace

TEST(SquadPool, FirstMinerRequestComesFirstWithPriorityOneAndOnlyOnce) {
    ManagerWorld w(3, 5);
    SquadPoolManager& pool = *w.controller->squadPool;
    w.factory->cargo = 10000;
    EXPECT_EQ(pool.Think(), 1);
    auto miners = w.Orders(2);
    ASSERT_EQ(miners.size(), 1u);
    EXPECT_EQ(AIController::OrderPriority(*miners[0]), 1);
    EXPECT_EQ(AIController::OrderSquad(*miners[0]), pool.minerPoolId);
    EXPECT_EQ(miners[0]->presets[0], 3);
    EXPECT_EQ(miners[0]->presets[6], 3);
    // Strategy 0x20 alone adds no extras; the kind-2 entry is there.
    EXPECT_NE(miners[0]->FindEntry(2), nullptr);
    pool.Think();
    EXPECT_EQ(w.Orders(2).size(), 1u);
    // Above the ceiling with no miner, none is wanted.
    ManagerWorld rich(3, 5);
    rich.factory->cargo = 10001;
    EXPECT_FALSE(rich.controller->squadPool->MinerWanted());
}

// Past the first miner, another is wanted only below the level's cap, with at most 2000 ore,
// after two designs, and while the ore fell faster per design than the level's trend limit (the
// trend truncated toward zero).
TEST(SquadPool, MoreMinersFollowTheLevelsCapAndTheOreTrend) {
    const int mostMiners[6] = {0, 1, 1, 2, 2, 2};
    const int trendLimit[6] = {0, -500, -400, -300, -200, -100};
    struct Case {
        int minersBelowCap;  // 1: one below the cap, 0: at it
        int ore;
        int designs;          // the first production counter
        int trendBelowLimit;  // the ore change is designs × (limit + this), less extra
        int extra;
        bool wanted;
    };
    const Case cases[] = {
        {1, 2000, 2, -1, 0, true},   // everything met
        {0, 2000, 2, -1, 0, false},  // at the cap
        {1, 2001, 2, -1, 0, false},  // more than the reserve
        {1, 2000, 1, -1, 0, false},  // one design is no trend
        {1, 2000, 2, 0, 0, false},   // the trend at the limit is not below it
        {1, 2000, 2, 0, 1, false},   // a change one short of a whole step down truncates
        {1, 2000, 3, -1, 0, true},
    };
    for (int level = 1; level <= 5; ++level) {
        for (const Case& c : cases) {
            ManagerWorld w(level, 5);
            AIController& controller = *w.controller;
            controller.minerCount = mostMiners[level] - c.minersBelowCap;
            if (controller.minerCount == 0) continue;  // the first miner has its own rule
            w.factory->cargo = c.ore;
            controller.firstProductionCounter = c.designs;
            controller.oreChangeCounter =
                c.designs * (trendLimit[level] + c.trendBelowLimit) + c.extra;
            EXPECT_EQ(controller.squadPool->MinerWanted(), c.wanted)
                << "level " << level << " miners " << controller.minerCount << " ore " << c.ore
                << " change " << controller.oreChangeCounter << " / " << c.designs;
        }
    }
    // At the cap of one, levels 1 and 2 want no second miner however fast the ore falls.
    for (int level : {1, 2}) {
        ManagerWorld w(level, 5);
        w.controller->minerCount = 1;
        w.factory->cargo = 0;
        w.controller->firstProductionCounter = 2;
        w.controller->oreChangeCounter = -100000;
        EXPECT_FALSE(w.controller->squadPool->MinerWanted()) << level;
    }
}

// A scavenger per so many wrecks, by level: the wrecks on the map divided by the level's share
// (truncated) must exceed the scavengers owned.
TEST(SquadPool, ScavengersFollowTheLevelsWrecksPerScavenger) {
    const int wrecksPerScavenger[6] = {0, 12, 10, 8, 6, 4};
    struct Case {
        int scavengers;
        int wrecksShort;  // wrecks = (scavengers + 1) × share - this
        int ore;
        bool wanted;
    };
    // Past the first scavenger, another only while the factory holds no more than its reserve.
    for (int level = 1; level <= 5; ++level) {
        for (const Case& c :
             {Case{0, 0, 1000, true}, Case{0, 1, 1000, false}, Case{1, 0, 1000, true},
              Case{1, 1, 1000, false}, Case{1, 0, 2000, true}, Case{1, 0, 2001, false},
              Case{0, 0, 5000, true}}) {
            ManagerWorld w(level, 5);
            AIController& controller = *w.controller;
            controller.minerCount = 1;
            controller.scavengerCount = c.scavengers;
            w.factory->cargo = c.ore;
            const int wrecks = (c.scavengers + 1) * wrecksPerScavenger[level] - c.wrecksShort;
            for (int i = 0; i < wrecks; ++i)
                AddWreck(w.world, Point(700 + 32 * (i % 8), 800 + 32 * (i / 8)));
            EXPECT_EQ(controller.squadPool->ScavengerWanted(), c.wanted)
                << "level " << level << " scavengers " << c.scavengers << " wrecks " << wrecks
                << " ore " << c.ore;
            if (!c.wanted) continue;
            // Not while the first production counter stands at zero; from one on.
            controller.firstProductionCounter = 0;
            EXPECT_FALSE(controller.squadPool->ScavengerWanted()) << level;
            controller.firstProductionCounter = 1;
            EXPECT_TRUE(controller.squadPool->ScavengerWanted()) << level;
        }
    }
}

TEST(SquadPool, RepairersNeedTechLevelThreeAndScavengersTechLevelTwo) {
    struct Case {
        int tech;
        int repairers;
        int damaged;
        int purpose;  // of the one request filed, 0 none
    };
    // Level 1: a repairer for each 4 damaged units, at most one; a scavenger per 12 wrecks.
    for (const Case& c : {Case{1, 0, 8, 0}, Case{2, 0, 8, 3}, Case{3, 0, 8, 4}, Case{3, 1, 8, 3},
                          Case{3, 0, 3, 3}}) {
        ManagerWorld w(1, c.tech);
        AIController& controller = *w.controller;
        // A miner, no structure wanted, twelve wrecks near home and damaged units to mend.
        controller.minerCount = 1;
        controller.repairerCount = c.repairers;
        controller.typeQueue.DeleteAll();
        for (int i = 0; i < 12; ++i)
            AddWreck(w.world, Point(700 + 64 * (i % 6), 800 + 64 * (i / 6)));
        for (int i = 0; i < c.damaged; ++i)
            w.AddOwned(Point(300, 300 + 8 * i))->SetHealth(100, 50);
        EXPECT_EQ(controller.squadPool->Think(), c.purpose ? 1 : 0) << c.tech;
        for (int purpose : {3, 4})
            EXPECT_EQ(w.Orders(purpose).size(), purpose == c.purpose ? 1u : 0u) << c.tech;
    }
}

TEST(SquadPool, UnitsWhoseDesignSaysBelowSeventyFiveWantARepairer) {
    // Four such units make one repairer's clients at level 1; otherwise the wrecks win. More
    // than a fifth of a unit's health gone makes it a client too; repairers never are.
    struct Case {
        int parameter;
        int damage;
        char role;
        int purpose;
    };
    for (const Case& c : {Case{74, 0, 'a', 4}, Case{75, 0, 'a', 3}, Case{75, 20, 'a', 3},
                          Case{75, 21, 'a', 4}, Case{74, 21, 'k', 3}}) {
        ManagerWorld w(1, 3);
        AIController& controller = *w.controller;
        controller.minerCount = 1;
        controller.typeQueue.DeleteAll();
        for (int i = 0; i < 12; ++i)
            AddWreck(w.world, Point(700 + 64 * (i % 6), 800 + 64 * (i / 6)));
        for (int i = 0; i < 4; ++i) {
            PoolUnit* unit = w.AddOwned(Point(300, 300 + 8 * i), c.role);
            manager_tools::SetParameter(*unit, 1, c.parameter);
            unit->SetHealth(100, c.damage);
        }
        EXPECT_EQ(controller.squadPool->Think(), 1) << c.parameter << " " << c.damage << c.role;
        EXPECT_EQ(w.Orders(c.purpose).size(), 1u) << c.parameter << " " << c.damage << c.role;
    }
}

TEST(SquadPool, ANewStructureIsSentToTheRallyPointOnlyOnceOneIsSet) {
    ManagerWorld w;
    AIController& c = *w.controller;
    AIUnit* structure = w.AddStructure(ManagerWorld::kTeam, Point(700, 700), 1);
    SimId id = structure->id;
    c.rallyPoint = Point();
    c.squadPool->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_TRUE(structure->given.empty());
    c.rallyPoint = Point(640, 900);
    c.squadPool->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    ASSERT_EQ(structure->given.size(), 1u);
    EXPECT_EQ(structure->given[0].code, 1);
    EXPECT_EQ(structure->given[0].flags, 0x15);
    EXPECT_EQ(structure->given[0].p, c.rallyPoint);
}

TEST(SquadPool, StructureRequestsFollowTheTypeQueueAfterAUnitWasBuilt) {
    ManagerWorld w(3, 5);
    AIController& c = *w.controller;
    SquadPoolManager& pool = *c.squadPool;
    c.typeQueue.DeleteAll();
    for (int type : {2, 3, 1}) {
        auto* node = new ListNode;
        node->key = type;
        c.typeQueue.PushBack(node);
    }
    c.typeCounts[2] = 1;
    c.secondProductionCounter = 0;
    DesignRules request;
    EXPECT_EQ(pool.PlanStructureOrder(request), 0);
    c.secondProductionCounter = 1;
    EXPECT_EQ(pool.PlanStructureOrder(request), 1);
    // The owned type left the queue; type 3 is chosen and stays.
    EXPECT_EQ(c.typeQueue.First()->key, 3);
    EXPECT_EQ(c.typeQueue.Count(), 2);
    EXPECT_EQ(AIController::OrderPriority(request), 1);
    EXPECT_EQ(AIController::OrderPurpose(request), 5);
    EXPECT_EQ(request.FindEntry(3), nullptr);
    // Type 1 asks for kind-3 items.
    c.typeCounts[3] = 1;
    DesignRules second;
    EXPECT_EQ(pool.PlanStructureOrder(second), 1);
    EXPECT_EQ(c.typeQueue.Count(), 1);
    ASSERT_NE(second.FindEntry(3), nullptr);
    EXPECT_EQ(second.FindEntry(3)->flags, 1u);
    EXPECT_EQ(AIController::OrderPriority(second), 4);
}

TEST(SquadPool, NewMinersTakeTheirObjectiveAndTheFirstWhenThereAreTooFew) {
    ManagerWorld w;
    AIController& c = *w.controller;
    SimId rocks[3];
    for (int i = 0; i < 3; ++i) {
        auto rock = std::make_unique<TestObject>(0, 800 + i, Point(900 + 100 * i, 640), 5);
        rocks[i] = rock->id;
        std::unique_ptr<GameObject> owned = std::move(rock);
        ASSERT_EQ(w.world.AddDestructible(owned), 1);
    }
    PoolUnit* miner = w.AddOwned(Point(640, 700), 'f');
    RuleManoeuvre* mining = miner->Give(6);
    SimId id = miner->id;
    struct Case {
        int objectives;
        int miners;
        int expected;
    };
    for (const Case& k : {Case{3, 3, 2}, Case{2, 3, 0}, Case{3, 1, 0}}) {
        c.objectives.DeleteAll();
        for (int i = 0; i < k.objectives; ++i)
            c.AddObjectiveId(rocks[i], i);
        c.minerCount = k.miners;
        c.squadPool->OnEvent(AIController::kUnitBuilt, nullptr, &id);
        EXPECT_EQ(mining->miningTarget, rocks[k.expected]) << k.objectives << " " << k.miners;
    }
}

TEST(SquadPool, ScavengersStrikeBackOnlyForTheEconomy) {
    ManagerWorld w;
    SquadPoolManager& pool = *w.controller->squadPool;
    PoolUnit* scavenger = w.AddOwned(Point(600, 600), 'h');
    pool.Pool(SquadPoolManager::kScavengerKind)->AddMember(*scavenger, 1);
    PoolUnit* attacker = w.AddPoolUnit(1, Point(900, 600), w.kit.Role('a'));
    SimId by = attacker->id;
    PoolUnit* fighter = w.AddOwned(Point(640, 600));
    pool.OnEvent(7, fighter, &by);
    EXPECT_TRUE(scavenger->given.empty());
    PoolUnit* miner = w.AddOwned(Point(640, 600), 'f');
    pool.OnEvent(7, miner, &by);
    ASSERT_EQ(scavenger->given.size(), 1u);
    EXPECT_EQ(scavenger->given[0].code, 2);
    EXPECT_EQ(scavenger->given[0].flags, 0xf);
    EXPECT_EQ(scavenger->given[0].target, by);
}

class PoolDirection : public ::testing::Test {
protected:
    PoolDirection() { c.rallyPoint = Point(640, 900); }
    PoolUnit* Join(int32_t kind, PoolUnit* unit) {
        unit->SetOwner(&c);
        pool.Pool(kind)->AddMember(*unit, 1);
        return unit;
    }
    int Direct() {
        clock.Advance(SquadPoolManager::kDirectionPeriodMs);
        return pool.DirectPools();
    }

    FakeClock clock{1000};
    ManagerWorld w;
    AIController& c = *w.controller;
    SquadPoolManager& pool = *c.squadPool;
};

TEST_F(PoolDirection, WaitsForItsTimerThenSendsIdleWorkersToOneRockAndOneSafeWreck) {
    PoolUnit* miners[2] = {Join(2, w.AddOwned(Point(600, 600), 'f')),
                           Join(2, w.AddOwned(Point(620, 600), 'f'))};
    PoolUnit* scavenger = Join(3, w.AddOwned(Point(600, 640), 'h'));
    auto rock = std::make_unique<TestObject>(0, 700, Point(900, 640), 5);
    rock->cargo = 500;
    const SimId rockId = rock->id;
    std::unique_ptr<GameObject> owned = std::move(rock);
    ASSERT_EQ(w.world.AddDestructible(owned), 1);
    // The only wreck lies nearer an enemy factory: the scavenger stays.
    GameObject* wreck = AddWreck(w.world, Point(1100, 640));
    FakeFactory* enemy = w.AddFactory(1, Point(1200, 640));
    // A nearer rock across water (column 15) is only for a miner whose drive crosses it.
    auto island = std::make_unique<TestObject>(0, 701, Point(400, 640), 5);
    island->cargo = 500;
    const SimId islandId = island->id;
    owned = std::move(island);
    ASSERT_EQ(w.world.AddDestructible(owned), 1);
    for (int row = 0; row < w.world.pathGrid->Rows(); ++row)
        w.world.pathGrid->SetCellBits(row, 15, kCellWater);
    miners[0]->collision.noWater = 1;
    EXPECT_EQ(pool.DirectPools(), 0);
    EXPECT_TRUE(miners[0]->given.empty());
    EXPECT_EQ(Direct(), 1);
    for (PoolUnit* m : miners) {
        ASSERT_EQ(m->given.size(), 1u);
        EXPECT_EQ(m->given[0].code, 2);
        EXPECT_EQ(m->given[0].flags, 5);
        EXPECT_EQ(m->given[0].target, m == miners[0] ? rockId : islandId);
    }
    EXPECT_TRUE(scavenger->given.empty());
    // Once the enemy factory stands farther off, the wreck is safe. A nearer wreck across the
    // water is only for a scavenger whose drive crosses it: each takes the nearest it reaches.
    enemy->SetPosition(Point(2000, 2000));
    miners[0]->AddGoal(Point(900, 640));
    miners[1]->AddGoal(Point(900, 640));
    GameObject* islandWreck = AddWreck(w.world, Point(400, 600));
    scavenger->collision.noWater = 1;
    PoolUnit* hover = Join(3, w.AddOwned(Point(600, 680), 'h'));
    EXPECT_EQ(Direct(), 1);
    ASSERT_EQ(scavenger->given.size(), 1u);
    EXPECT_EQ(scavenger->given[0].target, wreck->id);
    ASSERT_EQ(hover->given.size(), 1u);
    EXPECT_EQ(hover->given[0].target, islandWreck->id);
}

TEST_F(PoolDirection, DamagedStructuresAreMendedOrWalkBackByTheTwentyOnePercentRule) {
    struct Case {
        int damage;
        bool attacked;
        Point at;
        bool repaired;
        bool walksBack;
        int mission = 0;
        bool acrossWater = false;  // water parts the repairer's drive from the structure
    };
    const Point far(640, 240);
    const Point near(640, 850);
    // The attacked structure comes last: from then on the team counts as under attack. A
    // structure walks back only from more than 480 away, and only in a free game.
    for (const Case& k :
         {Case{30, false, far, true, false}, Case{10, false, far, false, true},
          Case{20, false, far, false, true}, Case{21, false, far, true, false},
          Case{10, false, near, false, false}, Case{10, false, Point(640, 420), false, false},
          Case{10, false, Point(640, 419), false, true}, Case{10, false, far, false, false, 3},
          Case{10, true, far, false, false}, Case{30, false, far, false, false, 0, true}}) {
        if (k.mission) {
            w.world.scenario = std::make_unique<Scenario>();
            w.world.scenario->missionNumber = k.mission;
        }
        PoolUnit* structure = Join(5, w.AddPoolUnit(2, k.at, w.kit.Structure(1), 7));
        structure->SetHealth(100, k.damage);
        if (k.attacked) structure->lastAttacker = w.factory;
        PoolUnit* repairer = Join(4, w.AddOwned(Point(100, 100), 'k'));
        repairer->collision.noWater = 1;
        for (int row = 0; row < w.world.pathGrid->Rows(); ++row) {
            if (k.acrossWater)
                w.world.pathGrid->SetCellBits(row, 15, kCellWater);
            else
                w.world.pathGrid->ClearCellBits(row, 15, kCellWater);
        }
        Direct();
        EXPECT_EQ(!repairer->given.empty() && repairer->given[0].code == 7, k.repaired)
            << k.damage << " " << k.at.y;
        if (k.repaired) {
            EXPECT_EQ(repairer->given[0].target, structure->id);
            EXPECT_EQ(repairer->returnPoint, Point(100, 100));
        }
        EXPECT_EQ(structure->undeploys, k.walksBack ? 1 : 0) << k.damage << " " << k.at.y;
        if (k.walksBack) {
            EXPECT_EQ(structure->given.back().p, c.rallyPoint);
        }
        pool.Pool(5)->RemoveMember(*structure);
        pool.Pool(4)->RemoveMember(*repairer);
        w.world.scenario.reset();
    }
}

TEST_F(PoolDirection, StructureUnitsDeployOnBuildableGroundOrWalkToTheNearestPlace) {
    // Water on the 3 x 3 cells round cell (12, 12), whose centre is (400, 400).
    std::vector<std::string> overlay(11);
    for (int i = 0; i < 3; ++i)
        overlay.push_back(std::string(11, 'c') + "www");
    LoadLand(w.world, w.files, OpenLand(40, 40, overlay));
    PoolUnit* ashore = Join(5, w.AddPoolUnit(2, Point(200, 200), w.kit.Structure(2)));
    ashore->SetFootprint(Rect(Point(184, 184), Size(32, 32)));
    PoolUnit* afloat = Join(5, w.AddPoolUnit(2, Point(400, 400), w.kit.Structure(2)));
    afloat->SetFootprint(Rect(Point(384, 384), Size(32, 32)));
    // A unit on its way with an open road is left alone.
    PoolUnit* busy = Join(5, w.AddPoolUnit(2, Point(400, 400), w.kit.Structure(2)));
    busy->AddGoal(Point(900, 900));
    c.rallyPoint = afloat->GetPosition();
    EXPECT_EQ(Direct(), 1);
    EXPECT_EQ(ashore->deploys, 1);
    EXPECT_TRUE(ashore->given.empty());
    // Ring 2, columns first: cell (10, 10) is the first dry place; the rally point follows.
    EXPECT_EQ(afloat->deploys, 0);
    ASSERT_EQ(afloat->given.size(), 1u);
    EXPECT_EQ(afloat->given[0].code, 1);
    EXPECT_EQ(afloat->given[0].flags, 0x15);
    EXPECT_EQ(afloat->given[0].p, Point(336, 336));
    EXPECT_EQ(c.rallyPoint, Point(336, 336));
    EXPECT_EQ(busy->deploys + static_cast<int>(busy->given.size()), 0);
}

// The search walks only the ring at each distance, columns first, each column top to bottom;
// the two side columns whole, the columns between them at their top and bottom row. Water
// covers rows and columns 9..15 round the unit's cell (12, 12) save the dry cells of a row.
TEST_F(PoolDirection, AStructureUnitWalksToTheFirstDryCellOfTheNearestRingColumnsFirst) {
    struct Dry {
        int row, column;
    };
    struct Case {
        std::vector<Dry> dry;
        Dry first;
    };
    const Case cases[] = {
        // Ring 3 has dry ground half way down its left column, on its bottom row and on its
        // right column: the left column wins.
        {{{12, 9}, {15, 10}, {9, 15}}, {12, 9}},
        // Only the middle of the right column: that column is walked whole too.
        {{{12, 15}}, {12, 15}},
        // A bottom-row cell of an inner column comes before the right column.
        {{{15, 10}, {9, 15}}, {15, 10}},
        // Within the right column, top to bottom.
        {{{15, 15}, {9, 15}}, {9, 15}},
        // The bottom-right corner alone.
        {{{15, 15}}, {15, 15}},
        // A nearer ring wins over an earlier column of a farther one; also its right column.
        {{{12, 9}, {13, 14}}, {13, 14}},
        {{{12, 9}, {14, 12}}, {14, 12}},
    };
    for (const Case& k : cases) {
        std::vector<std::string> overlay(9);
        for (int row = 9; row <= 15; ++row) {
            std::string water(7, 'w');
            for (const Dry& d : k.dry)
                if (d.row == row) water[d.column - 9] = 'c';
            overlay.push_back(std::string(9, 'c') + water);
        }
        LoadLand(w.world, w.files, OpenLand(40, 40, overlay));
        PoolUnit* afloat = Join(5, w.AddPoolUnit(2, Point(400, 400), w.kit.Structure(2)));
        afloat->SetFootprint(Rect(Point(384, 384), Size(32, 32)));
        EXPECT_EQ(Direct(), 1);
        EXPECT_EQ(afloat->deploys, 0);
        ASSERT_EQ(afloat->given.size(), 1u);
        // Cells are 32 pixels square: the centre of (row, column).
        EXPECT_EQ(afloat->given[0].p, Point(32 * k.first.column + 16, 32 * k.first.row + 16))
            << k.first.row << " " << k.first.column;
        pool.Pool(5)->RemoveMember(*afloat);
    }
}

// A structure unit never deploys on its own factory's way out: the square its product rolls
// out to (factory + (-128, 128), 128 pixels wide) and the straight line from the door to it.
// On either it walks to the nearest place clear of both; beside them it deploys where it stands.
TEST_F(PoolDirection, AStructureUnitDeploysOffItsFactorysWayOut) {
    LoadLand(w.world, w.files, OpenLand(40, 40));
    const Point door = w.factory->GetPosition();
    const Point rollOut = door + Point(-128, 128);
    struct Case {
        const char* name;
        Point at;
        bool deploysThere;
    };
    const Case cases[] = {
        {"on the roll-out point", rollOut, false},
        {"in the square's corner", rollOut + Point(56, 56), false},
        {"half way out of the door", door + Point(-64, 64), false},
        {"just inside the door", door + Point(-16, 16), false},
        {"beside the square", rollOut + Point(-112, 0), true},
        {"below the square", rollOut + Point(0, 112), true},
        {"beside the door", door + Point(96, 0), true},
    };
    for (const Case& k : cases) {
        PoolUnit* unit = Join(5, w.AddPoolUnit(2, k.at, w.kit.Structure(2)));
        unit->SetFootprint(Rect(k.at - Point(16, 16), Size(32, 32)));
        EXPECT_EQ(Direct(), 1) << k.name;
        EXPECT_EQ(unit->deploys, k.deploysThere ? 1 : 0) << k.name;
        ASSERT_EQ(unit->given.size(), k.deploysThere ? 0u : 1u) << k.name;
        if (!k.deploysThere) {
            // Sent to a cell whose footprint keeps clear of the square and of the line.
            const Point to = unit->given[0].p;
            EXPECT_TRUE(std::abs(to.x - rollOut.x) >= 64 + 16 ||
                        std::abs(to.y - rollOut.y) >= 64 + 16)
                << k.name << " " << to.x << "," << to.y;
            const double offLine = std::abs((to.x - door.x) + (to.y - door.y)) / std::sqrt(2.0);
            EXPECT_GT(offLine, 16.0) << k.name << " " << to.x << "," << to.y;
            // And no farther than a ring or two of cells beyond them.
            EXPECT_LT(std::hypot(to.x - k.at.x, to.y - k.at.y), 160.0) << k.name;
        }
        pool.Pool(5)->RemoveMember(*unit);
    }
}

namespace {

// A factory that may move: it answers the unfolding and placement questions a test sets.
class MovingFactory : public AIUnit, public FactoryProduction {
public:
    MovingFactory(const SimId& id, const Point& at) : AIUnit(id, at, nullptr, 4) {}
    GameObject* AsObject() override { return this; }
    VehicleDesign* CurrentJob() override { return job; }
    int32_t RemainingTime() override { return 0; }
    int QueuedJobCount() override { return 0; }
    VehicleDesign* QueuedJob(int) override { return nullptr; }
    int QueueJob(std::unique_ptr<VehicleDesign>, int) override { return 1; }
    int CancelJob(VehicleDesign*) override { return 0; }
    int HasProduct() override { return 0; }
    int ProductionState() override { return 0; }
    int IsProductionPaused() override { return 0; }
    void SetProductionPaused(int) override {}
    int32_t GetCredit() override { return 0; }
    int32_t GetStore() override { return 0; }
    void AddResources(int32_t, int32_t) override {}
    int UnfoldState() override { return unfold; }
    void StepUnfold() override {}
    Point UnfoldedCentre() override { return UnfoldedCentreAt(position); }
    Point UnfoldedCentreAt(const Point& p) override { return p + exitOffset; }
    Size UnfoldedSize() override { return Size(64, 64); }
    int CanUnfoldAt(const Point&) override { return unfoldable; }
    int IsBuildAreaFreeAt(const Point&) override { return 1; }
    int IsBuildAreaFree() override { return 1; }
    int HasProductReady() override { return 0; }
    GameObject* MinedDeposit() override { return linked; }
    int FindUnloadDock() override { return -1; }
    Point DockPoint(int) override { return Point(); }
    int32_t ReceiveDelivery(int32_t, int32_t) override { return 0; }
    int DocksInsideMap(const Point&) override { return 1; }

    int unfold = 4;
    int unfoldable = 1;
    Point exitOffset{32, -32};
    GameObject* linked = nullptr;
    VehicleDesign* job = nullptr;
};

class FactoryMove : public ::testing::Test {
protected:
    FactoryMove() {
        auto made = std::make_unique<MovingFactory>(w.world.NewSimId(2), Point(320, 320));
        factory = made.get();
        factory->fire = 10;
        w.world.AddBuilding(std::move(made));
        auto rock = std::make_unique<TestObject>(0, 950, Point(800, 800), 9);
        rock->stored = 5000;
        deposit = rock.get();
        std::unique_ptr<GameObject> owned = std::move(rock);
        EXPECT_EQ(w.world.AddOreDeposit(owned), 1);
    }

    ManagerWorld w;
    AIController& c = *w.controller;
    SquadPoolManager& pool = *c.squadPool;
    MovingFactory* factory;
    GameObject* deposit = nullptr;
};

}  // namespace

TEST_F(FactoryMove, FirstDecisionMovesBesideTheDepositAndKeepsAPresetRallyPoint) {
    ASSERT_EQ(c.Factory(), factory);
    c.rallyPoint = Point(100, 100);
    Point to;
    // The only cell whose exit point falls on the deposit's bounds (784 .. 815).
    EXPECT_EQ(pool.PlanFactoryMove(to), 1);
    EXPECT_EQ(to, Point(752, 816));
    EXPECT_EQ(c.rallyPoint, Point(100, 100));
    EXPECT_EQ(pool.firstPlacement, 0);
    // Later decisions wait while the factory unfolds.
    factory->unfold = 2;
    EXPECT_EQ(pool.PlanFactoryMove(to), 0);
    // Broke, without a miner and with a wreck about: the factory goes to the wreck.
    factory->unfold = 0;
    c.minerCost = 500;
    GameObject* wreck = AddWreck(w.world, Point(500, 200));
    EXPECT_EQ(pool.PlanFactoryMove(to), 1);
    EXPECT_EQ(to, wreck->GetPosition());
    // Not broke, and nowhere by the deposit can the factory unfold: it stays.
    c.minerCost = 0;
    factory->unfoldable = 0;
    EXPECT_EQ(pool.PlanFactoryMove(to), 0);
}

TEST_F(FactoryMove, ANewRallyPointLiesOnTheFarEdgeOfAnOpenNeighbourCell) {
    PoolUnit* structure = w.AddPoolUnit(2, Point(300, 300), w.kit.Structure(4), 7);
    structure->SetOwner(&c);
    pool.Pool(SquadPoolManager::kStructureKind)->AddMember(*structure, 1);
    Point to;
    EXPECT_EQ(pool.PlanFactoryMove(to), 1);
    // The site's grid cell is (3, 2); of its open neighbours (no enemy factory: equal keys)
    // the first, (2, 1), gives its top-left corner: the map cell (16, 8).
    EXPECT_EQ(c.rallyPoint, Point(272, 528));
    EXPECT_EQ(structure->undeploys, 1);
    EXPECT_EQ(structure->given.back().p, Point(272, 528));
}

// The site search covers the cells two beyond the deposit's on every side, edges included: a
// site is taken only where the factory's exit falls on the deposit (784 .. 815 both ways).
TEST_F(FactoryMove, TheSiteSearchReachesTwoCellsBeyondTheDepositOnEverySide) {
    struct Case {
        Point exitOffset;
        int found;
        Point site;
    };
    const Case cases[] = {
        {Point(64, 64), 1, Point(720, 720)},    // the top-left corner of the search
        {Point(-96, -96), 1, Point(880, 880)},  // the bottom-right corner
        {Point(64, -96), 1, Point(720, 880)},
        {Point(96, 0), 0, Point()},  // a column short of the search
        {Point(-128, 0), 0, Point()},
        {Point(0, 96), 0, Point()},
        {Point(0, -128), 0, Point()},
    };
    for (const Case& c : cases) {
        factory->exitOffset = c.exitOffset;
        Point out(1, 1);
        EXPECT_EQ(pool.FindFactorySite(*factory, *deposit, out), c.found) << c.exitOffset.x;
        if (c.found) {
            EXPECT_EQ(out, c.site) << c.exitOffset.x << " " << c.exitOffset.y;
        }
    }
}

// Pools take the units of their own purposes only.
TEST(SquadPool, ClaimsUnitsOnlyForItsFourPools) {
    ManagerWorld w;
    SquadPoolManager& pool = *w.controller->squadPool;
    struct Case {
        int32_t purpose;
        int32_t squadId;  // 0: not claimed
    };
    const Case cases[] = {{0, 0},
                          {1, 0},
                          {2, pool.minerPoolId},
                          {3, pool.scavengerPoolId},
                          {4, pool.repairPoolId},
                          {5, pool.structurePoolId},
                          {6, 0},
                          {7, 0}};
    for (const Case& c : cases) {
        PoolUnit* unit = w.AddOwned(Point(500, 500));
        unit->SetPurpose(c.purpose);
        int32_t squadId = -1;
        EXPECT_EQ(pool.ClaimUnit(*unit, squadId), c.squadId != 0 ? 1 : 0) << c.purpose;
        EXPECT_EQ(squadId, c.squadId != 0 ? c.squadId : -1) << c.purpose;
        // Each pool is stamped with its own purpose.
        if (c.squadId) {
            EXPECT_EQ(pool.FindChild(c.squadId)->purpose, c.purpose);
        }
    }
}

namespace {

struct PoolRequestCase {
    const char* name;
    int level;
    int tech;
    int32_t purpose;
    int32_t priority;
    uint32_t chassisFlag;  // 0: no chassis entry
    int32_t presets[5];    // parameters 0, 1, 2, 3, 6 (-1 unset)
    std::function<void(ManagerWorld&)> setUp;
};

}  // namespace

// Each pool's request: its purpose, priority, chassis flag and the presets of its row.
TEST(SquadPool, EachPoolsRequestCarriesItsRow) {
    auto miners = [](int count) {
        return [count](ManagerWorld& w) {
            w.controller->minerCount = count;
            w.factory->cargo = count ? 2000 : 10000;
            w.controller->firstProductionCounter = 2;
            w.controller->oreChangeCounter = -100000;
        };
    };
    auto wrecks = [](int scavengers, int count) {
        return [scavengers, count](ManagerWorld& w) {
            w.controller->minerCount = 1;
            w.controller->scavengerCount = scavengers;
            w.factory->cargo = 1000;
            for (int i = 0; i < count; ++i)
                AddWreck(w.world, Point(700 + 32 * (i % 8), 800 + 32 * (i / 8)));
        };
    };
    const PoolRequestCase cases[] = {
        {"first miner", 3, 5, 2, 1, 0x80, {3, 40, 0, 20, 3}, miners(0)},
        {"second miner", 3, 5, 2, 4, 0x80, {3, 40, 0, 20, 3}, miners(1)},
        {"repairer",
         1,
         3,
         4,
         3,
         0x40,
         {2, 99, 0, 99, -1},
         [](ManagerWorld& w) {
             w.controller->minerCount = 1;
             for (int i = 0; i < 4; ++i)
                 w.AddOwned(Point(300, 300 + 8 * i))->SetHealth(100, 21);
         }},
        {"first scavenger", 1, 2, 3, 3, 0x20, {3, 50, 0, 20, 3}, wrecks(0, 12)},
        {"second scavenger", 1, 2, 3, 5, 0x20, {3, 50, 0, 20, 3}, wrecks(1, 24)},
        {"structure",
         1,
         1,
         5,
         4,
         0x800,
         {2, 50, 0, 50, -1},
         [](ManagerWorld& w) {
             w.controller->minerCount = 1;
             auto* node = new ListNode;
             node->key = 2;
             w.controller->typeQueue.PushBack(node);
             w.controller->secondProductionCounter = 1;
         }},
    };
    for (const PoolRequestCase& c : cases) {
        ManagerWorld w(c.level, c.tech);
        w.controller->strategyBits = 0;
        w.controller->typeQueue.DeleteAll();
        c.setUp(w);
        SquadPoolManager& pool = *w.controller->squadPool;
        ASSERT_EQ(pool.Think(), 1) << c.name;
        ASSERT_EQ(w.controller->buildOrders.Count(), 1) << c.name;
        const auto orders = w.Orders(c.purpose);
        ASSERT_EQ(orders.size(), 1u) << c.name;
        const DesignRules& order = *orders[0];
        EXPECT_EQ(AIController::OrderPriority(order), c.priority) << c.name;
        EXPECT_EQ(AIController::OrderSquad(order), pool.Pool(c.purpose)->Id()) << c.name;
        const PartRule* chassis = order.FindEntry(0, 1);
        ASSERT_NE(chassis, nullptr) << c.name;
        EXPECT_EQ(chassis->flags & ~1u, c.chassisFlag) << c.name;
        const int parameters[5] = {0, 1, 2, 3, 6};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(order.presets[static_cast<size_t>(parameters[i])], c.presets[i])
                << c.name << " parameter " << parameters[i];
    }
}

// Miners and scavengers carry the strategy's extras: 0x02 kind-3 items and a type-1 structure,
// otherwise 0x01 kind-4 items and a type-2 structure.
TEST(SquadPool, MinerRequestsCarryTheStrategysExtras) {
    struct Case {
        int32_t strategy;
        int category;  // 0: none
        int32_t type;
    };
    for (const Case& c :
         {Case{0x00, 0, -1}, Case{0x02, 3, 1}, Case{0x01, 4, 2}, Case{0x03, 3, 1}}) {
        ManagerWorld w(3, 5);
        w.controller->strategyBits = c.strategy;
        w.controller->typeQueue.DeleteAll();
        w.factory->cargo = 10000;
        ASSERT_EQ(w.controller->squadPool->Think(), 1);
        const auto orders = w.Orders(2);
        ASSERT_EQ(orders.size(), 1u);
        for (int category : {3, 4})
            EXPECT_EQ(orders[0]->FindEntry(category, 1) != nullptr, category == c.category)
                << c.strategy << " " << category;
        std::vector<int32_t> queued;
        for (ListNode* n = w.controller->typeQueue.First(); n; n = w.controller->typeQueue.Next(n))
            queued.push_back(n->key);
        EXPECT_EQ(queued, c.type < 0 ? std::vector<int32_t>{} : std::vector<int32_t>{c.type})
            << c.strategy;
    }
}

// Only a scavenger without a goal may serve a higher-priority request; the other pools' units
// never, and a unit of no pool as the scavenger.
TEST(SquadPool, OnlyAnIdleScavengerIsLentToAHigherPriority) {
    ManagerWorld w;
    SquadPoolManager& pool = *w.controller->squadPool;
    struct Case {
        int32_t kind;  // 0: no pool
        bool goal;
        int higher;
        int lent;
    };
    const Case cases[] = {
        {3, false, 1, 1}, {3, true, 1, 0},  {3, false, 0, 0}, {0, false, 1, 1},
        {2, false, 1, 0}, {4, false, 1, 0}, {5, false, 1, 0},
    };
    for (const Case& c : cases) {
        PoolUnit* unit = w.AddOwned(Point(500, 500));
        if (c.kind) pool.Pool(c.kind)->AddMember(*unit, 1);
        if (c.goal) unit->AddGoal(Point(900, 900));
        EXPECT_EQ(pool.IsUnitAvailable(*unit, c.higher), c.lent)
            << c.kind << " " << c.goal << " " << c.higher;
    }
}

// The rally point follows the structure pool's units: to where one deployed (event 4), and on
// to where one walks when it was told to go to the rally point (event 6); units of other pools
// move nothing.
TEST(SquadPool, TheRallyPointFollowsTheStructurePoolsUnits) {
    ManagerWorld w;
    AIController& c = *w.controller;
    SquadPoolManager& pool = *c.squadPool;
    PoolUnit* structure = w.AddPoolUnit(2, Point(300, 400), w.kit.Structure(2), 7);
    structure->SetOwner(&c);
    pool.Pool(5)->AddMember(*structure, 1);
    PoolUnit* miner = w.AddOwned(Point(500, 600), 'f');
    pool.Pool(2)->AddMember(*miner, 1);
    c.rallyPoint = Point(100, 100);
    pool.OnEvent(4, nullptr, miner);
    EXPECT_EQ(c.rallyPoint, Point(100, 100));
    pool.OnEvent(4, nullptr, structure);
    EXPECT_EQ(c.rallyPoint, Point(300, 400));
    structure->AddGoal(Point(700, 800));
    miner->AddGoal(Point(900, 900));
    Point elsewhere(1, 1);
    pool.OnEvent(6, structure, &elsewhere);
    EXPECT_EQ(c.rallyPoint, Point(300, 400));
    Point rally = c.rallyPoint;
    pool.OnEvent(6, miner, &rally);
    EXPECT_EQ(c.rallyPoint, Point(300, 400));
    pool.OnEvent(6, structure, &rally);
    EXPECT_EQ(c.rallyPoint, Point(700, 800));
}

// An idle factory gives its miners fresh objectives, the newest member the first.
TEST(SquadPool, AnIdleFactoryGivesItsMinersTheirObjectivesInOrder) {
    ManagerWorld w;
    AIController& c = *w.controller;
    SquadPoolManager& pool = *c.squadPool;
    for (int i = 0; i < 3; ++i) {
        auto rock = std::make_unique<TestObject>(0, 800 + i, Point(700 + 60 * i, 640), 5);
        std::unique_ptr<GameObject> owned = std::move(rock);
        ASSERT_EQ(w.world.AddDestructible(owned), 1);
    }
    RuleManoeuvre* mining[2];
    for (int i = 0; i < 2; ++i) {
        PoolUnit* miner = w.AddOwned(Point(640, 700), 'f');
        mining[i] = miner->Give(6);
        pool.Pool(2)->AddMember(*miner, 1);
    }
    c.objectives.DeleteAll();
    pool.OnEvent(AIController::kFactoryIdle, w.factory, nullptr);
    ASSERT_FALSE(c.ObjectiveId(1).IsNull());
    EXPECT_NE(c.ObjectiveId(0), c.ObjectiveId(1));
    EXPECT_EQ(mining[1]->miningTarget, c.ObjectiveId(0));
    EXPECT_EQ(mining[0]->miningTarget, c.ObjectiveId(1));
}

// Idle repairers away from the factory's neighbourhood take posts round it: one per open
// neighbour cell (never the rally point's nor one with a destructible), farthest from the
// strongest enemy first, each to the repairer nearest it.
TEST_F(PoolDirection, IdleRepairersTakePostsRoundTheFactoryFarthestFromTheEnemy) {
    InfluenceGrid& grid = *c.Grid();
    const Size cell = grid.CellSize();
    InfluenceCell* home = grid.CellAt(w.factory->GetPosition());
    ASSERT_NE(home, nullptr);
    const Point homeCentre = grid.CellCentre(*home);
    // The enemy two cells east; the rally point one cell south.
    PoolUnit* enemy = w.AddPoolUnit(1, homeCentre + Point(2 * cell.w, 0), w.kit.Role('a'));
    enemy->fire = 50;
    c.rallyPoint = homeCentre + Point(0, cell.h);
    w.Refresh();
    // Two idle repairers, a busy one, and one resting next to the factory.
    PoolUnit* resting = Join(4, w.AddOwned(homeCentre + Point(cell.w, cell.h), 'k'));
    PoolUnit* busy = Join(4, w.AddOwned(homeCentre, 'k'));
    busy->AddGoal(homeCentre + Point(5, 5));
    PoolUnit* west = Join(4, w.AddOwned(homeCentre - Point(cell.w / 4, 0), 'k'));
    PoolUnit* east = Join(4, w.AddOwned(homeCentre + Point(cell.w / 4, 0), 'k'));
    EXPECT_EQ(Direct(), 0);
    EXPECT_TRUE(resting->given.empty());
    EXPECT_TRUE(busy->given.empty());
    std::vector<InfluenceCell*> posts;
    for (PoolUnit* r : {west, east}) {
        ASSERT_EQ(r->given.size(), 1u);
        EXPECT_EQ(r->given[0].code, 1);
        EXPECT_EQ(r->given[0].flags, 0x15);
        InfluenceCell* post = grid.CellAt(r->given[0].p);
        ASSERT_NE(post, nullptr);
        // The western column is the farthest from the enemy.
        EXPECT_EQ(post->column, home->column - 1);
        EXPECT_LE(std::abs(post->row - home->row), 1);
        posts.push_back(post);
    }
    EXPECT_NE(posts[0], posts[1]);
    // The post farthest from the enemy went first, to the repairer nearer it.
    const Point hot = grid.CellCentre(*grid.CellAt(enemy->GetPosition()));
    auto distance = [](const Point& a, const Point& b) {
        return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
    };
    const bool westFirst = distance(west->given[0].p, hot) >= distance(east->given[0].p, hot);
    const Point first = (westFirst ? west : east)->given[0].p;
    EXPECT_LE(distance((westFirst ? west : east)->GetPosition(), first),
              distance((westFirst ? east : west)->GetPosition(), first));
    // Resting next to the factory but unable to dock there, a repairer is sent as well.
    resting->docksInside = 0;
    Direct();
    EXPECT_EQ(resting->given.size(), 1u);
}

// With no enemy every post is as far from it as the next: the first of the most open neighbour
// cells, in the ring's own order, is taken first.
TEST_F(PoolDirection, WithoutAnEnemyTheFirstOfTheMostOpenCellsIsTheFirstPost) {
    InfluenceGrid& grid = *c.Grid();
    InfluenceCell* home = grid.CellAt(w.factory->GetPosition());
    ASSERT_NE(home, nullptr);
    c.rallyPoint = Point();
    w.Refresh();
    PoolUnit* repairer = Join(4, w.AddOwned(grid.CellCentre(*home), 'k'));
    Direct();
    ASSERT_EQ(repairer->given.size(), 1u);
    std::vector<InfluenceCell*> ring;
    grid.CellsInRing(*home, ring, 1, 0);
    ASSERT_GT(ring.size(), 1u);
    InfluenceCell* first = ring[0];
    for (InfluenceCell* cell : ring)
        if (cell->openTiles > first->openTiles) first = cell;
    EXPECT_EQ(grid.CellAt(repairer->given[0].p), first);
}

// The deposit to move to: none where the enemies round it match the factory's firepower or
// health; the least enemy firepower first, then the nearest. While the factory holds less than
// 1500, a deposit must hold at least what the factory and its mined deposit hold plus 1500.
TEST_F(FactoryMove, TheDepositChosenHasTheLeastEnemyFireThenIsNearestAndEnoughOre) {
    auto rock = std::make_unique<TestObject>(0, 951, Point(400, 800), 9);
    rock->stored = 2000;
    GameObject* near = rock.get();
    std::unique_ptr<GameObject> owned = std::move(rock);
    ASSERT_EQ(w.world.AddOreDeposit(owned), 1);
    auto mined = std::make_unique<TestObject>(0, 952, Point(100, 100), 9);
    mined->stored = 1000;
    factory->SetHealth(200, 0);
    // Enemies beside one deposit and not the other (grid cells of 256).
    struct Guard {
        int fire;
        int health;
    };
    struct Case {
        Guard byNear;
        Guard byFar;
        int factoryStored;
        bool linked;
        GameObject* chosen;
    };
    const Case cases[] = {
        {{0, 0}, {0, 0}, 0, false, near},      {{5, 10}, {0, 0}, 0, false, deposit},
        {{5, 10}, {5, 10}, 0, false, near},    {{9, 199}, {0, 0}, 0, false, deposit},
        {{9, 199}, {10, 10}, 0, false, near},  {{9, 200}, {10, 10}, 0, false, nullptr},
        {{0, 0}, {0, 0}, 1499, true, deposit}, {{0, 0}, {0, 0}, 1500, true, near},
        {{0, 0}, {0, 0}, 0, false, near},
    };
    std::vector<PoolUnit*> guards;
    for (const Case& c : cases) {
        for (PoolUnit* g : guards)
            g->destroyed = 1;
        guards.clear();
        for (const auto& [guard, at] :
             {std::pair{c.byNear, Point(100, 800)}, std::pair{c.byFar, Point(1100, 800)}}) {
            if (guard.fire == 0) continue;
            PoolUnit* g = w.AddPoolUnit(1, at, w.kit.Role('a'));
            g->fire = guard.fire;
            g->SetHealth(guard.health, 0);
            guards.push_back(g);
        }
        w.Refresh();
        factory->stored = c.factoryStored;
        factory->linked = c.linked ? mined.get() : nullptr;
        EXPECT_EQ(pool.ChooseDeposit(), c.chosen)
            << c.byNear.fire << "/" << c.byNear.health << " " << c.byFar.fire << "/"
            << c.byFar.health << " " << c.factoryStored << " " << c.linked;
    }
    // A deposit another factory stands open on is taken, whether that factory is an enemy's
    // (too far off to count in the strength round the deposit) or an ally's, of the first team
    // or the last.
    for (PoolUnit* g : guards)
        g->destroyed = 1;
    MovingFactory* others[World::kTeams] = {};
    for (int team : {1, 3, 4}) {
        auto made = std::make_unique<MovingFactory>(w.world.NewSimId(team), Point(1600, 1600));
        others[team] = made.get();
        w.world.AddBuilding(std::move(made));
        ASSERT_EQ(w.world.TeamFactory(team), others[team]);
    }
    factory->stored = 0;
    factory->linked = nullptr;
    for (const bool allied : {false, true}) {
        if (allied) w.world.Ally(SimId(2, 0), SimId(3, 0));
        for (int team : {1, 3, 4}) {
            for (GameObject* taken : {near, deposit, static_cast<GameObject*>(nullptr)}) {
                others[team]->linked = taken;
                w.Refresh();
                EXPECT_EQ(pool.ChooseDeposit(), taken == near ? deposit : near)
                    << (allied ? "allied " : "") << "team " << team << " on "
                    << (taken ? taken->id.serial : 0);
            }
        }
    }
    MovingFactory* other = others[3];
    // Its own deposit stays out of the choice as before.
    factory->linked = near;
    other->linked = deposit;
    w.Refresh();
    EXPECT_EQ(pool.ChooseDeposit(), nullptr);
}

// After the first decision the factory moves only while folded or open and without a goal; a
// team with nothing to mine with and too little ore for a miner goes to the nearest wreck; a
// factory whose mined deposit and store hold 1500 or more stays.
TEST_F(FactoryMove, LaterMovesFollowTheFactorysStateAndNeeds) {
    Point to;
    ASSERT_EQ(pool.PlanFactoryMove(to), 1);
    GameObject* wreck = AddWreck(w.world, Point(500, 200));
    auto mined = std::make_unique<TestObject>(0, 953, Point(100, 100), 9);
    mined->stored = 1000;
    const Point site(752, 816);
    struct Case {
        int unfold;
        bool goal;
        int miners;
        int scavengers;
        int cargo;   // a miner costs 500
        int stored;  // with a mined deposit of 1000; -1 none
        int moved;
        Point to;
        bool busy = false;  // a job in production
    };
    const Case cases[] = {
        {4, false, 0, 0, 0, -1, 1, wreck->GetPosition()},
        {0, false, 0, 0, 499, -1, 1, wreck->GetPosition()},
        {2, false, 0, 0, 0, -1, 0, Point()},
        {4, true, 0, 0, 0, -1, 0, Point()},
        {4, false, 1, 0, 0, -1, 1, site},
        {4, false, 0, 1, 0, -1, 1, site},
        {4, false, 0, 0, 500, -1, 1, site},
        {4, false, 1, 0, 0, 499, 1, site},
        {4, false, 1, 0, 0, 500, 0, Point()},
        {4, false, 0, 0, 0, -1, 1, site, true},
    };
    VehicleDesign inProduction('V');
    c.minerCost = 500;
    for (const Case& k : cases) {
        factory->unfold = k.unfold;
        factory->goals.Clear();
        if (k.goal)
            factory->goals.PushBack(
                std::make_unique<LocationGoal>(factory->id, Point(900, 900), 0, 1, 1));
        c.minerCount = k.miners;
        c.scavengerCount = k.scavengers;
        factory->cargo = k.cargo;
        factory->stored = k.stored < 0 ? 0 : k.stored;
        factory->linked = k.stored < 0 ? nullptr : mined.get();
        factory->job = k.busy ? &inProduction : nullptr;
        Point out;
        EXPECT_EQ(pool.PlanFactoryMove(out), k.moved)
            << k.unfold << " " << k.goal << " " << k.miners << " " << k.scavengers << " " << k.cargo
            << " " << k.stored;
        if (k.moved) {
            EXPECT_EQ(out, k.to) << k.cargo << " " << k.stored;
        }
    }
}

// The rally point goes to the open neighbour of the site's grid cell (256 pixels) farthest from
// the unallied enemy factories, on its far edges: here the site's cell is (3, 2) and the enemy
// stands in the north-east corner.
TEST_F(FactoryMove, TheRallyPointGoesToTheNeighbourFarthestFromTheEnemy) {
    w.AddFactory(1, Point(1250, 10));
    struct Case {
        bool allied;
        bool rockSouthWest;
        Point rally;
    };
    // South-west (4, 1): its bottom row and left column; with a rock there, south (4, 2); with
    // no enemy to count, the first neighbour (2, 1) at its top-left corner.
    for (const Case& k : {Case{false, false, Point(272, 1264)}, Case{true, false, Point(272, 528)},
                          Case{false, true, Point(528, 1264)}}) {
        w.world.alliance[1][2] = w.world.alliance[2][1] = k.allied ? World::kAllied : 0;
        if (k.rockSouthWest) {
            std::unique_ptr<GameObject> rock =
                std::make_unique<TestObject>(0, 960, Point(384, 1152), 5);
            ASSERT_EQ(w.world.AddDestructible(rock), 1);
        }
        Point to;
        ASSERT_EQ(pool.PlanFactoryMove(to), 1);
        EXPECT_EQ(to, Point(752, 816));
        EXPECT_EQ(c.rallyPoint, k.rally) << k.allied << " " << k.rockSouthWest;
    }
}

// Deployed structure units follow a new rally point, except on a mission's first decision;
// those still on their way are left alone.
TEST_F(FactoryMove, DeployedStructuresFollowTheRallyPointSaveOnAMissionsFirstDecision) {
    w.world.scenario = std::make_unique<Scenario>();
    w.world.scenario->missionNumber = 2;
    PoolUnit* deployed = w.AddPoolUnit(2, Point(300, 300), w.kit.Structure(4), 7);
    PoolUnit* walking = w.AddPoolUnit(2, Point(300, 300), w.kit.Structure(4), 1);
    for (PoolUnit* s : {deployed, walking}) {
        s->SetOwner(&c);
        pool.Pool(SquadPoolManager::kStructureKind)->AddMember(*s, 1);
    }
    Point to;
    for (int decision : {1, 2}) {
        ASSERT_EQ(pool.PlanFactoryMove(to), 1);
        EXPECT_EQ(deployed->undeploys, decision - 1) << decision;
        EXPECT_EQ(deployed->given.size(), static_cast<size_t>(decision - 1)) << decision;
        EXPECT_EQ(walking->undeploys + static_cast<int>(walking->given.size()), 0);
    }
    EXPECT_EQ(deployed->given.back().p, c.rallyPoint);
    EXPECT_EQ(deployed->given.back().flags, 0x15);
    w.world.scenario.reset();
}

// A structure unit on its way is placed afresh only when its road is blocked or the team is
// under attack; one without a goal always. Placing counts as work done.
TEST_F(PoolDirection, AStructureUnitOnItsWayIsReplacedOnlyWhenBlockedOrUnderAttack) {
    struct Case {
        bool goal;
        bool blocked;
        bool attacked;
        bool placed;
    };
    for (const Case& k : {Case{true, false, false, false}, Case{true, true, false, true},
                          Case{false, false, false, true}, Case{true, false, true, true}}) {
        PoolUnit* unit = Join(5, w.AddPoolUnit(2, Point(200, 200), w.kit.Structure(2)));
        unit->SetFootprint(Rect(Point(184, 184), Size(32, 32)));
        if (k.goal) unit->AddGoal(Point(900, 900));
        if (k.blocked) unit->goals.BlockFront();
        // Any unit of the team under fire puts the team under attack.
        PoolUnit* bystander = w.AddOwned(Point(100, 600));
        if (k.attacked) bystander->lastAttacker = w.factory;
        EXPECT_EQ(Direct(), k.placed ? 1 : 0) << k.goal << k.blocked << k.attacked;
        EXPECT_EQ(unit->deploys, k.placed ? 1 : 0) << k.goal << k.blocked << k.attacked;
        EXPECT_EQ(unit->clears, k.placed ? 1 : 0);
        pool.Pool(5)->RemoveMember(*unit);
        bystander->lastAttacker = nullptr;
    }
}

// The think step moves the factory before filing any request, unless the factory is under
// fire; then the economy's requests come first.
TEST_F(FactoryMove, TheFactoryMovesFirstUnlessItIsUnderFire) {
    for (bool underFire : {true, false}) {
        factory->lastAttacker = underFire ? factory : nullptr;
        factory->given.clear();
        c.buildOrders.DeleteAll();
        EXPECT_EQ(pool.Think(), 1) << underFire;
        if (underFire) {
            EXPECT_TRUE(factory->given.empty());
            EXPECT_EQ(w.Orders(SquadPoolManager::kMinerKind).size(), 1u);
        } else {
            ASSERT_EQ(factory->given.size(), 1u);
            EXPECT_EQ(factory->given[0].code, 1);
            EXPECT_EQ(factory->given[0].flags, 0x15);
            EXPECT_EQ(factory->given[0].p, Point(752, 816));
            EXPECT_EQ(c.buildOrders.Count(), 0);
        }
    }
}

// A scavenger strikes back at whoever hits the factory, a miner, a repairer or a structure:
// the nearest one not attacking already; none when the attacker is gone.
TEST(SquadPool, TheNearestFreeScavengerStrikesBackForTheEconomy) {
    ManagerWorld w;
    SquadPoolManager& pool = *w.controller->squadPool;
    PoolUnit* attacker = w.AddPoolUnit(1, Point(900, 600), w.kit.Role('a'));
    SimId by = attacker->id;
    // No scavengers yet: nothing happens.
    pool.OnEvent(7, w.factory, &by);
    PoolUnit* nearest = w.AddOwned(Point(850, 600), 'h');
    PoolUnit* second = w.AddOwned(Point(700, 600), 'h');
    PoolUnit* far = w.AddOwned(Point(300, 600), 'h');
    for (PoolUnit* s : {far, second, nearest})
        pool.Pool(SquadPoolManager::kScavengerKind)->AddMember(*s, 1);
    nearest->goals.PushBack(std::make_unique<TargetGoal>(nearest->id, attacker->id, Point(), 1, 1));
    struct Case {
        GameObject* hit;
        bool answered;
    };
    for (const Case& c : {Case{w.factory, true}, Case{w.AddOwned(Point(640, 600), 'k'), true},
                          Case{w.AddStructure(2, Point(640, 600), 2), true},
                          Case{w.AddOwned(Point(640, 600), 'h'), false}}) {
        second->given.clear();
        pool.OnEvent(7, c.hit, &by);
        EXPECT_EQ(second->given.size(), c.answered ? 1u : 0u) << c.hit->GetKind();
        EXPECT_TRUE(nearest->given.empty());
        EXPECT_TRUE(far->given.empty());
    }
    // Of two equally near, the first listed (the newer) goes.
    PoolUnit* twin = w.AddOwned(Point(700, 600), 'h');
    pool.Pool(SquadPoolManager::kScavengerKind)->AddMember(*twin, 1);
    second->given.clear();
    pool.OnEvent(7, w.factory, &by);
    EXPECT_EQ(twin->given.size(), 1u);
    EXPECT_TRUE(second->given.empty());
    attacker->destroyed = 1;
    twin->given.clear();
    pool.OnEvent(7, w.factory, &by);
    EXPECT_TRUE(twin->given.empty());
}

// With rocks in every neighbour of the site's grid cell the rally point is the site itself.
TEST_F(FactoryMove, WithEveryNeighbourBlockedTheRallyPointIsTheSite) {
    // The site's cell is (3, 2) of cells of 256 pixels.
    int serial = 970;
    for (int row = 2; row <= 4; ++row)
        for (int column = 1; column <= 3; ++column) {
            if (row == 3 && column == 2) continue;
            std::unique_ptr<GameObject> rock = std::make_unique<TestObject>(
                0, serial++, Point(256 * column + 128, 256 * row + 128), 5);
            ASSERT_EQ(w.world.AddDestructible(rock), 1);
        }
    Point to;
    ASSERT_EQ(pool.PlanFactoryMove(to), 1);
    EXPECT_EQ(to, Point(752, 816));
    EXPECT_EQ(c.rallyPoint, to);
}

// Each structure type has its chassis flag and priority; type 0 asks for sensors, type 1 for
// kind-3 items, and type 3 below level 5 with strategy 0x02 for kind-3 items one time in two.
TEST(SquadPool, StructureRequestsCarryTheirTypesChassisFlagAndPriority) {
    const uint32_t chassis[6] = {0x200, 0x400, 0x800, 0x2000, 0x1000, 0x4000};
    const int32_t priority[6] = {4, 4, 4, 1, 4, 4};
    for (int type = 0; type < 6; ++type) {
        ManagerWorld w(3, 5);
        AIController& c = *w.controller;
        c.strategyBits = 0;
        c.typeQueue.DeleteAll();
        auto* node = new ListNode;
        node->key = type;
        c.typeQueue.PushBack(node);
        c.secondProductionCounter = 1;
        DesignRules request;
        ASSERT_EQ(c.squadPool->PlanStructureOrder(request), 1) << type;
        ASSERT_NE(request.FindEntry(0, 1), nullptr);
        EXPECT_EQ(request.FindEntry(0, 1)->flags & ~1u, chassis[type]) << type;
        EXPECT_EQ(AIController::OrderPriority(request), priority[type]) << type;
        EXPECT_EQ(AIController::OrderSquad(request), c.squadPool->structurePoolId);
        EXPECT_EQ(request.FindEntry(2, 1) != nullptr, type == 0) << type;
        EXPECT_EQ(request.FindEntry(3, 1) != nullptr, type == 1) << type;
        std::vector<int32_t> kinds;
        for (ListNode* n = request.weaponCriteria.First(); n; n = request.weaponCriteria.Next(n))
            kinds.push_back(n->key);
        EXPECT_EQ(kinds, (std::vector<int32_t>{3, 1, 2})) << type;
    }
    for (int level : {4, 5}) {
        int kind3 = 0;
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            ManagerWorld w(level, 5);
            AIController& c = *w.controller;
            c.strategyBits = AIController::kStrategyType1;
            c.typeQueue.DeleteAll();
            auto* node = new ListNode;
            node->key = 3;
            c.typeQueue.PushBack(node);
            c.secondProductionCounter = 1;
            SeedRandom(seed * 35711);
            DesignRules request;
            ASSERT_EQ(c.squadPool->PlanStructureOrder(request), 1);
            kind3 += request.FindEntry(3, 1) != nullptr;
        }
        if (level == 5) {
            EXPECT_EQ(kind3, 0);
        } else {
            EXPECT_GT(kind3, 3);
            EXPECT_LT(kind3, 17);
        }
    }
}

// A neighbour with only half its tiles open is no place for the rally point; one more and it is.
TEST_F(FactoryMove, TheRallyPointNeedsANeighbourMoreThanHalfOpen) {
    // 8 × 8 tiles a cell; of equal keys the first neighbour, (2, 1), wins, else (2, 2).
    for (const auto& [open, rally] :
         {std::pair{33, Point(272, 528)}, std::pair{32, Point(528, 528)}}) {
        c.Grid()->CellAt(2, 1)->openTiles = open;
        Point to;
        ASSERT_EQ(pool.PlanFactoryMove(to), 1);
        EXPECT_EQ(c.rallyPoint, rally) << open;
    }
}

// One order of a kind at a time: no second structure order, and no scavenger while a miner or
// scavenger order is out.
TEST(SquadPool, NoScavengerOrStructureIsWantedWhileTheirOrdersAreOut) {
    ManagerWorld w(1, 5);
    AIController& c = *w.controller;
    SquadPoolManager& pool = *c.squadPool;
    c.minerCount = 1;
    w.factory->cargo = 1000;
    for (int i = 0; i < 12; ++i)
        AddWreck(w.world, Point(700 + 32 * (i % 8), 800 + 32 * (i / 8)));
    ASSERT_TRUE(pool.ScavengerWanted());
    for (int32_t kind : {SquadPoolManager::kMinerKind, SquadPoolManager::kScavengerKind}) {
        DesignRules order;
        AIController::SetOrderSquad(order, pool.Pool(kind)->Id());
        AIController::SetOrderPurpose(order, kind);
        c.RequestUnits(order, 0, nullptr, 0, 1);
        EXPECT_FALSE(pool.ScavengerWanted()) << kind;
        c.buildOrders.DeleteAll();
        EXPECT_TRUE(pool.ScavengerWanted()) << kind;
    }
    c.typeQueue.DeleteAll();
    for (int type : {1, 2}) {
        auto* node = new ListNode;
        node->key = type;
        c.typeQueue.PushBack(node);
    }
    c.secondProductionCounter = 1;
    DesignRules first;
    ASSERT_EQ(pool.PlanStructureOrder(first), 1);
    c.RequestUnits(first, 0, nullptr, 0, 1);
    DesignRules second;
    EXPECT_EQ(pool.PlanStructureOrder(second), 0);
    c.buildOrders.DeleteAll();
    EXPECT_EQ(pool.PlanStructureOrder(second), 1);
}

// A neighbour in the site's own row or column puts the rally point on its top row or left
// column: with rocks on two corners and the enemy across, the neighbour between them is the
// farthest open one.
TEST_F(FactoryMove, ARallyNeighbourInTheSitesRowOrColumnGivesItsTopOrLeftEdge) {
    struct Case {
        Point enemy;
        Point rocks[2];
        Point rally;
    };
    // West (3, 1) with the enemy due east; north (2, 2) with the enemy due south.
    const Case cases[] = {{Point(1250, 896), {Point(384, 640), Point(384, 1152)}, Point(272, 784)},
                          {Point(640, 1270), {Point(384, 640), Point(896, 640)}, Point(528, 528)}};
    int serial = 980;
    for (const Case& k : cases) {
        FakeFactory* enemy = w.AddFactory(1, k.enemy);
        std::vector<GameObject*> placed;
        for (const Point& at : k.rocks) {
            std::unique_ptr<GameObject> rock = std::make_unique<TestObject>(0, serial++, at, 5);
            placed.push_back(rock.get());
            ASSERT_EQ(w.world.AddDestructible(rock), 1);
        }
        Point to;
        ASSERT_EQ(pool.PlanFactoryMove(to), 1);
        EXPECT_EQ(to, Point(752, 816));
        EXPECT_EQ(c.rallyPoint, k.rally) << k.enemy.x;
        // Out of the way for the next case.
        enemy->SetPosition(Point(752, 816));
        for (GameObject* rock : placed)
            rock->SetPosition(Point(30, 30));
    }
}
