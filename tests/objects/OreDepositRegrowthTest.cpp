// An ore well grows on one machine only (the host, or a machine outside a network game), and
// every change, grown or taken, goes to the peers as a change that they add to their own count.
#include <gtest/gtest.h>

#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"
#include "objects/OreDeposit.h"
#include "objects/SimTestSupport.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"

namespace {

// The changes of kind 42 recorded, in order; the buffer is emptied.
std::vector<int32_t> TakeChanges(CommandBuffer& commands) {
    std::vector<int32_t> changes;
    CommandReader reader(commands.Data(), commands.Size());
    CommandHeader header;
    while (reader.NextCommand(header)) {
        if (header.kind == static_cast<int>(CommandKind::OreAmount))
            changes.push_back(reader.ReadW32());
        reader.SkipCommand();
    }
    commands.Rewind();
    return changes;
}

int Sum(const std::vector<int32_t>& v) {
    int sum = 0;
    for (int32_t x : v)
        sum += x;
    return sum;
}

TEST(OreDepositRegrowth, OnlyTheHostGrowsAndEveryChangeReachesTheCopiesOfAnotherMachine) {
    FakeClock clock(1000);
    FakeObjectWorld world;
    world.network = 1;
    world.commands.SetEnabled(1);
    OreDeposit host(Point(100, 100), Size(64, 64), nullptr, CollisionFilter(1, 0, 0, 0, 0),
                    SimId(0, 5));
    OreDeposit guest(Point(100, 100), Size(64, 64), nullptr, CollisionFilter(1, 0, 0, 0, 0),
                     SimId(0, 5));
    host.AddOre(500);
    guest.AddOre(500);
    // Filling a deposit is what every machine does alike when it builds the map: not sent.
    EXPECT_TRUE(TakeChanges(world.commands).empty());
    for (int second = 0; second < 65; ++second) {
        for (int tick = 0; tick < 10; ++tick) {
            clock.Advance(100);
            world.host = 1;
            host.Update(100);
            const std::vector<int32_t> grown = TakeChanges(world.commands);
            world.host = 0;
            guest.Update(100);
            EXPECT_TRUE(TakeChanges(world.commands).empty()) << "a guest grows nothing";
            for (int32_t change : grown)
                guest.ApplyChange(change);
            ASSERT_EQ(guest.amount, host.amount);
        }
    }
    // A step every 500 ms: 119 slow ones before the minute is up; at 60 s the fast growth
    // starts in the same update, so that step and the 10 after it add 3 each.
    EXPECT_EQ(host.growth, OreDeposit::kFastGrowth);
    EXPECT_EQ(host.amount, 500 + 119 + 3 * 11);
    // Growth heard from the host, or a change of nothing, is no withdrawal: the guest keeps
    // growing fast.
    guest.ApplyChange(0);
    EXPECT_EQ(guest.growth, OreDeposit::kFastGrowth);
    EXPECT_EQ(guest.amount, host.amount);
    // The guest's factory takes ore: the host hears the change and slows down as if its own.
    world.host = 0;
    EXPECT_EQ(guest.TakeOre(40), 40);
    const std::vector<int32_t> taken = TakeChanges(world.commands);
    EXPECT_EQ(taken, std::vector<int32_t>{-40});
    host.ApplyChange(taken[0]);
    EXPECT_EQ(host.amount, guest.amount);
    EXPECT_EQ(host.growth, OreDeposit::kSlowGrowth);
    EXPECT_EQ(host.regrowTimer.period, OreDeposit::kRegrowMs);
    // Changes commute: a growth and a withdrawal crossing on the wire leave both alike.
    world.host = 1;
    clock.Advance(500);
    host.Update(500);
    const std::vector<int32_t> grown = TakeChanges(world.commands);
    world.host = 0;
    guest.TakeOre(7);
    const std::vector<int32_t> took = TakeChanges(world.commands);
    for (int32_t change : took)
        host.ApplyChange(change);
    for (int32_t change : grown)
        guest.ApplyChange(change);
    EXPECT_EQ(Sum(grown), 1);
    EXPECT_EQ(host.amount, guest.amount);
    // Outside a network game nothing is recorded.
    world.network = 0;
    guest.TakeOre(1);
    EXPECT_EQ(world.commands.Size(), 0u);
}

}  // namespace
