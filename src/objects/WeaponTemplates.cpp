#include "objects/WeaponTemplates.h"

#include "objects/AnimatedRocketShot.h"
#include "objects/ArcShot.h"
#include "objects/BeamWeapon.h"
#include "objects/BurstWeapon.h"
#include "objects/CannonWeapon.h"
#include "objects/CyclingDirectShot.h"
#include "objects/DirectShot.h"
#include "objects/LocationGoal.h"
#include "objects/MissileWeapon.h"
#include "objects/PulseWeapon.h"
#include "objects/RocketShot.h"
#include "objects/SpinWeapon.h"
#include "objects/TargetGoal.h"
#include "objects/Weapon.h"

namespace {

// A flying shot aims once, at where the target stood when the mount fired.
template <class Shot>
GameObject* MakeAimedShot(WeaponTemplate* weapon, GameObject* shooter, GameObject* target,
                          int hardpoint, const SimId& id, int hitRoll) {
    auto* shot = new Shot(shooter, nullptr, weapon, hardpoint,
                          Weapon::MakeCollision(weapon, shooter), id, hitRoll);
    shot->SetAimGoal(target->GetCentre());
    return shot;
}

// A shot that plays its effect at the firing part keeps its target.
template <class Shot>
GameObject* MakeStandingShot(WeaponTemplate* weapon, GameObject* shooter, GameObject* target,
                             int hardpoint, const SimId& id, int hitRoll) {
    return new Shot(shooter, target, weapon, hardpoint, Weapon::MakeCollision(weapon, shooter), id,
                    hitRoll);
}

// A missile or rocket keeps its target and flies by a steering goal of its own: a location goal
// at where the target stood, or (homing) a goal on the target itself.
template <class Shot>
GameObject* MakeSteeredShot(WeaponTemplate* weapon, GameObject* shooter, GameObject* target,
                            int hardpoint, const SimId& id, int hitRoll, bool homing) {
    auto* shot = new Shot(shooter, target, weapon, hardpoint,
                          Weapon::MakeCollision(weapon, shooter), id, hitRoll);
    if (homing)
        shot->SetSteerGoal(std::make_unique<TargetGoal>(id, target->id, Point(0, 0), 1, 1));
    else
        shot->SetSteerGoal(
            std::make_unique<LocationGoal>(id, target->GetCentre(), Shot::kAimTolerance, 1, 1));
    return shot;
}

}  // namespace

template <WeaponClass kClass>
GameObject* ShotTemplate<kClass>::CreateShot(GameObject* shooter, GameObject* target, int hardpoint,
                                             const SimId& id, int hitRoll) {
    if (!shooter || !target) return nullptr;
    switch (kClass) {
        case WeaponClass::DirectShot:
            return MakeAimedShot<DirectShot>(this, shooter, target, hardpoint, id, hitRoll);
        case WeaponClass::CyclingDirectShot:
            return MakeAimedShot<CyclingDirectShot>(this, shooter, target, hardpoint, id, hitRoll);
        case WeaponClass::Beam:
            return MakeStandingShot<BeamWeapon>(this, shooter, target, hardpoint, id, hitRoll);
        case WeaponClass::Cannon:
            return MakeStandingShot<CannonWeapon>(this, shooter, target, hardpoint, id, hitRoll);
        case WeaponClass::Burst:
            return MakeStandingShot<BurstWeapon>(this, shooter, target, hardpoint, id, hitRoll);
        case WeaponClass::Spin:
            return MakeStandingShot<SpinWeapon>(this, shooter, target, hardpoint, id, hitRoll);
        case WeaponClass::Pulse:
            return MakeStandingShot<PulseWeapon>(this, shooter, target, hardpoint, id, hitRoll);
        case WeaponClass::Missile:
            return MakeSteeredShot<MissileWeapon>(this, shooter, target, hardpoint, id, hitRoll,
                                                  false);
        case WeaponClass::HomingMissile:
            return MakeSteeredShot<MissileWeapon>(this, shooter, target, hardpoint, id, hitRoll,
                                                  true);
        case WeaponClass::RocketShot:
            return MakeSteeredShot<RocketShot>(this, shooter, target, hardpoint, id, hitRoll,
                                               false);
        case WeaponClass::AnimatedRocketShot:
            return MakeSteeredShot<AnimatedRocketShot>(this, shooter, target, hardpoint, id,
                                                       hitRoll, false);
        case WeaponClass::Arc: {
            auto* shot = new ArcShot(shooter, nullptr, this, hardpoint,
                                     Weapon::MakeCollision(this, shooter), id, hitRoll);
            shot->SetTargetPoint(target->GetCentre());
            return shot;
        }
    }
    return nullptr;
}

template class ShotTemplate<WeaponClass::Burst>;
template class ShotTemplate<WeaponClass::DirectShot>;
template class ShotTemplate<WeaponClass::CyclingDirectShot>;
template class ShotTemplate<WeaponClass::Cannon>;
template class ShotTemplate<WeaponClass::Missile>;
template class ShotTemplate<WeaponClass::Spin>;
template class ShotTemplate<WeaponClass::HomingMissile>;
template class ShotTemplate<WeaponClass::AnimatedRocketShot>;
template class ShotTemplate<WeaponClass::Beam>;
template class ShotTemplate<WeaponClass::Arc>;
template class ShotTemplate<WeaponClass::Pulse>;
template class ShotTemplate<WeaponClass::RocketShot>;

std::unique_ptr<WeaponTemplate> MakeShotTemplate(WeaponClass weaponClass,
                                                 const WeaponValues& values) {
    switch (weaponClass) {
        case WeaponClass::Burst:
            return std::make_unique<BurstWeaponTemplate>(values);
        case WeaponClass::DirectShot:
            return std::make_unique<DirectShotTemplate>(values);
        case WeaponClass::CyclingDirectShot:
            return std::make_unique<CyclingDirectShotTemplate>(values);
        case WeaponClass::Cannon:
            return std::make_unique<CannonWeaponTemplate>(values);
        case WeaponClass::Missile:
            return std::make_unique<MissileTemplate>(values);
        case WeaponClass::Spin:
            return std::make_unique<SpinWeaponTemplate>(values);
        case WeaponClass::HomingMissile:
            return std::make_unique<HomingMissileTemplate>(values);
        case WeaponClass::AnimatedRocketShot:
            return std::make_unique<AnimatedRocketShotTemplate>(values);
        case WeaponClass::Beam:
            return std::make_unique<BeamWeaponTemplate>(values);
        case WeaponClass::Arc:
            return std::make_unique<ArcShotTemplate>(values);
        case WeaponClass::Pulse:
            return std::make_unique<PulseWeaponTemplate>(values);
        case WeaponClass::RocketShot:
            return std::make_unique<RocketShotTemplate>(values);
    }
    return std::make_unique<WeaponTemplate>(weaponClass, values);
}

void InstallWeaponTemplates() {
    SetWeaponTemplateMaker(MakeShotTemplate);
}
