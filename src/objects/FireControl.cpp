#include "objects/FireControl.h"

#include <utility>

#include "catalogue/WeaponTemplate.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/ObjectWorld.h"
#include "objects/PartAttachment.h"
#include "objects/Sim.h"

namespace {

PartAttachment* MountAt(Sim& sim, int i) {
    return dynamic_cast<PartAttachment*>(sim.GetArmedPart(i));
}

GameObject* AttackTarget(Sim& sim) {
    return sim.goals.AttackTarget(&sim, 1);
}

// The candidate's layer is one the mount's shots can hit.
bool Fits(PartAttachment* mount, GameObject* candidate) {
    return candidate && mount->weapon &&
           candidate->GetCollision()->layer <= mount->weapon->shotLayerField;
}

// A mount held on the attack target, whatever its reach, takes the obstacle in the unit's way
// instead while it reaches the obstacle and not the target (BlockedStepPolicy's held mount).
GameObject* HeldTarget(Sim& sim, int i, PartAttachment* mount, GameObject* attackTarget,
                       GameObject* obstacle) {
    if (!obstacle || !Fits(mount, obstacle)) return attackTarget;
    const Point from = sim.GetPosition() + sim.GetMountOffset(i);
    return mount->InRange(from, obstacle) == 1 && mount->InRange(from, attackTarget) == 0
               ? obstacle
               : attackTarget;
}

}  // namespace

void FireControl::AssignWeaponTargets(Sim& sim, int focusFire) {
    if (focusFire == 1)
        FocusFire(sim);
    else
        PickTargetsPerWeapon(sim);
}

void FireControl::FocusFire(Sim& sim) {
    GameObject* attackTarget = AttackTarget(sim);
    GameObject* candidate = attackTarget ? attackTarget : sim.GetLastAttacker();
    if (!candidate) return;
    GameObject* obstacle = attackTarget ? BlockedStepPolicy::ObstacleForHeldMount(sim) : nullptr;
    for (int i = 0; i < sim.partCount; ++i) {
        PartAttachment* mount = MountAt(sim, i);
        if (mount && mount->IsEngaged() == 0)
            mount->SetTarget(HeldTarget(sim, i, mount, candidate, obstacle)->id);
    }
}

void FireControl::PickTargetsPerWeapon(Sim& sim) {
    GameObject* attackTarget = AttackTarget(sim);
    GameObject* first = attackTarget;
    GameObject* second = sim.GetLastAttacker();
    PartAttachment* longest = sim.LongestRangeWeapon();
    if (!first && !second) return;
    ObjectWorld& world = TheObjectWorld();
    GameObject* obstacle = attackTarget ? BlockedStepPolicy::ObstacleForHeldMount(sim) : nullptr;
    for (int i = 0; i < sim.partCount; ++i) {
        PartAttachment* mount = MountAt(sim, i);
        if (!mount || mount->IsEngaged() != 0) continue;
        if (attackTarget && mount == longest) {
            mount->SetTarget(HeldTarget(sim, i, mount, attackTarget, obstacle)->id);
            continue;
        }
        GameObject* current = world.FindObject(mount->GetTarget());
        const Point from = sim.GetPosition() + sim.GetMountOffset(i);
        if (current && mount->InRange(from, current) == 1) continue;
        GameObject* chosen = nullptr;
        if (first && mount->InRange(from, first) == 1 && Fits(mount, first))
            chosen = first;
        else if (second && mount->InRange(from, second) == 1 && Fits(mount, second))
            chosen = second;
        else if (!current && Fits(mount, first))
            chosen = first;
        else if (!current && Fits(mount, second))
            chosen = second;
        else
            chosen = current;
        // Mounts that must choose take the attack target and the last attacker in turn.
        std::swap(first, second);
        mount->SetTarget(chosen ? chosen->id : SimId());
    }
}
