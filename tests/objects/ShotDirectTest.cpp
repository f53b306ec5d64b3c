// Direct shots: the step timing, the homing hit and the straight miss, what the arrival cell
// holds, the reach and the map border, and the muzzle flash.
#include <gtest/gtest.h>

#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "objects/CyclingDirectShot.h"
#include "objects/DirectShot.h"
#include "objects/ShotTestSupport.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

namespace {

class DirectShots : public ::testing::Test, public ShotLand {
protected:
    std::unique_ptr<DirectShot> Fire(Sim* owner, const Point& aim, int hitRoll, int delay = 10) {
        WeaponTemplate* w = owner->GetArmedPart(0)->GetTemplate();
        auto shot = std::make_unique<DirectShot>(
            owner, nullptr, w, 0, Weapon::MakeCollision(w, owner), SimId(1, 900), hitRoll);
        shot->moveDelay = delay;
        shot->SetAimGoal(aim);
        return shot;
    }
    // The one explosion a burst left.
    Point Burst() {
        EXPECT_EQ(world.effects.size(), 1u);
        return world.effects.empty() ? Point(-1, -1) : world.effects.back()->GetPosition();
    }
};

// Two delays must gather first; then every whole delay is one step of 1.41421 pixels.
TEST_F(DirectShots, TheFirstMoveComesOnTheSecondTickWithThreeStepsAndTheRestCarried) {
    WeaponTemplate* w = kit.Weapon({.range = 400});
    w->muzzleOffsets.fill(Point(5, -3));
    Sim* owner = Shooter(Point(160, 160), w);
    std::unique_ptr<DirectShot> shot = Fire(owner, Point(400, 400), 1);
    // The muzzle: hardpoint 0 is mounted on the unit's draw origin.
    const Point start = owner->GetDrawOrigin() + Point(5, -3);
    EXPECT_EQ(shot->GetPosition(), start);
    EXPECT_EQ(shot->startPoint, start);
    shot->Update(16);
    EXPECT_EQ(shot->GetPosition(), start);
    shot->Update(16);
    EXPECT_EQ(shot->GetPosition(), start + Point(3, 3));
    EXPECT_EQ(shot->travelTime, 2);
}

// Steps gather only past two delays and every whole delay is one step; a shot whose record
// gives no travel delay takes a step a millisecond.
TEST_F(DirectShots, StepsGatherPastTwoDelaysAndNoDelayCountsAsOneMillisecond) {
    WeaponTemplate* w = kit.Weapon({.range = 400});
    Sim* owner = Shooter(Point(160, 160), w);
    const struct {
        int delay;
        int32_t first, second;  // two updates
        Point moved;            // after the second
    } rows[] = {{10, 20, 1, Point(2, 2)}, {0, 2, 0, Point(0, 0)}, {0, 2, 1, Point(3, 3)}};
    for (const auto& row : rows) {
        std::unique_ptr<DirectShot> shot = Fire(owner, Point(400, 400), 1, row.delay);
        const Point start = shot->GetPosition();
        shot->Update(row.first);
        EXPECT_EQ(shot->GetPosition(), start) << row.delay;
        shot->Update(row.second);
        EXPECT_EQ(shot->GetPosition(), start + row.moved) << row.delay << " " << row.second;
    }
}

TEST_F(DirectShots, AHitStrikesTheHostileObjectInTheArrivalCellAircraftFirst) {
    // Cell centres within 48 pixels of the map's edges (the map is 640 wide), and beside them.
    const Point edge(16, 208), besideEdge(80, 208), edgeRight(624, 208), besideRight(560, 208),
        inRightBorder(592, 208);
    const struct {
        int shotLayer;
        int hitRoll;
        std::vector<std::pair<int, int>> standing;  // team, layer at the aim's cell
        int struck;                                 // index into standing, -1 for a burst
        Point owner = Point(208, 208);
        Point at = Point(400, 208);
    } cases[] = {
        {0, 1, {{2, 0}}, 0},
        {0, 1, {}, -1},
        {0, 1, {{1, 0}}, -1},
        {2, 1, {{2, 0}, {3, 2}}, 1},
        {0, 1, {{2, 0}, {3, 2}}, 0},
        {0, 0, {{2, 0}}, -1},
        // A friend marked over the enemy later (a unit pressing on its target) shields nothing;
        // under it, the latest marked is struck first.
        {0, 1, {{2, 0}, {1, 0}}, 0},
        {0, 1, {{2, 0}, {3, 0}, {1, 0}}, 1},
        {1, 1, {{2, 1}, {1, 1}}, 0},
        // Fired from within the border, or at a target in it, a hit still lands on its target;
        // only a miss bursts at the border.
        {0, 1, {{2, 0}}, 0, edge, besideEdge},
        {0, 1, {{2, 0}}, 0, edgeRight, besideRight},
        {0, 1, {{2, 0}}, 0, Point(304, 208), inRightBorder},
        {0, 0, {{2, 0}}, -1, edge, besideEdge},
    };
    for (const auto& c : cases) {
        world.effects.clear();
        Sim* owner = Shooter(c.owner, kit.Weapon({.range = 400, .shotLayer = c.shotLayer}));
        std::vector<Mark*> there;
        for (auto [team, layer] : c.standing)
            there.push_back(Target(team, c.at, layer));
        std::unique_ptr<DirectShot> shot = Fire(owner, c.at, c.hitRoll);
        EXPECT_LE(Fly(*shot, 16), 500);
        for (size_t i = 0; i < there.size(); ++i) {
            EXPECT_EQ(there[i]->hits.size(), static_cast<int>(i) == c.struck ? 1u : 0u)
                << c.shotLayer << " " << i << " from " << c.owner.x << " at " << c.at.x;
            world.paths.RemoveFootprint(there[i], c.at, 1);
        }
        EXPECT_EQ(world.effects.size(), c.struck < 0 ? 1u : 0u);
    }
}

TEST_F(DirectShots, AHitBurstsBeforeItsEmptyPointAndAMissFliesOnToItsRangeOrTheBorder) {
    // At 40 ms ticks and 10 ms delays a shot moves 6 pixels a tick along x.
    const struct {
        int ownerX;
        int aimDx;
        int hitRoll;
        int range;
        int low, high;  // the burst's x less the start's; or, past the border, absolute
        bool absolute;
    } cases[] = {
        // Nothing in the cell: the burst stays where the shot stood before the last step.
        {208, 72, 1, 400, 66, 71, false},
        {208, 52, 0, 150, 144, 150, false},
        // The map is 640 wide: 48 inside its last pixel is 591. (A miss whose step lands
        // exactly on its point bursts there, so the point is off the 6-pixel grid.)
        {500, 61, 0, 400, 585, 591, true},
    };
    for (const auto& c : cases) {
        world.effects.clear();
        Sim* owner = Shooter(Point(c.ownerX, 208), kit.Weapon({.range = c.range}));
        const Point start = owner->GetDrawOrigin() + owner->GetHardpointPosition(0);
        std::unique_ptr<DirectShot> shot = Fire(owner, start + Point(c.aimDx, 0), c.hitRoll);
        ASSERT_EQ(shot->startPoint, start);
        ASSERT_LE(Fly(*shot, 40), 500);
        const Point burst = Burst();
        const int x = c.absolute ? burst.x : burst.x - start.x;
        EXPECT_GE(x, c.low) << c.ownerX;
        EXPECT_LE(x, c.high) << c.ownerX;
        EXPECT_EQ(burst.y, start.y);
    }
}

TEST_F(DirectShots, TheFlashPlaysItsFramesOnceAndStopsWithTheOwnerTheShotFliesOn) {
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(3);
    flash->sound = std::make_unique<Sound>(4);
    WeaponTemplate* w = kit.Weapon({.range = 600});
    w->fireEffect = flash.get();
    Sim* owner = Shooter(Point(100, 300), w);
    std::unique_ptr<DirectShot> shot = Fire(owner, Point(560, 300), 1, 1000);
    EXPECT_EQ(world.played, std::vector<Sound*>{flash->sound.get()});
    std::vector<int> frames;
    while (shot->flashOn == 1 && frames.size() < 10) {
        shot->Update(60);
        frames.push_back(shot->flashFrame);
    }
    // A frame every 100 ms of flash time; off once past the last (index 2).
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 1, 2, 2, 3}));
    // Exactly 100 ms is not yet past the period. (Fired unseen: no second sound.)
    world.visible = 0;
    std::unique_ptr<DirectShot> even = Fire(owner, Point(560, 300), 1, 1000);
    frames.clear();
    while (even->flashOn == 1 && frames.size() < 12) {
        even->Update(50);
        frames.push_back(even->flashFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3}));

    world.visible = 0;
    std::unique_ptr<DirectShot> unseen = Fire(owner, Point(560, 300), 1);
    EXPECT_EQ(world.played.size(), 1u);
    world.Forget(owner);
    unseen->Update(16);
    unseen->Update(16);
    EXPECT_EQ(unseen->flashOn, 0);
    EXPECT_NE(unseen->GetPosition(), unseen->startPoint);
}

// A cycling shot shows the four frames of its picture's first sequence in turn, one a tick, where
// it flies; without pictures it shows nothing.
TEST_F(DirectShots, ACyclingShotLoopsFourFramesWhereItFlies) {
    WeaponTemplate* w = kit.Weapon({.range = 400});
    DrawLog log;
    auto loop = std::make_unique<SpriteSet>(4);
    for (int i = 0; i < 4; ++i)
        loop->SetFrame(std::make_unique<NotedImage>(log, i), i);
    auto pictures = std::make_unique<SpriteSet>(1);
    pictures->SetFrame(std::move(loop), 0);
    w->mapPictures = std::move(pictures);
    Sim* owner = Shooter(Point(160, 160), w);
    CyclingDirectShot shot(owner, nullptr, w, 0, Weapon::MakeCollision(w, owner), SimId(1, 901), 1);
    shot.moveDelay = 10;
    shot.SetAimGoal(Point(400, 400));
    ScreenBase view;
    DrawLog expected;
    for (int i = 0; i < 6; ++i) {
        shot.Draw(view);
        expected.push_back({i % 4, view.MapToScreen(shot.GetPosition())});
        shot.Update(16);
    }
    EXPECT_EQ(log, expected);
    w->mapPictures.reset();
    CyclingDirectShot bare(owner, nullptr, w, 0, Weapon::MakeCollision(w, owner), SimId(1, 902), 1);
    log.clear();
    bare.Draw(view);
    EXPECT_TRUE(log.empty());
}

// The firing sound plays when the square round the shot, its radius each way, is in view.
TEST(ShotSound, TheFiringSoundAsksForTheSquareRoundTheShot) {
    class AskedWorld : public FakeObjectWorld {
    public:
        AskedWorld() : FakeObjectWorld(20, 20) {}
        int IsRectVisible(const Rect& r) override {
            asked.push_back(r);
            return 1;
        }
        std::vector<Rect> asked;
    } world;
    SimKit kit;
    std::unique_ptr<DirectionalEffectTemplate> flash = FlashEffect(3);
    flash->sound = std::make_unique<Sound>(4);
    WeaponTemplate* w = kit.Weapon({.range = 400});
    w->fireEffect = flash.get();
    std::unique_ptr<Sim> owner = kit.MakeSim(1, 1, Point(160, 160), {w});
    DirectShot shot(owner.get(), nullptr, w, 0, Weapon::MakeCollision(w, owner.get()),
                    SimId(1, 900), 1);
    const int r = shot.GetRadius();
    ASSERT_EQ(world.asked.size(), 1u);
    EXPECT_EQ(world.asked[0], Rect(shot.GetCentre() - Point(r, r), Size(2 * r, 2 * r)));
    EXPECT_EQ(world.played, std::vector<Sound*>{flash->sound.get()});
}

}  // namespace
