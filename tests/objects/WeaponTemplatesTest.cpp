// The weapon record classes: the class each clan and role letter makes, their installation in
// the catalogue reader, and the shots they make.
#include <gtest/gtest.h>

#include <typeinfo>

#include "objects/AnimatedRocketShot.h"
#include "objects/ArcShot.h"
#include "objects/BeamWeapon.h"
#include "objects/BurstWeapon.h"
#include "objects/CannonWeapon.h"
#include "objects/CyclingDirectShot.h"
#include "objects/DirectShot.h"
#include "objects/Goal.h"
#include "objects/MissileWeapon.h"
#include "objects/PulseWeapon.h"
#include "objects/RocketShot.h"
#include "objects/ShotTestSupport.h"
#include "objects/SpinWeapon.h"
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

// Every class makes its own shot; the homing missile steers by its target, the plain one by
// the point where the target stood.
TEST(WeaponTemplates, EachClassMakesItsOwnShot) {
    ShotLand land;
    const struct {
        WeaponClass kind;
        const std::type_info& shot;
        int steer;  // goal type of the steering goal, 0 for shots that are not steered
    } cases[] = {
        {WeaponClass::Burst, typeid(BurstWeapon), 0},
        {WeaponClass::DirectShot, typeid(DirectShot), 0},
        {WeaponClass::CyclingDirectShot, typeid(CyclingDirectShot), 0},
        {WeaponClass::Cannon, typeid(CannonWeapon), 0},
        {WeaponClass::Missile, typeid(MissileWeapon), static_cast<int>(GoalType::Location)},
        {WeaponClass::Spin, typeid(SpinWeapon), 0},
        {WeaponClass::HomingMissile, typeid(MissileWeapon), static_cast<int>(GoalType::Target)},
        {WeaponClass::AnimatedRocketShot, typeid(AnimatedRocketShot),
         static_cast<int>(GoalType::Location)},
        {WeaponClass::Beam, typeid(BeamWeapon), 0},
        {WeaponClass::Arc, typeid(ArcShot), 0},
        {WeaponClass::Pulse, typeid(PulseWeapon), 0},
        {WeaponClass::RocketShot, typeid(RocketShot), static_cast<int>(GoalType::Location)},
    };
    for (const auto& c : cases) {
        std::unique_ptr<WeaponTemplate> t = MakeShotTemplate(c.kind, Values('V', 'b'));
        Sim* owner = land.Shooter(Point(200, 200), t.get());
        Mark* target = land.Target(2, Point(336, 208), 1);
        std::unique_ptr<GameObject> made(t->CreateShot(owner, target, 0, SimId(1, 77), 0));
        ASSERT_NE(made, nullptr) << static_cast<int>(c.kind);
        const GameObject& shot = *made;
        EXPECT_EQ(typeid(shot), c.shot) << static_cast<int>(c.kind);
        Goal* steer = nullptr;
        if (auto* missile = dynamic_cast<MissileWeapon*>(made.get()))
            steer = missile->steerGoal.get();
        if (auto* rocket = dynamic_cast<RocketShot*>(made.get())) steer = rocket->steerGoal.get();
        EXPECT_EQ(steer ? steer->GetType() : 0, c.steer) << static_cast<int>(c.kind);
    }
}

}  // namespace
