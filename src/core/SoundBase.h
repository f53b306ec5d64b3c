#pragma once
// The platform-free half of the sound device: the audio format and the master volume.
// The one sound device registers itself in `soundDevice` while it exists.
#include <cstdint>

struct AudioFormat;

class SoundBase {
public:
    explicit SoundBase(const AudioFormat& format);
    virtual ~SoundBase();

    virtual void Open() {}
    virtual void Close() {}

    int32_t bitsPerSample = 0;
    int32_t channels = 0;
    int32_t samplesPerSecond = 0;
    int32_t masterVolume = 100;
};

// The one sound device, or null.
extern SoundBase* soundDevice;
