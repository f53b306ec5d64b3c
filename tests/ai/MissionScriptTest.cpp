#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>
#include <vector>

#include "MissionFixture.h"
#include "ai/MissionControllers.h"
#include "ai/MissionScript.h"
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
#include "ai/MissionScriptV1.h"
#include "ai/MissionScriptV2.h"
#include "ai/MissionScriptV3.h"
#include "ai/MissionScriptV4.h"
#include "ai/MissionScriptV5.h"
#include "ai/MissionScriptV6.h"
#include "ai/MissionScriptV7.h"
#include "ai/MissionScriptV8.h"
#include "ai/MissionScriptV9.h"
#include "ai/RouteManoeuvre.h"
#include "catalogue/PartTemplate.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FormationManoeuvre.h"
#include "objects/LocationGoal.h"
#include "objects/Squad.h"
#include "support/FakeClock.h"

TEST(MissionScript, GroupsOneUnitListByPurposeWords) {
    struct Case {
        bool groupB;
        std::vector<int32_t> codes;
        int attackMembers;
        int supportMembers;  // counted, not commanded
    };
    for (const Case& c : {Case{false, {9, 40, 1, 7}, 1, 1}, Case{true, {9, 40, 1, 7}, 2, 2}}) {
        Mission<MissionScript> m;
        std::vector<AIUnit*> u = m.Units({7, 1, 40, 40, kDeploying, 0, 9});
        m.script->Setup(1);
        if (c.groupB) {
            m.script->GroupB(4);
        } else {
            m.script->GroupA(4);
        }
        EXPECT_EQ(m.Codes(), c.codes);
        EXPECT_EQ(m.script->minimumAttackSize, 4);
        EXPECT_TRUE(u[0]->IsCurrent(m.Code(7)->Id()));
        EXPECT_TRUE(u[1]->IsCurrent(m.Code(1)->Id()));
        EXPECT_TRUE(u[2]->IsCurrent(m.Code(40)->Id()));
        EXPECT_EQ(m.Code(40)->CurrentCount(), c.attackMembers);
        EXPECT_EQ(m.Code(1)->OtherCount(), c.supportMembers);
        EXPECT_EQ(u[5]->Purpose(), 0);
        EXPECT_EQ(m.Code(1)->FindMember(*u[5]), nullptr);
        EXPECT_TRUE(u[6]->IsCurrent(m.Code(9)->Id()));
        EXPECT_TRUE(m.Has(m.Code(9), kAssign));
        // The player has no factory: the attack squad has no target yet.
        EXPECT_FALSE(m.Has(m.Code(40), kAttack));
    }
}

// The team lists lie next to the building lists: a number past the last team must not read them.
TEST(MissionScript, TeamObjectsListEveryTeamAndNoneForANumberThatIsNoTeam) {
    Mission<MissionScript> m;
    AIUnit* neutral = m.land.AddUnit(0, Point(100, 100));
    AIUnit* last = m.land.AddUnit(World::kTeams - 1, Point(200, 100));
    m.land.world.AddBuilding(std::make_unique<FakeFactory>(SimId(0, 4000), Point(400, 400)));
    EXPECT_EQ(m.script->TeamObjects(0), std::vector<GameObject*>{neutral});
    EXPECT_EQ(m.script->TeamObjects(World::kTeams - 1), std::vector<GameObject*>{last});
    for (int32_t team : {World::kTeams, World::kTeams + 1, -1})
        EXPECT_TRUE(m.script->TeamObjects(team).empty()) << team;
}

TEST(MissionScript, NewUnitsGoToTheRallyPointOnlyOnceItIsSet) {
    Mission<MissionScript> m;
    m.script->Setup(1);
    m.script->MakeBaseSquads(1);
    AIUnit* first = m.Deploying(2);
    SimId id = first->id;
    m.script->HandleEventA(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_TRUE(first->given.empty());
    EXPECT_EQ(first->Owner(), m.script);
    m.script->SetRallyPoint(Point(500, 400));
    AIUnit* second = m.Deploying(2);
    id = second->id;
    m.script->HandleEventA(AIController::kUnitBuilt, nullptr, &id);
    ASSERT_EQ(second->given.size(), 1u);
    EXPECT_EQ(second->given[0].code, MissionScript::kDeployOrder);
    EXPECT_EQ(second->given[0].flags, MissionScript::kDeployFlags);
    EXPECT_EQ(second->given[0].p, Point(500, 400));
    EXPECT_EQ(m.Code(1)->OtherCount(), 2);
    // Combat units assemble; miners join nothing and are rebuilt when lost.
    AIUnit* fighter = m.land.AddUnit(2, Point(100, 100));
    AIUnit* miner = m.land.AddUnit(2, Point(100, 100), 'f');
    for (AIUnit* unit : {fighter, miner}) {
        id = unit->id;
        m.script->HandleEventA(AIController::kUnitBuilt, nullptr, &id);
    }
    EXPECT_TRUE(fighter->IsCurrent(m.Code(7)->Id()));
    EXPECT_EQ(miner->CurrentSquad(), 0);
    m.script->HandleEventA(AIController::kUnitLost, fighter, nullptr);
    EXPECT_EQ(m.factory->queued, 0);
    m.script->HandleEventA(AIController::kUnitLost, miner, nullptr);
    EXPECT_EQ(m.factory->queued, 1);
}

TEST(MissionScriptsV, TimedActionsComeAtTheirTimeNotAMillisecondBefore) {
    {
        Mission<MissionScriptV1> m;
        std::vector<AIUnit*> u = m.Units({9, 9, 7});
        m.script->Setup(1);
        EXPECT_EQ(m.Code(9)->CurrentCount(), 2);
        EXPECT_EQ(m.Code(7), nullptr);
        m.clock.Advance(MissionScriptV1::kWaitMs - 1);
        m.Tick();
        EXPECT_FALSE(m.Has(m.Code(9), kRoute));
        m.clock.Advance(1);
        m.Tick();
        auto* route = static_cast<RouteManoeuvre*>(m.Code(9)->manoeuvres.Find(kRoute));
        ASSERT_NE(route, nullptr);
        EXPECT_EQ(route->loop, 1);
        EXPECT_EQ(route->waypoints.Count(), 3);
        EXPECT_TRUE(m.Has(m.Code(9), kAssign));
        // Once only.
        m.Tick();
        EXPECT_EQ(m.Code(9)->manoeuvres.Count(), 2);
    }
    {
        Mission<MissionScriptV2> m;
        FakeFactory* target = m.land.AddFactory(1, Point(900, 900));
        m.Units({7, 7, 40, 40, 5});
        m.script->Setup(1);
        EXPECT_EQ(m.Code(40)->CurrentCount(), 1);
        EXPECT_TRUE(m.Has(m.Code(40), kAttack));
        m.clock.Advance(MissionScriptV2::kWaitMs - 1);
        m.Tick();
        EXPECT_FALSE(m.Has(m.Code(7), kAttack));
        m.clock.Advance(1);
        m.Tick();
        auto* attack = static_cast<AttackManoeuvre*>(m.Code(7)->manoeuvres.Find(kAttack));
        ASSERT_NE(attack, nullptr);
        EXPECT_EQ(attack->fixedTargetId, target->id);
        EXPECT_EQ(m.Code(7)->purpose, AIPlayer::kAssembling);
    }
}

TEST(MissionScriptsV, HoldsAreReleasedAtThreeMinutesAndNotSpentInAPause) {
    Mission<MissionScriptV3> m;
    m.script->Setup(1);
    EXPECT_EQ(m.factory->hold, 1);
    m.clock.Advance(100000);
    m.Tick();
    m.script->PauseTimers();
    m.clock.Advance(500000);
    m.script->ResumeTimers();
    m.clock.Advance(MissionScriptV3::kHoldMs - 100000 - 1);
    m.Tick();
    EXPECT_EQ(m.factory->hold, 1);
    m.clock.Advance(1);
    m.Tick();
    EXPECT_EQ(m.factory->hold, 0);
}

TEST(MissionScriptsV, MissionFourNeverLaunchesDuringItsHold) {
    Mission<MissionScriptV4> m;
    m.land.AddFactory(1, Point(900, 900));
    m.Units({7, 7, 7});
    m.script->Setup(1);
    EXPECT_EQ(m.factory->hold, 1);
    EXPECT_EQ(m.Code(1)->FindMember(*m.factory) != nullptr, true);
    m.clock.Advance(MissionScriptV4::kHoldMs - 1);
    m.Tick();
    EXPECT_EQ(m.Code(7)->purpose, AIPlayer::kAssembling);
    EXPECT_EQ(m.script->attacksLaunched, 0);
    EXPECT_EQ(m.script->LaunchAttack(*m.Code(7)), 0);
    m.clock.Advance(1);
    m.Tick();
    EXPECT_EQ(m.factory->hold, 0);
    EXPECT_EQ(m.script->attacksLaunched, 1);
}

TEST(MissionScriptsV, TargetsComeFirstAndEachRaisesTheAttackSizeUpToFive) {
    Mission<MissionScriptV3> v3;
    FakeFactory* local = v3.land.AddFactory(1, Point(900, 900));
    v3.script->Setup(1);
    EXPECT_EQ(v3.script->ChooseTarget(), local);
    AIUnit* miner = v3.land.AddUnit(1, Point(800, 800), 'f');
    std::vector<int32_t> sizes;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(v3.script->ChooseTarget(), miner);
        sizes.push_back(v3.script->minimumAttackSize);
    }
    EXPECT_EQ(sizes, (std::vector<int32_t>{5, 5, 5}));
    Mission<MissionScriptV6> v6;
    v6.script->Setup(1);
    EXPECT_EQ(v6.script->ChooseTarget(), nullptr);
    EXPECT_EQ(v6.script->minimumAttackSize, 3);
    AIUnit* repairer = v6.land.AddUnit(1, Point(800, 800), 'k');
    EXPECT_EQ(v6.script->ChooseTarget(), repairer);
    EXPECT_EQ(v6.script->minimumAttackSize, 4);
}

// Mission five goes for its target team while that team has a factory, and turns to the local
// player once it has none.
TEST(MissionScriptsV, MissionFiveTurnsToTheLocalPlayerOnceItsTargetTeamHasNoFactory) {
    Mission<MissionScriptV5> m;
    FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
    m.land.AddFactory(3, Point(100, 900));
    AIUnit* third = m.land.AddUnit(3, Point(100, 800), 'k');
    m.land.AddUnit(4, Point(500, 500), 'k');
    m.script->Setup(1);
    m.script->targetTeam = 3;
    EXPECT_EQ(m.script->ChooseTarget(), third);
    EXPECT_EQ(m.script->targetTeam, 3);
    m.script->targetTeam = 4;
    EXPECT_EQ(m.script->ChooseTarget(), local);
    EXPECT_EQ(m.script->targetTeam, 1);
}

TEST(MissionScriptsV, WithoutAFactoryHoldsAreSkippedAndNothingLaunches) {
    Mission<MissionScriptV4> m(false);
    m.land.AddFactory(1, Point(900, 900));
    m.Units({7});
    m.script->Setup(1);
    m.clock.Advance(MissionScriptV4::kHoldMs);
    m.Tick();
    m.Tick();
    EXPECT_EQ(m.script->attacksLaunched, 0);
    // Nothing is counted in squad 1 without a factory, for every script that counts it.
    Mission<MissionScriptV5> v5(false);
    v5.script->Setup(1);
    EXPECT_EQ(v5.Code(1)->MemberCount(), 0);
    // Team 0 is a team: its objects are listed.
    v5.land.AddUnit(0, Point(300, 300));
    EXPECT_EQ(v5.script->TeamObjects(0).size(), 1u);
    EXPECT_TRUE(v5.script->TeamObjects(5).empty());
    EXPECT_TRUE(v5.script->TeamObjects(-1).empty());
    Mission<MissionScriptV7> v7(false);
    std::vector<AIUnit*> own = v7.Units({7, 0});
    v7.script->Setup(1);
    // Its units join the squads their words name; a unit without a word joins none.
    ASSERT_NE(v7.Code(7), nullptr);
    EXPECT_TRUE(own[0]->IsCurrent(v7.Code(7)->Id()));
    EXPECT_EQ(v7.Code(0), nullptr);
    auto* route = static_cast<RouteManoeuvre*>(v7.Code(9)->manoeuvres.Find(kRoute));
    ASSERT_NE(route, nullptr);
    EXPECT_EQ(route->waypoints.Count(), 6);
}

TEST(MissionControllers, PicksTheScriptByMissionAndCampaignClan) {
    AIWorld land;
    const std::vector<const std::type_info*> first = {
        &typeid(MissionScriptV1), &typeid(MissionScriptV2), &typeid(MissionScriptV3),
        &typeid(MissionScriptV4), &typeid(MissionScriptV5), &typeid(MissionScriptV6),
        &typeid(MissionScriptV7), &typeid(MissionScriptV8), &typeid(MissionScriptV9),
        &typeid(AIPlayer)};
    const std::vector<const std::type_info*> second = {
        &typeid(MissionScriptT1), &typeid(MissionScriptT2), &typeid(MissionScriptT3),
        &typeid(MissionScriptT4), &typeid(MissionScriptT5), &typeid(MissionScriptT6),
        &typeid(MissionScriptT7), &typeid(MissionScriptT8), &typeid(MissionScriptT9),
        &typeid(MissionScriptT10)};
    for (char campaign : {'V', 'T', 'X'})
        for (int mission = 1; mission <= 10; ++mission) {
            ControllerRequest r;
            r.mission = mission;
            r.campaignClan = campaign;
            r.team = 3;
            r.clan = 'T';
            r.source = ControllerRequest::Source::PlayersRecord;
            std::unique_ptr<ScenarioController> made = MakeMissionController(r);
            ASSERT_NE(made, nullptr);
            const std::type_info& expected =
                *(campaign == 'T' ? second : first)[static_cast<size_t>(mission - 1)];
            const ScenarioController& ref = *made;
            EXPECT_EQ(typeid(ref), expected) << campaign << mission;
        }
}

TEST(MissionScriptsV, MissionEightWaitsForAHitOrSevenMinutesThenTurnsToSpiders) {
    for (bool byHit : {true, false}) {
        Mission<MissionScriptV8> m;
        FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
        local->SetReferencePoint(2, local->GetPosition());
        std::vector<AIUnit*> u = m.Units({7, 7, 7, 7, 7});
        m.script->Setup(1);
        m.factory->current = std::make_unique<VehicleDesign>('V');
        m.Tick();
        m.script->OnEvent(MissionScriptV8::kObjectHit, u[0], nullptr);
        m.Tick();
        EXPECT_EQ(m.script->launchCounter, 0);
        if (byHit) {
            m.script->OnEvent(MissionScriptV8::kObjectHit, m.factory, nullptr);
        } else {
            m.clock.Advance(MissionScriptV8::kUnlockMs - 1);
            m.Tick();
            EXPECT_EQ(m.script->launchCounter, 0);
            m.clock.Advance(1);
        }
        m.Tick();
        EXPECT_EQ(m.Code(40)->CurrentCount(), 5) << byHit;
        // Unlocked, a squad below the minimum size is still not launched.
        Squad& small = m.script->AddSquad(AIPlayer::kAssembling);
        EXPECT_EQ(m.script->LaunchAttack(small), 0);
        delete &small;
        EXPECT_EQ(m.script->launchCounter, 1);
        EXPECT_EQ(m.factory->cancels, 1);
        ASSERT_NE(m.factory->current, nullptr);
        EXPECT_STREQ(m.factory->current->name, "KillerSpider");
        // A full squad launched again goes, and production is turned over only once.
        EXPECT_EQ(m.script->LaunchAttack(*m.Code(40)), 1);
        EXPECT_EQ(m.script->launchCounter, 2);
        EXPECT_EQ(m.factory->cancels, 1);
    }
}

TEST(MissionScriptsV, MissionEightQueuesSpidersUntilTheSixth) {
    Mission<MissionScriptV8> m;
    m.script->Setup(1);
    PartTemplate legs('V', 'S', 1, 1, 0, 100, 1);
    for (int i = 0; i < 7; ++i) {
        AIUnit* spider = m.land.AddUnit(2, Point(100, 100));
        spider->ownDesign->drive = &legs;
        SimId id = spider->id;
        m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    }
    EXPECT_EQ(m.Codes().back(), MissionScriptV8::kSpiderCode);
    EXPECT_EQ(m.Code(10)->CurrentCount(), 7);
    EXPECT_EQ(m.factory->queued, 5);
    EXPECT_EQ(m.script->launchCounter, 2);
    // Other new units assemble for the attack, the script's miners ('f') excepted.
    AIUnit* miner = m.land.AddUnit(2, Point(100, 100), 'f');
    AIUnit* fighter = m.land.AddUnit(2, Point(100, 100), 'a');
    for (AIUnit* unit : {miner, fighter}) {
        SimId id = unit->id;
        m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    }
    Squad* assembling = m.Code(AIPlayer::kAssembling);
    ASSERT_NE(assembling, nullptr);
    EXPECT_TRUE(fighter->IsCurrent(assembling->Id()));
    EXPECT_FALSE(miner->IsCurrent(assembling->Id()));
    EXPECT_EQ(assembling->MemberCount(), 1);
}

// Mission 9 places its own structures: one built before the rally point is set waits, one built
// after it deploys there.
TEST(MissionScriptsV, MissionNineStructuresDeployAtTheRallyPointOnlyOnceItIsSet) {
    Mission<MissionScriptV9> m;
    m.script->Setup(1);
    m.script->MakeBaseSquads(1);
    AIUnit* early = m.Deploying(2);
    SimId id = early->id;
    m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_TRUE(early->given.empty());
    m.script->SetRallyPoint(Point(500, 400));
    AIUnit* late = m.Deploying(2);
    id = late->id;
    m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    ASSERT_EQ(late->given.size(), 1u);
    EXPECT_EQ(late->given[0].code, MissionScript::kDeployOrder);
    EXPECT_EQ(late->given[0].flags, MissionScript::kDeployFlags);
    EXPECT_EQ(late->given[0].p, Point(500, 400));
    EXPECT_EQ(m.Code(MissionScript::kSupport)->OtherCount(), 2);
}

TEST(MissionScriptsV, MissionNineTeamFourWakesOnceTeamTwoLosesItsFactory) {
    Mission<MissionScriptV9> m(true, MissionScriptV9::kLateTeam);
    FakeFactory* watched = m.land.AddFactory(2, Point(900, 900));
    AIUnit* prey = m.land.AddUnit(2, Point(700, 100));
    m.land.AddUnit(2, Point(900, 700));
    m.script->Setup(1);
    EXPECT_EQ(m.factory->hold, 1);
    AIUnit* capturer = m.land.AddUnit(4, Point(600, 100), 't');
    SimId id = capturer->id;
    m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_TRUE(capturer->IsCurrent(m.Code(8)->Id()));
    EXPECT_EQ(m.factory->queued, 1);
    m.Tick();
    EXPECT_EQ(m.factory->hold, 1);
    EXPECT_TRUE(capturer->given.empty());
    watched->destroyed = 1;
    m.Tick();
    EXPECT_EQ(m.factory->hold, 1);
    m.clock.Advance(1);
    m.Tick();
    EXPECT_EQ(m.factory->hold, 0);
    EXPECT_EQ(m.script->minimumAttackSize, MissionScriptV9::kAwakeSize);
    ASSERT_GE(capturer->given.size(), 2u);
    EXPECT_EQ(capturer->given[0].flags, MissionScriptV9::kMoveFlags);
    EXPECT_EQ(capturer->given[1].code, MissionScriptV9::kAttackOrder);
    EXPECT_EQ(capturer->given[1].target, prey->id);
}

// Mission 8 counts structures and repairers as support, leaves a unit already exploring and
// units without a word alone, groups the rest by word, and sends the first of squad 6 exploring.
TEST(MissionScriptsV, MissionEightSortsItsUnitsAndSendsTheFirstOfSquadSixExploring) {
    Mission<MissionScriptV8> m;
    std::vector<AIUnit*> u = m.Units({6, 6, 40, 40, 3, 3, 0, kDeploying});
    AIUnit* repairer = m.land.AddUnit(2, Point(100, 100), 'k');
    repairer->SetPurpose(3);
    u[5]->GetDesign()->parameters[0] = MissionScriptV8::kExplorerParameter;
    m.script->Setup(1);
    EXPECT_EQ(m.script->minimumAttackSize, MissionScriptV8::kMinimumSize);
    // The factory, the structure and the repairer.
    EXPECT_EQ(m.Code(MissionScript::kSupport)->OtherCount(), 3);
    EXPECT_EQ(m.Code(AIPlayer::kAttacking)->CurrentCount(), 2);
    EXPECT_EQ(m.Code(3)->CurrentCount(), 1);
    EXPECT_TRUE(u[4]->IsCurrent(m.Code(3)->Id()));
    EXPECT_EQ(m.Code(3)->FindMember(*u[5]), nullptr);
    EXPECT_EQ(m.Code(3)->FindMember(*repairer), nullptr);
    Squad* six = m.Code(MissionScriptV8::kExplorerCode);
    ASSERT_NE(six, nullptr);
    EXPECT_EQ(six->MemberCount(), 1);
    int explorers = 0;
    for (AIUnit* unit : {u[0], u[1]}) {
        const bool exploring =
            unit->GetDesign()->parameters[0] == MissionScriptV8::kExplorerParameter;
        explorers += exploring;
        EXPECT_EQ(six->FindMember(*unit) == nullptr, exploring);
        EXPECT_EQ(unit->rebuilds, exploring ? 1 : 0);
    }
    EXPECT_EQ(explorers, 1);
    EXPECT_EQ(u[6]->CurrentSquad(), 0);
}

// A lost explorer is replaced from squad 6 while it has members; lost miners and structures
// are rebuilt; other losses change nothing.
TEST(MissionScriptsV, MissionEightReplacesItsExplorerAndRebuildsMinersAndStructures) {
    Mission<MissionScriptV8> m;
    std::vector<AIUnit*> u = m.Units({6, 6});
    m.script->Setup(1);
    AIUnit* explorer = u[0]->GetDesign()->parameters[0] == 5 ? u[0] : u[1];
    AIUnit* next = explorer == u[0] ? u[1] : u[0];
    m.script->OnEvent(AIController::kUnitLost, explorer, nullptr);
    EXPECT_EQ(next->GetDesign()->parameters[0], MissionScriptV8::kExplorerParameter);
    EXPECT_EQ(m.Code(MissionScriptV8::kExplorerCode)->MemberCount(), 0);
    EXPECT_EQ(m.factory->queued, 0);
    struct Case {
        AIUnit* lost;
        int queued;
    };
    AIUnit* miner = m.land.AddUnit(2, Point(100, 100), 'f');
    AIUnit* fighter = m.land.AddUnit(2, Point(100, 100), 'a');
    for (const Case& c :
         {Case{next, 0}, Case{fighter, 0}, Case{miner, 1}, Case{m.Deploying(2), 2}}) {
        m.script->OnEvent(AIController::kUnitLost, c.lost, nullptr);
        EXPECT_EQ(m.factory->queued, c.queued);
        EXPECT_EQ(m.factory->queuedFront, c.queued ? 0 : -1);
    }
    m.script->OnEvent(AIController::kUnitLost, nullptr, nullptr);
}

// Until the attack is unlocked, a hit on the factory, a spider, a support unit, a structure or a
// repairer unlocks it; others do not.
TEST(MissionScriptsV, MissionEightUnlocksItsAttackOnlyByHitsWhereItHurts) {
    struct Case {
        int kind;  // 0 a fighter, 1 the factory, 2 a structure, 3 a repairer
        int32_t word;
        int unlocked;
    };
    for (const Case& c : {Case{0, 7, 0}, Case{0, 40, 0}, Case{0, 10, 1}, Case{0, 1, 1},
                          Case{1, 0, 1}, Case{2, 0, 1}, Case{3, 0, 1}}) {
        Mission<MissionScriptV8> m;
        m.script->Setup(1);
        GameObject* hit = m.factory;
        if (c.kind == 0) hit = m.land.AddUnit(2, Point(100, 100));
        if (c.kind == 2) hit = m.Deploying(2);
        if (c.kind == 3) hit = m.land.AddUnit(2, Point(100, 100), 'k');
        if (c.kind != 1) hit->SetPurpose(c.word);
        m.script->OnEvent(MissionScriptV8::kObjectHit, nullptr, nullptr);
        m.script->OnEvent(MissionScriptV8::kObjectHit, hit, nullptr);
        EXPECT_EQ(m.script->attackUnlocked, c.unlocked) << c.kind << " " << c.word;
    }
}

// Spiders ring the player's unit 54 once it is known; once there is a target team, squad 6
// joins the assembling squad, or becomes it when there is none.
TEST(MissionScriptsV, MissionEightSpidersGuardUnitFiftyFourAndExplorersJoinTheAttack) {
    for (bool assembling : {true, false}) {
        Mission<MissionScriptV8> m;
        std::vector<AIUnit*> u = m.Units({6, 6, 6});
        m.script->Setup(1);
        AIUnit* guarded = m.land.List(
            std::make_unique<AIUnit>(SimId(1, 54), Point(800, 700), m.land.kit.Role('a')));
        PartTemplate legs('V', 'S', 1, 1, 0, 100, 1);
        AIUnit* spider = m.land.AddUnit(2, Point(100, 100));
        spider->ownDesign->drive = &legs;
        SimId id = spider->id;
        m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
        if (!assembling) delete m.Code(AIPlayer::kAssembling);
        m.script->targetTeam = 1;
        m.Tick();
        Squad* spiders = m.Code(MissionScriptV8::kSpiderCode);
        ASSERT_NE(spiders, nullptr);
        EXPECT_FALSE(Mission<MissionScriptV8>::Has(spiders, 1));
        EXPECT_NE(m.Code(MissionScriptV8::kExplorerCode), nullptr);
        guarded->SetReferencePoint(2, Point(1, 1));
        m.Tick();
        auto* ring = static_cast<FormationManoeuvre*>(spiders->manoeuvres.Find(1));
        ASSERT_NE(ring, nullptr);
        EXPECT_EQ(ring->centre, Point(800, 700));
        EXPECT_EQ(ring->spacing, MissionScriptV8::kGuardSpacing);
        EXPECT_TRUE(Mission<MissionScriptV8>::Has(spiders, kAssign));
        EXPECT_EQ(spiders->manoeuvres.Count(), 2);
        EXPECT_EQ(m.Code(MissionScriptV8::kExplorerCode), nullptr) << assembling;
        Squad* attack = m.Code(AIPlayer::kAssembling);
        ASSERT_NE(attack, nullptr);
        // The two left in squad 6 (the first explores on its own).
        EXPECT_EQ(attack->MemberCount(), 2) << assembling;
        EXPECT_TRUE(Mission<MissionScriptV8>::Has(attack, kAssign));
    }
}

// The target is the first of the player's objects this team has seen, else the player's
// factory once seen.
TEST(MissionScriptsV, MissionEightTargetsWhatItHasSeenOfThePlayer) {
    Mission<MissionScriptV8> m;
    m.script->Setup(1);
    FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
    AIUnit* unit = m.land.AddUnit(1, Point(800, 800));
    EXPECT_EQ(m.script->TargetObject(), nullptr);
    local->SetReferencePoint(2, local->GetPosition());
    EXPECT_EQ(m.script->TargetObject(), local);
    unit->SetReferencePoint(2, unit->GetPosition());
    EXPECT_EQ(m.script->TargetObject(), unit);
}

// Mission 9's new units: fighters assemble (a plain squad 7 is made when there is none), miners
// join nothing; team 4 queues a pod for each new unit while team 2 has objects.
TEST(MissionScriptsV, MissionNineAssemblesItsFightersAndTeamFourQueuesPods) {
    for (int team : {2, MissionScriptV9::kLateTeam}) {
        Mission<MissionScriptV9> m(true, team);
        if (team == MissionScriptV9::kLateTeam) m.land.AddUnit(2, Point(900, 900));
        m.script->Setup(1);
        delete m.Code(AIPlayer::kAssembling);
        struct Case {
            char role;
            bool assembles;
        };
        int built = 0;
        for (const Case& c : {Case{'a', true}, Case{'f', false}, Case{'h', true}}) {
            AIUnit* unit = m.land.AddUnit(team, Point(100, 100), c.role);
            SimId id = unit->id;
            m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
            ++built;
            EXPECT_EQ(unit->Owner(), m.script);
            Squad* assembling = m.Code(AIPlayer::kAssembling);
            EXPECT_EQ(assembling && unit->IsCurrent(assembling->Id()), c.assembles) << c.role;
            if (assembling) {
                EXPECT_EQ(assembling->manoeuvres.Count(), 0);
            }
            EXPECT_EQ(m.factory->queued, team == MissionScriptV9::kLateTeam ? built : 0) << team;
        }
        EXPECT_EQ(m.Code(AIPlayer::kAssembling)->MemberCount(), 2);
    }
}

// Mission 9 rebuilds lost miners and structures; a captured object is taken over and, unless it
// is a structure, miner or repairer, assembles; without a factory every event is dropped.
TEST(MissionScriptsV, MissionNineRebuildsLossesAndTakesCapturedUnitsIntoTheAttack) {
    for (bool withFactory : {true, false}) {
        Mission<MissionScriptV9> m(withFactory);
        m.script->Setup(1);
        AIUnit* capturer = m.land.AddUnit(2, Point(100, 100), 't');
        struct Case {
            int kind;  // 0 a unit, 1 a structure
            char role;
            bool destroyed;
            bool assembles;
        };
        for (const Case& c :
             {Case{0, 'a', false, true}, Case{0, 'f', false, false}, Case{0, 'k', false, false},
              Case{1, 'a', false, false}, Case{0, 'a', true, false}}) {
            AIUnit* captured = c.kind ? m.Deploying(1) : m.land.AddUnit(1, Point(130, 100), c.role);
            captured->destroyed = c.destroyed ? 1 : 0;
            m.script->OnEvent(AIController::kCaptured, capturer, captured);
            const bool taken = withFactory && !c.destroyed;
            EXPECT_EQ(captured->GetTeam(), taken ? 2 : 1) << c.role << c.kind;
            EXPECT_EQ(captured->rebuilds, taken ? 1 : 0);
            Squad* assembling = m.Code(AIPlayer::kAssembling);
            EXPECT_EQ(assembling && captured->IsCurrent(assembling->Id()),
                      withFactory && c.assembles)
                << c.role << c.kind;
        }
        m.script->OnEvent(AIController::kCaptured, nullptr, capturer);
        m.script->OnEvent(AIController::kCaptured, capturer, nullptr);
        if (!withFactory) continue;
        struct Loss {
            AIUnit* lost;
            int queued;
        };
        for (const Loss& l :
             {Loss{m.land.AddUnit(2, Point(100, 100), 'a'), 0},
              Loss{m.land.AddUnit(2, Point(100, 100), 'f'), 1}, Loss{m.Deploying(2), 2}}) {
            m.script->OnEvent(AIController::kUnitLost, l.lost, nullptr);
            EXPECT_EQ(m.factory->queued, l.queued);
        }
        m.script->OnEvent(AIController::kUnitLost, nullptr, nullptr);
        EXPECT_EQ(m.factory->queued, 2);
    }
}

// Team 4's capture units go one at a time, the first without a goal, to the nearest of team
// 2's objects once team 2 has lost its factory.
TEST(MissionScriptsV, MissionNineSendsTheFirstIdleCaptureUnitToTheNearestOfTeamTwo) {
    Mission<MissionScriptV9> m(true, MissionScriptV9::kLateTeam);
    FakeFactory* watched = m.land.AddFactory(2, Point(1200, 1200));
    AIUnit* far = m.land.AddUnit(2, Point(600, 400));
    AIUnit* near = m.land.AddUnit(2, Point(600, 200));
    m.script->Setup(1);
    std::vector<AIUnit*> capturers;
    for (int i = 0; i < 2; ++i) {
        AIUnit* capturer = m.land.AddUnit(4, Point(600, 100), 't');
        SimId id = capturer->id;
        m.script->OnEvent(AIController::kUnitBuilt, nullptr, &id);
        capturers.push_back(capturer);
    }
    Squad* capture = m.Code(MissionScriptV9::kCaptureCode);
    ASSERT_EQ(capture->MemberCount(), 2);
    auto* first = static_cast<AIUnit*>(capture->MemberAt(0));
    auto* second = static_cast<AIUnit*>(capture->MemberAt(1));
    first->goals.PushBack(std::make_unique<LocationGoal>(first->id, Point(5, 5), 0, 1, 1));
    m.Tick();
    EXPECT_TRUE(second->given.empty());
    watched->destroyed = 1;
    m.Tick();
    EXPECT_TRUE(first->given.empty());
    ASSERT_EQ(second->given.size(), 2u);
    EXPECT_EQ(second->given[0].code, MissionScript::kDeployOrder);
    EXPECT_EQ(second->given[0].p, near->GetPosition());
    EXPECT_EQ(second->given[1].target, near->id);
    EXPECT_EQ(second->given[1].flags, MissionScriptV9::kAttackFlags);
    EXPECT_NE(second->given[0].p, far->GetPosition());
}

namespace {

// Missions 4 and 7 attack the player's type-3 structures first, else the player's factory, and
// each target found grows the attack size up to 5.
template <class Script>
void TypeThreeStructuresComeFirst() {
    Mission<Script> m;
    m.script->Setup(1);
    const int32_t start = m.script->minimumAttackSize;
    EXPECT_EQ(m.script->TargetObject(), nullptr);
    EXPECT_EQ(m.script->minimumAttackSize, start);
    FakeFactory* local = m.land.AddFactory(1, Point(900, 900));
    m.land.AddStructure(1, Point(700, 700), 2);
    EXPECT_EQ(m.script->TargetObject(), local);
    EXPECT_EQ(m.script->minimumAttackSize, start + 1);
    AIUnit* plant = m.land.AddStructure(1, Point(800, 700), 3);
    m.land.AddUnit(1, Point(600, 600));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m.script->TargetObject(), plant);
    EXPECT_EQ(m.script->minimumAttackSize, 5);
}

}  // namespace

TEST(MissionScriptsV, MissionsFourAndSevenGoForTypeThreeStructuresFirstAndGrowToFive) {
    TypeThreeStructuresComeFirst<MissionScriptV4>();
    TypeThreeStructuresComeFirst<MissionScriptV7>();
    // Mission 7's hold ends only when a started timer fires.
    Mission<MissionScriptV7> m;
    m.script->Setup(1);
    m.factory->hold = 1;
    m.Tick();
    EXPECT_EQ(m.factory->hold, 1);
    m.script->StartScriptTimer(10);
    m.clock.Advance(10);
    m.Tick();
    EXPECT_EQ(m.factory->hold, 0);
}
