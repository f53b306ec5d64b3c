#pragma once
// A 256 x 256 table of palette indices: entry (a * 256 + b) is what laying index b over index a
// gives. The blending blitter reads it.
#include <cstdint>
#include <vector>

class ResourceFile;

class ByteTable256 {
public:
    // All zero.
    ByteTable256();
    // Reads a flag byte and the 65536 table bytes from the stream's position; what cannot be
    // read stays zero.
    explicit ByteTable256(ResourceFile* stream);
    virtual ~ByteTable256() = default;

    uint8_t At(int a, int b) const { return table[(a & 0xFF) * 256 + (b & 0xFF)]; }

    std::vector<uint8_t> table;
    int32_t flag = 0;
};
