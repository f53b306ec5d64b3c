#pragma once
// A squad's patrol: hands each idle member a move to the waypoint in turn, either round the
// route (loop 1) or back and forth (loop 0). Each waypoint goes to as many idle members as the
// squad has, then the next one is used.
#include <cstdint>

#include "core/NodeList.h"
#include "core/Point.h"
#include "objects/SquadManoeuvre.h"

class RouteManoeuvre : public SquadManoeuvre {
public:
    static constexpr int kMoveOrder = 1;
    static constexpr int kMoveFlags = 0x1d;

    RouteManoeuvre() = default;
    ~RouteManoeuvre() override;

    // Appends the point and starts the route again from its first waypoint.
    void AddWaypoint(const Point& p);
    // 1 when at least one member was given an order.
    int ExecuteForSquad(Squad& squad) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Route); }

    // Of PointNode, owned, in the order added.
    NodeList waypoints;
    int32_t index = 0;
    int32_t served = 0;
    int32_t forward = 1;
    int32_t loop = 0;

private:
    void Advance();
};
