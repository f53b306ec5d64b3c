#pragma once
// The twelve weapon record classes the catalogue reader makes, one per shot class (chosen by
// clan and role letter, WeaponClassFor). They differ only in the shot CreateShot makes and the
// aim it gives it; the two rocket classes' freeze flag comes with the class from the record.
// One class template serves all twelve: the names below are the classes.
#include <memory>

#include "catalogue/WeaponTemplate.h"

template <WeaponClass kClass>
class ShotTemplate : public WeaponTemplate {
public:
    explicit ShotTemplate(const WeaponValues& values) : WeaponTemplate(kClass, values) {}

    // Null without a target: a shot needs a point to aim at.
    GameObject* CreateShot(GameObject* shooter, GameObject* target, int hardpoint, const SimId& id,
                           int hitRoll) override;
};

using BurstWeaponTemplate = ShotTemplate<WeaponClass::Burst>;
using DirectShotTemplate = ShotTemplate<WeaponClass::DirectShot>;
using CyclingDirectShotTemplate = ShotTemplate<WeaponClass::CyclingDirectShot>;
using CannonWeaponTemplate = ShotTemplate<WeaponClass::Cannon>;
using MissileTemplate = ShotTemplate<WeaponClass::Missile>;
using SpinWeaponTemplate = ShotTemplate<WeaponClass::Spin>;
using HomingMissileTemplate = ShotTemplate<WeaponClass::HomingMissile>;
using AnimatedRocketShotTemplate = ShotTemplate<WeaponClass::AnimatedRocketShot>;
using BeamWeaponTemplate = ShotTemplate<WeaponClass::Beam>;
using ArcShotTemplate = ShotTemplate<WeaponClass::Arc>;
using PulseWeaponTemplate = ShotTemplate<WeaponClass::Pulse>;
using RocketShotTemplate = ShotTemplate<WeaponClass::RocketShot>;

// The record of a class, as the catalogue reader asks for it.
std::unique_ptr<WeaponTemplate> MakeShotTemplate(WeaponClass weaponClass,
                                                 const WeaponValues& values);
// Makes the catalogue reader build the classes above; the World calls it at start-up.
void InstallWeaponTemplates();
