// Route search on generated 200 x 200 maps (open field, 30 % random obstacles, a maze,
// islands): the time of one complete route from the top-left corner region to the bottom-right
// one, straightening included. With QX_BENCH_PEERS the same start and goal also go to two peers
// on a Boost.Graph graph of the same cells (8 neighbours, no corner cutting, every step 1):
// Boost's A* with the admissible Chebyshev heuristic, and a greedy best-first search (the
// family of our own search) with the Manhattan priority ours uses. Both keep their property
// maps between searches and reset only the cells a search touched, as ours does. Every route
// is checked (no closed cell, no cut corner) before anything is timed, and our search must first
// answer a few hundred calls on each map exactly as its earlier form (bench/reference) does; for
// each map and each side the expansions, the route's length in steps and the time are printed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Comparison.h"
#include "core/NodeList.h"
#include "core/PointNode.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "map/TerrainFakes.h"
#include "support/RouteAgreement.h"

#if QX_BENCH_PEERS
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>
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
    CarveMaze(rows, kSide - 2, 99);
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

bool Open(const Rows& rows, int r, int c) {
    return r >= 0 && c >= 0 && r < kSide && c < kSide && rows[r][c] == '.';
}

// Steps of a route given as cells, checked one step at a time: each step goes to one of the
// eight neighbours, onto an open cell, and a diagonal one only with both cells beside it open.
// -1 when a step breaks a rule.
int CheckedSteps(const Rows& rows, const std::vector<PathSearch::Cell>& cells) {
    if (cells.empty() || !Open(rows, cells[0].row, cells[0].column)) return -1;
    int steps = 0;
    for (size_t i = 1; i < cells.size(); ++i) {
        PathSearch::Cell at = cells[i - 1];
        const PathSearch::Cell to = cells[i];
        const int dr = to.row - at.row, dc = to.column - at.column;
        if (dr != 0 && dc != 0 && std::abs(dr) != std::abs(dc)) return -1;
        const int sr = (dr > 0) - (dr < 0), sc = (dc > 0) - (dc < 0);
        while (at != to) {
            const PathSearch::Cell next{at.row + sr, at.column + sc};
            if (!Open(rows, next.row, next.column)) return -1;
            if (sr != 0 && sc != 0 &&
                (!Open(rows, at.row, next.column) || !Open(rows, next.row, at.column))) {
                return -1;
            }
            at = next;
            ++steps;
        }
    }
    return steps;
}

struct Outcome {
    const char* what = "none";
    std::vector<PathSearch::Cell> cells;
};

// One complete request: repeated while the search is cut short.
Outcome Route(PathGrid& grid, FakeMapObject& unit, const Point& goal, NodeList& route) {
    Outcome outcome;
    for (int call = 0; call < 1000; ++call) {
        const int result = grid.FindPath(unit.position, goal, &unit, route, 0, nullptr, nullptr);
        if (result == 1) {
            outcome.what = "route";
            const Point last = static_cast<PointNode*>(route.Last())->value;
            if (last != CentreOf(goal.y / 32, goal.x / 32)) outcome.what = "partial route";
            for (ListNode* n = route.First(); n != nullptr; n = route.Next(n)) {
                const Point p = static_cast<PointNode*>(n)->value;
                outcome.cells.push_back(PathSearch::Cell{p.y / 32, p.x / 32});
            }
            return outcome;
        }
        if (!grid.IsCutShort()) {
            outcome.what = "no route";
            return outcome;
        }
    }
    return outcome;
}

struct Ends {
    PathSearch::Cell start, end;
};
Ends EndsOf(const Rows& rows) {
    return Ends{FirstOpen(rows, 2, 2, 1), FirstOpen(rows, kSide - 3, kSide - 3, -1)};
}

void BM_PathSearch(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const Rows rows = c.make();
    const std::string difference = RouteDifference(rows, 4711);
    if (!difference.empty()) {
        state.SkipWithError(("not the reference's routes: " + difference).c_str());
        return;
    }
    auto grid = GridFromRows(rows);
    const Ends ends = EndsOf(rows);
    FakeMapObject unit(1, 1, CentreOf(ends.start.row, ends.start.column));
    unit.filter.noWater = 1;
    const Point goal = CentreOf(ends.end.row, ends.end.column);
    NodeList route;
    Outcome outcome = Route(*grid, unit, goal, route);
    const int steps = CheckedSteps(rows, outcome.cells);
    if (steps < 0) {
        state.SkipWithError("our route breaks a rule");
        return;
    }
    const uint64_t before = grid->Search().Expansions();
    int64_t routes = 0;
    for (auto _ : state) {
        outcome = Route(*grid, unit, goal, route);
        ++routes;
    }
    const double expansions = static_cast<double>(grid->Search().Expansions() - before);
    state.SetLabel(std::string(c.name) + ": " + outcome.what);
    state.counters["expansions"] = expansions / static_cast<double>(routes);
    state.counters["steps"] = steps;
}
BENCHMARK(BM_PathSearch)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

#if QX_BENCH_PEERS
// The same cells as a compressed-sparse-row graph: built once, no allocation per search.
using Graph =
    boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, boost::no_property>;
using Vertex = boost::graph_traits<Graph>::vertex_descriptor;

// Eight neighbours; a diagonal only where both cells beside it are open. Edges in our
// search's direction order, so that ties break alike.
Graph GridGraph(const Rows& rows) {
    std::vector<std::pair<Vertex, Vertex>> edges;
    const int dr[8] = {+1, 0, -1, -1, -1, 0, +1, +1}, dc[8] = {-1, -1, -1, 0, +1, +1, +1, 0};
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            if (!Open(rows, r, c)) continue;
            for (int d = 0; d < 8; ++d) {
                const int nr = r + dr[d], nc = c + dc[d];
                if (!Open(rows, nr, nc)) continue;
                if (dr[d] != 0 && dc[d] != 0 && (!Open(rows, r, nc) || !Open(rows, nr, c)))
                    continue;
                edges.emplace_back(r * kSide + c, nr * kSide + nc);
            }
        }
    }
    return Graph(boost::edges_are_sorted, edges.begin(), edges.end(), kSide * kSide);
}

int Chebyshev(Vertex a, Vertex b) {
    return std::max(std::abs(int(a / kSide) - int(b / kSide)),
                    std::abs(int(a % kSide) - int(b % kSide)));
}
int ManhattanOf(Vertex a, Vertex b) {
    return std::abs(int(a / kSide) - int(b / kSide)) + std::abs(int(a % kSide) - int(b % kSide));
}

class ChebyshevHeuristic : public boost::astar_heuristic<Graph, int> {
public:
    explicit ChebyshevHeuristic(Vertex goal) : goal(goal) {}
    int operator()(Vertex v) const { return Chebyshev(v, goal); }

private:
    Vertex goal;
};

struct FoundGoal {};
// Stops at the goal and notes every cell the search touched, for the reset.
class Visitor : public boost::default_astar_visitor {
public:
    Visitor(Vertex goal, std::vector<Vertex>& touched, uint64_t& expansions)
        : goal(goal), touched(&touched), expansions(&expansions) {}
    void discover_vertex(Vertex v, const Graph&) const { touched->push_back(v); }
    void examine_vertex(Vertex v, const Graph&) const {
        ++*expansions;
        if (v == goal) throw FoundGoal();
    }

private:
    Vertex goal;
    std::vector<Vertex>* touched;
    uint64_t* expansions;
};

constexpr int kInfinity = 1 << 29;

// Property maps kept between searches; only the touched cells go back to their start values.
struct PeerState {
    explicit PeerState(size_t n)
        : predecessors(n),
          distances(n, kInfinity),
          costs(n, kInfinity),
          colours(n, boost::white_color) {
        for (size_t v = 0; v < n; ++v)
            predecessors[v] = v;
    }
    void Reset() {
        for (Vertex v : touched) {
            predecessors[v] = v;
            distances[v] = costs[v] = kInfinity;
            colours[v] = boost::white_color;
        }
        touched.clear();
    }
    std::vector<Vertex> predecessors;
    std::vector<int> distances;
    std::vector<int> costs;
    std::vector<boost::default_color_type> colours;
    std::vector<Vertex> touched;
    uint64_t expansions = 0;
};

bool AStar(const Graph& graph, PeerState& s, Vertex from, Vertex to) {
    s.Reset();
    s.touched.push_back(from);
    s.distances[from] = 0;
    s.costs[from] = Chebyshev(from, to);
    try {
        boost::astar_search_no_init(
            graph, from, ChebyshevHeuristic(to), Visitor(to, s.touched, s.expansions),
            s.predecessors.data(), s.costs.data(), s.distances.data(),
            boost::make_constant_property<boost::graph_traits<Graph>::edge_descriptor>(1),
            s.colours.data(), boost::get(boost::vertex_index, graph), std::less<int>(),
            std::plus<int>(), kInfinity, 0);
    } catch (const FoundGoal&) {
        return true;
    }
    return false;
}

// Greedy best-first with a closed set: the cell nearest the goal by Manhattan distance comes
// out first; a cell is opened once.
bool Greedy(const Graph& graph, PeerState& s, Vertex from, Vertex to) {
    s.Reset();
    using Entry = std::pair<int, Vertex>;
    static std::vector<Entry> heap;
    heap.clear();
    auto later = [](const Entry& a, const Entry& b) { return a.first > b.first; };
    s.touched.push_back(from);
    s.colours[from] = boost::gray_color;
    heap.emplace_back(ManhattanOf(from, to), from);
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), later);
        const Vertex v = heap.back().second;
        heap.pop_back();
        ++s.expansions;
        if (v == to) return true;
        for (Vertex w : boost::make_iterator_range(boost::adjacent_vertices(v, graph))) {
            if (s.colours[w] != boost::white_color) continue;
            s.colours[w] = boost::gray_color;
            s.predecessors[w] = v;
            s.touched.push_back(w);
            heap.emplace_back(ManhattanOf(w, to), w);
            std::push_heap(heap.begin(), heap.end(), later);
        }
    }
    return false;
}

std::vector<PathSearch::Cell> CellsOf(const PeerState& s, Vertex from, Vertex to) {
    std::vector<PathSearch::Cell> cells;
    for (Vertex v = to;; v = s.predecessors[v]) {
        cells.push_back(PathSearch::Cell{int(v / kSide), int(v % kSide)});
        if (v == from || s.predecessors[v] == v || cells.size() > kSide * kSide) break;
    }
    std::reverse(cells.begin(), cells.end());
    return cells;
}

template <bool (*Search)(const Graph&, PeerState&, Vertex, Vertex)>
void BM_Peer(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const Rows rows = c.make();
    const Graph graph = GridGraph(rows);
    const Ends ends = EndsOf(rows);
    const Vertex from = ends.start.row * kSide + ends.start.column;
    const Vertex to = ends.end.row * kSide + ends.end.column;
    PeerState s(boost::num_vertices(graph));
    const bool reached = Search(graph, s, from, to);
    const int steps = reached ? CheckedSteps(rows, CellsOf(s, from, to)) : 0;
    if (steps < 0 || (reached && CellsOf(s, from, to).front() != ends.start)) {
        state.SkipWithError("the peer's route breaks a rule");
        return;
    }
    const uint64_t before = s.expansions;
    int64_t routes = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Search(graph, s, from, to));
        ++routes;
    }
    state.SetLabel(std::string(c.name) + (reached ? ": route" : ": no route"));
    state.counters["expansions"] =
        static_cast<double>(s.expansions - before) / static_cast<double>(routes);
    state.counters["steps"] = steps;
}
BENCHMARK_TEMPLATE(BM_Peer, AStar)
    ->Name("BM_BoostAStar")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Peer, Greedy)
    ->Name("BM_GreedyBestFirst")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMicrosecond);
#endif
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int i = 0; i < 4; ++i) {
        const std::string arg = "/" + std::to_string(i);
        const std::string map = kCases[i].name;
        for (const char* side : {"BM_PathSearch", "BM_GreedyBestFirst", "BM_BoostAStar"}) {
            const std::string name = side + arg;
            if (!reporter.Has(name)) continue;
            std::printf("path search %-12s %-20s %8.0f expansions %5.0f steps %10.1f us\n",
                        map.c_str(), side, reporter.Counter(name, "expansions"),
                        reporter.Counter(name, "steps"), reporter.Time(name));
        }
        PrintComparison("path search " + map + " / greedy best-first", reporter,
                        "BM_PathSearch" + arg, "BM_GreedyBestFirst" + arg, "greedy", "us");
        PrintComparison("path search " + map + " / Boost A*", reporter, "BM_PathSearch" + arg,
                        "BM_BoostAStar" + arg, "Boost A*", "us");
        // The fair figure: our search opens cells again by design (no closed set).
        auto perExpansion = [&reporter](const std::string& name) {
            const double expansions = reporter.Counter(name, "expansions");
            return expansions > 0 ? reporter.Time(name) / expansions : 0.0;
        };
        PrintRatio("path search " + map + " per expansion / greedy's",
                   perExpansion("BM_PathSearch" + arg), perExpansion("BM_GreedyBestFirst" + arg),
                   "greedy", "us");
    }
    benchmark::Shutdown();
    return 0;
}
