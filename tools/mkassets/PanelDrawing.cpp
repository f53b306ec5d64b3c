#include "PanelDrawing.h"

#include "AssetPalette.h"
#include "Canvas.h"
#include "GlyphFont.h"

namespace mkassets {

void Plate(Canvas& c, const Box& b, const Ramp& ramp, int step) {
    c.FillRect(b.x, b.y, b.w, b.h, ramp.At(step));
    c.FillRect(b.x, b.y, b.w, 1, ramp.At(step + 3));
    c.FillRect(b.x, b.y, 1, b.h, ramp.At(step + 3));
    c.FillRect(b.x, b.y + b.h - 1, b.w, 1, ramp.At(step - 3));
    c.FillRect(b.x + b.w - 1, b.y, 1, b.h, ramp.At(step - 3));
}

void Frame(Canvas& c, const Box& b, uint8_t colour) {
    c.FillRect(b.x, b.y, b.w, 1, colour);
    c.FillRect(b.x, b.y + b.h - 1, b.w, 1, colour);
    c.FillRect(b.x, b.y, 1, b.h, colour);
    c.FillRect(b.x + b.w - 1, b.y, 1, b.h, colour);
}

void Caption(Canvas& c, const Box& b, const std::string& text, uint8_t colour) {
    const int width = GlyphFont::TextWidth(text, 1);
    GlyphFont::DrawText(c, b.x + (b.w - width) / 2, b.y + (b.h - GlyphFont::kCellHeight) / 2, text,
                        1, colour);
}

}  // namespace mkassets
