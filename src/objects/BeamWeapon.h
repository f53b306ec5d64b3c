#pragma once
// A beam: the firing part flashes and, from the flash's fifth frame, a line runs from the part
// to the aim point until a one-second countdown ends and the beam strikes.
#include <cstdint>

#include "objects/Weapon.h"

class BeamWeapon : public Weapon {
public:
    static constexpr int32_t kCountdownMs = 1000;
    static constexpr int32_t kFlashPeriodMs = 100;
    static constexpr int32_t kColour = 18;
    // The line shows only while the flash frame is above this.
    static constexpr int32_t kLineFromFrame = 3;

    BeamWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
               const CollisionFilter& filter, const SimId& id, int hitRoll);

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    int32_t countdown = kCountdownMs;
    int32_t flashFrame = 0;
    int32_t flashTime = 0;
    // The facing of the firing part when it fired.
    int32_t partFacing = 0;
};
