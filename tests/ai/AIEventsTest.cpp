#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "AIFixture.h"
#include "AITestManagers.h"
#include "ai/InfluenceGrid.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PartRule.h"
#include "objects/Sim.h"
#include "objects/SimTestSupport.h"
#include "objects/Squad.h"
#include "objects/TargetGoal.h"

namespace {

struct Events {
    explicit Events(int level = 3) {
        land.kit.List();
        factory = land.AddFactory(2, Point(300, 300));
        ai = land.AddController(2);
        ai->SetStrategyBits(0x01);
        ai->Setup(level);
        managers = InstallRecordingManagers(*ai);
    }
    void Send(int kind, void* a, void* b) { ai->OnEvent(kind, a, b); }

    AIWorld land;
    FakeFactory* factory;
    AIController* ai;
    std::vector<RecordingManager*> managers;
};

}  // namespace

TEST(AIEvents, EveryKindReachesEveryManagerInOrder) {
    Events e;
    for (int kind : {4, 6, 7, 8, 10, 12, 14, 20, 99})
        e.Send(kind, nullptr, nullptr);
    for (RecordingManager* m : e.managers)
        EXPECT_EQ(m->events, (std::vector<int>{4, 6, 7, 8, 10, 12, 14, 20, 99}));
    Point attacker(700, 10);
    e.Send(0, nullptr, &attacker);
    EXPECT_EQ(e.ai->Grid()->CellAt(attacker)->attackCount, 1);
}

TEST(AIEvents, ABuiltUnitJoinsItsOrdersSquadOrIsClaimedUnderItsPurpose) {
    Events e;
    Squad* squad = e.managers[2]->NewSquad();
    DesignRules order;
    AIController::SetOrderSquad(order, squad->Id());
    e.ai->pendingOrder = std::make_unique<DesignRules>(order);
    // A unit that is gone keeps the pending order.
    SimId missing(2, 4242);
    e.Send(1, nullptr, &missing);
    ASSERT_NE(e.ai->pendingOrder, nullptr);
    AIUnit* unit = e.land.AddUnit(2, Point(100, 100));
    SimId id = unit->id;
    e.Send(1, e.factory, &id);
    EXPECT_EQ(e.ai->pendingOrder, nullptr);
    EXPECT_TRUE(unit->IsCurrent(squad->Id()));
    EXPECT_EQ(unit->Owner(), e.ai);
    EXPECT_EQ(unit->skill, 650);
    // No squad: the purpose goes into the unit and the first manager that claims it wins.
    DesignRules purposeOnly;
    AIController::SetOrderPurpose(purposeOnly, 12);
    e.ai->pendingOrder = std::make_unique<DesignRules>(purposeOnly);
    Squad* claimed = e.managers[1]->NewSquad();
    e.managers[1]->claimSquad = claimed->Id();
    e.managers[3]->claimSquad = e.managers[3]->NewSquad()->Id();
    AIUnit* second = e.land.AddUnit(2, Point(120, 100));
    SimId secondId = second->id;
    e.Send(1, e.factory, &secondId);
    // The managers are asked in order with the purpose in place; the squad then stamps its own.
    EXPECT_EQ(e.managers[0]->claimedPurposes, std::vector<int32_t>{12});
    EXPECT_EQ(e.managers[1]->claimedPurposes, std::vector<int32_t>{12});
    EXPECT_TRUE(e.managers[3]->claimedPurposes.empty());
    EXPECT_TRUE(second->IsCurrent(claimed->Id()));
}

TEST(AIEvents, AdoptedRolesAreCountedAndLossesStopAtZero) {
    Events e;
    AIUnit* miner = e.land.AddUnit(2, Point(100, 100), 'f');
    AIUnit* scavenger = e.land.AddUnit(2, Point(100, 140), 'h');
    AIUnit* repairer = e.land.AddUnit(2, Point(100, 180), 'k');
    AIUnit* plant = e.land.AddStructure(2, Point(100, 220), 3);
    AIUnit* tower = e.land.AddStructure(2, Point(100, 260), 5);
    AIUnit* first = e.land.AddStructure(2, Point(100, 300), 0);
    e.ai->firstProductionCounter = 4;
    e.ai->secondProductionCounter = 4;
    for (AIUnit* u : {miner, scavenger, repairer, plant, tower, first})
        e.ai->AdoptUnit(*u, 0);
    EXPECT_EQ(e.ai->typeCounts[0], 1);
    EXPECT_EQ(e.ai->minerCount, 1);
    EXPECT_EQ(e.ai->minerCost, 300);
    EXPECT_EQ(e.ai->scavengerCount, 1);
    EXPECT_EQ(e.ai->repairerCount, 1);
    EXPECT_EQ(e.ai->typeCounts[3], 1);
    EXPECT_EQ(e.ai->typeCounts[5], 1);
    EXPECT_EQ(e.ai->firstProductionCounter, 0);
    EXPECT_EQ(e.ai->secondProductionCounter, 0);
    e.ai->typeQueue.DeleteAll();
    auto* queued = new ListNode;
    queued->key = 2;
    e.ai->typeQueue.PushBack(queued);
    // Each lost twice: the second (a unit never adopted, say) changes nothing.
    for (int round = 0; round < 2; ++round) {
        for (AIUnit* u : {miner, scavenger, repairer, tower, plant})
            e.Send(2, u, nullptr);
    }
    EXPECT_EQ(e.ai->minerCount, 0);
    EXPECT_EQ(e.ai->scavengerCount, 0);
    EXPECT_EQ(e.ai->repairerCount, 0);
    EXPECT_EQ(e.ai->typeCounts[3], 0);
    std::vector<int> queue;
    for (ListNode* n = e.ai->typeQueue.First(); n; n = e.ai->typeQueue.Next(n))
        queue.push_back(n->key);
    // Type 3 goes to the front even with others queued; type 5 to the back; once each.
    EXPECT_EQ(queue, (std::vector<int>{3, 2, 5}));
}

TEST(AIEvents, BlockedUnitsShootWrecksAndMoveAlliedBlockers) {
    Events e;
    AIUnit* unit = e.land.AddUnit(2, Point(100, 100));
    auto wreck = std::make_unique<AIUnit>(SimId(0, 500), Point(130, 100), nullptr, 3);
    AIUnit* wreckRaw = wreck.get();
    e.land.world.AddWreck(std::move(wreck));
    e.land.world.ReindexObject(wreckRaw->id);
    SimId wreckId = wreckRaw->id;
    e.Send(3, unit, &wreckId);
    EXPECT_EQ(unit->lastAttacker, wreckRaw);
    // A factory without weapons that reach it moves to the wreck instead.
    e.Send(3, e.factory, &wreckId);
    ASSERT_EQ(e.factory->given.size(), 1u);
    EXPECT_EQ(e.factory->given[0].code, 1);
    EXPECT_EQ(e.factory->given[0].flags, 0x15);
    AIUnit* structure = e.land.AddStructure(2, Point(160, 100), 1);
    SimId structureId = structure->id;
    e.Send(3, unit, &structureId);
    EXPECT_EQ(structure->undeploys, 1);
    // An enemy blocker is left alone.
    AIUnit* enemy = e.land.AddStructure(1, Point(200, 100), 1);
    SimId enemyId = enemy->id;
    e.Send(3, unit, &enemyId);
    EXPECT_EQ(enemy->undeploys, 0);
    // A unit of the team in the way stops guarding once it has been moved aside.
    AIUnit* friendly = e.land.AddUnit(2, Point(130, 130));
    SimId friendlyId = friendly->id;
    for (int moved : {0, 1}) {
        e.land.world.unitMakers.moveBlockerAside = [moved](GameObject*, GameObject*, int) {
            return moved;
        };
        friendly->given.clear();
        e.Send(3, unit, &friendlyId);
        EXPECT_EQ(friendly->given.size(), moved ? 1u : 0u) << moved;
        if (moved) {
            EXPECT_EQ(friendly->given[0].code, 9);
        }
    }
    e.land.world.unitMakers.moveBlockerAside = nullptr;
}

// An enemy or a wreck that refuses a step is named the attacker of a unit whose stance fires (1
// engages, 3 retaliates, 4 attacks what blocks it), never of a hold-fire design, nor a friend. A
// wreck is named for a unit that explores (5) as well: boxed in by wrecks beside its factory, it
// stood for good.
TEST(AIEvents, AnEnemyOrAWreckInTheWayDrawsTheFireOfAUnitWhoseStanceFires) {
    Events e;
    SimKit kit;
    AIUnit* enemy = e.land.AddUnit(1, Point(140, 100));
    AIUnit* mate = e.land.AddUnit(2, Point(140, 140));
    auto owned = std::make_unique<AIUnit>(SimId(0, 501), Point(140, 60), nullptr, 3);
    AIUnit* wreck = owned.get();
    e.land.world.AddWreck(std::move(owned));
    e.land.world.ReindexObject(wreck->id);
    int serial = 910;
    for (const int stance : {0, 1, 2, 3, 4, 5}) {
        for (AIUnit* blocker : {enemy, wreck, mate}) {
            std::unique_ptr<Sim> sim =
                kit.MakeSim(2, serial++, Point(100, 100), {kit.Weapon({.range = 200})});
            sim->GetDesign()->parameters[0] = stance;
            e.ai->OnStepRefused(sim.get(), blocker);
            const bool fires =
                (stance == 1 || stance == 3 || stance == 4 || (stance == 5 && blocker == wreck)) &&
                blocker != mate;
            EXPECT_EQ(sim->lastAttacker, fires ? blocker->id : SimId()) << stance;
            EXPECT_EQ(sim->friendWay.wreck, fires && blocker == wreck ? wreck->id : SimId());
        }
    }
    // Nothing in the way names nothing.
    std::unique_ptr<Sim> unblocked =
        kit.MakeSim(2, serial++, Point(100, 100), {kit.Weapon({.range = 200})});
    e.ai->OnStepRefused(unblocked.get(), nullptr);
    EXPECT_EQ(unblocked->lastAttacker, SimId());
    // A known attacker its weapon reaches stays; one out of reach gives way.
    for (const int x : {250, 400}) {
        std::unique_ptr<Sim> sim =
            kit.MakeSim(2, serial++, Point(100, 100), {kit.Weapon({.range = 200})});
        sim->GetDesign()->parameters[0] = 3;
        AIUnit* known = e.land.AddUnit(1, Point(x, 100));
        sim->SetLastAttacker(known);
        e.ai->OnStepRefused(sim.get(), enemy);
        EXPECT_EQ(sim->lastAttacker, x == 250 ? known->id : enemy->id) << x;
    }
}

TEST(AIEvents, EngagingClearsTheHoldFlagAndSetsTheAdvanceParameter) {
    Events e;
    AIUnit* unit = e.land.AddUnit(2, Point(100, 100));
    AIUnit* target = e.land.AddUnit(1, Point(400, 100));
    unit->holdFlag = 1;
    unit->GetDesign()->parameters[5] = 1;
    e.Send(5, unit, target);
    EXPECT_EQ(unit->holdFlag, 0);
    EXPECT_EQ(unit->GetDesign()->parameters[5], 0);
    target->destroyed = 1;
    unit->holdFlag = 1;
    e.Send(5, unit, target);
    EXPECT_EQ(unit->holdFlag, 1);
}

// The range test measures the straight line between the two: a 200-pixel gun reaches a target
// 100 away on the diagonal (60, 80) and not one 300 away (240, 180).
TEST(AIEvents, AnArmedUnitPressesOnOnlyAtTargetsItsWeaponsReach) {
    Events e;
    SimKit kit;
    std::unique_ptr<Sim> sim = kit.MakeSim(2, 900, Point(100, 100), {kit.Weapon({})});
    ASSERT_EQ(sim->CountWeaponsWithRange(0, nullptr), 1);
    struct Case {
        Point at;
        int reached;
    };
    for (const Case& c : {Case{Point(160, 180), 1}, Case{Point(340, 280), 0},
                          Case{Point(40, 20), 1}, Case{Point(-140, -80), 0}}) {
        AIUnit* target = e.land.AddUnit(1, c.at);
        sim->holdFlag = 1;
        sim->pressOn = 1 - c.reached;
        sim->GetDesign()->parameters[5] = c.reached;
        e.Send(5, sim.get(), target);
        EXPECT_EQ(sim->pressOn, c.reached) << c.at.x;
        EXPECT_EQ(sim->GetDesign()->parameters[5], 1 - c.reached) << c.at.x;
        EXPECT_EQ(sim->holdFlag, 0);
    }
}

TEST(AIEvents, SeeingAHumanFactoryChoosesTheTargetAndCaptureUnitsDrawFireFromLevel3) {
    for (int level : {2, 3, 5}) {
        Events e(level);
        // Team 3 is run by a computer: its factory is no target.
        e.land.AddController(3);
        FakeFactory* computer = e.land.AddFactory(3, Point(600, 100));
        e.Send(9, nullptr, computer);
        EXPECT_EQ(e.ai->TargetTeam(), 0);
        FakeFactory* human = e.land.AddFactory(1, Point(600, 500));
        e.Send(9, nullptr, human);
        EXPECT_EQ(e.ai->TargetTeam(), 1);
        EXPECT_EQ(human->GetReferencePoint(2), Point(600, 500));
        // Newest first: the unit that cannot engage is asked first and passed over.
        AIUnit* fighter = e.land.AddUnit(2, Point(100, 150));
        AIUnit* busy = e.land.AddUnit(2, Point(100, 100));
        busy->canEngage = 0;
        auto capture = std::make_unique<AIUnit>(SimId(1, 77), Point(500, 500), nullptr, 6);
        AIUnit* captureUnit = e.land.List(std::move(capture));
        e.Send(9, nullptr, captureUnit);
        if (level < 3) {
            EXPECT_TRUE(fighter->given.empty()) << level;
            continue;
        }
        ASSERT_EQ(fighter->given.size(), 1u) << level;
        EXPECT_EQ(fighter->given[0].code, 2);
        EXPECT_EQ(fighter->given[0].flags, 7);
        EXPECT_EQ(fighter->given[0].target, captureUnit->id);
        EXPECT_TRUE(busy->given.empty());
        // A unit already after a capture unit is passed over; one after anything else is not.
        AIUnit* chaser = e.land.AddUnit(2, Point(100, 200));
        auto second = std::make_unique<AIUnit>(SimId(1, 78), Point(520, 500), nullptr, 6);
        AIUnit* chased[] = {e.land.List(std::move(second)), e.land.AddUnit(1, Point(540, 500))};
        for (AIUnit* now : chased) {
            fighter->given.clear();
            chaser->goals.Clear();
            chaser->goals.PushBack(
                std::make_unique<TargetGoal>(chaser->id, now->id, Point(), 1, 1));
            e.Send(9, nullptr, captureUnit);
            const bool passed = now == chased[0];
            EXPECT_EQ(chaser->given.size(), passed ? 0u : 1u) << level;
            EXPECT_EQ(fighter->given.size(), passed ? 1u : 0u) << level;
            chaser->given.clear();
        }
    }
}

TEST(AIEvents, ACapturedObjectComesUnderTheController) {
    Events e;
    AIUnit* capturer = e.land.AddUnit(2, Point(100, 100), 't');
    AIUnit* captured = e.land.AddUnit(1, Point(130, 100));
    e.Send(13, capturer, captured);
    EXPECT_EQ(captured->GetTeam(), 2);
    EXPECT_EQ(captured->Owner(), e.ai);
    EXPECT_EQ(captured->rebuilds, 1);
    AIUnit* dead = e.land.AddUnit(1, Point(160, 100));
    dead->destroyed = 1;
    e.Send(13, capturer, dead);
    EXPECT_EQ(dead->GetTeam(), 1);
    // Half an event captures nothing, but still reaches the managers.
    AIUnit* other = e.land.AddUnit(1, Point(190, 100));
    e.Send(13, nullptr, other);
    e.Send(13, capturer, nullptr);
    EXPECT_EQ(other->GetTeam(), 1);
    EXPECT_EQ(other->rebuilds, 0);
    EXPECT_EQ(e.managers[0]->events, (std::vector<int>{13, 13, 13, 13}));
}

// Each adopted unit adds the ore gained since the last job to the ore change; a miner frees
// its design of the charge and sets the miner's cost and strength (a thousandth of its build
// time); other units leave them.
TEST(AIEvents, AdoptionTracksTheOreChangeAndTheMinersCostAndStrength) {
    Events e;
    e.ai->oreAtLastJob = 100;
    e.factory->cargo = 400;
    e.ai->oreChangeCounter = 5;
    ChassisValues v;
    v.clan = 'V';
    v.role = 'f';
    v.firstCost = 350;
    v.buildTime = 2999;
    ChassisTemplate heavy(v);
    auto miner = std::make_unique<AIUnit>(e.land.world.NewSimId(2), Point(100, 100), &heavy);
    AIUnit* adopted = e.land.List(std::move(miner));
    adopted->GetDesign()->noCharge = 1;
    e.ai->AdoptUnit(*adopted, 0);
    EXPECT_EQ(adopted->GetDesign()->noCharge, 0);
    EXPECT_EQ(e.ai->minerCost, 350);
    EXPECT_EQ(e.ai->minerStrength, 2);
    // The miner resets the counters after adding to them.
    EXPECT_EQ(e.ai->oreChangeCounter, 0);
    AIUnit* fighter = e.land.AddUnit(2, Point(100, 140));
    fighter->GetDesign()->noCharge = 1;
    e.ai->AdoptUnit(*fighter, 0);
    EXPECT_EQ(e.ai->oreChangeCounter, 300);
    e.ai->AdoptUnit(*e.land.AddUnit(2, Point(100, 180)), 0);
    EXPECT_EQ(e.ai->oreChangeCounter, 600);
    EXPECT_EQ(fighter->GetDesign()->noCharge, 1);
    EXPECT_EQ(e.ai->minerCost, 350);
    EXPECT_EQ(fighter->Owner(), e.ai);
}

// Events missing an object they need change nothing here, and still reach every manager.
TEST(AIEvents, EventsMissingTheirObjectsOnlyReachTheManagers) {
    Events e;
    AIUnit* unit = e.land.AddUnit(2, Point(100, 100));
    AIUnit* other = e.land.AddUnit(1, Point(130, 100));
    SimId id = other->id;
    const int kinds[] = {AIController::kDamaged,  AIController::kUnitBuilt,
                         AIController::kUnitLost, AIController::kBlocked,
                         AIController::kEngaging, AIController::kEnemySeen};
    for (int kind : kinds) {
        e.Send(kind, nullptr, nullptr);
        e.Send(kind, unit, nullptr);
        if (kind != AIController::kUnitBuilt && kind != AIController::kDamaged &&
            kind != AIController::kEnemySeen)
            e.Send(kind, nullptr,
                   kind == AIController::kBlocked ? static_cast<void*>(&id)
                                                  : static_cast<void*>(other));
    }
    EXPECT_EQ(e.managers[3]->events.size(), 15u);
    EXPECT_TRUE(unit->given.empty());
    EXPECT_EQ(other->GetReferencePoint(2), Point());
}
