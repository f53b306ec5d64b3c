// Route search on generated 200 x 200 maps (open field, 30 % random obstacles, a maze,
// islands): the time of one complete route from the top-left corner region to the bottom-right
// one, straightening included, and the expansions per microsecond. With QX_BENCH_PEERS the same
// start and goal also go to Boost.Graph's astar_search (8 neighbours, no corner cutting,
// Manhattan heuristic) and the ratio of the two times is printed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/NodeList.h"
#include "core/PointNode.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "map/TerrainFakes.h"

#if QX_BENCH_PEERS
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>
#endif

namespace {
constexpr int kSide = 200;

using Rows = std::vector<std::string>;

Rows Bordered() {
    Rows rows(kSide, std::string(kSide, '.'));
    for (int i = 0; i < kSide; ++i)
        rows[0][i] = rows[kSide - 1][i] = rows[i][0] = rows[i][kSide - 1] = 'e';
    return rows;
}

Rows OpenField() {
    return Bordered();
}

Rows RandomObstacles() {
    Rows rows = Bordered();
    std::mt19937 random(1234);
    for (int r = 1; r < kSide - 1; ++r) {
        for (int c = 1; c < kSide - 1; ++c) {
            if (random() % 100 < 30) rows[r][c] = '#';
        }
    }
    // Keep the two corner regions open.
    for (int r = 1; r < 5; ++r) {
        for (int c = 1; c < 5; ++c)
            rows[r][c] = rows[kSide - 1 - r][kSide - 1 - c] = '.';
    }
    return rows;
}

// A perfect maze of one-cell corridors on the odd cells (depth-first carving).
Rows Maze() {
    Rows rows(kSide, std::string(kSide, '#'));
    for (int i = 0; i < kSide; ++i)
        rows[0][i] = rows[kSide - 1][i] = rows[i][0] = rows[i][kSide - 1] = 'e';
    std::mt19937 random(99);
    std::vector<std::pair<int, int>> stack{{1, 1}};
    rows[1][1] = '.';
    const int dr[4] = {-2, 2, 0, 0}, dc[4] = {0, 0, -2, 2};
    while (!stack.empty()) {
        auto [r, c] = stack.back();
        int options[4], count = 0;
        for (int d = 0; d < 4; ++d) {
            const int nr = r + dr[d], nc = c + dc[d];
            if (nr > 0 && nc > 0 && nr < kSide - 2 && nc < kSide - 2 && rows[nr][nc] == '#')
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
    return rows;
}

// Water with a mainland round the start and islands, the goal's among them; narrow diagonal
// gaps between some islands that no route may squeeze through.
Rows Islands() {
    Rows rows = Bordered();
    for (int r = 1; r < kSide - 1; ++r) {
        for (int c = 1; c < kSide - 1; ++c)
            rows[r][c] = 'w';
    }
    auto blob = [&rows](int r0, int c0, int r1, int c1) {
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c)
                rows[r][c] = '.';
        }
    };
    blob(1, 1, 90, 110);
    blob(91, 111, 140, 150);  // touches the mainland only at a corner
    blob(150, 150, 198 - 1, 198 - 1);
    blob(100, 20, 180, 80);
    return rows;
}

struct Case {
    const char* name;
    Rows (*make)();
};
const Case kCases[] = {
    {"open", OpenField}, {"obstacles30", RandomObstacles}, {"maze", Maze}, {"islands", Islands}};

PathSearch::Cell FirstOpen(const Rows& rows, int row, int column, int step) {
    for (int k = 0; k < kSide; ++k) {
        for (int d = 0; d <= k; ++d) {
            const int r = row + step * d, c = column + step * (k - d);
            if (r > 0 && c > 0 && r < kSide - 1 && c < kSide - 1 && rows[r][c] == '.')
                return {r, c};
        }
    }
    return {row, column};
}

struct Outcome {
    const char* what = "none";
    size_t waypoints = 0;
};

// One complete request: repeated while the search is cut short.
Outcome Route(PathGrid& grid, FakeMapObject& unit, const Point& goal, NodeList& route) {
    Outcome outcome;
    for (int call = 0; call < 1000; ++call) {
        const int result = grid.FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr);
        if (result == 1) {
            outcome.what = "route";
            outcome.waypoints = static_cast<size_t>(route.Count());
            const Point last = static_cast<PointNode*>(route.Last())->value;
            if (last != CentreOf(goal.y / 32, goal.x / 32)) outcome.what = "partial route";
            return outcome;
        }
        if (!grid.IsCutShort()) {
            outcome.what = "no route";
            return outcome;
        }
    }
    return outcome;
}

std::map<std::string, double> oursMicroseconds;
std::map<std::string, double> peerMicroseconds;

void BM_PathSearch(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const Rows rows = c.make();
    auto grid = GridFromRows(rows);
    const PathSearch::Cell start = FirstOpen(rows, 2, 2, 1);
    const PathSearch::Cell end = FirstOpen(rows, kSide - 3, kSide - 3, -1);
    FakeMapObject unit(1, 1, CentreOf(start.row, start.column));
    unit.filter.noWater = 1;
    const Point goal = CentreOf(end.row, end.column);
    NodeList route;
    Outcome outcome;
    const uint64_t before = grid->Search().Expansions();
    int64_t routes = 0;
    for (auto _ : state) {
        outcome = Route(*grid, unit, goal, route);
        ++routes;
    }
    const double expansions = static_cast<double>(grid->Search().Expansions() - before);
    state.SetLabel(std::string(c.name) + ": " + outcome.what + ", " +
                   std::to_string(outcome.waypoints) + " waypoints");
    state.counters["expansions/route"] = expansions / static_cast<double>(routes);
    state.counters["expansions/us"] =
        benchmark::Counter(expansions / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PathSearch)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

#if QX_BENCH_PEERS
using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS,
                                    boost::no_property, boost::property<boost::edge_weight_t, int>>;
using Vertex = boost::graph_traits<Graph>::vertex_descriptor;

class Manhattan : public boost::astar_heuristic<Graph, int> {
public:
    explicit Manhattan(Vertex goal) : goal(goal) {}
    int operator()(Vertex v) const {
        return std::abs(int(v / kSide) - int(goal / kSide)) +
               std::abs(int(v % kSide) - int(goal % kSide));
    }

private:
    Vertex goal;
};

struct FoundGoal {};
class StopAtGoal : public boost::default_astar_visitor {
public:
    explicit StopAtGoal(Vertex goal) : goal(goal) {}
    void examine_vertex(Vertex v, const Graph&) const {
        if (v == goal) throw FoundGoal();
    }

private:
    Vertex goal;
};

// Eight neighbours; a diagonal only where both cells beside it are open.
Graph GridGraph(const Rows& rows) {
    Graph graph(kSide * kSide);
    auto open = [&rows](int r, int c) { return rows[r][c] == '.'; };
    for (int r = 1; r < kSide - 1; ++r) {
        for (int c = 1; c < kSide - 1; ++c) {
            if (!open(r, c)) continue;
            const int dr[4] = {0, 1, 1, 1}, dc[4] = {1, -1, 0, 1};
            for (int d = 0; d < 4; ++d) {
                const int nr = r + dr[d], nc = c + dc[d];
                if (!open(nr, nc)) continue;
                if (dr[d] != 0 && dc[d] != 0 && (!open(r, nc) || !open(nr, c))) continue;
                boost::add_edge(r * kSide + c, nr * kSide + nc, 1, graph);
            }
        }
    }
    return graph;
}

void BM_BoostAStar(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const Rows rows = c.make();
    const Graph graph = GridGraph(rows);
    const PathSearch::Cell start = FirstOpen(rows, 2, 2, 1);
    const PathSearch::Cell end = FirstOpen(rows, kSide - 3, kSide - 3, -1);
    const Vertex from = start.row * kSide + start.column, to = end.row * kSide + end.column;
    std::vector<Vertex> predecessors(boost::num_vertices(graph));
    std::vector<int> distances(boost::num_vertices(graph));
    bool reached = false;
    for (auto _ : state) {
        try {
            boost::astar_search(graph, from, Manhattan(to),
                                boost::predecessor_map(predecessors.data())
                                    .distance_map(distances.data())
                                    .visitor(StopAtGoal(to)));
            reached = false;
        } catch (const FoundGoal&) {
            reached = true;
        }
        benchmark::DoNotOptimize(predecessors.data());
    }
    state.SetLabel(std::string(c.name) + (reached ? ": route" : ": no route"));
}
BENCHMARK(BM_BoostAStar)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
#endif

// Collects the times per map so that the two searches can be set side by side at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const std::string map = kCases[std::stoi(name.substr(name.find('/') + 1))].name;
            const double us = run.GetAdjustedRealTime();
            if (name.rfind("BM_PathSearch", 0) == 0) oursMicroseconds[map] = us;
            if (name.rfind("BM_BoostAStar", 0) == 0) peerMicroseconds[map] = us;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [map, ours] : oursMicroseconds) {
        auto peer = peerMicroseconds.find(map);
        if (peer == peerMicroseconds.end()) {
            std::printf("path search %-12s %10.1f us per route (no peer built)\n", map.c_str(),
                        ours);
        } else {
            std::printf("path search %-12s %10.1f us, Boost astar %10.1f us, ours / Boost = %.2f\n",
                        map.c_str(), ours, peer->second, ours / peer->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
