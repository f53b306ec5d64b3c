#pragma once
// An area of pixels: a top-left origin and an extent, right and bottom edges inclusive
// (origin + extent - 1). The all-zero rectangle is the empty one.
#include <cstdint>

#include "core/Point.h"
#include "core/Size.h"

class Rect {
public:
    Rect() = default;
    Rect(const Point& origin, const Size& extent) : origin(origin), extent(extent) {}
    // The rectangle spanned by two corner pixels in any order, both included.
    Rect(const Point& a, const Point& b);
    // Mode 'c' centres the rectangle on p; any other mode keeps p as the top-left corner.
    Rect(const Point& p, const Size& s, char mode);
    Rect(const Rect& other) = default;
    Rect& operator=(const Rect& other) = default;
    virtual ~Rect() = default;

    bool operator==(const Rect& other) const {
        return origin == other.origin && extent == other.extent;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }

    Point Origin() const { return origin; }
    Size Extent() const { return extent; }
    Point Centre() const;
    // The inclusive bottom-right pixel.
    Point BottomRight() const;
    void CentreOn();
    void Set(const Point& newOrigin, const Size& newExtent);
    // The overlap of the two, or the all-zero rectangle when they do not overlap.
    Rect Intersect(const Rect& b) const;
    // Grows this rectangle to cover b too; an all-zero b counts as a rectangle at (0, 0).
    void Union(const Rect& b);

    Point origin;
    Size extent;
};
