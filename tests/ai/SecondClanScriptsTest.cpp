#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

#include "MissionFixture.h"
#include "ai/ManagerTools.h"
#include "ai/MissionScriptT1.h"
#include "ai/MissionScriptT10.h"
#include "ai/MissionScriptT2.h"
#include "ai/MissionScriptT3.h"
#include "ai/MissionScriptT4.h"
#include "ai/MissionScriptT5.h"
#include "ai/MissionScriptT6.h"
#include "ai/MissionScriptT7.h"
#include "ai/MissionScriptT8.h"
#include "ai/MissionScriptT9.h"
#include "ai/RouteManoeuvre.h"
#include "catalogue/PartTemplate.h"
#include "objects/AttackManoeuvre.h"
#include "objects/Sim.h"

namespace {

// The action comes exactly at its time after Setup, not a millisecond before, and the game's
// half-hour pause on the way does not count.
template <class Script>
void ExpectAt(Mission<Script>& m, int32_t at, const std::function<bool()>& done) {
    m.script->Setup(1);
    m.clock.Advance(1000);
    m.Tick();
    m.script->PauseTimers();
    m.clock.Advance(1800000);
    m.script->ResumeTimers();
    m.clock.Advance(at - 1000 - 1);
    m.Tick();
    EXPECT_FALSE(done()) << typeid(Script).name();
    m.clock.Advance(1);
    m.Tick();
    EXPECT_TRUE(done()) << typeid(Script).name();
}

int32_t AttackedBy(Squad* squad) {
    auto* attack = squad ? static_cast<AttackManoeuvre*>(squad->manoeuvres.Find(kAttack)) : nullptr;
    return attack ? attack->fixedTargetId.serial : -1;
}

struct Frame {
    int32_t size;
    bool factoryCounted;
    int attackMembers;  // the first unit of word 40 only, or both
    bool handlerB;      // a new structure assembles rather than being counted in squad 1
    bool timer;
};

template <class Script>
void ExpectFrame(const Frame& f) {
    Mission<Script> m;
    m.Units({7, 40, 40});
    m.script->Setup(1);
    const char* name = typeid(Script).name();
    EXPECT_EQ(m.script->minimumAttackSize, f.size) << name;
    EXPECT_EQ(m.Code(1)->FindMember(*m.factory) != nullptr, f.factoryCounted) << name;
    EXPECT_EQ(m.Code(40)->CurrentCount(), f.attackMembers) << name;
    EXPECT_EQ(m.script->scriptTimer.IsRunning(), f.timer) << name;
    AIUnit* relay = m.Deploying(2);
    SimId id = relay->id;
    m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_EQ(relay->IsCurrent(m.Code(7)->Id()), f.handlerB) << name;
    EXPECT_EQ(m.Code(1)->FindMember(*relay) != nullptr, !f.handlerB) << name;
}

}  // namespace

TEST(MissionScriptsT, SetUpSizesGroupingsHandlersAndTimers) {
    ExpectFrame<MissionScriptT3>({4, false, 1, false, true});
    ExpectFrame<MissionScriptT4>({1, true, 1, false, true});
    ExpectFrame<MissionScriptT6>({2, true, 2, true, false});
    ExpectFrame<MissionScriptT7>({3, true, 2, true, true});
    ExpectFrame<MissionScriptT8>({3, true, 2, true, false});
    ExpectFrame<MissionScriptT9>({3, false, 1, true, false});
    ExpectFrame<MissionScriptT10>({20, false, 1, true, true});
    // Mission 6's targets each need one unit more, up to five.
    Mission<MissionScriptT6> t6;
    FakeFactory* local = t6.land.AddFactory(1, Point(900, 900));
    t6.script->Setup(1);
    std::vector<int32_t> sizes;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t6.script->ChooseTarget(), local);
        sizes.push_back(t6.script->minimumAttackSize);
    }
    EXPECT_EQ(sizes, (std::vector<int32_t>{3, 4, 5, 5}));
}

TEST(MissionScriptsT, TimedActionsComeAtTheirTimeNotAMillisecondBeforeNorLaterForAPause) {
    {
        // Without a target squad 7 keeps assembling, so the route finds it.
        Mission<MissionScriptT1> m;
        m.Units({7, 7, 9});
        ExpectAt(m, MissionScriptT1::kWaitMs, [&] { return m.Has(m.Code(7), kRoute); });
        auto* route = static_cast<RouteManoeuvre*>(m.Code(7)->manoeuvres.Find(kRoute));
        EXPECT_EQ(route->loop, 0);
        EXPECT_EQ(route->waypoints.Count(), 5);
        EXPECT_EQ(m.Code(7)->CurrentCount(), 2);
        EXPECT_EQ(m.Code(9), nullptr);
    }
    {
        Mission<MissionScriptT2> m;
        FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
        m.Units({7, 7, 40, 5});
        ExpectAt(m, MissionScriptT2::kWaitMs, [&] { return AttackedBy(m.Code(7)) >= 0; });
        EXPECT_EQ(AttackedBy(m.Code(7)), local->id.serial);
        // Word 40 is a squad of its own, not an attack.
        EXPECT_EQ(m.Codes(), (std::vector<int32_t>{5, 40, 7}));
        EXPECT_EQ(AttackedBy(m.Code(40)), -1);
        EXPECT_EQ(m.script->attacksLaunched, 0);
    }
    {
        Mission<MissionScriptT3> m;
        m.land.AddFactory(1, Point(900, 900));
        m.Units({7, 7, 7});
        ExpectAt(m, MissionScriptT3::kHoldMs, [&] { return m.factory->hold == 0; });
        EXPECT_EQ(m.script->minimumAttackSize, MissionScriptT3::kMinimumSize);
        EXPECT_EQ(m.script->attacksLaunched, 0);
    }
    {
        Mission<MissionScriptT5> m;
        FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
        m.Units({10, 11});
        ExpectAt(m, MissionScriptT5::kPeriodMs, [&] { return AttackedBy(m.Code(10)) >= 0; });
        EXPECT_EQ(local->GetReferencePoint(2), local->GetPosition());
    }
    {
        Mission<MissionScriptT10> m;
        m.Units({7, 8});
        ExpectAt(m, MissionScriptT10::kWaitMs,
                 [&] { return m.script->minimumAttackSize == MissionScriptT10::kAwakeSize; });
    }
}

TEST(MissionScriptsT, MissionOneAttacksAtOnceAndPatrolsOnlyWhenAssemblingAgain) {
    Mission<MissionScriptT1> m;
    FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
    m.Units({7});
    m.script->Setup(1);
    m.Tick();
    EXPECT_EQ(AttackedBy(m.Code(AIPlayer::kAttacking)), local->id.serial);
    m.clock.Advance(MissionScriptT1::kWaitMs);
    m.Tick();
    EXPECT_EQ(m.Codes(), std::vector<int32_t>{AIPlayer::kAttacking});
    EXPECT_FALSE(m.Has(m.Code(AIPlayer::kAttacking), kRoute));
}

TEST(MissionScriptsT, MissionFourLaunchesDuringItsHoldAndSendsStructuresToItsOutpost) {
    Mission<MissionScriptT4> m;
    m.land.AddFactory(1, Point(900, 900));
    m.Units({7});
    m.script->Setup(1);
    m.Tick();
    EXPECT_EQ(m.factory->hold, 1);
    EXPECT_EQ(m.script->attacksLaunched, 1);
    const Point outpost(MissionScriptT4::kOutpostX, MissionScriptT4::kOutpostY);
    for (bool rally : {false, true}) {
        if (rally) m.script->SetRallyPoint(Point(500, 400));
        AIUnit* relay = m.Deploying(2);
        SimId id = relay->id;
        m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
        ASSERT_EQ(relay->given.size(), rally ? 2u : 1u);
        EXPECT_EQ(relay->given.back().p, outpost);
        EXPECT_EQ(relay->given.back().flags, MissionScript::kDeployFlags);
        EXPECT_EQ(relay->given.front().p, rally ? Point(500, 400) : outpost);
        EXPECT_NE(m.Code(1)->FindMember(*relay), nullptr);
    }
    // A combat unit gets no outpost order.
    AIUnit* fighter = m.land.AddUnit(2, Point(100, 100));
    SimId id = fighter->id;
    m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_TRUE(fighter->given.empty());
}

TEST(MissionScriptsT, MissionFiveSendsTheNextSquadWithUnitsEveryThreeMinutes) {
    Mission<MissionScriptT5> m;
    FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
    std::vector<AIUnit*> u = m.Units({10, 11, 12, 0});
    m.script->Setup(1);
    EXPECT_EQ(m.Codes(), (std::vector<int32_t>{12, 11, 10}));
    std::vector<int32_t> sent, next;
    for (int action = 0; action < 4; ++action) {
        if (action == 1) m.Code(11)->RemoveMember(*u[1]);
        for (int32_t code : {10, 11, 12})
            m.Code(code)->manoeuvres.DeleteAll();
        m.clock.Advance(MissionScriptT5::kPeriodMs);
        m.Tick();
        int32_t code = 0;
        for (int32_t c : {10, 11, 12})
            if (AttackedBy(m.Code(c)) == local->id.serial) code = c;
        sent.push_back(code);
        next.push_back(m.script->nextSquadCode);
    }
    // After the empty 11, 12 goes twice: the search starts one past where it started.
    EXPECT_EQ(sent, (std::vector<int32_t>{10, 12, 12, 0}));
    EXPECT_EQ(next, (std::vector<int32_t>{11, 12, 13, 13}));
    EXPECT_EQ(m.Code(12)->purpose, 12);
}

TEST(MissionScriptsT, MissionEightGrowsFromThreeToSevenAndBoardsFromTheSecondLaunch) {
    Mission<MissionScriptT8> m;
    AIUnit* transport =
        m.land.List(std::make_unique<AIUnit>(SimId(2, 67), Point(50, 50), m.land.kit.Role('a')));
    m.script->Setup(1);
    EXPECT_EQ(m.script->approachPoints.Count(), 3);
    PartTemplate hover('T', 'H', 1, 1, 0, 100, 1);
    hover.terrainFlag1 = 1;
    auto squadOf = [&](int n) -> Squad& {
        Squad& squad = m.script->AddSquad(AIPlayer::kAssembling);
        for (int i = 0; i < n; ++i) {
            AIUnit* unit = m.land.AddUnit(2, Point(100, 100));
            unit->SetOwner(m.script);
            squad.AddMember(*unit, 1);
        }
        return squad;
    };
    // No target: nothing launched, yet the size grows.
    EXPECT_EQ(m.script->LaunchAttack(squadOf(3)), 0);
    EXPECT_EQ(m.script->minimumAttackSize, 4);
    m.land.AddFactory(1, Point(900, 900));
    AIUnit* repairer = m.land.AddUnit(1, Point(800, 800), 'k');
    EXPECT_EQ(m.script->LaunchAttack(squadOf(3)), 0);
    EXPECT_EQ(m.script->minimumAttackSize, 4);
    std::vector<int32_t> sizes;
    for (int launch = 0; launch < 4; ++launch) {
        Squad& squad = squadOf(7);
        AIUnit* flagged = static_cast<AIUnit*>(manager_tools::Members(squad)[0]);
        flagged->ownDesign->drive = &hover;
        ASSERT_EQ(m.script->LaunchAttack(squad), 1);
        sizes.push_back(m.script->minimumAttackSize);
        EXPECT_EQ(squad.purpose, AIPlayer::kAttacking);
        EXPECT_EQ(AttackedBy(&squad), repairer->id.serial);
        for (GameObject* member : manager_tools::Members(squad)) {
            const std::vector<AIOrder>& given = static_cast<AIUnit*>(member)->given;
            ASSERT_EQ(given.size(), launch == 0 ? 2u : 3u);
            if (launch > 0) {
                EXPECT_EQ(given[0].code, Sim::kOrderTransport);
                EXPECT_EQ(given[0].target, transport->id);
            }
            const AIOrder& approach = given[given.size() - 2];
            EXPECT_EQ(approach.flags, MissionScriptT8::kApproachFlags);
            if (member == flagged) {
                EXPECT_TRUE(approach.p == Point(5072, 1168) || approach.p == Point(6320, 912));
            } else {
                EXPECT_EQ(approach.p, Point(3728, 112));
            }
            EXPECT_EQ(given.back().code, Sim::kOrderAttack);
            EXPECT_EQ(given.back().flags, MissionScriptT8::kAttackFlags);
            EXPECT_EQ(given.back().target, repairer->id);
        }
        flagged->ownDesign->drive = nullptr;
    }
    EXPECT_EQ(sizes, (std::vector<int32_t>{5, 6, 7, 7}));
    EXPECT_EQ(m.script->attacksLaunched, 4);
}

TEST(MissionScriptsT, MissionTenSendsSquadEightOnlyAfterTheSecondLaunch) {
    Mission<MissionScriptT10> m;
    m.land.AddFactory(1, Point(900, 900));
    AIUnit* near = m.land.AddUnit(1, Point(200, 100));
    std::vector<AIUnit*> u = m.Units({8, 8, 7});
    m.script->Setup(1);
    m.clock.Advance(MissionScriptT10::kWaitMs);
    for (int launched = 0; launched <= 2; ++launched) {
        m.script->attacksLaunched = launched;
        m.Tick();
        EXPECT_EQ(u[0]->given.size() + u[1]->given.size(), launched == 2 ? 2u : 0u);
    }
    AIUnit* sent = u[0]->given.empty() ? u[1] : u[0];
    ASSERT_EQ(sent->given.size(), 2u);
    EXPECT_EQ(sent->given[0].flags, MissionScriptT10::kMoveFlags);
    EXPECT_EQ(sent->given[0].p, near->GetPosition());
    EXPECT_EQ(sent->given[1].flags, MissionScriptT10::kAttackFlags);
    EXPECT_EQ(sent->given[1].target, near->id);
    EXPECT_EQ(m.script->minimumAttackSize, MissionScriptT10::kAwakeSize + 1);
    // A captured fighter joins the assembling squad (no attack squad exists); a miner nothing.
    AIUnit* miner = m.land.AddUnit(1, Point(300, 100), 'f');
    m.script->OnEvent(AIController::kCaptured, u[0], near);
    m.script->OnEvent(AIController::kCaptured, u[0], miner);
    EXPECT_EQ(near->GetTeam(), 2);
    EXPECT_EQ(near->Owner(), m.script);
    EXPECT_TRUE(near->IsCurrent(m.Code(7)->Id()));
    EXPECT_EQ(miner->GetTeam(), 2);
    EXPECT_EQ(miner->CurrentSquad(), 0);
}

TEST(MissionScriptsT, NeverSendSquadsAtAnAlly) {
    Mission<MissionScriptT2> t2;
    t2.land.AddFactory(1, Point(900, 900));
    t2.Units({7});
    t2.land.world.alliance[1][2] = t2.land.world.alliance[2][1] = World::kAllied;
    t2.script->Setup(1);
    t2.clock.Advance(MissionScriptT2::kWaitMs);
    t2.Tick();
    EXPECT_EQ(AttackedBy(t2.Code(7)), -1);
    Mission<MissionScriptT10> t10;
    t10.land.AddFactory(1, Point(900, 900));
    std::vector<AIUnit*> u = t10.Units({8});
    t10.land.world.alliance[1][2] = t10.land.world.alliance[2][1] = World::kAllied;
    t10.script->Setup(1);
    t10.script->attacksLaunched = 2;
    t10.Tick();
    EXPECT_TRUE(u[0]->given.empty());
}
