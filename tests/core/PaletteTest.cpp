#include "core/Palette.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/ByteTable256.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "core/ShadeTable.h"
#include "support/DisplayFixtures.h"

namespace {

// A palette of distinct greys and colours with a few deliberate twins.
Palette TestPalette() {
    Palette p;
    for (int i = 0; i < 256; ++i) {
        p.entries[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>((i * 3) & 0xFF),
                           static_cast<uint8_t>(255 - i)};
    }
    return p;
}

bool Forbidden(int index) {
    return index <= 8 || index == 111 || index == 255;
}

TEST(Palette, NearestColourNeverAnswersTheFixedIndices) {
    Palette p = TestPalette();
    for (int i = 0; i < 256; ++i) {
        EXPECT_FALSE(Forbidden(p.FindNearestColour(p.entries[i]))) << i;
    }
    for (int v : {0, 128, 255}) {
        EXPECT_FALSE(Forbidden(p.FindNearestColour(Rgb{static_cast<uint8_t>(v), 0, 0})));
    }
    // The exact colour of entry 111 goes to another index.
    EXPECT_NE(p.FindNearestColour(p.entries[111]), 111);
}

TEST(Palette, BlackGoesToTheDarkestCandidateNotZero) {
    Palette p;
    for (auto& e : p.entries)
        e = Rgb{200, 200, 200};
    p.entries[40] = Rgb{10, 10, 10};
    p.entries[9] = Rgb{20, 20, 20};
    EXPECT_EQ(p.FindNearestColour(Rgb{0, 0, 0}), 40);
}

TEST(Palette, TiesGoToTheLowerIndex) {
    Palette p;
    for (auto& e : p.entries)
        e = Rgb{0, 0, 0};
    p.entries[20] = Rgb{100, 100, 100};
    p.entries[30] = Rgb{100, 100, 100};
    for (int i = 9; i < 255; ++i) {
        if (i != 20 && i != 30) p.entries[i] = Rgb{250, 0, 0};
    }
    EXPECT_EQ(p.FindNearestColour(Rgb{100, 100, 101}), 20);
}

TEST(ShadeTable, FullPercentageKeepsEachColourAndZeroGivesWhite) {
    Palette p = TestPalette();
    ShadeTable same(100, p);
    EXPECT_EQ(same.entries[0], 0);
    EXPECT_EQ(same.entries[255], 255);
    for (int i = 9; i < 255; ++i) {
        if (i == 111) continue;
        EXPECT_EQ(same.entries[i], i) << i;
    }
    EXPECT_FALSE(Forbidden(same.entries[111]));
    ShadeTable white(0, p);
    const uint8_t nearestWhite = p.FindNearestColour(Rgb{255, 255, 255});
    for (int i = 1; i < 255; ++i)
        EXPECT_EQ(white.entries[i], nearestWhite) << i;
}

TEST(ShadeTable, NegativePercentageDarkensToThatShare) {
    Palette p;
    for (int i = 0; i < 256; ++i) {
        p.entries[i] =
            Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)};
    }
    ShadeTable dark(-30, p);
    // 200 * 30 / 100 = 60: the grey 60 itself.
    EXPECT_EQ(dark.entries[200], 60);
    // 20 * 30 / 100 = 6, which no candidate below 9 may answer: 9 is nearest.
    EXPECT_EQ(dark.entries[20], 9);
    EXPECT_EQ(dark.entries[0], 0);
    EXPECT_EQ(dark.entries[255], 255);
}

TEST(Palette, ReadsPlainFilesAndPackEntries) {
    ScratchDir dir;
    dir.UseAsAssetPath();
    std::vector<uint8_t> bytes(768);
    for (int i = 0; i < 768; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    {
        std::ofstream out(dir.Path() / "plain.pal", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), 768);
    }
    auto plain = LoadPalette("plain.pal");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->entries[0], (Rgb{0, 1, 2}));
    EXPECT_EQ(plain->entries[1], (Rgb{3, 4, 5}));

    PackWriter pack(1, 2);
    std::vector<uint8_t> second(768, 42);
    pack.SetEntry(0, 0, bytes);
    pack.SetEntry(0, 1, second);
    ASSERT_TRUE(pack.WriteFile((dir.Path() / "pack.pal").string()));
    auto first = LoadPalette("pack.pal");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->entries[1], (Rgb{3, 4, 5}));
    auto other = LoadPalette("pack.pal", 0, 1);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->entries[200], (Rgb{42, 42, 42}));
    EXPECT_FALSE(LoadPalette("pack.pal", 0, 2));
    EXPECT_FALSE(LoadPalette("missing.pal"));
}

TEST(Palette, ShortFilesKeepTheEntriesNotRead) {
    ScratchDir dir;
    dir.UseAsAssetPath();
    {
        std::ofstream out(dir.Path() / "short.pal", std::ios::binary);
        out.write("\x01\x02\x03\x04\x05", 5);
    }
    auto p = LoadPalette("short.pal");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->entries[0], (Rgb{1, 2, 3}));
    // Two bytes of the second entry came: not enough for it.
    EXPECT_EQ(p->entries[1], (Rgb{0, 0, 0}));
}

TEST(ByteTable256, ReadsItsSignedFlagAndTable) {
    ScratchDir dir;
    dir.UseAsAssetPath();
    std::vector<uint8_t> bytes(1 + 65536);
    bytes[0] = 0xFF;
    for (int i = 0; i < 65536; ++i)
        bytes[1 + i] = static_cast<uint8_t>(i / 256 + i % 256);
    {
        std::ofstream out(dir.Path() / "blend.map", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    ResourceFile file;
    ASSERT_TRUE(file.Open("blend.map", 1, 0));
    ByteTable256 table(&file);
    EXPECT_EQ(table.flag, -1);
    EXPECT_EQ(table.At(3, 4), 7);
    EXPECT_EQ(table.At(255, 255), static_cast<uint8_t>(510));
}

}  // namespace
