#include "objects/CaptureSim.h"

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/EventReceiver.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "objects/TargetGoal.h"

CaptureSim::CaptureSim(const Point& position, const SimId& id,
                       std::unique_ptr<VehicleDesign> ownDesign)
    : AirSim(position, id, std::move(ownDesign)) {
    ClearManoeuvreList();
}

CaptureSim::~CaptureSim() = default;

int CaptureSim::GetKind() {
    return ObjectKind::kCaptureUnit;
}

GameObject* CaptureSim::FindCaptureTarget() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* found = nullptr;
    SimId blocker;
    GetBlockingSim(blocker);
    if (!blocker.IsNull()) {
        found = world.FindObject(blocker);
    } else if (PathGrid* grid = world.Paths()) {
        short row = 0;
        short column = 0;
        grid->PixelToCell(position, row, column);
        MapObjectView* view = grid->Occupant(row, column, 0);
        if (!view) view = grid->Occupant(row, column, 1);
        found = dynamic_cast<GameObject*>(view);
    }
    if (!found || found == this) return nullptr;
    if (IsHostileTo(found) != 1 || found->teamRecord.second != found->teamRecord.first)
        return nullptr;
    return found;
}

void CaptureSim::Update(int elapsedMs) {
    if (local == 1 && onMap == 1 && IsDestroyed() == 0) {
        if (GameObject* target = FindCaptureTarget()) {
            TakeOver(target);
            return;
        }
    }
    GameObject* target = goals.AttackTarget(this, 0);
    if (target && goals.HasRepairGoal() == 0 && IsHostileTo(target) != 1) ClearGoals();
    AirSim::Update(elapsedMs);
}

bool CaptureSim::MayCapture(GameObject* target) {
    if (!target || target->GetKind() == ObjectKind::kFactory || target->IsCarrierChassis() == 1)
        return false;
    // A unit under another team's control already is not taken twice.
    if (target->teamRecord.second != target->teamRecord.first) return false;
    return TheObjectWorld().TeamHasStructure(GetTeam(), kCaptureCode) == 1;
}

void CaptureSim::Fail() {
    Explode(0, nullptr, Point());
}

void CaptureSim::TakeOver(GameObject* target) {
    ObjectWorld& world = TheObjectWorld();
    const bool owner = local == 1;
    Destroy();
    // The owner decides and tells every copy, also when the attempt failed: a copy that is
    // not told would keep a captured target's old controller, or fly a ghost on.
    if (owner && !MayCapture(target)) target = nullptr;
    if (!target) {
        Fail();
        if (owner) world.Commands().SendCapture(this, nullptr);
        return;
    }
    world.RemoveFromGrids(target, target->GetCentre(), target->GetRadius());
    target->teamRecord.second = GetTeam();
    world.AddToGrids(target, target->GetCentre(), target->GetRadius());
    if (design && design->chassis)
        target->StartFlash(design->chassis->mapPictures.get(), kFlashCount, kFlashColour);
    if (EventReceiver* receiver = world.ControllerOf(GetTeam()))
        receiver->OnEvent(kCaptureEvent, this, target);
    if (owner) world.Commands().SendCapture(this, target);
}

void CaptureSim::OrderAttack(const SimId& target, int append, int allowManoeuvres,
                             int finishOnArrival, int toBack, int toFront) {
    if (append == 0) ClearGoals();
    auto goal = std::make_unique<TargetGoal>(id, target, Point(), allowManoeuvres, finishOnArrival);
    if (toBack == 1)
        goals.PushBack(std::move(goal));
    else
        AddGoal(std::move(goal), toFront);
}
