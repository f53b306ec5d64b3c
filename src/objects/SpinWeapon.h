#pragma once
// A spinning ray: a line from the muzzle to the aim point with dashes crawling along it, for a
// half-second countdown, after which the shot strikes.
#include <cstdint>

#include "objects/Weapon.h"

class SpinWeapon : public Weapon {
public:
    static constexpr int32_t kCountdownMs = 500;
    static constexpr int32_t kColour = 109;
    static constexpr int32_t kPhaseStep = 2;
    static constexpr int32_t kPhaseLimit = 20;

    SpinWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
               const CollisionFilter& filter, const SimId& id, int hitRoll);

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    int32_t countdown = kCountdownMs;
    int32_t spinPhase = 0;
};
