#include "core/BlockDecoder.h"

#include <cstddef>
#include <cstring>

int32_t BlockDecoder::DecodeRect(uint8_t* dest, const Size& size, int32_t pitch,
                                 const uint8_t* src) const {
    int32_t offset = 0;
    for (int32_t y = 0; y < size.h; y += blockSize) {
        for (int32_t x = 0; x < size.w; x += blockSize) {
            offset += DecodeBlock(dest, Point(x, y), pitch, src, offset);
        }
    }
    return offset;
}

int32_t BlockDecoder::EncodedBytes(const Size& size) const {
    if (size.w <= 0 || size.h <= 0) return 0;
    const int32_t across = (size.w + blockSize - 1) / blockSize;
    const int32_t down = (size.h + blockSize - 1) / blockSize;
    return across * down * 4;
}

int32_t BlockDecoder::DecodeBlock(uint8_t* dest, const Point& at, int32_t pitch, const uint8_t* src,
                                  int32_t offset) const {
    const uint8_t* block = src + offset;
    const uint8_t first = block[0];
    const uint8_t second = block[1];
    const uint32_t mask = (static_cast<uint32_t>(block[2]) << 8) | block[3];
    uint8_t* row = dest + static_cast<ptrdiff_t>(at.y) * pitch + at.x;
    for (int r = 0; r < 4; ++r, row += pitch) {
        const uint32_t pattern = (mask >> (4 * r)) & 0xF;
        // The row is built in memory order and stored with one 4-byte write.
        uint8_t bytes[4];
        for (int i = 0; i < 4; ++i)
            bytes[i] = (pattern >> i) & 1 ? second : first;
        std::memcpy(row, bytes, 4);
    }
    return 4;
}
