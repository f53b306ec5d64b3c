#pragma once
// A direction and length kept in polar and cartesian form at once:
// x = magnitude * cos(angle), y = magnitude * sin(angle), angle = atan2(y, x).
// The angle runs from +x towards +y, so a positive angle turns clockwise on the screen.
// Users read the four fields directly.
#include <cstdint>

class Point;

class Vector {
public:
    Vector() = default;
    // The sum of squares is formed in 64 bits so that large components cannot overflow.
    Vector(int32_t x, int32_t y);
    explicit Vector(const Point& p);
    // The direction of p with the given length.
    Vector(const Point& p, double magnitude);
    // Polar form.
    Vector(double angle, double magnitude);
    Vector(const Vector& other) = default;
    Vector& operator=(const Vector& other) = default;
    virtual ~Vector() = default;

    void SetXY(const Point& p);
    void SetX(double v);
    void SetY(double v);
    void SetAngle(double a);
    void SetMagnitude(double m);
    // These two keep the angle as it is and recompute only the other component and the length.
    void SetXKeepAngle(double v);
    void SetYKeepAngle(double v);

    double angle = 0.0;
    double magnitude = 0.0;
    double x = 0.0;
    double y = 0.0;

private:
    void FromCartesian();
    void FromPolar();
};
