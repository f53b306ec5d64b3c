#include "objects/ArcShot.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

namespace {

constexpr double kPi = 3.14159;
constexpr double kQuarterTurn = 1.570795;
constexpr double kRise = 30.0;

}  // namespace

ArcShot::ArcShot(GameObject* owner, GameObject*, WeaponTemplate* weapon, int hardpoint,
                 const CollisionFilter& filter, const SimId& id, int hitRoll)
    : Weapon(owner, nullptr, weapon, hardpoint, filter, id, hitRoll, 0) {
    if (owner) SetPosition(Muzzle(owner));
    ShotPictureTemplate* picture = weapon ? weapon->GetProjectileTemplate() : nullptr;
    if (picture) spriteSet = picture->pictures.get();
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    if (effect && effect->pictures) {
        flashOn = 1;
        flashSprites = effect->pictures.get();
    }
    PlayFiringSound();
}

ArcShot::~ArcShot() = default;

std::vector<Point> ArcShot::BuildArc(const Point& target) {
    const Point p = position;
    const int distance = static_cast<int>(Vector(target - p).magnitude);
    const int n = std::max(distance / kPointSpacing, 1);
    const double da = kQuarterTurn / n;
    const int dx = (target.x - p.x) / n;
    std::vector<Point> course;
    course.reserve(static_cast<size_t>(n));
    for (int i = 1; i < n; ++i) {
        const double a = i * da;
        const double x = p.x + i * dx;
        const double y =
            target.y * (2 * a / kPi) + p.y * ((kPi - 2 * a) / kPi) - kRise * (1 - std::cos(4 * a));
        course.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
    course.push_back(target);
    courseLaid = 1;
    return course;
}

void ArcShot::SetTargetPoint(const Point& target) {
    const std::vector<Point> course = BuildArc(target);
    MoveTo(course.front());
    for (const Point& p : course)
        goals.PushBack(std::make_unique<LocationGoal>(id, p, kAimTolerance, 1, 1));
}

void ArcShot::Update(int elapsedMs) {
    if (goals.IsEmpty()) {
        Strike(position);
        return;
    }
    AdvanceFlash(elapsedMs);
    stepTime += elapsedMs;
    if (stepTime < kHopMs) return;
    MoveTo(goals.Front()->GetLocation());
    PopGoal();
    stepTime = 0;
}

void ArcShot::AdvanceFlash(int elapsedMs) {
    if (flashOn != 1) return;
    flashTime += elapsedMs;
    GameObject* owner = Owner();
    SpriteAttachment* part = owner ? owner->GetArmedPart(hardpoint) : nullptr;
    Image* sequence =
        part && flashSprites->Count() > 0 ? flashSprites->SubImage(part->facing) : nullptr;
    if (!sequence) {
        flashOn = 0;
        return;
    }
    if (flashTime <= kFlashPeriodMs) return;
    flashTime = 0;
    if (++flashFrame > sequence->LastFrameIndex()) flashOn = 0;
}

void ArcShot::Draw(ScreenBase& view) {
    GameObject* owner = flashOn == 1 ? Owner() : nullptr;
    SpriteAttachment* part = owner ? owner->GetArmedPart(hardpoint) : nullptr;
    Image* sequence =
        part && flashSprites->Count() > 0 ? flashSprites->SubImage(part->facing) : nullptr;
    if (sequence) {
        const Point at =
            view.SnapToZoom(owner->GetDrawOrigin(), owner->GetHardpointPosition(hardpoint));
        sequence->DrawFrame(view.MapToScreen(at), flashFrame);
    }
    if (courseLaid != 1) return;
    SetFrame(0);
    GameObject::Draw(view);
}
