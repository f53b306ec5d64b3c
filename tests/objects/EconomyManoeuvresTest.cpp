// The economy manoeuvres: when a damaged unit goes for repair, where miners, scavengers and
// loaded units are sent, and when an aircraft goes to refuel.
#include <gtest/gtest.h>

#include <vector>

#include "EconomyTestSupport.h"
#include "map/ObjectKinds.h"
#include "objects/EconomyGoals.h"
#include "objects/EconomyMakers.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreList.h"
#include "objects/SimGroup.h"
#include "objects/TargetGoal.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"

namespace {

constexpr int kTeam = 1;

// The goal types of the queue, front first.
std::vector<int> Types(GameObject& o) {
    std::vector<int> types;
    o.goals.ForEach([&](Goal& g) { types.push_back(g.GetType()); });
    return types;
}

class FuelledSim : public Sim {
public:
    using Sim::Sim;
    int GetFuelPercent() override { return fuel; }
    int fuel = 100;
};

class EconomyManoeuvres : public ::testing::Test {
protected:
    EconomyManoeuvres() : clock(1000) { InstallEconomyMakers(world.makers); }
    // Lets every manoeuvre made so far act.
    void LetActNow() { clock.Advance(SquadManoeuvre::kPeriodMs); }

    FakeClock clock;
    FakeObjectWorld world{100, 100};
    EconomyKit kit;
};

TEST_F(EconomyManoeuvres, ADamagedUnitGoesToTheNearestRepairerByItsThresholds) {
    struct Case {
        const char* name;
        int damage;
        bool busy;
        int repairerDistance;
        bool goes;
        bool outOfReach = false;  // the repairer stands where the unit's drive cannot go
    };
    // Urgent above 75 %, idle above 50 % within 1000 px.
    const Case cases[] = {
        {"urgent despite orders", 80, true, 3000, true},
        {"urgent threshold itself", 75, false, 3000, false},
        {"just above urgent, busy", 76, true, 3000, true},
        {"idle threshold itself", 50, false, 900, false},
        {"just above idle", 51, false, 900, true},
        {"idle, repairer 1200 px away", 60, false, 1200, false},
        {"idle, repairer 900 px away", 60, false, 900, true},
        {"idle, repairer 1000 px away", 60, false, 1000, true},
        {"idle, repairer 1001 px away", 60, false, 1001, false},
        {"busy below urgent", 60, true, 900, false},
        {"urgent, the repairer on another island", 80, false, 900, false, true},
        {"idle, the repairer on another island", 60, false, 900, false, true},
    };
    const Point at(200, 200);
    for (const Case& c : cases) {
        auto unit = kit.Plain(SimId(kTeam, 1), at);
        auto repairer = kit.Repairer(SimId(kTeam, 2), at + Point(c.repairerDistance, 0));
        world.outOfReach.clear();
        if (c.outOfReach) world.outOfReach.push_back(repairer->GetPosition());
        world.Add(unit.get(), true);
        world.Add(repairer.get(), true);
        unit->damage.Add(c.damage * unit->damage.Max() / 100);
        if (c.busy)
            unit->goals.PushFront(
                std::make_unique<LocationGoal>(unit->id, at + Point(0, 500), 10, 1, 1));
        RepairManoeuvre rule(75, 50, 0);
        LetActNow();
        EXPECT_EQ(rule.Execute(*unit), c.goes ? 1 : 0) << c.name;
        if (c.goes) {
            // Go to the repairer's dock, be repaired, come back.
            EXPECT_EQ(Types(*unit), (std::vector<int>{2, 5, 1})) << c.name;
            EXPECT_EQ(unit->goals.Front()->GetTarget(), repairer.get()) << c.name;
            EXPECT_EQ(unit->attackObjects, 0) << c.name;
        } else {
            EXPECT_EQ(Types(*unit).size(), c.busy ? 1u : 0u) << c.name;
        }
        unit->ClearGoals();
        world.Forget(unit.get());
        world.Forget(repairer.get());
    }
}

// Of two repairers equally far, the one listed first in the team's list is taken.
TEST_F(EconomyManoeuvres, OfEquallyNearRepairersTheFirstListedIsTaken) {
    const Point at(200, 200);
    for (const bool westFirst : {true, false}) {
        auto unit = kit.Plain(SimId(kTeam, 1), at);
        auto west = kit.Repairer(SimId(kTeam, 2), at + Point(-300, 0));
        auto east = kit.Repairer(SimId(kTeam, 3), at + Point(300, 0));
        world.Add(unit.get(), true);
        world.Add(westFirst ? west.get() : east.get(), true);
        world.Add(westFirst ? east.get() : west.get(), true);
        unit->damage.Add(80 * unit->damage.Max() / 100);
        RepairManoeuvre rule(75, 50, 0);
        LetActNow();
        ASSERT_EQ(rule.Execute(*unit), 1) << westFirst;
        EXPECT_EQ(unit->goals.Front()->GetTarget(), westFirst ? west.get() : east.get())
            << westFirst;
        unit->ClearGoals();
        for (GameObject* o :
             {static_cast<GameObject*>(unit.get()), static_cast<GameObject*>(west.get()),
              static_cast<GameObject*>(east.get())})
            world.Forget(o);
    }
}

// The nearer free dock, unless an ore field, a destructible or a structure covers it and the
// other does not: a unit on it counts for nothing, and with both covered the nearer is taken
// still.
TEST_F(EconomyManoeuvres, ARepairTripTakesTheNearerDockNoFieldOrStructureCovers) {
    const Point at(400, 400);
    auto unit = kit.Plain(SimId(kTeam, 1), at);
    auto repairer = kit.Repairer(SimId(kTeam, 2), at + Point(300, 0));
    auto passer = kit.Plain(SimId(kTeam, 3), at + Point(600, 0));
    Thing field(ObjectKind::kOreDeposit, SimId(0, 4), repairer->GetPosition(), 100);
    Thing rock(ObjectKind::kDestructible, SimId(0, 5), repairer->GetPosition(), 100);
    Thing spire(ObjectKind::kDeployed, SimId(kTeam, 6), repairer->GetPosition(), 0);
    for (Sim* s : std::initializer_list<Sim*>{unit.get(), repairer.get(), passer.get()})
        world.Add(s, true);
    const Point near = repairer->GetPosition() + Point(-64, 0);
    const Point far = repairer->GetPosition() + Point(64, 0);
    struct Case {
        std::vector<Point> covered;
        GameObject* by;
        int side;
    } const cases[] = {
        {{}, &field, -64},          {{near}, &field, 64}, {{near}, passer.get(), -64},
        {{near, far}, &field, -64}, {{far}, &field, -64}, {{near}, repairer.get(), -64},
        {{near}, &rock, 64},        {{near}, &spire, 64}, {{near, far}, &spire, -64}};
    for (const Case& c : cases) {
        world.covered = c.covered;
        world.blockedBy = c.by;
        unit->ClearGoals();
        ASSERT_EQ(RepairManoeuvre::SendToRepair(*unit, *repairer, 0), 1);
        EXPECT_EQ(unit->goals.Front()->StoredFields().point, Point(c.side, 0)) << c.covered.size();
    }
    world.covered.clear();
    world.blockedBy = nullptr;
    unit->ClearGoals();
    for (Sim* s : std::initializer_list<Sim*>{unit.get(), repairer.get(), passer.get()})
        world.Forget(s);
}

TEST_F(EconomyManoeuvres, AnAttackedUnitFirstFlees200PixelsStraightAway) {
    const Point at(1000, 1000);
    auto unit = kit.Plain(SimId(kTeam, 1), at);
    auto repairer = kit.Repairer(SimId(kTeam, 2), at + Point(0, 400));
    auto enemy = kit.Plain(SimId(2, 3), at - Point(64, 0));
    for (Sim* s : std::initializer_list<Sim*>{unit.get(), repairer.get(), enemy.get()})
        world.Add(s, true);
    world.sight.AddViewer(unit.get(), at);
    unit->lastAttacker = enemy->id;
    ASSERT_EQ(RepairManoeuvre::SendToRepair(*unit, *repairer, 0), 1);
    EXPECT_EQ(Types(*unit), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(unit->goals.Front()->GetLocation(), at + Point(200, 0));
    // Then it drives to the repairer's free dock, where the repair goal waits for it.
    Point approach, dock;
    unit->goals.ForEach([&](Goal& g) {
        if (g.GetType() == 2) approach = static_cast<TargetGoal&>(g).Offset();
        if (g.GetType() == 5) dock = static_cast<RepairGoal&>(g).dockOffset;
    });
    EXPECT_NE(dock, Point());
    EXPECT_EQ(approach, dock);
    unit->ClearGoals();
    for (Sim* s : std::initializer_list<Sim*>{unit.get(), repairer.get(), enemy.get()})
        world.Forget(s);
}

TEST_F(EconomyManoeuvres, AMinerLeavesADryFieldForTheNearestWithinReach) {
    const Point at(500, 500);
    auto miner = kit.Miner(SimId(kTeam, 1), at);
    world.Add(miner.get(), true);
    Thing dry(5, SimId(0, 10), at + Point(50, 0), 0);
    Thing far(5, SimId(0, 11), at + Point(1200, 0), 100);
    world.Add(&dry);
    world.Add(&far);
    MiningManoeuvre rule(50);
    rule.SetTargetId(dry.id);
    LetActNow();
    EXPECT_EQ(rule.Execute(*miner), 0);
    EXPECT_TRUE(rule.fieldId.IsNull());
    Thing near(5, SimId(0, 12), at + Point(0, 800), 100);
    world.Add(&near);
    EXPECT_EQ(rule.Execute(*miner), 1);
    EXPECT_EQ(rule.fieldId, near.id);
    // Approach, stand on the field, mine; the field is not made a target to fire at.
    EXPECT_EQ(Types(*miner), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(miner->goals.Front()->GetTarget(), &near);
    EXPECT_EQ(miner->attackObjects, 0);
    // A loaded miner goes home instead.
    miner->ClearGoals();
    miner->cargo = miner->cargoCapacity / 2;
    EXPECT_EQ(rule.Execute(*miner), 0);
    EXPECT_TRUE(miner->goals.IsEmpty());
    // Just below the share it keeps mining its field.
    miner->cargo = miner->cargoCapacity / 2 - 1;
    EXPECT_EQ(rule.Execute(*miner), 1);
    EXPECT_EQ(miner->goals.Front()->GetTarget(), &near);
    miner->ClearGoals();
    world.Forget(miner.get());
    for (Thing* t : {&dry, &far, &near})
        world.Forget(t);
}

TEST_F(EconomyManoeuvres, AScavengerOnAWreckStartsAtOnceElseSeeksOneNearby) {
    const Point at(500, 500);
    auto scavenger = kit.Scavenger(SimId(kTeam, 1), at);
    world.Add(scavenger.get(), true);
    Thing under(3, SimId(0, 20), at + Point(8, 8), 100);
    world.Add(&under);
    world.paths.AddFootprint(&under, under.GetPosition(), 0);
    ScavengeManoeuvre rule;
    LetActNow();
    // All but full, it takes nothing more, not even from under it.
    scavenger->cargo = scavenger->cargoCapacity * 99 / 100;
    EXPECT_EQ(rule.Execute(*scavenger), 0);
    scavenger->cargo = 0;
    EXPECT_EQ(rule.Execute(*scavenger), 1);
    ASSERT_EQ(Types(*scavenger), (std::vector<int>{4}));
    EXPECT_EQ(scavenger->goals.Front()->StoredFields().point, Point(-8, -8));
    world.paths.RemoveFootprint(&under, under.GetPosition(), 0);
    world.Forget(&under);
    scavenger->ClearGoals();
    // None under it: the nearest within 500 px with a free dock, which starts the series.
    Thing nearby(3, SimId(0, 21), at + Point(300, 0), 100);
    nearby.AppendDock(8, Point(0, 64));
    world.Add(&nearby);
    EXPECT_EQ(rule.Execute(*scavenger), 1);
    EXPECT_EQ(Types(*scavenger), (std::vector<int>{1, 4}));
    EXPECT_EQ(scavenger->goals.Front()->GetLocation(), nearby.GetPosition() + Point(0, 64));
    EXPECT_EQ(rule.homePoint, nearby.GetPosition());
    // A scavenger that is all but full looks no further.
    scavenger->ClearGoals();
    scavenger->cargo = scavenger->cargoCapacity * 99 / 100;
    EXPECT_EQ(rule.Execute(*scavenger), 0);
    scavenger->cargo = 0;
    world.Forget(&nearby);
    scavenger->ClearGoals();
    EXPECT_EQ(rule.Execute(*scavenger), 0);
    EXPECT_EQ(rule.homePoint, Point(-1, -1));
    world.Forget(scavenger.get());
}

TEST_F(EconomyManoeuvres, ALoadedUnitUnloadsAtAFreeFactoryDock) {
    const Point at(500, 500);
    auto miner = kit.Miner(SimId(kTeam, 1), at);
    world.Add(miner.get(), true);
    miner->cargo = 6;
    UnloadManoeuvre rule(50);
    LetActNow();
    // Without a factory it still counts as having acted.
    EXPECT_EQ(rule.Execute(*miner), 1);
    EXPECT_TRUE(miner->goals.IsEmpty());
    Thing factory(4, SimId(kTeam, 50), at + Point(400, 0), 0);
    factory.AppendDock(2, Point(0, 96));
    world.factories[kTeam] = &factory;
    EXPECT_EQ(rule.Execute(*miner), 1);
    EXPECT_EQ(Types(*miner), (std::vector<int>{2, 6}));
    miner->ClearGoals();
    miner->cargo = 0;
    EXPECT_EQ(rule.Execute(*miner), 0);
    world.factories[kTeam] = nullptr;
    world.Forget(miner.get());
}

TEST_F(EconomyManoeuvres, AnAircraftBelowElevenPercentFuelGoesToRefuel) {
    const Point at(500, 500);
    FuelledSim plane(at, SimId(kTeam, 1), kit.Design('a'));
    world.Add(&plane, true);
    Thing station(1, SimId(kTeam, 40), at + Point(600, 0), 0);
    station.AppendDock(0, Point(64, 0));
    world.structure = &station;
    RefuelManoeuvre rule(50);
    LetActNow();
    for (int fuel : {11, 10}) {
        plane.fuel = fuel;
        EXPECT_EQ(rule.Execute(plane), fuel < 11 ? 1 : 0) << fuel;
    }
    EXPECT_EQ(Types(plane), (std::vector<int>{2, 8}));
    EXPECT_EQ(plane.goals.Next(plane.goals.Front())->StoredFields().point,
              station.GetPosition() + Point(64, 0));
    // A queued refuel goal, or a failed route, keeps it from asking again.
    EXPECT_EQ(rule.Execute(plane), 0);
    plane.ClearGoals();
    rule.routeFailed = 1;
    EXPECT_EQ(rule.Execute(plane), 0);
    world.Forget(&plane);
}

}  // namespace

TEST_F(EconomyManoeuvres, AUnitLeavesItsGroupToGoForRepair) {
    const Point at(400, 400);
    auto unit = kit.Plain(SimId(kTeam, 1), at);
    auto repairer = kit.Repairer(SimId(kTeam, 2), at + Point(300, 0));
    auto mate = kit.Plain(SimId(kTeam, 3), at + Point(40, 0));
    for (Sim* s : std::initializer_list<Sim*>{unit.get(), repairer.get(), mate.get()})
        world.Add(s, true);
    SimGroup group(SimId(kTeam, 90));
    world.groups.push_back(&group);
    ASSERT_EQ(group.AddMember(*unit, 0), 1);
    ASSERT_EQ(group.AddMember(*mate, 0), 1);
    unit->damage.Add(unit->damage.Max() * 9 / 10);
    RepairManoeuvre rule(75, 50, 0);
    LetActNow();
    // A group member whose repair level is 2 stays with the group.
    unit->Manoeuvres()->repairLevel = 2;
    EXPECT_EQ(rule.Execute(*unit), 0);
    unit->Manoeuvres()->repairLevel = 0;
    EXPECT_EQ(rule.Execute(*unit), 1);
    EXPECT_EQ(group.MemberCount(), 1);
    EXPECT_TRUE(unit->groupId.IsNull());
    unit->ClearGoals();
    for (Sim* s : std::initializer_list<Sim*>{unit.get(), repairer.get(), mate.get()})
        world.Forget(s);
    // The group goes before its units: they must not find it on their way out.
    std::erase(world.groups, &group);
}

namespace {

// A failed trip is marked on the manoeuvre whose goal the unit follows: the repair's first,
// else the refuel's; a unit with neither marks nothing.
TEST_F(EconomyManoeuvres, AFailedTripIsMarkedOnTheManoeuvreOfTheGoalFollowed) {
    struct Row {
        bool repairGoal, refuelGoal;
        int repairMarked, refuelMarked;
    };
    const Row rows[] = {
        {true, false, 1, 0}, {false, true, 0, 1}, {true, true, 1, 0}, {false, false, 0, 0}};
    for (const Row& row : rows) {
        auto unit = kit.Plain(SimId(kTeam, 1), Point(300, 300));
        world.Add(unit.get(), true);
        auto* repair = new RepairManoeuvre(50, 90, 0);
        auto* refuel = new RefuelManoeuvre(20);
        unit->ClearManoeuvreList();
        unit->AddManoeuvre(repair);
        unit->AddManoeuvre(refuel);
        ASSERT_EQ(unit->FindManoeuvre(static_cast<int>(ManoeuvreType::Repair)), repair);
        if (row.repairGoal)
            unit->goals.PushBack(
                std::make_unique<RepairGoal>(unit->id, SimId(kTeam, 9), Point(), 1, 1, 1));
        if (row.refuelGoal)
            unit->goals.PushBack(std::make_unique<RefuelGoal>(unit->id, Point(100, 100), 99, 1));
        MarkEconomyRouteFailed(*unit, 1);
        EXPECT_EQ(repair->routeFailed, row.repairMarked) << row.repairGoal << row.refuelGoal;
        EXPECT_EQ(refuel->routeFailed, row.refuelMarked) << row.repairGoal << row.refuelGoal;
        MarkEconomyRouteFailed(*unit, 0);
        EXPECT_EQ(repair->routeFailed + refuel->routeFailed, 0);
        unit->ClearGoals();
        world.Forget(unit.get());
    }
    // Only the economy's own kinds are made here.
    EXPECT_EQ(MakeEconomyManoeuvre(static_cast<int>(ManoeuvreType::Explore), {}), nullptr);
    EXPECT_EQ(MakeEconomyGoal(static_cast<int>(GoalType::Target), SimId(1, 1), GoalFields{}, 1, 1),
              nullptr);
}

}  // namespace

namespace {

// An order to go for repairs forgets an earlier failed trip, also when no repairer is found.
TEST_F(EconomyManoeuvres, ARepairOrderForgetsAFailedTrip) {
    auto unit = kit.Plain(SimId(kTeam, 1), Point(300, 300));
    world.Add(unit.get(), true);
    auto* repair = new RepairManoeuvre(50, 90, 0);
    unit->ClearManoeuvreList();
    unit->AddManoeuvre(repair);
    repair->routeFailed = 1;
    unit->OrderRepair(SimId());
    EXPECT_EQ(repair->routeFailed, 0);
    world.Forget(unit.get());
}

// Ordered to a repairer, a unit comes back to where it stood afterwards unless its repair
// manoeuvre tells it to stay away; a unit without one comes back.
TEST_F(EconomyManoeuvres, ARepairOrderComesBackUnlessTheUnitStaysAway) {
    const Point at(300, 300);
    struct Row {
        int stayAway;  // -1: no repair manoeuvre
        std::vector<int> types;
    };
    const Row rows[] = {{0, {2, 5, 1}}, {1, {2, 5}}, {-1, {2, 5, 1}}};
    for (const Row& row : rows) {
        auto unit = kit.Plain(SimId(kTeam, 1), at);
        auto repairer = kit.Repairer(SimId(kTeam, 2), at + Point(400, 0));
        world.Add(unit.get(), true);
        world.Add(repairer.get(), true);
        unit->ClearManoeuvreList();
        if (row.stayAway >= 0) unit->AddManoeuvre(new RepairManoeuvre(50, 90, row.stayAway));
        unit->OrderRepair(repairer->id);
        EXPECT_EQ(Types(*unit), row.types) << row.stayAway;
        EXPECT_EQ(unit->goals.Front()->GetTarget(), repairer.get()) << row.stayAway;
        const Goal* last = nullptr;
        unit->goals.ForEach([&](const Goal& g) { last = &g; });
        if (row.types.size() == 3) {
            EXPECT_EQ(last->StoredFields().point, at) << row.stayAway;
        }
        unit->ClearGoals();
        world.Forget(unit.get());
        world.Forget(repairer.get());
    }
}

}  // namespace
