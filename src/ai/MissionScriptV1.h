#pragma once
// Mission 1 of the first clan: squad 9 waits three minutes, then patrols a loop.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV1 : public MissionScript {
public:
    MissionScriptV1(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV1() override;

    static constexpr int32_t kPatrolCode = 9;
    static constexpr int32_t kWaitMs = 180000;

    void Setup(int level) override;
    void Update(Timer& budget) override;
};
