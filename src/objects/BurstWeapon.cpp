#include "objects/BurstWeapon.h"

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

BurstWeapon::BurstWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon,
                         int hardpoint, const CollisionFilter& filter, const SimId& id, int hitRoll)
    : Weapon(owner, target, weapon, hardpoint, filter, id, hitRoll, 1) {
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    spriteSet = effect ? effect->pictures.get() : nullptr;
    frameTimer.Start();
    PlayFiringSound();
}

BurstWeapon::~BurstWeapon() {
    frameTimer.Stop();
}

void BurstWeapon::Update(int) {
    if (frameTimer.Expired()) {
        ++frame;
        frameTimer.Start();
    }
    // Without a firing effect there are no pictures to play: the burst strikes on its first
    // frame step instead of reading a missing sequence.
    Image* first = spriteSet ? spriteSet->SubImage(0) : nullptr;
    const int32_t last = first ? first->LastFrameIndex() : 0;
    if (frame <= last) return;
    GameObject* target = hitRoll == 1 && local == 1 ? GetTarget() : nullptr;
    Fire(target);
    frame = last;
}

void BurstWeapon::Draw(ScreenBase& view) {
    GameObject* owner = Owner();
    if (IsDestroyed() || !spriteSet || spriteSet->Count() < 1 || !owner) return;
    SpriteAttachment* part = owner->GetArmedPart(hardpoint);
    Image* sequence = spriteSet->SubImage(part ? part->facing : 0);
    if (!sequence) return;
    const Point at = view.SnapToZoom(owner->GetDrawOrigin(), owner->GetMountOffset(hardpoint));
    sequence->DrawFrame(view.MapToScreen(at), frame);
}
