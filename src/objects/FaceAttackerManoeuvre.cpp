#include "objects/FaceAttackerManoeuvre.h"

#include "core/Vector.h"
#include "objects/GameObject.h"
#include "objects/Sim.h"

FaceAttackerManoeuvre::~FaceAttackerManoeuvre() = default;

int FaceAttackerManoeuvre::Execute(Sim& sim) {
    // 1.
    GameObject* attacker = sim.IsBusy() == 0 ? sim.GetLastAttacker() : nullptr;
    if (!attacker) return 0;
    const Vector v(attacker->GetPosition() - sim.GetPosition());
    // 2.
    if (GameObject::FacingFromAngle(v.angle) != sim.facing)
        sim.facing = GameObject::NormaliseFacing(GameObject::TurnToward(sim.facing, v, 1));
    // 3. Turning never stops the rules below.
    return 0;
}
