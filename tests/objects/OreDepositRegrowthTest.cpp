// An ore well left alone turns to fast growth once and tells the peers once.
#include <gtest/gtest.h>

#include "objects/CommandBuffer.h"
#include "objects/OreDeposit.h"
#include "objects/SimTestSupport.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"

TEST(OreDepositRegrowth, ADepositLeftAloneAnnouncesItsFastGrowthOnce) {
    FakeClock clock(1000);
    FakeObjectWorld world;
    world.host = 1;
    world.commands.SetEnabled(1);
    OreDeposit deposit(Point(100, 100), Size(64, 64), nullptr, CollisionFilter(1, 0, 0, 0, 0),
                       SimId(0, 5));
    int announced = 0;
    for (int second = 0; second < 65; ++second) {
        for (int tick = 0; tick < 10; ++tick) {
            clock.Advance(100);
            deposit.Update(100);
            for (int kind : CommandKinds(world.commands))
                announced += kind == static_cast<int>(CommandKind::OreAmount) ? 1 : 0;
            world.commands.Rewind();
        }
    }
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(deposit.growth, OreDeposit::kFastGrowth);
    // A withdrawal starts the minute again and returns to slow growth.
    EXPECT_EQ(deposit.TakeOre(10), 10);
    EXPECT_EQ(deposit.growth, OreDeposit::kSlowGrowth);
}
