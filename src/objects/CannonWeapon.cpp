#include "objects/CannonWeapon.h"

#include <cmath>

#include "catalogue/VehicleDesign.h"
#include "core/DisplayBase.h"
#include "core/Vector.h"
#include "ui/ScreenBase.h"

namespace {

// The point a fraction of the way along v from the start.
Point Along(const Point& start, const Vector& v, double fraction) {
    Vector part(v);
    part.SetMagnitude(v.magnitude * fraction);
    return start + Point(static_cast<int>(std::floor(part.x + 0.5)),
                         static_cast<int>(std::floor(part.y + 0.5)));
}

}  // namespace

CannonWeapon::CannonWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon,
                           int hardpoint, const CollisionFilter& filter, const SimId& id,
                           int hitRoll)
    : Weapon(owner, target, weapon, hardpoint, filter, id, hitRoll, 1) {
    VehicleDesign* design = owner ? owner->GetDesign() : nullptr;
    if (design && design->clan == 'V') colour = kVarnokColour;
    PlayFiringSound();
}

void CannonWeapon::Update(int elapsedMs) {
    if (countdown < 1) {
        FireAtEndOfEffect();
        return;
    }
    countdown -= elapsedMs;
    headFraction = countdown < 100 ? 1.0 : (500 - countdown) / 400.0;
    tailFraction = countdown <= 400 ? 1.0 - countdown / 400.0 : 0.0;
}

void CannonWeapon::Draw(ScreenBase& view) {
    GameObject* owner = Owner();
    if (!owner || countdown <= 0 || targetId.IsNull() || !GetTarget() || !display) return;
    const Point muzzle = Muzzle(owner);
    const Point aim = GetAimPoint();
    const Vector v(aim - muzzle);
    const Point head = headFraction == 1.0 ? aim : Along(muzzle, v, headFraction);
    const Point tail = tailFraction == 0.0 ? muzzle : Along(muzzle, v, tailFraction);
    display->DrawLine(colour, 1, view.MapToScreen(tail), view.MapToScreen(head));
}
