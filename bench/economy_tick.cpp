// One world tick of a running economy on a generated 200 x 200 land: 20 buildings with
// unloading docks (five per team, standing in for the factories), 200 miners working 100
// fields, and idle units and ore wells up to 1,000 objects; the miners look their goals' owner
// and field up by id every tick. The time per tick and the FindObject calls per tick, side by
// side with 1,000 idle plain units (the floor).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "Comparison.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/MemoryDisplay.h"
#include "objects/DestructibleObject.h"
#include "objects/OreDeposit.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "support/FakeClock.h"
#include "world/WanderingUnit.h"
#include "world/World.h"
#include "world/WorldLand.h"

namespace {

constexpr int kSide = 200;
constexpr int kObjects = 1000;

// A World that counts the lookups by id the objects make.
class CountingWorld : public World {
public:
    GameObject* FindObject(const SimId& id) override {
        ++lookups;
        return World::FindObject(id);
    }
    int64_t lookups = 0;
};

// A building with the factory's three unloading docks and room for every delivery.
class DockedBuilding : public GameObject {
public:
    DockedBuilding(const Point& at, const SimId& id)
        : GameObject(at, 0, Size(96, 96), nullptr, 0, CollisionFilter(4, 0, 0, 0, 0), id, 1000, 1) {
        teamRecord.first = teamRecord.second = id.team;
        SetCargoCapacity(1 << 30);
        for (const Point& dock : {Point(0, 96), Point(-96, 0), Point(96, 0)})
            AppendDock(2, dock);
    }
    int GetKind() override { return 4; }
};

struct Kit {
    Kit() {
        drive = std::make_unique<PartTemplate>('V', 'W', 1, 1, 0, 90, 1);
        drive->moveValue = 9;
        drive->terrainFlag1 = drive->terrainFlag3 = 1;
        for (char role : {'f', 'a'}) {
            ChassisValues c;
            c.clan = 'V';
            c.role = role;
            c.strength = 300;
            c.moveValue = 9;
            chassis.push_back(std::make_unique<ChassisTemplate>(c));
        }
    }
    std::unique_ptr<VehicleDesign> Design(int index) {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = drive.get();
        d->chassis = chassis[static_cast<size_t>(index)].get();
        return d;
    }
    std::unique_ptr<PartTemplate> drive;
    std::vector<std::unique_ptr<ChassisTemplate>> chassis;
};

struct EconomyFixture {
    // miners 0 gives the floor: every object an idle plain unit.
    explicit EconomyFixture(int miners) {
        LoadLand(world, files, GeneratedLand(random, kSide, kSide));
        world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
        std::uniform_int_distribution<int> cell(4, kSide - 5);
        int serial = 1;
        int objects = 0;
        const auto at = [&] { return world.pathGrid->CellCenter(cell(random), cell(random)); };
        if (miners > 0) {
            for (int team = 1; team <= 4; ++team) {
                for (int i = 0; i < 5; ++i, ++objects)
                    world.AddBuilding(
                        std::make_unique<DockedBuilding>(at(), SimId(team, serial++)));
            }
            for (int i = 0; i < 100; ++i) {
                std::unique_ptr<GameObject> field =
                    std::make_unique<DestructibleObject>(at(), nullptr, SimId(1 + i % 4, serial++));
                field->SetCargoCapacity(1 << 30);
                field->AddCargo(1 << 29);
                objects += world.AddDestructible(field);
            }
            for (int i = 0; i < 30; ++i) {
                std::unique_ptr<GameObject> deposit = std::make_unique<OreDeposit>(
                    at(), Size(64, 64), nullptr, CollisionFilter(1, 0, 0, 0, 0),
                    SimId(0, serial++));
                objects += world.AddOreDeposit(deposit);
            }
            for (int placed = 0; placed < miners && serial < 100000;) {
                std::unique_ptr<VehicleDesign> design = kit.Design(0);
                if (SpawnSim(design, SimId(1 + serial % 4, serial), at(), 1)) ++placed;
                ++serial;
            }
            objects += miners;
        }
        while (objects < kObjects && serial < 100000) {
            std::unique_ptr<VehicleDesign> design = kit.Design(1);
            if (SpawnSim(design, SimId(1 + serial % 4, serial), at(), 1)) ++objects;
            ++serial;
        }
        world.ReserveSerial(serial);
    }
    ~EconomyFixture() { world.ClearObjects(); }

    void Tick() {
        clock.Advance(16);
        world.pathSearchesThisTick = 0;
        world.UpdateObjects(16);
    }

    FakeClock clock{1000};
    MemoryDisplay screen;
    LandFixture files;
    CountingWorld world;
    Kit kit;
    std::mt19937 random{23};
};

void Run(benchmark::State& state, int miners) {
    EconomyFixture fixture(miners);
    // Past the first manoeuvre period, when the miners set out.
    for (int i = 0; i < 600; ++i)
        fixture.Tick();
    const int64_t before = fixture.world.lookups;
    int64_t ticks = 0;
    for (auto _ : state) {
        fixture.Tick();
        ++ticks;
    }
    state.counters["FindObject/tick"] =
        static_cast<double>(fixture.world.lookups - before) / static_cast<double>(ticks);
}

void EconomyTick(benchmark::State& state) {
    Run(state, 200);
}
BENCHMARK(EconomyTick)->Unit(benchmark::kMicrosecond);

void IdleUnitsTick(benchmark::State& state) {
    Run(state, 0);
}
BENCHMARK(IdleUnitsTick)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintComparison("economy tick 1000 objects / idle units", reporter, "EconomyTick",
                    "IdleUnitsTick", "idle", "us");
    benchmark::Shutdown();
    return 0;
}
