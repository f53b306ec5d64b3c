// The program's random generator and its range draws.
#include "core/Random.h"

#include <gtest/gtest.h>

#include <set>

TEST(Random, SeedIsTakenModuloTheModulus) {
    SeedRandom(714025);
    EXPECT_EQ(RandomNext(), 150889u);
    EXPECT_EQ(RandomNext(), (150889u * 4096u + 150889u) % 714025u);
    EXPECT_EQ(RandomMax(), 714024u);
}

TEST(Random, ReversedBoundsDrawFromTheSameRangeAndEqualOnesGiveThatValue) {
    SeedRandom(12345);
    std::set<int> forward;
    for (int i = 0; i < 2000; ++i)
        forward.insert(RandomRange(1, 5));
    SeedRandom(12345);
    std::set<int> reversed;
    for (int i = 0; i < 2000; ++i)
        reversed.insert(RandomRange(5, 1));
    EXPECT_EQ(forward, (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(forward, reversed);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(RandomRange(3, 3), 3);
}

// Finds a seed whose next draw is r: the draw after seed s is (s * 4096 + 150889) mod M.
static void SeedForNext(uint32_t r) {
    for (uint32_t s = 0; s < 714025; ++s) {
        if ((s * 4096u + 150889u) % 714025u == r) {
            SeedRandom(s);
            return;
        }
    }
    FAIL() << "no seed yields " << r;
}

TEST(Random, ZeroOneSplitsAtTheDrawThreshold) {
    SeedForNext(358806);
    EXPECT_EQ(RandomRange(0, 1), 0);
    SeedForNext(358807);
    EXPECT_EQ(RandomRange(0, 1), 1);
    SeedForNext(714024);
    EXPECT_EQ(RandomRange(0, 1), 1);
    SeedForNext(0);
    EXPECT_EQ(RandomRange(0, 1), 0);
}
