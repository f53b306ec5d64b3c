#include "core/TextWriter.h"

#include "core/SpriteSet.h"

TextWriter::TextWriter(const char* packName) : font(LoadSpriteSetColumn(packName)) {
    Measure();
}

TextWriter::TextWriter(std::unique_ptr<SpriteSet> font) : font(std::move(font)) {
    Measure();
}

TextWriter::~TextWriter() = default;

void TextWriter::Measure() {
    if (!font) return;
    lineHeight = font->FrameSizeOf('0').h;
    ascent = lineHeight;
}

void TextWriter::DrawText(const Point& point, const char* text, int32_t colour) {
    if (!font || !text) return;
    Point pen(point.x, point.y - ascent);
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            pen = Point(point.x, pen.y + lineHeight);
            continue;
        }
        // Codes 128 to 255 are negative as signed bytes and have no glyph.
        Image* glyph = font->SubImage(static_cast<int8_t>(*c));
        if (!glyph) continue;
        glyph->DrawShadeFilledAt(pen, colour);
        pen.x += glyph->FrameSize().w;
    }
}

int32_t TextWriter::TextWidth(const char* text) {
    if (!font || !text) return 0;
    int32_t width = 0;
    for (const char* c = text; *c && *c != '\n'; ++c) {
        if (Image* glyph = font->SubImage(static_cast<int8_t>(*c))) width += glyph->FrameSize().w;
    }
    return width ? width + 2 : 0;
}
