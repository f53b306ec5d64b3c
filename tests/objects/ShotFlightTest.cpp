// Missiles, lobbed shells and rockets: the arc's course and hops, homing against plain steering,
// the missed missile's line, the trail's puffs, the launch on the rack, and the shots that have
// no launch pictures or lose their target.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/PictureTemplates.h"
#include "core/Vector.h"
#include "objects/AnimatedRocketShot.h"
#include "objects/ArcShot.h"
#include "objects/LocationGoal.h"
#include "objects/MissileWeapon.h"
#include "objects/RocketShot.h"
#include "objects/ShotTestSupport.h"
#include "objects/SpriteAttachment.h"
#include "objects/TargetGoal.h"
#include "ui/ScreenBase.h"

namespace {

class FlyingShots : public ::testing::Test, public ShotLand {
protected:
    template <class Shot>
    std::unique_ptr<Shot> Make(Sim* owner, GameObject* target, int hitRoll) {
        WeaponTemplate* w = owner->GetArmedPart(0)->GetTemplate();
        auto shot = std::make_unique<Shot>(owner, target, w, 0, Weapon::MakeCollision(w, owner),
                                           SimId(1, 900), hitRoll);
        shot->moveDelay = 10;
        return shot;
    }
    std::unique_ptr<MissileWeapon> Missile(Sim* owner, Mark* target, int hitRoll, bool homing) {
        std::unique_ptr<MissileWeapon> m = Make<MissileWeapon>(owner, target, hitRoll);
        if (homing)
            m->SetSteerGoal(std::make_unique<TargetGoal>(m->id, target->id, Point(), 1, 1));
        else
            m->SetSteerGoal(std::make_unique<LocationGoal>(m->id, target->GetCentre(), 10, 1, 1));
        return m;
    }
    // A shot picture of the frame count in each of its 16 rows, noted with a log.
    static std::unique_ptr<ShotPictureTemplate> Picture(int frames, DrawLog* log = nullptr) {
        class Grid : public CatalogueMedia {
        public:
            Grid(int frames, DrawLog* log) : frames(frames), log(log) {}
            std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override {
                return std::move(FlashEffect(frames, log)->pictures);
            }
            int frames;
            DrawLog* log;
        } media(frames, log);
        SetCatalogueMedia(&media);
        auto picture = std::make_unique<ShotPictureTemplate>('V', 'm');
        SetCatalogueMedia(nullptr);
        return picture;
    }
    // The tags drawn by the shot now.
    static std::vector<int> Drawn(GameObject& shot, DrawLog& log, Point* at = nullptr) {
        log.clear();
        ScreenBase view;
        shot.Draw(view);
        std::vector<int> tags;
        for (const auto& [tag, p] : log)
            tags.push_back(tag);
        if (at && !log.empty()) *at = log.back().second;
        return tags;
    }
    Point Burst() {
        EXPECT_EQ(world.effects.size(), 1u);
        return world.effects.empty() ? Point(-1, -1) : world.effects.back()->GetPosition();
    }
};

TEST_F(FlyingShots, AnArcHasAPointEveryTenPixelsRisesSixtyAndHopsEveryFiftyMs) {
    const struct {
        Point offset;  // of the aim from the muzzle
        size_t points;
    } cases[] = {{{95, 0}, 9}, {{6, 3}, 1}, {{0, 95}, 9}, {{-200, 0}, 20}};
    for (const auto& c : cases) {
        world.effects.clear();
        Sim* owner = Shooter(Point(320, 200), kit.Weapon({.range = 400}));
        std::unique_ptr<ArcShot> shell = Make<ArcShot>(owner, nullptr, 1);
        const Point start = shell->GetPosition();
        const Point aim = start + c.offset;
        std::vector<Point> course = shell->BuildArc(aim);
        ASSERT_EQ(course.size(), c.points) << c.offset.x;
        EXPECT_EQ(course.back(), aim);
        int highest = 0;
        for (size_t i = 0; i + 1 < course.size(); ++i) {
            // Evenly spaced across: whole steps of the x distance over the point count.
            EXPECT_EQ(course[i].x,
                      start.x + static_cast<int>(i + 1) * (c.offset.x / static_cast<int>(c.points)))
                << c.offset.x << " " << i;
            highest = std::max(
                highest, start.y +
                             static_cast<int>(i + 1) * c.offset.y / static_cast<int>(c.points) -
                             course[i].y);
        }
        if (c.points == 20) {
            EXPECT_NEAR(highest, 60, 1);
        }
        shell->SetTargetPoint(aim);
        EXPECT_EQ(shell->GetPosition(), course.front());
        // Each hop waits 50 ms: at 25 ms ticks, one hop every other tick, then the strike.
        const int ticks = Fly(*shell, 25);
        EXPECT_EQ(ticks, 2 * static_cast<int>(c.points) + 1);
        EXPECT_EQ(Burst(), aim);
    }
}

TEST_F(FlyingShots, AHomingMissileFollowsItsTargetAPlainOneFliesToWhereItStood) {
    for (bool homing : {false, true}) {
        Sim* owner = Shooter(Point(100, 300), kit.Weapon({.range = 500}));
        Mark* target = Target(2, Point(304, 304));
        std::unique_ptr<MissileWeapon> m = Missile(owner, target, 1, homing);
        m->Update(16);  // no launch pictures: in flight at once
        ASSERT_EQ(m->mode, 0);
        world.paths.RemoveFootprint(target, target->GetPosition(), 1);
        target->MoveTo(Point(304, 400));
        world.paths.AddFootprint(target, target->GetPosition(), 1);
        EXPECT_LE(Fly(*m, 16), 500);
        EXPECT_EQ(target->hits.size(), homing ? 1u : 0u) << homing;
        EXPECT_EQ(world.effects.size(), homing ? 0u : 1u) << homing;
        world.effects.clear();
        world.paths.RemoveFootprint(target, target->GetPosition(), 1);
    }
}

// Rockets and missiles burst at the map's 48-pixel border, hit or miss: fired from within it, at
// the muzzle; one whose target died, at the border on its way (a rocket bound for the map's
// corner, a missile for its last aim in the border).
TEST_F(FlyingShots, RocketsAndMissilesBurstAtTheBorderHitOrMiss) {
    const struct {
        const char* name;
        bool rocket;
        int hitRoll;
        Point owner, target;
        bool targetDies;
    } rows[] = {
        {"rocket hit from the border", true, 1, {16, 208}, {112, 208}, false},
        {"rocket miss from the border", true, 0, {16, 208}, {112, 208}, false},
        {"missile hit from the border", false, 1, {16, 208}, {112, 208}, false},
        {"missile miss from the border", false, 0, {16, 208}, {112, 208}, false},
        {"rocket whose target died", true, 1, {300, 300}, {200, 300}, true},
        {"missile whose target in the border died", false, 1, {300, 300}, {16, 300}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        world.effects.clear();
        Sim* owner = Shooter(row.owner, kit.Weapon({.range = 500}));
        Mark* target = Target(2, row.target);
        std::unique_ptr<Weapon> shot;
        if (row.rocket) {
            std::unique_ptr<RocketShot> r = Make<RocketShot>(owner, target, row.hitRoll);
            r->SetSteerGoal(std::make_unique<TargetGoal>(r->id, target->id, Point(), 1, 1));
            shot = std::move(r);
        } else {
            shot = Missile(owner, target, row.hitRoll, true);
        }
        if (row.targetDies) {
            for (int t = 0; t < 3; ++t)
                shot->Update(16);
            world.paths.RemoveFootprint(target, target->GetPosition(), 1);
            world.Forget(target);
        }
        EXPECT_LE(Fly(*shot, 16), 500);
        EXPECT_TRUE(target->hits.empty());
        EXPECT_EQ(world.effects.size(), 1u);
        // Where it flew last: at the muzzle, or a step short of the border's line.
        const Point last = shot->GetPosition();
        if (row.targetDies) {
            EXPECT_GE(std::min(last.x, last.y), 48) << last.x << "," << last.y;
            EXPECT_LT(std::min(last.x, last.y), 56) << last.x << "," << last.y;
        } else {
            EXPECT_LT(last.x, 48);
        }
        if (!row.targetDies) world.paths.RemoveFootprint(target, target->GetPosition(), 1);
    }
}

TEST_F(FlyingShots, AMissedHomingMissileKeepsItsLaunchPointLineAndBurstsAtItsRange) {
    Sim* owner = Shooter(Point(100, 300), kit.Weapon({.range = 300}));
    Mark* target = Target(2, Point(200, 300));
    std::unique_ptr<MissileWeapon> m = Missile(owner, target, 0, true);
    for (int t = 0; t < 5; ++t)
        m->Update(40);
    target->MoveTo(Point(200, 400));
    const Point before = m->GetPosition();
    m->Update(40);
    // The step runs along launch point -> target (100, 100 from the muzzle), not from here.
    const Point step = m->GetPosition() - before;
    EXPECT_EQ(step.x, step.y);
    EXPECT_GT(step.x, 0);
    EXPECT_LE(Fly(*m, 40), 500);
    const Point burst = Burst();
    EXPECT_NEAR(Vector(burst - m->launchPoint).magnitude, 300, 6);
    EXPECT_TRUE(target->hits.empty());
}

TEST_F(FlyingShots, AHomingMissileWhoseTargetDiedStrikesItsLastAimNotTheMapCorner) {
    Sim* owner = Shooter(Point(100, 300), kit.Weapon({.range = 500}));
    Mark* target = Target(2, Point(300, 300));
    std::unique_ptr<MissileWeapon> m = Missile(owner, target, 1, true);
    for (int t = 0; t < 5; ++t)
        m->Update(40);
    const Point last = target->GetCentre();
    world.paths.RemoveFootprint(target, target->GetPosition(), 1);
    world.Forget(target);
    EXPECT_LE(Fly(*m, 40), 500);
    // It bursts where it stood before its last step onto that point.
    EXPECT_LE(Vector(Burst() - last).magnitude, 3.0);
}

TEST_F(FlyingShots, TheTrailStartsOnePuffAStepAndHoldsAtMostFive) {
    DrawLog log;
    std::unique_ptr<DirectionalEffectTemplate> smoke = FlashEffect(7, &log);
    Sim* owner = Shooter(Point(100, 300), kit.Weapon({.range = 600}));
    Mark* target = Target(2, Point(560, 304));
    std::unique_ptr<MissileWeapon> m = Missile(owner, target, 1, false);
    m->trailSprites = smoke->pictures.get();
    m->Update(16);
    int previous = 0;
    int most = 0;
    bool freshDrawn = false;
    for (int step = 1; step <= 12; ++step) {
        m->Update(30);  // three delays: one step each time
        int active = 0;
        for (int f : m->trailFrames)
            active += f >= 0 ? 1 : 0;
        EXPECT_LE(active, MissileWeapon::kTrailPuffs);
        EXPECT_LE(active, previous + 1);
        previous = active;
        most = std::max(most, active);
        // Every live puff is drawn at its own frame, a fresh one too.
        std::vector<int> live;
        for (int f : m->trailFrames) {
            if (f >= 0) live.push_back(f);
        }
        std::vector<int> puffs = Drawn(*m, log);
        std::sort(live.begin(), live.end());
        std::sort(puffs.begin(), puffs.end());
        EXPECT_EQ(puffs, live) << step;
        freshDrawn = freshDrawn || (!puffs.empty() && puffs.front() == 0);
    }
    // Seven frames a puff and one new puff a step: the five slots fill up.
    EXPECT_EQ(most, MissileWeapon::kTrailPuffs);
    EXPECT_TRUE(freshDrawn);
}

// In flight a missile shows the next frame of its picture at every step it takes, the last of
// the four frames too, and then starts the row again.
TEST_F(FlyingShots, AMissileInFlightShowsEveryFrameOfItsPictureInTurn) {
    std::unique_ptr<DirectionalEffectTemplate> bare = FlashEffect(5);
    bare->pictures.reset();
    std::unique_ptr<ShotPictureTemplate> picture = Picture(4);
    WeaponTemplate* w = kit.Weapon({.range = 500});
    w->fireEffect = bare.get();
    w->projectile = picture.get();
    Sim* owner = Shooter(Point(100, 300), w);
    Mark* target = Target(2, Point(400, 304));
    std::unique_ptr<MissileWeapon> m = Missile(owner, target, 1, false);
    m->Update(30);  // off the rack at once: no launch pictures
    ASSERT_EQ(m->mode, 0);
    std::vector<int> frames;
    for (int i = 0; i < 6; ++i) {
        m->Update(30);
        frames.push_back(m->frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 0, 1, 2}));
}

TEST_F(FlyingShots, LaunchPicturesHoldTheShotOnTheRackAndNoneLetItFlyAtOnce) {
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(5);
    std::unique_ptr<DirectionalEffectTemplate> bare = FlashEffect(5);
    bare->pictures.reset();
    // Four frames a row: a missile without a firing effect plays row 0 on the rack.
    std::unique_ptr<ShotPictureTemplate> picture = Picture(4);
    // A launch frame lasts until its time passes 100 ms, at the sixth 20-ms tick; the last
    // frame shows its 120 ms too. In flight the first step comes once two delays (20 ms) passed.
    const struct {
        DirectionalEffectTemplate* effect;
        bool rocket;
        int firstMoveMs;
    } cases[] = {
        {flash.get(), true, 5 * 120 + 40},  {bare.get(), true, 40},  {nullptr, true, 40},
        {flash.get(), false, 5 * 120 + 40}, {bare.get(), false, 60}, {nullptr, false, 4 * 120 + 40},
    };
    for (const auto& c : cases) {
        WeaponTemplate* w = kit.Weapon({.range = 500});
        w->fireEffect = c.effect;
        w->projectile = picture.get();
        Sim* owner = Shooter(Point(100, 300), w);
        Mark* target = Target(2, Point(400, 304));
        std::unique_ptr<Weapon> shot;
        if (c.rocket) {
            auto r = Make<AnimatedRocketShot>(owner, target, 1);
            r->SetSteerGoal(std::make_unique<LocationGoal>(r->id, target->GetCentre(), 10, 1, 1));
            shot = std::move(r);
        } else {
            shot = Missile(owner, target, 1, false);
        }
        const Point start = shot->GetPosition();
        int ms = 0;
        while (shot->GetPosition() == start && ms < 2000) {
            shot->Update(20);
            ms += 20;
        }
        EXPECT_EQ(ms, c.firstMoveMs) << c.rocket << " " << (c.effect == flash.get());
        EXPECT_EQ(shot->spriteSet, picture->pictures.get());
        EXPECT_LE(Fly(*shot, 20), 500);
        EXPECT_EQ(target->hits.size(), 1u);
    }
}

// On the rack a missile stands on its mount, the unit's draw origin moved by the mount's offset
// for the unit's facing, and goes along while the unit moves.
TEST_F(FlyingShots, AMissileOnTheRackStandsOnItsMountAndMovesWithTheUnit) {
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(3);
    std::unique_ptr<ShotPictureTemplate> picture = Picture(4);
    for (int f = 0; f < 16; ++f)
        kit.chassis->mountOffsets[static_cast<size_t>(f)] = Point(5, -7);
    WeaponTemplate* w = kit.Weapon({.range = 500});
    w->fireEffect = flash.get();
    w->projectile = picture.get();
    Sim* owner = Shooter(Point(100, 300), w);
    Mark* target = Target(2, Point(400, 304));
    std::unique_ptr<MissileWeapon> m = Missile(owner, target, 1, false);
    m->Update(20);
    EXPECT_EQ(m->GetPosition(), owner->GetDrawOrigin() + Point(5, -7));
    owner->SetPosition(Point(130, 280));
    m->Update(20);
    EXPECT_EQ(m->GetPosition(), owner->GetDrawOrigin() + Point(5, -7));
}

// An animated rocket with a single row of pictures still shows it, facing up the screen;
// without pictures, or with its owner gone, it shows nothing.
TEST_F(FlyingShots, AnAnimatedRocketWithOneRowShowsIt) {
    DrawLog drawn;
    WeaponTemplate* w = kit.Weapon({.range = 500});
    Sim* owner = Shooter(Point(100, 300), w);
    Mark* target = Target(2, Point(400, 304));
    auto rocket = Make<AnimatedRocketShot>(owner, target, 1);
    SpriteSet row(1);
    auto sequence = std::make_unique<SpriteSet>(2);
    for (int i = 0; i < 2; ++i)
        sequence->SetFrame(std::make_unique<NotedImage>(drawn, i), i);
    row.SetFrame(std::move(sequence), 0);
    rocket->spriteSet = &row;
    rocket->facing = 0;
    rocket->mode = 0;
    Point at;
    EXPECT_EQ(Drawn(*rocket, drawn, &at), std::vector<int>{0});
    EXPECT_EQ(at, rocket->GetPosition());
    // Its frames cycle through the first row, the last picture included.
    rocket->frame = 0;
    std::vector<int32_t> frames;
    for (int i = 0; i < 3; ++i) {
        rocket->StepFrame();
        frames.push_back(rocket->frame);
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{1, 0, 1}));
    rocket->spriteSet = nullptr;
    EXPECT_TRUE(Drawn(*rocket, drawn).empty());
    rocket->spriteSet = &row;
    world.Forget(owner);
    EXPECT_TRUE(Drawn(*rocket, drawn).empty());
    rocket->spriteSet = nullptr;
}

TEST_F(FlyingShots, ARocketShowsItsLaunchAtTheMountThenCyclesItsRowsAndGoesUnseenWithItsOwner) {
    DrawLog drawn;
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(2, &drawn);
    std::unique_ptr<ShotPictureTemplate> picture = Picture(1, &drawn);
    WeaponTemplate* w = kit.Weapon({.range = 500});
    w->fireEffect = flash.get();
    w->projectile = picture.get();
    Sim* owner = Shooter(Point(100, 300), w);
    owner->GetArmedPart(0)->facing = 3;
    Mark* target = Target(2, Point(400, 304));
    auto rocket = Make<RocketShot>(owner, target, 1);
    rocket->SetSteerGoal(std::make_unique<LocationGoal>(rocket->id, target->GetCentre(), 10, 1, 1));
    const Point mount = owner->GetDrawOrigin() + owner->GetHardpointPosition(0);
    Point at;
    EXPECT_EQ(Drawn(*rocket, drawn, &at), std::vector<int>{300});
    EXPECT_EQ(at, mount);
    for (int t = 0; t < 6; ++t)
        rocket->Update(20);
    EXPECT_EQ(Drawn(*rocket, drawn), std::vector<int>{301});
    for (int t = 0; t < 6; ++t)
        rocket->Update(20);
    ASSERT_EQ(rocket->mode, 0);
    // One row further a step, frame 0 of each, round all 16 rows.
    std::vector<int> rows;
    for (int step = 0; step < 18; ++step) {
        rocket->Update(30);
        for (int tag : Drawn(*rocket, drawn, &at))
            rows.push_back(tag / 100);
        EXPECT_EQ(at, rocket->GetPosition());
    }
    EXPECT_EQ(rows, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2}));
    world.Forget(owner);
    EXPECT_TRUE(Drawn(*rocket, drawn).empty());
    EXPECT_LE(Fly(*rocket, 30), 500);
    EXPECT_EQ(target->hits.size(), 1u);
}

TEST_F(FlyingShots, AnArcShotsMuzzleFlashShowsEachFrameAtThePartsFacingThenGoes) {
    DrawLog drawn;
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(5, &drawn);
    WeaponTemplate* w = kit.Weapon({.range = 400});
    w->fireEffect = flash.get();
    Sim* owner = Shooter(Point(320, 200), w);
    owner->GetArmedPart(0)->facing = 6;
    std::unique_ptr<ArcShot> shell = Make<ArcShot>(owner, nullptr, 1);
    const Point muzzle = shell->GetPosition();
    shell->SetTargetPoint(muzzle + Point(-200, 0));  // 20 hops: a second in the air
    std::vector<int> frames;
    Point at;
    for (int t = 0; t < 40; ++t) {
        shell->Update(20);
        for (int tag : Drawn(*shell, drawn, &at)) {
            frames.push_back(tag);
            EXPECT_EQ(at, muzzle);
        }
    }
    // Frame 0 until 100 ms have passed (the sixth tick), each later one 120 ms.
    std::vector<int> expected(5, 600);
    for (int f = 1; f <= 4; ++f)
        expected.insert(expected.end(), 6, 600 + f);
    EXPECT_EQ(frames, expected);
}

// A shell leaves from the muzzle: the mount's offset for the hull's facing and the barrel's
// for the turret's. It shows only once its course is laid, then where it flies.
TEST_F(FlyingShots, AnArcShellLeavesTheMuzzleAndShowsOnlyOnceItsCourseIsLaid) {
    DrawLog drawn;
    std::unique_ptr<ShotPictureTemplate> picture = Picture(1, &drawn);
    WeaponTemplate* w = kit.Weapon({.range = 400});
    w->projectile = picture.get();
    w->muzzleOffsets[4] = Point(3, 2);
    for (int f = 0; f < 16; ++f)
        kit.chassis->mountOffsets[static_cast<size_t>(f)] = Point(5, -7);
    Sim* owner = Shooter(Point(320, 200), w);
    owner->GetArmedPart(0)->facing = 4;
    std::unique_ptr<ArcShot> shell = Make<ArcShot>(owner, nullptr, 1);
    EXPECT_EQ(shell->GetPosition(), owner->GetDrawOrigin() + Point(8, -5));
    EXPECT_TRUE(Drawn(*shell, drawn).empty());
    shell->SetTargetPoint(shell->GetPosition() + Point(-200, 0));
    Point at;
    EXPECT_EQ(Drawn(*shell, drawn, &at), std::vector<int>{0});
    EXPECT_EQ(at, shell->GetPosition());
}

}  // namespace
