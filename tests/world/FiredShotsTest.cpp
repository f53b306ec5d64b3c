// A sender's shots grow what this machine keeps of them only so far: past the most shots the
// oldest is forgotten, past the most mounts reloading at once a new mount's shot is not counted.
#include <gtest/gtest.h>

#include "world/FiredShots.h"

namespace {

FiredShots::Shot ShotOf(int serial) {
    FiredShots::Shot shot;
    shot.shooter = SimId(2, serial);
    shot.clan = 'c';
    shot.role = 'a';
    return shot;
}

TEST(FiredShots, ASenderGrowsTheShotsAndMountsKeptOnlyToTheirBounds) {
    for (size_t more : {0, 1}) {
        SCOPED_TRACE(more);
        FiredShots shots;
        // One mount a reload apart, after a first shot of another shooter.
        shots.Count(ShotOf(1), 0, 0, 100, 0);
        for (size_t i = 1; i < FiredShots::kMostShots + more; ++i)
            shots.Count(ShotOf(2), 0, 0, 100, static_cast<uint32_t>(100 * i));
        EXPECT_EQ(shots.Unanswered(SimId(2, 1), 'c', 'a', 0) != nullptr, more == 0);
        EXPECT_NE(shots.Unanswered(SimId(2, 2), 'c', 'a', 0), nullptr);
        // Mounts that reload for a long while, each of another shooter.
        shots.Clear();
        for (size_t i = 0; i < FiredShots::kMostMounts + more; ++i)
            shots.Count(ShotOf(static_cast<int>(10 + i)), 0, 0, 100000, 0);
        const int last = static_cast<int>(10 + FiredShots::kMostMounts + more - 1);
        EXPECT_EQ(shots.Unanswered(SimId(2, last), 'c', 'a', 0) != nullptr, more == 0);
    }
}

}  // namespace
