// One computer team's turn per tick with two computer teams of 50 to 800 units each on a
// 200 × 200 land, over 60 game-seconds of 16 ms ticks on a fixed clock: the mean and the worst
// time of one team's Update in a tick, and the worst single steps measured alone (the grid
// refresh, the threat check and the route analysis at set-up with 8 deposits). The units are
// test objects that answer kind, design, firepower and health.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "Comparison.h"
#include "ai/AIFixture.h"
#include "ai/InfluenceGrid.h"
#include "support/FakeClock.h"

namespace {

constexpr int kSide = 200;
constexpr int kTicks = 60000 / 16;

double Microseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

struct Match {
    explicit Match(int units) : land(kSide, kSide) {
        SeedRandom(11);
        const char roles[] = {'a', 'a', 'a', 'a', 'f', 'k', 'h', 't'};
        const int extent = kSide * 32;
        for (int team : {2, 3}) {
            FakeFactory* f = land.AddFactory(team, Point(800 + 4000 * (team - 2), 3200));
            f->SetHealth(2000, 0);
            for (int i = 0; i < units; ++i) {
                const Point at(RandomRange(0, extent - 1), RandomRange(0, extent - 1));
                AIUnit* unit = land.AddUnit(team, at, roles[RandomRange(0, 7)]);
                unit->fire = RandomRange(1, 40);
                unit->SetHealth(RandomRange(50, 300), 0);
            }
        }
        for (int i = 0; i < 8; ++i) {
            std::unique_ptr<GameObject> deposit = std::make_unique<TestObject>(
                0, 5000 + i, Point(400 + 700 * i, 300 + 600 * (i % 3)), 9);
            static_cast<TestObject*>(deposit.get())->stored = 1000;
            land.world.AddOreDeposit(deposit);
        }
        for (int team : {2, 3}) {
            AIController* ai = land.AddController(team);
            const auto start = std::chrono::steady_clock::now();
            ai->Setup(5);
            setupUs = std::max(setupUs, Microseconds(std::chrono::steady_clock::now() - start));
            controllers.push_back(ai);
        }
    }

    FakeClock clock{1000};
    AIWorld land;
    std::vector<AIController*> controllers;
    double setupUs = 0;
};

void BM_TeamUpdate(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    double mean = 0, worst = 0, refresh = 0, threat = 0, routes = 0;
    for (auto _ : state) {
        Match match(units);
        routes = match.setupUs;
        Timer budget(World::kAiBudgetMs);
        double total = 0;
        for (int tick = 0; tick < kTicks; ++tick) {
            match.clock.Advance(16);
            budget.Start();
            for (AIController* ai : match.controllers) {
                const auto start = std::chrono::steady_clock::now();
                ai->Update(budget);
                const double us = Microseconds(std::chrono::steady_clock::now() - start);
                if (ai == match.controllers[0]) {
                    total += us;
                    worst = std::max(worst, us);
                }
            }
        }
        mean = total / kTicks;
        AIController* ai = match.controllers[0];
        auto start = std::chrono::steady_clock::now();
        ai->Grid()->Refresh(ai->Team(), *ai);
        refresh = Microseconds(std::chrono::steady_clock::now() - start);
        ai->SetTargetTeam(3);
        match.clock.Advance(AIController::kFirstThreatPeriodMs);
        start = std::chrono::steady_clock::now();
        ai->CheckThreat();
        threat = Microseconds(std::chrono::steady_clock::now() - start);
        match.land.world.ClearObjects();
    }
    state.counters["mean us"] = mean;
    state.counters["worst us"] = worst;
    state.counters["refresh us"] = refresh;
    state.counters["threat us"] = threat;
    state.counters["setup us"] = routes;
}

BENCHMARK(BM_TeamUpdate)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Arg(800)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int units : {50, 100, 200, 400, 800}) {
        const std::string name = "BM_TeamUpdate/" + std::to_string(units) + "/iterations:1";
        if (!reporter.Has(name)) continue;
        char line[256];
        std::snprintf(line, sizeof line,
                      "ai update %3d units: mean %7.1f us, worst %8.1f us per tick; refresh %7.1f "
                      "us, threat check %6.1f us, set-up with route analysis %8.1f us\n",
                      units, reporter.Counter(name, "mean us"), reporter.Counter(name, "worst us"),
                      reporter.Counter(name, "refresh us"), reporter.Counter(name, "threat us"),
                      reporter.Counter(name, "setup us"));
        std::fputs(line, stdout);
    }
    benchmark::Shutdown();
    return 0;
}
