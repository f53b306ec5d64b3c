#pragma once
// Mission 2 of the first clan: squad 7 is sent at the player's factory after five minutes.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV2 : public MissionScript {
public:
    MissionScriptV2(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV2() override;

    static constexpr int32_t kWaitMs = 300000;

    void Setup(int level) override;
    void Update(Timer& budget) override;
    // Squad 7 attacks only through the timed order.
    int LaunchAttack(Squad&) override { return 0; }
};
