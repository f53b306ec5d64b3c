#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/ResourceFile.h"
#include "objects/GoalRecord.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"
#include "support/TempDirectory.h"

namespace {

class GoalRecords : public ::testing::Test {
protected:
    // The object's record lines as written to a file through a buffer of the given size.
    std::vector<std::string> Written(GameObject& o, size_t bufferSize = 256) {
        const std::string path = files.Path() + "/record.txt";
        {
            ResourceFile file;
            file.plainPath = 1;
            EXPECT_EQ(file.Open(path.c_str(), "w"), 1);
            std::vector<char> buffer(bufferSize);
            o.Write(file, buffer.data(), static_cast<int>(buffer.size()));
            EXPECT_EQ(file.Close(), 1);
        }
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Reads lines back the way the scenario reader does: key letter, then the value text.
    static void ReadBack(GameObject& o, const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            ASSERT_GE(line.size(), 4u);
            o.Parse(line[0], line.c_str() + 4);
        }
    }

    ObjectLand land;
    TempDirectory files;
    TestUnit unit{1, 1, Point(100, 100)};
};

}  // namespace

TEST_F(GoalRecords, EveryGoalTypeRoundTripsWithItsFlags) {
    auto location = std::make_unique<LocationGoal>(unit.id, Point(200, 160), 32, 0, 1);
    location->repeat = 1;
    auto target = std::make_unique<TargetGoal>(unit.id, SimId(2, 77), Point(-8, 16), 1, 0);
    target->SetParam(42);
    target->reportFailure = 0;
    target->repeat = 1;
    auto transport = std::make_unique<TransportGoal>(unit.id, SimId(1, 5), 1);
    transport->repeat = 1;
    unit.goals.PushBack(std::move(location));
    unit.goals.PushBack(std::move(target));
    unit.goals.PushBack(std::move(transport));
    const std::vector<std::string> lines = Written(unit);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "U = 1,0,1,1,1,200,160");
    EXPECT_EQ(lines[1], "U = 2,1,0,0,1,2,77,-8,16,42");
    EXPECT_EQ(lines[2], "U = 7,1,1,1,1,1,5");

    TestUnit copy(1, 1, Point(0, 0));
    ReadBack(copy, lines);
    std::vector<Goal*> goals;
    copy.goals.ForEach([&](Goal& g) { goals.push_back(&g); });
    ASSERT_EQ(goals.size(), 3u);
    auto* l = dynamic_cast<LocationGoal*>(goals[0]);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->point, Point(200, 160));
    EXPECT_EQ(l->tolerance, DefaultLocationTolerance());
    EXPECT_EQ(l->allowManoeuvres, 0);
    EXPECT_EQ(l->repeat, 1);
    auto* t = dynamic_cast<TargetGoal*>(goals[1]);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->targetId, SimId(2, 77));
    EXPECT_EQ(t->offset, Point(-8, 16));
    EXPECT_EQ(t->GetParam(), 42);
    EXPECT_EQ(t->finishOnArrival, 0);
    EXPECT_EQ(t->reportFailure, 0);
    EXPECT_EQ(t->repeat, 1);
    auto* c = dynamic_cast<TransportGoal*>(goals[2]);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->targetId, SimId(1, 5));
    EXPECT_EQ(c->owner, copy.id);
    // Written again, the copy gives the same lines.
    EXPECT_EQ(Written(copy), lines);
}

TEST_F(GoalRecords, WaypointsAreNotWritten) {
    unit.goals.PushBack(std::make_unique<LocationGoal>(unit.id, Point(64, 64), 32, 1, 1));
    unit.goals.PushBack(std::make_unique<LocationGoal>(unit.id, Point(96, 96), 32, 1, 1));
    unit.goals.Front()->waypoint = 1;
    EXPECT_EQ(Written(unit), std::vector<std::string>{"U = 1,1,1,1,0,96,96"});
    unit.goals.Next(unit.goals.Front())->waypoint = 1;
    EXPECT_TRUE(Written(unit).empty());
}

TEST_F(GoalRecords, OtherKeysAndUnknownTypesChangeNothing) {
    unit.Parse('S', "3,4,5");
    unit.Parse('U', "9,1,1,1,0,5,5");
    unit.Parse('U', "0,1,1,1,0");
    unit.Parse('U', "");
    unit.Parse('U', "garbage");
    EXPECT_TRUE(unit.goals.IsEmpty());
    EXPECT_EQ(ParseGoalLine(unit, "1,1,1,1,0,64,64"), 1);
    EXPECT_FALSE(unit.goals.IsEmpty());
}

TEST_F(GoalRecords, ShortLinesReadMissingNumbersAsZero) {
    ASSERT_EQ(ParseGoalLine(unit, "2,1,1"), 1);
    auto* t = dynamic_cast<TargetGoal*>(unit.goals.Front());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->targetId, SimId(0, 0));
    EXPECT_EQ(t->reportFailure, 0);
    EXPECT_EQ(t->GetParam(), 0);
    // Numbers beyond 32 bits are held at the limit rather than wrapped.
    ASSERT_EQ(ParseGoalLine(unit, "2,1,1,1,0,1,99999999999,0,0,-99999999999"), 1);
    t = dynamic_cast<TargetGoal*>(unit.goals.Next(unit.goals.Front()));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->targetId.serial, 2147483647);
    EXPECT_EQ(t->GetParam(), -2147483647 - 1);
    // Blanks and tabs round the numbers are passed over; a sign belongs to its number.
    ASSERT_EQ(ParseGoalLine(unit, " 2 ,\t1, 1 ,1,0, +3 ,\t-7\t"), 1);
    t = dynamic_cast<TargetGoal*>(unit.goals.Next(unit.goals.Next(unit.goals.Front())));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->targetId, SimId(3, -7));
    // Numbers past the tenth are left unread.
    ASSERT_EQ(ParseGoalLine(unit, "2,1,1,1,0,4,5,0,0,42,77,78,79"), 1);
    Goal* last = unit.goals.Front();
    while (unit.goals.Next(last))
        last = unit.goals.Next(last);
    t = dynamic_cast<TargetGoal*>(last);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->targetId, SimId(4, 5));
    EXPECT_EQ(t->GetParam(), 42);
    // Reading stops at the first field that holds no number: what follows it is not read.
    for (const char* line :
         {"2,1,1,1,0,,5,0,0,42", "2,1,1,1,0,3,-,0,0,42", "2,1,1,1,0,3,x9,0,0,42"}) {
        unit.goals.Clear();
        ASSERT_EQ(ParseGoalLine(unit, line), 1) << line;
        t = dynamic_cast<TargetGoal*>(unit.goals.Front());
        ASSERT_NE(t, nullptr) << line;
        EXPECT_EQ(t->targetId.serial, 0) << line;
        EXPECT_EQ(t->GetParam(), 0) << line;
    }
}

TEST_F(GoalRecords, EconomyGoalsWriteTheFieldsOfTheirType) {
    GoalFields f;
    f.id = SimId(3, 44);
    f.point = Point(-64, 32);
    f.amount = 120;
    f.param = 99;
    for (int type : {3, 4, 5, 6, 8})
        unit.goals.PushBack(std::make_unique<FieldsGoal>(unit.id, type, f));
    const std::vector<std::string> expected = {
        "U = 3,1,0,1,0,3,44", "U = 4,1,0,1,0,3,44,-64,32", "U = 5,1,0,1,0,3,44,120,-64,32",
        "U = 6,1,0,1,0,120",  "U = 8,1,0,1,0,99,-64,32",
    };
    EXPECT_EQ(Written(unit), expected);
}

TEST_F(GoalRecords, LinesTooLongForTheBufferAreNotWrittenCut) {
    auto target =
        std::make_unique<TargetGoal>(unit.id, SimId(2, 2000000000), Point(-20000, 1), 1, 1);
    target->SetParam(-2000000000);
    unit.goals.PushBack(std::move(target));
    unit.goals.PushBack(std::make_unique<LocationGoal>(unit.id, Point(64, 64), 32, 1, 1));
    EXPECT_EQ(Written(unit, 24), std::vector<std::string>{"U = 1,1,1,1,0,64,64"});
}

TEST_F(GoalRecords, EconomyGoalsAreReadThroughTheInstalledMakersOnly) {
    const std::vector<std::string> lines = {
        "U = 3,1,0,1,0,3,44", "U = 4,1,0,1,0,3,44,-64,32", "U = 5,0,1,0,1,3,44,120,-64,32",
        "U = 6,1,0,1,0,120",  "U = 8,1,0,1,0,99,-64,32",
    };
    ReadBack(unit, lines);
    EXPECT_TRUE(unit.goals.IsEmpty());
    for (int type : {3, 4, 5, 6, 8}) {
        land.world.makers.goalMakers[type] = [type](const SimId& owner, const GoalFields& f,
                                                    int allow, int finish) {
            auto goal = std::make_unique<FieldsGoal>(owner, type, f);
            goal->allowManoeuvres = allow;
            goal->finishOnArrival = finish;
            return goal;
        };
    }
    ReadBack(unit, lines);
    EXPECT_EQ(Written(unit), lines);
}
