#pragma once
// Mission 6 of the first clan: attacks go at the player's miners, repairers and structures.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV6 : public MissionScript {
public:
    MissionScriptV6(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV6() override;

    static constexpr int32_t kMaxAttackSize = 5;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventA(kind, a, b); }
    void Setup(int level) override;
    GameObject* TargetObject() override;
};
