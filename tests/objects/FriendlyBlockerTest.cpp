// A step that a friend of the unit's own side refuses: a structure makes it ask for a route
// that goes round its friends (covering the side of the unit's target, give its errand up), a
// friend with no errand is sent aside (not again while it has its step to take), of two face to
// face one steps aside itself, the one without an errand where the other has one, else the later
// made (across its way but never toward the friend, else across the line to it or straight back
// from it), and one held by friends a while asks for a route round them.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "EconomyTestSupport.h"
#include "core/EventReceiver.h"
#include "core/Vector.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/EconomyGoals.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreMakers.h"
#include "objects/ObjectLand.h"
#include "objects/SimTestSupport.h"
#include "objects/TargetGoal.h"
#include "support/FakeClock.h"

namespace {

// A land of 40 by 40 cells with the manoeuvres' makers installed, on a clock of its own.
class FriendlyBlocker : public ::testing::Test {
protected:
    void SetUp() override { InstallManoeuvreMakers(world.makers); }

    FakeClock clock{1000};
    ObjectLand land{40, 40};
    FakeObjectWorld& world = land.world;
    SimKit kit;
};

// Lists the unit in the world, which owns it from then on.
Sim* Add(FakeObjectWorld& world, std::unique_ptr<Sim> sim) {
    Sim* raw = sim.get();
    std::unique_ptr<GameObject> owned = std::move(sim);
    world.AddSim(owned);
    return raw;
}

TEST_F(FriendlyBlocker, StructureIsRoutedRoundIdleFriendAskedAsideAndOfTwoOneStepsAside) {
    const Point at(480, 480), far(780, 480);
    Thing factory(4, SimId(1, 7), at + Point(40, 0), 0);
    Thing wreck(3, SimId(0, 7), at + Point(40, 0), 500);
    Thing deployed(7, SimId(1, 14), at + Point(40, 0), 0);
    world.objects.push_back(&deployed);
    Sim* idle = Add(world, kit.MakeSim(1, 8, at + Point(40, 0)));
    Sim* busy = Add(world, kit.MakeSim(1, 9, at + Point(40, 0)));
    busy->goals.PushFront(std::make_unique<LocationGoal>(busy->id, at, 0, 1, 1));
    // Busy as well, the friend that the busy one waits on; and one made after every unit tried.
    Sim* third = Add(world, kit.MakeSim(1, 10, at + Point(40, 40)));
    third->goals.PushFront(std::make_unique<LocationGoal>(third->id, at, 0, 1, 1));
    Sim* late = Add(world, kit.MakeSim(1, 99, at + Point(40, 0)));
    late->goals.PushFront(std::make_unique<LocationGoal>(late->id, at, 0, 1, 1));
    // Made before the unit too, straight above its way.
    Sim* above = Add(world, kit.MakeSim(1, 11, at + Point(0, -40)));
    above->goals.PushFront(std::make_unique<LocationGoal>(above->id, at, 0, 1, 1));
    // And one that stands over the unit's way up in one row only, idle.
    Sim* overUp = Add(world, kit.MakeSim(1, 13, far));
    overUp->body.reset();  // measuring 64 x 64 then
    // And one due west of it.
    Sim* west = Add(world, kit.MakeSim(1, 12, at + Point(-40, 0)));
    // And an enemy far off, the target of an attack.
    Sim* enemy = Add(world, kit.MakeSim(2, 15, far + Point(0, 200)));
    west->goals.PushFront(std::make_unique<LocationGoal>(west->id, at, 0, 1, 1));
    const int d = DefaultPushDistance();
    // Whom the busy friend (or the late one, or the one above) and the third wait on.
    enum Waits { kNobody, kOnUnit, kOnThird, kOnBusy, kOnChain };
    // Nine friends each waiting on the next, the last on the unit: with the busy one, a chain of
    // ten blockers back to it.
    std::vector<Sim*> chain;
    for (int i = 0; i < 9; ++i)
        chain.push_back(Add(world, kit.MakeSim(1, 200 + i, far + Point(0, 40 * (i + 2)))));
    // Where the unit's own step aside goes, when it takes one (the friend east of it): none, up
    // (across its way, facing the friend), or back from the friend where that is shut or the
    // side across its way lies toward the friend, or down, away from a friend above or where
    // the rest is shut, or east, away from a friend west, or half way up.
    enum Own { kNone, kUp, kBack, kBackDown, kDown, kEast, kUpHalf };
    // What the ground refuses besides: nothing, both sides of the unit (a full step and half of
    // one), the place of its goal, every place it could step aside to, the way up half way there,
    // all but down, both sides a full step off only (a passage two cells wide), nothing but
    // a friend's outline over the way up, or the place of its goal with an idle friend on it.
    enum Shut {
        kOpen,
        kSides,
        kGoal,
        kAllAround,
        kUpHalfWay,
        kAllButDown,
        kSidesFullStep,
        kFriendUp,
        kGoalFriend
    };
    constexpr int kOnlyStep = 2;
    struct Row {
        const char* name;
        GameObject* blocker;
        Waits busyWaits, thirdWaits;
        int routeAround, active, asideGoals, ownGoals;
        // Its own goals that a push or its own step aside made.
        int pushedGoals;
        Own own = kNone;
        // Stepping aside already when it meets the friend (a routed step: a waypoint and the
        // point): the unit (kOnlyStep: with no errand behind it), or the busy or the late friend
        // (which then has no errand left).
        int ownAside = 0;
        bool theirAside = false;
        // Game time friends had held it before this step; -1: its last step was taken.
        int32_t heldMs = -1;
        // Game time left before the friend (or the unit) may be sent or step aside again.
        int32_t friendAsideMs = 0, ownAsideMs = 0;
        // What the ground refuses (the place of its goal is covered by the structure: on the side
        // of a target the unit gives its errand up; a place of its own it still seeks round its
        // friends).
        int shut = kOpen;
        bool busyMoving = false, toTarget = false;
        // The unit's facing (8: toward the friend); its route may have turned it away.
        int facing = 8;
        // Its target is the enemy, not the friend.
        bool attack = false;
        // Its target is the friend in its way.
        bool onBlocker = false;
    };
    const int32_t hold = Sim::kFriendHoldMs;
    const Row rows[] = {
        {"structure", &factory, kNobody, kNobody, 1, 0, 0, 1, 0},
        {"structure, on its way to a target", &factory, kNobody, kNobody, 1, 0, 0, 1, 0, kNone,
         false, false, -1, 0, 0, kOpen, false, true},
        // Its way to the deployed friend it is sent to runs into that friend: given up as well.
        {.name = "the deployed friend it is sent to, in its way",
         .blocker = &deployed,
         .busyWaits = kNobody,
         .thirdWaits = kNobody,
         .routeAround = 0,
         .active = 0,
         .asideGoals = 0,
         .ownGoals = 1,
         .pushedGoals = 0,
         .toTarget = true,
         .onBlocker = true},
        {"structure over its target's side", &factory, kNobody, kNobody, 0, 0, 0, 1, 0, kNone,
         false, false, -1, 0, 0, kGoal, false, true},
        // Another structure over its target's side: a deployed unit against the factory.
        {"structure beside its target, the factory over the side", &deployed, kNobody, kNobody, 0,
         0, 0, 1, 0, kNone, false, false, -1, 0, 0, kGoal, false, true},
        // An attack's place is its target's own, which the target covers: never given up.
        {"structure over an enemy target's side",
         &factory,
         kNobody,
         kNobody,
         1,
         0,
         0,
         1,
         0,
         kNone,
         false,
         false,
         -1,
         0,
         0,
         kGoal,
         false,
         true,
         8,
         true},
        {"a friend over its target's side", &factory, kNobody, kNobody, 1, 0, 0, 1, 0, kNone, false,
         false, -1, 0, 0, kGoalFriend, false, true},
        {"structure over its place", &factory, kNobody, kNobody, 1, 0, 0, 1, 0, kNone, false, false,
         -1, 0, 0, kGoal},
        // A wreck is waited on (the unit fires at it meanwhile), held long sought round.
        {"wreck", &wreck, kNobody, kNobody, 0, 1, 0, 1, 0},
        {"wreck, held long", &wreck, kNobody, kNobody, 1, 0, 0, 1, 0, kNone, false, false, hold},
        {"idle friend", idle, kNobody, kNobody, 0, 1, 1, 1, 0},
        {"idle friend sent aside a moment ago", idle, kNobody, kNobody, 0, 1, 0, 1, 0, kNone, false,
         false, -1, 1},
        {"busy friend", busy, kNobody, kNobody, 0, 1, 1, 1, 0},
        // Face to face with one made before it: it steps aside itself, its errand behind.
        {"friend it blocks", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kUp},
        // Beside its way (it faces down, or up, after the turn of this step), or with the friend
        // behind it, it steps to the side away from the friend.
        {"friend beside its way down", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kBack, false, false,
         -1, 0, 0, kOpen, false, false, 13},
        {"friend beside its way up", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kBack, false, false, -1,
         0, 0, kOpen, false, false, 3},
        {"friend above its way", above, kOnUnit, kNobody, 0, 0, 1, 2, 1, kDown},
        {"friend behind its way", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kBackDown, false, false,
         -1, 0, 0, kOpen, false, false, 1},
        {"friend it blocks, both sides shut", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kBack, false,
         false, -1, 0, 0, kSides},
        // A full step across its way would leave a passage two cells wide: half of one is taken.
        {"friend it blocks, a full step across shut", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1,
         kUpHalf, false, false, -1, 0, 0, kSidesFullStep},
        // A place the grid leaves open but a friend's outline covers is not stepped to; half
        // way there is.
        {"friend it blocks, another over its way up", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1,
         kUpHalf, false, false, -1, 0, 0, kFriendUp},
        // A step aside only to a place it can take, the straight way there free too; with none,
        // it waits as any other held unit does, and held long asks a way round.
        {"friend it blocks, its way up shut half way", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kDown,
         false, false, -1, 0, 0, kUpHalfWay},
        {"friend it blocks, every place shut", busy, kOnUnit, kNobody, 0, 1, 1, 1, 0, kNone, false,
         false, -1, 0, 0, kAllAround},
        {"friend it blocks, every place shut, held long", busy, kOnUnit, kNobody, 1, 0, 1, 1, 0,
         kNone, false, false, hold, 0, 0, kAllAround},
        // Beside its way, both sides of its own way and the first across the line shut.
        {"friend beside its way down, all but down shut", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1,
         kDown, false, false, -1, 0, 0, kAllButDown, false, false, 13},
        // Due west, beside its way up: the side of its way toward the friend is passed over.
        {"friend west beside its way up", west, kOnUnit, kNobody, 0, 0, 1, 2, 1, kEast, false,
         false, -1, 0, 0, kOpen, false, false, 3},
        // The step taken, a hold however long asks no way round as well.
        {"friend it blocks, held long", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kUp, false, false,
         hold},
        {"friend it blocks, stepped aside a moment ago", busy, kOnUnit, kNobody, 0, 1, 1, 1, 0,
         kNone, false, false, -1, 0, 1},
        // A new step aside replaces the one it was on, route and all.
        {"friend it blocks, stepping aside", busy, kOnUnit, kNobody, 0, 0, 1, 2, 1, kUp, true},
        // Face to face with one made after it: the other steps aside, this one waits.
        {"later friend it blocks", late, kOnUnit, kNobody, 0, 1, 1, 1, 0},
        {"later friend it blocks, held long", late, kOnUnit, kNobody, 1, 0, 1, 1, 0, kNone, false,
         false, hold},
        // A ring of three: the latest made of it (here the unit) steps aside as of two face to
        // face, held long or not; the others, and one in a chain, wait, held long they ask a
        // route round their friends.
        {"ring of three", busy, kOnThird, kOnUnit, 0, 0, 1, 2, 1, kUp},
        {"ring of three, held long", busy, kOnThird, kOnUnit, 0, 0, 1, 2, 1, kUp, false, false,
         hold},
        {"ring of three with a later friend", late, kOnThird, kOnUnit, 0, 1, 1, 1, 0},
        {"ring of three with a later friend, held long", late, kOnThird, kOnUnit, 1, 0, 1, 1, 0,
         kNone, false, false, hold},
        {"chain that ends", busy, kOnThird, kNobody, 0, 1, 1, 1, 0},
        {"ring it is not in", busy, kOnThird, kOnBusy, 0, 1, 1, 1, 0},
        {"a blocker chain of ten back to it", busy, kOnChain, kNobody, 0, 1, 1, 1, 0},
        {"a blocker chain of ten back to it, held long", busy, kOnChain, kNobody, 1, 0, 1, 1, 0,
         kNone, false, false, hold},
        // A friend whose only goal is a step aside it is taking has no errand: the shared rule
        // refuses to push one that is not blocked, and the unit waits, face to face as well.
        {"friend stepping aside blocks it", busy, kOnThird, kNobody, 0, 1, 1, 1, 0, kNone, false,
         true},
        {"friend stepping aside, face to face", busy, kOnUnit, kNobody, 0, 1, 1, 1, 0, kNone, false,
         true},
        // Of two face to face exactly one yields, the one without an errand first: both waiting,
        // they sought mirrored ways round each other at the same moment, again and again.
        {"stepping aside, friend stepping aside it blocks", busy, kOnUnit, kNobody, 0, 0, 1, 1, 1,
         kUp, kOnlyStep, true},
        {"stepping aside, later friend stepping aside", late, kOnUnit, kNobody, 0, 1, 1, 2, 2,
         kNone, kOnlyStep, true},
        {"stepping aside, later friend on its errand", late, kOnUnit, kNobody, 0, 0, 1, 1, 1, kUp,
         kOnlyStep},
        {"chain that ends, held a while", busy, kOnThird, kNobody, 0, 1, 1, 1, 0, kNone, false,
         false, hold - 1},
        {"chain that ends, held long", busy, kOnThird, kNobody, 1, 0, 1, 1, 0, kNone, false, false,
         hold},
        {"friend on the move, held long", busy, kOnThird, kNobody, 1, 0, 1, 1, 0, kNone, false,
         false, hold + 1000, 0, 0, kOpen, true},
        {"on its way to a target, held long", busy, kOnThird, kNobody, 1, 0, 1, 1, 0, kNone, false,
         false, hold, 0, 0, kOpen, false, true},
    };
    int serial = 20;
    for (const Row& row : rows) {
        Sim* sim = Add(world, kit.MakeSim(1, serial++, at));
        const SimId ids[] = {SimId(), sim->id, third->id, busy->id, chain.front()->id};
        for (size_t i = 0; i < chain.size(); ++i)
            chain[i]->blockingSim = i + 1 < chain.size() ? chain[i + 1]->id : sim->id;
        busy->blockingSim = ids[row.busyWaits];
        late->blockingSim = ids[row.busyWaits];
        above->blockingSim = ids[row.busyWaits];
        west->blockingSim = ids[row.busyWaits];
        third->blockingSim = ids[row.thirdWaits];
        if (row.toTarget)
            sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id,
                                                              row.attack      ? enemy->id
                                                              : row.onBlocker ? deployed.id
                                                                              : third->id,
                                                              Point(), 1, 1));
        else if (row.ownAside != kOnlyStep)
            sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, far, 0, 1, 1));
        busy->SetMoving(row.busyMoving ? 1 : 0);
        auto aside = [](GameObject& o, int waypoint) {
            o.goals.PushFront(std::make_unique<LocationGoal>(o.id, Point(420, 520), 0, 1, 1));
            o.goals.Front()->movedAside = 1;
            o.goals.Front()->waypoint = waypoint;
        };
        if (row.ownAside) aside(*sim, 0), aside(*sim, 1);
        for (Sim* s : {busy, late})
            s->goals.Front()->movedAside = row.theirAside && s == row.blocker ? 1 : 0;
        idle->ClearGoals();
        idle->friendWay.asideMs = row.friendAsideMs;
        sim->friendWay.asideMs = row.ownAsideMs;
        sim->friendWay.heldMs = row.heldMs;
        // Each place a full step off, and the place half way there.
        auto fullAndHalf = [&](std::initializer_list<Point> offsets) {
            std::vector<Point> places;
            for (const Point& o : offsets)
                places.insert(places.end(), {at + o, at + Point(o.x / 2, o.y / 2)});
            return places;
        };
        const std::vector<Point> shut[] = {{},
                                           fullAndHalf({Point(0, -d), Point(0, d)}),
                                           {},
                                           fullAndHalf({Point(0, -d), Point(0, d), Point(-d, 0)}),
                                           {at + Point(0, -d / 2)},
                                           fullAndHalf({Point(0, -d), Point(-d, 0), Point(d, 0)}),
                                           {at + Point(0, -d), at + Point(0, d)}};
        static_assert(kFriendUp == std::size(shut));
        world.blocked = row.shut < kFriendUp ? shut[row.shut] : std::vector<Point>();
        overUp->SetPosition(row.shut == kFriendUp ? at + Point(0, -d) : far);
        if (row.shut == kGoal || row.shut == kGoalFriend)
            world.blocked = {sim->goals.Front()->GetLocation()};
        world.blockedBy = row.shut == kGoal         ? &factory
                          : row.shut == kGoalFriend ? static_cast<GameObject*>(idle)
                                                    : nullptr;
        const bool givesUp = (row.shut == kGoal || row.onBlocker) && row.toTarget && !row.attack;
        sim->goals.Front()->active = 1;
        world.refusePlacement = 1;
        world.placementBlocker = row.blocker;
        sim->facing = row.facing;
        sim->turnAndMove = 1;
        EXPECT_EQ(sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0))), 0) << row.name;
        world.refusePlacement = 0;
        // Given up, the goal ends as one whose route failed twice, reported once.
        EXPECT_EQ(sim->goals.IsFrontBlocked(), givesUp ? 1 : 0) << row.name;
        if (!row.attack) {
            EXPECT_EQ(sim->goals.Front()->IsDone(), givesUp ? 1 : 0) << row.name;
        }
        // The hold counts from the first refused step and anew from each way round asked for.
        EXPECT_EQ(sim->friendWay.heldMs, row.routeAround == 1 || row.heldMs < 0 ? 0 : row.heldMs)
            << row.name;
        EXPECT_EQ(sim->friendWay.asideMs, row.own != kNone ? Sim::kAsideMs : row.ownAsideMs)
            << row.name;
        if (row.own != kNone) {
            const Point offsets[] = {Point(),     Point(0, -d), Point(-d, 0),    Point(-91, 91),
                                     Point(0, d), Point(d, 0),  Point(0, -d / 2)};
            const Point offset = offsets[row.own];
            EXPECT_EQ(sim->goals.Front()->GetLocation(), at + offset) << row.name;
        }
        // A step taken ends the hold.
        sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0)));
        EXPECT_EQ(sim->friendWay.heldMs, -1) << row.name;
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
            // A friend on an errand keeps its one goal; the idle one was sent aside, and is
            // then not sent again until it has had the time to take its step.
            const bool sent = row.blocker == idle && row.friendAsideMs == 0;
            EXPECT_EQ(aside, row.asideGoals) << row.name;
            EXPECT_EQ(marked, sent || row.theirAside ? 1 : 0) << row.name;
            if (row.blocker == idle) {
                EXPECT_EQ(idle->friendWay.asideMs, sent ? Sim::kAsideMs : row.friendAsideMs)
                    << row.name;
            }
            if (row.theirAside) {
                EXPECT_EQ(row.blocker->goals.Front()->GetLocation(), at) << row.name;
                EXPECT_EQ(row.blocker->goals.IsFrontBlocked(), 0) << row.name;
            }
        }
    }
    // Every rule of ours off, a friend (or a wreck) in the way is only remembered, whatever the
    // unit was doing and however long it was held: nothing is given up, sought round or sent.
    BlockedStepPolicy::SwitchAll(false);
    for (const Row& row : rows) {
        Sim* sim = Add(world, kit.MakeSim(1, serial++, at));
        sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, far, 0, 1, 1));
        sim->friendWay.heldMs = row.heldMs < 0 ? 0 : row.heldMs + Sim::kFriendHoldMs;
        idle->ClearGoals();
        idle->friendWay.asideMs = 0;
        int theirs = 0;
        row.blocker->goals.ForEach([&](Goal&) { ++theirs; });
        world.blocked = row.shut == kGoal ? std::vector<Point>{far} : std::vector<Point>();
        world.blockedBy = row.shut == kGoal ? &factory : nullptr;
        sim->goals.Front()->active = 1;
        world.refusePlacement = 1;
        world.placementBlocker = row.blocker;
        sim->turnAndMove = 1;
        EXPECT_EQ(sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(1, 0))), 0) << row.name;
        world.refusePlacement = 0;
        EXPECT_EQ(sim->blockingSim, row.blocker->id) << row.name;
        EXPECT_EQ(sim->goals.IsFrontBlocked(), 0) << row.name;
        EXPECT_EQ(sim->goals.Front()->active, 1) << row.name;
        EXPECT_EQ(sim->goals.Front()->movedAside, 0) << row.name;
        EXPECT_EQ(sim->routeAroundFriends, 0) << row.name;
        int after = 0;
        row.blocker->goals.ForEach([&](Goal&) { ++after; });
        EXPECT_EQ(after, theirs) << row.name;
    }
    BlockedStepPolicy::SwitchAll(true);
    // A rule beyond the table is never on, nor switched on, and has no name; switching one off
    // touches no row.
    for (const int past : {-1, int{BlockedStepPolicy::kRules}, BlockedStepPolicy::kRules + 1}) {
        const auto rule = static_cast<BlockedStepPolicy::Rule>(past);
        EXPECT_NO_THROW(BlockedStepPolicy::Switch(rule, true)) << past;
        EXPECT_FALSE(BlockedStepPolicy::On(rule)) << past;
        EXPECT_NO_THROW(BlockedStepPolicy::Switch(rule, false)) << past;
    }
    for (int r = 0; r < BlockedStepPolicy::kRules; ++r)
        EXPECT_TRUE(BlockedStepPolicy::On(static_cast<BlockedStepPolicy::Rule>(r))) << r;
    EXPECT_STREQ(BlockedStepPolicy::Name(BlockedStepPolicy::kRules), "");
    EXPECT_STREQ(BlockedStepPolicy::Name(BlockedStepPolicy::kStructureCoversSide),
                 "structure covers the errand's side");
    // Every row is counted under a name of its own: one left out shifted the rest onto the
    // wrong rows.
    EXPECT_STREQ(BlockedStepPolicy::Name(BlockedStepPolicy::kTargetFillsCellBeside),
                 "the target fills the cell beside");
    std::set<std::string> names;
    for (int r = 0; r < BlockedStepPolicy::kRules; ++r) {
        const char* name = BlockedStepPolicy::Name(static_cast<BlockedStepPolicy::Rule>(r));
        ASSERT_NE(name, nullptr) << r;
        EXPECT_TRUE(names.insert(name).second) << name;
    }
}

// A crowd sent to one place, more than it holds: a computer player's unit on a move (a place in
// a formation, a rally point: nothing queued behind it), held by a friend nearer the place while
// another friend holds the place itself, counts as arrived; it pushes nobody off and reports no
// failure. The friend on the place may be an ally's, and one bound elsewhere holds it while its
// own step is refused. A player's unit, a worker's trip, one far from its place or ahead of the
// friend, a place nobody holds or one held by an enemy or by a friend moving on elsewhere, and a
// guard going back to its post go on as before.
TEST_F(FriendlyBlocker, ACrowdRoundOnePlaceStopsItsLastArrivals) {
    const Point place(400, 400), at(400, 400 + 3 * 32);
    world.Ally(1, 3);
    // The friend on the place by its team: of the unit's side, an ally's, an enemy's.
    std::map<int, Sim*> holders = {{1, Add(world, kit.MakeSim(1, 8, place))},
                                   {3, Add(world, kit.MakeSim(3, 11, place))},
                                   {2, Add(world, kit.MakeSim(2, 12, place))}};
    for (auto& [team, h] : holders)
        h->body.reset();  // measuring 64 x 64 then
    Sim* blocker = Add(world, kit.MakeSim(1, 9, at + Point(0, -40)));
    Sim* enemy = Add(world, kit.MakeSim(2, 10, place + Point(600, 0)));
    // The friend on the place: idle, bound a cell off it, bound just over a cell off, or none.
    enum Holder { kIdle, kBoundThere, kBoundElsewhere, kNone };
    EventReceiver computer;
    struct Row {
        const char* name;
        // A computer player's unit, not a player's.
        bool computer = true;
        Holder holds = kIdle;
        // Where the friend in the way stands, from the unit; how far the unit is from its place.
        Point blockerOffset = Point(0, -40);
        int distance = 3 * 32;
        bool guarding = false, routeStops = false, ruleOn = true;
        bool arrives = true;
        // Behind the move: a leg of a worker's trip (its unloading), or an attack on an enemy.
        bool worker = false;
        // A move never routed keeps its quiet failure; a routed one's last stop reports it.
        bool quiet = false;
        bool attackBehind = false;
        // Its move is a step aside it was sent on.
        bool stepAside = false;
        int holderTeam = 1;
        // The friend on the place had its own step refused; it stands, or moves on since.
        bool holderStands = false;
        bool holderMoving = false;
        // The unit measures 64 x 64, so that it covers its place itself.
        bool unitOnPlace = false;
    };
    const Row rows[] = {
        {"a rule's move, the place held, the friend nearer it"},
        {"a route stop ahead of the move", true, kIdle, Point(0, -40), 3 * 32, false, true},
        {"the place's friend bound there itself", true, kBoundThere},
        {"a player's unit", false, kIdle, Point(0, -40), 3 * 32, false, false, true, false},
        {"nobody on the place", true, kNone, Point(0, -40), 3 * 32, false, false, true, false},
        {"the place's friend bound elsewhere", true, kBoundElsewhere, Point(0, -40), 3 * 32, false,
         false, true, false},
        {"the friend in the way behind it", true, kIdle, Point(0, 40), 3 * 32, false, false, true,
         false},
        {"at its post, the friend in the way behind it", true, kIdle, Point(0, 40),
         BlockedStepPolicy::kPostReach},
        {"just off its post, the friend in the way behind it", true, kIdle, Point(0, 40),
         BlockedStepPolicy::kPostReach + 1, false, false, true, false},
        {"just within reach", true, kIdle, Point(0, -40), BlockedStepPolicy::kCrowdReach},
        {"beyond reach", true, kIdle, Point(0, -40), BlockedStepPolicy::kCrowdReach + 1, false,
         false, true, false},
        {"a guard back to its post", true, kIdle, Point(0, -40), 3 * 32, true, false, true, false},
        {"the rule off", true, kIdle, Point(0, -40), 3 * 32, false, false, false, false},
        {"a worker's trip", true, kIdle, Point(0, -40), 3 * 32, false, false, true, false, true},
        {"a quiet move", true, kIdle, Point(0, -40), 3 * 32, false, false, true, true, false, true},
        {"an attack behind the move", true, kIdle, Point(0, -40), 3 * 32, false, false, true, true,
         false, false, true},
        {"a step aside", true, kIdle, Point(0, -40), 3 * 32, false, false, true, false, false,
         false, false, true},
        {.name = "an ally's unit idle on the place", .holderTeam = 3},
        {.name = "an enemy on the place", .arrives = false, .holderTeam = 2},
        {.name = "nobody but the unit itself on the place",
         .holds = kNone,
         .distance = 16,
         .arrives = false,
         .unitOnPlace = true},
        {.name = "an ally's bound elsewhere, its step refused",
         .holds = kBoundElsewhere,
         .holderTeam = 3,
         .holderStands = true},
        {.name = "an ally's bound elsewhere, its step refused, moving on",
         .holds = kBoundElsewhere,
         .arrives = false,
         .holderTeam = 3,
         .holderStands = true,
         .holderMoving = true},
    };
    int serial = 20;
    for (const Row& row : rows) {
        const Point from = place + Point(0, row.distance);
        Sim* sim = Add(world, kit.MakeSim(1, serial++, from));
        if (row.unitOnPlace) sim->body.reset();
        for (auto& [team, h] : holders)
            h->SetPosition(place + Point(300, team * 100));
        Sim* holder = holders[row.holderTeam];
        holder->ClearGoals();
        holder->friendWay.asideMs = 0;
        holder->blockingSim = row.holderStands ? blocker->id : SimId();
        holder->moving = row.holderMoving ? 1 : 0;
        holder->SetPosition(row.holds == kNone ? place + Point(300, 0) : place);
        if (row.holds == kBoundThere || row.holds == kBoundElsewhere)
            holder->goals.PushFront(std::make_unique<LocationGoal>(
                holder->id, row.holds == kBoundThere ? place + Point(32, 0) : place + Point(0, 33),
                0, 1, 1));
        blocker->ClearGoals();
        blocker->friendWay.asideMs = 0;
        blocker->SetPosition(from + row.blockerOffset);
        if (row.guarding) sim->Guard(place, SimId());
        if (row.worker) sim->goals.PushFront(std::make_unique<UnloadGoal>(sim->id, 1, 1));
        if (row.attackBehind)
            sim->goals.PushFront(std::make_unique<TargetGoal>(sim->id, enemy->id, Point(), 1, 1));
        sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, place, 0, 1, 1));
        sim->goals.Front()->reportFailure = row.quiet ? 0 : 1;
        sim->goals.Front()->movedAside = row.stepAside ? 1 : 0;
        world.controllers[1] = row.computer ? &computer : nullptr;
        world.localTeamAutoPlayed = row.computer ? 1 : 0;
        if (row.routeStops) {
            sim->goals.PushFront(
                std::make_unique<LocationGoal>(sim->id, from + Point(0, -32), 0, 1, 1));
            sim->goals.Front()->waypoint = 1;
        }
        BlockedStepPolicy::Switch(BlockedStepPolicy::kPlaceHeldByFriends, row.ruleOn);
        sim->goals.Front()->active = 1;
        sim->turnAndMove = 1;
        world.refusePlacement = 1;
        world.placementBlocker = blocker;
        EXPECT_EQ(sim->MoveAlong(2.0, sim->goals.Front(), Vector(Point(0, -1))), 0) << row.name;
        world.refusePlacement = 0;
        BlockedStepPolicy::Switch(BlockedStepPolicy::kPlaceHeldByFriends, true);
        // Arrived: the move is left ahead of what was behind it, blocked, and done as a quiet move
        // blocked is.
        Goal* front = sim->goals.Front();
        ASSERT_NE(front, nullptr) << row.name;
        EXPECT_EQ(front->waypoint, row.routeStops && !row.arrives ? 1 : 0) << row.name;
        EXPECT_EQ(sim->goals.IsFrontBlocked(), row.arrives ? 1 : 0) << row.name;
        EXPECT_EQ(front->IsDone(), row.arrives ? 1 : 0) << row.name;
        // Arrived, it failed nothing.
        EXPECT_EQ(front->reportFailure, row.arrives || row.quiet ? 0 : 1) << row.name;
        // Arrived, it sends nobody aside; otherwise the idle friend in the way is sent, as before.
        int pushed = 0;
        blocker->goals.ForEach([&](Goal& g) { pushed += g.movedAside; });
        EXPECT_EQ(pushed, row.arrives ? 0 : 1) << row.name;
        EXPECT_EQ(holder->goals.Front() == nullptr, row.holds == kIdle || row.holds == kNone)
            << row.name;
        sim->ClearGoals();
        sim->SetPosition(Point(1200, 1200));
        world.controllers[1] = nullptr;
    }
}

// Two face to face on their errands where neither can step aside, as in a lane one cell wide: a
// computer player's unit, the one that yields, trades places with its friend (of its side or an
// allied computer player's), each going on from the other's place. A player's unit or a player's
// ally, the one that does not yield, a friend on no errand, room to step aside, a place the other
// does not fit, or the rule off: no trade.
TEST_F(FriendlyBlocker, InALaneTwoFaceToFaceTradePlaces) {
    const Point at(480, 480);
    const int d = DefaultPushDistance();
    EventReceiver computer;
    struct Row {
        const char* name;
        bool computer = true, madeLater = false, friendErrand = true, lane = true;
        bool friendPlaceShut = false, ruleOn = true, traded = false;
        // The friend's side: the unit's own, or an ally run by a computer player or by a player.
        int friendTeam = 1;
        bool allyComputer = false;
        // Where the friend is bound, from the unit: past it (west), or east, past its own place.
        int friendBound = -300;
        bool network = false;
        // The lane runs north to south, the friend south of the unit.
        bool vertical = false;
    };
    const Row rows[] = {
        {"a computer player's two in a lane", true, false, true, true, false, true, true},
        {"an allied computer player's unit", true, false, true, true, false, true, true, 3, true},
        {"a player's ally", true, false, true, true, false, true, false, 3},
        {"a player's two", false},
        {"the friend made later", true, true},
        {"a friend on no errand", true, false, false},
        {"room to step aside", true, false, true, false},
        {"the friend's place shut to it", true, false, true, true, true},
        {"the rule off", true, false, true, true, false, false},
        // Bound the same way, the friend would stand further from its way's next place.
        {"the friend bound the same way", true, false, true, true, false, true, false, 1, false,
         300},
        {"the friend bound between the two", true, false, true, true, false, true, false, 1, false,
         20},
        // No command tells the other machines of a trade.
        {"a network game", true, false, true, true, false, true, false, 1, false, -300, true},
        {"a computer player's two in a lane north to south", true, false, true, true, false, true,
         true, 1, false, -300, false, true},
    };
    int serial = 20;
    for (const Row& row : rows) {
        auto along = [&row](int n) { return row.vertical ? Point(0, n) : Point(n, 0); };
        auto across = [&row](int n) { return row.vertical ? Point(n, 0) : Point(0, n); };
        const Point there = at + along(40);
        Sim* sim = Add(world, kit.MakeSim(1, serial, at));
        Sim* other = Add(
            world, kit.MakeSim(row.friendTeam, row.madeLater ? serial + 100 : serial - 10, there));
        ++serial;
        sim->goals.PushFront(std::make_unique<LocationGoal>(sim->id, at + along(300), 0, 1, 1));
        if (row.friendErrand)
            other->goals.PushFront(
                std::make_unique<LocationGoal>(other->id, at + along(row.friendBound), 0, 1, 1));
        other->blockingSim = sim->id;
        world.controllers[1] = row.computer ? &computer : nullptr;
        world.localTeamAutoPlayed = row.computer ? 1 : 0;
        world.controllers[3] = row.allyComputer ? &computer : nullptr;
        world.network = row.network ? 1 : 0;
        world.blocked.clear();
        if (row.lane)
            for (const Point& o : {across(-d), across(d), along(-d)})
                world.blocked.insert(world.blocked.end(), {at + o, at + Point(o.x / 2, o.y / 2)});
        if (row.friendPlaceShut) world.blocked.push_back(there);
        BlockedStepPolicy::Switch(BlockedStepPolicy::kFaceToFaceTradePlaces, row.ruleOn);
        sim->goals.Front()->active = 1;
        sim->facing = row.vertical ? 12 : 8;
        BlockedStepPolicy::FriendInTheWay(*sim, other);
        BlockedStepPolicy::Switch(BlockedStepPolicy::kFaceToFaceTradePlaces, true);
        EXPECT_EQ(sim->GetPosition(), row.traded ? there : at) << row.name;
        EXPECT_EQ(other->GetPosition(), row.traded ? at : there) << row.name;
        // Traded, neither is held by the other, and each goes on with its errand.
        EXPECT_EQ(other->blockingSim, row.traded ? SimId() : sim->id) << row.name;
        EXPECT_EQ(sim->friendWay.heldMs, row.traded ? -1 : 0) << row.name;
        EXPECT_EQ(sim->goals.Front()->movedAside, row.lane ? 0 : 1) << row.name;
        // A friend on no errand is sent aside instead.
        EXPECT_EQ(other->goals.Front() && other->goals.Front()->movedAside == 1, !row.friendErrand)
            << row.name;
        sim->SetPosition(Point(1200, 1200));
        other->SetPosition(Point(1200, 1300));
        sim->ClearGoals();
        other->ClearGoals();
        other->blockingSim = SimId();
    }
    world.controllers[1] = world.controllers[3] = nullptr;
    world.network = 0;
    world.blocked.clear();
}

}  // namespace
