#pragma once

// Why a unit asks the world's path queue for a route search: the unit's own steps first, then
// the rules of ours that send it to search again. Counted per tick by the world (PathAskTally).
#include <cstdint>

enum class RouteAsk : uint8_t {
    // A trip to a place: a new order, or a route dropped after a refused step.
    Place = 0,
    // A trip to an object: a new order, or the route asked again once the last waypoint was
    // reached (the target may have moved).
    Target,
    // The second search after the first found no way.
    Retry,
    // A search cut short on its node budget, carried on.
    SearchGoesOn,
    // A group's route.
    Group,
    // Ours: a way round friends after a friend or a wreck held the unit
    // (BlockedStepPolicy::FriendInTheWay).
    RoundFriends,
    // Ours and the clear-way push: the route of a step aside.
    StepAside,
    kCount
};
