#include "ai/RouteManoeuvre.h"

#include "core/PointNode.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"

RouteManoeuvre::~RouteManoeuvre() = default;

void RouteManoeuvre::AddWaypoint(const Point& p) {
    index = 0;
    served = 0;
    waypoints.PushBack(new PointNode(p));
}

int RouteManoeuvre::ExecuteForSquad(Squad& squad) {
    if (waypoints.Count() < 2) return 0;
    int result = 0;
    for (int32_t i = 0; i < squad.MemberCount(); ++i) {
        GameObject* member = squad.MemberAt(i);
        if (!member || member->goals.Front()) continue;
        if (auto* waypoint = static_cast<PointNode*>(waypoints.At(index)))
            member->ExecuteOrder(kMoveOrder, kMoveFlags, waypoint->value, SimId(), 0);
        ++served;
        // At or above: a member lost after its order must not leave the route stuck here.
        if (served >= squad.MemberCount()) Advance();
        result = 1;
    }
    return result;
}

void RouteManoeuvre::Advance() {
    served = 0;
    const int32_t count = waypoints.Count();
    if (forward) {
        ++index;
        if (index >= count) {
            if (loop == 1) {
                index = 0;
            } else {
                forward = 0;
                index = count - 2;
            }
        }
    } else {
        --index;
        if (index < 0) {
            forward = 1;
            index = 1;
        }
    }
}
