#include "objects/TransportGoal.h"

#include "objects/CarrierSim.h"
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
    GameObject* self = world.FindObject(owner);
    if (!carrier || carrier->IsDestroyed() == 1) return 1;
    // Taken aboard: the wait is over.
    auto* ship = dynamic_cast<CarrierSim*>(carrier);
    if (self && ship && self->CanBeLoaded() == 1 && ship->TryLoad(self) == 1) return 1;
    return 0;
}

GoalFields TransportGoal::StoredFields() const {
    GoalFields f;
    f.id = targetId;
    return f;
}
