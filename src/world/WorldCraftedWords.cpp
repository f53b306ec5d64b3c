// The words a crafted peer sends in a test run of real programs (`craft` script lines), and the
// barriers' pauses of such runs (`pause`, `resume`). Each crafted word is sent as an honest
// machine would never send it, and kept nowhere here: what the others do with it is the test.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "catalogue/EffectTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/ScriptRequests.h"
#include "core/SpriteSet.h"
#include "core/Trace.h"
#include "map/ObjectKinds.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "world/ObjectNode.h"
#include "world/ShotFlight.h"
#include "world/World.h"

namespace {

// The catalogue's weapon of the most fire power that `design` does not mount (any, without a
// design); null when there is none.
const MountTemplate* HeaviestWeaponBut(const VehicleDesign* design) {
    const MountTemplate* heaviest = nullptr;
    for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n)) {
        const auto* weapon = static_cast<const MountTemplate*>(n);
        bool mounted = false;
        if (design)
            for (const MountTemplate* m : design->hardpoints)
                mounted = mounted || m == weapon;
        if (!mounted && (!heaviest || weapon->GetFirePower() > heaviest->GetFirePower()))
            heaviest = weapon;
    }
    return heaviest;
}

// The first weapon the design mounts; null when none.
const MountTemplate* FirstWeapon(const VehicleDesign* design) {
    if (!design) return nullptr;
    for (const MountTemplate* m : design->hardpoints)
        if (m && m->GetMountKind() == MountKind::Weapon) return m;
    return nullptr;
}

bool Armed(const VehicleDesign* design) {
    return FirstWeapon(design) != nullptr;
}

int64_t DistanceSquared(const Point& a, const Point& b) {
    const int64_t dx = a.x - b.x;
    const int64_t dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// Far beyond the serials a battle hands out: attackers that were never made.
constexpr int32_t kNeverMadeSerial = 900000;
constexpr int kWrecksPerRow = 8;
constexpr int kWreckSpacing = 30;
// How far below its target's bounds a crafted factory says it stands.
constexpr int kBesideTargetPixels = 64;

// The run that reads the host's trace learns what the factory's shots may come to there: the
// weapon, its reload at the speed played (every machine's), how many of a turret's shots fly at
// once there, and the hardpoints of the factory that take it.
void TraceFactoryShots(const MountTemplate& weapon, const VehicleDesign* design) {
    char line[224];
    std::snprintf(line, sizeof line,
                  "Crafted factory shots of weapon %c%c, reloading in %d ms at the speed "
                  "played, %d in flight at once a turret, %d hardpoints of the factory taking it",
                  weapon.clan, weapon.role, std::max(1, weapon.GetReloadTime()),
                  ShotFlight::MostInFlight(&weapon, SpeedAdjustment),
                  design ? design->HardpointsTaking(&weapon) : 0);
    Trace(line);
}

}  // namespace

void World::CraftWord(const CraftRequest& request) {
    if (networkGame != 1 || !commands) return;
    const int team = LocalTeam();
    switch (request.word) {
        case CraftedWord::Hits: {
            // Hit reports on the team's factory, each naming an attacker never made.
            GameObject* target = TeamFactory(request.x);
            const MountTemplate* weapon = HeaviestWeaponBut(nullptr);
            if (!target || !weapon || request.x == team) return;
            const EffectTemplate* explosion = weapon->GetExplosionTemplate();
            for (int i = 0; i < request.y; ++i)
                commands->SendDamageReport(target->id, weapon->role,
                                           explosion ? explosion->role : '-', weapon->clan,
                                           SimId(team, kNeverMadeSerial + i));
            return;
        }
        case CraftedWord::Weapon: {
            // The own armed unit nearest to any object of the team reports hitting it with the
            // heaviest weapon it does not mount.
            GameObject* attacker = nullptr;
            GameObject* target = nullptr;
            int64_t best = INT64_MAX;
            for (ListNode* a = sims[team].First(); a; a = sims[team].Next(a)) {
                GameObject* own = static_cast<ObjectNode*>(a)->Object();
                if (!own || own->local != 1 || own->IsDestroyed() != 0 || !Armed(own->GetDesign()))
                    continue;
                for (NodeList* list : {&sims[request.x], &buildings[request.x]}) {
                    for (ListNode* t = list->First(); t; t = list->Next(t)) {
                        GameObject* other = static_cast<ObjectNode*>(t)->Object();
                        if (!other || other->IsDestroyed() != 0) continue;
                        const int64_t d = DistanceSquared(own->GetCentre(), other->GetCentre());
                        if (d < best) {
                            best = d;
                            attacker = own;
                            target = other;
                        }
                    }
                }
            }
            const MountTemplate* weapon =
                attacker ? HeaviestWeaponBut(attacker->GetDesign()) : nullptr;
            if (!weapon || request.x == team) return;
            const EffectTemplate* explosion = weapon->GetExplosionTemplate();
            commands->SendDamageReport(target->id, weapon->role, explosion ? explosion->role : '-',
                                       weapon->clan, attacker->id);
            return;
        }
        case CraftedWord::Wrecks: {
            // Wrecks beside this machine's factory, of no death.
            GameObject* factory = TeamFactory(team);
            WreckTemplate* record = nullptr;
            for (ListNode* n = WreckList.First(); n && !record; n = WreckList.Next(n))
                if (static_cast<WreckTemplate*>(n)->pictures)
                    record = static_cast<WreckTemplate*>(n);
            if (!factory || !record) return;
            for (int i = 0; i < request.x; ++i) {
                WreckDescription description;
                description.picture = record->pictures.get();
                description.size = record->pictures->SizeOf(0);
                description.clan = record->clan == 'X' ? clanLetter : record->clan;
                description.chassis = record->role;
                description.position =
                    factory->GetCentre() + Point((i % kWrecksPerRow + 2) * kWreckSpacing,
                                                 (i / kWrecksPerRow) * kWreckSpacing);
                description.id = NewSimId(team);
                std::unique_ptr<GameObject> wreck =
                    makeWreck ? makeWreck(description) : MakeWreck(description);
                if (!wreck) return;
                wreck->SetCargoCapacity(request.y);
                wreck->AddCargo(request.y);
                commands->SendCreateWreck(wreck.get(), description.clan, description.chassis);
            }
            return;
        }
        case CraftedWord::FactoryHits:
        case CraftedWord::FactoryShots: {
            // This machine's own factory, standing or dead lately, as the shooter: hit reports
            // on team x's factory, or shots at it from each hardpoint in turn that the factory
            // never fired. A standing factory names the weapon the line names, else the first
            // weapon it mounts, and tells the others it stands beside its target, within that
            // weapon's reach; a dead one, or one that mounts none, the catalogue's weapon of the
            // most fire power. The line's weapon letters ride above the team's byte of x.
            const int targetTeam = request.x & 0xFF;
            const MountTemplate* named =
                FindWeaponTemplate(static_cast<char>((request.x >> 8) & 0xFF),
                                   static_cast<char>((request.x >> 16) & 0xFF));
            GameObject* target = TeamFactory(targetTeam);
            const MountTemplate* weapon = nullptr;
            SimId shooter;
            Point at;
            const VehicleDesign* design = nullptr;
            if (GameObject* own = TeamFactory(team)) {
                design = own->GetDesign();
                shooter = own->id;
                at = own->GetCentre();
                weapon = named ? named : FirstWeapon(design);
                if (weapon && target) {
                    const Rect bounds = target->GetBounds();
                    at = bounds.origin + Point(0, bounds.extent.h + kBesideTargetPixels);
                }
            }
            for (const RecentDead::Death& death : recentDead.deaths) {
                if (shooter.IsNull() && death.kind == ObjectKind::kFactory && death.team == team) {
                    shooter = death.id;
                    at = death.centre;
                }
            }
            if (!weapon) weapon = HeaviestWeaponBut(nullptr);
            if (!target || !weapon || targetTeam == team || shooter.IsNull()) return;
            const EffectTemplate* explosion = weapon->GetExplosionTemplate();
            if (request.word == CraftedWord::FactoryShots) TraceFactoryShots(*weapon, design);
            for (int i = 0; i < request.y; ++i) {
                if (request.word == CraftedWord::FactoryHits) {
                    commands->SendDamageReport(target->id, weapon->role,
                                               explosion ? explosion->role : '-', weapon->clan,
                                               shooter);
                    continue;
                }
                // Stand-ins for the factory, which may be gone, and its shot, which is never
                // made: the command carries only their ids and places.
                WreckDescription description;
                description.position = at;
                description.id = shooter;
                std::unique_ptr<GameObject> owner = MakeWreck(description);
                description.id = NewSimId(team);
                std::unique_ptr<GameObject> shot = MakeWreck(description);
                commands->SendFireWeapon(weapon->clan, weapon->role, target, owner.get(),
                                         shot.get(), i % static_cast<int>(RecentDead::kWeapons), 1);
            }
            return;
        }
        case CraftedWord::Mark:
            craftedMarks.which = request.x;
            craftedMarks.ticksLeft = request.y;
            return;
        case CraftedWord::OneLinkPause: {
            // The pause command goes to that player's machine alone; its states and mark go on
            // every link with the next send, as an honest pause's do.
            const int slot = SlotPlaying(request.x);
            if (slot < 0 || pauseLocked == 1) return;
            SendCommands(-1);
            SetPaused(paused == 0 ? 1 : 0);
            commands->SendPause(paused);
            SendCommands(slot);
            if (paused == 1) MarkPause();
            return;
        }
        case CraftedWord::Goals: {
            // Honest words in a flood: the goals of the own units and factory (which drives to
            // its site) told again, one after another.
            std::vector<GameObject*> own;
            for (NodeList* list : {&sims[team], &buildings[team]}) {
                for (ListNode* n = list->First(); n; n = list->Next(n)) {
                    GameObject* object = static_cast<ObjectNode*>(n)->Object();
                    if (object->local == 1 && object->IsDestroyed() == 0) own.push_back(object);
                }
            }
            for (size_t i = 0; !own.empty() && i < static_cast<size_t>(request.x); ++i) {
                GameObject* unit = own[i % own.size()];
                commands->SendGoal(unit, unit->goals.Front());
            }
            return;
        }
    }
}

void World::SendCraftedMarks() {
    if (craftedMarks.ticksLeft <= 0) return;
    --craftedMarks.ticksLeft;
    if (networkGame != 1 || !commands) return;
    const int32_t number = craftedMarks.which == 0   ? pauseNumber - 1
                           : craftedMarks.which == 1 ? pauseNumber + 1
                                                     : INT32_MAX;
    commands->SendPauseMark(number);
}

void World::BarrierPause(int pause) {
    if (pause == 1) {
        if (inGame != 1 || paused != 0 || networkGame != 1 || Authority() != LocalTeam()) return;
        TogglePause();
        barrierPauseMine = paused;
        return;
    }
    if (barrierPauseMine == 1 && paused == 1 && inGame == 1) TogglePause();
    barrierPauseMine = 0;
}
