#include "map/TileSet.h"

#include <cstdint>

#include "core/ResourceFile.h"
#include "core/Size.h"

namespace {
// Reads one tile at a byte offset; a short or failed read leaves the rest of it zero.
void ReadTile(ResourceFile& file, int64_t offset, uint8_t* out) {
    if (offset < 0 || offset > INT32_MAX - TileSet::kTileBytes) return;
    if (!file.Seek(static_cast<int32_t>(offset))) return;
    // The bytes that come are kept; a short read leaves the rest of the tile zero.
    int32_t count = TileSet::kTileBytes;
    file.Read(count, out);
}
}  // namespace

std::vector<uint8_t> TileSet::Read(ResourceFile& file, const Size& mapSize, const Size& sheetOrigin,
                                   const Size& sheetSize) {
    if (mapSize.w <= 0 || mapSize.h <= 0) return {};
    const size_t tiles = static_cast<size_t>(mapSize.w) * static_cast<size_t>(mapSize.h) + 1;
    std::vector<uint8_t> data(tiles * kTileBytes, 0);
    ReadTile(file, 0, data.data());
    for (int r = 0; r < mapSize.h; ++r) {
        for (int c = 0; c < mapSize.w; ++c) {
            const int64_t sheetTile =
                1 + int64_t{sheetOrigin.h + r} * sheetSize.w + sheetOrigin.w + c;
            const size_t local = 1 + static_cast<size_t>(r) * mapSize.w + c;
            ReadTile(file, sheetTile * kTileBytes, data.data() + local * kTileBytes);
        }
    }
    return data;
}
