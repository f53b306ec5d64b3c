#pragma once
// Stand-ins for what the template catalogue reads at start-up: an empty catalogue "7a.pts" and
// simple pictures for its fixed packs (repair and role markers, artifacts, ore deposits, level
// bars and meters), so the game starts without the catalogue's own data. The catalogue's data
// set replaces them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mkassets {

class AssetPalette;

namespace CatalogueStandIn {
// (file name, contents) of every stand-in, all for the local asset directory.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Files(const AssetPalette& palette);
}  // namespace CatalogueStandIn

}  // namespace mkassets
