#pragma once
// Mission 6 of the second clan: squads of two go for the player's factory, each attack needing
// one unit more, up to five.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptT6 : public MissionScript {
public:
    MissionScriptT6(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT6() override;

    static constexpr int32_t kMinimumSize = 2;
    static constexpr int32_t kMaxAttackSize = 5;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventB(kind, a, b); }
    void Setup(int level) override;
    GameObject* TargetObject() override;
};
