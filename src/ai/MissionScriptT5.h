#pragma once
// Mission 5 of the second clan: every three minutes the next squad of codes 10 to 28 that has
// units is sent at the player's factory, keeping its code.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptT5 : public MissionScript {
public:
    MissionScriptT5(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT5() override;

    static constexpr int32_t kPeriodMs = 180000;
    static constexpr int32_t kFirstWaveCode = 10;
    static constexpr int32_t kLastWaveCode = 28;

    void Setup(int level) override;
    void Update(Timer& budget) override;

    // Where the next wave's search starts.
    int32_t nextSquadCode = kFirstWaveCode;

private:
    void SendNextWave(GameObject& target);
};
