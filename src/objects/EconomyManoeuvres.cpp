#include "objects/EconomyManoeuvres.h"

#include <cmath>

#include "core/Vector.h"
#include "map/PathGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/EconomyGoals.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/SimGroup.h"
#include "objects/TargetGoal.h"
#include "objects/UnitMakers.h"

namespace {

constexpr int kTolerance = 10;
constexpr int kFleeDistance = 200;
constexpr int kRepairKind = 2;
constexpr int kRepairDockFlags = 1;
constexpr int kWreckDockFlags = 8;
constexpr int kUnloadDockFlags = 2;
constexpr int kRefuelStructure = 4;
constexpr int kAirLayer = 2;
constexpr int kFullPercent = 99;
constexpr int kRefuelTo = 99;
const Point kNoPoint(-1, -1);

double Distance(const Point& a, const Point& b) {
    return Vector(a - b).magnitude;
}

// Pushes at the front without the attack-object flag: a miner's target goal on its field must
// not turn the field hostile.
void Push(Sim& sim, std::unique_ptr<Goal> goal) {
    goal->reportFailure = 0;
    sim.AddGoal(std::move(goal), 0);
}

void PushLocation(Sim& sim, const Point& p) {
    Push(sim, std::make_unique<LocationGoal>(sim.id, p, kTolerance, 1, 1));
}

void PushTarget(Sim& sim, const SimId& target, const Point& offset) {
    Push(sim, std::make_unique<TargetGoal>(sim.id, target, offset, 1, 1));
}

void Announce(Sim& sim) {
    TheObjectWorld().Commands().SendGoal(&sim, sim.goals.Front());
}

// A flyer aims its approach at its cruise height above the dock.
Point HeightCorrection(GameObject& unit, int flying) {
    return flying == 1 ? Point(0, unit.GetCruiseAltitude() - unit.GetMaxAltitude()) : Point();
}

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(0.5 + v));
}

}  // namespace

// --- Repair

RepairManoeuvre::RepairManoeuvre(int urgentPercent, int idlePercent, int stayAway)
    : urgentPercent(urgentPercent), idlePercent(idlePercent), stayAway(stayAway) {}

RepairManoeuvre::~RepairManoeuvre() = default;

// Of the repairers the unit's drive reaches (the World's rule of our own).
GameObject* RepairManoeuvre::NearestRepairer(Sim& sim) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* best = nullptr;
    double bestDistance = 1000000.0;
    world.ForEachSim(sim.GetTeam(), [&](GameObject* o) {
        if (o == &sim || o->GetKind() != kRepairKind) return;
        if (!world.InReachOf(&sim, o->GetPosition())) return;
        const double d = Distance(o->GetPosition(), sim.GetPosition());
        if (d < bestDistance) {
            best = o;
            bestDistance = d;
        }
    });
    return best;
}

int RepairManoeuvre::Execute(Sim& sim) {
    if (!timer.Expired()) return 0;
    ObjectWorld& world = TheObjectWorld();
    // 1, 2.
    GameObject* group = sim.groupId.IsNull() ? nullptr : world.FindGroup(sim.groupId);
    if (sim.goals.HasRepairGoal() == 1 || routeFailed == 1 ||
        (group && sim.GetRepairPercent() == 2))
        return 0;
    // 3, 4.
    const int p = sim.damage.Percent();
    GameObject* repairer = nullptr;
    int near = 0;
    if (p > urgentPercent) {
        repairer = NearestRepairer(sim);
    } else if (sim.goals.IsEmpty() == 1 && p > idlePercent) {
        GameObject* candidate = NearestRepairer(sim);
        if (candidate && Distance(candidate->GetPosition(), sim.GetPosition()) <= kNearDistance) {
            repairer = candidate;
            near = 1;
        }
    }
    if (!repairer) return 0;
    // 5.
    if (auto* simGroup = dynamic_cast<SimGroup*>(group)) simGroup->RemoveMember(sim);
    return SendToRepair(sim, *repairer, stayAway == 0 || near == 1 ? 1 : 0);
}

int RepairManoeuvre::SendToRepair(Sim& sim, GameObject& repairer, int comeBack) {
    const Point here = sim.GetPosition();
    GameObject* attacker = sim.GetLastAttacker();
    const Point attackerAt = attacker ? attacker->GetPosition() : Point();
    // 1, 2.
    sim.ClearGoals();
    if (comeBack == 1) PushLocation(sim, here);
    // 3.
    const int dock = repairer.FindOpenDock(&sim, kRepairDockFlags);
    const Point offset = dock == -1 ? Point() : repairer.GetDockOffset(dock);
    const Point approach = dock == -1 ? Point() : offset + HeightCorrection(sim, sim.IsFlyer());
    Push(sim, std::make_unique<RepairGoal>(sim.id, repairer.id, offset, 1, 1, 1));
    PushTarget(sim, repairer.id, approach);
    // 4. The attacker is looked up before ClearGoals, which forgets it.
    if (attacker) {
        const Vector away(here - attackerAt);
        const Vector leg(away.angle, static_cast<double>(kFleeDistance));
        PushLocation(sim, here + Point(RoundHalfUp(leg.x), RoundHalfUp(leg.y)));
    }
    // 5.
    Announce(sim);
    return 1;
}

// --- Mining

MiningManoeuvre::MiningManoeuvre(int cargoPercent) : cargoPercent(cargoPercent) {}

MiningManoeuvre::~MiningManoeuvre() = default;

int MiningManoeuvre::Execute(Sim& sim) {
    if (!timer.Expired()) return 0;
    if (sim.goals.IsEmpty() != 1 || sim.GetCargoPercent() >= cargoPercent) return 0;
    ObjectWorld& world = TheObjectWorld();
    // 1.
    GameObject* field = fieldId.IsNull() ? nullptr : world.FindObject(fieldId);
    if (!field || field->GetCargo() < 1) {
        field = nullptr;
        fieldId = SimId();
    }
    // 2. Of the fields the miner's drive reaches (the World's rule of our own).
    if (!field) {
        field = world.NearestFieldInReach(&sim, &sim, searchDistance);
        if (field) fieldId = field->id;
    }
    // 3.
    if (!field) return 0;
    Push(sim, std::make_unique<MiningGoal>(sim.id, field->id, 1));
    PushLocation(sim, field->GetPosition());
    PushTarget(sim, field->id, Point());
    Announce(sim);
    return 1;
}

// --- Scavenging

ScavengeManoeuvre::ScavengeManoeuvre() = default;

ScavengeManoeuvre::~ScavengeManoeuvre() = default;

namespace {

// A wreck standing on the path-grid cell under the unit, on any layer.
GameObject* WreckUnder(Sim& sim) {
    ObjectWorld& world = TheObjectWorld();
    PathGrid* paths = world.Paths();
    if (!paths) return nullptr;
    short row = 0;
    short column = 0;
    paths->PixelToCell(sim.GetPosition(), row, column);
    for (int layer = 0; layer < 3; ++layer) {
        MapObjectView* o = paths->Occupant(row, column, layer);
        if (GameObject* wreck = o ? world.FindWreckById(o->GetId()) : nullptr) return wreck;
    }
    return nullptr;
}

}  // namespace

int ScavengeManoeuvre::Execute(Sim& sim) {
    if (!timer.Expired()) return 0;
    ObjectWorld& world = TheObjectWorld();
    int acted = 0;
    // 1.
    Goal* front = sim.goals.Front();
    if (!(front && front->GetType() == static_cast<int>(GoalType::Scavenge)) &&
        sim.GetCargoPercent() < kFullPercent) {
        if (GameObject* wreck = WreckUnder(sim)) {
            Push(sim, std::make_unique<ScavengeGoal>(sim.id, wreck->id,
                                                     sim.GetPosition() - wreck->GetPosition(), 1));
            Announce(sim);
            acted = 1;
        }
    }
    // 2. Of the wrecks the scavenger's drive reaches (the World's rule of our own).
    if (sim.goals.IsEmpty() == 1 && sim.GetCargoPercent() < kFullPercent) {
        const Point from = homePoint == kNoPoint ? sim.GetPosition() : homePoint;
        GameObject* wreck = world.NearestWreckInReach(&sim, from, searchDistance, &sim);
        if (!wreck) {
            homePoint = kNoPoint;
        } else if (wreck->IsDestroyed() == 0) {
            const int dock = wreck->FindFreeDock(&sim, kWreckDockFlags);
            if (dock != -1) {
                const Point offset = wreck->GetDockOffset(dock);
                if (homePoint == kNoPoint) homePoint = wreck->GetPosition();
                Push(sim, std::make_unique<ScavengeGoal>(sim.id, wreck->id, offset, 1));
                PushLocation(sim, wreck->GetPosition() + offset);
                Announce(sim);
                acted = 1;
            }
        }
    }
    // 3.
    return acted;
}

// --- Unloading

UnloadManoeuvre::UnloadManoeuvre(int value) : value(value) {}

UnloadManoeuvre::~UnloadManoeuvre() = default;

int UnloadManoeuvre::Execute(Sim& sim) {
    if (!timer.Expired()) return 0;
    if (sim.goals.IsEmpty() != 1 || sim.GetCargoPercent() <= 0) return 0;
    GameObject* base = TheObjectWorld().TeamFactory(sim.GetTeam());
    const int dock = base ? base->FindFreeDock(&sim, kUnloadDockFlags) : -1;
    if (dock != -1) {
        Push(sim, std::make_unique<UnloadGoal>(sim.id, 1, 1));
        PushTarget(sim, base->id, UnloadPlace(*base, dock) - base->GetPosition());
        Announce(sim);
    }
    return 1;
}

// --- Refuelling

RefuelManoeuvre::RefuelManoeuvre(int value) : value(value) {}

RefuelManoeuvre::~RefuelManoeuvre() = default;

int RefuelManoeuvre::Execute(Sim& sim) {
    if (!timer.Expired()) return 0;
    if (sim.goals.HasGoalOfType(static_cast<int>(GoalType::Refuel)) == 1 ||
        sim.GetFuelPercent() >= kLowFuelPercent || routeFailed != 0)
        return 0;
    GameObject* refueller =
        TheObjectWorld().NearestStructure(sim.GetTeam(), kRefuelStructure, sim.GetPosition());
    const int dock = refueller ? refueller->FindFreeDock(&sim, 0) : -1;
    if (dock != -1) {
        const int flying = sim.collision.layer == kAirLayer ? 1 : 0;
        Push(sim,
             std::make_unique<RefuelGoal>(sim.id, refueller->GetDockPoint(dock), kRefuelTo, 1));
        PushTarget(sim, refueller->id,
                   refueller->GetDockOffset(dock) + HeightCorrection(sim, flying));
        Announce(sim);
    }
    return 1;
}

void MarkEconomyRouteFailed(Sim& sim, int flag) {
    if (sim.goals.HasRepairGoal() == 1) {
        auto* repair = dynamic_cast<RepairManoeuvre*>(
            sim.FindManoeuvre(static_cast<int>(ManoeuvreType::Repair)));
        if (repair) repair->routeFailed = flag;
    } else if (sim.goals.HasRefuelGoal() == 1) {
        auto* refuel = dynamic_cast<RefuelManoeuvre*>(
            sim.FindManoeuvre(static_cast<int>(ManoeuvreType::Refuel)));
        if (refuel) refuel->routeFailed = flag;
    }
}

std::unique_ptr<SquadManoeuvre> MakeEconomyManoeuvre(int type, const ManoeuvreArguments& a) {
    switch (static_cast<ManoeuvreType>(type)) {
        case ManoeuvreType::Repair:
            return std::make_unique<RepairManoeuvre>(a.first, a.second, a.third);
        case ManoeuvreType::Mining:
            return std::make_unique<MiningManoeuvre>(a.first);
        case ManoeuvreType::Scavenge:
            return std::make_unique<ScavengeManoeuvre>();
        case ManoeuvreType::Unload:
            return std::make_unique<UnloadManoeuvre>(a.first);
        case ManoeuvreType::Refuel:
            return std::make_unique<RefuelManoeuvre>(a.first);
        default:
            return nullptr;
    }
}
