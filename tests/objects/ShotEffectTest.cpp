// The shots that play their effect at the firing part: the beam's flash and line, the cannon's
// tracer and colour, the pulse's reach, how each ends on a hit, a miss or a dead target, and
// the burst without pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "objects/BeamWeapon.h"
#include "objects/BurstWeapon.h"
#include "objects/CannonWeapon.h"
#include "objects/PulseWeapon.h"
#include "objects/ShotTestSupport.h"
#include "objects/SpinWeapon.h"
#include "objects/SpriteAttachment.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"

namespace {

class EffectShots : public ::testing::Test, public ShotLand {
protected:
    template <class Shot>
    std::unique_ptr<Shot> Make(Sim* owner, GameObject* target, int hitRoll, int hardpoint = 0) {
        WeaponTemplate* w = owner->GetArmedPart(0)->GetTemplate();
        return std::make_unique<Shot>(owner, target, w, hardpoint, Weapon::MakeCollision(w, owner),
                                      SimId(1, 900), hitRoll);
    }
    // Ticks of the clock and the shot until the shot ends; the ticks taken.
    int Run(GameObject& shot, int tickMs) {
        for (int t = 1; t <= 100; ++t) {
            clock.Advance(tickMs);
            shot.Update(tickMs);
            if (shot.IsDestroyed()) return t;
        }
        return 101;
    }

    FakeClock clock{1000};
    WeaponTemplate* weapon = kit.Weapon({.range = 300});
    Sim* owner = Shooter(Point(200, 200), weapon);
};

// The line shows only while the flash frame is above 3.
TEST_F(EffectShots, ABeamFlashesThroughOnceThenAlternatesItsLastTwoFrames) {
    Mark* target = Target(2, Point(336, 208));
    for (int frames : {5, 4, 0}) {
        std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(frames);
        weapon->fireEffect = frames ? flash.get() : nullptr;
        auto beam = Make<BeamWeapon>(owner, target, 1);
        std::vector<int> seen;
        for (int i = 0; i < 7; ++i) {
            beam->Update(101);
            seen.push_back(beam->flashFrame);
        }
        const std::vector<int> expected[] = {
            {1, 2, 3, 4, 3, 4, 3}, {1, 2, 3, 2, 3, 2, 3}, {0, 0, 0, 0, 0, 0, 0}};
        EXPECT_EQ(seen, expected[frames == 5 ? 0 : frames == 4 ? 1 : 2]) << frames;
    }
    weapon->fireEffect = nullptr;
}

// The beam's flash stands at the mount moved by the effect's offset for the part's facing, steps
// a frame only once more than its period has passed, and shows nothing once the second is up.
TEST_F(EffectShots, ABeamFlashStandsAtItsFacingsOffsetAndStepsPastEachPeriod) {
    Mark* target = Target(2, Point(336, 208));
    DrawLog log;
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(5, &log);
    flash->offsets[6] = Point(3, -4);
    weapon->fireEffect = flash.get();
    owner->GetArmedPart(0)->facing = 6;
    auto beam = Make<BeamWeapon>(owner, target, 1);
    ScreenBase view;
    const Point at = view.MapToScreen(
        view.SnapToZoom(owner->GetDrawOrigin(), owner->GetMountOffset(0)) + Point(3, -4));
    std::vector<int> frames;
    for (int i = 0; i < 4; ++i) {
        log.clear();
        beam->Draw(view);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].second, at);
        frames.push_back(log[0].first);
        beam->Update(100);
    }
    EXPECT_EQ(frames, (std::vector<int>{600, 600, 601, 601}));
    for (int i = 0; i < 6; ++i)
        beam->Update(100);
    EXPECT_EQ(beam->countdown, 0);
    log.clear();
    beam->Draw(view);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(beam->IsDestroyed());
    beam->Update(100);
    EXPECT_TRUE(beam->IsDestroyed());
    weapon->fireEffect = nullptr;
}

// The beam's line is drawn only from flash frame 4 on.
TEST_F(EffectShots, TheBeamLineShowsFromFlashFrameFour) {
    ScreenFixture screen;
    ScreenBase view;
    Mark* target = Target(2, Point(336, 208));
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(5);
    weapon->fireEffect = flash.get();
    auto beam = Make<BeamWeapon>(owner, target, 1);
    std::vector<std::pair<int, bool>> seen;
    for (int i = 0; i < 5; ++i) {
        beam->Update(101);
        std::memset(screen.Back(), 0, 640 * 480);
        beam->Draw(view);
        int lit = 0;
        for (int p = 0; p < 640 * 480; ++p)
            lit += screen.Back()[p] == BeamWeapon::kColour;
        seen.emplace_back(beam->flashFrame, lit > 0);
    }
    const std::vector<std::pair<int, bool>> expected = {
        {1, false}, {2, false}, {3, false}, {4, true}, {3, false}};
    EXPECT_EQ(seen, expected);
    weapon->fireEffect = nullptr;
}

// A spinning ray shows for its half second from the muzzle to the target, its dashes crawling
// two pixels an update and starting over once past twenty; at zero it shows nothing more.
TEST_F(EffectShots, ASpinRayShowsForHalfASecondAndItsDashesCrawlByTwoToTwenty) {
    ScreenFixture screen;
    ScreenBase view;
    Mark* target = Target(2, Point(300, 200));
    auto spin = Make<SpinWeapon>(owner, target, 1);
    const auto lit = [&] {
        std::memset(screen.Back(), 0, 640 * 480);
        spin->Draw(view);
        int n = 0;
        for (int p = 0; p < 640 * 480; ++p)
            n += screen.Back()[p] == SpinWeapon::kColour;
        return n;
    };
    EXPECT_GT(lit(), 0);
    EXPECT_EQ(screen.At(250, 200), SpinWeapon::kColour);
    std::vector<int> phases;
    for (int i = 0; i < 12; ++i) {
        spin->Update(40);
        phases.push_back(spin->spinPhase);
    }
    EXPECT_EQ(phases, (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 0, 2}));
    EXPECT_EQ(spin->countdown, 20);
    EXPECT_GT(lit(), 0);
    spin->Update(20);
    EXPECT_EQ(spin->countdown, 0);
    EXPECT_EQ(lit(), 0);
    EXPECT_FALSE(spin->IsDestroyed());
    spin->Update(20);
    EXPECT_TRUE(spin->IsDestroyed());
    EXPECT_EQ(target->hits.size(), 1u);
}

TEST_F(EffectShots, ACannonTracerSpansAQuarterAtHalfTimeInItsClansColour) {
    Mark* target = Target(2, Point(336, 208));
    auto cannon = Make<CannonWeapon>(owner, target, 1);
    cannon->Update(250);
    EXPECT_DOUBLE_EQ(cannon->tailFraction, 0.375);
    EXPECT_DOUBLE_EQ(cannon->headFraction, 0.625);
    {
        // Drawn, the tracer leaves the muzzle behind: a quarter of the way, from three eighths.
        ScreenFixture screen;
        ScreenBase view;
        std::memset(screen.Back(), 0, 640 * 480);
        cannon->Draw(view);
        const int muzzle = (owner->GetDrawOrigin() + owner->GetHardpointPosition(0)).x;
        const int way = cannon->GetAimPoint().x - muzzle;
        int left = 640, right = -1, top = 480, bottom = -1;
        for (int p = 0; p < 640 * 480; ++p) {
            if (screen.Back()[p] != cannon->colour) continue;
            left = std::min(left, p % 640);
            right = std::max(right, p % 640);
            top = std::min(top, p / 640);
            bottom = std::max(bottom, p / 640);
        }
        EXPECT_NEAR(left - muzzle, way * 3 / 8, 1);
        EXPECT_NEAR(right - muzzle, way * 5 / 8, 1);
        // Down the way too: the aim lies 8 rows below the muzzle, the tracer rows 3 to 5.
        const int row = (owner->GetDrawOrigin() + owner->GetHardpointPosition(0)).y;
        const int drop = cannon->GetAimPoint().y - row;
        ASSERT_EQ(drop, 8);
        EXPECT_EQ(top - row, drop * 3 / 8);
        EXPECT_EQ(bottom - row, drop * 5 / 8);
    }
    EXPECT_EQ(cannon->colour, 19);
    cannon->Update(160);
    EXPECT_DOUBLE_EQ(cannon->headFraction, 1.0);
    // With a millisecond left the tracer still flies; the update after it runs out strikes.
    cannon->Update(89);
    cannon->Update(0);
    EXPECT_TRUE(target->hits.empty());
    cannon->Update(1);
    cannon->Update(1);
    EXPECT_EQ(target->hits.size(), 1u);
    owner->GetDesign()->clan = 'T';
    EXPECT_EQ(Make<CannonWeapon>(owner, target, 1)->colour, 100);
}

TEST_F(EffectShots, APulseStrikesWhenItsReachPassesTheTargetOrTheRange) {
    const struct {
        int distance;
        int hardpoint;  // 3 holds no part: the pulse keeps its own target
        int ticks;
    } cases[] = {
        {100, 0, 5},   // reach 110 after 250 ms
        {400, 0, 14},  // beyond the range of 300: reach 308
        {100, 3, 5},
    };
    for (const auto& c : cases) {
        Mark* target = Target(2, Point(200 + c.distance, 200));
        owner->GetArmedPart(0)->SetTarget(target->id);
        auto pulse = Make<PulseWeapon>(owner, target, 1, c.hardpoint);
        EXPECT_EQ(Run(*pulse, 50), c.ticks) << c.distance << " " << c.hardpoint;
        EXPECT_EQ(target->hits.size(), 1u);
    }
    // A miss, or the copy of a pulse fired on another machine, strikes nothing when its reach
    // arrives: only the shooter's machine reports the hit.
    for (const auto& [hitRoll, local] : {std::pair{0, 1}, std::pair{1, 0}}) {
        Mark* aimed = Target(2, Point(300, 200));
        owner->GetArmedPart(0)->SetTarget(aimed->id);
        auto shot = Make<PulseWeapon>(owner, aimed, hitRoll);
        shot->SetLocal(local);
        EXPECT_LE(Run(*shot, 50), 20) << hitRoll << local;
        EXPECT_TRUE(aimed->hits.empty()) << hitRoll << local;
    }
    // Retargeted to nothing, the pulse bursts at once.
    Mark* target = Target(2, Point(300, 200));
    owner->GetArmedPart(0)->SetTarget(SimId());
    auto pulse = Make<PulseWeapon>(owner, target, 1);
    EXPECT_EQ(Run(*pulse, 50), 1);
    EXPECT_TRUE(target->hits.empty());
}

// The fan's bars stand square across the line of fire, centred on it: shot straight up the
// screen, each bar's ends lie the same number of pixels either side of the muzzle's column.
TEST_F(EffectShots, APulsesBarsAreCentredOnItsLineOfFire) {
    ScreenFixture screen;
    ScreenBase view;
    Mark* target = Target(2, Point(200, 20));
    weapon->mapPictures = std::make_unique<SpriteSet>(1);
    auto pulse = Make<PulseWeapon>(owner, target, 1);
    pulse->reach = 94;
    std::memset(screen.Back(), 0, 640 * 480);
    pulse->Draw(view);
    const int muzzle = (owner->GetDrawOrigin() + owner->GetHardpointPosition(0)).x;
    int bars = 0;
    for (int y = 0; y < 480; ++y) {
        int left = 640, right = -1;
        for (int x = 0; x < 640; ++x) {
            if (screen.Back()[y * 640 + x] != PulseWeapon::kColour) continue;
            left = std::min(left, x);
            right = std::max(right, x);
        }
        if (right < 0) continue;
        ++bars;
        EXPECT_EQ(left + right, 2 * muzzle) << "row " << y;
    }
    // Up the screen the bars stand 6 pixels apart, the first drawing's from 4, short of the
    // reach: 4, 10, .. 88.
    EXPECT_EQ(bars, 15);
}

// Across the screen a pulse's bars stand 8 pixels apart, up and down it 6; each drawing starts
// them 2 further out, from 4 to 6 and back to 2, short of the reach. A bar 2 pixels out is too
// narrow to show.
TEST_F(EffectShots, APulsesBarsCrawlOutwardSixApartUpAndDownAndEightAcross) {
    ScreenFixture screen;
    ScreenBase view;
    weapon->mapPictures = std::make_unique<SpriteSet>(1);
    struct Row {
        const char* name;
        Point target;
        bool across;
        std::vector<int> bars;  // four drawings in a row
    };
    const Row rows[] = {{"right", Point(400, 200), true, {12, 11, 11, 12}},
                        {"left", Point(20, 200), true, {12, 11, 11, 12}},
                        {"up", Point(200, 20), false, {15, 15, 15, 15}},
                        {"down", Point(200, 400), false, {15, 15, 15, 15}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Mark* target = Target(2, row.target);
        auto pulse = Make<PulseWeapon>(owner, target, 1);
        pulse->reach = 94;
        std::vector<int> bars;
        for (int i = 0; i < 4; ++i) {
            std::memset(screen.Back(), 0, 640 * 480);
            pulse->Draw(view);
            int lines = 0;
            for (int a = 0; a < (row.across ? 640 : 480); ++a) {
                bool lit = false;
                for (int b = 0; b < (row.across ? 480 : 640); ++b)
                    lit = lit ||
                          (row.across ? screen.At(a, b) : screen.At(b, a)) == PulseWeapon::kColour;
                lines += lit ? 1 : 0;
            }
            bars.push_back(lines);
        }
        EXPECT_EQ(bars, row.bars);
        world.Forget(target);
    }
}

TEST_F(EffectShots, AHitOnADeadTargetEndsQuietlyAMissBurstsAndAHitStrikesOnce) {
    const struct {
        int hitRoll;
        bool targetAlive;
        size_t hits;
        size_t bursts;
    } cases[] = {{1, true, 1, 0}, {1, false, 0, 0}, {0, true, 0, 1}};
    for (const auto& c : cases) {
        std::vector<std::unique_ptr<Weapon>> shots;
        std::vector<Mark*> targets;
        for (int k = 0; k < 3; ++k)
            targets.push_back(Target(2, Point(300, 200 + 32 * k)));
        shots.push_back(Make<BeamWeapon>(owner, targets[0], c.hitRoll));
        shots.push_back(Make<CannonWeapon>(owner, targets[1], c.hitRoll));
        shots.push_back(Make<SpinWeapon>(owner, targets[2], c.hitRoll));
        world.effects.clear();
        for (size_t k = 0; k < shots.size(); ++k) {
            if (!c.targetAlive) world.Forget(targets[k]);
            EXPECT_LE(Run(*shots[k], 50), 30);
            EXPECT_EQ(targets[k]->hits.size(), c.hits) << k;
        }
        EXPECT_EQ(world.effects.size(), c.bursts * shots.size());
    }
}

TEST_F(EffectShots, ABurstWithoutPicturesStrikesOnItsFirstFrameStep) {
    Mark* target = Target(2, Point(300, 200));
    auto bare = Make<BurstWeapon>(owner, target, 1);
    EXPECT_EQ(Run(*bare, 100), 1);
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(3);
    weapon->fireEffect = flash.get();
    auto played = Make<BurstWeapon>(owner, target, 1);
    EXPECT_EQ(Run(*played, 100), 3);
    EXPECT_EQ(target->hits.size(), 2u);
    // Played, each frame of the part's facing shows at the mount until the strike; a burst
    // without pictures or an owner shows nothing.
    DrawLog log;
    std::unique_ptr<DirectionalEffectTemplate> noted = FlashEffect(3, &log);
    weapon->fireEffect = noted.get();
    owner->GetArmedPart(0)->facing = 5;
    auto shown = Make<BurstWeapon>(owner, target, 1);
    ScreenBase view;
    const Point at =
        view.MapToScreen(view.SnapToZoom(owner->GetDrawOrigin(), owner->GetMountOffset(0)));
    for (int i = 0; i < 4; ++i) {
        shown->Draw(view);
        clock.Advance(100);
        shown->Update(100);
    }
    EXPECT_TRUE(shown->IsDestroyed());
    shown->Draw(view);
    EXPECT_EQ(log, (DrawLog{{500, at}, {501, at}, {502, at}}));
    log.clear();
    auto orphan = Make<BurstWeapon>(owner, target, 1);
    world.Forget(owner);
    orphan->Draw(view);
    bare->Draw(view);
    EXPECT_TRUE(log.empty());
    weapon->fireEffect = nullptr;
}

}  // namespace
