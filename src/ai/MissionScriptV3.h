#pragma once
// Mission 3 of the first clan: production waits three minutes; attacks go at the player's
// miners first, each needing one unit more, up to five.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV3 : public MissionScript {
public:
    MissionScriptV3(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV3() override;

    static constexpr int32_t kHoldMs = 180000;
    static constexpr int32_t kMaxAttackSize = 5;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventA(kind, a, b); }
    void Setup(int level) override;
    void Update(Timer& budget) override;
    GameObject* TargetObject() override;
};
