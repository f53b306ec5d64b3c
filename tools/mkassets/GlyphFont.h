#pragma once
// The maker's own bitmap font: 5 x 7 glyphs with two descender rows, for the ASCII characters
// 32 to 126, drawn into an 11-row cell with a 6-pixel advance (the main font's metrics: the game
// draws it with line height 10 and ascent 11). Used for the font packs and for the lettering in
// the pictures.
#include <cstdint>
#include <string>
#include <vector>

namespace mkassets {

class Canvas;

class GlyphFont {
public:
    static constexpr int kAdvance = 6;
    static constexpr int kCellHeight = 11;
    static constexpr int kInkTop = 2;  // row of the cell where the glyph's top row goes
    static constexpr int kGlyphWidth = 5;
    static constexpr int kGlyphRows = 9;

    static bool HasGlyph(char c);
    // Whether pixel (column, row) of the glyph of c is inked; row 0 is the glyph's top row.
    static bool Inked(char c, int column, int row);
    static int TextWidth(const std::string& text, int scale);

    // Draws text with the top-left of its first cell at (x, y), each glyph pixel a scale x scale
    // block in the colour. Returns the width drawn.
    static int DrawText(Canvas& canvas, int x, int y, const std::string& text, int scale,
                        uint8_t colour);
};

// A font pack of 128 rows, row = character code: each printable character a glyph whose strokes
// are shade areas, frame box kAdvance x kCellHeight times the scale; other rows absent.
std::vector<uint8_t> MakeFontPack(int scale);

}  // namespace mkassets
