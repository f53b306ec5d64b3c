#include "objects/ClearWayManoeuvre.h"

#include <algorithm>
#include <cmath>

#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/UnitMakers.h"

namespace {

constexpr int kAsideFlags = 0x17;
constexpr int kBlockedEvent = 3;
constexpr int kWreckKind = 3;
constexpr int kStructureKind = 7;
// The angle of each facing.
constexpr double kFacingAngles[16] = {3.14159, -2.74889, -2.35619, -1.96349, -1.57079, -1.1781,
                                      -0.7854, -0.3927,  0.0,      0.3927,   0.7854,   1.1781,
                                      1.57079, 1.96349,  2.35619,  2.74889};
// The facings a blocker is pushed toward, relative to the asking unit's, in turn.
constexpr int kCycle[3] = {-4, 0, 4};

int blockerCycle = 0;

bool IdleOrBlocked(GameObject* o) {
    return !o->goals.Front() || o->goals.IsFrontBlocked() == 1;
}

}  // namespace

int DefaultPushDistance() {
    static int distance = 0;
    if (distance > 0) return distance;
    // Taken once a sight grid exists: before, every push would order the blocker to its place.
    if (SightGrid* sight = TheObjectWorld().Sight()) distance = 2 * sight->CellSize().w;
    return distance;
}

void RestartBlockerCycle() {
    blockerCycle = 0;
}

int MoveBlockerAside(GameObject* self, GameObject* other, int distance) {
    if (!self || !other) return 0;
    // 1.
    const int d = distance != 0 ? distance : DefaultPushDistance();
    // 2.
    if (self->IsHostileTo(other) == 1) return 0;
    // 3.
    if (other->IsMobile() == 1) {
        if (!IdleOrBlocked(other)) return 0;
        const int k = GameObject::NormaliseFacing(self->facing + kCycle[blockerCycle]);
        blockerCycle = (blockerCycle + 1) % 3;
        const double a = kFacingAngles[k];
        const Point to =
            other->GetPosition() + Point(static_cast<int>(std::floor(d * std::cos(a) + 0.5)),
                                         static_cast<int>(std::floor(d * std::sin(a) + 0.5)));
        other->ExecuteOrder(manoeuvre::kStopGuarding, 0, to, SimId(), 0);
        // One step aside at a time: a push replaces the one still queued rather than adding to
        // it, so a unit pushed by friend after friend steps aside once and takes up its errand.
        other->goals.RemovePushedAside();
        const Goal* before = other->goals.Front();
        other->ExecuteOrder(manoeuvre::kMove, kAsideFlags, to, SimId(), 0);
        if (Goal* aside = other->goals.Front(); aside && aside != before) aside->movedAside = 1;
        return 1;
    }
    // 4.
    const int kind = other->GetKind();
    if ((kind == kStructureKind || kind == kWreckKind) && IdleOrBlocked(other)) {
        SimId otherId = other->id;
        manoeuvre::Report(*self, kBlockedEvent, self, &otherId);
    }
    return 0;
}

ClearWayManoeuvre::ClearWayManoeuvre(int32_t searchDocks) : searchDocks(searchDocks) {
    DefaultPushDistance();
}

ClearWayManoeuvre::~ClearWayManoeuvre() = default;

// Whom the manoeuvre asks aside. A rule of our own:
//
// | case                          | what happens               | departs from, and why         |
// |-------------------------------|----------------------------|-------------------------------|
// | the unit in the way, or round | left where it is, and the  | asked aside at every run: a   |
// | a dock, was sent aside (by    | search goes on to the next | friend in a crowd round a     |
// | this rule or the rule for a   | one; asked again kAsideMs  | repairer's dock, its step     |
// | friend in the way) within     | after (Sim::FriendWay)     | aside refused, was pushed 15  |
// | kAsideMs                      |                            | times a second, for minutes,  |
// |                               |                            | and never left                |
// | the same, asked by the        | the same                   | asked at every update while   |
// | factory: its product's place  |                            | the place stays shut: a unit  |
// | at the door, or its own as it |                            | on its errand before the door |
// | unfolds or folds, or off the  |                            | was pushed 158 times a minute,|
// | roll-out square once the      |                            | each step aside replaced by   |
// | product has waited            |                            | the next before it was taken; |
// | (FactoryBuilding::            |                            | asked off the square besides, |
// | AskOffRollOut)                |                            | 26 times a minute             |
int ClearWayManoeuvre::AskAside(Sim& sim, GameObject& other, AsideCaller caller) {
    auto* friendSim = dynamic_cast<Sim*>(&other);
    if (friendSim && friendSim->friendWay.asideMs > 0) return 0;
    const int pushed = TheObjectWorld().Makers().MoveBlockerAside(&sim, &other, 0, caller);
    if (pushed == 1 && friendSim) friendSim->friendWay.asideMs = Sim::kAsideMs;
    return pushed;
}

int ClearWayManoeuvre::Execute(Sim& sim) {
    ObjectWorld& world = TheObjectWorld();
    // 1.
    SimId blockerId;
    sim.GetBlockingSim(blockerId);
    GameObject* blocker = world.FindObject(blockerId);
    int result = 0;
    // 2.
    Goal* front = sim.goals.Front();
    if (front && front->reportFailure == 1 && sim.goals.IsFrontBlocked() == 1 && blocker &&
        front->GetTarget() != blocker)
        result = AskAside(sim, *blocker, AsideCaller::ClearWay);
    // 3.
    PathGrid* paths = world.Paths();
    if (front || result != 0 || searchDocks != 1 || !paths) return result;
    for (int dock = 0; dock < sim.DockCount() && result == 0; ++dock) {
        short row = 0, column = 0;
        paths->PixelToCell(sim.GetDockPoint(dock), row, column);
        for (int r = std::max(0, row - 1); r <= std::min(paths->Rows() - 1, row + 1); ++r) {
            for (int c = std::max(0, column - 1); c <= std::min(paths->Columns() - 1, column + 1);
                 ++c) {
                for (int layer = 1; layer <= 2 && result == 0; ++layer) {
                    auto* occupant = dynamic_cast<GameObject*>(paths->Occupant(r, c, layer));
                    if (occupant && occupant != &sim)
                        result = AskAside(sim, *occupant, AsideCaller::ClearWayDocks);
                }
            }
        }
    }
    // 4.
    return result;
}
