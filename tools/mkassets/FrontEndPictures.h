#pragma once
// The front-end screens' pictures: the main menu, the game set-up groups and controls, the
// load-game screen, the results screen with its high-score table, and the next-mission prompt.
// Faces of buttons drawn centred are as big as their button; faces placed by their origin are
// drawn on a whole-screen canvas at their button's place.
#include <cstdint>
#include <vector>

namespace mkassets {

class AssetPalette;

namespace FrontEndPictures {
// "7a1usxxx99s999.msp": the menu background, a highlight bar per item row, greyed bars.
std::vector<uint8_t> MakeMenuPack(const AssetPalette& palette);
// "7a1upxxx99s999.msp": the set-up group backgrounds (rows 0, 5, 6, 8).
std::vector<uint8_t> MakeSetupLargePack(const AssetPalette& palette);
// "7a0upxxx99s999.msp": the set-up buttons, swatches, markers and slider knob.
std::vector<uint8_t> MakeSetupSmallPack(const AssetPalette& palette);
// "7a1uexxx99s999.msp": the load-game background.
std::vector<uint8_t> MakeLoadGameLargePack(const AssetPalette& palette);
// "7a0uexxx99s999.msp": the load-game faces.
std::vector<uint8_t> MakeLoadGameSmallPack(const AssetPalette& palette);
// "7a0uaxxx99s999.msp" and "7a1uaxxx99s999.msp": the results screen and its table.
std::vector<uint8_t> MakeResultsPack(const AssetPalette& palette);
// "7a1ufxxx99s999.msp": the next-mission prompt and its network overlay.
std::vector<uint8_t> MakePromptPack(const AssetPalette& palette);
}  // namespace FrontEndPictures

}  // namespace mkassets
