#include "core/DisplayBase.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "core/ColourBox.h"
#include "core/FatalError.h"
#include "core/Image.h"
#include "core/Palette.h"
#include "core/SpriteSet.h"
#include "core/WindowProc.h"

DisplayBase* display = nullptr;
int32_t cursorDrawing = 0;

namespace {
constexpr char kPalettePack[] = "7a0txxxx99s999.pal";
}  // namespace

void InstallPackPalette(int32_t row) {
    std::string fault;
    std::unique_ptr<Palette> palette = LoadPackPalette(kPalettePack, 0, row, &fault);
    if (!palette) ResourceMissing(fault);
    if (display) {
        display->RedrawAll();
        display->SetPalette(palette.release());
    }
}

DisplayBase::DisplayBase() : saveBuffer(kSaveWidth * kSaveHeight, 0) {
    display = this;
}

DisplayBase::~DisplayBase() {
    if (display == this) display = nullptr;
}

void DisplayBase::Present() {
    DrawCursor();
}

void DisplayBase::SetPalette(Palette* newPalette) {
    if (newPalette == palette.get()) return;
    palette.reset(newPalette);
}

int DisplayBase::SetDisplayMode(int, int, int) {
    return 1;
}

void DisplayBase::GetFrameBuffer(uint8_t*& pixels, Size& size, int32_t& pitch) {
    if (!cursorDrawing) PumpMouseMove();
    if (redirectPixels) {
        pixels = redirectPixels;
        size = redirectSize;
        pitch = redirectPitch;
        return;
    }
    if (!lockedPixels) LockBackBuffer();
    pixels = lockedPixels;
    size = lockedSize;
    pitch = lockedPitch;
    ++lockCount;
}

void DisplayBase::ReleaseFrameBuffer() {
    if (redirectPixels) return;
    if (--lockCount < 1) {
        UnlockBackBuffer();
        lockCount = 0;
    }
}

void DisplayBase::SetRedirect(uint8_t* pixels, const Size& size, int32_t pitch) {
    redirectPixels = pixels;
    redirectSize = size;
    redirectPitch = pitch;
}

void DisplayBase::SetCursorImage(const char* packName) {
    SetCursorImage(std::unique_ptr<SpriteSet>(LoadSpriteGrid(packName)));
}

void DisplayBase::SetCursorImage(std::unique_ptr<SpriteSet> shapes) {
    cursorImage = std::move(shapes);
    cursorShape = 0;
}

Image* DisplayBase::CurrentCursorShape() {
    if (!cursorPlaced || !cursorImage || cursorShape < 0 ||
        cursorShape > cursorImage->LastFrameIndex()) {
        return nullptr;
    }
    return cursorImage->SubImage(cursorShape);
}

Point DisplayBase::CursorBox() const {
    return Point(std::clamp(cursorPosition.x - kSaveWidth / 2, 0, kScreenWidth - kSaveWidth),
                 std::clamp(cursorPosition.y - kSaveHeight / 2, 0, kScreenHeight - kSaveHeight));
}

void DisplayBase::DrawCursor() {
    Image* shape = CurrentCursorShape();
    if (!shape) return;
    shape->SelectFrame(cursorFrame);
    int32_t zoom = ImageZoom;
    ImageZoom = 0;
    SetClipRect(Rect(Point(0, 0), Size(kScreenWidth, kScreenHeight)));
    shape->Draw(cursorPosition);
    ResetClipRect();
    ImageZoom = zoom;
}

void DisplayBase::RedrawAll() {
    ColourBox box(fillColour, Size(kScreenWidth, kScreenHeight));
    for (int page = 0; page < 2; ++page) {
        SetClipRect(Rect(Point(0, 0), Size(kScreenWidth, kScreenHeight)));
        box.DrawAt(Point(0, 0));
        ResetClipRect();
        Present();
    }
}

// ---- Lines -------------------------------------------------------------------------------

namespace {

struct ClippedLine {
    Point start;
    Point end;
};

// Orders the ends by x, rejects what misses the clip rectangle and cuts the rest to it; every
// intersection is computed from the unclipped start, with truncating division.
bool ClipLine(const Point& from, const Point& to, const Rect& clip, ClippedLine& line) {
    Point start = from.x < to.x ? from : to;
    Point end = from.x < to.x ? to : from;
    const int64_t x0 = start.x;
    const int64_t y0 = start.y;
    const int64_t dx = int64_t{end.x} - start.x;
    const int64_t dy = int64_t{end.y} - start.y;
    if (dx == 0 && dy == 0) return false;
    const int64_t left = clip.origin.x;
    const int64_t top = clip.origin.y;
    const int64_t right = left + clip.extent.w - 1;
    const int64_t bottom = top + clip.extent.h - 1;
    if (end.x < left || right < start.x) return false;
    if (dy < 0 ? (start.y < top || bottom < end.y) : (bottom < start.y || end.y < top)) {
        return false;
    }
    int64_t sx = start.x, sy = start.y, ex = end.x, ey = end.y;
    if (sx < left) {
        sx = left;
        sy = (left - x0) * dy / dx + y0;
    }
    if (right < ex) {
        ex = right;
        ey = (right - x0) * dy / dx + y0;
    }
    if (dy < 0) {
        if (ey < top) {
            ex = (top - y0) * dx / dy + x0;
            ey = top;
        }
        if (bottom < sy) {
            sx = (bottom - y0) * dx / dy + x0;
            sy = bottom;
        }
    } else {
        if (sy < top) {
            sx = (top - y0) * dx / dy + x0;
            sy = top;
        }
        if (bottom < ey) {
            ex = (bottom - y0) * dx / dy + x0;
            ey = bottom;
        }
    }
    auto inside = [&](int64_t x, int64_t y) {
        return x >= left && x <= right && y >= top && y <= bottom;
    };
    if (!inside(sx, sy) || !inside(ex, ey)) return false;
    line.start = Point(static_cast<int32_t>(sx), static_cast<int32_t>(sy));
    line.end = Point(static_cast<int32_t>(ex), static_cast<int32_t>(ey));
    return true;
}

// Visits the pixels of a clipped line in drawing order. A vertical line visits |dy| pixels
// from the start, leaving out the far end; any other line is a Bresenham walk that visits
// both ends. `visit(x, y, first)` flags the start pixel of a non-vertical line.
template <class Visit>
void WalkLine(const ClippedLine& line, Visit visit) {
    int32_t x = line.start.x;
    int32_t y = line.start.y;
    const int32_t dx = line.end.x - line.start.x;
    const int32_t dy = line.end.y - line.start.y;
    if (dx == 0) {
        const int32_t step = dy > 0 ? 1 : -1;
        for (int32_t i = 0; i < std::abs(dy); ++i, y += step)
            visit(x, y, false);
        return;
    }
    int32_t majorX, majorY, minorX, minorY, steps, error, without, with;
    if (dy <= 0 && dx < -dy) {
        majorX = 0, majorY = -1, minorX = 1, minorY = 0, steps = -dy;
        error = 2 * dx + dy, without = 2 * dx, with = 2 * (dx + dy);
    } else if (dy <= 0) {
        majorX = 1, majorY = 0, minorX = 0, minorY = -1, steps = dx;
        error = -2 * dy - dx, without = -2 * dy, with = 2 * (-dy - dx);
    } else if (dx < dy) {
        majorX = 0, majorY = 1, minorX = 1, minorY = 0, steps = dy;
        error = 2 * dx - dy, without = 2 * dx, with = 2 * (dx - dy);
    } else {
        majorX = 1, majorY = 0, minorX = 0, minorY = 1, steps = dx;
        error = 2 * dy - dx, without = 2 * dy, with = 2 * (dy - dx);
    }
    visit(x, y, true);
    for (int32_t i = 0; i < steps; ++i) {
        x += majorX;
        y += majorY;
        if (error >= 0) {
            x += minorX;
            y += minorY;
            error += with;
        } else {
            error += without;
        }
        visit(x, y, false);
    }
}

class Plotter {
public:
    Plotter(uint8_t* pixels, const Size& size, int32_t pitch, int32_t colour)
        : pixels(pixels), size(size), pitch(pitch), colour(static_cast<uint8_t>(colour)) {}
    // The clip rectangle may reach past the memory handed out; such pixels are dropped.
    void operator()(int32_t x, int32_t y) const {
        if (pixels && x >= 0 && y >= 0 && x < size.w && y < size.h) {
            pixels[static_cast<ptrdiff_t>(y) * pitch + x] = colour;
        }
    }

private:
    uint8_t* pixels;
    Size size;
    int32_t pitch;
    uint8_t colour;
};

}  // namespace

void DisplayBase::DrawLine(int32_t colour, int32_t /*width*/, const Point& from, const Point& to) {
    ClippedLine line;
    if (!ClipLine(from, to, clip, line)) return;
    uint8_t* pixels = nullptr;
    Size size;
    int32_t pitch = 0;
    GetFrameBuffer(pixels, size, pitch);
    Plotter plot(pixels, size, pitch, colour);
    WalkLine(line, [&](int32_t x, int32_t y, bool) { plot(x, y); });
    ReleaseFrameBuffer();
}

void DisplayBase::DrawDashedLine(int32_t colour, int32_t width, int32_t dash, int32_t gap,
                                 int32_t phase, const Point& from, const Point& to) {
    ClippedLine line;
    if (!ClipLine(from, to, clip, line)) return;
    if (width != 2 && width != 3) width = 1;
    uint8_t* pixels = nullptr;
    Size size;
    int32_t pitch = 0;
    GetFrameBuffer(pixels, size, pitch);
    Plotter plot(pixels, size, pitch, colour);
    const int32_t dx = line.end.x - line.start.x;
    const int32_t dy = line.end.y - line.start.y;
    // Neighbours lie across the major axis: beside a steep line, above and below a flat one.
    const bool steep = dx == 0 || std::abs(dy) > dx;
    auto plotWide = [&](int32_t x, int32_t y) {
        plot(x, y);
        if (width >= 2) steep ? plot(x - 1, y) : plot(x, y - 1);
        if (width == 3) steep ? plot(x + 1, y) : plot(x, y + 1);
    };
    int32_t on = dash;
    int32_t off = phase;
    WalkLine(line, [&](int32_t x, int32_t y, bool first) {
        if (first) {
            // The start of a non-vertical line is drawn whatever the phase.
            plotWide(x, y);
            on = dash - 1;
            return;
        }
        if (off > 0) {
            if (--off == 0) on = dash;
        } else if (on > 0) {
            plotWide(x, y);
            if (--on == 0) off = gap;
        }
    });
    ReleaseFrameBuffer();
}
