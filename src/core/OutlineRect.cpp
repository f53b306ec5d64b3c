#include "core/OutlineRect.h"

#include <cstddef>

#include "core/DisplayBase.h"
#include "core/Rect.h"

void OutlineRect::Draw(const Point& centre) {
    DrawOutlineRect(Point(centre.x - size.w / 2, centre.y - size.h / 2));
}

void OutlineRect::DrawOutlineRect(const Point& topLeft) {
    if (!display || size.w <= 0 || size.h <= 0) return;
    const Rect box(topLeft, size);
    const Rect area = display->GetClipRect().Intersect(box);
    if (area.extent.w <= 0 || area.extent.h <= 0) return;
    uint8_t* pixels = nullptr;
    Size buffer;
    int32_t pitch = 0;
    display->GetFrameBuffer(pixels, buffer, pitch);
    const uint8_t c = static_cast<uint8_t>(colour);
    auto plot = [&](int32_t x, int32_t y) {
        if (pixels && x >= 0 && y >= 0 && x < buffer.w && y < buffer.h) {
            pixels[static_cast<ptrdiff_t>(y) * pitch + x] = c;
        }
    };
    const int32_t left = area.origin.x;
    const int32_t top = area.origin.y;
    const int32_t right = left + area.extent.w - 1;
    const int32_t bottom = top + area.extent.h - 1;
    // Side columns leave out the first and last row of the visible part.
    if (box.origin.x == left) {
        for (int32_t y = top + 1; y < bottom; ++y)
            plot(left, y);
    }
    if (box.origin.x + box.extent.w - 1 == right) {
        for (int32_t y = top + 1; y < bottom; ++y)
            plot(right, y);
    }
    if (box.origin.y == top) {
        for (int32_t x = left; x <= right; ++x)
            plot(x, top);
    }
    if (box.origin.y + box.extent.h - 1 == bottom) {
        for (int32_t x = left; x <= right; ++x)
            plot(x, bottom);
    }
    display->ReleaseFrameBuffer();
}
