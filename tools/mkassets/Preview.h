#pragma once
// PNG pictures of the assets as the game would show them, for a person to look at: the title
// and exit pictures, a font sample, the cursors, the wait animation and each land at 1:1, 1:2
// and 1:4.
#include <cstdint>
#include <string>
#include <vector>

namespace mkassets {

class AssetPalette;
namespace LandMaker {
struct Land;
}

bool WritePicturePreviews(const std::string& directory, const AssetPalette& palette);
bool WriteLandPreviews(const std::string& directory, const LandMaker::Land& land,
                       const std::vector<uint8_t>& tiles, const AssetPalette& palette);

// The 32 x 32 pixels of a block-coded tile (256 bytes).
void DecodeTile(const uint8_t* tile, uint8_t* pixels, int pitch);

}  // namespace mkassets
