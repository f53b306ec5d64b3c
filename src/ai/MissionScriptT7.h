#pragma once
// Mission 7 of the second clan: mission 6's with squads of three; its timer starts but
// nothing waits for it.
#include <cstdint>

#include "ai/MissionScriptT6.h"

class MissionScriptT7 : public MissionScriptT6 {
public:
    MissionScriptT7(int32_t team, char clan, int32_t techLevel)
        : MissionScriptT6(team, clan, techLevel) {}
    ~MissionScriptT7() override;

    static constexpr int32_t kMinimumSize = 3;
    static constexpr int32_t kTimerMs = 120000;

    void Setup(int level) override;
};
