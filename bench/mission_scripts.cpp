// A scripted computer team's turn per tick (AIPlayer::Update: the deploying rule, the influence
// grid refresh it does every tick, and its squads) on the scenario pack's largest campaign row
// with the row's own units and scripts, against the grid refresh alone in the same world. The
// sample assets are the ones the build's asset maker writes (made first when missing).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "Comparison.h"
#include "ai/AIPlayer.h"
#include "ai/InfluenceGrid.h"
#include "ai/MissionPackWorld.h"
#include "support/MadeAssets.h"

namespace {

namespace fs = std::filesystem;
using mission_pack::MissionPackWorld;

constexpr int kCampaignRows = 22;
constexpr int kWarmUpTicks = 60;

fs::path buildDir;
MadeAssets::SharedSet assets;

struct Row {
    std::unique_ptr<MissionPackWorld> pack;
    std::vector<AIPlayer*> scripts;
    int row = -1;
    int objects = 0;
};

std::unique_ptr<MissionPackWorld> Open() {
    const fs::path local = assets.path / "Assets";
    ResourceFile::SetAssetPath((local.string() + "/").c_str());
    return std::make_unique<MissionPackWorld>(
        local, assets.path / "volumes" / MadeAssets::kVolumes[0] / "Assets" / "Data");
}

int ObjectCount(MissionPackWorld& pack) {
    int n = 0;
    for (int team = 1; team < World::kTeams; ++team)
        n += static_cast<int>(pack.Objects(team).size());
    return n;
}

// The campaign row with the most objects on the map, among rows run by scripted players.
Row& Largest() {
    static Row chosen = [] {
        Row best;
        for (int row = 0; row < kCampaignRows; ++row) {
            auto pack = Open();
            if (pack->Start(row, 5u) != 1) continue;
            int scripted = 0;
            for (int team = 2; team < World::kTeams; ++team)
                scripted +=
                    dynamic_cast<AIPlayer*>(pack->world->controllers[team].get()) != nullptr;
            const int n = ObjectCount(*pack);
            if (scripted > 0 && n > best.objects) {
                best.objects = n;
                best.row = row;
            }
        }
        best.pack = Open();
        best.pack->Start(best.row, 5u);
        for (int tick = 0; tick < kWarmUpTicks; ++tick)
            best.pack->Step();
        for (int team = 2; team < World::kTeams; ++team)
            if (auto* s = dynamic_cast<AIPlayer*>(best.pack->world->controllers[team].get()))
                best.scripts.push_back(s);
        return best;
    }();
    return chosen;
}

// Per iteration: every scripted team's Update, as one tick runs them.
void BM_ScriptUpdate(benchmark::State& state) {
    Row& r = Largest();
    Timer budget(World::kAiBudgetMs);
    for (auto _ : state) {
        budget.Start();
        for (AIPlayer* s : r.scripts)
            s->Update(budget);
    }
    state.counters["teams"] = static_cast<double>(r.scripts.size());
    state.counters["row"] = r.row;
    state.counters["objects"] = r.objects;
}

// Per iteration: the same teams' grid refreshes alone.
void BM_GridRefresh(benchmark::State& state) {
    Row& r = Largest();
    for (auto _ : state)
        for (AIPlayer* s : r.scripts)
            s->Grid()->Refresh(s->team, *s);
    state.counters["teams"] = static_cast<double>(r.scripts.size());
}

BENCHMARK(BM_ScriptUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The program sits in the build's bench folder.
    buildDir = fs::absolute(argv[0]).parent_path().parent_path();
    assets = MadeAssets::MakeSharedSet(buildDir);
    if (assets.status != 0) {
        std::fprintf(stderr, "mission_scripts: no sample assets: %s\n", assets.printed.c_str());
        return 1;
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double teams = reporter.Counter("BM_ScriptUpdate", "teams");
    std::printf(
        "mission scripts: row %.0f, %.0f objects, %.0f scripted teams, %.1f us per team "
        "and tick\n",
        reporter.Counter("BM_ScriptUpdate", "row"), reporter.Counter("BM_ScriptUpdate", "objects"),
        teams, teams > 0 ? reporter.Time("BM_ScriptUpdate") / teams : 0.0);
    PrintComparison("scripted team update / grid refresh alone", reporter, "BM_ScriptUpdate",
                    "BM_GridRefresh", "refresh", "us");
    Largest().pack.reset();
    benchmark::Shutdown();
    return 0;
}
