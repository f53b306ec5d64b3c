// Feeds arbitrary bytes to the land description reader as "edit.lnd", then looks up, decodes
// and draws whatever map it made. Named resources come from stand-ins, so that no name in the
// input can end the run; the tile set is a small real file read at the parsed sheet offsets.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

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
    explicit StandInAssets(std::string tileSet) : tileSet(std::move(tileSet)) {}
    std::unique_ptr<Palette> LoadPalette(int) override { return std::make_unique<Palette>(); }
    std::unique_ptr<ByteTable256> LoadBlendTable(int) override {
        return std::make_unique<ByteTable256>();
    }
    std::unique_ptr<SpriteSet> LoadSpriteSet(const char*) override {
        return std::make_unique<SpriteSet>(3);
    }
    int OpenTileSet(const char*, const char*, const char*, ResourceFile& file) override {
        file.plainPath = 1;
        return file.Open(tileSet.c_str(), ResourceFile::OpenMode::ReadBinary);
    }

private:
    std::string tileSet;
};

struct Setup {
    Setup() {
        directory =
            std::filesystem::temp_directory_path() / ("qx-fuzz-land-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory);
        ResourceFile::SetAssetPath((directory.string() + "/").c_str());
        std::ofstream tiles(directory / "tiles.tls", std::ios::binary);
        for (int i = 0; i < 40 * 256; ++i)
            tiles.put(static_cast<char>(i * 7));
        assets = std::make_unique<StandInAssets>((directory / "tiles.tls").string());
    }
    std::filesystem::path directory;
    std::unique_ptr<StandInAssets> assets;
    MemoryDisplay screen;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    {
        std::ofstream out(setup.directory / "edit.lnd", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    lowDetail = size % 2 == 1 ? 1 : 0;
    TerrainMap map;
    map.SetAssets(setup.assets.get());
    map.Load("edit.lnd");
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
    map.SetView(Rect(Point(0, 0), Size(512, 480)));
    map.DrawViewZoom0(Point(0, 0));
    map.DrawViewZoom2(Point(37, 5));
    return 0;
}
