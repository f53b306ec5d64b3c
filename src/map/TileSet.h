#pragma once
// Reads the block-coded tiles a map uses from a tile-set file: the spare tile at offset 0 and,
// for each map cell, the sheet tile (origin row + r, origin column + c) at offset
// (1 + sheet row x sheet columns + sheet column) x 256. What the file does not hold stays zero.
#include <cstdint>
#include <vector>

class ResourceFile;
class Size;

class TileSet {
public:
    static constexpr int kTileBytes = 256;

    // mapSize and sheetSize are (columns, rows); sheetOrigin is (first column, first row).
    // The result holds (columns x rows + 1) tiles by local number: 0 the spare tile, then
    // 1 + r x columns + c for map cell (r, c).
    static std::vector<uint8_t> Read(ResourceFile& file, const Size& mapSize,
                                     const Size& sheetOrigin, const Size& sheetSize);
};
