#pragma once
// The World's own answers to what its registry, death pass, pause and peer slots ask of the
// scenario in play and the team records: the team records are the World's, the player slots
// the current scenario's, the scripted structures the game flow's.
#include "world/GameRecords.h"

class MissionStats;
class World;

class WorldGameRecords : public GameRecords {
public:
    explicit WorldGameRecords(World& world) : world(world) {}

    void CountLoss(int team) override;
    void CountKill(int team) override;
    void TallyUnit(int team, int effort, int cost) override;
    void PauseClocks() override;
    void ResumeClocks() override;
    int HasScenario() override;
    void EmptyPlayerSlot(int team) override;
    int AllPlayerSlotsEmpty() override;
    int PlayerCount() override;
    void SetPlayerCount(int count) override;
    int HasScriptedStructure(int team, int code) override;

private:
    MissionStats* Stats(int team);

    World& world;
};
