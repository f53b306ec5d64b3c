#pragma once
// Mission 2 of the second clan: squad 7 is sent at the player's factory after five minutes;
// every other word keeps a squad of its own.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptT2 : public MissionScript {
public:
    MissionScriptT2(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT2() override;

    static constexpr int32_t kWaitMs = 300000;

    void Setup(int level) override;
    void Update(Timer& budget) override;
    // Squad 7 attacks only through the timed order.
    int LaunchAttack(Squad&) override { return 0; }
};
