#include "world/WorldGameRecords.h"

#include "world/GameFlow.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"
#include "world/World.h"

MissionStats* WorldGameRecords::Stats(int team) {
    if (team < 0 || team >= World::kTeams) return nullptr;
    return world.teamStats[team].get();
}

void WorldGameRecords::CountLoss(int team) {
    if (MissionStats* stats = Stats(team)) ++stats->losses;
}

void WorldGameRecords::CountKill(int team) {
    if (MissionStats* stats = Stats(team)) ++stats->kills;
}

void WorldGameRecords::TallyUnit(int team, int effort, int cost) {
    if (MissionStats* stats = Stats(team)) stats->Tally(effort, cost);
}

void WorldGameRecords::PauseClocks() {
    for (auto& stats : world.teamStats) {
        if (stats) stats->PauseClock();
    }
}

void WorldGameRecords::ResumeClocks() {
    for (auto& stats : world.teamStats) {
        if (stats) stats->ResumeClock();
    }
}

int WorldGameRecords::HasScenario() {
    return world.scenario ? 1 : 0;
}

void WorldGameRecords::EmptyPlayerSlot(int team) {
    if (!world.scenario || team < 0 || team >= Scenario::kTeams) return;
    world.scenario->teamColours[team] = Scenario::kDroppedPlayerColour;
    world.scenario->playerSlots[team] = 'X';
}

// Without a scenario no machine takes over anyone's objects.
int WorldGameRecords::AllPlayerSlotsEmpty() {
    return world.scenario ? world.scenario->AllPlayerSlotsEmpty() : 0;
}

int WorldGameRecords::PlayerCount() {
    return world.scenario ? world.scenario->PlayerCount() : 0;
}

void WorldGameRecords::SetPlayerCount(int count) {
    if (world.scenario) world.scenario->networkPlayers = count;
}

int WorldGameRecords::HasScriptedStructure(int /*team*/, int code) {
    return world.gameFlow ? world.gameFlow->HasScriptedStructure(code) : 0;
}
