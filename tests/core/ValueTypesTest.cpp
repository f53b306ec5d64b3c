// Point, Size, Rect and Vector: the edge rules that drawing, hit tests and movement rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/Size.h"
#include "core/Vector.h"

TEST(Point, DivisionTruncatesTowardsZeroAndZeroDivisorKeepsThePoint) {
    EXPECT_EQ(Point(7, -7).Divide(2), Point(3, -3));
    EXPECT_EQ(Point(7, -7).Divide(0), Point(7, -7));
    EXPECT_EQ(Point(std::numeric_limits<int32_t>::min(), 4).Divide(-1),
              Point(std::numeric_limits<int32_t>::min(), -4));
}

TEST(Point, DoubleProductTruncatesTowardsZero) {
    EXPECT_EQ(Point(3, -3) * 0.5, Point(1, -1));
    EXPECT_EQ(Point(10, 10) * 0.99, Point(9, 9));
}

TEST(Size, ZeroDivisorGivesEmptySize) {
    EXPECT_EQ(Size(7, 7).Divide(0), Size(0, 0));
    EXPECT_EQ(Size(7, -9).Divide(2), Size(3, -4));
    EXPECT_EQ(Size(7, 7).Grow(-2), Size(5, 5));
    // Minus one negates, even the smallest size, which wraps to itself.
    EXPECT_EQ(Size(7, -9).Divide(-1), Size(-7, 9));
    EXPECT_EQ(Size(std::numeric_limits<int32_t>::min(), 1).Divide(-1),
              Size(std::numeric_limits<int32_t>::min(), -1));
    EXPECT_EQ(Size(-7, 9).Divide(-2), Size(3, -4));
}

TEST(Rect, TwoCornersInAnyOrderIncludeBothCorners) {
    const Rect r(Point(5, 5), Point(2, 9));
    EXPECT_EQ(r.Origin(), Point(2, 5));
    EXPECT_EQ(r.Extent(), Size(4, 5));
    EXPECT_EQ(Rect(Point(3, 3), Point(3, 3)).Extent(), Size(1, 1));
}

TEST(Rect, CentredModeCentresOnThePointAndNegativeExtentsHalveDownwards) {
    const Rect r(Point(100, 100), Size(10, 7), 'c');
    EXPECT_EQ(r.Origin(), Point(95, 97));
    EXPECT_EQ(r.Centre(), Point(100, 100));
    EXPECT_EQ(Rect(Point(100, 100), Size(10, 7), 'x').Origin(), Point(100, 100));
    // Halving a negative extent rounds down; the bottom right corner is inclusive.
    EXPECT_EQ(Rect(Point(0, 0), Size(-3, 3)).Centre(), Point(-2, 1));
    EXPECT_EQ(Rect(Point(10, 20), Size(5, 6)).BottomRight(), Point(14, 25));
}

TEST(Rect, TouchingRectanglesMeetInOnePixelAndApartOnesInAllZero) {
    const Rect a(Point(0, 0), Size(10, 10));
    EXPECT_EQ(a.Intersect(Rect(Point(9, 9), Size(5, 5))), Rect(Point(9, 9), Size(1, 1)));
    EXPECT_EQ(a.Intersect(Rect(Point(10, 0), Size(5, 5))), Rect());
    EXPECT_EQ(a.Intersect(Rect(Point(-20, -20), Size(5, 5))), Rect());
    // On each side: touching gives the shared column or row, one pixel apart gives nothing.
    const struct {
        Rect b, meet;
    } sides[] = {
        {Rect(Point(-4, 2), Size(5, 3)), Rect(Point(0, 2), Size(1, 3))},
        {Rect(Point(-5, 2), Size(5, 3)), Rect()},
        {Rect(Point(9, 2), Size(5, 3)), Rect(Point(9, 2), Size(1, 3))},
        {Rect(Point(10, 2), Size(5, 3)), Rect()},
        {Rect(Point(2, -4), Size(3, 5)), Rect(Point(2, 0), Size(3, 1))},
        {Rect(Point(2, -5), Size(3, 5)), Rect()},
        {Rect(Point(2, 9), Size(3, 5)), Rect(Point(2, 9), Size(3, 1))},
        {Rect(Point(2, 10), Size(3, 5)), Rect()},
    };
    for (const auto& s : sides) {
        EXPECT_EQ(a.Intersect(s.b), s.meet) << s.b.Origin().x << "," << s.b.Origin().y;
        EXPECT_EQ(s.b.Intersect(a), s.meet) << s.b.Origin().x << "," << s.b.Origin().y;
    }
}

TEST(Rect, UnionWithEmptyRectangleStretchesToOrigin) {
    Rect r(Point(10, 10), Size(5, 5));
    r.Union(Rect());
    EXPECT_EQ(r, Rect(Point(0, 0), Size(15, 15)));
    Rect s(Point(2, 3), Size(4, 4));
    s.Union(Rect(Point(-1, 5), Size(2, 10)));
    EXPECT_EQ(s, Rect(Point(-1, 3), Size(7, 12)));
}

TEST(Vector, IntegerConstructorAndMagnitudeChange) {
    Vector v(3, 4);
    EXPECT_DOUBLE_EQ(v.magnitude, 5.0);
    EXPECT_DOUBLE_EQ(v.angle, std::atan2(4.0, 3.0));
    v.SetMagnitude(10);
    EXPECT_NEAR(v.x, 6.0, 1e-9);
    EXPECT_NEAR(v.y, 8.0, 1e-9);
    // Large components do not overflow.
    EXPECT_DOUBLE_EQ(Vector(60000, 80000).magnitude, 100000.0);
}

TEST(Vector, SetYKeepAngleOnFlatVectorPutsItOnTheYAxis) {
    Vector v(0.0, 5.0);
    v.SetYKeepAngle(3);
    EXPECT_EQ(v.x, 0.0);
    EXPECT_EQ(v.y, 3.0);
    EXPECT_DOUBLE_EQ(v.magnitude, 3.0);
    EXPECT_EQ(v.angle, 0.0);
}

TEST(Vector, KeepAngleSettersLeaveTheAngle) {
    Vector v(Point(1, 1), 2.0);
    const double angle = v.angle;
    v.SetXKeepAngle(4);
    EXPECT_NEAR(v.y, 4.0, 1e-9);
    EXPECT_NEAR(v.magnitude, std::sqrt(32.0), 1e-9);
    EXPECT_EQ(v.angle, angle);
    v.SetYKeepAngle(2);
    EXPECT_NEAR(v.x, 2.0, 1e-9);
    EXPECT_EQ(v.angle, angle);
}

TEST(Vector, CartesianSettersRestoreThePolarForm) {
    Vector v;
    v.SetXY(Point(0, 2));
    EXPECT_NEAR(v.angle, std::numbers::pi / 2, 1e-12);
    v.SetX(2);
    EXPECT_NEAR(v.angle, std::numbers::pi / 4, 1e-12);
    EXPECT_NEAR(v.magnitude, std::sqrt(8.0), 1e-12);
    v.SetAngle(std::numbers::pi);
    EXPECT_NEAR(v.x, -std::sqrt(8.0), 1e-12);
    EXPECT_NEAR(v.y, 0.0, 1e-12);
}
