#include "world/GameFlow.h"

#include <memory>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "world/Campaign.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/ScenarioMakers.h"
#include "world/ScreenFactory.h"
#include "world/World.h"

namespace {

constexpr int kMain = static_cast<int>(GameMode::MainMenu);
constexpr int kBattle = static_cast<int>(GameMode::Battle);
constexpr int kDesign = static_cast<int>(GameMode::DesignFromBattle);
constexpr int kResults = static_cast<int>(GameMode::Results);
constexpr int kMovie = static_cast<int>(GameMode::Movie);
constexpr int kStart = static_cast<int>(GameMode::StartScenario);
// In clan V's mission 10 repair units do not count among the forces.
constexpr char kRepairChassis = 'k';
// Clan T's mission 5 is won once the mined deposit entering the factory is this one.
constexpr int32_t kMarkedDepositSerial = 10;

bool Is(const Scenario& s, char clan, int mission) {
    return s.clanLetter == clan && s.missionNumber == mission;
}

char ChassisOf(GameObject* o) {
    VehicleDesign* design = o->GetDesign();
    return design && design->chassis ? design->chassis->role : 0;
}

}  // namespace

GameFlow::GameFlow(World& world) : world(world) {}

GameFlow::~GameFlow() = default;

void GameFlow::Request(int mode) {
    world.requestedMode = mode;
}

void GameFlow::StartEndTimer() {
    endTimer.period = kEndDelayMs;
    endTimer.Start();
}

int GameFlow::Step(int currentMode) {
    switch (static_cast<GameMode>(currentMode)) {
        case GameMode::Movie:
            Request(static_cast<int>(pendingModes.Pop()));
            return 1;
        case GameMode::StartScenario: {
            Scenario* s = world.scenario.get();
            // A damaged file started nothing: back to the main menu.
            if (!s || startRefused) {
                startRefused = 0;
                Request(kMain);
                return 1;
            }
            const int local =
                s->localTeam >= 0 && s->localTeam < Scenario::kTeams ? s->localTeam : 0;
            const int hasFactory = s->factoryPlaced[local] == 1;
            const MissionEntry* row = Campaign::GetMissionEntry(s->clanLetter, s->missionNumber);
            if (s->missionNumber == 0 || s->missionNumber == Campaign::kTutorial ||
                s->briefingShown || !row) {
                if (world.networkGame || s->missionNumber == Campaign::kTutorial || !hasFactory)
                    Request(kBattle);
                else
                    Request(kDesign);
            } else {
                world.movieFile = row->movie ? row->movie : "";
                pendingModes.Push(hasFactory ? kDesign : kBattle);
                s->briefingShown = 1;
                Request(kMovie);
            }
            won = 0;
            return 1;
        }
        case GameMode::Battle:
            return CheckMissionEnd();
        case GameMode::Results:
            if (resultsPopped == 0) {
                Request(static_cast<int>(pendingModes.Pop()));
                resultsPopped = 1;
            }
            return 0;
        default:
            return 0;
    }
}

void GameFlow::CountForces(int& own, int& hostile) {
    Scenario& s = *world.scenario;
    const int local = s.localTeam;
    own = 0;
    hostile = 0;
    for (int team = 1; team < World::kTeams; ++team) {
        const bool isLocal = team == local;
        const bool isHostile = !isLocal && !world.AreAllied(local, team);
        if (!isLocal && !isHostile) continue;
        int count = 0;
        if (Is(s, 'V', 10)) {
            NodeList& list = world.sims[team];
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                GameObject* o = static_cast<ObjectNode*>(n)->Object();
                if (o && ChassisOf(o) != kRepairChassis) ++count;
            }
        } else if (s.factoryPlaced[team] == 1) {
            if (GameObject* factory = world.TeamFactory(team)) {
                count = 1;
                if (isLocal) focusPoint = factory->GetCentre();
            }
        } else {
            count = world.sims[team].Count();
            if (isLocal) focusPoint.x = -1;
        }
        (isLocal ? own : hostile) += count;
    }
}

int GameFlow::CheckMissionEnd() {
    Scenario* s = world.scenario.get();
    if (!s || s->debugFlag || s->missionNumber == Campaign::kTutorial) return 0;
    if (endTimer.Expired()) {
        endTimer = Timer(-1);
        Request(kResults);
        ResolveOutcome();
        return 1;
    }
    if (endTimer.IsRunning() || s->waitingForFactories) return 0;
    int own = 0;
    int hostile = 0;
    CountForces(own, hostile);
    if (own == 0) {
        won = 0;
        StartEndTimer();
        if (focusPoint.x != -1) {
            if (world.terrain) world.terrain->SetRevealAll(1);
            ScreenFactory* screens = RegisteredScreenFactory();
            if (screens && world.battleScreen)
                screens->CentreBattleView(*world.battleScreen, focusPoint);
        }
    } else if (Is(*s, 'T', 5)) {
        // The factory's linked object is the deposit it mines.
        GameObject* factory = world.TeamFactory(s->localTeam);
        const SimId entering = factory && world.scenarioMakers.factoryLinkedObject
                                   ? world.scenarioMakers.factoryLinkedObject(factory)
                                   : SimId();
        if (!entering.IsNull() && entering.serial == kMarkedDepositSerial) {
            won = 1;
            StartEndTimer();
        }
    } else if (hostile == 0) {
        if (Is(*s, 'V', 5)) {
            for (int team = 1; team < World::kTeams; ++team) {
                if (team == s->localTeam || !world.AreAllied(team, s->localTeam)) continue;
                GameObject* factory = world.TeamFactory(team);
                if (!factory || factory->IsDestroyed()) continue;
                // The ally turns: the mission goes on against it.
                world.Unally(SimId(team, 0), SimId(s->localTeam, 0));
                return 0;
            }
        }
        won = 1;
        StartEndTimer();
    }
    return 0;
}

void GameFlow::ResolveOutcome() {
    pendingModes.Clear();
    resultsPopped = 0;
    if (!world.scenario) {
        pendingModes.Push(kMain);
        return;
    }
    Scenario& s = *world.scenario;
    if (s.missionNumber == 0) {
        pendingModes.Push(kMain);
    } else if (!won) {
        // The replay's descriptor keeps the colour and pushes the start once.
        RestartMission(1);
    } else if (s.missionNumber >= Campaign::kFinalMission) {
        world.movieFile = Campaign::VictoryMovie(s.clanLetter);
        pendingModes.Push(kMain);
        pendingModes.Push(kMovie);
    } else {
        const MissionEntry* row = Campaign::GetMissionEntry(s.clanLetter, s.missionNumber + 1);
        auto next = std::make_unique<Scenario>();
        next->missionNumber = s.missionNumber + 1;
        next->clanLetter = s.clanLetter;
        next->SelectPackEntry(row ? row->packEntry : -1);
        next->colour = s.colour;
        next->teamColours[next->localTeam] = s.colour;
        world.SetPendingScenario(std::move(next));
        pendingModes.Push(kStart);
    }
}

int GameFlow::RestartMission(int fromOutcome) {
    pendingModes.Clear();
    resultsPopped = 0;
    // Nothing in play (the game was cleared): there is nothing to start again.
    if (!world.scenario) return 0;
    Scenario& s = *world.scenario;
    auto again = std::make_unique<Scenario>();
    if (s.missionNumber == 0) {
        again->CopyFrom(s);
        again->SetFileName(nullptr);
        again->ShuffleStartOrder();
    } else {
        const MissionEntry* row = Campaign::GetMissionEntry(s.clanLetter, s.missionNumber);
        again->missionNumber = s.missionNumber;
        again->clanLetter = s.clanLetter;
        again->SelectPackEntry(row ? row->packEntry : -1);
        again->briefingShown = 1;
        again->colour = s.colour;
        again->teamColours[again->localTeam] = s.colour;
    }
    world.SetPendingScenario(std::move(again));
    if (fromOutcome == 1) {
        resultsPopped = 0;
        pendingModes.Push(kStart);
        Request(kResults);
    } else {
        resultsPopped = 1;
        Request(kStart);
    }
    return 1;
}

int GameFlow::HasScriptedStructure(int structureCode) {
    Scenario* s = world.scenario.get();
    return structureCode == 3 && s && Is(*s, 'V', 10) ? 1 : 0;
}
