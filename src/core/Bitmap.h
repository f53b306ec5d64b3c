#pragma once
// An 8-bit palette-indexed picture that owns its pixels: raw rows, or a run-length coded stream
// with transparent and shade areas that is walked afresh on every draw, straight into the
// display's frame buffer, at 1:1, 1:2 or 1:4 (ImageZoom).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Image.h"
#include "core/SpanTable.h"

class ResourceFile;
struct BlitBounds;

class Bitmap : public Image {
public:
    static constexpr int32_t kHeaderSize = 18;

    // Reads a picture file, or entry (0, 0) of a pack; a file that cannot be opened is fatal.
    explicit Bitmap(const char* name);
    // Reads from an open file at its position: the selected entry (or the whole file).
    explicit Bitmap(ResourceFile* file);
    // A blank raw picture of zeroed pixels.
    explicit Bitmap(const Size& size);
    // Reads the stored format from memory.
    Bitmap(const uint8_t* data, size_t length);
    ~Bitmap() override = default;

    void Draw(const Point& centre) override;
    void DrawAt(const Point& topLeft) override;
    void DrawTinted(const Point& centre, const ShadeTable& table, int32_t skipShade) override;
    void DrawBlended(const Point& centre, const ByteTable256& table) override;
    void DrawShadeFilled(const Point& centre, int32_t colour) override;
    void DrawShadeFilledAt(const Point& topLeft, int32_t colour) override;
    void DrawShaded(const Point& centre, const ShadeTable& table) override;
    void DrawSilhouette(const Point& centre, int32_t colour, int32_t skipShade) override;

    Size FrameSize() override { return frameSize; }
    Size FrameSizeOf(int32_t /*frame*/) override { return frameSize; }
    Point Origin() override { return origin; }
    Point CentreOffset() override;

    // Sends all further drawing into this raw picture's pixels (clip rectangle = the picture);
    // 0 for a coded picture. ClearRedirect on the display ends it.
    int32_t RedirectDrawing();

    bool IsCoded() const { return coding == 1; }
    int32_t RowStride() const { return rowStride; }
    int32_t ByteCount() const { return byteCount; }
    // Writing into a coded picture's stream through this ends its unclipped drawing.
    uint8_t* Pixels() {
        fitsPicture = false;
        return pixels.data();
    }
    const uint8_t* Pixels() const { return pixels.data(); }

private:
    void Parse(const uint8_t* data, size_t length, size_t storedLength);
    void Refuse(const char* why);

    // Why the data was refused; null for a picture that was read.
    const char* refusal = nullptr;
    // Placement of a coded picture at factor f (1, 2 or 4); 0 when ImageZoom has no factor.
    static int32_t ZoomFactor();
    Point CentredTopLeft(const Point& centre, int32_t f) const;
    Point CornerTopLeft(const Point& topLeft, int32_t f) const;
    void BlitRaw(const Point& topLeft);
    template <class Effect>
    void BlitCoded(const Point& topLeft, int32_t f, const Effect& effect);
    // The spans of the plain draw at factor f (1, 2 or 4), built on the first scaled draw;
    // null when the picture has none.
    const SpanTable* PlainSpans(int32_t f);

    int32_t rowStride = 0;
    int32_t coding = 0;
    Point origin;
    Size frameSize;
    int32_t byteCount = 0;
    std::vector<uint8_t> pixels;
    // The coded stream stays inside the picture rectangle (rle::FitsPicture), so a draw that
    // shows the whole picture needs no clipping.
    bool fitsPicture = false;
    // The opaque spans of a coded picture that fits, as its plain draw writes them at 1:1 (built
    // when the picture is read) and at 1:2 and 1:4 (built when first drawn so): a plain draw
    // visits only the rows and spans it shows and copies each span in one piece.
    SpanTable spans;
    std::unique_ptr<SpanTable> scaledSpans[2];
};
