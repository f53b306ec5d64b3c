#pragma once
// What the World needs of the controller of a computer-run team: the team's events (through
// EventReceiver), its turn under the tick's shared time budget, and the hooks the World calls
// when the game pauses and when a new game's designs are ready. The computer opponents derive
// their controllers from it; the World owns one per team slot.
#include "core/EventReceiver.h"

class Timer;

class TeamController : public EventReceiver {
public:
    // One turn of the team's computer player. The budget is shared by every team in a tick;
    // the controller checks it itself and returns once it has expired.
    virtual void Update(Timer& budget) = 0;
    virtual void PauseTimers() {}
    virtual void ResumeTimers() {}
    // Called for each team with a controller once the clan's designs are loaded for a game.
    virtual void PrepareDesigns() {}
};
