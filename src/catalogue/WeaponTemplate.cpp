#include "catalogue/WeaponTemplate.h"

#include "catalogue/TemplateCatalogue.h"
#include "catalogue/TemplatePictures.h"
#include "core/SpriteSet.h"

WeaponClass WeaponClassFor(char clan, char role) {
    const bool varnok = clan == 'V';
    switch (role) {
        case 'a':
            return WeaponClass::Burst;
        case 'b':
            return varnok ? WeaponClass::DirectShot : WeaponClass::Cannon;
        case 'c':
            return varnok ? WeaponClass::CyclingDirectShot : WeaponClass::Beam;
        case 'd':
            return varnok ? WeaponClass::Cannon : WeaponClass::Arc;
        case 'e':
            return varnok ? WeaponClass::Missile : WeaponClass::Pulse;
        case 'f':
            return varnok ? WeaponClass::Spin : WeaponClass::Missile;
        case 'g':
            return WeaponClass::HomingMissile;
        case 'h':
            return varnok ? WeaponClass::AnimatedRocketShot : WeaponClass::RocketShot;
        default:
            return varnok ? WeaponClass::Cannon : WeaponClass::Beam;
    }
}

WeaponTemplate::WeaponTemplate(WeaponClass weaponClass, const WeaponValues& v)
    : MountTemplate(v.mount),
      weaponClass(weaponClass),
      reloadField(v.reloadField),
      rangeField(v.rangeField),
      travelField(v.travelField),
      firePowerField(v.firePowerField),
      kindLetter(v.kindLetter),
      freezeFlag(weaponClass == WeaponClass::RocketShot ||
                         weaponClass == WeaponClass::AnimatedRocketShot
                     ? 1
                     : 0),
      shotLayerField(v.shotLayerField),
      fireEffect(v.fireEffect),
      explosion(v.explosion),
      muzzleOffsets(v.muzzleOffsets),
      projectile(v.projectile) {
    const Size frame = FirstFrameSize(mapPictures.get());
    for (Point& p : muzzleOffsets)
        p = CentredOn(p, frame);
}

int32_t WeaponTemplate::GetReloadTime() const {
    return SpeedAdjusted(reloadField);
}

int32_t WeaponTemplate::GetTravelDelay() const {
    return SpeedAdjusted(travelField);
}

namespace {

WeaponTemplateMaker& InstalledMaker() {
    static WeaponTemplateMaker maker;
    return maker;
}

}  // namespace

void SetWeaponTemplateMaker(WeaponTemplateMaker maker) {
    InstalledMaker() = std::move(maker);
}

std::unique_ptr<WeaponTemplate> MakeWeaponTemplate(WeaponClass weaponClass,
                                                   const WeaponValues& values) {
    if (InstalledMaker()) return InstalledMaker()(weaponClass, values);
    return std::make_unique<WeaponTemplate>(weaponClass, values);
}

GameObject* WeaponTemplate::CreateShot(GameObject*, GameObject*, int, const SimId&, int) {
    return nullptr;
}
