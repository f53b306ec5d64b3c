#pragma once
// A cannon: a tracer grows out of the muzzle, runs along the path and reaches the aim point as
// a half-second countdown ends and the shot strikes.
#include <cstdint>

#include "objects/Weapon.h"

class CannonWeapon : public Weapon {
public:
    static constexpr int32_t kCountdownMs = 500;
    static constexpr int32_t kVarnokColour = 19;
    static constexpr int32_t kOtherColour = 100;

    CannonWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
                 const CollisionFilter& filter, const SimId& id, int hitRoll);

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    int32_t countdown = kCountdownMs;
    int32_t colour = kOtherColour;
    // How far along the path the tracer's head and tail stand, 0 at the muzzle, 1 at the aim.
    double headFraction = 0.2;
    double tailFraction = 0.0;
};
