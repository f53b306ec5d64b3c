#pragma once
// Go to a point on the map (goal type 1). The point is kept one tile inside the map.
#include <cstdint>

#include "objects/Goal.h"

class LocationGoal : public Goal {
public:
    LocationGoal(const SimId& owner, const Point& point, int tolerance, int allowManoeuvres,
                 int finishOnArrival);
    ~LocationGoal() override;

    int GetType() const override { return static_cast<int>(GoalType::Location); }
    Point GetLocation() override { return point; }
    int IsDone() override;
    int IsLocation() override { return 1; }
    GoalFields StoredFields() const override;

    // The destination after clamping.
    Point point;
    // Reached at a distance (truncated) of at most this many pixels.
    int32_t tolerance;
};

// Half the width of one sight-grid cell. Kept once a sight grid has answered; asked before any
// map exists it answers 0 and asks again next time.
int DefaultLocationTolerance();
