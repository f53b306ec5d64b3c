// The path-request queue, route following, and the route helpers.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "core/PtrNode.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "map/RoutePoints.h"
#include "world/PathRequestNode.h"
#include "world/RegistryTestFixture.h"
#include "world/SimIdNode.h"

namespace {

void Append(NodeList& list, const std::vector<Point>& points) {
    for (const Point& p : points)
        list.PushBack(new PointNode(p));
}

// The ids of the queue from its head (the last node) back.
std::vector<SimId> QueueFromHead(World& world) {
    std::vector<SimId> ids;
    for (ListNode* n = world.pathRequests.Last(); n; n = world.pathRequests.Prev(n))
        ids.push_back(static_cast<SimIdNode*>(n)->id);
    return ids;
}

class PathRequestTest : public ::testing::Test {
protected:
    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
};

TEST_F(PathRequestTest, AnEmptyQueueGivesTheTurnAtOnceAndQueuesTheNextUnitOfTheTick) {
    TestObject* a = land.AddUnit(2, 1, 3, 3);
    TestObject* b = land.AddUnit(2, 2, 5, 5);
    EXPECT_EQ(world.TakePathTurn(a), 1);
    EXPECT_EQ(world.pathSearchesThisTick, 1);
    EXPECT_EQ(world.TakePathTurn(b), 0);
    EXPECT_EQ(QueueFromHead(world), std::vector<SimId>({b->id}));
    // Asking again in the same tick does not queue it twice.
    EXPECT_EQ(world.TakePathTurn(b), 0);
    EXPECT_EQ(world.pathRequests.Count(), 1);
    // Next tick: b is the head and is served, a is queued.
    world.pathSearchesThisTick = 0;
    EXPECT_EQ(world.TakePathTurn(a), 0);
    EXPECT_EQ(world.TakePathTurn(b), 1);
    EXPECT_EQ(QueueFromHead(world), std::vector<SimId>({a->id}));
}

TEST_F(PathRequestTest, FlaggedUnitsGoFirstThenTheLocalTeamThenOthersNewestFirst) {
    TestObject* other1 = land.AddUnit(2, 1, 2, 2);
    TestObject* other2 = land.AddUnit(2, 2, 2, 4);
    TestObject* local1 = land.AddUnit(1, 3, 4, 2);
    TestObject* local2 = land.AddUnit(1, 4, 4, 4);
    TestObject* flagged = land.AddUnit(2, 5, 6, 2);
    flagged->pathPriority = 1;
    world.QueuePathRequest(other1);
    world.QueuePathRequest(local1);
    world.QueuePathRequest(other2);
    world.QueuePathRequest(local2);
    world.QueuePathRequest(flagged);
    EXPECT_EQ(QueueFromHead(world),
              std::vector<SimId>({flagged->id, local2->id, local1->id, other2->id, other1->id}));
    EXPECT_EQ(world.FindPathRequest(local1->id, -1), 3);
    EXPECT_EQ(world.FindPathRequest(SimId(3, 3), -1), 0);
    // Waiting again after a refused turn goes behind the others of its priority.
    world.pathSearchesThisTick = 1;
    TestObject* local3 = land.AddUnit(1, 6, 8, 8);
    EXPECT_EQ(world.TakePathTurn(local3), 0);
    EXPECT_EQ(world.FindPathRequest(local3->id, 1), 4);
}

TEST_F(PathRequestTest, AUnitWhosePriorityChangedIsQueuedAnewBehindItsNewPriority) {
    TestObject* mover = land.AddUnit(2, 1, 2, 2);
    TestObject* local = land.AddUnit(1, 2, 4, 4);
    world.QueuePathRequest(mover);
    world.QueuePathRequest(local);
    world.pathSearchesThisTick = 1;
    mover->pathPriority = 1;
    // Its key-0 request is dropped and a key-2 request made; the InsertSorted keeps keys
    // ascending from the front, so it lands at the back (the head).
    EXPECT_EQ(world.TakePathTurn(mover), 0);
    EXPECT_EQ(world.pathRequests.Count(), 2);
    EXPECT_EQ(QueueFromHead(world), std::vector<SimId>({mover->id, local->id}));
    EXPECT_EQ(world.FindPathRequest(mover->id, 2), 1);
}

TEST_F(PathRequestTest, AVanishedHeadIsDroppedAndTheNextInLineIsConsideredAtOnce) {
    TestObject* gone = land.AddUnit(2, 1, 2, 2);
    TestObject* next = land.AddUnit(2, 2, 4, 4);
    world.QueuePathRequest(next);
    world.QueuePathRequest(gone);
    gone->id = SimId(4, 99);
    // The head names (2, 1), which no longer exists.
    EXPECT_EQ(world.TakePathTurn(next), 1);
    EXPECT_TRUE(world.pathRequests.IsEmpty());
    EXPECT_EQ(world.frontRequestAge, 0);
}

// Whoever asks meanwhile, the search that goes on is served first (any other's fresh search
// would discard it): a flagged unit queued after it, a local unit (of a higher priority) refused
// its turn, a request overdue, for which it runs to its end at its next turn. The other is
// served next. While the queue gives more than one turn a tick, the search runs to its end in
// its first, the other (queued first, the head) waiting still.
TEST_F(PathRequestTest, ASearchThatNeedsMoreThanOneBudgetSpansSeveralTicks) {
    // A cup of water open to the left, its bottom between the unit and the goal.
    std::vector<std::string> rows(60, std::string(60, 'c'));
    for (int c = 5; c <= 45; ++c) {
        rows[5][c] = 'w';
        rows[54][c] = 'w';
    }
    for (int r = 5; r <= 54; ++r)
        rows[r][45] = 'w';
    WorldOnLand big{OpenLand(60, 60, rows)};
    auto unit = std::make_unique<TestObject>(2, 1, big.Centre(30, 40));
    unit->collision.noWater = 1;
    TestObject* raw = unit.get();
    std::unique_ptr<GameObject> owned = std::move(unit);
    ASSERT_EQ(big.world.AddSim(owned), 1);
    const Point goal = big.Centre(30, 52);
    struct Row {
        const char* name;
        int team, flagged;
        bool overdue;
        int turns;
    };
    const Row cases[] = {
        {"a flagged unit queued after it", 2, 1, false, 1},
        {"a local unit refused its turn", 1, 0, false, 1},
        {"a request overdue", 2, 0, true, 1},
        {"a long queue", 2, 0, false, 2},
    };
    int serial = 2;
    for (const Row& row : cases) {
        TestObject* other = big.AddUnit(row.team, serial, 2, serial);
        ++serial;
        other->pathPriority = row.flagged;
        if (row.turns > 1) big.world.QueuePathRequest(other);
        big.world.pathTurnsThisTick = row.turns;
        NodeList route;
        int ticks = 0;
        int result = 0;
        while (result != 1 && ticks < 20) {
            ++ticks;
            big.world.pathSearchesThisTick = 0;
            ASSERT_EQ(big.world.TakePathTurn(raw), 1) << row.name << ", tick " << ticks;
            result = big.world.RequestPath(raw, goal, route, 0, 0);
            EXPECT_EQ(big.world.RouteSearchGoesOn(), result == 1 ? 0 : 1) << row.name;
            EXPECT_TRUE(big.world.searchToFinish.IsNull()) << row.name;
            if (result == 1) break;
            ASSERT_EQ(big.world.pathGrid->IsCutShort(), 1) << row.name;
            big.world.QueuePathRequest(raw);
            if (ticks > 1) continue;
            if (row.flagged == 1 || row.overdue)
                big.world.QueuePathRequest(other);
            else
                EXPECT_EQ(big.world.TakePathTurn(other), 0) << row.name;
            if (row.overdue) {
                const auto waiting =
                    big.world.pathRequestIndex.find(PathRequestNode::KeyOf(other->id));
                static_cast<PathRequestNode*>(waiting->second)->waitedMs =
                    World::kPathWaitBoundMs + 1;
                big.world.overdueKnown = false;
            }
            EXPECT_EQ(QueueFromHead(big.world).size(), 2u) << row.name;
        }
        EXPECT_EQ(QueueFromHead(big.world), std::vector<SimId>({other->id})) << row.name;
        EXPECT_EQ(result, 1) << row.name;
        // Overdue, the search's second turn is its last; with turns to spare, its first.
        EXPECT_EQ(ticks == 2, row.overdue) << row.name;
        EXPECT_EQ(ticks > 1, row.turns == 1) << row.name;
        const std::vector<Point> points = PointsOf(route);
        ASSERT_GE(points.size(), 3u) << row.name;
        EXPECT_EQ(points.front(), big.Centre(30, 40)) << row.name;
        EXPECT_EQ(points.back(), goal) << row.name;
        big.world.pathSearchesThisTick = 0;
        EXPECT_EQ(big.world.TakePathTurn(other), 1) << row.name;
        EXPECT_TRUE(big.world.pathRequests.IsEmpty()) << row.name;
        big.world.searchToFinish = SimId();
    }
}

// A queue fed a new request every tick, served at once by priority and newest first: the old
// request (another team's, priority 0) is served once it has waited past the bound, whatever
// the newcomers' priority, flagged ones included; one dropped at the front while its unit did
// not ask keeps its wait and is served the tick after its unit asks again. Newcomers queued as
// a search that goes on restart the front's count; those that only ask for a turn do not.
TEST_F(PathRequestTest, ARequestWaitingPastTheBoundGoesAheadOfNewerOnesOfAnyPriority) {
    constexpr int kTickMs = 16;
    constexpr int kBoundTicks = World::kPathWaitBoundMs / kTickMs;
    struct Row {
        const char* name;
        int newcomerTeam, flagged;
        bool searchGoesOn;
        int silentTicks;  // the old unit does not ask for its turn before this tick
        int servedBy;     // the last tick it may be served in
    };
    const Row rows[] = {
        {"local newcomers", 1, 0, true, 0, kBoundTicks + 2},
        {"flagged newcomers", 2, 1, true, 0, kBoundTicks + 2},
        {"dropped while silent", 1, 0, false, kBoundTicks + 40, kBoundTicks + 42},
    };
    int serial = 100;
    int column = 2;
    for (const Row& row : rows) {
        std::vector<TestObject*> newcomers;
        for (int i = 0; i < 4; ++i)
            newcomers.push_back(land.AddUnit(row.newcomerTeam, serial++, 1 + i, column));
        TestObject* old = land.AddUnit(2, serial++, 8, column);
        column += 4;
        world.pathSearchesThisTick = 1;
        ASSERT_EQ(world.TakePathTurn(old), 0) << row.name;
        int servedAt = -1;
        bool droppedMeanwhile = false;
        for (int tick = 1; tick <= 3 * kBoundTicks && servedAt < 0; ++tick) {
            world.AgePathRequests(kTickMs);
            world.pathSearchesThisTick = 0;
            TestObject* newcomer = newcomers[static_cast<size_t>(tick) % newcomers.size()];
            newcomer->pathPriority = row.flagged;
            if (row.searchGoesOn) world.QueuePathRequest(newcomer);
            world.TakePathTurn(newcomer);
            droppedMeanwhile = droppedMeanwhile || world.FindPathRequest(old->id, -1) == 0;
            if (tick > row.silentTicks && world.TakePathTurn(old) == 1) servedAt = tick;
        }
        EXPECT_NE(servedAt, -1) << row.name;
        EXPECT_LE(servedAt, row.servedBy) << row.name;
        EXPECT_GE(servedAt, row.silentTicks > 0 ? row.silentTicks + 2 : kBoundTicks) << row.name;
        EXPECT_EQ(droppedMeanwhile, row.silentTicks > 0) << row.name;
        world.pathRequests.DeleteAll();
        world.droppedRequestWaits.clear();
    }
    // Exactly at the bound a request is not overdue yet; of equal overdue waits the one nearer
    // the head goes first.
    TestObject* a = land.AddUnit(2, serial++, 10, 2);
    TestObject* b = land.AddUnit(2, serial++, 10, 6);
    world.QueuePathRequest(a);
    world.QueuePathRequest(b);
    auto* older = dynamic_cast<PathRequestNode*>(world.pathRequests.First());
    ASSERT_NE(older, nullptr);
    // The waits are set by hand here, so the queue's walk is asked for anew each time, as the
    // tick's ageing does.
    older->waitedMs = World::kPathWaitBoundMs;
    world.overdueKnown = false;
    EXPECT_EQ(world.PathRequestHead()->id, b->id);
    static_cast<PathRequestNode*>(world.pathRequests.Last())->waitedMs =
        World::kPathWaitBoundMs + 1;
    older->waitedMs = World::kPathWaitBoundMs + 1;
    world.overdueKnown = false;
    EXPECT_EQ(world.PathRequestHead()->id, b->id);
    older->waitedMs = World::kPathWaitBoundMs + 2;
    world.overdueKnown = false;
    EXPECT_EQ(world.PathRequestHead()->id, a->id);
    // Served, the overdue request leaves; the next walk finds the other.
    delete older;
    EXPECT_EQ(world.PathRequestHead()->id, b->id);
    world.QueuePathRequest(a);
    EXPECT_EQ(world.PathRequestHead()->id, b->id) << "a new request never starts overdue";
    delete world.pathRequests.First();
    EXPECT_EQ(world.PathRequestHead()->id, a->id) << "none overdue: the head";
    world.pathRequests.DeleteAll();
}

// A long queue serves up to the turns its length gives in a tick, the first that many from the
// head, whichever of them asks first: every machine with the same queue serves the same units,
// whatever order its units update in. A unit behind them, or a new one, waits its turn.
TEST_F(PathRequestTest, ALongQueueServesItsFirstRequestsUpToTheTurnsOfItsLength) {
    struct Row {
        int waiting, turns;
    };
    const Row rows[] = {{0, 1}, {15, 1}, {16, 2}, {47, 2}, {48, 3}, {95, 3}, {96, 4}, {400, 4}};
    for (const Row& row : rows)
        EXPECT_EQ(World::PathTurnsFor(row.waiting), row.turns) << row.waiting;
    auto byKey = [](const SimId& a, const SimId& b) {
        return PathRequestNode::KeyOf(a) < PathRequestNode::KeyOf(b);
    };
    WorldOnLand wide{OpenLand(24, 24)};
    World& world = wide.world;
    std::vector<TestObject*> all;
    for (int i = 0; i < 100; ++i)
        all.push_back(wide.AddUnit(2, 1 + i, 1 + 2 * (i / 10), 1 + 2 * (i % 10)));
    TestObject* newcomer = wide.AddUnit(2, 200, 21, 1);
    for (const int waiting : {3, 16, 50, 100}) {
        const std::vector<TestObject*> units(all.begin(), all.begin() + waiting);
        const auto turns = static_cast<size_t>(World::PathTurnsFor(waiting));
        std::vector<SimId> served[2];
        for (int order = 0; order < 2; ++order) {
            for (TestObject* unit : units)
                world.QueuePathRequest(unit);
            const std::vector<SimId> queue = QueueFromHead(world);
            world.pathTurnsThisTick = World::PathTurnsFor(waiting);
            world.pathSearchesThisTick = 0;
            world.pathAsks = PathAskTally();
            EXPECT_EQ(world.TakePathTurn(newcomer), 0) << waiting;
            // From the back of the queue, or from its head.
            for (int i = 0; i < waiting; ++i) {
                TestObject* unit = units[static_cast<size_t>(order == 0 ? i : waiting - 1 - i)];
                if (world.TakePathTurn(unit) == 1) served[order].push_back(unit->id);
            }
            std::sort(served[order].begin(), served[order].end(), byKey);
            std::vector<SimId> first(queue.begin(), queue.begin() + static_cast<long>(turns));
            std::sort(first.begin(), first.end(), byKey);
            EXPECT_EQ(served[order], first) << waiting << " order " << order;
            EXPECT_EQ(world.pathSearchesThisTick, static_cast<int>(turns));
            const auto place = static_cast<size_t>(RouteAsk::Place);
            EXPECT_EQ(world.pathAsks.servedThisTick[place], static_cast<int64_t>(turns));
            EXPECT_EQ(world.pathAsks.askedThisTick[place], 1) << "only the newcomer asks anew";
            world.pathRequests.DeleteAll();
        }
        EXPECT_EQ(served[0], served[1]) << waiting;
    }
    // The tally's line, after a tick: the newcomer asked, the last four served.
    world.pathAsks.StartTick(100);
    const std::string figures = world.pathAsks.Figures();
    EXPECT_NE(figures.find(" place 1.000/4.000 (0 s); target 0.000/0.000 (0 s);"),
              std::string::npos)
        << figures;
    const std::string tail =
        "step aside 0.000/0.000 (0 s); longest queue 100, most served in a tick 4";
    EXPECT_EQ(figures.substr(figures.size() - std::min(figures.size(), tail.size())), tail);
    // A turn given behind the head leaves the head's count of ticks at the front as it was.
    for (int i = 0; i < 48; ++i)
        world.QueuePathRequest(all[static_cast<size_t>(i)]);
    const std::vector<SimId> queue = QueueFromHead(world);
    world.pathTurnsThisTick = World::PathTurnsFor(48);
    world.pathSearchesThisTick = 1;
    world.frontRequestAge = 5;
    // Two turns are left: the third from the head waits, the second and the head are served.
    for (size_t place : {2u, 1u, 0u}) {
        const auto it = std::find_if(all.begin(), all.end(),
                                     [&](TestObject* u) { return u->id == queue[place]; });
        ASSERT_NE(it, all.end());
        EXPECT_EQ(world.TakePathTurn(*it), place < 2 ? 1 : 0) << place;
        EXPECT_EQ(world.frontRequestAge, place == 0 ? 0 : 5) << place;
    }
    world.pathRequests.DeleteAll();
    // While another unit's search goes on, cut short on its budget, no second turn is given: a
    // fresh search would throw it away.
    PathSearch& search = world.pathGrid->Search();
    const uint32_t budget = search.NodeBudget();
    search.SetNodeBudget(4);
    NodeList route;
    world.RequestPath(newcomer, wide.Centre(1, 21), route, 0, 0);
    search.SetNodeBudget(budget);
    ASSERT_EQ(world.pathGrid->IsCutShort(), 1);
    for (int i = 0; i < 16; ++i)
        world.QueuePathRequest(all[static_cast<size_t>(i)]);
    world.pathTurnsThisTick = World::PathTurnsFor(16);
    world.pathSearchesThisTick = 1;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(world.TakePathTurn(all[static_cast<size_t>(i)]), 0) << i;
    world.pathRequests.DeleteAll();
}

// Points are offsets from the unit; flags of -1 are not pinned. A unit on the first waypoint
// gets every waypoint; one beside a horizontal leg joins it level with itself and skips the
// first point (backward with 0x20: from the route's end, the joining point last); one behind
// the start on both axes (a level axis counting as neither side) does not cut the corner.
TEST_F(PathRequestTest, FollowingARouteOrdersItsWaypointsFromWhereTheUnitJoinsIt) {
    struct Case {
        std::vector<Point> route;
        int flags;
        std::vector<Point> orders;
        int firstFlags, lastFlags;
    };
    const Case cases[] = {
        {{Point(88, 88)}, 8, {}, -1, -1},
        {{Point(0, 0), Point(64, 0), Point(64, 64)},
         8,
         {Point(0, 0), Point(64, 0), Point(64, 64)},
         8 | 0x35,
         8 | 0x15},
        {{Point(-20, 10), Point(80, 10), Point(80, 110)},
         8,
         {Point(0, 10), Point(80, 10), Point(80, 110)},
         -1,
         -1},
        {{Point(-20, 10), Point(80, 10), Point(80, 110)},
         0x20,
         {Point(80, 110), Point(80, 10), Point(0, 10)},
         0x35,
         -1},
        {{Point(20, 20), Point(84, 84)}, 8, {Point(20, 20), Point(84, 84)}, -1, -1},
        // Level with a vertical leg's x on neither side: beside it and behind its start, the
        // unit takes the first waypoint rather than joining the leg.
        {{Point(-30, 10), Point(-30, 74)}, 8, {Point(-30, 10), Point(-30, 74)}, -1, -1},
        {{Point(30, 10), Point(30, 74)}, 8, {Point(30, 10), Point(30, 74)}, -1, -1},
        // Beside a vertical leg and past its start: joins it level with itself.
        {{Point(-30, -10), Point(-30, 54)}, 8, {Point(-30, 0), Point(-30, 54)}, 0x3D, 0x1D},
        // On a leg past its start, down a column or along a row: it goes on from where it stands.
        {{Point(0, -20), Point(0, 44)}, 8, {Point(0, 44)}, -1, -1},
        {{Point(-20, 0), Point(44, 0)}, 8, {Point(44, 0)}, -1, -1},
        // Past the start of a diagonal leg: joins it on the nearer of its row and column,
        // or, where only one side agrees with the leg, on that side's.
        {{Point(-20, -40), Point(44, 24)}, 8, {Point(20, 0), Point(44, 24)}, -1, -1},
        {{Point(-40, -20), Point(24, 44)}, 8, {Point(0, 20), Point(24, 44)}, -1, -1},
        {{Point(-20, 20), Point(44, 84)}, 8, {Point(0, 40), Point(44, 84)}, -1, -1},
        {{Point(20, -20), Point(84, 44)}, 8, {Point(40, 0), Point(84, 44)}, -1, -1},
        // As far from its row as from its column: the column's, along a leg of slope 1/2.
        {{Point(-20, -20), Point(44, 12)}, 8, {Point(0, -10), Point(44, 12)}, -1, -1},
    };
    TestObject* unit = land.AddUnit(2, 1, 3, 3);
    const Point at = unit->GetPosition();
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(::testing::Message() << "case " << i);
        unit->orders.clear();
        NodeList route;
        for (const Point& p : c.route)
            route.PushBack(new PointNode(at + p));
        world.FollowWaypoints(unit, route, c.flags);
        ASSERT_EQ(unit->orders.size(), c.orders.size());
        for (size_t o = 0; o < c.orders.size(); ++o)
            EXPECT_EQ(unit->orders[o].p, at + c.orders[o]) << "order " << o;
        if (c.orders.empty()) continue;
        if (c.firstFlags >= 0) {
            EXPECT_EQ(unit->orders.front().flags, c.firstFlags);
        }
        if (c.lastFlags >= 0) {
            EXPECT_EQ(unit->orders.back().flags, c.lastFlags);
        }
        EXPECT_EQ(unit->orders.back().code, 1);
    }
}

TEST_F(PathRequestTest, RingPointsRunFromTheLastMadeAndStayOnTheMap) {
    NodeList ring;
    EXPECT_EQ(world.MakeRingPoints(Point(200, 160), 50, 0, ring, 0.0), 0);
    EXPECT_EQ(world.MakeRingPoints(Point(200, 160), 50, 4, ring, 0.0), 1);
    // Angles -pi, -pi/2, 0, pi/2 (about), pushed at the front in that order.
    EXPECT_EQ(PointsOf(ring), std::vector<Point>({Point(200, 210), Point(250, 160), Point(200, 110),
                                                  Point(150, 160)}));
    // The offset turns the whole ring: a quarter turn puts the first point straight above.
    EXPECT_EQ(world.MakeRingPoints(Point(200, 160), 50, 1, ring, std::numbers::pi / 2), 1);
    EXPECT_EQ(PointsOf(ring), std::vector<Point>({Point(200, 110)}));
    // Clamped to the map: 16 x 12 cells is 512 x 384 pixels.
    EXPECT_EQ(world.MakeRingPoints(Point(10, 10), 50, 4, ring, 0.0), 1);
    EXPECT_EQ(PointsOf(ring),
              std::vector<Point>({Point(10, 60), Point(60, 10), Point(10, 0), Point(0, 10)}));
}

TEST_F(PathRequestTest, TheRouteScoreMeasuresEveryPointFromTheFirst) {
    NodeList route;
    EXPECT_EQ(world.PathCostScore(route), 0.0);
    Append(route, {Point(0, 0), Point(3, 4), Point(6, 8)});
    EXPECT_DOUBLE_EQ(world.PathCostScore(route), 15.0);
}

TEST_F(PathRequestTest, PickNearestPointTakesTheFirstOfEqualsAndCanRemoveIt) {
    TestObject* a = land.AddUnit(2, 1, 3, 3);
    TestObject* b = land.AddUnit(2, 2, 3, 7);
    NodeList candidates;
    candidates.PushBack(new PtrNode());
    for (TestObject* o : {a, b}) {
        auto* node = new PtrNode();
        node->Set(o);
        candidates.PushBack(node);
    }
    const Point middle = land.Centre(3, 5);
    EXPECT_EQ(world.PickNearestPoint(middle, candidates, 0, 0), a);
    EXPECT_EQ(world.PickNearestPoint(land.Centre(3, 6), candidates, 1, 1), b);
    EXPECT_EQ(candidates.Count(), 2);
    EXPECT_EQ(world.PickNearestPoint(land.Centre(3, 6), candidates, 0, 1), a);
    EXPECT_EQ(candidates.Count(), 1);
}

TEST_F(PathRequestTest, ARequestDroppedByTheTickIsForgottenAndTheUnitQueuesAgain) {
    TestObject* a = land.AddUnit(2, 1, 3, 3);
    TestObject* b = land.AddUnit(2, 2, 5, 5);
    world.pathSearchesThisTick = 1;
    EXPECT_EQ(world.TakePathTurn(a), 0);
    EXPECT_EQ(world.TakePathTurn(b), 0);
    EXPECT_EQ(world.pathRequestIndex.size(), 2u);
    // The tick drops the oldest request (the head) after it waited too long.
    delete world.pathRequests.Last();
    EXPECT_EQ(world.pathRequestIndex.size(), 1u);
    EXPECT_EQ(world.TakePathTurn(a), 0);
    EXPECT_EQ(QueueFromHead(world), std::vector<SimId>({b->id, a->id}));
    // Two requests of one unit (the newer one is queued at the head): the nearer answers.
    world.QueuePathRequest(a);
    EXPECT_EQ(world.FindPathRequest(a->id, -1), 1);
    EXPECT_EQ(world.HasPathRequest(a->id, 0), 1);
    world.pathRequests.DeleteAll();
    EXPECT_TRUE(world.pathRequestIndex.empty());
}

}  // namespace

namespace {

// A group member searches only a window of cells around itself, as wide as its radius: a wall
// whose one gap lies outside the window cannot be passed, and the route then ends at the cell
// nearest the goal; a window that holds the gap leads round the wall to the goal. The window is
// square around the unit's own row and column.
TEST(PathWindow, AGroupMembersSearchStaysInsideTheWindowAroundIt) {
    std::vector<std::string> rows(24, std::string(24, 'c'));
    for (int r = 0; r <= 17; ++r)
        rows[r][9] = 'w';
    const struct {
        int radius;
        bool reachesGoal;
    } cases[] = {
        {0, true}, {14 * 32, false}, {15 * 32 - 1, false}, {15 * 32, true}, {30 * 32, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radius);
        WorldOnLand land{OpenLand(24, 24, rows)};
        TestObject* unit = land.AddUnit(2, 1, 3, 2);
        unit->collision.noWater = 1;
        NodeList route;
        const Point goal = land.Centre(3, 16);
        EXPECT_EQ(land.world.RequestPath(unit, goal, route, 0, c.radius), 1);
        EXPECT_EQ(land.world.pathGrid->IsCutShort(), 0);
        const std::vector<Point> points = PointsOf(route);
        ASSERT_GE(points.size(), 2u);
        EXPECT_EQ(points.back(), c.reachesGoal ? goal : land.Centre(3, 8));
    }
}

}  // namespace
