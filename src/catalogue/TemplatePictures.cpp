#include "catalogue/TemplatePictures.h"

#include "core/SpriteSet.h"

Size FirstFrameSize(SpriteSet* set) {
    if (!set || set->LastFrameIndex() < 0) return Size();
    // A grid's frame 0 is a set in its turn; its frame box is that of its current frame 0.
    return set->FrameSizeOf(0);
}

Size GridFrameSize(SpriteSet* grid, int sequence, int frame) {
    if (!grid || sequence < 0 || sequence > grid->LastFrameIndex()) return Size();
    Image* row = grid->SubImage(sequence);
    if (!row || frame < 0 || frame > row->LastFrameIndex()) return Size();
    return row->FrameSizeOf(frame);
}

Point CentredOn(const Point& p, const Size& frame) {
    return Point(p.x - frame.w / 2, p.y - frame.h / 2);
}
