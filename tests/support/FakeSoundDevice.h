#pragma once
// A sound device that keeps its buffers in memory: what was created, written where, played,
// stopped and released, and a play cursor the test moves by hand. Registers itself as the
// sound device for its lifetime (through SoundBase).
#include <cstdint>
#include <map>
#include <vector>

#include "core/SoundBase.h"

struct AudioFormat;

// The format the game opens its sound device with: 16-bit stereo at 22050 Hz. The fake takes
// it; tests of the real device open that with it.
AudioFormat GameAudioFormat();

class FakeSoundDevice : public SoundBase {
public:
    struct Buffer {
        int32_t bits = 0;
        int32_t channels = 0;
        int32_t rate = 0;
        std::vector<uint8_t> data;
        bool playing = false;
        bool looping = false;
        int playCount = 0;
        int32_t volume = 100;
        uint32_t position = 0;

        int32_t BlockAlign() const { return bits / 8 * channels; }
    };

    FakeSoundDevice();

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

    // Null for a handle the device does not hold.
    Buffer* Find(SoundBuffer buffer);
    // A buffer "finishes": it stops playing as a sound played once does at its end.
    void Finish(SoundBuffer buffer);

    std::map<uint64_t, Buffer> buffers;
    // Every frame written into any buffer, in the order written (creation copies included).
    std::vector<uint8_t> written;
    int created = 0;
    int released = 0;
    int refills = 0;
    // Plays of a handle the device does not hold (none is ever right).
    int strayPlays = 0;

private:
    uint64_t nextId = 100;
};
