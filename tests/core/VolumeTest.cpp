#include "core/Volume.h"

#include <gtest/gtest.h>

TEST(Volume, PercentagesMapToTheAttenuationOfTheirBand) {
    // Each band's edges, and the clamps below 0 and above 100.
    const int cases[][2] = {{-5, -10000}, {0, -10000}, {1, -3000},  {9, -3000},  {10, -2500},
                            {19, -2500},  {20, -2000}, {30, -1500}, {40, -1200}, {50, -1000},
                            {59, -1000},  {60, -650},  {70, -500},  {80, -300},  {90, -250},
                            {99, -250},   {100, 0},    {150, 0}};
    for (const auto& [percent, attenuation] : cases)
        EXPECT_EQ(VolumeToAttenuation(percent), attenuation) << percent;
}

TEST(Volume, AttenuationsMapBackToTheLowestPercentOfTheirBand) {
    const int cases[][2] = {{-20000, 0}, {-10000, 0}, {-9999, 1},  {-3000, 1}, {-2999, 10},
                            {-2500, 10}, {-2499, 20}, {-1000, 50}, {-999, 60}, {-650, 60},
                            {-251, 90},  {-250, 90},  {-249, 100}, {0, 100}};
    for (const auto& [attenuation, percent] : cases)
        EXPECT_EQ(AttenuationToVolume(attenuation), percent) << attenuation;
}

TEST(Volume, MoviePlaysAtTheMasterVolumeRelativeToItsOwn) {
    EXPECT_EQ(MovieAttenuation(50, 0), -1000);
    EXPECT_EQ(MovieAttenuation(50, -650), VolumeToAttenuation(30));
    EXPECT_EQ(MovieAttenuation(50, -650), -1500);
    EXPECT_EQ(MovieAttenuation(100, 0), 0);
    EXPECT_EQ(MovieAttenuation(0, 0), -10000);
}
