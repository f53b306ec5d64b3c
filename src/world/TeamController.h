#pragma once
// What the World needs of the controller of a computer-run team: the team's events (through
// EventReceiver), its turn under the tick's shared time budget, and the hooks the World calls
// when the game pauses and when a new game's designs are ready. It is also the directory of
// its team's squads: the World makes it the owner of every Sim it lists for the team, so the
// Sim's events reach it and a dying Sim can leave its squads. The computer opponents derive
// their controllers from it; the World owns one per team slot.
#include <cstdint>

#include "core/SquadDirectory.h"

class Timer;

class TeamController : public SquadDirectory {
public:
    // No squads are kept until the computer opponents keep them.
    SquadMembership* FindSquad(int32_t) override { return nullptr; }
    // One turn of the team's computer player. The budget is shared by every team in a tick;
    // the controller checks it itself and returns once it has expired.
    virtual void Update(Timer& budget) = 0;
    virtual void PauseTimers() {}
    virtual void ResumeTimers() {}
    // Play starts: the battle's first tick comes next (after the set-up screens, or after a
    // network game's wait for every factory).
    virtual void StartPlay() {}
    // Called for each team with a controller once the clan's designs are loaded for a game.
    virtual void PrepareDesigns() {}
    // A script's `attack TEAM` (for tests): every combat unit sent against that team's factory
    // as the computer player's own all-out attack sends them; nothing for other controllers.
    virtual void SendAllAgainst(int /*team*/) {}
};
