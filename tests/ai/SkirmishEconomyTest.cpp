// Both sides of a computer-played skirmish get their miners' ore home: the local team, whose
// miners search only ground it has explored, as well as the opponent; and on the land where a
// crowd at the dock once held a side's ore still for minutes, no side's ore stands still that
// long while the fields hold ore.
#include <cstdio>

#include <gtest/gtest.h>

#include "SkirmishRun.h"
#include "support/MadeAssets.h"

namespace {

class SkirmishEconomy : public MadeAssetsTest {};

TEST_F(SkirmishEconomy, BothSidesMinersUnloadWithinTheFirstMinutes) {
    skirmish::SkirmishRun run(Local(), 4001u, 1, 1);
    ASSERT_EQ(run.Start(), 1);
    const skirmish::Outcome out = run.Run(150, false);
    for (int team : {skirmish::kLocalTeam, skirmish::kOpponentTeam}) {
        const skirmish::Side& side = out.sides[team];
        std::printf("team %d: %d miners, unloaded %d, first at %d ms\n", team, side.minersBorn,
                    side.unloaded, side.firstUnloadTick * skirmish::kStepMs);
        EXPECT_GT(side.unloaded, 0) << "team " << team;
    }
}

// Seed 9002 as the level sweep plays it (level 1 local on the first clan against level 2):
// the local team's miner and four scavengers stood round the dock from 1213 s to the end.
TEST_F(SkirmishEconomy, NoSidesOreStandsStillForTwoMinutesOnTheLandOfTheDockCrowd) {
    skirmish::SkirmishRun run(Local(), 9002u, 1, 2, nullptr, 'V', true);
    ASSERT_EQ(run.Start(), 1);
    const skirmish::Outcome out = run.Run(27 * 60, false);
    for (int team : {skirmish::kLocalTeam, skirmish::kOpponentTeam}) {
        const skirmish::StillSpan& still = out.sides[team].still;
        const int seconds = still.longest * skirmish::kStepMs / 1000;
        std::printf("team %d: ore still at most %d s, from %d s\n", team, seconds,
                    still.longestFrom * skirmish::kStepMs / 1000);
        // A side whose factory fell is counted while it stood.
        EXPECT_LT(seconds, 120) << "team " << team;
        EXPECT_GT(out.sides[team].unloaded, 0) << "team " << team;
    }
}

}  // namespace
