#pragma once
// Receives game events (not input events): the controller of a team is told through it what
// happens to the team's objects and what its player does. What `a` and `b` point at (a map
// object, a SimId, a Point, or nothing) depends on the kind.
#include <cstdint>

class EventReceiver {
public:
    virtual ~EventReceiver();
    virtual void OnEvent(int32_t kind, void* a, void* b);
};
