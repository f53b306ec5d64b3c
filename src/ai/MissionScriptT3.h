#pragma once
// Mission 3 of the second clan: production waits three minutes; squads of four go for the
// player's factory.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptT3 : public MissionScript {
public:
    MissionScriptT3(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT3() override;

    static constexpr int32_t kHoldMs = 180000;
    static constexpr int32_t kMinimumSize = 4;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventA(kind, a, b); }
    void Setup(int level) override;
    void Update(Timer& budget) override;
};
