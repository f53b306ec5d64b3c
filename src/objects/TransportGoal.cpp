#include "objects/TransportGoal.h"

#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

TransportGoal::TransportGoal(const SimId& owner, const SimId& carrierId, int allowManoeuvres)
    : Goal(owner, allowManoeuvres, 1), targetId(carrierId) {}

TransportGoal::~TransportGoal() = default;

Point TransportGoal::GetLocation() {
    GameObject* ownerObject = TheObjectWorld().FindObject(owner);
    return ownerObject ? ownerObject->GetPosition() : Point();
}

int TransportGoal::IsDone() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* carrier = world.FindSim(targetId);
    return !carrier || carrier->IsDestroyed() == 1 ? 1 : 0;
}

GoalFields TransportGoal::StoredFields() const {
    GoalFields f;
    f.id = targetId;
    return f;
}
