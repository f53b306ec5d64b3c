#include "objects/BeamWeapon.h"

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/WeaponTemplate.h"
#include "core/DisplayBase.h"
#include "core/SpriteSet.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

namespace {

Image* FlashOf(WeaponTemplate* weapon, int facing) {
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    SpriteSet* flash = effect ? effect->pictures.get() : nullptr;
    return flash ? flash->SubImage(facing) : nullptr;
}

}  // namespace

BeamWeapon::BeamWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
                       const CollisionFilter& filter, const SimId& id, int hitRoll)
    : Weapon(owner, target, weapon, hardpoint, filter, id, hitRoll, 1) {
    SpriteAttachment* part = owner ? owner->GetArmedPart(hardpoint) : nullptr;
    if (part) partFacing = part->facing;
    PlayFiringSound();
}

void BeamWeapon::Update(int elapsedMs) {
    flashTime += elapsedMs;
    Image* flash = FlashOf(weapon, partFacing);
    if (flash && flashTime > kFlashPeriodMs) {
        flashTime = 0;
        ++flashFrame;
        // Once played through, the flash alternates between its last two frames.
        if (flashFrame > flash->LastFrameIndex()) {
            flashFrame -= 2;
            flash->SelectFrame(flashFrame);
        }
    }
    if (countdown > 0)
        countdown -= elapsedMs;
    else
        FireAtEndOfEffect();
}

void BeamWeapon::Draw(ScreenBase& view) {
    GameObject* owner = Owner();
    if (!owner || countdown <= 0) return;
    DirectionalEffectTemplate* effect = weapon ? weapon->GetFireEffect() : nullptr;
    Point p = view.SnapToZoom(owner->GetDrawOrigin(), owner->GetMountOffset(hardpoint));
    if (effect) p = p + effect->offsets[static_cast<size_t>(partFacing & 15)];
    if (flashFrame > kLineFromFrame && display)
        display->DrawLine(kColour, 1, view.MapToScreen(p), view.MapToScreen(GetAimPoint()));
    if (Image* flash = FlashOf(weapon, partFacing))
        flash->DrawFrame(view.MapToScreen(p), flashFrame);
}
