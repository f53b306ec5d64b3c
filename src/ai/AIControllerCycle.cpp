// The per-tick cycle of a planning controller, its threat check, the adoption of units and its
// reactions to its team's events.
#include <cmath>
#include <vector>

#include "ai/AIController.h"
#include "ai/AIGroupManager.h"
#include "ai/AIManager.h"
#include "ai/BuildPlanner.h"
#include "ai/InfluenceGrid.h"
#include "ai/SquadPoolManager.h"
#include "ai/SquadRecruiter.h"
#include "ai/UnitTraits.h"
#include "catalogue/DesignRules.h"
#include "catalogue/VehicleDesign.h"
#include "core/Settings.h"
#include "map/SightGrid.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/Sim.h"
#include "objects/UnitMakers.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

constexpr int kWreck = 3;
constexpr int kFactoryKind = 4;
constexpr int kCaptureUnit = 6;
constexpr int kDeployed = 7;
// Order codes and flags of the computer opponents' orders.
constexpr int kMove = 1;
constexpr int kAttack = 2;
constexpr int kStopGuarding = 9;

int Distance(const Point& a, const Point& b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

// The team's objects as they stand now: handlers may add to or reorder the list.
std::vector<SimId> TeamIds(World& world, int32_t team) {
    std::vector<SimId> ids;
    if (team < 0 || team >= World::kTeams) return ids;
    NodeList& list = world.sims[team];
    for (ListNode* n = list.First(); n; n = list.Next(n))
        if (GameObject* o = static_cast<ObjectNode*>(n)->Object()) ids.push_back(o->id);
    return ids;
}

}  // namespace

Squad* AIController::FindSquad(int32_t squadId) {
    for (ListNode* n = managers.First(); n; n = managers.Next(n))
        if (Squad* squad = static_cast<AIManager*>(n)->FindChild(squadId)) return squad;
    return nullptr;
}

void AIController::Update(Timer& budget) {
    // Nothing runs before Setup.
    if (!grid) return;
    // 1.
    GameObject* factory = Factory();
    if (!factory || factory->IsDestroyed()) {
        grid->Refresh(team, *this);
        UpdateSquads(&budget);
        return;
    }
    // 2.
    if (targetTeam != 0) {
        GameObject* target = world.TeamFactory(targetTeam);
        if (!target || target->IsDestroyed()) targetTeam = 0;
    }
    // 3.
    FactoryProduction* controls = AsFactoryProduction(factory);
    if (controls) ProductionStep(*factory, *controls);
    // 4.
    const int busy = factory->IsMoving();
    if (factoryWasBusy && !busy) {
        ResetProductionCounters();
        if (SquadDirectory* owner = factory->Owner())
            owner->OnEvent(kFactoryIdle, factory, nullptr);
    }
    factoryWasBusy = busy ? 1 : 0;
    // 5.
    if (!thinkTimer.Expired()) return;
    // 6.
    CheckThreat();
    // 7.
    if (cycleState == 1) {
        grid->Refresh(team, *this);
        cycleState = 2;
        if (budget.Expired()) return;
    }
    if (cycleState == 2) {
        ListNode* n = thinkCursor ? thinkCursor : managers.First();
        thinkCursor = nullptr;
        while (n) {
            if (static_cast<AIManager*>(n)->Think() == 1) break;
            ListNode* next = managers.Next(n);
            // After the last manager the phase is over: resuming at the first again would let
            // a budget that runs out after every step hold the cycle in this state for ever.
            if (next && budget.Expired()) {
                thinkCursor = static_cast<AIManager*>(next);
                return;
            }
            n = next;
        }
        cycleState = 3;
        if (budget.Expired()) return;
    }
    if (cycleState == 3) {
        if (alarm == 0 && UpdateSquads(&budget) != 1) return;
        cycleState = 1;
        // 8.
        EndCycle();
    }
}

void AIController::EndCycle() {
    if (GameObject* factory = Factory()) factory->claimMark = 0;
    if (team >= 0 && team < World::kTeams) {
        NodeList& list = world.sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n))
            if (GameObject* o = static_cast<ObjectNode*>(n)->Object()) o->claimMark = 0;
    }
    thinkTimer.Start();
}

int AIController::UpdateSquads(Timer* budget) {
    ListNode* n = squadCursor ? squadCursor : managers.First();
    squadCursor = nullptr;
    while (n) {
        auto* manager = static_cast<AIManager*>(n);
        const int done = manager->RunChildren(budget);
        ListNode* next = managers.Next(n);
        if (budget && budget->Expired()) {
            // A manager whose squads all ran is not run again: the next one is the cursor.
            squadCursor = static_cast<AIManager*>(done == 1 ? next : n);
            return squadCursor ? 0 : 1;
        }
        n = next;
    }
    return 1;
}

void AIController::CheckThreat() {
    if (!threatTimer.Expired() && aiDebugFlag == 0) return;
    // 1.
    if (targetTeam == 0) {
        alarm = 0;
    } else {
        // 2, 3.
        const int32_t balance = StrengthBalance(nullptr, 0, nullptr, InfluenceGrid::kCombat,
                                                InfluenceGrid::kAllCategories);
        const int32_t limit = kThreatLimit[level < 1 || level > 5 ? 3 : level];
        if (balance > limit) {
            LaunchAllOutAttack();
        } else if (balance < limit && alarm != 0) {
            alarm = 0;
        }
    }
    // 4.
    threatTimer.period = kThreatPeriodMs;
    threatTimer.Start();
}

void AIController::SendAgainstFactory(GameObject& unit, GameObject& factory) {
    const Point remembered = factory.GetReferencePoint(team);
    SightGrid* sight = world.sight.get();
    const bool factorySeen = sight && sight->IsRectVisible(factory.GetFootprint(), team);
    if (!factorySeen && remembered != Point(0, 0) && !(sight && sight->IsVisible(remembered, team)))
        unit.ExecuteOrder(kMove, 0x1d, remembered, SimId(), 0);
    unit.ExecuteOrder(kAttack, 0xf, factory.GetPosition(), factory.id, 0);
}

void AIController::LaunchAllOutAttack() {
    GameObject* target = world.TeamFactory(targetTeam);
    if (!target) return;
    for (const SimId& id : TeamIds(world, team)) {
        GameObject* unit = world.FindObject(id);
        if (!unit) continue;
        const char role = unit_traits::RoleOf(unit);
        if (role == 'f' || role == 'k' || role == 't' || unit_traits::IsStructure(unit)) continue;
        if (unit->goals.AttackTarget(unit, 0) == target) continue;
        unit->ClearGoals();
        unit->ExecuteOrder(kStopGuarding, 0, Point(), SimId(), 0);
        SendAgainstFactory(*unit, *target);
    }
    alarm = 1;
}

void AIController::AdoptUnit(GameObject& unit, int32_t squadId) {
    // 1.
    if (GameObject* factory = Factory()) oreChangeCounter += factory->GetCargo() - oreAtLastJob;
    unit.SetOwner(this);
    unit.skill = kSkill[level < 1 || level > 5 ? 3 : level];
    // 2.
    VehicleDesign* design = unit.GetDesign();
    const char role = unit_traits::RoleOf(&unit);
    if (role == 'f') {
        ResetProductionCounters();
        if (buildPlanner) buildPlanner->AddToSquad(unit);
        if (design) {
            design->noCharge = 0;
            minerCost = design->SumPartField5();
            minerStrength = design->SumPartField7() / 1000;
        }
        ++minerCount;
    } else if (role == 'h') {
        ++scavengerCount;
    } else if (role == 'k') {
        if (buildPlanner) buildPlanner->AddToSquad(unit);
        ++repairerCount;
    } else if (unit_traits::IsStructure(&unit)) {
        const int type = unit_traits::StructureType(&unit);
        if (type >= 0) ++typeCounts[type];
        if (buildPlanner) buildPlanner->AddToSquad(unit);
        secondProductionCounter = 0;
    } else if (targetTeam != 0 && alarm == 1) {
        if (GameObject* target = world.TeamFactory(targetTeam)) SendAgainstFactory(unit, *target);
    }
    // 3.
    if (squadId != 0) {
        if (Squad* squad = FindSquad(squadId)) squad->AddMember(unit, 1);
    }
}

void AIController::OnEvent(int32_t kind, void* a, void* b) {
    switch (kind) {
        case kDamaged:
            if (b && grid) grid->NoteAttack(*static_cast<Point*>(b));
            break;
        case kUnitBuilt:
            if (b) OnUnitBuilt(*static_cast<SimId*>(b));
            break;
        case kUnitLost:
            if (a) OnUnitLost(static_cast<GameObject*>(a));
            break;
        case kBlocked:
            if (a && b) OnBlocked(static_cast<GameObject*>(a), *static_cast<SimId*>(b));
            break;
        case kEngaging:
            if (a && b) OnEngaging(static_cast<GameObject*>(a), static_cast<GameObject*>(b));
            break;
        case kEnemySeen:
            if (b) OnEnemySeen(static_cast<GameObject*>(b));
            break;
        case kCaptured:
            if (a && b) OnCaptured(static_cast<GameObject*>(a), static_cast<GameObject*>(b));
            break;
        default:
            break;
    }
    for (ListNode* n = managers.First(); n; n = managers.Next(n))
        static_cast<AIManager*>(n)->OnEvent(kind, a, b);
}

void AIController::OnUnitBuilt(const SimId& id) {
    GameObject* unit = world.FindObject(id);
    // A unit that is gone keeps the pending order for the next.
    if (!unit) return;
    int32_t squadId = pendingOrder ? OrderSquad(*pendingOrder) : 0;
    if (squadId == 0) {
        if (pendingOrder) unit->SetPurpose(OrderPurpose(*pendingOrder));
        for (ListNode* n = managers.First(); n; n = managers.Next(n)) {
            int32_t claimed = 0;
            if (static_cast<AIManager*>(n)->ClaimUnit(*unit, claimed) == 1) {
                squadId = claimed;
                break;
            }
        }
    }
    pendingOrder.reset();
    AdoptUnit(*unit, squadId);
}

void AIController::OnUnitLost(GameObject* unit) {
    // A unit never adopted (a captured one) must not take the counts below 0.
    auto lower = [](int32_t& count) {
        if (count <= 0) return false;
        --count;
        return count == 0;
    };
    const char role = unit_traits::RoleOf(unit);
    if (role == 'f') {
        lower(minerCount);
    } else if (role == 'h') {
        lower(scavengerCount);
    } else if (role == 'k') {
        lower(repairerCount);
    }
    const int type = unit_traits::StructureType(unit);
    if (type < 0 || !lower(typeCounts[type])) return;
    auto* node = new ListNode;
    node->key = type;
    if (type == 3) {
        typeQueue.PushFront(node);
    } else {
        typeQueue.PushBack(node);
    }
}

void AIController::OnBlocked(GameObject* unit, const SimId& blockerId) {
    GameObject* blocker = world.FindObject(blockerId);
    if (!blocker) return;
    if (blocker->GetKind() == kWreck) {
        int reaching = 1;
        if (unit->GetKind() == kFactoryKind) {
            auto* sim = dynamic_cast<Sim*>(unit);
            reaching = sim ? sim->CountWeaponsWithRange(
                                 Distance(unit->GetPosition(), blocker->GetPosition()), nullptr)
                           : 0;
        }
        if (reaching == 0) {
            unit->ExecuteOrder(kMove, 0x15, blocker->GetPosition(), SimId(), 0);
        } else {
            unit->SetLastAttacker(blocker);
        }
        return;
    }
    if (!IsAlliedWith(blocker->GetTeam())) return;
    if (blocker->GetKind() == kDeployed) {
        blocker->UndeployNow();
    } else if (world.unitMakers.MoveBlockerAside(unit, blocker, 0, AsideCaller::Controller) == 1) {
        blocker->ExecuteOrder(kStopGuarding, 0, Point(), SimId(), 0);
    }
}

// An enemy, or a wreck, in the way of a unit whose design's stance fires on its own, and that is
// not its target, is named the unit's attacker, unless one its weapons reach is already, so that
// its weapons turn on it and the attack rule takes it on. Left alone, an army whose way led past
// an enemy busy elsewhere stood behind it for minutes, firing at nothing, as the route asked
// again led through it; and one held in a field of wrecks before an enemy base stood there for
// minutes, each unit asking a way round every step. A wreck so named is forgotten after a while
// (BlockedStepPolicy), one named after a failed search (OnBlocked) is not.
void AIController::OnStepRefused(GameObject* unit, GameObject* blocker) {
    auto* sim = dynamic_cast<Sim*>(unit);
    if (!sim || !blocker) return;
    const bool wreck = blocker->GetKind() == kWreck;
    if (!(wreck ? BlockedStepPolicy::ShootsWreckInTheWay(*sim)
                : BlockedStepPolicy::StanceFires(*sim)))
        return;
    if (!wreck && (blocker->GetTeam() == 0 || sim->IsHostileTo(blocker) != 1)) return;
    Goal* front = sim->goals.Front();
    GameObject* attacker = world.FindObject(sim->lastAttacker);
    if ((front && front->GetTarget() == blocker) || (attacker && sim->CanEngage(attacker) != 0) ||
        sim->lastAttacker == blocker->id)
        return;
    sim->SetLastAttacker(blocker);
    if (wreck) BlockedStepPolicy::NoteWreckNamed(*sim, *blocker);
}

void AIController::OnEngaging(GameObject* unit, GameObject* target) {
    if (target->IsDestroyed()) return;
    unit->holdFlag = 0;
    SimId blocking;
    unit->GetBlockingSim(blocking);
    if (target->id == blocking) return;
    auto* sim = dynamic_cast<Sim*>(unit);
    int carried = 0;
    const int reaching = sim ? sim->CountWeaponsWithRange(
                                   Distance(unit->GetPosition(), target->GetPosition()), &carried)
                             : 0;
    VehicleDesign* design = unit->GetDesign();
    if (reaching < carried) {
        if (reaching >= 1 && target->GetKind() != kCaptureUnit) unit->holdFlag = 1;
        if (design) design->SetParameter(5, 1);
        if (sim) sim->pressOn = 0;
    } else {
        if (design) design->SetParameter(5, 0);
        if (sim) sim->pressOn = 1;
    }
}

void AIController::OnEnemySeen(GameObject* object) {
    const int32_t objectTeam = object->GetTeam();
    // A human team's factory: a team without a controller, or the local team (they differ
    // only under auto-play).
    if (targetTeam == 0 && object->GetKind() == kFactoryKind && objectTeam >= 1 &&
        objectTeam < World::kTeams &&
        (!world.controllers[objectTeam] || objectTeam == world.LocalTeam()))
        targetTeam = objectTeam;
    object->SetReferencePoint(team, object->GetPosition());
    if (level < 3 || object->GetKind() != kCaptureUnit || object->GetLastAttacker()) return;
    for (const SimId& id : TeamIds(world, team)) {
        GameObject* unit = world.FindObject(id);
        if (!unit) continue;
        GameObject* chased = unit->goals.AttackTarget(unit, 0);
        if (chased && chased->GetKind() == kCaptureUnit) continue;
        if (!unit->CanEngage(object)) continue;
        if (unit_traits::IsStructure(unit)) {
            unit->SetLastAttacker(object);
        } else {
            unit->ExecuteOrder(kAttack, 7, object->GetPosition(), object->id, 0);
        }
        return;
    }
}

void AIController::OnCaptured(GameObject* capturer, GameObject* captured) {
    if (captured->IsDestroyed()) return;
    if (captured->GetTeam() != capturer->GetTeam()) captured->ChangeTeam(capturer->teamRecord, 1);
    captured->SetOwner(this);
    captured->BuildManoeuvreList();
}
