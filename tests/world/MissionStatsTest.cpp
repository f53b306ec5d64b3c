// Ratings and score, over the edge cases of the statistics.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "support/FakeClock.h"
#include "world/MissionStats.h"

namespace {

struct Totals {
    int32_t units, cost, effort;
};

TEST(MissionStats, RatingsAndScoreOverTheirEdges) {
    FakeClock clock(1000);
    const struct {
        const char* name;
        int32_t kills, losses, made, cost, effort, base;
        Totals totals;
        int mission, players;
        int combat, time, score;
    } cases[] = {
        // No units made: 0.5 - losses / 0 is not a number or infinite: rating 0.
        {"none made", 0, 0, 0, 0, 0, 1000, {10, 0, 0}, 1, 2, 0, 100, 666666},
        {"none made, losses", 0, 2, 0, 0, 0, 1000, {10, 0, 0}, 1, 2, 0, 100, 666666},
        // Divisor 0 in the second term (totals = made + 1): rating 0.
        {"divisor 0", 3, 0, 4, 10, 10, 1000, {5, 100, 100}, 1, 2, 0, 100, 666666},
        // Elapsed 0: the time term takes its cap.
        {"elapsed 0", 2, 1, 4, 50, 50, 0, {20, 100, 100}, 2, 2, 31, 83, 713332},
        // Own sums equal the totals: e = -0.17; kills 0 still earn the loss bonus.
        {"all mine", 0, 0, 4, 100, 100, 720000, {4, 100, 100}, 4, 2, 50, 33, 609999},
        // 3 losses against 2 kills: r = 1, no loss bonus; 1 against 2: r = 0.
        {"r 3/2", 2, 3, 10, 50, 50, 1000, {30, 100, 100}, 1, 2, 25, 83, 359999},
        {"r 1/2", 2, 1, 10, 50, 50, 1000, {30, 100, 100}, 1, 2, 45, 83, 759999},
        // Perfect: the best score.
        {"best", 9, 0, 1, 0, 0, 1, {3, 100, 100}, 1, 2, 100, 100, MissionStats::kBestScore},
        // A skirmish's par grows with the players.
        {"skirmish", 0, 0, 1, 0, 0, 1200000, {3, 10, 10}, 0, 3, 50, 100, 833332},
        // Twice the par of two opponents (2 x 600000 ms): the time term is 0.25.
        {"skirmish, twice par", 0, 0, 1, 0, 0, 2400000, {3, 10, 10}, 0, 3, 50, 75, 749999},
        // 5 losses against 2 kills: r = 2 is capped to 1, so the loss term is 0, never below.
        {"r capped", 2, 5, 10, 50, 50, 1000, {30, 100, 100}, 1, 2, 5, 83, 293333},
    };
    for (const auto& c : cases) {
        MissionStats s;
        s.kills = c.kills;
        s.losses = c.losses;
        s.unitsMade = c.made;
        s.buildCost = c.cost;
        s.buildEffort = c.effort;
        s.baseTime = c.base;
        MissionStats::totalUnits = c.totals.units;
        MissionStats::totalCost = c.totals.cost;
        MissionStats::totalEffort = c.totals.effort;
        EXPECT_EQ(s.CombatRating(), c.combat) << c.name;
        EXPECT_EQ(s.TimeRating(c.mission, c.players), c.time) << c.name;
        EXPECT_EQ(s.TotalScore(c.mission, c.players), c.score) << c.name;
    }
    // Empty totals and a par of 0 over 0 ms make both terms not a number: each takes its cap.
    MissionStats none;
    MissionStats::ClearTotals();
    EXPECT_EQ(none.TimeRating(0, 1), 100);
}

TEST(MissionStats, TallyCopyAndClock) {
    FakeClock clock(5000);
    MissionStats::ClearTotals();
    MissionStats s;
    s.Tally(30, 70);
    s.Tally(5, 5);
    EXPECT_EQ(s.unitsMade, 2);
    EXPECT_EQ(s.buildEffort, 35);
    EXPECT_EQ(s.buildCost, 75);
    EXPECT_EQ(MissionStats::totalUnits, 2);
    EXPECT_EQ(MissionStats::totalCost, 75);
    s.baseTime = 100;
    s.StartClock();
    clock.Advance(400);
    s.PauseClock();
    clock.Advance(1000);
    s.ResumeClock();
    clock.Advance(100);
    EXPECT_EQ(s.ElapsedTotal(), 600);
    MissionStats copy(s);
    EXPECT_EQ(copy.buildCost, 75);
    EXPECT_EQ(copy.baseTime, 100);
    EXPECT_EQ(copy.ElapsedTotal(), 100);
}

// Counters come from saved files: at either end of int32 nothing overflows (the sanitizer
// tree stops on signed overflow), the ratings stay in 0 .. 100 and the score in its range.
TEST(MissionStats, CountersAtTheLimitsOfInt32) {
    FakeClock clock(1000);
    constexpr int32_t kLow = std::numeric_limits<int32_t>::min();
    constexpr int32_t kHigh = std::numeric_limits<int32_t>::max();
    for (const int32_t counter : {kLow, -1, 0, kHigh}) {
        for (const int32_t total : {kLow, 0, kHigh}) {
            MissionStats s;
            s.kills = s.losses = s.unitsMade = s.buildCost = s.buildEffort = counter;
            s.baseTime = counter;
            MissionStats::totalUnits = MissionStats::totalCost = MissionStats::totalEffort = total;
            s.StartClock();
            clock.Advance(500);
            const std::string name = std::to_string(counter) + "/" + std::to_string(total);
            EXPECT_EQ(s.ElapsedTotal(), counter == kHigh ? kHigh : counter + 500) << name;
            for (const int mission : {0, 11}) {
                EXPECT_GE(s.CombatRating(), 0) << name;
                EXPECT_LE(s.CombatRating(), 100) << name;
                EXPECT_GE(s.TimeRating(mission, 4), 0) << name;
                EXPECT_LE(s.TimeRating(mission, 4), 100) << name;
                EXPECT_GE(s.TotalScore(mission, 4), 0) << name;
                EXPECT_LE(s.TotalScore(mission, 4), MissionStats::kBestScore) << name;
            }
            // Tallying past an end keeps the counter at that end.
            s.Tally(counter < 0 ? -5 : 5, counter < 0 ? -5 : 5);
            const int32_t end = counter < 0 ? kLow : kHigh;
            if (counter == kLow || counter == kHigh) {
                EXPECT_EQ(s.buildCost, end) << name;
                EXPECT_EQ(s.buildEffort, end) << name;
            }
            EXPECT_EQ(s.unitsMade, counter == kHigh ? kHigh : counter + 1) << name;
            EXPECT_EQ(MissionStats::totalUnits, total == kHigh ? kHigh : total + 1) << name;
            if (total == kHigh || total == kLow) {
                EXPECT_EQ(MissionStats::totalCost, counter < 0 && total == kLow ? kLow
                                                   : counter >= 0 && total == kHigh
                                                       ? kHigh
                                                       : total + (counter < 0 ? -5 : 5))
                    << name;
            }
        }
    }
    MissionStats::ClearTotals();
}

}  // namespace
