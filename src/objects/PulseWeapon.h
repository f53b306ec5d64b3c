#pragma once
// A pulse: a fan of bars widens from the muzzle, 22 pixels every 50 ms, and the shot strikes
// when its reach passes the target (or the weapon's range). It follows its part's target.
#include <cstdint>

#include "core/Timer.h"
#include "objects/Weapon.h"

class PulseWeapon : public Weapon {
public:
    static constexpr int32_t kStepMs = 50;
    static constexpr int32_t kReachStep = 22;
    static constexpr int32_t kColour = 32;

    PulseWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
                const CollisionFilter& filter, const SimId& id, int hitRoll);
    ~PulseWeapon() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    int32_t reach = 0;
    Timer stepTimer{kStepMs};
    int32_t barOffset = 2;
};
