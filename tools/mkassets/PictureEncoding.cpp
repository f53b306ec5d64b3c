#include "PictureEncoding.h"

#include <algorithm>

#include "Canvas.h"

namespace {

constexpr int kMaxItem = 255;
constexpr int kShortestLiteral = 4;

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

Box DrawnBox(const Canvas& canvas) {
    int left = canvas.Width(), top = canvas.Height(), right = -1, bottom = -1;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.CoverAt(x, y) == Canvas::Cover::Clear) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

void PutWord(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

void PutSkips(std::vector<uint8_t>& out, uint8_t code, int length) {
    while (length > 0) {
        const int step = std::min(length, kMaxItem);
        out.insert(out.end(), {0, code, static_cast<uint8_t>(step), 0});
        length -= step;
    }
}

void PutLiteral(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return;
    if (bytes.size() < kShortestLiteral) {
        // Codes 0 to 3 after a zero are taken, so short literals go out as single-pixel runs.
        for (uint8_t colour : bytes)
            out.insert(out.end(), {1, colour});
        return;
    }
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
    if (bytes.size() % 2 != 0) out.push_back(0);
}

// One span of solid pixels: runs of three or more equal colours become runs, the rest literals.
void PutSolid(std::vector<uint8_t>& out, const Canvas& canvas, int y, int from, int to) {
    std::vector<uint8_t> literal;
    int x = from;
    while (x < to) {
        const uint8_t colour = canvas.ColourAt(x, y);
        int run = 1;
        while (x + run < to && run < kMaxItem && canvas.ColourAt(x + run, y) == colour)
            ++run;
        if (run >= 3) {
            PutLiteral(out, literal);
            literal.clear();
            out.insert(out.end(), {static_cast<uint8_t>(run), colour});
        } else {
            for (int i = 0; i < run; ++i) {
                literal.push_back(colour);
                if (literal.size() == kMaxItem) {
                    PutLiteral(out, literal);
                    literal.clear();
                }
            }
        }
        x += run;
    }
    PutLiteral(out, literal);
}

}  // namespace

std::vector<uint8_t> EncodePicture(const Canvas& canvas) {
    const Box box = DrawnBox(canvas);
    std::vector<uint8_t> out;
    for (int word : {0, canvas.Width(), canvas.Height(), box.left, box.top, box.width, box.width,
                     box.height, 1}) {
        PutWord(out, word);
    }
    for (int row = 0; row < box.height; ++row) {
        const int y = box.top + row;
        const int end = box.left + box.width;
        int x = box.left;
        while (x < end) {
            const Canvas::Cover cover = canvas.CoverAt(x, y);
            int spanEnd = x + 1;
            while (spanEnd < end && canvas.CoverAt(spanEnd, y) == cover)
                ++spanEnd;
            if (cover == Canvas::Cover::Solid) {
                PutSolid(out, canvas, y, x, spanEnd);
            } else if (cover == Canvas::Cover::Shade) {
                PutSkips(out, 2, spanEnd - x);
            } else if (spanEnd < end) {
                PutSkips(out, 3, spanEnd - x);  // a clear tail needs no item: the row ends
            }
            x = spanEnd;
        }
        if (row + 1 < box.height) out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

bool DecodePicture(const std::vector<uint8_t>& bytes, Canvas& out) {
    if (bytes.size() < 18) return false;
    auto word = [&bytes](size_t i) {
        return static_cast<int16_t>((bytes[i * 2] << 8) | bytes[i * 2 + 1]);
    };
    const int frameWidth = word(1), frameHeight = word(2), originX = word(3), originY = word(4);
    if (word(8) != 1 || frameWidth < 0 || frameHeight < 0) return false;
    out = Canvas(frameWidth, frameHeight);
    size_t at = 18;
    int x = originX, y = originY;
    while (at + 1 < bytes.size()) {
        const uint8_t a = bytes[at], b = bytes[at + 1];
        at += 2;
        if (a != 0) {
            for (int i = 0; i < a; ++i)
                out.Plot(x++, y, b);
        } else if (b == 0) {
            x = originX;
            ++y;
        } else if (b == 1) {
            return true;
        } else if (b == 2 || b == 3) {
            if (at + 1 >= bytes.size()) return false;
            const int dx = bytes[at], dy = bytes[at + 1];
            at += 2;
            if (b == 2) {
                for (int i = 0; i < dx; ++i)
                    out.PlotShade(x + i, y);
            }
            x += dx;
            y += dy;
        } else {
            if (at + b > bytes.size()) return false;
            for (int i = 0; i < b; ++i)
                out.Plot(x++, y, bytes[at + static_cast<size_t>(i)]);
            at += b + (b % 2);
        }
    }
    return false;  // no end-of-picture item
}
