#include "core/BlockDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<uint8_t> DecodeOne(uint8_t high, uint8_t low) {
    const uint8_t block[4] = {10, 20, high, low};
    std::vector<uint8_t> pixels(16, 0);
    BlockDecoder decoder;
    EXPECT_EQ(decoder.DecodeBlock(pixels.data(), Point(0, 0), 4, block, 0), 4);
    return pixels;
}

TEST(BlockDecoder, MaskBitsPickTheSecondColour) {
    std::vector<uint8_t> topLeft = DecodeOne(0x00, 0x01);
    EXPECT_EQ(topLeft[0], 20);
    for (int i = 1; i < 16; ++i)
        EXPECT_EQ(topLeft[i], 10) << i;
    std::vector<uint8_t> bottomRight = DecodeOne(0x80, 0x00);
    EXPECT_EQ(bottomRight[15], 20);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(bottomRight[i], 10) << i;
    for (uint8_t v : DecodeOne(0xFF, 0xFF))
        EXPECT_EQ(v, 20);
    for (uint8_t v : DecodeOne(0x00, 0x00))
        EXPECT_EQ(v, 10);
    // A block placed off the origin lands at its point of a wider picture.
    const uint8_t block[4] = {10, 20, 0x00, 0x01};
    std::vector<uint8_t> wide(8 * 6, 0);
    EXPECT_EQ(BlockDecoder().DecodeBlock(wide.data(), Point(3, 2), 8, block, 0), 4);
    EXPECT_EQ(wide[2 * 8 + 3], 20);
    EXPECT_EQ(wide[5 * 8 + 6], 10);
    EXPECT_EQ(std::count(wide.begin(), wide.end(), 0), 8 * 6 - 16);
    // Bit 4 is the first pixel of the second row.
    EXPECT_EQ(DecodeOne(0x00, 0x10)[4], 20);
}

TEST(BlockDecoder, TileOfThirtyTwoConsumesTwoHundredFiftySixBytes) {
    std::vector<uint8_t> src(256);
    for (size_t i = 0; i < src.size(); i += 4) {
        src[i] = static_cast<uint8_t>(i / 4);
        src[i + 1] = 99;
        src[i + 2] = 0;
        src[i + 3] = 0;
    }
    std::vector<uint8_t> tile(40 * 32, 0);
    BlockDecoder decoder;
    EXPECT_EQ(decoder.DecodeRect(tile.data(), Size(32, 32), 40, src.data()), 256);
    // Block 9 is the second block of the second block row.
    EXPECT_EQ(tile[4 * 40 + 4], 9);
    EXPECT_EQ(tile[31 * 40 + 31], 63);
    EXPECT_EQ(tile[0 * 40 + 32], 0);  // beyond the tile stays untouched
    EXPECT_EQ(decoder.EncodedBytes(Size(32, 32)), 256);
    // A part block is a whole one in the data; nothing is no data.
    const struct {
        Size size;
        int32_t bytes;
    } sizes[] = {{Size(1, 1), 4}, {Size(4, 4), 4},  {Size(5, 4), 8},
                 {Size(4, 5), 8}, {Size(9, 9), 36}, {Size(0, 4), 0},
                 {Size(4, 0), 0}, {Size(-4, 4), 0}, {Size(4, -4), 0}};
    for (const auto& s : sizes)
        EXPECT_EQ(decoder.EncodedBytes(s.size), s.bytes) << s.size.w << " x " << s.size.h;
}

}  // namespace

TEST(BlockDecoder, EveryMaskPicksItsPixelsBitByBit) {
    // Pixel (x, y) shows the second colour where mask bit 4 * y + x is set, at any pitch.
    BlockDecoder decoder;
    std::vector<uint8_t> pixels(6 * 4);
    for (uint32_t mask = 0; mask < 0x10000; ++mask) {
        const uint8_t block[4] = {0x3C, 0xC5, static_cast<uint8_t>(mask >> 8),
                                  static_cast<uint8_t>(mask)};
        std::fill(pixels.begin(), pixels.end(), uint8_t{0});
        ASSERT_EQ(decoder.DecodeRect(pixels.data() + 1, Size(4, 4), 6, block), 4);
        for (int y = 0; y < 4; ++y) {
            EXPECT_EQ(pixels[y * 6], 0) << mask;
            EXPECT_EQ(pixels[y * 6 + 5], 0) << mask;
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(pixels[y * 6 + 1 + x], (mask >> (4 * y + x)) & 1 ? 0xC5 : 0x3C)
                    << "mask " << mask << " pixel " << x << "," << y;
        }
    }
}
