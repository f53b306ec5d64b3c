#include "objects/RocketShot.h"

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/Goal.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

RocketShot::RocketShot(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
                       const CollisionFilter& filter, const SimId& id, int hitRoll)
    : Weapon(owner, target, weapon, hardpoint, filter, id, hitRoll, 0) {
    if (owner) launchPoint = Muzzle(owner);
    SetPosition(launchPoint);
    frame = 0;
    SpriteAttachment* part = owner ? owner->GetArmedPart(hardpoint) : nullptr;
    facing = part ? part->facing : 0;
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    spriteSet = effect ? effect->pictures.get() : nullptr;
    // Without launch pictures the launch would never end: the rocket flies at once.
    if (!LaunchSequence()) BeginFlight();
    PlayFiringSound();
}

RocketShot::~RocketShot() = default;

void RocketShot::SetSteerGoal(std::unique_ptr<Goal> goal) {
    steerGoal = std::move(goal);
}

Image* RocketShot::LaunchSequence() {
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    SpriteSet* flash = effect ? effect->pictures.get() : nullptr;
    return flash ? flash->SubImage(facing) : nullptr;
}

void RocketShot::BeginFlight() {
    ShotPictureTemplate* picture = weapon ? weapon->GetProjectileTemplate() : nullptr;
    if (picture && picture->pictures) spriteSet = picture->pictures.get();
    mode = 0;
    frame = 0;
    if (GameObject* owner = Owner()) SetPosition(Muzzle(owner));
}

void RocketShot::Update(int elapsedMs) {
    time += elapsedMs;
    if (mode == 1)
        Launch();
    else
        Fly();
}

void RocketShot::Launch() {
    Image* sequence = LaunchSequence();
    if (!sequence || time <= kLaunchFrameMs) return;
    time = 0;
    if (++frame > sequence->LastFrameIndex()) BeginFlight();
}

void RocketShot::Fly() {
    if (!steerGoal) return;
    const int steps = GatherSteps(time);
    if (steps == 0) return;
    StepFrame();
    const Point goal = steerGoal->GetAimPoint();
    Vector step;
    const Point next = NextPoint(goal, launchPoint, steps, step);
    if (OutOfReach(launchPoint, next) == 0 && (next != goal || hitRoll != 1)) {
        MoveTo(next);
        return;
    }
    Strike(next);
}

void RocketShot::StepFrame() {
    const int32_t last = spriteSet ? spriteSet->LastFrameIndex() : 0;
    if (++frame > last) frame = 0;
}

void RocketShot::Draw(ScreenBase& view) {
    GameObject* owner = Owner();
    if (!owner || !spriteSet) return;
    if (mode == 1) {
        const Point at =
            view.SnapToZoom(owner->GetDrawOrigin(), owner->GetHardpointPosition(hardpoint));
        if (Image* sequence = spriteSet->SubImage(facing))
            sequence->DrawFrame(view.MapToScreen(at), frame);
        return;
    }
    if (Image* sequence = spriteSet->SubImage(frame))
        sequence->DrawFrame(view.MapToScreen(position), 0);
}
