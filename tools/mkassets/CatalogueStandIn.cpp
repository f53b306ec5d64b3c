#include "CatalogueStandIn.h"

#include <cmath>
#include <functional>
#include <numbers>

#include "AssetPalette.h"
#include "Canvas.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {
namespace CatalogueStandIn {
namespace {

// The catalogue's sections, each closed by a '*' line; all empty.
constexpr int kCatalogueSections = 15;

enum class Layout { Grid, Row, Column };

using Draw = std::function<void(int frame, Canvas& canvas, const AssetPalette& palette)>;

struct FixedPack {
    const char* name;
    Layout layout;
    int frames;
    int size;
    Draw draw;
};

// A hull seen from above, turned to one of 16 facings, with a coloured marking.
void Hull(int frame, Canvas& canvas, const AssetPalette& palette, uint8_t marking) {
    const double angle = frame * std::numbers::pi / 8;
    const double ux = std::sin(angle), uy = -std::cos(angle);
    const int c = canvas.Width() / 2;
    const mkassets::Ramp& metal = palette.GetRamp(RampId::Metal);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const double dx = x - c, dy = y - c;
            const double along = dx * ux + dy * uy, across = -dx * uy + dy * ux;
            if (std::abs(along) > 10 || std::abs(across) > 7) continue;
            const bool turret = along * along + across * across < 16;
            canvas.Plot(x, y, turret ? marking : metal.At(6 + static_cast<int>(along / 3)));
        }
    }
}

void Crystals(int frame, Canvas& canvas, const AssetPalette& palette) {
    const mkassets::Ramp& ore = palette.GetRamp(RampId::Ore);
    const int c = canvas.Width() / 2;
    for (int k = 0; k <= frame; ++k) {
        const int x = c - 8 + (k * 7) % 17, base = c + 6 - (k % 3) * 3;
        for (int h = 0; h < 6 + k * 2; ++h) {
            const int half = (6 + k * 2 - h) / 4;
            for (int w = -half; w <= half; ++w)
                canvas.Plot(x + w, base - h, ore.At(w < 0 ? 6 : 3));
        }
    }
}

void Bar(int frame, int frames, Canvas& canvas, uint8_t fill) {
    canvas.FillRect(0, 0, canvas.Width(), 4, PaletteIndex::kFog);
    canvas.FillRect(0, 0, canvas.Width() * (frame + 1) / frames, 4, fill);
}

const FixedPack kFixedPacks[] = {
    {"7a0axfkx99s999.msp", Layout::Grid, 16, 32,
     [](int f, Canvas& c, const AssetPalette& p) { Hull(f, c, p, PaletteIndex::kStatusGood); }},
    {"7a0axchx99s999.msp", Layout::Grid, 16, 32,
     [](int f, Canvas& c, const AssetPalette& p) { Hull(f, c, p, PaletteIndex::kHighlight); }},
    {"7a0axcfx99s999.msp", Layout::Grid, 16, 32,
     [](int f, Canvas& c, const AssetPalette& p) { Hull(f, c, p, PaletteIndex::kOre); }},
    {"7a0kxxxx99s999.msp", Layout::Grid, 16, 32,
     [](int f, Canvas& c, const AssetPalette& p) { Hull(f, c, p, PaletteIndex::kSensorC); }},
    {"7a0axeax99s999.msp", Layout::Grid, 4, 24,
     [](int f, Canvas& c, const AssetPalette& p) {
         c.FillRect(6, 6, 12, 12, p.GetRamp(RampId::Crystal).At(3 + f));
         c.FillRect(9, 9, 6, 6, PaletteIndex::kPulse);
     }},
    {"7a0axtcx99s999.msp", Layout::Row, 4, 32, Crystals},
    {"7a0sxbxx99s999.msp", Layout::Column, 10, 24,
     [](int f, Canvas& c, const AssetPalette&) { Bar(f, 10, c, PaletteIndex::kStatusGood); }},
    {"7a0sxmxx99s999.msp", Layout::Column, 10, 24,
     [](int f, Canvas& c, const AssetPalette&) { Bar(f, 10, c, PaletteIndex::kStatusWarn); }},
};

}  // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> Files(const AssetPalette& palette) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    std::string catalogue =
        "# Template catalogue: every section empty until the catalogue's data\n";
    for (int section = 0; section < kCatalogueSections; ++section)
        catalogue += "*\n";
    files.emplace_back("7a.pts", std::vector<uint8_t>(catalogue.begin(), catalogue.end()));
    for (const FixedPack& pack : kFixedPacks) {
        const int columns = pack.layout == Layout::Column ? 1 : pack.frames;
        const int rows = pack.layout == Layout::Column ? pack.frames : 1;
        PackWriter writer(columns, rows);
        for (int frame = 0; frame < pack.frames; ++frame) {
            Canvas canvas(pack.size, pack.size);
            pack.draw(frame, canvas, palette);
            const bool down = pack.layout == Layout::Column;
            writer.SetEntry(down ? 0 : frame, down ? frame : 0, EncodePicture(canvas));
        }
        files.emplace_back(pack.name, writer.Build());
    }
    return files;
}

}  // namespace CatalogueStandIn
}  // namespace mkassets
