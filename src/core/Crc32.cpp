#include "core/Crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

void Crc32::Add(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = state;
    for (size_t i = 0; i < size; ++i)
        c = kTable[(c ^ p[i]) & 0xFFu] ^ (c >> 8);
    state = c;
}

uint32_t Crc32::Of(const void* data, size_t size) {
    Crc32 crc;
    crc.Add(data, size);
    return crc.Value();
}
