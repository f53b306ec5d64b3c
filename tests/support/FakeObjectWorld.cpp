#include "support/FakeObjectWorld.h"

#include <algorithm>
#include <cmath>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/PointNode.h"
#include "core/Vector.h"
#include "objects/GameObject.h"

FakeObjectWorld::FakeObjectWorld(int columns, int rows)
    : columns(columns),
      rows(rows),
      paths(rows, columns, Size(kCell, kCell)),
      sight(Size(2 * kCell, 2 * kCell), Size(columns * kCell, rows * kCell), 1),
      previous(&TheObjectWorld()) {
    for (int t = 0; t < 5; ++t)
        allied[t][t] = 1;
    SetObjectWorld(this);
}

FakeObjectWorld::~FakeObjectWorld() {
    // Effects may look their followed objects up while they go: uninstall last.
    effects.clear();
    shots.clear();
    ownedSims.clear();
    SetObjectWorld(previous == this ? nullptr : previous);
}

void FakeObjectWorld::Add(GameObject* object, bool inSimList) {
    objects.push_back(object);
    if (inSimList) sims.push_back(object);
}

void FakeObjectWorld::Forget(GameObject* object) {
    std::erase(objects, object);
    std::erase(sims, object);
}

namespace {

GameObject* FindIn(const std::vector<GameObject*>& list, const SimId& id, int kind) {
    if (id.IsNull()) return nullptr;
    for (GameObject* o : list) {
        if (o->id == id && (kind < 0 || o->GetKind() == kind)) return o;
    }
    return nullptr;
}

}  // namespace

GameObject* FakeObjectWorld::FindObject(const SimId& id) {
    return FindIn(objects, id, -1);
}
GameObject* FakeObjectWorld::FindSim(const SimId& id) {
    return FindIn(sims, id, -1);
}
GameObject* FakeObjectWorld::FindDestructible(const SimId& id) {
    return FindIn(objects, id, 5);
}
GameObject* FakeObjectWorld::FindWreckById(const SimId& id) {
    return FindIn(objects, id, 3);
}

GameObject* FakeObjectWorld::TeamFactory(int team) {
    return team >= 0 && team < 5 ? factories[team] : nullptr;
}

int FakeObjectWorld::AreAllied(int a, int b) {
    if (a < 0 || a > 4 || b < 0 || b > 4) return 0;
    return allied[a][b];
}

EventReceiver* FakeObjectWorld::ControllerOf(int team) {
    return team >= 0 && team < 5 ? controllers[team] : nullptr;
}

int FakeObjectWorld::TeamHasStructure(int team, int code) {
    return structures.count({team, code}) ? 1 : 0;
}

void FakeObjectWorld::AddTeamCount(GameObject* object) {
    const int team = object->teamRecord.first;
    if (team >= 0 && team < 5) ++teamCounts[team];
}

void FakeObjectWorld::AddEffect(std::unique_ptr<GameObject> effect) {
    effects.push_back(std::move(effect));
}

int FakeObjectWorld::PlaceObject(GameObject* object, const Point& p, GameObject** blocker) {
    if (blocker) *blocker = nullptr;
    if (refusePlacement) {
        if (blocker) *blocker = placementBlocker;
        return 0;
    }
    ++placements;
    object->MoveTo(p);
    return 1;
}

int FakeObjectWorld::CanPlace(GameObject*, const Point& p, GameObject** blocker, int relaxed, int) {
    if (blocker) *blocker = nullptr;
    canPlaceRelaxed.push_back(relaxed);
    const bool cover =
        relaxed == 0 && std::find(covered.begin(), covered.end(), p) != covered.end();
    if (!cover && std::find(blocked.begin(), blocked.end(), p) == blocked.end()) return 1;
    if (blocker) *blocker = blockedBy;
    return 0;
}

int FakeObjectWorld::TradePlaces(GameObject* a, GameObject* b) {
    const Point fromA = a->GetPosition(), fromB = b->GetPosition();
    if (std::find(blocked.begin(), blocked.end(), fromA) != blocked.end() ||
        std::find(blocked.begin(), blocked.end(), fromB) != blocked.end())
        return 0;
    a->MoveTo(fromB);
    b->MoveTo(fromA);
    return 1;
}

void FakeObjectWorld::AddToGrids(GameObject*, const Point& p, int radius) {
    ++gridAdds;
    gridCalls.push_back({+1, p, radius});
}
void FakeObjectWorld::RemoveFromGrids(GameObject*, const Point& p, int radius) {
    ++gridRemoves;
    gridCalls.push_back({-1, p, radius});
}

SimId FakeObjectWorld::ReservePlace(GameObject* object, const Point& p, GameObject** blocker) {
    if (blocker) *blocker = nullptr;
    if (!object || std::find(blocked.begin(), blocked.end(), p) != blocked.end()) {
        if (blocker) *blocker = placementBlocker;
        return SimId();
    }
    const SimId id(0, nextSerial++);
    reservations.push_back({id, p});
    return id;
}

void FakeObjectWorld::MoveReservation(const SimId& id, GameObject* object) {
    for (auto it = reservations.begin(); it != reservations.end(); ++it) {
        if (it->first != id) continue;
        if (object) object->SetPosition(it->second);
        reservationTakers.push_back(object);
        reservations.erase(it);
        return;
    }
}

int FakeObjectWorld::IsAreaBuildable(const Rect& r) {
    if (buildable) return buildable(r);
    const Point br = r.BottomRight();
    const Size area = Area();
    return r.origin.x >= 0 && r.origin.y >= 0 && br.x < area.w && br.y < area.h ? 1 : 0;
}

void FakeObjectWorld::SendCommands(int) {
    if (commands.Size() == 0) return;
    commands.EndRecording();
    sent.emplace_back(commands.Data(), commands.Data() + commands.Size());
    commands.Rewind();
    commands.BeginRecording();
}

int FakeObjectWorld::AddSim(std::unique_ptr<GameObject>& sim) {
    if (!sim || acceptSims == 0) return 0;
    Add(sim.get(), true);
    ownedSims.push_back(std::move(sim));
    return 1;
}

int FakeObjectWorld::MoveSimToTeam(GameObject* sim, int, int) {
    return std::find(sims.begin(), sims.end(), sim) != sims.end() ? 1 : 0;
}

void FakeObjectWorld::ForEachSim(int team, const std::function<void(GameObject*)>& visit) {
    for (GameObject* o : sims) {
        if (o->GetTeam() == team) visit(o);
    }
}

GameObject* FakeObjectWorld::FindGroup(const SimId& id) {
    return FindIn(groups, id, -1);
}

int FakeObjectWorld::RequestPath(GameObject* object, const Point& goal, NodeList& route, int flag,
                                 int) {
    ++routeRequests;
    lastAsked = goal;
    lastSearchFlag = flag;
    route.DeleteAll();
    if (routeFound == 0) return 0;
    route.PushBack(new PointNode(object->GetPosition()));
    route.PushBack(new PointNode(goal));
    return 1;
}

void FakeObjectWorld::FollowWaypoints(GameObject* object, NodeList& route, int flags) {
    for (ListNode* n = route.Next(route.First()); n; n = route.Next(n)) {
        const int last = n == route.Last() && !(flags & 0x20) ? 1 : 0;
        object->ExecuteOrder(1, flags | (last ? 0x15 : 0x35), static_cast<PointNode*>(n)->value,
                             SimId(), 0);
    }
}

int FakeObjectWorld::MakeRingPoints(const Point& centre, unsigned radius, unsigned count,
                                    NodeList& out, double offset) {
    if (count == 0) return 0;
    out.DeleteAll();
    const double step = 6.28318 / count;
    double angle = -3.14159 + offset;
    const Size area = Area();
    for (unsigned i = 0; i < count; ++i, angle += step) {
        const Vector v(angle, static_cast<double>(radius));
        Point p = centre + Point(static_cast<int>(std::floor(v.x + 0.5)),
                                 static_cast<int>(std::floor(v.y + 0.5)));
        p.x = std::max(0, std::min(p.x, area.w - 1));
        p.y = std::max(0, std::min(p.y, area.h - 1));
        auto* node = new PointNode(p);
        out.PushFront(node);
    }
    return 1;
}

namespace {

// The first of equals wins; a non-zero limit drops what lies at or past it.
GameObject* NearestOfKind(const std::vector<GameObject*>& list, int kind, const Point& from,
                          int limit) {
    GameObject* best = nullptr;
    double bestDistance = 1e9;
    for (GameObject* o : list) {
        if (o->GetKind() != kind || o->GetCargo() <= 0) continue;
        const Point d = o->GetPosition() - from;
        const double distance = std::sqrt(double(d.x) * d.x + double(d.y) * d.y);
        if (limit != 0 && static_cast<int>(distance) >= limit) continue;
        if (distance < bestDistance) {
            best = o;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

GameObject* FakeObjectWorld::FindCargoCarrier(const SimId& id) {
    GameObject* o = FindObject(id);
    VehicleDesign* design = o ? o->GetDesign() : nullptr;
    return design && design->chassis && design->chassis->role == 'h' ? o : nullptr;
}

GameObject* FakeObjectWorld::NearestDestructible(GameObject* object, int limit) {
    return object ? NearestOfKind(objects, 5, object->GetPosition(), limit) : nullptr;
}

GameObject* FakeObjectWorld::NearestWreck(GameObject* object, const Point& p, int limit) {
    return object ? NearestOfKind(objects, 3, p, limit) : nullptr;
}

GameObject* FakeObjectWorld::FindNearestWreck(GameObject* object, int limit) {
    return object ? NearestWreck(object, object->GetPosition(), limit) : nullptr;
}

int FakeObjectWorld::CountTeamDestructibles(int team) {
    int count = 0;
    for (GameObject* o : objects)
        count += o->GetKind() == 5 && o->teamRecord.second == team && o->GetCargo() > 0 ? 1 : 0;
    return count;
}
