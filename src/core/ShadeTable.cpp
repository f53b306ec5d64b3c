#include "core/ShadeTable.h"

#include "core/Palette.h"

ShadeTable::ShadeTable() {
    for (int i = 0; i < 256; ++i)
        entries[i] = static_cast<uint8_t>(i);
}

ShadeTable::ShadeTable(int32_t percentage, const Palette& palette) : ShadeTable() {
    if (percentage < 0) {
        BuildDarker(-percentage, palette);
    } else {
        BuildLighter(percentage, palette);
    }
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
