// Run-length picture drawing in pixels per second (pixels covered on the screen), for a
// 64 x 64 unit sprite and a 640 x 480 coded background at 1:1, 1:2 and 1:4, plain and with
// each effect; beside it SDL's own blit of the same pictures as 8-bit RLE colour-keyed
// surfaces, and the ratio of our time to SDL's. The sprite is also drawn cut by the clip
// rectangle at each of its corners and edges (both sides), and the draws at 1:2 and 1:4 are set
// beside SDL's blit of the picture already shrunk to that size (the same pixels written). The
// full-screen background has a memcpy of its bytes beside it, the floor of any blit. Before
// anything is timed, our pixels and SDL's are compared for the 1:1 cases.
#include <SDL.h>  // the peer only
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Comparison.h"
#include "core/Bitmap.h"
#include "core/BitmapEncoder.h"
#include "core/ByteTable256.h"
#include "core/MemoryDisplay.h"
#include "core/ShadeTable.h"
#include "support/ReferenceBlit.h"

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

// The clip rectangle of the clipped cases, and the sprite centres on its four corners and the
// middles of its four edges, so that each draw is cut on one or two sides.
const Rect kClip(Point(160, 120), Size(320, 240));
std::vector<Point> ClipCentres() {
    std::vector<Point> centres;
    for (int y : {120, 240, 359}) {
        for (int x : {160, 320, 479}) {
            if (x != 320 || y != 240) centres.push_back(Point(x, y));
        }
    }
    return centres;
}

void DrawOursClipped(benchmark::State& state) {
    Fixture& f = World();
    Bitmap bitmap(f.unit.stored.data(), f.unit.stored.size());
    const std::vector<Point> centres = ClipCentres();
    f.screen.SetClipRect(kClip);
    for (auto _ : state) {
        for (const Point& centre : centres)
            bitmap.Draw(centre);
        benchmark::ClobberMemory();
    }
    f.screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
}

// An 8-bit RLE colour-keyed SDL surface of a picture shrunk by `factor` (every factor-th pixel
// of every factor-th row): what SDL writes then is what our scaled draw writes.
struct SdlPicture {
    SdlPicture(const Picture& picture, int factor) {
        width = picture.width / factor;
        height = picture.height / factor;
        pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t v = picture.pixels[(y * factor) * picture.width + x * factor];
                // Shade pixels count as transparent, as the plain draw leaves them.
                pixels[y * width + x] = v == 1 ? 0 : v;
            }
        }
        surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 8, width,
                                                     SDL_PIXELFORMAT_INDEX8);
        SDL_SetColorKey(surface, SDL_TRUE | SDL_RLEACCEL, 0);
    }
    ~SdlPicture() { SDL_FreeSurface(surface); }
    SdlPicture(const SdlPicture&) = delete;
    SdlPicture& operator=(const SdlPicture&) = delete;
    int width, height;
    std::vector<uint8_t> pixels;
    SDL_Surface* surface;
};

SDL_Surface* SdlScreen() {
    static SDL_Surface* target =
        SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8);
    return target;
}

void BlitSdl(SdlPicture& picture, const Point& centre) {
    SDL_Rect place{centre.x - picture.width / 2, centre.y - picture.height / 2, picture.width,
                   picture.height};
    SDL_BlitSurface(picture.surface, nullptr, SdlScreen(), &place);
}

void DrawSdl(benchmark::State& state, bool background, int zoom) {
    Fixture& f = World();
    SdlPicture picture(background ? f.ground : f.unit, 1 << zoom);
    const Point centre = background ? Point(320, 240) : Point(300, 200);
    SDL_SetClipRect(SdlScreen(), nullptr);
    for (auto _ : state) {
        BlitSdl(picture, centre);
        benchmark::ClobberMemory();
    }
    const int64_t covered = int64_t{picture.width} * picture.height;
    state.counters["pixels/s"] = benchmark::Counter(
        static_cast<double>(covered) * state.iterations(), benchmark::Counter::kIsRate);
}

void DrawSdlClipped(benchmark::State& state) {
    SdlPicture picture(World().unit, 1);
    const std::vector<Point> centres = ClipCentres();
    SDL_Rect clip{kClip.origin.x, kClip.origin.y, kClip.extent.w, kClip.extent.h};
    SDL_SetClipRect(SdlScreen(), &clip);
    for (auto _ : state) {
        for (const Point& centre : centres)
            BlitSdl(picture, centre);
        benchmark::ClobberMemory();
    }
    SDL_SetClipRect(SdlScreen(), nullptr);
}

// The physical floor of a full-screen background: its bytes copied, row by row as a blit must.
void CopyBackground(benchmark::State& state) {
    Fixture& f = World();
    std::vector<uint8_t> target(640 * 480);
    for (auto _ : state) {
        for (int y = 0; y < 480; ++y)
            std::memcpy(target.data() + y * 640, f.ground.pixels.data() + y * 640, 640);
        benchmark::ClobberMemory();
    }
}

// Draws our picture and SDL's onto equal pages and counts the bytes that differ.
size_t DifferingBytes(bool background, bool clipped) {
    Fixture& f = World();
    const Picture& source = background ? f.ground : f.unit;
    Bitmap bitmap(source.stored.data(), source.stored.size());
    SdlPicture picture(source, 1);
    SDL_Surface* target = SdlScreen();
    std::memset(f.screen.BackPage(), 0x55, 640 * 480);
    for (int y = 0; y < 480; ++y)
        std::memset(static_cast<uint8_t*>(target->pixels) + y * target->pitch, 0x55, 640);
    std::vector<Point> centres{background ? Point(320, 240) : Point(300, 200)};
    if (clipped) centres = ClipCentres();
    SDL_Rect clip{kClip.origin.x, kClip.origin.y, kClip.extent.w, kClip.extent.h};
    f.screen.SetClipRect(clipped ? kClip : Rect(Point(0, 0), Size(640, 480)));
    SDL_SetClipRect(target, clipped ? &clip : nullptr);
    for (const Point& centre : centres) {
        bitmap.Draw(centre);
        BlitSdl(picture, centre);
    }
    f.screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    SDL_SetClipRect(target, nullptr);
    size_t differing = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            differing += f.screen.BackPage()[y * 640 + x] !=
                         static_cast<uint8_t*>(target->pixels)[y * target->pitch + x];
        }
    }
    return differing;
}

// Draws our picture at 1:2 or 1:4 and the Part's rule for the scaled draw (the reference
// decoder, every output pixel decided on its own) onto equal pages, whole and cut by the clip
// at each corner and edge, and counts the bytes that differ.
size_t DifferingScaledBytes(bool background, int zoom) {
    Fixture& f = World();
    const Picture& source = background ? f.ground : f.unit;
    Bitmap bitmap(source.stored.data(), source.stored.size());
    const int factor = 1 << zoom;
    std::vector<uint8_t> expected(640 * 480, 0x55);
    std::memset(f.screen.BackPage(), 0x55, 640 * 480);
    std::vector<Point> centres{background ? Point(320, 240) : Point(300, 200)};
    if (!background) {
        for (const Point& centre : ClipCentres())
            centres.push_back(centre);
    }
    const std::vector<uint8_t> items(source.stored.begin() + Bitmap::kHeaderSize,
                                     source.stored.end());
    ImageZoom = zoom;
    for (size_t i = 0; i < centres.size(); ++i) {
        const Rect clip = i == 0 ? Rect(Point(0, 0), Size(640, 480)) : kClip;
        f.screen.SetClipRect(clip);
        bitmap.Draw(centres[i]);
        const Point topLeft(centres[i].x - source.width / (2 * factor),
                            centres[i].y - source.height / (2 * factor));
        ReferenceBlit(items, topLeft, Size(source.width, source.height), factor, clip, RefParams{},
                      expected, 640, 480);
    }
    ImageZoom = 0;
    f.screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    size_t differing = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        differing += expected[i] != f.screen.BackPage()[i];
    return differing;
}

}  // namespace

int main(int argc, char** argv) {
    struct Check {
        const char* what;
        bool background, clipped;
    };
    bool agree = true;
    for (const Check& c : {Check{"sprite 1:1", false, false}, Check{"sprite clipped", false, true},
                           Check{"background 1:1", true, false}}) {
        const size_t differing = DifferingBytes(c.background, c.clipped);
        std::printf("pixels ours vs SDL, %s: %zu bytes differ\n", c.what, differing);
        agree = agree && differing == 0;
    }
    if (!agree) {
        std::printf("our pixels and SDL's differ: the timings would compare different work\n");
        return 1;
    }
    for (int background = 0; background < 2; ++background) {
        for (int zoom = 1; zoom < 3; ++zoom) {
            const size_t differing = DifferingScaledBytes(background != 0, zoom);
            std::printf("pixels ours vs the scaling rule, %s 1:%d: %zu bytes differ\n",
                        background ? "background" : "sprite", 1 << zoom, differing);
            agree = agree && differing == 0;
        }
    }
    if (!agree) {
        std::printf("our scaled pixels differ from the rule's: the timings would mislead\n");
        return 1;
    }
    for (int background = 0; background < 2; ++background) {
        const std::string picture = background ? "background640x480" : "sprite64x64";
        for (int zoom = 0; zoom < 3; ++zoom) {
            const std::string scale = "/1:" + std::to_string(1 << zoom);
            for (int effect = 0; effect < 6; ++effect) {
                std::string name = "Ours/" + picture + scale + "/" + kEffectNames[effect];
                benchmark::RegisterBenchmark(name.c_str(), DrawOurs, background != 0, zoom, effect);
            }
            benchmark::RegisterBenchmark(("SdlRle/" + picture + scale + "/plain").c_str(), DrawSdl,
                                         background != 0, zoom);
        }
    }
    benchmark::RegisterBenchmark("Ours/sprite64x64/clipped8", DrawOursClipped);
    benchmark::RegisterBenchmark("SdlRle/sprite64x64/clipped8", DrawSdlClipped);
    benchmark::RegisterBenchmark("Memcpy/background640x480", CopyBackground);

    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* picture : {"sprite64x64", "background640x480"}) {
        for (const char* scale : {"1:1", "1:2", "1:4"}) {
            const std::string tail = std::string(picture) + "/" + scale + "/plain";
            PrintComparison(std::string("draw ") + picture + " " + scale + " / SDL RLE", reporter,
                            "Ours/" + tail, "SdlRle/" + tail, "SDL", "ns");
        }
    }
    for (const char* picture : {"sprite64x64", "background640x480"}) {
        for (const char* scale : {"1:2", "1:4"}) {
            PrintComparison(std::string("draw ") + picture + " " + scale + " / our own 1:1",
                            reporter, "Ours/" + std::string(picture) + "/" + scale + "/plain",
                            "Ours/" + std::string(picture) + "/1:1/plain", "ours 1:1", "ns");
        }
    }
    PrintComparison("draw sprite64x64 clipped x8 / SDL RLE", reporter, "Ours/sprite64x64/clipped8",
                    "SdlRle/sprite64x64/clipped8", "SDL", "ns");
    PrintComparison("draw background640x480 1:1 / memcpy", reporter,
                    "Ours/background640x480/1:1/plain", "Memcpy/background640x480", "memcpy", "ns");
    benchmark::Shutdown();
    return 0;
}
