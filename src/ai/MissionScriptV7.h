#pragma once
// Mission 7 of the first clan: squad 9 patrols a loop from the start; attacks go at the
// player's structures of code 3 first.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV7 : public MissionScript {
public:
    MissionScriptV7(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV7() override;

    static constexpr int32_t kPatrolCode = 9;
    static constexpr int32_t kMaxAttackSize = 5;
    static constexpr int32_t kTargetStructure = 3;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventA(kind, a, b); }
    void Setup(int level) override;
    void Update(Timer& budget) override;
    GameObject* TargetObject() override;
};
