#pragma once
// Mission 8 of the second clan: squads go for the player's structures and repairers first,
// each launch needing one unit more up to seven; the members approach by one of three points
// (the drives of the first drive flag by either of the last two) and, from the second launch
// on, board the transport 67 first.
#include <cstdint>

#include "ai/MissionScript.h"
#include "core/NodeList.h"
#include "core/SimId.h"

class MissionScriptT8 : public MissionScript {
public:
    MissionScriptT8(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptT8() override;

    static constexpr int32_t kMinimumSize = 3;
    static constexpr int32_t kMaxAttackSize = 7;
    static constexpr int kBoardFlags = 6;
    static constexpr int kApproachFlags = 0x1d;
    static constexpr int kAttackFlags = 0xf;

    void OnEvent(int32_t kind, void* a, void* b) override { HandleEventB(kind, a, b); }
    void Setup(int level) override;
    int LaunchAttack(Squad& squad) override;
    // The first of the player's structures or repairers, else the player's factory.
    GameObject* TargetObject() override;

    // Of PointNode, owned; filled by Setup.
    NodeList approachPoints;
    SimId transportId{2, 67};

private:
    Point ApproachFor(GameObject& member) const;
};
