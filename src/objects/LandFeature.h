#pragma once
// A terrain feature of one cell (kind 10, no picture of its own: the terrain draws it) that the
// first hit destroys, leaving an explosion and a blast mark.
#include "map/ObjectKinds.h"
#include "objects/GameObject.h"

class LandFeature : public GameObject {
public:
    // The damage amount of the peers' copy of a hit: it is not announced again.
    static constexpr int kMirroredHit = -22;

    LandFeature(const Point& position, const Size& size, const SimId& id);
    ~LandFeature() override;

    // Destroys it whatever the damage; a destroyed feature ignores further hits until the
    // death pass takes it.
    void TakeDamage(WeaponTemplate* weapon, const SimId& attacker, EffectTemplate* explosion,
                    int amount) override;
    void ApplyDamageState(int32_t a, int32_t b, char p, char q, char r) override;
    int GetKind() override { return ObjectKind::kLandFeature; }
};
