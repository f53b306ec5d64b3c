#include "objects/Weapon.h"

#include <cmath>
#include <memory>

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/EffectTemplate.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Rect.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "objects/ExplosionEffect.h"
#include "objects/ObjectWorld.h"
#include "objects/SpriteAttachment.h"

namespace {

constexpr double kFacingAngle = 0.39269875;
// Layers 0 ground, 1 low, 2 air: a shot of a higher class reaches them all and no more.
constexpr int kTopLayer = 2;

Size ShotSize(WeaponTemplate* weapon) {
    SpriteSet* sprites = weapon ? weapon->mapPictures.get() : nullptr;
    if (sprites) return sprites->FrameSize();
    return Size(Weapon::kDefaultSize, Weapon::kDefaultSize);
}

}  // namespace

bool MapInterior(int margin, int& left, int& top, int& right, int& bottom) {
    TerrainMap* terrain = TheObjectWorld().Terrain();
    if (!terrain) return false;
    const Size extent = terrain->PixelExtent();
    if (extent.w < 1 || extent.h < 1) return false;
    left = margin;
    top = margin;
    right = extent.w - 1 - margin;
    bottom = extent.h - 1 - margin;
    return true;
}

CollisionFilter Weapon::MakeCollision(WeaponTemplate* weapon, GameObject* owner) {
    CollisionFilter filter(1, weapon ? weapon->shotLayerField : 0, 0, 0, 0);
    if (owner) filter.firstId = owner->id;
    return filter;
}

Weapon::Weapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
               const CollisionFilter& filter, const SimId& id, int hitRoll, int aimMode)
    : GameObject(owner ? owner->GetPosition() : Point(), weapon ? weapon->GetTravelDelay() : 1,
                 ShotSize(weapon), weapon ? weapon->mapPictures.get() : nullptr, 0, filter, id, 1,
                 1),
      weapon(weapon),
      hardpoint(hardpoint),
      hitRoll(hitRoll),
      aimMode(aimMode) {
    if (owner) ownerId = owner->id;
    if (target) targetId = target->id;
    const int shotLayer = collision.layer;
    const int last = shotLayer < kTopLayer ? shotLayer : kTopLayer;
    for (int l = 0; l <= last; ++l) {
        collision.layer = l;
        enemyMask |= collision.EnemyMaskFor(0);
    }
    collision.layer = shotLayer;
}

Weapon::~Weapon() = default;

int Weapon::GetFirePower() {
    return weapon ? weapon->GetFirePower() : 0;
}

GameObject* Weapon::Owner() {
    return TheObjectWorld().FindObject(ownerId);
}

GameObject* Weapon::GetTarget() {
    if (targetId.IsNull()) return nullptr;
    return TheObjectWorld().FindObject(targetId);
}

void Weapon::PlayFiringSound() {
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    if (!effect || !effect->sound) return;
    const int r = GetRadius();
    const Point centre = GetCentre();
    const Rect seen(centre - Point(r, r), Size(2 * r, 2 * r));
    ObjectWorld& world = TheObjectWorld();
    if (world.IsRectVisible(seen)) world.PlaySound(effect->sound.get());
}

Point Weapon::GetAimPoint() {
    GameObject* target = TheObjectWorld().FindObject(targetId);
    if (hitRoll == 1 && target) return target->GetCentre();
    if (aimMode != 1) return position;
    GameObject* owner = Owner();
    if (!owner) return position;
    SpriteAttachment* part = owner->GetArmedPart(hardpoint);
    const int facing = part ? part->facing : 0;
    const Vector reach((facing - 8) * kFacingAngle,
                       static_cast<double>(weapon ? weapon->GetRange() : 0));
    Point p = position + Point(static_cast<int>(std::floor(reach.x + 0.5)),
                               static_cast<int>(std::floor(reach.y + 0.5)));
    int left, top, right, bottom;
    if (MapInterior(kEdgeMargin, left, top, right, bottom)) {
        if (p.x < left)
            p.x = left;
        else if (p.x > right)
            p.x = right;
        if (p.y < top)
            p.y = top;
        else if (p.y > bottom)
            p.y = bottom;
    }
    return p;
}

void Weapon::Fire(GameObject* target) {
    ObjectWorld& world = TheObjectWorld();
    if (target) {
        // A mirror shows the shot only: damage reaches mirrors through the damage commands.
        if (local == 1) {
            target->TakeDamage(weapon, collision.firstId,
                               weapon ? weapon->GetExplosionTemplate() : nullptr, 0);
        }
    } else {
        const Point p = GetAimPoint();
        world.AddEffect(
            std::make_unique<ExplosionEffect>(weapon ? weapon->GetExplosionTemplate() : nullptr, p,
                                              world.NewSimId(0), Point(), SimId(), 0));
        world.AddCellEffect(p);
    }
    Destroy();
}

void Weapon::FireAtEndOfEffect() {
    if (hitRoll == 0) {
        Fire(nullptr);
        return;
    }
    GameObject* target = GetTarget();
    if (target && local == 1) {
        Fire(target);
        return;
    }
    Destroy();
}

Point Weapon::Muzzle(GameObject* owner) {
    return owner->GetDrawOrigin() + owner->GetHardpointPosition(hardpoint);
}

int Weapon::GatherSteps(int32_t& time) {
    const int delay = GetMoveDelay() > 0 ? GetMoveDelay() : 1;
    if (time <= 2 * delay) return 0;
    const int steps = time / delay;
    time -= steps * delay;
    return steps;
}

Point Weapon::NextPoint(const Point& goal, const Point& launch, int steps, Vector& step) {
    // The length of the vector (1, 1): one step of travel.
    constexpr double kStepLength = 1.41421;
    step = Vector(hitRoll == 1 ? goal - position : goal - launch);
    const double length = steps * kStepLength;
    if (length < step.magnitude) step.SetMagnitude(length);
    return position + Point(static_cast<int>(std::floor(step.x + 0.5)),
                            static_cast<int>(std::floor(step.y + 0.5)));
}

int Weapon::OutOfReach(const Point& launch, const Point& p) {
    int left, top, right, bottom;
    if (MapInterior(kEdgeMargin, left, top, right, bottom) &&
        (p.x < left || p.x > right || p.y < top || p.y > bottom)) {
        return 1;
    }
    return BeyondRange(launch, p);
}

int Weapon::BeyondRange(const Point& launch, const Point& p) {
    return Vector(p - launch).magnitude > (weapon ? weapon->GetRange() : 0) ? 1 : 0;
}

// Which object a hit strikes in its cell. The cell's grid names one object per layer, the one
// marked last, and the others stay under it:
//
//   case                                what happens             departs from / why
//   hostile under a friend marked later the hostile one is hit  the cell's named object only;
//   (a unit pressing on its target)                              a unit blocked against its
//                                                                target lobbed shells at it for
//                                                                minutes and never hurt it
void Weapon::Strike(const Point& at) {
    GameObject* struck = nullptr;
    PathGrid* paths = TheObjectWorld().Paths();
    if (hitRoll == 1 && paths) {
        short row = 0, column = 0;
        paths->PixelToCell(at, row, column);
        if (paths->IsInside(row, column))
            struck =
                dynamic_cast<GameObject*>(paths->AnyObjectMatchingMask(row, column, enemyMask));
    }
    Fire(struck);
}
