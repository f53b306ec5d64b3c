// Hits and destruction: the damage of a hit by direction and defence, the explosion it shows,
// the credit for the attacker, the events for the team's controller, and the mirrors' road
// (the damage state applied, the hit reported to the owner).
#include <cmath>
#include <cstdint>
#include <limits>

#include "catalogue/EffectTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Vector.h"
#include "objects/CommandBuffer.h"
#include "objects/DefencePart.h"
#include "objects/ExplosionEffect.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"

namespace {

constexpr int kFactoryKind = 4;
constexpr int kExplosionMode = 1;
constexpr double kHitRadius = 20.0;
constexpr double kShieldRadius = 60.0;

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

// A missing template travels as '-'.
char LetterOf(const Template* t) {
    return t ? t->role : '-';
}

char ClanOf(const Template* t) {
    return t ? t->clan : '-';
}

// An active shield of the weapon's kind quarters its hit.
bool Stops(DefencePart* shield, const WeaponTemplate& weapon) {
    return shield && shield->active == 1 && shield->Letter() == weapon.GetKindLetter();
}

}  // namespace

int Sim::ComputeDamage(WeaponTemplate* weapon, GameObject* attacker) {
    if (!weapon) return 0;
    if (weapon->freezeFlag == 1) partsFrozenTime = kFreezeMs;
    for (int i = 0; i < partCount; ++i) {
        if (DefencePart* shield = GetDefencePart(i); Stops(shield, *weapon)) shield->Trigger(id);
    }
    return HitBy(*weapon, attacker);
}

int Sim::HitBy(const WeaponTemplate& weapon, GameObject* attacker) {
    const int v = weapon.GetFirePower();
    const int quarter = v >> 2;
    const int eighth = v >> 3;
    int result = v - quarter;
    if (attacker) {
        const Vector toward(attacker->GetCentre() - GetCentre());
        int d = std::abs(FacingFromAngle(toward.angle) - facing);
        if (d > 8) d = 16 - d;
        if (d < 2)
            result = v - quarter;
        else if (d <= 6)
            result = v - eighth;
        else
            result = v;
    }
    for (int i = 0; i < partCount; ++i) {
        if (Stops(GetDefencePart(i), weapon)) result >>= 2;
    }
    return result;
}

Point Sim::HitOffset(WeaponTemplate* weapon, GameObject* attacker) {
    if (!attacker) return Point();
    double length = kHitRadius;
    for (int i = 0; weapon && i < partCount; ++i) {
        if (Stops(GetDefencePart(i), *weapon)) length = kShieldRadius;
    }
    const Vector toward(attacker->GetCentre() - GetCentre());
    const Vector cut(toward.angle, length);
    return Point(RoundHalfUp(cut.x), RoundHalfUp(cut.y));
}

void Sim::TakeDamage(WeaponTemplate* weapon, const SimId& attacker, EffectTemplate* explosion,
                     int amount) {
    if (IsDestroyed() == 1) return;
    ObjectWorld& world = TheObjectWorld();
    if (local != 1) {
        world.Commands().SendDamageReport(id, LetterOf(weapon), LetterOf(explosion), ClanOf(weapon),
                                          attacker);
        return;
    }
    GameObject* a = world.FindObject(attacker);
    int hurt = 0;
    Point offset;
    if (!weapon) {
        // Amount 0 is a kill: one past the maximum, saturated at the largest value.
        const int32_t most = std::numeric_limits<int32_t>::max();
        hurt = amount != 0 ? amount : (damage.Max() < most ? damage.Max() + 1 : most);
    } else {
        hurt = ComputeDamage(weapon, a);
        offset = HitOffset(weapon, a);
        SendEvent(8, weapon);
    }
    if (invulnerable == 0) damage.Add(hurt);
    // At the largest maximum no amount passes it; a kill still kills.
    if (invulnerable == 0 && !weapon && amount == 0 && IsDestroyed() == 0) GameObject::Destroy();
    if (IsDestroyed() == 1) {
        Destroy();
        // Only a shooter that still exists earns the kill.
        if (a) a->GainSkill(1);
        if (GetKind() != kFactoryKind) SendEvent(2, nullptr);
    } else if (a) {
        a->GainSkill(0);
        SimId who = attacker;
        SendEvent(7, &who);
    }
    world.Commands().SendDamage(this, damage.Value(), hurt, LetterOf(explosion), ClanOf(weapon),
                                LetterOf(weapon));
    Explode(hurt, explosion, offset);
    if (IsDestroyed() == 0 && a && a->GetTeam() != GetTeam()) {
        if (attacker != lastAttacker) {
            Point where = a->GetPosition();
            SendEvent(0, &where);
        }
        if (ignoreAttackers != 1) lastAttacker = attacker;
    }
}

void Sim::Explode(int amount, EffectTemplate* explosion, const Point& offset) {
    ObjectWorld& world = TheObjectWorld();
    if (IsDestroyed() == 1) {
        if (deathEffect)
            world.AddEffect(std::make_unique<ExplosionEffect>(
                deathEffect, GetCentre(), world.NewSimId(0), offset, SimId(), kExplosionMode));
    } else if (amount > 0 || explosion) {
        if (explosion)
            AttachEffect(std::make_unique<ExplosionEffect>(
                explosion, GetCentre(), world.NewSimId(0), offset, id, kExplosionMode));
    }
    world.NoteLocalPosition(this);
}

void Sim::ApplyDamageState(int32_t value, int32_t amount, char explosionLetter, char clanLetter,
                           char weaponLetter) {
    if (IsDestroyed() == 1) return;
    damage.SetValue(value);
    if (IsDestroyed() == 1) Destroy();
    Explode(amount, FindMTemplate(clanLetter, explosionLetter), Point());
    WeaponTemplate* weapon = FindWeaponTemplate(clanLetter, weaponLetter);
    if (!weapon) return;
    for (int i = 0; i < partCount; ++i) {
        DefencePart* shield = GetDefencePart(i);
        if (shield && shield->active == 1 && shield->Letter() == weapon->GetKindLetter())
            shield->Trigger(id);
    }
}

// A report whose weapon the catalogue does not know would read as a kill: it is ignored.
void Sim::ApplyHit(char weaponLetter, char explosionLetter, char clanLetter,
                   const SimId& attacker) {
    WeaponTemplate* weapon = FindWeaponTemplate(clanLetter, weaponLetter);
    if (!weapon) return;
    TakeDamage(weapon, attacker, FindMTemplate(clanLetter, explosionLetter), 0);
}

GameObject* Sim::GetLastAttacker() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* attacker = world.FindObject(lastAttacker);
    if (attacker && world.AreAllied(GetTeam(), attacker->GetTeam()) == 0 && TeamSees(attacker) == 1)
        return attacker;
    lastAttacker = SimId();
    return nullptr;
}

void Sim::SetLastAttacker(GameObject* attacker) {
    if (!attacker) {
        lastAttacker = SimId();
        return;
    }
    lastAttacker = attacker->id;
    if (TheObjectWorld().ControllerOf(GetTeam())) targetPinned = 1;
}
