// Skirmishes on the sample set's skirmish lands, started as the set-up screen starts them: the
// local player and three computer players at level 3, on the World's own loop under a
// fixed-step clock, the player in turn on every start. Whichever start a side is given, its
// factory lets its units out: a Miner the player orders rolls out and, left to itself, carries
// ore to the factory; and the computer sides make units.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "FirstMinerWatch.h"
#include "ai/ComputerOpponents.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Random.h"
#include "core/StringTable.h"
#include "map/TerrainMap.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/SimFactory.h"
#include "platform/Clock.h"
#include "support/FakeClock.h"
#include "support/MadeAssets.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr int kTeams = 4;
constexpr int kStepMs = 16;
constexpr int kLevel = 3;
constexpr int kPlayer = 1;
constexpr const char* kMinerDesign = "VPfaa-----";

class SampleLandSkirmish : public MadeCatalogueTest {
protected:
    void TearDown() override {
        world.reset();
        MadeCatalogueTest::TearDown();
    }

    // The player's team takes start `first` of the land's, the computer teams the starts after
    // it in turn.
    int Start(int land, int starts, int first) {
        world = std::make_unique<World>();
        world->localDir = Local().string() + "/";
        world->dataDir = (Volume(MadeAssets::kVolumes[0]) / "Data").string() + "/";
        InstallComputerOpponents(*world);
        SeedRandom(static_cast<uint32_t>(7700 + 10 * land + first));
        auto scenario = std::make_unique<Scenario>();
        scenario->landNumber = land;
        scenario->computerPlayers = kTeams - 1;
        scenario->difficulty = kLevel;
        scenario->techLevel = 5;
        scenario->localTeam = kPlayer;
        scenario->clanLetter = 'V';
        scenario->artifacts = 0;
        scenario->ShuffleStartOrder();
        for (int i = 0; i < starts; ++i)
            scenario->startOrder[i] = (first + i) % starts;
        for (int i = starts; i < Scenario::kStartOrderLength; ++i)
            scenario->startOrder[i] = i;
        world->SetPendingScenario(std::move(scenario));
        if (world->NewGame() != 1) return 0;
        world->inGame = 1;
        world->paused = 0;
        return 1;
    }

    FakeClock clock{1000};
    std::unique_ptr<World> world;
};

// Green Valley, Dust Basin, Island Maze, Twin Rivers and Long Front: the land pack's row, its
// starts, and whether it is the island land.
struct SkirmishLand {
    int row;
    int starts;
    bool islands;
};
constexpr SkirmishLand kLands[] = {
    {0, 6, false}, {1, 4, false}, {2, 4, true}, {3, 6, false}, {4, 6, false}};

// On the island land every side makes units and mines from whichever island it is given. On the
// others a computer side often drives its factory to another ore deposit before it makes
// anything, so there the player's factory speaks for each start.
TEST_F(SampleLandSkirmish, EveryFactoryLetsItsUnitsOutOnEveryStartOfEverySkirmishLand) {
    for (const SkirmishLand& land : kLands) {
        for (int first = 0; first < land.starts; ++first) {
            SCOPED_TRACE("land " + std::to_string(land.row) + ", the player on start " +
                         std::to_string(first));
            ASSERT_EQ(Start(land.row, land.starts, first), 1);
            ASSERT_EQ(world->terrain->StartPoints().Count(), land.starts);
            int atStart[World::kTeams] = {};
            for (int team = 1; team <= kTeams; ++team) {
                ASSERT_NE(world->TeamFactory(team), nullptr) << team;
                atStart[team] = world->sims[team].Count();
            }
            FactoryProduction* own = AsFactoryProduction(world->TeamFactory(kPlayer));
            ASSERT_NE(own, nullptr);
            ASSERT_EQ(own->QueueJob(std::make_unique<VehicleDesign>(kMinerDesign), 0), 1);
            auto makes = [&](int team) { return world->sims[team].Count() > atStart[team]; };
            FirstMinerWatch miner(*world, kPlayer);
            // The player's Miner out of its factory within three game-minutes and then its ore
            // at the factory, and on the islands units from every computer side.
            auto done = [&](int64_t now) {
                if (now >= 5 * 60 * 1000) return true;
                for (int team = 2; team <= kTeams && land.islands; ++team) {
                    if (!makes(team)) return false;
                }
                return miner.Over(now) || (!miner.Out() && now >= 3 * 60 * 1000);
            };
            int64_t now = 0;
            for (; !done(now); now += kStepMs) {
                clock.Advance(kStepMs);
                world->Tick(static_cast<int>(winx_timeGetTime()));
                miner.Step(now);
            }
            EXPECT_TRUE(miner.Out()) << "production state " << own->ProductionState();
            EXPECT_TRUE(miner.delivered || miner.lost)
                << "the Miner, out at " << miner.outAtMs << " ms, brought no ore in";
            if (land.islands) {
                for (int team = 2; team <= kTeams; ++team) {
                    EXPECT_TRUE(makes(team))
                        << "computer team " << team << " made no unit; production state "
                        << AsFactoryProduction(world->TeamFactory(team))->ProductionState();
                }
            }
            world.reset();
        }
    }
}

}  // namespace
