#pragma once
// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320, start and final xor
// 0xFFFFFFFF), fed in pieces: a save's check record is built while its lines are written.
#include <cstddef>
#include <cstdint>

class Crc32 {
public:
    virtual ~Crc32() = default;
    void Add(const void* data, size_t size);
    uint32_t Value() const { return ~state; }
    // The whole value of one block of bytes.
    static uint32_t Of(const void* data, size_t size);

private:
    uint32_t state = 0xFFFFFFFFu;
};
