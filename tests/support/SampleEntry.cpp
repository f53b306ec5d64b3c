#include "support/SampleEntry.h"

#include <cstddef>

namespace {

void AppendWord(std::vector<uint8_t>& out, int32_t value, bool bigEndian) {
    const auto u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        out.push_back(static_cast<uint8_t>(u >> shift));
    }
}

}  // namespace

std::vector<uint8_t> MakeSampleEntry(const SampleShape& shape,
                                     const std::vector<uint8_t>& samples) {
    const int32_t blockAlign = shape.bits / 8 * shape.channels;
    const int32_t frames =
        shape.frames != kFramesFromSamples
            ? shape.frames
            : (blockAlign > 0 ? static_cast<int32_t>(samples.size()) / blockAlign : 0);
    std::vector<uint8_t> out;
    out.reserve(34 + samples.size());
    out.push_back(0x00);
    out.push_back(static_cast<uint8_t>(shape.format));
    if (shape.format == 0) out.resize(out.size() + 16, 0x00);
    const bool bigEndian = shape.format == 1;
    AppendWord(out, shape.bits, bigEndian);
    AppendWord(out, shape.channels, bigEndian);
    AppendWord(out, shape.rate, bigEndian);
    AppendWord(out, frames, bigEndian);
    // The unplayed block is as long as the samples at 16 bits; a header that claims more
    // frames than were given does not make the entry grow.
    if (shape.format == 0 && shape.bits == 16)
        out.resize(out.size() + samples.size(), kSkippedBlockByte);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

std::vector<uint8_t> CountingSamples16(int32_t frames, int32_t channels, int32_t base) {
    std::vector<uint8_t> out;
    for (int32_t f = 0; f < frames; ++f) {
        for (int32_t c = 0; c < channels; ++c) {
            const auto value = static_cast<uint16_t>(((base + f) & 0x7FFF) * 2 + c);
            out.push_back(static_cast<uint8_t>(value & 0xFF));
            out.push_back(static_cast<uint8_t>(value >> 8));
        }
    }
    return out;
}
