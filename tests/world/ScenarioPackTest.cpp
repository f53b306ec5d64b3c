// The sample set's scenario pack and lands, read with the game's own scenario code: every
// campaign row and the tutorial pass the check and load, and a skirmish starts on every land.
#include <gtest/gtest.h>

#include "catalogue/TemplateCatalogue.h"
#include "core/StringTable.h"
#include "map/TerrainMap.h"
#include "support/MadeAssets.h"
#include "world/Campaign.h"
#include "world/ScenarioCheck.h"
#include "world/ScenarioFixture.h"

namespace {

class ScenarioPackTest : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
    }
    void TearDown() override {
        if (world) world->ClearObjects();
        world.reset();
        ClearTemplateCatalogue();
    }
    // realUnits: the game's own units (the Sim) in place of the recording fakes.
    int Start(std::unique_ptr<Scenario> scenario, bool realUnits = false) {
        if (world) world->ClearObjects();
        world = std::make_unique<World>();
        world->localDir = Local().string() + "/";
        world->dataDir = (Volume(MadeAssets::kVolumes[0]) / "Data").string() + "/";
        const ScenarioMakers own = world->scenarioMakers;
        InstallRecordMakers(*world);
        if (realUnits) {
            world->scenarioMakers.spawnSim = own.spawnSim;
            world->scenarioMakers.purposeOf = own.purposeOf;
            world->scenarioMakers.setPurpose = own.setPurpose;
        }
        // The carriers' own link lines ("t = team,serial") are the carrier's to read; every
        // carrier of the pack is linked.
        world->scenarioMakers.carrierLink = [](GameObject*) { return SimId(0, 0); };
        world->SetPendingScenario(std::move(scenario));
        return world->NewGame();
    }
    bool Inside(const Point& p) const {
        const Size extent = world->terrain->PixelExtent();
        return p.x >= 32 && p.y >= 32 && p.x < extent.w - 32 && p.y < extent.h - 32;
    }

    std::unique_ptr<World> world;
};

TEST_F(ScenarioPackTest, EveryRowPassesTheCheckAndLoads) {
    struct Fixed {
        int row, team, serial, kind;
    };
    // The ids the mission scripts name: team and kind (1 unit, 9 ore deposit).
    const Fixed fixed[] = {{7, 1, 54, 1},   {21, 3, 60, 1},  {18, 2, 67, 1},  {15, 0, 10, 9},
                           {22, 0, 127, 9}, {22, 2, 176, 1}, {22, 2, 177, 1}, {22, 2, 179, 1},
                           {22, 2, 180, 1}, {22, 2, 182, 1}, {22, 2, 183, 1}};
    constexpr int kCampaignLand = 4;
    // Every point a script names.
    const Point points[] = {{2736, 752},  {624, 1200},  {464, 240},  {5328, 3952}, {4912, 4112},
                            {2896, 4112}, {1488, 4112}, {816, 3952}, {2896, 3952}, {2960, 304},
                            {2576, 464},  {1936, 528},  {912, 816},  {336, 1456},  {144, 464},
                            {3728, 112},  {5072, 1168}, {6320, 912}};
    // A row the pack does not hold is unreadable, not a scenario without a header.
    auto missing = std::make_unique<Scenario>();
    missing->SelectPackEntry(999);
    EXPECT_EQ(ScenarioCheck::Check(*missing), ScenarioFault::Unreadable);
    for (int row = 0; row < 23; ++row) {
        SCOPED_TRACE(row);
        auto scenario = std::make_unique<Scenario>();
        scenario->SelectPackEntry(row);
        EXPECT_EQ(ScenarioCheck::Check(*scenario), ScenarioFault::None);
        int mission = -1;
        char clan = 0;
        ASSERT_EQ(scenario->PeekHeader(mission, clan), 1);
        const MissionEntry* entry = Campaign::GetMissionEntry(clan, mission);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->packEntry, row);
        ASSERT_EQ(Start(std::move(scenario)), 1);
        World& w = *world;
        // Missions that name a place play on a land of their own (whose points the mission
        // rows check); the others share the campaign's land, which holds every point below.
        const bool sharedLand = w.scenario->landNumber == kCampaignLand;
        const Size cells = w.terrain->SizeInCells();
        if (sharedLand) {
            EXPECT_EQ(cells, Size(200, 136));
        }
        EXPECT_TRUE(cells.w >= 64 && cells.h >= 48 && cells.w <= 200 && cells.h <= 200)
            << cells.w << "x" << cells.h;
        EXPECT_NE(w.TeamFactory(1), nullptr);
        int hostile = 0;
        for (int team = 2; team < World::kTeams; ++team) {
            if (w.AreAllied(1, team)) continue;
            hostile += w.scenario->factoryPlaced[team] ? (w.TeamFactory(team) ? 1 : 0)
                                                       : w.sims[team].Count();
        }
        EXPECT_GT(hostile, 0);
        EXPECT_EQ(w.controllers[1] != nullptr, mission == 12);
        for (const Fixed& f : fixed) {
            if (f.row != row) continue;
            GameObject* o = w.FindObject(SimId(f.team, f.serial));
            ASSERT_NE(o, nullptr) << f.team << "," << f.serial;
            EXPECT_EQ(f.kind == 9 ? o->GetKind() : 1, f.kind);
        }
        for (const Point& p : points) {
            if (sharedLand) {
                EXPECT_TRUE(Inside(p)) << p.x << "," << p.y;
            }
        }
    }
}

TEST_F(ScenarioPackTest, RowsWithTheGamesUnitsComeBackByteForByte) {
    for (int row : {7, 18, 22}) {
        SCOPED_TRACE(row);
        auto scenario = std::make_unique<Scenario>();
        scenario->SelectPackEntry(row);
        ASSERT_EQ(Start(std::move(scenario), true), 1);
        EXPECT_GT(world->sims[2].Count(), 0);
        ASSERT_EQ(world->SaveGame("pack.scn"), 1);
        const std::string first = MadeAssets::ReadText(Local() / "pack.scn");
        auto again = std::make_unique<Scenario>();
        again->SetFileName("pack.scn");
        ASSERT_EQ(Start(std::move(again), true), 1);
        ASSERT_EQ(world->SaveGame("pack.scn"), 1);
        EXPECT_EQ(MadeAssets::ReadText(Local() / "pack.scn"), first);
        MadeAssets::fs::remove(Local() / "pack.scn");
    }
}

TEST_F(ScenarioPackTest, ASkirmishStartsOnEveryLandWithOneToThreeOpponents) {
    ResourceFile pack;
    ASSERT_EQ(pack.Open(TerrainMap::kLandPack, ResourceFile::OpenMode::Pack), 1);
    const int lands = pack.Rows();
    ASSERT_GE(lands, 5);
    for (int land = 0; land < lands; ++land) {
        for (int opponents = 1; opponents <= 3; ++opponents) {
            SCOPED_TRACE(std::to_string(land) + "/" + std::to_string(opponents));
            auto scenario = std::make_unique<Scenario>();
            scenario->landNumber = land;
            scenario->computerPlayers = opponents;
            scenario->colour = 1;
            scenario->ShuffleStartOrder();
            ASSERT_EQ(Start(std::move(scenario)), 1);
            EXPECT_GE(world->terrain->StartPoints().Count(), 4);
            int factories = 0;
            for (int team = 1; team < World::kTeams; ++team)
                factories += world->TeamFactory(team) ? 1 : 0;
            EXPECT_EQ(factories, opponents + 1);
        }
    }
}

}  // namespace
