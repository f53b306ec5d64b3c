#pragma once
// Mission 4 of the second clan: the first clan's mission 4 (three minutes of held production,
// attacks at the player's structures of code 3 first), except that squads are launched during
// the hold too and new structures go on to the outpost at (144, 464).
#include <cstdint>

#include "ai/MissionScriptV4.h"

class MissionScriptT4 : public MissionScriptV4 {
public:
    MissionScriptT4(int32_t team, char clan, int32_t techLevel)
        : MissionScriptV4(team, clan, techLevel) {}
    ~MissionScriptT4() override;

    static constexpr int32_t kOutpostX = 144;
    static constexpr int32_t kOutpostY = 464;

    void OnEvent(int32_t kind, void* a, void* b) override;
    int LaunchAttack(Squad& squad) override { return AIPlayer::LaunchAttack(squad); }
};
