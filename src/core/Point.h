#pragma once
// A pixel position or any pair of signed 32-bit integers, with component-wise arithmetic.
#include <cstdint>

class Size;

class Point {
public:
    Point() = default;
    Point(int32_t x, int32_t y) : x(x), y(y) {}
    Point(const Point& other) = default;
    Point& operator=(const Point& other) = default;
    virtual ~Point() = default;

    bool operator==(const Point& other) const { return x == other.x && y == other.y; }
    bool operator!=(const Point& other) const { return !(*this == other); }

    Point operator+(const Point& other) const;
    Point operator-(const Point& other) const;
    Point operator-(const Size& size) const;
    Point Offset(const Size& size) const;
    Point Shrink(int32_t n) const;
    // 32-bit products, wrapping as the integers do.
    Point Scale(int32_t n) const;
    Point operator*(const Point& other) const;
    // Each product is formed in double and truncated towards zero.
    Point operator*(double d) const;
    // Truncating division; a divisor of zero leaves the point unchanged.
    Point Divide(int32_t n) const;

    int32_t x = 0;
    int32_t y = 0;
};
