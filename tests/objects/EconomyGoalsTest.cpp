// The economy goals: what mining, salvage, repair and unloading move and when they end, the
// unloading factor, the refuel point's reach and the goal lines of records.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "EconomyTestSupport.h"
#include "core/ResourceFile.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"
#include "objects/EconomyGoals.h"
#include "objects/EconomyMakers.h"
#include "objects/GoalRecord.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"
#include "support/TempDirectory.h"

namespace {

constexpr int kTeam = 1;

// The (first, second) words of every command of the kind in the buffer, in order.
std::vector<std::pair<int32_t, int32_t>> Amounts(const CommandBuffer& buffer, int kind) {
    std::vector<std::pair<int32_t, int32_t>> out;
    const uint8_t* p = buffer.Data();
    for (size_t at = 0; at + 1 < buffer.Size() && p[at] > 0; at += p[at]) {
        if (p[at + 1] != kind) continue;
        int32_t words[2] = {};
        std::memcpy(words, p + at + 7, std::min<size_t>(8, p[at] - 7));
        out.push_back({words[0], words[1]});
    }
    return out;
}

class EconomyGoals : public ::testing::Test {
protected:
    EconomyGoals() : clock(1000) {
        InstallEconomyMakers(world.makers);
        world.commands.SetEnabled(1);
    }
    void Tick(int ms) { clock.Advance(static_cast<uint32_t>(ms)); }
    // A scavenger or a miner of the team, listed with its wreck or deposit.
    std::unique_ptr<HaulerSim> Hauler(bool salvage, const Point& at, Thing& object) {
        std::unique_ptr<HaulerSim> unit;
        if (salvage)
            unit = kit.Scavenger(SimId(kTeam, 1), at);
        else
            unit = kit.Miner(SimId(kTeam, 1), at);
        world.Add(&object);
        world.Add(unit.get(), true);
        return unit;
    }
    static std::unique_ptr<EconomyGoal> WorkGoal(bool salvage, HaulerSim& unit, Thing& object) {
        if (salvage) return std::make_unique<ScavengeGoal>(unit.id, object.id, Point(), 1);
        return std::make_unique<MiningGoal>(unit.id, object.id, 1);
    }

    FakeClock clock;
    FakeObjectWorld world{40, 40};
    EconomyKit kit;
};

TEST_F(EconomyGoals, UnloadingCreditsWhatWasTakenTimesTheFieldFactor) {
    struct Case {
        const char* name;
        char chassis;
        int fields;
        int load;
        int factoryRoom;
        int expectedTaken;
        int expectedFactor;
        // Once the service cycle ends: the goal (amount 1) ends when at most 1 is left.
        bool doneAfterCycle;
    };
    const Case cases[] = {
        {"no field", 'f', 0, 100, 10000, 50, 1, false},
        {"one field", 'f', 1, 100, 10000, 50, 1, false},
        {"two fields", 'f', 2, 100, 10000, 50, 2, false},
        {"three fields", 'f', 3, 100, 10000, 50, 2, false},
        {"four fields", 'f', 4, 100, 10000, 50, 3, false},
        {"six fields", 'f', 6, 100, 10000, 50, 3, false},
        {"seven fields", 'f', 7, 100, 10000, 50, 4, false},
        {"scavenger", 'h', 7, 100, 10000, 50, 1, false},
        {"part load", 'f', 2, 30, 10000, 30, 2, true},
        {"empty unit", 'f', 2, 0, 10000, 0, 2, true},
        {"factory nearly full", 'f', 2, 100, 41, 20, 2, false},
        {"the goal's one unit left", 'f', 2, 51, 10000, 50, 2, true},
        {"two units left", 'f', 2, 52, 10000, 50, 2, false},
    };
    const Point home(400, 400);
    for (const Case& c : cases) {
        world.commands.Rewind();
        Thing factory(4, SimId(kTeam, 50), home, 0, c.factoryRoom);
        factory.AppendDock(2, Point(0, 96));
        world.factories[kTeam] = &factory;
        std::vector<std::unique_ptr<Thing>> fields;
        for (int i = 0; i < c.fields; ++i) {
            fields.push_back(std::make_unique<Thing>(5, SimId(kTeam, 60 + i), Point(32 * i, 0), 5));
            world.Add(fields.back().get());
        }
        // An empty field and another team's do not count.
        Thing dry(5, SimId(kTeam, 70), Point(), 0);
        Thing theirs(5, SimId(2, 71), Point(), 50);
        world.Add(&dry);
        world.Add(&theirs);
        std::unique_ptr<HaulerSim> unit;
        if (c.chassis == 'h')
            unit = kit.Scavenger(SimId(kTeam, 1), home + Point(0, 96));
        else
            unit = kit.Miner(SimId(kTeam, 1), home + Point(0, 96));
        world.Add(unit.get(), true);
        unit->cargo = c.load;
        auto goal = std::make_unique<UnloadGoal>(unit->id, 1, 1);
        UnloadGoal* unload = goal.get();
        unit->goals.PushFront(std::move(goal));
        EXPECT_EQ(UnloadGoal::Factor(*unit), c.expectedFactor) << c.name;
        Tick(1);
        unload->Step();
        EXPECT_EQ(unload->docked, 1) << c.name;
        EXPECT_EQ(unit->unloading, 1) << c.name;
        EXPECT_EQ(unit->cargo, c.load - c.expectedTaken) << c.name;
        EXPECT_EQ(factory.cargo, c.expectedTaken * c.expectedFactor) << c.name;
        const auto sent = Amounts(world.commands, static_cast<int>(CommandKind::DeliverCargo));
        if (c.expectedTaken == 0) {
            EXPECT_TRUE(sent.empty()) << c.name;
        } else {
            ASSERT_EQ(sent.size(), 1u) << c.name;
            EXPECT_EQ(sent[0], std::make_pair(c.expectedTaken, c.expectedFactor)) << c.name;
        }
        EXPECT_EQ(unload->IsDone(), 0) << c.name;
        unload->SetWorkDone();
        EXPECT_EQ(unload->IsDone(), c.doneAfterCycle ? 1 : 0) << c.name;
        unit->ClearGoals();
        EXPECT_EQ(unit->unloading, 0) << c.name;
        world.Forget(unit.get());
        for (auto& f : fields)
            world.Forget(f.get());
        world.Forget(&dry);
        world.Forget(&theirs);
        world.factories[kTeam] = nullptr;
    }
}

// Only a unit standing on an unloading dock unloads; one on another dock of the factory, or
// away from it, waits.
TEST_F(EconomyGoals, UnloadingStartsOnlyOnAnUnloadingDock) {
    const Point home(400, 400);
    for (const Point& stand : {home + Point(0, -96), home + Point(300, 0)}) {
        Thing factory(4, SimId(kTeam, 50), home, 0, 10000);
        factory.AppendDock(1, Point(0, -96));
        factory.AppendDock(2, Point(0, 96));
        world.factories[kTeam] = &factory;
        auto unit = kit.Miner(SimId(kTeam, 1), stand);
        world.Add(unit.get(), true);
        unit->cargo = 100;
        UnloadGoal unload(unit->id, 1, 1);
        Tick(1);
        unload.Step();
        EXPECT_EQ(unload.docked, 0) << stand.x << "," << stand.y;
        EXPECT_EQ(unit->cargo, 100);
        EXPECT_EQ(factory.cargo, 0);
        world.Forget(unit.get());
        world.factories[kTeam] = nullptr;
    }
}

TEST_F(EconomyGoals, UnloadingWithoutAFactoryDoesNothingAndEnds) {
    auto miner = kit.Miner(SimId(kTeam, 1), Point(100, 100));
    world.Add(miner.get(), true);
    miner->cargo = 100;
    UnloadGoal goal(miner->id, 1, 1);
    Tick(1);
    goal.Step();
    EXPECT_EQ(goal.docked, 0);
    EXPECT_EQ(miner->cargo, 100);
    EXPECT_EQ(goal.IsDone(), 1);
    world.Forget(miner.get());
}

TEST_F(EconomyGoals, MiningAndSalvageTakeOnlyWhatTheObjectHoldsAndTheUnitHasRoomFor) {
    struct Case {
        bool salvage;
        int held;
        int load;
        int expectedTaken;
    };
    const Case cases[] = {{false, 100, 0, 20}, {false, 100, 590, 10}, {false, 100, 600, 0},
                          {false, 7, 0, 7},    {true, 100, 590, 10},  {true, 7, 0, 7}};
    const Point at(200, 200);
    for (const Case& c : cases) {
        world.commands.Rewind();
        Thing object(c.salvage ? 3 : 5, SimId(0, 9), at, c.held);
        std::unique_ptr<HaulerSim> unit;
        if (c.salvage)
            unit = kit.Scavenger(SimId(kTeam, 1), at);
        else
            unit = kit.Miner(SimId(kTeam, 1), at);
        unit->teamRecord.third = 4;
        world.Add(&object);
        world.Add(unit.get(), true);
        unit->cargo = c.load;
        std::unique_ptr<Goal> goal;
        if (c.salvage)
            goal = std::make_unique<ScavengeGoal>(unit->id, object.id, Point(), 1);
        else
            goal = std::make_unique<MiningGoal>(unit->id, object.id, 1);
        Goal* work = goal.get();
        unit->goals.PushFront(std::move(goal));
        if (!c.salvage) {
            // A miner's first take waits a millisecond from when its goal was made.
            work->Step();
            EXPECT_EQ(unit->working, 0);
            EXPECT_EQ(object.cargo, c.held);
        }
        Tick(1);
        work->Step();
        EXPECT_EQ(unit->working, 1);
        // Docked and still at work: not done, however full the unit is.
        EXPECT_EQ(work->IsDone(), 0);
        EXPECT_EQ(unit->cargo - c.load, c.expectedTaken);
        EXPECT_EQ(c.held - object.cargo, c.expectedTaken);
        if (!c.salvage) {
            EXPECT_EQ(object.teamRecord.third, c.expectedTaken > 0 ? 4 : 0);
        }
        const auto sent =
            Amounts(world.commands,
                    static_cast<int>(c.salvage ? CommandKind::Salvage : CommandKind::MineOre));
        ASSERT_EQ(sent.size(), c.expectedTaken > 0 ? 1u : 0u);
        if (!sent.empty()) {
            EXPECT_EQ(sent.front().first, c.expectedTaken);
        }
        // The next take waits 500 ms.
        Tick(499);
        work->Step();
        EXPECT_EQ(c.held - object.cargo, c.expectedTaken);
        unit->ClearGoals();
        EXPECT_EQ(unit->working, 0);
        world.Forget(unit.get());
        world.Forget(&object);
    }
}

// On its wreck the scavenger starts salvaging with its first step and nothing is done yet; a
// wreck gone before it docked leaves the goal docked and its work done; no other unit docks.
TEST_F(EconomyGoals, AScavengeGoalStartsOnItsWreckAndIsSettledWhenTheWreckIsGone) {
    const Point at(200, 200);
    for (bool gone : {false, true}) {
        Thing wreck(3, SimId(0, 10), at, 100);
        auto scavenger = kit.Scavenger(SimId(kTeam, 2), at);
        world.Add(&wreck);
        world.Add(scavenger.get(), true);
        ScavengeGoal salvage(scavenger->id, wreck.id, Point(), 1);
        if (gone) world.Forget(&wreck);
        salvage.Step();
        EXPECT_EQ(salvage.docked, 1) << gone;
        EXPECT_EQ(salvage.workDone, gone ? 1 : 0);
        EXPECT_EQ(scavenger->IsWorking(), gone ? 0 : 1);
        EXPECT_EQ(salvage.IsDone(), gone ? 1 : 0);
        scavenger->StopScavenging();
        world.Forget(scavenger.get());
        world.Forget(&wreck);
    }
    // A unit that is no scavenger, or one that is missing, never docks nor takes anything.
    for (bool missing : {false, true}) {
        Thing wreck(3, SimId(0, 10), at, 100);
        auto plain = kit.Plain(SimId(kTeam, 3), at);
        world.Add(&wreck);
        if (!missing) world.Add(plain.get(), true);
        ScavengeGoal salvage(plain->id, wreck.id, Point(), 1);
        salvage.Step();
        EXPECT_EQ(salvage.docked, 0) << missing;
        EXPECT_EQ(salvage.workDone, 0) << missing;
        EXPECT_EQ(wreck.GetCargo(), 100) << missing;
        EXPECT_EQ(plain->GetCargo(), 0) << missing;
        world.Forget(plain.get());
        world.Forget(&wreck);
    }
}

TEST_F(EconomyGoals, GoalsOffTheirWorkingPointOrWithoutTheirObjectAreDoneAtOnce) {
    const Point at(200, 200);
    Thing field(5, SimId(0, 9), at + Point(100, 0), 100);
    Thing wreck(3, SimId(0, 10), at, 100);
    auto miner = kit.Miner(SimId(kTeam, 1), at);
    auto scavenger = kit.Scavenger(SimId(kTeam, 2), at);
    auto plain = kit.Plain(SimId(kTeam, 3), at + Point(100, 0));
    for (GameObject* o : std::initializer_list<GameObject*>{&field, &wreck, miner.get(),
                                                            scavenger.get(), plain.get()})
        world.Add(o, o->IsSim() == 1);
    EXPECT_EQ(MiningGoal(miner->id, field.id, 1).IsDone(), 1);
    EXPECT_EQ(MiningGoal(plain->id, field.id, 1).IsDone(), 1);
    EXPECT_EQ(MiningGoal(miner->id, SimId(0, 99), 1).IsDone(), 1);
    ScavengeGoal salvage(scavenger->id, wreck.id, Point(), 1);
    EXPECT_EQ(salvage.IsDone(), 0);
    // Before docking, the working point is the wreck moved by the dock offset.
    ScavengeGoal beside(scavenger->id, wreck.id, Point(40, 0), 1);
    EXPECT_EQ(beside.IsDone(), 1);
    scavenger->SetPosition(at + Point(40, 0));
    EXPECT_EQ(beside.IsDone(), 0);
    scavenger->SetPosition(at - Point(40, 0));
    EXPECT_EQ(beside.IsDone(), 1);
    scavenger->SetPosition(at);
    world.Forget(&wreck);
    EXPECT_EQ(salvage.IsDone(), 1);
    for (GameObject* o :
         std::initializer_list<GameObject*>{&field, miner.get(), scavenger.get(), plain.get()})
        world.Forget(o);
}

TEST_F(EconomyGoals, RepairMendsTenEveryHundredMillisecondsUntilTheServiceEnds) {
    const Point at(300, 300);
    auto repairer = kit.Repairer(SimId(kTeam, 1), at);
    auto client = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
    world.Add(repairer.get(), true);
    world.Add(client.get(), true);
    client->damage.Add(45);
    auto goal = std::make_unique<RepairGoal>(client->id, repairer->id, Point(64, 0), 1, 1, 1);
    RepairGoal* repair = goal.get();
    client->goals.PushFront(std::move(goal));
    std::vector<int> damage;
    for (int i = 0; i < 6; ++i) {
        repair->Step();
        damage.push_back(client->damage.Value());
        Tick(RepairGoal::kPeriodMs);
    }
    EXPECT_EQ(damage, (std::vector<int>{35, 25, 15, 5, 0, 0}));
    EXPECT_EQ(repairer->servicing, 1);
    EXPECT_EQ(repairer->IsLanded(), 0);
    EXPECT_EQ(repair->IsDone(), 0);
    // A servicing repairer stands: its movement time is spent on the spot.
    repairer->moveTime = 1;
    EXPECT_EQ(repairer->StepMovement(), 1);
    EXPECT_EQ(repairer->moveTime, 0);
    // The repairer ends its service once the client needs no more: then the goal is done.
    for (int i = 0; i < 60 && repairer->servicing == 1; ++i) {
        Tick(WorkCycle::kFrameMs);
        repairer->Update(WorkCycle::kFrameMs);
    }
    EXPECT_EQ(repairer->servicing, 0);
    EXPECT_EQ(repair->IsDone(), 1);
    repairer->moveTime = 1;  // less than one step: a free repairer moves as a unit does
    EXPECT_EQ(repairer->StepMovement(), 0);
    EXPECT_EQ(repairer->moveTime, 1);
    client->ClearGoals();
    world.Forget(repairer.get());
    world.Forget(client.get());
}

// A repairer sent out by its computer opponent drives back to where it was sent from once its
// service ends, and only once; one that was not sent out stays.
TEST_F(EconomyGoals, ARepairerSentOutDrivesBackAfterItsService) {
    const Point at(300, 300), home(500, 420);
    for (const int sent : {1, 0}) {
        auto repairer = kit.Repairer(SimId(kTeam, 1), at);
        auto client = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
        world.Add(repairer.get(), true);
        world.Add(client.get(), true);
        RepairGoal goal(client->id, repairer->id, Point(64, 0), 1, 1, 1);
        repairer->returnFlag = sent;
        repairer->returnPoint = home;
        repairer->StartService(client.get(), &goal);
        repairer->EndService();
        EXPECT_EQ(repairer->servicing, 0) << sent;
        EXPECT_EQ(repairer->returnFlag, 0) << sent;
        Goal* front = repairer->goals.Front();
        ASSERT_EQ(front != nullptr, sent == 1) << sent;
        if (front) {
            EXPECT_EQ(front->GetLocation(), home);
        }
        // A second end of service sends it nowhere again.
        repairer->ClearGoals();
        repairer->EndService();
        EXPECT_TRUE(repairer->goals.IsEmpty()) << sent;
        world.Forget(repairer.get());
        world.Forget(client.get());
    }
}

// A repairer mends itself one point each quarter second, never below no damage, and not at all
// while invulnerable.
TEST_F(EconomyGoals, ARepairerMendsItselfAPointEachQuarterSecond) {
    struct Row {
        int damage, invulnerable;
        std::vector<int> seen;  // after 200, 250, 450, 500, 750 ms
    };
    const Row rows[] = {
        {10, 0, {10, 9, 9, 8, 7}}, {2, 0, {2, 1, 1, 0, 0}}, {10, 1, {10, 10, 10, 10, 10}}};
    for (const Row& row : rows) {
        auto repairer = kit.Repairer(SimId(kTeam, 1), Point(300, 300));
        world.Add(repairer.get(), true);
        repairer->damage.Add(row.damage);
        repairer->invulnerable = row.invulnerable;
        std::vector<int> seen;
        for (const int ms : {200, 50, 200, 50, 250}) {
            Tick(ms);
            repairer->Update(ms);
            seen.push_back(repairer->damage.Value());
        }
        EXPECT_EQ(seen, row.seen) << row.damage << " " << row.invulnerable;
        world.Forget(repairer.get());
    }
}

// Each mending step of the owner tells the peers the change in damage, also for an
// invulnerable client that takes none; a copy mends nothing and sends nothing.
TEST_F(EconomyGoals, TheOwnerTellsThePeersEveryMendingStep) {
    const Point at(300, 300);
    struct Row {
        int local, invulnerable;
        int damage, told;  // after three steps
    };
    const Row rows[] = {{1, 0, 15, 3}, {1, 1, 45, 3}, {0, 0, 45, 0}};
    for (const Row& row : rows) {
        auto repairer = kit.Repairer(SimId(kTeam, 1), at);
        auto client = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
        world.Add(repairer.get(), true);
        world.Add(client.get(), true);
        client->damage.Add(45);
        client->local = row.local;
        if (row.invulnerable == 1) client->ToggleInvulnerable();
        RepairGoal repair(client->id, repairer->id, Point(64, 0), 1, 1, 1);
        world.commands.Rewind();
        for (int i = 0; i < 3; ++i) {
            repair.Step();
            Tick(RepairGoal::kPeriodMs);
        }
        EXPECT_EQ(client->damage.Value(), row.damage) << row.local << row.invulnerable;
        // Each word names the client and the change, -10.
        std::vector<int32_t> amounts;
        CommandReader r(world.commands.Data(), world.commands.Size());
        CommandHeader h;
        while (r.NextCommand(h)) {
            if (h.kind == 15) {
                EXPECT_EQ(h.id, client->id);
                amounts.push_back(r.ReadW32());
            }
            r.SkipCommand();
        }
        EXPECT_EQ(amounts, std::vector<int32_t>(static_cast<size_t>(row.told), -10));
        repairer->EndService();
        world.Forget(repairer.get());
        world.Forget(client.get());
    }
}

// Docked and worked, a repair is done when the damage left is at most its amount.
TEST_F(EconomyGoals, ARepairEndsOnceTheDamageIsAtMostItsAmount) {
    const Point at(300, 300);
    auto repairer = kit.Repairer(SimId(kTeam, 1), at);
    auto client = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
    world.Add(repairer.get(), true);
    world.Add(client.get(), true);
    for (const auto& [left, done] : {std::pair{19, 1}, {20, 1}, {21, 0}, {0, 1}}) {
        RepairGoal repair(client->id, repairer->id, Point(64, 0), 20, 1, 1);
        repair.docked = 1;
        repair.workDone = 1;
        client->damage.SetValue(left);
        EXPECT_EQ(repair.IsDone(), done) << left;
    }
    world.Forget(repairer.get());
    world.Forget(client.get());
}

// A docked goal whose work cycle was lost (an order cut it, or another goal ran it) starts
// over: away from its object it takes nothing until the unit docks again.
TEST_F(EconomyGoals, ADockedGoalWhoseCycleWasLostStartsOverAndTakesNothingFromAfar) {
    const Point at(200, 200);
    for (const bool salvage : {false, true}) {
        Thing object(salvage ? 3 : 5, SimId(0, 9), at + Point(300, 0), 100);
        std::unique_ptr<HaulerSim> unit = Hauler(salvage, at, object);
        std::unique_ptr<EconomyGoal> goal = WorkGoal(salvage, *unit, object);
        EconomyGoal* work = goal.get();
        work->docked = 1;
        work->workDone = 1;
        unit->goals.PushFront(std::move(goal));
        Tick(1);
        work->Step();
        EXPECT_EQ(work->docked, 0) << salvage;
        EXPECT_EQ(work->workDone, 0) << salvage;
        EXPECT_EQ(object.cargo, 100) << salvage;
        EXPECT_EQ(unit->cargo, 0) << salvage;
        unit->ClearGoals();
        world.Forget(unit.get());
        world.Forget(&object);
    }
}

TEST_F(EconomyGoals, ARefuelPointIsReachedWithin48PixelsOnTheMapOnly) {
    RefuelGoal goal(SimId(kTeam, 1), Point(), 99, 1);
    const Size area = world.Area();
    struct Case {
        Point pos;
        Point dest;
        int at;
    };
    const Case cases[] = {
        {Point(100, 100), Point(100, 148), 1},
        {Point(100, 100), Point(100, 149), 0},
        {Point(-10, -10), Point(-10, -10), 0},
        {Point(area.w, 10), Point(area.w, 10), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(goal.IsAt(c.pos, c.dest), c.at) << c.dest.x << "," << c.dest.y;
}

class EconomyRecords : public EconomyGoals {
protected:
    std::vector<std::string> Written(GameObject& o) {
        const std::string path = files.Path() + "/record.txt";
        {
            ResourceFile file;
            file.plainPath = 1;
            EXPECT_EQ(file.Open(path.c_str(), "w"), 1);
            char buffer[256];
            WriteGoalLines(o, file, buffer, sizeof buffer);
            EXPECT_EQ(file.Close(), 1);
        }
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    TempDirectory files;
};

TEST_F(EconomyRecords, EconomyGoalLinesRoundTripAndBadLinesMakeNothing) {
    auto first = kit.Plain(SimId(kTeam, 1), Point(100, 100));
    const SimId id = first->id;
    first->goals.PushBack(std::make_unique<MiningGoal>(id, SimId(0, 44), 1));
    first->goals.PushBack(std::make_unique<ScavengeGoal>(id, SimId(0, 45), Point(-64, 32), 0));
    first->goals.PushBack(std::make_unique<RepairGoal>(id, SimId(2, 46), Point(64, 0), 120, 1, 0));
    first->goals.PushBack(std::make_unique<UnloadGoal>(id, 7, 1));
    first->goals.PushBack(std::make_unique<RefuelGoal>(id, Point(640, 320), 99, 1));
    const std::vector<std::string> lines = Written(*first);
    ASSERT_EQ(lines.size(), 5u);
    auto second = kit.Plain(SimId(kTeam, 1), Point(100, 100));
    for (const std::string& line : lines)
        EXPECT_EQ(ParseGoalLine(*second, line.c_str() + 4), 1) << line;
    EXPECT_EQ(Written(*second), lines);
    // Unknown types change nothing; huge numbers are held at the limits.
    auto third = kit.Plain(SimId(kTeam, 1), Point(100, 100));
    EXPECT_EQ(ParseGoalLine(*third, "9,1,1,1,0,5"), 0);
    EXPECT_EQ(ParseGoalLine(*third, "x"), 0);
    EXPECT_EQ(ParseGoalLine(*third, "6,1,1,1,0,99999999999"), 1);
    ASSERT_NE(third->goals.Front(), nullptr);
    EXPECT_EQ(third->goals.Front()->StoredFields().amount, INT32_MAX);
}

}  // namespace

namespace {

class LandingSim : public Sim {
public:
    using Sim::Sim;
    int IsLanded() override { return landed; }
    int landed = 1;
};

}  // namespace

// Landed at its point, the owner's unit docks and takes 6000 fuel every 200 ms; away, still
// flying, or a copy, it takes none.
TEST_F(EconomyGoals, ARefuelGoalFillsTheLandedUnitAtItsPointEveryPeriod) {
    struct Tank : LandingSim {
        using LandingSim::LandingSim;
        int AddFuel(int n) override {
            taken.push_back(n);
            return n;
        }
        std::vector<int> taken;
    };
    const Point point(400, 400);
    struct Case {
        Point at;
        int landed, local;
        int fills;  // over three periods, stepped twice in each
    };
    const Case cases[] = {{point, 1, 1, 3},
                          {point + Point(48, 0), 1, 1, 3},
                          {point + Point(49, 0), 1, 1, 0},
                          {point, 0, 1, 0},
                          {point, 1, 0, 0}};
    for (const Case& c : cases) {
        Tank plane(c.at, SimId(kTeam, 1), kit.Design('a'));
        plane.landed = c.landed;
        plane.local = c.local;
        world.Add(&plane, true);
        RefuelGoal goal(plane.id, point, 99, 1);
        for (int i = 0; i < 3; ++i) {
            goal.Step();
            Tick(RefuelGoal::kPeriodMs / 2);
            goal.Step();
            Tick(RefuelGoal::kPeriodMs / 2);
        }
        EXPECT_EQ(goal.docked, c.fills > 0 ? 1 : 0) << c.at.x << c.landed << c.local;
        EXPECT_EQ(plane.taken, std::vector<int>(static_cast<size_t>(c.fills), RefuelGoal::kFuel))
            << c.at.x << c.landed << c.local;
        world.Forget(&plane);
    }
}

TEST_F(EconomyGoals, ARefuelGoalEndsWhenItsUnitLandsAwayFromThePoint) {
    const Point point(400, 400);
    LandingSim plane(point, SimId(kTeam, 1), kit.Design('a'));
    world.Add(&plane, true);
    struct Case {
        Point at;
        int landed;
        int done;
    };
    const Case cases[] = {
        {point, 1, 0}, {point + Point(100, 0), 1, 1}, {point + Point(100, 0), 0, 0}};
    for (const Case& c : cases) {
        plane.SetPosition(c.at);
        plane.landed = c.landed;
        EXPECT_EQ(RefuelGoal(plane.id, point, 99, 1).IsDone(), c.done) << c.at.x << " " << c.landed;
    }
    // Docked, it is done once the fuel reaches the percent asked for.
    for (int more : {0, 1}) {
        RefuelGoal docked(plane.id, point, plane.GetFuelPercent() + more, 1);
        docked.docked = 1;
        EXPECT_EQ(docked.IsDone(), 1 - more);
    }
    world.Forget(&plane);
}

TEST_F(EconomyGoals, DeletingADockedScavengeGoalEndsTheSalvageAtOnce) {
    const Point at(200, 200);
    Thing wreck(3, SimId(0, 10), at, 100);
    auto scavenger = kit.Scavenger(SimId(kTeam, 1), at);
    world.Add(&wreck);
    world.Add(scavenger.get(), true);
    auto goal = std::make_unique<ScavengeGoal>(scavenger->id, wreck.id, Point(), 1);
    ScavengeGoal* salvage = goal.get();
    scavenger->goals.PushFront(std::move(goal));
    Tick(1);
    salvage->Step();
    ASSERT_EQ(scavenger->working, 1);
    EXPECT_EQ(wreck.cargo, 80);
    scavenger->ClearGoals();
    EXPECT_EQ(scavenger->working, 0);
    world.Forget(scavenger.get());
    world.Forget(&wreck);
}

// A stale goal that still thinks it is docked must not stop work the unit does for another.
TEST_F(EconomyGoals, DeletingADockedGoalLeavesWorkForAnotherGoalRunning) {
    const Point at(200, 200);
    for (const bool salvage : {false, true}) {
        Thing object(salvage ? 3 : 5, SimId(0, 10), at, 100);
        std::unique_ptr<HaulerSim> unit = Hauler(salvage, at, object);
        auto goal = WorkGoal(salvage, *unit, object);
        EconomyGoal* work = goal.get();
        unit->goals.PushFront(std::move(goal));
        Tick(1);
        work->Step();
        ASSERT_EQ(unit->working, 1) << salvage;
        auto stale = WorkGoal(salvage, *unit, object);
        stale->docked = 1;
        stale->workDone = 0;
        stale.reset();
        EXPECT_EQ(unit->working, 1) << salvage;
        EXPECT_EQ(unit->WorkGoal(), work) << salvage;
        unit->ClearGoals();
        EXPECT_EQ(unit->working, 0) << salvage;
        world.Forget(unit.get());
        world.Forget(&object);
    }
}

TEST_F(EconomyGoals, AClientWhoseServiceAnOrderCutShortWaitsToDockAgain) {
    const Point at(300, 300);
    auto repairer = kit.Repairer(SimId(kTeam, 1), at);
    auto client = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
    world.Add(repairer.get(), true);
    world.Add(client.get(), true);
    client->damage.Add(80);
    auto goal = std::make_unique<RepairGoal>(client->id, repairer->id, Point(64, 0), 1, 1, 1);
    RepairGoal* repair = goal.get();
    client->goals.PushFront(std::move(goal));
    repair->Step();
    ASSERT_EQ(repair->docked, 1);
    repairer->IssueOrder(Sim::kOrderMove, 0, at + Point(0, 300), SimId());
    EXPECT_EQ(repairer->ServiceGoal(), nullptr);
    Tick(RepairGoal::kPeriodMs);
    repair->Step();
    // The repairer still plays its closing frames: no mending until it serves again.
    EXPECT_EQ(repair->docked, 0);
    EXPECT_EQ(client->damage.Value(), 70);
    EXPECT_EQ(repair->IsDone(), 0);
    client->ClearGoals();
    repairer->ClearGoals();
    world.Forget(repairer.get());
    world.Forget(client.get());
}

TEST_F(EconomyGoals, ARepairerSentToAClientParksBesideItOnAFreeSide) {
    const Point at(300, 300);
    auto repairer = kit.Repairer(SimId(kTeam, 1), at);
    auto client = kit.Plain(SimId(kTeam, 2), at + Point(0, 200));
    auto other = kit.Repairer(SimId(kTeam, 3), at + Point(0, -200));
    for (Sim* s : std::initializer_list<Sim*>{repairer.get(), client.get(), other.get()})
        world.Add(s, true);
    repairer->OrderRepair(other->id);
    EXPECT_TRUE(repairer->goals.IsEmpty());
    // Same x: the right side first, the left one when the right is taken, its drive does not
    // reach it or, the left open, a structure covers it; with neither, it is not sent. Both
    // covered, or that rule off, the cover counts for nothing.
    const Point right = client->GetPosition() + Point(64, 0);
    const Point left = client->GetPosition() + Point(-64, 0);
    Thing factory(4, SimId(kTeam, 9), right, 0);
    world.blockedBy = &factory;
    struct Side {
        std::vector<Point> taken, outOfReach, covered;
        int side;  // 0: not sent
        bool ruleOn = true;
    };
    const Side sides[] = {
        {{}, {}, {}, 64},         {{right}, {}, {}, -64},    {{}, {right}, {}, -64},
        {{left}, {right}, {}, 0}, {{}, {}, {right}, -64},    {{}, {}, {right, left}, 64},
        {{}, {}, {left}, 64},     {{left}, {}, {right}, 64}, {{}, {}, {right}, 64, false}};
    for (const Side& c : sides) {
        world.blocked = c.taken;
        world.outOfReach = c.outOfReach;
        world.covered = c.covered;
        BlockedStepPolicy::Switch(BlockedStepPolicy::kStructureCoversSide, c.ruleOn);
        repairer->ClearGoals();
        repairer->pendingClient = SimId();
        repairer->OrderRepair(client->id);
        EXPECT_EQ(repairer->goals.IsEmpty(), c.side == 0) << c.side;
        if (c.side == 0) continue;
        EXPECT_EQ(repairer->goals.Front()->StoredFields().point, Point(c.side, 0));
        EXPECT_EQ(repairer->pendingClient, client->id);
    }
    BlockedStepPolicy::Switch(BlockedStepPolicy::kStructureCoversSide, true);
    world.blocked.clear();
    world.outOfReach.clear();
    world.covered.clear();
    world.blockedBy = nullptr;
    repairer->OrderRepair(client->id);
    // On its way it calls no one; parked (its goals done) it calls the client over, once.
    repairer->RunManoeuvreList();
    EXPECT_EQ(repairer->pendingClient, client->id);
    EXPECT_EQ(client->goals.HasRepairGoal(), 0);
    repairer->ClearGoals();
    repairer->RunManoeuvreList();
    EXPECT_TRUE(repairer->pendingClient.IsNull());
    EXPECT_EQ(client->goals.HasRepairGoal(), 1);
    client->ClearGoals();
    repairer->RunManoeuvreList();
    EXPECT_EQ(client->goals.HasRepairGoal(), 0);
    repairer->ClearGoals();
    for (Sim* s : std::initializer_list<Sim*>{repairer.get(), client.get(), other.get()})
        world.Forget(s);
}

namespace {

// What each economy goal tells the unit's queue: whether it is a repair or a refuel, whether
// the unit asks before its place is given away, whether it holds still, and its amount.
TEST(EconomyGoalKinds, AnswerTheQueuesQuestions) {
    const SimId owner(1, 1), other(1, 2);
    MiningGoal mining(owner, other, 1);
    ScavengeGoal scavenge(owner, other, Point(), 1);
    RepairGoal repair(owner, other, Point(), 35, 1, 1);
    UnloadGoal unload(owner, 40, 1);
    RefuelGoal refuel(owner, Point(), 80, 1);
    struct Row {
        Goal* goal;
        int repair, refuel, reserved, still, amount;
    };
    const Row rows[] = {{&mining, 0, 0, 0, 0, 0},
                        {&scavenge, 0, 0, 0, 0, 0},
                        {&repair, 1, 0, 1, 1, 35},
                        {&unload, 0, 0, 1, 0, 0},
                        {&refuel, 0, 1, 0, 0, 0}};
    for (const Row& row : rows) {
        const int type = row.goal->GetType();
        EXPECT_EQ(row.goal->IsRepair(), row.repair) << type;
        EXPECT_EQ(row.goal->IsRefuel(), row.refuel) << type;
        EXPECT_EQ(row.goal->ReservedQuery(), row.reserved) << type;
        EXPECT_EQ(row.goal->HoldsStill(), row.still) << type;
        EXPECT_EQ(row.goal->GetAmount(), row.amount) << type;
    }
}

}  // namespace
