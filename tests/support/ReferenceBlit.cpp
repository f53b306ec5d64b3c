#include "support/ReferenceBlit.h"

#include <algorithm>

namespace {

struct Visible {
    int left, top, right, bottom;
    bool Has(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

class Painter {
public:
    Painter(const RefParams& p, std::vector<uint8_t>& page, int width, const Visible& v)
        : p(p), page(page), width(width), v(v) {}

    bool ShadeSkipIsClear() const {
        switch (p.effect) {
            case RefEffect::Plain:
            case RefEffect::Blended:
                return true;
            case RefEffect::Tinted:
            case RefEffect::Silhouette:
                return p.skipShade == 1;
            default:
                return false;
        }
    }

    void Shape(int x, int y, uint8_t picture) {
        if (!v.Has(x, y)) return;
        uint8_t& s = page[y * width + x];
        switch (p.effect) {
            case RefEffect::Plain:
            case RefEffect::ShadeFill:
            case RefEffect::Shaded:
                s = picture;
                break;
            case RefEffect::Tinted:
                s = p.shadeTable[s];
                break;
            case RefEffect::Silhouette:
                s = static_cast<uint8_t>(p.colour);
                break;
            case RefEffect::Blended:
                s = p.blendTable[s * 256 + picture];
                break;
        }
    }

    void Shade(int x, int y) {
        if (!v.Has(x, y)) return;
        uint8_t& s = page[y * width + x];
        switch (p.effect) {
            case RefEffect::ShadeFill:
            case RefEffect::Silhouette:
                s = static_cast<uint8_t>(p.colour);
                break;
            case RefEffect::Shaded:
            case RefEffect::Tinted:
                s = p.shadeTable[s];
                break;
            default:
                break;
        }
    }

private:
    const RefParams& p;
    std::vector<uint8_t>& page;
    int width;
    Visible v;
};

}  // namespace

void ReferenceBlit(const std::vector<uint8_t>& data, const Point& topLeft, const Size& size,
                   int factor, const Rect& clip, const RefParams& params,
                   std::vector<uint8_t>& page, int width, int height) {
    const int w = size.w / factor;
    const int h = size.h / factor;
    if (w <= 0 || h <= 0) return;
    Visible v{std::max({topLeft.x, clip.origin.x, 0}), std::max({topLeft.y, clip.origin.y, 0}),
              std::min({topLeft.x + w - 1, clip.origin.x + clip.extent.w - 1, width - 1}),
              std::min({topLeft.y + h - 1, clip.origin.y + clip.extent.h - 1, height - 1})};
    if (clip.extent.w <= 0 || clip.extent.h <= 0 || v.left > v.right || v.top > v.bottom) return;
    Painter paint(params, page, width, v);
    const bool shadeClear = paint.ShadeSkipIsClear();
    const int f = factor;

    long x = topLeft.x, y = topLeft.y;
    int sourceRow = 0;
    size_t i = 0;
    auto sampled = [&] { return sourceRow % f == 0; };
    while (y <= v.bottom && i + 2 <= data.size()) {
        int a = data[i], b = data[i + 1];
        i += 2;
        if (a == 0 && b == 1) break;
        if (a == 0 && b == 0) {
            if (f == 1 || sampled()) {
                x = topLeft.x;
                ++y;
            }
            ++sourceRow;
            continue;
        }
        if (a == 0 && (b == 2 || b == 3)) {
            if (i + 2 > data.size()) break;
            int dx = data[i], dy = data[i + 1];
            i += 2;
            bool shade = b == 2 && !shadeClear;
            if (f == 1) {
                if (shade) {
                    // Reading order from the pen (included) to the landing place (excluded).
                    bool ended = false;
                    for (int r = 0; r <= dy; ++r) {
                        long row = y + r;
                        if (r > 0 && row > v.bottom) {
                            ended = true;
                            break;
                        }
                        long from = r == 0 ? x : topLeft.x;
                        long to = r == dy ? x + dx - 1 : v.right;
                        for (long c = std::max<long>(from, v.left);
                             c <= std::min<long>(to, v.right); ++c) {
                            if (row >= v.top)
                                paint.Shade(static_cast<int>(c), static_cast<int>(row));
                        }
                    }
                    if (ended) return;
                }
                x += dx;
                y += dy;
                continue;
            }
            // Scaled: one move of dx / f on the first sampled row the skip touches.
            long start = std::max<long>(x, v.left);
            bool moved = false;
            long spanEnd = start - 1;
            auto move = [&] {
                x += dx / f;
                moved = true;
                spanEnd = std::min<long>(x, v.right);
            };
            auto treat = [&] {
                if (!shade || y < v.top) return;
                for (long c = start; c <= spanEnd; ++c)
                    paint.Shade(static_cast<int>(c), static_cast<int>(y));
            };
            if (sampled()) {
                move();
                treat();
            }
            bool ended = false;
            for (int k = 0; k < dy; ++k) {
                if (sampled()) {
                    if (!moved) move();
                    treat();
                    ++y;
                    if (shade && y > v.bottom) {
                        ended = true;
                        break;
                    }
                }
                ++sourceRow;
            }
            if (ended) return;
            continue;
        }
        // A literal (a == 0) or a solid run (a > 0).
        bool literal = a == 0;
        int n = literal ? b : a;
        if (literal && i + n > data.size()) break;
        const uint8_t* bytes = literal ? &data[i] : nullptr;
        if (f == 1) {
            for (int k = 0; k < n; ++k) {
                if (y >= v.top)
                    paint.Shape(static_cast<int>(x + k), static_cast<int>(y),
                                literal ? bytes[k] : static_cast<uint8_t>(b));
            }
            x += n;
        } else if (sampled()) {
            // Output pixel j stands for the whole source group j*f .. j*f+f-1.
            for (int j = 0; (j + 1) * f <= n; ++j) {
                if (y >= v.top) {
                    paint.Shape(static_cast<int>(x + j), static_cast<int>(y),
                                literal ? bytes[j * f] : static_cast<uint8_t>(b));
                }
            }
            x += n / f;
        }
        if (literal) i += n + (n % 2);
    }
}
