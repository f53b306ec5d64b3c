#pragma once
// The run-length picture decoders: one 1:1 walker and one 1:2 / 1:4 walker, each a template
// over an effect policy that says what a covered pixel becomes and what a shade area does.
// Every effect is thus its own complete decoder with no per-pixel tests beyond clipping.
// The 1:1 walker also takes a clip policy: a picture whose stream is known to stay inside its
// own rectangle (FitsPicture) and that is wholly visible is drawn without clipping any item.
//
// A policy provides:
//   bool ShadeIsClear() const                    shade skips are decoded as clear skips
//   void Copy(uint8_t* dst, const uint8_t* src, int n)              literal at 1:1
//   void CopyStrided(uint8_t* dst, const uint8_t* src, int n, int step)  literal scaled
//   void Fill(uint8_t* dst, uint8_t colour, int n)                   solid run
//   void Shade(uint8_t* dst, int n)                                  shade area
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/ByteTable256.h"
#include "core/ShadeTable.h"

// The visible rectangle, inclusive edges, in frame-buffer coordinates.
struct BlitBounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;
};

struct BlitTarget {
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    uint8_t* Row(int32_t y) const { return pixels + static_cast<ptrdiff_t>(y) * pitch; }
};

namespace rle {

// A damaged stream may push the pen far right on one row; capping it keeps the arithmetic in
// range without changing what is drawn (everything that far right is clipped).
constexpr int32_t kPenLimit = 1 << 28;

inline int32_t Advance(int32_t x, int32_t n) {
    x += n;
    return std::min(x, kPenLimit);
}

// The shade area of a skip at 1:1: every pixel passed over in reading order, from the pen
// (included) to the landing position (excluded), inside the visible rectangle. Returns false
// when the area runs below the visible rectangle, which ends the picture.
template <class Fx>
bool ShadeArea(const Fx& fx, const BlitTarget& t, const BlitBounds& v, int32_t left, int32_t& x,
               int32_t& y, int dx, int dy) {
    int32_t col = x;
    for (int i = 0; i < dy; ++i) {
        if (y >= v.top) {
            const int32_t l = std::max(col, v.left);
            if (l <= v.right) fx.Shade(t.Row(y) + l, v.right - l + 1);
        }
        ++y;
        if (y > v.bottom) return false;
        col = left;
    }
    if (y >= v.top) {
        const int32_t l = std::max(col, v.left);
        const int32_t r = std::min(x + dx - 1, v.right);
        if (r >= l) fx.Shade(t.Row(y) + l, r - l + 1);
    }
    x = Advance(x, dx);
    return true;
}

// Clip policies of the 1:1 walker. Every item is clipped to the visible rectangle, and the walk
// stops at the end of the data...
struct ClipItems {
    static constexpr bool kClips = true;
};
// ...or nothing is clipped or bounded: only for a stream that FitsPicture, drawn where the
// visible rectangle is its whole picture rectangle.
struct WhollyVisible {
    static constexpr bool kClips = false;
};

// Flattened, and kept out of the draw that picks it: otherwise the compiler leaves the span
// copies of the larger instantiations as calls, which cost a third of a small sprite's draw.
template <class Fx, class Clip = ClipItems>
[[gnu::flatten, gnu::noinline]] void Blit(const uint8_t* data, size_t size, int32_t left,
                                          int32_t top, const BlitBounds& v, const BlitTarget& t,
                                          const Fx& fx) {
    constexpr bool kClips = Clip::kClips;
    const bool shadeIsClear = fx.ShadeIsClear();
    const uint8_t* p = data;
    const uint8_t* const end = data + size;
    int32_t x = left;
    int32_t y = top;
    // Copies of what the loop reads: the frame buffer's bytes may alias anything, so members
    // read through references would be fetched again after every span written.
    uint8_t* const pixels = t.pixels;
    const ptrdiff_t pitch = t.pitch;
    const int32_t bottom = v.bottom;
    // The pen's row, kept as an offset so that rows outside the buffer form no pointer.
    ptrdiff_t rowOffset = static_cast<ptrdiff_t>(y) * pitch;
    bool rowVisible = y >= v.top;
    auto span = [&](int32_t n, int32_t& l, int32_t& r) {
        l = std::max(x, v.left);
        r = std::min(x + n - 1, v.right);
        return r >= l;
    };
    if (y > bottom) return;
    for (;;) {
        if (kClips && end - p < 2) return;
        const int a = p[0];
        const int b = p[1];
        p += 2;
        if (a != 0) {
            if constexpr (kClips) {
                int32_t l, r;
                if (rowVisible && span(a, l, r)) {
                    fx.Fill(pixels + rowOffset + l, static_cast<uint8_t>(b), r - l + 1);
                }
                x = Advance(x, a);
            } else {
                fx.Fill(pixels + rowOffset + x, static_cast<uint8_t>(b), a);
                x += a;
            }
            continue;
        }
        if (b >= 4) {
            if constexpr (kClips) {
                if (end - p < b) return;
                int32_t l, r;
                if (rowVisible && span(b, l, r)) {
                    fx.Copy(pixels + rowOffset + l, p + (l - x), r - l + 1);
                }
                x = Advance(x, b);
            } else {
                fx.Copy(pixels + rowOffset + x, p, b);
                x += b;
            }
            p += b + (b & 1);
            continue;
        }
        if (b == 0) {
            x = left;
            if (++y > bottom) return;
            rowOffset += pitch;
            if constexpr (kClips) rowVisible = y >= v.top;
            continue;
        }
        if (b == 1) return;
        if (kClips && end - p < 2) return;
        const int dx = p[0];
        const int dy = p[1];
        p += 2;
        if (b == 2 && !shadeIsClear) {
            if (!ShadeArea(fx, t, v, left, x, y, dx, dy)) return;
        } else {
            x = kClips ? Advance(x, dx) : x + dx;
            y += dy;
        }
        if (dy == 0) continue;
        if (y > bottom) return;
        rowOffset = static_cast<ptrdiff_t>(y) * pitch;
        if constexpr (kClips) rowVisible = y >= v.top;
    }
}

// Whether the stream, drawn at 1:1 with its whole picture rectangle visible, is drawn without
// clipping anything: every item lies complete within the data, no run, literal or skip carries
// the pen past the right edge, and the walk ends (end of picture, or the pen below the last row)
// before the data does. Walked once when the picture is read; the encoder's pictures all fit.
inline bool FitsPicture(const uint8_t* data, size_t size, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return false;
    const ptrdiff_t length = static_cast<ptrdiff_t>(size);
    ptrdiff_t pos = 0;
    int32_t x = 0;
    int32_t y = 0;
    for (;;) {
        if (length - pos < 2) return false;
        const int a = data[pos];
        const int b = data[pos + 1];
        pos += 2;
        if (a != 0 || b >= 4) {
            const int n = a != 0 ? a : b;
            if (a == 0) {
                if (length - pos < n) return false;
                pos += n + (n & 1);
            }
            x += n;
            if (x > width) return false;
            continue;
        }
        if (b == 1) return true;
        int dx = 0;
        int dy = 1;
        if (b != 0) {
            if (length - pos < 2) return false;
            dx = data[pos];
            dy = data[pos + 1];
            pos += 2;
        }
        x = b == 0 ? 0 : x + dx;
        y += dy;
        if (y >= height) return true;
        if (x > width) return false;
    }
}

// The shade area of a skip at 1:2 or 1:4. S..E is the span in output pixels measured from
// the top-left column; it is treated on every sampled source row the skip crosses, so a skip
// that starts on a sampled row with DY > 0 treats that row twice and not the landing row.
template <class Fx>
bool ShadeAreaScaled(const Fx& fx, const BlitTarget& t, const BlitBounds& v, int32_t left,
                     int32_t& x, int32_t& y, int32_t& sourceRow, int dx, int dy, int shift) {
    const int32_t mask = (1 << shift) - 1;
    int32_t p = x - left;
    int32_t s = p;
    if (x < v.left) s += v.left - x;
    int32_t e = s;
    bool moved = false;
    auto move = [&] {
        x = Advance(x, dx >> shift);
        moved = true;
        p = x - left;
        e = p;
        if (left + e > v.right) e = v.right - left;
    };
    auto treat = [&] {
        if (e - s + 1 > 0 && y >= v.top) fx.Shade(t.Row(y) + left + s, e - s + 1);
    };
    if ((sourceRow & mask) == 0) {
        move();
        treat();
    }
    for (int i = 0; i < dy; ++i) {
        if ((sourceRow & mask) == 0) {
            if (!moved) move();
            treat();
            ++y;
            if (y > v.bottom) return false;
        }
        ++sourceRow;
    }
    return true;
}

// Left and right clipping of a literal or run of n source pixels at the pen, scaled by
// 1 << shift. Gives the first output column, the first source byte and the output count.
struct ScaledSpan {
    int32_t column;
    int32_t sourceStart;
    int32_t count;
};

inline ScaledSpan ClipScaled(int32_t oldX, int32_t newX, int n, int shift, const BlitBounds& v) {
    const int64_t l = std::max<int64_t>((static_cast<int64_t>(v.left) - oldX) << shift, 0);
    const int64_t r = std::max<int64_t>(
        (static_cast<int64_t>(newX) - (static_cast<int64_t>(v.right) + 1)) << shift, 0);
    int64_t remaining = n - l - r;
    ScaledSpan span{};
    if (remaining <= 0) return span;
    span.column = oldX + static_cast<int32_t>(l >> shift);
    span.sourceStart = static_cast<int32_t>(l);
    span.count = static_cast<int32_t>(remaining >> shift);
    return span;
}

template <class Fx>
void BlitScaled(const uint8_t* data, size_t size, int32_t left, int32_t top, const BlitBounds& v,
                const BlitTarget& t, const Fx& fx, int factor) {
    const int shift = factor == 4 ? 2 : 1;
    const int32_t mask = factor - 1;
    const bool shadeIsClear = fx.ShadeIsClear();
    size_t pos = 0;
    int32_t x = left;
    int32_t y = top;
    int32_t sourceRow = 0;
    for (;;) {
        if (y > v.bottom || pos + 2 > size) return;
        const int a = data[pos];
        const int b = data[pos + 1];
        pos += 2;
        const bool sampled = (sourceRow & mask) == 0;
        if (a != 0) {
            if (sampled) {
                int32_t old = x;
                x = Advance(x, a >> shift);
                if (y >= v.top) {
                    ScaledSpan span = ClipScaled(old, x, a, shift, v);
                    if (span.count > 0) {
                        fx.Fill(t.Row(y) + span.column, static_cast<uint8_t>(b), span.count);
                    }
                }
            }
            continue;
        }
        switch (b) {
            case 0:
                if (sampled) {
                    x = left;
                    ++y;
                }
                ++sourceRow;
                break;
            case 1:
                return;
            case 2:
            case 3: {
                if (pos + 2 > size) return;
                const int dx = data[pos];
                const int dy = data[pos + 1];
                pos += 2;
                if (b == 2 && !shadeIsClear) {
                    if (!ShadeAreaScaled(fx, t, v, left, x, y, sourceRow, dx, dy, shift)) return;
                } else {
                    bool moved = false;
                    if (sampled) {
                        x = Advance(x, dx >> shift);
                        moved = true;
                    }
                    for (int i = 0; i < dy; ++i) {
                        if ((sourceRow & mask) == 0) {
                            if (!moved) {
                                x = Advance(x, dx >> shift);
                                moved = true;
                            }
                            ++y;
                        }
                        ++sourceRow;
                    }
                }
                break;
            }
            default: {
                const int n = b;
                if (pos + n > size) return;
                if (sampled) {
                    int32_t old = x;
                    x = Advance(x, n >> shift);
                    if (y >= v.top) {
                        ScaledSpan span = ClipScaled(old, x, n, shift, v);
                        if (span.count > 0) {
                            fx.CopyStrided(t.Row(y) + span.column, data + pos + span.sourceStart,
                                           span.count, factor);
                        }
                    }
                }
                pos += n + (n & 1);
                break;
            }
        }
    }
}

// Copies and fills of one item (at most 255 bytes) done inline: 16- and 32-byte moves with an
// overlapping last move, so short spans cost no library call and a span of up to 64 bytes no
// loop. Bytes are never written outside the span.
inline void CopySpan(uint8_t* dst, const uint8_t* src, int n) {
    if (n >= 16) {
        if (n > 64) {
            int i = 0;
            for (; i + 16 <= n; i += 16)
                std::memcpy(dst + i, src + i, 16);
            if (i < n) std::memcpy(dst + n - 16, src + n - 16, 16);
            return;
        }
        std::memcpy(dst, src, 16);
        if (n > 32) {
            std::memcpy(dst + 16, src + 16, 16);
            std::memcpy(dst + n - 32, src + n - 32, 16);
        }
        std::memcpy(dst + n - 16, src + n - 16, 16);
    } else if (n >= 8) {
        uint64_t head, tail;
        std::memcpy(&head, src, 8);
        std::memcpy(&tail, src + n - 8, 8);
        std::memcpy(dst, &head, 8);
        std::memcpy(dst + n - 8, &tail, 8);
    } else if (n >= 4) {
        uint32_t head, tail;
        std::memcpy(&head, src, 4);
        std::memcpy(&tail, src + n - 4, 4);
        std::memcpy(dst, &head, 4);
        std::memcpy(dst + n - 4, &tail, 4);
    } else {
        for (int i = 0; i < n; ++i)
            dst[i] = src[i];
    }
}

inline void FillSpan(uint8_t* dst, uint8_t colour, int n) {
    if (n >= 16) {
        uint8_t pattern[16];
        std::memset(pattern, colour, 16);
        int i = 0;
        for (; i + 16 <= n; i += 16)
            std::memcpy(dst + i, pattern, 16);
        if (i < n) std::memcpy(dst + n - 16, pattern, 16);
    } else if (n >= 4) {
        // The colour replicated into all four bytes.
        const uint32_t word = colour * 0x01010101u;
        int i = 0;
        for (; i + 4 <= n; i += 4)
            std::memcpy(dst + i, &word, 4);
        if (i < n) std::memcpy(dst + n - 4, &word, 4);
    } else {
        for (int i = 0; i < n; ++i)
            dst[i] = colour;
    }
}

// The effects. Plain, shade-filled and shaded copy the picture's indices; tinted and blended
// look up what is already on the screen; the silhouette paints one colour.
struct PlainEffect {
    bool ShadeIsClear() const { return true; }
    void Copy(uint8_t* dst, const uint8_t* src, int n) const { CopySpan(dst, src, n); }
    void CopyStrided(uint8_t* dst, const uint8_t* src, int n, int step) const {
        for (int i = 0; i < n; ++i)
            dst[i] = src[i * step];
    }
    void Fill(uint8_t* dst, uint8_t colour, int n) const { FillSpan(dst, colour, n); }
    void Shade(uint8_t*, int) const {}
};

struct ShadeFillEffect : PlainEffect {
    explicit ShadeFillEffect(uint8_t colour) : colour(colour) {}
    bool ShadeIsClear() const { return false; }
    void Shade(uint8_t* dst, int n) const { FillSpan(dst, colour, n); }
    uint8_t colour;
};

struct ShadedEffect : PlainEffect {
    explicit ShadedEffect(const ShadeTable& table) : table(table.entries) {}
    bool ShadeIsClear() const { return false; }
    void Shade(uint8_t* dst, int n) const {
        for (int i = 0; i < n; ++i)
            dst[i] = table[dst[i]];
    }
    const uint8_t* table;
};

struct TintedEffect {
    TintedEffect(const ShadeTable& table, int32_t skipShade)
        : table(table.entries), skipShade(skipShade == 1) {}
    bool ShadeIsClear() const { return skipShade; }
    void Tint(uint8_t* dst, int n) const {
        for (int i = 0; i < n; ++i)
            dst[i] = table[dst[i]];
    }
    void Copy(uint8_t* dst, const uint8_t*, int n) const { Tint(dst, n); }
    void CopyStrided(uint8_t* dst, const uint8_t*, int n, int) const { Tint(dst, n); }
    void Fill(uint8_t* dst, uint8_t, int n) const { Tint(dst, n); }
    void Shade(uint8_t* dst, int n) const { Tint(dst, n); }
    const uint8_t* table;
    bool skipShade;
};

struct SilhouetteEffect {
    SilhouetteEffect(uint8_t colour, int32_t skipShade)
        : colour(colour), skipShade(skipShade == 1) {}
    bool ShadeIsClear() const { return skipShade; }
    void Copy(uint8_t* dst, const uint8_t*, int n) const { FillSpan(dst, colour, n); }
    void CopyStrided(uint8_t* dst, const uint8_t*, int n, int) const { FillSpan(dst, colour, n); }
    void Fill(uint8_t* dst, uint8_t, int n) const { FillSpan(dst, colour, n); }
    void Shade(uint8_t* dst, int n) const { FillSpan(dst, colour, n); }
    uint8_t colour;
    bool skipShade;
};

struct BlendedEffect {
    explicit BlendedEffect(const ByteTable256& table) : table(table.table.data()) {}
    bool ShadeIsClear() const { return true; }
    void Copy(uint8_t* dst, const uint8_t* src, int n) const {
        for (int i = 0; i < n; ++i)
            dst[i] = table[dst[i] * 256 + src[i]];
    }
    void CopyStrided(uint8_t* dst, const uint8_t* src, int n, int step) const {
        for (int i = 0; i < n; ++i)
            dst[i] = table[dst[i] * 256 + src[i * step]];
    }
    void Fill(uint8_t* dst, uint8_t colour, int n) const {
        for (int i = 0; i < n; ++i)
            dst[i] = table[dst[i] * 256 + colour];
    }
    void Shade(uint8_t*, int) const {}
    const uint8_t* table;
};

}  // namespace rle
