// The combat manoeuvres: who a guard or a squad takes on, when an attack is given or given up,
// retaliation within one pass, what follows a fight, and turning toward an attacker.
#include <gtest/gtest.h>

#include <string>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "core/EventReceiver.h"
#include "core/SquadDirectory.h"
#include "objects/AbandonTargetManoeuvre.h"
#include "objects/AfterCombatManoeuvre.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FaceAttackerManoeuvre.h"
#include "objects/FireControl.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreList.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ManoeuvreTestSupport.h"
#include "objects/PartAttachment.h"
#include "objects/RetaliateManoeuvre.h"
#include "objects/SimGroup.h"
#include "objects/TargetGoal.h"

namespace {

class CombatRules : public ::testing::Test, public UnitField {};

TEST_F(CombatRules, AGuardTakesOnTheEnemyNearItAndOnlyAGuard) {
    Sim* guard = Unit(1, Point(300, 300));
    Sim* enemy = Unit(2, Point(400, 300));
    world.objectNear = [&](GameObject*, int) -> GameObject* { return enemy; };
    Events events;
    world.controllers[1] = &events;
    AssignTargetManoeuvre rule;
    EXPECT_EQ(rule.Execute(*guard), 0);
    guard->IssueOrder(Sim::kOrderGuard, 0, guard->GetPosition(), SimId());
    ASSERT_EQ(guard->IsGuarding(), 1);
    guard->ClearGoals();
    EXPECT_EQ(rule.Execute(*guard), 1);
    EXPECT_TRUE(Aims(guard->goals.Front(), enemy));
    EXPECT_EQ(events.kinds, std::vector<int>{0});
    // On its way somewhere it still looks round itself, not only at who shot it last.
    guard->ClearGoals();
    guard->goals.PushBack(std::make_unique<LocationGoal>(guard->id, Point(300, 600), 0, 1, 1));
    EXPECT_EQ(rule.Execute(*guard), 1);
    EXPECT_TRUE(Aims(guard->goals.Front(), enemy));
}

// A guard takes on no one while it waits for repair, while it already attacks an enemy, or when
// the one it would take is dead; following a friend it answers who shot it last, not who is near.
// A computer player's guard takes the nearest enemy whose shields bring its every hit to nothing
// for none: the manoeuvre below it answers its attacker.
TEST_F(CombatRules, AGuardBusyOrFacingTheDeadTakesNoOneAndAFollowerAnswersItsAttacker) {
    enum class Busy { Repair, Attacking, DeadNear, Following, UnhurtNear };
    for (Busy busy :
         {Busy::Repair, Busy::Attacking, Busy::DeadNear, Busy::Following, Busy::UnhurtNear}) {
        Sim* guard = Unit(1, Point(300, 300));
        Sim* near = Unit(2, Point(400, 300));
        if (busy == Busy::UnhurtNear) {
            std::unique_ptr<GameObject> shielded = kit.MakeSim(
                2, ++serial, Point(400, 300), std::vector<MountTemplate*>(3, kit.Defence('b')));
            world.Forget(near);
            near = static_cast<Sim*>(shielded.get());
            world.AddSim(shielded);
        }
        Sim* shooter = Unit(2, Point(300, 400));
        Sim* other = Unit(2, Point(200, 300));
        Sim* friendUnit = Unit(1, Point(300, 200));
        world.objectNear = [&](GameObject*, int) -> GameObject* { return near; };
        Events events;
        world.controllers[1] = &events;
        world.localTeamAutoPlayed = busy == Busy::UnhurtNear ? 1 : 0;
        guard->IssueOrder(Sim::kOrderGuard, 0, guard->GetPosition(), SimId());
        guard->ClearGoals();
        guard->SetLastAttacker(shooter);
        const int name = static_cast<int>(busy);
        switch (busy) {
            case Busy::Repair:
                guard->goals.PushBack(std::make_unique<RepairWait>(guard->id));
                break;
            case Busy::Attacking:
                guard->goals.PushBack(
                    std::make_unique<TargetGoal>(guard->id, other->id, Point(), 1, 1));
                break;
            case Busy::DeadNear:
                near->damage.Add(near->damage.Max() + 1);
                ASSERT_EQ(near->IsDestroyed(), 1);
                break;
            case Busy::Following:
                guard->goals.PushBack(
                    std::make_unique<TargetGoal>(guard->id, friendUnit->id, Point(), 1, 1));
                break;
            case Busy::UnhurtNear:
                break;
        }
        Goal* before = guard->goals.Front();
        AssignTargetManoeuvre rule;
        EXPECT_EQ(rule.Execute(*guard), busy == Busy::Following ? 1 : 0) << name;
        if (busy == Busy::Following) {
            EXPECT_TRUE(Aims(guard->goals.Front(), shooter)) << name;
            EXPECT_EQ(events.kinds, std::vector<int>{0}) << name;
        } else {
            EXPECT_EQ(guard->goals.Front(), before) << name;
            EXPECT_TRUE(events.kinds.empty()) << name;
        }
        // The guard's manoeuvres in their order: the assignment first, the answer below it.
        ManoeuvreList list;
        auto assign = std::make_unique<AssignTargetManoeuvre>();
        assign->SetPriority(2);
        auto answer = std::make_unique<AttackManoeuvre>(1, 0);
        answer->SetPriority(7);
        list.Add(std::move(assign));
        list.Add(std::move(answer));
        list.RunForSim(*guard);
        if (busy == Busy::UnhurtNear) {
            EXPECT_TRUE(Aims(guard->goals.Front(), shooter)) << name;
            EXPECT_FALSE(Aims(guard->goals.Front(), near)) << name;
        }
        world.controllers[1] = nullptr;
        world.localTeamAutoPlayed = 0;
        guard->ClearGoals();
    }
}

// An enemy the unit sees is attacked; one out of its team's sight, or shown on its team's grid
// while the land hides it from the unit (nothing stands beside it), is approached: the unit drives
// to within 10 pixels of its centre. An approach to a hidden enemy is not given again while the
// unit heads for a place within two sight cells of its footprint (a route to the centre of a wide
// one ends at its side); one to an enemy out of the team's sight is, as the rule has it. None is
// given to a centre the unit's drive cannot reach.
TEST_F(CombatRules, AnEnemyTheUnitSeesIsAttackedAnyOtherApproachedAtItsCentreOnce) {
    Sim* unit = Unit(1, Point(100, 100));
    Sim* near = Unit(2, Point(160, 100));
    Sim* far = Unit(2, Point(900, 900));
    for (Sim* enemy : {near, far})
        world.paths.AddFootprint(enemy, enemy->GetPosition(), 0);
    // Two sight cells right of the near enemy's footprint, farther than that from its centre.
    const int twoCellsOff =
        near->GetFootprint().BottomRight().x - near->GetCentre().x + 2 * world.sight.CellSize().w;
    ASSERT_GT(twoCellsOff, 2 * world.sight.CellSize().w);
    world.commands.SetEnabled(1);
    struct Row {
        const char* name;
        Sim* enemy;
        int besideIt;   // an object stands within two cells of the enemy: the unit sees it
        int headingDx;  // the unit already heads this far right of the enemy's centre; -1 not
        char given;     // 'T' an attack, 'L' an approach, '-' nothing
    };
    const Row rows[] = {
        {"seen", near, 1, -1, 'T'},
        {"seen, heading to it", near, 1, 0, 'T'},
        {"shown, hidden from the unit", near, 0, -1, 'L'},
        {"hidden, heading to its centre", near, 0, 0, '-'},
        {"hidden, heading two sight cells off its side", near, 0, twoCellsOff, '-'},
        {"hidden, heading farther off", near, 0, twoCellsOff + 1, 'L'},
        {"out of the team's sight", far, 0, -1, 'L'},
        {"out of the team's sight, heading to it", far, 0, 0, 'L'},
        {"out of the team's sight and the unit's reach", far, 0, -1, '-'},
        {"hidden, out of the unit's reach", near, 0, -1, '-'},
    };
    for (const Row& row : rows) {
        world.objectAround = row.besideIt;
        world.outOfReach.clear();
        if (std::string(row.name).find("reach") != std::string::npos)
            world.outOfReach = {row.enemy->GetCentre()};
        if (row.headingDx >= 0)
            unit->AddGoal(std::make_unique<LocationGoal>(
                              unit->id, row.enemy->GetCentre() + Point(row.headingDx, 0), 10, 1, 1),
                          0);
        const size_t before = world.commands.Size();
        manoeuvre::GiveFrontGoal(*unit, manoeuvre::AttackOrApproach(*unit, *row.enemy));
        Goal* front = unit->goals.Front();
        if (row.given == 'T') {
            ASSERT_NE(front, nullptr) << row.name;
            EXPECT_EQ(front->GetType(), static_cast<int>(GoalType::Target)) << row.name;
            EXPECT_EQ(front->GetTarget(), row.enemy) << row.name;
        } else if (row.given == 'L') {
            ASSERT_EQ(front ? front->IsLocation() : 0, 1) << row.name;
            EXPECT_EQ(front->GetLocation(), row.enemy->GetCentre()) << row.name;
            EXPECT_EQ(static_cast<LocationGoal*>(front)->tolerance, 10) << row.name;
        }
        // A goal given is sent; nothing given leaves the queue as it was, and sends nothing.
        const int given = row.given == '-' ? 0 : 1;
        int held = 0;
        unit->goals.ForEach([&held](Goal&) { ++held; });
        EXPECT_EQ(held, (row.headingDx >= 0 ? 1 : 0) + given) << row.name;
        EXPECT_EQ(world.commands.Size() > before, given == 1) << row.name;
        unit->ClearGoals();
    }
    world.objectAround = 0;
    world.outOfReach.clear();
    for (Sim* enemy : {near, far})
        world.paths.RemoveFootprint(enemy, enemy->GetPosition(), 0);
}

// Members are handed out nearest first; of equally near ones the first listed goes first.
TEST(ManoeuvreHelpers, TakeNearestTakesTheClosestAndOfEqualsTheFirstListed) {
    const struct {
        Point p;
        std::vector<int> order;  // indices into the list below, as taken
    } rows[] = {{{200, 100}, {0, 1, 2}},
                {{290, 100}, {1, 2, 0}},
                {{200, 199}, {2, 0, 1}},
                {{100, 101}, {0, 2, 1}}};
    for (const auto& row : rows) {
        SquadField field;
        std::vector<GameObject*> made = {field.Make(1, Point(100, 100)),
                                         field.Make(1, Point(300, 100)),
                                         field.Make(1, Point(200, 200))};
        std::vector<GameObject*> list = made;
        std::vector<int> got;
        while (GameObject* taken = manoeuvre::TakeNearest(list, row.p))
            got.push_back(
                static_cast<int>(std::find(made.begin(), made.end(), taken) - made.begin()));
        EXPECT_EQ(got, row.order) << row.p.x << "," << row.p.y;
        EXPECT_TRUE(list.empty());
    }
}

TEST_F(CombatRules, ASquadSpreadsItsIdleMembersOverTheEnemiesTheLastTakingTheRest) {
    const struct {
        int idle;
        int targets;
        std::vector<int> perTarget;  // in the order the targets were found
    } cases[] = {{3, 2, {2, 1}}, {1, 3, {0, 0, 1}}, {0, 2, {0, 0}}, {2, 0, {}}};
    for (const auto& c : cases) {
        SquadField field;
        std::vector<Trooper*> idle;
        for (int i = 0; i < c.idle; ++i)
            idle.push_back(field.Member(Point(100 + 10 * i, 100), true));
        std::vector<Trooper*> targets;
        for (int i = 0; i < c.targets; ++i) {
            targets.push_back(field.Enemy(Point(600, 100 + 100 * i)));
            field.Member(Point(50, 50), false)->attacker = targets.back();
        }
        AssignTargetManoeuvre rule;
        EXPECT_EQ(rule.ExecuteForSquad(field.squad), c.idle > 0 && c.targets > 0 ? 1 : 0);
        // Found newest member first, each before its equals: the list keeps their making order.
        std::vector<int> got;
        for (Trooper* t : targets) {
            int n = 0;
            for (Trooper* m : idle)
                n += m->Attacks(t->id);
            got.push_back(n);
        }
        EXPECT_EQ(got, c.perTarget) << c.idle << " " << c.targets;
    }
}

// Targets are taken in the order of the finder's damage less the target's: the enemy more
// damaged than the member that met it comes first and so receives the members over.
TEST_F(CombatRules, TheTargetMostDamagedAgainstItsFinderIsHandedTheMembersOver) {
    for (int xDamage : {10, 0}) {
        SquadField field;
        std::vector<Trooper*> idle;
        for (int i = 0; i < 3; ++i)
            idle.push_back(field.Member(Point(100 + 10 * i, 100), true));
        Trooper* busyX = field.Member(Point(300, 300), true);
        Trooper* busyY = field.Member(Point(320, 300), true);
        Trooper* x = field.Enemy(Point(600, 100));
        Trooper* y = field.Enemy(Point(600, 400));
        x->damage.SetValue(xDamage);
        y->damage.SetValue(5);
        busyX->goals.PushBack(std::make_unique<TargetGoal>(busyX->id, x->id, Point(), 1, 1));
        busyY->goals.PushBack(std::make_unique<TargetGoal>(busyY->id, y->id, Point(), 1, 1));
        AssignTargetManoeuvre rule;
        EXPECT_EQ(rule.ExecuteForSquad(field.squad), 1);
        int onX = 0, onY = 0;
        for (Trooper* m : idle) {
            onX += m->Attacks(x->id);
            onY += m->Attacks(y->id);
        }
        EXPECT_EQ(onX, xDamage > 5 ? 2 : 1) << xDamage;
        EXPECT_EQ(onY, xDamage > 5 ? 1 : 2) << xDamage;
        busyX->goals.Clear();
        busyY->goals.Clear();
    }
}

// A busy member names the target of its attack order before its last attacker; a target that
// is no enemy is named by no one.
TEST_F(CombatRules, ABusyMembersAttackOrderNamesTheSquadsTarget) {
    for (bool enemyOrdered : {true, false}) {
        SquadField field;
        Trooper* idle = field.Member(Point(100, 100), true);
        Trooper* busy = field.Member(Point(120, 100), true);
        Trooper* ordered =
            enemyOrdered ? field.Enemy(Point(600, 100)) : field.Make(1, Point(600, 100));
        Trooper* attacker = field.Enemy(Point(600, 300));
        busy->goals.PushBack(std::make_unique<TargetGoal>(busy->id, ordered->id, Point(), 1, 1));
        busy->attacker = attacker;
        AssignTargetManoeuvre rule;
        EXPECT_EQ(rule.ExecuteForSquad(field.squad), enemyOrdered ? 1 : 0);
        EXPECT_EQ(idle->Attacks(ordered->id), enemyOrdered ? 1 : 0);
        EXPECT_EQ(idle->Attacks(attacker->id), 0);
        busy->goals.Clear();
    }
}

// A member sent against a target out of its team's sight first moves to where its squad last
// saw it (a place out of sight too), else to the target itself; then it attacks. So does one
// against a target its team's grid shows while the member cannot see it; one that sees its
// target attacks at once.
TEST_F(CombatRules, AMemberMovesTowardAnUnseenTargetBeforeItsAttack) {
    struct Row {
        const char* name;
        Point reference;  // (0, 0): none
        bool shown;       // the team's grid shows the target
        int sees;         // the member sees it
        Point moveTo;     // (0, 0): no move
    };
    const Point enemyAt(800, 800), place(400, 800);
    const Row rows[] = {{"no place", Point(), false, 1, enemyAt},
                        {"a place", place, false, 1, place},
                        {"shown, hidden from the member", Point(), true, 0, enemyAt},
                        {"shown and seen", Point(), true, 1, Point()}};
    for (const Row& row : rows) {
        SquadField field;
        Trooper* member = field.Member(Point(100, 100), true);
        member->sees = row.sees;
        Trooper* enemy = field.Enemy(enemyAt);
        enemy->SetReferencePoint(3, row.reference);
        Trooper* lookout = field.Make(1, enemyAt - Point(64, 0));
        field.world.paths.AddFootprint(enemy, enemyAt, 0);
        if (row.shown) field.world.sight.AddViewer(lookout, lookout->GetPosition());
        manoeuvre::OrderMemberAgainst(*member, *enemy, 3, 0x1d, 0xf);
        if (row.shown) field.world.sight.RemoveViewer(lookout, lookout->GetPosition());
        field.world.paths.RemoveFootprint(enemy, enemyAt, 0);
        const size_t moves = row.moveTo == Point() ? 0u : 1u;
        ASSERT_EQ(member->orders.size(), moves + 1) << row.name;
        if (moves == 1) {
            EXPECT_EQ(member->orders[0].code, 1) << row.name;
            EXPECT_EQ(member->orders[0].flags, 0x1d) << row.name;
            EXPECT_EQ(member->orders[0].p, row.moveTo) << row.name;
        }
        const Trooper::Order& attack = member->orders[moves];
        EXPECT_EQ(attack.code, 2) << row.name;
        EXPECT_EQ(attack.flags, 0xf) << row.name;
        EXPECT_EQ(attack.p, enemyAt) << row.name;
        EXPECT_EQ(attack.target, enemy->id) << row.name;
    }
}

// A squad attacks only with idle members and only an enemy found: with none near, or every
// member busy, no one is ordered.
TEST_F(CombatRules, ASquadAttacksOnlyWithIdleMembersAndAnEnemyFound) {
    for (bool allBusy : {false, true}) {
        SquadField field;
        Trooper* member = field.Member(Point(100, 100), true);
        Trooper* enemy = field.Enemy(Point(200, 100));
        if (allBusy)
            member->goals.PushBack(
                std::make_unique<TargetGoal>(member->id, enemy->id, Point(), 1, 1));
        field.world.objectNear = [&](GameObject*, int) -> GameObject* {
            return allBusy ? enemy : nullptr;
        };
        AttackManoeuvre rule(1, 0);
        EXPECT_EQ(rule.ExecuteForSquad(field.squad), 0) << allBusy;
        EXPECT_TRUE(member->orders.empty()) << allBusy;
        member->goals.Clear();
    }
}

TEST_F(CombatRules, AFixedTargetTurnedAllyIsForgottenForTheNearestEnemy) {
    SquadField field;
    Trooper* member = field.Member(Point(100, 100), true);
    Trooper* fixed = field.Enemy(Point(300, 100));
    Trooper* near = field.Enemy(Point(200, 100));
    field.world.objectNear = [&](GameObject*, int) -> GameObject* { return near; };
    AttackManoeuvre rule(fixed->id);
    EXPECT_EQ(rule.Target(), fixed);
    field.world.Ally(1, 2);
    EXPECT_EQ(rule.ExecuteForSquad(field.squad), 1);
    EXPECT_EQ(rule.hasFixedTarget, 0);
    EXPECT_EQ(member->Attacks(near->id), 1);
    EXPECT_EQ(member->Attacks(fixed->id), 0);
}

TEST_F(CombatRules, RetaliationSharesTheFirstAttackerButNeverTheSquadsFixedTarget) {
    SquadField field;
    Trooper* a = field.Member(Point(100, 100), true);
    Trooper* b = field.Member(Point(120, 100), true);
    Trooper* fixed = field.Enemy(Point(300, 100));
    Trooper* other = field.Enemy(Point(200, 100));
    auto attack = std::make_unique<AttackManoeuvre>(fixed->id);
    attack->SetPriority(7);
    field.squad.manoeuvres.Add(std::move(attack));
    RetaliateManoeuvre rule;
    a->SetLastAttacker(fixed);
    rule.ExecuteForSquad(field.squad);
    EXPECT_EQ(b->GetLastAttacker(), nullptr);
    b->SetLastAttacker(other);
    rule.ExecuteForSquad(field.squad);
    EXPECT_EQ(a->GetLastAttacker(), other);
    EXPECT_EQ(b->GetLastAttacker(), other);
}

// Only an enemy that is no factory, met by a living current member, is shared, and only with
// the squad's current members.
TEST_F(CombatRules, RetaliationSharesOnlyAnEnemyUnitAmongTheCurrentMembers) {
    struct Row {
        const char* name;
        int team, kind;
        bool byCurrent, byLiving, shared;
    };
    const Row rows[] = {{"enemy unit", 2, 1, true, true, true},
                        {"enemy factory", 2, 4, true, true, false},
                        {"friend", 1, 1, true, true, false},
                        {"met by a member not current here", 2, 1, false, true, false},
                        {"met by a dead member", 2, 1, true, false, false}};
    for (const Row& row : rows) {
        SquadField field;
        Trooper* a = field.Member(Point(100, 100), row.byCurrent);
        Trooper* b = field.Member(Point(120, 100), true);
        Trooper* c = field.Member(Point(140, 100), false);
        Trooper* e = field.Make(row.team, Point(300, 100));
        e->kind = row.kind;
        a->SetLastAttacker(e);
        if (!row.byLiving) a->Destroy();
        RetaliateManoeuvre rule;
        EXPECT_EQ(rule.ExecuteForSquad(field.squad), 0) << row.name;
        EXPECT_EQ(b->GetLastAttacker(), row.shared ? e : nullptr) << row.name;
        EXPECT_EQ(c->GetLastAttacker(), nullptr) << row.name;
    }
}

// The weapons take what the pass found: a unit on its way without an automatic attack fires at
// the enemy its retaliation found while it drives on; without retaliation (standing order 4)
// nothing looks out for enemies, and an enemy in reach that has not hit it draws no fire.
TEST_F(CombatRules, AnAttackWaitsForOrdersThatLeaveRoomAndRetaliationFeedsItInOnePass) {
    const struct {
        int front;  // 0 none, 1 location allowing manoeuvres, 2 location not allowing, 3 repair
        int autoAttack;
        int acts;
        bool retaliates = true;
        bool aims = true;
    } cases[] = {{0, 0, 1},
                 {1, 1, 1},
                 {1, 0, 0},
                 {2, 1, 0},
                 {3, 1, 0, true, false},
                 {1, 1, 0, false, false},
                 {0, 1, 0, false, false}};
    for (const auto& c : cases) {
        Sim* sim = Unit(1, Point(300, 300));
        Sim* enemy = Unit(2, Point(360, 300));
        if (c.front == 1 || c.front == 2)
            sim->AddGoal(std::make_unique<LocationGoal>(sim->id, Point(500, 500), 10,
                                                        c.front == 1 ? 1 : 0, 1),
                         0);
        if (c.front == 3) sim->goals.PushBack(std::make_unique<RepairWait>(sim->id));
        world.objectNear = [&](GameObject*, int) -> GameObject* { return enemy; };
        ManoeuvreList list;
        if (c.retaliates) {
            auto retaliate = std::make_unique<RetaliateManoeuvre>();
            retaliate->SetPriority(3);
            list.Add(std::move(retaliate));
        }
        auto attack = std::make_unique<AttackManoeuvre>(c.autoAttack, 0);
        attack->SetPriority(7);
        list.Add(std::move(attack));
        list.RunForSim(*sim);
        EXPECT_EQ(sim->GetLastAttacker(), c.front != 3 && c.retaliates ? enemy : nullptr)
            << c.front;
        EXPECT_EQ(Aims(sim->goals.Front(), enemy) ? 1 : 0, c.acts)
            << c.front << " " << c.autoAttack;
        FireControl::AssignWeaponTargets(*sim, 0);
        EXPECT_EQ(sim->GetArmedPart(0)->GetTarget(), c.aims ? enemy->id : SimId())
            << c.front << " " << c.retaliates;
    }
}

// A unit that breaks off to fight its attacker leaves its group and tells the peers its new
// goal; one already attacking that attacker changes nothing and stays, and a grouped unit that
// would go for repairs keeps with its group.
TEST_F(CombatRules, AUnitBreakingOffToFightLeavesItsGroupAndAnnouncesTheAttack) {
    world.commands.SetEnabled(1);
    struct Row {
        bool already;
        int repairLevel;
        int attackerTeam;
        bool acts;
        int dx = 60;           // the attacker's distance (the unit's weapon reaches 100)
        bool across = false;   // where the unit's drive cannot go
        bool aims = acts;      // an approach across water is no goal (ManoeuvreRules)
        bool computer = true;  // the side has a computer controller
        int shields = 0;       // the attacker's shields of the kind of the unit's weapon
    };
    // A hit from its own side (a stray shot of a friend) is no reason to break off, nor, for the
    // computer player's unit, one from an attacker it can neither reach nor hit from where it
    // stands, nor one whose shields bring every hit of the unit to nothing (three of its
    // weapon's kind, or two facing it; one lets hits through): a player's unit answers it as its
    // design says.
    const Row rows[] = {{false, 0, 2, false, 60, false, false, true, 3},
                        {false, 0, 2, false, 60, false, false, true, 2},
                        {false, 0, 2, true, 60, false, true, false, 3},
                        {false, 0, 2, true, 60, false, true, true, 1},
                        {false, 0, 2, true},
                        {true, 0, 2, false},
                        {false, 2, 2, false},
                        {false, 0, 1, false},
                        {false, 0, 2, false, 300, true},
                        {false, 0, 2, true, 60, true, false},
                        {false, 0, 2, true, 300, false},
                        {false, 0, 2, true, 300, true, false, false}};
    int serial = 500;
    EventReceiver computerPlayer;
    for (const Row& row : rows) {
        world.controllers[1] = row.computer ? &computerPlayer : nullptr;
        world.localTeamAutoPlayed = row.computer ? 1 : 0;
        SimGroup group(SimId(1, ++serial));
        world.groups.push_back(&group);
        world.Add(&group);
        Sim* sim = Unit(1, Point(300, 300));
        Sim* mate = Unit(1, Point(330, 300));
        Sim* enemy = Unit(row.attackerTeam, Point(300 + row.dx, 300));
        if (row.shields > 0) {
            std::unique_ptr<GameObject> shielded =
                kit.MakeSim(row.attackerTeam, ++serial, Point(300 + row.dx, 300),
                            std::vector<MountTemplate*>(row.shields, kit.Defence('b')));
            world.Forget(enemy);
            enemy = static_cast<Sim*>(shielded.get());
            world.AddSim(shielded);
        }
        world.outOfReach.clear();
        if (row.across) world.outOfReach.push_back(enemy->GetPosition());
        group.AddMember(*sim, 1);
        group.AddMember(*mate, 1);
        sim->ClearGoals();
        sim->manoeuvres->repairLevel = row.repairLevel;
        sim->SetLastAttacker(enemy);
        if (row.already)
            sim->goals.PushBack(std::make_unique<TargetGoal>(sim->id, enemy->id, Point(), 1, 1));
        world.commands.Rewind();
        AttackManoeuvre rule(1, 0);
        EXPECT_EQ(rule.Execute(*sim), row.acts ? 1 : 0)
            << row.already << row.repairLevel << row.attackerTeam << " " << row.dx << row.across
            << row.computer;
        EXPECT_EQ(group.MemberCount(), row.acts ? 1 : 2);
        EXPECT_EQ(sim->groupId.IsNull(), row.acts);
        EXPECT_EQ(mate->groupId, group.id);
        EXPECT_EQ(Aims(sim->goals.Front(), enemy), row.aims || row.already) << row.dx << row.across;
        const std::vector<int> kinds = CommandKinds(world.commands);
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 8), row.aims ? 1 : 0);
        for (Sim* u : {sim, mate})
            group.RemoveMember(*u);
        world.Forget(&group);
        world.groups.clear();
    }
    world.controllers[1] = nullptr;
}

// A computer player's squad sends no member at a target whose shields bring every hit of the
// member to nothing (two facing it do); a player's squad, or a target one shield guards, is
// attacked.
TEST_F(CombatRules, AComputerPlayersSquadSendsNoUnitAtATargetItCannotHurt) {
    // A weapon of no power of its own (one that only freezes) is never stopped.
    const struct {
        bool computer;
        int shields;
        bool sent;
        int power = 20;
    } rows[] = {{true, 3, false}, {true, 2, false}, {true, 1, true},
                {false, 3, true}, {true, 0, true},  {true, 3, true, 0}};
    EventReceiver computerPlayer;
    for (const auto& row : rows) {
        world.controllers[1] = row.computer ? &computerPlayer : nullptr;
        world.localTeamAutoPlayed = row.computer ? 1 : 0;
        Squad squad(1);
        SquadField::Directory directory(squad);
        std::unique_ptr<GameObject> armed = kit.MakeSim(
            1, ++serial, Point(300, 300), {kit.Weapon({.range = 100, .firePower = row.power})});
        auto* member = static_cast<Sim*>(armed.get());
        world.AddSim(armed);
        member->SetOwner(&directory);
        squad.AddMember(*member, 1);
        std::unique_ptr<GameObject> owned =
            kit.MakeSim(2, ++serial, Point(380, 300),
                        std::vector<MountTemplate*>(row.shields, kit.Defence('b')));
        GameObject* target = owned.get();
        world.AddSim(owned);
        AttackManoeuvre rule(target->id);
        EXPECT_EQ(rule.ExecuteForSquad(squad), row.sent ? 1 : 0) << row.computer << row.shields;
        EXPECT_EQ(Aims(member->goals.FirstUnfinished(), target), row.sent)
            << row.computer << row.shields;
        member->ClearGoals();
        // Whichever manoeuvre sends it, by order or by goal.
        manoeuvre::OrderMemberAgainst(*member, *target, 1, 0x1d, 0xf);
        EXPECT_EQ(Aims(member->goals.FirstUnfinished(), target), row.sent) << row.shields;
        EXPECT_EQ(manoeuvre::AttackOrApproach(*member, *target) != nullptr, row.sent)
            << row.shields;
        member->ClearGoals();
        squad.RemoveMember(*member);
        member->SetOwner(nullptr);
    }
    world.controllers[1] = nullptr;
}

TEST_F(CombatRules, AUnitKeepingItsTargetJudgesByItsFrontGoalEvenAWaypoint) {
    // Front: a waypoint that allows manoeuvres; behind it the order proper, which does not.
    for (int keep : {0, 1}) {
        Sim* sim = Unit(1, Point(300, 300));
        Sim* enemy = Unit(2, Point(360, 300));
        auto waypoint = std::make_unique<LocationGoal>(sim->id, Point(400, 400), 10, 1, 1);
        waypoint->waypoint = 1;
        sim->goals.PushBack(std::move(waypoint));
        sim->goals.PushBack(std::make_unique<LocationGoal>(sim->id, Point(500, 500), 10, 0, 1));
        world.objectNear = [&](GameObject*, int) -> GameObject* { return enemy; };
        ManoeuvreList list;
        auto retaliate = std::make_unique<RetaliateManoeuvre>();
        retaliate->SetPriority(3);
        auto attack = std::make_unique<AttackManoeuvre>(1, keep);
        attack->SetPriority(7);
        list.Add(std::move(retaliate));
        list.Add(std::move(attack));
        list.RunForSim(*sim);
        EXPECT_EQ(Aims(sim->goals.Front(), enemy) ? 1 : 0, keep) << keep;
    }
}

// While the target it last took on lives, a unit keeping its target judges by its order proper
// and not by a waypoint in front; once that target is dead it judges by the front goal again.
TEST_F(CombatRules, AUnitKeepingItsTargetJudgesByItsOrderWhileItsLastTargetLives) {
    Sim* sim = Unit(1, Point(300, 300));
    Sim* first = Unit(2, Point(360, 300));
    Sim* second = Unit(2, Point(300, 360));
    AttackManoeuvre rule(1, 1);
    sim->SetLastAttacker(first);
    ASSERT_EQ(rule.Execute(*sim), 1);
    EXPECT_EQ(rule.lastTargetId, first->id);
    for (bool firstDead : {false, true}) {
        sim->ClearGoals();
        auto waypoint = std::make_unique<LocationGoal>(sim->id, Point(400, 400), 10, 1, 1);
        waypoint->waypoint = 1;
        sim->goals.PushBack(std::move(waypoint));
        sim->goals.PushBack(std::make_unique<LocationGoal>(sim->id, Point(500, 500), 10, 0, 1));
        if (firstDead) first->damage.SetValue(first->damage.Max() + 1);
        sim->SetLastAttacker(second);
        EXPECT_EQ(rule.Execute(*sim), firstDead ? 1 : 0) << firstDead;
        EXPECT_EQ(Aims(sim->goals.Front(), second), firstDead) << firstDead;
        EXPECT_EQ(rule.lastTargetId, firstDead ? second->id : first->id) << firstDead;
    }
}

TEST_F(CombatRules, AnAttackIsGivenUpOnlyWhenItCannotBeCarriedOut) {
    const struct {
        int param;
        int team;
        int kind;
        bool inRange;
        int dropped;
    } cases[] = {
        {1, 2, 1, false, 1}, {0, 2, 1, false, 0}, {1, 2, 3, false, 0},
        {1, 0, 1, false, 0}, {1, 2, 1, true, 0},  {1, 1, 1, false, 0},
    };
    for (const auto& c : cases) {
        Sim* sim = Unit(1, Point(300, 300));
        auto target = std::make_unique<TestUnit>(c.team, 900 + static_cast<int>(units.size()),
                                                 Point(c.inRange ? 330 : 900, 300));
        target->kind = c.kind;
        world.Add(target.get());
        auto goal = std::make_unique<TargetGoal>(sim->id, target->id, Point(), 1, 1);
        goal->SetParam(c.param);
        sim->AddGoal(std::move(goal), 0);
        AbandonTargetManoeuvre rule;
        EXPECT_EQ(rule.Execute(*sim), c.dropped) << c.param << c.team << c.kind << c.inRange;
        EXPECT_EQ(sim->goals.Front() == nullptr, c.dropped == 1);
        world.Forget(target.get());
    }
}

TEST_F(CombatRules, AfterAFightTheUnitReturnsStopsOrHeadsHomeOnce) {
    world.commands.SetEnabled(1);
    TestUnit factory(1, 800, Point(100, 100));
    factory.kind = 4;
    world.Add(&factory);
    const struct {
        int mode;
        bool hasFactory;
        Point to;   // (-1, -1): no goal
        int goals;  // left in the queue: the earlier order stays behind a return
    } cases[] = {{2, true, {200, 210}, 2},
                 {3, true, {-1, -1}, 0},
                 {4, true, {260, 270}, 2},
                 {5, true, {100, 100}, 1},
                 {5, false, {-1, -1}, 0}};
    for (const auto& c : cases) {
        world.factories[1] = c.hasFactory ? &factory : nullptr;
        Sim* sim = Unit(1, Point(300, 300));
        sim->AddGoal(std::make_unique<LocationGoal>(sim->id, Point(500, 500), 10, 1, 1), 0);
        sim->returnPoint = Point(200, 210);
        sim->attackOrigin = Point(260, 270);
        AfterCombatManoeuvre rule(c.mode);
        EXPECT_EQ(rule.Execute(*sim), 0);
        sim->combatEnded = 1;
        world.commands.Rewind();
        EXPECT_EQ(rule.Execute(*sim), 1);
        EXPECT_EQ(sim->combatEnded, 0);
        Goal* front = sim->goals.Front();
        EXPECT_EQ(front ? front->GetLocation() : Point(-1, -1), c.to) << c.mode;
        int goals = 0;
        sim->goals.ForEach([&](Goal&) { ++goals; });
        EXPECT_EQ(goals, c.goals) << c.mode;
        if (c.goals == 2) {
            EXPECT_EQ(sim->goals.Next(front)->GetLocation(), Point(500, 500)) << c.mode;
        }
        // The front goal (or none) goes to the other machines.
        EXPECT_EQ(CommandKinds(world.commands), (std::vector<int>{9, 8}));
    }
}

TEST_F(CombatRules, AUnitTurnsOneFacingStepTowardItsAttackerAndLetsTheRulesGoOn) {
    Sim* sim = Unit(1, Point(300, 300));
    Sim* enemy = Unit(2, Point(300, 400));  // facing 12, straight below
    sim->facing = 8;
    sim->SetLastAttacker(enemy);
    FaceAttackerManoeuvre rule;
    std::vector<int> facings;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(rule.Execute(*sim), 0);
        facings.push_back(sim->facing);
    }
    EXPECT_EQ(facings, (std::vector<int>{9, 10, 11, 12, 12, 12}));
    // A unit waiting in its route keeps its facing.
    sim->facing = 8;
    sim->waiting = 1;
    EXPECT_EQ(rule.Execute(*sim), 0);
    EXPECT_EQ(sim->facing, 8);
}

}  // namespace
