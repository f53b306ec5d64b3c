// The computer opponent's influence grid refresh with 4 teams of 200 units (and a factory
// each) on a 200 × 200 land, against the plain way of filling the same counters (for each
// cell, a loop over every unit) and against the floor (zeroing the counters and one pass over
// the units). The counters of the plain loop are compared with the grid's before timing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "Comparison.h"
#include "ai/AIFixture.h"
#include "ai/InfluenceGrid.h"
#include "ai/UnitTraits.h"
#include "core/EventReceiver.h"

namespace {

constexpr int kSide = 200;
constexpr int kTeams = 4;
constexpr int kUnitsPerTeam = 200;
constexpr int kCell = 256;

struct Sink : EventReceiver {
    void OnEvent(int32_t, void*, void*) override { ++events; }
    int events = 0;
};

struct GridFixture {
    GridFixture() : land(kSide, kSide), grid(land.world, kCell, kCell) {
        SeedRandom(3);
        const char roles[] = {'a', 'a', 'a', 'f', 'k', 'h'};
        const int extent = kSide * 32;
        for (int team = 1; team <= kTeams; ++team) {
            for (int i = 0; i < kUnitsPerTeam; ++i) {
                const Point at(RandomRange(0, extent - 1), RandomRange(0, extent - 1));
                AIUnit* unit = RandomRange(0, 9) == 0
                                   ? land.AddStructure(team, at, RandomRange(0, 5))
                                   : land.AddUnit(team, at, roles[RandomRange(0, 5)]);
                unit->fire = RandomRange(0, 40);
                unit->SetHealth(RandomRange(50, 300), RandomRange(0, 40));
            }
            land.AddFactory(team, Point(RandomRange(0, extent - 1), RandomRange(0, extent - 1)));
        }
    }
    ~GridFixture() { land.world.ClearObjects(); }
    std::vector<std::pair<int, GameObject*>> objects() {
        std::vector<std::pair<int, GameObject*>> all;
        for (int team = 1; team <= kTeams; ++team) {
            NodeList& list = land.world.sims[team];
            for (ListNode* n = list.First(); n; n = list.Next(n))
                all.push_back({team, static_cast<ObjectNode*>(n)->Object()});
        }
        return all;
    }

    AIWorld land;
    InfluenceGrid grid;
    Sink sink;
};

GridFixture& Fixture() {
    static GridFixture fixture;
    return fixture;
}

int CategoryOf(GameObject* o) {
    if (unit_traits::IsWorker(o)) return InfluenceCell::kWorkerFire;
    if (unit_traits::IsStructure(o)) return InfluenceCell::kStructureFire;
    return InfluenceCell::kCombatFire;
}

// For each cell, a loop over every object of every team (and the factories).
void BruteForce(GridFixture& f, std::vector<InfluenceCell>& cells) {
    for (InfluenceCell& cell : cells) {
        for (auto& counter : cell.counters)
            counter.fill(0);
        const Rect r = f.grid.CellRect(cell);
        auto inside = [&](const Point& p) {
            return p.x >= r.origin.x && p.y >= r.origin.y && p.x < r.origin.x + r.extent.w &&
                   p.y < r.origin.y + r.extent.h;
        };
        for (int team = 1; team <= kTeams; ++team) {
            NodeList& list = f.land.world.sims[team];
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                GameObject* o = static_cast<ObjectNode*>(n)->Object();
                if (o->IsDestroyed() || !inside(o->GetPosition())) continue;
                const int k = CategoryOf(o);
                cell.counters[k][team] += o->GetFirePower();
                cell.counters[k + 1][team] += unit_traits::HealthOf(o);
                if (k == InfluenceCell::kCombatFire) ++cell.counters[1][team];
            }
            GameObject* factory = f.land.world.TeamFactory(team);
            if (factory && inside(factory->GetPosition())) {
                cell.counters[4][team] += factory->GetFirePower();
                cell.counters[5][team] += unit_traits::HealthOf(factory);
            }
        }
    }
}

std::vector<InfluenceCell> CopyCells(GridFixture& f) {
    std::vector<InfluenceCell> cells;
    for (int r = 0; r < f.grid.Rows(); ++r)
        for (int c = 0; c < f.grid.Columns(); ++c)
            cells.push_back(*f.grid.CellAt(r, c));
    return cells;
}

void BM_Refresh(benchmark::State& state) {
    GridFixture& f = Fixture();
    for (auto _ : state)
        f.grid.Refresh(1, f.sink);
    // The counters the plain loop finds, compared once.
    std::vector<InfluenceCell> cells = CopyCells(f);
    BruteForce(f, cells);
    int mismatches = 0;
    for (const InfluenceCell& cell : cells)
        if (cell.counters != f.grid.CellAt(cell.row, cell.column)->counters) ++mismatches;
    state.counters["mismatched cells"] = mismatches;
}

void BM_BruteForce(benchmark::State& state) {
    GridFixture& f = Fixture();
    std::vector<InfluenceCell> cells = CopyCells(f);
    for (auto _ : state) {
        BruteForce(f, cells);
        benchmark::DoNotOptimize(cells.data());
    }
}

// Zeroing the counters and reading every object once: what any refresh must at least do.
void BM_Floor(benchmark::State& state) {
    GridFixture& f = Fixture();
    std::vector<InfluenceCell> cells = CopyCells(f);
    std::vector<std::pair<int, GameObject*>> all = f.objects();
    for (auto _ : state) {
        for (InfluenceCell& cell : cells)
            for (auto& counter : cell.counters)
                counter.fill(0);
        int64_t sum = 0;
        for (auto& [team, o] : all)
            sum += o->GetPosition().x + o->GetFirePower() + unit_traits::HealthOf(o) + team;
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_Refresh)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BruteForce)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("influence grid: %.0f mismatched cells against the plain recount\n",
                reporter.Counter("BM_Refresh", "mismatched cells"));
    PrintComparison("influence grid refresh / plain recount", reporter, "BM_Refresh",
                    "BM_BruteForce", "plain", "us");
    PrintComparison("influence grid refresh / zero and one pass", reporter, "BM_Refresh",
                    "BM_Floor", "floor", "us");
    benchmark::Shutdown();
    return 0;
}
