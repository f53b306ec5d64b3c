// The work cycles of miners, scavengers and repair units: the picture frames shown per 50 ms
// with 0, 1 and 2 loops, the facings they turn to, and how orders and goal deletions end them.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "EconomyTestSupport.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/SpriteSet.h"
#include "objects/EconomyGoals.h"
#include "objects/EconomyMakers.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/TimerNode.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kTeam = 1;

// from .. to, counting up or down, both included.
std::vector<int> Run(int from, int to) {
    std::vector<int> out;
    for (int f = from;; f += from <= to ? 1 : -1) {
        out.push_back(f);
        if (f == to) break;
    }
    return out;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<int> Times(int n, const std::vector<int>& part) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

enum class Job { Mining, MinerUnload, Scavenging, ScavengerUnload, Service };

struct CycleCase {
    const char* name;
    Job job;
    int workingFacing;
    // The frames the cycle shows with this many loops, as the game describes them.
    std::function<std::vector<int>(int)> expected;
};

const CycleCase kCases[] = {
    {"miner mining", Job::Mining, 10,
     [](int n) {
         return Join({Run(0, 17), {9}, Times(n, Join({Run(10, 17), {9}})), Run(8, 0)});
     }},
    {"miner unloading", Job::MinerUnload, 2,
     [](int n) {
         return Join({Run(0, 17), {9}, Times(n, Join({Run(10, 17), {9}})), Run(8, 0)});
     }},
    {"scavenger salvaging", Job::Scavenging, 14,
     [](int n) {
         return Join({Run(0, 24), Times(n, Run(14, 24)), Run(13, 0)});
     }},
    {"scavenger unloading", Job::ScavengerUnload, 10,
     [](int n) {
         return Join({Run(0, 13), Run(24, 14), Times(n, Run(24, 14)), Run(13, 0)});
     }},
    {"repairer servicing", Job::Service, 8,
     [](int n) {
         return Join(
             {Run(0, 18), Run(17, 8), Times(n, Join({Run(10, 18), Run(17, 8)})), Run(7, 0)});
     }},
};

class WorkCycleTest : public ::testing::Test {
protected:
    WorkCycleTest() : clock(1000) { InstallEconomyMakers(world.makers); }

    // Runs the cycle of one job, letting it go on at `loops` decisions; the frames shown. With
    // turnSteps the unit starts that many facing steps away from the working facing, and
    // firstRun (when given) counts the updates at the working facing that show work frame 0.
    std::vector<int> Shown(const CycleCase& c, int loops, int turnSteps = 0, int stepMs = 0,
                           int* firstRun = nullptr) {
        const Point at(160, 160);
        Thing object(c.job == Job::Mining ? 5 : 3, SimId(0, 9), at, 100);
        world.Add(&object);
        std::unique_ptr<Sim> unit;
        std::unique_ptr<Sim> client;
        WorkCycle* cycle = nullptr;
        std::function<void(bool)> keep;
        if (c.job == Job::Service) {
            auto repairer = kit.Repairer(SimId(kTeam, 1), at);
            client = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
            world.Add(client.get(), true);
            auto goal = std::make_unique<RepairGoal>(client->id, repairer->id, Point(), 1, 1, 1);
            repairer->StartService(client.get(), goal.get());
            client->goals.PushFront(std::move(goal));
            cycle = &repairer->cycle;
            Sim* who = client.get();
            keep = [who](bool on) { who->damage.Add(on ? 50 : -who->damage.Value()); };
            unit = std::move(repairer);
        } else {
            std::unique_ptr<HaulerSim> hauler;
            if (c.job == Job::Mining || c.job == Job::MinerUnload)
                hauler = kit.Miner(SimId(kTeam, 1), at);
            else
                hauler = kit.Scavenger(SimId(kTeam, 1), at);
            world.Add(hauler.get(), true);
            // A mirror: the goals move no loads, so only the test decides the loops.
            hauler->SetLocal(0);
            std::unique_ptr<EconomyGoal> goal;
            if (c.job == Job::Mining) {
                goal = std::make_unique<MiningGoal>(hauler->id, object.id, 1);
                static_cast<MinerSim*>(hauler.get())->StartMining(&object, goal.get());
                keep = [&object](bool on) { object.cargo = on ? 100 : 0; };
            } else if (c.job == Job::Scavenging) {
                goal = std::make_unique<ScavengeGoal>(hauler->id, object.id, Point(), 1);
                static_cast<ScavengerSim*>(hauler.get())->StartScavenging(&object, goal.get());
                keep = [&object](bool on) { object.cargo = on ? 100 : 0; };
            } else {
                goal = std::make_unique<UnloadGoal>(hauler->id, 1, 1);
                hauler->BeginUnload(goal.get());
                HaulerSim* h = hauler.get();
                keep = [h](bool on) { h->cargo = on ? 100 : 0; };
            }
            goal->docked = 1;
            hauler->goals.PushFront(std::move(goal));
            cycle = &hauler->cycle;
            unit = std::move(hauler);
        }
        unit->facing = (c.workingFacing + turnSteps) % 16;
        const int ms = stepMs > 0 ? stepMs : WorkCycle::kFrameMs;
        std::vector<int> shown{cycle->PictureFrame()};
        int decisions = 0;
        if (firstRun) *firstRun = 0;
        for (int step = 0; step < 4000 && cycle->Running(); ++step) {
            if (cycle->frame == cycle->table->decisionFrame) keep(decisions++ < loops);
            clock.Advance(ms);
            unit->Update(ms);
            if (firstRun && unit->facing == c.workingFacing && cycle->frame == 0) ++*firstRun;
            if (cycle->Running()) shown.push_back(cycle->PictureFrame());
        }
        EXPECT_FALSE(cycle->Running()) << c.name;
        if (client) client->goals.Clear();
        world.Forget(unit.get());
        world.Forget(&object);
        if (client) world.Forget(client.get());
        return shown;
    }

    FakeClock clock;
    FakeObjectWorld world;
    EconomyKit kit;
};

TEST_F(WorkCycleTest, ShowsTheFramesOfEachCycleWithNoneOneAndTwoLoops) {
    for (const CycleCase& c : kCases) {
        for (int loops = 0; loops <= 2; ++loops)
            EXPECT_EQ(Shown(c, loops), c.expected(loops)) << c.name << " with " << loops;
    }
}

// Updates of 10 ms: each frame shows for five of them, the first one too when the unit had to
// turn first, and turning costs one update per facing step without shortening the cycle.
TEST_F(WorkCycleTest, AfterTurningTheFirstFrameShowsItsFullTime) {
    for (const CycleCase& c : kCases) {
        int firstRun = 0;
        const std::vector<int> shown = Shown(c, 0, 2, 10, &firstRun);
        EXPECT_EQ(firstRun, 5) << c.name;
        const std::vector<int> frames = c.expected(0);
        // The picture before the updates, two turn steps, then five updates a frame; the
        // last frame's end is the update that finds the cycle over.
        EXPECT_EQ(shown.size(), 1 + 2 + 5 * frames.size() - 1) << c.name;
    }
}

TEST_F(WorkCycleTest, TurnsToTheWorkingFacingOfWhereTheObjectLies) {
    struct Facing {
        const char* name;
        Job job;
        Point object;
        int expected;
    };
    const Point at(320, 320);
    const Facing cases[] = {
        {"field right of the miner", Job::Mining, at + Point(40, 0), 14},
        {"field at the same x", Job::Mining, at + Point(0, 30), 10},
        {"field left", Job::Mining, at - Point(40, 0), 10},
        {"wreck above left", Job::Scavenging, at - Point(10, 10), 2},
        {"wreck above right", Job::Scavenging, at + Point(10, -10), 6},
        {"wreck below right", Job::Scavenging, at + Point(10, 10), 10},
        {"wreck due north", Job::Scavenging, at - Point(0, 10), 14},
        {"client straight below", Job::Service, at + Point(0, 40), 8},
        {"client left", Job::Service, at - Point(40, 0), 0},
    };
    for (const Facing& c : cases) {
        Thing object(c.job == Job::Mining ? 5 : 3, SimId(0, 9), c.object, 100);
        std::unique_ptr<Sim> unit;
        WorkCycle* cycle = nullptr;
        if (c.job == Job::Mining) {
            auto miner = kit.Miner(SimId(kTeam, 1), at);
            miner->StartMining(&object, nullptr);
            cycle = &miner->cycle;
            unit = std::move(miner);
        } else if (c.job == Job::Scavenging) {
            auto scavenger = kit.Scavenger(SimId(kTeam, 1), at);
            scavenger->StartScavenging(&object, nullptr);
            cycle = &scavenger->cycle;
            unit = std::move(scavenger);
        } else {
            auto repairer = kit.Repairer(SimId(kTeam, 1), at);
            repairer->StartService(&object, nullptr);
            cycle = &repairer->cycle;
            unit = std::move(repairer);
        }
        // Facing 4 is at most six single steps from any of them.
        unit->facing = 4;
        for (int step = 0; step < 8; ++step) {
            clock.Advance(WorkCycle::kFrameMs);
            unit->Update(WorkCycle::kFrameMs);
        }
        EXPECT_EQ(unit->facing, c.expected) << c.name;
        EXPECT_TRUE(cycle->Running()) << c.name;
    }
}

TEST_F(WorkCycleTest, AnOrderLeavingTheGoalQueuedPlaysTheClosingFramesAndDeletingItEndsAtOnce) {
    const Point at(160, 160);
    Thing field(5, SimId(0, 9), at, 1000);
    world.Add(&field);
    for (const bool deleteGoal : {false, true}) {
        auto miner = kit.Miner(SimId(kTeam, 1), at);
        world.Add(miner.get(), true);
        miner->facing = 10;
        auto goal = std::make_unique<MiningGoal>(miner->id, field.id, 1);
        EconomyGoal* mining = goal.get();
        miner->goals.PushFront(std::move(goal));
        clock.Advance(WorkCycle::kFrameMs);
        miner->Update(WorkCycle::kFrameMs);
        ASSERT_EQ(miner->working, 1);
        ASSERT_EQ(miner->WorkGoal(), mining);
        miner->IssueOrder(Sim::kOrderMove, deleteGoal ? 0 : Sim::kAppend, at + Point(200, 0),
                          SimId());
        if (deleteGoal) {
            EXPECT_EQ(miner->working, 0);
        } else {
            EXPECT_EQ(miner->cycle.frame, 18);
            EXPECT_EQ(miner->WorkGoal(), nullptr);
            int updates = 0;
            while (miner->working == 1 && updates < 50) {
                clock.Advance(WorkCycle::kFrameMs);
                miner->Update(WorkCycle::kFrameMs);
                ++updates;
            }
            // 19 .. 27, then the end at 28; it never moved meanwhile.
            EXPECT_EQ(updates, 10);
            EXPECT_EQ(miner->GetPosition(), at);
            EXPECT_EQ(mining->workDone, 0);
        }
        miner->ClearGoals();
        world.Forget(miner.get());
    }
    world.Forget(&field);
}

TEST_F(WorkCycleTest, AClientGoalEndsOnlyItsOwnService) {
    const Point at(160, 160);
    auto repairer = kit.Repairer(SimId(kTeam, 1), at);
    auto a = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
    auto b = kit.Plain(SimId(kTeam, 3), at - Point(64, 0));
    for (GameObject* o : {static_cast<GameObject*>(repairer.get()),
                          static_cast<GameObject*>(a.get()), static_cast<GameObject*>(b.get())})
        world.Add(o, true);
    auto goalA = std::make_unique<RepairGoal>(a->id, repairer->id, Point(64, 0), 1, 1, 1);
    auto goalB = std::make_unique<RepairGoal>(b->id, repairer->id, Point(-64, 0), 1, 1, 1);
    goalB->docked = 1;
    repairer->StartService(a.get(), goalA.get());
    goalA->docked = 1;
    a->goals.PushFront(std::move(goalA));
    b->goals.PushFront(std::move(goalB));
    b->goals.Clear();
    EXPECT_EQ(repairer->servicing, 1);
    a->goals.Clear();
    EXPECT_EQ(repairer->servicing, 0);
    for (GameObject* o : {static_cast<GameObject*>(repairer.get()),
                          static_cast<GameObject*>(a.get()), static_cast<GameObject*>(b.get())})
        world.Forget(o);
}

// A repairer at its service draws its work picture in its team's colour, casts it as a shadow
// by its drive's altitude (ten without a drive) and shows it tinted when sensed; it is never
// selected by the player. Idle, it draws as a plain unit.
TEST_F(WorkCycleTest, AServicingRepairerDrawsCastsAndShowsItsWorkPicture) {
    const Point at(160, 160);
    LandFixture files;
    world.terrain = PlainTerrain(files, 10, 10);
    for (int altitude : {4, -1}) {
        kit.drive->altitude = std::max(0, altitude);
        auto repairer = kit.Repairer(SimId(kTeam, 1), at, kit.Pictures(3, 19));
        auto client = kit.Plain(SimId(kTeam, 2), at + Point(64, 0));
        EXPECT_EQ(repairer->IsSelectable(), 0);
        // Nor does it guard anything.
        repairer->SetGuardGoal(std::make_unique<LocationGoal>(repairer->id, at, 10, 1, 1));
        EXPECT_EQ(repairer->IsGuarding(), 0);
        EXPECT_EQ(repairer->GetGuardPoint(), Point());
        if (altitude < 0) repairer->GetDesign()->drive = nullptr;
        repairer->teamRecord.third = 5;
        ScreenBase view;
        repairer->Draw(view);
        repairer->DrawUnder(view);
        repairer->DrawSensed(view, world.terrain->ShadeTable2());
        for (int sequence = 0; sequence < 3; ++sequence)
            EXPECT_TRUE(EconomyKit::Probe(repairer->cycle, sequence)->drawn.empty());
        repairer->StartService(client.get(), nullptr);
        repairer->facing = 8;  // the client stands right of it
        repairer->Draw(view);
        repairer->DrawUnder(view);
        repairer->DrawSensed(view, world.terrain->ShadeTable2());
        repairer->DrawSensed(view, nullptr);
        SequenceProbe* shown = nullptr;
        for (int sequence = 0; sequence < 3; ++sequence) {
            SequenceProbe* probe = EconomyKit::Probe(repairer->cycle, sequence);
            if (!probe->drawn.empty()) shown = probe;
        }
        ASSERT_NE(shown, nullptr);
        const int frame = repairer->cycle.PictureFrame();
        ASSERT_EQ(shown->drawn.size(), 3u) << altitude;
        EXPECT_EQ(shown->drawn[0], std::make_pair(frame, 5));
        EXPECT_EQ(shown->points[0], view.MapToScreen(at));
        const int cast = altitude < 0 ? 10 : altitude;
        EXPECT_EQ(shown->drawn[1], std::make_pair(frame, -1));
        EXPECT_EQ(shown->points[1], view.MapToScreen(at + Point(cast, cast))) << altitude;
        EXPECT_EQ(shown->drawn[2], std::make_pair(frame, -1));
        EXPECT_EQ(shown->points[2], view.MapToScreen(at));
        repairer->EndService();
    }
    world.terrain.reset();
}

TEST_F(WorkCycleTest, DrawsTheWorkPictureOnlyWhenItHasTheSequence) {
    const Point at(160, 160);
    Thing field(5, SimId(0, 9), at + Point(40, 0), 100);
    struct Draw {
        const char* name;
        int sequences;
        int frames;
        bool drawn;
    };
    const Draw cases[] = {
        {"full set", 3, 18, true},
        {"set without the facing's sequence", 1, 18, false},
        {"sequence too short for the frame", 3, 0, false},
    };
    for (const Draw& c : cases) {
        auto miner = kit.Miner(SimId(kTeam, 1), at, kit.Pictures(c.sequences, c.frames));
        miner->teamRecord.third = 3;
        miner->StartMining(&field, nullptr);
        miner->facing = 14;
        ScreenBase view;
        miner->Draw(view);
        miner->DrawUnder(view);
        const bool any = c.sequences > 1 && !EconomyKit::Probe(miner->cycle, 1)->drawn.empty();
        EXPECT_EQ(any, c.drawn) << c.name;
        if (c.drawn) {
            EXPECT_EQ(EconomyKit::Probe(miner->cycle, 1)->drawn.front(), std::make_pair(0, 3));
        }
    }
    // At work, its shadow falls down and right by the drive's altitude, by ten without a drive,
    // and not at all while it is hidden from its own team.
    LandFixture files;
    world.terrain = PlainTerrain(files, 10, 10);
    world.GrantStructure(kTeam, 1);
    struct Shadow {
        const char* name;
        int altitude;  // -1: no drive
        int hidden;
        int cast;  // -1: none
    };
    const Shadow shadows[] = {{"drive", 4, 0, 4}, {"no drive", -1, 0, 10}, {"hidden", 4, 1, -1}};
    for (const Shadow& c : shadows) {
        kit.drive->altitude = std::max(0, c.altitude);
        auto miner = kit.Miner(SimId(kTeam, 1), at, kit.Pictures(3, 18));
        if (c.altitude < 0) miner->GetDesign()->drive = nullptr;
        miner->stealth.hidden = c.hidden;
        miner->StartMining(&field, nullptr);
        miner->facing = 14;
        ScreenBase view;
        miner->DrawUnder(view);
        const std::vector<Point>& points = EconomyKit::Probe(miner->cycle, 1)->points;
        ASSERT_EQ(points.size(), c.cast < 0 ? 0u : 1u) << c.name;
        if (c.cast >= 0) {
            EXPECT_EQ(EconomyKit::Probe(miner->cycle, 1)->drawn[0].second, -1);
            EXPECT_EQ(points[0], view.MapToScreen(at + Point(c.cast, c.cast))) << c.name;
        }
    }
    // In its team's colour on a land with ghost shades too; hidden from its own team it draws
    // as a ghost; sensed, it shows tinted; without a table nothing is shown.
    {
        auto miner = kit.Miner(SimId(kTeam, 1), at, kit.Pictures(3, 18));
        miner->teamRecord.third = 3;
        miner->StartMining(&field, nullptr);
        miner->facing = 14;
        ScreenBase view;
        miner->Draw(view);
        miner->stealth.hidden = 1;
        miner->Draw(view);
        miner->DrawSensed(view, nullptr);
        miner->DrawSensed(view, world.terrain->ShadeTable2());
        SequenceProbe* probe = EconomyKit::Probe(miner->cycle, 1);
        const int frame = miner->cycle.PictureFrame();
        EXPECT_EQ(probe->drawn,
                  (std::vector<std::pair<int, int>>{{frame, 3}, {frame, -1}, {frame, -1}}));
        EXPECT_EQ(probe->points, std::vector<Point>(3, view.MapToScreen(at)));
    }
    world.terrain.reset();
    // No pictures at all: the unit draws as a plain one.
    auto bare = kit.Miner(SimId(kTeam, 1), at);
    bare->StartMining(&field, nullptr);
    bare->facing = 14;
    ScreenBase view;
    bare->Draw(view);
    EXPECT_EQ(bare->cycle.Picture(bare->facing, 14), nullptr);
}

}  // namespace

namespace {

// A mark picture of three frames that notes each blended draw.
class MarkFrames : public Image {
public:
    explicit MarkFrames(std::vector<std::pair<int, Point>>& log) : Image(Size(8, 8)), log(log) {}
    int32_t LastFrameIndex() override { return 2; }
    void DrawFrameBlended(const Point& at, int32_t frame, const ByteTable256&) override {
        log.emplace_back(frame, at);
    }
    std::vector<std::pair<int, Point>>& log;
};

// A ground mark shows its frames in turn, 30 pixels above its place, while time is left on it.
TEST(GroundMark, CyclesItsFramesAboveItsPlaceWhileTimeIsLeft) {
    FakeObjectWorld world;
    LandFixture files;
    world.terrain = PlainTerrain(files, 10, 10);
    ASSERT_NE(world.terrain->BlendTable(), nullptr);
    std::vector<std::pair<int, Point>> log;
    RoleTemplate mark('X', 'x', "");
    auto grid = std::make_unique<SpriteSet>(1);
    grid->SetFrame(std::make_unique<MarkFrames>(log), 0);
    mark.pictures = std::move(grid);
    RoleList.PushBack(&mark);  // leaves the list when the record ends
    ScreenBase view;
    const Point at(100, 120);
    for (int ms : {1, 0, -5}) {
        log.clear();
        TimerNode timer(at, ms);
        for (int i = 0; i < 4; ++i)
            timer.Draw(view);
        std::vector<std::pair<int, Point>> expected;
        if (ms > 0) {
            for (int frame : {0, 1, 2, 0})
                expected.emplace_back(frame, view.MapToScreen(Point(100, 90)));
        }
        EXPECT_EQ(log, expected) << ms;
    }
}

}  // namespace
