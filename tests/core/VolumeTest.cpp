#include "core/Volume.h"

#include <gtest/gtest.h>

TEST(Volume, PercentagesMapToTheAttenuationOfTheirBand) {
    EXPECT_EQ(VolumeToAttenuation(-5), -10000);
    EXPECT_EQ(VolumeToAttenuation(0), -10000);
    EXPECT_EQ(VolumeToAttenuation(1), -3000);
    EXPECT_EQ(VolumeToAttenuation(9), -3000);
    EXPECT_EQ(VolumeToAttenuation(10), -2500);
    EXPECT_EQ(VolumeToAttenuation(19), -2500);
    EXPECT_EQ(VolumeToAttenuation(20), -2000);
    EXPECT_EQ(VolumeToAttenuation(30), -1500);
    EXPECT_EQ(VolumeToAttenuation(40), -1200);
    EXPECT_EQ(VolumeToAttenuation(50), -1000);
    EXPECT_EQ(VolumeToAttenuation(59), -1000);
    EXPECT_EQ(VolumeToAttenuation(60), -650);
    EXPECT_EQ(VolumeToAttenuation(70), -500);
    EXPECT_EQ(VolumeToAttenuation(80), -300);
    EXPECT_EQ(VolumeToAttenuation(90), -250);
    EXPECT_EQ(VolumeToAttenuation(99), -250);
    EXPECT_EQ(VolumeToAttenuation(100), 0);
    EXPECT_EQ(VolumeToAttenuation(150), 0);
}

TEST(Volume, AttenuationsMapBackToTheLowestPercentOfTheirBand) {
    EXPECT_EQ(AttenuationToVolume(-20000), 0);
    EXPECT_EQ(AttenuationToVolume(-10000), 0);
    EXPECT_EQ(AttenuationToVolume(-9999), 1);
    EXPECT_EQ(AttenuationToVolume(-3000), 1);
    EXPECT_EQ(AttenuationToVolume(-2999), 10);
    EXPECT_EQ(AttenuationToVolume(-2500), 10);
    EXPECT_EQ(AttenuationToVolume(-2499), 20);
    EXPECT_EQ(AttenuationToVolume(-1000), 50);
    EXPECT_EQ(AttenuationToVolume(-999), 60);
    EXPECT_EQ(AttenuationToVolume(-650), 60);
    EXPECT_EQ(AttenuationToVolume(-251), 90);
    EXPECT_EQ(AttenuationToVolume(-250), 90);
    EXPECT_EQ(AttenuationToVolume(-249), 100);
    EXPECT_EQ(AttenuationToVolume(0), 100);
}

TEST(Volume, EveryBandRoundTripsThroughItsLowestPercent) {
    for (int percent = 0; percent <= 100; ++percent) {
        const int attenuation = VolumeToAttenuation(percent);
        EXPECT_EQ(VolumeToAttenuation(AttenuationToVolume(attenuation)), attenuation) << percent;
    }
}

TEST(Volume, MoviePlaysAtTheMasterVolumeRelativeToItsOwn) {
    EXPECT_EQ(MovieAttenuation(50, 0), -1000);
    EXPECT_EQ(MovieAttenuation(50, -650), VolumeToAttenuation(30));
    EXPECT_EQ(MovieAttenuation(50, -650), -1500);
    EXPECT_EQ(MovieAttenuation(100, 0), 0);
    EXPECT_EQ(MovieAttenuation(0, 0), -10000);
}
