#include "objects/SpinWeapon.h"

#include "core/DisplayBase.h"
#include "ui/ScreenBase.h"

SpinWeapon::SpinWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
                       const CollisionFilter& filter, const SimId& id, int hitRoll)
    : Weapon(owner, target, weapon, hardpoint, filter, id, hitRoll, 1) {
    PlayFiringSound();
}

void SpinWeapon::Update(int elapsedMs) {
    if (countdown > 0)
        countdown -= elapsedMs;
    else
        FireAtEndOfEffect();
    spinPhase += kPhaseStep;
    if (spinPhase > kPhaseLimit) spinPhase = 0;
}

void SpinWeapon::Draw(ScreenBase& view) {
    GameObject* owner = Owner();
    if (!owner || countdown <= 0 || !display) return;
    const Point from = view.MapToScreen(Muzzle(owner));
    const Point to = view.MapToScreen(GetAimPoint());
    display->DrawLine(kColour, 1, from, to);
    // Dashes of 2 pixels between gaps of 20, the first gap as long as the phase.
    display->DrawDashedLine(kColour, 3, 2, 20, spinPhase, from, to);
}
