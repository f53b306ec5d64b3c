#pragma once
// Generated lands for the World's tests and benchmarks: written as real land files by the land
// fixture and loaded into a World's terrain, sight and path grids.
#include <string>
#include <vector>

#include "map/LandFixture.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "world/LandLoader.h"
#include "world/World.h"

// A land of open ground, `columns` by `rows` cells, with the letters given row by row laid over
// it ('c' where a row is short).
inline LandLayout OpenLand(int columns, int rows, const std::vector<std::string>& overlay = {}) {
    LandLayout layout;
    layout.columns = columns;
    layout.rows = rows;
    for (int r = 0; r < rows; ++r) {
        std::string line(static_cast<size_t>(columns), 'c');
        if (r < static_cast<int>(overlay.size())) {
            for (size_t c = 0; c < overlay[r].size() && c < line.size(); ++c)
                line[c] = overlay[r][c];
        }
        layout.letters.push_back(line);
    }
    return layout;
}

// Writes the land into the fixture's directory and loads it as the World's land.
inline void LoadLand(World& world, const LandFixture& files, const LandLayout& layout) {
    files.WriteLand(layout);
    world.localDir = files.Path();
    world.dataDir = files.Path();
    Land land = LandLoader::Load(world);
    world.terrain = std::move(land.map);
    world.sight = std::move(land.sight);
    world.pathGrid = std::move(land.paths);
}
