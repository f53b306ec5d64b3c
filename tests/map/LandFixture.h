#pragma once
// Lands for terrain tests and benchmarks, written as real asset files into a fresh temporary
// directory that becomes the asset directory while the fixture lives: the land description
// (as "edit.lnd" and as row 0 of the land pack), the palette and blend packs, a tile set whose
// every tile has its own block pattern, and land-feature and decoration sprite packs.
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <utility>
#include <vector>

#include "core/BitmapEncoder.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "support/TempDirectory.h"

struct LandLayout {
    int columns = 8;
    int rows = 6;
    int originColumn = 0;
    int originRow = 0;
    int sheetColumns = 0;  // 0: the map's columns
    int sheetRows = 0;     // 0: the map's rows
    // One line per sheet row; missing lines are written empty.
    std::vector<std::string> letters;
    std::vector<std::pair<int, int>> starts;   // sheet row, sheet column
    std::vector<std::pair<int, int>> seconds;  // sheet row, sheet column
    bool withFeatures = false;
    std::vector<std::array<int, 3>> features;  // sheet row, sheet column, frame
    bool withDecorations = false;
    int paletteRow = 0;
    int shade = 30;
    int blendRow = 0;
    std::string tileSet = "land";

    int SheetColumns() const { return sheetColumns > 0 ? sheetColumns : columns; }
    int SheetRows() const { return sheetRows > 0 ? sheetRows : rows; }
};

// The two colours and mask of block (bx, by) of sheet tile t.
inline std::array<uint8_t, 4> TileBlock(int t, int bx, int by) {
    const uint32_t mix = static_cast<uint32_t>(t) * 2654435761u + bx * 40503u + by * 9973u;
    return {static_cast<uint8_t>(9 + (t * 7 + bx * 3 + by * 5) % 240),
            static_cast<uint8_t>(9 + (t * 13 + bx + by * 11 + 100) % 240),
            static_cast<uint8_t>(mix >> 24), static_cast<uint8_t>(mix >> 8)};
}

inline std::vector<uint8_t> TileSetBytes(int sheetColumns, int sheetRows) {
    std::vector<uint8_t> bytes;
    const int tiles = sheetColumns * sheetRows + 1;
    for (int t = 0; t < tiles; ++t) {
        for (int by = 0; by < 8; ++by) {
            for (int bx = 0; bx < 8; ++bx) {
                const auto block = TileBlock(t, bx, by);
                bytes.insert(bytes.end(), block.begin(), block.end());
            }
        }
    }
    return bytes;
}

// The decoded pixel (x, y) of sheet tile t, straight from the block code.
inline uint8_t TilePixel(int t, int x, int y) {
    const auto block = TileBlock(t, x / 4, y / 4);
    const int mask = (block[2] << 8) | block[3];
    return (mask >> ((y % 4) * 4 + x % 4)) & 1 ? block[1] : block[0];
}

inline std::string DescriptionText(const LandLayout& layout) {
    std::string text = "# a test land\nTest land\n";
    text += std::to_string(layout.paletteRow) + "\n" + std::to_string(layout.shade) + "\n" +
            std::to_string(layout.blendRow) + "\n";
    text += std::to_string(layout.columns) + " " + std::to_string(layout.rows) + "\n";
    text += std::to_string(layout.originColumn) + " " + std::to_string(layout.originRow) + "\n";
    text += std::to_string(layout.SheetColumns()) + " " + std::to_string(layout.SheetRows()) + "\n";
    text += "*\n" + layout.tileSet + "\n";
    for (int r = 0; r < layout.SheetRows(); ++r) {
        text += (r < static_cast<int>(layout.letters.size()) ? layout.letters[r] : "") + "\n";
    }
    text += "*\n";
    for (const auto& [row, column] : layout.starts) {
        text += std::to_string(row) + " " + std::to_string(column) + "\n";
    }
    text += "*\n";
    for (const auto& [row, column] : layout.seconds) {
        text += std::to_string(row) + " " + std::to_string(column) + "\n";
    }
    text += "*\n";
    if (layout.withFeatures) {
        text += "features.msp\n";
        for (const auto& f : layout.features) {
            text += std::to_string(f[0]) + " " + std::to_string(f[1]) + " " + std::to_string(f[2]) +
                    "\n";
        }
        text += "*\n";
    } else {
        text += "*\n";
    }
    if (layout.withDecorations) text += "decorations.msp\n";
    return text;
}

class LandFixture {
public:
    static constexpr int kFeatureFrames = 3;
    static constexpr int kDecorationFrames = 2;
    static constexpr uint8_t kDecorationColour = 250;

    LandFixture() {
        previousAssetPath = ResourceFile::AssetPath();
        ResourceFile::SetAssetPath(Path().c_str());
        WritePacks();
    }
    ~LandFixture() { ResourceFile::SetAssetPath(previousAssetPath.c_str()); }
    LandFixture(const LandFixture&) = delete;
    LandFixture& operator=(const LandFixture&) = delete;

    // The directory with a trailing slash, as asset directories are given.
    std::string Path() const { return directory.string() + "/"; }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(directory / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    void Write(const std::string& name, const std::string& text) const {
        Write(name, std::vector<uint8_t>(text.begin(), text.end()));
    }

    // Writes the land as "edit.lnd" and as row 0 of the land pack, with its tile set.
    void WriteLand(const LandLayout& layout) const {
        const std::string text = DescriptionText(layout);
        Write("edit.lnd", text);
        PackWriter pack(1, 1);
        pack.SetEntry(0, 0, std::vector<uint8_t>(text.begin(), text.end()));
        Write("7a0lxxxx99s999.lnd", pack.Build());
        Write(layout.tileSet + ".tls", TileSetBytes(layout.SheetColumns(), layout.SheetRows()));
    }

private:
    void WritePacks() const {
        std::vector<uint8_t> palette(768);
        for (int i = 0; i < 768; ++i)
            palette[i] = static_cast<uint8_t>((i * 37) & 0xFF);
        PackWriter palettes(1, 1);
        palettes.SetEntry(0, 0, palette);
        Write("7a0txxxx99s999.pal", palettes.Build());

        std::vector<uint8_t> blend(1 + 65536);
        for (size_t i = 0; i < blend.size(); ++i)
            blend[i] = static_cast<uint8_t>(i * 3);
        PackWriter blends(1, 1);
        blends.SetEntry(0, 0, blend);
        Write("7a0txxxx99s999.map", blends.Build());

        Write("features.msp", SpritePack(kFeatureFrames, 200));
        Write("decorations.msp", SpritePack(kDecorationFrames, kDecorationColour));
    }

    // Frames of an 8 x 8 square of the colour at (4 + frame, 4), the rest transparent.
    static std::vector<uint8_t> SpritePack(int frames, uint8_t colour) {
        PackWriter pack(1, frames);
        for (int f = 0; f < frames; ++f) {
            std::vector<uint8_t> pixels(32 * 32, 0);
            for (int y = 4; y < 12; ++y) {
                for (int x = 4 + f; x < 12 + f; ++x)
                    pixels[y * 32 + x] = colour;
            }
            pack.SetEntry(0, f, EncodeBitmap(pixels.data(), 32, 32, 32));
        }
        return pack.Build();
    }

    TempDirectory scratch;
    std::filesystem::path directory{scratch.Path()};
    std::string previousAssetPath;
};
