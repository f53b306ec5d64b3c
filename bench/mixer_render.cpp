// The mixer's inner loop: ten voices (the voice pool's limit) plus the music ring, mixed
// into one SDL callback's worth of 16-bit stereo output at 22050 Hz.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/Mixer.h"

namespace {

winx_BufferId AddVoice(winx_Mixer& mixer, const winx_PcmFormat& format, uint32_t frames) {
    const uint32_t bytes = frames * static_cast<uint32_t>(format.BlockAlign());
    const winx_BufferId id = mixer.Create(format, bytes);
    winx_LockedRegion region;
    mixer.Lock(id, 0, bytes, region);
    for (uint32_t i = 0; i < region.firstBytes; ++i)
        region.first[i] = static_cast<uint8_t>(i * 7);
    mixer.Unlock(id);
    mixer.SetVolume(id, -600);
    mixer.Play(id, 1);
    return id;
}

void MixTenVoicesAndMusic(benchmark::State& state) {
    winx_Mixer mixer(2, 22050);
    for (int i = 0; i < 5; ++i)
        AddVoice(mixer, winx_PcmFormat{16, 2, 22050}, 22050);
    for (int i = 0; i < 3; ++i)
        AddVoice(mixer, winx_PcmFormat{8, 1, 11025}, 11025);
    for (int i = 0; i < 2; ++i)
        AddVoice(mixer, winx_PcmFormat{16, 1, 44100}, 44100);
    AddVoice(mixer, winx_PcmFormat{16, 2, 22050}, 88200);
    std::vector<int16_t> out(1024 * 2);
    for (auto _ : state) {
        mixer.Render(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(MixTenVoicesAndMusic);

}  // namespace

BENCHMARK_MAIN();
