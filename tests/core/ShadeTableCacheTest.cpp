// The tables kept from earlier builds are only reused for the same palette and percentage.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "core/Palette.h"
#include "core/ShadeTable.h"

TEST(ShadeTableCache, ATableIsReusedOnlyForItsPaletteAndPercentage) {
    Palette grey;
    Palette tinted;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        grey.entries[i] = Rgb{v, v, v};
        tinted.entries[i] = Rgb{v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v / 2)};
    }
    const auto entries = [](const ShadeTable& t) {
        return std::vector<uint8_t>(std::begin(t.entries), std::end(t.entries));
    };
    // Built fresh (on an emptied cache) to compare with what a reuse gives.
    std::vector<std::vector<uint8_t>> fresh;
    for (const Palette* p : {&grey, &tinted}) {
        for (int percentage : {-40, 60}) {
            ShadeTable table;
            if (percentage < 0)
                table.BuildDarker(-percentage, *p);
            else
                table.BuildLighter(percentage, *p);
            fresh.push_back(entries(table));
        }
    }
    // Each table twice in a row (the second a reuse), the same percentage over two palettes.
    for (int percentage : {-40, 60}) {
        size_t at = percentage < 0 ? 0 : 1;
        for (const Palette* p : {&grey, &tinted, &grey}) {
            EXPECT_EQ(entries(ShadeTable(percentage, *p)), fresh[at]);
            EXPECT_EQ(entries(ShadeTable(percentage, *p)), fresh[at]);
            at = at < 2 ? at + 2 : at - 2;
        }
    }
    EXPECT_NE(fresh[0], fresh[2]);
}
