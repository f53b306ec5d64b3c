#include "core/Point.h"

#include "core/Size.h"

namespace {
// 32-bit products wrap instead of being undefined: the arithmetic is done unsigned.
int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
}  // namespace

Point Point::operator+(const Point& other) const {
    return Point(WrapAdd(x, other.x), WrapAdd(y, other.y));
}

Point Point::operator-(const Point& other) const {
    return Point(WrapSub(x, other.x), WrapSub(y, other.y));
}

Point Point::operator-(const Size& size) const {
    return Point(WrapSub(x, size.w), WrapSub(y, size.h));
}

Point Point::Offset(const Size& size) const {
    return Point(WrapAdd(x, size.w), WrapAdd(y, size.h));
}

Point Point::Shrink(int32_t n) const {
    return Point(WrapSub(x, n), WrapSub(y, n));
}

Point Point::Scale(int32_t n) const {
    return Point(WrapMul(x, n), WrapMul(y, n));
}

Point Point::operator*(const Point& other) const {
    return Point(WrapMul(x, other.x), WrapMul(y, other.y));
}

Point Point::operator*(double d) const {
    return Point(static_cast<int32_t>(static_cast<double>(x) * d),
                 static_cast<int32_t>(static_cast<double>(y) * d));
}

Point Point::Divide(int32_t n) const {
    if (n == 0) return *this;
    // INT32_MIN / -1 overflows; the wrapped quotient is the value itself.
    if (n == -1) return Point(WrapSub(0, x), WrapSub(0, y));
    return Point(x / n, y / n);
}
