#pragma once
// Text in a bitmap font: a sprite set whose slot c holds the glyph of character code c. The
// glyphs' shade areas take the text colour; everything else of the screen stays untouched.
#include <cstdint>
#include <memory>

#include "core/Point.h"

class SpriteSet;

class TextWriter {
public:
    // Loads the font pack (column 0, one glyph per row); a missing pack is fatal.
    explicit TextWriter(const char* packName);
    // Takes a ready-made font.
    explicit TextWriter(std::unique_ptr<SpriteSet> font);
    virtual ~TextWriter();

    // The pen starts `ascent` above the point; a line feed returns it to point.x one line
    // lower. Characters without a glyph take no room.
    void DrawText(const Point& point, const char* text, int32_t colour);
    // The advances of the first line, plus 2 when not 0.
    int32_t TextWidth(const char* text);

    int32_t LineHeight() const { return lineHeight; }
    int32_t Ascent() const { return ascent; }
    // The measures come from the '0' glyph; the interface font is given fixed ones instead.
    void SetLineHeight(int32_t height) { lineHeight = height; }
    void SetAscent(int32_t newAscent) { ascent = newAscent; }
    SpriteSet* Font() const { return font.get(); }

private:
    void Measure();

    std::unique_ptr<SpriteSet> font;
    int32_t lineHeight = 0;
    int32_t ascent = 0;
};
