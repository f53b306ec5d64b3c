// Run-length picture drawing in pixels per second (pixels covered on the screen), for a
// 64 x 64 unit sprite and a 640 x 480 coded background at 1:1, 1:2 and 1:4, plain and with
// each effect; beside it SDL's own blit of the same pictures as 8-bit RLE colour-keyed
// surfaces, and the ratio of our time to SDL's. Then the cost of presenting a frame.
#include <SDL.h>  // the peer only
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/Bitmap.h"
#include "core/BitmapEncoder.h"
#include "core/ByteTable256.h"
#include "core/MemoryDisplay.h"
#include "core/ShadeTable.h"
#include "core/winx_Display.h"
#include "platform/SdlVideo.h"
#include "platform/Window.h"

namespace {

struct Picture {
    int width;
    int height;
    std::vector<uint8_t> pixels;  // 0 transparent, 1 shade
    std::vector<uint8_t> stored;
};

// A unit seen from above: a shaded disc with a barrel and a shadow; about half transparent.
Picture UnitSprite() {
    Picture p{64, 64, std::vector<uint8_t>(64 * 64, 0), {}};
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double r = std::hypot(x - 28.5, y - 28.5);
            const double s = std::hypot(x - 35.5, y - 35.5);
            uint8_t& v = p.pixels[y * 64 + x];
            if (r < 24) {
                v = static_cast<uint8_t>(40 + static_cast<int>(r) / 3 + ((x ^ y) & 1));
            } else if (s < 25) {
                v = 1;
            }
            if (y >= 26 && y <= 31 && x >= 28 && x <= 60) v = 90;
        }
    }
    p.stored = EncodeBitmap(p.pixels.data(), 64, 64, 64, BitmapPlacement{}, BitmapKeys{0, 1});
    return p;
}

// A ground picture: patches of flat colour (runs) and of noise (literals), a few holes.
Picture Background() {
    Picture p{640, 480, std::vector<uint8_t>(640 * 480), {}};
    std::mt19937 rng(42);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const int patch = ((x / 40) * 7 + (y / 30) * 3) % 5;
            uint8_t v;
            if (patch < 2) {
                v = static_cast<uint8_t>(100 + patch * 10);
            } else if (patch < 4) {
                v = static_cast<uint8_t>(120 + rng() % 16);
            } else {
                v = (x / 8 + y / 8) % 7 == 0 ? 0 : static_cast<uint8_t>(140 + (x / 16) % 4);
            }
            p.pixels[y * 640 + x] = v;
        }
    }
    p.stored = EncodeBitmap(p.pixels.data(), 640, 480, 640);
    return p;
}

enum Effect { kPlain, kShadeFill, kShaded, kTinted, kSilhouette, kBlended };
const char* const kEffectNames[] = {"plain",  "shadefill",  "shaded",
                                    "tinted", "silhouette", "blended"};

struct Fixture {
    MemoryDisplay screen;
    ShadeTable shade;
    ByteTable256 blend;
    Picture unit = UnitSprite();
    Picture ground = Background();
    Fixture() {
        for (int i = 0; i < 256; ++i)
            shade.entries[i] = static_cast<uint8_t>(255 - i);
        for (size_t i = 0; i < blend.table.size(); ++i)
            blend.table[i] = static_cast<uint8_t>(i >> 3);
        screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    }
};

Fixture& World() {
    static Fixture fixture;
    return fixture;
}

void DrawOurs(benchmark::State& state, bool background, int zoom, int effect) {
    Fixture& f = World();
    const Picture& picture = background ? f.ground : f.unit;
    Bitmap bitmap(picture.stored.data(), picture.stored.size());
    const Point centre = background ? Point(320, 240) : Point(300, 200);
    ImageZoom = zoom;
    for (auto _ : state) {
        switch (effect) {
            case kPlain:
                bitmap.Draw(centre);
                break;
            case kShadeFill:
                bitmap.DrawShadeFilled(centre, 7);
                break;
            case kShaded:
                bitmap.DrawShaded(centre, f.shade);
                break;
            case kTinted:
                bitmap.DrawTinted(centre, f.shade, 0);
                break;
            case kSilhouette:
                bitmap.DrawSilhouette(centre, 9, 0);
                break;
            case kBlended:
                bitmap.DrawBlended(centre, f.blend);
                break;
        }
        benchmark::ClobberMemory();
    }
    ImageZoom = 0;
    const int64_t covered = int64_t{picture.width >> zoom} * (picture.height >> zoom);
    state.counters["pixels/s"] = benchmark::Counter(
        static_cast<double>(covered) * state.iterations(), benchmark::Counter::kIsRate);
}

void DrawSdl(benchmark::State& state, bool background) {
    Fixture& f = World();
    const Picture& picture = background ? f.ground : f.unit;
    // The same indices; shade pixels count as transparent, as the plain draw leaves them.
    std::vector<uint8_t> pixels = picture.pixels;
    for (auto& v : pixels) {
        if (v == 1) v = 0;
    }
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        pixels.data(), picture.width, picture.height, 8, picture.width, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8);
    SDL_SetColorKey(source, SDL_TRUE | SDL_RLEACCEL, 0);
    SDL_Rect at{background ? 0 : 268, background ? 0 : 168, picture.width, picture.height};
    for (auto _ : state) {
        SDL_Rect place = at;
        SDL_BlitSurface(source, nullptr, target, &place);
        benchmark::ClobberMemory();
    }
    const int64_t covered = int64_t{picture.width} * picture.height;
    state.counters["pixels/s"] = benchmark::Counter(
        static_cast<double>(covered) * state.iterations(), benchmark::Counter::kIsRate);
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
}

void PresentMemory(benchmark::State& state) {
    Fixture& f = World();
    for (auto _ : state)
        f.screen.Present();
}

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

// Everything a frame costs in the window: save-under, cursor, flip, palette conversion into
// the texture and the renderer's present (with the dummy video driver when headless).
void PresentWindow(benchmark::State& state) {
    static winx_HWND window = winx_CreateMainWindow("Quarnex bench", winx_DefWindowProc);
    if (!window || !winx_SdlWindow()) {
        state.SkipWithError("no window");
        return;
    }
    static winx_Display* windowed = new winx_Display(window);
    for (auto _ : state)
        windowed->Present();
}

// Keeps each run's CPU time (the machine may be shared) for the ratio to the SDL peer.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    for (int background = 0; background < 2; ++background) {
        const std::string picture = background ? "background640x480" : "sprite64x64";
        for (int zoom = 0; zoom < 3; ++zoom) {
            for (int effect = 0; effect < 6; ++effect) {
                std::string name = "Ours/" + picture + "/1:" + std::to_string(1 << zoom) + "/" +
                                   kEffectNames[effect];
                benchmark::RegisterBenchmark(name.c_str(), DrawOurs, background != 0, zoom, effect);
            }
        }
        benchmark::RegisterBenchmark(("SdlRle/" + picture + "/1:1/plain").c_str(), DrawSdl,
                                     background != 0);
    }
    benchmark::RegisterBenchmark("Present/memory_pages", PresentMemory)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Present/convert_640x480", ConvertPage)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Present/window", PresentWindow)->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* picture : {"sprite64x64", "background640x480"}) {
        const std::string ours = std::string("Ours/") + picture + "/1:1/plain";
        const std::string peer = std::string("SdlRle/") + picture + "/1:1/plain";
        if (reporter.times.count(ours) && reporter.times.count(peer) && reporter.times[peer] > 0) {
            std::printf("ratio ours / SDL (%s, 1:1 plain, CPU time): %.2f\n", picture,
                        reporter.times[ours] / reporter.times[peer]);
        }
    }
    benchmark::Shutdown();
    return 0;
}
