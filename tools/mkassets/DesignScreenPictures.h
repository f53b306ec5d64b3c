#pragma once
// The design screen's pictures: the large pack "7a1unxxx99s999.msp" (background, category,
// tab, library and settings-page buttons, backdrops, overlays, settings-panel backgrounds and
// the question box; one column) and the small pack "7a0unxxx99s999.msp" (the backdrop
// animation across row 0, page and list arrows, group buttons, knobs, mount-size icons, the
// hardpoint-panel backgrounds of the fifteen chassis layouts and the open-group overlay). Every
// picture carries its screen place in its origin, as the screen draws it.
#include <cstdint>
#include <vector>

namespace mkassets {

class AssetPalette;
class Canvas;

namespace DesignScreenPictures {
constexpr int kLargeRows = 89;
constexpr int kSmallColumns = 8;
constexpr int kSmallRows = 88;
constexpr int kLayouts = 15;
// The mount-size icons (rows 67 to 70 for sizes 1 to 4): a 17 x 17 picture whose round badge,
// kSizeBadgeSide across with its top-left at (kSizeBadgeLeft, kSizeBadgeTop), shows the size
// as a figure in the main font.
constexpr int kSizeIconSide = 17;
constexpr int kSizeBadgeLeft = 1, kSizeBadgeTop = 3, kSizeBadgeSide = 11;

std::vector<uint8_t> MakeLargePack(const AssetPalette& palette);
std::vector<uint8_t> MakeSmallPack(const AssetPalette& palette);
// The settings-page buttons have no normal picture: their faces stand in the picture under
// them, the design screen's settings backdrop and the battle's unit panel alike.
void DrawSettingsPageFaces(Canvas& c, const AssetPalette& palette);
}  // namespace DesignScreenPictures

}  // namespace mkassets
