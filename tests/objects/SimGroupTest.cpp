// Groups: where the group stands and each member's place, the record lines read back, one
// group per unit, the narrowing route search, and breaking up.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "objects/AttackManoeuvre.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreTestSupport.h"
#include "objects/RecordLinesSupport.h"
#include "objects/SimGroup.h"
#include "objects/TargetGoal.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "support/TempDirectory.h"
#include "ui/ScreenBase.h"

namespace {

class Groups : public ::testing::Test, public SquadField {
protected:
    // Each group leaves the World's lists before it goes, as the World takes it out.
    ~Groups() override {
        for (auto& group : groups) {
            world.Forget(group.get());
            group.reset();
        }
    }
    SimGroup& Group(int serial, int team = 1) {
        groups.push_back(std::make_unique<SimGroup>(SimId(team, serial)));
        world.groups.push_back(groups.back().get());
        world.Add(groups.back().get());
        return *groups.back();
    }
    // Three members at (200, 200), (230, 200), (200, 230): the group stands at (210, 210), and
    // the newest first have the offsets (-10, 20), (20, -10), (-10, -10).
    SimGroup& Trio(int serial, std::vector<Trooper*>& units) {
        SimGroup& group = Group(serial);
        for (const Point& p : {Point(200, 200), Point(230, 200), Point(200, 230)}) {
            units.push_back(Make(1, p));
            group.AddMember(*units.back(), 1);
        }
        return group;
    }
    static Point LastPlace(const Trooper* t) {
        return t->issued.empty() ? Point(-1, -1) : t->issued.back().p;
    }
    std::vector<std::string> Written(GameObject& o) {
        return WrittenRecordLines(o, files.Path() + "/group.txt", 64);
    }

    TempDirectory files;
    std::vector<std::unique_ptr<SimGroup>> groups;
};

TEST_F(Groups, MembersStandAtTheirPlacesAndTheRecordReadsBackReversed) {
    SimGroup& group = Group(50);
    std::vector<Trooper*> units;
    for (const Point& p : {Point(0, 0), Point(30, 0), Point(0, 30)}) {
        units.push_back(Make(1, p));
        EXPECT_EQ(group.AddMember(*units.back(), 1), 1);
    }
    EXPECT_EQ(group.GetPosition(), Point(10, 10));
    EXPECT_EQ(group.Offsets(), (std::vector<Point>{{-10, 20}, {20, -10}, {-10, -10}}));
    EXPECT_EQ(group.MemberAt(0), units[2]);
    EXPECT_EQ(units[0]->groupId, group.id);
    // Inner radius: half the members' 32 pixels; outer: plus the widest offset.
    EXPECT_EQ(group.outerRadius, 16 + 20);

    const std::vector<std::string> lines = Written(group);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "q = 1,102,-10,20");
    const std::vector<GameObject*> members = group.members;
    const std::vector<Point> places = group.Offsets();
    SimGroup& copy = Group(51);
    for (const std::string& line : lines)
        copy.Parse(line[0], line.c_str() + 4);
    // A repeated line is refused with its offset.
    copy.Parse('q', "1,102,99,99");
    copy.Parse('q', "1,999,5,5");
    copy.Parse('q', "1,100,x");
    copy.Parse('q', "1,50,0,0");  // the first group itself
    ASSERT_EQ(copy.MemberCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy.MemberAt(i), members[static_cast<size_t>(2 - i)]);
        EXPECT_EQ(copy.Offsets()[static_cast<size_t>(i)], places[static_cast<size_t>(2 - i)]);
        // Each unit left the first group as it joined the copy.
        EXPECT_EQ(copy.MemberAt(i)->groupId, copy.id);
    }
    EXPECT_EQ(group.IsDestroyed(), 1);
    EXPECT_EQ(group.MemberCount(), 0);
}

// A recorded place is a map offset: each coordinate within 16 bits either way, or the line is
// refused.
TEST_F(Groups, ARecordedPlaceOffTheMapKeepsItsUnitOut) {
    struct Row {
        const char* place;
        Point offset;
        bool joins;
    };
    const Row rows[] = {{"32767,-32767", {32767, -32767}, true},
                        {"-32767,32767", {-32767, 32767}, true},
                        {"32768,0", {}, false},
                        {"0,32768", {}, false},
                        {"-32768,0", {}, false},
                        {"0,-32768", {}, false},
                        // The numbers must be parted by commas.
                        {"7;9", {}, false},
                        {"7,9", {7, 9}, true}};
    int serial = 60;
    for (const Row& row : rows) {
        SimGroup& group = Group(++serial);
        Trooper* unit = Make(1, Point(100, 100));
        group.Parse('q', (std::to_string(unit->id.team) + "," + std::to_string(unit->id.serial) +
                          "," + row.place)
                             .c_str());
        ASSERT_EQ(group.MemberCount(), row.joins ? 1 : 0) << row.place;
        if (row.joins) {
            EXPECT_EQ(group.Offsets()[0], row.offset);
        }
    }
    // Each number is read in 32 bits: the largest serial names its unit, one past it nothing.
    owned.push_back(std::make_unique<Trooper>(1, INT32_MAX, Point(100, 100)));
    world.Add(owned.back().get(), true);
    SimGroup& group = Group(++serial);
    group.Parse('q', "1,2147483648,0,0");
    EXPECT_EQ(group.MemberCount(), 0);
    group.Parse('q', "1,2147483647,0,0");
    ASSERT_EQ(group.MemberCount(), 1);
    EXPECT_EQ(group.MemberAt(0), owned.back().get());
}

TEST_F(Groups, AGroupEndsWithItsLastMemberAndBreaksUpBelowItsShare) {
    TestUnit factory(1, 800, Point(600, 600));
    world.factories[1] = &factory;
    SimGroup& group = Group(52);
    std::vector<Trooper*> units;
    for (int i = 0; i < 4; ++i) {
        units.push_back(Make(1, Point(100 + 20 * i, 100)));
        units.back()->breakOff = 60;
        units.back()->ownDelay = 10 + 10 * ((i + 1) % 4);
        group.AddMember(*units.back(), 1);
    }
    // The group moves at its slowest member's pace, taken anew when one leaves.
    EXPECT_EQ(group.GetMoveDelay(), 40);
    EXPECT_EQ(units[3]->GetMoveDelay(), 40);
    EXPECT_EQ(group.AddMember(*units[0], 1), 0);
    group.Update(16);
    EXPECT_EQ(group.brokenUp, 0);
    // The one that leaves takes its place along: the others' places are taken anew from where
    // they stand around the group's new centre, one per member and in member order.
    units[1]->SetPosition(Point(120, 130));
    group.RemoveMember(*units[0]);
    EXPECT_TRUE(units[0]->groupId.IsNull());
    EXPECT_EQ(group.GetPosition(), Point(140, 110));
    EXPECT_EQ(group.Offsets(), (std::vector<Point>{{20, -10}, {0, -10}, {-20, 20}}));
    EXPECT_EQ(group.outerRadius, 16 + 20);
    EXPECT_EQ(group.memberIds, (std::vector<SimId>{units[3]->id, units[2]->id, units[1]->id}));
    group.Update(16);
    EXPECT_EQ(group.brokenUp, 0);  // 75 per cent
    group.RemoveMember(*units[2]);
    EXPECT_EQ(group.GetMoveDelay(), 30);
    group.Update(16);
    EXPECT_EQ(group.brokenUp, 1);  // 50 per cent: home to the factory
    ASSERT_NE(group.goals.Front(), nullptr);
    EXPECT_EQ(group.goals.Front()->GetLocation(), factory.GetPosition());
    group.RemoveMember(*units[1]);
    EXPECT_EQ(group.IsDestroyed(), 0);
    group.RemoveMember(*units[3]);
    EXPECT_EQ(group.IsDestroyed(), 1);
    EXPECT_TRUE(units[3]->groupId.IsNull());
    // Exactly at the share the group holds together; below it, it breaks up.
    SimGroup& edge = Group(53);
    std::vector<Trooper*> four;
    for (int i = 0; i < 4; ++i) {
        four.push_back(Make(1, Point(300 + 20 * i, 100)));
        four.back()->breakOff = 75;
        edge.AddMember(*four.back(), 1);
    }
    edge.Update(16);
    edge.RemoveMember(*four[0]);
    edge.Update(16);
    EXPECT_EQ(edge.brokenUp, 0);
    edge.RemoveMember(*four[1]);
    edge.Update(16);
    EXPECT_EQ(edge.brokenUp, 1);
    // The share is counted anew from the strength left at the break-up.
    EXPECT_EQ(edge.baseCount, 2);
    // A team without a factory breaks up all the same, with nowhere to head for.
    SimGroup& homeless = Group(54, 2);
    std::vector<Trooper*> pair;
    for (int i = 0; i < 2; ++i) {
        pair.push_back(Enemy(Point(500 + 20 * i, 100)));
        pair.back()->breakOff = 60;
        homeless.AddMember(*pair.back(), 1);
    }
    homeless.Update(16);
    homeless.RemoveMember(*pair[0]);
    homeless.Update(16);
    EXPECT_EQ(homeless.brokenUp, 1);
    EXPECT_EQ(homeless.baseCount, 1);
    EXPECT_EQ(homeless.goals.Front(), nullptr);
}

TEST_F(Groups, AnUnreachablePointIsSoughtEverNarrowerThenBlocked) {
    const struct {
        int spacing;             // of three members in a row
        std::vector<int> tried;  // the radii searched, 1.0, 0.9, ... of the outer radius
        int updates;             // until the blocked order is dropped
    } cases[] = {
        // Outer 16 + 20: down to the inner radius of 16; below it the route is blocked.
        {20, {36, 32, 29, 25, 22, 18}, 7},
        // Outer 16 + 4: 0.8 of it is the inner radius exactly, still searched, not blocked.
        {4, {20, 18, 16}, 4},
    };
    int serial = 53;
    for (const auto& c : cases) {
        SimGroup& group = Group(serial++);
        for (int i = 0; i < 3; ++i)
            group.AddMember(*Make(1, Point(200 + c.spacing * i, 200)), 1);
        world.routeFound = 0;
        group.IssueOrder(1, 0, Point(800, 800), SimId());
        // Without its turn at the path queue the group neither searches nor narrows.
        world.pathTurn = 0;
        const int before = world.routeRequests;
        group.Update(16);
        EXPECT_EQ(world.routeRequests, before);
        world.pathTurn = 1;
        std::vector<int> tried;
        int updates = 0;
        for (; updates < 20 && group.goals.Front(); ++updates) {
            const int requests = world.routeRequests;
            group.Update(16);
            if (world.routeRequests > requests) tried.push_back(group.radius);
        }
        EXPECT_EQ(tried, c.tried) << c.spacing;
        EXPECT_EQ(updates, c.updates) << c.spacing;
    }
    // While the World defers searches the group queues its request and goes on at once: it
    // stands at the point, its order is done, and each member is sent to its place there.
    SimGroup& waiting = Group(serial++);
    Trooper* member = Make(1, Point(200, 400));
    waiting.AddMember(*member, 1);
    waiting.IssueOrder(1, 0, Point(800, 800), SimId());
    world.deferred = 1;
    const int queued = world.queuedRequests;
    waiting.Update(16);
    world.deferred = 0;
    EXPECT_EQ(world.queuedRequests, queued + 1);
    EXPECT_EQ(waiting.GetPosition(), Point(800, 800));
    EXPECT_EQ(waiting.goals.Front(), nullptr);
    ASSERT_EQ(member->issued.size(), 1u);
    EXPECT_EQ(member->issued[0].code, 1);
    EXPECT_EQ(member->issued[0].p, Point(800, 800));
}

TEST_F(Groups, AtEachWaypointTheSettledMembersAreOrderedToTheirPlacesScaledToFit) {
    FakeClock clock(10000);
    std::vector<Trooper*> units;
    SimGroup& group = Trio(60, units);
    group.IssueOrder(1, 0, Point(600, 210), SimId());
    group.ExecuteOrder(1, 0x20, Point(400, 210), SimId(), 0);
    // A member on its way holds the group: it must stand still 2 s before the next step.
    auto busy = std::make_unique<LocationGoal>(units[1]->id, Point(0, 0), 0, 1, 1);
    busy->waypoint = 1;
    units[1]->goals.PushBack(std::move(busy));
    units[1]->SetMoving(1);
    clock.Set(10500);
    group.Update(16);
    units[1]->SetMoving(0);  // still holding its goal, but no longer busy
    for (uint32_t now : {12100u, 12499u}) {
        clock.Set(now);
        group.Update(16);
        EXPECT_EQ(group.GetPosition(), Point(210, 210)) << now;
        EXPECT_TRUE(units[0]->issued.empty()) << now;
    }
    // Too narrow at the waypoint: scale 0.4, the first at which the radius (14) is not above
    // the inner radius (16).
    world.blocked = {Point(400, 210)};
    clock.Set(12500);
    group.Update(16);
    EXPECT_EQ(group.GetPosition(), Point(400, 210));
    EXPECT_EQ(LastPlace(units[2]), Point(396, 218));
    EXPECT_EQ(LastPlace(units[1]), Point(408, 206));
    EXPECT_EQ(LastPlace(units[0]), Point(396, 206));
    ASSERT_FALSE(units[0]->issued.empty());
    EXPECT_EQ(units[0]->issued.back().code, 1);
    EXPECT_EQ(units[0]->issued.back().flags, 0x16);
    // The order's route is found at once and the group steps on it at full width.
    group.Update(16);
    EXPECT_EQ(group.GetPosition(), Point(600, 210));
    EXPECT_EQ(LastPlace(units[2]), Point(590, 230));
    EXPECT_EQ(LastPlace(units[1]), Point(620, 200));
    EXPECT_EQ(LastPlace(units[0]), Point(590, 200));
    EXPECT_EQ(group.goals.Front(), nullptr);
    // Other order codes make no goal.
    group.IssueOrder(3, 0, Point(700, 210), SimId());
    EXPECT_EQ(group.goals.Front(), nullptr);
}

// Orders reaching the group from the stream add a move or an attack goal, a waypoint when the
// flag says so; other codes add nothing. Selecting the group selects each member, and the
// group sees what any member sees.
TEST_F(Groups, ExecutedOrdersAddTheirGoalAndTheMembersAnswerForTheGroup) {
    std::vector<Trooper*> units;
    SimGroup& group = Trio(80, units);
    Trooper* enemy = Enemy(Point(500, 210));
    struct Row {
        int code, flags;
        int type;  // 0: no goal
        int waypoint;
    };
    const Row rows[] = {{1, 0, 1, 0}, {10, 0x20, 1, 1}, {2, 0x20, 2, 1},
                        {2, 0, 2, 0}, {3, 0, 0, 0},     {4, 0x20, 0, 0}};
    for (const Row& row : rows) {
        group.goals.Clear();
        group.ExecuteOrder(row.code, row.flags, Point(300, 310), enemy->id, 0);
        Goal* goal = group.goals.Front();
        ASSERT_EQ(goal != nullptr, row.type != 0) << row.code;
        if (!goal) continue;
        EXPECT_EQ(goal->GetType(), row.type) << row.code;
        EXPECT_EQ(goal->waypoint, row.waypoint) << row.code;
        if (row.type == 1) {
            EXPECT_EQ(goal->GetLocation(), Point(300, 310));
        } else {
            EXPECT_EQ(goal->GetTarget(), enemy);
        }
    }
    group.goals.Clear();
    // A new order starts at full width: the group's radius is its outer one, and it counts as
    // a unit.
    group.IssueOrder(1, 0, Point(300, 310), SimId());
    EXPECT_EQ(group.RouteScale(), 1.0);
    EXPECT_EQ(group.GetRadius(), group.outerRadius);
    EXPECT_EQ(group.GetKind(), 1);
    group.goals.Clear();
    // The group keeps the manoeuvres it is given for whoever asks for them by type.
    auto* rule = new AttackManoeuvre(1, 0);
    group.AddManoeuvre(rule);
    EXPECT_EQ(group.FindManoeuvre(static_cast<int>(ManoeuvreType::Attack)), rule);
    EXPECT_EQ(group.FindManoeuvre(static_cast<int>(ManoeuvreType::Retaliate)), nullptr);
    group.SetSelected(1);
    for (Trooper* t : units)
        EXPECT_EQ(t->selected, 1);
    group.SetSelected(0);
    EXPECT_EQ(units[1]->selected, 0);
    for (int seer = -1; seer < 3; ++seer) {
        for (int i = 0; i < 3; ++i)
            units[static_cast<size_t>(i)]->sees = i == seer ? 1 : 0;
        EXPECT_EQ(group.CanSee(enemy), seer >= 0 ? 1 : 0) << seer;
    }
}

// Each member's place is marked by a cross of colour 9 reaching five pixels each way; nothing
// else is drawn.
TEST_F(Groups, DrawsACrossAtEachMembersPlace) {
    std::vector<Trooper*> units;
    SimGroup& group = Trio(90, units);
    ScreenFixture screen;
    screen.FullClip();
    std::memset(screen.Back(), 0, 640 * 480);
    ScreenBase view;
    group.Draw(view);
    std::vector<Point> places;
    for (const Point& p : {Point(200, 200), Point(230, 200), Point(200, 230)})
        places.push_back(view.MapToScreen(p));
    int drawn = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (screen.At(x, y) == 0) continue;
            ++drawn;
            EXPECT_EQ(screen.At(x, y), 9);
            bool onArm = false;
            for (const Point& at : places) {
                const int dx = std::abs(x - at.x), dy = std::abs(y - at.y);
                onArm = onArm || (dy == 0 && dx <= 5) || (dx == 0 && dy <= 5);
            }
            EXPECT_TRUE(onArm) << x << "," << y;
        }
    }
    EXPECT_GE(drawn, 3 * 19);
    for (const Point& at : places) {
        for (const Point& d : {Point(0, 0), Point(-5, 0), Point(5, 0), Point(0, 5)})
            EXPECT_EQ(screen.At(at.x + d.x, at.y + d.y), 9) << at.x << "," << at.y;
    }
}

TEST_F(Groups, AGroupOrderedToAttackStaysWhileAMemberCanEngageAndHandsItTheTarget) {
    for (int engaging : {-1, 1}) {
        std::vector<Trooper*> units;
        SimGroup& group = Trio(70 + engaging, units);
        Trooper* enemy = Enemy(Point(500, 210));
        for (int i = 0; i < 3; ++i)
            units[static_cast<size_t>(i)]->engages = i == engaging ? 1 : 0;
        group.IssueOrder(2, 0, Point(), enemy->id);
        ASSERT_NE(group.goals.Front(), nullptr);
        EXPECT_EQ(group.goals.Front()->GetTarget(), enemy);
        group.Update(16);
        // Without an engaging member it steps to the waypoint at the enemy.
        EXPECT_EQ(group.GetPosition(), engaging < 0 ? enemy->GetPosition() : Point(210, 210));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(units[static_cast<size_t>(i)]->attacker, i == engaging ? enemy : nullptr);
        // The attack order is kept.
        ASSERT_NE(group.goals.Front(), nullptr);
        EXPECT_EQ(group.goals.Front()->GetTarget(), enemy);
    }
}

}  // namespace
