#include "objects/FireControl.h"

#include <utility>

#include "catalogue/WeaponTemplate.h"
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

}  // namespace

void FireControl::AssignWeaponTargets(Sim& sim, int focusFire) {
    if (focusFire == 1)
        FocusFire(sim);
    else
        PickTargetsPerWeapon(sim);
}

void FireControl::FocusFire(Sim& sim) {
    GameObject* candidate = AttackTarget(sim);
    if (!candidate) candidate = sim.GetLastAttacker();
    if (!candidate) return;
    for (int i = 0; i < sim.partCount; ++i) {
        PartAttachment* mount = MountAt(sim, i);
        if (mount && mount->IsEngaged() == 0) mount->SetTarget(candidate->id);
    }
}

void FireControl::PickTargetsPerWeapon(Sim& sim) {
    GameObject* attackTarget = AttackTarget(sim);
    GameObject* first = attackTarget;
    GameObject* second = sim.GetLastAttacker();
    PartAttachment* longest = sim.LongestRangeWeapon();
    if (!first && !second) return;
    ObjectWorld& world = TheObjectWorld();
    for (int i = 0; i < sim.partCount; ++i) {
        PartAttachment* mount = MountAt(sim, i);
        if (!mount || mount->IsEngaged() != 0) continue;
        if (attackTarget && mount == longest) {
            mount->SetTarget(attackTarget->id);
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
