#include "objects/EconomyGoals.h"

#include <algorithm>
#include <cmath>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/DestructibleObject.h"
#include "objects/GameObject.h"
#include "objects/MinerSim.h"
#include "objects/ObjectWorld.h"
#include "objects/RepairSim.h"
#include "objects/ScavengerSim.h"

namespace {

char ChassisLetter(GameObject* unit) {
    VehicleDesign* design = unit ? unit->GetDesign() : nullptr;
    return design && design->chassis ? design->chassis->role : 0;
}

// Room left in the unit's load: what mining and salvage may add at most.
int Room(GameObject& unit) {
    return std::max(0, unit.cargoCapacity - unit.GetCargo());
}

void SetRising(GameObject* field, int value) {
    if (auto* f = dynamic_cast<DestructibleObject*>(field)) f->animRising = value;
}

// A hauler working for another goal than this one, or no longer working at all, is not in
// this goal's cycle: the goal starts over (an order cut the cycle short, or it ended while
// another goal was in front) instead of moving loads without a cycle, or from afar.
bool CycleLost(HaulerSim* unit, const EconomyGoal* goal) {
    return unit && unit->WorkGoal() != goal;
}

// The unit covers the point of one of the factory's unloading docks, or stands in the point's
// path-grid cell (the rule beside UnloadPlace), while the factory offers any (a folded factory
// offers none). Every unloading dock counts: the unload manoeuvre sends units to the nearest free
// one, not only to the first.
bool CoversUnloadDock(GameObject& unit, GameObject& factory) {
    const int flags = UnloadGoal::kDockFlags;
    if (factory.FindFreeDock(nullptr, flags) == -1) return false;
    PathGrid* paths = TheObjectWorld().Paths();
    short row = 0, column = 0;
    if (paths) paths->PixelToCell(unit.GetPosition(), row, column);
    int i = 0;
    for (ListNode* n = factory.docks.First(); n; n = factory.docks.Next(n), ++i) {
        if ((n->key & flags) != flags) continue;
        if (unit.ContainsPoint(factory.GetDockPoint(i)) == 1) return true;
        if (!paths) continue;
        short dockRow = 0, dockColumn = 0;
        paths->PixelToCell(factory.GetDockPoint(i), dockRow, dockColumn);
        if (row == dockRow && column == dockColumn) return true;
    }
    return false;
}

}  // namespace

EconomyGoal::EconomyGoal(const SimId& owner, int allowManoeuvres, int finishOnArrival,
                         int32_t period, int startNow)
    : Goal(owner, allowManoeuvres, finishOnArrival), stepTimer(period) {
    if (startNow == 1) stepTimer.Start();
}

EconomyGoal::~EconomyGoal() = default;

GameObject* EconomyGoal::Owner() const {
    return TheObjectWorld().FindObject(owner);
}

Point EconomyGoal::GetLocation() {
    GameObject* o = Owner();
    return o ? o->GetPosition() : Point();
}

// --- Mining

namespace {

int OwnerIsLocal(const SimId& owner) {
    GameObject* o = TheObjectWorld().FindObject(owner);
    return o && o->local == 1 ? 1 : 0;
}

}  // namespace

MiningGoal::MiningGoal(const SimId& owner, const SimId& field, int allowManoeuvres)
    : EconomyGoal(owner, allowManoeuvres, 1, 1, OwnerIsLocal(owner)), targetId(field) {}

MiningGoal::~MiningGoal() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* field = world.FindDestructible(targetId);
    if (field && field->IsDestroyed() == 0) SetRising(field, 0);
    if (docked == 1 && workDone == 0) {
        auto* miner = dynamic_cast<MinerSim*>(Owner());
        if (miner && miner->WorkGoal() == this) miner->StopMining();
    }
}

void MiningGoal::Step() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* unit = Owner();
    GameObject* field = world.FindDestructible(targetId);
    if (field) SetRising(field, 1);
    if (!unit || !field || !stepTimer.Expired()) return;
    auto* miner = dynamic_cast<MinerSim*>(unit);
    if (docked == 1 && CycleLost(miner, this)) {
        docked = 0;
        workDone = 0;
    }
    if (docked == 0 && miner && miner->IsWorking() == 0 &&
        unit->ContainsPoint(field->GetPosition()) == 1) {
        miner->StartMining(field, this);
        docked = 1;
    }
    if (docked != 1 || unit->local != 1) return;
    // Only what the field holds and the miner has room for moves.
    const int n = field->TakeCargo(std::min(kTake, Room(*unit)));
    if (n <= 0) return;
    unit->AddCargo(n);
    field->ChangeTeam(unit->teamRecord, 1);
    world.Commands().SendMineOre(unit, n);
    stepTimer.period = kPeriodMs;
    stepTimer.Start();
}

int MiningGoal::IsDone() {
    GameObject* unit = Owner();
    GameObject* field = TheObjectWorld().FindDestructible(targetId);
    // Only a miner can work a field; a field that is gone has nothing left to give.
    if (!unit || !field || !dynamic_cast<MinerSim*>(unit)) return 1;
    if (docked == 0) return unit->ContainsPoint(field->GetPosition()) == 1 ? 0 : 1;
    if (workDone == 1 && unit->local == 1 && (unit->IsCargoFull() == 1 || field->GetCargo() < 1)) {
        SetRising(field, 0);
        return 1;
    }
    return 0;
}

GoalFields MiningGoal::StoredFields() const {
    GoalFields f;
    f.id = targetId;
    return f;
}

// --- Scavenging

ScavengeGoal::ScavengeGoal(const SimId& owner, const SimId& wreck, const Point& dockOffset,
                           int allowManoeuvres)
    : EconomyGoal(owner, allowManoeuvres, 1, 0, 1), targetId(wreck), dockOffset(dockOffset) {}

ScavengeGoal::~ScavengeGoal() {
    if (docked != 1 || workDone != 0) return;
    auto* unit = dynamic_cast<ScavengerSim*>(TheObjectWorld().FindCargoCarrier(owner));
    if (unit && unit->WorkGoal() == this) unit->StopScavenging();
}

void ScavengeGoal::Step() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* unit = world.FindCargoCarrier(owner);
    GameObject* wreck = world.FindObject(targetId);
    if (!wreck && docked == 0) {
        docked = 1;
        workDone = 1;
    }
    if (!unit || !wreck || !stepTimer.Expired()) return;
    auto* scavenger = dynamic_cast<ScavengerSim*>(unit);
    if (docked == 1 && CycleLost(scavenger, this)) {
        docked = 0;
        workDone = 0;
    }
    if (docked == 0 && scavenger && scavenger->IsWorking() == 0 &&
        unit->ContainsPoint(wreck->GetPosition() + dockOffset) == 1) {
        scavenger->StartScavenging(wreck, this);
        docked = 1;
    }
    if (docked != 1 || unit->local != 1) return;
    const int n = wreck->TakeCargo(std::min(kTake, Room(*unit)));
    if (n <= 0) return;
    unit->AddCargo(n);
    world.Commands().SendSalvage(unit, n);
    stepTimer.period = kPeriodMs;
    stepTimer.Start();
}

int ScavengeGoal::IsDone() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* wreck = world.FindWreckById(targetId);
    if (!wreck) return 1;
    GameObject* unit = world.FindCargoCarrier(owner);
    if (!unit || !dynamic_cast<ScavengerSim*>(unit)) return 1;
    if (docked == 0) return unit->ContainsPoint(wreck->GetPosition() + dockOffset) == 1 ? 0 : 1;
    return workDone == 1 && unit->local == 1 && (unit->IsCargoFull() == 1 || wreck->GetCargo() < 1)
               ? 1
               : 0;
}

GoalFields ScavengeGoal::StoredFields() const {
    GoalFields f;
    f.id = targetId;
    f.point = dockOffset;
    return f;
}

// --- Repair

namespace {

RepairSim* FindRepairer(const SimId& id) {
    GameObject* o = TheObjectWorld().FindObject(id);
    return ChassisLetter(o) == 'k' ? dynamic_cast<RepairSim*>(o) : nullptr;
}

}  // namespace

RepairGoal::RepairGoal(const SimId& owner, const SimId& repairer, const Point& dockOffset,
                       int amount, int allowManoeuvres, int finishOnArrival)
    : EconomyGoal(owner, allowManoeuvres, finishOnArrival, 0, 1),
      targetId(repairer),
      dockOffset(dockOffset),
      amount(amount) {}

RepairGoal::~RepairGoal() {
    // Only the service this goal started: another client's goal leaves it alone.
    RepairSim* repairer = FindRepairer(targetId);
    if (repairer && repairer->ServiceGoal() == this) repairer->EndService();
}

void RepairGoal::Step() {
    GameObject* unit = Owner();
    RepairSim* repairer = FindRepairer(targetId);
    if (!unit || !repairer || !stepTimer.Expired()) return;
    if (docked == 1 && workDone == 0 && repairer->ServiceGoal() != this) docked = 0;
    if (docked == 0 && unit->IsLanded() == 1 && repairer->IsLanded() == 1 &&
        unit->ContainsPoint(repairer->GetPosition() + dockOffset) == 1) {
        repairer->StartService(unit, this);
        docked = 1;
    }
    if (docked == 1 && unit->local == 1) {
        if (unit->IsInvulnerable() == 0) unit->damage.Add(-kMend);
        TheObjectWorld().Commands().SendRepair(unit, -kMend);
    }
    stepTimer.period = kPeriodMs;
    stepTimer.Start();
}

int RepairGoal::IsDone() {
    GameObject* unit = Owner();
    if (!unit || unit->local != 1) return 0;
    RepairSim* repairer = FindRepairer(targetId);
    if (!repairer) return 1;
    if (docked == 0 && unit->IsLanded() == 1)
        return unit->ContainsPoint(repairer->GetPosition() + dockOffset) == 1 ? 0 : 1;
    return docked == 1 && finishOnArrival == 1 && unit->damage.Value() <= amount && workDone == 1
               ? 1
               : 0;
}

GoalFields RepairGoal::StoredFields() const {
    GoalFields f;
    f.id = targetId;
    f.point = dockOffset;
    f.amount = amount;
    return f;
}

// --- Unloading

// Where a unit stands to unload at a dock of the factory. One rule of our own:
//
// | case                          | what happens                | departs from, and why        |
// |-------------------------------|-----------------------------|------------------------------|
// | the factory stands off the    | the unload trip aims at the | the trip aimed at the dock   |
// | middle of a path-grid cell    | middle of the cell that     | point, and unloading asked   |
// | (one stopped on its way       | holds the dock point, and a | that the unit cover it; but  |
// | unfolds where it stands), so  | unit standing in that cell  | a trip ends as the unit      |
// | its dock point lies off the   | is at the dock              | enters the point's cell, up  |
// | middle of the dock's cell     |                             | to a cell's width from it:   |
// |                               |                             | the unload goal ended, the   |
// |                               |                             | next trip ended at once, and |
// |                               |                             | a loaded Miner stood at the  |
// |                               |                             | factory's corner for good; a |
// |                               |                             | point low in its cell was a  |
// |                               |                             | place the factory overlaps,  |
// |                               |                             | so each refused step beside  |
// |                               |                             | it ended the trip as one     |
// |                               |                             | whose end a structure covers |
//
// A factory on a cell's middle has its dock points on their cells' middles, where nothing
// changes. Without a path grid, the dock point itself.
Point UnloadPlace(GameObject& factory, int dock) {
    const Point point = factory.GetDockPoint(dock);
    PathGrid* paths = TheObjectWorld().Paths();
    if (!paths) return point;
    short row = 0, column = 0;
    paths->PixelToCell(point, row, column);
    return paths->CellCenter(row, column);
}

UnloadGoal::UnloadGoal(const SimId& owner, int amount, int allowManoeuvres)
    : EconomyGoal(owner, allowManoeuvres, 1, 0, 1), amount(amount) {}

UnloadGoal::~UnloadGoal() {
    auto* unit = dynamic_cast<HaulerSim*>(Owner());
    if (unit && unit->UnloadGoal() == this) unit->EndUnload();
}

int UnloadGoal::Factor(GameObject& unit) {
    if (unit.GetKind() != 1 || ChassisLetter(&unit) == 'h') return 1;
    const int c = TheObjectWorld().CountTeamDestructibles(unit.GetTeam());
    if (c < 2) return 1;
    if (c <= 3) return 2;
    if (c <= 6) return 3;
    return 4;
}

void UnloadGoal::Step() {
    if (!stepTimer.Expired()) return;
    ObjectWorld& world = TheObjectWorld();
    GameObject* unit = Owner();
    if (!unit) return;
    GameObject* factory = world.TeamFactory(unit->GetTeam());
    if (docked == 0 && unit->CanUnload() == 1 && factory && CoversUnloadDock(*unit, *factory)) {
        unit->BeginUnload(this);
        docked = 1;
    }
    if (unit->local != 1 || docked != 1 || !factory) return;
    const int factor = Factor(*unit);
    // Only what the unit holds, and what the factory has room for, moves.
    const int room = std::max(0, factory->cargoCapacity - factory->GetCargo()) / factor;
    const int n = unit->TakeCargo(std::min({kGive, unit->GetCargo(), room}));
    if (n > 0) {
        factory->AddCargo(n * factor);
        world.Commands().SendDeliverCargo(unit, n, factor);
    }
    stepTimer.period = kPeriodMs;
    stepTimer.Start();
}

int UnloadGoal::IsDone() {
    GameObject* unit = Owner();
    if (docked == 0) {
        GameObject* factory = unit ? TheObjectWorld().TeamFactory(unit->GetTeam()) : nullptr;
        return factory && CoversUnloadDock(*unit, *factory) ? 0 : 1;
    }
    return workDone == 1 && unit && unit->local == 1 && unit->GetCargo() <= amount ? 1 : 0;
}

GoalFields UnloadGoal::StoredFields() const {
    GoalFields f;
    f.amount = amount;
    return f;
}

// --- Refuelling

RefuelGoal::RefuelGoal(const SimId& owner, const Point& point, int fuelPercent, int allowManoeuvres)
    : EconomyGoal(owner, allowManoeuvres, 1, 0, 1), point(point), fuelPercent(fuelPercent) {}

RefuelGoal::~RefuelGoal() = default;

int RefuelGoal::IsAt(const Point& pos, const Point& dest) {
    SightGrid* sight = TheObjectWorld().Sight();
    if (!sight) return 0;
    const Size area = sight->AreaSize();
    if (dest.x < 0 || dest.y < 0 || dest.x >= area.w || dest.y >= area.h) return 0;
    const double dx = dest.x - pos.x;
    const double dy = dest.y - pos.y;
    return std::lround(std::sqrt(dx * dx + dy * dy)) < 49 ? 1 : 0;
}

void RefuelGoal::Step() {
    if (!stepTimer.Expired()) return;
    GameObject* unit = Owner();
    if (!unit || unit->local != 1) return;
    if (docked == 0 && IsAt(unit->GetPosition(), point) == 1 && unit->IsLanded() == 1) docked = 1;
    if (docked != 1) return;
    unit->AddFuel(kFuel);
    stepTimer.period = kPeriodMs;
    stepTimer.Start();
}

int RefuelGoal::IsDone() {
    GameObject* unit = Owner();
    if (!unit || unit->local != 1) return 0;
    if (docked == 0) return IsAt(unit->GetPosition(), point) == 0 && unit->IsLanded() == 1 ? 1 : 0;
    return unit->GetFuelPercent() >= fuelPercent ? 1 : 0;
}

GoalFields RefuelGoal::StoredFields() const {
    GoalFields f;
    f.point = point;
    f.param = fuelPercent;
    return f;
}

std::unique_ptr<Goal> MakeEconomyGoal(int type, const SimId& owner, const GoalFields& f,
                                      int allowManoeuvres, int finishOnArrival) {
    switch (static_cast<GoalType>(type)) {
        case GoalType::Mining:
            return std::make_unique<MiningGoal>(owner, f.id, allowManoeuvres);
        case GoalType::Scavenge:
            return std::make_unique<ScavengeGoal>(owner, f.id, f.point, allowManoeuvres);
        case GoalType::Repair:
            return std::make_unique<RepairGoal>(owner, f.id, f.point, f.amount, allowManoeuvres,
                                                finishOnArrival);
        case GoalType::Unload:
            return std::make_unique<UnloadGoal>(owner, f.amount, allowManoeuvres);
        case GoalType::Refuel:
            return std::make_unique<RefuelGoal>(owner, f.point, f.param, allowManoeuvres);
        default:
            return nullptr;
    }
}
