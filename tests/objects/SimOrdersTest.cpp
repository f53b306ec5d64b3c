// Orders into goals and the goal loop: the order flags, attacks and the selected part, the
// guard and surround orders, the remote copy's loop, and the movement step with its budget,
// structures and turning.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "EconomyTestSupport.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/Artifact.h"
#include "objects/AttackManoeuvre.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/OrderLedger.h"
#include "objects/PartAttachment.h"
#include "objects/SimBody.h"
#include "objects/SimTestSupport.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"
#include "support/FakeClock.h"

namespace {

class SimOrders : public ::testing::Test {
protected:
    Sim* Add(std::unique_ptr<Sim> sim) {
        Sim* raw = sim.get();
        std::unique_ptr<GameObject> owned = std::move(sim);
        world.AddSim(owned);
        return raw;
    }
    std::vector<Point> Locations(Sim* sim) {
        std::vector<Point> out;
        sim->goals.ForEach([&](Goal& g) { out.push_back(g.GetLocation()); });
        return out;
    }

    ObjectLand land{30, 30};
    FakeObjectWorld& world = land.world;
    SimKit kit;
    const Point at{480, 480};
};

TEST_F(SimOrders, OrderFlagsPlaceTheNewGoal) {
    struct Row {
        int flags;
        std::vector<Point> expected;
        int waypoint;
    };
    const Point old(200, 200), p(300, 300);
    const std::vector<Row> rows = {
        {0, {p}, 0}, {0x01, {p, old}, 0}, {0x09, {old, p}, 0}, {0x20, {p}, 1}, {0x21, {p, old}, 1}};
    int serial = 1;
    for (const Row& row : rows) {
        Sim* sim = Add(kit.MakeSim(1, serial++, at));
        sim->OrderMove(old, 0, 0, 0, 0, 1, 0);
        sim->lastAttacker = SimId(2, 5);
        sim->ExecuteOrder(Sim::kOrderMove, row.flags, p, SimId(), 0);
        EXPECT_EQ(Locations(sim), row.expected) << row.flags;
        Goal* made = row.flags & 0x08 ? sim->goals.Next(sim->goals.Front()) : sim->goals.Front();
        EXPECT_EQ(made->waypoint, row.waypoint);
        // A waypoint order that keeps the queue keeps the attacker too.
        EXPECT_EQ(sim->lastAttacker.IsNull(), row.flags != 0x21) << row.flags;
    }
}

// Moving away steps 200 pixels straight off the point; a stop drops every goal; a guard on a
// place holds it, a guard on a unit keeps its offset from it and, once the unit is gone, the
// place where it was last seen; the order to stop guarding ends the guard.
TEST_F(SimOrders, MoveAwayStopAndGuardOrders) {
    struct Away {
        Point from, to;
    };
    const Away aways[] = {{at - Point(100, 0), at + Point(200, 0)},
                          {at + Point(0, 30), at - Point(0, 200)},
                          {at + Point(-30, -40), at + Point(120, 160)}};
    int serial = 20;
    for (const Away& a : aways) {
        Sim* sim = Add(kit.MakeSim(1, ++serial, at));
        sim->ExecuteOrder(Sim::kOrderMoveAway, 0, a.from, SimId(), 0);
        ASSERT_NE(sim->goals.Front(), nullptr);
        EXPECT_EQ(sim->goals.Front()->GetLocation(), a.to) << a.from.x << "," << a.from.y;
        sim->ExecuteOrder(Sim::kOrderStop, 0, Point(), SimId(), 0);
        EXPECT_EQ(sim->goals.IsEmpty(), 1);
    }
    Sim* guard = Add(kit.MakeSim(1, ++serial, at));
    guard->ExecuteOrder(Sim::kOrderGuard, 0, at + Point(50, 0), SimId(), 0);
    EXPECT_EQ(guard->IsGuarding(), 1);
    EXPECT_EQ(guard->GetGuardPoint(), at + Point(50, 0));
    guard->ExecuteOrder(Sim::kOrderStopGuarding, 0, Point(), SimId(), 0);
    EXPECT_EQ(guard->IsGuarding(), 0);
    EXPECT_EQ(guard->GetGuardPoint(), Point());
    auto ward = kit.MakeSim(1, ++serial, at + Point(100, 0));
    world.Add(ward.get(), true);
    guard->ExecuteOrder(Sim::kOrderGuard, 0, Point(), ward->id, 0);
    ward->SetPosition(at + Point(300, 0));
    EXPECT_EQ(guard->GetGuardPoint(), at + Point(200, 0));
    // Last seen further on, then gone.
    auto* kept = static_cast<TargetGoal*>(guard->guardGoal.get());
    kept->lastTargetPosition = at + Point(400, 0);
    world.Forget(ward.get());
    EXPECT_EQ(guard->GetGuardPoint(), at + Point(300, 0));
}

// After each order the peers hear the unit's front goal: a move's place, an attack's target,
// and no goal after a stop.
TEST_F(SimOrders, EveryOrderTellsThePeersTheFrontGoal) {
    world.commands.SetEnabled(1);
    Sim* sim = Add(kit.MakeSim(1, 40, at, {kit.Weapon({})}));
    Sim* enemy = Add(kit.MakeSim(2, 41, at + Point(100, 0)));
    struct Row {
        int code;
        Point p;
        SimId target;
        int type;
    };
    const Row rows[] = {{Sim::kOrderMove, at + Point(64, 32), SimId(), 1},
                        {Sim::kOrderAttack, Point(), enemy->id, 2},
                        {Sim::kOrderStop, Point(), SimId(), 0}};
    for (const Row& row : rows) {
        world.commands.Rewind();
        sim->IssueOrder(row.code, 0, row.p, row.target);
        CommandReader r(world.commands.Data(), world.commands.Size());
        CommandHeader h;
        int told = 0;
        while (r.NextCommand(h)) {
            if (h.kind == 8) {
                ++told;
                EXPECT_EQ(h.id, sim->id);
                EXPECT_EQ(r.ReadI16(), row.type) << row.code;
                if (row.type == 1) {
                    EXPECT_EQ(r.ReadPoint(), row.p);
                } else if (row.type == 2) {
                    EXPECT_EQ(r.ReadId(), row.target);
                }
            }
            r.SkipCommand();
        }
        EXPECT_EQ(told, 1) << row.code;
    }
}

// A patrol: a repeated stop that is reached goes round to the back of the queue, waiting to
// be set out anew; one that is not repeated is dropped.
TEST_F(SimOrders, AReachedRepeatedStopGoesRoundToTheBack) {
    for (int repeat : {1, 0}) {
        Sim* sim = Add(kit.MakeSim(1, 80 + repeat, at));
        const Point far = at + Point(200, 0);
        for (const Point& p : {at, far}) {
            auto stop = std::make_unique<LocationGoal>(sim->id, p, 10, 1, 1);
            stop->repeat = repeat;
            stop->active = 1;
            sim->goals.PushBack(std::move(stop));
        }
        EXPECT_EQ(sim->AdvanceGoals(), 1) << repeat;
        EXPECT_EQ(Locations(sim),
                  repeat == 1 ? (std::vector<Point>{far, at}) : std::vector<Point>{far});
        if (repeat == 1) {
            Goal* back = sim->goals.Next(sim->goals.Front());
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(back->active, 0);
        }
    }
}

// A shot at the target of the front goal marks that goal (its record keeps the mark); a shot
// at anyone else leaves it as it was.
TEST_F(SimOrders, AShotAtTheFrontGoalsTargetMarksTheGoal) {
    Sim* sim = Add(kit.MakeSim(1, 90, at, {kit.Weapon({})}));
    Sim* enemy = Add(kit.MakeSim(2, 91, at + Point(100, 0)));
    Sim* other = Add(kit.MakeSim(2, 92, at + Point(0, 100)));
    sim->MarkTargetGoal(enemy->id);  // no goal: nothing to mark
    sim->goals.PushBack(std::make_unique<TargetGoal>(sim->id, enemy->id, Point(), 1, 1));
    sim->MarkTargetGoal(other->id);
    EXPECT_EQ(sim->goals.Front()->GetParam(), 0);
    EXPECT_EQ(sim->goals.Front()->StoredFields().param, 0);
    sim->MarkTargetGoal(enemy->id);
    EXPECT_EQ(sim->goals.Front()->GetParam(), 1);
    EXPECT_EQ(sim->goals.Front()->StoredFields().param, 1);
}

TEST_F(SimOrders, AttacksNeedWeaponsOnEnemiesAndTheSelectedMountEngages) {
    WeaponTemplate* gun = kit.Weapon({});
    Sim* sim = Add(kit.MakeSim(1, 1, at, {gun, kit.Sensor('u')}));
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    Sim* friendly = Add(kit.MakeSim(1, 3, at + Point(0, 100)));
    // In range of the enemy, it engages it; nothing is no one to engage.
    EXPECT_EQ(sim->CanEngage(enemy), 1);
    EXPECT_EQ(sim->CanEngage(nullptr), 0);

    // A move while attacking ignores attackers until the next attack order.
    sim->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    ASSERT_EQ(sim->goals.Front()->GetTarget(), enemy);
    sim->IssueOrder(Sim::kOrderMove, 0, at + Point(10, 10), SimId());
    EXPECT_EQ(sim->ignoreAttackers, 1);
    sim->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    EXPECT_EQ(sim->ignoreAttackers, 0);

    sim->GetPart(0)->active = 0;
    sim->ClearGoals();
    sim->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    EXPECT_EQ(sim->goals.IsEmpty(), 1);
    sim->IssueOrder(Sim::kOrderAttack, 0, Point(), friendly->id);
    EXPECT_EQ(sim->goals.Front()->GetTarget(), friendly);

    // The selected mount takes the target itself; no goal is made.
    sim->GetPart(0)->active = 1;
    sim->ClearGoals();
    sim->SelectPart(0);
    sim->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    auto* mount = static_cast<PartAttachment*>(sim->GetPart(0));
    EXPECT_EQ(sim->goals.IsEmpty(), 1);
    EXPECT_EQ(mount->engaged, 1);
    EXPECT_EQ(mount->target, enemy->id);
    EXPECT_EQ(mount->selected, 0);
    EXPECT_EQ(sim->selectedPart, nullptr);

    // A selected sensor is let go and the attack becomes a goal.
    sim->SelectNextPart();
    ASSERT_EQ(sim->selectedPart, sim->GetPart(1));
    sim->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    EXPECT_EQ(sim->selectedPart, nullptr);
    EXPECT_EQ(sim->GetPart(1)->selected, 0);
    EXPECT_EQ(sim->goals.Front()->GetTarget(), enemy);
    EXPECT_EQ(sim->ordered, 1);

    // An inactive unit takes no orders.
    sim->ClearGoals();
    sim->enabled = 0;
    sim->IssueOrder(Sim::kOrderMove, 0, at, SimId());
    EXPECT_EQ(sim->goals.IsEmpty(), 1);
}

TEST_F(SimOrders, SurroundCirclesOnRoundedOffsetsUntilTheTargetDies) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    Sim* target = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    sim->IssueOrder(Sim::kOrderSurround, 0, Point(), target->id);
    int count = 0;
    sim->goals.ForEach([&](Goal& g) {
        auto& t = static_cast<TargetGoal&>(g);
        EXPECT_EQ(t.targetId, target->id);
        EXPECT_EQ(t.offset.x % 32, 0);
        EXPECT_EQ(t.offset.y % 32, 0);
        // On the ring through the unit, 100 px round the target: 64 or 96 on the longer axis.
        const int longer = std::max(std::abs(t.offset.x), std::abs(t.offset.y));
        EXPECT_TRUE(longer == 64 || longer == 96) << t.offset.x << "," << t.offset.y;
        EXPECT_EQ(t.repeat, 1);
        EXPECT_EQ(t.reportFailure, 0);
        ++count;
    });
    EXPECT_EQ(count, 8);

    // A finished stop goes round to the back.
    world.Forget(target);
    int updates = 0;
    while (!sim->goals.IsEmpty() && updates++ < 20)
        sim->AdvanceGoals();
    EXPECT_EQ(sim->goals.IsEmpty(), 1);
    world.Add(target, true);
    // Told to surround itself or what is not there, it keeps the goals it had.
    for (const SimId& none : {sim->id, SimId(2, 99)}) {
        sim->ClearGoals();
        sim->goals.PushBack(std::make_unique<LocationGoal>(sim->id, at + Point(64, 64), 0, 1, 1));
        Goal* kept = sim->goals.Front();
        sim->ExecuteOrder(Sim::kOrderSurround, 0, Point(), none, 0);
        EXPECT_EQ(sim->goals.Front(), kept) << none.serial;
        EXPECT_EQ(sim->goals.Next(kept), nullptr) << none.serial;
    }
}

TEST_F(SimOrders, ARemoteCopyDropsFinishedGoalsSilentlyAndPopsNothing) {
    world.commands.SetEnabled(1);
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    sim->local = 0;
    auto done = std::make_unique<LocationGoal>(sim->id, at, 10, 1, 1);
    done->waypoint = 1;
    sim->goals.PushBack(std::move(done));
    sim->goals.PushBack(std::make_unique<TargetGoal>(sim->id, SimId(2, 99), Point(), 1, 1));
    EXPECT_EQ(sim->CheckGoal(), 1);
    EXPECT_EQ(sim->goals.Front()->GetType(), 2);
    EXPECT_EQ(sim->AdvanceGoals(), 1);
    EXPECT_EQ(sim->goals.IsEmpty(), 0);
    EXPECT_TRUE(CommandKinds(world.commands).empty());

    sim->local = 1;
    EXPECT_EQ(sim->AdvanceGoals(), 1);
    EXPECT_EQ(sim->goals.IsEmpty(), 1);
    EXPECT_FALSE(CommandKinds(world.commands).empty());
}

TEST_F(SimOrders, AGuardOnAVanishedObjectGuardsWhereItWasLastSeen) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    Sim* ward = Add(kit.MakeSim(1, 2, at + Point(64, 0)));
    sim->IssueOrder(Sim::kOrderGuard, 0, Point(), ward->id);
    EXPECT_EQ(sim->GetGuardPoint(), at);
    ward->SetPosition(at + Point(200, 32));
    sim->Update(16);
    world.Forget(ward);
    EXPECT_EQ(sim->GetGuardPoint(), at + Point(136, 32));
    sim->IssueOrder(Sim::kOrderStopGuarding, 0, Point(), SimId());
    EXPECT_EQ(sim->IsGuarding(), 0);
    sim->IssueOrder(Sim::kOrderGuard, 0, Point(100, 120), SimId());
    EXPECT_EQ(sim->GetGuardPoint(), Point(100, 120));
}

TEST_F(SimOrders, TheBudgetStepsWholeDelaysAndStructuresAndDebugChangeTheDelay) {
    struct Row {
        int delay;
        int budget;
        bool refuelStructure;
        bool debug;
        int result;
        int left;
    };
    const std::vector<Row> rows = {
        {8, 20, false, false, 1, 4}, {8, 8, false, false, 0, 8}, {4, 4, true, false, 1, 1},
        {4, 3, true, false, 0, 3},   {3, 4, true, false, 1, 1},  {3, 3, true, false, 0, 3},
        {8, 9, false, true, 0, 9},   {8, 9, true, true, 1, 1},
    };
    kit.drive->moveValue = 1;
    int serial = 1;
    for (const Row& row : rows) {
        kit.chassis->moveValue = row.delay - 1;
        world.structures.clear();
        if (row.refuelStructure) world.GrantStructure(1, 4);
        world.debug = row.debug ? 1 : 0;
        Sim* sim = Add(kit.MakeSim(1, serial++, at));
        sim->OrderMove(at + Point(-300, 0), 0, 0, 0, 0, 1, 0);
        sim->moveTime = row.budget;
        EXPECT_EQ(sim->StepMovement(), row.result) << serial;
        EXPECT_EQ(sim->moveTime, row.left) << serial;
    }
    world.debug = 0;
}

// Past half damage the smoke puffs advance one frame each 100 ms; past the last frame they start
// over where the unit stands now, risen 30 pixels. At half damage or in low detail they stand.
TEST_F(SimOrders, SmokeAdvancesAFrameEachPeriodAndRisesAnewFromTheUnit) {
    FakeClock clock(5000);
    RoleTemplate smoke('X', 'x', "");
    auto grid = std::make_unique<SpriteSet>(1);
    grid->SetFrame(std::make_unique<SpriteSet>(3), 0);  // frames 0 .. 2
    smoke.pictures = std::move(grid);
    RoleList.PushBack(&smoke);  // leaves the list when the record ends
    struct Row {
        int percent, lowDetail;
        std::vector<int> frames;  // after 0, 99, 1, 100, 100 ms more
    };
    const Row rows[] = {
        {51, 0, {0, 0, 1, 2, 0}}, {50, 0, {0, 0, 0, 0, 0}}, {60, 1, {0, 0, 0, 0, 0}}};
    int serial = 1;
    for (const Row& row : rows) {
        world.lowDetail = row.lowDetail;
        Sim* sim = Add(kit.MakeSim(1, serial++, at));
        sim->damage.SetMax(100);
        sim->damage.SetValue(row.percent);
        sim->smokePoint = Point(1, 1);
        std::vector<int> frames;
        for (int ms : {0, 99, 1, 100, 100}) {
            clock.Advance(static_cast<uint32_t>(ms));
            sim->Update(0);
            frames.push_back(sim->smokeFrame);
            if (frames.size() == 4) sim->SetPosition(at + Point(64, 0));
        }
        EXPECT_EQ(frames, row.frames) << row.percent << " " << row.lowDetail;
        EXPECT_EQ(sim->smokePoint,
                  row.lowDetail == 0 && row.percent > 50 ? at + Point(64, -30) : Point(1, 1))
            << row.percent;
    }
    world.lowDetail = 0;
}

// Without their structure only the weapons firing at the third layer and above are switched
// off; the others keep whatever state they had.
TEST_F(SimOrders, WithoutTheirStructureOnlyHighLayerWeaponsGoQuiet) {
    Sim* sim =
        Add(kit.MakeSim(1, 1, at, {kit.Weapon({.shotLayer = 2}), kit.Weapon({.shotLayer = 3})}));
    for (int was : {1, 0}) {
        for (int i = 0; i < 2; ++i)
            sim->GetPart(i)->active = was;
        sim->UpdatePartStates();
        EXPECT_EQ(sim->GetPart(0)->active, was) << was;
        EXPECT_EQ(sim->GetPart(1)->active, 0) << was;
    }
}

TEST_F(SimOrders, AUnitTurnsBeforeItMovesAndStepsAlongTheRoute) {
    kit.drive->moveValue = 4;
    kit.chassis->moveValue = 4;
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    sim->IssueOrder(Sim::kOrderMove, 0, at + Point(200, 0), SimId());
    std::vector<int> facings;
    for (int i = 0; i < 9; ++i) {
        sim->Update(9);
        facings.push_back(sim->facing);
    }
    // Half way round either way is as short: the turn goes down.
    EXPECT_EQ(facings, (std::vector<int>{15, 14, 13, 12, 11, 10, 9, 8, 8}));
    EXPECT_EQ(sim->GetPosition(), at + Point(1, 0));
    EXPECT_EQ(sim->moving, 1);
    for (int i = 0; i < 400 && !sim->goals.IsEmpty(); ++i)
        sim->Update(16);
    EXPECT_EQ(sim->GetPosition(), at + Point(200, 0));
    EXPECT_EQ(sim->goals.IsEmpty(), 1);
    EXPECT_EQ(sim->ordered, 0);
}

// The owner of a unit whose goals have run out stops it and tells the copies so; a copy
// waits to be told.
TEST_F(SimOrders, ALocalUnitWhoseGoalsRanOutStopsAndTellsTheCopies) {
    world.commands.SetEnabled(1);
    for (const int local : {1, 0}) {
        Sim* sim = Add(kit.MakeSim(1, 30 + local, at));
        sim->local = local;
        sim->moving = 1;
        world.commands.Rewind();
        sim->Update(16);
        std::vector<std::pair<SimId, int>> flags;
        CommandReader r(world.commands.Data(), world.commands.Size());
        CommandHeader h;
        while (r.NextCommand(h)) {
            if (h.kind == static_cast<int>(CommandKind::SimFlag))
                flags.emplace_back(h.id, r.ReadByte());
            r.SkipCommand();
        }
        if (local == 1) {
            EXPECT_EQ(sim->moving, 0);
            EXPECT_EQ(flags, (std::vector<std::pair<SimId, int>>{{sim->id, 0}}));
        } else {
            EXPECT_TRUE(flags.empty());
        }
    }
}

// With its order's target in weapon range a unit stops stepping, unless it presses on: along
// its route's step, or with none straight at the target, no search asked.
TEST_F(SimOrders, PressingOnKeepsAUnitMovingWithItsTargetInRange) {
    int serial = 60;
    for (const int routed : {0, 1}) {
        for (const int press : {0, 1}) {
            Sim* sim =
                Add(kit.MakeSim(1, serial++, at, {kit.Weapon({.range = 300, .shotLayer = 1})}));
            Sim* enemy = Add(kit.MakeSim(2, serial++, at + Point(100, 0)));
            world.sight.AddViewer(sim, enemy->GetPosition());
            sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id, enemy->id, Point(), 1, 1));
            if (routed == 1) {
                auto step = std::make_unique<LocationGoal>(sim->id, at + Point(0, 200), 0, 1, 1);
                step->waypoint = 1;
                sim->goals.PushFront(std::move(step));
            }
            sim->facing = 8;
            sim->turnAndMove = 1;
            sim->pressOn = press;
            sim->moveTime = 1000;
            const int asked = world.routeRequests;
            EXPECT_EQ(sim->StepMovement(), 1) << press << routed;
            EXPECT_EQ(sim->GetPosition() != at, press == 1) << press << routed;
            EXPECT_EQ(sim->GetPosition().x > at.x, press == 1 && routed == 0) << press << routed;
            EXPECT_EQ(world.routeRequests, asked) << press << routed;
            world.Forget(enemy);
            world.Forget(sim);
        }
    }
}

// A target that is gone has no place to go to: no search is spent on it.
TEST_F(SimOrders, ATargetGoalDropsItsOldRouteForAStepAndAsksNoneForAVanishedTarget) {
    Sim* sim = Add(kit.MakeSim(1, 50, at));
    Sim* target = Add(kit.MakeSim(2, 51, at + Point(300, 0)));
    sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id, target->id, Point(), 1, 1));
    // A route to a target that moves is old after one step: the unit stands this step and
    // asks again on the next.
    sim->goals.Front()->active = 1;
    const int asked = world.routeRequests;
    EXPECT_EQ(sim->RequestRoute(sim->goals.Front()), 0);
    EXPECT_EQ(sim->goals.Front()->active, 0);
    EXPECT_EQ(world.routeRequests, asked);
    world.Forget(target);
    EXPECT_EQ(sim->RequestRoute(sim->goals.Front()), 0);
    EXPECT_EQ(world.routeRequests, asked);
    EXPECT_EQ(world.queuedRequests, 0);
}

// A target of another team that the unit cannot see ends its goal in this update's goal loop,
// so no search is spent on it; a seen one, or a friend however hidden, is searched for. An enemy
// within weapon reach is fired at: no search, its route's flag kept, whether that route is new or
// old, and whether the unit stands or presses on.
TEST_F(SimOrders, NoSearchIsSpentOnATargetOfAnotherTeamTheUnitCannotSeeOrReaches) {
    struct Row {
        const char* name;
        int targetTeam;
        int seen;
        int reach;  // the unit's weapon reaches this far
        int active;
        int pressOn;
        int answer;
        int searched;
        // The target is the unit's last attacker: 1, the one that refused its step as well; 2,
        // with another object in the unit's way.
        int shotAt = 0;
        // A computer player's unit; its target (or the place of a move instead) over water that
        // its drive does not cross; a move to the target's place rather than an attack.
        bool computer = false, overWater = false, move = false;
        // The target's shields bring the unit's longest weapon (the reach) to nothing; 2, its
        // shorter one (200) as well.
        int shielded = 0;
    };
    const Row rows[] = {
        {"enemy in sight", 2, 1, 0, 0, 0, 1, 1},
        {"enemy out of sight", 2, 0, 0, 0, 0, 0, 0},
        // Out of sight, the enemy that refused the unit's step blocks it no more.
        {"enemy out of sight that refused its step", 2, 0, 0, 0, 0, 0, 0, 1},
        {"friend out of sight", 1, 0, 0, 0, 0, 1, 1},
        {"friend in sight", 1, 1, 0, 0, 0, 1, 1},
        {"enemy in reach", 2, 1, 400, 0, 0, 1, 0},
        {"enemy in reach, route in place", 2, 1, 400, 1, 0, 1, 0},
        {"enemy in reach, pressing on", 2, 1, 400, 0, 1, 1, 0},
        {"enemy in reach, pressing on, route in place", 2, 1, 400, 1, 1, 1, 0},
        {"enemy beyond reach, route in place", 2, 1, 200, 1, 0, 0, 0},
        {"friend in reach", 1, 1, 400, 0, 0, 1, 1},
        // Team 0: a wreck, shot out of the unit's way or not.
        {"wreck shot, in reach", 0, 1, 400, 0, 0, 1, 0, 1},
        {"wreck shot, in reach, pressing on, route in place", 0, 1, 400, 1, 1, 1, 0, 1},
        {"wreck shot, beyond reach", 0, 1, 200, 0, 0, 1, 1, 1},
        {"wreck not shot, in reach", 0, 1, 400, 0, 0, 1, 1, 0},
        {"wreck shot, in reach, another in the way", 0, 1, 400, 0, 0, 1, 1, 2},
        // A computer player's move or attack to a place its drive cannot reach is given up before
        // any search, an attack on an enemy held 5 s; a player's is searched as before, and an
        // enemy within weapon reach is fired at from the shore.
        {"computer's, enemy over water", 2, 1, 0, 0, 0, 0, 0, 0, true, true},
        {"computer's, friend over water", 1, 1, 0, 0, 0, 0, 0, 0, true, true},
        {"computer's, move over water", 1, 1, 0, 0, 0, 0, 0, 0, true, true, true},
        {"player's, enemy over water", 2, 1, 0, 0, 0, 1, 1, 0, false, true},
        {"player's, move over water", 1, 1, 0, 0, 0, 1, 1, 0, false, true, true},
        {"computer's, enemy over water in reach", 2, 1, 400, 0, 0, 1, 0, 0, true, true},
        {"computer's, enemy on its shore", 2, 1, 0, 0, 0, 1, 1, 0, true},
        // A computer player's unit counts an enemy in reach only by a weapon that hurts it: it
        // goes on until its shorter weapon reaches. Where none hurts, or a player's unit, by the
        // longest.
        {"computer's, enemy shielded against its longest weapon", 2, 1, 400, 0, 0, 1, 1, 0, true,
         false, false, 1},
        {"computer's, enemy shielded against every weapon", 2, 1, 400, 0, 0, 1, 0, 0, true, false,
         false, 2},
        {"computer's, enemy shielded against every weapon, beyond reach", 2, 1, 200, 0, 0, 1, 1, 0,
         true, false, false, 2},
        {"player's, enemy shielded against its longest weapon", 2, 1, 400, 0, 0, 1, 0, 0, false,
         false, false, 1},
    };
    struct WreckLike : Sim {
        using Sim::Sim;
        int GetKind() override { return 3; }
    };
    EventLog computer;
    int serial = 80;
    for (const Row& row : rows) {
        std::vector<MountTemplate*> weapons;
        if (row.reach > 0) weapons.push_back(kit.Weapon({.range = row.reach, .shotLayer = 1}));
        if (row.shielded > 0) weapons.push_back(kit.Weapon({.range = 200, .kind = 'c'}));
        Sim* sim = Add(kit.MakeSim(1, serial++, at, weapons));
        const Point where = at + Point(300, 0);
        std::vector<MountTemplate*> shields(row.shielded > 0 ? 3 : 0, kit.Defence('b'));
        if (row.shielded > 1) shields.insert(shields.end(), 3, kit.Defence('c'));
        Sim* target =
            row.targetTeam == 0
                ? Add(std::make_unique<WreckLike>(where, SimId(0, serial++), kit.Design()))
                : Add(kit.MakeSim(row.targetTeam, serial++, where, shields));
        if (row.seen) world.sight.AddViewer(sim, target->GetPosition());
        world.objectAround = row.seen;
        sim->pressOn = row.pressOn;
        if (row.shotAt) sim->lastAttacker = target->id;
        const SimId otherWreck(0, 1);
        sim->blockingSim = row.shotAt == 1 ? target->id : row.shotAt == 2 ? otherWreck : SimId();
        if (row.move)
            sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, where, 0, 1, 1));
        else
            sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id, target->id, Point(), 1, 1));
        sim->goals.Front()->active = row.active;
        world.controllers[1] = row.computer ? &computer : nullptr;
        world.localTeamAutoPlayed = row.computer ? 1 : 0;
        world.outOfReach = row.overWater ? std::vector<Point>{where} : std::vector<Point>();
        const bool givenUp = row.computer && row.overWater && row.reach == 0;
        const int asked = world.routeRequests;
        const int queued = world.queuedRequests;
        EXPECT_EQ(sim->RequestRoute(sim->goals.Front()), row.answer) << row.name;
        EXPECT_EQ(world.routeRequests - asked, row.searched) << row.name;
        EXPECT_EQ(world.queuedRequests, queued) << row.name;
        EXPECT_EQ(sim->blockingSim == target->id,
                  row.shotAt == 1 && !(row.targetTeam == 2 && row.seen == 0))
            << row.name;
        // Searched for, the route's steps lead; otherwise the goal stands alone, as it was.
        int goals = 0;
        sim->goals.ForEach([&](Goal&) { ++goals; });
        EXPECT_EQ(goals > 1, row.searched == 1 && !row.move) << row.name;
        // An attack on a wreck is done once the wreck refuses the unit's step (shot from there).
        EXPECT_EQ(sim->goals.IsFrontBlocked(), givenUp ? 1 : 0) << row.name;
        if (!givenUp) {
            EXPECT_EQ(sim->goals.FirstUnfinished()->IsDone(),
                      (row.targetTeam == 2 && row.seen == 0) || row.shotAt == 1 ? 1 : 0)
                << row.name;
        }
        EXPECT_EQ(BlockedStepPolicy::WaitsBeforeAttacking(*sim, *target),
                  givenUp && row.targetTeam == 2 && !row.move)
            << row.name;
        if (row.searched == 0 && row.seen == 1) {
            EXPECT_EQ(sim->goals.Front()->active, row.answer == 1 ? row.active : 0) << row.name;
        }
        // Before its next step, a computer player's attack that hurts nothing is given up, its
        // route stops with it.
        const bool hurtsNothing = row.computer && row.shielded == 2;
        sim->goals.FirstUnfinished()->reportFailure = 1;
        if (hurtsNothing) sim->blockingSim = target->id;
        const int reports = computer.Count(4);
        EXPECT_EQ(BlockedStepPolicy::AttackHurtsNothing(*sim), hurtsNothing) << row.name;
        if (hurtsNothing) {
            EXPECT_EQ(sim->goals.Front()->GetTarget(), target) << row.name;
            EXPECT_EQ(sim->goals.Front()->IsDone(), 1) << row.name;
            EXPECT_EQ(computer.Count(4) - reports, 1) << row.name;
            EXPECT_TRUE(sim->blockingSim.IsNull()) << row.name;
        }
        world.Forget(target);
        world.Forget(sim);
    }
    world.controllers[1] = nullptr;
    world.outOfReach.clear();
}

// Once it has moved, a unit turns and steps in the same update; before, a turn is all it does.
TEST_F(SimOrders, AUnitThatHasMovedTurnsAndStepsInOneUpdate) {
    for (const int moved : {0, 1}) {
        Sim* sim = Add(kit.MakeSim(1, 40 + moved, at));
        sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, at + Point(0, 200), 0, 1, 1));
        sim->facing = 8;
        sim->turnAndMove = moved;
        sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(0, 200)));
        EXPECT_NE(sim->facing, 8) << moved;
        EXPECT_EQ(sim->GetPosition() != at, moved == 1) << moved;
    }
    // An aim of one pixel already counts as moving; a shorter one neither turns nor counts.
    for (const double length : {0.5, 1.0}) {
        Sim* sim = Add(kit.MakeSim(1, 42 + static_cast<int>(length), at));
        sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, at + Point(0, 1), 0, 1, 1));
        const Vector aim(Point(0, 1), length);
        for (int i = 0; i < 16; ++i)
            sim->TurnToward(aim);
        sim->turnAndMove = 0;
        sim->MoveAlong(2.0, sim->goals.Front(), aim);
        EXPECT_EQ(sim->turnAndMove, length >= 1.0 ? 1 : 0) << length;
    }
}

TEST_F(SimOrders, AnIdleMirrorGathersNoMovementTime) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    sim->local = 0;
    sim->goals.PushBack(std::make_unique<LocationGoal>(sim->id, at + Point(300, 0), 0, 1, 1));
    for (int i = 0; i < 50; ++i)
        sim->Update(100);
    EXPECT_EQ(sim->moveTime, 0);
    EXPECT_EQ(sim->GetPosition(), at);
    sim->moving = 1;
    sim->facing = 8;
    sim->Update(25);
    EXPECT_EQ(sim->GetPosition(), at + Point(1, 0));
}

}  // namespace

namespace {

TEST_F(SimOrders, FailedRoutesBlockReportOnceAndHoldTheNextRequest) {
    FakeClock clock(7000);
    EventLog events;
    world.controllers[1] = &events;
    world.routeFound = 0;
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    sim->IssueOrder(Sim::kOrderMove, 0, at + Point(300, 0), SimId());
    Goal* goal = sim->goals.Front();
    // The first failure only notes the request; the retry blocks and reports once.
    EXPECT_EQ(sim->RequestRoute(goal), 0);
    EXPECT_EQ(sim->goals.IsFrontBlocked(), 0);
    EXPECT_EQ(sim->RouteSearchHeld(), 0);
    // Nothing blocked it: the controller hears of no blocker.
    EXPECT_EQ(events.Count(3), 0);
    EXPECT_EQ(sim->RequestRoute(goal), 1);
    EXPECT_EQ(sim->goals.IsFrontBlocked(), 1);
    EXPECT_EQ(sim->RouteSearchHeld(), 0);
    EXPECT_EQ(events.Count(4), 1);
    sim->goals.UnblockFront();
    EXPECT_EQ(sim->RequestRoute(goal), 1);
    EXPECT_EQ(events.Count(4), 1);
    // A found route keeps a patrol stop repeating.
    world.routeFound = 1;
    Sim* patrol = Add(kit.MakeSim(1, 3, at + Point(0, -64)));
    patrol->OrderMove(at + Point(200, -64), 0, 1, 1, 0, 1, 0);
    patrol->goals.Front()->repeat = 1;
    EXPECT_EQ(patrol->RequestRoute(patrol->goals.Front()), 1);
    EXPECT_EQ(patrol->goals.FirstUnfinished()->repeat, 1);
    EXPECT_EQ(patrol->goals.FirstUnfinished()->active, 1);
    EXPECT_EQ(patrol->goals.FirstUnfinished()->retried, 0);
    world.routeFound = 0;
    // A goal whose retry already failed holds the next request for five seconds.
    goal->retried = 1;
    sim->blockingSim = SimId(2, 9);
    EXPECT_EQ(sim->RequestRoute(goal), 0);
    EXPECT_EQ(sim->goals.IsFrontBlocked(), 1);
    EXPECT_EQ(events.Count(3), 1);
    const int requests = world.routeRequests;
    EXPECT_EQ(sim->RequestRoute(goal), 0);
    EXPECT_EQ(world.routeRequests, requests);
    // The hold is what marks the search as failed, to the last millisecond of it.
    for (const auto& [ms, held] : {std::pair{Sim::kRouteHoldMs - 1, 1}, std::pair{1, 0}}) {
        clock.Advance(static_cast<uint32_t>(ms));
        EXPECT_EQ(sim->RouteSearchHeld(), held) << ms;
    }
    // Without a turn the budget is spent standing; a mirror never asks.
    Sim* waiting = Add(kit.MakeSim(1, 2, at + Point(0, 64)));
    waiting->IssueOrder(Sim::kOrderMove, 0, at + Point(300, 64), SimId());
    world.pathTurn = 0;
    waiting->moveTime = 100;
    EXPECT_EQ(waiting->StepMovement(), 1);
    EXPECT_EQ(waiting->GetPosition(), at + Point(0, 64));
    waiting->local = 0;
    EXPECT_EQ(waiting->RequestRoute(waiting->goals.Front()), 1);
    EXPECT_EQ(world.routeRequests, requests);
    // On a cell beside its target's, where the search finds no way, the target is what blocks
    // the unit, as on a refused step into it: the goal ends and no request is held. Two cells
    // off, the retried goal is held as above; so is one that reports its failure bound for a side
    // of the target (a repairer's place beside its client), beside that side, which blocking on
    // the target never ends; reporting none, it ends so. A target gone is nothing beside it: no
    // search, nothing blocked.
    world.pathTurn = 1;
    Sim* met = Add(kit.MakeSim(1, 30, at + Point(0, 320)));
    struct {
        Point from;
        Point side;
        int report;
        int beside;
        bool gone;
    } const nearTarget[] = {{Point(32, 32), Point(), 1, 1, false},
                            {Point(64, 0), Point(), 1, 0, false},
                            {Point(96, 32), Point(64, 0), 1, 0, false},
                            {Point(96, 32), Point(64, 0), 0, 1, false},
                            {Point(32, 32), Point(), 1, 0, true}};
    int serial = 31;
    for (const auto& row : nearTarget) {
        Sim* s = Add(kit.MakeSim(1, serial++, met->GetPosition() + row.from));
        s->goals.PushFront(std::make_unique<TargetGoal>(s->id, met->id, row.side, 0, 1));
        Goal* g = s->goals.Front();
        g->retried = 1;
        g->reportFailure = row.report;
        if (row.gone) world.Forget(met);
        const int before = world.routeRequests;
        EXPECT_EQ(BlockedStepPolicy::TargetFillingTheCellBeside(*s, g) == met, row.beside == 1);
        EXPECT_EQ(s->RequestRoute(g), 0) << row.beside;
        EXPECT_EQ(s->goals.IsFrontBlocked(), row.gone ? 0 : 1) << row.beside;
        EXPECT_EQ(s->blockingSim == met->id, row.beside == 1);
        EXPECT_EQ(g->IsDone(), row.gone ? 1 : row.beside);
        EXPECT_EQ(s->RequestRoute(g), 0);
        EXPECT_EQ(world.routeRequests - before, row.gone ? 0 : 1 + row.beside);
        if (row.gone) world.Add(met, true);
    }
    // A failed retry toward an enemy or a friend ends the goal and holds nothing, the next
    // order free to go; the attack manoeuvre gives the same attack on the enemy again only
    // after a hold of game time, another enemy at once.
    world.objectAround = 1;
    Sim* enemy = Add(kit.MakeSim(2, 90, at + Point(300, 128)));
    Sim* mate = Add(kit.MakeSim(1, 91, at + Point(300, 192)));
    Sim* other = Add(kit.MakeSim(2, 89, at + Point(300, 256)));
    int next = 92;
    for (Sim* target : {enemy, mate}) {
        Sim* s = Add(kit.MakeSim(1, next++, at + Point(0, 128), {kit.Weapon({.range = 100})}));
        world.sight.AddViewer(s, target->GetPosition());
        s->goals.PushFront(std::make_unique<TargetGoal>(s->id, target->id, Point(), 1, 1));
        s->routeWait = 1;
        EXPECT_EQ(s->RequestRoute(s->goals.Front()), 1);
        EXPECT_EQ(s->goals.IsFrontBlocked(), 1);
        EXPECT_EQ(s->RouteSearchHeld(), 0);
        s->goals.Clear();
        AttackManoeuvre rule(1, 0);
        for (const auto& [ms, waits] :
             {std::pair{0, 1}, std::pair{Sim::kRouteHoldMs - 1, 1}, std::pair{1, 0}}) {
            s->friendWay.Count(ms);
            const int enemyWaits = target == enemy ? waits : 0;
            EXPECT_EQ(BlockedStepPolicy::WaitsBeforeAttacking(*s, *enemy), enemyWaits == 1) << ms;
            for (Sim* attacker : {enemy, other}) {
                s->SetLastAttacker(attacker);
                const int acts = attacker == enemy ? 1 - enemyWaits : 1;
                EXPECT_EQ(rule.Execute(*s), acts) << ms;
                s->goals.Clear();
            }
        }
    }
    // A search cut short on its budget is no failure: nothing is blocked, reported or held, the
    // unit queues, and it asks again with the same flag for the same point (a target that moved
    // since included) until the search ends; an order drops it.
    world.routeFound = 0;
    struct {
        const char* name;
        bool target;
        int pending, retried, flag;
        RouteAsk asks;  // why the path queue counts it as asked
    } const goingOn[] = {{"a first search", false, 0, 0, 0, RouteAsk::Place},
                         {"a retry", false, 1, 0, 1, RouteAsk::Retry},
                         {"a retried goal", true, 0, 1, 0, RouteAsk::Target}};
    for (const auto& row : goingOn) {
        Sim* s = Add(kit.MakeSim(1, serial++, at + Point(0, -200)));
        Sim* chased = Add(kit.MakeSim(1, serial++, at + Point(300, -200)));
        if (row.target)
            s->goals.PushFront(std::make_unique<TargetGoal>(s->id, chased->id, Point(), 1, 1));
        else
            s->IssueOrder(Sim::kOrderMove, 0, chased->GetPosition(), SimId());
        Goal* g = s->goals.Front();
        g->retried = row.retried;
        s->routeWait = row.pending;
        const int reports = events.Count(4), queued = world.queuedRequests;
        EXPECT_EQ(s->WhyRouteAsked(), row.asks) << row.name;
        world.searchGoesOn = 1;
        for (int call = 0; call < 3; ++call) {
            EXPECT_EQ(s->RequestRoute(g), 0) << row.name;
            EXPECT_EQ(s->WhyRouteAsked(), RouteAsk::SearchGoesOn) << row.name;
            EXPECT_EQ(world.lastAsked, at + Point(300, -200)) << row.name;
            EXPECT_EQ(world.lastSearchFlag, row.flag) << row.name;
            EXPECT_EQ(s->routeWait, row.pending) << row.name;
            chased->SetPosition(chased->GetPosition() + Point(0, 40));
        }
        // Another goal in front (no order given) is searched for afresh.
        if (!row.target) {
            s->goals.PushFront(std::make_unique<LocationGoal>(s->id, at, 0, 1, 1));
            world.searchGoesOn = 0;
            s->routeWait = 0;
            s->RequestRoute(s->goals.Front());
            EXPECT_EQ(world.lastAsked, at) << row.name;
            s->goals.PopFront();
            s->routeWait = row.pending;
        }
        EXPECT_EQ(s->goals.IsFrontBlocked(), 0) << row.name;
        EXPECT_EQ(s->routeTimer.period, 0) << row.name;
        EXPECT_EQ(events.Count(4), reports) << row.name;
        EXPECT_EQ(world.queuedRequests - queued, 3) << row.name;
        // The search ends: the target is asked for where it stands now.
        world.searchGoesOn = 0;
        s->RequestRoute(g);
        s->goals.UnblockFront();
        s->routeTimer.period = 0;
        s->routeWait = row.pending;
        EXPECT_EQ(s->searchGoingOn.held, 0) << row.name;
        // A way round friends, and a step aside before it, are ours.
        s->routeAroundFriends = 1;
        EXPECT_EQ(s->WhyRouteAsked(), RouteAsk::RoundFriends) << row.name;
        g->movedAside = 1;
        EXPECT_EQ(s->WhyRouteAsked(), RouteAsk::StepAside) << row.name;
        s->routeAroundFriends = 0;
        g->movedAside = 0;
        if (row.target) {
            world.searchGoesOn = 1;
            s->RequestRoute(g);
            world.searchGoesOn = 0;
            EXPECT_EQ(world.lastAsked, chased->GetPosition()) << row.name;
            s->IssueOrder(Sim::kOrderMove, 0, at, SimId());
            EXPECT_EQ(s->searchGoingOn.held, 0) << row.name;
        }
    }
}

TEST_F(SimOrders, ABlockedStepWaitsBlocksOrAsksAgainByItsBlocker) {
    Sim* friendUnit = Add(kit.MakeSim(1, 7, at + Point(40, 0)));
    Sim* enemy = Add(kit.MakeSim(2, 8, at + Point(40, 0)));
    Sim* farEnemy = Add(kit.MakeSim(2, 9, at + Point(40, 200)));
    Thing wreck(3, SimId(0, 10), at + Point(40, 0), 500);
    // Without pictures the units measure 64 x 64.
    for (Sim* blocker : {friendUnit, enemy, farEnemy})
        blocker->body.reset();
    struct Row {
        const char* name;
        GameObject* blocker;
        bool attackBlocker;
        bool blockerMoving;
        Point goal;
        int blocked, waiting, active;
    };
    const Point far = at + Point(300, 0);
    const std::vector<Row> rows = {
        {"friend", friendUnit, false, false, far, 0, 0, 1},
        {"a wreck", &wreck, false, false, far, 0, 0, 1},
        {"the target", enemy, true, false, far, 1, 0, 1},
        {"a moving enemy", enemy, false, true, far, 0, 1, 1},
        {"an enemy on the destination", enemy, false, false, at + Point(40, 0), 1, 0, 1},
        // Edges are inclusive: a row of pixels shared is on it, bounds that only touch are not.
        {"an enemy over the destination's top row", enemy, false, false, at + Point(40, 63), 1, 0,
         1},
        {"an enemy touching the destination's top", enemy, false, false, at + Point(40, 64), 0, 0,
         0},
        {"an enemy touching the destination's bottom", enemy, false, false, at + Point(40, -64), 0,
         0, 0},
        {"an enemy elsewhere", farEnemy, false, false, far, 0, 0, 0},
        {"blocked ground", nullptr, false, false, far, 0, 0, 0},
    };
    int serial = 20;
    for (const Row& row : rows) {
        // Its weapon reaches the enemy beside it, not the far one.
        Sim* sim = Add(kit.MakeSim(1, serial++, at, {kit.Weapon({.range = 100, .shotLayer = 1})}));
        sim->body.reset();
        if (row.attackBlocker)
            sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id, enemy->id, Point(), 1, 1));
        else
            sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, row.goal, 0, 1, 1));
        Goal* front = sim->goals.Front();
        front->active = 1;
        enemy->moving = row.blockerMoving ? 1 : 0;
        world.refusePlacement = 1;
        world.placementBlocker = row.blocker;
        sim->facing = 8;
        sim->turnAndMove = 1;
        EXPECT_EQ(sim->MoveAlong(2.0, front, Vector(Point(1, 0))), 0) << row.name;
        world.refusePlacement = 0;
        EXPECT_EQ(sim->goals.IsFrontBlocked(), row.blocked) << row.name;
        EXPECT_EQ(sim->waiting, row.waiting) << row.name;
        EXPECT_EQ(sim->goals.Front()->active, row.active) << row.name;
        EXPECT_EQ(sim->blockingSim, row.blocker ? row.blocker->id : SimId()) << row.name;
        EXPECT_EQ(sim->GetPosition(), at) << row.name;
        // The movement names no attacker: an enemy or a wreck in the way is told to the side's
        // controller, which chooses (none here, a controller below); a friend is not.
        EXPECT_EQ(sim->lastAttacker, SimId()) << row.name;
        const bool told = row.blocker && row.blocker != friendUnit;
        EventLog controller;
        // The local team's controller only guides the player (the tutorial's): nobody is told.
        world.controllers[1] = &controller;
        world.refusePlacement = 1;
        sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0)));
        world.refusePlacement = 0;
        EXPECT_TRUE(controller.refusedBy.empty()) << row.name;
        // Played by the computer (the autoplay cheat's), it is told.
        world.localTeamAutoPlayed = 1;
        world.refusePlacement = 1;
        EXPECT_EQ(sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0))), 0) << row.name;
        world.refusePlacement = 0;
        world.controllers[1] = nullptr;
        EXPECT_EQ(controller.refusedBy,
                  told ? std::vector{row.blocker} : std::vector<GameObject*>())
            << row.name;
        EXPECT_EQ(sim->lastAttacker, SimId()) << row.name;
        // Every rule of ours off, nobody is told.
        BlockedStepPolicy::SwitchAll(false);
        world.controllers[1] = &controller;
        world.refusePlacement = 1;
        sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0)));
        world.refusePlacement = 0;
        world.controllers[1] = nullptr;
        world.localTeamAutoPlayed = 0;
        BlockedStepPolicy::SwitchAll(true);
        EXPECT_EQ(controller.refusedBy.size(), told ? 1u : 0u) << row.name;
        if (row.blocker != &wreck) continue;
        // A wreck a controller named so is forgotten after the hold and a way round asked; one
        // named otherwise (the computer player's, after a failed search) stays.
        for (int pass = 0; pass < 2; ++pass) {
            sim->SetLastAttacker(&wreck);
            if (pass == 0) BlockedStepPolicy::NoteWreckNamed(*sim, wreck);
            sim->routeAroundFriends = 0;
            sim->friendWay.Count(Sim::kFriendHoldMs - 1);
            BlockedStepPolicy::ForgetWreckInTheWay(*sim);
            EXPECT_EQ(sim->lastAttacker, wreck.id) << row.name;
            sim->friendWay.Count(1);
            BlockedStepPolicy::ForgetWreckInTheWay(*sim);
            EXPECT_EQ(sim->lastAttacker, pass == 0 ? SimId() : wreck.id) << pass;
            EXPECT_EQ(sim->routeAroundFriends, pass == 0 ? 1 : 0) << pass;
        }
    }
    // An enemy that holds a computer player's unit whose stance does not fire, itself held, is
    // gone round once the hold is long: its route stops are dropped and a way asked. One whose
    // stance fires, a player's, or one bound for that enemy waits as the movement has it.
    struct RoundRow {
        const char* name;
        int stance;
        bool computer, attack, goesRound;
    };
    const RoundRow roundRows[] = {
        {"a raid on a structure", 2, true, false, true},
        {"told to hold its fire", 0, true, false, true},
        {"its stance fires", 4, true, false, false},
        {"a player's unit", 2, false, false, false},
        {"bound for that enemy", 2, true, true, false},
    };
    // The enemy waits itself: its move stands neither active nor blocked.
    enemy->moving = 0;
    enemy->goals.PushFront(std::make_unique<LocationGoal>(enemy->id, far, 0, 1, 1));
    enemy->goals.Front()->active = 0;
    for (const RoundRow& row : roundRows) {
        Sim* sim = Add(kit.MakeSim(1, serial++, at));
        sim->body.reset();
        sim->GetDesign()->SetParameter(0, row.stance);
        if (row.attack)
            sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id, enemy->id, Point(), 1, 1));
        else
            sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, far, 0, 1, 1));
        sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, at + Point(200, 0), 0, 1, 1));
        sim->goals.Front()->waypoint = 1;
        EventLog controller;
        world.controllers[1] = row.computer ? &controller : nullptr;
        world.localTeamAutoPlayed = row.computer ? 1 : 0;
        for (int hold : {0, Sim::kFriendHoldMs - 1, 1}) {
            sim->friendWay.Count(hold);
            world.refusePlacement = 1;
            world.placementBlocker = enemy;
            sim->facing = 8;
            sim->turnAndMove = 1;
            sim->goals.Front()->active = 1;
            EXPECT_EQ(sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0))), 0) << row.name;
            world.refusePlacement = 0;
            const bool round = row.goesRound && hold == 1;
            EXPECT_EQ(sim->routeAroundFriends, round ? 1 : 0) << row.name << hold;
            EXPECT_EQ(sim->goals.Front()->waypoint, round ? 0 : 1) << row.name << hold;
            EXPECT_EQ(sim->waiting, 1) << row.name << hold;
        }
        EXPECT_EQ(sim->friendWay.heldMs, row.goesRound ? 0 : -1) << row.name;
        world.controllers[1] = nullptr;
        sim->ClearGoals();
        sim->SetPosition(at + Point(-300, 0));
    }
    enemy->ClearGoals();
}

TEST_F(SimOrders, AMovedTargetIsFollowedOnlyByTheLocalCopy) {
    world.commands.SetEnabled(1);
    world.objectAround = 1;
    Sim* target = Add(kit.MakeSim(2, 2, at + Point(-100, 0)));
    for (int local : {0, 1}) {
        Sim* sim = Add(kit.MakeSim(1, 10 + local, at));
        world.sight.AddViewer(sim, at);
        sim->local = local;
        auto goal = std::make_unique<TargetGoal>(sim->id, target->id, Point(), 1, 1);
        TargetGoal* raw = goal.get();
        sim->goals.PushFront(std::move(goal));
        raw->active = 1;
        target->SetPosition(at + Point(120, 0));
        world.commands.Rewind();
        EXPECT_EQ(sim->CheckGoal(), 0);
        EXPECT_EQ(raw->lastTargetPosition == target->GetPosition(), local == 1) << local;
        EXPECT_EQ(raw->active, local == 1 ? 0 : 1) << local;
        EXPECT_EQ(CommandKinds(world.commands).empty(), local == 0) << local;
        target->SetPosition(at + Point(-100, 0));
    }
}

}  // namespace

namespace {

class CountingManoeuvre : public SquadManoeuvre {
public:
    explicit CountingManoeuvre(int* runs) : runs(runs) {}
    int GetType() const override { return 1; }
    int Execute(Sim&) override {
        ++*runs;
        return 0;
    }
    int* runs;
};

TEST_F(SimOrders, ManoeuvresRunOnlyOutsideDebugAndWhereTheFrontGoalAllowsThem) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    int runs = 0;
    sim->AddManoeuvre(new CountingManoeuvre(&runs));
    struct Row {
        int debug, allow, runs;
    };
    for (const Row& row : std::vector<Row>{{0, 1, 1}, {1, 1, 0}, {0, 0, 0}}) {
        runs = 0;
        world.debug = row.debug;
        sim->ClearGoals();
        sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, at, 0, row.allow, 1));
        sim->RunManoeuvreList();
        EXPECT_EQ(runs, row.runs) << row.debug << row.allow;
    }
    world.debug = 0;
}

// An attack ends in a return to the fight's place only after an unnumbered goal on an enemy
// that is not a building.
TEST_F(SimOrders, AnEndedAttackOnAnEnemyUnitMarksTheCombatEnded) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(200, 0)));
    Sim* friendUnit = Add(kit.MakeSim(1, 3, at + Point(0, 200)));
    struct Row {
        SimId target;
        int param, ended;
    };
    const std::vector<Row> rows = {
        {enemy->id, 0, 1}, {enemy->id, 1, 0}, {friendUnit->id, 0, 0}, {SimId(2, 99), 0, 0}};
    for (const Row& row : rows) {
        TargetGoal goal(sim->id, row.target, Point(), 1, 1);
        goal.param = row.param;
        sim->combatEnded = 1 - row.ended;
        sim->NoteAttackEnded(&goal);
        EXPECT_EQ(sim->combatEnded, row.ended) << row.target.serial << " " << row.param;
        if (row.ended == 1) {
            EXPECT_EQ(sim->returnPoint, enemy->GetPosition());
        }
    }
}

// An update forgets an attacker the team does not see, unless the attacker was pinned (set
// for a computer opponent); one in sight is kept either way.
TEST_F(SimOrders, AnUpdateForgetsAnUnseenAttackerUnlessItIsPinned) {
    struct Row {
        int pinned;
        bool seen, kept;
    };
    const Row rows[] = {{0, false, false}, {1, false, true}, {0, true, true}, {1, true, true}};
    int serial = 10;
    for (const Row& row : rows) {
        Sim* sim = Add(kit.MakeSim(1, ++serial, at));
        Sim* enemy = Add(kit.MakeSim(2, ++serial, at + Point(320, 0)));
        if (row.seen) world.sight.AddViewer(sim, enemy->GetPosition());
        // Neither its rules nor its weapons ask for the attacker (asking forgets an unseen one
        // too): the update alone decides.
        sim->ClearManoeuvreList();
        sim->partsFrozenTime = 1000;
        sim->lastAttacker = enemy->id;
        sim->targetPinned = row.pinned;
        sim->Update(16);
        EXPECT_EQ(sim->lastAttacker, row.kept ? enemy->id : SimId()) << row.pinned << row.seen;
        if (row.seen) world.sight.RemoveViewer(sim, enemy->GetPosition());
    }
}

// Only the local copy picks up what lies where it stands; groups do not move as one yet.
TEST_F(SimOrders, TheLocalCopyPicksUpAnArtifactAndNoUnitMovesAsAGroup) {
    for (int local : {0, 1}) {
        Artifact artifact(at, Size(32, 32), nullptr, nullptr, CollisionFilter(0, 0, 0, 0, 0),
                          SimId(0, 50 + local), 1);
        world.artifact = &artifact;
        Sim* sim = Add(kit.MakeSim(1, 1 + local, at));
        sim->local = local;
        sim->PickUpArtifact();
        EXPECT_EQ(artifact.taken, local) << local;
        world.artifact = nullptr;
        sim->groupId = SimId(1, 40);
        EXPECT_EQ(sim->InMovingGroup(), 0);
    }
}

// Only moves and attacks search routes; a move or attack order replaces the queue unless appended.
TEST_F(SimOrders, OnlyMovesAndAttacksAskRoutesAndAppendedMovesQueue) {
    Sim* sim = Add(kit.MakeSim(1, 1, at, {kit.Weapon({})}));
    sim->goals.PushFront(std::make_unique<TransportGoal>(sim->id, SimId(1, 9), 1));
    const int requests = world.routeRequests;
    EXPECT_EQ(sim->RequestRoute(sim->goals.Front()), 1);
    EXPECT_EQ(world.routeRequests, requests);
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(200, 0)));
    const Point a(200, 200), b(300, 300);
    for (int append : {0, 1}) {
        sim->ClearGoals();
        sim->OrderMove(a, 0, 0, 0, 0, 1, 0);
        sim->OrderMove(b, append, 0, 0, 1, 1, 0);
        sim->OrderAttack(enemy->id, append, 0, 0, 1, 0);
        const std::vector<Point> expected = append == 1
                                                ? std::vector<Point>{a, b, enemy->GetPosition()}
                                                : std::vector<Point>{enemy->GetPosition()};
        EXPECT_EQ(Locations(sim), expected) << append;
    }
    // While the World defers searches the unit queues its request and waits where it is.
    sim->ClearGoals();
    sim->OrderMove(a, 0, 0, 0, 0, 1, 0);
    world.deferred = 1;
    const int queued = world.queuedRequests;
    EXPECT_EQ(sim->RequestRoute(sim->goals.Front()), 0);
    EXPECT_EQ(world.queuedRequests, queued + 1);
    EXPECT_EQ(Locations(sim), std::vector<Point>{a});
    world.deferred = 0;
}

// An object is seen where its footprint on the grids is, else where its bounds are, else at
// the point it stands on; a rect empty in either direction counts as none.
TEST_F(SimOrders, AnObjectIsSeenByItsFootprintElseItsBoundsElseItsPoint) {
    class Shape : public GameObject {
    public:
        Shape(const Point& at, const Rect& foot, const Rect& bounds)
            : GameObject(at, 0, Size(0, 0), nullptr, 0, CollisionFilter(1, 0, 0, 0, 0), SimId(2, 9),
                         100, 1),
              foot(foot),
              bounds(bounds) {}
        Rect GetFootprint() override { return foot; }
        Rect GetBounds() override { return bounds; }
        Rect foot, bounds;
    };
    Sim viewer(at, SimId(1, 1), kit.Design());
    world.sight.AddViewer(&viewer, at);
    world.objectAround = 1;
    const Point near = at + Point(100, 0), far(100, 100);
    struct Row {
        Point footAt;
        Size foot;
        Point boundsAt;
        Size bounds;
        Point position;
        int seen;
    };
    const Row rows[] = {
        {near, {32, 16}, far, {40, 24}, far, 1}, {far, {32, 16}, near, {40, 24}, near, 0},
        {far, {0, 16}, near, {40, 24}, far, 1},  {far, {32, 0}, near, {40, 24}, far, 1},
        {far, {}, far, {40, 24}, near, 0},       {far, {}, far, {0, 24}, near, 1},
        {far, {}, far, {40, 0}, near, 1},        {near, {}, near, {}, far, 0},
    };
    for (const Row& row : rows) {
        Shape shape(row.position, Rect(row.footAt, row.foot), Rect(row.boundsAt, row.bounds));
        EXPECT_EQ(viewer.CanSee(&shape), row.seen)
            << row.foot.w << "x" << row.foot.h << " " << row.bounds.w << "x" << row.bounds.h;
    }
    world.sight.RemoveViewer(&viewer, at);
}

}  // namespace

// The order ledger: each order the player gives, guards among them, counted by how it ended,
// with the step that ended it or the rule of ours that counted it arrived or gave it up named.
TEST_F(SimOrders, TheLedgerCountsHowEachOrderEnded) {
    world.Orders().SwitchOn();
    int serial = 1;
    auto enemy = [&] { return Add(kit.MakeSim(2, 100 + serial, at + Point(200, 0))); };
    auto guard = [&](Sim& s) {
        Sim* ward = Add(kit.MakeSim(1, 300 + serial, at + Point(100, 0)));
        s.IssueOrder(Sim::kOrderGuard, 0, Point(), ward->id);
    };
    EventReceiver computer;
    struct Row {
        const char* name;
        std::function<void(Sim&)> play;
        OrderEnd end;
        const char* how;  // the step or the rule
        int attacks;      // attack orders given
    };
    const std::vector<Row> rows = {
        {"reached",
         [&](Sim& s) {
             s.IssueOrder(Sim::kOrderMove, Sim::kFinishOnArrival, at, SimId());
             s.AdvanceGoals();
         },
         OrderEnd::CarriedOut, nullptr, 0},
        // Blocked by a friend short of its place, within the goal loop's reach of it.
        {"reached beside a friend",
         [&](Sim& s) {
             Sim* f = Add(kit.MakeSim(1, 200 + serial, at + Point(20, 0)));
             s.IssueOrder(Sim::kOrderMove, Sim::kFinishOnArrival, at + Point(20, 0), SimId());
             s.goals.BlockFront();
             s.blockingSim = f->id;
             s.AdvanceGoals();
         },
         OrderEnd::CarriedOut, nullptr, 0},
        // Its route's last stop a cell off its place: reached.
        {"a cell short",
         [&](Sim& s) {
             s.IssueOrder(Sim::kOrderMove, Sim::kFinishOnArrival,
                          at + Point(OrderLedger::kShortOfPlace, 0), SimId());
             s.PopGoal();
             const OrderLedger::Scope own(world.Orders(), OrderGiver::OwnRules);
             s.ExecuteOrder(Sim::kOrderMove, 0x15, at, SimId(), 0);
             s.AdvanceGoals();
         },
         OrderEnd::CarriedOut, nullptr, 0},
        // Its route went to the nearest place it reaches, 155 px short, and ended there.
        {"short of a place it cannot reach",
         [&](Sim& s) {
             s.IssueOrder(Sim::kOrderMove, Sim::kFinishOnArrival, at + Point(155, 0), SimId());
             s.PopGoal();
             const OrderLedger::Scope own(world.Orders(), OrderGiver::OwnRules);
             s.ExecuteOrder(Sim::kOrderMove, 0x15, at, SimId(), 0);
             s.AdvanceGoals();
         },
         OrderEnd::ByStep, "out of reach", 0},
        // A computer player's move held by a friend nearer its place, another friend on it.
        {"a friend holds its place",
         [&](Sim& s) {
             const Point place = at + Point(0, -96);
             Sim* holder = Add(kit.MakeSim(1, 400 + serial, place));
             holder->body.reset();
             Sim* blocker = Add(kit.MakeSim(1, 500 + serial, at + Point(0, -40)));
             world.controllers[1] = &computer;
             world.localTeam = 3;
             {
                 const OrderLedger::Scope side(world.Orders(), OrderGiver::SideController);
                 s.ExecuteOrder(Sim::kOrderMove, Sim::kFinishOnArrival, place, SimId(), 0);
             }
             BlockedStepPolicy::FriendInTheWay(s, blocker);
             world.controllers[1] = nullptr;
             world.localTeam = 1;
             holder->SetPosition(at + Point(600, 600));
             blocker->SetPosition(at + Point(600, 700));
         },
         OrderEnd::ArrivedByRule, BlockedStepPolicy::Name(BlockedStepPolicy::kPlaceHeldByFriends),
         0},
        {"a guard stopped by a push",
         [&](Sim& s) {
             guard(s);
             const OrderLedger::Scope own(world.Orders(), OrderGiver::OwnRules);
             s.ExecuteOrder(Sim::kOrderStopGuarding, 0, Point(), SimId(), 0);
         },
         OrderEnd::ByStep, "its guard stopped by a push or its formation", 0},
        {"a guard put aside",
         [&](Sim& s) {
             guard(s);
             s.IssueOrder(Sim::kOrderMove, 0, at + Point(0, 300), SimId());
         },
         OrderEnd::Replaced, nullptr, 0},
        {"target gone",
         [&](Sim& s) {
             Sim* e = enemy();
             s.IssueOrder(Sim::kOrderAttack, 0, Point(), e->id);
             world.Forget(e);
             s.AdvanceGoals();
         },
         OrderEnd::CarriedOut, nullptr, 1},
        {"blocked",
         [&](Sim& s) {
             s.IssueOrder(Sim::kOrderMove, 0, at + Point(300, 0), SimId());
             s.goals.BlockFront();
             s.goals.Front()->reportFailure = 0;
             s.AdvanceGoals();
         },
         OrderEnd::ByStep, "its route blocked", 0},
        {"unseen",
         [&](Sim& s) {
             s.IssueOrder(Sim::kOrderAttack, 0, Point(), enemy()->id);
             s.AdvanceGoals();
         },
         OrderEnd::ByStep, "its target unseen", 1},
        {"given up",
         [&](Sim& s) {
             s.IssueOrder(Sim::kOrderAttack, 0, Point(), enemy()->id);
             BlockedStepPolicy::GiveUp(s, BlockedStepPolicy::kStructureCoversSide, true);
         },
         OrderEnd::GivenUpByRule, BlockedStepPolicy::Name(BlockedStepPolicy::kStructureCoversSide),
         1},
        {"replaced",
         [&](Sim& s) {
             s.IssueOrder(Sim::kOrderMove, 0, at + Point(300, 0), SimId());
             s.IssueOrder(Sim::kOrderMove, 0, at + Point(0, 300), SimId());
         },
         OrderEnd::Replaced, nullptr, 0},
    };
    for (const Row& row : rows) {
        const OrderLedger::Tally before = world.Orders().TallyOf(1);
        Sim* sim = Add(kit.MakeSim(1, serial++, at, {kit.Weapon({})}));
        row.play(*sim);
        const OrderLedger::Tally tally = world.Orders().TallyOf(1);
        const int given = row.end == OrderEnd::Replaced ? 2 : 1;
        EXPECT_EQ(tally.given - before.given, given) << row.name;
        EXPECT_EQ(tally.attacks - before.attacks, row.attacks) << row.name;
        EXPECT_EQ(tally.carriedOut - before.carriedOut, row.end == OrderEnd::CarriedOut)
            << row.name;
        EXPECT_EQ(tally.arrivedByRule - before.arrivedByRule, row.end == OrderEnd::ArrivedByRule)
            << row.name;
        EXPECT_EQ(tally.byStep - before.byStep, row.end == OrderEnd::ByStep) << row.name;
        EXPECT_EQ(tally.givenUp - before.givenUp, row.end == OrderEnd::GivenUpByRule) << row.name;
        EXPECT_EQ(tally.attacksGivenUp - before.attacksGivenUp,
                  row.end == OrderEnd::GivenUpByRule ? row.attacks : 0)
            << row.name;
        EXPECT_EQ(tally.replaced - before.replaced, row.end == OrderEnd::Replaced) << row.name;
        if (row.how) {
            const auto pick = [&row](const OrderLedger::Tally& t) -> const auto& {
                return row.end == OrderEnd::ByStep
                           ? t.steps
                           : (row.end == OrderEnd::ArrivedByRule ? t.arrivals : t.rules);
            };
            const auto& named = pick(tally);
            const auto& was = pick(before);
            const auto count = [](const std::map<std::string, int>& m, const char* k) {
                const auto it = m.find(k);
                return it == m.end() ? 0 : it->second;
            };
            EXPECT_EQ(count(named, row.how) - count(was, row.how), 1) << row.name;
            if (row.end == OrderEnd::GivenUpByRule) {
                EXPECT_EQ(count(tally.attackRules, row.how) - count(before.attackRules, row.how),
                          row.attacks)
                    << row.name;
            }
        }
    }
}

// Only orders count: not what the unit's own rules make, nor what a side with no controller
// is given outside the battle screen. The order queued behind one its unit could not carry out
// waited from when it was given; a location order whose route replaces it goes on in the route's
// last stop; a hold of ours noted on consecutive ticks is one hold.
TEST_F(SimOrders, TheLedgerCountsOnlyOrdersAndTheWaitBehindOneNotCarriedOut) {
    OrderLedger& ledger = world.Orders();
    ledger.SwitchOn();
    const auto given = [&ledger] { return ledger.TallyOf(1).given; };
    Sim* sim = Add(kit.MakeSim(1, 1, at, {kit.Weapon({})}));
    EventLog events;
    for (auto [giver, controller, counted] : {std::tuple{OrderGiver::OwnRules, true, 0},
                                              {OrderGiver::SideController, false, 0},
                                              {OrderGiver::SideController, true, 1},
                                              {OrderGiver::Player, false, 1}}) {
        world.controllers[1] = controller ? &events : nullptr;
        world.localTeamAutoPlayed = controller ? 1 : 0;
        const int before = given();
        const OrderLedger::Scope scope(ledger, giver);
        sim->ExecuteOrder(Sim::kOrderMove, 0, at + Point(200, 0), SimId(), 0);
        EXPECT_EQ(given() - before, counted) << static_cast<int>(giver) << controller;
        // A waypoint is never an order.
        sim->ExecuteOrder(Sim::kOrderMove, Sim::kWaypoint | Sim::kAppend, at, SimId(), 0);
        EXPECT_EQ(given() - before, counted);
    }
    world.controllers[1] = nullptr;
    // A guard the unit's own rules set is no order, nor counted with a later order.
    {
        const int before = given();
        {
            const OrderLedger::Scope own(ledger, OrderGiver::OwnRules);
            sim->ExecuteOrder(Sim::kOrderGuard, 0, at, SimId(), 0);
        }
        const OrderLedger::Scope player(ledger, OrderGiver::Player);
        sim->ExecuteOrder(Sim::kOrderMove, Sim::kAppend, at + Point(0, 100), SimId(), 0);
        EXPECT_EQ(given() - before, 1);
        sim->StopGuarding();
    }

    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(300, 0)));
    world.ticks = 100;
    sim->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    world.ticks = 150;
    sim->IssueOrder(Sim::kOrderMove, Sim::kAppend | Sim::kToBack, at + Point(0, 200), SimId());
    world.ticks = 400;
    sim->AdvanceGoals();
    EXPECT_EQ(ledger.TallyOf(1).longestWait, 250);
    EXPECT_EQ(ledger.TallyOf(1).longestWaitText,
              "unit 1 behind an order ended by its target unseen");
    // A wait as long, later, names the first unit still.
    Sim* second = Add(kit.MakeSim(1, 3, at + Point(0, 64), {kit.Weapon({})}));
    world.ticks = 500;
    second->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    second->IssueOrder(Sim::kOrderMove, Sim::kAppend | Sim::kToBack, at + Point(0, 300), SimId());
    world.ticks = 750;
    second->AdvanceGoals();
    EXPECT_EQ(ledger.TallyOf(1).longestWait, 250);
    EXPECT_EQ(ledger.TallyOf(1).longestWaitText,
              "unit 1 behind an order ended by its target unseen");

    // The route's last stop takes the popped order's number in the same tick only.
    for (int later : {0, 1}) {
        sim->IssueOrder(Sim::kOrderMove, 0, at + Point(200, 200), SimId());
        const int32_t number = sim->goals.Front()->order;
        const int open = ledger.OpenCount();
        auto popped = sim->PopGoal();
        world.ticks += later;
        const OrderLedger::Scope own(ledger, OrderGiver::OwnRules);
        sim->ExecuteOrder(Sim::kOrderMove, 0x15, at + Point(200, 200), SimId(), 0);
        EXPECT_EQ(sim->goals.Front()->order, later ? 0 : number) << later;
        EXPECT_EQ(ledger.OpenCount(), open) << later;
    }

    // A rule of ours that gives up a goal no order made is named apart; an empty queue ends
    // nothing.
    sim->ClearGoals();
    sim->AdvanceGoals();
    {
        const OrderLedger::Scope own(ledger, OrderGiver::OwnRules);
        sim->ExecuteOrder(Sim::kOrderMove, 0, at + Point(0, 300), SimId(), 0);
    }
    const OrderLedger::Tally before = ledger.TallyOf(1);
    BlockedStepPolicy::GiveUp(*sim, BlockedStepPolicy::kStructureCoversSide, true);
    EXPECT_EQ(ledger.TallyOf(1).givenUp, before.givenUp);
    EXPECT_EQ(ledger.TallyOf(1).rules.at(
                  std::string(BlockedStepPolicy::Name(BlockedStepPolicy::kStructureCoversSide)) +
                  " (no order)"),
              1);

    for (auto [tick, holds] : {std::pair{500, 1}, {501, 1}, {503, 2}}) {
        world.ticks = tick;
        ledger.HeldByRule(*sim, "a hold");
        EXPECT_EQ(ledger.TallyOf(1).holds.at("a hold"), holds) << tick;
        EXPECT_EQ(ledger.LastHeld(sim->id), tick);
    }
    EXPECT_EQ(ledger.LastHeld(enemy->id), -1);
}
