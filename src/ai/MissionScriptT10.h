#pragma once
// Mission 10 of the second clan: squads of twenty until three minutes have passed, of three
// after; captured objects fight for the team, and once two attacks have gone out the capture
// units of squad 8 go for the player's nearest objects one at a time.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptT10 : public MissionScript {
public:
    MissionScriptT10(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT10() override;

    static constexpr int32_t kMinimumSize = 20;
    static constexpr int32_t kAwakeSize = 3;
    static constexpr int32_t kWaitMs = 180000;
    static constexpr int32_t kCaptureCode = 8;
    static constexpr int32_t kMaxAttackSize = 6;
    static constexpr int kMoveFlags = 0xd;
    static constexpr int kAttackFlags = 0xb;

    void OnEvent(int32_t kind, void* a, void* b) override;
    void Setup(int level) override;
    void Update(Timer& budget) override;

private:
    void OnCaptured(GameObject* capturer, GameObject* captured);
    // The first idle capture unit goes for the player's object nearest to it.
    void SendCaptureUnit();
    // The local team's object nearest to the point (the first of equal distances), null while
    // this team has no factory.
    GameObject* NearestLocal(const Point& from);
};
