#pragma once
// Mission 5 of the first clan: attacks go at the target team's miners, structures and
// repairers, and at the player once the target team has lost its factory.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV5 : public MissionScript {
public:
    MissionScriptV5(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV5() override;

    static constexpr int32_t kMaxAttackSize = 5;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventA(kind, a, b); }
    void Setup(int level) override;
    GameObject* TargetObject() override;
};
