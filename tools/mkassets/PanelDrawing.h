#pragma once
// The plates, frames and centred captions the screen and panel pictures are built from.
#include <cstdint>
#include <string>

namespace mkassets {

class Canvas;
class Ramp;

struct Box {
    int x, y, w, h;
};

// Bevelled plate: light top-left edge, dark bottom-right edge.
void Plate(Canvas& c, const Box& b, const Ramp& ramp, int step);
void Frame(Canvas& c, const Box& b, uint8_t colour);
// The text centred in the box.
void Caption(Canvas& c, const Box& b, const std::string& text, uint8_t colour);

}  // namespace mkassets
