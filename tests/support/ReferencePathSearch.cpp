#include "support/ReferencePathSearch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/BucketQueue.h"
#include "core/NodeList.h"
#include "core/PointNode.h"
#include "map/CollisionFilter.h"
#include "map/MapObjectView.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"

namespace {
// Row and column steps of the eight directions, in the order they are tried.
constexpr int kRowStep[8] = {+1, 0, -1, -1, -1, 0, +1, +1};
constexpr int kColumnStep[8] = {-1, -1, -1, 0, +1, +1, +1, 0};
constexpr uint8_t kUnknown = 0xFF;

void PushFront(NodeList& list, const Point& p) {
    ListNode* node = new PointNode(p);
    list.PushFront(node);
}
}  // namespace

ReferencePathSearch::ReferencePathSearch(PathGrid& grid)
    : grid(grid),
      open(std::make_unique<BucketQueue>(grid.Rows() + grid.Columns())),
      nodeLimit(static_cast<uint32_t>(grid.Rows()) * static_cast<uint32_t>(grid.Columns())) {
    const size_t cells = nodeLimit;
    cost.assign(cells, kUnreached);
    parent.assign(cells, kNoLink);
    parentCopy.assign(cells, kNoLink);
    chain.assign(cells, kNoLink);
    passable.assign(cells, kUnknown);
}

ReferencePathSearch::~ReferencePathSearch() = default;

int ReferencePathSearch::Index(const Cell& c) const {
    return Index(c.row, c.column);
}
int ReferencePathSearch::Index(int row, int column) const {
    return row * grid.Columns() + column;
}

int ReferencePathSearch::Manhattan(const Cell& a, const Cell& b) {
    return std::abs(a.column - b.column) + std::abs(a.row - b.row);
}

int ReferencePathSearch::Neighbour(int row, int column, int& nrow, int& ncolumn, int direction) {
    if (direction < 0 || direction > 7) return 0;
    nrow = row + kRowStep[direction];
    ncolumn = column + kColumnStep[direction];
    return 1;
}

bool ReferencePathSearch::IsStraight(const Cell& a, const Cell& b, const Cell& c) {
    const int d1r = std::abs(a.row - b.row), d1c = std::abs(a.column - b.column);
    const int d2r = std::abs(b.row - c.row), d2c = std::abs(b.column - c.column);
    if (d1r == 0 && d2r == 0) return true;
    if (d1c == 0 && d2c == 0) return true;
    return d1r == d1c && d2r == d2c;
}

ReferencePathSearch::Window ReferencePathSearch::WholeGrid() const {
    return Window{0, 0, grid.Rows(), grid.Columns()};
}

bool ReferencePathSearch::IsMostOfTheGrid(size_t cells) const {
    // Past an eighth of the grid, scattered writes cost more than filling or copying it all.
    return cells >= cost.size() / 8;
}

void ReferencePathSearch::ClearSearchGrids() {
    // Only the cells a search reached hold a cost or a link: resetting just those is cheaper
    // than filling the grids, unless the search crossed much of the map.
    if (IsMostOfTheGrid(touched.size())) {
        std::fill(cost.begin(), cost.end(), kUnreached);
        std::fill(parent.begin(), parent.end(), kNoLink);
    } else {
        for (uint32_t i : touched) {
            cost[i] = kUnreached;
            parent[i] = kNoLink;
        }
    }
    touched.clear();
    open->Clear();
}

void ReferencePathSearch::ClearMarkGrid() {
    for (uint32_t i : marked)
        passable[i] = kUnknown;
    marked.clear();
    footprintKnown = false;
}

void ReferencePathSearch::CopyTouched(const std::vector<uint32_t>& source,
                                      const std::vector<uint32_t>& cells,
                                      std::vector<uint32_t>& target,
                                      std::vector<uint32_t>& targetCells, bool& targetWhole) {
    ClearLinks(target, targetCells, targetWhole);
    if (IsMostOfTheGrid(cells.size())) {
        target = source;
        targetWhole = true;
        return;
    }
    for (uint32_t i : cells) {
        if (source[i] == kNoLink) continue;
        target[i] = source[i];
        targetCells.push_back(i);
    }
}

void ReferencePathSearch::ClearLinks(std::vector<uint32_t>& links, std::vector<uint32_t>& cells,
                                     bool& whole) {
    if (whole) {
        std::fill(links.begin(), links.end(), kNoLink);
        whole = false;
    } else {
        for (uint32_t i : cells)
            links[i] = kNoLink;
    }
    cells.clear();
}

int ReferencePathSearch::CanStand(int row, int column, MapObjectView* o) {
    if (!footprintKnown) {
        // The footprint's cells about a centre are the same for every cell: found once for the
        // request, about a cell far enough from the edges.
        footprintKnown = true;
        footprintRadius = o->GetFootprintRadius();
        const int mr = grid.Rows() / 2, mc = grid.Columns() / 2;
        if (grid.RectToCells(grid.CellCenter(mr, mc), footprintRadius, footprintRow0,
                             footprintColumn0, footprintRow1, footprintColumn1)) {
            footprintRow0 -= mr, footprintRow1 -= mr;
            footprintColumn0 -= mc, footprintColumn1 -= mc;
        } else {
            footprintRadius = -1;
        }
    }
    const int r0 = row + footprintRow0, r1 = row + footprintRow1;
    const int c0 = column + footprintColumn0, c1 = column + footprintColumn1;
    if (footprintRadius >= 0 && r0 > 0 && c0 > 0 && r1 < grid.Rows() - 1 &&
        c1 < grid.Columns() - 1) {
        // Cells whose words share no bit with the mask never block, and closed terrain under
        // the centre always does: only occupants need CanOccupy's rules.
        bool free = true;
        for (int r = r0; r <= r1 && free; ++r) {
            for (int c = c0; c <= c1; ++c) {
                uint32_t w = grid.CellWordInside(r, c);
                if (r != row || c != column) w &= kOccupancyPart;
                if ((searchMask & w & kTerrainPart) != 0) return 0;
                if ((searchMask & w) != 0) {
                    free = false;
                    break;
                }
            }
        }
        if (free) return 1;
    }
    return grid.CanOccupy(o, grid.CellCenter(row, column), nullptr, searchMask, 1, 0);
}

void ReferencePathSearch::ClearSuspended() {
    suspendedId = SimId();
    suspendedGoal = Point();
}

inline int ReferencePathSearch::PassableAt(int i, int row, int column, MapObjectView* o) {
    const uint8_t known = passable[i];
    return known != kUnknown ? known : Mark(i, row, column, o);
}

inline int ReferencePathSearch::IsPassable(int row, int column, MapObjectView* o) {
    const int i = Index(row, column);
    const uint8_t known = passable[i];
    return known != kUnknown ? known : Mark(i, row, column, o);
}

// Out of line: the search asks about most cells many times and works them out once.
[[gnu::noinline]] int ReferencePathSearch::Mark(int i, int row, int column, MapObjectView* o) {
    const int answer = CanStand(row, column, o);
    passable[i] = static_cast<uint8_t>(answer);
    marked.push_back(static_cast<uint32_t>(i));
    return answer;
}

int ReferencePathSearch::SearchAStar(const Cell& start, Cell& goal, const Window& window,
                                     MapObjectView* o) {
    if (!resuming) ClearSearchGrids();
    cutShort = 0;
    const int threat = o->HasManoeuvre(kEngageNearestManoeuvre) ? 1 : 0;

    int best = Manhattan(goal, start);
    Cell bestCell = start;
    Cell current = start;
    if (resuming) {
        current = Cell{frontierRow, frontierColumn};
        best = frontierBest;
        bestCell = Cell{frontierBestRow, frontierBestColumn};
    } else {
        cost[Index(start)] = 0;
        touched.push_back(static_cast<uint32_t>(Index(start)));
    }

    // What every expansion reads, fetched once.
    const SightGrid* const sight = threat ? grid.AttachedSightGrid() : nullptr;
    const int columns = grid.Columns();
    int rowDelta[8];
    for (int d = 0; d < 8; ++d)
        rowDelta[d] = kRowStep[d] * columns;

    int found = 0;
    uint32_t n = 0;
    for (;;) {
        ++n;
        if (n > nodeBudget) {
            cutShort = 1;
            break;
        }
        if (current == goal) {
            found = 1;
            break;
        }
        const int h = Manhattan(goal, current);
        if (h < best) {
            best = h;
            bestCell = current;
        }
        const int at = Index(current);
        const uint32_t here = cost[at];
        // Away from the window's edges no neighbour can leave it.
        const bool inside = current.row > window.rowLow && current.row < window.rowHigh - 1 &&
                            current.column > window.columnLow &&
                            current.column < window.columnHigh - 1;
        for (int d = 0; d < 8; ++d) {
            const int nextRow = current.row + kRowStep[d];
            const int nextColumn = current.column + kColumnStep[d];
            if (!inside && !window.Contains(nextRow, nextColumn)) continue;
            // StepCost, spelled out on cell indices: the cell, then for a diagonal step both
            // cells beside it (no corner cutting), then the price near enemies.
            const int there = at + rowDelta[d] + kColumnStep[d];
            if (!PassableAt(there, nextRow, nextColumn, o)) continue;
            if (kRowStep[d] != 0 && kColumnStep[d] != 0 &&
                (!PassableAt(at + kColumnStep[d], current.row, nextColumn, o) ||
                 !PassableAt(at + rowDelta[d], nextRow, current.column, o))) {
                continue;
            }
            uint32_t step = 1;
            if (threat && sight != nullptr) {
                step += 4u * static_cast<uint32_t>(sight->EnemyPresence(
                                 grid.CellCenter(nextRow, nextColumn), o->GetTeam()));
            }
            if (step == kUnreached) continue;
            uint32_t& reached = cost[there];
            if (step + here < reached) {
                if (reached == kUnreached) touched.push_back(static_cast<uint32_t>(there));
                reached = step + here;
                parent[there] = Pack(current);
                // Greedy: the priority leaves the accumulated cost out, and there is no
                // closed set; a cell is pushed again whenever its cost improves.
                const Cell next{nextRow, nextColumn};
                open->Push(Pack(next), Manhattan(goal, next) + static_cast<int>(step));
            }
        }
        const uint32_t popped = open->Pop();
        if (!open->Popped()) break;
        current = Unpack(popped);
    }

    expansions += n;
    if (!noSuspend) {
        requestNodes += n;
        if (requestNodes > nodeLimit && requestNodes > nodeBudget) {
            // Given up: what was reached may still give a partial route below.
            cutShort = 0;
            found = 0;
            ClearSuspended();
            requestNodes = 0;
        }
    }
    if (cutShort && !noSuspend) {
        suspendedId = o->GetId();
        savedStartRow = static_cast<int16_t>(start.row);
        savedStartColumn = static_cast<int16_t>(start.column);
        savedGoalRow = static_cast<int16_t>(goal.row);
        savedGoalColumn = static_cast<int16_t>(goal.column);
        frontierRow = static_cast<int16_t>(current.row);
        frontierColumn = static_cast<int16_t>(current.column);
        frontierBest = best;
        frontierBestRow = bestCell.row;
        frontierBestColumn = bestCell.column;
        return 0;
    }
    if (!found && bestCell != start && best < Manhattan(goal, start)) {
        found = 1;
        goal = bestCell;
    }
    ClearSuspended();
    return found;
}

void ReferencePathSearch::CopyLinks(const std::vector<uint32_t>& source, const Cell& x,
                                    const Cell& y) {
    Cell at = x;
    for (uint32_t steps = 0; at != y && steps < nodeLimit; ++steps) {
        const uint32_t link = source[Index(at)];
        uint32_t& slot = chain[Index(at)];
        if (slot == kNoLink && link != kNoLink)
            chainCells.push_back(static_cast<uint32_t>(Index(at)));
        slot = link;
        if (link == kNoLink) break;
        at = Unpack(link);
    }
}

void ReferencePathSearch::StraightenPass(int axis, const Cell& start, const Cell& goal,
                                         const Cell& requestedGoal, const Window& window,
                                         MapObjectView* o) {
    auto along = [axis](const Cell& c) { return axis == 0 ? c.row : c.column; };
    int run = 0;
    Cell corner1 = goal;
    Cell corner2;
    bool haveCorner2 = false;
    Cell at = goal;
    for (uint32_t steps = 0; steps < nodeLimit; ++steps) {
        bool isCorner = at == start;
        int step = 0;
        Cell next;
        if (!isCorner) {
            const uint32_t link = parentCopy[Index(at)];
            if (link == kNoLink) break;
            next = Unpack(link);
            step = along(next) - along(at);
            if (run == 0) {
                run = step;
            } else {
                isCorner = step != 0 && step != run;
            }
        }
        if (isCorner) {
            run = step;
            if (!haveCorner2) {
                corner2 = at;
                haveCorner2 = true;
            } else if (std::abs(along(corner2) - along(requestedGoal)) <
                       std::abs(along(corner1) - along(requestedGoal))) {
                // Try a direct way from this corner to corner 1, cutting out corner 2.
                Cell target = corner1;
                const int reached = SearchAStar(at, target, window, o);
                if (reached && !cutShort && target == corner1) {
                    CopyLinks(parent, corner1, at);
                } else {
                    CopyLinks(parentCopy, corner1, at);
                }
                corner1 = at;
                haveCorner2 = false;
            } else {
                CopyLinks(parentCopy, corner1, corner2);
                corner1 = corner2;
                corner2 = at;
            }
        }
        if (at == start) break;
        at = next;
    }
    CopyLinks(parentCopy, corner1, start);
}

void ReferencePathSearch::BuildWaypoints(const Cell& start, const Cell& goal,
                                         const Cell& requestedGoal, const Window& window,
                                         MapObjectView* o) {
    // Links live only in cells the search touched, so copying and clearing those is copying
    // and clearing the whole grids.
    if (o->HasManoeuvre(kEngageNearestManoeuvre)) {
        CopyTouched(parent, touched, chain, chainCells, chainWhole);
        return;
    }
    ClearLinks(chain, chainCells, chainWhole);
    CopyTouched(parent, touched, parentCopy, copyCells, copyWhole);
    StraightenPass(0, start, goal, requestedGoal, window, o);
    CopyTouched(chain, chainCells, parentCopy, copyCells, copyWhole);
    ClearLinks(chain, chainCells, chainWhole);
    StraightenPass(1, start, goal, requestedGoal, window, o);
}

int ReferencePathSearch::FindPath(const Point& start, const Point& goal, MapObjectView* o,
                                  NodeList& waypoints, int ignoreUnits, const Point* windowLow,
                                  const Point* windowHigh) {
    if (o == nullptr) return 0;
    const int rows = grid.Rows(), columns = grid.Columns();
    const Size extent = grid.PixelExtent();
    if (rows <= 0 || columns <= 0) return 0;

    // 1. Cells; the goal is clamped to the map first.
    short sr, sc, gr, gc;
    grid.PixelToCell(start, sr, sc);
    const Point clamped(std::clamp(goal.x, 0, extent.w - 1), std::clamp(goal.y, 0, extent.h - 1));
    grid.PixelToCell(clamped, gr, gc);
    Cell startCell{sr, sc};
    Cell goalCell{gr, gc};
    const Cell requestedStart = startCell;
    if (!grid.IsInside(startCell.row, startCell.column) ||
        !grid.IsInside(goalCell.row, goalCell.column)) {
        return 0;
    }

    // 2. Mask and window.
    searchMask = o->GetCollision()->MoveFlags();
    if (ignoreUnits == 0) searchMask |= o->GetEnemyMask();
    Window window = WholeGrid();
    if (windowLow != nullptr && windowHigh != nullptr) {
        window.rowLow = std::max(0, windowLow->x);
        window.columnLow = std::max(0, windowLow->y);
        window.rowHigh = std::min(rows, windowHigh->x + 1);
        window.columnHigh = std::min(columns, windowHigh->y + 1);
    }

    // 3. The same object asking for the same goal continues its suspended search.
    if (!suspendedId.IsNull() && suspendedId == o->GetId() && suspendedGoal == goal) {
        resuming = 1;
        startCell = Cell{savedStartRow, savedStartColumn};
        goalCell = Cell{savedGoalRow, savedGoalColumn};
    } else {
        // 4. A fresh request.
        resuming = 0;
        ClearSuspended();
        requestNodes = 0;
        ClearMarkGrid();
        cutShort = 0;

        // 5. A blocked start moves to the nearest passable cell around it.
        if (!IsPassable(startCell.row, startCell.column, o)) {
            bool any = false;
            int bestKey = 0;
            Cell moved;
            for (int r = requestedStart.row - 1; r <= requestedStart.row + 1; ++r) {
                for (int c = requestedStart.column - 1; c <= requestedStart.column + 1; ++c) {
                    if (!window.Contains(r, c) || !grid.IsInside(r, c)) continue;
                    if (!IsPassable(r, c, o)) continue;
                    const Point centre = grid.CellCenter(r, c);
                    const double dx = centre.x - start.x, dy = centre.y - start.y;
                    const int key =
                        static_cast<int>(std::floor(std::sqrt(dx * dx + dy * dy) + 0.5));
                    // Among equal keys the one examined last wins.
                    if (!any || key <= bestKey) {
                        any = true;
                        bestKey = key;
                        moved = Cell{r, c};
                    }
                }
            }
            if (!any) return 0;
            startCell = moved;
        }

        // 6. A blocked goal moves to the passable cell nearest the start on the first ring
        // around it that has one.
        bool goalMoved = false;
        if (!IsPassable(goalCell.row, goalCell.column, o)) {
            const int reach = std::max(std::abs(goalCell.row - startCell.row),
                                       std::abs(goalCell.column - startCell.column));
            bool any = false;
            Cell moved;
            for (int radius = 1; radius <= reach && !any; ++radius) {
                int bestKey = 0;
                for (int r = goalCell.row - radius; r <= goalCell.row + radius; ++r) {
                    for (int c = goalCell.column - radius; c <= goalCell.column + radius; ++c) {
                        if (!window.Contains(r, c) || !grid.IsInside(r, c)) continue;
                        if (!IsPassable(r, c, o)) continue;
                        const int key = Manhattan(Cell{r, c}, startCell);
                        if (!any || key <= bestKey) {
                            any = true;
                            bestKey = key;
                            moved = Cell{r, c};
                        }
                    }
                }
            }
            if (!any) return 0;
            goalCell = moved;
            goalMoved = true;
        }

        // 7. Nothing to search.
        if (startCell == goalCell) {
            if (goalMoved && goalCell == requestedStart) return 0;
            waypoints.DeleteAll();
            PushFront(waypoints, grid.CellCenter(goalCell.row, goalCell.column));
            PushFront(waypoints, grid.CellCenter(startCell.row, startCell.column));
            return 1;
        }
    }

    // 8. Search.
    const Cell goalBefore = goalCell;
    int result = SearchAStar(startCell, goalCell, window, o);
    // Whatever comes next (the straightening) starts fresh searches.
    resuming = 0;
    if (cutShort) suspendedGoal = goal;

    // 9. Straighten and collect the corners.
    if (result == 1) {
        const int cutAfterSearch = cutShort;
        const uint32_t budget = nodeBudget;
        nodeBudget = kStraighteningBudget;
        noSuspend = 1;
        BuildWaypoints(startCell, goalCell, goalBefore, window, o);
        nodeBudget = budget;
        noSuspend = 0;
        cutShort = cutAfterSearch;

        waypoints.DeleteAll();
        PushFront(waypoints, grid.CellCenter(goalCell.row, goalCell.column));
        Cell last = goalCell;
        Cell at = goalCell;
        uint32_t link = chain[Index(at)];
        for (uint32_t steps = 0; link != kNoLink && steps < nodeLimit; ++steps) {
            at = Unpack(link);
            if (at == startCell) break;
            link = chain[Index(at)];
            if (link == kNoLink) break;
            if (!IsStraight(at, last, Unpack(link))) {
                PushFront(waypoints, grid.CellCenter(at.row, at.column));
                last = at;
            }
        }
        PushFront(waypoints, grid.CellCenter(startCell.row, startCell.column));
    }
    return result;
}

int ReferencePathSearch::HasPath(MapObjectView* o, const Point& from, const Point& to) {
    if (o == nullptr) return 0;
    const Size extent = grid.PixelExtent();
    auto inside = [&extent](const Point& p) {
        return p.x >= 0 && p.y >= 0 && p.x < extent.w && p.y < extent.h;
    };
    if (!inside(from) || !inside(to)) return 0;
    short fr, fc, tr, tc;
    grid.PixelToCell(from, fr, fc);
    grid.PixelToCell(to, tr, tc);
    ClearMarkGrid();
    resuming = 0;
    ClearSuspended();
    requestNodes = 0;
    cutShort = 0;
    searchMask = o->GetCollision()->MoveFlags();
    const Cell target{tr, tc};
    Cell reached = target;
    const int found = SearchAStar(Cell{fr, fc}, reached, WholeGrid(), o);
    const int complete = found && !cutShort && reached == target;
    // A single call answers; nothing is left suspended to be resumed by a later request.
    ClearSuspended();
    cutShort = 0;
    return complete ? 1 : 0;
}
