// Groups: where the group stands and each member's place, the record lines read back, one
// group per unit, the narrowing route search, and breaking up.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/ResourceFile.h"
#include "objects/ManoeuvreTestSupport.h"
#include "objects/SimGroup.h"
#include "support/TempDirectory.h"

namespace {

class Groups : public ::testing::Test, public SquadField {
protected:
    SimGroup& Group(int serial) {
        groups.push_back(std::make_unique<SimGroup>(SimId(1, serial)));
        world.groups.push_back(groups.back().get());
        return *groups.back();
    }
    std::vector<std::string> Written(GameObject& o) {
        const std::string path = files.Path() + "/group.txt";
        {
            ResourceFile file;
            file.plainPath = 1;
            EXPECT_EQ(file.Open(path.c_str(), "w"), 1);
            char buffer[64];
            o.Write(file, buffer, sizeof buffer);
            EXPECT_EQ(file.Close(), 1);
        }
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
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
    group.RemoveMember(*units[0]);
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
}

TEST_F(Groups, AnUnreachablePointIsSoughtEverNarrowerThenBlocked) {
    const struct {
        int spacing;             // of three members in a row
        std::vector<int> tried;  // the radii searched, 1.0, 0.9, ... of the outer radius
    } cases[] = {
        // Outer 16 + 20: down to the inner radius of 16; below it the route is blocked.
        {20, {36, 32, 29, 25, 22, 18}},
        // Outer 16 + 4: 0.8 of it is the inner radius exactly, still searched.
        {4, {20, 18, 16}},
    };
    int serial = 53;
    for (const auto& c : cases) {
        SimGroup& group = Group(serial++);
        for (int i = 0; i < 3; ++i)
            group.AddMember(*Make(1, Point(200 + c.spacing * i, 200)), 1);
        world.routeFound = 0;
        group.IssueOrder(1, 0, Point(800, 800), SimId());
        std::vector<int> tried;
        for (int t = 0; t < 20 && group.goals.Front(); ++t) {
            const int before = world.routeRequests;
            group.Update(16);
            if (world.routeRequests > before) tried.push_back(group.radius);
        }
        EXPECT_EQ(tried, c.tried) << c.spacing;
        EXPECT_EQ(group.goals.Front(), nullptr);
    }
}

}  // namespace
