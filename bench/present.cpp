// The whole present of a 640 x 480 8-bit page in the window (on the dummy video driver when
// headless): the page flip, the palette conversion into the streaming texture, its upload,
// the copy and the renderer's present. Once with a page that changes every frame, once with a
// page that stays as it was (the title screen's case), and once with only the palette
// changing. Beside them the palette conversion alone and a memcpy of the 32-bit frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Comparison.h"
#include "core/Palette.h"
#include "core/winx_Display.h"
#include "platform/SdlVideo.h"
#include "platform/Window.h"

namespace {

winx_Display* Screen() {
    static winx_HWND window = winx_CreateMainWindow("Quarnex bench", winx_DefWindowProc);
    static winx_Display* screen = window && winx_SdlWindow() ? new winx_Display(window) : nullptr;
    return screen;
}

enum Change { kPage, kNothing, kPalette };

void PresentWindow(benchmark::State& state) {
    winx_Display* screen = Screen();
    if (!screen) {
        state.SkipWithError("no window");
        return;
    }
    screen->cursorShape = -1;
    const auto change = static_cast<Change>(state.range(0));
    if (!screen->GetPalette()) screen->SetPalette(new Palette());
    Palette& palette = *screen->GetPalette();
    // Counted across runs, so that no run redraws what an earlier one left.
    static int frame = 0;
    const int32_t before = screen->Presents();
    for (auto _ : state) {
        ++frame;
        // Each frame is drawn afresh, as a screen does: the page shown, changed or not.
        std::memcpy(screen->BackPage(), screen->FrontPage(), 640 * 480);
        if (change == kPage) {
            // A row whose value differs from the one it had when last drawn.
            std::memset(screen->BackPage() + 640 * (frame % 480), (frame & 0x7F) | 0x80, 640);
        } else if (change == kPalette) {
            palette.entries[7] = Rgb{static_cast<uint8_t>(frame), 0, 0};
            screen->SetPalette(&palette);  // its own: the entries are read afresh
        }
        screen->Present();
    }
    // How many of the frames went to the window.
    state.counters["sent"] =
        static_cast<double>(screen->Presents() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(PresentWindow)->Arg(kPage)->Arg(kNothing)->Arg(kPalette)->Unit(benchmark::kMicrosecond);

void ConvertPage(benchmark::State& state) {
    std::vector<uint8_t> page(640 * 480);
    for (size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint32_t> argb(256);
    for (int i = 0; i < 256; ++i)
        argb[i] = 0xFF000000u | (i * 0x010101u);
    std::vector<uint32_t> out(640 * 480);
    for (auto _ : state) {
        winx_ConvertPage(page.data(), 640, argb.data(), 640, 480, out.data(), 640 * 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ConvertPage)->Unit(benchmark::kMicrosecond);

void CopyFrame32(benchmark::State& state) {
    std::vector<uint32_t> from(640 * 480, 0xFF102030u), to(640 * 480);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CopyFrame32)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintComparison("present, page changed / 32-bit memcpy", reporter, "PresentWindow/0",
                    "CopyFrame32", "memcpy", "us");
    PrintComparison("present, page unchanged / 32-bit memcpy", reporter, "PresentWindow/1",
                    "CopyFrame32", "memcpy", "us");
    PrintComparison("present, palette changed / 32-bit memcpy", reporter, "PresentWindow/2",
                    "CopyFrame32", "memcpy", "us");
    PrintComparison("palette conversion alone / 32-bit memcpy", reporter, "ConvertPage",
                    "CopyFrame32", "memcpy", "us");
    benchmark::Shutdown();
    return 0;
}
