#include "ai/AIController.h"

#include <utility>

#include "ai/AIGroupManager.h"
#include "ai/BuildPlanner.h"
#include "ai/InfluenceGrid.h"
#include "ai/SquadPoolManager.h"
#include "ai/SquadRecruiter.h"
#include "ai/UnitTraits.h"
#include "catalogue/DesignRules.h"
#include "catalogue/VehicleDesign.h"
#include "core/Random.h"
#include "map/CollisionFilter.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "map/SightGrid.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Sim.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/SimIdNode.h"
#include "world/World.h"

const int32_t AIController::kSkill[6] = {550, 550, 600, 650, 750, 800};
const int32_t AIController::kStartStore[6] = {0, 0, 0, 1000, 2500, 3500};
const int32_t AIController::kStartCargo[6] = {0, 0, 0, 1000, 2500, 3500};
const int32_t AIController::kStartResources[6] = {0, 0, 0, 0, 1000, 2000};
const float AIController::kBuildTimeFactor[6] = {1.25f, 1.25f, 1.1f, 1.0f, 0.9f, 0.75f};
const int32_t AIController::kThreatLimit[6] = {200, 200, 150, 100, 50, 30};

namespace {

int ClampLevel(int level) {
    return level < 1 ? 1 : (level > 5 ? 5 : level);
}

// The influence cells cover 4 × 4 sight cells.
constexpr int kCellsPerInfluenceCell = 4;
constexpr int kEngageNearestType = 9;

}  // namespace

AIController::AIController(int32_t team, char clan, int32_t techLevel)
    : team(team), clan(clan), techLevel(techLevel), world(*TheWorld()) {}

AIController::~AIController() {
    // Objects that outlive this controller must not call it from their destructors, and its
    // squads must not be told of objects that are gone: the objects are let go first.
    ReleaseOwnedObjects();
    thinkCursor = nullptr;
    squadCursor = nullptr;
    managers.DeleteAll();
    world.routeAnalysis = World::RouteAnalysis();
}

void AIController::ReleaseOwnedObjects() {
    auto release = [this](NodeList& list) {
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* o = static_cast<ObjectNode*>(n)->Object();
            if (o && o->Owner() == this) o->SetOwner(nullptr);
        }
    };
    for (int t = 0; t < World::kTeams; ++t) {
        release(world.sims[t]);
        release(world.buildings[t]);
    }
}

void AIController::AddObjectiveId(const SimId& id, int key) {
    auto* node = new SimIdNode(id);
    node->key = key;
    objectives.InsertSorted(node, 1);
}

SimId AIController::ObjectiveId(int n) const {
    ListNode* node = objectives.At(n);
    if (!node) node = objectives.First();
    return node ? static_cast<SimIdNode*>(node)->id : SimId();
}

void AIController::SetDesignRules(std::unique_ptr<DesignRules> rules, int32_t purpose) {
    pendingOrder = std::move(rules);
    if (pendingOrder) SetOrderPurpose(*pendingOrder, purpose);
}

int32_t AIController::DesignPurpose() {
    return pendingOrder ? OrderPurpose(*pendingOrder) : 0;
}

void AIController::SetLevel(int newLevel) {
    level = static_cast<uint16_t>(ClampLevel(newLevel));
    AIManager* four[] = {buildPlanner, squadPool, recruiter, groupManager};
    for (AIManager* manager : four)
        if (manager) manager->SetLevel(level);
}

int32_t AIController::ScaleByLevel(int32_t value) {
    // The factor is a single-precision value; the product is taken at full precision and
    // truncated, so 1000 at 0.9 gives 899.
    const double product =
        static_cast<double>(value) * static_cast<double>(kBuildTimeFactor[ClampLevel(level)]);
    return static_cast<int32_t>(product);
}

void AIController::PauseTimers() {
    thinkTimer.Pause();
    threatTimer.Pause();
}

void AIController::ResumeTimers() {
    thinkTimer.Resume();
    threatTimer.Resume();
}

// When the first decision comes. A rule of our own:
//
// | case                        | what happens              | departs from, and why           |
// |-----------------------------|---------------------------|---------------------------------|
// | a network game's play       | the think timer runs out  | the first think 2000 ms after   |
// | starts (every factory       | as play starts: the first | Setup on the wall clock: a      |
// | placed), less than the      | decision comes at the     | skirmish's design screen always |
// | think period after Setup on | battle's first tick, the  | spent it, but a network game    |
// | a quick machine             | factory still folded as   | came to it 1.5 s into play, its |
// |                             | placed, on every machine  | factory open on its own deposit |
// |                             | whatever its speed        | and so passing that deposit     |
// |                             |                           | over; two sides then drove to   |
// |                             |                           | one free deposit and one never  |
// |                             |                           | unfolded. Under load the wait   |
// |                             |                           | was longer and they stayed      |
void AIController::StartPlay() {
    thinkTimer.state = TimerState::Expired;
}

GameObject* AIController::Factory() const {
    return world.TeamFactory(team);
}

int AIController::IsAlliedWith(int32_t otherTeam) const {
    return otherTeam == team || world.AreAllied(team, otherTeam) ? 1 : 0;
}

void AIController::Setup(int setupLevel) {
    // Once per game: a second call would list a second set of managers and pay the factory
    // its starting resources again.
    if (grid) return;
    const int tableLevel = ClampLevel(setupLevel);
    // 1.
    if (world.sight) {
        const Size cell = world.sight->CellSize();
        grid = std::make_unique<InfluenceGrid>(world, kCellsPerInfluenceCell * cell.w,
                                               kCellsPerInfluenceCell * cell.h);
    } else {
        grid = std::make_unique<InfluenceGrid>(world, 0, 0);
    }
    // A saved game's figures hold what its start gave the side: the factory's starting store,
    // cargo and funds, and the strategy with the fit it chose for the factory (kept by the
    // factory's own record). Given again, a level-3 side gained 1,000 store and 1,000 cargo at
    // every load, and a side saved without a strategy drew one, and a refit, anew.
    const bool startGiven = world.scenario && world.scenario->ResumesSavedGame();
    // 2.
    GameObject* factory = Factory();
    if (factory) {
        // 3.
        factory->SetOwner(this);
        if (std::unique_ptr<SquadManoeuvre> engage =
                world.unitMakers.MakeManoeuvre(kEngageNearestType, ManoeuvreArguments())) {
            // Only a Sim keeps what it is given.
            if (factory->IsSim()) factory->AddManoeuvre(engage.release());
        }
        // 4.
        factory->skill = kSkill[tableLevel];
        if (!startGiven) {
            factory->Deposit(kStartStore[tableLevel]);
            factory->AddCargo(kStartCargo[tableLevel]);
            if (FactoryProduction* controls = AsFactoryProduction(factory))
                controls->AddResources(kStartResources[tableLevel], kStartResources[tableLevel]);
        }
        // 5.
        AnalyseRoutes(*factory);
        if (world.routeAnalysis.either) {
            if (RandomRange(1, 10) % 2 == 0) {
                needsWaterCrossing = 1;
            } else {
                needsRCrossing = 1;
            }
        } else {
            needsWaterCrossing = world.routeAnalysis.water;
            needsRCrossing = world.routeAnalysis.r;
        }
        // 6, 7.
        if (strategyBits == 0 && !startGiven) {
            ChooseStrategy(tableLevel);
            ReequipFactory(*factory);
        }
        // 8.
        FillTypeQueue();
        // 9.
        if (aggressiveness == 0) {
            const int x = RandomRange(1, 10) + tableLevel;
            aggressiveness = x <= 3 ? 1 : (x <= 8 ? 2 : 3);
        }
    }
    // 10. SetLevel reaches the managers through their fields, before they are listed.
    auto pool = std::make_unique<SquadPoolManager>(*this);
    auto planner = std::make_unique<BuildPlanner>(*this);
    auto group = std::make_unique<AIGroupManager>(*this);
    auto recruit = std::make_unique<SquadRecruiter>(*this);
    squadPool = pool.get();
    buildPlanner = planner.get();
    groupManager = group.get();
    recruiter = recruit.get();
    SetLevel(setupLevel);
    const std::pair<AIManager*, int32_t> ids[] = {{pool.release(), AIManager::kSquadPoolId},
                                                  {planner.release(), AIManager::kBuildPlannerId},
                                                  {group.release(), AIManager::kGroupManagerId},
                                                  {recruit.release(), AIManager::kRecruiterId}};
    for (const auto& [manager, id] : ids) {
        manager->key = id;
        managers.InsertSorted(manager, 1);
    }
    // 11. A claim may reorder the list; the team's objects are taken as they stood.
    std::vector<SimId> existing;
    if (team >= 0 && team < World::kTeams) {
        NodeList& list = world.sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n))
            if (GameObject* o = static_cast<ObjectNode*>(n)->Object()) existing.push_back(o->id);
    }
    for (const SimId& id : existing) {
        GameObject* object = world.FindObject(id);
        if (!object) continue;
        int32_t squadId = 0;
        AIManager* claimer = nullptr;
        for (ListNode* n = managers.First(); n; n = managers.Next(n)) {
            auto* manager = static_cast<AIManager*>(n);
            if (manager->ClaimUnit(*object, squadId) == 1) {
                claimer = manager;
                break;
            }
        }
        AdoptUnit(*object, squadId);
        if (claimer) {
            SimId objectId = object->id;
            claimer->OnEvent(kUnitBuilt, nullptr, &objectId);
        }
    }
    // 12.
    thinkTimer.Start();
    threatTimer.Start();
}

void AIController::ChooseStrategy(int tableLevel) {
    int low = 0;
    int high = 0;
    if (tableLevel >= 3 && techLevel == 8) {
        low = 2, high = 9;
    } else if (techLevel >= 7) {
        low = 2, high = 8;
    } else if (techLevel == 6) {
        low = 2, high = 6;
    } else if (techLevel == 4 || techLevel == 5) {
        low = 2, high = 3;
    } else if (tableLevel >= 2) {
        low = 1, high = 1;
    }
    const int r = RandomRange(low, high);
    const bool aboveFirst = tableLevel > 1;
    if (r == 1) {
        strategyBits = kStrategyType0;
    } else if (r == 2 || r == 3) {
        strategyBits = kStrategyType2 | (aboveFirst ? kStrategyType0 : 0);
    } else if (r >= 4 && r <= 6) {
        strategyBits = kStrategyType4;
        if (aboveFirst && RandomRange(1, 3) == 1) strategyBits |= kStrategyType0;
    } else if (r == 7 || r == 8) {
        strategyBits = kStrategyType1 | (aboveFirst ? kStrategyType0 : 0);
    } else if (r == 9) {
        strategyBits = kStrategyType0 | kStrategyType5;
    }
    if (techLevel >= 3 && RandomRange(1, 4) != 1) strategyBits |= kStrategyArmedFactory;
}

void AIController::ReequipFactory(GameObject& factory) {
    VehicleDesign* design = factory.GetDesign();
    if (!design) return;
    DesignRules rules(*design);
    if (strategyBits & kStrategyArmedFactory) {
        rules.SetPartFlags(5, 0x20000, 1);
        for (int32_t kind : {3, 1, 2})
            rules.AddWeaponKind(kind);
    } else {
        rules.SetPartFlags(5, 0x20000, 0);
        rules.AddWeaponKind(3);
    }
    if (strategyBits & kStrategyType0) {
        rules.AddPartLetter(2, 'u', 1);
        rules.FillKind2Hardpoints(*design, clan);
    }
    rules.FillWeaponHardpoints(*design, clan);
    if (auto* sim = dynamic_cast<Sim*>(&factory)) sim->BuildParts();
}

void AIController::FillTypeQueue() {
    const std::pair<int32_t, int> order[] = {{kStrategyArmedFactory, 3}, {kStrategyType0, 0},
                                             {kStrategyType1, 1},        {kStrategyType4, 4},
                                             {kStrategyType2, 2},        {kStrategyType5, 5}};
    for (const auto& [bit, type] : order) {
        if ((strategyBits & bit) == 0 || typeCounts[type] != 0) continue;
        auto* node = new ListNode;
        node->key = type;
        typeQueue.PushBack(node);
    }
}

void AIController::AnalyseRoutes(GameObject& factory) {
    World::RouteAnalysis& shared = world.routeAnalysis;
    if (shared.done) return;
    shared.done = 1;
    // 1.
    GameObject* nearest = world.NearestOreDeposit(&factory);
    PathGrid* paths = world.pathGrid.get();
    if (!nearest || !paths) return;
    // 2.
    PathSearch& search = paths->Search();
    search.SetNodeBudget(2u * static_cast<uint32_t>(paths->Rows()) *
                         static_cast<uint32_t>(paths->Columns()));
    CollisionFilter& filter = factory.collision;
    const int32_t noWater = filter.noWater;
    const int32_t noR = filter.noR;
    auto reachesEvery = [&](int32_t water, int32_t r) {
        filter.noWater = water;
        filter.noR = r;
        for (ListNode* n = world.oreDeposits.First(); n; n = world.oreDeposits.Next(n)) {
            GameObject* deposit = static_cast<ObjectNode*>(n)->Object();
            if (!deposit || deposit == nearest) continue;
            if (!paths->HasPath(&factory, nearest->GetPosition(), deposit->GetPosition()))
                return false;
        }
        return true;
    };
    // 3, 4, 5.
    if (!reachesEvery(1, 0)) shared.water = 1;
    if (!reachesEvery(0, 1)) shared.r = 1;
    if (!shared.water && !shared.r && !reachesEvery(1, 1)) shared.either = 1;
    // 6.
    filter.noWater = noWater;
    filter.noR = noR;
    search.SetNodeBudget(PathSearch::kNodeBudget);
}
