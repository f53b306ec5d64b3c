// Feeds arbitrary bytes to the land description reader, straight from memory, then looks up,
// decodes and draws whatever map it made. Named resources come from stand-ins, so that no name
// in the input can end the run; the tile set is a small stand-in read at the parsed sheet
// offsets.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ByteTable256.h"
#include "core/MemoryDisplay.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "map/LandAssets.h"
#include "map/TerrainMap.h"

namespace {
class StandInAssets : public LandAssets {
public:
    StandInAssets() : tiles(40 * 256) {
        for (size_t i = 0; i < tiles.size(); ++i)
            tiles[i] = static_cast<uint8_t>(i * 7);
    }
    std::unique_ptr<Palette> LoadPalette(int) override { return std::make_unique<Palette>(); }
    std::unique_ptr<ByteTable256> LoadBlendTable(int) override {
        return std::make_unique<ByteTable256>();
    }
    std::unique_ptr<SpriteSet> LoadSpriteSet(const char*) override {
        return std::make_unique<SpriteSet>(3);
    }
    int OpenTileSet(const char*, const char*, const char*, ResourceFile& file) override {
        return file.OpenBytes(tiles.data(), tiles.size());
    }

private:
    std::vector<uint8_t> tiles;
};

struct Setup {
    StandInAssets assets;
    MemoryDisplay screen;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    lowDetail = size % 2 == 1 ? 1 : 0;
    TerrainMap map;
    map.SetAssets(&setup.assets);
    ResourceFile file;
    if (file.OpenBytes(data, size)) map.LoadFromStream(file);
    lowDetail = 0;

    const Size cells = map.SizeInCells();
    for (int row = -1; row <= cells.h; ++row) {
        for (int column = -1; column <= cells.w; column += 3) {
            map.TerrainTypeAt(row, column);
            map.TerrainTypeWithFog(row, column);
            map.AddVisibility(row, column, (row + column) % 3 - 1);
            map.SetDecoration(row, column, (row * column) % 3);
        }
    }
    map.CountTerrainInRect(Rect(Point(-40, -40), Size(9000, 9000)), 'c');
    // A view of a few cells reaches every drawing path, whole and cut cells alike.
    map.SetView(Rect(Point(0, 0), Size(192, 128)));
    map.DrawViewZoom0(Point(0, 0));
    map.DrawViewZoom2(Point(37, 5));
    return 0;
}
