#include "platform/SdlAudio.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/Clock.h"
#include "platform/Mixer.h"

namespace {

std::vector<winx_AudioOutput*>& OpenOutputs() {
    static std::vector<winx_AudioOutput*> outputs;
    return outputs;
}

std::function<void(const int16_t*, int, int)>& Tap() {
    static std::function<void(const int16_t*, int, int)> tap;
    return tap;
}

// A pumped device queues at most this much ahead; beyond it the mix is dropped, so a fixed
// clock that runs faster than real time cannot grow the queue without end.
constexpr uint32_t kMaxQueuedMs = 500;
// One pump mixes at most this much (after a long stall, such as a movie).
constexpr uint32_t kMaxPumpMs = 2000;

}  // namespace

std::unique_ptr<winx_AudioOutput> winx_AudioOutput::Open(winx_Mixer& mixer, int pumped) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    SDL_AudioSpec want{};
    want.freq = mixer.OutputRate();
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(mixer.OutputChannels());
    want.samples = 1024;
    // The output object does not exist yet; the callback's user data is set before unpausing.
    std::unique_ptr<winx_AudioOutput> output(new winx_AudioOutput(mixer, 0, pumped));
    if (!pumped) {
        want.callback = &winx_AudioOutput::Callback;
        want.userdata = output.get();
    }
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        output.reset();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    output->device = device;
    OpenOutputs().push_back(output.get());
    SDL_PauseAudioDevice(device, 0);
    return output;
}

winx_AudioOutput::winx_AudioOutput(winx_Mixer& mixer, uint32_t device, int pumped)
    : mixer(mixer), device(device), pumped(pumped), lastPump(winx_timeGetTime()) {}

winx_AudioOutput::~winx_AudioOutput() {
    auto& outputs = OpenOutputs();
    outputs.erase(std::remove(outputs.begin(), outputs.end(), this), outputs.end());
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

winx_AudioOutput::Guard::Guard(winx_AudioOutput* output) : output(output) {
    if (output && output->device != 0 && !output->pumped) SDL_LockAudioDevice(output->device);
}

winx_AudioOutput::Guard::~Guard() {
    if (output && output->device != 0 && !output->pumped) SDL_UnlockAudioDevice(output->device);
}

void winx_AudioOutput::Callback(void* self, uint8_t* stream, int length) {
    // SDL holds the device lock around this call.
    auto* output = static_cast<winx_AudioOutput*>(self);
    const int frames = length / (2 * output->mixer.OutputChannels());
    output->mixer.Render(reinterpret_cast<int16_t*>(stream), frames);
}

void winx_AudioOutput::Pump() {
    if (!pumped) return;
    const uint32_t now = winx_timeGetTime();
    const uint32_t elapsed = std::min(now - lastPump, kMaxPumpMs);
    lastPump = now;
    const uint64_t scaled =
        static_cast<uint64_t>(elapsed) * static_cast<uint64_t>(mixer.OutputRate()) + frameRemainder;
    const int frames = static_cast<int>(scaled / 1000);
    frameRemainder = scaled % 1000;
    if (frames <= 0) return;
    const int channels = mixer.OutputChannels();
    std::vector<int16_t> block(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    mixer.Render(block.data(), frames);
    if (Tap()) Tap()(block.data(), frames, channels);
    const uint32_t bytes = static_cast<uint32_t>(block.size() * sizeof(int16_t));
    const uint64_t maxQueued = static_cast<uint64_t>(mixer.OutputRate()) *
                               static_cast<uint64_t>(channels) * 2u * kMaxQueuedMs / 1000u;
    if (SDL_GetQueuedAudioSize(device) + bytes <= maxQueued) {
        SDL_QueueAudio(device, block.data(), bytes);
    }
}

void winx_AudioPump() {
    for (winx_AudioOutput* output : OpenOutputs())
        output->Pump();
}

void winx_SetAudioTap(std::function<void(const int16_t*, int, int)> tap) {
    Tap() = std::move(tap);
}
