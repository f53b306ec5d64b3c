#include "core/SoundBase.h"

#include "core/AudioFormat.h"

SoundBase* soundDevice = nullptr;

SoundBase::SoundBase(const AudioFormat& format)
    : bitsPerSample(format.bitsPerSample),
      channels(format.channels),
      samplesPerSecond(format.samplesPerSecond) {
    soundDevice = this;
}

SoundBase::~SoundBase() {
    if (soundDevice == this) soundDevice = nullptr;
}
