#pragma once
// The planning controller of a computer-run team (skirmish games and mission 11), and the base
// of the campaign's scripted players. It keeps an influence grid of the map, hands its work to
// four managers (squad pool, build planner, group manager, recruiter) that run squads of its
// units, plans production through build orders that the team's factory builds, and reacts to
// its team's events. The World drives it with a time budget shared by every computer team;
// each step checks the budget and keeps a cursor, so a cut-short turn resumes where it stopped.
//
// Its operations are split by concern: AIController.cpp (data, levels, set-up, route
// analysis), AIControllerCycle.cpp (the per-tick cycle, threat check, adoption and events),
// AIControllerProduction.cpp (build orders and production) and AIControllerShared.cpp (what
// the managers share: squad lookups, order counts, strength balance, objective search).
#include <cstdint>
#include <memory>
#include <vector>

#include "core/NodeList.h"
#include "core/Point.h"
#include "core/SimId.h"
#include "core/Timer.h"
#include "objects/Squad.h"
#include "world/ScenarioController.h"

class AIGroupManager;
class AIManager;
class BuildPlanner;
class DesignRules;
class FactoryProduction;
class GameObject;
class InfluenceCell;
class InfluenceGrid;
class SquadPoolManager;
class SquadRecruiter;
class VehicleDesign;
class World;

class AIController : public ScenarioController {
public:
    static constexpr int32_t kThinkPeriodMs = 2000;
    static constexpr int32_t kFirstThreatPeriodMs = 600000;
    static constexpr int32_t kThreatPeriodMs = 120000;
    static constexpr int kMaxQueuedOrders = 11;
    static constexpr int kStructureTypes = 6;
    // The term of a strength balance whose divisor is 0.
    static constexpr int32_t kUnmatched = 0xffffff;

    // Strategy bits (Q).
    static constexpr int32_t kStrategyType2 = 0x01;
    static constexpr int32_t kStrategyType1 = 0x02;
    static constexpr int32_t kStrategyType4 = 0x04;
    static constexpr int32_t kStrategyType5 = 0x08;
    static constexpr int32_t kStrategyArmedFactory = 0x10;
    static constexpr int32_t kStrategyType0 = 0x20;

    // Controller events beyond those of the map objects.
    enum Event : int32_t {
        kDamaged = 0,
        kUnitBuilt = 1,
        kUnitLost = 2,
        kBlocked = 3,
        kEngaging = 5,
        kEnemySeen = 9,
        kPoolChanged = 10,
        kFactoryIdle = 11,
        kPoolMoved = 12,
        kCaptured = 13,
    };

    // The level tables, index level 1 .. 5 (0 unused).
    static const int32_t kSkill[6];
    static const int32_t kStartStore[6];
    static const int32_t kStartCargo[6];
    static const int32_t kStartResources[6];
    static const float kBuildTimeFactor[6];
    static const int32_t kThreatLimit[6];

    // Nothing is started.
    AIController(int32_t team, char clan, int32_t techLevel);
    ~AIController() override;
    AIController(const AIController&) = delete;
    AIController& operator=(const AIController&) = delete;

    // --- EventReceiver, TeamController, ScenarioController
    void OnEvent(int32_t kind, void* a, void* b) override;
    // The squad with that id among the managers' squads, or null.
    Squad* FindSquad(int32_t squadId) override;
    void Update(Timer& budget) override;
    void PauseTimers() override;
    void ResumeTimers() override;
    void StartPlay() override;
    void PrepareDesigns() override {}
    char ClanLetter() override { return clan; }
    int32_t TargetTeam() override { return targetTeam; }
    void SetTargetTeam(int32_t value) override { targetTeam = value; }
    void SendAllAgainst(int team) override {
        targetTeam = team;
        LaunchAllOutAttack();
    }
    int32_t StrategyBits() override { return strategyBits; }
    void SetStrategyBits(int32_t bits) override { strategyBits = bits; }
    int32_t Aggressiveness() override { return aggressiveness; }
    void SetAggressiveness(int32_t value) override { aggressiveness = value; }
    void GetRallyPoint(Point& out) override { out = rallyPoint; }
    void SetRallyPoint(const Point& p) override { rallyPoint = p; }
    void GetObjectiveId(SimId& out, int index) override { out = ObjectiveId(index); }
    void AddObjectiveId(const SimId& id, int key) override;
    // The scenario's W pair: the order whose design was in production.
    void SetDesignRules(std::unique_ptr<DesignRules> rules, int32_t purpose) override;
    DesignRules* GetDesignRules() override { return pendingOrder.get(); }
    int32_t DesignPurpose() override;
    void Setup(int level) override;

    // --- Further virtual operations (the scripted players override them)
    // 1 when every manager's squads ran to the end in this pass.
    virtual int UpdateSquads(Timer* budget);
    virtual void SetLevel(int newLevel);

    // --- Levels
    // The value times the level's build-time factor (single precision), truncated; the
    // factory scales its build times with it.
    int32_t ScaleByLevel(int32_t value) override;
    void OnStepRefused(GameObject* unit, GameObject* blocker) override;
    int32_t Level() const { return level; }
    Point RallyPoint() const { return rallyPoint; }
    // The n-th objective; the first when there is no n-th; null when there is none.
    SimId ObjectiveId(int n) const;

    // --- The cycle (AIControllerCycle.cpp)
    void AdoptUnit(GameObject& unit, int32_t squadId);
    void CheckThreat();
    // Sends every combat unit of the team against the target team's factory.
    void LaunchAllOutAttack();

    // --- Production (AIControllerProduction.cpp)
    // An idle unit of the team that fits the request, handed over at once, or null (and the
    // request queued as a build order unless higherPriority or the queue is full).
    GameObject* RequestUnits(const DesignRules& request, int higherPriority, const Point* near,
                             int maxDistance, int noSearch);
    void ProductionStep(GameObject& factory, FactoryProduction& controls);
    std::unique_ptr<VehicleDesign> NextBuild(GameObject& factory, FactoryProduction& controls);
    void PlanOrder(DesignRules& order, GameObject* factory);
    // Resets the first production counter and the ore-change counter.
    void ResetProductionCounters();

    // --- Shared with the managers (AIControllerShared.cpp)
    // The first manager, in list order, that runs the squad; null.
    AIManager* ManagerOfSquad(int32_t squadId) const;
    // Build orders (pending and queued) of the manager's squads, with that purpose and squad
    // (0: any).
    int CountOrders(const AIManager* manager, int32_t purpose, int32_t squadId) const;
    // Own survival minus enemy survival over the cells (null: every cell of the grid, from
    // the totals of its last refresh); positive: the own side outlasts. enemyFilter 0 means
    // every unallied team; a squad's commanded members stand for the own side when given.
    int32_t StrengthBalance(const std::vector<InfluenceCell*>* cells, int32_t enemyFilter,
                            Squad* squad, int32_t ownMask, int32_t enemyMask) const;
    // The destructible objects within 2000 px of the point with no enemy firepower around,
    // nearest first, as the objectives.
    void FindObjectives(const Point& p);
    // The team's factory, or null.
    GameObject* Factory() const;
    int32_t Team() const { return team; }
    InfluenceGrid* Grid() const { return grid.get(); }
    // 1 when the other team is allied with this one (a team is allied with itself).
    int IsAlliedWith(int32_t otherTeam) const;
    // The order's squad id, purpose, priority in a DesignRules record.
    static int32_t OrderSquad(const DesignRules& order);
    static int32_t OrderPurpose(const DesignRules& order);
    static int32_t OrderPriority(const DesignRules& order);
    static void SetOrderSquad(DesignRules& order, int32_t squadId);
    static void SetOrderPurpose(DesignRules& order, int32_t purpose);
    static void SetOrderPriority(DesignRules& order, int32_t priority);

    // --- Route analysis, once per game for every controller
    void AnalyseRoutes(GameObject& factory);

    // --- Data, in the order the design gives it
    int32_t team;
    char clan;
    int32_t techLevel;
    Timer thinkTimer{kThinkPeriodMs};
    // Of AIManager, owned, sorted by manager id.
    NodeList managers;
    // The four managers (owned by the list above).
    BuildPlanner* buildPlanner = nullptr;
    SquadPoolManager* squadPool = nullptr;
    SquadRecruiter* recruiter = nullptr;
    AIGroupManager* groupManager = nullptr;
    // 1 refresh the grid, 2 managers think, 3 run the squads.
    int32_t cycleState = 1;
    // Where state 2 and the squad run resume (null: the first manager). Managers live as long
    // as the controller.
    AIManager* thinkCursor = nullptr;
    AIManager* squadCursor = nullptr;
    // Of DesignRules, owned, sorted by priority key.
    NodeList buildOrders;
    std::unique_ptr<DesignRules> pendingOrder;
    std::unique_ptr<VehicleDesign> heldDesign;
    std::unique_ptr<InfluenceGrid> grid;
    int32_t oreAtLastJob = 0;
    int32_t oreChangeCounter = 0;
    int32_t firstProductionCounter = 10;
    int32_t secondProductionCounter = 10;
    int32_t minerCost = 0;
    int32_t minerCount = 0;
    int32_t scavengerCount = 0;
    int32_t repairerCount = 0;
    int32_t typeCounts[kStructureTypes] = {};
    // Structure types still wanted: plain nodes whose key is the type.
    NodeList typeQueue;
    Timer threatTimer{kFirstThreatPeriodMs};
    int32_t alarm = 0;
    uint16_t level = 3;
    // P, Q, R, S, T.
    int32_t targetTeam = 0;
    int32_t strategyBits = 0;
    int32_t aggressiveness = 0;
    Point rallyPoint;
    // Of SimIdNode keyed by distance (or 0).
    NodeList objectives;
    int32_t needsWaterCrossing = 0;
    int32_t needsRCrossing = 0;

    // Beside the design's fields: the factory's busy state of the last update, the last
    // adopted miner's field-7 sum / 1000, and the purpose stored with a W pair.
    int32_t factoryWasBusy = 0;
    int32_t minerStrength = 0;

protected:
    World& world;

private:
    // Lists an order in the queue by its priority key.
    void QueueOrder(std::unique_ptr<DesignRules> order);
    // Setup steps 6, 7 and 8.
    void ChooseStrategy(int tableLevel);
    void ReequipFactory(GameObject& factory);
    void FillTypeQueue();
    void HandOutOrders();
    GameObject* FindIdleUnit(const DesignRules& request, int higherPriority, const Point* near,
                             int maxDistance);
    void OnUnitBuilt(const SimId& id);
    void OnUnitLost(GameObject* unit);
    void OnBlocked(GameObject* unit, const SimId& blockerId);
    void OnEngaging(GameObject* unit, GameObject* target);
    void OnEnemySeen(GameObject* object);
    void OnCaptured(GameObject* capturer, GameObject* captured);
    // Attack order 2 against the factory, with a move to its remembered position first when
    // it is out of sight.
    void SendAgainstFactory(GameObject& unit, GameObject& factory);
    void EndCycle();
    // Releases every object that names this controller as owner.
    void ReleaseOwnedObjects();
};
