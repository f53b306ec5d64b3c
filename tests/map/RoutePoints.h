#pragma once
// The points of a list of point nodes (a route, a ring), in list order.
#include <vector>

#include "core/NodeList.h"
#include "core/Point.h"
#include "core/PointNode.h"

inline std::vector<Point> PointsOf(const NodeList& list) {
    std::vector<Point> points;
    for (ListNode* n = list.First(); n != nullptr; n = list.Next(n))
        points.push_back(static_cast<PointNode*>(n)->value);
    return points;
}
