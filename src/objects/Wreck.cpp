#include "objects/Wreck.h"

#include <algorithm>

#include "catalogue/EffectTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "objects/CommandBuffer.h"
#include "objects/ExplosionEffect.h"
#include "objects/ObjectWorld.h"
#include "objects/TimerNode.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kParkingDock = 8;
constexpr int kDockDistance = 64;

char RoleOf(const Template* t) {
    return t ? t->role : '-';
}
char ClanOf(const Template* t) {
    return t ? t->clan : '-';
}

}  // namespace

Wreck::Wreck(const Point& position, int moveDelay, const Size& size, SpriteSet* sprites, int frame,
             const CollisionFilter& filter, const SimId& id, int maxDamage, char clanLetter,
             char chassisLetter)
    : GameObject(position, moveDelay, size, sprites, frame, filter, id, maxDamage, 1),
      clanLetter(clanLetter),
      chassisLetter(chassisLetter) {
    sensors.viewer = 0;
    docks.DeleteAll();
    AppendDock(kParkingDock, Point(-kDockDistance, -kDockDistance));
    AppendDock(kParkingDock, Point(kDockDistance, -kDockDistance));
    AppendDock(kParkingDock, Point(kDockDistance, kDockDistance));
    AppendDock(kParkingDock, Point(-kDockDistance, kDockDistance));
    if (!lowDetail) smoke = std::make_unique<TimerNode>(position, kSmokeMs);
}

Wreck::~Wreck() = default;

int Wreck::IsDestroyed() {
    return GetCargo() < 1 ? 1 : 0;
}

void Wreck::Update(int elapsedMs) {
    // A wreck without a catalogue picture has no frames to follow its salvage.
    if (spriteSet) {
        const int last = spriteSet->LastFrameIndex();
        const int percent = GetCargoPercent();
        const int target = percent == 0 ? last : ((last + 1) * (100 - percent)) / 100;
        if (target != frame) {
            ObjectWorld& world = TheObjectWorld();
            world.RemoveFromGrids(this, position, 0);
            SetFrame(target);
            const Size picture = spriteSet->FrameSizeOf(frame);
            // Never smaller than a tile and two pixels, and never larger than it was.
            size = Size(std::min(std::max(picture.w, kMinimumSide), size.w),
                        std::min(std::max(picture.h, kMinimumSide), size.h));
            world.AddToGrids(this, position, 0);
        }
    }
    if (smoke) {
        smoke->Elapse(elapsedMs);
        if (smoke->remainingMs < 1) smoke.reset();
    }
    UpdateAttachedEffect(elapsedMs);
}

void Wreck::Draw(ScreenBase& view) {
    if (spriteSet)
        spriteSet->DrawFrameShadeFilled(view.MapToScreen(position), frame, teamRecord.third);
    if (smoke) smoke->Draw(view);
    DrawAttachedEffect(view);
}

void Wreck::DrawSensed(ScreenBase& /*view*/, const ShadeTable* /*table*/) {}

void Wreck::TakeDamage(WeaponTemplate* weapon, const SimId& attacker, EffectTemplate* explosion,
                       int amount) {
    // A used-up wreck waits for the death pass; later hits would repeat its last explosion.
    if (IsDestroyed() == 1) return;
    const int hit = weapon ? weapon->GetFirePower() : amount;
    ObjectWorld& world = TheObjectWorld();
    if (local == 1) {
        TakeCargo(hit);
        world.Commands().SendDamage(this, GetCargo(), hit, RoleOf(explosion), ClanOf(explosion),
                                    '-');
        ShowExplosion(*this, explosion);
    } else {
        world.Commands().SendDamageReport(id, RoleOf(weapon), RoleOf(explosion), ClanOf(weapon),
                                          attacker);
    }
}

void Wreck::ApplyHit(char weaponRole, char explosionRole, char clan, const SimId& attacker) {
    TakeDamage(FindWeaponTemplate(clan, weaponRole), attacker, FindMTemplate(clan, explosionRole),
               0);
}

void Wreck::ApplyDamageState(int32_t a, int32_t /*b*/, char p, char q, char /*r*/) {
    if (IsDestroyed() == 1) return;
    cargo = a;
    ShowExplosion(*this, FindMTemplate(q, p));
}
