// The build planner fills its home squad one request at a time while the team is weaker than
// its threshold, and centres the squad on the team's anchors; the recruiter gathers units by
// purpose code.
#include <gtest/gtest.h>

#include "ai/BuildPlanner.h"
#include "ai/ManagerFixture.h"
#include "ai/SquadRecruiter.h"
#include "catalogue/DesignRules.h"
#include "objects/LocationGoal.h"
#include "objects/Squad.h"

namespace {

RuleManoeuvre* FormationOf(Squad& squad) {
    return static_cast<RuleManoeuvre*>(squad.manoeuvres.Find(1));
}

}  // namespace

TEST(BuildPlanner, RequestsOneUnitAtATimeWhileWeakAndBelowItsSizeLimit) {
    struct Case {
        int aggressiveness;
        int level;
        bool enemies;
        int requests;  // of two think steps
    };
    // The factory is the squad's first member: a limit of 1 leaves no room.
    const Case cases[] = {
        {1, 3, true, 0}, {2, 3, true, 0}, {3, 3, true, 1}, {3, 1, true, 1}, {3, 3, false, 0}};
    for (const Case& c : cases) {
        ManagerWorld w(c.level, 5, 0x20, c.aggressiveness);
        BuildPlanner& planner = *w.controller->buildPlanner;
        if (c.enemies) w.AddUnit(1, Point(900, 900), 'a', 50);
        w.Refresh();
        const int first = planner.Think();
        const int second = planner.Think();
        EXPECT_EQ(first + second, c.requests) << c.aggressiveness << " " << c.level;
        EXPECT_EQ(planner.HomeSquad()->MemberCount(), 1);
        EXPECT_EQ(w.controller->CountOrders(&planner, 0, 0), c.requests);
        if (c.requests == 0) continue;
        const auto* order = static_cast<const DesignRules*>(w.controller->buildOrders.First());
        EXPECT_EQ(AIController::OrderSquad(*order), planner.squadId);
        EXPECT_EQ(AIController::OrderPriority(*order), 2);
        EXPECT_EQ(order->presets[1], 70);
        EXPECT_EQ(order->presets[5], -1);
        EXPECT_EQ(order->weights[planner.armament == 1 ? 3 : 4], 1);
    }
}

TEST(BuildPlanner, StopsOnceTheBalanceReachesItsThreshold) {
    // Level 3, threshold -20: own health over enemy firepower less enemy health over own.
    ManagerWorld w(3, 5, 0x20, 3);
    w.AddUnit(1, Point(900, 900), 'a', 1);
    AIUnit* own = w.AddUnit(2, Point(300, 300), 'a', 1);
    own->SetHealth(100, 20);
    w.Refresh();
    EXPECT_EQ(w.controller->StrengthBalance(nullptr, 0, nullptr, 1, 1), 80 - 100);
    EXPECT_EQ(w.controller->buildPlanner->Think(), 0);
    own->SetHealth(100, 21);
    w.Refresh();
    EXPECT_EQ(w.controller->buildPlanner->Think(), 1);
}

TEST(BuildPlanner, ClaimsPurposeOneUnitsEvenWhenItNeverBuilds) {
    ManagerWorld w(3, 5, 0x20, 1);
    BuildPlanner& planner = *w.controller->buildPlanner;
    PoolUnit* unit = w.AddOwned(Point(100, 100));
    int32_t squad = 0;
    EXPECT_EQ(planner.ClaimUnit(*unit, squad), 0);
    unit->SetPurpose(1);
    EXPECT_EQ(planner.ClaimUnit(*unit, squad), 1);
    EXPECT_EQ(squad, planner.squadId);
    EXPECT_EQ(planner.IsUnitAvailable(*unit, 1), 0);
}

TEST(BuildPlanner, CentresTheHomeSquadOnItsWeightedAnchors) {
    ManagerWorld w;
    AIController& c = *w.controller;
    BuildPlanner& planner = *c.buildPlanner;
    Squad& home = *planner.HomeSquad();
    // Once the controller has listed its managers the factory joins.
    planner.OnEvent(AIController::kPoolMoved, nullptr, nullptr);
    // The factory alone, without a goal: its own position.
    EXPECT_EQ(FormationOf(home)->centre, Point(640, 640));
    EXPECT_EQ(FormationOf(home)->spacing, BuildPlanner::kSpacing);
    // A type-3 structure weighs the rally point twice; a miner counts only with an objective.
    c.rallyPoint = Point(100, 100);
    PoolUnit* structure = w.AddPoolUnit(2, Point(0, 0), w.kit.Structure(3), 7);
    PoolUnit* miner = w.AddPoolUnit(2, Point(5000, 5000), w.kit.Role('f'));
    c.AdoptUnit(*structure, 0);
    c.AdoptUnit(*miner, 0);
    EXPECT_EQ(home.MemberCount(), 3);
    EXPECT_EQ(FormationOf(home)->centre, Point((640 + 200) / 3, (640 + 200) / 3));
    auto rock = std::make_unique<TestObject>(0, 900, Point(1000, 520), 5);
    const SimId rockId = rock->id;
    std::unique_ptr<GameObject> owned = std::move(rock);
    ASSERT_EQ(w.world.AddDestructible(owned), 1);
    c.AddObjectiveId(rockId, 0);
    // A factory or a repairer with a goal counts where the goal leads; a combat member is no
    // anchor.
    w.factory->goals.PushBack(
        std::make_unique<LocationGoal>(w.factory->id, Point(720, 800), 0, 1, 1));
    PoolUnit* repairer = w.AddPoolUnit(2, Point(4000, 4000), w.kit.Role('k'));
    repairer->AddGoal(Point(100, 900));
    c.AdoptUnit(*repairer, 0);
    PoolUnit* fighter = w.AddOwned(Point(3000, 3000));
    home.AddMember(*fighter, 1);
    planner.OnEvent(AIController::kFactoryIdle, nullptr, nullptr);
    EXPECT_EQ(FormationOf(home)->centre,
              Point((720 + 200 + 1000 + 100) / 5, (800 + 200 + 520 + 900) / 5));
}

TEST(SquadRecruiter, GathersUnitsOfEachPurposeCodeInOneSquad) {
    ManagerWorld w;
    SquadRecruiter& recruiter = *w.controller->recruiter;
    EXPECT_EQ(recruiter.Think(), 0);
    int32_t ids[4] = {};
    const int codes[] = {9, 40, 12, 12, 13, 39};
    int claimed = 0;
    for (int code : codes) {
        PoolUnit* unit = w.AddOwned(Point(200, 200));
        unit->SetPurpose(code);
        int32_t squad = 0;
        if (recruiter.ClaimUnit(*unit, squad) == 1) {
            if (claimed < 4) ids[claimed] = squad;
            ++claimed;
        }
    }
    EXPECT_EQ(claimed, 4);
    EXPECT_EQ(ids[0], ids[1]);
    EXPECT_NE(ids[1], ids[2]);
    Squad* twelve = recruiter.FindChild(ids[0]);
    ASSERT_NE(twelve, nullptr);
    EXPECT_EQ(twelve->purpose, 12);
    EXPECT_NE(twelve->manoeuvres.Find(2), nullptr);
    EXPECT_EQ(recruiter.children.Count(), 3);
}

// The home squad grows to the level's size limit (the factory counts); a free unit of the team
// is taken at once, tuned and kept as a current member instead of an order.
TEST(BuildPlanner, GrowsToTheLevelsSizeLimitTakingAFreeUnitFirst) {
    const int limits[6] = {0, 2, 3, 3, 4, 4};
    for (int level = 1; level <= 5; ++level) {
        for (int room : {0, 1}) {
            ManagerWorld w(level, 5, 0x20, 3);
            BuildPlanner& planner = *w.controller->buildPlanner;
            w.AddUnit(1, Point(900, 900), 'a', 50);
            w.Refresh();
            planner.Think();
            w.controller->buildOrders.DeleteAll();
            Squad& home = *planner.HomeSquad();
            while (home.MemberCount() < limits[level] - room)
                home.AddMember(*w.AddOwned(Point(100, 100), 'k'), 0);
            PoolUnit* free = w.AddOwned(Point(300, 300));
            free->SetHealth(0, 0);
            EXPECT_EQ(planner.Think(), room) << level;
            EXPECT_EQ(free->IsCurrent(home.Id()), room == 1) << level;
            EXPECT_EQ(w.controller->buildOrders.Count(), 0);
            if (room == 0) continue;
            EXPECT_EQ(free->GetDesign()->parameters[3], 20);
            EXPECT_EQ(free->GetDesign()->parameters[6], 3);
            EXPECT_GE(free->rebuilds, 1);
        }
    }
}

// Without a factory in the home squad the size limit itself decides: one unit at
// aggressiveness 2, none below.
TEST(BuildPlanner, WithoutAFactoryAggressivenessTwoStillAsksForOneUnit) {
    for (int aggressiveness : {1, 2}) {
        AIWorld land;
        FakeSquadRules rules;
        AIController* ai = land.AddController(2);
        ai->aggressiveness = aggressiveness;
        ai->Setup(3);
        land.AddUnit(1, Point(600, 600), 'a', 50);
        ai->Grid()->Refresh(2, *ai);
        BuildPlanner& planner = *ai->buildPlanner;
        EXPECT_EQ(planner.Think(), aggressiveness == 2 ? 1 : 0) << aggressiveness;
        EXPECT_EQ(ai->CountOrders(&planner, 0, 0), aggressiveness == 2 ? 1 : 0);
    }
}
