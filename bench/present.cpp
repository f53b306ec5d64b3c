// The whole present of a 640 x 480 8-bit page in the window (on the dummy video driver when
// headless): the page flip, the search for the rows that changed, their conversion into the
// streaming texture, its upload, the scaling into the window and the renderer's present. With
// every row changing every frame, with one row changing, with nothing changing (the title
// screen's case), and with only the palette changing. Beside them the palette conversion alone
// and a memcpy of the 32-bit frame. Before anything is timed, pages sent in part are checked to
// leave the window's pixels exactly as the same pages sent whole; every "changed" case checks
// that every one of its frames was sent.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Comparison.h"
#include "core/Palette.h"
#include "core/winx_Display.h"
#include "platform/SdlVideo.h"
#include "platform/Window.h"
#include "support/WindowCheck.h"

namespace {

winx_Display* Screen() {
    static winx_HWND window = winx_CreateMainWindow("Quarnex bench", winx_DefWindowProc);
    static winx_Display* screen = window && winx_SdlWindow() ? new winx_Display(window) : nullptr;
    return screen;
}

enum Change { kEveryRow, kOneRow, kNothing, kPalette };

bool framesLost = false;

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
    // Two whole pages of varied pixels whose every row differs from the other's.
    static std::vector<uint8_t> pages[2];
    if (pages[0].empty()) {
        for (int p = 0; p < 2; ++p) {
            pages[p].resize(640 * 480);
            for (size_t i = 0; i < pages[p].size(); ++i)
                pages[p][i] = static_cast<uint8_t>(i * 7 + i / 640 + p * 3);
        }
    }
    // Counted across runs, so that no run redraws what an earlier one left.
    static int frame = 0;
    const int32_t before = screen->Presents();
    for (auto _ : state) {
        ++frame;
        // Each frame is drawn afresh, as a screen does: a whole page's bytes written.
        if (change == kEveryRow) {
            // The other page than the window shows: a case run in between may have left either
            // (the runs are interleaved, and an odd count of unchanged frames keeps the parity).
            int which = frame & 1;
            if (std::memcmp(screen->FrontPage(), pages[which].data(), 640) == 0) which ^= 1;
            std::memcpy(screen->BackPage(), pages[which].data(), 640 * 480);
        } else {
            std::memcpy(screen->BackPage(), screen->FrontPage(), 640 * 480);
        }
        if (change == kOneRow) {
            // One pixel of one row differs from what the window shows.
            uint8_t* at = screen->BackPage() + 640 * (frame % 480) + frame % 640;
            *at = static_cast<uint8_t>(*at + 1);
        } else if (change == kPalette) {
            palette.entries[7] = Rgb{static_cast<uint8_t>(frame), 0, 0};
            screen->SetPalette(&palette);  // its own: the entries are read afresh
        }
        screen->Present();
    }
    // How many of the frames went to the window: every one, when something changed.
    const int32_t sent = screen->Presents() - before;
    state.counters["sent"] = static_cast<double>(sent) / static_cast<double>(state.iterations());
    if (change != kNothing && sent != static_cast<int32_t>(state.iterations())) {
        framesLost = true;
        state.SkipWithError("a changed frame was not sent");
    }
}
BENCHMARK(PresentWindow)
    ->Arg(kEveryRow)
    ->Arg(kOneRow)
    ->Arg(kNothing)
    ->Arg(kPalette)
    ->Unit(benchmark::kMicrosecond);

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
    // The window must show the same pixels whether a page goes in part or whole.
    if (winx_Display* screen = Screen()) {
        screen->cursorShape = -1;
        if (!screen->GetPalette()) screen->SetPalette(new Palette());
        const int32_t partial = screen->PartialPresents();
        const std::string mismatch = PartialPresentMismatch(*screen, *screen->GetPalette(), 40);
        if (!mismatch.empty()) {
            std::fprintf(stderr, "present: partial present differs from the whole: %s\n",
                         mismatch.c_str());
            return 1;
        }
        std::printf("present: 40 pages sent in part (%d partial presents) match the whole\n",
                    static_cast<int>(screen->PartialPresents() - partial));
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintComparison("present, every row changed / 32-bit memcpy", reporter, "PresentWindow/0",
                    "CopyFrame32", "memcpy", "us");
    PrintComparison("present, one row changed / 32-bit memcpy", reporter, "PresentWindow/1",
                    "CopyFrame32", "memcpy", "us");
    PrintComparison("present, page unchanged / 32-bit memcpy", reporter, "PresentWindow/2",
                    "CopyFrame32", "memcpy", "us");
    PrintComparison("present, palette changed / 32-bit memcpy", reporter, "PresentWindow/3",
                    "CopyFrame32", "memcpy", "us");
    PrintComparison("palette conversion alone / 32-bit memcpy", reporter, "ConvertPage",
                    "CopyFrame32", "memcpy", "us");
    benchmark::Shutdown();
    if (framesLost) {
        std::fprintf(stderr, "present: a changed frame was not sent\n");
        return 1;
    }
    return 0;
}
