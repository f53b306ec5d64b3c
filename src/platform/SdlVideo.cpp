#include "platform/SdlVideo.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include <SDL.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// GCC's vector form of the palette look-ups is slower than plain loads and stores; other
// compilers take no such hint.
#if defined(__GNUC__) && !defined(__clang__)
#define QX_NO_VECTORIZE [[gnu::optimize("no-tree-vectorize")]]
#else
#define QX_NO_VECTORIZE
#endif

namespace {
// The one live output, so the movie player can draw through the same renderer.
winx_SdlVideo* liveVideo = nullptr;

// More bands than this in one page cost more in copies than the rows between them: the page
// is then sent as one band from the first changed row to the last.
constexpr int kMaxBands = 24;

// The widest page scaled straight into the window.
constexpr int kMaxPageWidth = 2048;

// The window's own format when it is a plain 32-bit one: the renderer then scales the texture
// with a straight stretch instead of converting every pixel on the way.
uint32_t TextureFormatFor(SDL_Window* window) {
    const uint32_t format = SDL_GetWindowPixelFormat(window);
    // Every 32-bit format of SDL is four bytes a pixel.
    if (format != SDL_PIXELFORMAT_UNKNOWN && !SDL_ISPIXELFORMAT_FOURCC(format) &&
        !SDL_ISPIXELFORMAT_INDEXED(format) && SDL_BITSPERPIXEL(format) == 32) {
        return format;
    }
    return SDL_PIXELFORMAT_ARGB8888;
}

// One row through the palette.
QX_NO_VECTORIZE void ConvertRow(const uint8_t* in, const uint32_t* palette, int width,
                                uint32_t* out) {
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const uint32_t a = palette[in[x]], b = palette[in[x + 1]];
        const uint32_t c = palette[in[x + 2]], d = palette[in[x + 3]];
        out[x] = a;
        out[x + 1] = b;
        out[x + 2] = c;
        out[x + 3] = d;
    }
    for (; x < width; ++x)
        out[x] = palette[in[x]];
}

// Two pixels to a store.
void Put2(uint8_t* out, uint32_t a, uint32_t b) {
    const uint64_t pair = a | (uint64_t{b} << 32);
    std::memcpy(out, &pair, 8);
}

// Spreads a converted page row over a window row: window column x shows page column
// columns[x]. At 2x the pattern is known, and the stores, not the look-ups, bound the loop.
QX_NO_VECTORIZE void SpreadRow(const uint32_t* line, const uint16_t* columns, int across,
                               uint8_t* out) {
    int x = 0;
    if (across >= 2 && columns[0] == 0 && columns[1] == 0) {
        for (; x + 2 <= across && columns[x] == columns[x + 1]; x += 2) {
            const uint32_t v = line[columns[x]];
            Put2(out + x * 4, v, v);
        }
    }
    for (; x < across; ++x)
        std::memcpy(out + x * 4, &line[columns[x]], 4);
}

// A page row through the palette straight into a window row at 1.6x, five page pixels to
// eight window pixels in the scaler's pattern (0 0 1 2 2 3 4 4), for `groups` groups: one
// look-up per page pixel, no converted row in between, and the window row below written from
// the same registers when it shows the same page row (`twin`, else null). `doubled` holds each
// colour twice, for the pixels the pattern repeats.
void ScaleFiveToEight(const uint8_t* in, const uint32_t* palette, const uint64_t* doubled,
                      int groups, uint8_t* out, uint8_t* twin) {
#if defined(__SSE2__)
    for (int g = 0; g < groups; ++g, in += 5, out += 32) {
        const __m128i aa = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&doubled[in[0]]));
        const __m128i b = _mm_cvtsi32_si128(static_cast<int>(palette[in[1]]));
        const __m128i c = _mm_cvtsi32_si128(static_cast<int>(palette[in[2]]));
        const __m128i d = _mm_cvtsi32_si128(static_cast<int>(palette[in[3]]));
        const __m128i ee = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&doubled[in[4]]));
        const __m128i low = _mm_unpacklo_epi64(aa, _mm_unpacklo_epi32(b, c));
        const __m128i high = _mm_unpacklo_epi64(_mm_unpacklo_epi32(c, d), ee);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), high);
        if (twin) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(twin), low);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(twin + 16), high);
            twin += 32;
        }
    }
#else
    uint8_t* const start = out;
    for (int g = 0; g < groups; ++g, in += 5, out += 32) {
        const uint32_t b = palette[in[1]], c = palette[in[2]], d = palette[in[3]];
        std::memcpy(out, &doubled[in[0]], 8);
        Put2(out + 8, b, c);
        Put2(out + 16, c, d);
        std::memcpy(out + 24, &doubled[in[4]], 8);
    }
    if (twin) std::memcpy(twin, start, static_cast<size_t>(groups) * 32);
#endif
}

int GreatestCommonDivisor(int a, int b) {
    while (b != 0) {
        const int r = a % b;
        a = b;
        b = r;
    }
    return a;
}
}  // namespace

winx_SdlVideo::winx_SdlVideo(SDL_Window* window, int width, int height)
    : window(window), width(width), height(height) {
    if (!window) return;
    renderer = SDL_GetRenderer(window);
    if (!renderer) {
        renderer = SDL_CreateRenderer(window, -1, 0);
        ownsRenderer = renderer != nullptr;
    }
    if (!renderer) return;
    SDL_RenderSetLogicalSize(renderer, width, height);
    SDL_RendererInfo info;
    softwareRenderer =
        SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    textureFormat = TextureFormatFor(window);
    texture =
        SDL_CreateTexture(renderer, textureFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!texture && textureFormat != SDL_PIXELFORMAT_ARGB8888) {
        textureFormat = SDL_PIXELFORMAT_ARGB8888;
        texture =
            SDL_CreateTexture(renderer, textureFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
    }
    // The page is opaque: an alpha channel must not make the renderer blend.
    if (texture) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    textureMade = texture != nullptr;
    SDL_DisplayMode mode;
    int index = SDL_GetWindowDisplayIndex(window);
    if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) {
        refreshRate = mode.refresh_rate;
    }
    liveVideo = this;
}

winx_SdlVideo::~winx_SdlVideo() {
    if (liveVideo == this) liveVideo = nullptr;
    if (texture) SDL_DestroyTexture(texture);
    // A renderer found on the window belongs to whoever made it.
    if (ownsRenderer) SDL_DestroyRenderer(renderer);
}

void winx_ConvertPage(const uint8_t* pixels, int pitch, const uint32_t* argbPalette, int width,
                      int height, uint32_t* out, int outPitchBytes) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = pixels + static_cast<ptrdiff_t>(y) * pitch;
        uint32_t* dst = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) +
                                                    static_cast<ptrdiff_t>(y) * outPitchBytes);
        ConvertRow(src, argbPalette, width, dst);
    }
}

bool winx_SdlVideo::WindowTakesBands() const {
    // Only the software renderer draws into a window that keeps its pixels from one present
    // to the next; the others may hand back any of their buffers.
    if (!softwareRenderer || outputW <= 0 || outputH <= 0) return false;
    // No letterbox: the page fills the output on both axes.
    if (static_cast<int64_t>(outputW) * height != static_cast<int64_t>(outputH) * width)
        return false;
    return bandRows > 0;
}

SDL_Surface* winx_SdlVideo::DirectSurface() {
    if (!partialAllowed || !WindowTakesBands() || !window || width > kMaxPageWidth) return nullptr;
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface || surface->w != outputW || surface->h != outputH || !surface->format ||
        surface->format->BytesPerPixel != 4) {
        return nullptr;
    }
    if (surface->format->format != surfaceFormat) {
        surfaceFormat = surface->format->format;
        windowFilled = false;
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = shownArgb[i];
            surfaceNative[i] =
                SDL_MapRGBA(surface->format, static_cast<uint8_t>(c >> 16),
                            static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 0xFF);
            surfaceDoubled[i] = surfaceNative[i] * 0x100000001ull;
        }
    }
    if (static_cast<int>(columnOf.size()) != outputW) {
        // The scaler's own stepping: 16.16 fixed point from half a step in.
        columnOf.resize(static_cast<size_t>(outputW));
        const uint32_t step = (static_cast<uint32_t>(width) << 16) / static_cast<uint32_t>(outputW);
        uint32_t at = step / 2;
        for (int x = 0; x < outputW; ++x, at += step)
            columnOf[static_cast<size_t>(x)] = static_cast<uint16_t>(at >> 16);
        // How many leading groups of eight window columns follow the 1.6x pattern.
        static constexpr uint16_t kFiveToEight[8] = {0, 0, 1, 2, 2, 3, 4, 4};
        fiveToEightGroups = 0;
        for (int x = 0; x + 8 <= outputW; x += 8) {
            bool same = true;
            for (int i = 0; i < 8; ++i)
                same = same && columnOf[static_cast<size_t>(x + i)] ==
                                   fiveToEightGroups * 5 + kFiveToEight[i];
            if (!same) break;
            ++fiveToEightGroups;
        }
    }
    return surface;
}

void winx_SdlVideo::ScaleRows(const uint8_t* pixels, int pitch, int first, int last,
                              SDL_Surface* surface) const {
    // The window rows whose page rows lie in first .. last: whole scaling periods, so exact.
    const int top = static_cast<int>(static_cast<int64_t>(first) * outputH / height);
    const int bottom = static_cast<int>(static_cast<int64_t>(last + 1) * outputH / height);
    const uint32_t step = (static_cast<uint32_t>(height) << 16) / static_cast<uint32_t>(outputH);
    uint8_t* const base = static_cast<uint8_t*>(surface->pixels);
    const ptrdiff_t outPitch = surface->pitch;
    const uint16_t* columns = columnOf.data();
    const int across = outputW;
    const size_t rowBytes = static_cast<size_t>(across) * 4;
    const int done = fiveToEightGroups * 8;
    // The rest of the row (other scales) as a page row in the window's format, then spread
    // over the window row.
    uint32_t line[kMaxPageWidth];
    const auto sourceOf = [step](int y) {
        return static_cast<int>((step / 2 + static_cast<uint64_t>(y) * step) >> 16);
    };
    for (int y = top; y < bottom;) {
        const int source = sourceOf(y);
        // The window rows that show this page row: the second is written with the first, any
        // further ones copied from it.
        int rows = 1;
        while (y + rows < bottom && sourceOf(y + rows) == source)
            ++rows;
        uint8_t* out = base + y * outPitch;
        uint8_t* twin = rows > 1 ? out + outPitch : nullptr;
        const uint8_t* in = pixels + static_cast<ptrdiff_t>(source) * pitch;
        if (done > 0)
            ScaleFiveToEight(in, surfaceNative, surfaceDoubled, fiveToEightGroups, out, twin);
        if (done < across) {
            ConvertRow(in, surfaceNative, width, line);
            SpreadRow(line, columns + done, across - done, out + done * 4);
            if (twin) std::memcpy(twin + done * 4, out + done * 4, rowBytes - done * 4);
        }
        for (int r = 2; r < rows; ++r)
            std::memcpy(out + r * outPitch, out, rowBytes);
        y += rows;
    }
}

bool winx_SdlVideo::Show(const uint8_t* pixels, int pitch, const uint32_t* argbPalette,
                         const uint8_t* changedRows, bool rowsCoverPalette) {
    if (!Ok()) return false;
    // The borders (and after a movie, the whole window) are drawn afresh once a size changed.
    if (OutputChanged()) {
        overdrawn = false;
        windowFilled = false;
        SDL_GetRendererOutputSize(renderer, &outputW, &outputH);
        SDL_RenderGetLogicalSize(renderer, &logicalW, &logicalH);
        clears = 3;
        // The scaler steps through the page in 16.16 fixed point: a band of page rows lands on
        // whole window rows, exactly where the whole page puts them, when its height in page
        // rows and in window rows are in the page's ratio and that ratio is exact in 16.16
        // (1.6x: 5 rows become 8).
        bandRows = 0;
        if (outputH > 0) {
            const int divisor = GreatestCommonDivisor(height, outputH);
            const int pageRows = height / divisor, windowRows = outputH / divisor;
            if ((static_cast<int64_t>(pageRows) << 16) % windowRows == 0) bandRows = pageRows;
        }
    }
    // A new palette: its tables are built once, and the rows it shows anew are converted
    // through them; every row, unless the caller flagged those that hold a changed colour.
    if (!paletteKnown || std::memcmp(shownArgb, argbPalette, sizeof shownArgb) != 0) {
        if (!paletteKnown || !changedRows || !rowsCoverPalette) {
            textureFilled = false;
            windowFilled = false;
        }
        paletteKnown = true;
        std::memcpy(shownArgb, argbPalette, sizeof shownArgb);
        for (int pass = 0; pass < 2; ++pass) {
            const uint32_t formatCode = pass == 0 ? textureFormat : surfaceFormat;
            if (formatCode == 0) continue;
            SDL_PixelFormat* format = SDL_AllocFormat(formatCode);
            if (!format) return false;
            uint32_t* table = pass == 0 ? native : surfaceNative;
            for (int i = 0; i < 256; ++i) {
                const uint32_t c = argbPalette[i];
                table[i] = SDL_MapRGBA(format, static_cast<uint8_t>(c >> 16),
                                       static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 0xFF);
                if (pass == 1) surfaceDoubled[i] = table[i] * 0x100000001ull;
            }
            SDL_FreeFormat(format);
        }
    }

    // On the software renderer at an exact scale the page is scaled straight into the window,
    // which keeps its pixels between presents: only the changed rows are written.
    SDL_Surface* surface = DirectSurface();
    const bool everyRow = !changedRows || (surface ? !windowFilled : !textureFilled);
    const int period = surface ? bandRows : 1;
    struct Band {
        int first, last;
    };
    Band found[kMaxBands];
    int count = 0;
    bool overflow = false;
    if (!everyRow) {
        for (int start = 0; start < height; start += period) {
            const int end = std::min(start + period, height);
            bool changed = false;
            for (int y = start; y < end && !changed; ++y)
                changed = changedRows[y] != 0;
            if (!changed) continue;
            if (count > 0 && found[count - 1].last + 1 == start) {
                found[count - 1].last = end - 1;
            } else if (count < kMaxBands) {
                found[count++] = Band{start, end - 1};
            } else {
                found[count - 1].last = end - 1;
                overflow = true;
            }
        }
        if (overflow) {
            found[0].last = found[count - 1].last;
            count = 1;
        }
    } else {
        found[count++] = Band{0, height - 1};
    }

    if (surface) {
        // What the renderer still has queued must land before the page does.
        SDL_RenderFlush(renderer);
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
        for (int i = 0; i < count; ++i)
            ScaleRows(pixels, pitch, found[i].first, found[i].last, surface);
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        windowFilled = true;
        // The texture is not needed while pages go straight into the window: its memory goes
        // back, and it is made afresh (and filled whole) when the renderer scales again.
        if (texture) {
            SDL_DestroyTexture(texture);
            texture = nullptr;
        }
        textureFilled = false;
        if (!everyRow) ++partialPresents;
        SDL_RenderPresent(renderer);
        ++presents;
        return true;
    }
    windowFilled = false;

    if (!texture) {
        texture =
            SDL_CreateTexture(renderer, textureFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!texture) return false;
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
        count = 1;
        found[0] = Band{0, height - 1};
    }
    // Convert and upload only the rows in the bands: the texture keeps the others.
    for (int i = 0; i < count; ++i) {
        const SDL_Rect rows{0, found[i].first, width, found[i].last - found[i].first + 1};
        void* target = nullptr;
        int targetPitch = 0;
        if (SDL_LockTexture(texture, &rows, &target, &targetPitch) != 0) return false;
        winx_ConvertPage(pixels + static_cast<ptrdiff_t>(rows.y) * pitch, pitch, native, width,
                         rows.h, static_cast<uint32_t*>(target), targetPitch);
        SDL_UnlockTexture(texture);
    }
    textureFilled = true;
    if (clears > 0) {
        if (SDL_RenderClear(renderer) != 0) return false;
        --clears;
    }
    if (SDL_RenderCopy(renderer, texture, nullptr, nullptr) != 0) return false;
    SDL_RenderPresent(renderer);
    ++presents;
    return true;
}

bool winx_SdlVideo::OutputChanged() const {
    if (!Ok()) return false;
    int w = 0, h = 0, lw = 0, lh = 0;
    SDL_GetRendererOutputSize(renderer, &w, &h);
    SDL_RenderGetLogicalSize(renderer, &lw, &lh);
    return overdrawn || w != outputW || h != outputH || lw != logicalW || lh != logicalH;
}

bool winx_ReadWindowPixels(SDL_Renderer* renderer, std::vector<uint32_t>& out, int& width,
                           int& height) {
    out.clear();
    if (!renderer) return false;
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(renderer, &w, &h) != 0 || w <= 0 || h <= 0) return false;
    width = w;
    height = h;
    out.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    // Read in output pixels: the logical scaling would otherwise narrow the rectangle.
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(renderer, &lw, &lh);
    SDL_RenderSetLogicalSize(renderer, 0, 0);
    const bool read =
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, out.data(), w * 4) == 0;
    SDL_RenderSetLogicalSize(renderer, lw, lh);
    return read;
}

void winx_NoteForeignPresent() {
    if (liveVideo) liveVideo->overdrawn = true;
}

SDL_Renderer* winx_Renderer() {
    return liveVideo ? liveVideo->Renderer() : nullptr;
}
