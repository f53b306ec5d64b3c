// Fuzzes the decoding of sound-pack sample entries: the header on its own, and a whole entry
// played, stopped, replayed and streamed from through the shared pack (read from memory).
#include <cstdint>
#include <memory>
#include <vector>

#include "core/AudioFormat.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SoundBase.h"

namespace {

void AppendU32BE(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

// A pack of one entry holding the input.
std::vector<uint8_t> OneEntryPack(const uint8_t* data, size_t size) {
    std::vector<uint8_t> pack;
    AppendU32BE(pack, 0x2ACE2ACE);
    pack.insert(pack.end(), {0, 1, 0, 1});
    AppendU32BE(pack, 16);
    AppendU32BE(pack, static_cast<uint32_t>(size));
    pack.insert(pack.end(), data, data + size);
    return pack;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    SampleHeader header;
    DecodeSampleHeader(data, static_cast<int64_t>(size), static_cast<int64_t>(size), header);

    static SoundBase* device = [] {
        AudioFormat format;
        format.bitsPerSample = 16;
        format.channels = 2;
        format.samplesPerSecond = 22050;
        return new SoundBase(format);
    }();
    (void)device;

    // The pack is read from memory; it outlives the reading, which ends with this call.
    const std::vector<uint8_t> pack = OneEntryPack(data, size);
    auto resource = std::make_unique<ResourceFile>();
    if (!resource->OpenBytes(pack.data(), pack.size())) return 0;
    SetSharedSoundPack(std::move(resource));

    Sound sound(0);
    sound.Play(0);
    sound.Stop();
    sound.Play(1);
    // A streaming read at a window taken from the input.
    const int32_t frames = size > 2 ? data[size - 1] : 1;
    const int32_t start = size > 3 ? static_cast<int32_t>(data[size - 2]) - 8 : 0;
    sound.Load(frames + 1, frames, 0, start);
    sound.Stop();
    SetSharedSoundPack(nullptr);
    return 0;
}
