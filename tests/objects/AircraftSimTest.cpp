#include <gtest/gtest.h>

#include <limits>

#include "objects/LocationGoal.h"
#include "objects/SimTestSupport.h"
#include "objects/SpecialUnitsSupport.h"
#include "objects/TargetGoal.h"

namespace {

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
    }
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
    Order(plane);
    EXPECT_EQ(plane->ShouldLand(), 0);
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
    AircraftSim* plane = kit.Aircraft(world, 1, 1, at);
    plane->Parse('h', "Y");
    plane->SpecialAction();
    ASSERT_EQ(made, 1);
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

}  // namespace
