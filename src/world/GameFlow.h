#pragma once
// What follows a mission: the controller that the World steps at the start of every tick and
// that may switch the game mode on its own (movies before missions, the next campaign mission,
// the results after the end timer).
//
// This is the minimal first version: it holds nothing pending and never asks for a mode, so
// the screens alone drive the modes. The campaign flow replaces it.
class GameFlow {
public:
    GameFlow() = default;
    virtual ~GameFlow() = default;
    GameFlow(const GameFlow&) = delete;
    GameFlow& operator=(const GameFlow&) = delete;

    // One step with the World's current mode; 1 when it has requested a new mode that the World
    // must apply now, else 0.
    virtual int Step(int currentMode);
};
