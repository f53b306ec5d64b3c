// Why a unit asks for a route search, read from what its movement keeps: the path queue counts
// its asks by it, so that the rules of ours that send units searching again can be told apart
// from the unit's own steps.
#include "objects/Goal.h"
#include "objects/Sim.h"

RouteAsk Sim::WhyRouteAsked() {
    const Goal* front = goals.Front();
    if (searchGoingOn.held == 1) return RouteAsk::SearchGoesOn;
    if (front && front->movedAside == 1) return RouteAsk::StepAside;
    if (routeAroundFriends == 1) return RouteAsk::RoundFriends;
    if (front && routeWait == 1 && front->retried == 0) return RouteAsk::Retry;
    if (front && front->GetType() == static_cast<int>(GoalType::Target)) return RouteAsk::Target;
    return RouteAsk::Place;
}
