// The mixer's inner loop: ten voices (the voice pool's limit) plus the music ring, mixed
// into one SDL callback's worth of 16-bit stereo output at 22050 Hz. Beside it the peer:
// SDL_MixAudioFormat over the same eleven sounds, each converted once beforehand to the
// device's format with SDL's own converter, at the same volume.
#include <SDL.h>  // the peer only
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "Comparison.h"
#include "platform/Mixer.h"

namespace {

constexpr int kFrames = 1024;
constexpr int32_t kAttenuation = -600;

struct Sound {
    winx_PcmFormat format;
    uint32_t frames;
};
const Sound kSounds[] = {
    {{16, 2, 22050}, 22050}, {{16, 2, 22050}, 22050}, {{16, 2, 22050}, 22050},
    {{16, 2, 22050}, 22050}, {{16, 2, 22050}, 22050}, {{8, 1, 11025}, 11025},
    {{8, 1, 11025}, 11025},  {{8, 1, 11025}, 11025},  {{16, 1, 44100}, 44100},
    {{16, 1, 44100}, 44100}, {{16, 2, 22050}, 88200},  // the music ring
};

std::vector<uint8_t> SoundBytes(const Sound& sound) {
    std::vector<uint8_t> bytes(sound.frames * static_cast<uint32_t>(sound.format.BlockAlign()));
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    return bytes;
}

void MixTenVoicesAndMusic(benchmark::State& state) {
    winx_Mixer mixer(2, 22050);
    for (const Sound& sound : kSounds) {
        const std::vector<uint8_t> bytes = SoundBytes(sound);
        const winx_BufferId id = mixer.Create(sound.format, static_cast<uint32_t>(bytes.size()));
        winx_LockedRegion region;
        mixer.Lock(id, 0, static_cast<uint32_t>(bytes.size()), region);
        std::memcpy(region.first, bytes.data(), region.firstBytes);
        mixer.Unlock(id);
        mixer.SetVolume(id, kAttenuation);
        mixer.Play(id, 1);
    }
    std::vector<int16_t> out(kFrames * 2);
    for (auto _ : state) {
        mixer.Render(out.data(), kFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(MixTenVoicesAndMusic);

void SdlMixAudioFormat(benchmark::State& state) {
    struct Converted {
        std::vector<uint8_t> bytes;
        size_t position = 0;
    };
    std::vector<Converted> voices;
    for (const Sound& sound : kSounds) {
        SDL_AudioCVT cvt;
        const SDL_AudioFormat from = sound.format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        if (SDL_BuildAudioCVT(&cvt, from, static_cast<Uint8>(sound.format.channels),
                              sound.format.rate, AUDIO_S16LSB, 2, 22050) < 0) {
            state.SkipWithError("SDL cannot convert");
            return;
        }
        const std::vector<uint8_t> bytes = SoundBytes(sound);
        std::vector<uint8_t> work(bytes.size() * static_cast<size_t>(cvt.len_mult));
        std::memcpy(work.data(), bytes.data(), bytes.size());
        cvt.buf = work.data();
        cvt.len = static_cast<int>(bytes.size());
        if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) {
            state.SkipWithError("SDL conversion failed");
            return;
        }
        work.resize(cvt.needed ? static_cast<size_t>(cvt.len_cvt) : bytes.size());
        voices.push_back(Converted{std::move(work), 0});
    }
    // -6 dB, as the mixer's attenuation of -600 gives.
    const int volume = SDL_MIX_MAXVOLUME / 2;
    const size_t want = kFrames * 4;
    std::vector<uint8_t> out(want);
    for (auto _ : state) {
        std::memset(out.data(), 0, want);
        for (Converted& v : voices) {
            size_t done = 0;
            while (done < want) {
                const size_t part = std::min(want - done, v.bytes.size() - v.position);
                SDL_MixAudioFormat(out.data() + done, v.bytes.data() + v.position, AUDIO_S16LSB,
                                   static_cast<Uint32>(part), volume);
                done += part;
                v.position = (v.position + part) % v.bytes.size();
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(SdlMixAudioFormat);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintComparison("mixer 10 voices + music / SDL_MixAudioFormat", reporter,
                    "MixTenVoicesAndMusic", "SdlMixAudioFormat", "SDL", "ns");
    benchmark::Shutdown();
    return 0;
}
