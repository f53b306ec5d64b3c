#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/MovieBase.h"
#include "core/Settings.h"
#include "platform/AtomicFile.h"
#include "world/WorldTestFixture.h"

namespace {

constexpr int kTitle = static_cast<int>(GameMode::Title);
constexpr int kMainMenu = static_cast<int>(GameMode::MainMenu);
constexpr int kBattle = static_cast<int>(GameMode::Battle);
constexpr int kResults = static_cast<int>(GameMode::Results);
constexpr int kQuit = static_cast<int>(GameMode::Quit);
constexpr int kStartScenario = static_cast<int>(GameMode::StartScenario);

// A design that the library writes (one at its defaults is dropped instead).
void AddNamedDesign(World& world) {
    VehicleDesign* design = world.designLibrary->AddDesign('V');
    std::snprintf(design->name, sizeof design->name, "%s", "SCOUT");
    design->named = 1;
}

TEST(WorldModes, EnteringEachModeWritesItsDefaultNextMode) {
    struct Case {
        GameMode mode;
        int next;
    };
    const Case cases[] = {
        {GameMode::Title, kMainMenu},          {GameMode::MainMenu, kStartScenario},
        {GameMode::Battle, kResults},          {GameMode::DesignFromBattle, kBattle},
        {GameMode::DesignFromMenu, kMainMenu}, {GameMode::Results, kMainMenu},
        {GameMode::ExitPicture, kQuit}};
    for (const Case& c : cases) {
        WorldFixture f;
        f.Switch(c.mode);
        EXPECT_EQ(f.Mode(), static_cast<int>(c.mode));
        EXPECT_EQ(f.Requested(), c.next) << "mode " << static_cast<int>(c.mode);
    }
}

TEST(WorldModes, FirstModeBuildsLoadsAndActivatesTheTitleScreen) {
    WorldFixture f;
    ASSERT_EQ(f.Requested(), kTitle);
    f.world->ApplyModeChange();
    EXPECT_EQ(f.screens.log.calls, (std::vector<std::string>{"title.Load", "title.Activate"}));
    EXPECT_EQ(f.world->currentScreen, f.screens.Last("title"));
    EXPECT_EQ(f.world->running, 1);
    // The screen learns where the mouse is from a queued move.
    std::unique_ptr<InputEvent> move = f.events.Take();
    ASSERT_TRUE(move);
    EXPECT_EQ(move->kind, InputKind::MouseMove);
}

TEST(WorldModes, TheCurrentModeOrNoModeChangesNothingAndLeavingTheTitleDiscardsItFirst) {
    WorldFixture f;
    f.Switch(GameMode::Title);
    const auto calls = f.screens.log.calls;
    f.Switch(GameMode::Title);
    f.Switch(GameMode::None);
    EXPECT_EQ(f.screens.log.calls, calls);
    EXPECT_EQ(f.Mode(), kTitle);
    f.screens.log.calls.clear();
    f.Switch(GameMode::MainMenu);
    EXPECT_EQ(f.screens.log.calls,
              (std::vector<std::string>{"title.Deactivate", "title.Unload", "title.Deleted",
                                        "menu.Load", "menu.Activate"}));
}

// A failed design screen load is not hidden by the battle screen's load that follows it.
TEST(WorldModes, AFailedScreenLoadStopsTheProgram) {
    const std::pair<const char*, GameMode> cases[] = {
        {"title", GameMode::Title}, {"design", GameMode::Battle}, {"battle", GameMode::Battle}};
    for (const auto& [screen, mode] : cases) {
        WorldFixture f;
        f.screens.FailLoadOf(screen);
        f.Switch(mode);
        EXPECT_EQ(f.world->running, 0) << screen;
    }
}

TEST(WorldModes, BattleBuildsTheDesignScreenFirstAndStartsASinglePlayerGame) {
    WorldFixture f;
    f.world->clanLetter = 'T';
    f.world->localPlayer = ValueTriple(2);
    f.Switch(GameMode::MainMenu);
    f.screens.log.calls.clear();
    f.Switch(GameMode::Battle);
    EXPECT_EQ(f.screens.log.calls,
              (std::vector<std::string>{"menu.Deactivate", "menu.Unload", "menu.Deleted",
                                        "design built for battle", "design.Load",
                                        "battle.LoadForTeam 2T", "battle.Activate"}));
    EXPECT_EQ(f.world->inGame, 1);
    EXPECT_EQ(f.world->paused, 0);
    EXPECT_EQ(f.world->currentScreen, f.world->battleScreen.get());
    // A network battle stays paused until the peers are ready.
    WorldFixture network;
    network.world->networkGame = 1;
    network.Switch(GameMode::Battle);
    EXPECT_EQ(network.world->paused, 1);
    EXPECT_EQ(network.world->inGame, 1);
}

TEST(WorldModes, ReenteringBattleFromDesignKeepsBothScreensAndTheGameState) {
    WorldFixture f;
    f.Switch(GameMode::Battle);
    RecordingScreen* battle = f.screens.Last("battle");
    RecordingScreen* design = f.screens.Last("design");
    // The player paused the game in the battle.
    f.world->SetPaused(1);
    f.Switch(GameMode::DesignFromBattle);
    EXPECT_EQ(f.world->currentScreen, design);
    f.Switch(GameMode::Battle);
    EXPECT_EQ(f.world->currentScreen, battle);
    EXPECT_EQ(f.world->battleScreen.get(), battle);
    EXPECT_EQ(f.world->designScreen.get(), design);
    EXPECT_EQ(f.screens.log.Count("battle.LoadForTeam 1X"), 1);
    EXPECT_EQ(f.screens.log.Count("design.Load"), 1);
    EXPECT_EQ(f.screens.log.Count("battle.Unload"), 0);
    EXPECT_EQ(f.screens.log.Count("battle.Deactivate"), 1);
    EXPECT_EQ(f.screens.log.Count("battle.Activate"), 2);
    // Not unpaused a second time.
    EXPECT_EQ(f.world->paused, 1);
}

TEST(WorldModes, LeavingEitherDesignModeSavesTheClanDesignsAndTheMenuReadsThemAtFullLevel) {
    for (GameMode designMode : {GameMode::DesignFromBattle, GameMode::DesignFromMenu}) {
        WorldFixture f;
        std::filesystem::create_directory("Assets");
        f.world->clanLetter = 'V';
        f.Switch(designMode);
        if (designMode == GameMode::DesignFromMenu) {
            // From the menu the designs are read at full tech level.
            EXPECT_EQ(f.world->techLevelT, 8);
            EXPECT_EQ(f.world->techLevelV, 8);
            EXPECT_EQ(f.screens.log.Count("design built for menu"), 1);
        }
        AddNamedDesign(*f.world);
        EXPECT_FALSE(f.directory.Exists("Assets/V.vdf"));
        f.Switch(designMode == GameMode::DesignFromBattle ? GameMode::Battle : GameMode::MainMenu);
        EXPECT_TRUE(f.directory.Exists("Assets/V.vdf")) << static_cast<int>(designMode);
    }
}

// The design screen clears the status line when it is discarded: a failed save's line is set
// after that, so the player reads it wherever the design screen was left for.
TEST(WorldModes, AFailedDesignSaveIsSaidWhereverTheDesignScreenIsLeftFor) {
    const struct {
        GameMode from, to;
        bool fails;
        int unloads;
    } cases[] = {
        {GameMode::DesignFromMenu, GameMode::MainMenu, true, 1},
        {GameMode::DesignFromBattle, GameMode::Battle, true, 0},
        {GameMode::DesignFromBattle, GameMode::MainMenu, true, 1},
        {GameMode::DesignFromMenu, GameMode::MainMenu, false, 1},
    };
    for (const auto& c : cases) {
        WorldFixture f;
        std::filesystem::create_directory("Assets");
        f.world->clanLetter = 'V';
        if (c.from == GameMode::DesignFromBattle) f.Switch(GameMode::Battle);
        f.Switch(c.from);
        f.screens.Last("design")->clearsStatusOf = f.world.get();
        f.world->SetStatusMessage("earlier line", 0);
        AddNamedDesign(*f.world);
        if (c.fails) SetAtomicFileFault(AtomicFileStage::Rename);
        f.Switch(c.to);
        SetAtomicFileFault(AtomicFileStage::None);
        const std::string name = std::to_string(static_cast<int>(c.from)) + " to " +
                                 std::to_string(static_cast<int>(c.to));
        EXPECT_EQ(f.screens.log.Count("design.Unload"), c.unloads) << name;
        EXPECT_EQ(f.directory.Exists("Assets/V.vdf"), !c.fails) << name;
        EXPECT_STREQ(f.world->statusText, c.fails ? World::MessageLine(World::kDesignsNotSavedLine)
                                                  : (c.unloads ? "" : "earlier line"))
            << name;
    }
}

TEST(WorldModes, ResultsEndTheBattleOnceAndLeavingThemClearsTheGame) {
    WorldFixture f;
    std::vector<int> turns;
    f.Switch(GameMode::Battle);
    f.world->controllers[2] = std::make_unique<BudgetController>(2, turns, f.clock, 0);
    f.Switch(GameMode::Results);
    EXPECT_EQ(f.world->inGame, 0);
    EXPECT_EQ(f.world->paused, 1);
    // The battle and design screens stay until the game is cleared.
    EXPECT_TRUE(f.world->battleScreen);
    f.Switch(GameMode::MainMenu);
    EXPECT_FALSE(f.world->battleScreen);
    EXPECT_FALSE(f.world->designScreen);
    EXPECT_FALSE(f.world->controllers[2]);
    EXPECT_EQ(f.screens.log.Count("results.Unload"), 1);
    EXPECT_EQ(f.screens.log.Count("battle.Unload"), 1);
}

TEST(WorldModes, MainMenuDropsTheBattleAndDesignScreensAndMakesANewGameFlow) {
    WorldFixture f;
    f.Switch(GameMode::Battle);
    f.Switch(GameMode::DesignFromBattle);
    const GameFlow* flow = f.world->gameFlow.get();
    f.Switch(GameMode::MainMenu);
    EXPECT_EQ(f.screens.log.Count("battle.Unload"), 1);
    EXPECT_EQ(f.screens.log.Count("design.Unload"), 1);
    EXPECT_FALSE(f.world->battleScreen);
    EXPECT_NE(f.world->gameFlow.get(), flow);
    EXPECT_EQ(f.world->currentScreen, f.screens.Last("menu"));
}

// Quitting or shutting down unloads and deletes every screen once, the kept battle and design
// screens too.
TEST(WorldModes, QuitAndShutdownUnloadEveryScreenOnce) {
    struct Case {
        GameMode from;
        bool shutdown;
        std::vector<std::string> once;
    };
    const Case cases[] = {
        {GameMode::Battle, false, {"battle.Unload", "battle.Deleted", "design.Deleted"}},
        {GameMode::ExitPicture, false, {"picture.Unload", "picture.Deleted"}},
        {GameMode::Battle, true, {"battle.Unload", "battle.Deleted", "design.Unload"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(c.from)
                                          << (c.shutdown ? " shut down" : " quit"));
        WorldFixture f;
        f.Switch(c.from);
        if (c.shutdown) {
            f.world->Shutdown();
        } else {
            f.Switch(GameMode::Quit);
            EXPECT_EQ(f.world->running, 0);
        }
        EXPECT_EQ(f.world->currentScreen, nullptr);
        EXPECT_FALSE(f.world->battleScreen);
        for (const std::string& call : c.once)
            EXPECT_EQ(f.screens.log.Count(call), 1) << call;
    }
}

class RecordingMoviePlayer : public MovieBase {
public:
    int Open(const char* path) override {
        opened.push_back(path);
        return openResult;
    }
    void RequestPlay() override { ++playRequests; }
    std::vector<std::string> opened;
    int openResult = 1;
    int playRequests = 0;
};

TEST(WorldModes, MovieModePlaysTheMovieFromTheMovieDirectoryUnlessMoviesAreOff) {
    WorldFixture f;
    RecordingMoviePlayer player;
    f.world->moviesDir = "d:\\Assets\\Movies\\";
    f.world->movieFile = "VN01.mov";
    f.Switch(GameMode::Movie);
    ASSERT_EQ(player.opened.size(), 1u);
    EXPECT_EQ(player.opened[0], "d:\\Assets\\Movies\\VN01.mov");
    EXPECT_EQ(player.playRequests, 1);

    moviesOff = 1;
    f.Switch(GameMode::MainMenu);
    f.Switch(GameMode::Movie);
    moviesOff = 0;
    EXPECT_EQ(player.opened.size(), 1u);

    player.openResult = 0;
    f.Switch(GameMode::MainMenu);
    f.Switch(GameMode::Movie);
    EXPECT_EQ(player.opened.size(), 2u);
    EXPECT_EQ(player.playRequests, 1);
}

TEST(WorldModes, WithoutRegisteredScreensAModeThatNeedsOneStopsTheProgram) {
    ScopedWorkingDir directory;
    ScreenFactory* registered = RegisteredScreenFactory();
    RegisterScreenFactory(nullptr);
    {
        World world;
        world.ApplyModeChange();
        EXPECT_EQ(world.running, 0);
        EXPECT_EQ(world.currentScreen, nullptr);
    }
    RegisterScreenFactory(registered);
}

}  // namespace
