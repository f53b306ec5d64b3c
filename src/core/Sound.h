#pragma once
// One sound effect: an entry of the shared sound pack, decoded from the pack's
// sample format when it is first played, handed to the sound device as a
// buffer, and dropped again when it is stopped. The streamed music is a Sound
// too.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ResourceFile.h"
#include "core/SoundBuffer.h"

// Installs the pack every Sound reads from (owned here); null deletes the
// installed pack.
class VoiceNode;

void SetSharedSoundPack(std::unique_ptr<ResourceFile> pack);
ResourceFile* SharedSoundPack();

// Sample-entry layout: byte 1 is the format code; format 0 puts its four header
// words (bits, channels, rate, frames) little-endian at offset 18, formats 1
// (big-endian) and 2 (little-endian) at offset 2. Format 0 at 16 bits has a
// block of frames x channels x 2 bytes before its samples that is not played.
struct SampleHeader {
    int8_t format = -1;
    int32_t bitsPerSample = 0;
    int32_t channels = 0;
    int32_t samplesPerSecond = 0;
    int32_t frameCount = 0;
    // Bytes from the start of the entry to the first sample frame.
    int64_t dataOffset = 0;

    int32_t BlockAlign() const { return bitsPerSample / 8 * channels; }
};

// Parses a header from the first bytes of an entry of entrySize bytes. 0 for an
// unknown format code and for a header the entry cannot hold: bits other than 8
// or 16, channels other than 1 or 2, a rate or frame count below 1, or frames
// that run past the end of the entry.
int DecodeSampleHeader(const uint8_t* bytes, int64_t available, int64_t entrySize,
                       SampleHeader& header);

// Header bytes of each format: what a later load skips to reach the samples
// again.
constexpr int kSampleHeaderBytesFormat0 = 34;
constexpr int kSampleHeaderBytesFormat12 = 18;

class Sound {
public:
    explicit Sound(int32_t packEntry);
    virtual ~Sound();

    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Loads the entry if needed and plays it from the start; loop = 1 repeats it.
    virtual void Play(int loop);
    virtual int IsPlaying();
    // Stops and unloads: the next Play decodes the entry again.
    virtual void Stop();
    // The stream positioned at the start of the entry, or null.
    virtual ResourceFile* OpenSource();
    virtual void CloseSource(ResourceFile* stream);

    // Decodes frames sample frames from sampleStart on and hands them to the
    // device: into a new buffer of bufferFrames frames, or into the existing one
    // at bufferStart. With
    // (-1, -1, 0, 0) the whole entry becomes a buffer of its own size, once.
    void Load(int32_t bufferFrames, int32_t frames, int32_t bufferStart, int32_t sampleStart);
    // Releases the buffer to the device and frees any decoded data.
    void Unload();

    int32_t PackEntry() const { return packEntry; }
    int32_t BitsPerSample() const { return bitsPerSample; }
    int32_t Channels() const { return channels; }
    int32_t SamplesPerSecond() const { return samplesPerSecond; }
    int32_t FrameCount() const { return frameCount; }
    int8_t Format() const { return format; }
    int HeaderRead() const { return headerRead; }
    SoundBuffer Buffer() const { return buffer; }

protected:
    // Positions the stream at the first sample frame of the current entry: parses
    // the header on the first load, skips exactly its bytes afterwards. 0 when it
    // cannot.
    int SeekToSamples(ResourceFile& stream);

    int32_t bitsPerSample = 0;
    int32_t channels = 0;
    int32_t samplesPerSecond = 0;
    int32_t headerRead = 0;
    int32_t frameCount = 0;
    std::vector<uint8_t> sampleData;
    SoundBuffer buffer = SoundBuffer::None;
    int32_t packEntry = -1;
    int8_t format = -1;

private:
    friend class VoiceNode;

    int64_t dataOffset = 0;
    // The voices of the pools that list this sound: they go with it, so no pool is left
    // holding a deleted sound.
    std::vector<VoiceNode*> voices;
};

// 1 when a comes from a pack entry and b from the same one.
int SameSoundEntry(const Sound& a, const Sound& b);
