#include "objects/MissileWeapon.h"

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/Goal.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

MissileWeapon::MissileWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon,
                             int hardpoint, const CollisionFilter& filter, const SimId& id,
                             int hitRoll)
    : Weapon(owner, target, weapon, hardpoint, filter, id, hitRoll, 0) {
    if (owner) launchPoint = Muzzle(owner);
    SetPosition(launchPoint);
    frame = 0;
    trailFrames.fill(-1);
    SpriteAttachment* part = owner ? owner->GetArmedPart(hardpoint) : nullptr;
    facing = part ? part->facing : 0;
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    if (effect) {
        spriteSet = effect->pictures.get();
    } else {
        spriteSet = nullptr;
        TakeShotPicture();
    }
    DirectionalEffectTemplate* smoke = FindETemplate('X', 's');
    trailSprites = smoke ? smoke->pictures.get() : nullptr;
    PlayFiringSound();
}

MissileWeapon::~MissileWeapon() = default;

Image* MissileWeapon::FirstSequence(SpriteSet* sprites) {
    return sprites ? sprites->SubImage(0) : nullptr;
}

void MissileWeapon::TakeShotPicture() {
    ShotPictureTemplate* picture = weapon ? weapon->GetProjectileTemplate() : nullptr;
    if (picture && picture->pictures) spriteSet = picture->pictures.get();
}

void MissileWeapon::SetSteerGoal(std::unique_ptr<Goal> goal) {
    steerGoal = std::move(goal);
    if (steerGoal) lastAim = steerGoal->GetAimPoint();
}

void MissileWeapon::Update(int elapsedMs) {
    time += elapsedMs;
    if (!steerGoal) return;
    if (mode == 1)
        FollowLauncher();
    else
        Advance();
}

void MissileWeapon::FollowLauncher() {
    GameObject* owner = Owner();
    if (owner) position = owner->GetDrawOrigin() + owner->GetMountOffset(hardpoint);
    Image* launch = FirstSequence(spriteSet);
    // Without launch pictures there is nothing to play on the rack: the missile flies at once.
    if (launch && time <= kLaunchFrameMs) return;
    time = 0;
    if (launch && ++frame <= launch->LastFrameIndex()) return;
    frame = 0;
    mode = 0;
    TakeShotPicture();
    if (owner) position = Muzzle(owner);
}

void MissileWeapon::AnimateTrail() {
    Image* picture = FirstSequence(spriteSet);
    if (++frame > (picture ? picture->LastFrameIndex() : 0)) frame = 0;
    Image* puff = FirstSequence(trailSprites);
    if (!puff) return;
    bool started = false;
    for (int i = 0; i < kTrailPuffs; ++i) {
        if (trailFrames[i] < 0) {
            if (started) continue;
            started = true;
            trailFrames[i] = 0;
            trailPoints[i] = position;
        } else if (++trailFrames[i] > puff->LastFrameIndex()) {
            trailFrames[i] = -1;
        }
    }
}

void MissileWeapon::Advance() {
    const int steps = GatherSteps(time);
    if (steps == 0) return;
    AnimateTrail();
    // A target goal answers the map corner once its target is gone; the missile keeps to the
    // last point it was steering for instead.
    GameObject* target = steerGoal->GetTarget();
    if (target || steerGoal->IsAttack() == 0) lastAim = steerGoal->GetAimPoint();
    const Point goal = lastAim;
    Vector step;
    const Point next = NextPoint(goal, launchPoint, steps, step);
    if (step.magnitude > 0) facing = FacingFromAngle(step.angle);
    if (OutOfReach(launchPoint, next) == 0 && (next != goal || hitRoll != 1)) {
        MoveTo(next);
        return;
    }
    Strike(next);
}

void MissileWeapon::Draw(ScreenBase& view) {
    if (spriteSet && spriteSet->Count() > 0) {
        if (Image* sequence = spriteSet->SubImage(facing & 15))
            sequence->DrawFrame(view.MapToScreen(position), frame);
    }
    Image* puff = FirstSequence(trailSprites);
    if (!puff) return;
    for (int i = 0; i < kTrailPuffs; ++i) {
        if (trailFrames[i] >= 0) puff->DrawFrame(view.MapToScreen(trailPoints[i]), trailFrames[i]);
    }
}
