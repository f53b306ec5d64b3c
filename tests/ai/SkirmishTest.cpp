// Two computer players, the local team playing itself against one opponent, on a generated
// land at tech level 5, for half an hour of game time at each level (one test per level, so
// they run side by side): both sides build a miner and at least five other units, mine, and
// send a group against the other that damages it, with no crash or leak. A timed run checks
// that the shared budget holds the computer players' time per tick; the longer sweep between
// levels is disabled by default: run it with --gtest_also_run_disabled_tests
// --gtest_filter='*Sweep*'.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "SkirmishRun.h"
#include "support/MadeAssets.h"

namespace {

class Skirmish : public MadeAssetsTest {};
class SkirmishAtLevel : public MadeAssetsTest, public ::testing::WithParamInterface<int> {};

TEST_P(SkirmishAtLevel, BothSidesBuildMineAndAttackForHalfAnHour) {
    const int level = GetParam();
    skirmish::SkirmishRun run(Local(), 4000u + static_cast<uint32_t>(level), level, level);
    ASSERT_EQ(run.Start(), 1);
    const skirmish::Outcome out = run.Run(30 * 60, false);
    for (int team : {skirmish::kLocalTeam, skirmish::kOpponentTeam}) {
        const skirmish::Side& side = out.sides[team];
        const int built = static_cast<int>(side.born.size()) - side.atStart;
        std::printf(
            "level %d team %d: %d built, %d miners, load %d, %d lost, ore %d, attacking in %d "
            "samples (at most %d), damage dealt %lld, factory %d\n",
            level, team, built, side.minersBorn, side.mined, side.lost, side.lowestCargo,
            side.attackSamples, side.largestAttack, static_cast<long long>(side.damageDealt),
            side.factoryAlive);
        SCOPED_TRACE("team " + std::to_string(team));
        EXPECT_GE(side.minersBorn, 1);
        // Whether the miner then mines (side.mined) is not asserted yet: miners were seen
        // standing still for good short of their field, a fault of the movement still open.
        EXPECT_GE(built - side.minersBorn, 5);
        // The open factory draws ore from the deposit it stands on.
        EXPECT_LT(side.depositLeast, side.depositMost);
        EXPECT_GT(side.attackSamples, 0) << "no group went against the other side";
        EXPECT_GE(side.largestAttack, 2) << "only single units attacked";
        EXPECT_GT(side.damageDealt, 0) << "the attacks did the other side no harm";
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, SkirmishAtLevel, ::testing::Range(1, 6));

// With a clock that moves 16 ms per tick plus the real time spent inside the tick, the
// budget cuts the computer players' turns: no tick gives them more than the budget and one
// step that began before it ran out. Timing means nothing in a sanitizer build.
TEST_F(Skirmish, TheBudgetHoldsTheComputerPlayersTimePerTick) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timed in the release build only";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "timed in the release build only";
#endif
#endif
    skirmish::AiTiming timing;
    skirmish::SkirmishRun run(Local(), 4100u, 5, 5, &timing);
    ASSERT_EQ(run.Start(), 1);
    run.Run(10 * 60, false);
    std::printf("longest AI time in a tick %.2f ms, longest step %.2f ms\n", timing.longestTickMs,
                timing.longestStepMs);
    EXPECT_GT(timing.longestTickMs, 0.0);
    EXPECT_LT(timing.longestTickMs, World::kAiBudgetMs + timing.longestStepMs);
}

// A side wins when the other's factory falls, else on the value it has left. QX_SWEEP_SEEDS
// sets the seeds per pair (20), QX_SWEEP_PAIRS the pairs ("12 23 34 45 15").
TEST_F(Skirmish, DISABLED_SweepOfLevels) {
    const char* seeds = std::getenv("QX_SWEEP_SEEDS");
    const int kSeeds = seeds ? std::atoi(seeds) : 20;
    const char* pairText = std::getenv("QX_SWEEP_PAIRS");
    std::istringstream pairList(pairText ? pairText : "12 23 34 45 15");
    for (std::string word; pairList >> word;) {
        if (word.size() != 2) continue;
        const int pair[2] = {word[0] - '0', word[1] - '0'};
        int decisive[3] = {};
        int onValue[3] = {};
        for (int seed = 1; seed <= kSeeds; ++seed) {
            // The higher level plays either side in turn.
            const bool higherLocal = seed % 2 == 0;
            const int local = higherLocal ? pair[1] : pair[0];
            const int opponent = higherLocal ? pair[0] : pair[1];
            skirmish::SkirmishRun run(Local(), 9000u + static_cast<uint32_t>(seed), local,
                                      opponent);
            ASSERT_EQ(run.Start(), 1);
            const skirmish::Outcome out = run.Run(30 * 60, true);
            const skirmish::Side& a = out.sides[skirmish::kLocalTeam];
            const skirmish::Side& b = out.sides[skirmish::kOpponentTeam];
            int winner = 0;  // 1: the lower level, 2: the higher
            const int higherTeam = higherLocal ? 1 : 2;
            if (a.factoryAlive != b.factoryAlive) {
                winner = (a.factoryAlive ? 1 : 2) == higherTeam ? 2 : 1;
                ++decisive[winner];
            } else if (a.value != b.value) {
                winner = (a.value > b.value ? 1 : 2) == higherTeam ? 2 : 1;
                ++onValue[winner];
            }
            std::printf("L%d v L%d seed %d: winner %s after %d ticks, values %lld / %lld\n",
                        pair[0], pair[1], seed,
                        winner == 2 ? "higher" : (winner == 1 ? "lower" : "none"), out.ticks,
                        static_cast<long long>(a.value), static_cast<long long>(b.value));
            std::fflush(stdout);
        }
        std::printf(
            "L%d v L%d: higher wins %d (%d decisive, %d on value), lower wins %d (%d, %d)\n",
            pair[0], pair[1], decisive[2] + onValue[2], decisive[2], onValue[2],
            decisive[1] + onValue[1], decisive[1], onValue[1]);
    }
}

}  // namespace
