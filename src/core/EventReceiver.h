#pragma once
// Receives game events (not input events): the controller of a team is told through it what
// happens to the team's objects and what its player does. What `a` and `b` point at (a map
// object, a SimId, a Point, or nothing) depends on the kind.
#include <cstdint>

class GameObject;

class EventReceiver {
public:
    virtual ~EventReceiver();
    virtual void OnEvent(int32_t kind, void* a, void* b);
    // A build time of the team's factory scaled by the controller's level; the computer
    // opponents scale it, any other controller leaves it.
    virtual int32_t ScaleByLevel(int32_t value) { return value; }
    // An enemy or a wreck refused the step of one of the team's units. The computer opponents
    // may turn the unit's weapons on it; any other controller leaves the unit to its orders.
    virtual void OnStepRefused(GameObject* /*unit*/, GameObject* /*blocker*/) {}
};
