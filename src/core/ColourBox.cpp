#include "core/ColourBox.h"

#include <cstddef>
#include <cstring>

#include "core/DisplayBase.h"
#include "core/Rect.h"

void ColourBox::Draw(const Point& centre) {
    DrawAt(Point(centre.x - size.w / 2, centre.y - size.h / 2));
}

void ColourBox::DrawAt(const Point& topLeft) {
    if (!display || size.w <= 0 || size.h <= 0) return;
    Rect area = display->GetClipRect().Intersect(Rect(topLeft, size));
    if (area.extent.w <= 0 || area.extent.h <= 0) return;
    uint8_t* pixels = nullptr;
    Size buffer;
    int32_t pitch = 0;
    display->GetFrameBuffer(pixels, buffer, pitch);
    // The clip rectangle may reach past the memory handed out.
    area = area.Intersect(Rect(Point(0, 0), buffer));
    if (pixels && area.extent.w > 0 && area.extent.h > 0) {
        for (int32_t y = area.origin.y; y < area.origin.y + area.extent.h; ++y) {
            std::memset(pixels + static_cast<ptrdiff_t>(y) * pitch + area.origin.x,
                        static_cast<uint8_t>(colour), static_cast<size_t>(area.extent.w));
        }
    }
    display->ReleaseFrameBuffer();
}
