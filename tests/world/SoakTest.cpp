// A long run of the World's object services: 400 units on a generated land with water wander
// to random goals for 10,000 fixed steps, asking for their turn to search, following their
// routes and dying now and then. No unit may ever stand on a cell closed to it, and once all
// of them are gone the path grid is exactly as the land left it.
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "platform/Capture.h"
#include "world/RegistryTestFixture.h"
#include "world/WanderingUnit.h"

namespace {

constexpr int kColumns = 96;
constexpr int kRows = 96;
constexpr int kUnits = 400;
constexpr int kTicks = 10000;
class Soak : public ::testing::Test {
protected:
    std::mt19937 random{20261206};
    WorldOnLand land{GeneratedLand(random, kColumns, kRows)};
    World& world = land.world;
    std::vector<WanderingUnit*> walkers;
    int nextSerial = 1;

    void AddWalker() {
        std::uniform_int_distribution<int> cell(1, kColumns - 2);
        std::uniform_int_distribution<int> team(1, 4);
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto walker = std::make_unique<WanderingUnit>(world, random, team(random), nextSerial,
                                                          land.Centre(cell(random), cell(random)));
            WanderingUnit* raw = walker.get();
            std::unique_ptr<GameObject> owned = std::move(walker);
            if (world.AddSim(owned) == 1) {
                ++nextSerial;
                walkers.push_back(raw);
                return;
            }
        }
        FAIL() << "no free cell for a walker";
    }

    // The cell under every walker is open to it.
    void ExpectNobodyOnClosedGround(int tick) {
        for (WanderingUnit* w : walkers) {
            short row = 0;
            short column = 0;
            world.pathGrid->PixelToCell(w->GetPosition(), row, column);
            ASSERT_TRUE(world.pathGrid->IsInside(row, column));
            ASSERT_EQ(world.pathGrid->CellWord(row, column) & w->GetCollision()->MoveFlags(), 0u)
                << "tick " << tick << " unit " << w->id.serial;
        }
    }

    // The whole map at 5 pixels a cell: open ground, water, and each unit as a square of its
    // team's colour (the test tiles are noise, so the map is drawn as a plan).
    void Capture(const std::string& name) {
        constexpr int kCell = 5;
        uint8_t* page = land.screen.BackPage();
        std::memset(page, 0, 640 * 480);
        auto fill = [page](int x0, int y0, int size, uint8_t colour) {
            for (int y = y0; y < y0 + size; ++y) {
                for (int x = x0; x < x0 + size; ++x) {
                    if (x >= 0 && x < 640 && y >= 0 && y < 480) page[y * 640 + x] = colour;
                }
            }
        };
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const uint32_t word = world.pathGrid->CellWord(row, column);
                fill(column * kCell, row * kCell, kCell, (word & 0x0Au) ? 143 : 181);
            }
        }
        static const uint8_t kTeamColours[5] = {27, 27, 32, 108, 113};
        for (WanderingUnit* w : walkers) {
            const Point at = w->GetPosition();
            fill(at.x * kCell / 32 - 2, at.y * kCell / 32 - 2, 5, kTeamColours[w->GetTeam()]);
        }
        winx_RequestCapture(name);
        land.screen.Present();
    }
};

TEST_F(Soak, FourHundredUnitsWanderTenThousandTicksAndLeaveTheGridsAsTheyWere) {
    const int cells = kRows * kColumns;
    std::vector<uint32_t> before(static_cast<size_t>(cells));
    for (int i = 0; i < cells; ++i)
        before[static_cast<size_t>(i)] = world.pathGrid->CellWord(i / kColumns, i % kColumns);
    world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
    for (int i = 0; i < kUnits; ++i)
        AddWalker();
    ASSERT_EQ(static_cast<int>(walkers.size()), kUnits);
    Capture("soak-start");

    std::uniform_int_distribution<int> pick(0, kUnits - 1);
    int died = 0;
    for (int tick = 1; tick <= kTicks; ++tick) {
        world.pathSearchesThisTick = 0;
        // One unit dies every 50 ticks and another takes its place.
        WanderingUnit* victim = nullptr;
        if (tick % 50 == 0) {
            victim = walkers[static_cast<size_t>(pick(random))];
            victim->destroyed = 1;
        }
        world.UpdateObjects(16);
        if (victim) {
            walkers.erase(std::find(walkers.begin(), walkers.end(), victim));
            ++died;
            AddWalker();
        }
        if (tick % 10 == 0) ExpectNobodyOnClosedGround(tick);
        if (HasFatalFailure()) return;
    }
    int moves = 0;
    int routes = 0;
    for (WanderingUnit* w : walkers) {
        moves += w->moves;
        routes += w->routes;
    }
    EXPECT_EQ(died, kTicks / 50);
    EXPECT_GT(routes, kTicks / 2);
    EXPECT_GT(moves, kUnits * 100);
    Capture("soak-end");

    for (WanderingUnit* w : walkers)
        w->destroyed = 1;
    world.UpdateObjects(16);
    walkers.clear();
    EXPECT_EQ(world.sims[1].Count() + world.sims[2].Count() + world.sims[3].Count() +
                  world.sims[4].Count(),
              0);
    int changed = 0;
    int occupied = 0;
    for (int i = 0; i < cells; ++i) {
        const int row = i / kColumns;
        const int column = i % kColumns;
        changed += world.pathGrid->CellWord(row, column) != before[static_cast<size_t>(i)] ? 1 : 0;
        for (int layer = 0; layer < 3; ++layer)
            occupied += world.pathGrid->Occupant(row, column, layer) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(occupied, 0);
}

}  // namespace
