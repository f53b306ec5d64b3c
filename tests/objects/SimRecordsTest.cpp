// A unit's record lines: a full unit saved, read into a fresh unit of its design and saved
// again gives the same lines; facings come into range and meaningless lines are ignored.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/RecordLinesSupport.h"
#include "objects/SimTestSupport.h"
#include "objects/TargetGoal.h"
#include "support/TempDirectory.h"

namespace {

class SimRecords : public ::testing::Test {
protected:
    std::vector<std::string> Written(GameObject& o) {
        return WrittenRecordLines(o, files.Path() + "/sim.txt");
    }
    std::unique_ptr<Sim> Fresh(int serial) { return kit.MakeSim(1, serial, Point(160, 160)); }

    ObjectLand land{20, 20};
    TempDirectory files;
    SimKit kit;
};

TEST_F(SimRecords, AFullUnitRoundTripsLineForLine) {
    Sim ward(Point(300, 300), SimId(1, 9), kit.Design());
    land.world.Add(&ward, true);
    for (const bool targetGuard : {false, true}) {
        std::unique_ptr<Sim> sim = Fresh(1);
        sim->AddCargo(120);
        sim->facing = 7;
        sim->skill = 712;
        sim->damage.SetValue(33);
        sim->moveDelay = 17;
        sim->groupFlags[0] = 1;
        sim->groupFlags[8] = 1;
        sim->SetReferencePoint(1, Point(10, 20));
        sim->SetReferencePoint(4, Point(-5, 7));
        sim->enabled = 0;
        if (targetGuard)
            sim->Guard(Point(), ward.id);
        else
            sim->Guard(Point(200, 232), SimId());
        sim->goals.PushBack(std::make_unique<LocationGoal>(sim->id, Point(96, 128), 0, 1, 0));
        sim->goals.PushBack(std::make_unique<TargetGoal>(sim->id, ward.id, Point(32, 0), 1, 1));
        const std::vector<std::string> first = Written(*sim);
        std::unique_ptr<Sim> copy = Fresh(1);
        ReadRecordLines(*copy, first);
        EXPECT_EQ(Written(*copy), first);
        EXPECT_EQ(copy->enabled, 0);
        EXPECT_EQ(copy->GetCargo(), 120);
        EXPECT_EQ(copy->GetReferencePoint(4), Point(-5, 7));
        const std::string guardKey = targetGuard ? "G = 1,9,-140,-140" : "F = 200,232";
        EXPECT_NE(std::find(first.begin(), first.end(), guardKey), first.end()) << guardKey;
    }
    // A guard on an object that has vanished is saved as a guard of the point.
    std::unique_ptr<Sim> sim = Fresh(2);
    sim->Guard(Point(), ward.id);
    land.world.Forget(&ward);
    const std::vector<std::string> lines = Written(*sim);
    const auto keyed = [&](const char* key) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& l) { return l.rfind(key, 0) == 0; });
    };
    EXPECT_EQ(keyed("F = "), 1);
    EXPECT_EQ(keyed("G = "), 0);
}

TEST_F(SimRecords, FacingsComeIntoRangeAndMeaninglessLinesAreIgnored) {
    const std::vector<std::pair<std::string, int>> facings = {
        {"-1", 15}, {"17", 1}, {"33", 1}, {"-100", 12}, {"x", 0}};
    for (const auto& [text, expected] : facings) {
        std::unique_ptr<Sim> sim = Fresh(1);
        sim->Parse('c', text.c_str());
        EXPECT_EQ(sim->facing, expected) << text;
    }
    std::unique_ptr<Sim> sim = Fresh(2);
    for (const char* line : {"0,1,1", "5,1,1", "2,3", "", "-1,4,4"})
        sim->Parse('g', line);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(sim->GetReferencePoint(i), Point()) << i;
    // The first and last team entries are kept.
    sim->Parse('g', "1,7,7");
    sim->Parse('g', "4,8,8");
    EXPECT_EQ(sim->GetReferencePoint(1), Point(7, 7));
    EXPECT_EQ(sim->GetReferencePoint(4), Point(8, 8));
    sim->Parse('p', "1,1,1");
    sim->Parse('G', "1,2");
    sim->Parse('N', "abc");
    EXPECT_EQ(sim->groupFlags[0], 0);
    EXPECT_EQ(sim->IsGuarding(), 0);
    EXPECT_EQ(sim->GetCargo(), 0);
    sim->Parse('C', "99999999999");
    EXPECT_EQ(sim->skill, 2147483647);
    // A line holding fewer numbers than its key needs leaves the whole record as it was.
    std::unique_ptr<Sim> untouched = Fresh(3);
    const std::vector<std::string> before = Written(*untouched);
    const std::pair<char, const char*> shortLines[] = {
        {'N', "abc"}, {'c', ""},  {'C', "x"},     {'D', ""},  {'E', "-"},
        {'d', ""},    {'F', "5"}, {'G', "1,2,3"}, {'g', "1"}, {'p', "1,1,1,1,1,1,1,1"},
        {'v', "N"},   {'v', ""}};
    for (const auto& [key, text] : shortLines)
        untouched->Parse(key, text);
    EXPECT_EQ(Written(*untouched), before);
    EXPECT_EQ(untouched->IsGuarding(), 0);
}

}  // namespace
