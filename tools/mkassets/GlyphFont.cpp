#include "GlyphFont.h"

#include "Canvas.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 126;

// One string per character from 32 to 126: nine rows, each a digit of base 32 whose five bits
// are the row's pixels, the highest bit leftmost.
const char* const kGlyphs[kLastCode - kFirstCode + 1] = {
    "000000000",  // space
    "444440400",  // !
    "AA0000000",  // quote
    "AAVAVAA00",  // #
    "4FKE5U400",  // $
    "OP248J300",  // %
    "CIK8LID00",  // &
    "440000000",  // '
    "248884200",  // (
    "842224800",  // )
    "04LEL4000",  // *
    "044V44000",  // +
    "000004480",  // ,
    "000V00000",  // -
    "00000CC00",  // .
    "01248G000",  // /
    "EHJLPHE00",  // 0
    "4C4444E00",  // 1
    "EH1248V00",  // 2
    "V2421HE00",  // 3
    "26AIV2200",  // 4
    "VGU11HE00",  // 5
    "68GUHHE00",  // 6
    "V12488800",  // 7
    "EHHEHHE00",  // 8
    "EHHF12C00",  // 9
    "0CC0CC000",  // :
    "0CC0CC800",  // ;
    "248G84200",  // <
    "00V0V0000",  // =
    "842124800",  // >
    "EH1240400",  // ?
    "EH1DLLE00",  // @
    "EHHVHHH00",  // A
    "UHHUHHU00",  // B
    "EHGGGHE00",  // C
    "SIHHHIS00",  // D
    "VGGUGGV00",  // E
    "VGGUGGG00",  // F
    "EHGNHHF00",  // G
    "HHHVHHH00",  // H
    "E44444E00",  // I
    "72222IC00",  // J
    "HIKOKIH00",  // K
    "GGGGGGV00",  // L
    "HRLLHHH00",  // M
    "HHPLJHH00",  // N
    "EHHHHHE00",  // O
    "UHHUGGG00",  // P
    "EHHHLID00",  // Q
    "UHHUKIH00",  // R
    "FGGE11U00",  // S
    "V44444400",  // T
    "HHHHHHE00",  // U
    "HHHHHA400",  // V
    "HHHLLLA00",  // W
    "HHA4AHH00",  // X
    "HHA444400",  // Y
    "V1248GV00",  // Z
    "E88888E00",  // [
    "0G8421000",  // backslash
    "E22222E00",  // ]
    "4AH000000",  // ^
    "000000V00",  // _
    "840000000",  // `
    "00E1FHF00",  // a
    "GGMPHHU00",  // b
    "00EGGHE00",  // c
    "11DJHHF00",  // d
    "00EHVGE00",  // e
    "698S88800",  // f
    "00FHHF1HE",  // g
    "GGMPHHH00",  // h
    "40C444E00",  // i
    "2062222IC",  // j
    "GGIKOKI00",  // k
    "C44444E00",  // l
    "00QLLHH00",  // m
    "00MPHHH00",  // n
    "00EHHHE00",  // o
    "00UHHUGGG",  // p
    "00FHHF111",  // q
    "00MPGGG00",  // r
    "00EGE1U00",  // s
    "88S889600",  // t
    "00HHHJD00",  // u
    "00HHHA400",  // v
    "00HHLLA00",  // w
    "00HA4AH00",  // x
    "00HHHF1HE",  // y
    "00V248V00",  // z
    "244844200",  // {
    "444444400",  // |
    "844244800",  // }
    "008L20000",  // ~
};

int RowBits(char c, int row) {
    const char digit = kGlyphs[c - kFirstCode][row];
    return digit <= '9' ? digit - '0' : digit - 'A' + 10;
}

}  // namespace

bool GlyphFont::HasGlyph(char c) {
    return c >= kFirstCode && c <= kLastCode;
}

bool GlyphFont::Inked(char c, int column, int row) {
    if (!HasGlyph(c) || column < 0 || column >= kGlyphWidth || row < 0 || row >= kGlyphRows) {
        return false;
    }
    return (RowBits(c, row) >> (kGlyphWidth - 1 - column)) & 1;
}

int GlyphFont::TextWidth(const std::string& text, int scale) {
    int width = 0;
    for (char c : text)
        width += HasGlyph(c) ? kAdvance * scale : 0;
    return width;
}

int GlyphFont::DrawText(Canvas& canvas, int x, int y, const std::string& text, int scale,
                        uint8_t colour) {
    int pen = x;
    for (char c : text) {
        if (!HasGlyph(c)) continue;
        for (int row = 0; row < kGlyphRows; ++row) {
            for (int column = 0; column < kGlyphWidth; ++column) {
                if (!Inked(c, column, row)) continue;
                canvas.FillRect(pen + column * scale, y + (kInkTop + row) * scale, scale, scale,
                                colour);
            }
        }
        pen += kAdvance * scale;
    }
    return pen - x;
}

std::vector<uint8_t> MakeFontPack(int scale) {
    PackWriter pack(1, 128);
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        const char c = static_cast<char>(code);
        Canvas glyph(GlyphFont::kAdvance * scale, GlyphFont::kCellHeight * scale);
        for (int y = 0; y < glyph.Height(); ++y) {
            for (int x = 0; x < glyph.Width(); ++x) {
                if (GlyphFont::Inked(c, x / scale, y / scale - GlyphFont::kInkTop)) {
                    glyph.PlotShade(x, y);
                }
            }
        }
        pack.SetEntry(0, code, EncodePicture(glyph));
    }
    return pack.Build();
}

}  // namespace mkassets
