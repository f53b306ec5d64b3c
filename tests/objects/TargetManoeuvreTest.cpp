// A Sim attacks the hostile object that blocks it, and the list runs a Sim's rules until the
// first acts.
#include <gtest/gtest.h>

#include <memory>

#include "objects/ManoeuvreList.h"
#include "objects/ManoeuvreTestSupport.h"
#include "objects/Squad.h"
#include "objects/TargetGoal.h"
#include "objects/TargetManoeuvre.h"
#include "support/FakeClock.h"

namespace {

class CountingRule : public SquadManoeuvre {
public:
    CountingRule(int acts, int priority) : acts(acts) { SetPriority(priority); }
    int GetType() const override { return 2; }
    int Execute(Sim&) override { return ++runs, acts; }
    int acts;
    int runs = 0;
};

int GoalCount(const Sim& sim) {
    int n = 0;
    sim.goals.ForEach([&](Goal&) { ++n; });
    return n;
}

class TargetRule : public ::testing::Test {
protected:
    Sim* Add(int team, int serial, const Point& p) {
        std::unique_ptr<GameObject> owned = kit.MakeSim(team, serial, p);
        Sim* raw = static_cast<Sim*>(owned.get());
        world.AddSim(owned);
        return raw;
    }

    ObjectLand land{30, 30};
    FakeObjectWorld& world = land.world;
    SimKit kit;
    Sim* sim = Add(1, 1, Point(480, 480));
    Sim* enemy = Add(2, 2, Point(520, 480));
    Sim* mate = Add(1, 3, Point(480, 520));
    Sim* other = Add(2, 4, Point(600, 600));
};

}  // namespace

TEST_F(TargetRule, AttacksOnlyAHostileBlockerThatIsNotAlreadyItsTarget) {
    TargetManoeuvre rule;
    EXPECT_EQ(rule.GetType(), 4);
    // It has no squad rule: a squad's pass goes on past it.
    Squad squad(1);
    EXPECT_EQ(rule.ExecuteForSquad(squad), 0);
    sim->ClearGoals();
    EXPECT_EQ(rule.Execute(*sim), 0);
    sim->blockingSim = mate->id;
    EXPECT_EQ(rule.Execute(*sim), 0);

    sim->blockingSim = enemy->id;
    sim->goals.PushBack(std::make_unique<RepairWait>(sim->id));
    EXPECT_EQ(rule.Execute(*sim), 0);
    sim->ClearGoals();

    sim->AddGoal(std::make_unique<TargetGoal>(sim->id, enemy->id, Point(), 1, 1), 0);
    EXPECT_EQ(rule.Execute(*sim), 0);
    EXPECT_EQ(GoalCount(*sim), 1);

    sim->ClearGoals();
    sim->AddGoal(std::make_unique<TargetGoal>(sim->id, other->id, Point(), 0, 0), 0);
    world.commands.SetEnabled(1);
    EXPECT_EQ(rule.Execute(*sim), 1);
    ASSERT_EQ(GoalCount(*sim), 2);
    Goal* front = sim->goals.Front();
    EXPECT_EQ(front->GetTarget(), enemy);
    EXPECT_EQ(front->allowManoeuvres, 1);
    EXPECT_EQ(front->finishOnArrival, 1);
    EXPECT_EQ(CommandKinds(world.commands), std::vector<int>({9, 8}));
}

// A type with no rule for single Sims.
class SquadOnlyRule : public SquadManoeuvre {
public:
    int GetType() const override { return 1; }
};

TEST_F(TargetRule, ASimsRulesRunUntilTheFirstActsWhoseTimerRestarts) {
    FakeClock clock(50000);
    ManoeuvreList list;
    list.Add(std::make_unique<SquadOnlyRule>());
    auto idle = std::make_unique<CountingRule>(0, 1);
    auto acting = std::make_unique<CountingRule>(1, 2);
    auto later = std::make_unique<CountingRule>(1, 3);
    CountingRule* first = idle.get();
    CountingRule* second = acting.get();
    CountingRule* third = later.get();
    list.Add(std::move(later));
    list.Add(std::move(acting));
    list.Add(std::move(idle));
    clock.Advance(3000);
    list.RunForSim(*sim);
    EXPECT_EQ(first->runs, 1);
    EXPECT_EQ(second->runs, 1);
    EXPECT_EQ(third->runs, 0);
    EXPECT_EQ(first->timer.Elapsed(), 3000);
    EXPECT_EQ(second->timer.Elapsed(), 0);
    EXPECT_EQ(third->timer.Elapsed(), 3000);
}
