#include "core/TextWriter.h"

#include <gtest/gtest.h>

#include "core/PackWriter.h"
#include "core/SpriteSet.h"
#include "support/DisplayFixtures.h"

namespace {

class Text : public ::testing::Test, public ScreenFixture {
protected:
    TextWriter writer{MakeTestFont()};
};

TEST_F(Text, LineHeightAndAscentComeFromTheGlyphOfZero) {
    EXPECT_EQ(writer.LineHeight(), 6);
    EXPECT_EQ(writer.Ascent(), 6);
}

TEST_F(Text, GlyphsHangAboveThePointInTheTextColour) {
    writer.DrawText(Point(10, 20), "1", 33);
    // The glyph of '1' has its stem in the middle column, rows 14 to 18.
    EXPECT_EQ(At(11, 14), 33);
    EXPECT_EQ(At(11, 18), 33);
    EXPECT_EQ(At(11, 19), 0);
    EXPECT_EQ(At(11, 13), 0);
}

TEST_F(Text, LineFeedReturnsToThePointOneLineLower) {
    writer.DrawText(Point(10, 20), "T\nT", 9);
    EXPECT_EQ(At(10, 14), 9);  // top bar of the first T
    EXPECT_EQ(At(10, 20), 9);  // top bar of the second, one line (6) lower
    EXPECT_EQ(At(14, 14), 0);
}

TEST_F(Text, CharactersWithoutGlyphsTakeNoRoom) {
    writer.DrawText(Point(0, 10), "\xc8I", 9);  // code 200 has no glyph
    EXPECT_EQ(At(0, 4), 9);                     // I starts at the point
    EXPECT_EQ(writer.TextWidth("\xc8\xc8"), 0);
}

TEST_F(Text, WidthMeasuresTheFirstLineWithAMargin) {
    EXPECT_EQ(writer.TextWidth(""), 0);
    EXPECT_EQ(writer.TextWidth("AB"), 10);
    EXPECT_EQ(writer.TextWidth("AB\nCDEF"), 10);
}

}  // namespace
