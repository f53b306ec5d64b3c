#include "core/BlockDecoder.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace {
// For each 8-bit pattern of two rows (low nibble the upper row), their eight pixels in memory
// order: 0xFF where the second colour shows. Kept as bytes so that the rows read the same on
// either byte order.
constexpr std::array<std::array<uint8_t, 8>, 256> kTwoRowSelect = [] {
    std::array<std::array<uint8_t, 8>, 256> table{};
    for (int pattern = 0; pattern < 256; ++pattern)
        for (int i = 0; i < 8; ++i)
            table[pattern][i] = (pattern >> i) & 1 ? 0xFF : 0x00;
    return table;
}();

// Two rows are built with a few word operations and stored with two 4-byte writes: tiles
// entering a scrolling view are decoded within the frame.
inline void DecodeBlockAt(uint8_t* row, int32_t pitch, const uint8_t* block) {
    const uint64_t first = block[0] * 0x0101010101010101ull;
    const uint64_t differ = static_cast<uint8_t>(block[0] ^ block[1]) * 0x0101010101010101ull;
    // The mask is big-endian: its low byte (the last) holds rows 0 and 1.
    for (int half = 0; half < 2; ++half, row += 2 * pitch) {
        uint64_t select;
        std::memcpy(&select, kTwoRowSelect[block[3 - half]].data(), 8);
        const uint64_t pixels = first ^ (differ & select);
        std::memcpy(row, &pixels, 4);
        std::memcpy(row + pitch, reinterpret_cast<const uint8_t*>(&pixels) + 4, 4);
    }
}
}  // namespace

int32_t BlockDecoder::DecodeRect(uint8_t* dest, const Size& size, int32_t pitch,
                                 const uint8_t* src) const {
    // Locals, not members: the byte stores could alias them and force a reload per block.
    const int32_t step = blockSize, width = size.w, height = size.h;
    const uint8_t* block = src;
    for (int32_t y = 0; y < height; y += step) {
        uint8_t* row = dest + static_cast<ptrdiff_t>(y) * pitch;
        for (int32_t x = 0; x < width; x += step, block += 4)
            DecodeBlockAt(row + x, pitch, block);
    }
    return static_cast<int32_t>(block - src);
}

int32_t BlockDecoder::EncodedBytes(const Size& size) const {
    if (size.w <= 0 || size.h <= 0) return 0;
    const int32_t across = (size.w + blockSize - 1) / blockSize;
    const int32_t down = (size.h + blockSize - 1) / blockSize;
    return across * down * 4;
}

int32_t BlockDecoder::DecodeBlock(uint8_t* dest, const Point& at, int32_t pitch, const uint8_t* src,
                                  int32_t offset) const {
    DecodeBlockAt(dest + static_cast<ptrdiff_t>(at.y) * pitch + at.x, pitch, src + offset);
    return 4;
}
