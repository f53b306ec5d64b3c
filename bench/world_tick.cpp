// One world tick of the object services on a generated 200 x 200 land with 100, 400 and 1,000
// wandering units: the update of every object (each unit's step is a placement through the
// grids), the death pass (one unit dies and another is placed every 50 ticks) and the service
// of path requests (one search started per tick). The time per tick in microseconds and its
// growth with the unit count.
//
// ArmedSims: 1,000 armed units of two teams (designs like the sample set's: a drive, a chassis
// of four hardpoints, two or three weapons of ranges 140 to 300) under move and attack orders,
// their mounts aiming and fire control choosing targets (the weapon records make no shots yet).
// It times 1,000 wandering units in the same run and reports the ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>
#include <vector>

#include "Comparison.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"

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

// The records the armed units are built from, made in memory as the sample catalogue has them.
struct ArmedKit {
    ArmedKit() {
        drive = std::make_unique<PartTemplate>('V', 'W', 1, 1, 0, 90, 1);
        drive->moveValue = 9;
        drive->terrainFlag1 = drive->terrainFlag3 = 1;
        ChassisValues c;
        c.clan = 'V';
        c.role = 'b';
        c.strength = 400;
        c.moveValue = 9;
        c.hardpointCount = 4;
        c.capacities.assign(4, 3);
        for (int h = 0; h < 4; ++h) {
            for (int f = 0; f < 16; ++f)
                c.mountOffsets.push_back(Point(h * 4 - 6, (f % 4) - 2));
        }
        chassis = std::make_unique<ChassisTemplate>(c);
        const int ranges[4] = {140, 180, 260, 300};
        const int layers[4] = {1, 1, 2, 1};
        for (int i = 0; i < 4; ++i) {
            WeaponValues v;
            v.mount.clan = 'V';
            v.mount.role = static_cast<char>('a' + i);
            v.reloadField = 300 + 400 * i;
            v.rangeField = ranges[i];
            v.firePowerField = 6 + 8 * i;
            v.kindLetter = 'i';
            v.shotLayerField = layers[i];
            weapons.push_back(std::make_unique<WeaponTemplate>(WeaponClass::Beam, v));
        }
    }
    std::unique_ptr<VehicleDesign> Design(int variant) {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = drive.get();
        d->chassis = chassis.get();
        for (int h = 0; h < 2 + variant % 2; ++h)
            d->hardpoints[static_cast<size_t>(h)] =
                weapons[static_cast<size_t>((h + variant) % 4)].get();
        return d;
    }
    std::unique_ptr<PartTemplate> drive;
    std::unique_ptr<ChassisTemplate> chassis;
    std::vector<std::unique_ptr<WeaponTemplate>> weapons;
};

struct ArmedFixture {
    explicit ArmedFixture(int units) {
        LoadLand(world, files, GeneratedLand(random, kSide, kSide));
        world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
        std::uniform_int_distribution<int> cell(1, kSide - 2);
        // Two armies facing each other across the middle of the land.
        std::uniform_int_distribution<int> half(1, kSide / 2 - 2);
        int serial = 1;
        while (static_cast<int>(ids.size()) < units && serial < 10 * units) {
            const int team = 1 + serial % 2;
            const int column = team == 1 ? half(random) : kSide / 2 + half(random);
            std::unique_ptr<VehicleDesign> design = kit.Design(serial);
            const SimId id(team, serial++);
            if (SpawnSim(design, id, world.pathGrid->CellCenter(cell(random), column), 1))
                ids.push_back(id);
        }
        world.ReserveSerial(serial);
        for (size_t i = 0; i < ids.size(); ++i)
            Order(i);
    }
    ~ArmedFixture() { world.ClearObjects(); }

    // Every third unit attacks an enemy, the others move somewhere.
    void Order(size_t i) {
        auto* sim = static_cast<Sim*>(world.FindSim(ids[i]));
        if (!sim) return;
        std::uniform_int_distribution<size_t> unit(0, ids.size() - 1);
        std::uniform_int_distribution<int> pixel(32, kSide * 32 - 32);
        if (i % 3 == 0) {
            for (int tries = 0; tries < 8; ++tries) {
                const SimId enemy = ids[unit(random)];
                if (enemy.team == sim->GetTeam()) continue;
                sim->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy);
                return;
            }
        }
        sim->IssueOrder(Sim::kOrderMove, 0, Point(pixel(random), pixel(random)), SimId());
    }

    void Tick() {
        world.pathSearchesThisTick = 0;
        // New orders for a few units each tick.
        std::uniform_int_distribution<size_t> unit(0, ids.size() - 1);
        for (int k = 0; k < 5; ++k)
            Order(unit(random));
        world.UpdateObjects(16);
    }

    MemoryDisplay screen;
    LandFixture files;
    World world;
    ArmedKit kit;
    std::mt19937 random{91};
    std::vector<SimId> ids;
};

void ArmedSims(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    // The wandering units' tick, timed in the same run for the ratio.
    double wanderUs = 0.0;
    {
        TickFixture walkers(units);
        for (int i = 0; i < 200; ++i)
            walkers.Tick();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 300; ++i)
            walkers.Tick();
        wanderUs =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count() /
            300.0;
    }
    ArmedFixture fixture(units);
    for (int i = 0; i < 200; ++i)
        fixture.Tick();
    int ticks = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        fixture.Tick();
        ++ticks;
    }
    const double armedUs =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count() /
        std::max(1, ticks);
    state.counters["units"] = static_cast<double>(fixture.ids.size());
    state.counters["wander_us"] = wanderUs;
    state.counters["ratio"] = wanderUs > 0.0 ? armedUs / wanderUs : 0.0;
}

BENCHMARK(ArmedSims)->Arg(1000)->Unit(benchmark::kMicrosecond);

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
