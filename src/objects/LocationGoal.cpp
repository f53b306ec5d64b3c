#include "objects/LocationGoal.h"

#include "core/Vector.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

namespace {

constexpr int kTile = TerrainMap::kCellPixels;

// One tile in from the top and left edges; below the last full tile at the right and bottom.
// Without a map there is nothing to keep the point inside.
Point ClampInsideMap(Point p) {
    TerrainMap* terrain = TheObjectWorld().Terrain();
    const Size cells = terrain ? terrain->SizeInCells() : Size();
    if (cells.w < 1 || cells.h < 1) return p;
    if (p.x < kTile) p.x = kTile;
    if (p.y < kTile) p.y = kTile;
    if (p.x > (cells.w - 1) * kTile) p.x = (cells.w - 1) * kTile - 1;
    if (p.y > (cells.h - 1) * kTile) p.y = (cells.h - 1) * kTile - 1;
    return p;
}

}  // namespace

int DefaultLocationTolerance() {
    static int tolerance = 0;
    if (tolerance > 0) return tolerance;
    SightGrid* sight = TheObjectWorld().Sight();
    if (sight) tolerance = sight->CellSize().w / 2;
    return tolerance;
}

LocationGoal::LocationGoal(const SimId& owner, const Point& point, int tolerance,
                           int allowManoeuvres, int finishOnArrival)
    : Goal(owner, allowManoeuvres, finishOnArrival),
      point(ClampInsideMap(point)),
      tolerance(tolerance) {
    DefaultLocationTolerance();
}

LocationGoal::~LocationGoal() = default;

int LocationGoal::IsDone() {
    GameObject* ownerObject = TheObjectWorld().FindObject(owner);
    if (!ownerObject) return 0;
    if (IsOwnersFront(ownerObject) && ownerObject->goals.IsFrontBlocked() && reportFailure == 0)
        return 1;
    if (finishOnArrival == 1) {
        const int distance = static_cast<int>(Vector(point - ownerObject->GetPosition()).magnitude);
        if (distance <= tolerance) return 1;
    }
    return 0;
}

GoalFields LocationGoal::StoredFields() const {
    GoalFields f;
    f.point = point;
    return f;
}
