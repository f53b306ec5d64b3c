#include "map/SightGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/Size.h"
#include "map/CollisionFilter.h"
#include "map/MapObjectView.h"
#include "map/SquareMove.h"
#include "map/TerrainServices.h"

namespace {
// Half-widths of the square each layer sees about the viewer's sight cell.
constexpr int kLayerReach[SightGrid::kLayers] = {4, 12, 12, 8};
constexpr double kPlainDetection = 256.0;
constexpr double kSensorCDetection = 512.0;
constexpr double kSensorABDetection = 768.0;

void AddCount(int32_t& v) {
    v = v == -1 ? 1 : v + 1;
}
// Never back to -1: taking sight away leaves the cell seen before.
void RemoveCount(int32_t& v) {
    v = std::max(0, v - 1);
}

// Division rounding towards minus infinity, so that -1 lies left of cell 0.
int FloorDiv(int v, int d) {
    return v >= 0 ? v / d : -1 - (-1 - v) / d;
}
}  // namespace

SightGrid::SightGrid(const Size& cellSize, const Size& area, int localTeam)
    : CellGrid(cellSize, area, 2), localTeam(localTeam) {
    const size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(columns);
    values.assign(static_cast<size_t>(kLayers) * kPlayers * cells, -1);
}

SightGrid::~SightGrid() = default;

int32_t* SightGrid::Layer(int layer, int player) {
    const size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(columns);
    return values.data() + (static_cast<size_t>(layer) * kPlayers + (player - 1)) * cells;
}

const int32_t* SightGrid::Layer(int layer, int player) const {
    return const_cast<SightGrid*>(this)->Layer(layer, player);
}

int32_t SightGrid::Value(int layer, int player, int row, int column) const {
    if (layer < 0 || layer >= kLayers || !IsValidPlayer(player)) return -1;
    if (row < 0 || row >= rows || column < 0 || column >= columns) return -1;
    return Layer(layer, player)[row * columns + column];
}

bool SightGrid::CellOfPixel(const Point& p, int& row, int& column) const {
    if (cell.w <= 0 || cell.h <= 0) return false;
    // Checked on the computed cell: positions just left of or above the map truncate to
    // cell 0 but lie outside it.
    row = FloorDiv(p.y, cell.h);
    column = FloorDiv(p.x, cell.w);
    return row >= 0 && row < rows && column >= 0 && column < columns;
}

bool SightGrid::ViewingOf(MapObjectView* o, Viewing& v) const {
    if (o == nullptr || cell.w <= 0 || cell.h <= 0) return false;
    const int viewer = o->ViewingPlayer();
    if (viewer == 0) return false;
    const int second = o->SecondViewingPlayer();
    const int team = o->GetTeam();
    // The second viewing player counts only where it differs from the first.
    v.players[0] = IsValidPlayer(viewer) ? viewer : 0;
    v.players[1] = IsValidPlayer(second) && second != viewer ? second : 0;
    v.sees[0] = o->HasBaseSight() == 1;
    v.sees[1] = o->SensorActive(SensorKind::A, team) != 0;
    v.sees[2] = o->SensorActive(SensorKind::B, team) != 0;
    v.sees[3] = o->SensorActive(SensorKind::C, team) > 0;
    return true;
}

void SightGrid::ChangeSquare(int layer, int player, int row, int column, int delta) {
    int32_t* cells = Layer(layer, player);
    const CountSquare square = SquareAbout(row, column, kLayerReach[layer], rows, columns);
    for (int r = square.row0; r <= square.row1; ++r) {
        for (int c = square.column0; c <= square.column1; ++c) {
            int32_t& v = cells[r * columns + c];
            if (delta > 0) {
                AddCount(v);
            } else {
                RemoveCount(v);
            }
        }
    }
}

void SightGrid::ChangeSquares(const Viewing& v, const Point& p, int delta) {
    if (cell.w <= 0 || cell.h <= 0) return;
    for (int player : v.players) {
        if (player == 0) continue;
        for (int layer = 0; layer < kLayers; ++layer) {
            if (v.sees[layer]) ChangeSquare(layer, player, p.y / cell.h, p.x / cell.w, delta);
        }
    }
}

void SightGrid::MoveViewer(MapObjectView* o, const Point& from, const Point& to) {
    Viewing v;
    int times = 1;
    if (AddedSight* record = o != nullptr ? o->SightRecord() : nullptr) {
        // Moves what was added, not what the object would add now.
        if (record->count <= 0 || cell.w <= 0 || cell.h <= 0) return;
        v = *record;
        times = record->count;
    } else if (!ViewingOf(o, v)) {
        return;
    }
    const int fromRow = from.y / cell.h, fromColumn = from.x / cell.w;
    const int toRow = to.y / cell.h, toColumn = to.x / cell.w;
    // The layers and players are counted apart, so each can be moved on its own.
    for (int time = 0; time < times; ++time) {
        for (int player : v.players) {
            if (player == 0) continue;
            for (int layer = 0; layer < kLayers; ++layer) {
                if (!v.sees[layer]) continue;
                const int reach = kLayerReach[layer];
                if (!MoveCountSquare(Layer(layer, player), columns,
                                     SquareAbout(fromRow, fromColumn, reach, rows, columns),
                                     SquareAbout(toRow, toColumn, reach, rows, columns),
                                     RemoveCount, AddCount)) {
                    ChangeSquare(layer, player, fromRow, fromColumn, -1);
                    ChangeSquare(layer, player, toRow, toColumn, +1);
                }
            }
        }
    }
}

void SightGrid::AddViewer(MapObjectView* o, const Point& p) {
    AddedSight* record = o != nullptr ? o->SightRecord() : nullptr;
    if (record != nullptr && record->count > 0) {
        // Added again before a remove: the same again, so that the removes balance.
        ++record->count;
        ChangeSquares(*record, p, +1);
        return;
    }
    Viewing v;
    if (!ViewingOf(o, v)) return;
    if (record != nullptr) {
        *record = v;
        record->count = 1;
    }
    ChangeSquares(v, p, +1);
}

void SightGrid::RemoveViewer(MapObjectView* o, const Point& p) {
    AddedSight* record = o != nullptr ? o->SightRecord() : nullptr;
    if (record == nullptr) {
        Viewing v;
        if (ViewingOf(o, v)) ChangeSquares(v, p, -1);
        return;
    }
    // A sensor structure lost or won, or a new owner, since the add must not change what
    // goes: that would leave cells seen for good or wipe a living unit's sight.
    if (record->count <= 0) return;
    --record->count;
    ChangeSquares(*record, p, -1);
}

int SightGrid::IsVisible(const Point& p, int player) const {
    int row, column;
    if (!IsValidPlayer(player) || !CellOfPixel(p, row, column)) return 0;
    for (int layer = 0; layer < kLayers; ++layer) {
        if (Layer(layer, player)[row * columns + column] > 0) return 1;
    }
    return 0;
}

int SightGrid::IsExplored(const Point& p, int player) const {
    int row, column;
    if (!IsValidPlayer(player) || !CellOfPixel(p, row, column)) return 0;
    for (int layer = 0; layer < kLayers; ++layer) {
        if (Layer(layer, player)[row * columns + column] >= 0) return 1;
    }
    return 0;
}

template <class Test>
int SightGrid::AnyLayerInRect(const Rect& r, int player, Test test) const {
    if (!IsValidPlayer(player) || cell.w <= 0 || cell.h <= 0) return 0;
    const Point low = r.origin;
    const Point high = r.BottomRight();
    const int r0 = std::max(0, FloorDiv(low.y, cell.h));
    const int c0 = std::max(0, FloorDiv(low.x, cell.w));
    const int r1 = std::min(rows - 1, FloorDiv(high.y, cell.h));
    const int c1 = std::min(columns - 1, FloorDiv(high.x, cell.w));
    for (int row = r0; row <= r1; ++row) {
        for (int column = c0; column <= c1; ++column) {
            for (int layer = 0; layer < kLayers; ++layer) {
                if (test(Layer(layer, player)[row * columns + column])) return 1;
            }
        }
    }
    return 0;
}

int SightGrid::IsRectVisible(const Rect& r, int player) const {
    return AnyLayerInRect(r, player, [](int32_t v) { return v > 0; });
}

int SightGrid::IsRectExplored(const Rect& r, int player) const {
    return AnyLayerInRect(r, player, [](int32_t v) { return v >= 0; });
}

int SightGrid::SeenInLayer1(int row, int column, int player) const {
    return Value(1, player, row, column) > 0 ? 1 : 0;
}

int SightGrid::SeenInLayer2(int row, int column, int player) const {
    return Value(2, player, row, column) > 0 ? 1 : 0;
}

int SightGrid::SeenInLayer3(int row, int column, int player) const {
    return Value(3, player, row, column) > 0 ? 1 : 0;
}

void SightGrid::MarkExplored(int row, int column) {
    if (!IsValidPlayer(localTeam)) return;
    if (row < 0 || row >= rows || column < 0 || column >= columns) return;
    int32_t& v = Layer(0, localTeam)[row * columns + column];
    if (v == -1) v = 0;
}

int SightGrid::EnemyPresence(const Point& p, int team) const {
    int row, column;
    if (!CellOfPixel(p, row, column)) return 0;
    int sum = 0;
    for (int player = 1; player <= kPlayers; ++player) {
        if (TeamsAllied(team, player)) continue;
        const int32_t v = Layer(0, player)[row * columns + column];
        if (v > 0) sum += v;
    }
    return sum;
}

int SightGrid::CanDetect(MapObjectView* viewer, MapObjectView* target) const {
    if (viewer == nullptr || target == nullptr) return 0;
    Point from, to;
    viewer->GetPosition(from);
    target->GetPosition(to);
    const double dx = static_cast<double>(to.x) - from.x;
    const double dy = static_cast<double>(to.y) - from.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    const int viewerTeam = viewer->GetTeam();
    const int targetTeam = target->GetTeam();
    if (!target->IsHidden(StealthKind::General, targetTeam) && d < kPlainDetection) return 1;
    if (viewer->SensorActive(SensorKind::C, viewerTeam) > 0 && d < kSensorCDetection) return 1;
    if (viewer->SensorActive(SensorKind::A, viewerTeam) != 0 &&
        !target->IsHidden(StealthKind::A, targetTeam) && d < kSensorABDetection) {
        return 1;
    }
    if (viewer->SensorActive(SensorKind::B, viewerTeam) != 0 &&
        !target->IsHidden(StealthKind::B, targetTeam) && d < kSensorABDetection) {
        return 1;
    }
    if (cell.w <= 0 || cell.h <= 0) return 0;
    const int rowGap = std::abs(to.y / cell.h - from.y / cell.h);
    const int columnGap = std::abs(to.x / cell.w - from.x / cell.w);
    if (viewer->GetCollision()->layer == target->GetCollision()->layer) {
        return rowGap <= 1 && columnGap <= 1 ? 1 : 0;
    }
    return rowGap == 0 && columnGap == 0 ? 1 : 0;
}
