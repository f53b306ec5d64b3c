#include "core/SpanTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/RleBlitter.h"

namespace {

// Two rows of an 8-pixel-wide picture: a run of five, a skip and a literal of four joined to a
// run (one span), then whatever follows the picture's last row, which is never drawn.
std::vector<uint8_t> Stream(bool trailing) {
    if (trailing) {
        return {5, 7, 0, 0, 0, 3, 1, 0, 0, 4, 1, 2, 3, 4, 2, 9, 0, 0, 6, 3, 0, 0, 0, 1};
    }
    return {5, 7, 0, 0, 0, 3, 1, 0, 0, 4, 1, 2, 3, 4, 2, 9, 0, 0, 0, 1};
}

TEST(SpanTable, HoldsTheRowsSpansCompactlyAndNothingBelowThePicture) {
    SpanTable table, withTrailing;
    const std::vector<uint8_t> plain = Stream(false), longer = Stream(true);
    ASSERT_TRUE(rle::FitsPicture(plain.data(), plain.size(), 8, 2));
    ASSERT_TRUE(rle::FitsPicture(longer.data(), longer.size(), 8, 2));
    table.BuildFromStream(plain.data(), 8, 2);
    withTrailing.BuildFromStream(longer.data(), 8, 2);
    EXPECT_EQ(table.Rows(), 2);
    // Three row marks of four bytes in two tables, two spans of four bytes, eleven pixels.
    EXPECT_LE(table.Bytes(), 2u * 3 * 4 + 2 * 4 + 11);
    // ...and every part of it is counted.
    EXPECT_GE(table.Bytes(), 2u * 3 * 4 + 2 * 4 + 11);
    EXPECT_EQ(withTrailing.Bytes(), table.Bytes());

    std::vector<uint8_t> page(10 * 4, 0xAA), again(10 * 4, 0xAA);
    table.DrawWhole(1, 1, page.data(), 10);
    withTrailing.Draw(1, 1, BlitBounds{0, 0, 9, 3}, again.data(), 10);
    EXPECT_EQ(page, again);
    const std::vector<uint8_t> expected = {
        0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA,  //
        0xAA, 7,    7,    7,    7,    7,    0xAA, 0xAA, 0xAA, 0xAA,  //
        0xAA, 0xAA, 1,    2,    3,    4,    9,    9,    0xAA, 0xAA,  //
        0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA,
    };
    EXPECT_EQ(page, expected);
}

// A span's column and length are 16 bits: a scaled table is built up to 65535 pixels wide and
// left empty beyond.
TEST(SpanTable, AScaledTableIsBuiltUpToTheWidestSpanItCanHold) {
    const std::vector<uint8_t> plain = Stream(false);
    for (const auto& [width, rows] : {std::pair{0xFFFF, 2}, std::pair{0x10000, 0}}) {
        SpanTable table;
        table.BuildScaled(plain.data(), plain.size(), width * 2, 4, 2);
        EXPECT_EQ(table.Rows(), rows) << width;
    }
}

}  // namespace
