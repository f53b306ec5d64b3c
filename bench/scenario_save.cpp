// The autosave snapshot of a 200 x 200 land with 1,000 objects: formatting and writing the
// file, the whole atomic save (with fsync and rename), and beside it the same bytes written in
// one write() with fsync and rename (the device's limit), and reading the file back into a
// fresh game.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "map/CollisionFilter.h"
#include "map/LandFixture.h"
#include "map/PathGrid.h"
#include "objects/GameObject.h"
#include "platform/AtomicFile.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr int kSide = 200;
constexpr int kObjects = 1000;

// A unit with one own record line, like the game's units.
class BenchUnit : public GameObject {
public:
    BenchUnit(const SimId& id, const Point& at)
        : GameObject(at, 0, Size(32, 32), nullptr, 0, CollisionFilter(2, 0, 0, 0, 0), id, 100, 1) {}
    void Write(ResourceFile& file, char* buffer, int size) override {
        std::snprintf(buffer, static_cast<size_t>(size), "q = %d", id.serial * 7);
        file.WriteLine(buffer);
    }
};

void InstallMakers(World& world) {
    world.scenarioMakers.spawnSim = [](const char*, const SimId& id, const Point& p) {
        return std::make_unique<BenchUnit>(id, p);
    };
}

struct Game {
    Game() {
        LandLayout layout;
        layout.columns = kSide;
        layout.rows = kSide;
        for (int r = 0; r < kSide; ++r)
            layout.letters.push_back(std::string(kSide, 'c'));
        layout.starts = {{10, 10}, {10, 180}, {180, 10}, {180, 180}};
        files.WriteLand(layout);
        world = NewWorld();
        auto scenario = std::make_unique<Scenario>();
        scenario->computerPlayers = 0;
        scenario->debugFlag = 1;
        scenario->artifacts = 0;
        world->SetPendingScenario(std::move(scenario));
        world->NewGame();
        int made = 0;
        for (int r = 3; r < kSide - 3 && made < kObjects; r += 6) {
            for (int c = 3; c < kSide - 3 && made < kObjects; c += 6) {
                std::unique_ptr<GameObject> unit = std::make_unique<BenchUnit>(
                    world->NewSimId(1 + made % 4), world->pathGrid->CellCenter(r, c));
                if (world->AddSim(unit)) ++made;
            }
        }
        world->SaveGame("bench.scn");
        std::ifstream in(files.Path() + "bench.scn", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ~Game() { world->ClearObjects(); }
    std::unique_ptr<World> NewWorld() const {
        auto w = std::make_unique<World>();
        w->localDir = files.Path();
        w->dataDir = files.Path();
        InstallMakers(*w);
        return w;
    }

    LandFixture files;
    std::unique_ptr<World> world;
    std::string bytes;
};

Game& TheGame() {
    static Game game;
    return game;
}

void SetCounters(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(TheGame().bytes.size()));
    state.counters["bytes"] = static_cast<double>(TheGame().bytes.size());
}

// Formatting and writing into the temporary file; the save stops before the fsync.
void BM_SnapshotFormatAndWrite(benchmark::State& state) {
    Game& game = TheGame();
    SetAtomicFileFault(AtomicFileStage::Sync);
    for (auto _ : state)
        benchmark::DoNotOptimize(game.world->SaveGame("bench.scn"));
    SetAtomicFileFault(AtomicFileStage::None);
    SetCounters(state);
}
BENCHMARK(BM_SnapshotFormatAndWrite)->Unit(benchmark::kMillisecond);

// The whole snapshot: format, write, fsync, rename, directory fsync.
void BM_SnapshotSave(benchmark::State& state) {
    Game& game = TheGame();
    for (auto _ : state)
        benchmark::DoNotOptimize(game.world->SaveGame("bench.scn"));
    SetCounters(state);
}
BENCHMARK(BM_SnapshotSave)->Unit(benchmark::kMillisecond);

// The same bytes in one write(), with (state 1) or without (0) fsync, then the rename.
void BM_RawWrite(benchmark::State& state) {
    Game& game = TheGame();
    const std::string target = game.files.Path() + "raw.scn";
    const std::string temporary = target + ".tmp";
    for (auto _ : state) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        benchmark::DoNotOptimize(::write(fd, game.bytes.data(), game.bytes.size()));
        if (state.range(0)) ::fsync(fd);
        ::close(fd);
        std::rename(temporary.c_str(), target.c_str());
        if (state.range(0)) {
            const int dir = ::open(game.files.Path().c_str(), O_RDONLY | O_DIRECTORY);
            ::fsync(dir);
            ::close(dir);
        }
    }
    SetCounters(state);
}
BENCHMARK(BM_RawWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Reading the snapshot into a fresh game: the check, the land and every record.
void BM_SnapshotLoad(benchmark::State& state) {
    Game& game = TheGame();
    for (auto _ : state) {
        std::unique_ptr<World> world = game.NewWorld();
        auto scenario = std::make_unique<Scenario>();
        scenario->SetFileName("bench.scn");
        world->SetPendingScenario(std::move(scenario));
        benchmark::DoNotOptimize(world->NewGame());
        state.PauseTiming();
        world->ClearObjects();
        world.reset();
        state.ResumeTiming();
    }
    SetCounters(state);
}
BENCHMARK(BM_SnapshotLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
