#pragma once
// The battle screen's pictures: the large pack "7a1ugxxx99s999.msp" (side panel, build panel,
// bottom strip, panel and strip buttons, the unit panel's chassis icons and the structure
// indicators; one column), the small pack "7a0ugxxx99s999.msp" (the map-view frame, zoom,
// mini-map and tab buttons, list arrows, tab headers, hardpoint markers, dock lamps, factory
// warnings, and the progress, rank and damage bars as rows of frames) and the waypoint
// marker's pack "7a0atxxx99s999.msp" (its frames across row 0). Every picture carries its
// screen place in its origin, as the screen draws it; markers and marker frames are drawn
// centred.
#include <cstdint>
#include <vector>

namespace mkassets {

class AssetPalette;

namespace BattleScreenPictures {
constexpr int kLargeRows = 65;
constexpr int kSmallRows = 73;
constexpr int kBarFrames = 11;
constexpr int kMarkerFrames = 8;

std::vector<uint8_t> MakeLargePack(const AssetPalette& palette);
std::vector<uint8_t> MakeSmallPack(const AssetPalette& palette);
std::vector<uint8_t> MakeMarkerPack(const AssetPalette& palette);
}  // namespace BattleScreenPictures

}  // namespace mkassets
