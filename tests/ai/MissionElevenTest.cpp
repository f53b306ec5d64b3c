#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <typeinfo>
#include <vector>

#include "AIFixture.h"
#include "ai/MissionControllers.h"
#include "ai/MissionScriptT11.h"
#include "ai/MissionScriptV11.h"
#include "ai/TutorialScript.h"
#include "objects/EconomyGoals.h"
#include "objects/TargetGoal.h"
#include "support/FakeClock.h"

namespace {

constexpr int kWave = MissionScriptT11::kWavePeriodMs;

// A second-clan mission 11 against local team 1: the script's team, its transport (3, 60) and
// units of the purpose words given, listed in that order.
struct MissionEleven {
    explicit MissionEleven(const std::vector<int>& words, int team = 3, bool transport = true) {
        local = land.AddFactory(1, Point(600, 500));
        for (size_t i = words.size(); i-- > 0;) {
            units.insert(units.begin(), land.AddUnit(team, Point(100, 100)));
            units.front()->SetPurpose(words[i]);
        }
        if (transport) Transport();
        auto made = std::make_unique<MissionScriptT11>(team, 'T');
        script = made.get();
        land.world.SetTeamController(team, std::move(made));
        script->Setup(1);
    }
    void Transport() {
        carrier =
            land.List(std::make_unique<AIUnit>(SimId(3, 60), Point(150, 120), land.kit.Role('a')));
    }
    void Run(uint32_t ms) {
        clock.Advance(ms);
        Timer budget(0);
        script->Update(budget);
    }
    // The waves the unit was sent in: runs of the four orders (clear, board the transport, move
    // to it, attack the player's factory).
    int Waves(const AIUnit& unit) const {
        const AIOrder wave[] = {{9, 0, Point(), SimId()},
                                {11, 6, Point(), carrier->id},
                                {1, 0x1d, carrier->GetPosition(), SimId()},
                                {2, 0xf, local->GetPosition(), local->id}};
        auto same = [](const AIOrder& a, const AIOrder& b) {
            return a.code == b.code && a.flags == b.flags && a.p == b.p && a.target == b.target;
        };
        int waves = 0;
        for (auto at = unit.given.begin();
             (at = std::search(at, unit.given.end(), wave, wave + 4, same)) != unit.given.end();
             at += 4)
            ++waves;
        return waves;
    }
    std::vector<int> AllWaves() const {
        std::vector<int> out;
        for (AIUnit* u : units)
            out.push_back(Waves(*u));
        return out;
    }

    FakeClock clock{1000};
    AIWorld land;
    FakeFactory* local = nullptr;
    AIUnit* carrier = nullptr;
    std::vector<AIUnit*> units;
    MissionScriptT11* script = nullptr;
};

}  // namespace

TEST(MissionEleven, TeamThreeSendsOneWordsFreeUnitsByTransportEveryFiveMinutes) {
    MissionEleven m({0, 11, 10, 11, 10, 11, 40});
    // Busy units are not taken: an attack on a hostile, a repair; an attack on its own team is
    // no attack on a hostile.
    m.units[1]->goals.PushBack(
        std::make_unique<TargetGoal>(m.units[1]->id, m.local->id, Point(), 1, 1));
    m.units[3]->goals.PushBack(
        std::make_unique<RepairGoal>(m.units[3]->id, m.units[0]->id, Point(), 0, 1, 0));
    m.units[5]->goals.PushBack(
        std::make_unique<TargetGoal>(m.units[5]->id, m.units[0]->id, Point(), 1, 1));
    m.Run(kWave - 1);
    EXPECT_EQ(m.AllWaves(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0}));
    m.Run(1);
    // Unit 2 (word 10) is the first free one: only word 10 goes.
    EXPECT_EQ(m.AllWaves(), (std::vector<int>{0, 0, 1, 0, 1, 0, 0}));
    // A pause of the game does not count towards the next wave.
    m.script->PauseTimers();
    m.Run(100000);
    m.script->ResumeTimers();
    m.Run(kWave - 1);
    EXPECT_EQ(m.AllWaves(), (std::vector<int>{0, 0, 1, 0, 1, 0, 0}));
    m.Run(1);
    EXPECT_EQ(m.AllWaves(), (std::vector<int>{0, 0, 2, 0, 2, 0, 0}));
    // Once the word-10 units are busy, word 11's free unit goes.
    m.units[2]->goals.PushBack(
        std::make_unique<TargetGoal>(m.units[2]->id, m.local->id, Point(), 1, 1));
    m.units[4]->goals.PushBack(
        std::make_unique<RepairGoal>(m.units[4]->id, m.units[0]->id, Point(), 0, 1, 0));
    m.Run(kWave);
    EXPECT_EQ(m.AllWaves(), (std::vector<int>{0, 0, 2, 0, 2, 1, 0}));
}

TEST(MissionEleven, NoWaveWithoutTransportOrFactoryNorForAnotherTeam) {
    // No transport yet: the timer restarts all the same, and the wave comes a period later.
    MissionEleven late({10}, 3, false);
    late.Run(kWave);
    EXPECT_TRUE(late.units[0]->given.empty());
    late.Transport();
    late.Run(kWave - 1);
    EXPECT_TRUE(late.units[0]->given.empty());
    late.Run(1);
    EXPECT_EQ(late.Waves(*late.units[0]), 1);
    // Team 2 runs the planning controller alone.
    MissionEleven other({10, 11}, 2);
    for (int i = 0; i < 3; ++i)
        other.Run(kWave);
    EXPECT_EQ(other.AllWaves(), (std::vector<int>{0, 0}));
    // The player's factory is gone: nothing goes.
    MissionEleven lost({10}, 3);
    lost.land.world.buildings[1].DeleteAll();
    lost.land.world.NoteTeamSimsChanged(1);
    lost.Run(kWave);
    EXPECT_TRUE(lost.units[0]->given.empty());
}

TEST(MissionControllers, MissionElevenIsThePlannerAtTechEightAndTwelveTheTutorialFromTheHeader) {
    AIWorld land;
    using Source = ControllerRequest::Source;
    for (char campaign : {'V', 'T'})
        for (Source source : {Source::PlayersRecord, Source::Header, Source::Generated})
            for (int mission : {11, 12}) {
                ControllerRequest r;
                r.mission = mission;
                r.campaignClan = campaign;
                r.team = mission == 12 ? 1 : 3;
                r.clan = 'T';
                r.source = source;
                std::unique_ptr<ScenarioController> made = MakeMissionController(r);
                const std::type_info* expected = nullptr;
                if (mission == 11 && source != Source::Header)
                    expected =
                        campaign == 'T' ? &typeid(MissionScriptT11) : &typeid(MissionScriptV11);
                if (mission == 12 && source == Source::Header) expected = &typeid(TutorialScript);
                ASSERT_EQ(made != nullptr, expected != nullptr) << campaign << mission;
                if (!made) continue;
                const ScenarioController& ref = *made;
                EXPECT_EQ(typeid(ref), *expected);
                auto& controller = static_cast<AIController&>(*made);
                EXPECT_EQ(controller.techLevel, mission == 11 ? 8 : 1);
                EXPECT_EQ(controller.team, r.team);
                // The tutorial plays the campaign clan.
                EXPECT_EQ(controller.ClanLetter(), mission == 12 ? campaign : 'T');
            }
}
