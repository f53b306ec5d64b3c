#include "core/ShadeTable.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

#include "core/Palette.h"

namespace {

// Every land of a clan shares one palette, and each load of a land builds the same two tables
// over it, each a search of the palette per entry: the last tables built are kept with what
// they were built from.
struct BuiltTable {
    bool valid = false;
    int32_t percentage = 0;
    Rgb colours[256];
    uint8_t entries[256];
};
std::array<BuiltTable, 2> recentTables;
size_t nextRecentTable = 0;

}  // namespace

ShadeTable::ShadeTable() {
    for (int i = 0; i < 256; ++i)
        entries[i] = static_cast<uint8_t>(i);
}

ShadeTable::ShadeTable(int32_t percentage, const Palette& palette) : ShadeTable() {
    for (const BuiltTable& built : recentTables) {
        if (built.valid && built.percentage == percentage &&
            std::equal(std::begin(built.colours), std::end(built.colours), palette.entries)) {
            std::memcpy(entries, built.entries, sizeof entries);
            return;
        }
    }
    if (percentage < 0) {
        BuildDarker(-percentage, palette);
    } else {
        BuildLighter(percentage, palette);
    }
    BuiltTable& kept = recentTables[nextRecentTable];
    nextRecentTable = (nextRecentTable + 1) % recentTables.size();
    kept.valid = true;
    kept.percentage = percentage;
    std::copy(std::begin(palette.entries), std::end(palette.entries), kept.colours);
    std::memcpy(kept.entries, entries, sizeof entries);
}

void ShadeTable::BuildDarker(int32_t percent, const Palette& palette) {
    entries[0] = 0;
    entries[255] = 255;
    for (int i = 1; i < 255; ++i) {
        const Rgb& c = palette.entries[i];
        // Each component keeps its low 8 bits, as the byte it is stored in would.
        Rgb shaded{static_cast<uint8_t>(c.r * percent / 100),
                   static_cast<uint8_t>(c.g * percent / 100),
                   static_cast<uint8_t>(c.b * percent / 100)};
        entries[i] = palette.FindNearestColour(shaded);
    }
}

void ShadeTable::BuildLighter(int32_t percent, const Palette& palette) {
    entries[0] = 0;
    entries[255] = 255;
    auto lighten = [percent](int v) {
        return static_cast<uint8_t>(255 - (255 - v) * percent / 100);
    };
    for (int i = 1; i < 255; ++i) {
        const Rgb& c = palette.entries[i];
        entries[i] = palette.FindNearestColour(Rgb{lighten(c.r), lighten(c.g), lighten(c.b)});
    }
}
