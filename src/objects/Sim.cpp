#include "objects/Sim.h"

#include <algorithm>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/EventReceiver.h"
#include "core/SquadDirectory.h"
#include "core/Vector.h"
#include "map/SightGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/DefencePart.h"
#include "objects/Goal.h"
#include "objects/ManoeuvreList.h"
#include "objects/ObjectWorld.h"
#include "objects/PartAttachment.h"
#include "objects/SelectionMarker.h"
#include "objects/SimBody.h"
#include "objects/SimGroup.h"
#include "objects/SquadManoeuvre.h"

namespace {

constexpr int kMarkerNormalColour = 100;
constexpr int kMarkerWarningColour = 9;
constexpr int kUnitSize = 64;
constexpr int kNearSight = 256;
constexpr int kFarSight = 768;
// The sight grid's cell width when there is no grid.
constexpr int kSightCellWidth = 64;
// The behaviour settings a unit that changes owner starts again with.
constexpr int kResetParameters[VehicleDesign::kParameters] = {3, 99, 1, 99, 2, 1, 2, 2, 99};

CollisionFilter FilterOf(const VehicleDesign* design) {
    const PartTemplate* drive = design ? design->drive : nullptr;
    if (!drive) return CollisionFilter(2, 1, 0, 0, 0);
    return CollisionFilter(2, drive->layer, drive->terrainFlag1, drive->terrainFlag2,
                           drive->terrainFlag3);
}

int MaxDamageOf(const VehicleDesign* design) {
    return design && design->chassis ? design->chassis->strength : 0;
}

}  // namespace

Sim::Sim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> ownDesign)
    : GameObject(position, 0, Size(kUnitSize, kUnitSize), nullptr, 0, FilterOf(ownDesign.get()), id,
                 MaxDamageOf(ownDesign.get()), 1),
      deathEffect(DestructionEffect),
      manoeuvres(std::make_unique<ManoeuvreList>()),
      design(std::move(ownDesign)) {
    PartTemplate* drive = design ? design->drive : nullptr;
    ChassisTemplate* chassis = design ? design->chassis : nullptr;
    if (drive) moveDelay = design->MoveDelay();
    if (drive && chassis) {
        body = std::make_unique<SimBody>(drive->Sprites(), chassis->mapPictures.get(),
                                         drive->shadowPictures.get(), drive->extraPictures.get(),
                                         drive->verticalOffset, teamRecord.third,
                                         drive->altitude == 0 ? 1 : 0, drive->animationPeriod,
                                         drive->chassisShadow, drive->driveShadow);
    }
    selectionMarker = std::make_unique<SelectionMarker>(kMarkerNormalColour, kMarkerWarningColour,
                                                        Size(kUnitSize, kUnitSize));
    if (body) selectionMarker->SetSize(body->extent);
    BuildParts();
    BuildManoeuvreList();
    sensors.viewer = 1;
    smokeTimer.Start();
    std::fill(std::begin(groupFlags), std::end(groupFlags), 0);
}

Sim::~Sim() {
    OrderLedger& ledger = TheObjectWorld().Orders();
    ledger.Cleared(*this, OrderEnd::UnitLost);
    if (guardGoal) ledger.Ended(*this, *guardGoal, OrderEnd::UnitLost, "");
    goals.Clear();
    body.reset();
    selectionMarker.reset();
    guardGoal.reset();
    selectedPart = nullptr;
    parts.DeleteAll();
    design.reset();
    // A dying unit leaves the group its id names (it belongs to no other).
    if (!groupId.IsNull()) {
        if (auto* group = dynamic_cast<SimGroup*>(TheObjectWorld().FindGroup(groupId)))
            group->RemoveMember(*this);
    }
    manoeuvres.reset();
}

std::unique_ptr<VehicleDesign> Sim::ReleaseDesign() {
    return std::move(design);
}

void Sim::SendEvent(int code, void* argument) {
    // What the side's controller makes of the event is its order, even in the unit's own turn.
    const OrderLedger::Scope byController(TheObjectWorld().Orders(), OrderGiver::SideController);
    if (EventReceiver* receiver = TheObjectWorld().ControllerOf(GetTeam()))
        receiver->OnEvent(code, this, argument);
}

// --- The parts

void Sim::BuildParts() {
    ObjectWorld& world = TheObjectWorld();
    // Only a unit standing on the grids (not carried aboard) is taken off and put back.
    const bool listed = world.FindObject(id) == this && leftGrids == 0 && gridFlag == 1;
    if (listed) world.RemoveFromGrids(this, GetCentre(), GetRadius());
    selectedPart = nullptr;
    parts.DeleteAll();
    sensors.ClearSensors();
    stealth.hidden = stealth.hiddenA = stealth.hiddenB = 0;
    partCount = 0;
    if (design && design->chassis) {
        partCount = std::min(design->chassis->hardpointCount, VehicleDesign::kHardpoints);
        for (int i = 0; i < partCount; ++i) {
            MountTemplate* part = design->hardpoints[static_cast<size_t>(i)];
            if (!part) continue;
            SpriteAttachment* made = nullptr;
            switch (part->GetMountKind()) {
                case MountKind::Weapon:
                    made = new PartAttachment(dynamic_cast<WeaponTemplate*>(part), i);
                    break;
                case MountKind::Defence:
                    made = new DefencePart(part, i);
                    break;
                case MountKind::Sensor:
                    made = new SpriteAttachment(part, i);
                    if (part->role == 'u') sensors.sensorA = 1;
                    if (part->role == 'v') sensors.sensorB = 1;
                    if (part->role == 'w') sensors.sensorC = 1;
                    break;
                case MountKind::Stealth:
                    made = new SpriteAttachment(part, i);
                    if (part->role == 'k') stealth.hiddenA = 1;
                    if (part->role == 'y') stealth.hiddenB = 1;
                    if (part->role == 'z') stealth.hidden = 1;
                    break;
            }
            if (made) parts.PushFront(made);
        }
    }
    if (listed) world.AddToGrids(this, GetCentre(), GetRadius());
}

SpriteAttachment* Sim::GetPart(int index) {
    for (ListNode* n = parts.First(); n; n = parts.Next(n)) {
        auto* a = static_cast<SpriteAttachment*>(n);
        if (a->hardpoint == index) return a;
    }
    return nullptr;
}

SpriteAttachment* Sim::GetArmedPart(int index) {
    if (partCount <= 0) return nullptr;
    SpriteAttachment* a = GetPart(index);
    return a && a->GetTemplate() ? a : nullptr;
}

DefencePart* Sim::GetDefencePart(int index) {
    if (partCount <= 0) return nullptr;
    SpriteAttachment* a = GetPart(index);
    return a && a->Category() == static_cast<int>(MountKind::Defence) ? static_cast<DefencePart*>(a)
                                                                      : nullptr;
}

Point Sim::GetMountOffset(int index) {
    if (!design || !design->chassis) return Point();
    return design->chassis->MountOffset(index, facing);
}

// Without an attachment the mount offset alone.
Point Sim::GetHardpointPosition(int index) {
    if (partCount == 0) return Point();
    SpriteAttachment* a = GetPart(index);
    return GetMountOffset(index) + (a ? a->GetMuzzleOffset() : Point());
}

// A hardpoint without a weapon selects nothing.
void Sim::SelectPart(int index) {
    if (parts.IsEmpty()) return;
    if (selectedPart) selectedPart->selected = 0;
    selectedPart = GetArmedPart(index);
    if (selectedPart) selectedPart->selected = 1;
}

void Sim::SelectNextPart() {
    if (parts.IsEmpty()) return;
    ListNode* next = parts.First();
    if (selectedPart) {
        selectedPart->selected = 0;
        next = parts.Next(selectedPart);
        if (!next) next = parts.First();
    }
    selectedPart = static_cast<SpriteAttachment*>(next);
    selectedPart->selected = 1;
}

int Sim::SelectedPartIndex() {
    if (!selectedPart) return -1;
    for (int i = 0; i < kHardpointScan; ++i) {
        if (GetArmedPart(i) == selectedPart) return i;
    }
    return -1;
}

void Sim::AimSelectedPart(const Point& p) {
    if (!selectedPart || selectedPart->selected != 1) return;
    const Vector toward(p - (position + GetMountOffset(selectedPart->hardpoint)));
    selectedPart->facing = FacingFromAngle(toward.angle);
}

void Sim::GetPartFacings(int32_t* facings, int room, int& count) {
    count = 0;
    for (ListNode* n = parts.First(); n && count < room; n = parts.Next(n))
        facings[count++] = static_cast<SpriteAttachment*>(n)->facing;
}

void Sim::SetPartFacings(const int32_t* facings, int count) {
    int i = 0;
    for (ListNode* n = parts.First(); n && i < count; n = parts.Next(n), ++i)
        static_cast<SpriteAttachment*>(n)->facing = NormaliseFacing(facings[i]);
}

int Sim::CountActiveWeapons() {
    int count = 0;
    for (int i = 0; i < partCount; ++i) {
        SpriteAttachment* a = GetArmedPart(i);
        if (a && a->active == 1) ++count;
    }
    return count;
}

int Sim::CountWeaponsWithRange(int limit, int* all) {
    int count = 0;
    int active = 0;
    for (int i = 0; i < partCount; ++i) {
        SpriteAttachment* a = GetArmedPart(i);
        if (!a || a->active != 1) continue;
        ++active;
        if (a->GetTemplate()->GetRange() > limit) ++count;
    }
    if (all) *all = active;
    return count;
}

PartAttachment* Sim::LongestRangeWeapon() {
    PartAttachment* best = nullptr;
    for (int i = 0; i < partCount; ++i) {
        auto* a = dynamic_cast<PartAttachment*>(GetArmedPart(i));
        if (!a || a->active != 1) continue;
        if (!best || a->GetTemplate()->GetRange() > best->GetTemplate()->GetRange()) best = a;
    }
    return best;
}

int Sim::GetFirePower() {
    int power = 0;
    for (int i = 0; i < partCount; ++i) {
        SpriteAttachment* a = GetArmedPart(i);
        if (!a || a->active != 1) continue;
        WeaponTemplate* w = a->GetTemplate();
        const int damage = w->GetFirePower();
        const int reload = w->GetReloadTime();
        if (damage != 0 && reload != 0) power += damage * 1000 / reload;
    }
    return power;
}

int Sim::CanEngage(GameObject* other) {
    if (!other) return 0;
    for (int i = 0; i < partCount; ++i) {
        SpriteAttachment* a = GetArmedPart(i);
        if (a && a->InRange(position, other) == 1) return 1;
    }
    return 0;
}

// --- Small questions

void Sim::ClearGoals() {
    lastAttacker = SimId();
    TheObjectWorld().Orders().Cleared(*this);
    goals.Clear();
    ordered = 0;
}

int Sim::GetMaxAltitude() {
    return design && design->drive ? design->drive->altitude : 0;
}
int Sim::GetCruiseAltitude() {
    return GetMaxAltitude();
}
int Sim::GetRepairPercent() {
    return manoeuvres ? manoeuvres->repairLevel : 0;
}
int Sim::GetBreakOffPercent() {
    return manoeuvres ? manoeuvres->breakOffPercent : 0;
}

int Sim::GetMoveDelay() {
    int delay = 0;
    if (!groupId.IsNull()) {
        GameObject* group = TheObjectWorld().FindObject(groupId);
        delay = group ? group->GetMoveDelay() : 0;
    } else {
        delay = design ? design->MoveDelay() : 0;
        for (int i = 0; i < upgrades; ++i)
            delay -= delay / 4;
    }
    return std::max(1, delay);
}

int Sim::GetRadius() {
    if (body) return body->radius;
    const Size s = GetSize();
    return std::max(s.w, s.h) / 2;
}

Size Sim::GetSize() {
    return body ? body->extent : size;
}

int Sim::GetEngageRange() {
    PartAttachment* longest = LongestRangeWeapon();
    if (!longest) {
        SightGrid* sight = TheObjectWorld().Sight();
        const int cell = sight ? sight->CellSize().w : kSightCellWidth;
        return std::max(size.w, size.h) + 2 * cell;
    }
    const int team = GetTeam();
    const int cap =
        sensors.ExtraAActive(team) || sensors.ExtraBActive(team) ? kFarSight : kNearSight;
    return std::min(longest->GetTemplate()->GetRange(), cap);
}

int Sim::GetSightRadius() {
    const int team = GetTeam();
    return sensors.ExtraAActive(team) || sensors.ExtraBActive(team) ? kFarSight : kNearSight;
}

int Sim::IsBusy() {
    return GameObject::IsBusy() == 1 || waiting == 1 ? 1 : 0;
}

void Sim::SetAirLayer() {
    collision.layer = 2;
}

// --- Manoeuvres

void Sim::AddManoeuvre(SquadManoeuvre* manoeuvre) {
    if (!manoeuvre) return;
    if (!manoeuvres) {
        delete manoeuvre;
        return;
    }
    // The Sim owns what it is given, unlike the root.
    manoeuvres->Replace(std::unique_ptr<SquadManoeuvre>(manoeuvre));
}

SquadManoeuvre* Sim::FindManoeuvre(int type) {
    return manoeuvres ? manoeuvres->Find(type) : nullptr;
}

void Sim::BuildManoeuvreList() {
    if (local == 1 && manoeuvres && design) manoeuvres->Build(*design);
}

void Sim::ClearManoeuvreList() {
    if (local == 1 && manoeuvres) manoeuvres->DeleteAll();
}

void Sim::SetLocal(int flag) {
    if (flag == local) return;
    if (flag != 1 && manoeuvres) manoeuvres->DeleteAll();
    local = flag;
    BuildManoeuvreList();
}

void Sim::ResetBehaviour() {
    ClearManoeuvreList();
    if (design) {
        for (int i = 0; i < VehicleDesign::kParameters; ++i)
            design->SetParameter(i, kResetParameters[i]);
    }
    BuildManoeuvreList();
}

uint32_t Sim::GetEnemyMask() {
    const uint32_t own = collision.EnemyMaskFor(0);
    Goal* order = goals.FirstUnfinished();
    const bool groundOnly = design && design->parameters[0] == 4 && goals.HasRepairGoal() == 0 &&
                            (!order || order->allowManoeuvres != 0);
    const uint32_t friends = routeAroundFriends == 1 ? collision.AlliedMask(0) : 0;
    return (groundOnly ? own : own | collision.EnemyMaskFor(1)) | friends;
}

// --- Change of owner

void Sim::ChangeTeam(const ValueTriple& record, int announce) {
    ObjectWorld& world = TheObjectWorld();
    const int oldTeam = GetTeam();
    const int newTeam = record.first;
    bool listed = false;
    world.ForEachSim(oldTeam, [this, &listed](GameObject* o) { listed = listed || o == this; });
    if (listed) {
        if (world.IsNetworkGame() == 1) {
            const int nowLocal = newTeam == world.LocalTeam() ? 1 : 0;
            if (nowLocal != local) SetLocal(nowLocal);
            if (announce == 1) world.Commands().SendChangeOwner(this, record);
        }
        // A unit off the grids (carried, or dead and waiting for the death pass) stays off
        // them; it sees for its new owner once it is set down.
        const bool onGrids = gridFlag == 1 && leftGrids == 0;
        if (onGrids) world.RemoveFromGrids(this, position, GetRadius());
        world.MoveSimToTeam(this, oldTeam, newTeam);
        teamRecord = ValueTriple(record.first, record.third);
        collision.team = newTeam;
        FollowOwnerSight(oldTeam, newTeam);
        if (onGrids) world.AddToGrids(this, position, GetRadius());
        SetOwner(nullptr);
        SetOwner(dynamic_cast<SquadDirectory*>(world.ControllerOf(newTeam)));
        ResetBehaviour();
        ClearGoals();
        skill = kStartSkill;
        enabled = 1;
        for (int team = 1; team < 5; ++team) {
            if (world.AreAllied(team, newTeam) != 1) continue;
            world.ForEachSim(team, [this](GameObject* o) { o->goals.RemoveUpToTarget(this); });
        }
    }
    if (local == 1) {
        for (int i = 0; i < partCount; ++i) {
            if (SpriteAttachment* a = GetArmedPart(i)) a->SetTarget(SimId());
        }
    }
    if (newTeam != world.LocalTeam()) SetSelected(0);
}

// An object off the grids (or without pictures) is seen by its bounds, or its position.
Rect Sim::SeenRect(GameObject* object) {
    const Rect foot = object->GetFootprint();
    if (foot.extent.w > 0 && foot.extent.h > 0) return foot;
    const Rect bounds = object->GetBounds();
    if (bounds.extent.w > 0 && bounds.extent.h > 0) return bounds;
    return Rect(object->GetPosition(), Size(1, 1));
}

int Sim::TeamSees(GameObject* object) {
    SightGrid* sight = TheObjectWorld().Sight();
    return object && sight && sight->IsRectVisible(SeenRect(object), GetTeam()) == 1 ? 1 : 0;
}

// --- The end

// Only a listed unit stands on the grids.
void Sim::LeaveGrids() {
    ObjectWorld& world = TheObjectWorld();
    if (leftGrids == 1 || world.FindObject(id) != this) return;
    leftGrids = 1;
    // A carried unit is off the grids already: its sight must not be taken away twice.
    if (gridFlag != 1) return;
    world.RemoveFromGrids(this, GetCentre(), GetRadius());
}

void Sim::Destroy() {
    GameObject::Destroy();
    LeaveGrids();
}
