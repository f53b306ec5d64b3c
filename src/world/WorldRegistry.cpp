// The World's object registry: which list each object goes into, lookups by id, by team and
// by nearness, and the serials of new ids.
#include <cmath>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Vector.h"
#include "map/CollisionFilter.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/Artifact.h"
#include "objects/GameObject.h"
#include "world/GameRecords.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

// Nearness searches never find anything this far or farther.
constexpr double kFarAway = 10000.0;

bool IsTeam(int team) {
    return team >= 0 && team < World::kTeams;
}

int64_t IndexKey(const SimId& id) {
    return (static_cast<int64_t>(id.team) << 32) | static_cast<uint32_t>(id.serial);
}

void Push(NodeList& list, std::unique_ptr<GameObject> object) {
    auto* node = new ObjectNode(std::move(object));
    list.PushFront(node);
}

GameObject* ObjectOf(ListNode* node) {
    return static_cast<ObjectNode*>(node)->Object();
}

// The first (newest) object of the list with that id.
GameObject* FindIn(const NodeList& list, const SimId& id) {
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        GameObject* object = ObjectOf(n);
        if (object && object->id == id) return object;
    }
    return nullptr;
}

double Distance(const Point& a, const Point& b) {
    return Vector(a - b).magnitude;
}

// The chassis letter of an object's design, 0 when it has no design or no primary part.
char PrimaryLetter(GameObject* object) {
    VehicleDesign* design = object ? object->GetDesign() : nullptr;
    return design && design->chassis ? design->chassis->role : 0;
}

}  // namespace

// The team lists take the object's team; a team outside 0 .. 4 (which only damaged input can
// give) is listed nowhere and the object is dropped.
void World::AddEffect(std::unique_ptr<GameObject> effect) {
    if (!effect || !IsTeam(effect->GetTeam())) return;
    const int team = effect->GetTeam();
    Push(effects[team], std::move(effect));
}

void World::AddWeapon(std::unique_ptr<GameObject> weapon) {
    if (!weapon || !IsTeam(weapon->GetTeam())) return;
    const int team = weapon->GetTeam();
    Push(weapons[team], std::move(weapon));
}

int World::AddSim(std::unique_ptr<GameObject>& sim) {
    if (!sim || !IsTeam(sim->GetTeam())) return 0;
    if (PlaceObject(sim.get(), sim->GetPosition(), nullptr) != 1) return 0;
    const int team = sim->GetTeam();
    if (gameRecords) {
        VehicleDesign* design = sim->GetDesign();
        gameRecords->TallyUnit(team, design ? design->SumPartField6() : 0,
                               design ? design->SumPartField5() : 0);
    }
    // The team's controller takes the Sim's events and is the directory of its squads.
    sim->SetOwner(DirectoryOf(team));
    const SimId id = sim->id;
    Push(sims[team], std::move(sim));
    ReindexObject(id);
    NoteTeamSimsChanged(team);
    return 1;
}

void World::AddBuilding(std::unique_ptr<GameObject> building) {
    if (!building || !IsTeam(building->GetTeam())) return;
    GameObject* placed = building.get();
    const int team = placed->GetTeam();
    Push(buildings[team], std::move(building));
    ReindexObject(placed->id);
    AddToGrids(placed, placed->GetPosition(), 0);
}

// Answers 0 for an object it could not place (and leaves it with the caller), so that the
// scenario code can delete it instead of losing track of it.
int World::AddDestructible(std::unique_ptr<GameObject>& object) {
    if (!object || PlaceObject(object.get(), object->GetPosition(), nullptr) != 1) return 0;
    AddToGrids(object.get(), object->GetPosition(), 0);
    const SimId id = object->id;
    Push(destructibles, std::move(object));
    ReindexObject(id);
    return 1;
}

int World::AddOreDeposit(std::unique_ptr<GameObject>& deposit) {
    if (!deposit || PlaceObject(deposit.get(), deposit->GetPosition(), nullptr) != 1) return 0;
    AddToGrids(deposit.get(), deposit->GetPosition(), 0);
    const SimId id = deposit->id;
    Push(oreDeposits, std::move(deposit));
    ReindexObject(id);
    return 1;
}

int World::AddArtifact(std::unique_ptr<GameObject>& artifact) {
    if (!artifact || !pathGrid) return 0;
    const Point p = artifact->GetPosition();
    short row = 0;
    short column = 0;
    pathGrid->PixelToCell(p, row, column);
    if (!pathGrid->IsInside(row, column)) return 0;
    if (CanPlace(artifact.get(), p, nullptr, 0, 0, 0) != 1) return 0;
    if (pathGrid->CellWord(row, column) & kCellArtifact) return 0;
    pathGrid->SetCellBits(row, column, kCellArtifact);
    artifact->SetPosition(pathGrid->CellCenter(row, column));
    const SimId id = artifact->id;
    Push(artifacts, std::move(artifact));
    ReindexObject(id);
    return 1;
}

// The artifact bit of the cell stays: the cell keeps refusing a second artifact. Who took it is
// kept for the checksum: every machine must name the same winner.
void World::RetireArtifact(GameObject* artifact) {
    for (ListNode* n = artifacts.First(); n; n = artifacts.Next(n)) {
        if (ObjectOf(n) != artifact) continue;
        n->Unlink();
        takenArtifacts.PushFront(n);
        ReindexObject(artifact->id);
        if (auto* taken = dynamic_cast<Artifact*>(artifact))
            artifactAwards.push_back({artifact->id, artifact->GetPosition(), taken->takerId});
        return;
    }
}

// A wreck takes its place as any object does; where another wreck holds it, that one takes in
// its salvage, and where a unit, a building or the terrain holds it, it is destroyed.
//
// Not so in a network game: every machine makes each wreck, so whether it stays and where must
// not depend on what each machine's copies of the moving units happen to stand on. There it
// lies where its maker put it, also over a unit, a building or another wreck (the machines make
// the wrecks of different owners in different orders, so a merge would keep a different one of
// the two on each, and the id the owner's later salvage and snapshots name would be gone on
// some). Such a wreck is listed but not on the path grid or the sight grid: the place's holder
// keeps its marks and routes go through it as before; the grids remove only what they recorded,
// so the death pass taking it off them changes nothing. Terrain refuses a wreck everywhere
// alike.
int World::AddWreck(std::unique_ptr<GameObject> wreck) {
    if (!wreck) return 0;
    GameObject* blocker = nullptr;
    const Point at = wreck->GetPosition();
    if (PlaceObject(wreck.get(), at, &blocker) != 1) {
        if (!blocker) return 0;
        if (networkGame != 1) {
            GameObject* old = FindWreckById(blocker->id);
            if (!old || old != blocker) return 0;
            const int total = wreck->GetCargo() + old->GetCargo();
            old->SetCargoCapacity(total);
            old->AddCargo(total);
            return 1;
        }
        wreck->MoveTo(at);
    }
    const SimId id = wreck->id;
    Push(wrecks, std::move(wreck));
    ReindexObject(id);
    return 1;
}

int World::AddGroup(std::unique_ptr<GameObject> group) {
    if (!group) return 0;
    const SimId id = group->id;
    Push(groups, std::move(group));
    ReindexObject(id);
    return 1;
}

int World::AddLandFeature(std::unique_ptr<GameObject> feature) {
    if (!feature) return 0;
    GameObject* placed = feature.get();
    Push(landFeatures, std::move(feature));
    ReindexObject(placed->id);
    if (pathGrid) pathGrid->AddFootprint(placed, placed->GetPosition(), 0);
    return 1;
}

// The id's own team first: most references are to units of the team that made the id.
// An id of a team outside 0 .. 4 (from a damaged file or a peer) names nothing.
GameObject* World::FindObject(const SimId& id) {
    if (id.IsNull() || !IsTeam(id.team)) return nullptr;
    const auto entry = objectIndex.find(IndexKey(id));
    if (entry == objectIndex.end()) return nullptr;
    // Ids are not meant to change while listed; should one have, the lists decide.
    if (entry->second->id != id) {
        ReindexObject(id);
        return ScanForObject(id);
    }
    return entry->second;
}

GameObject* World::ScanForObject(const SimId& id) {
    if (id.IsNull() || !IsTeam(id.team)) return nullptr;
    if (GameObject* o = FindIn(sims[id.team], id)) return o;
    for (int team = 0; team < kTeams; ++team) {
        if (team == id.team) continue;
        if (GameObject* o = FindIn(sims[team], id)) return o;
    }
    if (GameObject* o = FindIn(buildings[id.team], id)) return o;
    for (NodeList* list :
         {&wrecks, &destructibles, &oreDeposits, &groups, &artifacts, &landFeatures}) {
        if (GameObject* o = FindIn(*list, id)) return o;
    }
    return nullptr;
}

GameObject* World::FindSim(const SimId& id) {
    if (id.IsNull() || !IsTeam(id.team)) return nullptr;
    return FindIn(sims[id.team], id);
}

GameObject* World::FindWreckById(const SimId& id) {
    return FindIn(wrecks, id);
}

GameObject* World::FindDestructible(const SimId& id) {
    return FindIn(destructibles, id);
}

GameObject* World::FindOreDeposit(const SimId& id) {
    return FindIn(oreDeposits, id);
}

GameObject* World::FindGroup(const SimId& id) {
    return FindIn(groups, id);
}

GameObject* World::FindCargoCarrier(const SimId& id) {
    GameObject* object = FindObject(id);
    return PrimaryLetter(object) == 'h' ? object : nullptr;
}

// A building whose team changed since it was listed no longer stands for the team.
GameObject* World::TeamFactory(int team) {
    if (!IsTeam(team)) return nullptr;
    for (ListNode* n = buildings[team].First(); n; n = buildings[team].Next(n)) {
        GameObject* o = ObjectOf(n);
        if (o && o->GetTeam() == team) return o;
    }
    return nullptr;
}

// An id is indexed under the object the list scan finds first for it, or not at all; the lists
// change far less often than ids are looked up.
void World::ReindexObject(const SimId& id) {
    if (id.IsNull() || !IsTeam(id.team)) return;
    if (GameObject* found = ScanForObject(id)) {
        objectIndex[IndexKey(id)] = found;
    } else {
        objectIndex.erase(IndexKey(id));
    }
}

void World::NoteTeamSimsChanged(int team) {
    if (IsTeam(team)) structuresStale[team] = 1;
}

void World::ForgetObjectLookups() {
    objectIndex.clear();
    for (int team = 0; team < kTeams; ++team)
        NoteTeamSimsChanged(team);
}

namespace {

bool IsStandingStructure(World& world, GameObject* o, int code) {
    return o->GetKind() == ObjectKind::kDeployed && world.structureCodeOf(o) == code &&
           !o->IsDestroyed();
}

}  // namespace

// The gathered units were deployed when gathered; whether they still stand, are still deployed
// and of the code is asked each time, as those change without the lists changing.
const std::vector<GameObject*>& World::TeamStructures(int team) {
    std::vector<GameObject*>& gathered = teamStructures[team];
    if (structuresStale[team] == 1) {
        gathered.clear();
        gatheredCodes[team].clear();
        structureCodes[team] = 0;
        for (ListNode* n = sims[team].First(); n; n = sims[team].Next(n)) {
            GameObject* o = ObjectOf(n);
            if (o->GetKind() != ObjectKind::kDeployed) continue;
            gathered.push_back(o);
            // A structure's code is its chassis': it never changes while it is gathered. One
            // the deploying units cannot say (yet) may be any.
            const int code = structureCodeOf ? structureCodeOf(o) : -1;
            gatheredCodes[team].push_back(code);
            if (code >= 0 && code < kStructureCodeBits)
                structureCodes[team] |= 1u << code;
            else
                structureCodes[team] = ~0u;
        }
        structuresStale[team] = 0;
    }
    return gathered;
}

// Asked per part per unit every tick: a code none of the gathered structures has is answered
// without walking them.
int World::TeamHasStructure(int team, int code) {
    if (IsTeam(team) && structureCodeOf && code >= 0 && code < kStructureCodeBits) {
        const std::vector<GameObject*>& gathered = TeamStructures(team);
        if (structureCodes[team] & (1u << code)) {
            const std::vector<int>& codes = gatheredCodes[team];
            for (size_t i = 0; i < gathered.size(); ++i) {
                // A code noted as unknown is asked again.
                if (codes[i] >= 0 && codes[i] != code) continue;
                if (IsStandingStructure(*this, gathered[i], code)) return 1;
            }
        }
    }
    if (gameRecords && gameRecords->HasScriptedStructure(team, code) == 1) return 1;
    return 0;
}

int World::ScanForStructure(int team, int code) {
    if (gameRecords && gameRecords->HasScriptedStructure(team, code) == 1) return 1;
    if (!IsTeam(team) || !structureCodeOf) return 0;
    for (ListNode* n = sims[team].First(); n; n = sims[team].Next(n)) {
        if (IsStandingStructure(*this, ObjectOf(n), code)) return 1;
    }
    return 0;
}

GameObject* World::NearestStructure(int team, int code, const Point& p) {
    if (!IsTeam(team) || !structureCodeOf) return nullptr;
    GameObject* best = nullptr;
    int bestDistance = 0;
    for (GameObject* o : TeamStructures(team)) {
        if (!IsStandingStructure(*this, o, code)) continue;
        const int d = static_cast<int>(Distance(o->GetPosition(), p));
        if (!best || d < bestDistance) {
            best = o;
            bestDistance = d;
        }
    }
    return best;
}

int World::CountTeamDestructibles(int team) {
    int count = 0;
    for (ListNode* n = destructibles.First(); n; n = destructibles.Next(n)) {
        GameObject* o = ObjectOf(n);
        if (o->teamRecord.second == team && o->GetCargo() > 0) ++count;
    }
    return count;
}

WreckTemplate* World::FindTemplateForDesign(GameObject* object) {
    VehicleDesign* design = object ? object->GetDesign() : nullptr;
    if (!design || !design->chassis) return nullptr;
    const char clan = design->clan;
    const char chassis = design->chassis->role;
    const int level = ClanTechLevel(clan);
    for (ListNode* n = WreckList.First(); n; n = WreckList.Next(n)) {
        auto* record = static_cast<WreckTemplate*>(n);
        if (record->minimumTechLevel <= level && (record->clan == clan || record->clan == 'X') &&
            record->role == chassis)
            return record;
    }
    return nullptr;
}

namespace {

// The local player does not learn of objects on ground it has never seen.
bool HiddenByFog(World& world, GameObject* asker, GameObject* candidate) {
    if (!world.sight || !world.terrain) return false;
    if (asker->GetTeam() != world.sight->LocalTeam()) return false;
    int row = 0;
    int column = 0;
    world.terrain->PixelToCell(candidate->GetPosition(), row, column);
    return world.terrain->TerrainTypeWithFog(row, column) == 'X';
}

// Only a strictly smaller distance replaces the best, so the first of equals wins; a non-zero
// limit drops candidates whose truncated distance reaches it.
template <class Accept>
GameObject* Nearest(World& world, NodeList& list, GameObject* asker, const Point& from, int limit,
                    Accept accept) {
    GameObject* best = nullptr;
    double bestDistance = kFarAway;
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        GameObject* o = ObjectOf(n);
        if (HiddenByFog(world, asker, o)) continue;
        const double d = Distance(o->GetPosition(), from);
        if (limit != 0 && static_cast<int>(d) >= limit) continue;
        if (!accept(o)) continue;
        if (d < bestDistance) {
            best = o;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace

GameObject* World::NearestDestructible(GameObject* object, int limit) {
    if (!object) return nullptr;
    return Nearest(*this, destructibles, object, object->GetPosition(), limit,
                   [](GameObject* o) { return o->GetCargo() > 0; });
}

// Which field a miner is sent to, whether the pool direction looks from the factory or the
// mining manoeuvre from the miner, and which wreck a scavenger is sent to, by the pool direction
// or its own scavenge manoeuvre; and where a repair trip goes, either way. One rule of our own:
//
// | case                      | what happens             | departs from, and why            |
// |---------------------------|--------------------------|----------------------------------|
// | the terrain joins no way  | the field (the wreck) is | the nearest by distance alone: a |
// | from the worker's cell to | skipped; the nearest it  | miner whose island ran dry stood |
// | the field's (the wreck's) | reaches is taken, or     | at the shore, sent to a field on |
// | for the worker's own      | none                     | another island every 45 s; a     |
// | drive (water parts a      |                          | scavenger sent to a wreck on     |
// | ground unit, not a hover  |                          | another island stood at the      |
// | one)                      |                          | shore for minutes, its goal      |
// |                           |                          | blocked and asked again every 5 s|
// | the same, from a damaged  | that repairer is skipped | the nearest repairer by distance |
// | unit to a repairer, or    | for the nearest it       | alone, and the first damaged     |
// | from a repairer to the    | reaches, or none; that   | structure (a side that fits): a  |
// | side of a damaged unit it | side is not taken, and   | Repair Crawler sent to a friend  |
// | would dock at             | the pool direction sends | on another island held its goal  |
// |                           | the repairer to the next | with no route, asking again      |
// |                           | damaged structure it     | every 5 s for minutes            |
// |                           | reaches                  |                                  |
// | the same, from a computer | the attack manoeuvre     | the attack: a Salvager shot at   |
// | player's unit to its last | gives no attack          | from across water held an attack |
// | attacker, which no weapon | (AttackManoeuvre::       | on an enemy 610-670 px off for a |
// | of the unit reaches from  | ShouldAttack); a         | minute and more, its route never |
// | where it stands           | player's unit answers as | found                            |
// |                           | its design says          |                                  |
// | the same, from a computer | the move or attack is    | a search to the nearest place it |
// | player's unit to the      | given up before any      | reached, again and again: an     |
// | place of its move or      | search (BlockedStep-     | army on an island no ground way  |
// | attack                    | Policy's "a place beyond | leaves stood in a knot at its    |
// |                           | the drive's reach is     | shore for minutes                |
// |                           | given up")               |                                  |
//
// The terrain's regions are labelled once per drive (PathGrid::TerrainJoins), so a decision
// costs one look-up per field, wreck, repairer or side. Only the terrain parts them: units or
// structures round a place, which move or fall, are left to the route search.
bool World::InReachOf(GameObject* worker, const Point& site) {
    PathGrid* paths = pathGrid.get();
    const CollisionFilter* drive = worker ? worker->GetCollision() : nullptr;
    return !paths || !drive ||
           paths->TerrainJoins(drive->MoveFlags(), worker->GetPosition(), site) == 1;
}

bool World::InReachOf(GameObject* worker, GameObject* site) {
    return InReachOf(worker, site->GetPosition());
}

GameObject* World::NearestFieldInReach(GameObject* from, GameObject* miner, int limit) {
    if (!from) return nullptr;
    return Nearest(*this, destructibles, from, from->GetPosition(), limit,
                   [&](GameObject* o) { return o->GetCargo() > 0 && InReachOf(miner, o); });
}

GameObject* World::NearestWreckInReach(GameObject* object, const Point& p, int limit,
                                       GameObject* scavenger) {
    if (!object) return nullptr;
    return Nearest(*this, wrecks, object, p, limit, [&](GameObject* o) {
        return o->FindFreeDock(object, 0) != -1 && InReachOf(scavenger, o);
    });
}

GameObject* World::NearestOreDeposit(GameObject* object) {
    if (!object) return nullptr;
    return Nearest(*this, oreDeposits, object, object->GetPosition(), 0,
                   [](GameObject* o) { return o->GetStored() > 0; });
}

// A wreck with salvage but no free dock for the asker is of no use to it.
GameObject* World::NearestWreck(GameObject* object, const Point& p, int limit) {
    if (!object) return nullptr;
    return Nearest(*this, wrecks, object, p, limit,
                   [object](GameObject* o) { return o->FindFreeDock(object, 0) != -1; });
}

GameObject* World::FindNearestWreck(GameObject* object, int limit) {
    if (!object) return nullptr;
    return NearestWreck(object, object->GetPosition(), limit);
}

SimId World::NewSimId(int team) {
    return SimId(team, nextSerial++);
}

void World::ReserveSerial(int32_t serial) {
    if (nextSerial <= serial) nextSerial = serial + 1;
}
