#pragma once
// The opaque pixels of a run-length picture as it is drawn plainly at one scale, row by row:
// per row its spans (column and length, left to right) and their pixels laid out one span after
// another. A plain draw then visits only the rows and spans it shows and copies each span in
// one piece, instead of walking the coded stream. Kept compact: four bytes a span and eight a
// row beside the pixels themselves.
#include <cstddef>
#include <cstdint>
#include <vector>

struct BlitBounds;

class SpanTable {
public:
    SpanTable() = default;
    virtual ~SpanTable() = default;

    // The spans of a stream that FitsPicture drawn plainly at 1:1 (shade areas clear).
    void BuildFromStream(const uint8_t* data, int32_t width, int32_t height);
    // The spans of a plain draw of such a stream at 1:2 or 1:4 (factor), as the scaled
    // decoder writes them into its width / factor by height / factor rectangle.
    void BuildScaled(const uint8_t* data, size_t size, int32_t width, int32_t height,
                     int32_t factor);

    // Draws the spans with the table's top-left at (left, top) into the buffer, only inside
    // the visible rectangle `v`.
    void Draw(int32_t left, int32_t top, const BlitBounds& v, uint8_t* buffer, int32_t pitch) const;
    // Draws the spans where the table's whole rectangle is visible: no clipping.
    void DrawWhole(int32_t left, int32_t top, uint8_t* buffer, int32_t pitch) const;

    int32_t Rows() const { return rows; }
    // Bytes held, for memory accounting.
    size_t Bytes() const;

private:
    struct Span {
        uint16_t x;
        uint16_t length;
    };
    // Adds a span of `length` pixels at column x of the row being built; joins it to the row's
    // last span when it continues it.
    void Note(int32_t row, int32_t x, int32_t length);
    void Finish();

    int32_t rows = 0;
    // rowSpans[r] .. rowSpans[r + 1] are row r's spans; rowPixels[r] is where row r's pixels
    // start in `pixels`.
    std::vector<uint32_t> rowSpans;
    std::vector<uint32_t> rowPixels;
    std::vector<Span> spans;
    std::vector<uint8_t> pixels;
};
