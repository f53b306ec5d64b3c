// The group manager merges idle groups, picks a group by strength or full size, raises its
// attack threshold after each attack, plans raids, and fights an opponent, never its own side.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ai/AIGroupManager.h"
#include "ai/ManagerFixture.h"
#include "ai/SquadRules.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PartRule.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/WeaponTemplate.h"
#include "map/SightGrid.h"
#include "objects/EconomyGoals.h"
#include "objects/Squad.h"
#include "objects/TargetGoal.h"

namespace {

class GroupTest : public ::testing::Test {
protected:
    explicit GroupTest(int level = 1) : w(level) {}

    // A group of the kind with n members of the team, all commanded by it.
    Squad* Group(int n, int kind = 7, const Point& at = Point(600, 600)) {
        auto squad = std::make_unique<Squad>(ManagerWorld::kTeam);
        squad->purpose = kind;
        Squad* group = groups.AddChild(std::move(squad));
        for (int i = 0; i < n; ++i)
            group->AddMember(*w.AddOwned(Point(at.x + 10 * i, at.y)), 1);
        return group;
    }
    // An enemy unit its team has seen.
    PoolUnit* Enemy(const Point& at, int fire = 10) {
        PoolUnit* enemy = w.AddPoolUnit(1, at, w.kit.Role('a'));
        enemy->fire = fire;
        enemy->SetReferencePoint(ManagerWorld::kTeam, at);
        return enemy;
    }

    ManagerWorld w;
    AIGroupManager& groups = *w.controller->groupManager;
};

class GroupTestAtLevel3 : public GroupTest {
protected:
    GroupTestAtLevel3() : GroupTest(3) {}
};

}  // namespace

TEST_F(GroupTest, IdleGroupsOfTwoThreeAndOneMergeIntoOneOfSixButAPlannedGroupStays) {
    Squad* two = Group(2);
    Squad* three = Group(3);
    Squad* one = Group(1);
    Squad* planned = Group(2);
    auto* plan = new AIGroupManager::GroupPlan;
    plan->squadId = planned->Id();
    groups.plans.PushBack(plan);
    Squad* empty = Group(0);
    const int32_t emptyId = empty->Id();
    const int32_t threeId = three->Id();
    const int32_t oneId = one->Id();

    groups.MaintainGroups();
    EXPECT_EQ(groups.FindChild(emptyId), nullptr);
    EXPECT_EQ(groups.FindChild(threeId), nullptr);
    EXPECT_EQ(groups.FindChild(oneId), nullptr);
    ASSERT_EQ(groups.children.Count(), 2);
    EXPECT_EQ(two->MemberCount(), 6);
    EXPECT_EQ(two->CurrentCount(), 6);
    EXPECT_EQ(planned->MemberCount(), 2);
    // Regrouped once at one gather point: a close formation and target assignment; every
    // member re-tuned, told to stop and its goals cleared.
    auto* formation = static_cast<RuleManoeuvre*>(two->manoeuvres.Find(1));
    ASSERT_NE(formation, nullptr);
    EXPECT_EQ(formation->spacing, 8);
    EXPECT_NE(two->manoeuvres.Find(2), nullptr);
    EXPECT_EQ(two->manoeuvres.Count(), 2);
    for (int i = 0; i < 6; ++i) {
        auto* member = static_cast<AIUnit*>(two->MemberAt(i));
        EXPECT_EQ(member->GetDesign()->parameters[0], 4);
        EXPECT_EQ(member->GetDesign()->parameters[1], 70);
        ASSERT_FALSE(member->given.empty());
        EXPECT_EQ(member->given.back().code, 9);
        EXPECT_GE(member->clears, 1);
    }
}

TEST_F(GroupTest, ThresholdRisesByFiveToTenAfterEachAttackUntilItIsPositive) {
    EXPECT_EQ(groups.AttackThreshold(), -50);
    // A defence group with a member, so that the think step attacks.
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    Squad* group = Group(1, 7, Point(300, 300));
    PoolUnit* a = Enemy(Point(300, 900));
    PoolUnit* b = Enemy(Point(900, 300));
    int previous = groups.AttackThreshold();
    for (int attack = 0; attack < 20; ++attack) {
        groups.factoryAttacker = (attack % 2 ? a : b)->id;
        ASSERT_EQ(groups.Think(), 1);
        EXPECT_EQ(groups.AttackTargetOf(*group), attack % 2 ? a : b);
        const int now = groups.AttackThreshold();
        if (previous < 1) {
            EXPECT_GE(now - previous, 5);
            EXPECT_LE(now - previous, 10);
        } else {
            EXPECT_EQ(now, previous);
        }
        previous = now;
    }
    EXPECT_GE(previous, 1);
    EXPECT_LE(previous, 10);
    // Remembered attackers are forgotten after each choice.
    EXPECT_TRUE(groups.factoryAttacker.IsNull());
}

TEST_F(GroupTest, TheOnlyMinersAttackerComesFirstAndWithoutAGroupNoneIsSent) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    PoolUnit* a = Enemy(Point(300, 900));
    PoolUnit* b = Enemy(Point(900, 300));
    // Only the defence group: an attacker is remembered but no group goes.
    groups.minerAttacker = a->id;
    groups.Think();
    EXPECT_EQ(groups.AttackTargetOf(*defence), nullptr);
    EXPECT_TRUE(groups.minerAttacker.IsNull());
    Squad* group = Group(1, 7, Point(300, 300));
    for (int miners : {1, 2, 0}) {
        w.controller->minerCount = miners;
        groups.structureAttacker = a->id;
        groups.minerAttacker = b->id;
        ASSERT_EQ(groups.Think(), 1);
        EXPECT_EQ(groups.AttackTargetOf(*group), miners == 1 ? b : a) << miners;
    }
}

TEST_F(GroupTest, AFullGroupSkipsTheStrengthTestAndALoneUnitIsNeverHeldBack) {
    PoolUnit* target = Enemy(Point(1000, 1000));
    for (int i = 0; i < 10; ++i)
        Enemy(Point(1000 + 20 * i, 1040), 100);
    w.Refresh();
    struct Case {
        int size;
        bool goalFarAway;
        bool picked;
    };
    // Level 1: full size 4; ten strong enemies stand round the target.
    for (const Case& c : {Case{4, true, true}, Case{3, false, false}, Case{2, true, false}}) {
        Squad* group = Group(c.size);
        if (c.goalFarAway) static_cast<PoolUnit*>(group->MemberAt(0))->AddGoal(Point(2000, 600));
        EXPECT_EQ(groups.PickAttackGroup(*target, 0) == group, c.picked) << c.size;
        groups.DeleteChild(group);
    }
    // Far from any enemy a lone unit on its way still goes; two on their way wait.
    PoolUnit* lonely = Enemy(Point(200, 1200));
    Squad* one = Group(1);
    static_cast<PoolUnit*>(one->MemberAt(0))->AddGoal(Point(2000, 600));
    EXPECT_EQ(groups.PickAttackGroup(*lonely, 0), one);
    one->AddMember(*w.AddOwned(Point(600, 600)), 1);
    EXPECT_EQ(groups.PickAttackGroup(*lonely, 0), nullptr);
    // A goal 128 away counts as reached; one step further the member is still on its way.
    for (int reach : {128, 129}) {
        Squad* pair = Group(2);
        auto* member = static_cast<PoolUnit*>(pair->MemberAt(0));
        member->AddGoal(member->GetPosition() + Point(reach, 0));
        EXPECT_EQ(groups.PickAttackGroup(*lonely, 0) == pair, reach == 128) << reach;
        groups.DeleteChild(pair);
    }
}

TEST_F(GroupTest, RatesKnownTargetsByWhatTheyAre) {
    struct Case {
        const ChassisTemplate* chassis;
        int kind;
        int heavyHits;
        bool known;
        int rating;
        int skill = 0;  // rank is a tenth of it
    };
    const AIKit& kit = w.kit;
    const Case cases[] = {
        {kit.Structure(3), 7, 0, true, 2},   {kit.Structure(3), 7, 6, true, 1},
        {kit.Role('f'), 1, 0, true, 1},      {kit.Role('f'), 1, 6, true, 2},
        {kit.Structure(2), 7, 0, true, 4},   {kit.Role('t'), 6, 0, true, 5},
        {kit.Role('k'), 2, 0, true, 6},      {kit.Role('h'), 1, 0, true, 6},
        {kit.Structure(0), 7, 0, true, 7},   {kit.Role('a'), 1, 0, true, 8},
        {kit.Role('a'), 1, 0, false, 0},     {kit.Role('a'), 1, 0, true, 3, 800},
        {kit.Role('a'), 1, 0, true, 8, 799}, {kit.Role('t'), 6, 0, true, 3, 800},
        {kit.Role('f'), 1, 0, true, 1, 900}, {kit.Structure(2), 7, 0, true, 3, 800},
    };
    for (const Case& c : cases) {
        PoolUnit* target = w.AddPoolUnit(1, Point(900, 900), c.chassis, c.kind);
        if (c.known) target->SetReferencePoint(ManagerWorld::kTeam, target->GetPosition());
        target->skill = c.skill;
        groups.heavyHits = c.heavyHits;
        EXPECT_EQ(groups.RateTarget(*target), c.rating) << c.chassis->role << " " << c.heavyHits;
        target->destroyed = 1;
        EXPECT_EQ(groups.RateTarget(*target), 0);
    }
    // A target some group attacks already is not rated.
    PoolUnit* chased = Enemy(Point(800, 800));
    groups.LaunchAttack(*Group(1), *chased);
    EXPECT_EQ(groups.RateTarget(*chased), 0);
}

TEST_F(GroupTest, CountsOnlyHitsOfWeaponsMountedAboveSizeTwo) {
    for (int size : {2, 3}) {
        WeaponValues v;
        v.mount.clan = 'V';
        v.mount.role = 'a';
        v.mount.mountSize = size;
        WeaponTemplate weapon(WeaponClass::Burst, v);
        groups.OnEvent(8, nullptr, &weapon);
    }
    EXPECT_EQ(groups.heavyHits, 1);
}

TEST_F(GroupTest, LaunchedAttackTunesMembersByTargetAndArmsTheGroup) {
    Squad* group = Group(2);
    PoolUnit* structure = w.AddPoolUnit(1, Point(900, 900), w.kit.Structure(3), 7);
    groups.heavyHits = 7;
    groups.LaunchAttack(*group, *structure);
    EXPECT_EQ(groups.heavyHits, 0);
    EXPECT_EQ(group->MemberAt(0)->GetDesign()->parameters[0], 2);
    EXPECT_EQ(group->MemberAt(0)->GetDesign()->parameters[5], 1);
    // Close-in members need no retaliation rule.
    EXPECT_EQ(group->manoeuvres.Find(12), nullptr);
    EXPECT_EQ(groups.AttackTargetOf(*group), structure);
    groups.LaunchAttack(*group, *w.factory);
    EXPECT_EQ(group->MemberAt(1)->GetDesign()->parameters[0], 3);
    EXPECT_NE(group->manoeuvres.Find(12), nullptr);
}

TEST_F(GroupTest, AnAttackingGroupRegroupsOnlyOnceAllItsMembersAreBeingRepaired) {
    for (int repairing : {1, 2}) {
        Squad* group = Group(2);
        PoolUnit* structure = w.AddPoolUnit(1, Point(900, 900), w.kit.Structure(3), 7);
        groups.LaunchAttack(*group, *structure);
        ASSERT_EQ(groups.AttackTargetOf(*group), structure);
        for (int i = 0; i < repairing; ++i) {
            GameObject* member = group->MemberAt(i);
            member->goals.PushBack(
                std::make_unique<RepairGoal>(member->id, w.factory->id, Point(), 0, 1, 0));
        }
        groups.MaintainGroups();
        EXPECT_EQ(groups.AttackOf(*group) == nullptr, repairing == 2) << repairing;
        groups.DeleteChild(group);
    }
}

TEST_F(GroupTestAtLevel3, RaidPlansNeedTheirStructureAndLoseThePlanWhenFull) {
    AIController& c = *w.controller;
    Enemy(Point(1200, 1200));
    c.targetTeam = 1;
    int raids = 0;
    for (int32_t strategy : {0x20, 0x28}) {
        c.strategyBits = strategy;
        c.typeCounts[5] = 1;
        for (int i = 0; i < 40; ++i) {
            groups.MakePlan();
            auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
            Squad* group = groups.FindChild(plan->squadId);
            ASSERT_NE(group, nullptr);
            EXPECT_EQ(group->purpose, plan->raid ? 8 : 7);
            if (plan->raid) {
                ++raids;
                EXPECT_EQ(strategy, 0x28);
                EXPECT_GE(plan->wantedSize, 2);
                EXPECT_LE(plan->wantedSize, 4);
            }
            delete plan;
            groups.DeleteChild(group);
        }
    }
    EXPECT_GT(raids, 5);
    // A raid group that wanted 3 is ready while short of members and loses its plan at three.
    groups.MakePlan();
    auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
    plan->raid = 1;
    plan->wantedSize = 3;
    Squad* raid = groups.FindChild(plan->squadId);
    raid->purpose = 8;
    for (int i = 0; i < 2; ++i)
        raid->AddMember(*w.AddOwned(Point(500, 500)), 1);
    EXPECT_EQ(groups.FindReadyPlan(), raid);
    raid->AddMember(*w.AddOwned(Point(500, 500)), 1);
    EXPECT_EQ(groups.FindReadyPlan(), nullptr);
    EXPECT_TRUE(groups.plans.IsEmpty());
}

TEST_F(GroupTest, TheDefenceRequestIsQueuedAndNeverTakesAnIdleUnit) {
    w.AddOwned(Point(500, 500));
    EXPECT_EQ(groups.Think(), 1);
    ASSERT_NE(groups.FindChild(groups.defenceId), nullptr);
    const auto orders = w.Orders(6);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(AIController::OrderSquad(*orders[0]), groups.defenceId);
    EXPECT_EQ(orders[0]->presets[0], 5);
    // Level 1: priority 5 even without a target team.
    EXPECT_EQ(AIController::OrderPriority(*orders[0]), 5);
    EXPECT_EQ(groups.FindChild(groups.defenceId)->MemberCount(), 0);
    // While the order is out the empty defence group stays.
    groups.MaintainGroups();
    EXPECT_NE(groups.FindChild(groups.defenceId), nullptr);
}

TEST_F(GroupTest, TargetsAnOpponentNeverItsOwnOrAnAlliedTeam) {
    AIController& c = *w.controller;
    // Under autoplay with no other factory there is nobody to fight.
    w.world.localPlayer.first = 2;
    EXPECT_EQ(groups.TargetTeam(), 0);
    w.AddFactory(3, Point(1100, 200));
    w.AddFactory(4, Point(200, 1100));
    struct Case {
        int32_t local;
        int32_t ally;
        int32_t expected;
    };
    // The local team stands in only as an opponent: under autoplay it is this team, and an
    // ally is no target either; then the lowest unallied team with a factory.
    for (const Case& k : {Case{1, 0, 1}, Case{2, 0, 3}, Case{3, 3, 4}, Case{1, 1, 3}}) {
        w.world.localPlayer.first = k.local;
        for (int t = 1; t < 5; ++t)
            w.world.alliance[2][t] = w.world.alliance[t][2] = t == k.ally ? World::kAllied : 0;
        EXPECT_EQ(groups.TargetTeam(), k.expected) << k.local << " " << k.ally;
    }
    c.targetTeam = 4;
    EXPECT_EQ(groups.TargetTeam(), 4);
}

TEST_F(GroupTest, APlannedGroupGathersRoundItsFirstArrival) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    groups.MakePlan();
    auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
    plan->mode = 3;
    EXPECT_EQ(groups.Think(), 1);
    Squad* group = groups.FindChild(plan->squadId);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->manoeuvres.Find(1), nullptr);
    auto* first = w.AddOwned(Point(600, 600));
    group->AddMember(*first, 1);
    SimId id = first->id;
    groups.OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_NE(group->manoeuvres.Find(1), nullptr);
    ASSERT_FALSE(first->given.empty());
    EXPECT_EQ(first->given.back().code, 9);
    // The second arrival joins where the group gathers already.
    group->manoeuvres.DeleteAll();
    auto* second = w.AddOwned(Point(700, 600));
    group->AddMember(*second, 1);
    id = second->id;
    groups.OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_EQ(group->manoeuvres.Find(1), nullptr);
    EXPECT_TRUE(second->given.empty());
    // A group with no plan does not gather for its first arrival.
    Squad* unplanned = Group(0);
    auto* lone = w.AddOwned(Point(700, 600));
    unplanned->AddMember(*lone, 1);
    id = lone->id;
    groups.OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_EQ(unplanned->manoeuvres.Find(1), nullptr);
    w.controller->buildOrders.DeleteAll();
}

TEST_F(GroupTest, FillsAPlannedGroupWithAssaultOrRaidUnits) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    for (int raidAndMode = 0; raidAndMode < 6; ++raidAndMode) {
        const int raid = raidAndMode / 3;
        const int mode = 1 + raidAndMode % 3;
        groups.MakePlan();
        auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
        plan->raid = raid;
        plan->mode = mode;
        EXPECT_EQ(groups.Think(), 1);
        const auto orders = w.Orders(raid ? 8 : 7);
        ASSERT_EQ(orders.size(), 1u);
        const DesignRules& order = *orders[0];
        EXPECT_EQ(AIController::OrderSquad(order), plan->squadId);
        EXPECT_EQ(groups.FindChild(plan->squadId)->purpose, raid ? 8 : 7);
        // Raid requests set chassis flag 0x100; assault requests clear flags 0x1e0.
        EXPECT_EQ(order.FindEntry(0, 1) != nullptr, raid == 1);
        EXPECT_EQ(order.FindEntry(0, 0) != nullptr, raid == 0);
        EXPECT_EQ(order.presets[1], raid ? 99 : 70);
        // The plan's mode sets switch words: mode 1 word 2, mode 2 word 3, mode 3 words 3, 4.
        EXPECT_EQ(order.weights[2], mode == 1 ? 1 : 0) << mode;
        EXPECT_EQ(order.weights[3], mode >= 2 ? 1 : 0) << mode;
        EXPECT_EQ(order.weights[4], mode == 3 ? 1 : 0) << mode;
        EXPECT_EQ(order.weights[5], 1);
        // While its order is out the plan waits: the think step has nothing to do.
        EXPECT_EQ(groups.Think(), 0);
        w.controller->buildOrders.DeleteAll();
        delete plan;
    }
}

TEST(SquadRules, OnlyAFormationHasACentre) {
    SquadRules rules;
    std::unique_ptr<SquadManoeuvre> formation = rules.Formation(Point(300, 400), 8);
    Point centre(1, 2);
    EXPECT_EQ(rules.CentreOf(*formation, centre), 1);
    EXPECT_EQ(centre, Point(300, 400));
    std::unique_ptr<SquadManoeuvre> assign = rules.AssignTarget();
    Point untouched(1, 2);
    EXPECT_EQ(rules.CentreOf(*assign, untouched), 0);
    EXPECT_EQ(untouched, Point(1, 2));
}

// The gather point is a step 1/k of the way to the enemy factory or a deposit where the group
// would be stronger; a carrier at no more than that step's distance is the point instead, on the
// boundary too, the first of equals.
TEST_F(GroupTest, AGroupGathersAtACarrierWithinTheStepTowardsTheEnemyOrAtADepositItCanHold) {
    w.AddFactory(1, Point(880, 640));
    ChassisValues v;
    v.clan = 'V';
    v.role = 'g';
    ChassisTemplate carrierChassis(v);
    PoolUnit* carrier = w.AddPoolUnit(1, Point(), &carrierChassis);
    PoolUnit* later = w.AddPoolUnit(3, Point(), &carrierChassis);
    std::unique_ptr<GameObject> deposit = std::make_unique<TestObject>(0, 700, Point(200, 200), 9);
    w.world.AddOreDeposit(deposit);
    // Deposits count only while the local player has not found the factory: a sight grid
    // nobody has looked through yet.
    auto unseen =
        std::make_unique<SightGrid>(w.world.sight->CellSize(), w.world.sight->AreaSize(), 1);
    std::swap(w.world.sight, unseen);
    Squad* empty = Group(0);
    for (int beyond : {0, 1}) {
        SeedRandom(41);
        const int reach = 240 / RandomRange(2, 4);
        carrier->SetPosition(Point(640, 640 + reach + beyond));
        later->SetPosition(Point(640, 640 - reach - beyond));
        SeedRandom(41);
        // An empty group holds nothing: the deposit's balance is even and it is no candidate.
        EXPECT_EQ(groups.ChooseGatherPoint(*empty),
                  beyond ? Point(640 + reach, 640) : carrier->GetPosition())
            << beyond;
    }
    carrier->SetPosition(Point(1200, 1200));
    later->SetPosition(Point(1200, 1200));
    Squad* group = Group(2);
    std::set<std::pair<int, int>> points;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SeedRandom(seed * 37);
        const Point p = groups.ChooseGatherPoint(*group);
        points.insert({p.x, p.y});
    }
    EXPECT_EQ(points.count({200, 200}), 1u);
    EXPECT_GE(points.size(), 2u);
    std::swap(w.world.sight, unseen);
}

// A far enemy factory is remembered as the last choice of target only while its team has not
// found ours and no group attacks it already.
TEST_F(GroupTest, AnEnemyFactoryIsRememberedOnlyWhileItsTeamHasNotFoundOursNorIsAttacked) {
    FakeFactory* enemy = w.AddFactory(1, Point(1200, 1200));
    PoolUnit* other = Enemy(Point(1000, 1200));
    struct Case {
        bool found;
        GameObject* attacked;
        bool remembered;
    };
    for (const Case& c : {Case{false, nullptr, true}, Case{true, nullptr, false},
                          Case{false, enemy, false}, Case{false, other, true}}) {
        auto grid =
            std::make_unique<SightGrid>(w.world.sight->CellSize(), w.world.sight->AreaSize(), 1);
        for (int row = 0; c.found && row < 64; ++row)
            for (int column = 0; column < 64; ++column)
                grid->MarkExplored(row, column);
        std::swap(w.world.sight, grid);
        Squad* group = Group(1);
        if (c.attacked) group->manoeuvres.Add(w.rules.Attack(c.attacked->id));
        groups.spottedFactory = SimId();
        groups.OnEvent(AIController::kEnemySeen, nullptr, enemy);
        EXPECT_EQ(groups.spottedFactory == enemy->id, c.remembered) << c.found << !c.attacked;
        groups.DeleteChild(group);
        std::swap(w.world.sight, grid);
    }
}

// The defence group explores out of sight only once there is a team to fight.
TEST_F(GroupTest, TheDefenceGroupSeeksOutOfSightOnceThereIsATarget) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    auto* member = static_cast<PoolUnit*>(defence->MemberAt(0));
    RuleManoeuvre* explore = member->Give(14);
    w.controller->targetTeam = 0;
    groups.MaintainGroups();
    EXPECT_EQ(explore->seeking, 0);
    w.controller->targetTeam = 1;
    groups.MaintainGroups();
    EXPECT_EQ(explore->seeking, 1);
}

// With a raid structure standing, an unplanned raid group goes for the nearest enemy unit its
// team knows of, of any opponent; never one it has not seen, an ally's, or a neutral building
// (the building lists follow the team lists).
TEST_F(GroupTest, ARaidGroupPicksTheNearestKnownEnemyOfAnyOpponent) {
    AIUnit* structure = w.AddStructure(ManagerWorld::kTeam, Point(700, 700), 5);
    w.world.structureCodeOf = [structure](GameObject* o) { return o == structure ? 5 : -1; };
    Squad* raid = Group(2, 8, Point(600, 600));
    PoolUnit* far = Enemy(Point(900, 600));
    w.AddPoolUnit(1, Point(620, 600), w.kit.Role('a'));  // never seen
    PoolUnit* allied = w.AddPoolUnit(3, Point(630, 600), w.kit.Role('a'));
    allied->SetReferencePoint(ManagerWorld::kTeam, allied->GetPosition());
    w.world.alliance[2][3] = w.world.alliance[3][2] = World::kAllied;
    auto neutral = std::make_unique<FakeFactory>(SimId(0, 4000), Point(640, 600));
    neutral->SetReferencePoint(ManagerWorld::kTeam, neutral->GetPosition());
    w.world.AddBuilding(std::move(neutral));
    AIGroupManager::Choice choice = groups.ChooseAttack();
    EXPECT_EQ(choice.group, raid);
    EXPECT_EQ(choice.target, far);
    // A nearer one of the last team wins.
    PoolUnit* near = w.AddPoolUnit(World::kTeams - 1, Point(800, 600), w.kit.Role('a'));
    near->SetReferencePoint(ManagerWorld::kTeam, near->GetPosition());
    EXPECT_EQ(groups.ChooseAttack().target, near);
}

// Units are claimed by purpose: 6 joins the defence group, 7 and 8 the first group of their
// kind (made when there is none), any other purpose is left to the other managers.
TEST_F(GroupTest, ClaimsUnitsOnlyForTheDefenceAssaultAndRaidGroups) {
    Squad* assault = Group(0, 7);
    Group(0, 7);
    struct Case {
        int32_t purpose;
        int claimed;
    };
    for (const Case& c :
         {Case{0, 0}, Case{2, 0}, Case{5, 0}, Case{6, 1}, Case{7, 1}, Case{8, 1}, Case{9, 0}}) {
        PoolUnit* unit = w.AddOwned(Point(500, 500));
        unit->SetPurpose(c.purpose);
        int32_t squadId = -1;
        ASSERT_EQ(groups.ClaimUnit(*unit, squadId), c.claimed) << c.purpose;
        if (!c.claimed) {
            EXPECT_EQ(squadId, -1) << c.purpose;
            continue;
        }
        Squad* group = groups.FindChild(squadId);
        ASSERT_NE(group, nullptr) << c.purpose;
        EXPECT_EQ(group->purpose, c.purpose);
        if (c.purpose == 6) {
            EXPECT_EQ(squadId, groups.defenceId);
        }
        if (c.purpose == 7) {
            EXPECT_EQ(group, assault);
        }
        // Asked again, the same group takes the next unit.
        int32_t again = 0;
        groups.ClaimUnit(*unit, again);
        EXPECT_EQ(again, squadId) << c.purpose;
    }
    EXPECT_EQ(groups.children.Count(), 4);
}

// A lone idle group is not merged with itself and regrouped; a group whose target is gone is
// regrouped exactly once.
TEST_F(GroupTest, ALoneIdleGroupIsRegroupedOnlyWhenItsTargetIsGone) {
    for (bool attacked : {false, true}) {
        Squad* group = Group(2);
        auto* member = static_cast<PoolUnit*>(group->MemberAt(0));
        if (attacked) {
            PoolUnit* target = Enemy(Point(900, 900));
            groups.LaunchAttack(*group, *target);
            target->destroyed = 1;
        }
        const size_t before = member->given.size();
        groups.MaintainGroups();
        EXPECT_EQ(member->given.size() - before, attacked ? 1u : 0u) << attacked;
        EXPECT_EQ(group->manoeuvres.Find(1) != nullptr, attacked) << attacked;
        groups.DeleteChild(group);
    }
}

// Of several groups that may go, the one whose formation centre lies nearest the target is
// sent; of equal distances the later group.
TEST_F(GroupTest, TheGroupGatheredNearestTheTargetIsSentTheLaterOfEquals) {
    PoolUnit* target = Enemy(Point(1000, 1000));
    struct Case {
        int first;  // the formation centres' distances west of the target
        int second;
        int picked;
    };
    for (const Case& c : {Case{100, 300, 0}, Case{300, 100, 1}, Case{200, 200, 1}}) {
        Squad* made[2] = {Group(1), Group(1)};
        made[0]->manoeuvres.Add(w.rules.Formation(Point(1000 - c.first, 1000), 8));
        made[1]->manoeuvres.Add(w.rules.Formation(Point(1000 - c.second, 1000), 8));
        EXPECT_EQ(groups.PickAttackGroup(*target, 1), made[c.picked]) << c.first << " " << c.second;
        for (Squad* group : made)
            groups.DeleteChild(group);
    }
}

// A new member of the defence group explores out of sight only once there is a team to fight;
// it never regroups the defence.
TEST_F(GroupTest, ANewDefenderSeeksOutOfSightOnlyOnceThereIsATarget) {
    Squad* defence = Group(0, 6);
    groups.defenceId = defence->Id();
    for (int32_t targetTeam : {0, 1}) {
        PoolUnit* unit = w.AddOwned(Point(600, 600));
        RuleManoeuvre* explore = unit->Give(14);
        defence->AddMember(*unit, 1);
        w.controller->targetTeam = targetTeam;
        SimId id = unit->id;
        groups.OnEvent(AIController::kUnitBuilt, nullptr, &id);
        EXPECT_EQ(explore->seeking, targetTeam != 0 ? 1 : 0) << targetTeam;
        EXPECT_EQ(defence->manoeuvres.Count(), 0);
    }
}

// Only the first unit ordered for an empty group of a type-0 strategy asks for kind-2 items.
TEST_F(GroupTest, OnlyAnEmptyGroupOfATypeZeroStrategyAsksForKindTwoItems) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    struct Case {
        int32_t strategy;
        int members;
        bool kindTwo;
    };
    for (const Case& c : {Case{0x20, 0, true}, Case{0x00, 0, false}, Case{0x20, 1, false}}) {
        w.controller->strategyBits = c.strategy;
        groups.MakePlan();
        auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
        plan->raid = 0;
        Squad* group = groups.FindChild(plan->squadId);
        for (int i = 0; i < c.members; ++i)
            group->AddMember(*w.AddOwned(Point(1200, 200)), 1);
        ASSERT_EQ(groups.Think(), 1);
        const auto orders = w.Orders(7);
        ASSERT_EQ(orders.size(), 1u) << c.strategy << " " << c.members;
        EXPECT_EQ(orders[0]->FindEntry(2) != nullptr, c.kindTwo) << c.strategy << " " << c.members;
        w.controller->buildOrders.DeleteAll();
        delete plan;
        groups.DeleteChild(group);
    }
}

namespace {

// The keys of the controller's type queue, front first.
std::vector<int32_t> TypeQueue(const AIController& c) {
    std::vector<int32_t> keys;
    for (ListNode* n = c.typeQueue.First(); n; n = c.typeQueue.Next(n))
        keys.push_back(n->key);
    return keys;
}

}  // namespace

// The defence request: priority 3 only above level 1 with no chosen target team, break-off at
// 40 once there are repairers, sensors and a type-0 structure wanted by strategy 0x20, and the
// second clan's drive preference with strategy 0x04.
TEST(GroupRequests, TheDefenceRequestFollowsLevelTargetRepairersStrategyAndClan) {
    struct Case {
        int level;
        int32_t targetTeam;
        int32_t repairers;
        int32_t strategy;
        char clan;
        int32_t priority;
        int32_t breakOff;
    };
    const Case cases[] = {
        {1, 0, 0, 0x20, 'V', 5, 70}, {2, 0, 0, 0x20, 'V', 3, 70}, {2, 1, 0, 0x00, 'V', 5, 70},
        {5, 0, 1, 0x00, 'V', 3, 40}, {3, 0, 0, 0x04, 'T', 3, 70}, {3, 0, 0, 0x24, 'V', 3, 70},
        {3, 1, 2, 0x00, 'T', 5, 40},
    };
    for (const Case& c : cases) {
        ManagerWorld w(c.level, 5);
        AIController& controller = *w.controller;
        controller.strategyBits = c.strategy;
        controller.targetTeam = c.targetTeam;
        controller.repairerCount = c.repairers;
        controller.clan = c.clan;
        controller.typeQueue.DeleteAll();
        AIGroupManager& groups = *controller.groupManager;
        ASSERT_EQ(groups.Think(), 1);
        const auto orders = w.Orders(6);
        ASSERT_EQ(orders.size(), 1u);
        const DesignRules& order = *orders[0];
        const std::string what = std::to_string(c.level) + " " + std::to_string(c.targetTeam) +
                                 " " + std::to_string(c.strategy) + c.clan;
        EXPECT_EQ(AIController::OrderSquad(order), groups.defenceId) << what;
        EXPECT_EQ(AIController::OrderPriority(order), c.priority) << what;
        EXPECT_EQ(order.presets[1], c.breakOff) << what;
        EXPECT_EQ(order.presets[0], 5);
        EXPECT_EQ(order.presets[2], 0);
        EXPECT_EQ(order.presets[4], 1);
        EXPECT_EQ(order.presets[6], 3);
        const bool sensors = (c.strategy & 0x20) != 0;
        EXPECT_EQ(order.FindEntry(2, 1) != nullptr, sensors) << what;
        EXPECT_EQ(TypeQueue(controller), sensors ? std::vector<int32_t>{0} : std::vector<int32_t>{})
            << what;
        ASSERT_NE(order.FindEntry(0, 0), nullptr);
        EXPECT_EQ(order.FindEntry(0, 0)->flags & 0x1e0u, 0x1e0u);
        ASSERT_NE(order.FindEntry(3, 1), nullptr);
        const bool drive = c.clan == 'T' && (c.strategy & 0x04);
        EXPECT_EQ(order.FindEntry(1, 0) != nullptr, drive) << what;
        EXPECT_EQ(order.FindEntry(1, 1) != nullptr, drive) << what;
        if (drive) {
            EXPECT_EQ(order.FindEntry(1, 0)->flags & 8u, 8u);
            EXPECT_EQ(order.FindEntry(1, 1)->flags & 0x10u, 0x10u);
        }
    }
}

// The attack request of an empty group asks the second clan's drive preference three times in
// four; a group with members asks for its first member's drive.
TEST_F(GroupTest, AnAttackRequestAsksForTheDriveOfTheGroupsFirstMember) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    w.controller->strategyBits = 0x04;
    int preferred[2] = {};
    for (char clan : {'V', 'T'}) {
        w.controller->clan = clan;
        for (uint32_t seed = 1; seed <= 24; ++seed) {
            SeedRandom(seed);
            groups.MakePlan();
            auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
            plan->raid = 0;
            plan->kind3 = static_cast<int32_t>(seed % 2);
            ASSERT_EQ(groups.Think(), 1);
            const auto orders = w.Orders(7);
            ASSERT_EQ(orders.size(), 1u);
            const DesignRules& order = *orders[0];
            if (order.FindEntry(1, 1)) {
                ++preferred[clan == 'T'];
                EXPECT_EQ(order.FindEntry(1, 1)->flags & 0x10u, 0x10u);
                ASSERT_NE(order.FindEntry(1, 0), nullptr);
                EXPECT_EQ(order.FindEntry(1, 0)->flags & 8u, 8u);
            }
            // The plan's kind-3 flag sets flag 1 of category 3; without it the entry is bare.
            ASSERT_NE(order.FindEntry(3, 1), nullptr);
            EXPECT_EQ(order.FindEntry(3, 1)->flags, plan->kind3 ? 1u : 0u) << seed;
            EXPECT_EQ(order.presets[0], 4);
            EXPECT_EQ(order.presets[2], 0);
            EXPECT_EQ(order.presets[4], 2);
            EXPECT_EQ(order.presets[6], 3);
            EXPECT_EQ(AIController::OrderPriority(order), 5);
            w.controller->buildOrders.DeleteAll();
            groups.DeleteChild(groups.FindChild(plan->squadId));
            delete plan;
        }
    }
    EXPECT_EQ(preferred[0], 0);
    EXPECT_GT(preferred[1], 12);
    EXPECT_LT(preferred[1], 24);
    // A group with members: its first member's drive letter, no clan preference.
    w.controller->clan = 'T';
    groups.MakePlan();
    auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
    plan->raid = 0;
    Squad* group = groups.FindChild(plan->squadId);
    PoolUnit* first = w.AddOwned(Point(1200, 200));
    first->ownDesign->drive = w.kit.drive.get();
    group->AddMember(*first, 1);
    for (int i = 0; i < 30; ++i) {
        SeedRandom(static_cast<uint32_t>(100 + i));
        ASSERT_EQ(groups.Think(), 1);
        const auto orders = w.Orders(7);
        ASSERT_EQ(orders.size(), 1u);
        const PartRule* drive = orders[0]->FindEntry(1, 1);
        ASSERT_NE(drive, nullptr);
        EXPECT_EQ(drive->letters[0], w.kit.drive->role);
        EXPECT_EQ(drive->letters[1], '\0');
        EXPECT_EQ(orders[0]->FindEntry(1, 0), nullptr);
        w.controller->buildOrders.DeleteAll();
    }
}

// Each member is tuned by the first row that matches it or the target: hidden, a type-3
// structure, a factory, anything else; only the first two close in without retaliating.
TEST_F(GroupTest, LaunchedAttacksTuneEachMemberByTheFirstMatchingRow) {
    AIUnit* cloak = w.AddStructure(ManagerWorld::kTeam, Point(200, 200), 1);
    w.world.structureCodeOf = [cloak](GameObject* o) { return o == cloak ? 1 : -1; };
    PoolUnit* unit = Enemy(Point(900, 900));
    PoolUnit* heavy = w.AddPoolUnit(1, Point(900, 900), w.kit.Structure(3), 7);
    PoolUnit* light = w.AddPoolUnit(1, Point(900, 900), w.kit.Structure(2), 7);
    FakeFactory* factory = w.AddFactory(1, Point(1000, 1000));
    struct Case {
        GameObject* target;
        bool hidden;
        int32_t repairers;
        int p0;  // of the visible member
        int p4;
        bool retaliates;
        int heavyHitsAfter;
    };
    const Case cases[] = {
        {unit, false, 0, 4, 3, true, 4},    {unit, true, 1, 4, 3, false, 4},
        {factory, false, 0, 3, 3, true, 4}, {factory, true, 0, 3, 3, false, 4},
        {heavy, false, 1, 2, 2, false, 0},  {light, false, 0, 4, 3, true, 4},
    };
    for (const Case& c : cases) {
        Squad* group = Group(2);
        auto* visible = static_cast<PoolUnit*>(group->MemberAt(0));
        auto* hidden = static_cast<PoolUnit*>(group->MemberAt(1));
        hidden->stealth.hiddenB = c.hidden ? 1 : 0;
        w.controller->repairerCount = c.repairers;
        groups.heavyHits = 4;
        groups.LaunchAttack(*group, *c.target);
        const std::string what = std::to_string(c.target->GetKind()) + " " +
                                 std::to_string(c.hidden) + " " + std::to_string(c.repairers);
        EXPECT_EQ(visible->GetDesign()->parameters[0], c.p0) << what;
        EXPECT_EQ(visible->GetDesign()->parameters[4], c.p4) << what;
        EXPECT_EQ(hidden->GetDesign()->parameters[0], c.hidden ? 1 : c.p0) << what;
        EXPECT_EQ(hidden->GetDesign()->parameters[4], c.hidden ? 2 : c.p4) << what;
        for (PoolUnit* member : {visible, hidden}) {
            EXPECT_EQ(member->GetDesign()->parameters[5], 1);
            EXPECT_EQ(member->GetDesign()->parameters[1], c.repairers ? 50 : 70) << what;
            EXPECT_EQ(member->rebuilds, 1);
            EXPECT_EQ(member->clears, 1);
            ASSERT_EQ(member->given.size(), 1u);
            EXPECT_EQ(member->given[0].code, 9);
        }
        EXPECT_EQ(group->manoeuvres.Find(12) != nullptr, c.retaliates) << what;
        EXPECT_EQ(group->manoeuvres.Count(), c.retaliates ? 2 : 1) << what;
        EXPECT_EQ(groups.AttackTargetOf(*group), c.target);
        EXPECT_EQ(groups.heavyHits, c.heavyHitsAfter) << what;
        groups.DeleteChild(group);
    }
}

// Damage to the team's units remembers the attacker by what was hit: the factory, a miner, a
// repairer or a structure; other units are not remembered.
TEST_F(GroupTest, AttackersAreRememberedByWhatTheyHit) {
    PoolUnit* attacker = Enemy(Point(900, 900));
    struct Case {
        GameObject* hit;
        SimId AIGroupManager::*slot;
    };
    const Case cases[] = {
        {w.factory, &AIGroupManager::factoryAttacker},
        {w.AddOwned(Point(500, 500), 'f'), &AIGroupManager::minerAttacker},
        {w.AddOwned(Point(500, 500), 'k'), &AIGroupManager::repairerAttacker},
        {w.AddStructure(ManagerWorld::kTeam, Point(500, 500), 2),
         &AIGroupManager::structureAttacker},
        {w.AddOwned(Point(500, 500), 'h'), nullptr},
        {w.AddOwned(Point(500, 500), 'a'), nullptr},
    };
    for (const Case& c : cases) {
        for (SimId* id : {&groups.factoryAttacker, &groups.minerAttacker, &groups.repairerAttacker,
                          &groups.structureAttacker})
            *id = SimId();
        SimId by = attacker->id;
        groups.OnEvent(7, c.hit, &by);
        groups.OnEvent(7, c.hit, nullptr);
        groups.OnEvent(7, nullptr, &by);
        for (SimId AIGroupManager::*slot :
             {&AIGroupManager::factoryAttacker, &AIGroupManager::minerAttacker,
              &AIGroupManager::repairerAttacker, &AIGroupManager::structureAttacker})
            EXPECT_EQ(groups.*slot == by, slot == c.slot) << c.hit->GetKind();
    }
}

// A group's unit may serve a higher-priority request unless its first goal is an attack.
TEST_F(GroupTest, AUnitIsLentOnlyToAHigherPriorityAndNeverWhileAttacking) {
    PoolUnit* target = Enemy(Point(900, 900));
    struct Case {
        int goal;  // 0 none, 1 a place, 2 an attack
        int higher;
        int lent;
    };
    for (const Case& c : {Case{0, 1, 1}, Case{1, 1, 1}, Case{2, 1, 0}, Case{0, 0, 0}, Case{1, 0, 0},
                          Case{2, 0, 0}}) {
        PoolUnit* unit = w.AddOwned(Point(500, 500));
        if (c.goal == 1) unit->AddGoal(Point(800, 800));
        if (c.goal == 2)
            unit->goals.PushBack(std::make_unique<TargetGoal>(unit->id, target->id, Point(), 1, 1));
        EXPECT_EQ(groups.IsUnitAvailable(*unit, c.higher), c.lent) << c.goal << " " << c.higher;
    }
}

// An enemy factory is remembered only when it stands farther than one and a half of its engage
// range (32 here) from ours, and never an ally's nor an object that is no factory.
TEST_F(GroupTest, AnEnemyFactoryTooCloseOrAlliedIsNotRemembered) {
    FakeFactory* enemy = w.AddFactory(1, Point(640, 640));
    PoolUnit* unit = Enemy(Point(900, 900));
    struct Case {
        GameObject* seen;
        int dx;
        bool allied;
        bool remembered;
    };
    for (const Case& c : {Case{enemy, 48, false, false}, Case{enemy, 49, false, true},
                          Case{enemy, 49, true, false}, Case{unit, 200, false, false}}) {
        c.seen->SetPosition(w.factory->GetCentre() + Point(c.dx, 0));
        // A sight grid nobody has looked through yet.
        auto grid =
            std::make_unique<SightGrid>(w.world.sight->CellSize(), w.world.sight->AreaSize(), 1);
        std::swap(w.world.sight, grid);
        w.world.alliance[1][2] = w.world.alliance[2][1] = c.allied ? World::kAllied : 0;
        groups.spottedFactory = SimId();
        groups.OnEvent(AIController::kEnemySeen, nullptr, c.seen);
        EXPECT_EQ(groups.spottedFactory == c.seen->id, c.remembered) << c.dx << " " << c.allied;
        std::swap(w.world.sight, grid);
    }
}

// A smaller group that is ready weighs the enemies round the target (or everywhere while the
// team is outnumbered): fewer than half its size and it goes; fewer than twice its size and
// the strength balance must beat the attack threshold; more and it stays.
TEST_F(GroupTest, ASmallerGroupWeighsTheEnemiesRoundTheTargetAgainstItsSize) {
    const Size cell = w.controller->Grid()->CellSize();
    const Point target(cell.w / 2, cell.h / 2);
    // Three cells away: outside the 5 x 5 block round the target's cell.
    const Point far(target.x + 3 * cell.w, target.y + 3 * cell.h);
    struct Case {
        int size;
        int near;  // enemies by the target (the target among them)
        int distant;
        bool outnumbered;
        int32_t threshold;
        bool picked;
    };
    const Case cases[] = {
        {3, 1, 0, false, 100000, true},   // 2 × 1 < 3
        {2, 1, 0, false, 100000, false},  // 2 × 1 = 2: the balance decides
        {2, 1, 0, false, -100000, true},
        {2, 3, 0, false, -100000, true},   // 3 < 2 × 2
        {2, 4, 0, false, -100000, false},  // 4 = 2 × 2: too many
        {2, 1, 4, false, -100000, true},
        {2, 1, 4, true, -100000, false},  // outnumbered: the distant ones count too
        {3, 1, 1, true, 100000, false},
        {3, 1, 0, true, 100000, true},
    };
    for (const Case& c : cases) {
        std::vector<PoolUnit*> enemies;
        for (int i = 0; i < c.near; ++i)
            enemies.push_back(Enemy(Point(target.x + 4 * i, target.y)));
        for (int i = 0; i < c.distant; ++i)
            enemies.push_back(Enemy(Point(far.x + 4 * i, far.y)));
        w.Refresh();
        Squad* group = Group(c.size, 7, Point(target.x + cell.w, target.y));
        groups.outnumbered = c.outnumbered ? 1 : 0;
        groups.AttackThreshold();
        groups.attackThreshold = c.threshold;
        EXPECT_EQ(groups.PickAttackGroup(*enemies[0], 0) == group, c.picked)
            << c.size << " " << c.near << " " << c.distant << " " << c.outnumbered << " "
            << c.threshold;
        groups.DeleteChild(group);
        // Gone from the grid at the next count.
        for (PoolUnit* e : enemies)
            e->destroyed = 1;
    }
}

// A raid group answers only an urgent call against no factory while the team has its raid
// structure; a group already attacking answers only an urgent call against something at most
// as far from it as what it chases.
TEST_F(GroupTest, RaidAndAttackingGroupsAnswerOnlyUrgentCalls) {
    AIUnit* raidStructure = w.AddStructure(ManagerWorld::kTeam, Point(200, 200), 5);
    bool standing = true;
    w.world.structureCodeOf = [raidStructure, &standing](GameObject* o) {
        return o == raidStructure && standing ? 5 : -1;
    };
    FakeFactory* factory = w.AddFactory(1, Point(600, 1000));
    PoolUnit* chased = Enemy(Point(600, 900));  // 300 from the group
    struct Case {
        int kind;
        int chasing;  // 0 nothing, 1 the enemy at 300, 2 the target itself
        int targetDistance;
        bool factoryTarget;
        int urgent;
        bool structure;
        bool picked;
    };
    const Case cases[] = {
        {8, 0, 200, false, 1, true, true},  {8, 0, 200, false, 1, false, false},
        {8, 0, 400, true, 1, true, false},  {8, 0, 200, false, 0, true, false},
        {7, 1, 299, false, 1, true, true},  {7, 1, 300, false, 1, true, true},
        {7, 1, 301, false, 1, true, false}, {7, 2, 300, false, 1, true, false},
        {7, 1, 100, false, 0, true, false}, {7, 0, 100, false, 0, true, true},
        {7, 0, 400, true, 0, false, true},
    };
    for (const Case& c : cases) {
        standing = c.structure;
        w.world.NoteTeamSimsChanged(ManagerWorld::kTeam);
        GameObject* target = c.factoryTarget ? static_cast<GameObject*>(factory) : nullptr;
        if (c.chasing == 2) target = chased;
        if (!target) target = Enemy(Point(600, 600 + c.targetDistance));
        target->SetPosition(Point(600, 600 + c.targetDistance));
        Squad* group = Group(4, c.kind);
        // Four members round (600, 600), their centroid.
        for (int i = 0; i < 4; ++i)
            group->MemberAt(i)->SetPosition(Point(600 + (i % 2 ? 15 : -15), 600));
        if (c.chasing) group->manoeuvres.Add(w.rules.Attack(chased->id));
        EXPECT_EQ(groups.PickAttackGroup(*target, c.urgent) == group, c.picked)
            << c.kind << " " << c.chasing << " " << c.targetDistance << " " << c.factoryTarget
            << " " << c.urgent << " " << c.structure;
        groups.DeleteChild(group);
        chased->SetPosition(Point(600, 900));
    }
}

// Each think step does one thing and says so: the defence group first, then a plan, its
// request, and nothing while the request is out.
TEST_F(GroupTest, EachThinkStepDoesOneThingInOrder) {
    EXPECT_EQ(groups.Think(), 1);
    ASSERT_NE(groups.FindChild(groups.defenceId), nullptr);
    EXPECT_EQ(w.Orders(6).size(), 1u);
    EXPECT_TRUE(groups.plans.IsEmpty());
    EXPECT_EQ(groups.Think(), 1);
    ASSERT_EQ(groups.plans.Count(), 1);
    EXPECT_TRUE(w.Orders(7).empty() && w.Orders(8).empty());
    EXPECT_EQ(groups.Think(), 1);
    EXPECT_EQ(w.Orders(7).size() + w.Orders(8).size(), 1u);
    EXPECT_EQ(groups.Think(), 0);
    EXPECT_EQ(groups.plans.Count(), 1);
}

// The threshold rises after an attack only while it is below 1.
TEST_F(GroupTest, TheThresholdRisesOnlyWhileBelowOne) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    Group(1, 7, Point(300, 300));
    // Equally far: each call sends the group from one to the other.
    PoolUnit* enemies[2] = {Enemy(Point(300, 900)), Enemy(Point(900, 300))};
    for (int32_t before : {-1, 0, 1, 2}) {
        groups.AttackThreshold();
        groups.attackThreshold = before;
        groups.factoryAttacker = enemies[before & 1]->id;
        ASSERT_EQ(groups.Think(), 1);
        const int32_t rise = groups.attackThreshold - before;
        if (before < 1) {
            EXPECT_GE(rise, 5) << before;
            EXPECT_LE(rise, 10) << before;
        } else {
            EXPECT_EQ(rise, 0) << before;
        }
    }
}

namespace {

std::unique_ptr<ChassisTemplate> Chassis(int32_t secondCost, int32_t firstCost, int32_t buildTime) {
    ChassisValues v;
    v.clan = 'V';
    v.role = 'a';
    v.secondCost = secondCost;
    v.firstCost = firstCost;
    v.buildTime = buildTime;
    return std::make_unique<ChassisTemplate>(v);
}

}  // namespace

// Against a team with a factory the raid group leaves alone what is no stronger than itself in
// each of the three design sums; one sum above the group's makes a target.
TEST_F(GroupTest, ARaidGroupSkipsTheWeakerUnitsOfATeamWithAFactory) {
    AIUnit* structure = w.AddStructure(ManagerWorld::kTeam, Point(700, 700), 5);
    w.world.structureCodeOf = [structure](GameObject* o) { return o == structure ? 5 : -1; };
    const std::unique_ptr<ChassisTemplate> own = Chassis(10, 100, 500);
    // An assault group comes first: it is no raid group.
    Group(0, 7);
    auto raid = std::make_unique<Squad>(ManagerWorld::kTeam);
    raid->purpose = 8;
    Squad* group = groups.AddChild(std::move(raid));
    for (int i = 0; i < 2; ++i) {
        PoolUnit* member = w.AddPoolUnit(ManagerWorld::kTeam, Point(600 + 10 * i, 600), own.get());
        member->SetOwner(w.controller);
        group->AddMember(*member, 1);
    }
    w.AddFactory(1, Point(1200, 1200));
    struct Case {
        int32_t second, first, time;
        bool target;
    };
    for (const Case& c :
         {Case{20, 200, 1000, false}, Case{21, 200, 1000, true}, Case{20, 201, 1000, true},
          Case{20, 200, 1001, true}, Case{0, 0, 0, false}}) {
        const std::unique_ptr<ChassisTemplate> theirs = Chassis(c.second, c.first, c.time);
        PoolUnit* enemy = w.AddPoolUnit(1, Point(900, 600), theirs.get());
        enemy->SetReferencePoint(ManagerWorld::kTeam, enemy->GetPosition());
        const AIGroupManager::Choice choice = groups.ChooseAttack();
        EXPECT_EQ(choice.group == group && choice.target == enemy, c.target)
            << c.second << " " << c.first << " " << c.time;
        enemy->destroyed = 1;
    }
    // Of two equally near, the first listed (the newer) is the target.
    const std::unique_ptr<ChassisTemplate> strong = Chassis(99, 999, 9999);
    PoolUnit* north = w.AddPoolUnit(1, Point(605, 400), strong.get());
    PoolUnit* south = w.AddPoolUnit(1, Point(605, 800), strong.get());
    for (PoolUnit* e : {north, south})
        e->SetReferencePoint(ManagerWorld::kTeam, e->GetPosition());
    EXPECT_EQ(groups.ChooseAttack().target, south);
}

// Without a remembered attacker or a raid, the rated targets are tried lowest rating first (of
// equals the one rated last), then the target team's factory.
TEST_F(GroupTest, TargetsAreTriedByRatingThenTheFactory) {
    w.controller->targetTeam = 1;
    // The raid structure stands, but there is no raid group.
    AIUnit* structure = w.AddStructure(ManagerWorld::kTeam, Point(700, 700), 5);
    w.world.structureCodeOf = [structure](GameObject* o) { return o == structure ? 5 : -1; };
    Squad* group = Group(4);
    FakeFactory* factory = w.AddFactory(1, Point(1200, 1200));
    PoolUnit* first = Enemy(Point(900, 900));
    PoolUnit* second = Enemy(Point(950, 900));
    PoolUnit* repairer = w.AddPoolUnit(1, Point(1000, 900), w.kit.Role('k'));
    repairer->SetReferencePoint(ManagerWorld::kTeam, repairer->GetPosition());
    PoolUnit* miner = w.AddPoolUnit(1, Point(1000, 1000), w.kit.Role('f'));
    miner->SetReferencePoint(ManagerWorld::kTeam, miner->GetPosition());
    for (GameObject* expected :
         {static_cast<GameObject*>(miner), static_cast<GameObject*>(repairer),
          static_cast<GameObject*>(first), static_cast<GameObject*>(second),
          static_cast<GameObject*>(factory)}) {
        const AIGroupManager::Choice choice = groups.ChooseAttack();
        EXPECT_EQ(choice.group, group);
        ASSERT_EQ(choice.target, expected);
        if (expected != factory) static_cast<PoolUnit*>(expected)->destroyed = 1;
    }
}

// Strategy 0x02 makes two plans in three ask for kind-3 items and wants a type-1 structure.
TEST_F(GroupTest, PlansOfStrategyTwoMostlyAskForKindThreeItems) {
    AIController& c = *w.controller;
    for (int32_t strategy : {0x00, 0x02}) {
        c.strategyBits = strategy;
        int kind3 = 0;
        for (uint32_t seed = 1; seed <= 30; ++seed) {
            SeedRandom(seed);
            c.typeQueue.DeleteAll();
            groups.MakePlan();
            auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
            EXPECT_GE(plan->mode, 1);
            EXPECT_LE(plan->mode, 3);
            EXPECT_EQ(plan->raid, 0);
            EXPECT_EQ(plan->wantedSize, 1);
            kind3 += plan->kind3;
            EXPECT_EQ(TypeQueue(c), plan->kind3 ? std::vector<int32_t>{1} : std::vector<int32_t>{});
            groups.DeleteChild(groups.FindChild(plan->squadId));
            delete plan;
        }
        if (strategy == 0) {
            EXPECT_EQ(kind3, 0);
        } else {
            EXPECT_GT(kind3, 12);
            EXPECT_LT(kind3, 30);
        }
    }
}

// The think step counts the team outnumbered when the target team has more than twice its
// combat units; with no target team never.
TEST_F(GroupTest, OutnumberedMeansMoreThanTwiceTheCombatUnits) {
    Group(1, 6);  // one own combat unit
    struct Case {
        int32_t targetTeam;
        int enemies;
        int outnumbered;
    };
    int made = 0;
    for (const Case& c : {Case{1, 2, 0}, Case{1, 3, 1}, Case{0, 3, 0}}) {
        w.world.localPlayer.first = c.targetTeam == 0 ? ManagerWorld::kTeam : 1;
        w.controller->targetTeam = c.targetTeam;
        for (; made < c.enemies; ++made)
            Enemy(Point(900 + 10 * made, 900));
        w.Refresh();
        groups.Think();
        EXPECT_EQ(groups.outnumbered, c.outnumbered) << c.targetTeam << " " << c.enemies;
    }
}

// An empty defence group goes once no order for it is out, and the next think step makes a new
// one at once.
TEST_F(GroupTest, AnEmptyDefenceGroupGoesOnceItsOrderIsNoLongerOut) {
    ASSERT_EQ(groups.Think(), 1);
    const int32_t first = groups.defenceId;
    ASSERT_NE(first, 0);
    groups.MaintainGroups();
    EXPECT_EQ(groups.defenceId, first);
    w.controller->buildOrders.DeleteAll();
    groups.MaintainGroups();
    EXPECT_EQ(groups.defenceId, 0);
    EXPECT_EQ(groups.FindChild(first), nullptr);
    EXPECT_EQ(groups.children.Count(), 0);
    ASSERT_EQ(groups.Think(), 1);
    EXPECT_NE(groups.defenceId, 0);
    EXPECT_NE(groups.defenceId, first);
    EXPECT_EQ(w.Orders(6).size(), 1u);
}

// The first plan in list order whose group is there and has no order out is ready; a plan
// whose group is gone is dropped on the way.
TEST_F(GroupTest, TheFirstPlanWithoutAnOrderOutIsReadyAndOrphanedPlansAreDropped) {
    w.controller->strategyBits = 0;
    std::vector<AIGroupManager::GroupPlan*> made;
    for (int i = 0; i < 3; ++i) {
        groups.MakePlan();
        made.push_back(static_cast<AIGroupManager::GroupPlan*>(groups.plans.First()));
    }
    // The list runs newest first.
    std::vector<AIGroupManager::GroupPlan*> listed;
    for (ListNode* n = groups.plans.First(); n; n = groups.plans.Next(n))
        listed.push_back(static_cast<AIGroupManager::GroupPlan*>(n));
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(groups.FindReadyPlan(), groups.FindChild(listed[0]->squadId));
    // An order out for the first: the second is ready.
    DesignRules order;
    AIController::SetOrderSquad(order, listed[0]->squadId);
    AIController::SetOrderPurpose(order, 7);
    w.controller->RequestUnits(order, 0, nullptr, 0, 1);
    ASSERT_EQ(w.Orders(7).size(), 1u);
    EXPECT_EQ(groups.FindReadyPlan(), groups.FindChild(listed[1]->squadId));
    // The second's group is gone: its plan goes and the third is ready.
    const int32_t third = listed[2]->squadId;
    groups.DeleteChild(groups.FindChild(listed[1]->squadId));
    EXPECT_EQ(groups.FindReadyPlan(), groups.FindChild(third));
    EXPECT_EQ(groups.plans.Count(), 2);
    EXPECT_EQ(groups.PlanOf(listed[0]->squadId), listed[0]);
    EXPECT_EQ(groups.PlanOf(third), listed[2]);
    // A raid order counts as well.
    DesignRules raid;
    AIController::SetOrderSquad(raid, third);
    AIController::SetOrderPurpose(raid, 8);
    w.controller->RequestUnits(raid, 0, nullptr, 0, 1);
    EXPECT_EQ(groups.FindReadyPlan(), nullptr);
    EXPECT_EQ(groups.plans.Count(), 2);
}

// An attack request takes a free unit of the team at once (a defence request never does): it
// joins the planned group, which gathers round it, and no order is queued.
TEST_F(GroupTest, AnAttackRequestTakesAFreeUnitAndTheGroupGathersRoundIt) {
    Squad* defence = Group(1, 6);
    groups.defenceId = defence->Id();
    w.controller->strategyBits = 0;
    groups.MakePlan();
    auto* plan = static_cast<AIGroupManager::GroupPlan*>(groups.plans.First());
    plan->raid = 0;
    PoolUnit* free = w.AddOwned(Point(700, 700));
    ASSERT_EQ(groups.Think(), 1);
    Squad* group = groups.FindChild(plan->squadId);
    ASSERT_EQ(group->MemberCount(), 1);
    EXPECT_EQ(group->MemberAt(0), free);
    EXPECT_TRUE(w.Orders(7).empty());
    EXPECT_NE(group->manoeuvres.Find(1), nullptr);
    EXPECT_EQ(free->GetDesign()->parameters[0], 4);
    ASSERT_FALSE(free->given.empty());
    EXPECT_EQ(free->given.back().code, 9);
}

// Of the deposits a group could hold only the two nearest the factory are gather candidates.
TEST_F(GroupTest, OnlyTheTwoNearestDepositsAreGatherCandidates) {
    w.AddFactory(1, Point(880, 640));
    const Point deposits[] = {Point(640, 900), Point(300, 640), Point(640, 440)};
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<GameObject> deposit =
            std::make_unique<TestObject>(0, 700 + i, deposits[i], 9);
        w.world.AddOreDeposit(deposit);
    }
    auto unseen =
        std::make_unique<SightGrid>(w.world.sight->CellSize(), w.world.sight->AreaSize(), 1);
    std::swap(w.world.sight, unseen);
    Squad* group = Group(2);
    std::set<std::pair<int, int>> points;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SeedRandom(seed * 13);
        const Point p = groups.ChooseGatherPoint(*group);
        points.insert({p.x, p.y});
    }
    EXPECT_EQ(points.count({640, 440}), 1u);
    EXPECT_EQ(points.count({640, 900}), 1u);
    // Otherwise a half, a third or a quarter of the way to the enemy factory.
    const std::set<std::pair<int, int>> expected = {
        {640, 440}, {640, 900}, {760, 640}, {720, 640}, {700, 640}};
    for (const auto& p : points)
        EXPECT_EQ(expected.count(p), 1u) << p.first << " " << p.second;
    std::swap(w.world.sight, unseen);
}
