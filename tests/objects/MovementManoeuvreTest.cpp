// The movement manoeuvres: a guard's way back, a squad's ring and its hand-out after a fight,
// pushing friends aside by turns, and exploring until the map is known.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "core/Random.h"
#include "core/Vector.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/ExploreManoeuvre.h"
#include "objects/FormationManoeuvre.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreTestSupport.h"
#include "objects/TargetGoal.h"

namespace {

class MovementRules : public ::testing::Test, public UnitField {};

TEST_F(MovementRules, AStrayGuardReturnsWithinOneAndAHalfSightCells) {
    FormationManoeuvre rule;
    // The fake land's sight cells are 64 pixels square.
    EXPECT_EQ(rule.tolerance, 96);
    Sim* guard = Unit(1, Point(300, 300));
    guard->IssueOrder(Sim::kOrderGuard, 0, guard->GetPosition(), SimId());
    guard->ClearGoals();
    for (int dx : {90, 100}) {
        guard->SetPosition(guard->GetGuardPoint() + Point(dx, 0));
        EXPECT_EQ(rule.Execute(*guard), dx > 96 ? 1 : 0) << dx;
    }
    EXPECT_EQ(guard->goals.Front()->GetLocation(), guard->GetGuardPoint());
    // It may stop anywhere within that distance.
    EXPECT_EQ(static_cast<LocationGoal*>(guard->goals.Front())->tolerance, 96);
    // Already on its way (or busy with any goal), and a unit that guards nothing: left alone.
    Goal* busy = guard->goals.Front();
    EXPECT_EQ(rule.Execute(*guard), 0);
    EXPECT_EQ(guard->goals.Front(), busy);
    EXPECT_EQ(guard->goals.Next(busy), nullptr);
    Sim* idle = Unit(1, Point(600, 600));
    idle->ClearGoals();
    EXPECT_EQ(rule.Execute(*idle), 0);
    EXPECT_EQ(idle->goals.Front(), nullptr);
}

TEST_F(MovementRules, ASquadIsLaidOnARingAndHandedOutAnewAfterAFight) {
    SquadField field;
    std::vector<Trooper*> members;
    for (int i = 0; i < 3; ++i)
        members.push_back(field.Member(Point(400 + 20 * i, 400), true));
    FormationManoeuvre rule(Point(480, 480));
    EXPECT_EQ(rule.ExecuteForSquad(field.squad), 0);
    ASSERT_EQ(rule.slotCount, 3);
    std::set<int> holders;
    for (const auto& place : rule.slots) {
        EXPECT_NEAR(Vector(place.offset).magnitude, 120, 1);
        holders.insert(place.memberId.serial);
    }
    EXPECT_EQ(holders.size(), 3u);
    for (Trooper* m : members) {
        ASSERT_EQ(m->orders.size(), 2u);
        EXPECT_EQ(m->orders[0].code, 9);
        EXPECT_EQ(m->orders[1].code, 1);
    }
    // Each holder is sent to its own place round the centre.
    for (const auto& place : rule.slots) {
        auto* holder = static_cast<Trooper*>(field.world.FindObject(place.memberId));
        ASSERT_NE(holder, nullptr);
        EXPECT_EQ(holder->orders[1].p, Point(480, 480) + place.offset);
        EXPECT_EQ(holder->orders[1].flags, 0x1d);
    }
    for (Trooper* m : members)
        m->orders.clear();
    // One fights: no place is handed out, and afterwards all are handed out anew.
    Trooper* enemy = field.Enemy(Point(900, 400));
    members[0]->goals.PushBack(
        std::make_unique<TargetGoal>(members[0]->id, enemy->id, Point(), 1, 1));
    EXPECT_EQ(rule.ExecuteForSquad(field.squad), 0);
    EXPECT_EQ(rule.reassign, 1);
    for (Trooper* m : members)
        EXPECT_TRUE(m->orders.empty());
    members[0]->ClearGoals();
    rule.ExecuteForSquad(field.squad);
    EXPECT_EQ(rule.reassign, 0);
    for (Trooper* m : members)
        EXPECT_EQ(m->orders.size(), 2u);
    // Arrived and idle, each holder is told to guard where it stands.
    EXPECT_EQ(rule.ExecuteForSquad(field.squad), 1);
    for (Trooper* m : members) {
        ASSERT_EQ(m->orders.size(), 3u);
        EXPECT_EQ(m->orders[2].code, 3);
        EXPECT_EQ(m->orders[2].p, m->GetPosition());
    }
    // A holder that left the squad (its place taken in the count by a newcomer) makes the
    // ring be laid out anew on the next run.
    field.squad.RemoveMember(*members[2]);
    members[2] = field.Member(Point(500, 400), true);
    rule.ExecuteForSquad(field.squad);
    EXPECT_EQ(rule.slotCount, 0);
    rule.ExecuteForSquad(field.squad);
    EXPECT_EQ(rule.slotCount, 3);
    for (Trooper* m : members) {
        ASSERT_FALSE(m->orders.empty());
        EXPECT_EQ(m->orders.back().code, 1);
        EXPECT_EQ(m->orders.back().flags, 0x1d);
    }
}

// The ring starts a random 0 to 3 turns of its start angle round, on a coin's side: the coin
// showing 1 turns it the other way. A lone member's place lies where the ring starts.
TEST_F(MovementRules, TheRingStartsOnTheSideTheCoinShows) {
    std::set<int> coins;
    for (uint32_t seed = 1; seed < 40 && coins.size() < 2; ++seed) {
        SeedRandom(seed);
        const int turn = RandomRange(0, 3);
        const int coin = RandomRange(0, 1);
        if (turn == 0) continue;
        coins.insert(coin);
        const double angle = -3.14159 + (coin == 1 ? -turn : turn);
        SquadField field;
        field.Member(Point(400, 400), true);
        FormationManoeuvre rule(Point(480, 480));
        SeedRandom(seed);
        rule.ExecuteForSquad(field.squad);
        ASSERT_EQ(rule.slotCount, 1);
        const Point o = rule.slots[0].offset;
        EXPECT_NEAR(std::remainder(std::atan2(o.y, o.x) - angle, 6.28318), 0.0, 0.05)
            << seed << " " << turn << " " << coin;
    }
    EXPECT_EQ(coins.size(), 2u);
}

// On a ring already laid out, a member whose target died drops that attack and is told to guard
// where it stands; a member on another errand keeps it.
TEST_F(MovementRules, AMemberWhoseTargetDiedDropsTheAttackOthersKeepTheirErrands) {
    SquadField field;
    Trooper* fighter = field.Member(Point(400, 400), true);
    Trooper* walker = field.Member(Point(420, 400), true);
    FormationManoeuvre rule(Point(480, 480));
    rule.ExecuteForSquad(field.squad);
    ASSERT_EQ(rule.slotCount, 2);
    Trooper* enemy = field.Enemy(Point(900, 400));
    fighter->goals.PushBack(std::make_unique<TargetGoal>(fighter->id, enemy->id, Point(), 1, 1));
    walker->goals.PushBack(std::make_unique<LocationGoal>(walker->id, Point(600, 600), 10, 1, 1));
    enemy->damage.SetMax(10);
    enemy->damage.SetValue(11);
    ASSERT_EQ(enemy->IsDestroyed(), 1);
    fighter->orders.clear();
    walker->orders.clear();
    EXPECT_EQ(rule.ExecuteForSquad(field.squad), 1);
    EXPECT_EQ(fighter->goals.Front(), nullptr);
    ASSERT_EQ(fighter->orders.size(), 1u);
    EXPECT_EQ(fighter->orders[0].code, 3);
    EXPECT_EQ(fighter->orders[0].p, fighter->GetPosition());
    ASSERT_NE(walker->goals.Front(), nullptr);
    EXPECT_EQ(walker->goals.Front()->GetLocation(), Point(600, 600));
    EXPECT_TRUE(walker->orders.empty());
}

TEST_F(MovementRules, ARingAroundALeaderFollowsItAndWaitsWhileItIsGone) {
    SquadField field;
    for (int i = 0; i < 2; ++i)
        field.Member(Point(400 + 20 * i, 400), true);
    Trooper* leader = field.Make(1, Point(480, 480));
    FormationManoeuvre rule(Point(0, 0));
    rule.leaderId = leader->id;
    for (const Point& at : {Point(480, 480), Point(560, 480)}) {
        leader->SetPosition(at);
        rule.ExecuteForSquad(field.squad);
        EXPECT_EQ(rule.centre, at);
        ASSERT_EQ(rule.slotCount, 2);
        // Half the leader's diagonal (32 by 32 pixels) and the spacing of 40.
        for (const auto& place : rule.slots)
            EXPECT_NEAR(Vector(place.offset).magnitude, 23 + 40, 1);
    }
    // The leader standing still: the ring is not laid out again.
    std::vector<Point> offsets;
    for (const auto& place : rule.slots)
        offsets.push_back(place.offset);
    for (int run = 0; run < 4; ++run) {
        rule.ExecuteForSquad(field.squad);
        for (size_t i = 0; i < offsets.size(); ++i)
            EXPECT_EQ(rule.slots[i].offset, offsets[i]) << run << " " << i;
    }
    field.world.Forget(leader);
    EXPECT_EQ(rule.ExecuteForSquad(field.squad), 0);
    EXPECT_EQ(rule.centre, Point(560, 480));
}

TEST_F(MovementRules, BlockersArePushedTowardThreeFacingsInTurnNeverAnEnemy) {
    RestartBlockerCycle();
    SquadField field;
    Trooper* self = field.Make(1, Point(400, 400));
    self->facing = 2;
    Trooper* friendUnit = field.Make(1, Point(500, 500));
    Events events;
    field.world.controllers[1] = &events;
    // Facing 14 points down and left, 2 up and left, 6 up and right: 64 pixels each.
    const Point expected[3] = {{455, 545}, {455, 455}, {545, 455}};
    for (const Point& to : expected) {
        EXPECT_EQ(MoveBlockerAside(self, friendUnit, 64), 1);
        EXPECT_EQ(friendUnit->orders.back().p, to);
        EXPECT_EQ(friendUnit->orders.back().flags, 0x17);
    }
    Trooper* enemy = field.Make(2, Point(500, 400));
    EXPECT_EQ(MoveBlockerAside(self, enemy, 64), 0);
    EXPECT_TRUE(enemy->orders.empty());
    // Standing things are only reported: a wreck and a deployed structure, not a field.
    for (int kind : {3, 7, 5}) {
        Trooper* standing = field.Make(1, Point(300, 300));
        standing->kind = kind;
        standing->mobile = 0;
        EXPECT_EQ(MoveBlockerAside(self, standing, 64), 0);
    }
    EXPECT_EQ(events.kinds, (std::vector<int>{3, 3}));
    // A busy friend that is not blocked stays on its way.
    friendUnit->goals.PushBack(
        std::make_unique<TargetGoal>(friendUnit->id, enemy->id, Point(), 1, 1));
    EXPECT_EQ(MoveBlockerAside(self, friendUnit, 64), 0);
    // Blocked on its way, it is pushed after all; nobody is pushed by or toward no one.
    friendUnit->goals.BlockFront();
    EXPECT_EQ(MoveBlockerAside(self, friendUnit, 64), 1);
    EXPECT_EQ(MoveBlockerAside(nullptr, friendUnit, 64), 0);
    EXPECT_EQ(MoveBlockerAside(self, nullptr, 64), 0);
    // No distance given: two sight cells (128 pixels here), toward facing 14 again.
    RestartBlockerCycle();
    EXPECT_EQ(MoveBlockerAside(self, friendUnit, 0), 1);
    EXPECT_EQ(friendUnit->orders.back().p, Point(409, 591));
}

// With nothing to do, a unit that searches its docks asks aside the first unit it finds on the
// low or the air layer in the cells round a dock; a busy one, or one that does not search, asks
// no one.
TEST_F(MovementRules, AnIdleUnitAsksAsideWhatStandsRoundItsDock) {
    std::vector<std::pair<GameObject*, GameObject*>> asked;
    world.makers.moveBlockerAside = [&asked](GameObject* unit, GameObject* blocker, int) {
        asked.push_back({unit, blocker});
        return 1;
    };
    Sim* base = Unit(1, Point(320, 320));
    base->AppendDock(8, Point(0, 64));
    short row = 0, column = 0;
    world.paths.PixelToCell(base->GetDockPoint(0), row, column);
    struct Row {
        const char* name;
        int dr, dc;  // the blocker's cell from the dock's
        int layer;
        int searchDocks;
        bool busy;
        bool asked;
    };
    const Row rows[] = {
        {"on the dock, low", 0, 0, 1, 1, false, true},
        {"beside it, in the air", 1, -1, 2, 1, false, true},
        {"above it", -1, 1, 1, 1, false, true},
        {"two cells off", 0, 2, 1, 1, false, false},
        {"two rows off", -2, 0, 2, 1, false, false},
        {"on the ground layer", 0, 0, 0, 1, false, false},
        {"not searching", 0, 0, 1, 0, false, false},
        {"busy", 0, 0, 1, 1, true, false},
    };
    for (const Row& r : rows) {
        asked.clear();
        TestUnit blocker(1, 900, world.paths.CellCenter(row + r.dr, column + r.dc));
        blocker.collision.layer = r.layer;
        world.paths.AddFootprint(&blocker, blocker.GetPosition(), 1);
        if (r.busy) base->goals.PushBack(std::make_unique<FieldsGoal>(base->id, 1, GoalFields{}));
        ClearWayManoeuvre rule(r.searchDocks);
        EXPECT_EQ(rule.Execute(*base), r.asked ? 1 : 0) << r.name;
        ASSERT_EQ(asked.size(), r.asked ? 1u : 0u) << r.name;
        if (r.asked) {
            EXPECT_EQ(asked[0], std::make_pair(static_cast<GameObject*>(base),
                                               static_cast<GameObject*>(&blocker)));
        }
        world.paths.RemoveFootprint(&blocker, blocker.GetPosition(), 1);
        base->ClearGoals();
    }
    // A unit sent aside a moment ago is left alone until kAsideMs have passed, by the search
    // round the docks and by the blocked unit alike; meanwhile the next one round the dock is
    // asked instead.
    {
        Sim* crowd[2] = {Unit(1, world.paths.CellCenter(row, column)),
                         Unit(1, world.paths.CellCenter(row + 1, column))};
        for (Sim* s : crowd) {
            s->collision.layer = 1;
            world.paths.AddFootprint(s, s->GetPosition(), 1);
        }
        ClearWayManoeuvre rule(1);
        struct Run {
            int passedMs;
            int askedIndex;  // -1: no one
        };
        for (const Run& run : {Run{0, 0}, Run{0, 1}, Run{Sim::kAsideMs - 1, -1}, Run{1, 0}}) {
            asked.clear();
            for (Sim* s : crowd)
                s->friendWay.Count(run.passedMs);
            EXPECT_EQ(rule.Execute(*base), run.askedIndex >= 0 ? 1 : 0) << run.passedMs;
            ASSERT_EQ(asked.size(), run.askedIndex >= 0 ? 1u : 0u) << run.passedMs;
            if (run.askedIndex >= 0) {
                EXPECT_EQ(asked[0].second, crowd[run.askedIndex]);
            }
        }
        base->goals.PushBack(std::make_unique<TargetGoal>(base->id, SimId(2, 77), Point(), 1, 1));
        base->goals.Front()->reportFailure = 1;
        base->goals.BlockFront();
        base->blockingSim = crowd[0]->id;
        asked.clear();
        EXPECT_EQ(rule.Execute(*base), 0) << "held aside, the blocker too";
        base->ClearGoals();
        base->blockingSim = SimId();
        for (Sim* s : crowd) {
            world.paths.RemoveFootprint(s, s->GetPosition(), 1);
            world.Forget(s);
        }
    }
    // Only its own docks are searched: what stands in the map's corner is left alone.
    {
        asked.clear();
        TestUnit corner(1, 901, world.paths.CellCenter(0, 0));
        corner.collision.layer = 1;
        world.paths.AddFootprint(&corner, corner.GetPosition(), 1);
        ClearWayManoeuvre rule(1);
        EXPECT_EQ(rule.Execute(*base), 0);
        EXPECT_TRUE(asked.empty());
        world.paths.RemoveFootprint(&corner, corner.GetPosition(), 1);
    }
    // Blocked on its way by another unit, it asks that one aside whatever its docks; blocked
    // by its own target, or without a failure to report, it asks no one.
    TestUnit other(1, 902, Point(600, 600));
    world.Add(&other);
    struct Blocked {
        bool byTarget;
        int reportFailure;
        bool asked;
    };
    for (const Blocked& b :
         {Blocked{false, 1, true}, Blocked{true, 1, false}, Blocked{false, 0, false}}) {
        asked.clear();
        auto goal = std::make_unique<TargetGoal>(base->id, b.byTarget ? other.id : SimId(2, 77),
                                                 Point(), 1, 1);
        goal->reportFailure = b.reportFailure;
        base->goals.PushBack(std::move(goal));
        base->goals.BlockFront();
        base->blockingSim = other.id;
        ClearWayManoeuvre rule(0);
        EXPECT_EQ(rule.Execute(*base), b.asked ? 1 : 0) << b.byTarget << b.reportFailure;
        ASSERT_EQ(asked.size(), b.asked ? 1u : 0u) << b.byTarget << b.reportFailure;
        if (b.asked) {
            EXPECT_EQ(asked[0].second, &other);
        }
        base->ClearGoals();
    }
    base->blockingSim = SimId();
    world.Forget(&other);
}

// Each candidate's depth is the ring of cells round it at which something known is first
// found, out to the map's far edges; the deeper one is always picked, whichever comes first.
TEST_F(MovementRules, ExploringSearchesRingsOutToTheMapsFarEdges) {
    struct Row {
        int deepRow, deepColumn;  // the deeper candidate
        int shallowRow, shallowColumn;
        std::vector<std::pair<int, int>> known;
    };
    // The fake sight grid has 15 by 15 cells. With nothing known the rings end at the far
    // edges: the candidate nearer the top left corner is the deeper. A candidate in the bottom
    // right corner looks one ring out only, and misses a known cell three rings away.
    const Row rows[] = {{0, 10, 0, 0, {{12, 14}}},
                        {10, 0, 0, 14, {{0, 0}}},
                        {1, 1, 10, 10, {}},
                        {0, 0, 14, 14, {{0, 2}, {11, 11}}},
                        // A known cell straight above or below is found on the ring's whole
                        // top or bottom row: two rings out, against four along the row.
                        {5, 11, 7, 7, {{5, 7}}},
                        {9, 11, 7, 7, {{9, 7}}}};
    for (const Row& row : rows) {
        UnitField field;
        SightGrid& sight = field.world.sight;
        ASSERT_EQ(sight.Rows(), 15);
        for (const auto& [r, c] : row.known)
            sight.MarkExplored(r, c);
        std::unique_ptr<Sim> scout = field.kit.MakeSim(1, 1, Point());
        const Point deep = sight.CellCentre(row.deepRow, row.deepColumn);
        const Point shallow = sight.CellCentre(row.shallowRow, row.shallowColumn);
        for (int trial = 0; trial < 16; ++trial) {
            ExploreManoeuvre rule;
            rule.candidates =
                trial % 2 ? std::vector<Point>{deep, shallow} : std::vector<Point>{shallow, deep};
            EXPECT_EQ(rule.PickTarget(*scout), deep) << row.deepRow << " " << trial;
        }
    }
}

// An idle unit sets out for one of the points of a grid laid over the map inside a margin of
// its engage range, the far edges included; a busy one stays. With a margin past the middle
// there is nowhere to go.
TEST_F(MovementRules, AnIdleExplorerSetsOutForAPointOfTheGridInsideItsRange) {
    struct Row {
        int cells;  // the map's side: 32 pixels each
        int range;
        std::vector<Point> grid;
    };
    const Row rows[] = {
        {15, 100, {{100, 100}, {100, 380}, {380, 100}, {380, 380}}},
        {15, 240, {{240, 240}}},
        {15, 241, {}},
        // The far edge one grid step from the first point is not taken twice.
        {30, 96, {{96, 96}, {96, 864}, {864, 96}, {864, 864}}},
    };
    for (const Row& row : rows) {
        ObjectLand small(row.cells, row.cells);
        small.world.commands.SetEnabled(1);
        std::unique_ptr<GameObject> owned =
            kit.MakeSim(1, 1, Point(300, 300), {kit.Weapon({.range = row.range})});
        Sim* scout = static_cast<Sim*>(owned.get());
        small.world.AddSim(owned);
        ASSERT_EQ(scout->GetEngageRange(), row.range);
        ExploreManoeuvre rule;
        EXPECT_EQ(rule.Execute(*scout), row.grid.empty() ? 0 : 1) << row.range;
        if (row.grid.empty()) {
            EXPECT_TRUE(rule.candidates.empty());
            EXPECT_EQ(rule.exhausted, 1);
            EXPECT_TRUE(CommandKinds(small.world.commands).empty());
            continue;
        }
        ASSERT_NE(scout->goals.Front(), nullptr);
        std::vector<Point> seen = rule.candidates;
        seen.push_back(scout->goals.Front()->GetLocation());
        std::sort(seen.begin(), seen.end(), [](const Point& a, const Point& b) {
            return a.x != b.x ? a.x < b.x : a.y < b.y;
        });
        EXPECT_EQ(seen, row.grid) << row.range;
        const std::vector<int> kinds = CommandKinds(small.world.commands);
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), 8), kinds.end());
        // Under way, it picks nothing more.
        const size_t left = rule.candidates.size();
        EXPECT_EQ(rule.Execute(*scout), 0);
        EXPECT_EQ(rule.candidates.size(), left);
    }
}

TEST_F(MovementRules, ExploringPicksThePointFarthestFromWhatIsKnown) {
    // It sees round itself, far from the cells below.
    Sim* scout = Unit(1, Point(900, 900));
    SightGrid& sight = world.sight;
    sight.MarkExplored(3, 7);
    // Two cells right of the known cell, and three left of it: the second is deeper.
    const Point near = sight.CellCentre(3, 9);
    const Point far = sight.CellCentre(3, 4);
    ExploreManoeuvre rule;
    rule.candidates = {near, far};
    EXPECT_EQ(rule.PickTarget(*scout), far);
    EXPECT_EQ(rule.candidates, std::vector<Point>{near});
    // The rings reach right as well as left: four cells right of the known one beats two left.
    const Point left = sight.CellCentre(3, 5);
    const Point right = sight.CellCentre(3, 11);
    rule.candidates = {left, right};
    EXPECT_EQ(rule.PickTarget(*scout), right);
    // A point the unit's drive cannot reach is passed over and kept: the nearer is taken, and
    // with none in reach nothing is.
    world.outOfReach = {far};
    rule.candidates = {near, far};
    EXPECT_EQ(rule.PickTarget(*scout), near);
    EXPECT_EQ(rule.candidates, std::vector<Point>{far});
    EXPECT_EQ(rule.PickTarget(*scout), std::nullopt);
    EXPECT_EQ(rule.candidates, std::vector<Point>{far});
    world.outOfReach.clear();
}

TEST_F(MovementRules, ExploringRunsOutOfCandidatesAndTheVisibilityModeSeeksTheUnseen) {
    Sim* scout = Unit(1, Point(100, 100));
    for (int mode : {0, 1}) {
        ExploreManoeuvre rule;
        rule.visibilityMode = mode;
        SightGrid& sight = world.sight;
        // Explore the whole map; in mode 1 it is still out of sight now.
        for (int r = 0; r < sight.Rows(); ++r) {
            for (int c = 0; c < sight.Columns(); ++c)
                sight.MarkExplored(r, c);
        }
        const std::optional<Point> pick = rule.PickTarget(*scout);
        EXPECT_EQ(pick.has_value(), mode == 1) << mode;
        EXPECT_EQ(rule.exhausted, mode == 0 ? 1 : 0);
        if (mode == 0) {
            // Exhausted: the known candidates stay, and one is picked again.
            rule.candidates = {Point(500, 500)};
            EXPECT_EQ(rule.PickTarget(*scout), Point(500, 500));
        }
    }
    // Exhausted, a known candidate lies at no depth: one unknown cell beside the known one is
    // always the deeper.
    UnitField field;
    SightGrid& sight = field.world.sight;
    sight.MarkExplored(3, 3);
    std::unique_ptr<Sim> lone = field.kit.MakeSim(1, 1, Point());
    const Point known = sight.CellCentre(3, 3);
    const Point beside = sight.CellCentre(3, 4);
    for (int trial = 0; trial < 16; ++trial) {
        ExploreManoeuvre rule;
        rule.exhausted = 1;
        rule.candidates =
            trial % 2 ? std::vector<Point>{known, beside} : std::vector<Point>{beside, known};
        EXPECT_EQ(rule.PickTarget(*lone), beside) << trial;
    }
}

}  // namespace
