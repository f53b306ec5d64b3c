#pragma once
// A small PNG writer for the maker's previews: 8-bit pictures through a palette, stored
// uncompressed (deflate's stored blocks), so no library is needed.
#include <cstdint>
#include <string>
#include <vector>

namespace mkassets {

class AssetPalette;

// Writes width x height palette indices (row by row) as an RGB PNG; false when the file cannot
// be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
              const AssetPalette& palette);

}  // namespace mkassets
