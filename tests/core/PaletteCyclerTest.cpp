#include "core/PaletteCycler.h"

#include <gtest/gtest.h>

#include "support/DisplayFixtures.h"

namespace {

const Rgb kPulse[5] = {
    {40, 255, 255}, {36, 230, 230}, {32, 204, 204}, {28, 179, 179}, {24, 153, 153}};

class Cycler : public ::testing::Test, public ScreenFixture {
protected:
    Cycler() { screen.SetPalette(new Palette()); }
    Rgb Entry111() const { return screen.GetPalette()->entries[111]; }
    PaletteCycler cycler;
};

TEST_F(Cycler, PulsesOneStepPerHundredMilliseconds) {
    cycler.SetSecondRing(1);
    cycler.Resume();
    const int expected[10] = {2, 3, 4, 3, 2, 1, 0, 0, 0, 1};
    for (int step = 0; step < 10; ++step) {
        cycler.Tick(100);
        EXPECT_EQ(Entry111(), kPulse[expected[step]]) << step;
        EXPECT_EQ(screen.HardwarePalette()[111], kPulse[expected[step]]) << step;
    }
}

TEST_F(Cycler, ShortTicksAddUpAndExcessIsDropped) {
    cycler.SetSecondRing(1);
    cycler.Resume();
    cycler.Tick(99);
    EXPECT_EQ(cycler.Counter(), 1);
    cycler.Tick(50);  // 149: one step, the excess dropped
    EXPECT_EQ(cycler.Counter(), 2);
    cycler.Tick(50);
    EXPECT_EQ(cycler.Counter(), 2);
    cycler.Tick(50);
    EXPECT_EQ(cycler.Counter(), 3);
}

TEST_F(Cycler, CreatedSuspendedAndSuspendedTicksChangeNothing) {
    cycler.SetSecondRing(1);
    EXPECT_FALSE(cycler.Enabled());
    cycler.Tick(500);
    EXPECT_EQ(Entry111(), (Rgb{0, 0, 0}));
    cycler.Resume();
    cycler.Tick(100);
    cycler.Suspend();
    Rgb kept = Entry111();
    cycler.Tick(100);
    cycler.Tick(100);
    EXPECT_EQ(Entry111(), kept);
    cycler.Resume();
    EXPECT_TRUE(cycler.Enabled());
}

TEST(CyclerWithoutPalette, StillResetsItsElapsedTime) {
    ScreenFixture fixture;
    PaletteCycler cycler;
    cycler.SetSecondRing(1);
    cycler.Resume();
    cycler.Tick(100);
    EXPECT_EQ(cycler.Counter(), 1);
    EXPECT_EQ(fixture.screen.GetPalette(), nullptr);
}

}  // namespace
