#include "core/Bitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "core/DisplayBase.h"
#include "core/FatalError.h"
#include "core/Rect.h"
#include "core/ResourceFile.h"
#include "core/RleBlitter.h"
#include "core/Trace.h"

namespace {

// No picture of the game comes near this; a directory entry that claims more is damaged.
constexpr int64_t kMaxStoredLength = 64 * 1024 * 1024;

int32_t Word(const uint8_t* data, int index) {
    return static_cast<int16_t>((data[2 * index] << 8) | data[2 * index + 1]);
}

void ReadFrom(ResourceFile* file, std::vector<uint8_t>& bytes, int64_t& storedLength) {
    storedLength = file->Size();
    if (storedLength < 0 || storedLength > kMaxStoredLength) {
        storedLength = -1;
        return;
    }
    bytes.assign(static_cast<size_t>(storedLength), 0);
    int32_t count = static_cast<int32_t>(storedLength);
    if (!file->Read(count, bytes.data())) bytes.resize(std::max<int32_t>(count, 0));
}

}  // namespace

Bitmap::Bitmap(const char* name) : Image(Size()) {
    ResourceFile file;
    if (!file.Open(name, 1, 0)) ResourceMissing(file.Fault());
    // A pack opened by name: its first entry is the picture.
    if (file.IsPack() && !file.SelectEntry(0, 0)) ResourceMissing(file.Path() + ": no first entry");
    std::vector<uint8_t> bytes;
    int64_t stored = 0;
    ReadFrom(&file, bytes, stored);
    file.Close();
    Parse(bytes.data(), bytes.size(), static_cast<size_t>(std::max<int64_t>(stored, 0)));
    // A named picture is a file of its own: one that is not a picture is damaged.
    if (refusal) ResourceMissing(file.Path() + ": " + refusal);
}

Bitmap::Bitmap(ResourceFile* file) : Image(Size()) {
    if (!file) {
        Refuse("Bitmap: no file");
        return;
    }
    std::vector<uint8_t> bytes;
    int64_t stored = 0;
    ReadFrom(file, bytes, stored);
    if (stored < 0) {
        Refuse("Bitmap: entry too large");
        return;
    }
    Parse(bytes.data(), bytes.size(), static_cast<size_t>(stored));
}

Bitmap::Bitmap(const Size& extent) : Image(extent), frameSize(extent) {
    rowStride = extent.w;
    if (extent.w > 0 && extent.h > 0) {
        byteCount = extent.w * extent.h;
        pixels.assign(static_cast<size_t>(byteCount), 0);
    }
}

Bitmap::Bitmap(const uint8_t* data, size_t length) : Image(Size()) {
    if (length > static_cast<size_t>(kMaxStoredLength)) {
        Refuse("Bitmap: entry too large");
        return;
    }
    Parse(data, length, length);
}

void Bitmap::Refuse(const char* why) {
    Trace(why);
    refusal = why;
    size = Size();
    frameSize = Size();
    origin = Point();
    rowStride = 0;
    coding = 0;
    byteCount = 0;
    pixels.clear();
    fitsPicture = false;
}

void Bitmap::Parse(const uint8_t* data, size_t length, size_t storedLength) {
    if (length < static_cast<size_t>(kHeaderSize) ||
        storedLength < static_cast<size_t>(kHeaderSize)) {
        Refuse("Bitmap: entry shorter than its header");
        return;
    }
    frameSize = Size(Word(data, 1), Word(data, 2));
    origin = Point(Word(data, 3), Word(data, 4));
    rowStride = Word(data, 5);
    size = Size(Word(data, 6), Word(data, 7));
    coding = Word(data, 8);
    byteCount = static_cast<int32_t>(storedLength - kHeaderSize);
    // What a short read did not deliver stays zero.
    pixels.assign(static_cast<size_t>(byteCount), 0);
    const size_t delivered = std::min(length, storedLength) - kHeaderSize;
    if (delivered > 0) std::memcpy(pixels.data(), data + kHeaderSize, delivered);
    if (coding == 1) {
        fitsPicture = rle::FitsPicture(pixels.data(), pixels.size(), size.w, size.h);
        if (fitsPicture) spans.BuildFromStream(pixels.data(), size.w, size.h);
        return;
    }
    if (rowStride < 0 || size.w < 0 || size.h < 0) {
        Refuse("Bitmap: raw picture with a negative size");
        return;
    }
    if (size.w > 0 && size.h > 0 &&
        static_cast<int64_t>(size.h - 1) * rowStride + size.w > byteCount) {
        Refuse("Bitmap: raw pixels shorter than the picture");
        return;
    }
}

int32_t Bitmap::ZoomFactor() {
    switch (ImageZoom) {
        case 0:
            return 1;
        case 1:
            return 2;
        case 2:
            return 4;
        default:
            return 0;
    }
}

namespace {

// Division truncating toward zero by a zoom divisor (1, 2, 4 or 8), spelled with constant
// divisors so that every draw's placement costs shifts rather than divide instructions.
int32_t DivideBy(int32_t value, int32_t divisor) {
    switch (divisor) {
        case 1:
            return value;
        case 2:
            return value / 2;
        case 4:
            return value / 4;
        default:
            return value / 8;
    }
}

}  // namespace

Point Bitmap::CentredTopLeft(const Point& centre, int32_t f) const {
    return Point(centre.x - DivideBy(frameSize.w, 2 * f) + DivideBy(origin.x, f),
                 centre.y - DivideBy(frameSize.h, 2 * f) + DivideBy(origin.y, f));
}

Point Bitmap::CornerTopLeft(const Point& topLeft, int32_t f) const {
    return Point(topLeft.x + DivideBy(origin.x, f), topLeft.y + DivideBy(origin.y, f));
}

Point Bitmap::CentreOffset() {
    return Point(origin.x + (size.w >> 1) - (frameSize.w >> 1),
                 origin.y + (size.h >> 1) - (frameSize.h >> 1));
}

namespace {

// The clip rectangle intersected with the picture's rectangle; false when nothing is visible.
bool VisibleBounds(const Point& topLeft, int32_t w, int32_t h, BlitBounds& v) {
    if (!display || w <= 0 || h <= 0) return false;
    Rect clip = display->GetClipRect();
    if (clip.extent.w <= 0 || clip.extent.h <= 0) return false;
    int64_t left = std::max<int64_t>(topLeft.x, clip.origin.x);
    int64_t top = std::max<int64_t>(topLeft.y, clip.origin.y);
    int64_t right =
        std::min<int64_t>(int64_t{topLeft.x} + w - 1, int64_t{clip.origin.x} + clip.extent.w - 1);
    int64_t bottom =
        std::min<int64_t>(int64_t{topLeft.y} + h - 1, int64_t{clip.origin.y} + clip.extent.h - 1);
    if (right < left || bottom < top) return false;
    v = BlitBounds{static_cast<int32_t>(left), static_cast<int32_t>(top),
                   static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    return true;
}

// Keeps the visible rectangle inside the memory actually handed out, whatever clip a caller set.
bool FitToBuffer(BlitBounds& v, const Size& buffer) {
    v.left = std::max(v.left, 0);
    v.top = std::max(v.top, 0);
    v.right = std::min(v.right, buffer.w - 1);
    v.bottom = std::min(v.bottom, buffer.h - 1);
    return v.left <= v.right && v.top <= v.bottom;
}

}  // namespace

void Bitmap::BlitRaw(const Point& topLeft) {
    BlitBounds v;
    if (pixels.empty() || !VisibleBounds(topLeft, size.w, size.h, v)) return;
    uint8_t* buffer = nullptr;
    Size bufferSize;
    int32_t pitch = 0;
    display->GetFrameBuffer(buffer, bufferSize, pitch);
    if (buffer && FitToBuffer(v, bufferSize)) {
        const size_t width = static_cast<size_t>(v.right - v.left + 1);
        for (int32_t y = v.top; y <= v.bottom; ++y) {
            const uint8_t* src = pixels.data() + static_cast<ptrdiff_t>(y - topLeft.y) * rowStride +
                                 (v.left - topLeft.x);
            std::memcpy(buffer + static_cast<ptrdiff_t>(y) * pitch + v.left, src, width);
        }
    }
    display->ReleaseFrameBuffer();
}

const SpanTable* Bitmap::PlainSpans(int32_t f) {
    if (!fitsPicture) return nullptr;
    if (f == 1) return &spans;
    std::unique_ptr<SpanTable>& table = scaledSpans[f == 2 ? 0 : 1];
    if (!table) {
        table = std::make_unique<SpanTable>();
        table->BuildScaled(pixels.data(), pixels.size(), size.w, size.h, f);
    }
    return table.get();
}

template <class Effect>
void Bitmap::BlitCoded(const Point& topLeft, int32_t f, const Effect& effect) {
    BlitBounds v;
    if (!VisibleBounds(topLeft, DivideBy(size.w, f), DivideBy(size.h, f), v)) return;
    uint8_t* buffer = nullptr;
    Size bufferSize;
    int32_t pitch = 0;
    display->GetFrameBuffer(buffer, bufferSize, pitch);
    if (buffer && FitToBuffer(v, bufferSize)) {
        BlitTarget target{buffer, pitch};
        const int32_t w = DivideBy(size.w, f), h = DivideBy(size.h, f);
        const bool whole = v.left == topLeft.x && v.top == topLeft.y && v.right - v.left + 1 == w &&
                           v.bottom - v.top + 1 == h;
        const SpanTable* table = std::is_same_v<Effect, rle::PlainEffect> ? PlainSpans(f) : nullptr;
        if (table && whole) {
            table->DrawWhole(topLeft.x, topLeft.y, buffer, pitch);
        } else if (table) {
            // Cut by the clip: the spans start at the first visible row, which the stream
            // would have to be walked to.
            table->Draw(topLeft.x, topLeft.y, v, buffer, pitch);
        } else if (f == 1 && fitsPicture && whole) {
            rle::Blit<Effect, rle::WhollyVisible>(pixels.data(), pixels.size(), topLeft.x,
                                                  topLeft.y, v, target, effect);
        } else if (f == 1) {
            rle::Blit(pixels.data(), pixels.size(), topLeft.x, topLeft.y, v, target, effect);
        } else {
            rle::BlitScaled(pixels.data(), pixels.size(), topLeft.x, topLeft.y, v, target, effect,
                            f);
        }
    }
    display->ReleaseFrameBuffer();
}

void Bitmap::Draw(const Point& centre) {
    if (coding != 1) {
        BlitRaw(Point(centre.x - frameSize.w / 2, centre.y - frameSize.h / 2));
        return;
    }
    if (int32_t f = ZoomFactor()) BlitCoded(CentredTopLeft(centre, f), f, rle::PlainEffect{});
}

void Bitmap::DrawAt(const Point& topLeft) {
    if (coding != 1) {
        BlitRaw(topLeft);
        return;
    }
    if (int32_t f = ZoomFactor()) BlitCoded(CornerTopLeft(topLeft, f), f, rle::PlainEffect{});
}

void Bitmap::DrawTinted(const Point& centre, const ShadeTable& table, int32_t skipShade) {
    if (coding != 1) return Draw(centre);
    if (int32_t f = ZoomFactor()) {
        BlitCoded(CentredTopLeft(centre, f), f, rle::TintedEffect(table, skipShade));
    }
}

void Bitmap::DrawBlended(const Point& centre, const ByteTable256& table) {
    if (coding != 1) return Draw(centre);
    if (int32_t f = ZoomFactor())
        BlitCoded(CentredTopLeft(centre, f), f, rle::BlendedEffect(table));
}

void Bitmap::DrawShadeFilled(const Point& centre, int32_t colour) {
    if (coding != 1) return Draw(centre);
    // Colour 0 is the back buffer's colour key; a centred shade fill paints 254 instead.
    if (colour == 0) colour = 254;
    if (int32_t f = ZoomFactor()) {
        BlitCoded(CentredTopLeft(centre, f), f, rle::ShadeFillEffect(static_cast<uint8_t>(colour)));
    }
}

void Bitmap::DrawShadeFilledAt(const Point& topLeft, int32_t colour) {
    if (coding != 1) return DrawAt(topLeft);
    if (int32_t f = ZoomFactor()) {
        BlitCoded(CornerTopLeft(topLeft, f), f, rle::ShadeFillEffect(static_cast<uint8_t>(colour)));
    }
}

void Bitmap::DrawShaded(const Point& centre, const ShadeTable& table) {
    if (coding != 1) return Draw(centre);
    if (int32_t f = ZoomFactor()) BlitCoded(CentredTopLeft(centre, f), f, rle::ShadedEffect(table));
}

void Bitmap::DrawSilhouette(const Point& centre, int32_t colour, int32_t skipShade) {
    if (coding != 1) return Draw(centre);
    if (int32_t f = ZoomFactor()) {
        BlitCoded(CentredTopLeft(centre, f), f,
                  rle::SilhouetteEffect(static_cast<uint8_t>(colour), skipShade));
    }
}

int32_t Bitmap::RedirectDrawing() {
    if (coding != 0 || pixels.empty() || !display) return 0;
    display->SetRedirect(pixels.data(), size, rowStride);
    display->SetClipRect(Rect(Point(0, 0), size));
    return 1;
}
