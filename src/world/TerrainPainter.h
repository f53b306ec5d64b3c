#pragma once
// Draws the ground of the map view into the display's back buffer at 1:1, 1:2 or 1:4: the
// tile of every cell the view shows, sampled without filtering, never-seen cells as the spare
// tile, and the checkerboard fog over cells seen before. Every pixel of the view's
// (cells x 32)-pixel area is written exactly once; nothing outside it is touched.
#include <cstdint>

class Point;
class TerrainMap;

class TerrainPainter {
public:
    // zoomShift 0, 1 or 2: the view shows 32 << zoomShift map pixels per 32 screen pixels.
    static void DrawView(TerrainMap& map, const Point& viewOrigin, int zoomShift);
};
