#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <typeinfo>
#include <utility>
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

// Minimum attack size, factory counted in squad 1, units of word 40 in the attack squad (the
// first only or all), timer running, a new structure assembling (handler B) rather than being
// counted in squad 1 (handler A).
template <class Script>
std::vector<int> FrameOf() {
    Mission<Script> m;
    m.Units({7, 40, 40});
    m.script->Setup(1);
    AIUnit* relay = m.Deploying(2);
    SimId id = relay->id;
    m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    return {m.script->minimumAttackSize, m.Code(1)->FindMember(*m.factory) != nullptr,
            m.Code(40)->CurrentCount(), m.script->scriptTimer.IsRunning(),
            relay->IsCurrent(m.Code(7)->Id())};
}

using Orders = std::vector<std::pair<int, int>>;

Orders CodesAndFlags(GameObject* unit) {
    Orders out;
    for (const AIOrder& o : static_cast<AIUnit*>(unit)->given)
        out.emplace_back(o.code, o.flags);
    return out;
}

}  // namespace

TEST(MissionScriptsT, SetUpSizesGroupingsHandlersAndTimers) {
    EXPECT_EQ(FrameOf<MissionScriptT3>(), (std::vector<int>{4, 0, 1, 1, 0}));
    EXPECT_EQ(FrameOf<MissionScriptT4>(), (std::vector<int>{1, 1, 1, 1, 0}));
    EXPECT_EQ(FrameOf<MissionScriptT6>(), (std::vector<int>{2, 1, 2, 0, 1}));
    EXPECT_EQ(FrameOf<MissionScriptT7>(), (std::vector<int>{3, 1, 2, 1, 1}));
    EXPECT_EQ(FrameOf<MissionScriptT8>(), (std::vector<int>{3, 1, 2, 0, 1}));
    EXPECT_EQ(FrameOf<MissionScriptT9>(), (std::vector<int>{3, 0, 1, 0, 1}));
    EXPECT_EQ(FrameOf<MissionScriptT10>(), (std::vector<int>{20, 0, 1, 1, 1}));
    // Mission 6's targets each need one unit more, up to five.
    Mission<MissionScriptT6> t6;
    t6.land.AddFactory(1, Point(900, 900));
    t6.script->Setup(1);
    for (int32_t size : {3, 4, 5, 5}) {
        t6.script->ChooseTarget();
        EXPECT_EQ(t6.script->minimumAttackSize, size);
    }
}

TEST(MissionScriptsT, TimedActionsComeAtTheirTimeNotAMillisecondBeforeNorLaterForAPause) {
    {
        // Without a target squad 7 keeps assembling, so the route finds it.
        Mission<MissionScriptT1> m;
        m.Units({7, 7, 9});
        ExpectAt(m, MissionScriptT1::kWaitMs, [&] { return m.Has(m.Code(7), kRoute); });
        auto* route = static_cast<RouteManoeuvre*>(m.Code(7)->manoeuvres.Find(kRoute));
        EXPECT_EQ(route->loop * 10 + route->waypoints.Count(), 5);
        EXPECT_EQ(m.Code(7)->CurrentCount(), 2);
    }
    {
        Mission<MissionScriptT2> m;
        FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
        m.Units({7, 7, 40, 5});
        ExpectAt(m, MissionScriptT2::kWaitMs, [&] { return AttackedBy(m.Code(7)) >= 0; });
        EXPECT_EQ(AttackedBy(m.Code(7)), local->id.serial);
        // Word 40 is a squad of its own, not an attack.
        EXPECT_EQ(m.Codes(), (std::vector<int32_t>{5, 40, 7}));
        EXPECT_EQ(AttackedBy(m.Code(40)) + m.script->attacksLaunched, -1);
        // Without a local factory there is nothing to attack.
        Mission<MissionScriptT2> alone;
        alone.script->Setup(1);
        alone.clock.Advance(MissionScriptT2::kWaitMs);
        alone.Tick();
        EXPECT_EQ(AttackedBy(alone.Code(7)), -1);
    }
    {
        Mission<MissionScriptT3> m;
        m.land.AddFactory(1, Point(900, 900));
        m.Units({7, 7, 7});
        ExpectAt(m, MissionScriptT3::kHoldMs, [&] { return m.factory->hold == 0; });
    }
    {
        Mission<MissionScriptT5> m;
        FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
        m.Units({10, 11});
        ExpectAt(m, MissionScriptT5::kPeriodMs, [&] { return AttackedBy(m.Code(10)) >= 0; });
        EXPECT_EQ(local->GetReferencePoint(2), local->GetPosition());
    }
    Mission<MissionScriptT10> m;
    m.Units({7, 8});
    ExpectAt(m, MissionScriptT10::kWaitMs, [&] { return m.script->minimumAttackSize == 3; });
}

TEST(MissionScriptsT, MissionFourLaunchesDuringItsHoldAndSendsStructuresToItsOutpost) {
    Mission<MissionScriptT4> m;
    m.land.AddFactory(1, Point(900, 900));
    m.Units({7});
    m.script->Setup(1);
    m.Tick();
    EXPECT_EQ(m.factory->hold * 10 + m.script->attacksLaunched, 11);
    const Point outpost(MissionScriptT4::kOutpostX, MissionScriptT4::kOutpostY);
    for (bool rally : {false, true}) {
        if (rally) m.script->SetRallyPoint(Point(500, 400));
        AIUnit* relay = m.Deploying(2);
        SimId id = relay->id;
        m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
        ASSERT_EQ(relay->given.size(), rally ? 2u : 1u);
        EXPECT_EQ(relay->given.back().p, outpost);
        EXPECT_EQ(relay->given.back().flags, MissionScript::kDeployFlags);
        EXPECT_NE(m.Code(1)->FindMember(*relay), nullptr);
    }
    AIUnit* fighter = m.land.AddUnit(2, Point(100, 100));
    SimId id = fighter->id;
    m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_TRUE(fighter->given.empty());
}

TEST(MissionScriptsT, MissionFiveSendsTheNextSquadWithUnitsEveryThreeMinutes) {
    Mission<MissionScriptT5> m;
    FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
    std::vector<AIUnit*> u = m.Units({10, 11, 12, 0, 28});
    m.script->Setup(1);
    std::vector<int32_t> sent, next;
    for (int action = 0; action < 5; ++action) {
        if (action == 1) m.Code(11)->RemoveMember(*u[1]);
        if (action == 4) m.Code(28)->RemoveMember(*u[4]);
        for (int32_t code : {10, 11, 12, 28})
            m.Code(code)->manoeuvres.DeleteAll();
        m.clock.Advance(MissionScriptT5::kPeriodMs);
        m.Tick();
        sent.push_back(0);
        for (int32_t code : {10, 11, 12, 28})
            if (AttackedBy(m.Code(code)) == local->id.serial) sent.back() = code;
        next.push_back(m.script->nextSquadCode);
    }
    // After the empty 11, 12 goes twice: the search starts one past where it started. The
    // last action finds no squad with units: the empty 28 is the one last looked up.
    EXPECT_EQ(sent, (std::vector<int32_t>{10, 12, 12, 28, 28}));
    EXPECT_EQ(next, (std::vector<int32_t>{11, 12, 13, 14, 14}));
}

TEST(MissionScriptsT, MissionEightGrowsFromThreeToSevenAndBoardsFromTheSecondLaunch) {
    PartTemplate hover('T', 'H', 1, 1, 0, 100, 1);
    hover.terrainFlag1 = 1;
    Mission<MissionScriptT8> m;
    AIUnit* transport =
        m.land.List(std::make_unique<AIUnit>(SimId(2, 67), Point(50, 50), m.land.kit.Role('a')));
    m.script->Setup(1);
    std::vector<Squad*> squads;
    auto launch = [&](int n) {
        squads.push_back(&m.script->AddSquad(AIPlayer::kAssembling));
        for (int i = 0; i < n; ++i) {
            AIUnit* unit = m.land.AddUnit(2, Point(100, 100));
            if (i == 0) unit->ownDesign->drive = &hover;
            unit->SetOwner(m.script);
            squads.back()->AddMember(*unit, 1);
        }
        return m.script->LaunchAttack(*squads.back()) * 10 + m.script->minimumAttackSize;
    };
    // Without a target nothing goes, yet the size grows; too small a squad changes nothing.
    EXPECT_EQ(launch(3), 4);
    m.land.AddFactory(1, Point(900, 900));
    AIUnit* repairer = m.land.AddUnit(1, Point(800, 800), 'k');
    EXPECT_EQ(launch(3), 4);
    std::vector<int> results;
    for (int i = 0; i < 4; ++i)
        results.push_back(launch(7));
    EXPECT_EQ(results, (std::vector<int>{15, 16, 17, 17}));
    for (size_t i = 2; i < squads.size(); ++i)
        for (GameObject* member : manager_tools::Members(*squads[i])) {
            Orders expected = {{1, 0x1d}, {2, 0xf}};
            if (i > 2) expected.insert(expected.begin(), {11, 6});
            EXPECT_EQ(CodesAndFlags(member), expected) << i;
            const std::vector<AIOrder>& given = static_cast<AIUnit*>(member)->given;
            EXPECT_EQ(given.front().target, i > 2 ? transport->id : SimId());
            EXPECT_EQ(given[given.size() - 2].p == Point(3728, 112),
                      member->GetDesign()->drive != &hover);
            EXPECT_EQ(given.back().target, repairer->id);
        }
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
    EXPECT_EQ(CodesAndFlags(sent), (Orders{{1, 0xd}, {2, 0xb}}));
    EXPECT_EQ(sent->given[0].p, near->GetPosition());
    EXPECT_EQ(sent->given[1].target, near->id);
    EXPECT_EQ(m.script->minimumAttackSize, 4);
    // Never at an ally, and nothing without squad 8.
    m.land.world.alliance[1][2] = m.land.world.alliance[2][1] = World::kAllied;
    m.Tick();
    EXPECT_EQ(u[0]->given.size() + u[1]->given.size(), 2u);
    m.land.world.alliance[1][2] = m.land.world.alliance[2][1] = 0;
    delete m.Code(MissionScriptT10::kCaptureCode);
    m.Tick();
    EXPECT_EQ(u[0]->given.size() + u[1]->given.size(), 2u);
    // A captured fighter joins the assembling squad (no attack squad exists); a miner nothing.
    AIUnit* miner = m.land.AddUnit(1, Point(300, 100), 'f');
    m.script->OnEvent(AIController::kCaptured, u[0], near);
    m.script->OnEvent(AIController::kCaptured, u[0], miner);
    EXPECT_EQ(near->GetTeam() + miner->GetTeam(), 4);
    EXPECT_EQ(near->Owner(), m.script);
    EXPECT_TRUE(near->IsCurrent(m.Code(7)->Id()));
    EXPECT_EQ(miner->CurrentSquad(), 0);
}
