#pragma once
// The abstract picture behind every draw: a pixel extent and a fixed set of virtual draw
// operations (plain and five effects, each with a frame-indexed twin), size and placement
// queries and frame selection. Bitmaps, sprite sets and the plain shapes implement it.
#include <cstdint>

#include "core/Point.h"
#include "core/Size.h"

class ShadeTable;
class ByteTable256;

// The program-wide drawing zoom: 0 is 1:1, 1 is 1:2, 2 is 1:4. Coded bitmaps draw nothing at
// any other value.
extern int32_t ImageZoom;

class Image {
public:
    explicit Image(const Size& size) : size(size) {}
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    virtual ~Image() = default;

    virtual void Draw(const Point& /*centre*/) {}
    virtual void DrawFrame(const Point& centre, int32_t /*frame*/) { Draw(centre); }
    virtual void DrawAt(const Point& /*topLeft*/) {}
    virtual void DrawFrameAt(const Point& topLeft, int32_t /*frame*/) { DrawAt(topLeft); }
    virtual void DrawTinted(const Point& centre, const ShadeTable& /*table*/,
                            int32_t /*skipShade*/) {
        Draw(centre);
    }
    virtual void DrawFrameTinted(const Point& centre, int32_t /*frame*/, const ShadeTable& table,
                                 int32_t skipShade) {
        DrawTinted(centre, table, skipShade);
    }
    virtual void DrawBlended(const Point& centre, const ByteTable256& /*table*/) { Draw(centre); }
    virtual void DrawFrameBlended(const Point& centre, int32_t /*frame*/,
                                  const ByteTable256& table) {
        DrawBlended(centre, table);
    }
    virtual void DrawShadeFilled(const Point& centre, int32_t /*colour*/) { Draw(centre); }
    virtual void DrawFrameShadeFilled(const Point& centre, int32_t /*frame*/, int32_t colour) {
        DrawShadeFilled(centre, colour);
    }
    virtual void DrawShadeFilledAt(const Point& topLeft, int32_t /*colour*/) { DrawAt(topLeft); }
    virtual void DrawFrameShadeFilledAt(const Point& topLeft, int32_t /*frame*/, int32_t colour) {
        DrawShadeFilledAt(topLeft, colour);
    }
    virtual void DrawShaded(const Point& centre, const ShadeTable& /*table*/) { Draw(centre); }
    virtual void DrawFrameShaded(const Point& centre, int32_t /*frame*/, const ShadeTable& table) {
        DrawShaded(centre, table);
    }
    virtual void DrawSilhouette(const Point& centre, int32_t /*colour*/, int32_t /*skipShade*/) {
        Draw(centre);
    }
    virtual void DrawFrameSilhouette(const Point& centre, int32_t /*frame*/, int32_t colour,
                                     int32_t skipShade) {
        DrawSilhouette(centre, colour, skipShade);
    }

    virtual Size GetSize() { return size; }
    virtual Size SizeOf(int32_t /*frame*/) { return GetSize(); }
    virtual Size FrameSize() { return GetSize(); }
    virtual Size FrameSizeOf(int32_t frame) { return SizeOf(frame); }
    virtual Point Origin() { return Point(); }
    virtual Point OriginOf(int32_t /*frame*/) { return Origin(); }
    virtual Point CentreOffset() { return Point(); }
    virtual Point CentreOffsetOf(int32_t /*frame*/) { return CentreOffset(); }
    // The index of the last frame: the frame count minus one.
    virtual int32_t LastFrameIndex() { return 0; }
    virtual Image* SubImage(int32_t /*index*/) { return this; }
    // A single picture has one frame: it stays current and every n is that many whole cycles.
    virtual int32_t SelectFrame(int32_t n) { return n; }

protected:
    Size size;
};
