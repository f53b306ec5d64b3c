#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "objects/GameObject.h"
#include "objects/ManoeuvreList.h"
#include "objects/ObjectLand.h"
#include "objects/Squad.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"
#include "support/FakeClock.h"

namespace {

// A manoeuvre of any type that notes each squad pass over it in a shared log, stops the pass
// when asked, and may use up the budget while it runs.
class LoggingManoeuvre : public SquadManoeuvre {
public:
    LoggingManoeuvre(int type, std::string* log, ManoeuvreArguments arguments = {})
        : type(type), arguments(arguments), log(log) {}
    int GetType() const override { return type; }
    int ExecuteForSquad(Squad&) override {
        *log += std::to_string(type) + " ";
        if (clock) clock->Advance(spendMs);
        return stops;
    }

    int type;
    ManoeuvreArguments arguments;
    std::string* log;
    int stops = 0;
    FakeClock* clock = nullptr;
    uint32_t spendMs = 0;
};

LoggingManoeuvre* At(const ManoeuvreList& list, int index) {
    return static_cast<LoggingManoeuvre*>(list.At(index));
}

std::unique_ptr<LoggingManoeuvre> Made(int type, int32_t priority, std::string* log) {
    auto m = std::make_unique<LoggingManoeuvre>(type, log);
    m->SetPriority(priority);
    return m;
}

// Fake makers for every type but the list's own target manoeuvre; each made manoeuvre keeps
// its arguments.
class FakeMakers {
public:
    FakeMakers() {
        for (int type = 1; type < UnitMakers::kManoeuvreTypes; ++type) {
            land.world.makers.manoeuvreMakers[type] = [this, type](const ManoeuvreArguments& a) {
                return std::make_unique<LoggingManoeuvre>(type, &log, a);
            };
        }
    }

    ObjectLand land;
    std::string log;
};

// The list as "type/priority" in order; arguments for the types that take them.
std::string Describe(const ManoeuvreList& list) {
    std::string out;
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        auto* m = static_cast<SquadManoeuvre*>(n);
        out += std::to_string(m->GetType()) + "/" + std::to_string(m->Priority());
        if (auto* made = dynamic_cast<LoggingManoeuvre*>(m)) {
            const ManoeuvreArguments& a = made->arguments;
            if (a.first || a.second || a.third) {
                out += "(" + std::to_string(a.first) + "," + std::to_string(a.second) + "," +
                       std::to_string(a.third) + ")";
            }
        }
        out += " ";
    }
    return out;
}

std::unique_ptr<ChassisTemplate> ChassisWithLetter(char role) {
    ChassisValues values;
    values.clan = 'T';
    values.role = role;
    return std::make_unique<ChassisTemplate>(values);
}

}  // namespace

TEST(ManoeuvreList, BuildOrdersADesignsRulesByPriorityNewestFirstAmongEquals) {
    struct Case {
        char chassis;
        std::array<int, 9> parameters;
        std::string expected;
        int32_t repairLevel;
        int32_t focusFire;
    };
    const Case cases[] = {
        // A miner: FaceAttacker, Repair (40, 7, flag 1), Retaliate, Mining (50) before Unload,
        // ClearWay before AssignTarget, AbandonTarget, Attack, Formation, AfterCombat (2).
        {'f',
         {3, 40, 0, 7, 0, 9, 2, 1, 25},
         "16/1 5/2(40,7,1) 12/3 6/4(50,0,0) 8/4(50,0,0) 11/5 2/5 10/6 3/7 1/8 13/10(2,0,0) ",
         1,
         0},
        // Engage nearest; parameter 2 not 0 clears the repair flag; no repair level given.
        {'a', {1, 0, 5, 0, 2, 0, 0, 3, 0}, "16/1 5/2 9/3 2/5 3/7 1/8 13/10 ", 3, 1},
        // Below the levels too: the repair level stays as it was.
        {'a', {1, 0, 5, 0, 2, 0, 0, -1, 0}, "16/1 5/2 9/3 2/5 3/7 1/8 13/10 ", 3, 1},
        // Parameter 0 = 2: no engage rule, no target rule; parameter 4 = 3: a fixed automatic
        // attack and no abandon rule.
        {'a', {2, 0, 1, 0, 3, 1, 0, 9, 0}, "16/1 5/2 2/5 3/7(1,1,0) 1/8 13/10 ", 3, 0},
        // Parameter 0 = 4: automatic attacks and the target rule, which goes in before the
        // after-combat rule of its priority and so runs after it.
        {'a', {4, 0, 1, 0, 1, 7, 0, 0, 0}, "16/1 5/2 2/5 10/6 3/7(1,0,0) 1/8 13/10 4/10 ", 0, 0},
        // Explore; parameter 4 outside 0 .. 3 gives no attack rules; a scavenger.
        {'h',
         {5, 0, 1, 0, 4, 2, 0, 2, 0},
         "16/1 5/2 14/3 7/4 8/4(50,0,0) 11/5 2/5 1/8 13/10 ",
         2,
         0},
    };
    for (const Case& c : cases) {
        FakeMakers fakes;
        std::unique_ptr<ChassisTemplate> chassis = ChassisWithLetter(c.chassis);
        VehicleDesign design('T');
        design.chassis = chassis.get();
        std::copy(c.parameters.begin(), c.parameters.end(), design.parameters.begin());
        ManoeuvreList list;
        list.Build(design);
        EXPECT_EQ(Describe(list), c.expected) << "parameter 0 = " << c.parameters[0];
        EXPECT_EQ(list.repairLevel, c.repairLevel);
        EXPECT_EQ(list.focusFire, c.focusFire);
        EXPECT_EQ(list.breakOffPercent, c.parameters[8]);
    }
}

TEST(ManoeuvreList, BuildSkipsTypesWithoutMakersAndStartsFromAnEmptyList) {
    ObjectLand land;
    VehicleDesign design('T');
    design.parameters = {4, 0, 0, 0, 0, 0, 0, 0, 0};
    std::string log;
    ManoeuvreList list;
    list.Add(Made(1, 0, &log));
    list.Build(design);
    EXPECT_EQ(Describe(list), "4/10 ");
    design.parameters[0] = 3;
    list.Build(design);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(ManoeuvreList, FindAndReplaceWorkByType) {
    std::string log;
    ManoeuvreList list;
    list.Add(Made(3, 7, &log));
    list.Add(Made(5, 2, &log));
    list.Add(Made(3, 1, &log));
    EXPECT_EQ(list.Find(3), list.First());
    EXPECT_EQ(list.Find(9), nullptr);
    list.Replace(Made(3, 9, &log));
    EXPECT_EQ(Describe(list), "5/2 3/7 3/9 ");
    // Only a manoeuvre of this list is deleted through it.
    ManoeuvreList other;
    other.Add(Made(6, 1, &log));
    list.Delete(other.Find(6));
    list.Delete(nullptr);
    EXPECT_NE(other.Find(6), nullptr);
    EXPECT_EQ(Describe(list), "5/2 3/7 3/9 ");
}

TEST(ManoeuvreList, SquadPassRunsInOrderUntilARuleStopsIt) {
    ObjectLand land;
    Squad squad(1);
    std::string log;
    ManoeuvreList& list = squad.manoeuvres;
    EXPECT_EQ(list.RunForSquad(squad, nullptr), 1);
    EXPECT_EQ(log, "");
    // Equal priorities run newest first.
    for (int type : {1, 2, 3})
        list.Add(Made(type, 5, &log));
    list.Add(Made(9, 1, &log));
    EXPECT_EQ(list.RunForSquad(squad, nullptr), 1);
    EXPECT_EQ(log, "9 3 2 1 ");
    log.clear();
    At(list, 1)->stops = 1;
    EXPECT_EQ(list.RunForSquad(squad, nullptr), 1);
    EXPECT_EQ(log, "9 3 ");
    EXPECT_EQ(list.ResumeCursor(), nullptr);
}

TEST(ManoeuvreList, SquadPassCutShortByItsBudgetResumesWhereItStopped) {
    ObjectLand land;
    FakeClock clock(1000);
    Squad squad(1);
    std::string log;
    ManoeuvreList& list = squad.manoeuvres;
    for (int type : {1, 2, 3, 4})
        list.Add(Made(type, type, &log));

    Timer budget(100);
    budget.Start();
    clock.Advance(100);
    EXPECT_EQ(list.RunForSquad(squad, &budget), 0);
    EXPECT_EQ(log, "");
    EXPECT_EQ(list.ResumeCursor(), list.First());

    // The second rule uses the rest of a fresh budget: the third is where the next pass starts.
    budget.Start();
    At(list, 1)->clock = &clock;
    At(list, 1)->spendMs = 100;
    EXPECT_EQ(list.RunForSquad(squad, &budget), 0);
    EXPECT_EQ(log, "1 2 ");
    EXPECT_EQ(list.ResumeCursor(), list.At(2));
    EXPECT_EQ(list.RunForSquad(squad, nullptr), 1);
    EXPECT_EQ(log, "1 2 3 4 ");
}

TEST(ManoeuvreList, DeletingTheResumePointRestartsThePassAtTheFirst) {
    ObjectLand land;
    Squad squad(1);
    std::string log;
    ManoeuvreList& list = squad.manoeuvres;
    // A budget already spent leaves the cursor on the second manoeuvre once the first is gone.
    const auto cut = [&] {
        Timer spent(0);
        spent.Start();
        list.RunForSquad(squad, &spent);
        return list.ResumeCursor();
    };
    for (int type : {1, 2, 3, 4})
        list.Add(Made(type, type, &log));

    // Deleted on its own, replaced by a manoeuvre of its type, or emptied with the list.
    list.Delete(cut());
    EXPECT_EQ(list.ResumeCursor(), nullptr);
    EXPECT_EQ(list.RunForSquad(squad, nullptr), 1);
    EXPECT_EQ(log, "2 3 4 ");
    ASSERT_EQ(cut()->GetType(), 2);
    list.Replace(Made(2, 2, &log));
    EXPECT_EQ(list.ResumeCursor(), nullptr);
    ASSERT_NE(cut(), nullptr);
    list.DeleteAll();
    EXPECT_EQ(list.ResumeCursor(), nullptr);
    EXPECT_EQ(list.RunForSquad(squad, nullptr), 1);

    // A manoeuvre taken out behind the list's back is not followed either.
    for (int type : {1, 2, 3})
        list.Add(Made(type, type, &log));
    log.clear();
    delete cut();
    EXPECT_EQ(list.RunForSquad(squad, nullptr), 1);
    EXPECT_EQ(log, "2 3 ");
}
