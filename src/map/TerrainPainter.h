#pragma once
// Draws the ground of the map view into the display's back buffer at 1:1, 1:2 or 1:4: the
// tile of every cell the view shows, sampled without filtering, never-seen cells as the spare
// tile, and the checkerboard fog over cells seen before. No pixel is written twice and nothing
// outside the screen rectangle is touched.
#include <cstdint>

class Point;
class TerrainMap;

class TerrainPainter {
public:
    // zoomShift 0, 1 or 2: the view shows 32 << zoomShift map pixels per 32 screen pixels.
    // The view is the screen rectangle's whole cells (width / 32 by height / 32), each pixel
    // of which is written once; rows and columns beyond them are left alone, except that at
    // 1:2 and 1:4 the right cut column (its corner cells aside) is moved right so that it ends
    // on the rectangle's own last column, leaving the columns it moved from untouched.
    static void DrawView(TerrainMap& map, const Point& viewOrigin, int zoomShift);
};
