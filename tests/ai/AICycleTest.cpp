#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "AIFixture.h"
#include "AITestManagers.h"
#include "ai/InfluenceGrid.h"
#include "objects/Squad.h"
#include "support/FakeClock.h"

namespace {

// A squad that notes its runs.
class LoggedSquad : public Squad {
public:
    LoggedSquad(int team, std::vector<int>& log, int tag) : Squad(team), log(log), tag(tag) {}
    int Update(Timer*) override {
        log.push_back(tag);
        return 1;
    }
    std::vector<int>& log;
    int tag;
};

// A controller whose think timer has run out, with recording managers each running one squad,
// and a budget that is spent after every step (period 0).
struct Cycle {
    Cycle() {
        factory = land.AddFactory(2, Point(300, 300));
        ai = land.AddController(2);
        ai->SetStrategyBits(0x01);
        ai->Setup(3);
        managers = InstallRecordingManagers(*ai, &thoughts);
        for (RecordingManager* m : managers)
            m->AddChild(std::make_unique<LoggedSquad>(2, runs, 10 + m->Id()));
        clock.Advance(AIController::kThinkPeriodMs);
        budget.Start();
    }
    void Tick() {
        budget.Start();
        ai->Update(budget);
    }

    FakeClock clock{1000};
    AIWorld land;
    FakeFactory* factory;
    AIController* ai;
    std::vector<int> thoughts;
    std::vector<int> runs;
    std::vector<RecordingManager*> managers;
    Timer budget{0};
};

}  // namespace

TEST(AICycle, ASpentBudgetStillRunsProductionAndOneStepPerTickInOrder) {
    Cycle c;
    c.factory->unfold = 0;
    struct Step {
        int state;
        std::vector<int> thoughts;
        std::vector<int> runs;
    };
    // Refresh; the four thinks one per tick; the four squad runs one per tick.
    const Step steps[] = {{2, {}, {}},
                          {2, {1}, {}},
                          {2, {1, 2}, {}},
                          {2, {1, 2, 3}, {}},
                          {3, {1, 2, 3, 4}, {}},
                          {3, {1, 2, 3, 4}, {11}},
                          {3, {1, 2, 3, 4}, {11, 12}},
                          {3, {1, 2, 3, 4}, {11, 12, 13}},
                          {1, {1, 2, 3, 4}, {11, 12, 13, 14}}};
    int tick = 0;
    for (const Step& s : steps) {
        // The think timer restarts only when the squads have run.
        EXPECT_TRUE(c.ai->thinkTimer.Expired()) << tick;
        c.Tick();
        EXPECT_EQ(c.factory->unfoldSteps, tick + 1) << tick;
        EXPECT_EQ(c.ai->cycleState, s.state) << tick;
        EXPECT_EQ(c.thoughts, s.thoughts) << tick;
        EXPECT_EQ(c.runs, s.runs) << tick;
        ++tick;
    }
    EXPECT_TRUE(c.ai->thinkTimer.IsRunning());
    c.Tick();
    EXPECT_EQ(c.thoughts.size(), 4u);
}

// With an unlimited budget one update runs the whole cycle: the first manager that acts ends
// the think phase, the alarm skips the squads, a team without a factory only runs its squads.
TEST(AICycle, OneUnlimitedUpdateRunsTheWholeCycleSaveWhatIsSkipped) {
    const std::vector<int> all = {11, 12, 13, 14};
    struct Case {
        int actingManager, alarm, factory;
        std::vector<int> thoughts, runs;
    };
    for (const Case& k :
         {Case{1, 0, 1, {1, 2}, all}, Case{-1, 1, 1, {1, 2, 3, 4}, {}}, Case{-1, 0, 0, {}, all}}) {
        Cycle c;
        if (k.actingManager >= 0) c.managers[static_cast<size_t>(k.actingManager)]->acts = 1;
        c.ai->alarm = k.alarm;
        if (!k.factory) c.land.world.buildings[2].DeleteAll();
        Timer unlimited(-1);
        unlimited.Start();
        c.ai->Update(unlimited);
        EXPECT_EQ(c.thoughts, k.thoughts) << k.actingManager << k.alarm << k.factory;
        EXPECT_EQ(c.runs, k.runs) << k.actingManager << k.alarm << k.factory;
        EXPECT_EQ(c.ai->cycleState, 1);
        EXPECT_EQ(c.ai->thinkTimer.Expired(), !k.factory);
    }
}

// The all-out attack starts when the balance passes the level's threat limit: one combat unit
// of health h against the target's factory of fire 1, whose health the unit's fire outlasts,
// gives a balance of h.
TEST(AICycle, TheAllOutAttackStartsAboveEachLevelsThreatLimit) {
    const int limits[] = {200, 150, 100, 50, 30};
    for (int level = 1; level <= 5; ++level) {
        for (int extra : {0, 1}) {
            FakeClock clock(1000);
            AIWorld land;
            land.AddFactory(2, Point(300, 300));
            FakeFactory* target = land.AddFactory(1, Point(600, 500));
            target->fire = 1;
            target->SetHealth(10, 0);
            target->SetReferencePoint(2, Point(610, 510));
            AIUnit* fighter = land.AddUnit(2, Point(100, 100), 'a', 100);
            fighter->SetHealth(limits[level - 1] + extra, 0);
            AIUnit* miner = land.AddUnit(2, Point(120, 100), 'f', 0);
            miner->SetHealth(0, 0);
            AIController* ai = land.AddController(2);
            ai->SetStrategyBits(1);
            ai->Setup(level);
            ai->SetTargetTeam(1);
            ai->Grid()->Refresh(2, *ai);
            ai->CheckThreat();
            EXPECT_EQ(ai->alarm, 0) << "the first check waits for its timer";
            clock.Advance(AIController::kFirstThreatPeriodMs);
            ai->CheckThreat();
            EXPECT_EQ(ai->alarm, extra) << level;
            EXPECT_EQ(ai->threatTimer.period, AIController::kThreatPeriodMs);
            // Back at the limit the alarm holds; below it, it ends.
            if (extra == 1) {
                for (int below : {0, 1}) {
                    fighter->SetHealth(limits[level - 1] - below, 0);
                    ai->Grid()->Refresh(2, *ai);
                    clock.Advance(AIController::kThreatPeriodMs);
                    ai->CheckThreat();
                    EXPECT_EQ(ai->alarm, 1 - below) << level;
                }
                ai->alarm = 1;
            }
            EXPECT_TRUE(miner->given.empty());
            if (extra == 0) {
                EXPECT_TRUE(fighter->given.empty());
                continue;
            }
            // Out of sight: to the remembered place first, then the attack.
            ASSERT_EQ(fighter->given.size(), 3u) << level;
            EXPECT_EQ(fighter->given[0].code, 9);
            EXPECT_EQ(fighter->given[1].code, 1);
            EXPECT_EQ(fighter->given[1].flags, 0x1d);
            EXPECT_EQ(fighter->given[1].p, Point(610, 510));
            EXPECT_EQ(fighter->given[2].code, 2);
            EXPECT_EQ(fighter->given[2].flags, 0xf);
            EXPECT_EQ(fighter->given[2].target, target->id);
            // A new combat unit joins the attack while the alarm holds.
            AIUnit* late = land.AddUnit(2, Point(140, 100), 'a', 5);
            ai->AdoptUnit(*late, 0);
            ASSERT_EQ(late->given.size(), 2u);
            EXPECT_EQ(late->given[1].target, target->id);
        }
    }
}

TEST(AICycle, NoTargetClearsTheAlarmAndALostTargetIsForgotten) {
    Cycle c;
    c.ai->alarm = 1;
    c.clock.Advance(AIController::kFirstThreatPeriodMs);
    c.ai->CheckThreat();
    EXPECT_EQ(c.ai->alarm, 0);
    FakeFactory* target = c.land.AddFactory(1, Point(600, 500));
    c.ai->SetTargetTeam(1);
    c.Tick();
    EXPECT_EQ(c.ai->TargetTeam(), 1);
    target->destroyed = 1;
    c.Tick();
    EXPECT_EQ(c.ai->TargetTeam(), 0);
}

// When the factory stops moving its owner hears that it is idle and the production counters
// start again; not while it moves, nor again while it stands.
TEST(AICycle, AFactoryThatStopsMovingIsReportedIdleOnce) {
    Cycle c;
    struct Step {
        int busy;
        bool reported;
    };
    int reports = 0;
    for (const Step& s : {Step{0, false}, Step{1, false}, Step{1, false}, Step{0, true},
                          Step{0, false}, Step{1, false}, Step{0, true}}) {
        c.factory->busy = s.busy;
        c.ai->firstProductionCounter = 3;
        c.ai->oreChangeCounter = 7;
        c.Tick();
        int idle = 0;
        for (int kind : c.managers[0]->events)
            idle += kind == AIController::kFactoryIdle;
        EXPECT_EQ(idle - reports, s.reported ? 1 : 0) << s.busy;
        reports = idle;
        EXPECT_EQ(c.ai->firstProductionCounter, s.reported ? 0 : 3);
        EXPECT_EQ(c.ai->oreChangeCounter, s.reported ? 0 : 7);
    }
}
