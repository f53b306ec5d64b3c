// A step that a friend of the unit's own side refuses: a structure makes it ask for a route
// that goes round its friends, an idle friend is asked aside, of two friends in each other's
// way the one that finds it out steps aside itself, and in a ring of more, each held by the
// next, it asks for a route round its friends, as it does once friends have held it a while.
#include <gtest/gtest.h>

#include "EconomyTestSupport.h"
#include "core/Vector.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreMakers.h"
#include "objects/ObjectLand.h"
#include "objects/SimTestSupport.h"
#include "objects/TargetGoal.h"
#include "support/FakeClock.h"

namespace {

TEST(FriendlyBlocker, StructureIsRoutedRoundIdleFriendAskedAsideAndOfTwoOneStepsAside) {
    FakeClock clock{1000};
    ObjectLand land{30, 30};
    FakeObjectWorld& world = land.world;
    InstallManoeuvreMakers(world.makers);
    SimKit kit;
    const Point at(480, 480), far(780, 480);
    auto add = [&](std::unique_ptr<Sim> sim) {
        Sim* raw = sim.get();
        std::unique_ptr<GameObject> owned = std::move(sim);
        world.AddSim(owned);
        return raw;
    };
    Thing factory(4, SimId(1, 7), at + Point(40, 0), 0);
    Sim* idle = add(kit.MakeSim(1, 8, at + Point(40, 0)));
    Sim* busy = add(kit.MakeSim(1, 9, at + Point(40, 0)));
    busy->goals.PushFront(std::make_unique<LocationGoal>(busy->id, at, 0, 1, 1));
    // Busy as well, the friend that the busy one waits on.
    Sim* third = add(kit.MakeSim(1, 10, at + Point(40, 40)));
    third->goals.PushFront(std::make_unique<LocationGoal>(third->id, at, 0, 1, 1));
    // Whom the busy friend and the third wait on: nobody, the unit stepping, or one another.
    enum Waits { kNobody, kOnUnit, kOnThird, kOnBusy };
    struct Row {
        const char* name;
        GameObject* blocker;
        Waits busyWaits, thirdWaits;
        int routeAround, active, asideGoals, ownGoals;
        // Its own goals that a push made.
        int pushedGoals;
        // Stepping aside already when it meets the friend (a routed step: a waypoint and the
        // point): the unit, or the busy friend.
        bool ownAside = false, theirAside = false;
        // How long friends had held it before this step; -1: its last step was taken.
        int32_t heldMs = -1;
        bool busyMoving = false;
        // Its way is to a target, not to a place.
        bool toTarget = false;
    };
    const Row rows[] = {
        {"structure", &factory, kNobody, kNobody, 1, 0, 0, 1, 0},
        {"idle friend", idle, kNobody, kNobody, 0, 1, 1, 1, 0},
        {"busy friend", busy, kNobody, kNobody, 0, 1, 1, 1, 0},
        // Its front is the step aside, not yet asked a route for.
        {"friend it blocks", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1},
        // A ring of three, each held by the next: a route round the friends is asked for.
        {"ring of three", busy, kOnThird, kOnUnit, 1, 0, 1, 1, 0},
        // The busy friend waits on one that waits on nobody, or on the busy one: no ring
        // through this unit, which waits.
        {"chain that ends", busy, kOnThird, kNobody, 0, 1, 1, 1, 0},
        {"ring it is not in", busy, kOnThird, kOnBusy, 0, 1, 1, 1, 0},
        // A new push replaces the step aside it was on, route and all.
        {"friend it blocks, stepping aside", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, true},
        // The friend already stepping aside steps aside again at its own step; this one waits.
        {"friend stepping aside blocks it", busy, kOnUnit, kNobody, 0, 1, 1, 1, 0, false, true},
        // Held without a ring: it waits a while, then seeks a way round its friends.
        {"chain that ends, held a while", busy, kOnThird, kNobody, 0, 1, 1, 1, 0, false, false,
         Sim::kFriendHoldMs - 1},
        {"chain that ends, held long", busy, kOnThird, kNobody, 1, 0, 1, 1, 0, false, false,
         Sim::kFriendHoldMs},
        {"ring it is not in, held long", busy, kOnThird, kOnBusy, 1, 0, 1, 1, 0, false, false,
         Sim::kFriendHoldMs + 1000},
        // A friend on the move, or one standing for an errand of its own, is waited on however
        // long; and one on its way to a target asks its route at every step anyway.
        {"friend on the move, held long", busy, kOnThird, kNobody, 0, 1, 1, 1, 0, false, false,
         Sim::kFriendHoldMs, true},
        {"friend held by nobody, held long", busy, kNobody, kNobody, 0, 1, 1, 1, 0, false, false,
         Sim::kFriendHoldMs},
        {"on its way to a target, held long", busy, kOnThird, kNobody, 0, 1, 1, 1, 0, false, false,
         Sim::kFriendHoldMs, false, true},
    };
    int serial = 20;
    for (const Row& row : rows) {
        Sim* sim = add(kit.MakeSim(1, serial++, at));
        const SimId ids[] = {SimId(), sim->id, third->id, busy->id};
        busy->blockingSim = ids[row.busyWaits];
        third->blockingSim = ids[row.thirdWaits];
        if (row.toTarget)
            sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id, third->id, Point(), 1, 1));
        else
            sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, far, 0, 1, 1));
        busy->SetMoving(row.busyMoving ? 1 : 0);
        auto aside = [](GameObject& o, int waypoint) {
            o.goals.PushFront(std::make_unique<LocationGoal>(o.id, Point(420, 520), 0, 1, 1));
            o.goals.Front()->movedAside = 1;
            o.goals.Front()->waypoint = waypoint;
        };
        if (row.ownAside) aside(*sim, 0), aside(*sim, 1);
        busy->goals.Front()->movedAside = row.theirAside ? 1 : 0;
        sim->goals.Front()->active = 1;
        if (row.heldMs >= 0) {
            sim->heldByFriend = 1;
            sim->friendHold.Start();
            clock.Advance(static_cast<uint32_t>(row.heldMs));
        }
        world.refusePlacement = 1;
        world.placementBlocker = row.blocker;
        sim->facing = 8;
        sim->turnAndMove = 1;
        EXPECT_EQ(sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0))), 0) << row.name;
        world.refusePlacement = 0;
        // The hold counts from the first refused step and anew from each way round asked for.
        EXPECT_EQ(sim->heldByFriend, 1) << row.name;
        EXPECT_EQ(sim->friendHold.Elapsed(),
                  row.routeAround == 1 || row.heldMs < 0 ? 0 : row.heldMs)
            << row.name;
        // A step taken ends the hold.
        sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0)));
        EXPECT_EQ(sim->heldByFriend, 0) << row.name;
        EXPECT_EQ(sim->routeAroundFriends, row.routeAround) << row.name;
        const uint32_t friends = sim->GetCollision()->AlliedMask(0);
        EXPECT_EQ((sim->GetEnemyMask() & friends) == friends, row.routeAround == 1) << row.name;
        EXPECT_EQ(sim->goals.Front()->active, row.active) << row.name;
        int own = 0, pushed = 0;
        sim->goals.ForEach([&](Goal& g) { ++own, pushed += g.movedAside; });
        EXPECT_EQ(own, row.ownGoals) << row.name;
        EXPECT_EQ(pushed, row.pushedGoals) << row.name;
        EXPECT_EQ(sim->goals.IsFrontBlocked(), 0) << row.name;
        if (own == 2) {
            // Only the head's flag is ever set: once the step aside is done, the goal behind
            // it asks its route afresh instead of failing as blocked.
            sim->goals.PopFront();
            EXPECT_EQ(sim->goals.IsFrontBlocked(), 0) << row.name;
        }
        if (row.blocker != &factory) {
            int aside = 0, marked = 0;
            row.blocker->goals.ForEach([&](Goal& g) { ++aside, marked += g.movedAside; });
            // The busy friend keeps its one goal; the idle one was sent aside.
            EXPECT_EQ(aside, row.asideGoals) << row.name;
            EXPECT_EQ(marked, row.blocker == idle || row.theirAside ? 1 : 0) << row.name;
            if (row.theirAside) {
                EXPECT_EQ(busy->goals.Front()->GetLocation(), at) << row.name;
                EXPECT_EQ(busy->goals.IsFrontBlocked(), 0) << row.name;
                EXPECT_EQ(sim->waiting, 1) << row.name;
            }
        }
    }
}

}  // namespace
