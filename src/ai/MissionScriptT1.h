#pragma once
// Mission 1 of the second clan: squad 7 goes for the player's factory at once; when it is back
// to assembling at three minutes (its target gone), it patrols back and forth.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptT1 : public MissionScript {
public:
    MissionScriptT1(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT1() override;

    static constexpr int32_t kWaitMs = 180000;

    void Setup(int level) override;
    void Update(Timer& budget) override;
};
