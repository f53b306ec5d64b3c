// Placement and map registration: every map object takes up, changes or gives back room on the
// map through these operations, which keep the path grid, the sight grid and the terrain's
// visibility in step.
#include <cmath>

#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

constexpr int kVisibilityReach = TerrainMap::kViewerReach;
// HasObjectAround looks this many cells beyond the footprint.
constexpr int kAroundMargin = 2;

bool MarksFootprint(GameObject* object) {
    const int kind = object->GetCollision()->kind;
    return kind == ObjectKind::kRepairUnit || kind == ObjectKind::kFactory;
}

GameObject* AsObject(MapObjectView* view) {
    return static_cast<GameObject*>(view);
}

// Whether the object stands on the grids now: its footprint is the one marked in the cell of
// its current position on its layer, or it holds a footprint at all. The second test matters
// for a unit halfway between two cells, whose footprint box holds no cell centre: it is on the
// grids (its sight counted) without occupying its own cell, and must leave them before it
// moves, or its sight would be counted twice.
bool OccupiesOwnCell(PathGrid& grid, GameObject* object) {
    if (object->GetFootprint() != Rect()) return true;
    short row = 0;
    short column = 0;
    grid.PixelToCell(object->GetPosition(), row, column);
    if (!grid.IsInside(row, column)) return false;
    return grid.Occupant(row, column, object->GetCollision()->layer) == object;
}

// The placeholder that holds a place for an object: its id, its radius, its filter.
std::unique_ptr<GameObject> MakeReservation(GameObject* object, const Point& p,
                                            const CollisionFilter& filter) {
    const int r = object->GetRadius();
    return std::make_unique<GameObject>(p, 0, Size(2 * r, 2 * r), nullptr, 0, filter, object->id, 1,
                                        1);
}

}  // namespace

int World::CanPlace(GameObject* object, const Point& p, GameObject** blocker, int ignoreLayer,
                    int passMovers, int radius) {
    if (blocker) *blocker = nullptr;
    if (!object || !pathGrid) return 0;
    const CollisionFilter& filter = *object->GetCollision();
    uint32_t mask = filter.MoveFlags();
    if (ignoreLayer == 0) mask |= filter.LayerMask(0);
    MapObjectView* found = nullptr;
    const int result = pathGrid->CanOccupy(object, p, &found, mask, passMovers, radius);
    if (blocker) *blocker = AsObject(found);
    return result;
}

int World::CanPlace(GameObject* object, const Point& p, GameObject** blocker, int ignoreLayer,
                    int radius) {
    return CanPlace(object, p, blocker, ignoreLayer, 0, radius);
}

namespace {
bool SeesTerrain(World& world, GameObject* object);
// RemoveFromGrids at the old position, the move, AddToGrids at the new one, with the same
// counts; but sight that stays where it was is not taken away and given back.
void MoveOnGrids(World& world, GameObject* object, const Point& p);
}  // namespace

int World::PlaceObject(GameObject* object, const Point& p, GameObject** blocker) {
    if (!object) return 0;
    if (CanPlace(object, p, blocker, 0, 0, 0) != 1) return 0;
    PlaceOver(object, p);
    return 1;
}

// A destroyed object has left the grids for good, and a carried one stays off them until its
// carrier sets it down: neither may mark a place (a destroyed one would leave marks naming an
// object the death pass deletes). A carried one still goes where its owner says.
void World::PlaceOver(GameObject* object, const Point& p) {
    if (!object || !pathGrid || object->IsDestroyed() != 0) return;
    if (object->gridFlag == 0) {
        object->MoveTo(p);
        return;
    }
    const bool footprint = MarksFootprint(object);
    if (footprint && OccupiesOwnCell(*pathGrid, object)) {
        if (!recountSightOnMove) {
            MoveOnGrids(*this, object, p);
            return;
        }
        RemoveFromGrids(object, object->GetPosition(), 0);
    }
    object->MoveTo(p);
    if (footprint) AddToGrids(object, p, 0);
}

// Both leave the grids while each is tested on the other's place, and come back on the places
// they end on, as a move's removal and addition would.
int World::TradePlaces(GameObject* a, GameObject* b) {
    auto onGrids = [this](GameObject* o) {
        return o && o->gridFlag != 0 && o->IsDestroyed() == 0 && MarksFootprint(o) &&
               OccupiesOwnCell(*pathGrid, o);
    };
    if (!pathGrid || a == b || !onGrids(a) || !onGrids(b)) return 0;
    const Point fromA = a->GetPosition();
    const Point fromB = b->GetPosition();
    RemoveFromGrids(a, fromA, 0);
    RemoveFromGrids(b, fromB, 0);
    const bool fit =
        CanPlace(a, fromB, nullptr, 0, 0, 0) == 1 && CanPlace(b, fromA, nullptr, 0, 0, 0) == 1;
    if (fit) {
        a->MoveTo(fromB);
        b->MoveTo(fromA);
    }
    AddToGrids(a, a->GetPosition(), 0);
    AddToGrids(b, b->GetPosition(), 0);
    return fit ? 1 : 0;
}

int World::PlaceOnLayer(GameObject* object, const Point& p, int layer, GameObject** blocker) {
    if (!object || !pathGrid) return 0;
    CollisionFilter& filter = *object->GetCollision();
    const int oldLayer = filter.layer;
    if (MarksFootprint(object) && OccupiesOwnCell(*pathGrid, object))
        RemoveFromGrids(object, object->GetPosition(), 0);
    filter.layer = layer;
    if (PlaceObject(object, p, blocker) == 1) return 1;
    // Back where it stood, marked again on its old layer.
    filter.layer = oldLayer;
    PlaceObject(object, object->GetPosition(), nullptr);
    return 0;
}

SimId World::ReservePlace(SimId& out, GameObject* object, const Point& p, GameObject** blocker) {
    SimId id;
    if (object && CanPlace(object, p, blocker, 0, 0, 0) == 1) {
        std::unique_ptr<GameObject> reservation =
            MakeReservation(object, p, *object->GetCollision());
        if (PlaceObject(reservation.get(), p, nullptr) == 1) {
            id = reservation->id;
            auto* node = new ObjectNode(std::move(reservation));
            reservations.PushFront(node);
        }
    }
    out = id;
    return id;
}

SimId World::ReservePlace(GameObject* object, const Point& p, GameObject** blocker) {
    SimId id;
    return ReservePlace(id, object, p, blocker);
}

// An air object asking for the ground reserves on the low layer, also standing on the ground.
SimId World::ReservePlaceOnLayer(SimId& out, GameObject* object, const Point& p, int layer,
                                 GameObject** blocker) {
    SimId id;
    if (object) {
        CollisionFilter& filter = *object->GetCollision();
        const int ownLayer = filter.layer;
        const int ownExtra = filter.extra;
        int usedLayer = layer;
        int usedExtra = ownExtra;
        if (ownLayer == MapLayer::kAir && layer == 0) {
            usedLayer = 1;
            usedExtra = 1;
        }
        filter.layer = usedLayer;
        filter.extra = usedExtra;
        const int free = CanPlace(object, p, blocker, 0, 0, 0);
        filter.layer = ownLayer;
        filter.extra = ownExtra;
        if (free == 1) {
            CollisionFilter held(filter.kind, usedLayer, filter.noWater, filter.noR, usedExtra);
            std::unique_ptr<GameObject> reservation = MakeReservation(object, p, held);
            if (PlaceOnLayer(reservation.get(), p, usedLayer, nullptr) == 1) {
                id = reservation->id;
                auto* node = new ObjectNode(std::move(reservation));
                reservations.PushFront(node);
            }
        }
    }
    out = id;
    return id;
}

void World::MoveReservation(const SimId& id, GameObject* object) {
    MoveReservationOnLayer(id, object, -1);
}

// layer -1: place the object on its own layer.
void World::MoveReservationOnLayer(const SimId& id, GameObject* object, int layer) {
    for (ListNode* n = reservations.First(); n; n = reservations.Next(n)) {
        GameObject* reservation = static_cast<ObjectNode*>(n)->Object();
        if (reservation->id != id) continue;
        const Point p = reservation->GetPosition();
        RemoveFromGrids(reservation, p, 0);
        if (object) {
            if (layer < 0)
                PlaceObject(object, p, nullptr);
            else
                PlaceOnLayer(object, p, layer, nullptr);
        }
        delete n;
        return;
    }
}

namespace {

bool SeesTerrain(World& world, GameObject* object) {
    return world.terrain && object->teamRecord.second == world.LocalTeam() &&
           object->HasBaseSight() == 1;
}

void MoveOnGrids(World& world, GameObject* object, const Point& p) {
    const Point from = object->GetPosition();
    if (world.pathGrid) world.pathGrid->RemoveFootprint(object, from, 0);
    object->MoveTo(p);
    // Sight counts from where the object stands; the footprint and the terrain from p.
    if (world.sight) world.sight->MoveViewer(object, from, object->GetPosition());
    if (world.pathGrid) world.pathGrid->AddFootprint(object, p, 0);
    if (SeesTerrain(world, object)) {
        int fromRow = 0, fromColumn = 0, row = 0, column = 0;
        world.terrain->PixelToCell(from, fromRow, fromColumn);
        world.terrain->PixelToCell(p, row, column);
        world.terrain->MoveVisibility(fromRow, fromColumn, row, column, kVisibilityReach);
    }
}

void ChangeTerrainVisibility(World& world, GameObject* object, const Point& p, int delta) {
    if (!SeesTerrain(world, object)) return;
    int row = 0;
    int column = 0;
    world.terrain->PixelToCell(p, row, column);
    for (int r = row - kVisibilityReach; r <= row + kVisibilityReach; ++r) {
        for (int c = column - kVisibilityReach; c <= column + kVisibilityReach; ++c) {
            if (world.terrain->IsInside(r, c)) world.terrain->AddVisibility(r, c, delta);
        }
    }
}

}  // namespace

// Sight counts from where the object stands now; the footprint from the given position.
void World::AddToGrids(GameObject* object, const Point& p, int radius) {
    if (!object) return;
    if (sight) sight->AddViewer(object, object->GetPosition());
    if (pathGrid) pathGrid->AddFootprint(object, p, radius);
    ChangeTerrainVisibility(*this, object, p, +1);
}

void World::RemoveFromGrids(GameObject* object, const Point& p, int radius) {
    if (!object) return;
    if (sight) sight->RemoveViewer(object, object->GetPosition());
    if (pathGrid) pathGrid->RemoveFootprint(object, p, radius);
    ChangeTerrainVisibility(*this, object, p, -1);
}

int World::IsAreaBuildable(const Rect& r) {
    if (!terrain || !sight) return 0;
    const Point first = r.origin;
    const Point last = r.BottomRight();
    const Size area = terrain->PixelExtent();
    if (first.x < 0 || first.y < 0 || last.x >= area.w || last.y >= area.h) return 0;
    int row0 = 0;
    int column0 = 0;
    int row1 = 0;
    int column1 = 0;
    terrain->PixelToCell(first, row0, column0);
    terrain->PixelToCell(last, row1, column1);
    for (int row = row0; row <= row1; ++row) {
        for (int column = column0; column <= column1; ++column) {
            if (terrain->TerrainTypeAt(row, column) != 'c') return 0;
        }
    }
    return 1;
}

namespace {

bool InsideInclusive(const Rect& r, const Point& p) {
    const Point last = r.BottomRight();
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x <= last.x && p.y <= last.y;
}

// The cell of a pixel position, false when it lies off the grid (a position from the mouse or
// a peer may).
bool CellOf(const PathGrid* grid, const Point& p, short& row, short& column) {
    if (!grid || p.x < 0 || p.y < 0) return false;
    grid->PixelToCell(p, row, column);
    return grid->IsInside(row, column);
}

}  // namespace

GameObject* World::ArtifactAt(const Point& p) {
    short row = 0;
    short column = 0;
    if (!CellOf(pathGrid.get(), p, row, column)) return nullptr;
    if (!(pathGrid->CellWord(row, column) & kCellArtifact)) return nullptr;
    for (ListNode* n = artifacts.First(); n; n = artifacts.Next(n)) {
        GameObject* artifact = static_cast<ObjectNode*>(n)->Object();
        if (InsideInclusive(artifact->GetBounds(), p)) return artifact;
    }
    return nullptr;
}

// Enemies first, on any layer: the mouse means the enemy over its own unit or a wreck.
GameObject* World::PickObjectAt(const Point& p) {
    short row = 0;
    short column = 0;
    if (!CellOf(pathGrid.get(), p, row, column)) return nullptr;
    const int local = LocalTeam();
    for (int layer = 2; layer >= 0; --layer) {
        GameObject* o = AsObject(pathGrid->Occupant(row, column, layer));
        if (o && o->GetTeam() != local && o->GetTeam() != 0 && o->GetKind() != ObjectKind::kWreck)
            return o;
    }
    for (int layer = 2; layer >= 0; --layer) {
        if (GameObject* o = AsObject(pathGrid->Occupant(row, column, layer))) return o;
    }
    return nullptr;
}

GameObject* World::FindObjectNear(GameObject* object, int radius) {
    if (!object || !pathGrid) return nullptr;
    const Size cell = pathGrid->CellSize();
    int rows = 2;
    int columns = 2;
    if (radius != 0) {
        rows = (radius + cell.h - 1) / cell.h;
        columns = (radius + cell.w - 1) / cell.w;
    }
    return AsObject(pathGrid->FindObjectNear(object, rows, columns));
}

int World::HasObjectAround(GameObject* object, int team) {
    if (!object || !pathGrid) return 0;
    int row0 = 0;
    int column0 = 0;
    int row1 = 0;
    int column1 = 0;
    if (!pathGrid->RectToCells(object->GetCentre(), object->GetRadius(), row0, column0, row1,
                               column1))
        return 0;
    const int ownLayer = object->GetCollision()->layer;
    const int innerLayer = ownLayer == 1 ? 2 : 1;
    const int top = std::max(row0 - kAroundMargin, 0);
    const int left = std::max(column0 - kAroundMargin, 0);
    const int bottom = std::min(row1 + kAroundMargin, pathGrid->Rows() - 1);
    const int right = std::min(column1 + kAroundMargin, pathGrid->Columns() - 1);
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            const bool inside =
                row >= row0 && row <= row1 && column >= column0 && column <= column1;
            GameObject* o =
                AsObject(pathGrid->Occupant(row, column, inside ? innerLayer : ownLayer));
            if (!o || o->id == object->id) continue;
            if (object->IsHostileTo(o) != 1) continue;
            if (team == -1 || o->GetTeam() == team) return 1;
        }
    }
    return 0;
}

namespace {

// The team's units on the grids and its factory go off the grids, the unit's kind changes, and
// all of them go back, so that every mark is made again under the new kind.
int ChangeDeployKind(World& world, GameObject* sim, int kind) {
    if (!sim) return 0;
    const int team = sim->GetTeam();
    if (team < 0 || team >= World::kTeams) return 0;
    GameObject* factory = world.TeamFactory(team);
    NodeList& units = world.sims[team];
    auto roundTrip = [&](bool add) {
        for (ListNode* n = units.First(); n; n = units.Next(n)) {
            GameObject* unit = static_cast<ObjectNode*>(n)->Object();
            // Only living units on the map: a carried unit stays off the grids.
            if (unit->IsDestroyed() || unit->gridFlag != 1 || unit->onMap != 1) continue;
            if (add)
                world.AddToGrids(unit, unit->GetPosition(), 0);
            else
                world.RemoveFromGrids(unit, unit->GetPosition(), 0);
        }
        if (!factory) return;
        if (add)
            world.AddToGrids(factory, factory->GetCentre(), factory->GetRadius());
        else
            world.RemoveFromGrids(factory, factory->GetCentre(), factory->GetRadius());
    };
    roundTrip(false);
    if (world.setDeployKind) world.setDeployKind(sim, kind);
    world.NoteTeamSimsChanged(team);
    roundTrip(true);
    return 0;
}

}  // namespace

int World::DeploySim(GameObject* sim) {
    return ChangeDeployKind(*this, sim, ObjectKind::kDeployed);
}

int World::UndeploySim(GameObject* sim) {
    return ChangeDeployKind(*this, sim, ObjectKind::kUnit);
}
