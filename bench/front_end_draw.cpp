// One Draw (no present) of each front-end screen on the sample set into the memory display:
// the bare main menu, the set-up screen with every group, the load-game screen with a full
// list, and the results screen with its high-score table; beside a memcpy of the 640 x 480
// frame buffer in the same run, the floor any frame costs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/EventQueue.h"
#include "core/MemoryDisplay.h"
#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "screens/LoadGameScreen.h"
#include "screens/MainMenuScreen.h"
#include "screens/ResultsScreen.h"
#include "screens/SetupScreen.h"
#include "world/CommLink.h"
#include "world/GameFlow.h"
#include "world/MissionStats.h"
#include "world/SavedGameIndex.h"
#include "world/World.h"

namespace {

namespace fs = std::filesystem;

// The sample set: made by the maker beside the benchmark's folder into a scratch directory
// (the screens write saved games and score.dat beside it).
fs::path AssetSet() {
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path maker = self.parent_path().parent_path() / "qx-mkassets";
    const fs::path out = fs::temp_directory_path() / ("qx-front-draw-" + std::to_string(getpid()));
    const std::string command = maker.string() + " " + out.string() + " > /dev/null";
    if (std::system(command.c_str()) != 0) return fs::path();
    return out;
}

struct Scene {
    Scene() {
        set = AssetSet();
        const fs::path local = set / "Assets";
        ready = !set.empty() &&
                ResourceFile::SetAssetPath(local.string().append("/").c_str()) == 1 &&
                LoadStringTable("7a1.str") == 1;
        if (!ready) return;
        fs::current_path(set);
        world = std::make_unique<World>();
        world->font = std::make_unique<TextWriter>("7a0fxxax99s999.msp");
        world->makeLink = [] { return std::unique_ptr<CommLink>(); };
        world->savedGames = std::make_unique<SavedGameIndex>();
        for (int i = 0; i < 30; ++i)
            world->savedGames->FindOrCreate(("Saved game number " + std::to_string(i)).c_str());
        std::ofstream scores(local / "score.dat");
        for (int i = 0; i < 20; ++i)
            scores << "Player " << i << "\n" << 1000 * i << "\n";
        scores.close();
        world->gameFlow->won = 1;
        menu = Loaded(std::make_unique<MainMenuScreen>(*world));
        SetupParams all;
        all.scenarioList = all.enemiesGroup = all.clanGroup = all.techGroup = 1;
        setup = Loaded(std::make_unique<SetupScreen>(*world, all));
        loadGame = Loaded(std::make_unique<LoadGameScreen>(*world));
        stats.kills = 40;
        stats.losses = 3;
        results = Loaded(std::make_unique<ResultsScreen>(*world, &stats));
        for (int i = 0; i < 60; ++i)
            results->Update(16);
    }
    template <class S>
    std::unique_ptr<ScreenBase> Loaded(std::unique_ptr<S> screen) {
        screen->Load();
        screen->Activate();
        return screen;
    }
    ~Scene() {
        for (auto* s : {&menu, &setup, &loadGame, &results})
            if (*s) (*s)->Unload();
        menu.reset();
        setup.reset();
        loadGame.reset();
        results.reset();
        world.reset();
        if (!set.empty()) {
            fs::current_path(fs::temp_directory_path());
            fs::remove_all(set);
        }
    }
    MemoryDisplay display;
    EventQueue events;
    fs::path set;
    bool ready = false;
    std::unique_ptr<World> world;
    MissionStats stats;
    std::unique_ptr<ScreenBase> menu, setup, loadGame, results;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void Draw(benchmark::State& state, std::unique_ptr<ScreenBase> Scene::*which) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("no sample asset set (build qx-mkassets)");
        return;
    }
    for (auto _ : state) {
        (scene.*which)->Draw(16);
        benchmark::DoNotOptimize(scene.display.BackPage());
    }
}

void BM_MainMenu(benchmark::State& state) {
    Draw(state, &Scene::menu);
}
void BM_SetupAllGroups(benchmark::State& state) {
    Draw(state, &Scene::setup);
}
void BM_LoadGameFullList(benchmark::State& state) {
    Draw(state, &Scene::loadGame);
}
void BM_ResultsWithTable(benchmark::State& state) {
    Draw(state, &Scene::results);
}

void BM_FrameMemcpy(benchmark::State& state) {
    std::vector<uint8_t> from(640 * 480, 7), to(640 * 480);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
    }
}

BENCHMARK(BM_MainMenu)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetupAllGroups)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadGameFullList)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResultsWithTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
