#pragma once
// The platform-free half of the sound device: the audio format, the master volume and the
// buffer operations that samples and music use. The base device is silent: it creates no
// buffers and answers every query with "nothing". The one sound device registers itself in
// `soundDevice` while it exists.
#include <cstdint>

#include "core/SoundBuffer.h"

struct AudioFormat;

class SoundBase {
public:
    explicit SoundBase(const AudioFormat& format);
    virtual ~SoundBase();

    SoundBase(const SoundBase&) = delete;
    SoundBase& operator=(const SoundBase&) = delete;

    // Restarts the buffer from its beginning at the master volume; loop = 1 repeats it.
    virtual void Play(SoundBuffer /*buffer*/, int /*loop*/) {}
    virtual void SetVolume(SoundBuffer /*buffer*/, int32_t /*percent*/) {}
    virtual int IsPlaying(SoundBuffer /*buffer*/) { return 0; }
    virtual void Stop(SoundBuffer /*buffer*/) {}
    // The play position in bytes.
    virtual uint32_t GetPosition(SoundBuffer /*buffer*/) { return 0; }
    // A buffer of bufferFrames frames in the given format with the first framesToCopy frames
    // of data copied in; None when the device refuses.
    virtual SoundBuffer CreateBuffer(int32_t /*bufferFrames*/, int32_t /*framesToCopy*/,
                                     const uint8_t* /*data*/, int32_t /*bits*/,
                                     int32_t /*channels*/, int32_t /*rate*/) {
        return SoundBuffer::None;
    }
    // Writes frameCount frames of data into the buffer from firstFrame on, wrapping at its end.
    virtual void Refill(SoundBuffer /*buffer*/, int32_t /*firstFrame*/, int32_t /*frameCount*/,
                        const uint8_t* /*data*/) {}
    virtual int IsUsable(SoundBuffer /*buffer*/) { return 1; }
    virtual void Release(SoundBuffer /*buffer*/) {}
    virtual void Open() {}
    virtual void Close() {}

    int32_t bitsPerSample = 0;
    int32_t channels = 0;
    int32_t samplesPerSecond = 0;
    int32_t masterVolume = 100;
};

// The one sound device, or null.
extern SoundBase* soundDevice;
