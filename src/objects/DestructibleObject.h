#pragma once
// A resource field (kind 5) that miners empty and hits wear away. It takes the colour of the
// team that last mined it; its amount is the root's cargo. The death pass never removes it, so
// once used up it ignores further hits for good.
#include <cstdint>

#include "map/ObjectKinds.h"
#include "objects/GameObject.h"

class DestructibleObject : public GameObject {
public:
    static constexpr int32_t kAnimMs = 100;
    // The exhausted look.
    static constexpr int32_t kEmptyFrame = 2;

    // Its size is the size of the pictures' first frame.
    DestructibleObject(const Point& position, SpriteSet* sprites, const SimId& id);
    ~DestructibleObject() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void TakeDamage(WeaponTemplate* weapon, const SimId& attacker, EffectTemplate* explosion,
                    int amount) override;
    void ApplyDamageState(int32_t a, int32_t b, char p, char q, char r) override;
    int GetKind() override { return ObjectKind::kDestructible; }
    // Only the colour follows the miner; the owning team stays.
    void ChangeTeam(const ValueTriple& record, int flag) override;
    int IsDetectableB() override { return 1; }

    int32_t animClock = 0;
    int32_t animFrame = 0;
    // Set by the mining goal when it starts on the field.
    int32_t animRising = 0;
};
