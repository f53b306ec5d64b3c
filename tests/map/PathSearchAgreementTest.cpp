// The route search finds the routes its earlier form found, with the same expansions: on open
// ground, among scattered obstacles of several densities (with and without an edge around the
// map), in a maze of one-cell corridors and on water with islands.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/RouteAgreement.h"

namespace {

using Rows = std::vector<std::string>;

Rows Scattered(int side, int percent, const char* letters, bool bordered, uint32_t seed) {
    std::mt19937 random(seed);
    const std::string kinds(letters);
    Rows rows(side, std::string(side, '.'));
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            if (static_cast<int>(random() % 100) < percent)
                rows[r][c] = kinds[random() % kinds.size()];
            if (bordered && (r == 0 || c == 0 || r == side - 1 || c == side - 1)) rows[r][c] = 'e';
        }
    }
    return rows;
}

Rows Maze(int side, uint32_t seed) {
    Rows rows(side, std::string(side, '#'));
    CarveMaze(rows, side - 1, seed);
    return rows;
}

TEST(PathSearchAgreement, RoutesAndExpansionsAreThoseOfTheEarlierSearch) {
    const struct {
        const char* name;
        Rows rows;
    } maps[] = {
        {"open", Scattered(40, 0, "#", true, 1)},
        {"sparse, no edge", Scattered(40, 12, "#w", false, 2)},
        {"obstacles", Scattered(48, 30, "#", true, 3)},
        {"dense, every letter", Scattered(48, 42, "#wre", false, 4)},
        {"maze", Maze(41, 5)},
        {"water", Scattered(48, 70, "w", true, 6)},
    };
    for (const auto& map : maps)
        EXPECT_EQ(RouteDifference(map.rows, 4711), "") << map.name;
}

}  // namespace
