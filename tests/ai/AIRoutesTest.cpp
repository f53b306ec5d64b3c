#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "AIFixture.h"
#include "ai/ComputerOpponents.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "world/ScenarioMakers.h"

namespace {

// A land of open ground split by a column of the letter (the lower half of the second letter),
// deposits on both sides unless told otherwise.
struct Split {
    explicit Split(char letter, char lower = 0, bool ore = true) : files(), world() {
        std::vector<std::string> rows(12, std::string(20, 'c'));
        for (size_t y = 0; y < rows.size(); ++y)
            rows[y][10] = lower && y >= rows.size() / 2 ? lower : letter;
        LoadLand(world, files, OpenLand(20, 12, rows));
        if (!ore) return;
        for (const Point& at : {Point(80, 80), Point(500, 300), Point(120, 300)}) {
            std::unique_ptr<GameObject> deposit = std::make_unique<TestObject>(0, serial++, at, 9);
            static_cast<TestObject*>(deposit.get())->stored = 500;
            world.AddOreDeposit(deposit);
        }
    }
    ~Split() { world.ClearObjects(); }

    LandFixture files;
    World world;
    AIKit kit;
    int serial = 600;
};

}  // namespace

// With no ore on the land, or no path grid to search, there is nothing to find: the analysis
// is done at once and asks for no crossing, even across water.
TEST(AIRoutes, TheAnalysisFindsTheCrossingsOncePerGame) {
    struct Case {
        char letter;
        int water, r;
        bool ore = true, paths = true;
    };
    for (const Case& c : {Case{'w', 1, 0}, Case{'r', 0, 1}, Case{'c', 0, 0},
                          Case{'w', 0, 0, false, true}, Case{'w', 0, 0, true, false}}) {
        SCOPED_TRACE(std::string(1, c.letter) + (c.ore ? "" : " without ore") +
                     (c.paths ? "" : " without paths"));
        Split land(c.letter, 0, c.ore);
        if (!c.paths) land.world.pathGrid.reset();
        auto owned = std::make_unique<FakeFactory>(SimId(2, 1), Point(60, 60));
        FakeFactory* factory = owned.get();
        land.world.AddBuilding(std::move(owned));
        auto* ai = new AIController(2, 'V', 5);
        land.world.SetTeamController(2, std::unique_ptr<TeamController>(ai));
        ai->SetStrategyBits(1);
        ai->Setup(3);
        EXPECT_EQ(land.world.routeAnalysis.done, 1);
        EXPECT_EQ(land.world.routeAnalysis.water, c.water) << c.letter;
        EXPECT_EQ(land.world.routeAnalysis.r, c.r) << c.letter;
        EXPECT_EQ(land.world.routeAnalysis.either, 0);
        EXPECT_EQ(ai->needsWaterCrossing, c.water);
        EXPECT_EQ(ai->needsRCrossing, c.r);
        // The factory's filter and the search budget are as they were.
        EXPECT_EQ(factory->collision.noWater, 0);
        EXPECT_EQ(factory->collision.noR, 0);
        if (c.paths) {
            EXPECT_EQ(land.world.pathGrid->Search().NodeBudget(), PathSearch::kNodeBudget);
        }
        // A controller that goes clears the analysis for the next.
        land.world.SetTeamController(2, nullptr);
        EXPECT_EQ(land.world.routeAnalysis.done, 0);
        EXPECT_EQ(land.world.routeAnalysis.water, 0);
    }
}

// Half water, half r: either filter alone gets across, both together do not, and the controller
// draws which crossing it prepares for (even: water).
TEST(AIRoutes, ALandCrossableEitherWayDrawsOneCrossing) {
    std::set<int32_t> drawn;
    for (uint32_t seed : {1u, 40u, 80u, 120u, 160u, 200u}) {
        Split land('w', 'r');
        land.world.AddBuilding(std::make_unique<FakeFactory>(SimId(2, 1), Point(60, 60)));
        auto* ai = new AIController(2, 'V', 5);
        land.world.SetTeamController(2, std::unique_ptr<TeamController>(ai));
        ai->SetStrategyBits(1);
        SeedRandom(seed);
        const bool water = RandomRange(1, 10) % 2 == 0;
        SeedRandom(seed);
        ai->Setup(3);
        EXPECT_EQ(land.world.routeAnalysis.either, 1);
        EXPECT_EQ(land.world.routeAnalysis.water, 0);
        EXPECT_EQ(land.world.routeAnalysis.r, 0);
        EXPECT_EQ(ai->needsWaterCrossing, water ? 1 : 0) << seed;
        EXPECT_EQ(ai->needsRCrossing, water ? 0 : 1) << seed;
        drawn.insert(ai->needsWaterCrossing);
        land.world.SetTeamController(2, nullptr);
    }
    EXPECT_EQ(drawn.size(), 2u);
}

TEST(AIRoutes, TheMakerBuildsPlanningControllersForSkirmishesAndMission11Only) {
    AIWorld land;
    int previousCleared = 0;
    land.world.scenarioMakers.clearSharedCounters = [&previousCleared]() { ++previousCleared; };
    InstallComputerOpponents(land.world);
    ControllerRequest request;
    request.team = 3;
    request.clan = 'T';
    request.techLevel = 6;
    struct Case {
        int mission;
        int tech;  // 0: none made
    };
    for (const Case& c : {Case{0, 6}, Case{11, 8}, Case{3, 0}, Case{12, 0}}) {
        request.mission = c.mission;
        std::unique_ptr<ScenarioController> made =
            land.world.scenarioMakers.makeController(request);
        if (c.tech == 0) {
            EXPECT_EQ(made, nullptr) << c.mission;
            continue;
        }
        auto* ai = dynamic_cast<AIController*>(made.get());
        ASSERT_NE(ai, nullptr);
        EXPECT_EQ(ai->techLevel, c.tech);
        EXPECT_EQ(ai->Team(), 3);
        EXPECT_EQ(ai->ClanLetter(), 'T');
    }
    land.world.routeAnalysis.done = 1;
    land.world.scenarioMakers.clearSharedCounters();
    EXPECT_EQ(land.world.routeAnalysis.done, 0);
    EXPECT_EQ(previousCleared, 1);
}
