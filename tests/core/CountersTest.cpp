// SimId, Meter and ValueCounter.
#include <gtest/gtest.h>

#include <limits>

#include "core/Meter.h"
#include "core/SimId.h"
#include "core/ValueCounter.h"

TEST(Meter, PercentAgainstZeroMaximumIsHundred) {
    EXPECT_EQ(Meter(0, 37).Percent(), 100);
    EXPECT_EQ(Meter(3, 1).Percent(), 33);
    EXPECT_EQ(Meter(100, -50).Percent(), -50);
}

TEST(Meter, AddClampsBelowAtZeroOnly) {
    Meter m(100, 20);
    m.Add(-50);
    EXPECT_EQ(m.Value(), 0);
    m.SetValue(150);
    EXPECT_TRUE(m.IsOver());
    EXPECT_EQ(m.Percent(), 150);
    m.Add(std::numeric_limits<int32_t>::max());
    EXPECT_EQ(m.Value(), std::numeric_limits<int32_t>::max());
}

TEST(ValueCounter, ResetRefillsAndSubtractHasNoFloor) {
    ValueCounter c;
    c.SetMax(3);
    EXPECT_FALSE(c.IsPositive());
    c.Reset();
    EXPECT_TRUE(c.IsPositive());
    c.Subtract(5);
    EXPECT_EQ(c.current, -2);
    EXPECT_FALSE(c.IsPositive());
}
