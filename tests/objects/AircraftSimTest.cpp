#include <gtest/gtest.h>

#include <limits>

#include "objects/EconomyManoeuvres.h"
#include "objects/LocationGoal.h"
#include "objects/SimTestSupport.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "objects/UnitVariantsSupport.h"

namespace {

class RefuelRule : public SquadManoeuvre {
public:
    int GetType() const override { return 15; }
};

class Aircraft : public ::testing::Test {
protected:
    void Step(Sim* sim, int ms = 100) {
        clock.Advance(static_cast<uint32_t>(ms));
        sim->Update(ms);
    }
    void Order(Sim* sim) {
        sim->goals.PushBack(std::make_unique<LocationGoal>(sim->id, Point(900, 900), 10, 1, 1));
    }

    FakeClock clock{1000};
    SpecialKit kit;
    SpecialWorld world;
    const Point at{320, 320};
};

TEST_F(Aircraft, AddFuelFillsTheTankAndAnswersWhatItTook) {
    AircraftSim* plane = kit.Aircraft(world, 1, 1, at);
    struct Case {
        int fuel, capacity, add, answer, after;
    } cases[] = {
        {100, 1000, 50, 50, 150},     // room for more than n
        {900, 1000, 100, 100, 1000},  // exactly n missing: the filling case
        {950, 1000, 100, 50, 1000},
        {1000, 1000, 10, 0, 1000},
        {10, 1000, std::numeric_limits<int>::max(), 990, 1000},
    };
    for (const Case& c : cases) {
        plane->fuel = c.fuel;
        plane->SetFuelCapacity(c.capacity);
        EXPECT_EQ(plane->AddFuel(c.add), c.answer) << c.fuel << " + " << c.add;
        EXPECT_EQ(plane->GetFuel(), c.after) << c.fuel << " + " << c.add;
        EXPECT_EQ(plane->IsFuelFull(), c.after >= c.capacity ? 1 : 0) << c.fuel << " + " << c.add;
    }
    plane->fuel = 999;
    plane->SetFuelCapacity(1000);
    EXPECT_EQ(plane->IsFuelFull(), 0);
    EXPECT_EQ(plane->HasSpecialAction(), 1);
    plane->SetFuelCapacity(0);
    EXPECT_EQ(plane->GetFuelPercent(), 0);
    plane->SetFuelCapacity(AircraftSim::kFullTankMs);
    // A record's fuel stays in the tank's range, so the percentage cannot overflow.
    const std::pair<const char*, int> records[] = {
        {"60000", 60000}, {"-5", 0}, {"2147483647", AircraftSim::kFullTankMs}};
    for (const auto& [text, fuel] : records) {
        plane->Parse('V', text);
        EXPECT_EQ(plane->GetFuel(), fuel) << text;
        EXPECT_EQ(plane->GetFuelPercent(), int64_t{fuel} * 100 / AircraftSim::kFullTankMs);
    }
}

TEST_F(Aircraft, BurnFuelOnlyInTheAir) {
    world.GrantStructure(1, 4);
    AircraftSim* plane = kit.Aircraft(world, 1, 1, at);
    plane->collision.layer = 1;
    plane->fuel = 1000;
    Step(plane);
    EXPECT_EQ(plane->GetFuel(), 1000);
    plane->collision.layer = 2;
    for (int i = 0; i < 12; ++i) {
        plane->goals.Clear();
        Order(plane);
        Step(plane);
    }
    EXPECT_EQ(plane->GetFuel(), 0);
    EXPECT_EQ(plane->IsFlyer(), 0);
    EXPECT_EQ(plane->ShouldTakeOff(), 0);
    // The last millisecond stays in the tank; a step past empty leaves it empty, owing nothing.
    int serial = 2;
    for (const auto& [before, after] : {std::pair{101, 1}, std::pair{60, 0}, std::pair{100, 0}}) {
        AircraftSim* flying = kit.Aircraft(world, 1, serial++, at);
        flying->collision.layer = 2;
        flying->fuel = before;
        Order(flying);
        Step(flying);
        EXPECT_EQ(flying->GetFuel(), after) << before;
    }
}

TEST_F(Aircraft, WithoutARefuellingStructureLandAndCrawl) {
    AircraftSim* plane = kit.Aircraft(world, 1, 1, at);
    plane->Parse('h', "Y");
    world.GrantStructure(1, 4);
    const int delay = plane->GetMoveDelay();
    world.structures.clear();
    EXPECT_EQ(plane->GetMoveDelay(), 2 * delay);
    Order(plane);
    for (int i = 0; i < 80; ++i)
        Step(plane);
    EXPECT_EQ(plane->IsLanded(), 1);
    EXPECT_EQ(plane->collision.layer, 1);
    EXPECT_TRUE(world.held.empty());
}

TEST_F(Aircraft, ARefuelGoalLandsThemWithFuelLeft) {
    world.GrantStructure(1, 4);
    AircraftSim* plane = kit.Aircraft(world, 1, 1, at);
    plane->Parse('h', "Y");
    plane->goals.PushBack(std::make_unique<PlainGoal>(plane->id, GoalType::Refuel));
    EXPECT_EQ(plane->ShouldLand(), 1);
    EXPECT_EQ(plane->ShouldTakeOff(), 0);
    plane->goals.Clear();
    // Without an order it lands as every flyer does.
    EXPECT_EQ(plane->ShouldLand(), 1);
    Order(plane);
    EXPECT_EQ(plane->ShouldLand(), 0);
    // Its refuel rule is built only where it is simulated.
    world.makers.manoeuvreMakers[15] = [](const ManoeuvreArguments&) {
        return std::unique_ptr<SquadManoeuvre>(new RefuelRule);
    };
    plane->ClearManoeuvreList();
    plane->local = 0;
    plane->BuildManoeuvreList();
    plane->local = 1;
    EXPECT_EQ(plane->FindManoeuvre(15), nullptr);
    plane->BuildManoeuvreList();
    EXPECT_NE(plane->FindManoeuvre(15), nullptr);
    // And cleared only there: a copy's list is the simulating machine's business.
    plane->local = 0;
    plane->ClearManoeuvreList();
    EXPECT_NE(plane->FindManoeuvre(15), nullptr);
    plane->local = 1;
    plane->ClearManoeuvreList();
    EXPECT_EQ(plane->FindManoeuvre(15), nullptr);
}

TEST_F(Aircraft, TheSpecialActionFliesToTheNearestDockThenRefuels) {
    world.GrantStructure(1, 4);
    DeployingSim* depot = kit.Structure(world, 4, 1, 2, Point(640, 320));
    world.structure = depot;
    int made = 0;
    world.makers.goalMakers[static_cast<int>(GoalType::Refuel)] =
        [&made](const SimId& owner, const GoalFields&, int, int) -> std::unique_ptr<Goal> {
        ++made;
        return std::make_unique<PlainGoal>(owner, GoalType::Refuel);
    };
    world.makers.manoeuvreMakers[15] = [](const ManoeuvreArguments& a) {
        return std::unique_ptr<SquadManoeuvre>(new RefuelManoeuvre(a.first));
    };
    AircraftSim* plane = kit.Aircraft(world, 1, 1, at);
    auto* rule = dynamic_cast<RefuelManoeuvre*>(plane->FindManoeuvre(15));
    ASSERT_NE(rule, nullptr);
    rule->routeFailed = 1;
    plane->Parse('h', "Y");
    plane->SpecialAction();
    ASSERT_EQ(made, 1);
    EXPECT_EQ(rule->routeFailed, 0);
    auto* approach = dynamic_cast<TargetGoal*>(plane->goals.Front());
    ASSERT_NE(approach, nullptr);
    EXPECT_EQ(approach->targetId, depot->id);
    // The dock's offset, lifted to the flying height.
    EXPECT_EQ(approach->offset, Point(-96, 10 - SpecialKit::kMaxAltitude));
    EXPECT_EQ(plane->goals.Next(approach)->GetType(), 8);
    std::vector<int> kinds = CommandKinds(world.commands);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 8), 1);

    // Without a structure nothing is queued.
    world.structure = nullptr;
    plane->goals.Clear();
    plane->SpecialAction();
    EXPECT_TRUE(plane->goals.IsEmpty());
}

// A refuel goal as the economy gives it: 6000 ms of fuel every 200 ms while its aircraft stands
// landed, until the tank is nearly full.
class RefuelByStep : public Goal {
public:
    RefuelByStep(const SimId& owner, const Point& dock) : Goal(owner, 1, 1), dock(dock) {}
    int GetType() const override { return static_cast<int>(GoalType::Refuel); }
    Point GetLocation() override { return dock; }
    void Step() override {
        GameObject* plane = TheObjectWorld().FindObject(owner);
        if (!plane || plane->IsLanded() != 1) return;
        if (started && timer.Expired()) plane->AddFuel(6000);
        if (!started || timer.Expired()) timer.Start();
        started = true;
    }
    int IsDone() override {
        GameObject* plane = TheObjectWorld().FindObject(owner);
        return !plane || plane->GetFuelPercent() >= 99 ? 1 : 0;
    }
    Point dock;
    Timer timer{200};
    bool started = false;
};

TEST_F(Aircraft, FlyUntilTheTankIsEmptyRefuelAndFlyAgain) {
    world.GrantStructure(1, 4);
    DeployingSim* depot = kit.Structure(world, 4, 1, 2, at + Point(96, 0));
    world.structure = depot;
    world.makers.goalMakers[static_cast<int>(GoalType::Refuel)] =
        [](const SimId& owner, const GoalFields& fields, int, int) -> std::unique_ptr<Goal> {
        return std::make_unique<RefuelByStep>(owner, fields.point);
    };
    AircraftSim* plane = kit.Aircraft(world, 1, 1, at);
    plane->collision.layer = 1;
    plane->fuel = 1500;
    Order(plane);
    int ticks = 0;
    while (plane->collision.layer != 2 && ++ticks < 100)
        Step(plane);
    ASSERT_EQ(plane->collision.layer, 2);
    while ((plane->GetFuel() > 0 || plane->IsLanded() == 0) && ++ticks < 400)
        Step(plane);
    ASSERT_EQ(plane->IsLanded(), 1);
    EXPECT_EQ(plane->GetFuel(), 0);
    plane->goals.Clear();
    plane->SetPosition(at);
    plane->SpecialAction();
    while (plane->GetFuelPercent() < 99 && ++ticks < 800)
        Step(plane);
    EXPECT_GE(plane->GetFuelPercent(), 99);
    EXPECT_EQ(plane->IsLanded(), 1);
    Order(plane);
    while (plane->collision.layer != 2 && ++ticks < 900)
        Step(plane);
    EXPECT_EQ(plane->collision.layer, 2);
}

}  // namespace
