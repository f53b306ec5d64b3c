#pragma once
// The mission's movement grid: one cell word per map cell holding the terrain flags and the
// occupancy bits of every team on three layers, and per layer the object occupying each cell.
// It also runs the path search over these cells (see PathSearch).
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "core/Point.h"
#include "core/Size.h"

class MapObjectView;
class NodeList;
class PathSearch;
class Rect;
class SightGrid;

// Terrain bits of the cell word.
constexpr uint32_t kCellFeature = 0x01;  // 'p'
constexpr uint32_t kCellWater = 0x02;    // 'w'
constexpr uint32_t kCellR = 0x04;        // 'r'
constexpr uint32_t kCellEdge = 0x08;     // 'e'
constexpr uint32_t kCellLand = 0x10;     // every cell of a loaded land
constexpr uint32_t kCellArtifact = 0x20;
constexpr uint32_t kCellEffect = 0x40;
constexpr uint32_t kTerrainPart = 0x0000FFFF;
constexpr uint32_t kOccupancyPart = 0xFFFF0000;

// The terrain cell word of a land's terrain letter: 'p' land feature, 'w' water, 'r', 'e' edge,
// anything else open land.
constexpr uint32_t TerrainCellWord(char letter) {
    switch (letter) {
        case 'p':
            return kCellLand | kCellFeature;
        case 'w':
            return kCellLand | kCellWater;
        case 'r':
            return kCellLand | kCellR;
        case 'e':
            return kCellLand | kCellEdge;
        default:
            return kCellLand;
    }
}

class PathGrid {
public:
    PathGrid(int rows, int columns, const Size& cellSize);
    PathGrid(const PathGrid&) = delete;
    PathGrid& operator=(const PathGrid&) = delete;
    virtual ~PathGrid();

    int Rows() const { return rows; }
    int Columns() const { return columns; }
    Size CellSize() const { return cellSize; }
    // The map's extent in pixels (columns x cell width, rows x cell height).
    Size PixelExtent() const { return Size(columns * cellSize.w, rows * cellSize.h); }
    bool IsInside(int row, int column) const {
        return row >= 0 && row < rows && column >= 0 && column < columns;
    }

    // The sight grid that prices routes near enemies and decides detection; borrowed.
    void AttachSightGrid(const SightGrid* grid) { sight = grid; }
    const SightGrid* AttachedSightGrid() const { return sight; }

    // Cell words; reads outside the grid answer 0, writes outside it are ignored.
    uint32_t CellWord(int row, int column) const;
    // The cell word of a cell known to lie inside the grid.
    uint32_t CellWordInside(int row, int column) const { return cellWords[Index(row, column)]; }
    void SetCellWord(int row, int column, uint32_t word);
    void SetCellBits(int row, int column, uint32_t bits);
    void ClearCellBits(int row, int column, uint32_t bits);

    // Integer division, no bounds check.
    void PixelToCell(const Point& p, short& row, short& column) const;
    Point CellCenter(int row, int column) const;
    // The first cell whose centre is greater than x (and y).
    void PixelToNearestCorner(int x, int y, int& row, int& column) const;
    // The last cell whose centre is less than x (and y).
    void PixelToCornerBelow(int x, int y, int& row, int& column) const;
    // The cells whose centres lie strictly inside the box of the radius about p; 0 (outputs
    // untouched) when the box leaves the map.
    int RectToCells(const Point& p, int radius, int& row0, int& column0, int& row1,
                    int& column1) const;

    // Marks the object's occupancy at p (radius 0: its own footprint radius).
    void AddFootprint(MapObjectView* o, const Point& p, int radius);
    // Clears exactly what the object's last AddFootprint marked; p and radius are not needed
    // for that and are kept for the callers' symmetry.
    void RemoveFootprint(MapObjectView* o, const Point& p, int radius);
    // 1 when the object could stand at p, 0 when terrain or an occupant blocks it.
    int CanOccupy(MapObjectView* o, const Point& p, MapObjectView** blocker, uint32_t mask,
                  int passMovers, int radius);
    MapObjectView* ObjectMatchingMask(int row, int column, uint32_t mask);
    // As ObjectMatchingMask, but an object marked under another in the cell counts too (layer by
    // layer from the air down, the latest marked first).
    MapObjectView* AnyObjectMatchingMask(int row, int column, uint32_t mask);
    MapObjectView* ObjectAnchoredAt(int row, int column, int layer);
    MapObjectView* FindObjectNear(MapObjectView* o, int rowRadius, int columnRadius);
    // The object of a layer's grid at a cell (0 ground, 1 low, 2 air), null outside.
    MapObjectView* Occupant(int row, int column, int layer) const;

    // The path search (PathSearch holds its state).
    int FindPath(const Point& start, const Point& goal, MapObjectView* o, NodeList& waypoints,
                 int ignoreUnits, const Point* windowLow, const Point* windowHigh);
    int HasPath(MapObjectView* o, const Point& from, const Point& to);
    // 1 when the terrain joins the two points' cells for a mover kept off the terrain bits of
    // moveFlags, cell by cell; occupants are not looked at. A point whose own cell is closed is
    // taken at the open cells beside it. Unlike HasPath it leaves the path search alone: the
    // cells are labelled by region once per set of flags and again only after the terrain bits
    // change.
    int TerrainJoins(uint32_t moveFlags, const Point& from, const Point& to);
    // 1 when the last search call stopped on its node budget and waits to be resumed.
    int IsCutShort() const;
    PathSearch& Search() { return *search; }

private:
    struct Footprint {
        int row0, column0, row1, column1;
        uint32_t mask;
    };
    int Index(int row, int column) const { return row * columns + column; }
    void ClearFootprint(MapObjectView* o, const Footprint& f);
    void MarkCell(MapObjectView* o, int i, uint32_t mask);
    void UnmarkCell(MapObjectView* o, int i, uint32_t mask);
    // A change of the terrain bits a mover can be kept off makes every labelling stale.
    void NoteWordChange(uint32_t before, uint32_t after);
    // The region labels of every cell for a set of move flags (0 closed), labelled afresh when
    // stale.
    const std::vector<int32_t>& RegionsFor(uint32_t moveFlags);
    // The labels of a cell, or when it is closed, of the open cells beside it.
    void LabelsAt(const std::vector<int32_t>& label, const Point& p, int32_t out[4]) const;

    int32_t rows;
    int32_t columns;
    Size cellSize;
    std::unique_ptr<PathSearch> search;
    std::vector<uint32_t> cellWords;
    // One grid per layer: ground, low, air.
    std::vector<MapObjectView*> occupants[3];
    // What each object's footprint marked, so that removing it clears exactly that.
    std::unordered_map<const MapObjectView*, Footprint> footprints;
    // Footprints may overlap (buildings and land features are marked without a placement
    // test). A cell word's occupancy bit stays set while any footprint marks it: the marks
    // beyond the first, per cell and bit (key cell * 32 + bit). Empty when nothing overlaps.
    std::unordered_map<int64_t, int32_t> extraMarks;
    // Per cell and layer (key cell * 3 + layer), the earlier occupants under the one the
    // layer's grid shows, oldest first; the newest takes the cell again when the top leaves.
    std::unordered_map<int64_t, std::vector<MapObjectView*>> buried;
    // The two object lookups by mask: the named occupant only, or (underToo) the buried too.
    MapObjectView* MatchInCell(int row, int column, uint32_t mask, bool underToo);
    const SightGrid* sight = nullptr;
    struct Regions {
        uint32_t moveFlags = 0;
        uint32_t terrainVersion = 0;
        std::vector<int32_t> label;
    };
    std::vector<Regions> regions;
    uint32_t terrainVersion = 0;
};
