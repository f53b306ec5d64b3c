// The unit's step along its route: the movement budget against the move delay, the route
// request from the World's queued search, the turn-then-move rule, what a blocked step does,
// the stop at weapon range and the artifact pick-up. Where a step is refused or a search finds
// no way, the rules of our own that go beyond these steps are BlockedStepPolicy's, one table.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "catalogue/WeaponTemplate.h"
#include "core/NodeList.h"
#include "core/Vector.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "objects/Artifact.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/CommandBuffer.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/PartAttachment.h"
#include "objects/Sim.h"
#include "objects/SimGroup.h"

namespace {

constexpr int kDebugDelay = 10;
constexpr int kRefuelStructure = 4;
constexpr int kGroupRouteMargin = 192;
constexpr double kMovingGroupScale = 0.5;
constexpr int kBlockerChain = 10;
constexpr int kArtifactKind = 8;

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

bool IsMoveOrAttack(const Goal* g) {
    const int type = g->GetType();
    return type == static_cast<int>(GoalType::Location) ||
           type == static_cast<int>(GoalType::Target);
}

}  // namespace

int Sim::StepMovement() {
    ObjectWorld& world = TheObjectWorld();
    int delay = GetMoveDelay();
    if (world.DebugMode() == 1) delay = kDebugDelay;
    if (world.TeamHasStructure(GetTeam(), kRefuelStructure) == 1)
        delay = std::max(1, delay - delay / 4);
    if (moveTime <= delay) return 0;
    const int steps = moveTime / delay;
    moveTime -= steps * delay;
    const double distance = steps * std::sqrt(2.0);
    if (BlockedStepPolicy::AttackHurtsNothing(*this)) return 1;
    Goal* front = goals.Front();
    if (!front || RequestRoute(front) == 0) return 1;
    front = goals.Front();
    if (!front) return 1;
    const Vector aim(front->GetAimPoint() - position);
    if (TargetInRange(goals.FirstUnfinished()) == 1 && pressOn == 0)
        goals.UnblockFront();
    else
        MoveAlong(distance, front, aim);
    return 1;
}

int Sim::RequestRoute(Goal* front) {
    ObjectWorld& world = TheObjectWorld();
    const int type = front->GetType();
    // An enemy within weapon reach is fired at from where the unit stands, or pressing on, on
    // the way straight to it: no route is asked, and a route's flag stays as it is until the
    // enemy leaves that reach. So is a wreck the unit shoots out of its way (BlockedStepPolicy's
    // "a wreck in the way is fired at"). Any other wreck is still driven at and round: one it does
    // not shoot, left unsearched, held a unit for good, and one held behind another wreck stood for
    // minutes.
    if (type == static_cast<int>(GoalType::Target) &&
        (InReach(front) == 1 || WreckInReach(front->GetTarget()) == 1))
        return 1;
    if (type == static_cast<int>(GoalType::Target) && front->active == 1) {
        front->active = 0;
        return 0;
    }
    // A target that is gone has no place to go to, and one of another team that the unit cannot
    // see ends all the same in the goal loop of this update: no search is spent on it (the
    // table beside manoeuvre::PursuitOf).
    if (type == static_cast<int>(GoalType::Target)) {
        GameObject* target = front->GetTarget();
        if (!target || (target->GetTeam() != GetTeam() && CanSee(target) == 0)) {
            // Out of sight, a blocker is in the way no more: the step a search would give clears
            // it, and without that step the attack on the blocker came back every update, the
            // unit standing for minutes.
            if (target && target->id == blockingSim) blockingSim = SimId();
            return 0;
        }
    }
    if (local != 1 || !IsMoveOrAttack(front) || front->waypoint != 0 || front->active != 0)
        return 1;
    if (BlockedStepPolicy::PlaceBeyondReach(*this, front)) return 0;
    if ((routeTimer.period > 0 && !routeTimer.Expired()) || world.TakePathTurn(this) == 0) return 0;
    const int retry = routeWait == 1 && front->retried == 0 ? 1 : 0;
    int radius = 0;
    if (InMovingGroup() == 1)
        radius =
            static_cast<int>(Vector(front->GetLocation() - position).magnitude) + kGroupRouteMargin;
    const int pending = routeWait;
    routeWait = 1;
    GameObject* aimedAt = type == static_cast<int>(GoalType::Target) ? front->GetTarget() : nullptr;
    const SimId targetId = aimedAt ? aimedAt->id : SimId();
    SearchGoingOn& going = searchGoingOn;
    if (going.held == 1 && (going.type != type || going.target != targetId ||
                            (!aimedAt && going.asked != front->GetLocation())))
        going = SearchGoingOn();
    const Point asked = going.held == 1 ? going.asked : front->GetLocation();
    NodeList route;
    const int found = world.RequestPath(this, asked, route, retry, radius);
    if (world.RouteRequestsDeferred() == 1) {
        world.QueuePathRequest(this);
        return 0;
    }
    // A search cut short on its node budget is no answer yet: the unit is served again with the
    // same request (the same point, the same retry), and the search goes on where it stopped.
    // Taken as a failed search, every route longer than two budgets (round a river to its
    // bridge) failed for good, and a goal whose earlier retry had been found stood blocked, asked
    // again every 5 s, for minutes.
    going = SearchGoingOn();
    if (found == 0 && world.RouteSearchGoesOn() == 1) {
        going = SearchGoingOn{1, type, targetId, asked};
        routeWait = pending;
        world.QueuePathRequest(this);
        return 0;
    }
    routeAroundFriends = 0;
    if (found == 1) {
        routeWait = 0;
        turnAndMove = 0;
        int flags = 7;
        int repeated = 0;
        int pushedAside = 0;
        const Goal* rest = nullptr;
        if (type == static_cast<int>(GoalType::Location)) {
            std::unique_ptr<Goal> popped = PopGoal();
            repeated = popped && popped->repeat == 1 ? 1 : 0;
            pushedAside = popped ? popped->movedAside : 0;
            rest = goals.Front();
            front = nullptr;
        } else {
            flags |= kWaypoint;
        }
        world.FollowWaypoints(this, route, flags);
        // The route of a step aside is the step aside still: a later push replaces all of it.
        if (pushedAside == 1)
            for (Goal* g = goals.Front(); g && g != rest; g = goals.Next(g))
                g->movedAside = 1;
        if (Goal* order = goals.FirstUnfinished()) {
            order->RefreshLocation();
            order->active = 1;
            if (order->GetLocation() != asked) {
                Point where = asked;
                SendEvent(6, &where);
            }
            if (repeated == 1) order->repeat = 1;
            if (retry == 1) order->retried = 1;
        }
        world.Commands().SendGoal(this, goals.Front());
        return 1;
    }
    if (GameObject* target = BlockedStepPolicy::TargetFillingTheCellBeside(*this, front)) {
        blockingSim = target->id;
        BlockedStepPolicy::GiveUp(*this, BlockedStepPolicy::kTargetFillsCellBeside, false);
        return 0;
    }
    if (retry == 1) {
        goals.BlockFront();
        if (front->reportFailure == 1) {
            SendEvent(4, this);
            front->reportFailure = 0;
        }
        // The repair and refuel manoeuvres learn of the failed trip.
        MarkEconomyRouteFailed(*this, 1);
        BlockedStepPolicy::AttackRetryFailed(*this, aimedAt);
        return 1;
    }
    if (front->retried == 1) {
        goals.BlockFront();
        routeTimer.period = kRouteHoldMs;
        routeTimer.Start();
    }
    if (!blockingSim.IsNull()) {
        SimId blocker = blockingSim;
        SendEvent(3, &blocker);
    }
    return 0;
}

int Sim::RouteSearchHeld() const {
    Timer hold = routeTimer;
    return hold.period > 0 && !hold.Expired() ? 1 : 0;
}

void Sim::TurnToward(const Vector& v) {
    facing = GameObject::TurnToward(facing, v, 1);
}

int Sim::MoveAlong(double distance, Goal* front, const Vector& aim) {
    ObjectWorld& world = TheObjectWorld();
    const int before = facing;
    if (aim.magnitude >= 1.0) TurnToward(aim);
    if (facing != before && turnAndMove == 0) return 1;
    if (aim.magnitude >= 1.0) turnAndMove = 1;
    Point target;
    if (distance < aim.magnitude) {
        const Vector step(aim.angle, distance);
        target = position + Point(RoundHalfUp(step.x), RoundHalfUp(step.y));
    } else {
        target = front->GetLocation();
    }
    GameObject* blocker = nullptr;
    const int placed = world.PlaceObject(this, target, &blocker);
    if (placed == 0 && local == 1) {
        BlockedStepPolicy::ObstacleInTheWay(*this, blocker);
        SimId blockerOfBlocker;
        if (blocker) blocker->GetBlockingSim(blockerOfBlocker);
        if (blocker && (blocker->GetCollision()->OwnMask() & GetEnemyMask()) == 0) {
            BlockedStepPolicy::FriendInTheWay(*this, blocker);
        } else if (blocker && front->GetTarget() == blocker) {
            blockingSim = blocker->id;
            goals.BlockFront();
        } else if (blocker && (blocker->IsMoving() == 1 || blocker->IsWaiting() == 1)) {
            waiting = 1;
            BlockedStepPolicy::BlockerOnTheMove(*this, *blocker);
        } else if (blocker && InMovingGroup() == 1 && blocker->groupId == groupId &&
                   blocker->goals.Front() && blockerOfBlocker != id) {
        } else if (BlockerOnDestination(blocker) == 1) {
            if (blocker) {
                blockingSim = blocker->id;
                goals.BlockFront();
            }
        } else {
            goals.DropFinished();
        }
    }
    if (placed == 0) {
        blockingSim = blocker ? blocker->id : SimId();
    } else {
        PickUpArtifact();
        goals.UnblockFront();
        blockingSim = SimId();
        friendWay.heldMs = -1;
    }
    return placed;
}

int Sim::BlockerOnDestination(GameObject* blocker) {
    Goal* front = goals.Front();
    if (!front) return 0;
    const Rect destination(front->GetLocation(), GetSize(), 'c');
    ObjectWorld& world = TheObjectWorld();
    GameObject* o = blocker;
    for (int i = 0; o && i < kBlockerChain; ++i) {
        const Rect overlap = o->GetBounds().Intersect(destination);
        if (overlap.extent.w > 0 && overlap.extent.h > 0) return 1;
        SimId next;
        o->GetBlockingSim(next);
        o = world.FindObject(next);
    }
    return 0;
}

// A group squeezed below half its width no longer moves as one body.
int Sim::InMovingGroup() {
    if (groupId.IsNull()) return 0;
    auto* group = dynamic_cast<SimGroup*>(TheObjectWorld().FindGroup(groupId));
    return group && group->RouteScale() > kMovingGroupScale ? 1 : 0;
}

int Sim::InReach(Goal* goal) {
    GameObject* target = goal ? goal->GetTarget() : nullptr;
    PartAttachment* reaching = BlockedStepPolicy::ReachingWeapon(*this, target);
    if (!target || !reaching || IsHostileTo(target) != 1) return 0;
    return reaching->InRange(position, target) == 1 ? 1 : 0;
}

int Sim::WreckInReach(GameObject* target) {
    if (!target || target->id != lastAttacker || target->id != blockingSim ||
        target->GetKind() != ObjectKind::kWreck)
        return 0;
    PartAttachment* longest = LongestRangeWeapon();
    return longest && longest->InRange(position, target) == 1 ? 1 : 0;
}

int Sim::TargetInRange(Goal* goal) {
    if (InReach(goal) != 1) return 0;
    // The controller reads the target from the third argument.
    SendEvent(5, goal->GetTarget());
    return 1;
}

void Sim::PickUpArtifact() {
    if (local != 1 || Artifact::MayBeTakenBy(this) == 0) return;
    ObjectWorld& world = TheObjectWorld();
    auto* artifact = dynamic_cast<Artifact*>(world.ArtifactAt(position));
    if (!artifact || artifact->GetKind() != kArtifactKind) return;
    artifact->PickUp(this);
    world.Commands().SendScenarioObjectTrigger(artifact, this);
}
