#include "objects/TargetGoal.h"

#include "core/CellGrid.h"
#include "core/Vector.h"
#include "map/SightGrid.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

TargetGoal::TargetGoal(const SimId& owner, const SimId& targetId, const Point& offset,
                       int allowManoeuvres, int finishOnArrival)
    : Goal(owner, allowManoeuvres, finishOnArrival), targetId(targetId), offset(offset) {
    RefreshLocation();
}

TargetGoal::~TargetGoal() = default;

GameObject* TargetGoal::GetTarget() {
    return TheObjectWorld().FindObject(targetId);
}

Point TargetGoal::GetLocation() {
    GameObject* target = GetTarget();
    return target ? target->GetPosition() + offset : Point();
}

Point TargetGoal::GetAimPoint() {
    GameObject* target = GetTarget();
    return target ? target->GetCentre() + offset : Point();
}

void TargetGoal::RefreshLocation() {
    if (GameObject* target = GetTarget()) lastTargetPosition = target->GetPosition();
}

int TargetGoal::TargetMoved() {
    GameObject* target = GetTarget();
    if (!target) return 0;
    SightGrid* sight = TheObjectWorld().Sight();
    const int cellWidth = sight ? sight->CellSize().w : 0;
    const double moved = Vector(target->GetPosition() - lastTargetPosition).magnitude;
    return moved > 2.0 * cellWidth ? 1 : 0;
}

int TargetGoal::IsDone() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* target = GetTarget();
    GameObject* ownerObject = world.FindObject(owner);
    if (!target || target->IsDestroyed() == 1) return 1;
    // The owner's own goal loop asks, so it exists; a vanished owner has nothing to pursue.
    if (!ownerObject) return 1;
    if (IsOwnersFront(ownerObject) && ownerObject->goals.IsFrontBlocked() && reportFailure == 0)
        return 1;
    if (ownerObject->teamRecord.first != target->teamRecord.first &&
        ownerObject->CanSee(target) == 0) {
        return 1;
    }
    // An attack on a hostile target ends only by the steps above.
    if (ownerObject->IsHostileTo(target) != 0) return 0;
    SimId blockerId;
    ownerObject->GetBlockingSim(blockerId);
    if (world.FindObject(blockerId) == target && offset == Point()) return 1;
    return IsAt(ownerObject->GetPosition(), target->GetPosition() + offset);
}

GoalFields TargetGoal::StoredFields() const {
    GoalFields f;
    f.id = targetId;
    f.point = offset;
    f.param = param;
    return f;
}
