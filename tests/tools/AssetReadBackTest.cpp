// Reads the asset maker's pictures, palettes and tiles back through the game's own readers and
// draws them into a memory display.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/Bitmap.h"
#include "core/BlockDecoder.h"
#include "core/ByteTable256.h"
#include "core/MemoryDisplay.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/Size.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "platform/Capture.h"
#include "support/MadeAssets.h"

using namespace MadeAssets;

namespace {

using AssetReadBackTest = MadeAssetsTest;

TEST_F(AssetReadBackTest, EveryPaletteRowHoldsTheDesignedPalette) {
    std::unique_ptr<Palette> first;
    for (int row = 0; row <= 26; ++row) {
        std::unique_ptr<Palette> palette = LoadPalette("7a0txxxx99s999.pal", 0, row);
        ASSERT_NE(palette, nullptr) << row;
        const Rgb& black = palette->entries[0];
        const Rgb& white = palette->entries[255];
        const Rgb& pulse = palette->entries[111];
        EXPECT_EQ(black.r + black.g + black.b, 0);
        EXPECT_EQ(white.r + white.g + white.b, 3 * 255);
        EXPECT_EQ(pulse.r, 40);
        EXPECT_EQ(pulse.g, 255);
        // The fog stays the darkest blue-grey: no ramp spilled over it.
        const Rgb& fog = palette->entries[254];
        EXPECT_LT(fog.r + fog.g + fog.b, 100);
        EXPECT_GT(fog.b, fog.r);
        if (!first) {
            first = std::move(palette);
            continue;
        }
        EXPECT_EQ(std::memcmp(first->entries, palette->entries, sizeof first->entries), 0) << row;
    }
    // Team colours and the shades the game searches for are all distinct entries.
    std::set<std::tuple<int, int, int>> colours;
    for (int i = 1; i <= 254; ++i) {
        const Rgb& c = first->entries[i];
        colours.insert({c.r, c.g, c.b});
    }
    EXPECT_GT(colours.size(), 230u);
    // Darkening a mid ground colour finds a darker entry, not the colour itself.
    const Rgb mid = first->entries[first->FindNearestColour({110, 80, 48})];
    const uint8_t darker = first->FindNearestColour({static_cast<uint8_t>(mid.r * 55 / 100),
                                                     static_cast<uint8_t>(mid.g * 55 / 100),
                                                     static_cast<uint8_t>(mid.b * 55 / 100)});
    EXPECT_LT(first->entries[darker].r + first->entries[darker].g, mid.r + mid.g);
}

TEST_F(AssetReadBackTest, BlendRowsMixBothWaysAndKeepEqualColours) {
    ResourceFile file;
    ASSERT_EQ(file.Open("7a0txxxx99s999.map", ResourceFile::OpenMode::Pack), 1);
    ASSERT_GE(file.Rows(), 5);
    for (int row = 0; row < file.Rows(); ++row) {
        ASSERT_EQ(file.SelectEntry(0, row), 1);
        ASSERT_EQ(file.Size(), 65537);
        ByteTable256 table(&file);
        for (int a = 0; a < 256; a += 7) {
            EXPECT_EQ(table.At(a, a), a);
            for (int b = 0; b < 256; b += 13)
                EXPECT_EQ(table.At(a, b), table.At(b, a));
        }
    }
}

TEST_F(AssetReadBackTest, MainFontHasTheGameMetricsAndDrawsInTheTextColour) {
    MemoryDisplay screen;
    TextWriter font("7a0fxxax99s999.msp");
    EXPECT_EQ(font.LineHeight(), 11);
    EXPECT_EQ(font.Ascent(), 11);
    EXPECT_EQ(font.TextWidth("Hello"), 5 * 6 + 2);
    EXPECT_EQ(font.TextWidth(""), 0);
    std::memset(screen.BackPage(), 0, 640 * 480);
    screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    font.DrawText(Point(100, 50), "Wg", 10);
    screen.ResetClipRect();
    int inked = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (screen.BackPage()[y * 640 + x] == 0) continue;
            ++inked;
            EXPECT_EQ(screen.BackPage()[y * 640 + x], 10);
            // Glyph ink stays inside the line the game gives it (ten rows above the point).
            EXPECT_GE(y, 50 - 10);
            EXPECT_LT(y, 50);
            EXPECT_GE(x, 100);
            EXPECT_LT(x, 112);
        }
    }
    EXPECT_GT(inked, 15);

    TextWriter large("7a0fxxbx99s999.msp");
    EXPECT_EQ(large.TextWidth("A"), 12 + 2);
}

TEST_F(AssetReadBackTest, CursorGridHasEveryShapeInFortyPixelBoxes) {
    MemoryDisplay screen;
    std::unique_ptr<SpriteSet> cursors = LoadSpriteGrid("7a0cxxxx99s999.msp");
    ASSERT_EQ(cursors->LastFrameIndex(), 41);
    for (int shape = 0; shape <= 41; ++shape) {
        Image* frames = cursors->SubImage(shape);
        ASSERT_NE(frames, nullptr) << shape;
        for (int frame = 0; frame <= frames->LastFrameIndex(); ++frame) {
            EXPECT_EQ(frames->FrameSizeOf(frame), Size(40, 40)) << shape << "/" << frame;
        }
    }
    // The plain arrow's tip is the hot spot, the centre of the box.
    std::memset(screen.BackPage(), 0, 640 * 480);
    screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    cursors->SubImage(34)->DrawFrame(Point(320, 240), 0);
    screen.ResetClipRect();
    EXPECT_NE(screen.BackPage()[240 * 640 + 320], 0);
    EXPECT_EQ(screen.BackPage()[230 * 640 + 310], 0);
}

TEST_F(AssetReadBackTest, TitleExitAndWaitPicturesHaveTheirScreenSizes) {
    ResourceFile title;
    ASSERT_EQ(title.Open("7a1utxxx00s000.msp", ResourceFile::OpenMode::Pack), 1);
    ASSERT_EQ(title.SelectEntry(0, 0), 1);
    Bitmap picture(&title);
    EXPECT_EQ(picture.FrameSize(), Size(640, 480));
    EXPECT_EQ(picture.GetSize(), Size(640, 480));

    MemoryDisplay screen;
    std::memset(screen.BackPage(), 0, 640 * 480);
    screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    picture.DrawAt(Point(0, 0));
    screen.ResetClipRect();
    std::set<uint8_t> used(screen.BackPage(), screen.BackPage() + 640 * 480);
    EXPECT_GT(used.size(), 40u);
    // With QX_CAPTURE set, the title screen is kept as a picture to look at.
    screen.SetPalette(LoadPalette("7a0txxxx99s999.pal", 0, 24).release());
    winx_RequestCapture("title");
    screen.Present();

    std::unique_ptr<SpriteSet> pages = LoadSpriteSetColumn("7a1uzxxx99s999.msp");
    ASSERT_GE(pages->LastFrameIndex(), 1);
    for (int page = 0; page <= pages->LastFrameIndex(); ++page) {
        EXPECT_EQ(pages->FrameSizeOf(page), Size(640, 480)) << page;
    }
    std::unique_ptr<SpriteSet> wait = LoadSpriteSetColumn("7a1axxxx99s999.msp");
    EXPECT_GE(wait->LastFrameIndex(), 1);
    EXPECT_LE(wait->FrameSizeOf(0).w, 640);
}

TEST_F(AssetReadBackTest, TilesDecodeIntoShadedTerrainAndFeaturesLoad) {
    const std::vector<LandText> lands = ReadAllLands();
    ASSERT_GE(lands.size(), 4u);
    BlockDecoder decoder;
    std::vector<uint8_t> pixels(32 * 32);
    for (size_t i = 0; i < lands.size(); ++i) {
        SCOPED_TRACE(lands[i].tileSet);
        const std::vector<uint8_t> tiles = FileBytes(TileSetOf(lands[i], i + 1 < lands.size()));
        ASSERT_GE(tiles.size(), 256u);
        std::set<uint8_t> colours;
        for (size_t at = 0; at + 256 <= tiles.size(); at += 256) {
            ASSERT_EQ(decoder.DecodeRect(pixels.data(), Size(32, 32), 32, tiles.data() + at), 256);
            colours.insert(pixels.begin(), pixels.end());
        }
        EXPECT_GT(colours.size(), 30u);  // shaded by ramps, not flat
        // The campaign land has no land features and names no feature pack.
        if (!lands[i].featurePack.empty()) {
            EXPECT_EQ(LoadSpriteSetColumn(lands[i].featurePack.c_str())->LastFrameIndex(), 5);
        }
        EXPECT_GE(LoadSpriteSetColumn(lands[i].decorationPack.c_str())->LastFrameIndex(), 0);
    }
}

}  // namespace
