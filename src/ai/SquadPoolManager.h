#pragma once
// The manager (id 1) of a planning controller that looks after the team's economy: four pools
// of support units (repairers, scavengers, miners, structure units), the requests that fill
// them, the factory's position and the rally point. Each think step first sends the idle pool
// members to work, then either moves the factory or files at most one request, in a fixed
// order of needs.
//
// SquadPoolManager.cpp holds the requests and events, SquadPoolDirection.cpp the orders on
// the map (pool direction and factory moves).
#include <cstdint>
#include <vector>

#include "ai/AIManager.h"
#include "core/Point.h"
#include "core/Rect.h"
#include "core/Timer.h"

class DesignRules;
class GameObject;
class Squad;

class SquadPoolManager : public AIManager {
public:
    static constexpr int32_t kRepairKind = 4;
    static constexpr int32_t kScavengerKind = 3;
    static constexpr int32_t kMinerKind = 2;
    static constexpr int32_t kStructureKind = 5;
    static constexpr int32_t kDirectionPeriodMs = 5000;
    static constexpr int32_t kOreReserve = 2000;
    static constexpr int32_t kFirstMinerOreCeiling = 10000;
    // By level 1 .. 5 (index 0 unused).
    static const int32_t kMostRepairers[6];
    static const int32_t kUnitsPerRepairer[6];
    static const int32_t kWrecksPerScavenger[6];
    static const int32_t kMostMiners[6];
    static const int32_t kOreTrendLimit[6];

    explicit SquadPoolManager(AIController& owner);
    ~SquadPoolManager() override;

    // A scavenger without a goal may serve a higher-priority request; the other pools' units
    // never.
    int IsUnitAvailable(GameObject& unit, int higherPriority) override;
    int Think() override;
    void OnEvent(int32_t kind, void* a, void* b) override;
    // Purposes 4, 3, 2 and 5 join their pools.
    int ClaimUnit(GameObject& unit, int32_t& squadId) override;

    // The needs, in the order Think asks them.
    bool MinerWanted();
    bool RepairerWanted();
    bool ScavengerWanted();
    // Fills the request for the first structure type the controller still wants; 0 when none
    // is due.
    int PlanStructureOrder(DesignRules& request);

    // --- SquadPoolDirection.cpp
    // Every 5000 ms: the idle pool members are sent to work. 1 when a scavenger, a miner or a
    // structure unit was handled.
    int DirectPools();
    // 1 with the point the factory should move to.
    int PlanFactoryMove(Point& out);
    GameObject* ChooseDeposit();
    int FindFactorySite(GameObject& factory, GameObject& deposit, Point& out);
    // The wreck nearest the factory (of those the scavenger's drive reaches, when one is given),
    // unless an enemy factory stands strictly nearer to it.
    GameObject* SafeWreck(GameObject* scavenger = nullptr);

    Squad* Pool(int32_t kind) const;

    int32_t repairPoolId = 0;
    int32_t scavengerPoolId = 0;
    int32_t minerPoolId = 0;
    int32_t structurePoolId = 0;
    Timer directionTimer{kDirectionPeriodMs};
    int32_t firstPlacement = 1;

private:
    // Files the request for the pool; a unit handed over at once joins it.
    void File(DesignRules& request, int32_t kind);
    // The strategy extras of the miner and scavenger requests.
    void AddStrategyExtras(DesignRules& request);
    void SendRepairers(std::vector<GameObject*>& idle, GameObject& factory);
    // Finds a buildable place for a structure unit and sends it there (or deploys it).
    bool PlaceStructure(GameObject& unit);
    // The area covers a cell of the own factory's way out.
    bool HoldsFactoryDoor(const Rect& area);
};
