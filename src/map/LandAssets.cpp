#include "map/LandAssets.h"

#include <string>

#include "core/ByteTable256.h"
#include "core/FatalError.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"

std::unique_ptr<Palette> LandAssets::LoadPalette(int row) {
    std::unique_ptr<Palette> palette = ::LoadPalette(kPalettePack, 0, row);
    if (palette == nullptr) FatalError(0);
    return palette;
}

std::unique_ptr<ByteTable256> LandAssets::LoadBlendTable(int row) {
    ResourceFile pack;
    if (!pack.Open(kBlendPack, ResourceFile::OpenMode::Pack)) FatalError(0);
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
    FatalError(0);
}

LandAssets& LandAssets::Standard() {
    static LandAssets standard;
    return standard;
}
