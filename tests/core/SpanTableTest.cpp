#include "core/SpanTable.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A picture may end early, so a few bytes can declare the widest and tallest picture a header
// holds. Its tables, at every scale, grow with the rows and columns the stream reaches, not with
// what the header declares, and they draw what the decoder draws.
TEST(SpanTable, AFewBytesDeclaringAHugePictureBuildSmallTablesThatDrawAsTheDecoderDoes) {
    constexpr int32_t kSide = 32767;
    const std::vector<std::vector<uint8_t>> streams = {
        {5, 7, 0, 0, 0, 1},                      // one run, a row end, the end
        {0, 3, 9, 255, 0, 0, 6, 4, 0, 0, 0, 1},  // 256 rows down, then a run
        {0, 3, 0, 255, 0, 3, 0, 255, 0, 0, 0, 0, 4, 2, 0, 1},
    };
    for (size_t n = 0; n < streams.size(); ++n) {
        const std::vector<uint8_t>& stream = streams[n];
        ASSERT_TRUE(rle::FitsPicture(stream.data(), stream.size(), kSide, kSide)) << n;
        for (const int32_t factor : {1, 2, 4}) {
            SpanTable table;
            if (factor == 1) {
                table.BuildFromStream(stream.data(), kSide, kSide);
            } else {
                table.BuildScaled(stream.data(), stream.size(), kSide, kSide, factor);
            }
            EXPECT_LE(table.Bytes(), 512 * stream.size()) << n << " at 1:" << factor;
            EXPECT_GE(table.Rows(), 1) << n << " at 1:" << factor;
            EXPECT_LE(table.Rows(), 64 * static_cast<int32_t>(stream.size())) << n;

            // The top-left corner of the picture, drawn both ways over the same page.
            constexpr int32_t kWidth = 24, kHeight = 600;
            std::vector<uint8_t> fromTable(kWidth * kHeight, 0xAA), decoded = fromTable;
            const BlitBounds window{0, 0, kWidth - 1, kHeight - 1};
            table.Draw(0, 0, window, fromTable.data(), kWidth);
            if (factor == 1) {
                rle::Blit(stream.data(), stream.size(), 0, 0, window,
                          BlitTarget{decoded.data(), kWidth}, rle::PlainEffect{});
            } else {
                rle::BlitScaled(stream.data(), stream.size(), 0, 0, window,
                                BlitTarget{decoded.data(), kWidth}, rle::PlainEffect{}, factor);
            }
            EXPECT_EQ(fromTable, decoded) << n << " at 1:" << factor;
            EXPECT_NE(std::count(decoded.begin(), decoded.end(), 0xAA), kWidth * kHeight) << n;
        }
    }
}

}  // namespace
