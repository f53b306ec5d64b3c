// A sender's shots grow what this machine keeps of them only so far: past the most shots the
// oldest is forgotten, past the most mounts reloading at once a new mount's shot is not counted.
// A shot answers a hit only while it may still be in flight by the link's clock, which counts
// the battle's time between the link's messages and a stall as a heartbeat's silence at most.
#include <gtest/gtest.h>

#include <functional>

#include "world/FiredShots.h"

namespace {

FiredShots::Shot ShotOf(int serial) {
    FiredShots::Shot shot;
    shot.shooter = SimId(2, serial);
    shot.clan = 'c';
    shot.role = 'a';
    shot.lifeMs = 1000;
    return shot;
}

// Counts the shot arriving at `wallMs`, the link's clock standing at 0.
void CountAt(FiredShots& shots, const FiredShots::Shot& shot, int32_t reloadMs, uint32_t wallMs) {
    shots.Count(shot, 0, 0, reloadMs, 1 << 20, FiredShots::Arrival{0, wallMs});
}

TEST(FiredShots, ASenderGrowsTheShotsAndMountsKeptOnlyToTheirBounds) {
    for (size_t more : {0, 1}) {
        SCOPED_TRACE(more);
        FiredShots shots;
        // One mount a reload apart, after a first shot of another shooter.
        CountAt(shots, ShotOf(1), 100, 0);
        for (size_t i = 1; i < FiredShots::kMostShots + more; ++i)
            CountAt(shots, ShotOf(2), 100, static_cast<uint32_t>(100 * i));
        EXPECT_EQ(shots.Unanswered(SimId(2, 1), 'c', 'a', 0) != nullptr, more == 0);
        EXPECT_NE(shots.Unanswered(SimId(2, 2), 'c', 'a', 0), nullptr);
        // Mounts that reload for a long while, each of another shooter.
        shots.Clear();
        for (size_t i = 0; i < FiredShots::kMostMounts + more; ++i)
            CountAt(shots, ShotOf(static_cast<int>(10 + i)), 100000, 0);
        const int last = static_cast<int>(10 + FiredShots::kMostMounts + more - 1);
        EXPECT_EQ(shots.Unanswered(SimId(2, last), 'c', 'a', 0) != nullptr, more == 0);
    }
}

// One peer's link: messages it delivers `battleMs` and as much wall time after the last, the
// shots of a weapon flying 500 ms (3500 with the sender's tick), reloading in 500 ms, two of a
// turret in flight at once, and its hits, judged as the last message came.
struct Link {
    static constexpr int32_t kLifeMs = 3500;
    static constexpr int32_t kReloadMs = 500;
    FiredShots shots;
    int32_t frames = 0;
    int32_t battleMs = 0;
    uint32_t wallMs = 1000;
    void Message(int32_t afterMs) {
        battleMs += afterMs;
        wallMs += static_cast<uint32_t>(afterMs);
        shots.Heard(++frames, battleMs, wallMs);
    }
    // Heartbeats over `ms` of battle, none more than a heartbeat's period apart.
    void Beats(int32_t ms) {
        for (; ms > 0; ms -= 2000)
            Message(std::min(ms, 2000));
    }
    void Fire(int hardpoint = 0, char role = 'a', int turrets = 0) {
        FiredShots::Shot shot = ShotOf(1);
        shot.role = role;
        shot.lifeMs = kLifeMs;
        shots.Count(shot, hardpoint, turrets, kReloadMs, 2, shots.Latest());
    }
    // How many of `count` hits with the weapon letter the shots answer.
    int Hits(int count, char role = 'a', int32_t linkMs = -1) {
        int taken = 0;
        for (int i = 0; i < count; ++i) {
            FiredShots::Shot* shot = shots.Unanswered(SimId(2, 1), 'c', role,
                                                      linkMs < 0 ? shots.Latest().linkMs : linkMs);
            if (shot) shot->answered = true;
            taken += shot ? 1 : 0;
        }
        return taken;
    }
};

TEST(FiredShots, AShotAnswersAHitOnlyWhileItMayStillBeInFlight) {
    const struct {
        const char* what;
        std::function<int(Link&)> taken;
        int expected;
    } rows[] = {
        // A shot a reload for 20 s, no hit; then 40 hits in one message: the two a turret may
        // have in flight.
        {"shots saved up for 20 s",
         [](Link& l) {
             for (int i = 0; i < 40; ++i) {
                 l.Message(Link::kReloadMs);
                 l.Fire();
             }
             return l.Hits(40);
         },
         2},
        // A shot that missed: a forged hit after its flight is refused, one at its end taken.
        {"a hit a ms after the shot's flight",
         [](Link& l) {
             l.Message(0);
             l.Fire();
             l.Beats(Link::kLifeMs + 1);
             return l.Hits(1);
         },
         0},
        {"a hit at the end of the shot's flight",
         [](Link& l) {
             l.Message(0);
             l.Fire();
             l.Beats(Link::kLifeMs);
             return l.Hits(1);
         },
         1},
        // The sender stopped 5 s (or its link 20 s) a ms before its shot struck: the hit comes
        // after the silence, which counts as a heartbeat's.
        {"an honest hit behind a sender stopped 5 s",
         [](Link& l) {
             l.Message(0);
             l.Fire();
             l.Beats(499);
             l.Message(5000);
             return l.Hits(1);
         },
         1},
        {"an honest hit behind a link stalled 20 s",
         [](Link& l) {
             l.Message(0);
             l.Fire();
             l.Beats(499);
             l.Message(20000);
             return l.Hits(1);
         },
         1},
        // A paused battle stands the link's clock: a minute of heartbeats ages no shot.
        {"a hit after a pause",
         [](Link& l) {
             l.Message(0);
             l.Fire();
             for (int i = 0; i < 30; ++i)
                 l.Message(0);
             return l.Hits(1);
         },
         1},
        // A hit held behind a taker's word 10 s is judged when it came.
        {"a hit held behind a taker's word",
         [](Link& l) {
             l.Message(0);
             l.Fire();
             l.Beats(400);
             l.shots.Hold(l.shots.Latest());
             l.Beats(10000);
             return l.Hits(1, 'a', l.shots.TakeHeld(0).linkMs);
         },
         1},
        // A turret's third shot in flight puts its first out; another turret's are its own.
        {"three shots of a turret within a flight",
         [](Link& l) {
             for (int i = 0; i < 3; ++i) {
                 l.Message(Link::kReloadMs);
                 l.Fire(0);
                 l.Fire(1);
             }
             return l.Hits(6);
         },
         4},
        // A factory whose turrets are not known: every letter it names fires from the same
        // two turrets, each once a reload and once early.
        {"an untold factory naming eight letters",
         [](Link& l) {
             l.Message(0);
             for (char role = 'a'; role <= 'h'; ++role)
                 for (int hardpoint = 0; hardpoint < 7; ++hardpoint)
                     l.Fire(hardpoint, role, 2);
             int taken = 0;
             for (char role = 'a'; role <= 'h'; ++role)
                 taken += l.Hits(7, role);
             return taken;
         },
         4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Link link;
        EXPECT_EQ(row.taken(link), row.expected);
    }
}

}  // namespace
