#include "core/Rect.h"

#include <algorithm>

namespace {
// Edge arithmetic is done in 64 bits and stored back wrapped, so extreme values neither
// trap nor change the result for ordinary rectangles.
int32_t Wrap(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}
}  // namespace

Rect::Rect(const Point& a, const Point& b) {
    const int64_t left = std::min(a.x, b.x);
    const int64_t top = std::min(a.y, b.y);
    const int64_t right = std::max(a.x, b.x);
    const int64_t bottom = std::max(a.y, b.y);
    origin = Point(static_cast<int32_t>(left), static_cast<int32_t>(top));
    extent = Size(Wrap(right - left + 1), Wrap(bottom - top + 1));
}

Rect::Rect(const Point& p, const Size& s, char mode) : origin(p), extent(s) {
    if (mode == 'c') CentreOn();
}

// The halvings are arithmetic shifts: the odd pixel goes right of and below the centre.
Point Rect::Centre() const {
    return Point(Wrap(int64_t{origin.x} + (extent.w >> 1)),
                 Wrap(int64_t{origin.y} + (extent.h >> 1)));
}

Point Rect::BottomRight() const {
    return Point(Wrap(int64_t{origin.x} + extent.w - 1), Wrap(int64_t{origin.y} + extent.h - 1));
}

void Rect::CentreOn() {
    origin.x = Wrap(int64_t{origin.x} - (extent.w >> 1));
    origin.y = Wrap(int64_t{origin.y} - (extent.h >> 1));
}

void Rect::Set(const Point& newOrigin, const Size& newExtent) {
    origin = newOrigin;
    extent = newExtent;
}

Rect Rect::Intersect(const Rect& b) const {
    const int32_t aLeft = origin.x;
    const int32_t aTop = origin.y;
    const int32_t aRight = BottomRight().x;
    const int32_t aBottom = BottomRight().y;
    const int32_t bLeft = b.origin.x;
    const int32_t bTop = b.origin.y;
    const int32_t bRight = b.BottomRight().x;
    const int32_t bBottom = b.BottomRight().y;
    if (aRight >= bLeft && aLeft <= bRight && aBottom >= bTop && aTop <= bBottom) {
        return Rect(Point(std::max(aLeft, bLeft), std::max(aTop, bTop)),
                    Point(std::min(aRight, bRight), std::min(aBottom, bBottom)));
    }
    return Rect();
}

void Rect::Union(const Rect& b) {
    const int64_t left = std::min(origin.x, b.origin.x);
    const int64_t top = std::min(origin.y, b.origin.y);
    const int64_t right = std::max(int64_t{origin.x} + extent.w, int64_t{b.origin.x} + b.extent.w);
    const int64_t bottom = std::max(int64_t{origin.y} + extent.h, int64_t{b.origin.y} + b.extent.h);
    origin = Point(static_cast<int32_t>(left), static_cast<int32_t>(top));
    extent = Size(Wrap(right - left), Wrap(bottom - top));
}
