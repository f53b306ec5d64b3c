#include "ai/InfluenceGrid.h"

#include <algorithm>

#include "ai/UnitTraits.h"
#include "core/EventReceiver.h"
#include "core/NodeList.h"
#include "core/PointNode.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

int32_t CeilDiv(int32_t a, int32_t b) {
    return b > 0 && a > 0 ? (a + b - 1) / b : 0;
}

// The counter pairs (value, health) of the category masks 1, 2, 4, 8.
constexpr int kCategoryPairs[4][3] = {
    {InfluenceGrid::kCombat, InfluenceCell::kCombatFire, InfluenceCell::kCombatHealth},
    {InfluenceGrid::kFactory, InfluenceCell::kFactoryFire, InfluenceCell::kFactoryHealth},
    {InfluenceGrid::kWorkers, InfluenceCell::kWorkerFire, InfluenceCell::kWorkerHealth},
    {InfluenceGrid::kStructures, InfluenceCell::kStructureFire, InfluenceCell::kStructureHealth},
};

}  // namespace

InfluenceGrid::InfluenceGrid(World& world, int32_t cellWidth, int32_t cellHeight)
    : world(world), cellWidth(cellWidth), cellHeight(cellHeight) {
    if (world.sight) area = world.sight->AreaSize();
    rows = CeilDiv(area.h, cellHeight);
    columns = CeilDiv(area.w, cellWidth);
    cells.reserve(static_cast<size_t>(rows) * static_cast<size_t>(columns));
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c)
            cells.emplace_back(r, c);
    if (TerrainMap* terrain = world.terrain.get()) {
        const Size tiles = terrain->SizeInCells();
        for (int r = 0; r < tiles.h; ++r) {
            for (int c = 0; c < tiles.w; ++c) {
                if (terrain->TerrainTypeAt(r, c) != 'c') continue;
                if (InfluenceCell* cell = CellAt(terrain->CellCenter(r, c))) ++cell->openTiles;
            }
        }
    }
}

InfluenceCell* InfluenceGrid::CellAt(const Point& p) {
    if (p.x < 0 || p.y < 0 || cellWidth <= 0 || cellHeight <= 0) return nullptr;
    return CellAt(p.y / cellHeight, p.x / cellWidth);
}

InfluenceCell* InfluenceGrid::CellAt(int32_t row, int32_t column) {
    if (row < 0 || row >= rows || column < 0 || column >= columns) return nullptr;
    return &cells[static_cast<size_t>(row) * static_cast<size_t>(columns) +
                  static_cast<size_t>(column)];
}

Rect InfluenceGrid::CellRect(const InfluenceCell& cell) const {
    const Point origin(cell.column * cellWidth, cell.row * cellHeight);
    const int32_t w = std::min(cellWidth, area.w - origin.x);
    const int32_t h = std::min(cellHeight, area.h - origin.y);
    return Rect(origin, Size(w, h));
}

Point InfluenceGrid::CellCentre(const InfluenceCell& cell) const {
    const Rect r = CellRect(cell);
    return Point(r.origin.x + r.extent.w / 2, r.origin.y + r.extent.h / 2);
}

bool InfluenceGrid::Counts(int32_t team, int32_t owner, int32_t filter) const {
    if (filter != 0) return team == filter;
    return team != owner && allied[owner][team] == 0;
}

void InfluenceGrid::Refresh(int32_t ownerTeam, EventReceiver& owner) {
    if (ownerTeam < 0 || ownerTeam >= InfluenceCell::kTeams) return;
    // 1.
    for (InfluenceCell& cell : cells)
        for (auto& counter : cell.counters)
            counter.fill(0);
    for (auto& total : totals)
        total.fill(0);
    for (int a = 0; a < InfluenceCell::kTeams; ++a)
        for (int b = 0; b < InfluenceCell::kTeams; ++b)
            allied[a][b] = world.AreAllied(a, b) ? 1 : 0;
    // 2, 3.
    for (int32_t team = 1; team < InfluenceCell::kTeams; ++team) {
        NodeList& list = world.sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* object = static_cast<ObjectNode*>(n)->Object();
            if (!object || object->IsDestroyed()) continue;
            int fire = InfluenceCell::kCombatFire;
            if (unit_traits::IsWorker(object)) {
                fire = InfluenceCell::kWorkerFire;
            } else if (unit_traits::IsStructure(object)) {
                fire = InfluenceCell::kStructureFire;
            }
            CountObject(object, team, fire, ownerTeam, owner);
        }
        GameObject* factory = world.TeamFactory(team);
        if (factory && !factory->IsDestroyed())
            CountObject(factory, team, InfluenceCell::kFactoryFire, ownerTeam, owner);
    }
}

void InfluenceGrid::CountObject(GameObject* object, int32_t team, int fireCounter,
                                int32_t ownerTeam, EventReceiver& owner) {
    const int32_t fire = object->GetFirePower();
    const int32_t health = unit_traits::HealthOf(object);
    if (InfluenceCell* cell = CellAt(object->GetPosition())) {
        cell->counters[fireCounter][team] += fire;
        cell->counters[fireCounter + 1][team] += health;
        if (fireCounter == InfluenceCell::kCombatFire)
            ++cell->counters[InfluenceCell::kCount][team];
        totals[fireCounter][team] += fire;
        totals[fireCounter + 1][team] += health;
        if (fireCounter == InfluenceCell::kCombatFire) ++totals[InfluenceCell::kCount][team];
    }
    // The object's own team (a captured unit may still stand in its old team's list).
    const int32_t objectTeam = object->GetTeam();
    const bool inTable = objectTeam >= 0 && objectTeam < InfluenceCell::kTeams;
    const bool unallied =
        objectTeam != ownerTeam &&
        (inTable ? allied[ownerTeam][objectTeam] == 0 : !world.AreAllied(ownerTeam, objectTeam));
    if (unallied && world.sight && world.sight->IsRectVisible(object->GetFootprint(), ownerTeam))
        owner.OnEvent(9, nullptr, object);
}

void InfluenceGrid::NoteAttack(const Point& p) {
    if (InfluenceCell* cell = CellAt(p)) ++cell->attackCount;
}

void InfluenceGrid::AllCells(std::vector<InfluenceCell*>& out) {
    for (InfluenceCell& cell : cells)
        out.push_back(&cell);
}

void InfluenceGrid::CellsInRing(const InfluenceCell& cell, std::vector<InfluenceCell*>& out, int r,
                                int whole) {
    for (int32_t row = cell.row - r; row <= cell.row + r; ++row) {
        for (int32_t column = cell.column - r; column <= cell.column + r; ++column) {
            InfluenceCell* at = CellAt(row, column);
            if (!at) continue;
            const int dr = row > cell.row ? row - cell.row : cell.row - row;
            const int dc = column > cell.column ? column - cell.column : cell.column - column;
            if (whole || std::max(dr, dc) == r) out.push_back(at);
        }
    }
}

void InfluenceGrid::SumCategories(const std::vector<InfluenceCell*>& list, int32_t team,
                                  int32_t& value, int32_t& health, int32_t filter,
                                  int32_t mask) const {
    for (const InfluenceCell* cell : list) {
        for (int32_t t = 1; t < InfluenceCell::kTeams; ++t) {
            if (!Counts(t, team, filter)) continue;
            for (const auto& pair : kCategoryPairs) {
                if ((mask & pair[0]) == 0) continue;
                value += cell->counters[pair[1]][t];
                health += cell->counters[pair[2]][t];
            }
        }
    }
}

void InfluenceGrid::OwnSum(const std::vector<InfluenceCell*>& list, int32_t team, int32_t& value,
                           int32_t& health, int32_t mask) const {
    if (team < 1 || team >= InfluenceCell::kTeams) return;
    SumCategories(list, team, value, health, team, mask);
}

void InfluenceGrid::SumAllCells(int32_t team, int32_t& value, int32_t& health, int32_t filter,
                                int32_t mask) const {
    for (int32_t t = 1; t < InfluenceCell::kTeams; ++t) {
        if (!Counts(t, team, filter)) continue;
        for (const auto& pair : kCategoryPairs) {
            if ((mask & pair[0]) == 0) continue;
            value += totals[pair[1]][t];
            health += totals[pair[2]][t];
        }
    }
}

int32_t InfluenceGrid::EnemyTotal(const InfluenceCell& cell, int32_t team) const {
    int32_t sum = 0;
    for (int32_t t = 1; t < InfluenceCell::kTeams; ++t)
        if (Counts(t, team, 0)) sum += cell.counters[InfluenceCell::kCount][t];
    return sum;
}

int32_t InfluenceGrid::TotalOf(int32_t team) const {
    if (team < 1 || team >= InfluenceCell::kTeams) return 0;
    return totals[InfluenceCell::kCount][team];
}

InfluenceCell* InfluenceGrid::StrongestEnemyCell(int32_t team) {
    InfluenceCell* best = nullptr;
    int32_t bestSum = 0;
    for (InfluenceCell& cell : cells) {
        int32_t sum = 0;
        for (int32_t t = 1; t < InfluenceCell::kTeams; ++t) {
            if (!Counts(t, team, 0)) continue;
            sum += cell.counters[InfluenceCell::kCombatFire][t] +
                   cell.counters[InfluenceCell::kFactoryFire][t];
        }
        // The first cell in row order keeps a tie.
        if (sum > bestSum) {
            best = &cell;
            bestSum = sum;
        }
    }
    return best;
}

void InfluenceGrid::TileCentres(const InfluenceCell& cell, NodeList& out) const {
    const PathGrid* paths = world.pathGrid.get();
    if (!paths) return;
    const Rect r = CellRect(cell);
    const Size step = paths->CellSize();
    if (step.w <= 0 || step.h <= 0) return;
    for (int row = r.origin.y / step.h; row < paths->Rows(); ++row) {
        const Point rowCentre = paths->CellCenter(row, 0);
        if (rowCentre.y >= r.origin.y + r.extent.h) break;
        for (int column = r.origin.x / step.w; column < paths->Columns(); ++column) {
            const Point centre = paths->CellCenter(row, column);
            if (centre.x >= r.origin.x + r.extent.w) break;
            if (centre.x < r.origin.x || centre.y < r.origin.y) continue;
            out.PushBack(new PointNode(centre));
        }
    }
}

GameObject* InfluenceGrid::DestructibleIn(const InfluenceCell& cell) const {
    for (ListNode* n = world.destructibles.First(); n; n = world.destructibles.Next(n)) {
        GameObject* object = static_cast<ObjectNode*>(n)->Object();
        if (!object) continue;
        // The cell CellAt gives for the position.
        const Point p = object->GetPosition();
        if (p.x >= 0 && p.y >= 0 && p.y / cellHeight == cell.row && p.x / cellWidth == cell.column)
            return object;
    }
    return nullptr;
}
