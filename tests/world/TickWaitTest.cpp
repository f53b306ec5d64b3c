// Between ticks the World tells the loop how long it may sleep: until the 16 ms floor is met.
#include <gtest/gtest.h>

#include "world/WorldTestFixture.h"

TEST(TickWait, TheLoopMaySleepUntilTheFloorIsMet) {
    WorldFixture f;
    f.Switch(GameMode::MainMenu);
    ASSERT_EQ(f.world->Tick(100), 1);
    const struct {
        int now;
        int wait;
    } cases[] = {{100, 16}, {105, 11}, {115, 1}, {116, 0}, {400, 0}, {90, 16}};
    for (const auto& c : cases)
        EXPECT_EQ(f.world->MsUntilTickDue(c.now), c.wait) << c.now;
    // A pass below the floor does not tick, so the wait still counts from the last tick.
    f.world->Tick(110);
    EXPECT_EQ(f.world->MsUntilTickDue(110), 6);
    f.world->Tick(116);
    EXPECT_EQ(f.world->MsUntilTickDue(116), 16);
}
