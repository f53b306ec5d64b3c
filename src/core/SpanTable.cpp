#include "core/SpanTable.h"

#include <algorithm>

#include "core/RleBlitter.h"

void SpanTable::Note(int32_t row, int32_t x, int32_t length) {
    if (length <= 0) return;
    const size_t rowFirst = rowSpans[static_cast<size_t>(row)];
    if (spans.size() > rowFirst && spans.back().x + spans.back().length == x &&
        spans.back().length + length <= 0xFFFF) {
        spans.back().length = static_cast<uint16_t>(spans.back().length + length);
    } else {
        spans.push_back(Span{static_cast<uint16_t>(x), static_cast<uint16_t>(length)});
    }
}

void SpanTable::Finish() {
    rowSpans.shrink_to_fit();
    rowPixels.shrink_to_fit();
    spans.shrink_to_fit();
    pixels.shrink_to_fit();
}

// The walk of the 1:1 decoder over a stream that fits, with shade areas clear (as the plain
// draw treats them), noting the pixels of each run and literal instead of drawing them.
void SpanTable::BuildFromStream(const uint8_t* data, int32_t width, int32_t height) {
    rows = std::max(height, 0);
    rowSpans.assign(1, 0);
    rowPixels.assign(1, 0);
    spans.clear();
    pixels.clear();
    if (width <= 0 || width > 0xFFFF || rows == 0) {
        rows = 0;
        return;
    }
    size_t p = 0;
    int32_t x = 0;
    int32_t y = 0;
    // Rows from `y` on start where the spans and pixels stand now. The row marks grow with the
    // rows the stream reaches, never with the height its header declares: a picture may end
    // early, and a few bytes must not cost a mark for every declared row.
    auto toRow = [&](int32_t next) {
        for (int32_t r = y + 1; r <= std::min(next, rows); ++r) {
            rowSpans.push_back(static_cast<uint32_t>(spans.size()));
            rowPixels.push_back(static_cast<uint32_t>(pixels.size()));
        }
        y = next;
    };
    // FitsPicture walked this stream already: every item is complete and the walk ends.
    for (;;) {
        const int a = data[p];
        const int b = data[p + 1];
        p += 2;
        if (a != 0) {
            pixels.insert(pixels.end(), static_cast<size_t>(a), static_cast<uint8_t>(b));
            Note(y, x, a);
            x += a;
            continue;
        }
        if (b >= 4) {
            pixels.insert(pixels.end(), data + p, data + p + b);
            Note(y, x, b);
            x += b;
            p += static_cast<size_t>(b + (b & 1));
            continue;
        }
        if (b == 1) break;
        if (b == 0) {
            x = 0;
            toRow(y + 1);
            if (y >= rows) break;
            continue;
        }
        x += data[p];
        if (data[p + 1] != 0) toRow(y + data[p + 1]);
        p += 2;
        if (y >= rows) break;
    }
    // Rows below the one the stream ended on hold nothing.
    const int32_t reached = std::min(y + 1, rows);
    toRow(reached);
    rows = reached;
    Finish();
}

void SpanTable::BuildScaled(const uint8_t* data, size_t size, int32_t width, int32_t height,
                            int32_t factor) {
    const int32_t w = width / factor;
    // An item moves the stream down at most 255 source rows for four bytes (a skip), so nothing
    // it draws lies below 64 source rows a byte. The table is held to that: a header's height
    // alone must not size it.
    const int64_t reachable = (static_cast<int64_t>(size) * 64 + factor - 1) / factor + 1;
    const int32_t h = static_cast<int32_t>(std::min<int64_t>(height / factor, reachable));
    rows = std::max(h, 0);
    rowSpans.assign(static_cast<size_t>(rows) + 1, 0);
    rowPixels.assign(static_cast<size_t>(rows) + 1, 0);
    spans.clear();
    pixels.clear();
    if (w <= 0 || w > 0xFFFF || rows == 0) {
        rows = 0;
        return;
    }
    // The scaled decoder run twice over pages that start apart: a pixel it writes is the same
    // in both, one it leaves differs. The pages cover a band of rows at a time, so that a wide
    // picture costs no more than kBandPixels twice; an ordinary one is a single band.
    constexpr int32_t kBandPixels = 1 << 20;
    const int32_t band = std::clamp(kBandPixels / w, 1, rows);
    const size_t area = static_cast<size_t>(w) * static_cast<size_t>(band);
    std::vector<uint8_t> first(area), second(area);
    for (int32_t y = 0; y < h; ++y) {
        const int32_t bandRow = y % band;
        if (bandRow == 0) {
            // The picture placed so that row y is the band's first; rows above it fall outside.
            const BlitBounds clip{0, 0, w - 1, std::min(band, h - y) - 1};
            std::fill(first.begin(), first.end(), uint8_t{0x00});
            std::fill(second.begin(), second.end(), uint8_t{0xFF});
            rle::BlitScaled(data, size, 0, -y, clip, BlitTarget{first.data(), w},
                            rle::PlainEffect{}, factor);
            rle::BlitScaled(data, size, 0, -y, clip, BlitTarget{second.data(), w},
                            rle::PlainEffect{}, factor);
        }
        rowSpans[static_cast<size_t>(y)] = static_cast<uint32_t>(spans.size());
        rowPixels[static_cast<size_t>(y)] = static_cast<uint32_t>(pixels.size());
        const uint8_t* a = first.data() + static_cast<size_t>(bandRow) * w;
        const uint8_t* b = second.data() + static_cast<size_t>(bandRow) * w;
        for (int32_t x = 0; x < w;) {
            if (a[x] != b[x]) {
                ++x;
                continue;
            }
            int32_t end = x;
            while (end < w && a[end] == b[end])
                ++end;
            pixels.insert(pixels.end(), a + x, a + end);
            Note(y, x, end - x);
            x = end;
        }
    }
    rowSpans[static_cast<size_t>(rows)] = static_cast<uint32_t>(spans.size());
    rowPixels[static_cast<size_t>(rows)] = static_cast<uint32_t>(pixels.size());
    Finish();
}

void SpanTable::Draw(int32_t left, int32_t top, const BlitBounds& v, uint8_t* buffer,
                     int32_t pitch) const {
    const int32_t first = std::max(v.top, top);
    const int32_t last = std::min(v.bottom, top + rows - 1);
    const Span* all = spans.data();
    for (int32_t y = first; y <= last; ++y) {
        uint8_t* out = buffer + static_cast<ptrdiff_t>(y) * pitch;
        const size_t row = static_cast<size_t>(y - top);
        const uint8_t* source = pixels.data() + rowPixels[row];
        const Span* end = all + rowSpans[row + 1];
        for (const Span* s = all + rowSpans[row]; s != end; source += s->length, ++s) {
            const int32_t x = left + s->x;
            const int32_t l = std::max(x, v.left);
            const int32_t r = std::min(x + static_cast<int32_t>(s->length) - 1, v.right);
            if (r >= l) rle::CopySpan(out + l, source + (l - x), r - l + 1);
        }
    }
}

void SpanTable::DrawWhole(int32_t left, int32_t top, uint8_t* buffer, int32_t pitch) const {
    const Span* s = spans.data();
    const uint8_t* source = pixels.data();
    uint8_t* out = buffer + static_cast<ptrdiff_t>(top) * pitch + left;
    for (int32_t row = 0; row < rows; ++row, out += pitch) {
        const Span* end = spans.data() + rowSpans[static_cast<size_t>(row) + 1];
        for (; s != end; ++s) {
            rle::CopySpan(out + s->x, source, s->length);
            source += s->length;
        }
    }
}

size_t SpanTable::Bytes() const {
    return rowSpans.capacity() * sizeof(uint32_t) + rowPixels.capacity() * sizeof(uint32_t) +
           spans.capacity() * sizeof(Span) + pixels.capacity();
}
