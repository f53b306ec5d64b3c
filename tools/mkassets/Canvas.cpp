#include "Canvas.h"

#include <cstdlib>

namespace mkassets {

Canvas::Canvas(int w, int h)
    : width(w < 0 ? 0 : w),
      height(h < 0 ? 0 : h),
      colours(static_cast<size_t>(width) * height, 0),
      covers(static_cast<size_t>(width) * height, Cover::Clear) {}

Canvas::~Canvas() = default;

void Canvas::Plot(int x, int y, uint8_t colour) {
    if (!Inside(x, y)) return;
    colours[Index(x, y)] = colour;
    covers[Index(x, y)] = Cover::Solid;
}

void Canvas::PlotShade(int x, int y) {
    if (!Inside(x, y)) return;
    colours[Index(x, y)] = 0;
    covers[Index(x, y)] = Cover::Shade;
}

void Canvas::Clear(int x, int y) {
    if (!Inside(x, y)) return;
    colours[Index(x, y)] = 0;
    covers[Index(x, y)] = Cover::Clear;
}

void Canvas::FillRect(int x, int y, int w, int h, uint8_t colour) {
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col)
            Plot(col, row, colour);
    }
}

void Canvas::FillCircle(int cx, int cy, int radius, uint8_t colour) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (dx * dx + dy * dy <= radius * radius + radius) Plot(cx + dx, cy + dy, colour);
        }
    }
}

void Canvas::Line(int x0, int y0, int x1, int y1, uint8_t colour) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        Plot(x0, y0, colour);
        if (x0 == x1 && y0 == y1) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void Canvas::Paste(const Canvas& other, int x, int y) {
    for (int row = 0; row < other.height; ++row) {
        for (int col = 0; col < other.width; ++col) {
            switch (other.CoverAt(col, row)) {
                case Cover::Solid:
                    Plot(x + col, y + row, other.ColourAt(col, row));
                    break;
                case Cover::Shade:
                    PlotShade(x + col, y + row);
                    break;
                case Cover::Clear:
                    break;
            }
        }
    }
}

}  // namespace mkassets
