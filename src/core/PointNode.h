#pragma once
// A list node holding a Point.
#include "core/ListNode.h"
#include "core/Point.h"

class PointNode : public ListNode {
public:
    PointNode() = default;
    explicit PointNode(const Point& p) : value(p) {}

    Point value;
};
