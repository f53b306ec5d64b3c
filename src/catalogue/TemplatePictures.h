#pragma once
// Frame sizes of catalogue picture sets, used to centre the offset tables of the records on
// their pictures. A missing set or frame measures (0, 0).
#include "core/Point.h"
#include "core/Size.h"

class SpriteSet;

// The frame box of the first frame: of frame 0 for a flat set, of frame 0 of sequence 0 for a
// grid.
Size FirstFrameSize(SpriteSet* set);
// The frame box of frame `frame` of sequence `sequence` of a grid.
Size GridFrameSize(SpriteSet* grid, int sequence, int frame);
// The point less half the width and half the height.
Point CentredOn(const Point& p, const Size& frame);
