#include "BattlePanelPictures.h"

#include <string>

#include "AssetPalette.h"
#include "Canvas.h"
#include "DesignScreenPictures.h"
#include "GlyphFont.h"
#include "PanelDrawing.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace BattlePanelPictures {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void Text(Canvas& c, int x, int y, const std::string& text, uint8_t colour) {
    GlyphFont::DrawText(c, x, y, text, 1, colour);
}

// The overlay's rows: lamp place, caption.
struct OptionRow {
    int y;
    const char* caption;
};
constexpr OptionRow kOptionRows[] = {
    {104, "SAVE GAME"},    {152, "QUIT TO MENU"}, {184, "RESTART"},
    {215, "MISSION TEXT"}, {248, "MUSIC"},
};

Canvas OverlayCanvas(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    const Box overlay{142, 88, 356, 303};
    Plate(c, overlay, metal, 5);
    Frame(c, overlay, PaletteIndex::kHighlight);
    for (const OptionRow& row : kOptionRows) {
        Frame(c, {269, row.y - 2, 118, 22}, metal.At(9));
        c.FillRect(271, row.y, 19, 18, metal.At(2));
        Text(c, 295, row.y + 4, row.caption, PaletteIndex::kText);
    }
    // The title field's place under the save row.
    c.FillRect(238, 127, 163, 14, PaletteIndex::kFieldBack);
    // The slider tracks, the knob's 38 pixels beyond the last travel point.
    const std::pair<int, const char*> sliders[2] = {{298, "SPEED"}, {347, "VOLUME"}};
    for (const auto& [y, caption] : sliders) {
        Text(c, 160, y + 8, caption, PaletteIndex::kText);
        c.FillRect(233, y + 12, 181, 3, metal.At(1));
        Frame(c, {231, y - 2, 185, 31}, metal.At(9));
    }
    return c;
}

Canvas SaveCover(const AssetPalette& palette) {
    Canvas c(kWidth, kHeight);
    const Box cover{238, 100, 163, 42};
    c.FillRect(cover.x, cover.y, cover.w, cover.h, palette.GetRamp(RampId::Metal).At(2));
    Frame(c, cover, PaletteIndex::kStatusBad);
    Caption(c, cover, "NOT AVAILABLE", PaletteIndex::kStatusBad);
    return c;
}

Canvas LampPicture(const AssetPalette& palette) {
    Canvas c(19, 18);
    const Ramp& fire = palette.GetRamp(RampId::Fire);
    c.FillCircle(9, 9, 7, fire.At(6));
    c.FillCircle(9, 9, 4, fire.At(12));
    return c;
}

Canvas KnobPicture(const AssetPalette& palette) {
    Canvas c(38, 27);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    Plate(c, {0, 0, 38, 27}, metal, 9);
    // The marker points up and down from the knob's middle, above and below the value the
    // overlay writes across it (rows 7 to 13), so that no digit stands on it.
    c.FillRect(18, 2, 2, 3, metal.At(3));
    c.FillRect(18, 16, 2, 9, metal.At(3));
    return c;
}

Canvas UnitPanelCanvas(const AssetPalette& palette) {
    Canvas c(512, kHeight);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    // The page tabs' column, the settings text box and the control area's frame.
    Plate(c, {0, 0, 119, 330}, metal, 4);
    Plate(c, {206, 0, 240, 106}, metal, 3);
    Frame(c, {206, 0, 240, 106}, PaletteIndex::kLightGrey);
    DesignScreenPictures::DrawSettingsPageFaces(c, palette);
    return c;
}

Canvas SingleUnitCanvas(const AssetPalette& palette) {
    Canvas c(512, kHeight);
    Frame(c, {208, 2, 236, 102}, PaletteIndex::kHighlight);
    Text(c, 212, 92, "ONE UNIT", palette.GetRamp(RampId::Metal).At(12));
    return c;
}

// The control area's frame comes with the page behind it: with no page open the map shows
// there, not an empty frame that reads as a selection box.
Canvas BackdropCanvas(const AssetPalette& palette) {
    Canvas c(512, kHeight);
    Plate(c, {156, 136, 323, 243}, palette.GetRamp(RampId::Interface), 3);
    Frame(c, {154, 134, 327, 247}, PaletteIndex::kHighlight);
    Frame(c, {155, 135, 325, 245}, palette.GetRamp(RampId::Metal).At(10));
    return c;
}

}  // namespace

std::vector<uint8_t> MakeOptionsWidgetPack(const AssetPalette& palette) {
    PackWriter pack(1, 2);
    pack.SetEntry(0, 0, EncodePicture(LampPicture(palette)));
    pack.SetEntry(0, 1, EncodePicture(KnobPicture(palette)));
    return pack.Build();
}

std::vector<uint8_t> OptionsOverlay(const AssetPalette& palette) {
    return EncodePicture(OverlayCanvas(palette));
}

std::vector<uint8_t> SaveUnavailable(const AssetPalette& palette) {
    return EncodePicture(SaveCover(palette));
}

std::vector<uint8_t> UnitPanel(const AssetPalette& palette) {
    return EncodePicture(UnitPanelCanvas(palette));
}

std::vector<uint8_t> SingleUnitBox(const AssetPalette& palette) {
    return EncodePicture(SingleUnitCanvas(palette));
}

std::vector<uint8_t> ControlBackdrop(const AssetPalette& palette) {
    return EncodePicture(BackdropCanvas(palette));
}

}  // namespace BattlePanelPictures

}  // namespace mkassets
