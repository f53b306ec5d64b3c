// The World's game modes: leaving the current mode and entering the requested one, with the
// screens each mode builds, keeps or discards.
#include <string>

#include "core/DisplayBase.h"
#include "core/MovieBase.h"
#include "core/MusicPlayer.h"
#include "core/PaletteCycler.h"
#include "core/ScriptRequests.h"
#include "core/Settings.h"
#include "core/Trace.h"
#include "core/WindowProc.h"
#include "map/TerrainMap.h"
#include "ui/ScreenBase.h"
#include "world/GameFlow.h"
#include "world/GameRecords.h"
#include "world/ScreenFactory.h"
#include "world/World.h"

void World::ApplyModeChange() {
    if (requestedMode == 0 || requestedMode == currentMode) return;
    const int oldMode = currentMode;
    const int newMode = requestedMode;
    currentMode = newMode;
    requestedMode = 0;
    if (currentScreen) currentScreen->Deactivate();
    if (terrain) terrain->SetRevealAll(0);
    const std::string leaveLine = LeaveMode(oldMode, newMode);
    EnterMode(newMode);
    // Said only now: the design screen clears the status line when it is discarded, which
    // entering the new mode may do.
    if (!leaveLine.empty()) SetStatusMessage(leaveLine.c_str(), 10);
    // A script waiting for this mode goes on before the mode's first tick (and before a movie
    // the mode plays), so what it does next finds the mode as it began.
    ReportScriptGameMode(currentMode);
    if (currentScreen) {
        PostCursorMoveEvent();
        currentScreen->Activate();
    }
}

std::string World::LeaveMode(int oldMode, int newMode) {
    std::string line;
    switch (static_cast<GameMode>(oldMode)) {
        case GameMode::Title:
        case GameMode::MainMenu:
        case GameMode::ExitPicture:
            DiscardCurrentScreen();
            break;
        case GameMode::Battle:
            // The battle screen stays for the design screen and the way back.
            currentScreen = nullptr;
            if (newMode != static_cast<int>(GameMode::DesignFromBattle)) SetMusic(0);
            break;
        case GameMode::DesignFromBattle:
            currentScreen = nullptr;
            // The old file stays; the player reads that the changes were not kept.
            if (!SaveClanDesigns()) line = DesignsNotSavedLine();
            if (newMode != static_cast<int>(GameMode::Battle)) SetMusic(0);
            break;
        case GameMode::DesignFromMenu:
            currentScreen = nullptr;
            if (!SaveClanDesigns()) line = DesignsNotSavedLine();
            break;
        case GameMode::Results:
            DiscardCurrentScreen();
            ClearObjects();
            break;
        default:
            break;
    }
    return line;
}

void World::EnterMode(int newMode) {
    ScreenFactory* screens = Screens();
    switch (static_cast<GameMode>(newMode)) {
        case GameMode::Title:
            if (paletteCycler) paletteCycler->Suspend();
            running = LoadNewScreen(screens ? screens->NewTitleScreen() : nullptr);
            requestedMode = static_cast<int>(GameMode::MainMenu);
            break;
        case GameMode::MainMenu:
            if (PeerCount() > 0) ClosePeers(nullptr);
            DiscardBattleAndDesignScreens();
            if (ScenarioInPlay()) ClearObjects();
            if (paletteCycler) paletteCycler->Suspend();
            gameFlow = std::make_unique<GameFlow>(*this);
            running = LoadNewScreen(screens ? screens->NewMainMenuScreen() : nullptr);
            requestedMode = static_cast<int>(GameMode::StartScenario);
            break;
        case GameMode::Battle: {
            if (paletteCycler) paletteCycler->Resume();
            // The design screen exists before the battle screen, so the battle can switch to it.
            int designLoaded = 1;
            if (!designScreen) {
                designScreen = screens ? screens->NewDesignScreen(0) : nullptr;
                designLoaded = designScreen ? designScreen->Load() : 0;
                running = designLoaded;
            }
            if (!battleScreen) {
                battleScreen = screens ? screens->NewBattleScreen() : nullptr;
                const int battleLoaded =
                    battleScreen
                        ? screens->LoadBattleScreen(*battleScreen, localPlayer.first, clanLetter)
                        : 0;
                // A design screen that failed to load must still stop the program, whatever
                // the battle screen's load says.
                running = designLoaded && battleLoaded ? 1 : 0;
                // The mission's time runs from the battle screen on.
                StartClocks();
                inGame = 1;
                if (!networkGame) SetPaused(0);
            }
            currentScreen = battleScreen.get();
            requestedMode = static_cast<int>(GameMode::Results);
            SetMusic(1);
            break;
        }
        case GameMode::DesignFromBattle:
            if (paletteCycler) paletteCycler->Suspend();
            if (!designScreen) {
                designScreen = screens ? screens->NewDesignScreen(0) : nullptr;
                running = designScreen ? designScreen->Load() : 0;
            }
            currentScreen = designScreen.get();
            requestedMode = static_cast<int>(GameMode::Battle);
            SetMusic(1);
            break;
        case GameMode::DesignFromMenu:
            if (paletteCycler) paletteCycler->Suspend();
            techLevelV = 8;
            techLevelT = 8;
            LoadClanDesigns();
            if (!designScreen) {
                designScreen = screens ? screens->NewDesignScreen(1) : nullptr;
                running = designScreen ? designScreen->Load() : 0;
            }
            currentScreen = designScreen.get();
            requestedMode = static_cast<int>(GameMode::MainMenu);
            break;
        case GameMode::Results:
            if (paletteCycler) paletteCycler->Suspend();
            StopClocks();
            if (inGame == 1 || paused == 0) {
                inGame = 0;
                paused = 1;
            }
            running =
                LoadNewScreen(screens ? screens->NewResultsScreen(LocalTeamStats()) : nullptr);
            requestedMode = static_cast<int>(GameMode::MainMenu);
            break;
        case GameMode::Quit:
            SetMusic(0);
            if (currentScreen == battleScreen.get() || currentScreen == designScreen.get()) {
                currentScreen = nullptr;
            }
            DiscardCurrentScreen();
            DiscardBattleAndDesignScreens();
            if (PeerCount() > 0) ClosePeers(nullptr);
            if (display) display->RedrawAll();
            running = 0;
            break;
        case GameMode::Movie:
            if (!moviesOff && moviePlayer) {
                const std::string path = moviesDir + movieFile;
                if (moviePlayer->Open(path.c_str()) == 1) moviePlayer->RequestPlay();
            }
            break;
        case GameMode::StartScenario:
            // A damaged file built nothing: the game flow goes back to the main menu.
            if (!NewGame() && gameFlow) gameFlow->startRefused = 1;
            break;
        case GameMode::ExitPicture:
            SetMusic(1);
            running = LoadNewScreen(screens ? screens->NewPictureScreen() : nullptr);
            requestedMode = static_cast<int>(GameMode::Quit);
            break;
        default:
            break;
    }
}

int World::LoadNewScreen(std::unique_ptr<ScreenBase> screen) {
    if (!screen) {
        // Without the screens there is nothing to show: stop rather than tick an empty mode.
        Trace("No screen is registered for the game mode");
        return 0;
    }
    // Every way into a mode has already taken the old screen down; a screen still current
    // here would otherwise be lost.
    DiscardCurrentScreen();
    currentScreen = screen.release();
    return currentScreen->Load();
}

void World::DiscardCurrentScreen() {
    ScreenBase* screen = currentScreen;
    currentScreen = nullptr;
    if (!screen || screen == battleScreen.get() || screen == designScreen.get()) return;
    screen->Unload();
    delete screen;
}

void World::DiscardBattleAndDesignScreens() {
    if (battleScreen) {
        battleScreen->Unload();
        battleScreen.reset();
    }
    if (designScreen) {
        designScreen->Unload();
        designScreen.reset();
    }
}

int World::ScenarioInPlay() const {
    return scenario || (gameRecords && gameRecords->HasScenario() == 1) ? 1 : 0;
}

void World::SetMusic(int on) {
    if (music) music->SetEnabled(on);
}
