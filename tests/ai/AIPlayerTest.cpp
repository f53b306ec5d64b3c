#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "AIFixture.h"
#include "ai/AIPlayer.h"
#include "ai/MissionControllers.h"
#include "ai/RouteManoeuvre.h"
#include "catalogue/DesignRules.h"
#include "objects/AttackManoeuvre.h"
#include "objects/LocationGoal.h"
#include "objects/Squad.h"
#include "support/FakeClock.h"

namespace {

// A squad rule that only counts its runs.
class CountingManoeuvre : public SquadManoeuvre {
public:
    explicit CountingManoeuvre(int* runs) : runs(runs) {}
    int ExecuteForSquad(Squad&) override {
        ++*runs;
        return 0;
    }
    int GetType() const override { return static_cast<int>(ManoeuvreType::Explore); }
    int* runs;
};

// Aims at the object a test names once it names one.
class AimedPlayer : public AIPlayer {
public:
    AimedPlayer() : AIPlayer(2, 'V', 1) {}
    GameObject* TargetObject() override { return aimed ? aimed : AIPlayer::TargetObject(); }
    GameObject* aimed = nullptr;
};

struct Player {
    Player() {
        land.kit.List();
        auto made = std::make_unique<AimedPlayer>();
        ai = made.get();
        land.world.SetTeamController(2, std::move(made));
        ai->Setup(1);
    }
    AIUnit* Member(Squad& squad) {
        AIUnit* unit = land.AddUnit(2, Point(100 + 10 * static_cast<int>(units.size()), 100));
        unit->SetOwner(ai);
        EXPECT_EQ(squad.AddMember(*unit, 1), 1);
        units.push_back(unit);
        return unit;
    }
    AttackManoeuvre* Attack(Squad& squad) {
        return static_cast<AttackManoeuvre*>(
            squad.manoeuvres.Find(static_cast<int>(ManoeuvreType::Attack)));
    }

    FakeClock clock{1000};
    AIWorld land;
    AimedPlayer* ai;
    std::vector<AIUnit*> units;
};

std::vector<Point> Orders(const AIUnit& unit) {
    std::vector<Point> out;
    for (const AIOrder& o : unit.given) {
        EXPECT_EQ(o.code, RouteManoeuvre::kMoveOrder);
        EXPECT_EQ(o.flags, RouteManoeuvre::kMoveFlags);
        out.push_back(o.p);
    }
    return out;
}

const Point kW[] = {Point(100, 100), Point(200, 100), Point(300, 100)};

}  // namespace

TEST(RouteManoeuvre, WalksRoundOrBackAndForthOneWaypointPerMemberCount) {
    struct Case {
        int loop;
        std::vector<int> visits;
    };
    for (const Case& c : {Case{0, {0, 1, 2, 1, 0, 1, 2}}, Case{1, {0, 1, 2, 0, 1, 2, 0}}}) {
        Player p;
        Squad& squad = p.ai->AddSquad(5);
        AIUnit* unit = p.Member(squad);
        RouteManoeuvre route;
        route.loop = c.loop;
        for (const Point& w : kW)
            route.AddWaypoint(w);
        std::vector<Point> expected;
        for (int v : c.visits) {
            EXPECT_EQ(route.ExecuteForSquad(squad), 1);
            expected.push_back(kW[v]);
        }
        EXPECT_EQ(Orders(*unit), expected) << "loop " << c.loop;
    }
}

TEST(RouteManoeuvre, ServesEveryMemberAtTheLastWaypointThenReverses) {
    Player p;
    Squad& squad = p.ai->AddSquad(5);
    AIUnit* a = p.Member(squad);
    AIUnit* b = p.Member(squad);
    RouteManoeuvre route;
    for (const Point& w : kW)
        route.AddWaypoint(w);
    route.index = 2;
    route.ExecuteForSquad(squad);
    route.ExecuteForSquad(squad);
    EXPECT_EQ(Orders(*a), (std::vector<Point>{kW[2], kW[1]}));
    EXPECT_EQ(Orders(*b), (std::vector<Point>{kW[2], kW[1]}));
    // A member lost while the waypoint was half served must not hold the route there.
    route.served = 2;
    squad.RemoveMember(*b);
    route.ExecuteForSquad(squad);
    EXPECT_EQ(route.index, 1);
    EXPECT_EQ(route.served, 0);
    // A new waypoint restarts the route at its first.
    route.AddWaypoint(Point(400, 100));
    route.ExecuteForSquad(squad);
    EXPECT_EQ(Orders(*a).back(), kW[0]);
}

TEST(RouteManoeuvre, GivesNoOrderWithOneWaypointOrNoMembers) {
    Player p;
    Squad& squad = p.ai->AddSquad(5);
    RouteManoeuvre route;
    route.AddWaypoint(kW[0]);
    route.AddWaypoint(kW[1]);
    EXPECT_EQ(route.ExecuteForSquad(squad), 0);
    AIUnit* unit = p.Member(squad);
    RouteManoeuvre single;
    single.AddWaypoint(kW[0]);
    EXPECT_EQ(single.ExecuteForSquad(squad), 0);
    EXPECT_TRUE(unit->given.empty());
}

TEST(AIPlayer, AGoneControllerLetsGoOfItsOwnUnitsOnly) {
    Player p;
    auto other = std::make_unique<AIPlayer>(3, 'V', 1);
    AIUnit* kept = p.land.AddUnit(2, Point(100, 100));
    AIUnit* freed = p.land.AddUnit(3, Point(200, 100));
    kept->SetOwner(p.ai);
    freed->SetOwner(other.get());
    other.reset();
    EXPECT_EQ(freed->Owner(), nullptr);
    EXPECT_EQ(kept->Owner(), p.ai);
}

TEST(AIPlayer, LaunchesAtTheMinimumSizeOnceATargetExistsAndAgainWhenItDies) {
    Player p;
    p.ai->minimumAttackSize = 2;
    Squad& squad = p.ai->AddSquad(AIPlayer::kAssembling);
    p.Member(squad);
    p.Member(squad);
    // No local factory yet: the squad keeps assembling.
    p.ai->UpdateSquads(nullptr);
    EXPECT_EQ(squad.purpose, AIPlayer::kAssembling);
    FakeFactory* first = p.land.AddFactory(1, Point(600, 600));
    squad.RemoveMember(*p.units[1]);
    p.ai->UpdateSquads(nullptr);
    EXPECT_EQ(squad.purpose, AIPlayer::kAssembling);
    // One short of the minimum: not sent, and the caller is told so.
    EXPECT_EQ(p.ai->LaunchAttack(squad), 0);
    EXPECT_EQ(p.ai->attacksLaunched, 0);
    p.Member(squad);
    p.ai->UpdateSquads(nullptr);
    ASSERT_EQ(squad.purpose, AIPlayer::kAttacking);
    EXPECT_EQ(p.ai->attacksLaunched, 1);
    ASSERT_NE(p.Attack(squad), nullptr);
    EXPECT_EQ(p.Attack(squad)->fixedTargetId, first->id);
    EXPECT_NE(squad.manoeuvres.Find(static_cast<int>(ManoeuvreType::Retaliate)), nullptr);
    EXPECT_EQ(first->GetReferencePoint(2), first->GetPosition());
    for (AIUnit* u : {p.units[0], p.units[2]}) {
        EXPECT_EQ(u->Purpose(), AIPlayer::kAttacking);
        EXPECT_EQ(u->GetDesign()->parameters[0], 3);
        EXPECT_EQ(u->GetDesign()->parameters[4], 3);
        EXPECT_EQ(u->rebuilds, 1);
    }
    // The target dies: back to assembling with a fresh assignment, then a new target.
    first->destroyed = 1;
    p.ai->UpdateSquads(nullptr);
    EXPECT_EQ(squad.purpose, AIPlayer::kAssembling);
    EXPECT_EQ(p.units[0]->Purpose(), AIPlayer::kAssembling);
    EXPECT_EQ(p.Attack(squad), nullptr);
    EXPECT_NE(squad.manoeuvres.Find(static_cast<int>(ManoeuvreType::AssignTarget)), nullptr);
    AIUnit* second = p.land.AddUnit(1, Point(700, 600));
    p.ai->aimed = second;
    p.ai->UpdateSquads(nullptr);
    ASSERT_EQ(squad.purpose, AIPlayer::kAttacking);
    EXPECT_EQ(p.Attack(squad)->fixedTargetId, second->id);
    EXPECT_EQ(p.ai->attacksLaunched, 2);
}

TEST(AIPlayer, DeletesAnEmptiedAttackSquadAndStillRunsTheOthersOnce) {
    Player p;
    int runs[3] = {};
    for (int i = 0; i < 3; ++i)
        p.ai->AddSquad(i == 1 ? AIPlayer::kAttacking : 5, 1)
            .manoeuvres.Add(std::make_unique<CountingManoeuvre>(&runs[i]));
    Squad* kept = p.ai->FindSquadByKind(5);
    p.ai->AddSquad(AIPlayer::kAssembling)
        .manoeuvres.Add(std::make_unique<AttackManoeuvre>(SimId(1, 999)));
    p.clock.Advance(Squad::kPeriodMs);
    EXPECT_EQ(p.ai->UpdateSquads(nullptr), 1);
    EXPECT_EQ(runs[0], 1);
    EXPECT_EQ(runs[1], 1);
    EXPECT_EQ(runs[2], 1);
    EXPECT_EQ(p.ai->squads.Count(), 3);
    EXPECT_EQ(p.ai->FindSquadByKind(AIPlayer::kAttacking), nullptr);
    EXPECT_EQ(p.ai->FindSquad(kept->Id()), kept);
    // An empty assembling squad is kept with a fresh assignment.
    Squad* assembling = p.ai->FindSquadByKind(AIPlayer::kAssembling);
    ASSERT_NE(assembling, nullptr);
    EXPECT_NE(assembling->manoeuvres.Find(static_cast<int>(ManoeuvreType::AssignTarget)), nullptr);
}

TEST(AIPlayer, NeverTargetsAnAllyAndIgnoresProductionEvents) {
    Player p;
    p.land.AddFactory(1, Point(600, 600));
    p.land.world.alliance[1][2] = p.land.world.alliance[2][1] = World::kAllied;
    Squad& squad = p.ai->AddSquad(AIPlayer::kAssembling);
    p.Member(squad);
    EXPECT_EQ(p.ai->LaunchAttack(squad), 0);
    p.land.world.alliance[1][2] = p.land.world.alliance[2][1] = 0;
    EXPECT_EQ(p.ai->LaunchAttack(squad), 1);
    // Built-unit and damage events are the planning controller's, not the script's.
    p.ai->pendingOrder = std::make_unique<DesignRules>();
    SimId id = p.units[0]->id;
    p.ai->OnEvent(AIController::kUnitBuilt, nullptr, &id);
    EXPECT_NE(p.ai->pendingOrder, nullptr);
    // Level limits.
    for (const auto& [in, out] : std::vector<std::pair<int, int>>{{0, 1}, {3, 3}, {9, 5}}) {
        p.ai->SetLevel(in);
        EXPECT_EQ(p.ai->Level(), out);
    }
}

// A design goes to the front of the factory's queue only when asked with 1; without a factory
// or a code nothing is queued.
TEST(AIPlayer, QueuesADesignAtTheFrontOnlyWhenAskedWithOne) {
    Player p;
    p.ai->BuildDesign("VA", 1);
    FakeFactory* factory = p.land.AddFactory(2, Point(300, 300));
    p.ai->BuildDesign(nullptr, 1);
    EXPECT_EQ(factory->queued, 0);
    for (const auto& [front, queuedFront] :
         std::vector<std::pair<int, int>>{{1, 1}, {0, 0}, {2, 0}, {-1, 0}}) {
        p.ai->BuildDesign("VA", front);
        EXPECT_EQ(factory->queuedFront, queuedFront) << front;
    }
    EXPECT_EQ(factory->queued, 4);
    ASSERT_NE(factory->current, nullptr);
    EXPECT_EQ(factory->current->clan, 'V');
}

TEST(AIPlayer, AHoldIsNotSpentWhileTheGameIsPaused) {
    Player p;
    p.ai->scriptTimer.period = 1000;
    p.ai->scriptTimer.Start();
    p.ai->PauseTimers();
    p.clock.Advance(5000);
    p.ai->ResumeTimers();
    EXPECT_FALSE(p.ai->scriptTimer.Expired());
    p.clock.Advance(1000);
    EXPECT_TRUE(p.ai->scriptTimer.Expired());
}

TEST(MissionControllers, MakesTheScriptedPlayerOnlyForCampaignPlayersRecords) {
    AIWorld land;
    using Source = ControllerRequest::Source;
    for (int mission = 0; mission <= 13; ++mission)
        for (char clan : {'V', 'T', 'X'})
            for (Source source : {Source::PlayersRecord, Source::Header})
                for (int team : {0, 2}) {
                    ControllerRequest r;
                    r.mission = mission;
                    r.campaignClan = clan == 'X' ? 'V' : clan;
                    r.clan = clan;
                    r.team = team;
                    r.source = source;
                    // Missions 11 and 12 make no scripted player: MissionElevenTest.
                    if (mission == 11 || mission == 12) continue;
                    std::unique_ptr<ScenarioController> made = MakeMissionController(r);
                    const bool expected = mission >= 1 && mission <= 10 && team != 0 &&
                                          clan != 'X' && source == Source::PlayersRecord;
                    ASSERT_EQ(made != nullptr, expected)
                        << mission << clan << team << static_cast<int>(source);
                    if (!made) continue;
                    auto* player = dynamic_cast<AIPlayer*>(made.get());
                    ASSERT_NE(player, nullptr);
                    EXPECT_EQ(player->techLevel, 1);
                    EXPECT_EQ(player->team, team);
                    EXPECT_EQ(player->ClanLetter(), clan);
                }
}

// Each update deploys the team's structure units that have nowhere to go, and the rally point
// follows a deployed one; other units are left alone.
TEST(AIPlayer, UpdatesDeployIdleStructureUnitsAndRallyAtADeployedOne) {
    Player p;
    AIUnit* idle = p.land.List(std::make_unique<AIUnit>(p.land.world.NewSimId(2), Point(200, 200),
                                                        p.land.kit.Structure(2), 1));
    AIUnit* walking = p.land.List(std::make_unique<AIUnit>(
        p.land.world.NewSimId(2), Point(250, 200), p.land.kit.Structure(2), 1));
    walking->goals.PushBack(std::make_unique<LocationGoal>(walking->id, Point(900, 900), 0, 1, 1));
    AIUnit* deployed = p.land.AddStructure(2, Point(420, 380), 1);
    AIUnit* fighter = p.land.AddUnit(2, Point(300, 300));
    Timer budget(0);
    p.ai->Update(budget);
    EXPECT_EQ(idle->deploys, 1);
    EXPECT_EQ(walking->deploys, 0);
    EXPECT_EQ(deployed->deploys, 0);
    EXPECT_EQ(fighter->deploys, 0);
    EXPECT_EQ(p.ai->RallyPoint(), Point(420, 380));
}
