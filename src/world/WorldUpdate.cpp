// The per-tick update of every map object and the death pass: losses are counted, a dead local
// unit leaves a wreck worth three quarters of its design, a dead factory eliminates its team
// and breaks into wreck pieces, and the dead are deleted. Objects are deleted nowhere else.
#include <algorithm>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/SpriteSet.h"
#include "core/WindowProc.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/Wreck.h"
#include "world/GameRecords.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

constexpr int kAirWreckDrop = RecentDead::kAirWreckDrop;
constexpr double kWreckFactor = RecentDead::kWreckShare;

GameObject* ObjectOf(ListNode* node) {
    return static_cast<ObjectNode*>(node)->Object();
}

// Update or delete: a destroyed object goes at once. The World's id index forgets it when the
// list is one that is searched by id (world given).
void UpdateOrDelete(NodeList& list, int elapsedMs, World* world = nullptr) {
    ListNode* next = nullptr;
    for (ListNode* n = list.First(); n; n = next) {
        next = list.Next(n);
        GameObject* o = ObjectOf(n);
        if (o->IsDestroyed()) {
            const SimId id = o->id;
            delete n;
            if (world) world->ReindexObject(id);
        } else {
            o->Update(elapsedMs);
        }
    }
}

// Update or collect: a destroyed object waits in the dead list for the death pass, where no
// lookup finds it any more. team is the team of a Sim list, else -1. Without update (a paused
// battle) the living stand still.
void UpdateOrCollect(World& world, NodeList& list, NodeList& dead, int elapsedMs, int team,
                     bool update = true) {
    ListNode* next = nullptr;
    for (ListNode* n = list.First(); n; n = next) {
        next = list.Next(n);
        GameObject* o = ObjectOf(n);
        if (o->IsDestroyed()) {
            dead.PushBack(n);
            world.ReindexObject(o->id);
            world.NoteTeamSimsChanged(team);
            const int owner = o->GetTeam();
            if (o->GetKind() == ObjectKind::kFactory && owner >= 0 && owner < World::kTeams)
                world.factoryFalling[owner] = 1;
        } else if (update) {
            o->Update(elapsedMs);
        }
    }
}

void UpdateAll(NodeList& list, int elapsedMs) {
    for (ListNode* n = list.First(); n; n = list.Next(n))
        ObjectOf(n)->Update(elapsedMs);
}

bool IsTeam(int team) {
    return team >= 0 && team < World::kTeams;
}

// The sprite set a building's wreck pieces come from.
SpriteSet* PiecePictures(BuildingTemplate* building) {
    if (building->pictureGrid) return building->pictureGrid.get();
    return building->buildingPictures.get();
}

// What a dead local unit leaves, noted before the unit is deleted.
struct PendingWreck {
    WreckTemplate* picture = nullptr;
    WreckDescription description;
    int value = 0;
    int colour = 0;
    int team = 0;
};

}  // namespace

std::unique_ptr<GameObject> MakeWreck(const WreckDescription& description) {
    const CollisionFilter ground(2, 0, 0, 0, 0);
    return std::make_unique<Wreck>(description.position, 0, description.size,
                                   dynamic_cast<SpriteSet*>(description.picture), 0, ground,
                                   description.id, 0, description.clan, description.chassis);
}

void World::UpdateObjects(int elapsedMs) {
    ++tickCount;
    recentDead.Elapse(elapsedMs);
    NodeList dead;
    for (int team = 0; team < kTeams; ++team) {
        UpdateOrDelete(effects[team], elapsedMs);
        UpdateOrDelete(weapons[team], elapsedMs);
        PumpMouseMove();
        UpdateOrCollect(*this, sims[team], dead, elapsedMs, team);
        PumpMouseMove();
        UpdateOrCollect(*this, buildings[team], dead, elapsedMs, -1);
    }
    UpdateOrCollect(*this, wrecks, dead, elapsedMs, -1);
    UpdateAll(oreDeposits, elapsedMs);
    UpdateOrDelete(takenArtifacts, elapsedMs);
    UpdateAll(destructibles, elapsedMs);
    UpdateOrDelete(groups, elapsedMs, this);
    ListNode* next = nullptr;
    for (ListNode* n = landFeatures.First(); n; n = next) {
        next = landFeatures.Next(n);
        GameObject* feature = ObjectOf(n);
        if (!feature->IsDestroyed()) {
            feature->Update(elapsedMs);
            continue;
        }
        if (pathGrid) pathGrid->RemoveFootprint(feature, feature->GetPosition(), 0);
        const SimId id = feature->id;
        delete n;
        ReindexObject(id);
    }
    PumpMouseMove();
    BuryTheDead(dead);
}

// A paused battle updates nothing, yet a peer's word (its unit's or factory's fatal damage, a
// taker's take-over) still destroys copies here. A checksum at the pause counts a destroyed
// object as gone, so its loss, its team's elimination and its wreck must be in as well, on
// every machine alike, whether the word arrived before this machine paused or after.
void World::CollectTheDead() {
    NodeList dead;
    for (int team = 0; team < kTeams; ++team) {
        UpdateOrCollect(*this, sims[team], dead, 0, team, false);
        UpdateOrCollect(*this, buildings[team], dead, 0, -1, false);
    }
    UpdateOrCollect(*this, wrecks, dead, 0, -1, false);
    BuryTheDead(dead);
}

void World::BuryTheDead(NodeList& dead) {
    ListNode* next = nullptr;
    for (ListNode* n = dead.First(); n; n = next) {
        next = dead.Next(n);
        GameObject* o = ObjectOf(n);
        const int kind = o->GetKind();
        const int team = o->GetTeam();
        if (kind == ObjectKind::kUnit || kind == ObjectKind::kRepairUnit ||
            kind == ObjectKind::kCaptureUnit || kind == ObjectKind::kDeployed ||
            kind == ObjectKind::kFactory)
            recentDead.Note(o);
        if (kind == ObjectKind::kUnit || kind == ObjectKind::kRepairUnit ||
            kind == ObjectKind::kCaptureUnit || kind == ObjectKind::kDeployed) {
            if (gameRecords && IsTeam(team)) gameRecords->CountLoss(team);
            PendingWreck wreck;
            VehicleDesign* design = o->GetDesign();
            if (o->local == 1 && kind != ObjectKind::kCaptureUnit && design && design->chassis) {
                wreck.picture = FindTemplateForDesign(o);
                wreck.description.clan = design->clan;
                wreck.description.chassis = design->chassis->role;
                wreck.description.position = o->GetPosition();
                if (o->GetCollision()->layer == MapLayer::kAir)
                    wreck.description.position.y += kAirWreckDrop;
                wreck.value = static_cast<int>(design->SumPartField5() * kWreckFactor);
                if (wreck.description.chassis == 'h') wreck.value += o->GetCargo();
                // Each machine hands out serials from a counter of its own: in a network game
                // the wreck takes the maker's team, so that a captured unit's wreck never takes
                // an id its victim's machine issues too.
                wreck.team = networkGame == 1 ? LocalTeam() : o->id.team;
                wreck.colour = o->teamRecord.third;
            }
            delete n;
            if (wreck.picture && wreck.picture->pictures) {
                wreck.description.picture = wreck.picture->pictures.get();
                wreck.description.size = wreck.picture->pictures->SizeOf(0);
                wreck.description.id = NewSimId(wreck.team);
                std::unique_ptr<GameObject> made =
                    makeWreck ? makeWreck(wreck.description) : MakeWreck(wreck.description);
                if (made) {
                    made->teamRecord.first = 0;
                    made->teamRecord.third = wreck.colour;
                    made->GetCollision()->team = 0;
                    made->SetCargoCapacity(wreck.value);
                    made->AddCargo(wreck.value);
                    commands->SendCreateWreck(made.get(), wreck.description.clan,
                                              wreck.description.chassis);
                    AddWreck(std::move(made));
                }
            }
        } else if (kind == ObjectKind::kFactory) {
            VehicleDesign* design = o->GetDesign();
            BuildingTemplate* building = design ? FindBuildingTemplate(design->clan) : nullptr;
            const Point centre = o->GetCentre();
            const int value = (design ? design->SumPartField5() : 0) + o->GetCargo();
            if (IsTeam(team)) {
                if (gameRecords) gameRecords->CountLoss(team);
                for (int u = 1; u < kTeams; ++u) {
                    if (u != team && AreAllied(u, team)) Unally(SimId(u, 0), SimId(team, 0));
                }
                if (gameRecords) gameRecords->EmptyPlayerSlot(team);
                // A beaten player answers for no other team from now on.
                factoryDied[team] = 1;
                // The authority takes the units over only when no machine plays the team any
                // more: a factory shot down while its machine plays on leaves that machine the
                // one owner of its units, or two machines would move them and each would
                // ignore the other's word.
                const int handOver = networkGame == 1 && o->local != 1 &&
                                             Authority() == LocalTeam() && PeerPlays(team) == 0
                                         ? 1
                                         : 0;
                for (ListNode* s = sims[team].First(); s; s = sims[team].Next(s)) {
                    GameObject* unit = ObjectOf(s);
                    unit->SetOwner(nullptr);
                    unit->ClearManoeuvreList();
                    unit->ClearGoals();
                    unit->teamRecord.third = 0;
                    unit->onMap = 0;
                    unit->SetMoving(0);
                    if (handOver == 1) unit->SetLocal(1);
                    // Where the team's units came to rest, from the one machine that runs
                    // them now: the others may have missed the last words of a lost machine.
                    if (networkGame == 1 && unit->local == 1) commands->SendSimSnapshot(unit);
                }
                for (ListNode* d = destructibles.First(); d; d = destructibles.Next(d)) {
                    GameObject* object = ObjectOf(d);
                    if (object->teamRecord.second == team) object->ChangeTeam(ValueTriple(0), 1);
                }
            }
            const SimId factoryId = o->id;
            const int owned = o->local == 1 ? 1 : 0;
            delete n;
            if (building) ScatterWrecks(building, centre, value, factoryId, owned);
        } else if (kind == ObjectKind::kWreck) {
            RemoveFromGrids(o, o->GetPosition(), 0);
            delete n;
        }
        // Any other kind stays in the dead list and goes with it.
    }
}

// Every machine scatters the pieces of a factory that dies, so each piece takes an id that
// every machine derives alike from the factory's (the per-machine serial counters differ) and
// its share of a value taken from the ledger every copy holds alike.
SimId World::WreckPieceId(const SimId& factoryId, int piece) {
    const uint32_t serial = static_cast<uint32_t>(factoryId.serial) & kPieceSerialMask;
    return SimId(factoryId.team, static_cast<int32_t>(kPieceSerialBase + serial * kMaxPieces +
                                                      static_cast<uint32_t>(piece)));
}

void World::ScatterWrecks(BuildingTemplate* building, const Point& centre, int value,
                          const SimId& factoryId, int owned) {
    static const Point kOffsetsV[] = {{0, 0}, {115, 0}, {125, 95}};
    static const Point kOffsetsT[] = {{0, 0}, {92, 0}, {0, 110}, {92, 129}};
    SpriteSet* pictures = building ? PiecePictures(building) : nullptr;
    if (!pictures) return;
    const bool clanV = building->clan == 'V';
    const int pieces = clanV ? 3 : 4;
    const Point* offsets = clanV ? kOffsetsV : kOffsetsT;
    const int share = value / pieces;
    for (int i = 0; i < pieces; ++i) {
        WreckDescription description;
        description.picture = pictures->SubImage(i);
        if (!description.picture) continue;
        description.size = description.picture->GetSize();
        description.position =
            centre - Point(description.size.w / 2, description.size.h / 2) + offsets[i];
        description.id = WreckPieceId(factoryId, i);
        description.clan = building->clan;
        description.chassis = 'Z';
        std::unique_ptr<GameObject> piece =
            makeWreck ? makeWreck(description) : MakeWreck(description);
        if (!piece) continue;
        piece->teamRecord.first = 0;
        piece->GetCollision()->team = 0;
        piece->SetCargoCapacity(share);
        piece->AddCargo(share);
        // The factory's owner owns its pieces: its hits and salvage go out as a unit wreck's
        // maker's do. A copy's factory may die before its owner's last ledger arrives (a
        // shooter elsewhere killed it), so the owner also tells what each piece holds.
        piece->SetLocal(owned);
        AddWreck(std::move(piece));
        GameObject* placed = FindWreckById(description.id);
        if (placed && owned == 1 && networkGame == 1 && commands) commands->SendSimSnapshot(placed);
        if (!placed || owned == 1) continue;
        for (auto early = earlyPieceValues.begin(); early != earlyPieceValues.end(); ++early) {
            if (early->first != description.id) continue;
            if (early->second > placed->cargoCapacity) placed->SetCargoCapacity(early->second);
            placed->cargo = std::clamp(early->second, 0, std::max(placed->cargoCapacity, 0));
            earlyPieceValues.erase(early);
            break;
        }
    }
}

void World::KeepEarlyPieceValue(const SimId& id, int32_t cargo) {
    const uint32_t serial = static_cast<uint32_t>(id.serial);
    if (serial < kPieceSerialBase || serial >= kPieceSerialBase + kPieceSerialBase) return;
    if (earlyPieceValues.size() >= kMaxEarlyPieceValues)
        earlyPieceValues.erase(earlyPieceValues.begin());
    earlyPieceValues.emplace_back(id, cargo);
}
