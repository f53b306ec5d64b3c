#pragma once
// Turns a canvas into the game's run-length coded picture through the encoder the game shares:
// the canvas is the frame box; the stored picture is trimmed to its drawn pixels and keeps its
// place in the box through the origin. Empty when the picture cannot be coded.
#include <cstdint>
#include <vector>

namespace mkassets {

class Canvas;

std::vector<uint8_t> EncodePicture(const Canvas& canvas);

// Reads a picture made by EncodePicture back into a canvas of its frame box (for previews and
// checks). False on a damaged stream.
bool DecodePicture(const std::vector<uint8_t>& bytes, Canvas& out);

}  // namespace mkassets
