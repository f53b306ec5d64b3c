#pragma once
// A weapon mount: it turns toward its target two facings an update, reloads, and fires when it
// faces a target of another team in reach on a layer its shots can hit. In a network game it
// holds its next shot until every other machine has made the last one.
#include <cstdint>

#include "objects/SpriteAttachment.h"

class PartAttachment : public SpriteAttachment {
public:
    static constexpr int32_t kRevealMs = 3000;
    static constexpr int kTurnStep = 2;
    static constexpr int kReachMargin = 10;

    PartAttachment(WeaponTemplate* weapon, int hardpoint);
    ~PartAttachment() override;

    void Step(Sim& owner) override;
    void Update(int elapsedMs, Sim& owner) override;
    ValueCounter GetReloadCounter() override { return reload; }
    WeaponTemplate* GetTemplate() override { return weapon; }
    void SetTemplate(WeaponTemplate* t) override;
    Point GetMuzzleOffset() override;
    int InRange(const Point& from, GameObject* target) override;
    SimId GetTarget() override { return target; }
    void SetTarget(const SimId& id) override { target = id; }
    void AddElapsed(int ms) override { elapsed += ms; }
    virtual void SetEngaged(int flag) { engaged = flag; }
    virtual int IsEngaged() { return engaged; }

    // Fires when the mount faces the target; 1 when a shot was made and listed.
    int Fire(GameObject* targetObject, Sim& owner);
    void AddAcknowledgement() override { ++acknowledgements; }

    ValueCounter reload;
    // Not owned: the part record seen as a weapon.
    WeaponTemplate* weapon;
    SimId target;
    int32_t elapsed = 0;
    int32_t engaged = 0;
    int32_t fireAgreed = 1;
    int32_t acknowledgements = 0;
};
