#pragma once
// A burst: the firing effect plays at the firing part, a frame every 100 ms, and the shot
// strikes after its last frame.
#include <cstdint>

#include "core/Timer.h"
#include "objects/Weapon.h"

class BurstWeapon : public Weapon {
public:
    static constexpr int32_t kFramePeriodMs = 100;

    BurstWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
                const CollisionFilter& filter, const SimId& id, int hitRoll);
    ~BurstWeapon() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    Timer frameTimer{kFramePeriodMs};
    int32_t frame = 0;
};
