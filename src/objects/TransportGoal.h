#pragma once
// Wait where one stands until a carrier takes one aboard (goal type 7).
#include "objects/Goal.h"

class TransportGoal : public Goal {
public:
    // finishOnArrival is always 1.
    TransportGoal(const SimId& owner, const SimId& carrierId, int allowManoeuvres);
    ~TransportGoal() override;

    int GetType() const override { return static_cast<int>(GoalType::Transport); }
    // The owner's own position; (0, 0) when it cannot be found.
    Point GetLocation() override;
    // Done when the carrier is gone or destroyed, or has taken the owner aboard.
    int IsDone() override;
    GoalFields StoredFields() const override;

    SimId targetId;
};
