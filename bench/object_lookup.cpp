// The lookups every unit makes several times a tick, with 1,000 units of five teams listed on
// a generated 200 x 200 land (a few of them deployed structures): an object by id through the
// index and by walking the lists (ids of listed units and ids that name nothing), and a team's
// structure of a code through the gathered structures and by walking the team's list.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "core/MemoryDisplay.h"
#include "world/WanderingUnit.h"
#include "world/World.h"
#include "world/WorldLand.h"

namespace {

constexpr int kSide = 200;
constexpr int kUnits = 1000;
constexpr int kCodes = 6;

struct LookupFixture {
    LookupFixture() {
        LoadLand(world, files, GeneratedLand(random, kSide, kSide));
        world.setDeployKind = [](GameObject* o, int kind) {
            static_cast<TestObject*>(o)->kind = kind;
        };
        world.structureCodeOf = [](GameObject* o) { return o->id.serial % kCodes; };
        std::uniform_int_distribution<int> cell(1, kSide - 2);
        std::uniform_int_distribution<int> team(0, 4);
        while (static_cast<int>(units.size()) < kUnits) {
            auto unit = std::make_unique<WanderingUnit>(
                world, random, team(random), serial++,
                world.pathGrid->CellCenter(cell(random), cell(random)));
            WanderingUnit* raw = unit.get();
            std::unique_ptr<GameObject> owned = std::move(unit);
            if (world.AddSim(owned) != 1) continue;
            units.push_back(raw);
            ids.push_back(raw->id);
            // Every other id names nothing.
            ids.push_back(SimId(raw->id.team, raw->id.serial + 100000));
        }
        for (int i = 0; i < 10; ++i)
            world.DeploySim(units[static_cast<size_t>(i) * 97]);
    }
    ~LookupFixture() { world.ClearObjects(); }

    MemoryDisplay screen;
    LandFixture files;
    World world;
    std::mt19937 random{5};
    std::vector<WanderingUnit*> units;
    std::vector<SimId> ids;
    int serial = 1;
};

LookupFixture& Fixture() {
    static LookupFixture fixture;
    return fixture;
}

template <bool Indexed>
void FindById(benchmark::State& state) {
    LookupFixture& f = Fixture();
    size_t i = 0;
    for (auto _ : state) {
        const SimId& id = f.ids[i++ % f.ids.size()];
        benchmark::DoNotOptimize(Indexed ? f.world.FindObject(id) : f.world.ScanForObject(id));
    }
}

template <bool Gathered>
void StructureOfTeam(benchmark::State& state) {
    LookupFixture& f = Fixture();
    int i = 0;
    for (auto _ : state) {
        const int team = i % World::kTeams;
        const int code = (i / World::kTeams) % kCodes;
        ++i;
        benchmark::DoNotOptimize(Gathered ? f.world.TeamHasStructure(team, code)
                                          : f.world.ScanForStructure(team, code));
    }
}

BENCHMARK(FindById<true>)->Name("FindObject/index");
BENCHMARK(FindById<false>)->Name("FindObject/scan");
BENCHMARK(StructureOfTeam<true>)->Name("TeamHasStructure/gathered");
BENCHMARK(StructureOfTeam<false>)->Name("TeamHasStructure/scan");

}  // namespace

BENCHMARK_MAIN();
