// What follows what around a mission, on the fixed clock: briefings, the end of a mission,
// the next mission, the replay and the victory movie.
#include <gtest/gtest.h>

#include "catalogue/ChassisTemplate.h"
#include "map/TerrainMap.h"
#include "platform/AtomicFile.h"
#include "world/GameFlow.h"
#include "world/MemoryCatalogueMedia.h"
#include "world/MissionStats.h"
#include "world/SavedGameIndex.h"
#include "world/ScenarioFixture.h"
#include "world/ScreenFactory.h"
#include "world/WorldTestFixture.h"

namespace {

constexpr int kMain = 2, kBattle = 3, kDesign = 4, kResults = 6, kMovie = 8, kStart = 9;

class CentringFactory : public RecordingFactory {
public:
    void CentreBattleView(ScreenBase& /*battle*/, const Point& p) override { centred = p; }
    Point centred{-1, -1};
};

class GameFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = RegisteredScreenFactory();
        RegisterScreenFactory(&screens);
        Prepare();
    }
    // Separate from SetUp so that a test may renew the land without saving its own screens as
    // the ones to restore.
    void Prepare() {
        world().scenario = std::make_unique<Scenario>();
        world().LoadLand();
        flow = world().gameFlow.get();
    }
    void TearDown() override { RegisterScreenFactory(previous); }
    World& world() { return *land.world; }
    Scenario& scenario() { return *world().scenario; }
    // A campaign (or skirmish) in play: the clan, mission and the local factory's presence.
    void Play(char clan, int mission, bool localFactory = true) {
        scenario().clanLetter = clan;
        scenario().missionNumber = mission;
        scenario().colour = 3;
        if (localFactory) AddFactory(1);
    }
    RecordObject* AddFactory(int team) {
        scenario().factoryPlaced[team] = 1;
        auto factory = std::make_unique<RecordObject>(
            world().NewSimId(team), world().pathGrid->CellCenter(2 + 5 * team, 5), 4, nullptr);
        RecordObject* raw = factory.get();
        world().AddBuilding(std::move(factory));
        return raw;
    }
    void RemoveFactory(int team) { world().buildings[team].DeleteAll(); }
    int Pop() { return static_cast<int>(flow->pendingModes.Pop()); }

    // The screens' log outlives the World that deletes the screens.
    CentringFactory screens;
    ScenarioWorld land;
    ScreenFactory* previous = nullptr;
    GameFlow* flow = nullptr;
};

TEST_F(GameFlowTest, AStartedMissionShowsItsBriefingOnceThenTheDesignScreenOrTheBattle) {
    const struct {
        char clan;
        int mission;
        bool factory;
        int briefed, network;
        int requested;
        const char* movie;
        int popped;
    } cases[] = {
        {'V', 3, true, 0, 0, kMovie, "VN03.mov", kDesign},
        {'T', 3, false, 0, 0, kMovie, "TM06.mov", kBattle},
        {'V', 3, true, 1, 0, kDesign, "", 0},
        {'V', 0, true, 0, 0, kDesign, "", 0},
        {'V', 0, false, 0, 0, kBattle, "", 0},
        {'V', 0, true, 0, 1, kBattle, "", 0},
        {'T', 12, true, 0, 0, kBattle, "", 0},
    };
    for (const auto& c : cases) {
        land.Renew();
        Prepare();
        Play(c.clan, c.mission, c.factory);
        scenario().briefingShown = c.briefed;
        world().networkGame = c.network;
        flow->won = 1;
        EXPECT_EQ(flow->Step(kStart), 1);
        EXPECT_EQ(world().requestedMode, c.requested) << c.clan << c.mission;
        EXPECT_EQ(world().movieFile, c.movie);
        EXPECT_EQ(flow->won, 0);
        if (c.requested != kMovie) continue;
        EXPECT_EQ(scenario().briefingShown, 1);
        EXPECT_EQ(flow->Step(kMovie), 1);
        EXPECT_EQ(world().requestedMode, c.popped);
        // An empty stack pops 0: no change.
        EXPECT_EQ(flow->Step(kMovie), 1);
        EXPECT_EQ(world().requestedMode, 0);
    }
}

TEST_F(GameFlowTest, AWonSkirmishEndsFiveSecondsLaterAndGoesBackToTheMenu) {
    Play('V', 0);
    scenario().factoryPlaced[2] = 1;  // its building is gone
    // A building nobody plays is no opponent.
    world().AddBuilding(std::make_unique<RecordObject>(
        world().NewSimId(0), world().pathGrid->CellCenter(20, 5), 4, nullptr));
    EXPECT_EQ(flow->Step(kBattle), 0);
    EXPECT_EQ(flow->won, 1);
    land.clock.Advance(GameFlow::kEndDelayMs - 1);
    EXPECT_EQ(flow->Step(kBattle), 0);
    land.clock.Advance(1);
    EXPECT_EQ(flow->Step(kBattle), 1);
    EXPECT_EQ(world().requestedMode, kResults);
    EXPECT_EQ(flow->Step(kResults), 0);
    EXPECT_EQ(world().requestedMode, kMain);
    EXPECT_EQ(flow->resultsPopped, 1);
}

TEST_F(GameFlowTest, ADefeatShowsTheLostBuildingAndReplaysTheMissionOnceWithItsColour) {
    Play('V', 4);
    AddFactory(2);
    world().battleScreen = std::make_unique<ScreenBase>();
    EXPECT_EQ(flow->Step(kBattle), 0);
    const Point focus = flow->focusPoint;
    EXPECT_NE(focus.x, -1);
    RemoveFactory(1);
    EXPECT_EQ(flow->Step(kBattle), 0);
    EXPECT_EQ(flow->won, 0);
    EXPECT_EQ(world().terrain->RevealAll(), 1);
    EXPECT_EQ(screens.centred, focus);
    land.clock.Advance(GameFlow::kEndDelayMs);
    EXPECT_EQ(flow->Step(kBattle), 1);
    ASSERT_NE(world().pendingScenario, nullptr);
    const Scenario& replay = *world().pendingScenario;
    EXPECT_EQ(replay.packEntry, 3);
    EXPECT_EQ(replay.briefingShown, 1);
    EXPECT_EQ(replay.colour, 3);
    EXPECT_EQ(replay.teamColours[1], 3);
    EXPECT_EQ(Pop(), kStart);
    EXPECT_EQ(Pop(), 0);
}

TEST_F(GameFlowTest, WinsLeadToTheNextMissionOrTheVictoryMovie) {
    Play('T', 2);
    flow->won = 1;
    flow->ResolveOutcome();
    ASSERT_NE(world().pendingScenario, nullptr);
    EXPECT_EQ(world().pendingScenario->packEntry, 13);
    EXPECT_EQ(world().pendingScenario->colour, 3);
    EXPECT_EQ(Pop(), kStart);
    scenario().missionNumber = 11;
    flow->ResolveOutcome();
    EXPECT_EQ(world().movieFile, "TMVIC.mov");
    EXPECT_EQ(flow->Step(kResults), 0);
    EXPECT_EQ(world().requestedMode, kMovie);
    EXPECT_EQ(flow->Step(kMovie), 1);
    EXPECT_EQ(world().requestedMode, kMain);
    // The replay prompt of a skirmish: the same settings, a new world, straight to mode 9.
    scenario().missionNumber = 0;
    scenario().SetFileName("xx.scn");
    scenario().difficulty = 4;
    EXPECT_EQ(flow->RestartMission(0), 1);
    EXPECT_EQ(world().requestedMode, kStart);
    EXPECT_EQ(world().pendingScenario->FileName(), nullptr);
    EXPECT_EQ(world().pendingScenario->difficulty, 4);
}

TEST_F(GameFlowTest, MissionRulesForClanVFiveAndTenAndClanTFive) {
    // V5: the allied team with its building turns before the victory; an ally whose building
    // stands destroyed (not yet taken away) does not.
    Play('V', 5);
    RecordObject* wreckOfAnAlly = AddFactory(2);
    wreckOfAnAlly->destroyed = 1;
    world().Ally(SimId(1, 0), SimId(2, 0));
    AddFactory(3);
    world().Ally(SimId(1, 0), SimId(3, 0));
    EXPECT_EQ(flow->Step(kBattle), 0);
    EXPECT_EQ(world().AreAllied(1, 3), 0);
    EXPECT_EQ(world().AreAllied(1, 2), 1);
    EXPECT_FALSE(flow->endTimer.IsRunning());
    EXPECT_EQ(flow->Step(kBattle), 0);
    EXPECT_FALSE(flow->endTimer.IsRunning());

    // T5: won once the deposit entering the factory has serial 10, nothing else ends it.
    land.Renew();
    Prepare();
    Play('T', 5);
    SimId entering(0, 9);
    world().scenarioMakers.factoryLinkedObject = [&](GameObject*) { return entering; };
    EXPECT_EQ(flow->Step(kBattle), 0);
    EXPECT_FALSE(flow->endTimer.IsRunning());
    entering.serial = 10;
    EXPECT_EQ(flow->Step(kBattle), 0);
    EXPECT_EQ(flow->won, 1);
    EXPECT_TRUE(flow->endTimer.IsRunning());

    // V10: repair units do not count, and structure 3 is granted.
    land.Renew();
    Prepare();
    MemoryCatalogueMedia media;
    SetCatalogueMedia(&media);
    ChassisValues values;
    values.clan = 'V';
    values.role = 'k';
    ChassisTemplate repair(values);
    VehicleDesign repairDesign('V');
    repairDesign.chassis = &repair;
    Play('V', 10, false);
    land.AddUnit(1, 3, 3);
    land.AddUnit(2, 8, 8)->design = &repairDesign;
    EXPECT_EQ(world().TeamHasStructure(2, 3), 1);
    EXPECT_EQ(world().TeamHasStructure(2, 4), 0);
    EXPECT_EQ(flow->Step(kBattle), 0);
    EXPECT_EQ(flow->won, 1);
    world().ClearObjects();
    repairDesign.chassis = nullptr;
    SetCatalogueMedia(nullptr);
}

TEST_F(GameFlowTest, TheTutorialAndTheDebugFlagNeverEnd) {
    for (int debug : {0, 1}) {
        land.Renew();
        Prepare();
        Play('V', debug ? 3 : 12, false);
        scenario().debugFlag = debug;
        EXPECT_EQ(flow->Step(kBattle), 0);
        land.clock.Advance(60000);
        EXPECT_EQ(flow->Step(kBattle), 0);
        EXPECT_FALSE(flow->endTimer.IsRunning());
    }
}

TEST_F(GameFlowTest, TheClocksRunFromTheBattleScreenToTheResults) {
    for (auto& stats : world().teamStats)
        stats = std::make_unique<MissionStats>();
    world().requestedMode = kBattle;
    world().ApplyModeChange();
    land.clock.Advance(700);
    world().requestedMode = kResults;
    world().ApplyModeChange();
    land.clock.Advance(5000);
    for (auto& stats : world().teamStats)
        EXPECT_EQ(stats->ElapsedTotal(), 700);
}

TEST_F(GameFlowTest, SavingUnderATitleReportsWhatWentWrong) {
    world().teamStats[1] = std::make_unique<MissionStats>();
    ASSERT_EQ(world().SaveGameUnderTitle("First"), 1);
    EXPECT_STREQ(world().savedGames->At(0)->FileName(), "0.scn");
    EXPECT_NE(land.ReadFile("0.scn"), "<missing>");
    // A failed save of a new title leaves no entry behind and says so.
    SetAtomicFileFault(AtomicFileStage::Rename);
    world().savedGames->FindOrCreate("Second");
    SetAtomicFileFault(AtomicFileStage::None);
    EXPECT_EQ(world().savedGames->Count(), 1);
    std::filesystem::create_directory(land.files.Path() + "1.scn.tmp");
    EXPECT_EQ(world().SaveGameUnderTitle("Second"), 0);
    EXPECT_EQ(world().savedGames->Count(), 1);
    EXPECT_STREQ(world().statusText, World::MessageLine(World::kSaveFailedLine));
    // A failed save under a title already listed keeps the entry: its older game is there.
    world().statusText[0] = 0;
    std::filesystem::create_directory(land.files.Path() + "0.scn.tmp");
    EXPECT_EQ(world().SaveGameUnderTitle("First"), 0);
    ASSERT_NE(world().savedGames->FindByTitle("First"), nullptr);
    EXPECT_STREQ(world().statusText, World::MessageLine(World::kSaveFailedLine));
    // An index that cannot be read (a directory in its place): the game is saved and listed,
    // the index left as it is, and the player told.
    for (const char* left : {"0.scn.tmp", "1.scn.tmp", "GAMES.SAV"})
        std::filesystem::remove_all(land.files.Path() + left);
    std::filesystem::create_directory(land.files.Path() + "GAMES.SAV");
    world().savedGames = std::make_unique<SavedGameIndex>();
    EXPECT_EQ(world().SaveGameUnderTitle("Kept"), 1);
    EXPECT_STREQ(world().statusText, World::MessageLine(World::kIndexKeptLine));
    EXPECT_NE(land.ReadFile(world().savedGames->FindByTitle("Kept")->FileName()), "<missing>");
    EXPECT_TRUE(std::filesystem::is_empty(land.files.Path() + "GAMES.SAV"));
    // Saved over a game on disk, which the index may name (listed by file name, the title the
    // options offer for it): told as saved, for it keeps its place. A game first saved this
    // run is still told as not added.
    world().statusText[0] = 0;
    EXPECT_EQ(world().SaveGameUnderTitle("0.scn"), 1);
    EXPECT_STREQ(world().statusText, World::MessageLine(World::kSavedIndexKeptLine));
    EXPECT_EQ(world().SaveGameUnderTitle("Kept"), 1);
    EXPECT_STREQ(world().statusText, World::MessageLine(World::kIndexKeptLine));
    EXPECT_EQ(world().savedGames->Count(), 2);
    EXPECT_TRUE(std::filesystem::is_empty(land.files.Path() + "GAMES.SAV"));
    // Every name taken: no room, but a title with nothing printable is a failed save.
    for (int n = 1; n < SavedGameIndex::kNames; ++n)
        land.WriteFile((std::to_string(n) + ".scn").c_str(), "");
    world().statusText[0] = 0;
    EXPECT_EQ(world().SaveGameUnderTitle(" \t "), 0);
    EXPECT_STREQ(world().statusText, World::MessageLine(World::kSaveFailedLine));
    world().statusText[0] = 0;
    EXPECT_EQ(world().SaveGameUnderTitle("Third"), 0);
    EXPECT_STREQ(world().statusText, World::MessageLine(World::kNoRoomLine));
    EXPECT_EQ(world().savedGames->Count(), 2);
}

TEST_F(GameFlowTest, ARefusedStartGoesBackToTheMenu) {
    world().scenario.reset();
    EXPECT_EQ(flow->RestartMission(0), 0);
    flow->ResolveOutcome();
    EXPECT_EQ(Pop(), kMain);
    EXPECT_EQ(flow->Step(kStart), 1);
    EXPECT_EQ(world().requestedMode, kMain);
}

}  // namespace
