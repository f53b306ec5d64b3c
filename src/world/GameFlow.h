#pragma once
// What follows what around a mission: whether a started game first shows its briefing movie
// and the design screen, when a mission is over, and which mode, movie and scenario come next.
// The World steps it at the start of every tick; it may switch the game mode on its own. The
// movie and results modes take their next mode from its stack of pending modes (last in,
// first out).
#include <cstdint>

#include "core/Point.h"
#include "core/Timer.h"
#include "core/U32Stack.h"

class World;

class GameFlow {
public:
    static constexpr int32_t kEndDelayMs = 5000;
    static constexpr int32_t kFirstCapacity = 10;

    explicit GameFlow(World& world);
    virtual ~GameFlow();
    GameFlow(const GameFlow&) = delete;
    GameFlow& operator=(const GameFlow&) = delete;

    // One step with the World's current mode; 1 when it has requested a new mode that the World
    // must apply now, else 0.
    virtual int Step(int currentMode);
    // Every tick of the battle: counts the forces and decides the outcome.
    int CheckMissionEnd();
    // Prepares what follows a finished mission.
    void ResolveOutcome();
    // Prepares the current mission (or skirmish) again; fromOutcome 1 when the mission was
    // lost, 0 from the replay prompt or the options menu. 1; 0 without a game in play.
    int RestartMission(int fromOutcome);
    // The structure the mission grants every team (code 3 in clan V's mission 10).
    int HasScriptedStructure(int structureCode);

    Timer endTimer{-1};
    // 1 when the mission was won; the results screen offers a replay when it is 0.
    int32_t won = 0;
    U32Stack pendingModes{kFirstCapacity};
    int32_t resultsPopped = 1;
    // Shown on defeat; x is -1 when there is nothing to show.
    Point focusPoint{-1, -1};
    // Set by the World when mode 9 refused a damaged file.
    int32_t startRefused = 0;

private:
    void Request(int mode);
    void StartEndTimer();
    // The local team's production building is gone or its forces are: own and hostile counts.
    void CountForces(int& own, int& hostile);

    World& world;
};
