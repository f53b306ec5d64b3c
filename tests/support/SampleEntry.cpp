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

std::vector<uint8_t> MakeSampleEntry(const SampleSpec& spec, const std::vector<uint8_t>& samples) {
    const int32_t blockAlign = spec.bits / 8 * spec.channels;
    const int32_t frames =
        spec.frames != kFramesFromSamples
            ? spec.frames
            : (blockAlign > 0 ? static_cast<int32_t>(samples.size()) / blockAlign : 0);
    std::vector<uint8_t> out;
    out.reserve(34 + samples.size());
    out.push_back(0x00);
    out.push_back(static_cast<uint8_t>(spec.format));
    if (spec.format == 0) out.resize(out.size() + 16, 0x00);
    const bool bigEndian = spec.format == 1;
    AppendWord(out, spec.bits, bigEndian);
    AppendWord(out, spec.channels, bigEndian);
    AppendWord(out, spec.rate, bigEndian);
    AppendWord(out, frames, bigEndian);
    // The unplayed block is as long as the samples at 16 bits; a header that claims more
    // frames than were given does not make the entry grow.
    if (spec.format == 0 && spec.bits == 16)
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
