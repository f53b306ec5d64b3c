#pragma once
// One order that a map object pursues: go somewhere, attack or follow an object, mine,
// scavenge, be repaired, unload, be carried, refuel. The abstract contract every goal type
// implements, with the flags the owner's goal loop reads and writes. Goals name other objects
// only by SimId and look them up on every use.
#include <cstdint>

#include "core/Point.h"
#include "core/SimId.h"

class GameObject;
class ScreenBase;

// The goal types, numbered as in object records and goal commands.
enum class GoalType : int32_t {
    None = 0,
    Location = 1,
    Target = 2,
    Mining = 3,
    Scavenge = 4,
    Repair = 5,
    Unload = 6,
    Transport = 7,
    Refuel = 8,
};

// The values a goal stores besides its flags, as object records and goal commands carry them:
// the object it names, its stored point (a location goal's destination, a target goal's offset,
// a scavenge or repair goal's dock offset, a refuel goal's point), an amount and a parameter.
struct GoalFields {
    SimId id;
    Point point;
    int32_t amount = 0;
    int32_t param = 0;
};

class Goal {
public:
    // reportFailure starts at 1, the other flags at 0.
    Goal(const SimId& owner, int allowManoeuvres, int finishOnArrival);
    virtual ~Goal();
    Goal(const Goal&) = delete;
    Goal& operator=(const Goal&) = delete;

    virtual int GetType() const = 0;
    virtual Point GetLocation();
    // Where weapons aim: GetLocation unless a type says otherwise.
    virtual Point GetAimPoint();
    virtual GameObject* GetTarget();
    virtual void RefreshLocation();
    virtual int TargetMoved();
    virtual int GetAmount();
    // The per-tick work of the economy goals.
    virtual void Step();
    virtual int IsDone() = 0;
    virtual int IsLocation();
    virtual int IsAttack();
    virtual int IsRepair();
    virtual int IsRefuel();
    virtual void Draw(ScreenBase& view);
    virtual int ReservedQuery();
    virtual int HoldsStill();
    virtual void SetParam(int value);
    virtual int GetParam();
    // 1 when dest lies on the map and pos falls in the same path-grid cell.
    virtual int IsAt(const Point& pos, const Point& dest);
    // The stored values of the record line and the goal command (nothing for the base).
    virtual GoalFields StoredFields() const;

    // The owner, when this goal is the front of its queue (0 otherwise or without owner).
    int IsOwnersFront(GameObject* ownerObject) const;

    int32_t finishOnArrival;
    int32_t allowManoeuvres;
    int32_t reportFailure = 1;
    SimId owner;
    int32_t repeat = 0;
    // A passing stop of a route that leads to the next goal without the flag.
    int32_t waypoint = 0;
    // A route to the goal has been requested.
    int32_t active = 0;
    int32_t retried = 0;
    // Made by a push that asked the owner out of a friend's way. Kept only while the game runs:
    // the goal queue is not saved, and peers are sent the goal without it.
    int32_t movedAside = 0;
    // The order ledger's number for an order goal, 0 for any other; never saved nor sent.
    int32_t order = 0;
};
