#include "objects/SelectionMarker.h"

#include <cstddef>

#include "core/DisplayBase.h"
#include "core/Rect.h"

SelectionMarker::SelectionMarker(int32_t normalColour, int32_t warningColour, const Size& size)
    : Image(size), normalColour(normalColour), warningColour(warningColour) {}

SelectionMarker::~SelectionMarker() = default;

void SelectionMarker::SetSize(const Size& s) {
    if (s != size) size = s;
}

void SelectionMarker::TakeMeter(const Meter& meter) {
    if (meter.Percent() == damage.Percent()) return;
    damage.SetMax(meter.Max());
    damage.SetValue(meter.Value());
}

// Only the two bottom corners are drawn, and nothing once the bottom edge leaves the clip.
void SelectionMarker::Draw(const Point& centre) {
    if (!display) return;
    const Rect box(centre, size, 'c');
    const Rect area = display->GetClipRect().Intersect(box);
    if (area.extent.w <= 0 || area.extent.h <= 0) return;
    const int32_t left = area.origin.x;
    const int32_t top = area.origin.y;
    const int32_t right = left + area.extent.w - 1;
    const int32_t bottom = top + area.extent.h - 1;
    if (bottom != box.BottomRight().y || area.extent.h < kCornerLength) return;
    uint8_t* pixels = nullptr;
    Size buffer;
    int32_t pitch = 0;
    display->GetFrameBuffer(pixels, buffer, pitch);
    const uint8_t c =
        static_cast<uint8_t>(damage.Percent() > kWarningPercent ? warningColour : normalColour);
    auto plot = [&](int32_t x, int32_t y) {
        if (pixels && x >= 0 && y >= 0 && x < buffer.w && y < buffer.h)
            pixels[static_cast<ptrdiff_t>(y) * pitch + x] = c;
    };
    const bool wide = area.extent.w > kCornerLength - 1;
    if (left == box.origin.x && wide) {
        for (int32_t y = bottom - kCornerLength + 1; y < bottom; ++y)
            plot(left, y);
        for (int32_t x = left; x < left + kCornerLength; ++x)
            plot(x, bottom);
    }
    if (right == box.BottomRight().x && wide) {
        for (int32_t y = bottom - kCornerLength + 1; y < bottom; ++y)
            plot(right, y);
        for (int32_t x = right - kCornerLength + 1; x <= right; ++x)
            plot(x, bottom);
    }
    display->ReleaseFrameBuffer();
}
