// The weapon record classes: the class each clan and role letter makes, their installation in
// the catalogue reader, and the shots they make.
#include <gtest/gtest.h>

#include <typeinfo>

#include "objects/CyclingDirectShot.h"
#include "objects/DirectShot.h"
#include "objects/Goal.h"
#include "objects/ShotTestSupport.h"
#include "objects/WeaponTemplates.h"

namespace {

WeaponValues Values(char clan, char role) {
    WeaponValues v;
    v.mount.clan = clan;
    v.mount.role = role;
    v.rangeField = 300;
    v.shotLayerField = 1;
    return v;
}

TEST(WeaponTemplates, ClanAndRoleLetterPickTheClassAndTheRocketsFreeze) {
    const struct {
        char clan;
        char role;
        const std::type_info& type;
        int freeze;
    } cases[] = {
        {'V', 'a', typeid(BurstWeaponTemplate), 0},
        {'T', 'a', typeid(BurstWeaponTemplate), 0},
        {'V', 'b', typeid(DirectShotTemplate), 0},
        {'T', 'b', typeid(CannonWeaponTemplate), 0},
        {'V', 'c', typeid(CyclingDirectShotTemplate), 0},
        {'T', 'c', typeid(BeamWeaponTemplate), 0},
        {'V', 'd', typeid(CannonWeaponTemplate), 0},
        {'T', 'd', typeid(ArcShotTemplate), 0},
        {'V', 'e', typeid(MissileTemplate), 0},
        {'T', 'e', typeid(PulseWeaponTemplate), 0},
        {'V', 'f', typeid(SpinWeaponTemplate), 0},
        {'T', 'f', typeid(MissileTemplate), 0},
        {'X', 'g', typeid(HomingMissileTemplate), 0},
        {'V', 'h', typeid(AnimatedRocketShotTemplate), 1},
        {'T', 'h', typeid(RocketShotTemplate), 1},
        {'V', 'z', typeid(CannonWeaponTemplate), 0},
        {'T', 'A', typeid(BeamWeaponTemplate), 0},
    };
    InstallWeaponTemplates();
    for (const auto& c : cases) {
        std::unique_ptr<WeaponTemplate> t =
            MakeWeaponTemplate(WeaponClassFor(c.clan, c.role), Values(c.clan, c.role));
        const WeaponTemplate& made = *t;
        EXPECT_EQ(typeid(made), c.type) << c.clan << c.role;
        EXPECT_EQ(t->freezeFlag, c.freeze) << c.clan << c.role;
    }
    SetWeaponTemplateMaker({});
    std::unique_ptr<WeaponTemplate> plain =
        MakeWeaponTemplate(WeaponClass::DirectShot, Values('V', 'b'));
    const WeaponTemplate& made = *plain;
    EXPECT_EQ(typeid(made), typeid(WeaponTemplate));
}

TEST(WeaponTemplates, DirectShotsAimOnceAtTheTargetsCentreAndKeepNoTarget) {
    ShotLand land;
    for (WeaponClass kind : {WeaponClass::DirectShot, WeaponClass::CyclingDirectShot}) {
        std::unique_ptr<WeaponTemplate> t = MakeShotTemplate(kind, Values('V', 'b'));
        Sim* owner = land.Shooter(Point(200, 200), t.get());
        Mark* target = land.Target(2, Point(336, 208), 1);
        EXPECT_EQ(t->CreateShot(owner, nullptr, 0, SimId(1, 77), 1), nullptr);
        std::unique_ptr<GameObject> made(t->CreateShot(owner, target, 0, SimId(1, 77), 0));
        auto* shot = dynamic_cast<DirectShot*>(made.get());
        ASSERT_NE(shot, nullptr);
        EXPECT_EQ(kind == WeaponClass::CyclingDirectShot,
                  dynamic_cast<CyclingDirectShot*>(shot) != nullptr);
        EXPECT_TRUE(shot->TargetHandle().IsNull());
        EXPECT_EQ(shot->aimMode, 0);
        ASSERT_NE(shot->aimGoal, nullptr);
        target->MoveTo(Point(400, 400));
        EXPECT_EQ(shot->aimGoal->GetAimPoint(), Point(336, 208));
    }
}

}  // namespace
