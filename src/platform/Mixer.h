#pragma once
// The software mixer behind the sound device: sound buffers live in a handle table and are
// created, locked, played once or looping, stopped, positioned and attenuated like DirectSound
// buffers; Render mixes every playing buffer, converted and resampled, into 16-bit output.
// The mixer knows nothing of threads: its owner serialises every call, Render included.
#include <cstdint>
#include <unordered_map>
#include <vector>

// A buffer handle. 0 is no buffer; handles are never reused, so a stale one finds nothing.
using winx_BufferId = uint64_t;

// Interleaved PCM: 8-bit samples are unsigned, 16-bit samples signed little-endian.
struct winx_PcmFormat {
    int32_t bits = 0;
    int32_t channels = 0;
    int32_t rate = 0;

    // 8 or 16 bits, 1 or 2 channels, 1 Hz to 192 kHz.
    bool IsValid() const;
    int32_t BlockAlign() const { return bits / 8 * channels; }
};

// The one or two parts of a ring buffer that a lock hands out.
struct winx_LockedRegion {
    uint8_t* first = nullptr;
    uint32_t firstBytes = 0;
    uint8_t* second = nullptr;
    uint32_t secondBytes = 0;
};

// Status bits as DirectSound reports them.
constexpr uint32_t kWinxStatusPlaying = 1;
constexpr uint32_t kWinxStatusLooping = 4;

// Attenuation range in hundredths of a decibel; the minimum is silence.
constexpr int32_t kWinxVolumeMin = -10000;
constexpr int32_t kWinxVolumeMax = 0;

class winx_Mixer {
public:
    // Output is 16-bit signed at the given channel count (1 or 2) and rate.
    winx_Mixer(int outputChannels, int outputRate);

    // A silent, stopped buffer of the given size, or 0 for an unplayable format or a size
    // that is zero, not whole frames, or beyond the mixer's limit.
    winx_BufferId Create(const winx_PcmFormat& format, uint32_t bytes);
    int Release(winx_BufferId id);
    void ReleaseAll();
    int Contains(winx_BufferId id) const;
    int BufferCount() const { return static_cast<int>(buffers.size()); }

    // Every operation below answers 0 for an unknown handle and does nothing.
    int Play(winx_BufferId id, int loop);
    int Stop(winx_BufferId id);
    int SetPosition(winx_BufferId id, uint32_t bytes);
    int SetVolume(winx_BufferId id, int32_t attenuation);
    int GetVolume(winx_BufferId id, int32_t& attenuation) const;
    int GetStatus(winx_BufferId id, uint32_t& status) const;
    int GetPosition(winx_BufferId id, uint32_t& bytes) const;
    int GetFormat(winx_BufferId id, winx_PcmFormat& format) const;
    int GetSize(winx_BufferId id, uint32_t& bytes) const;
    // Hands out the bytes from offset (wrapping at the end of the buffer) in one or two parts;
    // a request longer than the buffer is cut to the buffer's size. What is written there is
    // heard from the Unlock on, which converts it once into the mixer's own sample form.
    int Lock(winx_BufferId id, uint32_t offset, uint32_t bytes, winx_LockedRegion& region);
    int Unlock(winx_BufferId id);

    // Mixes the next frames of every playing buffer into out (frames × output channels
    // samples), summed and clipped to 16 bits. A buffer played once stops after its last frame.
    void Render(int16_t* out, int frames);

    int OutputChannels() const { return outputChannels; }
    int OutputRate() const { return outputRate; }

    // The largest buffer the mixer creates.
    static constexpr uint32_t kMaxBufferBytes = 64u << 20;

private:
    struct Buffer {
        winx_PcmFormat format;
        std::vector<uint8_t> data;
        // The data as signed 16-bit samples (8-bit ones scaled up), converted once on Unlock so
        // that the mixing reads them directly.
        std::vector<int16_t> samples;
        uint32_t lockedOffset = 0;
        uint32_t lockedBytes = 0;
        uint32_t frames = 0;
        uint64_t position = 0;  // frames in 32.32 fixed point
        uint64_t step = 0;      // source frames per output frame, 32.32
        int32_t attenuation = 0;
        float gain = 1.0f;
        bool playing = false;
        bool looping = false;
    };

    Buffer* Find(winx_BufferId id);
    const Buffer* Find(winx_BufferId id) const;
    void MixInto(Buffer& buffer, int32_t* sum, int frames);
    template <int SourceChannels, int OutputChannels>
    static void Mix(Buffer& buffer, int32_t* sum, int frames);
    static void Convert(Buffer& buffer, uint32_t offset, uint32_t bytes);

    int outputChannels;
    int outputRate;
    std::unordered_map<winx_BufferId, Buffer> buffers;
    std::vector<int32_t> sums;
};
