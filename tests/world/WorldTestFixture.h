#pragma once
// Test screens for the World's mode switch and tick: every screen records the calls it gets
// into one shared log, and the factory builds them by mode and registers itself for a World
// made by the fixture.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/EventQueue.h"
#include "core/MemoryDisplay.h"
#include "core/Timer.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"
#include "ui/ScreenBase.h"
#include "world/ScreenFactory.h"
#include "world/TeamController.h"
#include "world/World.h"

struct ScreenLog {
    std::vector<std::string> calls;
    void Add(const std::string& call) { calls.push_back(call); }
    int Count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }
};

class RecordingScreen : public ScreenBase {
public:
    RecordingScreen(std::string name, ScreenLog& log, int loadResult)
        : name(std::move(name)), log(log), loadResult(loadResult) {}
    ~RecordingScreen() override { log.Add(name + ".Deleted"); }
    int Load() override {
        log.Add(name + ".Load");
        return loadResult;
    }
    void Unload() override {
        log.Add(name + ".Unload");
        // As the design screen does: its Unload clears the status line.
        if (clearsStatusOf) clearsStatusOf->SetStatusMessage("", 0);
    }
    void Activate() override { log.Add(name + ".Activate"); }
    void Deactivate() override { log.Add(name + ".Deactivate"); }
    int HandleEvents(int elapsedMs) override {
        log.Add(name + ".HandleEvents");
        lastElapsed = elapsedMs;
        return handleResult;
    }
    int Update(int /*elapsedMs*/) override {
        log.Add(name + ".Update");
        return updateResult;
    }
    void Draw(int /*elapsedMs*/) override { log.Add(name + ".Draw"); }

    std::string name;
    ScreenLog& log;
    int loadResult;
    int handleResult = 1;
    int updateResult = 1;
    int lastElapsed = -1;
    World* clearsStatusOf = nullptr;
};

class RecordingFactory : public ScreenFactory {
public:
    std::unique_ptr<ScreenBase> NewTitleScreen() override { return Make("title"); }
    std::unique_ptr<ScreenBase> NewMainMenuScreen() override { return Make("menu"); }
    std::unique_ptr<ScreenBase> NewBattleScreen() override { return Make("battle"); }
    int LoadBattleScreen(ScreenBase& battleScreen, int team, char clanLetter) override {
        auto& screen = static_cast<RecordingScreen&>(battleScreen);
        log.Add("battle.LoadForTeam " + std::to_string(team) + clanLetter);
        return screen.loadResult;
    }
    void StopBattleVoice(ScreenBase& /*battleScreen*/) override { log.Add("battle.StopVoice"); }
    std::unique_ptr<ScreenBase> NewDesignScreen(int fromMenu) override {
        log.Add("design built for " + std::string(fromMenu ? "menu" : "battle"));
        return Make("design");
    }
    std::unique_ptr<ScreenBase> NewResultsScreen(MissionStats* /*stats*/) override {
        return Make("results");
    }
    std::unique_ptr<ScreenBase> NewPictureScreen() override { return Make("picture"); }

    // The load result of every screen built from now on whose name is given.
    void FailLoadOf(const std::string& name) { failing.push_back(name); }
    RecordingScreen* Last(const std::string& name) const {
        for (auto it = built.rbegin(); it != built.rend(); ++it) {
            if ((*it)->name == name) return *it;
        }
        return nullptr;
    }

    ScreenLog log;

private:
    std::unique_ptr<ScreenBase> Make(const std::string& name) {
        const bool fails = std::find(failing.begin(), failing.end(), name) != failing.end();
        auto screen = std::make_unique<RecordingScreen>(name, log, fails ? 0 : 1);
        built.push_back(screen.get());
        return screen;
    }
    std::vector<std::string> failing;
    // Borrowed: the World owns and deletes them (the log tells when).
    std::vector<RecordingScreen*> built;
};

// A computer controller that takes a given share of the shared budget on every turn.
class BudgetController : public TeamController {
public:
    BudgetController(int team, std::vector<int>& turns, FakeClock& clock, uint32_t cost)
        : team(team), turns(turns), clock(clock), cost(cost) {}
    ~BudgetController() override {
        if (deleted) *deleted = true;
    }
    void Update(Timer& /*budget*/) override {
        turns.push_back(team);
        clock.Advance(cost);
    }
    void PauseTimers() override { ++pauses; }
    void ResumeTimers() override { ++resumes; }
    void PrepareDesigns() override { ++preparations; }

    int team;
    std::vector<int>& turns;
    FakeClock& clock;
    uint32_t cost;
    int pauses = 0;
    int resumes = 0;
    int preparations = 0;
    bool* deleted = nullptr;
};

// A World in a scratch working directory with the recording screens registered, a memory
// display, an event queue and a fake clock.
class WorldFixture {
public:
    WorldFixture() {
        previousScreens = RegisteredScreenFactory();
        RegisterScreenFactory(&screens);
        world = std::make_unique<World>();
    }
    ~WorldFixture() {
        world.reset();
        RegisterScreenFactory(previousScreens);
    }
    void Switch(GameMode mode) {
        world->requestedMode = static_cast<int32_t>(mode);
        world->ApplyModeChange();
    }
    // The mode in force and the next one asked for.
    int Mode() const { return world->currentMode; }
    int Requested() const { return world->requestedMode; }

    ScopedWorkingDir directory;
    FakeClock clock{1000};
    MemoryDisplay display;
    EventQueue events;
    RecordingFactory screens;
    std::unique_ptr<World> world;

private:
    // The program's own registration, if it has one, comes back afterwards.
    ScreenFactory* previousScreens = nullptr;
};
