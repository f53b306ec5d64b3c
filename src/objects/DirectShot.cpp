#include "objects/DirectShot.h"

#include <cmath>

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "map/PathGrid.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectWorld.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

namespace {

// The length of the vector (1, 1): one step of travel.
constexpr double kStepLength = 1.41421;

Point Rounded(const Vector& v) {
    return Point(static_cast<int>(std::floor(v.x + 0.5)), static_cast<int>(std::floor(v.y + 0.5)));
}

}  // namespace

DirectShot::DirectShot(GameObject* owner, GameObject*, WeaponTemplate* weapon, int hardpoint,
                       const CollisionFilter& filter, const SimId& id, int hitRoll)
    : Weapon(owner, nullptr, weapon, hardpoint, filter, id, hitRoll, 0) {
    if (owner) startPoint = owner->GetDrawOrigin() + owner->GetHardpointPosition(hardpoint);
    SetPosition(startPoint);
    ShotPictureTemplate* picture = weapon ? weapon->GetProjectileTemplate() : nullptr;
    if (picture) spriteSet = picture->pictures.get();
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    if (effect && effect->pictures) {
        flashOn = 1;
        flashSprites = effect->pictures.get();
    }
    PlayFiringSound();
}

DirectShot::~DirectShot() = default;

void DirectShot::SetAimGoal(const Point& p) {
    aimGoal = std::make_unique<LocationGoal>(id, p, kAimTolerance, 1, 1);
}

int DirectShot::IsOutOfReach(const Point& p) {
    int left, top, right, bottom;
    if (MapInterior(kEdgeMargin, left, top, right, bottom) &&
        (p.x < left || p.x > right || p.y < top || p.y > bottom)) {
        return 1;
    }
    return Vector(p - startPoint).magnitude > (weapon ? weapon->GetRange() : 0) ? 1 : 0;
}

Image* DirectShot::FlashSequence(int facing) {
    return flashSprites && flashSprites->Count() > 0 ? flashSprites->SubImage(facing) : nullptr;
}

void DirectShot::StepFlash(int elapsedMs) {
    flashTime += elapsedMs;
    GameObject* owner = Owner();
    SpriteAttachment* part = owner ? owner->GetArmedPart(hardpoint) : nullptr;
    // A part that a refit removed has no muzzle to flash at.
    Image* sequence = part ? FlashSequence(part->facing) : nullptr;
    if (!sequence) {
        flashOn = 0;
        return;
    }
    if (flashTime > kFlashPeriodMs) {
        ++flashFrame;
        flashTime = 0;
        if (flashFrame > sequence->LastFrameIndex()) flashOn = 0;
    }
}

void DirectShot::Update(int elapsedMs) {
    if (!aimGoal) return;
    travelTime += elapsedMs;
    if (flashOn == 1) StepFlash(elapsedMs);
    const int delay = GetMoveDelay() > 0 ? GetMoveDelay() : 1;
    // Steps wait until two move delays have gathered and are then taken all at once, so a slow
    // frame rate does not slow the shot down.
    if (travelTime <= 2 * delay) return;
    const int steps = travelTime / delay;
    travelTime -= steps * delay;
    const double stepLength = steps * kStepLength;
    const Point goal = aimGoal->GetAimPoint();
    // A hit homes on the goal; a miss keeps the line from the muzzle through it.
    Vector v(hitRoll == 1 ? goal - position : goal - startPoint);
    if (stepLength < v.magnitude) v.SetMagnitude(stepLength);
    const Point next = position + Rounded(v);
    if (IsOutOfReach(next) == 0 && next != goal) {
        MoveTo(next);
        return;
    }
    Strike(next);
}

void DirectShot::Strike(const Point& at) {
    GameObject* struck = nullptr;
    PathGrid* paths = TheObjectWorld().Paths();
    if (hitRoll == 1 && paths) {
        short row = 0, column = 0;
        paths->PixelToCell(at, row, column);
        if (paths->IsInside(row, column))
            struck = dynamic_cast<GameObject*>(paths->ObjectMatchingMask(row, column, enemyMask));
    }
    Fire(struck);
}

void DirectShot::Draw(ScreenBase& view) {
    GameObject* owner = flashOn == 1 ? Owner() : nullptr;
    SpriteAttachment* part = owner ? owner->GetArmedPart(hardpoint) : nullptr;
    Image* sequence = part ? FlashSequence(part->facing) : nullptr;
    if (sequence) {
        const Point at = view.SnapToZoom(owner->GetDrawOrigin(), owner->GetMountOffset(hardpoint));
        sequence->DrawFrame(view.MapToScreen(at), flashFrame);
    }
    SetFrame(0);
    GameObject::Draw(view);
}
