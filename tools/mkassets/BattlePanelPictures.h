#pragma once
// The battle screen's panel and overlay pictures: the options overlay's widget pack
// "7a1ubxxx99s999.msp" (lamp and slider knob), the overlay and its save-unavailable cover, the
// unit panel's background, single-unit box and control-panel backdrop (entries of the design
// screen's packs), and the unit panel's rows of the small battle pack "7a0ugxxx99s999.msp":
// docks, factory warnings, the three bars and the hardpoint markers. Pictures drawn "at (0, 0)"
// carry their place in their origin.
#include <cstdint>
#include <vector>

class PackWriter;

namespace mkassets {

class AssetPalette;

namespace BattlePanelPictures {
// Frames of each bar row (0 empty .. 10 full).
constexpr int kBarFrames = 11;
// The columns and rows the small battle pack needs for these rows.
constexpr int kSmallColumns = kBarFrames;
constexpr int kSmallRows = 72;

std::vector<uint8_t> MakeOptionsWidgetPack(const AssetPalette& palette);
// Single encoded pictures for the design screen's packs.
std::vector<uint8_t> OptionsOverlay(const AssetPalette& palette);   // 7a0un (0, 0)
std::vector<uint8_t> SaveUnavailable(const AssetPalette& palette);  // 7a0un (0, 1)
std::vector<uint8_t> UnitPanel(const AssetPalette& palette);        // 7a1un (0, 36)
std::vector<uint8_t> SingleUnitBox(const AssetPalette& palette);    // 7a0un (0, 47)
std::vector<uint8_t> ControlBackdrop(const AssetPalette& palette);  // 7a0un (0, 48)
// Docks 8-13 and 69-71, bars 18-20, warnings 21-26, markers 57, 58, 60-64.
void PutUnitPanelRows(PackWriter& pack, const AssetPalette& palette);
}  // namespace BattlePanelPictures

}  // namespace mkassets
