#pragma once
// A weapon record: the mount record plus reload, range, travel and fire-power fields, the kind
// letter that defence items match, the shot layer, the firing effect, explosion and projectile
// picture, and the muzzle offset per facing. The shot classes derive from it and add the
// making of a shot; the catalogue reader names the class each record is made as.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "catalogue/MountTemplate.h"
#include "core/Point.h"
#include "core/SimId.h"

class GameObject;

// The shot class of a weapon record, chosen by clan and role letter.
enum class WeaponClass {
    Burst,
    DirectShot,
    CyclingDirectShot,
    Cannon,
    Missile,
    Spin,
    HomingMissile,
    AnimatedRocketShot,
    Beam,
    Arc,
    Pulse,
    RocketShot,
};

// The class table of the catalogue: role letters a..h pick a class per clan ('V' one column,
// 'T' and 'X' the other); any other letter gives Cannon for 'V' and Beam otherwise.
WeaponClass WeaponClassFor(char clan, char role);

struct WeaponValues {
    MountValues mount;
    ShotPictureTemplate* projectile = nullptr;
    int32_t reloadField = 0;
    int32_t rangeField = 0;
    int32_t travelField = 0;
    int32_t firePowerField = 0;
    char kindLetter = 0;
    int32_t shotLayerField = 0;
    std::array<Point, 16> muzzleOffsets{};  // as in the file; centred by the constructor
    DirectionalEffectTemplate* fireEffect = nullptr;
    EffectTemplate* explosion = nullptr;
};

class WeaponTemplate : public MountTemplate {
public:
    WeaponTemplate(WeaponClass weaponClass, const WeaponValues& values);

    MountKind GetMountKind() const override { return MountKind::Weapon; }
    int32_t GetReloadTime() const override;
    int32_t GetRange() const override { return rangeField; }
    int32_t GetTravelDelay() const override;
    int32_t GetFirePower() const override { return firePowerField; }
    DirectionalEffectTemplate* GetFireEffect() const override { return fireEffect; }
    EffectTemplate* GetExplosionTemplate() const override { return explosion; }
    ShotPictureTemplate* GetProjectileTemplate() const override { return projectile; }
    char GetKindLetter() const override { return kindLetter; }
    // The shot a mount fires at the target, with the given id and hit roll, or null. The caller
    // owns it at once (the map objects live above the catalogue, which cannot name their
    // owning pointer) and lists it. The plain record makes none: the shot classes override this.
    virtual GameObject* CreateShot(GameObject* shooter, GameObject* target, int hardpoint,
                                   const SimId& id, int hitRoll);

    WeaponClass weaponClass;
    int32_t reloadField;
    int32_t rangeField;
    int32_t travelField;
    int32_t firePowerField;
    char kindLetter;
    int32_t stunFlag = 0;
    // The two rocket classes fire shots that freeze their target.
    int32_t freezeFlag = 0;
    int32_t shotLayerField;
    DirectionalEffectTemplate* fireEffect;  // not owned
    EffectTemplate* explosion;              // not owned
    std::array<Point, 16> muzzleOffsets;
    ShotPictureTemplate* projectile;  // not owned
};

// How the catalogue reader makes a weapon record of a class. The shot classes install a maker
// that builds their own subclass; until then the reader makes plain WeaponTemplates that carry
// the class. An empty function restores the plain maker.
using WeaponTemplateMaker =
    std::function<std::unique_ptr<WeaponTemplate>(WeaponClass, const WeaponValues&)>;
void SetWeaponTemplateMaker(WeaponTemplateMaker maker);
std::unique_ptr<WeaponTemplate> MakeWeaponTemplate(WeaponClass weaponClass,
                                                   const WeaponValues& values);
