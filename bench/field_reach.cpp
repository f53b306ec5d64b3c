// What sending a miner to a field costs on the largest land (200 x 200), a wide river across it
// and ponds about, 24 fields on both banks, with a ground miner on the near bank: the nearest
// field by distance alone, the nearest field the miner's drive reaches with the banks already
// labelled (each decision after the first), and the first decision on a land, which labels the
// banks for that drive.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "world/TestObject.h"
#include "world/WanderingUnit.h"
#include "world/World.h"
#include "world/WorldLand.h"

namespace {

constexpr int kSide = 200;
constexpr int kFields = 24;
constexpr int kRiverRow = kSide / 2;

struct ReachFixture {
    ReachFixture() {
        LandLayout layout = GeneratedLand(random, kSide, kSide);
        for (int r = kRiverRow - 2; r <= kRiverRow + 2; ++r)
            layout.letters[static_cast<size_t>(r)] = std::string(kSide, 'w');
        LoadLand(world, files, layout);
        world.terrain->SetRevealAll(1);
        std::uniform_int_distribution<int> column(2, kSide - 3);
        // The near bank's fields lie farther from the miner than the far bank's.
        for (int i = 0; i < kFields; ++i) {
            const int row = i % 2 == 0 ? kRiverRow + 4 : 10;
            std::unique_ptr<GameObject> field = std::make_unique<TestObject>(
                0, 100 + i, world.pathGrid->CellCenter(row, column(random)), 4, 1);
            field->SetCargoCapacity(10);
            field->AddCargo(10);
            world.AddDestructible(field);
        }
        miner = std::make_unique<TestObject>(1, 1, world.pathGrid->CellCenter(kRiverRow - 4, 100),
                                             1, 1);
        miner->collision.noWater = 1;
    }
    ~ReachFixture() { world.ClearObjects(); }

    MemoryDisplay screen;
    LandFixture files;
    World world;
    std::mt19937 random{7};
    std::unique_ptr<TestObject> miner;
};

ReachFixture& Fixture() {
    static ReachFixture fixture;
    return fixture;
}

void NearestByDistance(benchmark::State& state) {
    ReachFixture& f = Fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.world.NearestDestructible(f.miner.get(), 0));
}

void NearestInReach(benchmark::State& state) {
    ReachFixture& f = Fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.world.NearestFieldInReach(f.miner.get(), f.miner.get(), 0));
}

// A change of terrain bits (set and cleared again) makes the labels stale.
void FirstDecisionOnALand(benchmark::State& state) {
    ReachFixture& f = Fixture();
    for (auto _ : state) {
        f.world.pathGrid->SetCellBits(0, 0, kCellFeature);
        f.world.pathGrid->ClearCellBits(0, 0, kCellFeature);
        benchmark::DoNotOptimize(f.world.NearestFieldInReach(f.miner.get(), f.miner.get(), 0));
    }
}

BENCHMARK(NearestByDistance)->Name("MinerField/nearest");
BENCHMARK(NearestInReach)->Name("MinerField/nearestInReach");
BENCHMARK(FirstDecisionOnALand)->Name("MinerField/firstDecisionOnALand");

}  // namespace

BENCHMARK_MAIN();
