#pragma once
// Mission 11 of the second clan: the planning controller at the campaign's last tech level,
// whose team 3 also sends one purpose group (word 10 or 11) by its transport against the
// player's factory every five minutes.
#include <cstdint>

#include "ai/AIController.h"
#include "core/Timer.h"

class MissionScriptT11 : public AIController {
public:
    static constexpr int32_t kTechLevel = 8;
    static constexpr int32_t kWaveTeam = 3;
    static constexpr int32_t kTransportSerial = 60;
    static constexpr int32_t kWavePeriodMs = 300000;
    static constexpr int32_t kFirstWord = 10;
    static constexpr int32_t kSecondWord = 11;

    MissionScriptT11(int32_t team, char clan) : AIController(team, clan, kTechLevel) {}
    ~MissionScriptT11() override;

    void Setup(int level) override;
    void Update(Timer& budget) override;
    // A wave must not be spent in the pause menu.
    void PauseTimers() override;
    void ResumeTimers() override;

    Timer transportTimer{-1};

private:
    void SendWave();
};
