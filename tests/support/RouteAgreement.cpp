#include "support/RouteAgreement.h"

#include <algorithm>
#include <memory>
#include <random>

#include "core/NodeList.h"
#include "core/PointNode.h"
#include "map/CollisionFilter.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "map/TerrainFakes.h"
#include "support/ReferencePathSearch.h"

namespace {

std::vector<Point> PointsOf(const NodeList& list) {
    std::vector<Point> points;
    for (ListNode* n = list.First(); n != nullptr; n = list.Next(n))
        points.push_back(static_cast<PointNode*>(n)->value);
    return points;
}

// The open cell nearest a corner along the anti-diagonals, stepping inwards.
Point OpenNear(const std::vector<std::string>& rows, int row, int column, int step) {
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows[0].size());
    for (int k = 0; k < height + width; ++k) {
        for (int d = 0; d <= k; ++d) {
            const int r = row + step * d, c = column + step * (k - d);
            if (r >= 0 && c >= 0 && r < height && c < width && rows[r][c] == '.')
                return CentreOf(r, c);
        }
    }
    return CentreOf(row, column);
}

}  // namespace

std::string RouteDifference(const std::vector<std::string>& rows, uint32_t seed) {
    if (rows.empty() || rows[0].empty()) return "no grid";
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows[0].size());
    auto grid = GridFromRows(rows);
    ReferencePathSearch reference(*grid);
    std::mt19937 random(seed);
    auto openCell = [&]() {
        for (int tries = 0; tries < 100000; ++tries) {
            const int r = static_cast<int>(random() % height);
            const int c = static_cast<int>(random() % width);
            if (rows[r][c] == '.') return CentreOf(r, c);
        }
        return CentreOf(height / 2, width / 2);
    };
    std::vector<std::unique_ptr<FakeMapObject>> standing;
    for (int i = 0; i < height * width / 600 + 2; ++i) {
        standing.push_back(std::make_unique<FakeMapObject>(2, 100 + i, openCell()));
        standing.back()->moving = i % 3 == 0;
        grid->AddFootprint(standing.back().get(), standing.back()->position, 0);
    }
    FakeMapObject small(1, 1, Point()), large(1, 2, Point(), 0, 40), engaging(1, 3, Point());
    engaging.engageNearest = 1;
    NodeList ours, theirs;
    std::string difference;
    int calls = 0;
    for (FakeMapObject* unit : {&small, &large, &engaging}) {
        unit->enemyMask = kGroundBits;
        unit->filter.noWater = 1;
        for (int request = 0; request < 24 && difference.empty(); ++request) {
            unit->position = request == 0 ? OpenNear(rows, 0, 0, 1) : openCell();
            const Point goal =
                request == 0 ? OpenNear(rows, height - 1, width - 1, -1) : openCell();
            // Window corners carry the row in x and the column in y.
            const int r0 = unit->position.y / 32, c0 = unit->position.x / 32;
            const int r1 = goal.y / 32, c1 = goal.x / 32;
            Point low(std::min(r0, r1) - 3, std::min(c0, c1) - 3);
            Point high(std::max(r0, r1) + 3, std::max(c0, c1) + 3);
            const bool windowed = request % 4 == 3;
            // One corner alone is no window.
            const bool halfWindowed = request % 7 == 5;
            const int ignoreUnits = request % 5 == 4 ? 1 : 0;
            for (int call = 0; call < 1000; ++call) {
                const uint64_t before = grid->Search().Expansions();
                const uint64_t referenceBefore = reference.Expansions();
                const int a = grid->FindPath(unit->position, goal, unit, ours, ignoreUnits,
                                             windowed || halfWindowed ? &low : nullptr,
                                             windowed ? &high : nullptr);
                const int b =
                    reference.FindPath(unit->position, goal, unit, theirs, ignoreUnits,
                                       windowed ? &low : nullptr, windowed ? &high : nullptr);
                ++calls;
                const std::string where = "call " + std::to_string(calls) + " (unit " +
                                          std::to_string(unit->id.serial) + ", request " +
                                          std::to_string(request) + ")";
                if (a != b || grid->IsCutShort() != reference.IsCutShort()) {
                    difference = where + ": another answer";
                } else if (grid->Search().Expansions() - before !=
                           reference.Expansions() - referenceBefore) {
                    difference = where + ": other expansions";
                } else if (a == 1 && PointsOf(ours) != PointsOf(theirs)) {
                    difference = where + ": another route";
                }
                if (!difference.empty() || a == 1 || !reference.IsCutShort()) break;
            }
            const Point other = openCell();
            if (difference.empty() && grid->HasPath(unit, unit->position, other) !=
                                          reference.HasPath(unit, unit->position, other)) {
                difference = "reachability " + std::to_string(request) + ": another answer";
            }
        }
    }
    for (auto& o : standing)
        grid->RemoveFootprint(o.get(), o->position, 0);
    return difference;
}

void CarveMaze(std::vector<std::string>& rows, int limit, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::pair<int, int>> stack{{1, 1}};
    rows[1][1] = '.';
    const int dr[4] = {-2, 2, 0, 0}, dc[4] = {0, 0, -2, 2};
    while (!stack.empty()) {
        auto [r, c] = stack.back();
        int options[4], count = 0;
        for (int d = 0; d < 4; ++d) {
            const int nr = r + dr[d], nc = c + dc[d];
            if (nr > 0 && nc > 0 && nr < limit && nc < limit && rows[nr][nc] == '#')
                options[count++] = d;
        }
        if (count == 0) {
            stack.pop_back();
            continue;
        }
        const int d = options[random() % count];
        rows[r + dr[d] / 2][c + dc[d] / 2] = '.';
        rows[r + dr[d]][c + dc[d]] = '.';
        stack.push_back({r + dr[d], c + dc[d]});
    }
}
