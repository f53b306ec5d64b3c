// Both sides of a computer-played skirmish get their miners' ore home: the local team, whose
// miners search only ground it has explored, as well as the opponent.
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

}  // namespace
