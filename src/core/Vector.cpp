#include "core/Vector.h"

#include <cmath>

#include "core/Point.h"

Vector::Vector(int32_t ix, int32_t iy) : x(ix), y(iy) {
    angle = std::atan2(y, x);
    const int64_t squares = int64_t{ix} * ix + int64_t{iy} * iy;
    magnitude = std::sqrt(static_cast<double>(squares));
}

Vector::Vector(const Point& p) : x(p.x), y(p.y) {
    FromCartesian();
}

Vector::Vector(const Point& p, double length) : magnitude(length) {
    angle = std::atan2(static_cast<double>(p.y), static_cast<double>(p.x));
    FromPolar();
}

Vector::Vector(double a, double length) : angle(a), magnitude(length) {
    FromPolar();
}

void Vector::SetXY(const Point& p) {
    x = p.x;
    y = p.y;
    FromCartesian();
}

void Vector::SetX(double v) {
    x = v;
    FromCartesian();
}

void Vector::SetY(double v) {
    y = v;
    FromCartesian();
}

void Vector::SetAngle(double a) {
    angle = a;
    FromPolar();
}

void Vector::SetMagnitude(double m) {
    magnitude = m;
    FromPolar();
}

void Vector::SetXKeepAngle(double v) {
    if (v == x) return;
    x = v;
    y = std::tan(angle) * v;
    magnitude = std::sqrt(x * x + y * y);
}

void Vector::SetYKeepAngle(double v) {
    if (v == y) return;
    y = v;
    const double t = std::tan(angle);
    // A flat direction has no x for a given y; the vector then stands on the y axis.
    x = (t == 0.0) ? 0.0 : v / t;
    magnitude = std::sqrt(x * x + y * y);
}

void Vector::FromCartesian() {
    angle = std::atan2(y, x);
    magnitude = std::sqrt(x * x + y * y);
}

void Vector::FromPolar() {
    x = std::cos(angle) * magnitude;
    y = std::sin(angle) * magnitude;
}
