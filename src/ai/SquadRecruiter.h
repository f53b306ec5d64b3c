#pragma once
// The manager (id 4) of a planning controller that gathers the units a script or an order
// marked with a purpose code 10 .. 39 into one squad per code. It never thinks.
#include <cstdint>

#include "ai/AIManager.h"

class SquadRecruiter : public AIManager {
public:
    static constexpr int32_t kFirstCode = 10;
    static constexpr int32_t kLastCode = 39;

    using AIManager::AIManager;
    ~SquadRecruiter() override;

    int Think() override { return 0; }
    void OnEvent(int32_t, void*, void*) override {}
    int ClaimUnit(GameObject& unit, int32_t& squadId) override;
};
