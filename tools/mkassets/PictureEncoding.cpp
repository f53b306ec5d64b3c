#include "PictureEncoding.h"

#include <algorithm>
#include <array>

#include "Canvas.h"
#include "core/BitmapEncoder.h"

namespace mkassets {

namespace {

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

}  // namespace

std::vector<uint8_t> EncodePicture(const Canvas& canvas) {
    const Box box = DrawnBox(canvas);
    if (box.width == 0) {
        // Nothing drawn (a blank glyph): the frame box alone, and the end of the picture.
        std::vector<uint8_t> out = BitmapHeader(canvas.Width(), canvas.Height(), 0, 0, 0, 0, 0, 1);
        out.insert(out.end(), {0, 1});
        return out;
    }
    // The shared encoder tells clear and shade pixels by key values, so pick two indices the
    // picture does not draw with.
    std::array<bool, 256> used{};
    for (int y = box.top; y < box.top + box.height; ++y) {
        for (int x = box.left; x < box.left + box.width; ++x) {
            if (canvas.CoverAt(x, y) == Canvas::Cover::Solid) used[canvas.ColourAt(x, y)] = true;
        }
    }
    std::vector<int> keys;
    for (int value = 0; value < 256 && keys.size() < 2; ++value) {
        if (!used[static_cast<size_t>(value)]) keys.push_back(value);
    }
    if (keys.size() < 2) return {};  // every index drawn: no key left (never in our pictures)
    const auto clearKey = static_cast<uint8_t>(keys[0]);
    const auto shadeKey = static_cast<uint8_t>(keys[1]);
    std::vector<uint8_t> pixels(static_cast<size_t>(box.width) * box.height);
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            const int cx = box.left + x, cy = box.top + y;
            uint8_t& pixel = pixels[static_cast<size_t>(y) * box.width + x];
            switch (canvas.CoverAt(cx, cy)) {
                case Canvas::Cover::Solid:
                    pixel = canvas.ColourAt(cx, cy);
                    break;
                case Canvas::Cover::Shade:
                    pixel = shadeKey;
                    break;
                case Canvas::Cover::Clear:
                    pixel = clearKey;
                    break;
            }
        }
    }
    BitmapPlacement placement;
    placement.originX = box.left;
    placement.originY = box.top;
    placement.frameWidth = canvas.Width();
    placement.frameHeight = canvas.Height();
    BitmapKeys bitmapKeys;
    bitmapKeys.transparent = clearKey;
    bitmapKeys.shade = shadeKey;
    return EncodeBitmap(pixels.data(), box.width, box.height, box.width, placement, bitmapKeys);
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

}  // namespace mkassets
