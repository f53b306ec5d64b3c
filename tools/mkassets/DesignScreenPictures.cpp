#include "DesignScreenPictures.h"

#include <cmath>
#include <functional>
#include <string>

#include "AssetPalette.h"
#include "BattlePanelPictures.h"
#include "Canvas.h"
#include "GlyphFont.h"
#include "PanelDrawing.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace DesignScreenPictures {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The mounts box's left edge; it reaches the screen's right edge.
constexpr int kMountsLeft = 448;

// A button face on a full-screen frame, so that it lands where the screen draws it.
Canvas ButtonFace(const Box& b, const std::string& text, const AssetPalette& palette,
                  bool pressed) {
    Canvas c(kWidth, kHeight);
    const Ramp& ramp = palette.GetRamp(pressed ? RampId::Interface : RampId::Metal);
    Plate(c, b, ramp, pressed ? 4 : 8);
    Frame(c, b, pressed ? PaletteIndex::kHighlight : PaletteIndex::kLightGrey);
    Caption(c, b, text, pressed ? PaletteIndex::kWhite : PaletteIndex::kText);
    return c;
}

struct Face {
    int row;
    Box box;
    const char* caption;
    bool pressed;
};

// The category buttons (highlighted and pressed looks), the tabs, the leave buttons, the
// library buttons and the settings pages.
const Face kFaces[] = {
    {1, {0, 6, 114, 58}, "CHASSIS", false},        {2, {0, 6, 114, 58}, "CHASSIS", true},
    {3, {0, 66, 113, 58}, "DRIVES", false},        {4, {0, 66, 113, 58}, "DRIVES", true},
    {5, {0, 126, 113, 57}, "WEAPONS", false},      {6, {0, 126, 113, 57}, "WEAPONS", true},
    {7, {0, 186, 113, 57}, "DEFENCE", false},      {8, {0, 186, 113, 57}, "DEFENCE", true},
    {9, {0, 246, 113, 57}, "STEALTH", false},      {10, {0, 246, 113, 57}, "STEALTH", true},
    {11, {0, 306, 113, 57}, "SENSORS", false},     {12, {0, 306, 113, 57}, "SENSORS", true},
    {13, {0, 366, 113, 57}, "SPECIAL", false},     {14, {0, 366, 113, 57}, "SPECIAL", true},
    {15, {1, 438, 157, 41}, "LIBRARY", false},     {16, {1, 438, 157, 41}, "LIBRARY", true},
    {17, {160, 438, 158, 41}, "PARTS", false},     {18, {160, 438, 158, 41}, "PARTS", true},
    {19, {321, 438, 158, 41}, "SETTINGS", false},  {20, {321, 438, 158, 41}, "SETTINGS", true},
    {21, {481, 439, 156, 40}, "TO BATTLE", false}, {22, {481, 439, 156, 40}, "TO BATTLE", true},
    {23, {279, 108, 83, 17}, "HELP", true},        {25, {434, 384, 69, 43}, "NEW", true},
    {37, {0, 25, 118, 64}, "STANDING", false},     {38, {0, 25, 118, 64}, "STANDING", true},
    {39, {0, 106, 118, 64}, "REPAIR", false},      {40, {0, 106, 118, 64}, "REPAIR", true},
    {41, {0, 186, 118, 64}, "PURSUIT", false},     {42, {0, 186, 118, 64}, "PURSUIT", true},
    {43, {0, 258, 118, 64}, "FIRE", false},        {44, {0, 258, 118, 64}, "FIRE", true},
    {53, {208, 400, 65, 28}, "DELETE", true},      {54, {432, 403, 60, 23}, "DELETE", true},
    {58, {481, 439, 156, 40}, "LEAVE", false},     {59, {481, 439, 156, 40}, "LEAVE", true},
    {86, {368, 403, 60, 23}, "NEW", true},         {88, {143, 400, 65, 28}, "NEW", true},
};

Canvas Background(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    const Ramp& panel = palette.GetRamp(RampId::Interface);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // A brushed plate: faint rows of a darker step.
            c.Plot(x, y, metal.At((y % 4 == 0 ? 3 : 4) + ((x / 80 + y / 60) % 2)));
        }
    }
    Plate(c, {0, 0, 116, 436}, metal, 6);
    // The category buttons show only when lit: the plate carries their captions.
    for (const Face& f : kFaces) {
        if (f.row > 14 || f.pressed) continue;
        Frame(c, f.box, metal.At(2));
        Caption(c, f.box, f.caption, PaletteIndex::kTextDim);
    }
    Plate(c, {206, 0, 240, 106}, panel, 2);
    Frame(c, {206, 0, 240, 106}, PaletteIndex::kLightGrey);
    c.FillRect(170, 156, 299, 202, panel.At(1));
    Frame(c, {170, 156, 299, 202}, metal.At(7));
    Plate(c, {kMountsLeft, 36, kWidth - kMountsLeft, 96}, metal, 5);
    for (const Box& entry :
         {Box{518, 156, 106, 80}, Box{518, 243, 106, 81}, Box{518, 332, 106, 78}}) {
        c.FillRect(entry.x, entry.y, entry.w, entry.h, panel.At(1));
        Frame(c, entry, metal.At(8));
    }
    Plate(c, {517, 139, 107, 13}, metal, 6);
    Plate(c, {518, 413, 112, 18}, metal, 6);
    c.FillRect(222, 407, 191, 17, PaletteIndex::kBlack);
    Frame(c, {221, 406, 193, 19}, metal.At(9));
    GlyphFont::DrawText(c, 180, 409, "NAME", 1, PaletteIndex::kText);
    for (const Face& f : kFaces) {
        if (f.row >= 15 && f.row <= 21 && !f.pressed) {
            Plate(c, f.box, metal, 7);
            Caption(c, f.box, f.caption, PaletteIndex::kText);
        }
    }
    return c;
}

// A backdrop over the middle of the screen with its own boxes; the rest stays see-through.
Canvas LibraryBackdrop(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    const Ramp& panel = palette.GetRamp(RampId::Interface);
    Plate(c, {0, 0, 488, 436}, metal, 5);
    Plate(c, {206, 0, 240, 106}, panel, 2);
    c.FillRect(6, 45, 126, 125, panel.At(1));
    Frame(c, {5, 44, 128, 127}, metal.At(8));
    c.FillRect(128, 196, 155, 163, PaletteIndex::kBlack);
    c.FillRect(364, 198, 151, 162, PaletteIndex::kBlack);
    Frame(c, {127, 160, 157, 240}, metal.At(8));
    Frame(c, {363, 160, 153, 240}, metal.At(8));
    GlyphFont::DrawText(c, 140, 180, "DESIGNS", 1, PaletteIndex::kHeading);
    GlyphFont::DrawText(c, 400, 182, "GROUPS", 1, PaletteIndex::kHeading);
    // The library buttons show only when lit: the backdrop carries their captions.
    const Face plates[] = {
        {15, {208, 400, 65, 28}, "DELETE", false}, {16, {143, 400, 65, 28}, "NEW", false},
        {17, {287, 224, 59, 51}, "ADD", false},    {18, {288, 281, 62, 52}, "DROP", false},
        {19, {368, 403, 60, 23}, "NEW", false},    {20, {524, 255, 65, 69}, "OPEN", false},
        {21, {432, 403, 60, 23}, "DELETE", false}};
    for (const Face& f : plates) {
        Plate(c, f.box, metal, 7);
        Caption(c, f.box, f.caption, PaletteIndex::kText);
    }
    return c;
}

Canvas SettingsBackdrop(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    const Ramp& panel = palette.GetRamp(RampId::Interface);
    Plate(c, {0, 0, 488, 436}, metal, 5);
    Plate(c, {206, 0, 240, 106}, panel, 2);
    c.FillRect(160, 140, 300, 240, panel.At(1));
    Frame(c, {159, 139, 302, 242}, metal.At(8));
    c.FillRect(509, 11, 125, 126, panel.At(1));
    DrawSettingsPageFaces(c, palette);
    return c;
}

Canvas LeaveOverlay(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    Frame(c, {479, 437, 160, 43}, palette.GetRamp(RampId::Fire).At(10));
    return c;
}

struct Row {
    int y;
    const char* text;
};

// A settings panel's background with the captions of its rows; the knobs sit at x 169.
Canvas SettingsPanel(const std::vector<Row>& rows, const char* title, const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& panel = palette.GetRamp(RampId::Interface);
    c.FillRect(162, 128, 294, 248, panel.At(2));
    Frame(c, {162, 128, 294, 248}, PaletteIndex::kLightGrey);
    GlyphFont::DrawText(c, 172, 132, title, 1, PaletteIndex::kHeading);
    for (const Row& r : rows) {
        Frame(c, {168, r.y, 21, 20}, panel.At(6));
        GlyphFont::DrawText(c, 196, r.y + 4, r.text, 1, PaletteIndex::kText);
    }
    return c;
}

Canvas StandingPanel(const AssetPalette& p) {
    return SettingsPanel({{158, "No standing orders"},
                          {194, "Engage the nearest"},
                          {248, "Stand still"},
                          {302, "Return fire"},
                          {338, "Seek out targets"}},
                         "STANDING ORDERS", p);
}

Canvas PursuitPanel(const AssetPalette& p) {
    return SettingsPanel({{202, "Give up lost targets"},
                          {256, "Give up when out of range"},
                          {291, "Keep the target"}},
                         "ATTACK", p);
}

Canvas FirePanel(const AssetPalette& p) {
    return SettingsPanel({{152, "Focus fire"},
                          {187, "Each weapon its own target"},
                          {235, "After combat: stay"},
                          {270, "After combat: return"},
                          {306, "After combat: regroup"},
                          {342, "After combat: go on"}},
                         "TARGETS", p);
}

Canvas RepairPanel(const AssetPalette& p) {
    Canvas c = SettingsPanel({{222, "Keep away while repaired"}, {257, "Wait where it stands"}},
                             "REPAIR", p);
    const Ramp& metal = p.GetRamp(RampId::Metal);
    for (int y : {180, 346}) {
        c.FillRect(227, y + 12, 185, 3, metal.At(10));
        GlyphFont::DrawText(c, 172, y - 14,
                            y == 180 ? "Repair when busy below" : "Repair when idle below", 1,
                            PaletteIndex::kText);
    }
    return c;
}

// The question covers both lists of the library panel from side to side, so that no row shows
// cut: its edges lie in the blank rows between the lines of both lists (they start two pixels
// apart, twelve pixels a line). The top edge stands two rows above the question's highest text
// (a question naming two designs is written from row 213), the bottom edge below the whole
// caption of the DROP button it crosses.
Canvas QuestionBox(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    const Box box{120, 210, 397, 110};
    Plate(c, box, metal, 6);
    Frame(c, box, PaletteIndex::kHighlight);
    for (int x : {241, 317}) {
        Frame(c, {x, 273, x == 241 ? 69 : 95, 21}, metal.At(10));
        Frame(c, {x + 1, 275, 19, 18}, metal.At(12));
    }
    GlyphFont::DrawText(c, 266, 278, "YES", 1, PaletteIndex::kText);
    GlyphFont::DrawText(c, 342, 278, "NO", 1, PaletteIndex::kText);
    return c;
}

// A small picture of its own size (drawn centred in its rectangle).
Canvas Knob(int w, int h, const AssetPalette& palette, bool slider) {
    Canvas c(w, h);
    const Ramp& ramp = palette.GetRamp(slider ? RampId::Metal : RampId::Fire);
    if (slider) {
        Plate(c, {0, 0, w, h}, ramp, 9);
        c.FillRect(w / 2 - 1, 3, 2, h - 6, ramp.At(3));
    } else {
        c.FillCircle(w / 2, h / 2, std::min(w, h) / 2 - 3, ramp.At(12));
    }
    return c;
}

// A mount's size as a figure on a round badge. The screen draws it with its top-right corner
// one column right of a catalogue entry's top-right corner, on the row under it, and centred on
// a socket it highlights; the badge keeps to the lower left of its 17 x 17 picture, three rows
// below the top and five columns left of the right edge, so on an entry it stands clear of the
// frame by three pixels and of the part in the middle.
Canvas SizeIcon(int size, const AssetPalette& palette) {
    Canvas c(kSizeIconSide, kSizeIconSide);
    const Ramp& crystal = palette.GetRamp(RampId::Crystal);
    const int cx = kSizeBadgeLeft + kSizeBadgeSide / 2, cy = kSizeBadgeTop + kSizeBadgeSide / 2;
    c.FillCircle(cx, cy, kSizeBadgeSide / 2, crystal.At(12));
    c.FillCircle(cx, cy, kSizeBadgeSide / 2 - 1, crystal.At(5));
    // The figure's 5 x 7 glyph in the middle of the badge.
    GlyphFont::DrawText(c, cx - 2, cy - 3 - GlyphFont::kInkTop, std::to_string(size), 1,
                        PaletteIndex::kWhite);
    // The screen lines up the stored picture, which is trimmed to what is drawn, and not the
    // picture's box: a shade pixel in the box's corner, which a plain drawing leaves clear, keeps
    // the whole box stored and the badge in its place.
    c.PlotShade(0, 0);
    return c;
}

// Frame i of the backdrop animation: a scan line sweeping over a grid, centred on the screen.
Canvas BackdropFrame(int i, const AssetPalette& palette) {
    Canvas c(299, 202);
    const Ramp& panel = palette.GetRamp(RampId::Interface);
    for (int x = 0; x < c.Width(); x += 20)
        c.FillRect(x, 0, 1, c.Height(), panel.At(3));
    for (int y = 0; y < c.Height(); y += 20)
        c.FillRect(0, y, c.Width(), 1, panel.At(3));
    const int sweep = i * c.Width() / 7;
    for (int dx = 0; dx < 12; ++dx)
        c.FillRect(sweep + dx, 0, 1, c.Height(), panel.At(4 + dx / 3));
    return c;
}

Canvas ArrowPicture(bool up, const AssetPalette& palette) {
    Canvas c(100, 14);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    Plate(c, {0, 0, 100, 14}, metal, 10);
    for (int k = 0; k < 5; ++k) {
        const int y = up ? 3 + k : 11 - k;
        c.FillRect(50 - k, y, 2 * k + 1, 1, PaletteIndex::kBlack);
    }
    return c;
}

// The hardpoint sockets of each layout: centre of the 17 x 17 button and the icon size.
struct Socket {
    int x, y, size;
};
const std::vector<Socket> kSix = {{545, 105, 3}, {565, 82, 4}, {565, 44, 4},
                                  {525, 44, 4},  {525, 82, 4}, {545, 63, 3}};
const std::vector<Socket> kLayoutSockets[kLayouts] = {
    {{545, 57, 2}},
    {{545, 91, 1}, {545, 58, 3}},
    {{583, 58, 2}, {507, 58, 2}},
    {{570, 89, 2}, {545, 53, 3}, {520, 89, 2}},
    {{560, 87, 2}, {569, 57, 4}, {520, 57, 4}, {529, 86, 2}},
    {{545, 105, 3}, {576, 77, 3}, {545, 55, 4}, {514, 77, 3}},
    {{565, 100, 2}, {564, 50, 4}, {526, 50, 4}, {526, 100, 2}, {545, 74, 3}},
    {{545, 99, 2}, {563, 75, 3}, {582, 57, 4}, {508, 57, 4}, {527, 75, 3}},
    {{532, 84, 4}, {558, 84, 4}},
    {{545, 91, 4}, {560, 66, 4}, {530, 66, 4}},
    {{545, 79, 3}, {559, 53, 2}, {531, 53, 2}},
    {{545, 68, 2}},
    {{498, 75, 4}, {592, 75, 4}},
    kSix,
    kSix,
};

Canvas HardpointBackground(int layout, const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    // Wide enough for a mounted part's label on either side of every socket (the screen writes
    // it 12 pixels beyond the socket's centre).
    Plate(c, {kMountsLeft, 36, kWidth - kMountsLeft, 96}, metal, 4);
    // The hull outline the sockets stand on.
    const Ramp& hull = palette.GetRamp(RampId::Rock);
    c.FillRect(515, 50, 88, 70, hull.At(3));
    for (const Socket& s : kLayoutSockets[layout]) {
        const int cx = s.x + 8, cy = s.y + 8;
        c.FillCircle(cx, cy, 7 + s.size, metal.At(2));
        c.FillCircle(cx, cy, 5 + s.size, metal.At(7));
    }
    GlyphFont::DrawText(c, kMountsLeft + 4, 38, "MOUNTS", 1, PaletteIndex::kHeading);
    return c;
}

Canvas OpenGroupOverlay(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& panel = palette.GetRamp(RampId::Interface);
    c.FillRect(372, 138, 122, 20, panel.At(3));
    Frame(c, {372, 138, 122, 20}, PaletteIndex::kHighlight);
    Frame(c, {362, 196, 155, 166}, PaletteIndex::kHighlight);
    return c;
}

}  // namespace

void DrawSettingsPageFaces(Canvas& c, const AssetPalette& palette) {
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    for (const Face& f : kFaces) {
        if (f.row < 37 || f.row > 44 || f.pressed) continue;
        Plate(c, f.box, metal, 7);
        Caption(c, f.box, f.caption, PaletteIndex::kText);
    }
}

std::vector<uint8_t> MakeLargePack(const AssetPalette& palette) {
    PackWriter pack(1, kLargeRows);
    auto put = [&](int row, const Canvas& c) { pack.SetEntry(0, row, EncodePicture(c)); };
    put(0, Background(palette));
    for (const Face& f : kFaces)
        put(f.row, ButtonFace(f.box, f.caption, palette, f.pressed));
    put(29, LibraryBackdrop(palette));
    put(30, SettingsBackdrop(palette));
    pack.SetEntry(0, 36, BattlePanelPictures::UnitPanel(palette));
    put(57, LeaveOverlay(palette));
    put(60, StandingPanel(palette));
    put(61, RepairPanel(palette));
    put(62, PursuitPanel(palette));
    put(63, FirePanel(palette));
    put(65, QuestionBox(palette));
    return pack.Build();
}

std::vector<uint8_t> MakeSmallPack(const AssetPalette& palette) {
    PackWriter pack(kSmallColumns, kSmallRows);
    auto put = [&](int column, int row, const Canvas& c) {
        pack.SetEntry(column, row, EncodePicture(c));
    };
    // The battle screen's options overlay and its save-unavailable cover.
    pack.SetEntry(0, 0, BattlePanelPictures::OptionsOverlay(palette));
    pack.SetEntry(0, 1, BattlePanelPictures::SaveUnavailable(palette));
    for (int i = 0; i < 7; ++i)
        put(i + 1, 0, BackdropFrame(i, palette));
    put(0, 27, ButtonFace({517, 139, 107, 13}, "UP", palette, true));
    put(0, 28, ButtonFace({518, 413, 112, 18}, "DOWN", palette, true));
    pack.SetEntry(0, 47, BattlePanelPictures::SingleUnitBox(palette));
    pack.SetEntry(0, 48, BattlePanelPictures::ControlBackdrop(palette));
    put(0, 51, ArrowPicture(true, palette));
    put(0, 52, ArrowPicture(false, palette));
    put(0, 55, ButtonFace({287, 224, 59, 51}, "ADD", palette, true));
    put(0, 56, ButtonFace({288, 281, 62, 52}, "DROP", palette, true));
    put(0, 65, Knob(19, 18, palette, false));
    put(0, 66, Knob(38, 27, palette, true));
    for (int size = 1; size <= 4; ++size)
        put(0, 66 + size, SizeIcon(size, palette));
    // The rows the screen reads each layout's background from.
    const int backgroundRows[kLayouts] = {71, 72, 77, 78, 74, 79, 75, 80,
                                          82, 81, 73, 76, 83, 84, 85};
    for (int layout = 0; layout < kLayouts; ++layout)
        put(0, backgroundRows[layout], HardpointBackground(layout, palette));
    put(0, 87, OpenGroupOverlay(palette));
    return pack.Build();
}

}  // namespace DesignScreenPictures

}  // namespace mkassets
