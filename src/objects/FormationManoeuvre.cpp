#include "objects/FormationManoeuvre.h"

#include <algorithm>
#include <cmath>

#include "core/NodeList.h"
#include "core/PointNode.h"
#include "core/Random.h"
#include "core/Vector.h"
#include "map/SightGrid.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/Squad.h"

namespace {

constexpr int kPlaceFlags = 0x1d;

}  // namespace

FormationManoeuvre::FormationManoeuvre() {
    UpdateRadius();
}

FormationManoeuvre::FormationManoeuvre(const Point& centre)
    : centre(centre), recentre(1), spacing(kRingSpacing) {
    UpdateRadius();
}

FormationManoeuvre::~FormationManoeuvre() = default;

void FormationManoeuvre::UpdateRadius() {
    SightGrid* sight = TheObjectWorld().Sight();
    const int r = sight ? std::max(sight->CellSize().w, sight->CellSize().h) : 0;
    tolerance = r + r / 2;
}

int FormationManoeuvre::Execute(Sim& sim) {
    if (sim.IsGuarding() != 1 || sim.goals.Front()) return 0;
    // Made before the land was loaded: the sight cells are known now.
    if (tolerance == 0) UpdateRadius();
    const Point guard = sim.GetGuardPoint();
    if (Vector(guard - sim.GetPosition()).magnitude <= tolerance) return 0;
    manoeuvre::GiveFrontGoal(sim, std::make_unique<LocationGoal>(sim.id, guard, tolerance, 1, 1));
    return 1;
}

void FormationManoeuvre::LayOut(int members, GameObject* leader) {
    // a.
    int ringRadius = members * spacing;
    if (leader) {
        const Size s = leader->GetSize();
        ringRadius = static_cast<int>(std::lround(Vector(s.w, s.h).magnitude / 2)) + spacing;
    }
    // b.
    slotCount = members;
    slots.assign(static_cast<size_t>(members), Place{});
    // c.
    double start = RandomRange(0, 3);
    if (RandomRange(0, 1) == 1) start = -start;
    // d.
    NodeList ring;
    if (members > 0)
        TheObjectWorld().MakeRingPoints(centre, static_cast<unsigned>(std::max(0, ringRadius)),
                                        static_cast<unsigned>(members), ring, start);
    size_t i = 0;
    for (ListNode* n = ring.First(); n && i < slots.size(); n = ring.Next(n), ++i)
        slots[i].offset = static_cast<PointNode*>(n)->value - centre;
    ring.DeleteAll();
    // e.
    UpdateRadius();
}

int FormationManoeuvre::ExecuteForSquad(Squad& squad) {
    ObjectWorld& world = TheObjectWorld();
    // 1.
    GameObject* leader = leaderId.IsNull() ? nullptr : world.FindObject(leaderId);
    if (!leaderId.IsNull() && !leader) return 0;
    // 2.
    bool changed = false;
    if (leader && leader->GetPosition() != centre) {
        centre = leader->GetPosition();
        changed = true;
        recentre = 0;
    } else if (recentre == 1) {
        changed = true;
        recentre = 0;
    }
    // 3.
    const bool laidOut = slotCount != squad.CurrentCount() || changed;
    if (laidOut) LayOut(squad.CurrentCount(), leader);
    // 4.
    std::vector<GameObject*> candidates;
    bool fighting = false;
    for (GameObject* member : manoeuvre::Members(squad)) {
        if (!member->IsCurrent(squad.Id())) continue;
        candidates.push_back(member);
        if (member->goals.HasRepairGoal() != 0) continue;
        Goal* attack = member->goals.AttackGoal(member, 1);
        GameObject* target = attack ? attack->GetTarget() : nullptr;
        if (target && target->IsDestroyed() == 0) {
            fighting = true;
        } else if (attack || laidOut) {
            member->ClearGoals();
        }
    }
    // 5.
    if (fighting) {
        reassign = 1;
        return 0;
    }
    // 6.
    const int anew = reassign;
    reassign = 0;
    int result = 0;
    for (Place& place : slots) {
        const Point p = centre + place.offset;
        if (place.memberId.IsNull() || anew == 1) {
            GameObject* member = manoeuvre::TakeNearest(candidates, p);
            if (!member) continue;
            place.memberId = member->id;
            member->ExecuteOrder(manoeuvre::kStopGuarding, 0, p, SimId(), 0);
            member->ExecuteOrder(manoeuvre::kMove, kPlaceFlags, p, SimId(), 0);
            continue;
        }
        GameObject* member = world.FindObject(place.memberId);
        if (!member) continue;
        if (!member->IsCurrent(squad.Id())) {
            // The ring is laid out anew next time.
            slotCount = 0;
            break;
        }
        if (!member->goals.Front() && member->IsGuarding() == 0) {
            member->ExecuteOrder(manoeuvre::kGuard, 0, member->GetPosition(), SimId(), 0);
            result = 1;
        }
    }
    // 7.
    return result;
}
