#pragma once
// A pick-up (kind 8) with one of five effects on the unit that takes it: ore or credit for the
// team's factory, more armour, an upgrade, or a fifth of its armour as damage. Once taken it
// plays its pick-up sequence and its effect's sequence on the taker, then ends.
#include <cstdint>

#include "core/Timer.h"
#include "map/ObjectKinds.h"
#include "objects/GameObject.h"

class Sound;

class Artifact : public GameObject {
public:
    static constexpr int32_t kStepMs = 50;
    static constexpr int32_t kFactoryGift = 1000;

    // The effect drawn at random: 1 .. 5, or 3 .. 5 in mission 10 of clan V.
    Artifact(const Point& position, const Size& size, SpriteSet* sprites, Sound* pickupSound,
             const CollisionFilter& filter, const SimId& id);
    // As made on another machine, with the effect given.
    Artifact(const Point& position, const Size& size, SpriteSet* sprites, Sound* pickupSound,
             const CollisionFilter& filter, const SimId& id, int effectType);
    ~Artifact() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    int GetKind() override { return ObjectKind::kArtifact; }

    // Who may take one: whatever drives onto it, a unit of any kind (deployed or not) or a
    // factory, on every machine alike. The host grants a guest's claim by this rule as it lets
    // its own objects take one.
    static int MayBeTakenBy(GameObject* taker);
    // A unit reached it. Taken once: a second pick-up changes nothing. In a network game the
    // host alone decides: a guest's own unit only claims it (its kind 35 goes to the host), and
    // the host's pick-up is announced to every machine as the award (kind 56).
    void PickUp(GameObject* taker);
    // The pick-up itself, on whatever machine: the award's receivers call it directly.
    void Take(GameObject* taker);
    // Taken by a winner this machine does not know yet: retired as taken by that id, without an
    // effect (the caller keeps the effect for the winner). Once only, as Take.
    void Retire(const SimId& winner);
    // A factory gift counts on the factory's own machine only; its ledger tells the others.
    void ApplyEffect(GameObject* taker) { ApplyEffectOf(effectType, taker); }
    static void ApplyEffectOf(int effectType, GameObject* taker);
    // 1 for the effects 1 .. 5; anything else (an old or damaged record) has none and ends
    // after its pick-up sequence.
    static int IsEffect(int type) { return type >= 1 && type <= 5 ? 1 : 0; }

    int32_t effectType;
    int32_t stage = 0;
    int32_t stageFrame = 0;
    // Never started before the pick-up, so it counts as expired on the first update after it.
    Timer stepTimer{kStepMs};
    int32_t taken = 0;
    SimId takerId;
    // Not owned.
    Sound* pickupSound;

private:
    // The last frame index of a stage's picture sequence (0 without pictures).
    int LastFrameOfStage(int s);
};
