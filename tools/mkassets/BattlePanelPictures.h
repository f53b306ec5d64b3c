#pragma once
// The battle screen's overlay pictures: the options overlay's widget pack "7a1ubxxx99s999.msp"
// (lamp and slider knob), the overlay and its save-unavailable cover, and the unit panel's
// background, single-unit box and control-panel backdrop (entries of the design screen's
// packs). Pictures drawn "at (0, 0)" carry their screen place in their origin.
#include <cstdint>
#include <vector>

namespace mkassets {

class AssetPalette;

namespace BattlePanelPictures {
std::vector<uint8_t> MakeOptionsWidgetPack(const AssetPalette& palette);
// Single encoded pictures for the design screen's packs.
std::vector<uint8_t> OptionsOverlay(const AssetPalette& palette);   // 7a0un (0, 0)
std::vector<uint8_t> SaveUnavailable(const AssetPalette& palette);  // 7a0un (0, 1)
std::vector<uint8_t> UnitPanel(const AssetPalette& palette);        // 7a1un (0, 36)
std::vector<uint8_t> SingleUnitBox(const AssetPalette& palette);    // 7a0un (0, 47)
std::vector<uint8_t> ControlBackdrop(const AssetPalette& palette);  // 7a0un (0, 48)
}  // namespace BattlePanelPictures

}  // namespace mkassets
