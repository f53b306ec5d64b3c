#include "objects/DestructibleObject.h"

#include "catalogue/EffectTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "objects/CommandBuffer.h"
#include "objects/ExplosionEffect.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

const CollisionFilter kFieldFilter(0, 0, 0, 0, 0);

Size FirstFrameSize(SpriteSet* sprites) {
    return sprites ? sprites->FrameSizeOf(0) : Size();
}

}  // namespace

DestructibleObject::DestructibleObject(const Point& position, SpriteSet* sprites, const SimId& id)
    : GameObject(position, 0, FirstFrameSize(sprites), sprites, 0, kFieldFilter, id, 1, 1) {}

DestructibleObject::~DestructibleObject() = default;

void DestructibleObject::Update(int elapsedMs) {
    GameObject::Update(elapsedMs);
    animClock += elapsedMs;
    if (animClock <= kAnimMs) return;
    animClock = 0;
    const int last = spriteSet ? spriteSet->LastFrameIndex() : 0;
    if (animRising == 1 && animFrame < last) {
        ++animFrame;
    } else if (animRising == 0 && animFrame > 0) {
        --animFrame;
    }
}

void DestructibleObject::Draw(ScreenBase& view) {
    if (spriteSet) {
        if (GetCargo() < 1) animFrame = kEmptyFrame;
        spriteSet->DrawFrameShadeFilled(view.MapToScreen(position), animFrame, teamRecord.third);
    }
    DrawAttachedEffect(view);
}

void DestructibleObject::TakeDamage(WeaponTemplate* weapon, const SimId& /*attacker*/,
                                    EffectTemplate* explosion, int amount) {
    // Fields stay listed when used up: an empty field answers no more hits, ever.
    if (IsDestroyed() == 1) return;
    const int hit = weapon ? weapon->GetFirePower() : amount;
    TakeCargo(hit);
    TheObjectWorld().Commands().SendDamage(this, GetCargo(), hit, explosion ? explosion->role : '-',
                                           explosion ? explosion->clan : '-', '-');
    if (GetCargo() < 1) Destroy();
    ShowExplosion(*this, explosion);
}

void DestructibleObject::ApplyDamageState(int32_t a, int32_t /*b*/, char p, char q, char /*r*/) {
    if (IsDestroyed() == 1) return;
    cargo = a;
    ShowExplosion(*this, FindMTemplate(q, p));
}

void DestructibleObject::ChangeTeam(const ValueTriple& record, int /*flag*/) {
    teamRecord.second = record.second;
    teamRecord.third = record.third;
}
