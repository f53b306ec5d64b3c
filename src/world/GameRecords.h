#pragma once
// What the World's registry, death pass, pause and peer slots ask of the scenario in play, its
// player slots and the per-team statistics. The scenario code implements it and installs it
// with World::SetGameRecords; without one, nothing is counted and no slot is touched.
class GameRecords {
public:
    virtual ~GameRecords() = default;

    // The team's statistics record (teams 0 .. 4; the World checks the range).
    virtual void CountLoss(int team) = 0;
    virtual void CountKill(int team) = 0;
    // A unit listed for the team: its design's build effort and cost.
    virtual void TallyUnit(int team, int effort, int cost) = 0;
    // The clocks of every team record.
    virtual void PauseClocks() = 0;
    virtual void ResumeClocks() = 0;

    // 1 while a scenario is in play.
    virtual int HasScenario() = 0;
    // Empties the team's player slot: colour 254, clan letter 'X'.
    virtual void EmptyPlayerSlot(int team) = 0;
    // 1 when every player slot from 1 up to (not including) the local team is empty.
    virtual int AllPlayerSlotsEmpty() = 0;
    virtual int PlayerCount() = 0;
    virtual void SetPlayerCount(int count) = 0;

    // 1 when the mission grants the team the structure of that code.
    virtual int HasScriptedStructure(int team, int code) = 0;
};
