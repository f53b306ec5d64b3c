#pragma once
// A headless skirmish of two computer players: a generated 96 x 96 land beside the made sample
// assets, the game started as the set-up screen starts it (one opponent, the local team playing
// itself), run tick by tick on the World's own loop under a fixed-step clock. What each side did
// is sampled as it goes, for the skirmish test and the level sweep.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ai/AIController.h"
#include "ai/ComputerOpponents.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/SimFactory.h"
#include "support/FakeClock.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/WanderingUnit.h"
#include "world/World.h"

namespace skirmish {

constexpr int kSide = 96;
constexpr int kStepMs = 16;
constexpr int kSampleTicks = 16;
constexpr int kLocalTeam = 1;
constexpr int kOpponentTeam = 2;

// Where the two factories stand (sheet row, column), opposite corners, with the destructible
// fields between them.
inline LandLayout SkirmishLand(uint32_t seed) {
    std::mt19937 random(seed);
    LandLayout layout = GeneratedLand(random, kSide, kSide);
    layout.starts = {{12, 12}, {kSide - 14, kSide - 14}};
    layout.seconds = {{24, 24}, {kSide / 2, kSide / 2}, {kSide - 26, kSide - 26}};
    // Open ground round every start for the factory, its docks and roll-out square.
    for (const auto& [row, column] : layout.starts) {
        for (int r = row - 9; r <= row + 9; ++r)
            for (int c = column - 9; c <= column + 9; ++c)
                layout.letters[static_cast<size_t>(r)][static_cast<size_t>(c)] = 'c';
    }
    return layout;
}

// A planning controller that plays at its own level, whatever the scenario's difficulty.
class LevelledController : public AIController {
public:
    LevelledController(int team, char clan, int tech, int fixedLevel)
        : AIController(team, clan, tech), fixedLevel(fixedLevel) {}
    void Setup(int) override { AIController::Setup(fixedLevel); }

private:
    int fixedLevel;
};

struct Side {
    std::set<int32_t> born;
    int minersBorn = 0;
    int mined = 0;  // the largest load a miner of the side was seen carrying
    // What the side's miners were seen handing over (their loads going down), and when first.
    int unloaded = 0;
    int firstUnloadTick = 0;
    int firstMinerTick = 0;  // when the side's first miner was seen
    std::map<int32_t, int> loads;
    int lost = 0;  // units born and gone
    int lowestCargo = INT32_MAX;
    // The most ore the deposit under the open factory was seen holding, and the least.
    int depositMost = 0;
    int depositLeast = INT32_MAX;
    int factoryAlive = 1;
    int64_t value = 0;  // units' first cost plus the factory's cargo and store, at the end
};

struct Outcome {
    Side sides[3];
    int ticks = 0;
};

class SkirmishRun {
public:
    // Different levels are given through a controller of a fixed level; equal ones through
    // the installed maker unchanged.
    SkirmishRun(const std::filesystem::path& madeAssets, uint32_t seed, int localLevel,
                int opponentLevel)
        : seed(seed) {
        files.WriteLand(SkirmishLand(seed));
        // The land fixture's directory is the asset directory: the made set is seen through it.
        namespace fs = std::filesystem;
        const fs::path here = files.Path();
        for (const auto& entry : fs::directory_iterator(madeAssets)) {
            const fs::path into = here / entry.path().filename();
            if (!fs::exists(into)) fs::create_symlink(entry.path(), into);
        }
        world = std::make_unique<World>();
        world->localDir = files.Path();
        world->dataDir = files.Path();
        LoadStringTable("7a1.str");
        LoadTemplateCatalogue("7a.pts");
        InstallComputerOpponents(*world);
        if (localLevel != opponentLevel) {
            const int levels[3] = {0, localLevel, opponentLevel};
            world->scenarioMakers.makeController =
                [levels](const ControllerRequest& r) -> std::unique_ptr<ScenarioController> {
                return std::make_unique<LevelledController>(r.team, r.clan, r.techLevel,
                                                            levels[r.team]);
            };
        }
        level = localLevel;
    }
    ~SkirmishRun() {
        world.reset();
        ClearTemplateCatalogue();
        autoPlayFlag = savedAutoPlay;
    }

    // Starts the game; 1 when both teams have a factory and a planning controller.
    int Start() {
        SeedRandom(seed);
        auto scenario = std::make_unique<Scenario>();
        scenario->computerPlayers = 1;
        scenario->difficulty = level;
        scenario->techLevel = 5;
        scenario->localTeam = kLocalTeam;
        scenario->artifacts = 0;
        // As the set-up screen does: every team to a start point of its own.
        scenario->ShuffleStartOrder();
        savedAutoPlay = autoPlayFlag;
        autoPlayFlag = 1;
        world->SetPendingScenario(std::move(scenario));
        if (world->NewGame() != 1) return 0;
        world->inGame = 1;
        world->paused = 0;
        for (int team : {kLocalTeam, kOpponentTeam}) {
            if (!world->TeamFactory(team)) return 0;
            if (!dynamic_cast<AIController*>(world->controllers[team].get())) return 0;
        }
        return 1;
    }

    // Runs the game for the game-seconds, or until a factory falls.
    Outcome Run(int seconds, bool untilAFactoryFalls) {
        const int ticks = seconds * 1000 / kStepMs;
        for (int tick = 1; tick <= ticks; ++tick) {
            clock.Advance(kStepMs);
            world->Tick(static_cast<int>(clock.Now()));
            ++out.ticks;
            if (tick % kSampleTicks == 0) Sample();
            if (untilAFactoryFalls && (!out.sides[1].factoryAlive || !out.sides[2].factoryAlive))
                break;
        }
        Sample();
        for (int team : {kLocalTeam, kOpponentTeam})
            out.sides[team].value = Value(team);
        return out;
    }

    World& GetWorld() { return *world; }
    FakeClock& Clock() { return clock; }

private:
    void Sample() {
        for (int team : {kLocalTeam, kOpponentTeam}) {
            Side& side = out.sides[team];
            std::set<int32_t> alive;
            NodeList& list = world->sims[team];
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                GameObject* unit = static_cast<ObjectNode*>(n)->Object();
                if (!unit || unit->IsDestroyed()) continue;
                alive.insert(unit->id.serial);
                const bool miner =
                    unit->GetDesign() && ClassForDesign(*unit->GetDesign()) == SimClass::Miner;
                if (side.born.insert(unit->id.serial).second && miner) {
                    ++side.minersBorn;
                    if (side.firstMinerTick == 0) side.firstMinerTick = out.ticks;
                }
                if (miner && unit->GetCargo() > side.mined) side.mined = unit->GetCargo();
                if (miner) {
                    int& load = side.loads[unit->id.serial];
                    if (unit->GetCargo() < load) {
                        side.unloaded += load - unit->GetCargo();
                        if (side.firstUnloadTick == 0) side.firstUnloadTick = out.ticks;
                    }
                    load = unit->GetCargo();
                }
            }
            side.lost = static_cast<int>(side.born.size() - alive.size());
            GameObject* factory = world->TeamFactory(team);
            side.factoryAlive = factory && !factory->IsDestroyed() ? 1 : 0;
            if (!side.factoryAlive) continue;
            side.lowestCargo = std::min(side.lowestCargo, factory->GetCargo());
            FactoryProduction* production = AsFactoryProduction(factory);
            if (GameObject* deposit = production ? production->MinedDeposit() : nullptr) {
                side.depositMost = std::max(side.depositMost, deposit->GetStored());
                side.depositLeast = std::min(side.depositLeast, deposit->GetStored());
            }
        }
    }

    int64_t Value(int team) {
        int64_t value = 0;
        NodeList& list = world->sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* unit = static_cast<ObjectNode*>(n)->Object();
            if (unit && !unit->IsDestroyed() && unit->GetDesign())
                value += unit->GetDesign()->SumPartField5();
        }
        if (GameObject* factory = world->TeamFactory(team); factory && !factory->IsDestroyed())
            value += factory->GetCargo() + factory->GetStored();
        return value;
    }

    uint32_t seed;
    int level = 1;
    int32_t savedAutoPlay = 0;
    FakeClock clock{1000};
    LandFixture files;
    std::unique_ptr<World> world;
    Outcome out;
};

}  // namespace skirmish
