#pragma once
// Where a land description's named resources come from: the palette and blend packs, sprite
// packs and tile-set files. The standard source reads the asset files and treats a missing
// palette, blend table or tile set as fatal; tests and fuzzing substitute their own.
#include <cstdint>
#include <memory>

class ByteTable256;
class Palette;
class ResourceFile;
class SpriteSet;

class LandAssets {
public:
    static constexpr const char* kPalettePack = "7a0txxxx99s999.pal";
    static constexpr const char* kBlendPack = "7a0txxxx99s999.map";

    virtual ~LandAssets() = default;
    // Entry (0, row) of the palette pack.
    virtual std::unique_ptr<Palette> LoadPalette(int row);
    // Entry (0, row) of the blend pack.
    virtual std::unique_ptr<ByteTable256> LoadBlendTable(int row);
    // One frame per pack row, column 0.
    virtual std::unique_ptr<SpriteSet> LoadSpriteSet(const char* packName);
    // Opens directory + name + ".tls" as a plain file, the disc directory first; 0 when neither
    // opens (the standard source does not return then).
    virtual int OpenTileSet(const char* discDirectory, const char* localDirectory, const char* name,
                            ResourceFile& file);

    // The standard source.
    static LandAssets& Standard();
};
