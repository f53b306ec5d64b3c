#pragma once
// Go to, attack or follow another object named by its id (goal type 2). The destination is
// the target's position plus an offset and follows the target wherever it goes.
#include <cstdint>

#include "objects/Goal.h"

class TargetGoal : public Goal {
public:
    // Reads the target's position at once when the target exists.
    TargetGoal(const SimId& owner, const SimId& targetId, const Point& offset, int allowManoeuvres,
               int finishOnArrival);
    ~TargetGoal() override;

    int GetType() const override { return static_cast<int>(GoalType::Target); }
    // The target's position plus the offset; (0, 0) when the target is gone.
    Point GetLocation() override;
    Point GetAimPoint() override;
    GameObject* GetTarget() override;
    void RefreshLocation() override;
    int TargetMoved() override;
    int IsDone() override;
    int IsAttack() override { return 1; }
    void SetParam(int value) override { param = value; }
    int GetParam() override { return param; }
    GoalFields StoredFields() const override;

    // The stored values, under their own names (GetLocation is the moving destination).
    SimId TargetId() const { return targetId; }
    Point Offset() const { return offset; }

    SimId targetId;
    Point lastTargetPosition;
    int32_t param = 0;
    Point offset;
};
