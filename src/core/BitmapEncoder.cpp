#include "core/BitmapEncoder.h"

#include <algorithm>

namespace {

void PutWord(std::vector<uint8_t>& out, int32_t value) {
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

constexpr int kMaxItem = 255;
// A literal is at least four bytes long; shorter mixed stretches become runs of one or two.
constexpr int kMinLiteral = 4;
// Drawing cost goes with the number of items more than with their bytes, so equal pixels stay
// inside a literal unless the run is long enough to pay for the two items it adds.
constexpr int kRunWorthIt = 64;

enum class PixelKind { Opaque, Clear, Shade };

class RowEncoder {
public:
    RowEncoder(std::vector<uint8_t>& out, const BitmapKeys& keys) : out(out), keys(keys) {}

    PixelKind Kind(uint8_t value) const {
        if (keys.transparent == value) return PixelKind::Clear;
        if (keys.shade == value) return PixelKind::Shade;
        return PixelKind::Opaque;
    }

    // Encodes one row; a row that ends in transparent pixels just ends.
    void Encode(const uint8_t* row, int width) {
        int end = width;
        while (end > 0 && Kind(row[end - 1]) == PixelKind::Clear)
            --end;
        int x = 0;
        while (x < end) {
            PixelKind kind = Kind(row[x]);
            int n = 1;
            while (x + n < end && Kind(row[x + n]) == kind)
                ++n;
            if (kind == PixelKind::Opaque) {
                Opaque(row + x, n);
            } else {
                Skip(kind == PixelKind::Shade ? 2 : 3, n);
            }
            x += n;
        }
    }

private:
    void Skip(uint8_t code, int n) {
        while (n > 0) {
            const int step = std::min(n, kMaxItem);
            out.insert(out.end(), {0, code, static_cast<uint8_t>(step), 0});
            n -= step;
        }
    }

    void Run(uint8_t colour, int n) {
        while (n > 0) {
            const int step = std::min(n, kMaxItem);
            out.push_back(static_cast<uint8_t>(step));
            out.push_back(colour);
            n -= step;
        }
    }

    void Literal(const uint8_t* p, int n) {
        while (n > 0) {
            const int step = std::min(n, kMaxItem);
            if (step < kMinLiteral) {
                for (int i = 0; i < step; ++i)
                    Run(p[i], 1);
            } else {
                out.push_back(0);
                out.push_back(static_cast<uint8_t>(step));
                out.insert(out.end(), p, p + step);
                if (step & 1) out.push_back(0);
            }
            p += step;
            n -= step;
        }
    }

    static int RunLength(const uint8_t* p, int n) {
        int r = 1;
        while (r < n && p[r] == p[0])
            ++r;
        return r;
    }

    void Opaque(const uint8_t* p, int n) {
        int i = 0;
        int literalStart = 0;
        while (i < n) {
            int r = RunLength(p + i, n - i);
            if (r >= kRunWorthIt) {
                Literal(p + literalStart, i - literalStart);
                Run(p[i], r);
                i += r;
                literalStart = i;
            } else {
                i += r;
            }
        }
        Literal(p + literalStart, n - literalStart);
    }

    std::vector<uint8_t>& out;
    const BitmapKeys& keys;
};

}  // namespace

std::vector<uint8_t> BitmapHeader(int32_t frameWidth, int32_t frameHeight, int32_t originX,
                                  int32_t originY, int32_t rowStride, int32_t width, int32_t height,
                                  int32_t coding) {
    std::vector<uint8_t> out;
    for (int32_t word :
         {0, frameWidth, frameHeight, originX, originY, rowStride, width, height, coding}) {
        PutWord(out, word);
    }
    return out;
}

std::vector<uint8_t> EncodeBitmap(const uint8_t* pixels, int32_t width, int32_t height,
                                  int32_t pitch, const BitmapPlacement& placement,
                                  const BitmapKeys& keys) {
    int32_t frameWidth = placement.frameWidth ? placement.frameWidth : width;
    int32_t frameHeight = placement.frameHeight ? placement.frameHeight : height;
    std::vector<uint8_t> out = BitmapHeader(frameWidth, frameHeight, placement.originX,
                                            placement.originY, width, width, height, 1);
    RowEncoder rows(out, keys);
    // Trailing empty rows need no end-of-row items: the end of the picture covers them.
    int32_t lastRow = height - 1;
    auto rowIsClear = [&](int32_t y) {
        for (int32_t x = 0; x < width; ++x) {
            if (rows.Kind(pixels[y * pitch + x]) != PixelKind::Clear) return false;
        }
        return true;
    };
    while (lastRow >= 0 && rowIsClear(lastRow))
        --lastRow;
    for (int32_t y = 0; y <= lastRow; ++y) {
        rows.Encode(pixels + y * pitch, width);
        if (y < lastRow) out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

std::vector<uint8_t> EncodeRawBitmap(const uint8_t* pixels, int32_t width, int32_t height,
                                     int32_t pitch, const BitmapPlacement& placement) {
    int32_t frameWidth = placement.frameWidth ? placement.frameWidth : width;
    int32_t frameHeight = placement.frameHeight ? placement.frameHeight : height;
    std::vector<uint8_t> out = BitmapHeader(frameWidth, frameHeight, placement.originX,
                                            placement.originY, width, width, height, 0);
    for (int32_t y = 0; y < height; ++y) {
        out.insert(out.end(), pixels + y * pitch, pixels + y * pitch + width);
    }
    return out;
}
