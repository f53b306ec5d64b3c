// Docks and facings of map objects: the places beside an object where others park to be
// served, and the sixteen directions objects are drawn in.
#include <cmath>
#include <cstdlib>

#include "core/CellGrid.h"
#include "core/PointNode.h"
#include "core/Vector.h"
#include "map/ObjectKinds.h"
#include "map/SightGrid.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

namespace {

// The map's pixel size and the cell size both come from the sight grid; (0, 0) without one.
Size MapArea() {
    SightGrid* sight = TheObjectWorld().Sight();
    return sight ? sight->AreaSize() : Size();
}

Size CellSize() {
    SightGrid* sight = TheObjectWorld().Sight();
    return sight ? sight->CellSize() : Size();
}

}  // namespace

void GameObject::AppendDock(int flags, const Point& offset) {
    auto* node = new PointNode(offset);
    node->key = flags;
    docks.PushBack(node);
}

PointNode* GameObject::DockAt(int index) const {
    if (index < 0) return nullptr;
    return static_cast<PointNode*>(docks.At(index));
}

Point GameObject::GetDockOffset(int index) {
    PointNode* dock = DockAt(index);
    return dock ? dock->value : Point();
}

Point GameObject::GetDockPoint(int index) {
    PointNode* dock = DockAt(index);
    if (!dock) return Point();
    Point p = position + dock->value;
    const Size area = MapArea();
    if (p.x < 0) p.x = 0;
    if (p.x >= area.w) p.x = area.w - 1;
    if (p.y < 0) p.y = 0;
    if (p.y >= area.h) p.y = area.h - 1;
    return p;
}

int GameObject::FindFreeDock(GameObject* object, int flags) {
    return NearestFreeDock(object, flags, DockClear::OfNothing);
}

int GameObject::FindOpenDock(GameObject* object, int flags) {
    for (const DockClear clear : {DockClear::OfStructures, DockClear::OfFields}) {
        if (const int dock = NearestFreeDock(object, flags, clear); dock != -1) return dock;
    }
    return FindFreeDock(object, flags);
}

bool GameObject::FieldCovers(GameObject* object, const Point& dockPoint) {
    GameObject* covering = nullptr;
    if (TheObjectWorld().CanPlace(object, dockPoint, &covering, 0, 0) != 0 || !covering)
        return false;
    const int kind = covering->GetKind();
    return kind == ObjectKind::kOreDeposit || kind == ObjectKind::kDestructible;
}

int GameObject::NearestFreeDock(GameObject* object, int flags, DockClear clear) {
    ObjectWorld& world = TheObjectWorld();
    int best = -1;
    int bestDistance = 0;
    int index = 0;
    for (ListNode* n = docks.First(); n; n = docks.Next(n), ++index) {
        if ((n->key & flags) != flags) continue;
        if (!object) return index;
        const Point dockPoint = GetDockPoint(index);
        // Only the parking docks (flags exactly 8) count the object's own occupancy too.
        const int relaxed = flags == 8 ? 0 : 1;
        if (!world.CanPlace(object, dockPoint, nullptr, relaxed, 0)) continue;
        if (clear != DockClear::OfNothing && FieldCovers(object, dockPoint)) continue;
        if (clear == DockClear::OfStructures &&
            BlockedStepPolicy::StructureCovering(*object, dockPoint))
            continue;
        const double distance = Vector(dockPoint - object->GetPosition()).magnitude;
        // The best distance is kept rounded, and a later dock must be strictly nearer than
        // that rounded value: the earlier dock wins ties.
        if (best == -1 || distance < bestDistance) {
            best = index;
            bestDistance = static_cast<int>(std::lround(distance));
        }
    }
    return best;
}

int GameObject::DockAreaFits(const Point& p, const Point& offset) {
    const Size area = MapArea();
    const Rect r(p + offset, CellSize(), 'c');
    const Point br = r.BottomRight();
    if (r.origin.x < 0 || r.origin.y < 0 || br.x >= area.w || br.y >= area.h) return 0;
    return TheObjectWorld().IsAreaBuildable(r) ? 1 : 0;
}

int GameObject::DocksInsideMap(const Point& p) {
    for (ListNode* n = docks.First(); n; n = docks.Next(n)) {
        if (!DockAreaFits(p, static_cast<PointNode*>(n)->value)) return 0;
    }
    return 1;
}

int GameObject::IsDockAreaFree(int index, const Point& p) {
    PointNode* dock = DockAt(index);
    return dock ? DockAreaFits(p, dock->value) : 0;
}

int GameObject::NormaliseFacing(int f) {
    const int r = f % kFacings;
    return r < 0 ? r + kFacings : r;
}

int GameObject::FacingFromAngle(double angle) {
    // The constants as the game has always used them, not the exact values of pi.
    const double steps = std::floor(0.5 + (16.0 * (3.14159 + angle)) / 6.28318);
    // The remainder of a negative floor is negative: bring it into 0 .. 15.
    return NormaliseFacing(static_cast<int>(std::fmod(steps, 16.0)));
}

int GameObject::TurnToward(int current, const Vector& direction, int step) {
    const int target = FacingFromAngle(direction.angle);
    if (target == current) return current;
    const int d = std::abs(target - current);
    const bool up =
        (target > current && target - current < 8) || (target < current && current - target >= 8);
    const bool limited = step < d && step < kFacings - d;
    if (!limited) return target;
    if (up) return (current + step) % kFacings;
    const int turned = current - step;
    return turned < 0 ? turned + kFacings : turned;
}
