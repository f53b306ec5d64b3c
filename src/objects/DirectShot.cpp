#include "objects/DirectShot.h"

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectWorld.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

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

// Where a direct shot's flight ends short of its aim:
//
//   case                          what happens             departs from / why
//   a hit (hit roll 1)            only its range ends it;  the 48-pixel border as well: a hit
//                                 it lands on its target   fired from within it burst at the
//                                                          muzzle, and a unit at the map's edge
//                                                          shot at a wreck beside it for
//                                                          eighteen minutes, never touching it
//   a miss                        the border or its range  (the given rule)
//
// A direct hit flies straight to its target, which stands on the map. Rockets and missiles keep
// the border.
int DirectShot::IsOutOfReach(const Point& p) {
    if (hitRoll == 1) return BeyondRange(startPoint, p);
    return OutOfReach(startPoint, p);
}

Image* DirectShot::FlashSequence(int facing) {
    return flashSprites ? flashSprites->SubImage(facing) : nullptr;
}

void DirectShot::AdvanceFlash(int elapsedMs) {
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
    if (flashOn == 1) AdvanceFlash(elapsedMs);
    const int steps = GatherSteps(travelTime);
    if (steps == 0) return;
    const Point goal = aimGoal->GetAimPoint();
    Vector step;
    const Point next = NextPoint(goal, startPoint, steps, step);
    if (IsOutOfReach(next) == 0 && next != goal) {
        MoveTo(next);
        return;
    }
    Strike(next);
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
