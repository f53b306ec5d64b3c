#include "core/Sound.h"

#include <algorithm>

#include "core/ResourceFile.h"
#include "core/SoundBase.h"
#include "core/VoicePool.h"

namespace {

std::unique_ptr<ResourceFile>& SharedPackSlot() {
    static std::unique_ptr<ResourceFile> pack;
    return pack;
}

int32_t LittleEndian32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

int32_t BigEndian32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 24 |
                                static_cast<uint32_t>(p[1]) << 16 |
                                static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]));
}

}  // namespace

void SetSharedSoundPack(std::unique_ptr<ResourceFile> pack) {
    SharedPackSlot() = std::move(pack);
}

ResourceFile* SharedSoundPack() {
    return SharedPackSlot().get();
}

int DecodeSampleHeader(const uint8_t* bytes, int64_t available, int64_t entrySize,
                       SampleHeader& header) {
    header = SampleHeader{};
    if (!bytes || available < 2) return 0;
    header.format = static_cast<int8_t>(bytes[1]);
    int headerBytes = 0;
    const uint8_t* words = nullptr;
    bool bigEndian = false;
    switch (header.format) {
        case 0:
            headerBytes = kSampleHeaderBytesFormat0;
            words = bytes + 18;
            break;
        case 1:
            headerBytes = kSampleHeaderBytesFormat12;
            words = bytes + 2;
            bigEndian = true;
            break;
        case 2:
            headerBytes = kSampleHeaderBytesFormat12;
            words = bytes + 2;
            break;
        default:
            return 0;
    }
    if (available < headerBytes) return 0;
    auto word = [&](int i) {
        return bigEndian ? BigEndian32(words + 4 * i) : LittleEndian32(words + 4 * i);
    };
    const int32_t bits = word(0);
    const int32_t channels = word(1);
    const int32_t rate = word(2);
    const int32_t frames = word(3);
    // Every value comes from the file: refuse what the device cannot play or the
    // entry cannot hold before anything is allocated for it.
    if (bits != 8 && bits != 16) return 0;
    if (channels != 1 && channels != 2) return 0;
    if (rate < 1 || frames < 1) return 0;
    const int64_t blockAlign = bits / 8 * channels;
    int64_t offset = headerBytes;
    if (header.format == 0 && bits == 16) offset += static_cast<int64_t>(frames) * channels * 2;
    if (offset + static_cast<int64_t>(frames) * blockAlign > entrySize) return 0;
    header.bitsPerSample = bits;
    header.channels = channels;
    header.samplesPerSecond = rate;
    header.frameCount = frames;
    header.dataOffset = offset;
    return 1;
}

Sound::Sound(int32_t packEntry) : packEntry(packEntry) {}

Sound::~Sound() {
    while (!voices.empty())
        delete voices.back();
    Unload();
}

void Sound::Play(int loop) {
    // A buffer handed out while the device was closed, or before it was last
    // closed, is unknown to the device: drop it and load afresh rather than stay
    // silent while listed.
    if (buffer != SoundBuffer::None && soundDevice && !soundDevice->IsUsable(buffer)) Unload();
    Load(-1, -1, 0, 0);
    if (buffer != SoundBuffer::None && soundDevice) soundDevice->Play(buffer, loop);
}

int Sound::IsPlaying() {
    if (buffer == SoundBuffer::None || !soundDevice) return 0;
    return soundDevice->IsPlaying(buffer);
}

void Sound::Stop() {
    if (buffer != SoundBuffer::None && soundDevice) soundDevice->Stop(buffer);
    Unload();
}

void Sound::Unload() {
    if (buffer != SoundBuffer::None && soundDevice) soundDevice->Release(buffer);
    buffer = SoundBuffer::None;
    sampleData.clear();
    sampleData.shrink_to_fit();
}

ResourceFile* Sound::OpenSource() {
    ResourceFile* pack = SharedSoundPack();
    if (!pack || packEntry < 0) return nullptr;
    // A failed select leaves the previous entry's window in place: that is no
    // source.
    if (!pack->SelectEntry(0, packEntry)) return nullptr;
    return pack;
}

void Sound::CloseSource(ResourceFile* stream) {
    if (stream && stream != SharedSoundPack()) delete stream;
}

int Sound::SeekToSamples(ResourceFile& stream) {
    if (!headerRead) {
        uint8_t bytes[kSampleHeaderBytesFormat0] = {};
        int32_t count = 2;
        if (!stream.Read(count, bytes)) return 0;
        const int headerBytes =
            bytes[1] == 0 ? kSampleHeaderBytesFormat0 : kSampleHeaderBytesFormat12;
        count = headerBytes - 2;
        if (bytes[1] > 2 || !stream.Read(count, bytes + 2)) {
            // An unknown format code, or an entry too short for its header: nothing
            // to play.
            format = static_cast<int8_t>(bytes[1]);
            return 0;
        }
        SampleHeader header;
        if (!DecodeSampleHeader(bytes, headerBytes, stream.Size(), header)) {
            format = header.format;
            return 0;
        }
        format = header.format;
        bitsPerSample = header.bitsPerSample;
        channels = header.channels;
        samplesPerSecond = header.samplesPerSecond;
        frameCount = header.frameCount;
        dataOffset = header.dataOffset;
        headerRead = 1;
        const int64_t rest = dataOffset - headerBytes;
        return rest == 0 || stream.Skip(static_cast<int32_t>(rest)) ? 1 : 0;
    }
    // Later loads skip exactly what the first one parsed (and the unplayed
    // block), so a replay or a refill starts on the same sample byte as the first
    // load.
    return stream.Skip(static_cast<int32_t>(dataOffset)) ? 1 : 0;
}

void Sound::Load(int32_t bufferFrames, int32_t frames, int32_t bufferStart, int32_t sampleStart) {
    if (bufferFrames == -1 && (!sampleData.empty() || buffer != SoundBuffer::None)) return;
    ResourceFile* stream = OpenSource();
    if (!stream) return;
    if (SeekToSamples(*stream)) {
        if (frames == -1) {
            frames = frameCount;
            sampleStart = 0;
        }
        const int64_t blockAlign = bitsPerSample / 8 * channels;
        if (frames > 0 && sampleStart >= 0 &&
            static_cast<int64_t>(sampleStart) + frames <= frameCount) {
            sampleData.resize(static_cast<size_t>(frames * blockAlign));
            int32_t count = static_cast<int32_t>(sampleData.size());
            const int64_t skip = sampleStart * blockAlign;
            if ((skip > 0 && !stream->Skip(static_cast<int32_t>(skip))) ||
                !stream->Read(count, sampleData.data())) {
                sampleData.clear();
            }
        }
    }
    if (!sampleData.empty() && soundDevice) {
        if (buffer == SoundBuffer::None) {
            buffer = soundDevice->CreateBuffer(bufferFrames == -1 ? frameCount : bufferFrames,
                                               frames, sampleData.data(), bitsPerSample, channels,
                                               samplesPerSecond);
        } else {
            soundDevice->Refill(buffer, bufferStart, frames, sampleData.data());
        }
    }
    sampleData.clear();
    sampleData.shrink_to_fit();
    CloseSource(stream);
}

int SameSoundEntry(const Sound& a, const Sound& b) {
    return a.PackEntry() != -1 && a.PackEntry() == b.PackEntry() ? 1 : 0;
}
