#pragma once
// Mission 4 of the first clan: nothing is launched while production is held (three
// minutes); attacks go at the player's structures of code 3 first.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV4 : public MissionScript {
public:
    MissionScriptV4(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV4() override;

    static constexpr int32_t kHoldMs = 180000;
    static constexpr int32_t kMaxAttackSize = 5;
    static constexpr int32_t kTargetStructure = 3;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventA(kind, a, b); }
    void Setup(int level) override;
    void Update(Timer& budget) override;
    int LaunchAttack(Squad& squad) override;
    GameObject* TargetObject() override;
};
