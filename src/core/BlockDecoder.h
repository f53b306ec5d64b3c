#pragma once
// Decodes the two-colour block code of map tiles: each 4 x 4 block is a first and a second
// colour and a 16-bit big-endian mask (bit 4 * row + column set = second colour).
#include <cstdint>

#include "core/Point.h"
#include "core/Size.h"

class BlockDecoder {
public:
    BlockDecoder() = default;
    virtual ~BlockDecoder() = default;

    // Decodes blocks one after the other, row by row of blocks, into the rectangle of `size`
    // pixels at dest; answers the bytes consumed (4 per block, 256 for a 32 x 32 tile).
    int32_t DecodeRect(uint8_t* dest, const Size& size, int32_t pitch, const uint8_t* src) const;
    // Decodes the block at src + offset into the 4 x 4 pixels at `at`; answers 4.
    int32_t DecodeBlock(uint8_t* dest, const Point& at, int32_t pitch, const uint8_t* src,
                        int32_t offset) const;
    // The bytes DecodeRect consumes for a rectangle of that size.
    int32_t EncodedBytes(const Size& size) const;
    int32_t BlockSize() const { return blockSize; }
    int32_t PixelsPerBlock() const { return pixelsPerBlock; }

private:
    int32_t blockSize = 4;
    int32_t pixelsPerBlock = 16;
};
