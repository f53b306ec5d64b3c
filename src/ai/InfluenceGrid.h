#pragma once
// A computer opponent's coarse picture of the map: cells of 4 × 4 sight cells holding, per
// team, how many combat objects stand there and what firepower and health each category of
// object brings (combat objects, the factory, miners and repairers, structures). The owner
// refreshes it at the start of each think cycle; the refresh also reports every unallied object
// the owner's team sees (event 9). The managers weigh strength with its sums.
#include <array>
#include <cstdint>
#include <vector>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/Size.h"

class EventReceiver;
class GameObject;
class NodeList;
class World;

class InfluenceCell {
public:
    static constexpr int kTeams = 5;
    // Counter numbers 1 .. 9 (index 0 unused).
    static constexpr int kCount = 1;
    static constexpr int kCombatFire = 2;
    static constexpr int kCombatHealth = 3;
    static constexpr int kFactoryFire = 4;
    static constexpr int kFactoryHealth = 5;
    static constexpr int kWorkerFire = 6;
    static constexpr int kWorkerHealth = 7;
    static constexpr int kStructureFire = 8;
    static constexpr int kStructureHealth = 9;
    static constexpr int kCounters = 10;

    InfluenceCell(int32_t row, int32_t column) : row(row), column(column) {}

    int32_t Counter(int counter, int team) const { return counters[counter][team]; }

    // event-0 reports whose attacker stood here; never cleared.
    int32_t attackCount = 0;
    std::array<std::array<int32_t, kTeams>, kCounters> counters{};
    int32_t row;
    int32_t column;
    // Map tiles of terrain 'c' whose centre lies in the cell.
    int32_t openTiles = 0;
};

class InfluenceGrid {
public:
    // Category masks of the sums.
    static constexpr int32_t kCombat = 1;
    static constexpr int32_t kFactory = 2;
    static constexpr int32_t kWorkers = 4;
    static constexpr int32_t kStructures = 8;
    static constexpr int32_t kAllCategories = 0xff;

    // Cells of the given pixel size over the World's sight-grid area; the open tiles are
    // counted once here.
    InfluenceGrid(World& world, int32_t cellWidth, int32_t cellHeight);

    int32_t Rows() const { return rows; }
    int32_t Columns() const { return columns; }
    Size CellSize() const { return Size(cellWidth, cellHeight); }
    // Null outside the grid (negative points included).
    InfluenceCell* CellAt(const Point& p);
    InfluenceCell* CellAt(int32_t row, int32_t column);
    // The cell's pixel rectangle, clipped at the right and bottom map edges, and its centre.
    Rect CellRect(const InfluenceCell& cell) const;
    Point CellCentre(const InfluenceCell& cell) const;

    // Zeroes the counters and counts every team's objects again; tells the owner (event 9)
    // of every unallied object its team sees, in the grid or not.
    void Refresh(int32_t ownerTeam, EventReceiver& owner);
    // One more attack on the cell at the point (nothing outside the grid).
    void NoteAttack(const Point& p);

    void AllCells(std::vector<InfluenceCell*>& out);
    // Cells within Chebyshev distance r of the cell (whole 1) or at exactly r (whole 0), row by
    // row, columns ascending; only those inside the grid.
    void CellsInRing(const InfluenceCell& cell, std::vector<InfluenceCell*>& out, int r, int whole);
    // Adds (does not reset) the value (firepower) and health counters of the masked
    // categories over the cells: of team filter 1 .. 4, or with filter 0 of every team 1 .. 4
    // not allied with team.
    void SumCategories(const std::vector<InfluenceCell*>& cells, int32_t team, int32_t& value,
                       int32_t& health, int32_t filter, int32_t mask) const;
    void OwnSum(const std::vector<InfluenceCell*>& cells, int32_t team, int32_t& value,
                int32_t& health, int32_t mask) const;
    // The same sums over every cell, from the totals the last refresh kept.
    void SumAllCells(int32_t team, int32_t& value, int32_t& health, int32_t filter,
                     int32_t mask) const;
    // Combat objects of the teams not allied with team in the cell.
    int32_t EnemyTotal(const InfluenceCell& cell, int32_t team) const;
    // Combat objects of one team over the whole grid.
    int32_t TotalOf(int32_t team) const;
    // The cell with the most enemy combat and factory firepower; first in row order on ties;
    // null when there is none.
    InfluenceCell* StrongestEnemyCell(int32_t team);
    // A PointNode for the centre of every path-grid cell inside the cell.
    void TileCentres(const InfluenceCell& cell, NodeList& out) const;
    // The first destructible object whose position lies in the cell, or null.
    GameObject* DestructibleIn(const InfluenceCell& cell) const;

private:
    // Adds one object to its cell and the totals, and tells the owner when it sees it.
    void CountObject(GameObject* object, int32_t team, int fireCounter, int32_t ownerTeam,
                     EventReceiver& owner);
    bool Counts(int32_t team, int32_t owner, int32_t filter) const;

    World& world;
    std::vector<InfluenceCell> cells;
    int32_t cellWidth;
    int32_t cellHeight;
    int32_t rows = 0;
    int32_t columns = 0;
    Size area;
    // The counters summed over every cell by the last refresh.
    std::array<std::array<int32_t, InfluenceCell::kTeams>, InfluenceCell::kCounters> totals{};
    // Alliances as the last refresh read them.
    std::array<std::array<int8_t, InfluenceCell::kTeams>, InfluenceCell::kTeams> allied{};
};
