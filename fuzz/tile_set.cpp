// Reads a tile set made of arbitrary bytes for a map geometry taken from its first bytes, and
// decodes every tile read. The bytes are read from memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/BlockDecoder.h"
#include "core/ResourceFile.h"
#include "core/Size.h"
#include "map/TileSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const Size map(1 + data[0] % 12, 1 + data[1] % 12);
    const Size origin(data[2] % 5, data[3] % 5);
    const Size sheet(map.w + origin.w + data[2] % 3, map.h + origin.h + data[3] % 3);
    ResourceFile file;
    if (!file.OpenBytes(data + 4, size - 4)) return 0;
    const std::vector<uint8_t> tiles = TileSet::Read(file, map, origin, sheet);
    if (tiles.size() != (static_cast<size_t>(map.w) * map.h + 1) * TileSet::kTileBytes) {
        __builtin_trap();
    }
    uint8_t picture[32 * 32];
    const BlockDecoder decoder;
    for (size_t at = 0; at + TileSet::kTileBytes <= tiles.size(); at += TileSet::kTileBytes) {
        decoder.DecodeRect(picture, Size(32, 32), 32, tiles.data() + at);
    }
    return 0;
}
