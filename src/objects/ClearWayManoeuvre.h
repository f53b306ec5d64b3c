#pragma once
// Type 11: a unit whose way is blocked asks the friendly unit in it to step aside (and, with
// searchDocks, clears its dock points while idle). MoveBlockerAside is the shared rule behind
// it, which flying units, carriers and the factory call too.
#include <cstdint>

#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"

class GameObject;

class ClearWayManoeuvre : public SquadManoeuvre {
public:
    explicit ClearWayManoeuvre(int32_t searchDocks);
    ~ClearWayManoeuvre() override;

    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::ClearWay); }

    int32_t searchDocks;

    // MoveBlockerAside, unless the other was sent aside a moment ago (the table beside it): this
    // manoeuvre's pushes, and the factory's, which push at every update the way stays shut.
    static int AskAside(Sim& sim, GameObject& other, AsideCaller caller);
};

// Orders a friendly mobile unit that stands idle or blocked to step aside, the distance (0:
// two sight cells) toward one of three facings round the asking unit's facing, taken in turn.
// 1 when it was ordered; an enemy is never moved; a wreck or a deployed structure in the way is
// only reported to the asking unit's controller (event 3).
int MoveBlockerAside(GameObject* self, GameObject* other, int distance);
// Restarts the turn of facings, so that every game runs alike.
void RestartBlockerCycle();
// Two sight-cell widths; 0 until a sight grid exists.
int DefaultPushDistance();
