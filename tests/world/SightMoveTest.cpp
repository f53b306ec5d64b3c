// Moving sight with a placement (only the cells that leave and enter an object's view change)
// gives exactly the counts of recounting it (removing all of it, adding all of it again): the
// soak test's wandering crowd, some with extra sensors, is run both ways and every sight count
// and every terrain visibility is compared after every tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "world/RegistryTestFixture.h"
#include "world/WanderingUnit.h"

namespace {

constexpr int kSide = 64;
constexpr int kUnits = 250;
constexpr int kTicks = 1500;

// Every count, folded into one number per tick (FNV-1a).
uint64_t GridsPrint(World& world) {
    uint64_t print = 1469598103934665603ull;
    auto fold = [&print](int32_t v) {
        print = (print ^ static_cast<uint32_t>(v)) * 1099511628211ull;
    };
    const SightGrid& sight = *world.sight;
    for (int layer = 0; layer < SightGrid::kLayers; ++layer) {
        for (int player = 1; player <= SightGrid::kPlayers; ++player) {
            for (int r = 0; r < sight.Rows(); ++r) {
                for (int c = 0; c < sight.Columns(); ++c)
                    fold(sight.Value(layer, player, r, c));
            }
        }
    }
    const Size cells = world.terrain->SizeInCells();
    for (int r = 0; r < cells.h; ++r) {
        for (int c = 0; c < cells.w; ++c)
            fold(world.terrain->Visibility(r, c));
    }
    return print;
}

std::vector<uint64_t> RunCrowd(bool recount) {
    std::mt19937 random{20261206};
    WorldOnLand land{GeneratedLand(random, kSide, kSide)};
    World& world = land.world;
    world.recountSightOnMove = recount;
    world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
    std::vector<WanderingUnit*> walkers;
    int serial = 1;
    auto addWalker = [&]() {
        std::uniform_int_distribution<int> cell(1, kSide - 2);
        std::uniform_int_distribution<int> team(1, 4);
        auto walker = std::make_unique<WanderingUnit>(world, random, team(random), serial++,
                                                      land.Centre(cell(random), cell(random)));
        if (serial % 7 == 0) walker->sensors.FitSensor('u');
        if (serial % 11 == 0) walker->sensors.FitSensor('w');
        WanderingUnit* raw = walker.get();
        std::unique_ptr<GameObject> owned = std::move(walker);
        if (world.AddSim(owned) == 1) walkers.push_back(raw);
    };
    while (static_cast<int>(walkers.size()) < kUnits)
        addWalker();
    std::vector<uint64_t> prints;
    for (int tick = 1; tick <= kTicks; ++tick) {
        world.pathSearchesThisTick = 0;
        WanderingUnit* victim = nullptr;
        if (tick % 50 == 0) {
            victim = walkers[random() % walkers.size()];
            victim->destroyed = 1;
        }
        world.UpdateObjects(16);
        if (victim) {
            walkers.erase(std::find(walkers.begin(), walkers.end(), victim));
            while (static_cast<int>(walkers.size()) < kUnits)
                addWalker();
        }
        prints.push_back(GridsPrint(world));
    }
    // However the counts got there, every local unit's surroundings are in view now.
    int local = 0;
    for (WanderingUnit* w : walkers) {
        if (w->teamRecord.second != world.LocalTeam()) continue;
        ++local;
        int row = 0, column = 0;
        world.terrain->PixelToCell(w->GetPosition(), row, column);
        for (int r = std::max(0, row - 8); r <= std::min(kSide - 1, row + 8); ++r) {
            for (int c = std::max(0, column - 8); c <= std::min(kSide - 1, column + 8); ++c)
                EXPECT_GE(world.terrain->Visibility(r, c), 1) << r << "," << c;
        }
        EXPECT_GE(world.sight->IsVisible(w->GetPosition(), w->ViewingPlayer()), 1);
    }
    EXPECT_GT(local, 0);
    return prints;
}

TEST(SightMove, MovingSightCountsExactlyAsRecountingIt) {
    const std::vector<uint64_t> recounted = RunCrowd(true);
    const std::vector<uint64_t> moved = RunCrowd(false);
    ASSERT_EQ(moved.size(), recounted.size());
    for (size_t tick = 0; tick < moved.size(); ++tick)
        ASSERT_EQ(moved[tick], recounted[tick]) << "tick " << tick + 1;
    // The crowd's sight changed over the run, so the comparison compared something.
    EXPECT_NE(recounted.front(), recounted.back());
}

}  // namespace
