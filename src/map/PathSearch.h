#pragma once
// The time-sliced route search on the path grid: a greedy best-first search over the eight
// neighbours of a cell driven by the Manhattan distance to the goal, with a node budget per
// call (a search cut short resumes when the same object repeats the same request), then
// straightened by short sub-searches and turned into corner waypoints.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Point.h"
#include "core/SimId.h"

class BucketQueue;
class MapObjectView;
class NodeList;
class PathGrid;

class PathSearch {
public:
    // A cell as (row, column).
    struct Cell {
        int row = 0;
        int column = 0;
        bool operator==(const Cell& other) const {
            return row == other.row && column == other.column;
        }
        bool operator!=(const Cell& other) const { return !(*this == other); }
    };
    // Rows rowLow .. rowHigh - 1 and columns columnLow .. columnHigh - 1.
    struct Window {
        int rowLow, columnLow, rowHigh, columnHigh;
        bool Contains(int row, int column) const {
            return row >= rowLow && row < rowHigh && column >= columnLow && column < columnHigh;
        }
    };

    static constexpr uint32_t kUnreached = 0xEEEEEEEE;  // cost grid; also an impossible step
    static constexpr uint32_t kNoLink = 0xFFFFFFFF;     // parent and chain grids
    static constexpr uint32_t kNodeBudget = 600;
    static constexpr uint32_t kStraighteningBudget = 200;
    static constexpr int kEngageNearestManoeuvre = 9;

    explicit PathSearch(PathGrid& grid);
    PathSearch(const PathSearch&) = delete;
    PathSearch& operator=(const PathSearch&) = delete;
    virtual ~PathSearch();

    // See PathGrid::FindPath: the window Points carry the row in x and the column in y.
    int FindPath(const Point& start, const Point& goal, MapObjectView* o, NodeList& waypoints,
                 int ignoreUnits, const Point* windowLow, const Point* windowHigh);
    int HasPath(MapObjectView* o, const Point& from, const Point& to);
    int IsCutShort() const { return cutShort; }
    // The object whose search is suspended, the null id when none is.
    const SimId& SuspendedFor() const { return suspendedId; }
    // The expansions one call may spend (kNodeBudget unless a caller raises it for a while).
    uint32_t NodeBudget() const { return nodeBudget; }
    void SetNodeBudget(uint32_t budget) { nodeBudget = budget; }
    // Expansions spent on the current request over all its calls.
    uint32_t RequestNodes() const { return requestNodes; }
    // Expansions of every search so far, straightening included (for measurements).
    uint64_t Expansions() const { return expansions; }

    // The eight directions in the order they are tried; 0 for a direction outside 0 .. 7.
    static int Neighbour(int row, int column, int& nrow, int& ncolumn, int direction);
    static bool IsStraight(const Cell& a, const Cell& b, const Cell& c);

private:
    static uint32_t Pack(const Cell& c) {
        return (static_cast<uint32_t>(c.row) << 16) | static_cast<uint32_t>(c.column);
    }
    static Cell Unpack(uint32_t v) {
        return Cell{static_cast<int>(v >> 16), static_cast<int>(v & 0xFFFF)};
    }
    int Index(const Cell& c) const;
    int Index(int row, int column) const;
    static int Manhattan(const Cell& a, const Cell& b);

    int IsPassable(int row, int column, MapObjectView* o);
    // The same for a cell whose index i is known.
    int PassableAt(int i, int row, int column, MapObjectView* o);
    // Works out, notes and answers whether the cell (index i) is passable.
    int Mark(int i, int row, int column, MapObjectView* o);
    // The same, inline where a caller works out many cells in a row.
    int MarkHere(int i, int row, int column, MapObjectView* o);
    // The steps the search may take from a cell whose eight neighbours lie inside the grid:
    // bit d for direction d when the neighbour is passable and, for a diagonal, both cells
    // beside the step are too. Worked out once per request.
    unsigned StepsFrom(int i, int row, int column, MapObjectView* o) {
        const uint16_t known = steps[i];
        return known != kUnknownSteps ? known : MarkSteps(i, row, column, o);
    }
    unsigned MarkSteps(int i, int row, int column, MapObjectView* o);
    int SearchAStar(const Cell& start, Cell& goal, const Window& window, MapObjectView* o);
    void BuildWaypoints(const Cell& start, const Cell& goal, const Cell& requestedGoal,
                        const Window& window, MapObjectView* o);
    void StraightenPass(int axis, const Cell& start, const Cell& goal, const Cell& requestedGoal,
                        const Window& window, MapObjectView* o);
    // Copies links from the source grid into the chain grid, from x back to y; bounded, and
    // stopped by a missing link.
    void CopyLinks(const std::vector<uint32_t>& source, const Cell& x, const Cell& y);
    void ClearSearchGrids();
    void ClearMarkGrid();
    // Sets a link grid (the chain grid, or the copy of the parent grid) to the links of the
    // route that leads from a cell through another link grid, every other cell unlinked; only
    // cells set before are cleared.
    void CopyRoute(const std::vector<uint32_t>& source, const Cell& from,
                   std::vector<uint32_t>& target, std::vector<uint32_t>& targetCells,
                   bool& targetWhole);
    // Unlinks the listed cells of a link grid, or all of it when it was copied whole.
    static void ClearLinks(std::vector<uint32_t>& links, std::vector<uint32_t>& cells, bool& whole);
    bool IsMostOfTheGrid(size_t cells) const;
    // Whether the object could stand at the cell's centre: the answer of
    // PathGrid::CanOccupy, found without the call where the footprint's cells are all free.
    int CanStand(int row, int column, MapObjectView* o);
    void ClearSuspended();
    Window WholeGrid() const;

    PathGrid& grid;
    std::vector<uint32_t> cost;
    std::vector<uint32_t> parent;
    std::vector<uint32_t> parentCopy;
    std::vector<uint32_t> chain;
    // Cells whose cost the searches since the last clearing have set; the cells of the chain
    // grid and the parent copy that hold a link; the cells of the mark grid that hold an answer.
    // Only these are reset, never the whole grids.
    std::vector<uint32_t> touched;
    std::vector<uint32_t> chainCells;
    std::vector<uint32_t> copyCells;
    bool chainWhole = false;
    bool copyWhole = false;
    std::vector<uint32_t> marked;
    // The footprint about a cell centre, as cell offsets (the same for every cell), of the
    // object the current request searches for; valid when footprintKnown.
    int footprintRow0 = 0, footprintColumn0 = 0, footprintRow1 = 0, footprintColumn1 = 0;
    int footprintRadius = -1;
    bool footprintKnown = false;
    // The footprint is the cell itself.
    bool footprintSingle = false;
    std::unique_ptr<BucketQueue> open;
    std::vector<uint8_t> passable;
    static constexpr uint16_t kUnknownSteps = 0x100;
    std::vector<uint16_t> steps;
    // Cells of the steps grid that hold an answer.
    std::vector<uint32_t> stepped;
    int32_t cutShort = 0;
    uint32_t searchMask = 0;
    uint32_t nodeBudget = kNodeBudget;
    uint32_t nodeLimit;
    int32_t resuming = 0;
    SimId suspendedId;
    Point suspendedGoal;
    int16_t savedStartRow = 0, savedStartColumn = 0, savedGoalRow = 0, savedGoalColumn = 0;
    int16_t frontierRow = 0, frontierColumn = 0;
    int32_t frontierBest = 0, frontierBestRow = 0, frontierBestColumn = 0;
    uint32_t requestNodes = 0;
    int32_t noSuspend = 0;
    uint64_t expansions = 0;
};
