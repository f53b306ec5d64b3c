// Whether a team owns a standing structure of a code is asked per part per unit per tick, per
// movement step, by every stealth and sensor test and several times per aircraft. On a
// generated 200 x 200 land with 1,000 units of three parts (a sensor, a stealth item and a
// defence part), 20 deployed structures of mixed codes and 50 aircraft: the tick answered
// through each team's gathered structures, the same tick answered by walking the team's Sim
// list (the old form, the baseline), the lookups asked per tick and the time of one lookup in
// each form. The lookups' share of the tick is printed from those.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>
#include <vector>

#include "Comparison.h"
#include "core/MemoryDisplay.h"
#include "objects/DeployingSim.h"
#include "objects/SimFactory.h"
#include "objects/SimTestSupport.h"
#include "objects/UnitVariantsSupport.h"
#include "world/WanderingUnit.h"
#include "world/World.h"
#include "world/WorldLand.h"

namespace {

constexpr int kSide = 200;
constexpr int kUnits = 1000;
constexpr int kStructures = 20;
constexpr int kAircraft = 50;

// Counts the questions, and answers them in the form asked for.
class CountingWorld : public World {
public:
    int TeamHasStructure(int team, int code) override {
        ++asked;
        return scan ? ScanForStructure(team, code) : World::TeamHasStructure(team, code);
    }
    bool scan = false;
    int64_t asked = 0;
};

struct StructureFixture {
    StructureFixture() {
        LoadLand(world, files, GeneratedLand(random, kSide, kSide));
        world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
        std::uniform_int_distribution<int> cell(2, kSide - 3);
        std::uniform_int_distribution<int> teamOf(1, 4);
        auto at = [&] { return world.pathGrid->CellCenter(cell(random), cell(random)); };
        int serial = 1;
        std::vector<MountTemplate*> parts = {units.Sensor('u'), units.Stealth('k'),
                                             units.Defence('i')};
        for (int made = 0; made < kUnits && serial < 10 * kUnits;) {
            auto design = units.Design(parts);
            if (SpawnSim(design, SimId(teamOf(random), serial++), at(), 1)) ++made;
        }
        for (int made = 0; made < kAircraft && serial < 20 * kUnits;) {
            auto design = special.Design(special.air.get(), special.plain.get());
            if (SpawnSim(design, SimId(teamOf(random), serial++), at(), 1)) ++made;
        }
        for (int made = 0; made < kStructures && serial < 30 * kUnits;) {
            auto design = special.Design(special.ground.get(), special.structures[made % 6].get());
            Sim* sim = SpawnSim(design, SimId(teamOf(random), serial++), at(), 1);
            if (!sim) continue;
            sim->facing = DeployingSim::kWorkingFacing;
            sim->DeployNow();
            if (sim->GetKind() == 7) ++made;
        }
        world.ReserveSerial(serial);
    }
    ~StructureFixture() { world.ClearObjects(); }

    void Tick() {
        world.pathSearchesThisTick = 0;
        world.UpdateObjects(16);
    }

    MemoryDisplay screen;
    SimKit units;
    SpecialKit special;
    LandFixture files;
    CountingWorld world;
    std::mt19937 random{31};
};

StructureFixture& Fixture() {
    static StructureFixture fixture;
    return fixture;
}

template <bool Scan>
void Tick(benchmark::State& state) {
    StructureFixture& f = Fixture();
    f.world.scan = Scan;
    for (int i = 0; i < 50; ++i)
        f.Tick();
    f.world.asked = 0;
    int64_t ticks = 0;
    for (auto _ : state) {
        f.Tick();
        ++ticks;
    }
    state.counters["lookups_per_tick"] =
        static_cast<double>(f.world.asked) / static_cast<double>(std::max<int64_t>(1, ticks));
}

template <bool Scan>
void Lookup(benchmark::State& state) {
    StructureFixture& f = Fixture();
    f.world.scan = Scan;
    int i = 0;
    for (auto _ : state) {
        const int team = 1 + i % 4;
        const int code = (i / 4) % 6;
        ++i;
        benchmark::DoNotOptimize(f.world.TeamHasStructure(team, code));
    }
}

BENCHMARK(Tick<false>)->Name("Tick/gathered")->Unit(benchmark::kMicrosecond);
BENCHMARK(Tick<true>)->Name("Tick/scan")->Unit(benchmark::kMicrosecond);
BENCHMARK(Lookup<false>)->Name("Lookup/gathered");
BENCHMARK(Lookup<true>)->Name("Lookup/scan");

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintComparison("structure tick / team list walked", reporter, "Tick/gathered", "Tick/scan",
                    "walking", "us");
    const double perTick = reporter.Counter("Tick/gathered", "lookups_per_tick");
    const double tickUs = reporter.Time("Tick/gathered");
    const double lookupNs = reporter.Time("Lookup/gathered");
    if (tickUs > 0)
        std::printf("lookups: %.0f per tick, %.1f ns each, %.1f %% of the tick\n", perTick,
                    lookupNs, 100.0 * perTick * lookupNs / 1000.0 / tickUs);
    benchmark::Shutdown();
    return 0;
}
