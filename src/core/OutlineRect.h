#pragma once
// The one-pixel frame of a rectangle in one palette colour, usable wherever a picture is
// expected. Edges cut off by the clip rectangle are not drawn.
#include <cstdint>

#include "core/Image.h"

class OutlineRect : public Image {
public:
    OutlineRect(int32_t colour, const Size& size) : Image(size), colour(colour) {}

    void Draw(const Point& centre) override;
    void DrawAt(const Point& topLeft) override { DrawOutlineRect(topLeft); }
    void DrawOutlineRect(const Point& topLeft);

    int32_t colour;
};
