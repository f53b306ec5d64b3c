#pragma once
// Mission 11 of the first clan: the planning controller itself, at the campaign's last tech
// level.
#include <cstdint>

#include "ai/AIController.h"

class MissionScriptV11 : public AIController {
public:
    static constexpr int32_t kTechLevel = 8;

    MissionScriptV11(int32_t team, char clan) : AIController(team, clan, kTechLevel) {}
    ~MissionScriptV11() override;
};
