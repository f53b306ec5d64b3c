#include "map/PathGrid.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "core/Rect.h"
#include "map/CollisionFilter.h"
#include "map/MapObjectView.h"
#include "map/PathSearch.h"
#include "map/SightGrid.h"

namespace {
constexpr uint32_t kLayerBits[3] = {kGroundBits, kLowBits, kAirBits};
}

PathGrid::PathGrid(int rows, int columns, const Size& cellSize)
    : rows(rows < 0 ? 0 : rows), columns(columns < 0 ? 0 : columns), cellSize(cellSize) {
    const size_t cells = static_cast<size_t>(this->rows) * static_cast<size_t>(this->columns);
    cellWords.assign(cells, 0);
    for (auto& layer : occupants)
        layer.assign(cells, nullptr);
    search = std::make_unique<PathSearch>(*this);
}

PathGrid::~PathGrid() = default;

uint32_t PathGrid::CellWord(int row, int column) const {
    return IsInside(row, column) ? cellWords[Index(row, column)] : 0;
}

void PathGrid::SetCellWord(int row, int column, uint32_t word) {
    if (!IsInside(row, column)) return;
    uint32_t& w = cellWords[Index(row, column)];
    NoteWordChange(w, word);
    w = word;
}

void PathGrid::SetCellBits(int row, int column, uint32_t bits) {
    if (!IsInside(row, column)) return;
    uint32_t& w = cellWords[Index(row, column)];
    NoteWordChange(w, w | bits);
    w |= bits;
}

void PathGrid::ClearCellBits(int row, int column, uint32_t bits) {
    if (!IsInside(row, column)) return;
    uint32_t& w = cellWords[Index(row, column)];
    NoteWordChange(w, w & ~bits);
    w &= ~bits;
}

void PathGrid::NoteWordChange(uint32_t before, uint32_t after) {
    constexpr uint32_t kMoveBits = kCellFeature | kCellWater | kCellR | kCellEdge;
    if (((before ^ after) & kMoveBits) != 0) ++terrainVersion;
}

const std::vector<int32_t>& PathGrid::RegionsFor(uint32_t moveFlags) {
    moveFlags &= kTerrainPart;
    auto found = std::find_if(regions.begin(), regions.end(),
                              [moveFlags](const Regions& r) { return r.moveFlags == moveFlags; });
    if (found == regions.end()) {
        regions.push_back(Regions{moveFlags, terrainVersion - 1, {}});
        found = regions.end() - 1;
    }
    Regions& r = *found;
    if (r.terrainVersion == terrainVersion) return r.label;
    r.terrainVersion = terrainVersion;
    r.label.assign(cellWords.size(), 0);
    // Four-way flood fill: the search's diagonal step needs both cells beside it open, so it
    // joins no cells the four-way fill does not.
    std::vector<int> open;
    int32_t next = 0;
    for (int start = 0; start < static_cast<int>(cellWords.size()); ++start) {
        if (r.label[static_cast<size_t>(start)] != 0 ||
            (cellWords[static_cast<size_t>(start)] & moveFlags) != 0)
            continue;
        ++next;
        r.label[static_cast<size_t>(start)] = next;
        open.assign(1, start);
        while (!open.empty()) {
            const int i = open.back();
            open.pop_back();
            const int row = i / columns;
            const int column = i % columns;
            const int beside[4][2] = {
                {row - 1, column}, {row + 1, column}, {row, column - 1}, {row, column + 1}};
            for (const auto& [r2, c2] : beside) {
                if (!IsInside(r2, c2)) continue;
                const auto j = static_cast<size_t>(Index(r2, c2));
                if (r.label[j] != 0 || (cellWords[j] & moveFlags) != 0) continue;
                r.label[j] = next;
                open.push_back(static_cast<int>(j));
            }
        }
    }
    return r.label;
}

void PathGrid::LabelsAt(const std::vector<int32_t>& label, const Point& p, int32_t out[4]) const {
    short row = 0;
    short column = 0;
    PixelToCell(p, row, column);
    std::fill(out, out + 4, 0);
    if (!IsInside(row, column)) return;
    if ((out[0] = label[static_cast<size_t>(Index(row, column))]) != 0) return;
    const int beside[4][2] = {
        {row - 1, column}, {row + 1, column}, {row, column - 1}, {row, column + 1}};
    for (int k = 0; k < 4; ++k)
        if (IsInside(beside[k][0], beside[k][1]))
            out[k] = label[static_cast<size_t>(Index(beside[k][0], beside[k][1]))];
}

int PathGrid::TerrainJoins(uint32_t moveFlags, const Point& from, const Point& to) {
    if (cellWords.empty()) return 0;
    const std::vector<int32_t>& label = RegionsFor(moveFlags);
    int32_t a[4];
    int32_t b[4];
    LabelsAt(label, from, a);
    LabelsAt(label, to, b);
    for (int32_t x : a)
        for (int32_t y : b)
            if (x != 0 && x == y) return 1;
    return 0;
}

void PathGrid::PixelToCell(const Point& p, short& row, short& column) const {
    row = static_cast<short>(cellSize.h != 0 ? p.y / cellSize.h : 0);
    column = static_cast<short>(cellSize.w != 0 ? p.x / cellSize.w : 0);
}

Point PathGrid::CellCenter(int row, int column) const {
    return Point(column * cellSize.w + cellSize.w / 2, row * cellSize.h + cellSize.h / 2);
}

void PathGrid::PixelToNearestCorner(int x, int y, int& row, int& column) const {
    column = x / cellSize.w;
    if (x >= column * cellSize.w + cellSize.w / 2) ++column;
    row = y / cellSize.h;
    if (y >= row * cellSize.h + cellSize.h / 2) ++row;
}

void PathGrid::PixelToCornerBelow(int x, int y, int& row, int& column) const {
    column = x / cellSize.w;
    if (x <= column * cellSize.w + cellSize.w / 2) --column;
    row = y / cellSize.h;
    if (y <= row * cellSize.h + cellSize.h / 2) --row;
}

int PathGrid::RectToCells(const Point& p, int radius, int& row0, int& column0, int& row1,
                          int& column1) const {
    if (cellSize.w <= 0 || cellSize.h <= 0) return 0;
    const int64_t left = int64_t{p.x} - radius;
    const int64_t top = int64_t{p.y} - radius;
    const int64_t right = int64_t{p.x} + radius;
    const int64_t bottom = int64_t{p.y} + radius;
    if (left < 0 || top < 0) return 0;
    if (right >= int64_t{columns} * cellSize.w || bottom >= int64_t{rows} * cellSize.h) return 0;
    PixelToNearestCorner(static_cast<int>(left), static_cast<int>(top), row0, column0);
    PixelToCornerBelow(static_cast<int>(right), static_cast<int>(bottom), row1, column1);
    return 1;
}

void PathGrid::AddFootprint(MapObjectView* o, const Point& p, int radius) {
    if (o == nullptr) return;
    if (radius == 0) radius = o->GetFootprintRadius();
    Footprint f{};
    if (!RectToCells(p, radius, f.row0, f.column0, f.row1, f.column1)) return;
    // An object occupies one place: marking it again first clears its earlier marks.
    auto earlier = footprints.find(o);
    if (earlier != footprints.end()) {
        ClearFootprint(o, earlier->second);
        footprints.erase(earlier);
    }
    o->SetFootprint(
        Rect(Point(f.column0 * cellSize.w, f.row0 * cellSize.h),
             Point(f.column1 * cellSize.w + cellSize.w - 1, f.row1 * cellSize.h + cellSize.h - 1)));
    f.mask = o->GetCollision()->OwnMask();
    for (int r = f.row0; r <= f.row1; ++r) {
        for (int c = f.column0; c <= f.column1; ++c)
            MarkCell(o, Index(r, c), f.mask);
    }
    footprints[o] = f;
}

void PathGrid::RemoveFootprint(MapObjectView* o, const Point& /*p*/, int /*radius*/) {
    if (o == nullptr) return;
    o->SetFootprint(Rect());
    // Clearing what was recorded (never toggling) keeps a stray remove, or one after a team
    // change, from setting bits that nobody owns.
    auto found = footprints.find(o);
    if (found == footprints.end()) return;
    ClearFootprint(o, found->second);
    footprints.erase(found);
}

void PathGrid::ClearFootprint(MapObjectView* o, const Footprint& f) {
    for (int r = f.row0; r <= f.row1; ++r) {
        for (int c = f.column0; c <= f.column1; ++c)
            UnmarkCell(o, Index(r, c), f.mask);
    }
}

// The cell word the path search reads keeps its one bit per team and layer; the counts of
// further marks live beside it, so routes do not change where nothing overlaps.
void PathGrid::MarkCell(MapObjectView* o, int i, uint32_t mask) {
    for (uint32_t bits = mask & kOccupancyPart; bits != 0; bits &= bits - 1) {
        const uint32_t b = bits & (~bits + 1);
        if ((cellWords[i] & b) != 0)
            ++extraMarks[int64_t{i} * 32 + std::countr_zero(b)];
        else
            cellWords[i] |= b;
    }
    for (int layer = 0; layer < 3; ++layer) {
        if ((mask & kLayerBits[layer]) == 0) continue;
        MapObjectView*& top = occupants[layer][i];
        if (top != nullptr && top != o) buried[int64_t{i} * 3 + layer].push_back(top);
        top = o;
    }
}

void PathGrid::UnmarkCell(MapObjectView* o, int i, uint32_t mask) {
    if (extraMarks.empty()) {
        cellWords[i] &= ~(mask & kOccupancyPart);
    } else {
        for (uint32_t bits = mask & kOccupancyPart; bits != 0; bits &= bits - 1) {
            const uint32_t b = bits & (~bits + 1);
            auto extra = extraMarks.find(int64_t{i} * 32 + std::countr_zero(b));
            if (extra == extraMarks.end()) {
                cellWords[i] &= ~b;
            } else if (--extra->second == 0) {
                extraMarks.erase(extra);
            }
        }
    }
    // Every layer, as before: an object leaves whatever grid still names it.
    for (int layer = 0; layer < 3; ++layer) {
        MapObjectView*& top = occupants[layer][i];
        if (buried.empty()) {
            if (top == o) top = nullptr;
            continue;
        }
        auto under = buried.find(int64_t{i} * 3 + layer);
        if (under == buried.end()) {
            if (top == o) top = nullptr;
            continue;
        }
        std::vector<MapObjectView*>& list = under->second;
        if (top == o) {
            top = list.back();
            list.pop_back();
        } else {
            list.erase(std::remove(list.begin(), list.end(), o), list.end());
        }
        if (list.empty()) buried.erase(under);
    }
}

int PathGrid::CanOccupy(MapObjectView* o, const Point& p, MapObjectView** blocker, uint32_t mask,
                        int passMovers, int radius) {
    if (radius == 0 && o != nullptr) radius = o->GetFootprintRadius();
    if (blocker != nullptr) *blocker = nullptr;
    int row0, column0, row1, column1;
    if (!RectToCells(p, radius, row0, column0, row1, column1)) return 0;
    const int centreRow = p.y / cellSize.h;
    const int centreColumn = p.x / cellSize.w;
    for (int r = row0; r <= row1; ++r) {
        for (int c = column0; c <= column1; ++c) {
            uint32_t w = cellWords[Index(r, c)];
            // Terrain counts only under the footprint's centre.
            if (r != centreRow || c != centreColumn) w &= kOccupancyPart;
            if ((mask & w) == 0) continue;
            if ((mask & w & kTerrainPart) != 0) return 0;
            MapObjectView* occupant = ObjectMatchingMask(r, c, mask);
            if (occupant != nullptr && occupant == o) continue;
            if (passMovers == 1 && occupant != nullptr && o != nullptr) {
                SimId blocking;
                o->GetBlockingSim(blocking);
                if (occupant->GetId() != blocking &&
                    (occupant->IsMoving() || occupant->IsWaiting())) {
                    continue;
                }
            }
            if (blocker != nullptr) *blocker = occupant;
            return 0;
        }
    }
    return 1;
}

MapObjectView* PathGrid::ObjectMatchingMask(int row, int column, uint32_t mask) {
    return MatchInCell(row, column, mask, false);
}

MapObjectView* PathGrid::AnyObjectMatchingMask(int row, int column, uint32_t mask) {
    return MatchInCell(row, column, mask, true);
}

MapObjectView* PathGrid::MatchInCell(int row, int column, uint32_t mask, bool underToo) {
    if (!IsInside(row, column)) return nullptr;
    const int i = Index(row, column);
    for (int layer = 2; layer >= 0; --layer) {
        if ((mask & kLayerBits[layer]) == 0) continue;
        MapObjectView* o = occupants[layer][i];
        if (o != nullptr && (o->GetCollision()->OwnMask() & mask) != 0) return o;
        if (!underToo) continue;
        auto under = buried.find(int64_t{i} * 3 + layer);
        if (under == buried.end()) continue;
        for (auto b = under->second.rbegin(); b != under->second.rend(); ++b) {
            if (((*b)->GetCollision()->OwnMask() & mask) != 0) return *b;
        }
    }
    return nullptr;
}

MapObjectView* PathGrid::ObjectAnchoredAt(int row, int column, int layer) {
    MapObjectView* o = Occupant(row, column, layer);
    if (o == nullptr) return nullptr;
    Point at;
    o->GetPosition(at);
    short r, c;
    PixelToCell(at, r, c);
    if (r != row || c != column || o->GetCollision()->layer != layer) return nullptr;
    return o;
}

MapObjectView* PathGrid::Occupant(int row, int column, int layer) const {
    if (!IsInside(row, column) || layer < 0 || layer > 2) return nullptr;
    return occupants[layer][Index(row, column)];
}

MapObjectView* PathGrid::FindObjectNear(MapObjectView* o, int rowRadius, int columnRadius) {
    if (o == nullptr || sight == nullptr) return nullptr;
    if (columnRadius == 0) columnRadius = rowRadius;
    Point at;
    o->GetPosition(at);
    short row, column;
    PixelToCell(at, row, column);
    const int r0 = std::max(0, row - rowRadius), r1 = std::min(rows - 1, row + rowRadius);
    const int c0 = std::max(0, column - columnRadius);
    const int c1 = std::min(columns - 1, column + columnRadius);
    // An object covers several cells, and friends crowd about a unit: the objects already
    // turned down are not asked again (their answers cannot change during the scan), which
    // leaves the first hostile, detected object in scan order the answer, as before.
    constexpr int kRemembered = 16;
    const MapObjectView* refused[kRemembered];
    int refusedCount = 0;
    int nextSlot = 0;
    const MapObjectView* const* low = occupants[1].data();
    const MapObjectView* const* air = occupants[2].data();
    for (int r = r0; r <= r1; ++r) {
        const int rowStart = Index(r, 0);
        // Most of the box is empty ground: a row whose cells hold nobody on either layer is
        // passed over in one sweep.
        uintptr_t anyone = 0;
        for (int c = c0; c <= c1; ++c) {
            anyone |= reinterpret_cast<uintptr_t>(low[rowStart + c]) |
                      reinterpret_cast<uintptr_t>(air[rowStart + c]);
        }
        if (anyone == 0) continue;
        for (int c = c0; c <= c1; ++c) {
            // The ground layer is not searched.
            const MapObjectView* pair[2] = {low[rowStart + c], air[rowStart + c]};
            for (const MapObjectView* seen : pair) {
                if (seen == nullptr || seen == o) continue;
                bool known = false;
                for (int k = 0; k < refusedCount && !known; ++k)
                    known = refused[k] == seen;
                if (known) continue;
                MapObjectView* other = const_cast<MapObjectView*>(seen);
                if (o->IsHostileTo(other) && sight->CanDetect(o, other)) return other;
                refused[nextSlot] = seen;
                nextSlot = (nextSlot + 1) % kRemembered;
                if (refusedCount < kRemembered) ++refusedCount;
            }
        }
    }
    return nullptr;
}

int PathGrid::FindPath(const Point& start, const Point& goal, MapObjectView* o, NodeList& waypoints,
                       int ignoreUnits, const Point* windowLow, const Point* windowHigh) {
    return search->FindPath(start, goal, o, waypoints, ignoreUnits, windowLow, windowHigh);
}

int PathGrid::HasPath(MapObjectView* o, const Point& from, const Point& to) {
    return search->HasPath(o, from, to);
}

int PathGrid::IsCutShort() const {
    return search->IsCutShort();
}
