// One world tick of the object services on a generated 200 x 200 land with 100, 400 and 1,000
// wandering units: the update of every object (each unit's step is a placement through the
// grids), the death pass (one unit dies and another is placed every 50 ticks) and the service
// of path requests (one search started per tick). The time per tick in microseconds and its
// growth with the unit count.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "Comparison.h"
#include "core/MemoryDisplay.h"
#include "world/WanderingUnit.h"
#include "world/World.h"
#include "world/WorldLand.h"

namespace {

constexpr int kSide = 200;

struct TickFixture {
    explicit TickFixture(int units) {
        LoadLand(world, files, GeneratedLand(random, kSide, kSide));
        world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
        while (static_cast<int>(walkers.size()) < units)
            AddWalker();
    }
    ~TickFixture() { world.ClearObjects(); }

    void AddWalker() {
        std::uniform_int_distribution<int> cell(1, kSide - 2);
        std::uniform_int_distribution<int> team(1, 4);
        auto walker =
            std::make_unique<WanderingUnit>(world, random, team(random), serial++,
                                            world.pathGrid->CellCenter(cell(random), cell(random)));
        WanderingUnit* raw = walker.get();
        std::unique_ptr<GameObject> owned = std::move(walker);
        if (world.AddSim(owned) == 1) walkers.push_back(raw);
    }

    void Tick() {
        world.pathSearchesThisTick = 0;
        WanderingUnit* victim = nullptr;
        if (++ticks % 50 == 0) {
            std::uniform_int_distribution<size_t> pick(0, walkers.size() - 1);
            victim = walkers[pick(random)];
            victim->destroyed = 1;
        }
        world.UpdateObjects(16);
        if (victim) {
            walkers.erase(std::find(walkers.begin(), walkers.end(), victim));
            const size_t wanted = walkers.size() + 1;
            while (walkers.size() < wanted)
                AddWalker();
        }
    }

    MemoryDisplay screen;
    LandFixture files;
    World world;
    std::mt19937 random{77};
    std::vector<WanderingUnit*> walkers;
    int serial = 1;
    int ticks = 0;
};

void WorldTick(benchmark::State& state) {
    TickFixture fixture(static_cast<int>(state.range(0)));
    // Past the first searches, when every unit asks at once.
    for (int i = 0; i < 200; ++i)
        fixture.Tick();
    for (auto _ : state)
        fixture.Tick();
    state.SetComplexityN(state.range(0));
    state.counters["units"] = static_cast<double>(fixture.walkers.size());
}

BENCHMARK(WorldTick)
    ->Arg(100)
    ->Arg(400)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

// The same tick with every placement recounting the unit's whole sight, as placements did
// before they moved it: the baseline of the comparison below.
void WorldTickRecountingSight(benchmark::State& state) {
    TickFixture fixture(static_cast<int>(state.range(0)));
    fixture.world.recountSightOnMove = true;
    for (int i = 0; i < 200; ++i)
        fixture.Tick();
    for (auto _ : state)
        fixture.Tick();
}
BENCHMARK(WorldTickRecountingSight)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintComparison("world tick 1000 units / sight recounted", reporter, "WorldTick/1000",
                    "WorldTickRecountingSight/1000", "recounting", "us");
    benchmark::Shutdown();
    return 0;
}
