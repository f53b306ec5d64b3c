#include "objects/PulseWeapon.h"

#include <cmath>

#include "catalogue/WeaponTemplate.h"
#include "core/DisplayBase.h"
#include "core/Vector.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

namespace {

constexpr double kHalfFan = 0.196;

Point Rounded(const Point& from, double angle, double length) {
    const Vector v(angle, length);
    return from +
           Point(static_cast<int>(std::floor(v.x + 0.5)), static_cast<int>(std::floor(v.y + 0.5)));
}

}  // namespace

PulseWeapon::PulseWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon,
                         int hardpoint, const CollisionFilter& filter, const SimId& id, int hitRoll)
    : Weapon(owner, target, weapon, hardpoint, filter, id, hitRoll, 1) {
    stepTimer.Start();
    PlayFiringSound();
}

PulseWeapon::~PulseWeapon() {
    stepTimer.Stop();
}

void PulseWeapon::Update(int) {
    if (stepTimer.Expired()) {
        reach += kReachStep;
        stepTimer.Start();
    }
    GameObject* owner = Owner();
    double distance = 0;
    if (owner) {
        // The pulse follows its part's target; a part that a refit removed (or replaced by one
        // that aims at nothing) leaves the pulse its own.
        SpriteAttachment* part = owner->GetArmedPart(hardpoint);
        if (part && part->Category() == 1) targetId = part->GetTarget();
        distance = Vector(GetAimPoint() - owner->GetPosition()).magnitude;
    }
    GameObject* target = GetTarget();
    if (!owner || !target) {
        Fire(nullptr);
        return;
    }
    if (reach > distance || reach > (weapon ? weapon->GetRange() : 0))
        Fire(hitRoll == 1 && local == 1 ? target : nullptr);
}

void PulseWeapon::Draw(ScreenBase& view) {
    GameObject* owner = Owner();
    if (IsDestroyed() || !spriteSet || !owner || !display) return;
    const Point muzzle = Muzzle(owner);
    const double angle = Vector(GetAimPoint() - muzzle).angle;
    const int facing = FacingFromAngle(angle);
    const bool steep =
        facing == 3 || facing == 4 || facing == 5 || facing == 11 || facing == 12 || facing == 13;
    const int spacing = steep ? 6 : 8;
    barOffset = barOffset >= 6 ? 2 : barOffset + 2;
    for (int d = barOffset; d < reach; d += spacing) {
        display->DrawLine(kColour, 1, view.MapToScreen(Rounded(muzzle, angle - kHalfFan, d)),
                          view.MapToScreen(Rounded(muzzle, angle + kHalfFan, d)));
    }
}
