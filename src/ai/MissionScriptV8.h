#pragma once
// Mission 8 of the first clan: nothing attacks until the team is hit where it hurts or seven
// minutes have passed; spiders guard the player's unit 54 until it is found, and the first
// launch turns the factory over to spiders.
#include <cstdint>

#include "ai/MissionScript.h"
#include "core/SimId.h"

class MissionScriptV8 : public MissionScript {
public:
    static constexpr int32_t kExplorerCode = 6;
    static constexpr int32_t kSpiderCode = 10;
    static constexpr int32_t kMinimumSize = 5;
    static constexpr int32_t kSpiderSquadSize = 6;
    static constexpr int32_t kUnlockMs = 420000;
    static constexpr int32_t kObjectHit = 7;
    static constexpr int32_t kGuardSpacing = 20;
    static constexpr int kExplorerParameter = 5;
    static constexpr const char* kSpider = "TSbbc-----3301 9004299KillerSpider";

    MissionScriptV8(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV8() override;

    void OnEvent(int32_t kind, void* a, void* b) override;
    void Setup(int level) override;
    void Update(Timer& budget) override;
    int LaunchAttack(Squad& squad) override;
    // The first of the player's objects this team has seen, else the player's factory when
    // seen; null.
    GameObject* TargetObject() override;

    int32_t attackUnlocked = 0;
    int32_t launchCounter = 0;
    SimId guardedId{1, 54};

private:
    // The first member of squad 6 leaves it and explores.
    void PromoteExplorer();
    void OnNewUnit(const SimId& id);
    bool Known(GameObject& object) const;
};
