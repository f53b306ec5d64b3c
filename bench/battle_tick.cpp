// A battle tick: 1,000 armed units, 500 a side, with weapons of every shot class (of levels
// that need no weapon structure), attack-moving at each other on a generated 200 x 200
// land from a seeded start. The time per tick in microseconds over a fixed window once the
// armies are in contact, with the live shot count.
//
// In the same run, the target search: World::FindObjectNear (the path grid's box, layers 1 and
// 2, hostile and detectable) against a scan of the hostile teams' unit lists asking the same
// question, on the battle's positions. Both must find an enemy, or both none, for every query;
// then the microseconds per query and the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/MemoryDisplay.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "objects/WeaponTemplates.h"
#include "world/ObjectNode.h"
#include "world/WanderingUnit.h"
#include "world/World.h"
#include "world/WorldLand.h"

namespace {

constexpr int kSide = 200;
constexpr int kUnits = 1000;
constexpr int kClasses = 12;

// Hulls of four hardpoints; one weapon record per shot class and clan, ranges 140 to 300.
struct BattleKit {
    BattleKit() {
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
        for (int k = 0; k < kClasses; ++k) {
            WeaponValues v;
            v.mount.clan = k % 2 ? 'T' : 'V';
            v.mount.role = static_cast<char>('a' + k % 8);
            v.reloadField = 300 + 150 * (k % 6);
            v.rangeField = 140 + 15 * k;
            v.travelField = 10 + k % 5;
            v.firePowerField = 6 + 2 * k;
            v.kindLetter = 'i';
            v.shotLayerField = k % 3 == 2 ? 2 : 1;
            weapons.push_back(MakeShotTemplate(static_cast<WeaponClass>(k), v));
        }
    }
    std::unique_ptr<VehicleDesign> Design(int variant) {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = drive.get();
        d->chassis = chassis.get();
        for (int h = 0; h < 3; ++h)
            d->hardpoints[static_cast<size_t>(h)] =
                weapons[static_cast<size_t>((variant + 5 * h) % kClasses)].get();
        return d;
    }
    std::unique_ptr<PartTemplate> drive;
    std::unique_ptr<ChassisTemplate> chassis;
    std::vector<std::unique_ptr<WeaponTemplate>> weapons;
};

struct BattleFixture {
    BattleFixture() {
        LoadLand(world, files, GeneratedLand(random, kSide, kSide));
        world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
        std::uniform_int_distribution<int> row(2, kSide - 3);
        std::uniform_int_distribution<int> depth(2, 40);
        int serial = 1;
        while (static_cast<int>(ids.size()) < kUnits && serial < 10 * kUnits) {
            const int team = 1 + serial % 2;
            // Two armies facing each other across the middle, 40 columns deep.
            const int column =
                team == 1 ? kSide / 2 - 4 - depth(random) : kSide / 2 + 3 + depth(random);
            std::unique_ptr<VehicleDesign> design = kit.Design(serial);
            const SimId id(team, serial++);
            if (SpawnSim(design, id, world.pathGrid->CellCenter(row(random), column), 1))
                ids.push_back(id);
        }
        world.ReserveSerial(serial);
        for (const SimId& id : ids) {
            GameObject* sim = world.FindSim(id);
            if (!sim) continue;
            const int column = id.team == 1 ? kSide - 20 : 20;
            sim->IssueOrder(Sim::kOrderMove, 0,
                            world.pathGrid->CellCenter(sim->GetPosition().y / 32, column), SimId());
        }
    }
    ~BattleFixture() { world.ClearObjects(); }

    void Tick() {
        world.pathSearchesThisTick = 0;
        world.UpdateObjects(16);
    }
    int Shots() {
        int n = 0;
        for (int team = 0; team < World::kTeams; ++team)
            n += world.weapons[team].Count();
        return n;
    }

    MemoryDisplay screen;
    LandFixture files;
    World world;
    BattleKit kit;
    std::mt19937 random{1207};
    std::vector<SimId> ids;
};

void BattleTick(benchmark::State& state) {
    BattleFixture fixture;
    // Until the armies are in contact (shots under way) and a little longer.
    int warm = 0;
    while (fixture.Shots() < 50 && warm < 3000) {
        fixture.Tick();
        ++warm;
    }
    for (int i = 0; i < 100; ++i)
        fixture.Tick();
    double shots = 0;
    int ticks = 0;
    for (auto _ : state) {
        fixture.Tick();
        shots += fixture.Shots();
        ++ticks;
    }
    state.counters["units"] = static_cast<double>(fixture.ids.size());
    state.counters["shots"] = ticks > 0 ? shots / ticks : 0.0;
    state.counters["warm_ticks"] = warm;
}
BENCHMARK(BattleTick)->Iterations(300)->Unit(benchmark::kMicrosecond);

// What FindObjectNear answers, asked of every hostile unit in turn.
GameObject* ScanNear(World& world, GameObject* o, int radius) {
    PathGrid& grid = *world.pathGrid;
    const Size cell = grid.CellSize();
    const int rows = radius ? (radius + cell.h - 1) / cell.h : 2;
    const int columns = radius ? (radius + cell.w - 1) / cell.w : 2;
    short row = 0, column = 0;
    grid.PixelToCell(o->GetPosition(), row, column);
    GameObject* found = nullptr;
    for (int team = 0; team < World::kTeams && !found; ++team) {
        if (team == o->GetTeam()) continue;
        for (ListNode* n = world.sims[team].First(); n && !found; n = world.sims[team].Next(n)) {
            GameObject* other = static_cast<ObjectNode*>(n)->Object();
            const int layer = other->GetCollision()->layer;
            if (layer < 1 || other->IsDestroyed() || o->IsHostileTo(other) != 1) continue;
            const Rect f = other->GetFootprint();
            short r0 = 0, c0 = 0, r1 = 0, c1 = 0;
            grid.PixelToCell(f.origin, r0, c0);
            grid.PixelToCell(f.BottomRight(), r1, c1);
            if (r1 < row - rows || r0 > row + rows || c1 < column - columns ||
                c0 > column + columns)
                continue;
            if (world.sight->CanDetect(o, other)) found = other;
        }
    }
    return found;
}

void TargetSearch(benchmark::State& state) {
    BattleFixture fixture;
    int warm = 0;
    while (fixture.Shots() < 50 && warm < 3000) {
        fixture.Tick();
        ++warm;
    }
    std::vector<GameObject*> askers;
    for (const SimId& id : fixture.ids) {
        if (GameObject* sim = fixture.world.FindSim(id); sim && !sim->IsDestroyed())
            askers.push_back(sim);
    }
    int disagreements = 0;
    for (GameObject* o : askers)
        disagreements += (fixture.world.FindObjectNear(o, 200) != nullptr) !=
                         (ScanNear(fixture.world, o, 200) != nullptr);
    if (disagreements != 0) {
        state.SkipWithError("the grid search and the scan disagree");
        return;
    }
    const bool scan = state.range(0) == 1;
    size_t i = 0;
    for (auto _ : state) {
        GameObject* o = askers[i++ % askers.size()];
        benchmark::DoNotOptimize(scan ? ScanNear(fixture.world, o, 200)
                                      : fixture.world.FindObjectNear(o, 200));
    }
    state.counters["askers"] = static_cast<double>(askers.size());
    // The scan's time over the grid search's, on every asker once each.
    auto timed = [&](bool byScan) {
        const auto start = std::chrono::steady_clock::now();
        for (GameObject* o : askers)
            benchmark::DoNotOptimize(byScan ? ScanNear(fixture.world, o, 200)
                                            : fixture.world.FindObjectNear(o, 200));
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double grid = timed(false);
    state.counters["scan_over_grid"] = grid > 0 ? timed(true) / grid : 0.0;
}
BENCHMARK(TargetSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
