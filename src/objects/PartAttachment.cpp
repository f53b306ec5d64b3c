#include "objects/PartAttachment.h"

#include <cmath>

#include "catalogue/WeaponTemplate.h"
#include "core/Vector.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"

namespace {

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

}  // namespace

PartAttachment::PartAttachment(WeaponTemplate* weapon, int hardpoint)
    : SpriteAttachment(weapon, hardpoint), weapon(weapon) {
    if (weapon) reload.SetMax(weapon->GetReloadTime());
}

PartAttachment::~PartAttachment() = default;

void PartAttachment::SetTemplate(WeaponTemplate* t) {
    weapon = t;
    reload.SetMax(t ? t->GetReloadTime() : 0);
}

Point PartAttachment::GetMuzzleOffset() {
    if (!weapon || facing < 0 || facing > 15) return Point();
    return weapon->muzzleOffsets[static_cast<size_t>(facing)];
}

// Without a target, or while inactive, the turret comes back to the hull's heading.
void PartAttachment::Step(Sim& owner) {
    if (selected != 0) return;
    GameObject* targetObject = TheObjectWorld().FindObject(target);
    Vector wanted;
    if (targetObject && active == 1) {
        const Point mount = owner.GetPosition() + owner.GetMountOffset(hardpoint);
        wanted = Vector(targetObject->GetCentre() - mount);
    } else {
        wanted = Vector((owner.facing - 8) * 0.39269875, 1.0);
    }
    facing = GameObject::TurnToward(facing, wanted, kTurnStep);
}

int PartAttachment::InRange(const Point& from, GameObject* targetObject) {
    if (active == 0 || !targetObject || !weapon) return 0;
    const Point centre = targetObject->GetCentre();
    const Vector toward(centre - from);
    const int d = RoundHalfUp(toward.magnitude);
    const int reach = weapon->GetRange() - kReachMargin;
    if (reach >= d) return 1;
    // A large target is in reach when the weapon reaches its footprint's edge.
    const Vector cut(toward.angle, static_cast<double>(reach));
    const Point p = from + Point(RoundHalfUp(cut.x), RoundHalfUp(cut.y));
    const Rect foot = targetObject->GetFootprint();
    const Point br = foot.BottomRight();
    return p.x >= foot.origin.x && p.y >= foot.origin.y && p.x <= br.x && p.y <= br.y ? 1 : 0;
}

void PartAttachment::Update(int elapsedMs, Sim& owner) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* targetObject = world.FindObject(target);
    elapsed += elapsedMs;
    if (acknowledgements >= world.PlayerCount() - 1) fireAgreed = 1;
    if (!targetObject) {
        engaged = 0;
    } else if (targetObject->IsDestroyed() || owner.CanSee(targetObject) == 0) {
        target = SimId();
        engaged = 0;
        targetObject = nullptr;
    }
    if (!reload.IsPositive() && targetObject) {
        if (active == 1 && fireAgreed == 1 &&
            (targetObject->GetTeam() != owner.GetTeam() || targetObject->GetKind() == 3) &&
            InRange(owner.GetPosition(), targetObject) == 1 && weapon &&
            targetObject->GetCollision()->layer <= weapon->shotLayerField) {
            if (Fire(targetObject, owner) == 1) world.NoteLocalPosition(&owner);
        }
        return;
    }
    reload.Subtract(elapsed);
    elapsed = 0;
}

int PartAttachment::Fire(GameObject* targetObject, Sim& owner) {
    const Point mount = owner.GetPosition() + owner.GetMountOffset(hardpoint);
    const Vector toward(targetObject->GetCentre() - mount);
    if (GameObject::FacingFromAngle(toward.angle) != facing) return 0;
    ObjectWorld& world = TheObjectWorld();
    const int hitRoll = owner.RollHit();
    const SimId shotId = world.NewSimId(owner.GetTeam());
    std::unique_ptr<GameObject> shot(
        weapon->CreateShot(&owner, targetObject, hardpoint, shotId, hitRoll));
    elapsed = 0;
    reload.SetMax(weapon->GetReloadTime());
    reload.Reset();
    // A weapon record that makes no shot fires blanks: the mount reloads, and nothing is shown
    // or announced.
    if (!shot) return 0;
    owner.stealth.Reveal();
    world.Commands().SendFiringTimer(&owner);
    world.Commands().SendFireWeapon(weapon->clan, weapon->role, targetObject, &owner, shot.get(),
                                    hardpoint, hitRoll);
    world.AddWeapon(std::move(shot));
    if (world.HasPeer() == 1) {
        fireAgreed = 0;
        acknowledgements = 0;
    }
    owner.MarkTargetGoal(targetObject->id);
    return 1;
}
