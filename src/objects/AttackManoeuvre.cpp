#include "objects/AttackManoeuvre.h"

#include <vector>

#include "core/Vector.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/SimGroup.h"
#include "objects/Squad.h"

namespace {

constexpr int kMoveFlags = 0x1d;
constexpr int kAttackFlags = 0xf;
constexpr int kFactoryKind = 4;

}  // namespace

AttackManoeuvre::AttackManoeuvre(int32_t autoAttack, int32_t keepTarget)
    : autoAttack(autoAttack), keepTarget(keepTarget) {}

AttackManoeuvre::AttackManoeuvre(const SimId& target)
    : hasFixedTarget(1), fixedTargetId(target), autoAttack(1), keepTarget(0) {}

AttackManoeuvre::~AttackManoeuvre() = default;

GameObject* AttackManoeuvre::Target() {
    if (hasFixedTarget == 1) {
        GameObject* target = TheObjectWorld().FindObject(fixedTargetId);
        if (target && target->IsDestroyed() == 0) return target;
    }
    fixedTargetId = SimId();
    hasFixedTarget = 0;
    return nullptr;
}

int AttackManoeuvre::ShouldAttack(Sim& sim) {
    ObjectWorld& world = TheObjectWorld();
    // 1.
    GameObject* attacker = sim.GetLastAttacker();
    if (!attacker || sim.CountActiveWeapons() == 0) return 0;
    // The computer player's unit answers no attacker its drive cannot reach and no weapon of it
    // reaches from where it stands (the reach rule, World::InReachOf); a player's unit answers
    // as its design says.
    const int distance =
        static_cast<int>(Vector(attacker->GetPosition() - sim.GetPosition()).magnitude);
    if (world.PlaysForComputer(sim.GetTeam()) && !world.InReachOf(&sim, attacker->GetPosition()) &&
        sim.CountWeaponsWithRange(distance, nullptr) == 0)
        return 0;
    if (BlockedStepPolicy::LeavesUnhurtAttacker(sim, *attacker)) return 0;
    // 2.
    if (!sim.groupId.IsNull() && sim.GetRepairPercent() != 0) return 0;
    // 3.
    if (attacker->GetTeam() == sim.GetTeam()) return 0;
    // 4.
    Goal* g = sim.goals.FirstUnfinished();
    if (keepTarget == 1) {
        if (attacker->GetKind() == kFactoryKind && sim.goals.AttackTarget(&sim, 1)) return 0;
        if (lastTargetId.IsNull()) {
            g = sim.goals.Front();
        } else {
            GameObject* last = world.FindObject(lastTargetId);
            if (!last || last->IsDestroyed() != 0) {
                lastTargetId = SimId();
                g = sim.goals.Front();
            }
        }
    }
    // 5.
    if (g) {
        if (autoAttack == 0 || g->IsLocation() != 1 || g->allowManoeuvres == 0 ||
            sim.goals.HasRepairGoal() != 0)
            return 0;
    }
    // 6.
    lastTargetId = attacker->id;
    return 1;
}

int AttackManoeuvre::Execute(Sim& sim) {
    // 1.
    if (ShouldAttack(sim) != 1) return 0;
    // 2.
    GameObject* attacker = sim.GetLastAttacker();
    if (sim.goals.AttackTarget(&sim, 1) == attacker) return 0;
    if (BlockedStepPolicy::WaitsBeforeAttacking(sim, *attacker)) return 0;
    // 3. A unit that breaks off to fight no longer moves with its group.
    if (!sim.groupId.IsNull()) {
        if (auto* group = dynamic_cast<SimGroup*>(TheObjectWorld().FindGroup(sim.groupId)))
            group->RemoveMember(sim);
    }
    // 4.
    manoeuvre::GiveFrontGoal(sim, manoeuvre::AttackOrApproach(sim, *attacker));
    return 1;
}

int AttackManoeuvre::ExecuteForSquad(Squad& squad) {
    ObjectWorld& world = TheObjectWorld();
    // 1.
    GameObject* target = Target();
    if (target && world.AreAllied(target->GetTeam(), squad.Team()) == 1) {
        target = nullptr;
        hasFixedTarget = 0;
    }
    // 2.
    std::vector<GameObject*> idle;
    for (GameObject* member : manoeuvre::Members(squad)) {
        if (!target) target = world.FindObjectNear(member, member->GetEngageRange());
        if (target && manoeuvre::LeftUnhurt(*member, *target)) continue;
        if (!member->goals.AttackGoal(member, 1) && member->goals.HasRepairGoal() == 0)
            idle.insert(idle.begin(), member);
    }
    // 3.
    if (idle.empty() || !target) return 0;
    // 4.
    for (GameObject* member : idle) {
        member->ClearGoals();
        manoeuvre::OrderMemberAgainst(*member, *target, squad.Team(), kMoveFlags, kAttackFlags);
    }
    return 1;
}
