#pragma once
// Mission 9 of the second clan: squads of three go for the player's factory from the start.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptT9 : public MissionScript {
public:
    MissionScriptT9(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT9() override;

    static constexpr int32_t kMinimumSize = 3;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventB(kind, a, b); }
    void Setup(int level) override;
};
