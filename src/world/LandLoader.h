#pragma once
// Loads the land of the current scenario for the World: the terrain map from the land pack
// (or "edit.lnd"), the sight grid over it, and the path grid with the terrain flags of every
// cell. The World keeps the three, then calls PlaceLandFeatures so that each land-feature cell
// gets its map object (whose footprint goes onto the World's path grid).
#include <cstdint>
#include <memory>

class PathGrid;
class SightGrid;
class TerrainMap;
class TerrainServices;

// The three parts of a loaded land; users need not see the grids' headers to move or drop it.
struct Land {
    Land();
    Land(Land&&) noexcept;
    Land& operator=(Land&&) noexcept;
    ~Land();

    std::unique_ptr<TerrainMap> map;
    std::unique_ptr<SightGrid> sight;
    std::unique_ptr<PathGrid> paths;
};

class LandLoader {
public:
    static constexpr int kSightCellPixels = 64;
    static constexpr int kPathCellPixels = 32;

    // The land number, directories and local team come from the services. A missing land pack
    // is fatal; a land number the pack does not hold gives an empty map (traced). A map of an
    // earlier land, when given, is emptied and reused: its tables are the size of the largest
    // land, and making them anew costs more than the load itself.
    static Land Load(TerrainServices& services, std::unique_ptr<TerrainMap> reuse = nullptr);
    // Builds the grids for a map that is already read; the path grid is attached to the
    // sight grid and carries the terrain flags.
    static Land BuildGrids(std::unique_ptr<TerrainMap> map, int localTeam);
    // The path-grid cell word a terrain letter gives: 0x10 plus the letter's bit.
    static uint32_t CellWordFor(char letter);
    // Asks the services for one land feature at the centre of every land-feature cell, row by
    // row.
    static void PlaceLandFeatures(const TerrainMap& map, TerrainServices& services);
};
