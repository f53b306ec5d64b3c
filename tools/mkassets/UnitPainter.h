#pragma once
// Draws the catalogue's vehicles, parts and buildings from small models seen from above: each
// model is a stack of boxes, ellipses and wedges in the unit's own frame (x forward, y to the
// right), turned to one of the 16 facings, lit from the top left and outlined so that the
// silhouette still reads at 1:4. Team-colour patches become shade areas, which the game fills
// with the owner's colour.
#include <cstdint>
#include <vector>

#include "AssetPalette.h"
#include "Canvas.h"

namespace mkassets {

namespace UnitPainter {

enum class Shape : uint8_t { Box, Ellipse, Nose };
enum class Paint : uint8_t { Hull, Dark, Team, Glass, Glow, Tread, Ore, Rust, Crystal, Light };

struct Piece {
    Shape shape;
    double x, y;                   // centre in the unit's frame
    double halfLength, halfWidth;  // along x and along y
    int height;                    // higher pieces cover lower ones
    Paint paint;
};
using Model = std::vector<Piece>;

struct Offset {
    double x = 0, y = 0;
};

// The angle of facing f as the game turns units: facing 8 looks along +x, facing 12 down.
double FacingAngle(int facing);
// A point of the unit's frame turned to a facing and scaled: its offset from the centre on
// the screen.
Offset Turn(double x, double y, int facing, double scale);

struct Style {
    RampId hull = RampId::Metal;
    int frame = 0;  // moves the tread stripes and the glows
};

// The model drawn into a box x box canvas, centred, turned to the facing.
Canvas Render(const Model& model, int box, int facing, double scale, const Style& style,
              const AssetPalette& palette);

}  // namespace UnitPainter

}  // namespace mkassets
