#pragma once
// Reads a land description into a terrain map: the palette, shade and blend tables it names,
// the map's size and place in the tile sheet, the terrain letter of every tile, the tile set,
// the start points, the second point list, the land features and the decoration sprites.
// Every number and size is checked before use: a description that cannot give a usable map
// leaves the map empty (no cells, nothing to draw) and says why in the trace.
#include <cstdint>

#include "core/Size.h"

class NodeList;
class ResourceFile;
class TerrainMap;

class LandFile {
public:
    static constexpr int kLineLength = 256;

    explicit LandFile(TerrainMap& map) : map(map) {}

    // 1 when the map got its cells and tiles.
    int ParseDescription(ResourceFile& file);
    // The map's columns and rows a description gives, read from its first lines as
    // ParseDescription reads them; (0, 0) when its sizes are unusable (the map is then empty).
    static Size PeekSize(ResourceFile& file);

private:
    int ReadCells(ResourceFile& file, char* line);
    void LoadTileSet(const char* name);
    // "%d %d" lines of sheet row and column up to a '*' line, an empty line or the end.
    void ReadPointList(ResourceFile& file, char* line, NodeList& points);
    void ReadLandFeatures(ResourceFile& file, char* line);
    // Strictly inside the map's part of the sheet: never on the map's border cells.
    bool IsInnerCell(int sheetRow, int sheetColumn) const;
    static bool SizesUsable(const Size& size, const Size& origin, const Size& sheet);

    TerrainMap& map;
};
