#include "map/LandAssets.h"

#include <string>

#include "core/ByteTable256.h"
#include "core/FatalError.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"

std::unique_ptr<Palette> LandAssets::LoadPalette(int row) {
    std::string fault;
    std::unique_ptr<Palette> palette = LoadPackPalette(kPalettePack, 0, row, &fault);
    if (palette == nullptr) ResourceMissing(fault);
    return palette;
}

std::unique_ptr<ByteTable256> LandAssets::LoadBlendTable(int row) {
    ResourceFile pack;
    if (!pack.OpenPack(kBlendPack)) ResourceMissing(pack.Fault());
    // A missing entry reads as nothing: the table stays zero.
    pack.SelectEntry(0, row);
    return std::make_unique<ByteTable256>(&pack);
}

std::unique_ptr<SpriteSet> LandAssets::LoadSpriteSet(const char* packName) {
    return LoadSpriteSetColumn(packName);
}

int LandAssets::OpenTileSet(const char* discDirectory, const char* localDirectory, const char* name,
                            ResourceFile& file) {
    file.plainPath = 1;
    for (const char* directory : {discDirectory, localDirectory}) {
        const std::string path = std::string(directory) + name + ".tls";
        if (file.Open(path.c_str(), ResourceFile::OpenMode::ReadBinary)) return 1;
    }
    ResourceMissing(file.Fault());
}

LandAssets& LandAssets::Standard() {
    static LandAssets standard;
    return standard;
}
