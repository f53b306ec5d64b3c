#include "objects/ManoeuvreRules.h"

#include <algorithm>
#include <cstdint>

#include "core/EventReceiver.h"
#include "core/PtrNode.h"
#include "core/Vector.h"
#include "map/SightGrid.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/Squad.h"
#include "objects/TargetGoal.h"

namespace manoeuvre {

namespace {

constexpr int kApproachTolerance = 10;

int SeenBy(const Rect& r, int team) {
    SightGrid* sight = TheObjectWorld().Sight();
    return sight ? sight->IsRectVisible(r, team) : 0;
}

int PointSeenBy(const Point& p, int team) {
    SightGrid* sight = TheObjectWorld().Sight();
    return sight ? sight->IsVisible(p, team) : 0;
}

}  // namespace

void SendFrontGoal(GameObject& unit) {
    TheObjectWorld().Commands().SendGoal(&unit, unit.goals.Front());
}

void GiveFrontGoal(GameObject& unit, std::unique_ptr<Goal> goal) {
    if (!goal) return;
    unit.AddGoal(std::move(goal), 0);
    SendFrontGoal(unit);
}

// How a unit goes after a target: the attack while its team's grid shows the target, else an
// approach (one unit: a location goal to the target's centre; a squad member: a move to the
// target's reference point or position, then the attack). Rules of ours for a target of another
// team that the grid shows while terrain or hiding keeps it from the unit (Sim::CanSee 0; it
// answers 1 once any object stands within two cells of the target), and for the route search of
// an attack:
//
//   case                          what happens               departs from, and why
//   grid shows it, CanSee 0       the approach, as for a     the attack. TargetGoal::IsDone
//                                 target the grid does not   ends it at once (CanSee 0), and the
//                                 show                       rule gave it back every tick: armies
//                                                            stood for minutes, never a step
//   as above, a location goal     nothing new (a null goal)  a new approach each manoeuvre run,
//   of the unit already within                               each with its route search: the unit
//   two sight cells of the                                   stood asking a search every other
//   target's footprint                                       step
//   an approach to a centre the   nothing new (a null goal)  a new approach each manoeuvre run:
//   unit's drive cannot reach                                the route to the nearest place it
//   (World::InReachOf)                                       reached replaced the goal and stayed
//                                                            queued, and one unit shot at from
//                                                            across water held 9,000 goals
//   a target goal on such a       no route search; the goal  a search and one step first. It was
//   target in Sim::RequestRoute   ends in this update's      searched every other step, and one
//                                 goal loop (a player's      search a tick among all the units of
//                                 attack order too)          a side kept the others waiting
//   a target goal on any enemy    no route search, the route  a new search every other step (the
//   within weapon reach, in Sim:: flag kept, in Sim::         flag cleared, then asked again): a
//   RequestRoute                  RequestRoute; the unit      unit holding an attack asked up to
//                                 fires from where it stands, 1,200 a minute, and the other units
//                                 or pressing on steps        of its side stood in the queue; two
//                                 straight at the target      pressing on against each other asked
//                                                            720 a minute each, face to face
//
// What a unit does after a refused step or a search that found no way (an attack's failed retry,
// a wreck it shoots out of its way) is BlockedStepPolicy's table.
Pursuit PursuitOf(GameObject& unit, GameObject& target) {
    const int team = unit.GetTeam();
    ObjectWorld& world = TheObjectWorld();
    auto approach = [&] {
        return world.InReachOf(&unit, target.GetCentre()) ? Pursuit::Approach : Pursuit::OnItsWay;
    };
    if (SeenBy(target.GetFootprint(), team) != 1) return approach();
    if (target.GetTeam() == team || unit.CanSee(&target) == 1) return Pursuit::Attack;
    SightGrid* sight = world.Sight();
    const double near = 2.0 * (sight ? sight->CellSize().w : 0);
    // Measured from the target's footprint, not its centre: the route to the centre of a target
    // wider than two sight cells (a factory) ends at its side, farther than that from the
    // centre, and the approach was given again at every run, each with its search.
    const Rect foot = target.GetFootprint();
    auto offFoot = [&foot](const Point& p) {
        const Point far = foot.BottomRight();
        return Vector(Point(std::max({foot.origin.x - p.x, 0, p.x - far.x}),
                            std::max({foot.origin.y - p.y, 0, p.y - far.y})))
            .magnitude;
    };
    for (Goal* g = unit.goals.Front(); g; g = unit.goals.Next(g)) {
        if (g->IsLocation() == 1 && offFoot(g->GetLocation()) <= near) return Pursuit::OnItsWay;
    }
    return approach();
}

// BlockedStepPolicy's "an attacker nothing hurts is not answered", whichever manoeuvre sends the
// unit.
bool LeftUnhurt(GameObject& unit, GameObject& target) {
    auto* sim = dynamic_cast<Sim*>(&unit);
    return sim && BlockedStepPolicy::LeavesUnhurtAttacker(*sim, target);
}

std::unique_ptr<Goal> AttackOrApproach(GameObject& unit, GameObject& target) {
    if (LeftUnhurt(unit, target)) return nullptr;
    switch (PursuitOf(unit, target)) {
        case Pursuit::Attack:
            return std::make_unique<TargetGoal>(unit.id, target.id, Point(0, 0), 1, 1);
        case Pursuit::Approach:
            return std::make_unique<LocationGoal>(unit.id, target.GetCentre(), kApproachTolerance,
                                                  1, 1);
        case Pursuit::OnItsWay:
            break;
    }
    return nullptr;
}

void OrderMemberAgainst(GameObject& member, GameObject& target, int squadTeam, int moveFlags,
                        int attackFlags) {
    if (LeftUnhurt(member, target)) return;
    const int team = member.GetTeam();
    if (PursuitOf(member, target) != Pursuit::Attack) {
        const Point reference = target.GetReferencePoint(squadTeam);
        const Point to = reference != Point(0, 0) && PointSeenBy(reference, team) != 1
                             ? reference
                             : target.GetPosition();
        member.ExecuteOrder(kMove, moveFlags, to, SimId(), 0);
    }
    member.ExecuteOrder(kAttack, attackFlags, target.GetPosition(), target.id, 0);
}

std::vector<GameObject*> Members(const Squad& squad) {
    std::vector<GameObject*> out;
    for (ListNode* n = squad.members.First(); n; n = squad.members.Next(n)) {
        auto* set = static_cast<IdRefSet*>(static_cast<PtrNode*>(n)->Object());
        if (set) out.push_back(static_cast<GameObject*>(set));
    }
    return out;
}

GameObject* TakeNearest(std::vector<GameObject*>& list, const Point& p) {
    if (list.empty()) return nullptr;
    size_t best = 0;
    int64_t bestDistance = INT64_MAX;
    for (size_t i = 0; i < list.size(); ++i) {
        const Point d = list[i]->GetPosition() - p;
        const int64_t distance = static_cast<int64_t>(d.x) * d.x + static_cast<int64_t>(d.y) * d.y;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    GameObject* taken = list[best];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(best));
    return taken;
}

void Report(GameObject& unit, int kind, void* a, void* b) {
    if (EventReceiver* receiver = TheObjectWorld().ControllerOf(unit.GetTeam()))
        receiver->OnEvent(kind, a, b);
}

}  // namespace manoeuvre
