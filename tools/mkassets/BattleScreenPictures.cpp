#include "BattleScreenPictures.h"

#include <iterator>
#include <string>

#include "AssetPalette.h"
#include "Canvas.h"
#include "CataloguePictures.h"
#include "GlyphFont.h"
#include "PanelDrawing.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace BattleScreenPictures {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Both corners inclusive.
Box Corners(int x0, int y0, int x1, int y1) {
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// A button face on a full-screen frame, so that it lands where the screen draws it: lit for a
// highlight, sunk for a press, plain for the normal look.
enum class Look { Normal, Lit, Pressed };
void DrawFace(Canvas& c, const Box& b, const std::string& text, const AssetPalette& palette,
              Look look) {
    const Ramp& ramp = palette.GetRamp(look == Look::Pressed ? RampId::Interface : RampId::Metal);
    Plate(c, b, ramp, look == Look::Lit ? 10 : look == Look::Pressed ? 5 : 7);
    Frame(c, b, look == Look::Normal ? PaletteIndex::kLightGrey : PaletteIndex::kHighlight);
    Caption(c, b, text, look == Look::Pressed ? PaletteIndex::kWhite : PaletteIndex::kText);
}
Canvas Face(const Box& b, const std::string& text, const AssetPalette& palette, Look look) {
    Canvas c(kWidth, kHeight);
    DrawFace(c, b, text, palette, look);
    return c;
}

struct FaceRow {
    int row;
    Box box;
    const char* caption;
    Look look;
};

// The large pack's buttons by row (the screen's button table names the rows).
const FaceRow kLargeFaces[] = {
    {1, Corners(573, 46, 637, 67), "OPTIONS", Look::Lit},
    {7, Corners(573, 46, 637, 67), "OPTIONS", Look::Pressed},
    {2, Corners(512, 46, 573, 66), "MAP", Look::Lit},
    {3, Corners(512, 46, 573, 66), "BUILD", Look::Normal},
    {4, Corners(512, 46, 573, 66), "BUILD", Look::Lit},
    {5, Corners(573, 67, 637, 89), "DESIGN", Look::Lit},
    {6, Corners(512, 67, 573, 89), "UNITS", Look::Lit},
    {8, Corners(512, 67, 573, 89), "UNITS", Look::Pressed},
    {11, Corners(582, 344, 639, 368), "BUILD", Look::Lit},
    {12, Corners(527, 255, 624, 270), "GROUPS", Look::Lit},
    {13, Corners(527, 255, 624, 270), "DESIGNS", Look::Normal},
    {14, Corners(527, 255, 624, 270), "DESIGNS", Look::Lit},
    {16, Corners(8, 448, 68, 472), "DESTROY", Look::Lit},
    {17, Corners(75, 448, 138, 472), "SPECIAL", Look::Lit},
    {18, Corners(145, 448, 210, 472), "GUARD", Look::Lit},
    {19, Corners(216, 448, 280, 472), "HOME", Look::Lit},
    {20, Corners(288, 448, 351, 472), "REPAIR", Look::Lit},
    {21, Corners(356, 448, 422, 472), "MARKS", Look::Lit},
    {64, Corners(356, 448, 422, 472), "MARKS", Look::Pressed},
    {22, Corners(429, 448, 494, 472), "FACTORY", Look::Lit},
    {23, Corners(500, 448, 564, 472), "TRACK", Look::Lit},
    {25, Corners(500, 448, 564, 472), "TRACK", Look::Pressed},
    {24, Corners(572, 448, 632, 472), "PAUSE", Look::Lit},
    {26, Corners(572, 448, 632, 472), "PAUSE", Look::Pressed},
};

// The buttons that have no normal picture of their own show the picture under them: these are
// their faces in the side panel, the build panel, the map frame and the bottom strip.
struct NormalFace {
    Box box;
    const char* caption;
};
const NormalFace kSidePanelFaces[] = {
    {Corners(573, 67, 637, 89), "DESIGN"},  {Corners(512, 67, 573, 89), "UNITS"},
    {Corners(573, 46, 637, 67), "OPTIONS"}, {Corners(558, 292, 588, 322), "x2"},
    {Corners(518, 292, 543, 322), "1:1"},   {Corners(599, 292, 628, 322), "TAB"},
};
const NormalFace kBuildPanelFaces[] = {
    {Corners(512, 46, 573, 66), "MAP"},
    {Corners(582, 344, 639, 368), "BUILD"},
    {Corners(527, 255, 624, 270), "GROUPS"},
};
const NormalFace kStripFaces[] = {
    {Corners(8, 448, 68, 472), "DESTROY"},    {Corners(75, 448, 138, 472), "SPECIAL"},
    {Corners(145, 448, 210, 472), "GUARD"},   {Corners(216, 448, 280, 472), "HOME"},
    {Corners(288, 448, 351, 472), "REPAIR"},  {Corners(356, 448, 422, 472), "MARKS"},
    {Corners(429, 448, 494, 472), "FACTORY"}, {Corners(500, 448, 564, 472), "TRACK"},
    {Corners(572, 448, 632, 472), "PAUSE"},
};
// The strip on/off tab at the map view's right edge.
const Box kStripToggle = Corners(490, 383, 512, 447);
constexpr int kStripTop = 448;

const FaceRow kSmallFaces[] = {
    {1, Corners(518, 292, 543, 322), "1:1", Look::Lit},
    {2, Corners(518, 292, 543, 322), "1:2", Look::Normal},
    {3, Corners(518, 292, 543, 322), "1:2", Look::Lit},
    {4, Corners(558, 292, 588, 322), "x2", Look::Lit},
    {5, Corners(558, 292, 588, 322), "x1", Look::Normal},
    {6, Corners(558, 292, 588, 322), "x1", Look::Lit},
    {7, Corners(490, 383, 512, 447), "", Look::Lit},
    {68, Corners(599, 292, 628, 322), "TAB", Look::Lit},
    {14, Corners(518, 274, 635, 282), "", Look::Lit},
    {15, Corners(518, 335, 635, 342), "", Look::Lit},
    {16, Corners(518, 371, 635, 377), "", Look::Lit},
    {17, Corners(518, 431, 635, 440), "", Look::Lit},
};

Canvas SidePanel(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    Plate(c, {512, 0, 128, 480}, metal, 6);
    // The two resource counters, the tab area and its header.
    c.FillRect(521, 22, 38, 10, PaletteIndex::kBlack);
    c.FillRect(588, 22, 38, 10, PaletteIndex::kBlack);
    GlyphFont::DrawText(c, 521, 8, "ORE", 1, PaletteIndex::kHeading);
    GlyphFont::DrawText(c, 588, 8, "CASH", 1, PaletteIndex::kHeading);
    // The tab area's text and the unit panel's names start at the left edge of their boxes
    // (x 521): the frames stand two columns further out, so nothing written touches them.
    c.FillRect(519, 332, 112, 107, PaletteIndex::kBlack);
    Frame(c, Corners(518, 331, 631, 439), PaletteIndex::kLightGrey);
    // The unit panel: the chassis picture box, rank and damage readouts.
    c.FillRect(519, 112, 112, 102, palette.GetRamp(RampId::Interface).At(2));
    Frame(c, Corners(518, 111, 631, 214), PaletteIndex::kLightGrey);
    GlyphFont::DrawText(c, 524, 228, "RANK", 1, PaletteIndex::kText);
    GlyphFont::DrawText(c, 524, 269, "DAMAGE", 1, PaletteIndex::kText);
    for (const NormalFace& f : kSidePanelFaces)
        DrawFace(c, f.box, f.caption, palette, Look::Normal);
    return c;
}

Canvas BuildPanel(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& panel = palette.GetRamp(RampId::Interface);
    Plate(c, {512, 90, 128, 358}, panel, 4);
    c.FillRect(522, 107, 108, 102, panel.At(1));
    c.FillRect(534, 216, 85, 31, PaletteIndex::kBlack);
    c.FillRect(523, 281, 110, 53, PaletteIndex::kBlack);
    c.FillRect(523, 377, 110, 52, PaletteIndex::kBlack);
    c.FillRect(527, 351, 17, 13, PaletteIndex::kBlack);
    for (const NormalFace& f : kBuildPanelFaces)
        DrawFace(c, f.box, f.caption, palette, Look::Normal);
    return c;
}

// The screen draws the strip by its frame box's top-left at the strip's own top-left corner, so
// its frame box is the strip alone; the faces stand where the buttons are, moved up with it.
Canvas BottomStrip(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight - kStripTop);
    Plate(c, {0, 0, kWidth, kHeight - kStripTop}, palette.GetRamp(RampId::Metal), 5);
    for (const NormalFace& f : kStripFaces) {
        const Box moved{f.box.x, f.box.y - kStripTop, f.box.w, f.box.h};
        DrawFace(c, moved, f.caption, palette, Look::Normal);
    }
    return c;
}

// A chassis icon of the unit panel: the body of the chassis kind the row stands for, nose right
// above the rows of the parts' names. Only the assault, heavy and factory hulls carry more than
// two parts, and so two rows of names.
Canvas ChassisIcon(int row, const AssetPalette& palette) {
    using CataloguePictures::Body;
    static const Body kBodies[] = {Body::Scout,   Body::Tank,   Body::Assault,   Body::Heavy,
                                   Body::Heavy,   Body::Miner,  Body::Scavenger, Body::Repair,
                                   Body::Capture, Body::Bomber, Body::Gunship,   Body::Carrier,
                                   Body::Factory, Body::Relay,  Body::Relay};
    constexpr int kFirstRow = 27;
    const int k = row - kFirstRow;
    if (k < 0 || k >= static_cast<int>(std::size(kBodies))) return Canvas(kWidth, kHeight);
    const bool twoRows =
        kBodies[k] == Body::Assault || kBodies[k] == Body::Heavy || kBodies[k] == Body::Factory;
    return CataloguePictures::BodyIcon(kBodies[k], !twoRows, palette);
}

Canvas StructureIndicator(int i, const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    c.FillRect(522 + 18 * i, 442, 14, 4, palette.GetRamp(RampId::Fire).At(10));
    return c;
}

// The frame round the map view: a border with an open interior.
Canvas MapFrame(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    c.FillRect(0, 0, 512, 3, metal.At(9));
    c.FillRect(0, 477, 512, 3, metal.At(4));
    c.FillRect(0, 0, 3, 480, metal.At(9));
    c.FillRect(509, 0, 3, 480, metal.At(4));
    // The strip toggle's face: an arrow pointing at the strip.
    Plate(c, kStripToggle, metal, 7);
    Frame(c, kStripToggle, PaletteIndex::kLightGrey);
    const int cx = kStripToggle.x + kStripToggle.w / 2;
    for (int i = 0; i < 6; ++i)
        c.FillRect(cx - i, kStripToggle.y + 26 + i, 2 * i + 1, 1, PaletteIndex::kText);
    c.FillRect(cx - 1, kStripToggle.y + 14, 3, 12, PaletteIndex::kText);
    return c;
}

Canvas TabHeader(const char* text, const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    c.FillRect(521, 323, 70, 8, palette.GetRamp(RampId::Interface).At(6));
    GlyphFont::DrawText(c, 522, 321, text, 1, PaletteIndex::kHeading);
    return c;
}

// A ring round a hardpoint's part: the unit panel centres it on the part's point, and the part's
// picture stands lifted above that point, so the ring is too. Nothing of it reaches the rows of
// the part's name, 6 rows below the point and lower; alternate hardpoints ring a little thicker.
Canvas Marker(int hardpoint) {
    constexpr int kWide = 26, kTall = 42, kRaise = 8, kOuter = 12;
    Canvas c(kWide, kTall);
    const int cx = kWide / 2, cy = kTall / 2 - kRaise;
    const int inner = kOuter - 2 - hardpoint % 2;
    for (int y = 0; y < kTall; ++y) {
        for (int x = 0; x < kWide; ++x) {
            const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 <= kOuter * kOuter && d2 > inner * inner && y <= kTall / 2 + 4)
                c.Plot(x, y, PaletteIndex::kHighlight);
        }
    }
    return c;
}

Canvas Lamp(int x, int y, uint8_t colour) {
    Canvas c(kWidth, kHeight);
    c.FillCircle(x, y, 4, colour);
    return c;
}

Canvas Warning(int slot, const char* text, const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Box b{523, 116 + 14 * slot, 62, 12};
    c.FillRect(b.x, b.y, b.w, b.h, palette.GetRamp(RampId::Fire).At(5));
    Caption(c, b, text, PaletteIndex::kWhite);
    return c;
}

// Frame f of a bar: f tenths filled.
Canvas Bar(const Box& b, int f, uint8_t colour) {
    Canvas c(kWidth, kHeight);
    c.FillRect(b.x, b.y, b.w, b.h, PaletteIndex::kBlack);
    c.FillRect(b.x + 1, b.y + 1, (b.w - 2) * f / (kBarFrames - 1), b.h - 2, colour);
    return c;
}

Canvas MarkerFrame(int f, const AssetPalette& palette) {
    Canvas c(32, 32);
    const int r = 3 + f * 12 / kMarkerFrames;
    c.FillCircle(16, 16, r, palette.GetRamp(RampId::Ore).At(6));
    if (r > 2) c.FillCircle(16, 16, r - 2, PaletteIndex::kBrightGreen);
    for (int y = 16 - r + 3; y <= 16 + r - 3; ++y) {
        for (int x = 16 - r + 3; x <= 16 + r - 3; ++x) {
            if (c.Inside(x, y) && (x - 16) * (x - 16) + (y - 16) * (y - 16) < (r - 3) * (r - 3))
                c.Clear(x, y);
        }
    }
    return c;
}

}  // namespace

std::vector<uint8_t> MakeLargePack(const AssetPalette& palette) {
    PackWriter pack(1, kLargeRows);
    auto put = [&](int row, const Canvas& c) { pack.SetEntry(0, row, EncodePicture(c)); };
    put(0, SidePanel(palette));
    put(10, BuildPanel(palette));
    put(15, BottomStrip(palette));
    for (const FaceRow& f : kLargeFaces)
        put(f.row, Face(f.box, f.caption, palette, f.look));
    for (int row = 27; row <= 41; ++row)
        put(row, ChassisIcon(row, palette));
    for (int i = 0; i < 6; ++i)
        put(42 + i, StructureIndicator(i, palette));
    return pack.Build();
}

std::vector<uint8_t> MakeSmallPack(const AssetPalette& palette) {
    PackWriter pack(kBarFrames, kSmallRows);
    auto put = [&](int column, int row, const Canvas& c) {
        pack.SetEntry(column, row, EncodePicture(c));
    };
    put(0, 0, MapFrame(palette));
    for (const FaceRow& f : kSmallFaces)
        put(0, f.row, Face(f.box, f.caption, palette, f.look));
    put(0, 56, TabHeader("MAP", palette));
    put(0, 59, TabHeader("STATUS", palette));
    put(0, 72, TabHeader("PLAYERS", palette));
    const int markers[7] = {57, 58, 60, 61, 62, 63, 64};
    for (int i = 0; i < 7; ++i)
        put(0, markers[i], Marker(i));
    // Docks: carrier 0 .. 2, repair unit 0 .. 1, a spare; a code-4 structure's two and a spare.
    const int docks[9] = {8, 9, 10, 11, 12, 13, 69, 70, 71};
    for (int i = 0; i < 9; ++i)
        put(0, docks[i], Lamp(590 + 12 * (i % 3), 120 + 12 * (i / 3), PaletteIndex::kStatusWarn));
    const char* warnings[3] = {"BLOCKED", "NO DOCK", "NOT READY"};
    const int rowsV[3] = {21, 23, 22};
    const int rowsT[3] = {24, 26, 25};
    for (int i = 0; i < 3; ++i) {
        put(0, rowsV[i], Warning(i, warnings[i], palette));
        put(0, rowsT[i], Warning(i, warnings[i], palette));
    }
    // The build bar stands between the seconds left (x 527 to 543) and the build button
    // (from x 582), whose caption is the panel's own: over it, it would hide the caption.
    const Box bars[3] = {{547, 352, 32, 10}, {592, 230, 30, 8}, {592, 271, 30, 8}};
    const uint8_t colours[3] = {PaletteIndex::kStatusGood, PaletteIndex::kHeading,
                                PaletteIndex::kStatusBad};
    for (int b = 0; b < 3; ++b) {
        for (int f = 0; f < kBarFrames; ++f)
            put(f, 18 + b, Bar(bars[b], f, colours[b]));
    }
    return pack.Build();
}

std::vector<uint8_t> MakeMarkerPack(const AssetPalette& palette) {
    PackWriter pack(kMarkerFrames, 1);
    for (int f = 0; f < kMarkerFrames; ++f)
        pack.SetEntry(f, 0, EncodePicture(MarkerFrame(f, palette)));
    return pack.Build();
}

}  // namespace BattleScreenPictures

}  // namespace mkassets
