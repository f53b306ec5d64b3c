// The squad pool manager's orders on the map: the idle pool members sent to work, structure
// units placed, and the factory moved to a better deposit with the rally point beside it.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ai/AIController.h"
#include "ai/InfluenceGrid.h"
#include "ai/ManagerTools.h"
#include "ai/SquadPoolManager.h"
#include "ai/SquadRules.h"
#include "ai/UnitTraits.h"
#include "core/PointNode.h"
#include "core/Random.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "objects/FactoryBuilding.h"
#include "objects/FactoryProduction.h"
#include "objects/Squad.h"
#include "world/World.h"

using manager_tools::Distance;
using manager_tools::Members;
using manager_tools::Objects;

namespace {

constexpr int kMoveFlags = 0x15;
constexpr int kWorkFlags = 5;
constexpr double kStructureStray = 480.0;
constexpr int32_t kDepositReserve = 1500;

struct Candidate {
    int32_t key;
    Point at;
};

// Keeps the candidates sorted by ascending key, a new one before its equals.
void InsertSorted(std::vector<Candidate>& list, const Candidate& c) {
    auto at = list.begin();
    while (at != list.end() && at->key < c.key)
        ++at;
    list.insert(at, c);
}

bool IsSet(const Point& p) {
    return !(p == Point());
}

int Chebyshev(const InfluenceCell& a, const InfluenceCell& b) {
    return std::max(std::abs(a.row - b.row), std::abs(a.column - b.column));
}

// The idle object nearest the point, first on ties, taken out of the list.
GameObject* TakeNearest(std::vector<GameObject*>& list, const Point& p) {
    auto best = list.end();
    double bestDistance = 0.0;
    for (auto it = list.begin(); it != list.end(); ++it) {
        const double d = Distance((*it)->GetPosition(), p);
        if (best == list.end() || d < bestDistance) best = it, bestDistance = d;
    }
    if (best == list.end()) return nullptr;
    GameObject* taken = *best;
    list.erase(best);
    return taken;
}

}  // namespace

int SquadPoolManager::DirectPools() {
    World& world = *TheWorld();
    GameObject* factory = owner.Factory();
    // 1.
    if (!factory || !directionTimer.Expired()) return 0;
    // 2.
    bool underAttack = factory->GetLastAttacker() != nullptr;
    for (GameObject* o : Objects(world.sims[owner.Team()]))
        underAttack = underAttack || o->GetLastAttacker() != nullptr;
    // 3.
    std::vector<GameObject*> deploy;
    std::vector<GameObject*> damaged;
    const Point rally = owner.rallyPoint;
    if (Squad* pool = Pool(kStructureKind)) {
        for (GameObject* s : Members(*pool)) {
            if (s->GetKind() == ObjectKind::kUnit) {
                deploy.push_back(s);
            } else if (s->GetKind() == ObjectKind::kDeployed) {
                const bool lightlyDamaged = static_cast<int64_t>(s->damage.Value()) * 100 <
                                            static_cast<int64_t>(s->damage.Max()) * 21;
                if (lightlyDamaged || s->GetLastAttacker()) {
                    if (!underAttack && Distance(s->GetPosition(), rally) > kStructureStray &&
                        world.MissionNumber() == 0 && IsSet(rally)) {
                        s->UndeployNow();
                        s->ExecuteOrder(1, kMoveFlags, rally, SimId(), 0);
                    }
                } else {
                    damaged.push_back(s);
                }
            }
        }
    }
    // 4.
    InfluenceGrid* grid = owner.Grid();
    InfluenceCell* home = grid ? grid->CellAt(factory->GetPosition()) : nullptr;
    std::vector<GameObject*> idleRepairers;
    if (Squad* pool = Pool(kRepairKind)) {
        for (GameObject* r : Members(*pool)) {
            if (r->goals.Front() || r->IsLanded() == 0) continue;
            // The first damaged structure its drive reaches (the World's rule of our own).
            const auto reached = std::find_if(damaged.begin(), damaged.end(), [&](GameObject* c) {
                return world.InReachOf(r, c->GetPosition());
            });
            if (reached != damaged.end()) {
                GameObject* client = *reached;
                damaged.erase(reached);
                r->ExecuteOrder(7, 0, Point(), client->id, 0);
                TheSquadRules().SetRepairReturn(*r, r->GetPosition());
                continue;
            }
            InfluenceCell* at = grid ? grid->CellAt(r->GetPosition()) : nullptr;
            if (at && home && Chebyshev(*at, *home) == 1 && r->DocksInsideMap(r->GetPosition()))
                continue;
            idleRepairers.push_back(r);
        }
    }
    // 5.
    auto idleOf = [&](int32_t kind) {
        std::vector<GameObject*> idle;
        if (Squad* pool = Pool(kind))
            for (GameObject* m : Members(*pool))
                if (!m->goals.Front()) idle.push_back(m);
        return idle;
    };
    std::vector<GameObject*> idleScavengers = idleOf(kScavengerKind);
    std::vector<GameObject*> idleMiners = idleOf(kMinerKind);
    // 6.
    if (!idleRepairers.empty() && grid && home) SendRepairers(idleRepairers, *factory);
    bool handled = false;
    // 7. Each scavenger to the safe wreck its drive reaches (the rule of our own in
    // World::NearestFieldInReach).
    for (GameObject* s : idleScavengers) {
        if (GameObject* wreck = SafeWreck(s)) {
            s->ExecuteOrder(2, kWorkFlags, Point(), wreck->id, 0);
            handled = true;
        }
    }
    // 8. Each miner to the field nearest the factory that its drive reaches (the rule of our own
    // in World::NearestFieldInReach).
    for (GameObject* m : idleMiners) {
        if (GameObject* rock = world.NearestFieldInReach(factory, m, 0)) {
            m->ExecuteOrder(2, kWorkFlags, Point(), rock->id, 0);
            handled = true;
        }
    }
    // 9.
    for (GameObject* unit : deploy) {
        if (!underAttack && unit->goals.Front() && unit->goals.IsFrontBlocked() == 0) continue;
        unit->ClearGoals();
        PlaceStructure(*unit);
        handled = true;
    }
    // 10.
    directionTimer.Start();
    return handled ? 1 : 0;
}

void SquadPoolManager::SendRepairers(std::vector<GameObject*>& idle, GameObject& factory) {
    InfluenceGrid& grid = *owner.Grid();
    InfluenceCell* home = grid.CellAt(factory.GetPosition());
    // 1.
    InfluenceCell* hot = grid.StrongestEnemyCell(owner.Team());
    std::vector<InfluenceCell*> ring;
    grid.CellsInRing(*home, ring, 1, 0);
    InfluenceCell* rallyCell = IsSet(owner.rallyPoint) ? grid.CellAt(owner.rallyPoint) : nullptr;
    int32_t best = 0;
    std::vector<Candidate> candidates;
    // 2.
    for (InfluenceCell* c : ring) {
        if (c == rallyCell || grid.DestructibleIn(*c)) continue;
        if (c->openTiles > best) {
            candidates.clear();
            best = c->openTiles;
        }
        NodeList tiles;
        grid.TileCentres(*c, tiles);
        while (ListNode* drawn = tiles.RandomElement()) {
            const Point p = static_cast<PointNode*>(drawn)->value;
            delete drawn;
            if (idle.front()->DocksInsideMap(p) == 0) continue;
            const int32_t key = hot ? static_cast<int32_t>(Distance(p, grid.CellCentre(*hot))) : 0;
            InsertSorted(candidates, {key, p});
            break;
        }
    }
    // 3. The farthest post from the enemy first.
    while (!candidates.empty() && !idle.empty()) {
        const Point post = candidates.back().at;
        candidates.pop_back();
        GameObject* repairer = TakeNearest(idle, post);
        repairer->ExecuteOrder(1, kMoveFlags, post, SimId(), 0);
        if (SquadDirectory* controller = repairer->Owner())
            controller->OnEvent(AIController::kPoolMoved, repairer, nullptr);
    }
}

// A departure from the placement rule of the pool direction: an area is not buildable either
// where it covers a cell under the square the own factory's product rolls out to, or a cell on
// the straight line from the factory's door to it. A structure unit deployed there holds every
// product in the factory; undeployed because it is in the way, it was deployed again where it
// stood.
bool SquadPoolManager::HoldsFactoryDoor(const Rect& area) {
    World& world = *TheWorld();
    GameObject* factory = owner.Factory();
    TerrainMap* map = world.terrain.get();
    if (!factory || !map) return false;
    int top = 0, left = 0, bottom = 0, right = 0;
    map->PixelToCell(area.origin, top, left);
    map->PixelToCell(area.BottomRight(), bottom, right);
    auto covers = [&](const Point& p) {
        int row = 0, column = 0;
        map->PixelToCell(p, row, column);
        return row >= top && row <= bottom && column >= left && column <= right;
    };
    const Point door = factory->GetPosition();
    const Point rollOut = door + FactoryBuilding::kRollOutOffset;
    const Rect square(rollOut, Size(FactoryBuilding::kBuildArea, FactoryBuilding::kBuildArea), 'c');
    int squareTop = 0, squareLeft = 0, squareBottom = 0, squareRight = 0;
    map->PixelToCell(square.origin, squareTop, squareLeft);
    map->PixelToCell(square.BottomRight(), squareBottom, squareRight);
    if (squareTop <= bottom && squareBottom >= top && squareLeft <= right && squareRight >= left)
        return true;
    // Every cell the line passes: steps shorter than half a cell.
    constexpr int kSteps = 32;
    for (int i = 0; i <= kSteps; ++i) {
        const Point p(door.x + (rollOut.x - door.x) * i / kSteps,
                      door.y + (rollOut.y - door.y) * i / kSteps);
        if (covers(p)) return true;
    }
    return false;
}

bool SquadPoolManager::PlaceStructure(GameObject& unit) {
    World& world = *TheWorld();
    const Rect footprint = unit.GetFootprint();
    if (world.IsAreaBuildable(footprint) && !HoldsFactoryDoor(footprint)) {
        unit.DeployNow();
        return true;
    }
    TerrainMap* map = world.terrain.get();
    if (!map) return false;
    int row = 0;
    int column = 0;
    map->PixelToCell(unit.GetPosition(), row, column);
    const Size cells = map->SizeInCells();
    const int limit = std::max(cells.w, cells.h);
    for (int k = 1; k < limit; ++k) {
        // Only the ring k cells from the unit, columns outer and rows inner: the two side
        // columns whole, the columns between them at their top and bottom row.
        for (int c = column - k; c <= column + k; ++c) {
            const int rowStep = c == column - k || c == column + k ? 1 : 2 * k;
            for (int r = row - k; r <= row + k; r += rowStep) {
                if (!map->IsInside(r, c)) continue;
                const Point centre = map->CellCenter(r, c);
                Rect placed(centre, footprint.extent);
                placed.CentreOn();
                if (!world.IsAreaBuildable(placed) || HoldsFactoryDoor(placed)) continue;
                if (owner.rallyPoint == unit.GetPosition()) owner.rallyPoint = centre;
                unit.ExecuteOrder(1, kMoveFlags, centre, SimId(), 0);
                return true;
            }
        }
    }
    return false;
}

GameObject* SquadPoolManager::SafeWreck(GameObject* scavenger) {
    World& world = *TheWorld();
    GameObject* factory = owner.Factory();
    GameObject* wreck =
        factory ? world.NearestWreckInReach(factory, factory->GetPosition(), 0, scavenger)
                : nullptr;
    if (!wreck) return nullptr;
    const double own = Distance(factory->GetPosition(), wreck->GetPosition());
    for (int32_t team = 1; team < World::kTeams; ++team) {
        if (owner.IsAlliedWith(team)) continue;
        GameObject* enemy = world.TeamFactory(team);
        if (enemy && Distance(enemy->GetPosition(), wreck->GetPosition()) < own) return nullptr;
    }
    return wreck;
}

int SquadPoolManager::PlanFactoryMove(Point& out) {
    World& world = *TheWorld();
    GameObject* factory = owner.Factory();
    FactoryProduction* production = AsFactoryProduction(factory);
    if (!factory || !production) return 0;
    int result = 0;
    bool decided = false;
    // 1.
    if (firstPlacement == 0) {
        const int state = production->UnfoldState();
        if (factory->goals.Front() ||
            (state != FactoryProduction::kOpen && state != FactoryProduction::kFolded))
            return 0;
        if (!production->CurrentJob() && owner.minerCount == 0 && owner.scavengerCount == 0 &&
            factory->GetCargo() < owner.minerCost) {
            if (GameObject* wreck = world.FindNearestWreck(factory, 0)) {
                out = wreck->GetPosition();
                return 1;
            }
        }
        GameObject* linked = production->MinedDeposit();
        if (linked && factory->GetStored() + linked->GetStored() > kDepositReserve - 1)
            decided = true;
    }
    // 2.
    if (!decided) {
        GameObject* deposit = ChooseDeposit();
        result = deposit ? FindFactorySite(*factory, *deposit, out) : 0;
        decided = result == 0;
    }
    // 3. A rally point the scenario preset stays on the first decision.
    if (!decided && firstPlacement == 1 && IsSet(owner.rallyPoint)) decided = true;
    // 4.
    InfluenceGrid* grid = owner.Grid();
    TerrainMap* map = world.terrain.get();
    if (!decided && grid && map) {
        InfluenceCell* o = grid->CellAt(out);
        std::vector<InfluenceCell*> ring;
        if (o) grid->CellsInRing(*o, ring, 1, 0);
        const Size cell = grid->CellSize();
        const Size tile = world.pathGrid ? world.pathGrid->CellSize() : Size(32, 32);
        const int half = tile.w > 0 && tile.h > 0 ? (cell.w / tile.w) * (cell.h / tile.h) / 2 : 0;
        InfluenceCell* best = nullptr;
        int64_t bestKey = 0;
        for (InfluenceCell* c : ring) {
            if (grid->DestructibleIn(*c) || c->openTiles <= half) continue;
            const Point centre = grid->CellCentre(*c);
            int64_t key = 0;
            for (int32_t team = 1; team < World::kTeams; ++team) {
                GameObject* enemy = owner.IsAlliedWith(team) ? nullptr : world.TeamFactory(team);
                if (enemy) key += static_cast<int32_t>(Distance(enemy->GetPosition(), centre));
            }
            // Of equal keys the first cell wins.
            if (!best || key > bestKey) best = c, bestKey = key;
        }
        if (best) {
            const Rect p = grid->CellRect(*best);
            const int y = o->row < best->row ? p.BottomRight().y : p.origin.y;
            const int x = o->column < best->column ? p.BottomRight().x : p.origin.x;
            int row = 0;
            int column = 0;
            map->PixelToCell(Point(x, y), row, column);
            owner.rallyPoint = map->CellCenter(row, column);
        } else {
            owner.rallyPoint = out;
        }
        // 5.
        if (firstPlacement == 0 || world.MissionNumber() == 0) {
            if (Squad* pool = Pool(kStructureKind)) {
                for (GameObject* s : Members(*pool)) {
                    if (s->GetKind() != ObjectKind::kDeployed || !IsSet(owner.rallyPoint)) continue;
                    s->UndeployNow();
                    s->ClearGoals();
                    s->ExecuteOrder(1, kMoveFlags, owner.rallyPoint, SimId(), 0);
                }
            }
        }
    }
    // 6.
    firstPlacement = 0;
    return result;
}

namespace {

// A deposit another factory stands open on is taken. An ally's is counted in no enemy strength,
// and the sites round it pass the terrain test the site search makes; a factory sent there could
// never unfold, and chose it again each time it looked, for the rest of the game.
bool MinedByAnotherFactory(World& world, GameObject& own, GameObject& deposit) {
    for (int team = 1; team < World::kTeams; ++team) {
        GameObject* factory = world.TeamFactory(team);
        FactoryProduction* production =
            factory && factory != &own ? AsFactoryProduction(factory) : nullptr;
        if (production && production->MinedDeposit() == &deposit) return true;
    }
    return false;
}

}  // namespace

GameObject* SquadPoolManager::ChooseDeposit() {
    World& world = *TheWorld();
    GameObject* factory = owner.Factory();
    FactoryProduction* production = AsFactoryProduction(factory);
    InfluenceGrid* grid = owner.Grid();
    // 1.
    if (!factory || !grid) return nullptr;
    const int32_t ownFire = factory->GetFirePower();
    const int32_t ownHealth = unit_traits::HealthOf(factory);
    GameObject* linked = production ? production->MinedDeposit() : nullptr;
    const int32_t ownStored = factory->GetStored();
    int64_t stored = ownStored;
    if (linked) stored += int64_t{linked->GetStored()} + kDepositReserve;
    // 2, 3. The least enemy firepower, then the nearest to the factory, first on ties.
    GameObject* best = nullptr;
    int32_t bestKey = 0;
    double bestDistance = 0.0;
    std::vector<InfluenceCell*> cells;
    for (GameObject* deposit : Objects(world.oreDeposits)) {
        if (deposit == linked || MinedByAnotherFactory(world, *factory, *deposit)) continue;
        if (ownStored < kDepositReserve && int64_t{ownStored} + deposit->GetStored() < stored)
            continue;
        cells.clear();
        if (InfluenceCell* cell = grid->CellAt(deposit->GetPosition()))
            grid->CellsInRing(*cell, cells, 1, 1);
        int32_t fire = 0;
        int32_t health = 0;
        grid->SumCategories(cells, owner.Team(), fire, health, 0, InfluenceGrid::kAllCategories);
        if (fire >= ownFire || health >= ownHealth) continue;
        const double d = Distance(factory->GetPosition(), deposit->GetPosition());
        if (!best || fire < bestKey || (fire == bestKey && d < bestDistance))
            best = deposit, bestKey = fire, bestDistance = d;
    }
    return best;
}

int SquadPoolManager::FindFactorySite(GameObject& factory, GameObject& deposit, Point& out) {
    World& world = *TheWorld();
    FactoryProduction* production = AsFactoryProduction(&factory);
    TerrainMap* map = world.terrain.get();
    if (!production || !map) return 0;
    // 1.
    const Rect r = deposit.GetBounds();
    const int n = map->CountTerrainInRect(r, 'c');
    // 2.
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    map->PixelToCell(r.origin, top, left);
    map->PixelToCell(r.BottomRight(), bottom, right);
    const Size cells = map->SizeInCells();
    top = std::max(0, top - 2), left = std::max(0, left - 2);
    bottom = std::min(cells.h - 1, bottom + 2), right = std::min(cells.w - 1, right + 2);
    // 3.
    const Point exitOffset = production->UnfoldedCentre() - factory.GetPosition();
    const Size frame = production->UnfoldedSize();
    const Point last = r.BottomRight();
    // 4.
    std::vector<Candidate> candidates;
    for (int c = left; c <= right; ++c) {
        for (int row = top; row <= bottom; ++row) {
            const Point q = map->CellCenter(row, c);
            const Point exit = q + exitOffset;
            if (exit.x < r.origin.x || exit.y < r.origin.y || exit.x > last.x || exit.y > last.y)
                continue;
            if (!production->CanUnfoldAt(q) || !production->IsBuildAreaFreeAt(q) ||
                !factory.DocksInsideMap(q))
                continue;
            candidates.push_back({n - map->CountTerrainInRect(Rect(q, frame), 'c'), q});
        }
    }
    // 5. A random one of those with the largest key.
    if (candidates.empty()) return 0;
    int32_t largest = candidates.front().key;
    for (const Candidate& c : candidates)
        largest = std::max(largest, c.key);
    std::vector<Point> best;
    for (const Candidate& c : candidates)
        if (c.key == largest) best.push_back(c.at);
    out = best[static_cast<size_t>(RandomRange(0, static_cast<int>(best.size()) - 1))];
    return 1;
}
