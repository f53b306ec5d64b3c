#pragma once
// A filled rectangle in one palette colour, usable wherever a picture is expected (selection
// bars, the text cursor block, bar graphs, the screen clear).
#include <cstdint>

#include "core/Image.h"

class ColourBox : public Image {
public:
    ColourBox(int32_t colour, const Size& size) : Image(size), colour(colour) {}

    // Centred on the point (halves truncating towards zero).
    void Draw(const Point& centre) override;
    void DrawAt(const Point& topLeft) override;

    int32_t colour;
};
