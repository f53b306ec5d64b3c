#include "objects/Goal.h"

#include "core/CellGrid.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

Goal::Goal(const SimId& owner, int allowManoeuvres, int finishOnArrival)
    : finishOnArrival(finishOnArrival), allowManoeuvres(allowManoeuvres), owner(owner) {}

Goal::~Goal() = default;

Point Goal::GetLocation() {
    return Point();
}
Point Goal::GetAimPoint() {
    return GetLocation();
}
GameObject* Goal::GetTarget() {
    return nullptr;
}
void Goal::RefreshLocation() {}
int Goal::TargetMoved() {
    return 0;
}
int Goal::GetAmount() {
    return 0;
}
void Goal::Step() {}
int Goal::IsLocation() {
    return 0;
}
int Goal::IsAttack() {
    return 0;
}
int Goal::IsRepair() {
    return 0;
}
int Goal::IsRefuel() {
    return 0;
}
void Goal::Draw(ScreenBase& /*view*/) {}
int Goal::ReservedQuery() {
    return 0;
}
int Goal::HoldsStill() {
    return 0;
}
void Goal::SetParam(int /*value*/) {}
int Goal::GetParam() {
    return 0;
}
GoalFields Goal::StoredFields() const {
    return GoalFields();
}

int Goal::IsAt(const Point& pos, const Point& dest) {
    ObjectWorld& world = TheObjectWorld();
    SightGrid* sight = world.Sight();
    PathGrid* paths = world.Paths();
    if (!sight || !paths) return 0;
    const Size area = sight->AreaSize();
    if (dest.x < 0 || dest.y < 0 || dest.x >= area.w || dest.y >= area.h) return 0;
    short posRow = 0, posColumn = 0, destRow = 0, destColumn = 0;
    paths->PixelToCell(pos, posRow, posColumn);
    paths->PixelToCell(dest, destRow, destColumn);
    return posRow == destRow && posColumn == destColumn ? 1 : 0;
}

int Goal::IsOwnersFront(GameObject* ownerObject) const {
    return ownerObject && ownerObject->goals.Front() == this ? 1 : 0;
}
