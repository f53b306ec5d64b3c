#pragma once
// An extent: width and height as signed 32-bit integers.
#include <cstdint>

class Size {
public:
    Size() = default;
    Size(int32_t w, int32_t h) : w(w), h(h) {}
    Size(const Size& other) = default;
    Size& operator=(const Size& other) = default;
    virtual ~Size() = default;

    bool operator==(const Size& other) const { return w == other.w && h == other.h; }
    bool operator!=(const Size& other) const { return !(*this == other); }

    Size Grow(int32_t n) const;
    // Truncating division; a divisor of zero gives (0, 0), unlike Point::Divide.
    Size Divide(int32_t n) const;

    int32_t w = 0;
    int32_t h = 0;
};
