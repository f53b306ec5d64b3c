#include "StartCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/Size.h"
#include "map/CollisionFilter.h"
#include "map/MapObjectView.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "map/TerrainMap.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/FactoryBuilding.h"
#include "world/LandLoader.h"
#include "world/Scenario.h"

namespace mkassets {

namespace StartCheck {

const int kFactorySightReach = TerrainMap::kViewerReach;

namespace {

constexpr int kCellPixels = LandLoader::kPathCellPixels;
// A unit of one cell.
constexpr int kUnitRadius = 16;
// Route searches may spend this many expansions per map cell: a greedy search visits a cell
// again whenever it finds a cheaper way in, and a search cut short would refuse a sound land.
constexpr int kExpansionsPerCell = 8;

// What the route search asks of the unit it routes: a ground unit closed to water and to the
// 'r' terrain, so that a route found here serves every ground drive.
class GroundUnit : public MapObjectView {
public:
    GroundUnit() : filter(2, 1, 1, 1, 0) {}
    SimId GetId() const override { return SimId(1, 1); }
    int GetTeam() const override { return 1; }
    void GetPosition(Point& out) const override { out = Point(); }
    CollisionFilter* GetCollision() override { return &filter; }
    int GetFootprintRadius() override { return kUnitRadius; }
    void SetFootprint(const Rect&) override {}
    uint32_t GetEnemyMask() override { return 0; }
    int HasManoeuvre(int) override { return 0; }
    void GetBlockingSim(SimId& out) override { out = SimId(); }
    int IsMoving() override { return 0; }
    int IsWaiting() override { return 0; }
    int IsHostileTo(MapObjectView*) override { return 0; }
    int ViewingPlayer() override { return 0; }
    int SecondViewingPlayer() override { return 0; }
    int HasBaseSight() override { return 0; }
    int SensorActive(SensorKind, int) override { return 0; }
    int IsHidden(StealthKind, int) override { return 0; }

private:
    CollisionFilter filter;
};

// A ragged layout is as wide as its shortest row.
int Narrowest(const std::vector<std::string>& letters) {
    size_t narrowest = letters.empty() ? 0 : letters[0].size();
    for (const std::string& row : letters)
        narrowest = std::min(narrowest, row.size());
    return static_cast<int>(narrowest);
}

// The land as the game's terrain map reports it, with its path grid.
class LoadedLand {
public:
    explicit LoadedLand(const Layout& layout)
        : layout(layout),
          rows(static_cast<int>(layout.letters.size())),
          columns(Narrowest(layout.letters)),
          features(layout.features.begin(), layout.features.end()),
          grid(rows, columns, Size(kCellPixels, kCellPixels)) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                grid.SetCellWord(r, c, LandLoader::CellWordFor(Letter(r, c)));
        }
        PathSearch& search = grid.Search();
        search.SetNodeBudget(static_cast<uint32_t>(kExpansionsPerCell * rows * columns));
    }

    // The border is the edge and a land feature stands on its cell, as the terrain map has it.
    char Letter(int row, int column) const {
        if (row <= 0 || column <= 0 || row >= rows - 1 || column >= columns - 1) return 'e';
        if (features.count({row, column})) return 'p';
        return layout.letters[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }

    // Buildings stand only where every cell of their rectangle is open ground.
    bool IsAreaBuildable(const Rect& area) const {
        const Point first = area.origin;
        const Point last = area.BottomRight();
        if (first.x < 0 || first.y < 0 || last.x >= columns * kCellPixels ||
            last.y >= rows * kCellPixels) {
            return false;
        }
        for (int r = first.y / kCellPixels; r <= last.y / kCellPixels; ++r) {
            for (int c = first.x / kCellPixels; c <= last.x / kCellPixels; ++c) {
                if (Letter(r, c) != 'c') return false;
            }
        }
        return true;
    }

    // The cells a footprint of the radius covers at p, as a rectangle of whole cells.
    bool FootprintBuildable(const Point& p, int radius) const {
        int row0 = 0, column0 = 0, row1 = 0, column1 = 0;
        if (!grid.RectToCells(p, radius, row0, column0, row1, column1)) return false;
        return IsAreaBuildable(
            Rect(Point(column0 * kCellPixels, row0 * kCellPixels),
                 Size((column1 - column0 + 1) * kCellPixels, (row1 - row0 + 1) * kCellPixels)));
    }

    bool HasRoute(const Point& from, const Point& to) { return grid.HasPath(&unit, from, to) == 1; }

    // Whether the cell lies under a footprint of the radius at p; a footprint off the map covers
    // nothing (its start is refused for that already).
    bool UnderFootprint(const Cell& cell, const Point& p, int radius) const {
        int row0 = 0, column0 = 0, row1 = 0, column1 = 0;
        if (!grid.RectToCells(p, radius, row0, column0, row1, column1)) return false;
        return cell.first >= row0 && cell.first <= row1 && cell.second >= column0 &&
               cell.second <= column1;
    }

    // Closes or opens again the cells of a footprint to every unit, as terrain does; the cells
    // are open ground, so no other terrain bit is lost.
    void SetClosed(const Point& p, int radius, bool closed) {
        int row0 = 0, column0 = 0, row1 = 0, column1 = 0;
        if (!grid.RectToCells(p, radius, row0, column0, row1, column1)) return;
        for (int r = row0; r <= row1; ++r) {
            for (int c = column0; c <= column1; ++c) {
                if (closed)
                    grid.SetCellBits(r, c, kCellFeature);
                else
                    grid.ClearCellBits(r, c, kCellFeature);
            }
        }
    }

private:
    const Layout& layout;
    int rows;
    int columns;
    std::set<Cell> features;
    PathGrid grid;
    GroundUnit unit;
};

Point CellCentre(const Cell& cell) {
    return Point(cell.second * kCellPixels + kCellPixels / 2,
                 cell.first * kCellPixels + kCellPixels / 2);
}

std::string CellText(const Point& p) {
    return "row " + std::to_string(p.y / kCellPixels) + ", column " +
           std::to_string(p.x / kCellPixels);
}

Point RollOutPoint(const Cell& start) {
    return CellCentre(start) + Scenario::kFactoryOffset + FactoryBuilding::kRollOutOffset;
}

Cell CellOf(const Point& p) {
    return {p.y / kCellPixels, p.x / kCellPixels};
}

bool Within(const Cell& a, const Cell& b, int cells) {
    return std::abs(a.first - b.first) <= cells && std::abs(a.second - b.second) <= cells;
}

// A field the start's first Miner finds and works by itself, without an order. The factory must
// be closed in its open footprint on the land's grid.
bool FoundByFirstMiner(LoadedLand& land, const Layout& layout, const Cell& start,
                       const Cell& field) {
    const Point factory = CellCentre(start) + Scenario::kFactoryOffset;
    const Point rollOut = RollOutPoint(start);
    const Point centre = CellCentre(field);
    // The local team learns of no object whose centre cell it has not seen.
    if (!Within(field, CellOf(factory), layout.sightReach)) return false;
    const int reach = MiningManoeuvre::kSearchDistance - kRollOutDrift;
    const Point apart = centre - rollOut;
    if (static_cast<int64_t>(apart.x) * apart.x + static_cast<int64_t>(apart.y) * apart.y >
        static_cast<int64_t>(reach) * reach) {
        return false;
    }
    if (land.UnderFootprint(field, factory, FactoryBuilding::kFoldedRadius) ||
        land.UnderFootprint(field, factory + FactoryBuilding::kUnfoldedOffset,
                            FactoryBuilding::kUnfoldedRadius) ||
        Within(field, CellOf(rollOut), RollOutReach())) {
        return false;
    }
    // A unit at a dock stands on its cell and pushes aside what is next to it.
    for (const FactoryBuilding::DockPlace& dock : FactoryBuilding::kDocks) {
        if (Within(field, CellOf(factory + dock.offset), 1)) return false;
    }
    return land.HasRoute(rollOut, centre);
}

Verdict CheckStart(LoadedLand& land, const Layout& layout, const Cell& start) {
    Verdict verdict;
    const Point factory = CellCentre(start) + Scenario::kFactoryOffset;
    verdict.footprint = land.FootprintBuildable(factory, FactoryBuilding::kFoldedRadius) &&
                        land.FootprintBuildable(factory + FactoryBuilding::kUnfoldedOffset,
                                                FactoryBuilding::kUnfoldedRadius);
    const Point rollOut = RollOutPoint(start);
    verdict.rollOut = land.IsAreaBuildable(
        Rect(rollOut, Size(FactoryBuilding::kBuildArea, FactoryBuilding::kBuildArea), 'c'));
    const Point opened = factory + FactoryBuilding::kUnfoldedOffset;
    if (verdict.footprint) land.SetClosed(opened, FactoryBuilding::kUnfoldedRadius, true);
    for (const Cell& field : layout.fields) {
        if (verdict.oreRoute) break;
        verdict.oreRoute = land.HasRoute(rollOut, CellCentre(field));
    }
    for (const Cell& field : layout.fields) {
        if (verdict.oreInSight) break;
        verdict.oreInSight = FoundByFirstMiner(land, layout, start, field);
    }
    if (verdict.footprint) land.SetClosed(opened, FactoryBuilding::kUnfoldedRadius, false);
    return verdict;
}

}  // namespace

Cell RollOutCell(const Cell& start) {
    return CellOf(RollOutPoint(start));
}

int RollOutReach() {
    return FactoryBuilding::kBuildArea / 2 / kCellPixels;
}

std::vector<Verdict> Check(const Layout& layout) {
    LoadedLand land(layout);
    std::vector<Verdict> verdicts;
    for (const Cell& start : layout.starts)
        verdicts.push_back(CheckStart(land, layout, start));
    return verdicts;
}

std::string Fault(const Layout& layout, const std::string& title) {
    const std::vector<Verdict> verdicts = Check(layout);
    for (size_t i = 0; i < verdicts.size(); ++i) {
        const Verdict& v = verdicts[i];
        if (v.Holds()) continue;
        const Cell& start = layout.starts[i];
        const Point factory = CellCentre(start) + Scenario::kFactoryOffset;
        const Point rollOut = RollOutPoint(start);
        std::string lacks;
        auto add = [&lacks](const std::string& what) {
            lacks += (lacks.empty() ? "" : "; ") + what;
        };
        if (!v.footprint) add("its factory at " + CellText(factory) + " is not on open ground");
        if (!v.rollOut)
            add("the ground round its roll-out point at " + CellText(rollOut) + " is not all open");
        if (!v.oreRoute) add("no ground route leads from its roll-out point to an ore field");
        if (!v.oreInSight) {
            add("no ore field lies in its factory's sight, within " +
                std::to_string(MiningManoeuvre::kSearchDistance - kRollOutDrift) +
                " px of its roll-out point and a ground route from it, clear of the factory, "
                "its docks and its roll-out ground");
        }
        return title + ": the start at row " + std::to_string(start.first) + ", column " +
               std::to_string(start.second) + " cannot be played: " + lacks;
    }
    return "";
}

}  // namespace StartCheck

}  // namespace mkassets
