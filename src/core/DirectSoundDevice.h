#pragma once
// The sound device on the platform's audio output: one output device at the
// game's format with a software mixer, whose buffers the samples and the music
// create, fill, play and release. Without an output device every operation does
// nothing and the game runs silent.
#include <cstdint>
#include <memory>

#include "core/SoundBase.h"
#include "platform/Mixer.h"

class winx_AudioOutput;

class DirectSoundDevice : public SoundBase {
public:
    // pumped = 1 lets the main loop advance the mix (winx_AudioPump), 0 leaves it
    // to the audio thread; -1 chooses pumping exactly when the fixed-step clock
    // is in force.
    explicit DirectSoundDevice(const AudioFormat& format, int pumped = -1);
    ~DirectSoundDevice() override;

    void Play(SoundBuffer buffer, int loop) override;
    void SetVolume(SoundBuffer buffer, int32_t percent) override;
    int IsPlaying(SoundBuffer buffer) override;
    void Stop(SoundBuffer buffer) override;
    uint32_t GetPosition(SoundBuffer buffer) override;
    SoundBuffer CreateBuffer(int32_t bufferFrames, int32_t framesToCopy, const uint8_t* data,
                             int32_t bits, int32_t channels, int32_t rate) override;
    void Refill(SoundBuffer buffer, int32_t firstFrame, int32_t frameCount,
                const uint8_t* data) override;
    int IsUsable(SoundBuffer buffer) override;
    void Release(SoundBuffer buffer) override;
    void Open() override;
    void Close() override;

    int IsOpen() const { return output != nullptr; }

private:
    // The mixer id of a real buffer; 0 for none and for the placeholder.
    static winx_BufferId IdOf(SoundBuffer buffer);

    winx_Mixer mixer;
    std::unique_ptr<winx_AudioOutput> output;  // null while closed
    int pumped;
};
