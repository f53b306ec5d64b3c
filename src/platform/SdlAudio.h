#pragma once
// An SDL audio device that plays a winx_Mixer. Normally SDL's audio thread pulls the mix; under
// the fixed-step clock the main loop pushes it instead (winx_AudioPump), one clock step at a
// time, so headless runs are repeatable. Every touch of the mixer from the game goes through
// a Guard, which holds the audio thread off.
#include <cstdint>
#include <functional>
#include <memory>

class winx_Mixer;

class winx_AudioOutput {
public:
    // Opens the default audio device (16-bit, the mixer's channels and rate) and starts it.
    // pumped = 1: the mix advances only in winx_AudioPump, by the platform clock.
    // Null when no device opens.
    static std::unique_ptr<winx_AudioOutput> Open(winx_Mixer& mixer, int pumped);
    ~winx_AudioOutput();

    winx_AudioOutput(const winx_AudioOutput&) = delete;
    winx_AudioOutput& operator=(const winx_AudioOutput&) = delete;

    // Holds the audio thread off the mixer while it lives (a null output holds nothing).
    class Guard {
    public:
        explicit Guard(winx_AudioOutput* output);
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        winx_AudioOutput* output;
    };

    int Pumped() const { return pumped; }
    // Pumped output: mixes the frames that the platform clock says have passed since the last
    // pump (at most two seconds' worth) and queues them on the device.
    void Pump();

private:
    winx_AudioOutput(winx_Mixer& mixer, uint32_t device, int pumped);
    static void Callback(void* self, uint8_t* stream, int length);

    winx_Mixer& mixer;
    uint32_t device;
    int pumped;
    uint32_t lastPump;
    uint64_t frameRemainder = 0;
};

// Once per main-loop pass: advances every pumped output by the platform clock.
void winx_AudioPump();

// Tests: sees every block a pumped output mixes (frames × channels samples); an empty
// function removes it.
void winx_SetAudioTap(std::function<void(const int16_t* samples, int frames, int channels)> tap);
