// The shot base: the enemy mask per shot layer, the aim point of hits and misses, and the end
// of a shot (damage only where simulated, else an explosion and a crater).
#include <gtest/gtest.h>

#include "catalogue/EffectTemplate.h"
#include "objects/ExplosionEffect.h"
#include "objects/ShotTestSupport.h"
#include "objects/SpriteAttachment.h"

namespace {

class Shots : public ::testing::Test, public ShotLand {
protected:
    std::unique_ptr<Weapon> Make(Sim* owner, GameObject* target, WeaponTemplate* w, int hitRoll,
                                 int aimMode) {
        return std::make_unique<Weapon>(owner, target, w, 0, Weapon::MakeCollision(w, owner),
                                        SimId(1, 900), hitRoll, aimMode);
    }
};

// Team 1 stands alone: teams 0, 2, 3 and 4 are hostile on every layer the shot reaches.
TEST_F(Shots, TheEnemyMaskCoversEveryLayerUpToTheShotsAndNoMore) {
    const uint32_t own = kGroundBit << 1 | kLowBit << 1 | kAirBit << 1;
    const struct {
        int layer;
        uint32_t mask;
    } cases[] = {
        {0, kGroundBits},
        {1, kGroundBits | kLowBits},
        {2, kGroundBits | kLowBits | kAirBits},
        {3, kGroundBits | kLowBits | kAirBits},
    };
    for (const auto& c : cases) {
        WeaponTemplate* w = kit.Weapon({.shotLayer = c.layer});
        Sim* owner = Shooter(Point(320, 320), w);
        std::unique_ptr<Weapon> shot = Make(owner, nullptr, w, 1, 0);
        EXPECT_EQ(shot->enemyMask, c.mask & ~own) << c.layer;
        EXPECT_EQ(shot->collision.firstId, owner->id);
    }
}

TEST_F(Shots, AHitAimsAtTheTargetAMissAtFullRangeAlongThePartInsideTheMapEdge) {
    WeaponTemplate* w = kit.Weapon({.range = 100});
    Mark* target = Target(2, Point(368, 368));
    // The map is 640 pixels square: 48 inside its last pixel is 591.
    const struct {
        Point owner;
        int facing;
        int hitRoll;
        int aimMode;
        bool targetAlive;
        bool ownerAlive;
        Point aim;
    } cases[] = {
        {{320, 320}, 8, 1, 1, true, true, {368, 368}},
        {{320, 320}, 8, 0, 1, true, true, {420, 320}},
        {{320, 320}, 12, 1, 1, false, true, {320, 420}},
        {{320, 320}, 0, 0, 1, true, true, {220, 320}},
        {{600, 30}, 8, 0, 1, true, true, {591, 48}},
        {{60, 320}, 0, 0, 1, true, true, {48, 320}},
        {{320, 600}, 12, 0, 1, true, true, {320, 591}},
        {{320, 320}, 8, 0, 1, true, false, {320, 320}},
        {{320, 320}, 8, 0, 0, true, true, {320, 320}},
        {{320, 320}, 8, 1, 0, false, true, {320, 320}},
    };
    for (const auto& c : cases) {
        Sim* owner = Shooter(c.owner, w);
        owner->GetArmedPart(0)->facing = c.facing;
        std::unique_ptr<Weapon> shot = Make(owner, target, w, c.hitRoll, c.aimMode);
        if (!c.targetAlive) world.Forget(target);
        if (!c.ownerAlive) world.Forget(owner);
        EXPECT_EQ(shot->GetAimPoint(), c.aim) << c.owner.x << "," << c.facing;
        EXPECT_EQ(shot->GetFirePower(), w->GetFirePower());
        if (!c.targetAlive) world.Add(target);
    }
}

TEST_F(Shots, FireDamagesOnlyWhereSimulatedAndWithoutATargetLeavesAnExplosionAndACrater) {
    EffectTemplate bang('V', 'b', 0, "", -1, 10);
    WeaponTemplate* w = kit.Weapon({.range = 100});
    w->explosion = &bang;
    Sim* owner = Shooter(Point(320, 320), w);
    Mark* target = Target(2, Point(368, 368));

    std::unique_ptr<Weapon> simulated = Make(owner, target, w, 1, 1);
    simulated->Fire(target);
    std::unique_ptr<Weapon> mirrored = Make(owner, target, w, 1, 1);
    mirrored->SetLocal(0);
    mirrored->Fire(target);
    ASSERT_EQ(target->hits.size(), 1u);
    EXPECT_EQ(target->hits[0].first, w);
    EXPECT_EQ(target->hits[0].second, owner->id);
    EXPECT_TRUE(world.effects.empty());

    owner->GetArmedPart(0)->facing = 8;
    std::unique_ptr<Weapon> missed = Make(owner, target, w, 0, 1);
    missed->Fire(nullptr);
    ASSERT_EQ(world.effects.size(), 1u);
    EXPECT_EQ(world.effects[0]->GetPosition(), Point(420, 320));
    EXPECT_EQ(world.effects[0]->GetTeam(), 0);
    EXPECT_EQ(world.cellEffects, std::vector<Point>{Point(420, 320)});
    EXPECT_EQ(target->hits.size(), 1u);
    for (Weapon* s : {simulated.get(), mirrored.get(), missed.get()})
        EXPECT_EQ(s->IsDestroyed(), 1);
}

}  // namespace
