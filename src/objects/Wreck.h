#pragma once
// What a destroyed unit leaves: a neutral object of kind 3 whose cargo is its salvage.
// Scavengers and hits wear it away; its picture and footprint shrink with it, and it dies when
// the salvage runs out.
#include <memory>

#include "map/ObjectKinds.h"
#include "objects/GameObject.h"

class TimerNode;

class Wreck : public GameObject {
public:
    static constexpr int32_t kSmokeMs = 30000;
    // The picture never shrinks the footprint below a tile and two pixels.
    static constexpr int32_t kMinimumSide = 34;

    // Built as a local object; its four parking docks stand 64 pixels off each corner.
    Wreck(const Point& position, int moveDelay, const Size& size, SpriteSet* sprites, int frame,
          const CollisionFilter& filter, const SimId& id, int maxDamage, char clanLetter,
          char chassisLetter);
    ~Wreck() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    // A wreck is not drawn through sensor layers.
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    int IsDestroyed() override;
    void TakeDamage(WeaponTemplate* weapon, const SimId& attacker, EffectTemplate* explosion,
                    int amount) override;
    void ApplyDamageState(int32_t a, int32_t b, char p, char q, char r) override;
    void ApplyHit(char weaponRole, char explosionRole, char clan, const SimId& attacker) override;
    int GetKind() override { return ObjectKind::kWreck; }

    std::unique_ptr<TimerNode> smoke;
    char clanLetter;
    char chassisLetter;
};
