// A few hundred seeded route requests on generated lands (terrain of every kind, occupants of
// every team, moving and standing, large and small, windows, engaging units, interrupted
// requests) must give exactly the routes recorded in golden/recorded_routes.txt. Any change
// to the search's internals that moves a single waypoint shows here. With QX_RECORD_ROUTES=1
// the file is written afresh instead (only ever from a build whose routes are trusted).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/NodeList.h"
#include "map/PathGrid.h"
#include "map/RoutePoints.h"
#include "map/SightGrid.h"
#include "map/TerrainFakes.h"

namespace {
constexpr int kLands = 6;
constexpr int kSearchesPerLand = 50;
constexpr int kSide = 72;

std::vector<std::string> GeneratedRows(std::mt19937& random, int land) {
    std::vector<std::string> rows(kSide, std::string(kSide, '.'));
    const int density = 8 + land * 6;
    const char letters[] = {'#', '#', 'w', 'r'};
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            if (r == 0 || c == 0 || r == kSide - 1 || c == kSide - 1) {
                rows[r][c] = 'e';
            } else if (static_cast<int>(random() % 100) < density) {
                rows[r][c] = letters[random() % 4];
            }
        }
    }
    // Lakes and walls with gaps, so that some routes must go round.
    for (int k = 0; k < 4; ++k) {
        const int r0 = 2 + static_cast<int>(random() % (kSide - 14));
        const int c0 = 2 + static_cast<int>(random() % (kSide - 14));
        for (int r = r0; r < r0 + 10; ++r) {
            for (int c = c0; c < c0 + 10; ++c)
                rows[r][c] = k % 2 == 0 ? 'w' : (c == c0 + 5 && r % 4 != 0 ? '#' : rows[r][c]);
        }
    }
    return rows;
}

std::string RecordLand(int land) {
    FakeTerrainServices services;
    services.Ally(1, 3);
    std::mt19937 random(1000 + land);
    auto grid = GridFromRows(GeneratedRows(random, land));
    SightGrid sight(Size(64, 64), grid->PixelExtent(), 1);
    grid->AttachSightGrid(&sight);
    // Every draw of the generator is its own statement: the order in which a call's arguments
    // are evaluated differs between compilers.
    auto draw = [&random](uint32_t below) { return static_cast<int>(random() % below); };
    auto anyCentre = [&draw]() {
        const int x = 32 + draw((kSide - 2) * 32);
        const int y = 32 + draw((kSide - 2) * 32);
        return Point(x, y);
    };

    std::vector<std::unique_ptr<FakeMapObject>> occupants;
    for (int i = 0; i < 40; ++i) {
        const int team = 1 + draw(4);
        const Point at = anyCentre();
        const int layer = draw(3);
        const int radius = draw(3) == 0 ? 40 : 16;
        auto o = std::make_unique<FakeMapObject>(team, 100 + i, at, layer, radius);
        o->moving = draw(3) == 0;
        o->waiting = draw(5) == 0;
        grid->AddFootprint(o.get(), o->position, 0);
        if (draw(2) == 0) sight.AddViewer(o.get(), o->position);
        occupants.push_back(std::move(o));
    }

    std::ostringstream out;
    NodeList route;
    for (int s = 0; s < kSearchesPerLand; ++s) {
        const int team = 1 + draw(4);
        const Point at = anyCentre();
        const int layer = draw(5) == 0 ? 2 : draw(2);
        const int radius = draw(4) == 0 ? 40 : 16;
        FakeMapObject unit(team, 1 + s, at, layer, radius);
        unit.filter.noWater = draw(2);
        unit.filter.noR = draw(3) == 0;
        unit.enemyMask = unit.filter.EnemyMaskFor(0);
        unit.engageNearest = draw(6) == 0;
        unit.blocking =
            occupants[static_cast<size_t>(draw(static_cast<uint32_t>(occupants.size())))]->id;
        const Point goal = draw(10) == 0 ? Point(kSide * 32 + 50, -20) : anyCentre();
        const int ignoreUnits = draw(3) == 0;
        const bool windowed = draw(5) == 0;
        const Point low(std::max(0, unit.position.y / 32 - 20),
                        std::max(0, unit.position.x / 32 - 20));
        const Point high(low.x + 40, low.y + 40);
        // Some requests are abandoned after their first slice, leaving a suspended search that
        // the next unit's request must not pick up.
        const int calls = draw(8) == 0 ? 1 : 200;
        out << "land " << land << " search " << s << ":";
        for (int call = 0; call < calls; ++call) {
            const int result =
                grid->FindPath(unit.position, goal, &unit, route, ignoreUnits,
                               windowed ? &low : nullptr, windowed ? &high : nullptr);
            out << ' ' << result;
            if (result != 0 || !grid->IsCutShort()) break;
        }
        out << " |";
        for (const Point& p : PointsOf(route))
            out << ' ' << p.x << ',' << p.y;
        out << " | has " << grid->HasPath(&unit, unit.position, goal) << '\n';
    }
    for (auto& o : occupants)
        grid->RemoveFootprint(o.get(), o->position, 0);
    return out.str();
}

TEST(RecordedRoutes, EveryRequestGivesTheRecordedRoute) {
    const std::filesystem::path file =
        std::filesystem::path(QX_SOURCE_DIR) / "tests/map/golden/recorded_routes.txt";
    std::string now;
    for (int land = 0; land < kLands; ++land)
        now += RecordLand(land);
    const char* record = std::getenv("QX_RECORD_ROUTES");
    if (record != nullptr && std::string(record) == "1") {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << now;
        GTEST_SKIP() << "recorded " << file;
    }
    std::ifstream in(file);
    ASSERT_TRUE(in) << file;
    std::stringstream recorded;
    recorded << in.rdbuf();
    std::istringstream expected(recorded.str()), actual(now);
    std::string want, got;
    int lines = 0;
    while (std::getline(expected, want)) {
        ASSERT_TRUE(std::getline(actual, got)) << "missing after line " << lines;
        ASSERT_EQ(got, want);
        ++lines;
    }
    EXPECT_FALSE(std::getline(actual, got)) << "more requests than recorded";
    EXPECT_EQ(lines, kLands * kSearchesPerLand);
}
}  // namespace
