#pragma once
// Stand-ins for the four managers of a planning controller until their own classes replace
// this file: each claims nothing, thinks nothing and runs no squads of its own. The controller
// reaches the managers' classes only through this header.
#include <cstdint>

#include "ai/AIManager.h"

class GameObject;

class SquadPoolManager : public AIManager {
public:
    using AIManager::AIManager;
    int Think() override { return 0; }
    void OnEvent(int32_t, void*, void*) override {}
    int ClaimUnit(GameObject&, int32_t&) override { return 0; }
};

class BuildPlanner : public AIManager {
public:
    using AIManager::AIManager;
    int Think() override { return 0; }
    void OnEvent(int32_t, void*, void*) override {}
    int ClaimUnit(GameObject&, int32_t&) override { return 0; }
    // Counts an anchor (factory, miner, repairer, structure) in the home squad without making
    // it the object's squad.
    void AddToSquad(GameObject& object);
};

class AIGroupManager : public AIManager {
public:
    using AIManager::AIManager;
    int Think() override { return 0; }
    void OnEvent(int32_t, void*, void*) override {}
    int ClaimUnit(GameObject&, int32_t&) override { return 0; }
};

class SquadRecruiter : public AIManager {
public:
    using AIManager::AIManager;
    int Think() override { return 0; }
    void OnEvent(int32_t, void*, void*) override {}
    int ClaimUnit(GameObject&, int32_t&) override { return 0; }
};
