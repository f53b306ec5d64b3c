// The unit's step along its route: the movement budget against the move delay, the route
// request from the World's queued search, the turn-then-move rule, what a blocked step does,
// the stop at weapon range and the artifact pick-up.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "catalogue/WeaponTemplate.h"
#include "core/EventReceiver.h"
#include "core/NodeList.h"
#include "core/Vector.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "objects/Artifact.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/CommandBuffer.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/PartAttachment.h"
#include "objects/Sim.h"
#include "objects/SimGroup.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"

namespace {

constexpr int kDebugDelay = 10;
constexpr int kRefuelStructure = 4;
constexpr int kGroupRouteMargin = 192;
constexpr double kMovingGroupScale = 0.5;
constexpr int kBlockerChain = 10;
constexpr int kArtifactKind = 8;
// The flags of a step aside, as the shared push rule orders it, and pi as facings take it.
constexpr int kAsideFlags = 0x17;
// How far apart the points of a step aside's way are looked at.
constexpr int kAsideWayPixels = 4;
constexpr double kPi = 3.14159;

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

bool IsMoveOrAttack(const Goal* g) {
    const int type = g->GetType();
    return type == static_cast<int>(GoalType::Location) ||
           type == static_cast<int>(GoalType::Target);
}

// What a route search that found no way means for a target goal. The search moves a goal
// whose cell is closed to the nearest open cell, and finds no way when that is the unit's own.
// One rule of our own:
//
// | case                        | what happens              | departs from, and why          |
// |-----------------------------|---------------------------|--------------------------------|
// | the unit stands on a cell   | the target counts as what | a failed search blocking the   |
// | beside its target goal's    | blocks the unit, as when  | goal and holding the next one  |
// | cell and no way was found   | a step into it is         | 5 s, again and again: a goal   |
// |                             | refused: its goal ends    | without manoeuvres that had    |
// |                             | as on that refusal        | been retried never ended, and  |
// |                             |                           | a scavenger stood beside its   |
// |                             |                           | wreck for the rest of the game |
//
// The target is returned when the case holds, else null.
GameObject* TargetFillingTheCellBeside(Sim& sim, Goal* front) {
    if (front->GetType() != static_cast<int>(GoalType::Target)) return nullptr;
    GameObject* target = front->GetTarget();
    PathGrid* paths = TheObjectWorld().Paths();
    if (!target || !paths) return nullptr;
    short row = 0, column = 0, goalRow = 0, goalColumn = 0;
    paths->PixelToCell(sim.GetPosition(), row, column);
    paths->PixelToCell(front->GetLocation(), goalRow, goalColumn);
    const int apart = std::max(std::abs(row - goalRow), std::abs(column - goalColumn));
    return apart <= 1 ? target : nullptr;
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
    // enemy leaves that reach. So is a wreck the unit shoots out of its way (the table beside
    // manoeuvre::PursuitOf). Any other wreck is still driven at and round: one it does not
    // shoot, left unsearched, held a unit for good, and one held behind another wreck stood for
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
        if (!target || (target->GetTeam() != GetTeam() && CanSee(target) == 0)) return 0;
    }
    if (local != 1 || !IsMoveOrAttack(front) || front->waypoint != 0 || front->active != 0)
        return 1;
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
    if (GameObject* target = TargetFillingTheCellBeside(*this, front)) {
        blockingSim = target->id;
        goals.BlockFront();
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
        // An attack whose way is not found ends, and the attack manoeuvre gives it again at
        // once: the next search waits (the table beside manoeuvre::PursuitOf).
        if (aimedAt && IsHostileTo(aimedAt) == 1) {
            routeTimer.period = kRouteHoldMs;
            routeTimer.Start();
        }
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
        // An enemy or a wreck in the way that is not the unit's target is taken as one that
        // attacks it, unless one its weapons reach does already, so that its weapons turn on it
        // (FireControl's obstacle in the way). Left alone, a unit whose order led past an enemy
        // busy elsewhere stood behind it for minutes, firing at nothing, as the route asked
        // again led through it; and an army held in a field of wrecks before an enemy base stood
        // there for minutes, each unit asking a way round every step (the computer player's
        // rule names a wreck so only once a route search has failed, and the next route's
        // orders forget it at once). A wreck so named is forgotten after kFriendHoldMs (Update).
        GameObject* attacker = world.FindObject(lastAttacker);
        const bool wreck = blocker && blocker->GetKind() == ObjectKind::kWreck;
        if (blocker && ((blocker->GetTeam() != 0 && IsHostileTo(blocker) == 1) || wreck) &&
            front->GetTarget() != blocker && (!attacker || CanEngage(attacker) == 0) &&
            lastAttacker != blocker->id) {
            SetLastAttacker(blocker);
            if (wreck) {
                friendWay.wreck = blocker->id;
                friendWay.wreckMs = 0;
            }
        }
        SimId blockerOfBlocker;
        if (blocker) blocker->GetBlockingSim(blockerOfBlocker);
        if (blocker && (blocker->GetCollision()->OwnMask() & GetEnemyMask()) == 0) {
            FriendInTheWay(blocker);
        } else if (blocker && front->GetTarget() == blocker) {
            blockingSim = blocker->id;
            goals.BlockFront();
        } else if (blocker && (blocker->IsMoving() == 1 || blocker->IsWaiting() == 1)) {
            waiting = 1;
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

// A friend of the unit's own side (or a wreck, which no side's mask counts) refused its step.
// Where it is given, a friendly blocker is only remembered for the clear-way manoeuvre, which
// runs for miners and scavengers whose route failed; every other unit stood behind its friends
// for good. The rule, first case that applies ("on an errand": holding an order of its own, not
// only a step aside):
//
// | the friend in the way              | the unit                    | departs from, and why    |
// |------------------------------------|-----------------------------|--------------------------|
// | a wreck                            | waits, firing at it; held   | "nothing more": it asked |
// |                                    | kFriendHoldMs since its     | a way round at every     |
// |                                    | last step, asks a route     | refused step, each       |
// |                                    | that counts its friends     | leading back to a wreck  |
// | a structure, where a structure     | gives the errand up as a    | "nothing more": a route  |
// | (it or another) covers the side of | route not found twice       | round friends ends short |
// | the target its errand leads to     | (reported once, a repair or | and the unit came back   |
// |                                    | refuel trip told)           | to the structure for good|
// | any other structure (never moves)  | asks a route that counts    | "nothing more": the way  |
// |                                    | its friends                 | stays shut for good      |
// | not on an errand, and not sent     | sends it aside by the       | "nothing more": an idle  |
// | aside by this rule within kAsideMs | shared rule (which moves    | friend on a gathering    |
// |                                    | only one idle or blocked)   | point held all sent there|
// | held by this unit (face to face,   | steps aside itself, at most | "nothing more": the two  |
// | the push refused or not tried),    | once in kAsideMs, never     | stood for good, and      |
// | this one the one that yields: the  | toward the friend: across   | pushing the other drove  |
// | one without an errand where the    | its way, else across the    | it off its errand; in a  |
// | friend has one, else the later     | line to the friend, else    | passage one cell wide    |
// | made (the greater serial)          | straight back from it; an   | only backing out clears. |
// |                                    | errand stays behind the     | Taken by a unit on an    |
// |                                    | step, a step aside it was   | errand only: two, one or |
// |                                    | taking is replaced; where   | none with an errand, the |
// |                                    | it can take none of these   | other stepping aside,    |
// |                                    | places, as the next row     | each asked a way round   |
// |                                    |                             | at the same moment, took |
// |                                    |                             | mirrored ways and met    |
// |                                    |                             | again, for minutes; sent |
// |                                    |                             | to the last place tried, |
// |                                    |                             | one between two friends  |
// |                                    |                             | stepped into the one     |
// |                                    |                             | behind it and back       |
// | any other (on the move, a line,    | waits; held kFriendHoldMs   | "nothing more": a line   |
// | crowd or ring each waiting on the  | since its last step, asks a | or ring each waiting on  |
// | next, the friend that yields, or   | route that counts its       | the next never cleared;  |
// | the above within kAsideMs)         | friends, again each         | pushed at every step, a  |
// |                                    | kFriendHoldMs               | friend never took one    |
//
// One exception stays elsewhere, for it belongs to the factory's door: once a finished product
// has waited there a while, a friend on its way standing on the roll-out square behind another
// is taken as blocked for the door's push (FactoryBuilding::StepReserveAndOpen). Beside it, no
// unit on an errand is pushed by this rule, whoever passes. Every wait counts game time (Update),
// which stands still while the battle is paused.
void Sim::FriendInTheWay(GameObject* blocker) {
    ObjectWorld& world = TheObjectWorld();
    if (friendWay.heldMs < 0) friendWay.heldMs = 0;
    auto roundFriends = [this] {
        routeAroundFriends = 1;
        goals.DropFinished();
        friendWay.heldMs = 0;
    };
    if (blocker->GetKind() == ObjectKind::kWreck &&
        (!goals.Front() || goals.Front()->GetTarget() != blocker)) {
        if (friendWay.heldMs >= kFriendHoldMs) roundFriends();
        return;
    }
    if (blocker->IsMobile() == 0) {
        // A target's side that a structure covers, this one or another (a repairer sent beside a
        // deployed unit that stands against the factory): no route round friends ever ends there.
        Goal* order = goals.FirstUnfinished();
        GameObject* covering = nullptr;
        if (order && order->GetType() == static_cast<int>(GoalType::Target) &&
            world.CanPlace(this, order->GetLocation(), &covering, 0, 0) == 0 && covering &&
            covering->IsMobile() == 0)
            return GiveUpTrip();
        return roundFriends();
    }
    auto onErrand = [](const GameObject& o) {
        bool errand = false;
        o.goals.ForEach([&errand](const Goal& g) {
            errand = errand || (g.movedAside == 0 && g.waypoint == 0);
        });
        return errand;
    };
    const bool errand = onErrand(*blocker);
    auto* friendSim = dynamic_cast<Sim*>(blocker);
    if (!errand && (!friendSim || friendSim->friendWay.asideMs == 0) &&
        world.Makers().MoveBlockerAside(this, blocker, 0, AsideCaller::FriendInTheWay) == 1) {
        if (friendSim) friendSim->friendWay.asideMs = kAsideMs;
        return;
    }
    // Of two face to face exactly one yields, so that they never both wait and seek mirrored
    // ways round each other at the same moment.
    const bool ownErrand = onErrand(*this);
    const bool yields = errand != ownErrand ? errand : blocker->id.serial < id.serial;
    if (yields && BlockersLeadBack(blocker) == 2 && friendWay.asideMs == 0 &&
        StepAsideFor(*blocker) == 1)
        return;
    if (friendWay.heldMs >= kFriendHoldMs) roundFriends();
}

// The unit's own step aside for a friend face to face: across its way, one side then the other
// in turn, but never toward the friend (with the friend beside its way, one of them lies on the
// friend's side and the same friend refused it again and again); else across the line to the
// friend, or straight back from it where both are shut. It goes ahead of the errand, as a
// push's would, and a later push replaces it. Where none of these places can be taken it takes
// no step, and the caller goes on to its next case.
int Sim::StepAsideFor(const GameObject& friendInTheWay) {
    ObjectWorld& world = TheObjectWorld();
    const int d = DefaultPushDistance();
    const Point from = friendInTheWay.position;
    const int toFriend = FacingFromAngle(Vector(from - position).angle);
    const int side = friendWay.turn % 2 == 0 ? -4 : 4;
    const int facings[5] = {facing + side, facing - side, toFriend + side, toFriend - side,
                            toFriend + 8};
    ++friendWay.turn;
    // How far a step goes toward the friend: above 0, it does.
    auto toward = [this, &from](const Point& step) {
        return int64_t{step.x} * (from.x - position.x) + int64_t{step.y} * (from.y - position.y);
    };
    auto stepTo = [](int k, int length) {
        const double a = NormaliseFacing(k) * kPi / 8 - kPi;
        return Point(RoundHalfUp(length * std::cos(a)), RoundHalfUp(length * std::sin(a)));
    };
    // A place it can take: its straight way there, every kAsideWayPixels and the place itself,
    // free of ground it cannot cross and of other objects, and the place outside every friend's
    // outline (wider than the cell the grid marks: half a step beside a ring of friends round a
    // dock ended inside one, and the two took turns stepping into each other).
    auto canTake = [&](const Point& step, int length) {
        const int parts = std::max(1, length / kAsideWayPixels);
        for (int i = 1; i <= parts; ++i) {
            const Point p = position + Point(step.x * i / parts, step.y * i / parts);
            if (world.CanPlace(this, p, nullptr, 0, 0) != 1) return false;
        }
        bool amongFriends = false;
        world.ForEachSim(GetTeam(), [&](GameObject* o) {
            amongFriends = amongFriends || (o != this && o->ContainsPoint(position + step) == 1);
        });
        return !amongFriends;
    };
    // Each way a full step, else half of one: in a passage two cells wide every full step across
    // met the wall, and the unit that yields stood face to face with its friend until both sought
    // mirrored ways round at the same moment, again and again.
    std::optional<Point> to;
    for (const int k : facings) {
        for (const int length : {d, d / 2}) {
            const Point step = stepTo(k, length);
            if (!to && toward(step) <= 0 && canTake(step, length)) to = position + step;
        }
    }
    if (!to) return 0;
    goals.RemovePushedAside();
    const Goal* before = goals.Front();
    ExecuteOrder(kOrderMove, kAsideFlags, *to, SimId(), 0);
    if (Goal* aside = goals.Front(); aside && aside != before) aside->movedAside = 1;
    friendWay.asideMs = kAsideMs;
    return 1;
}

// The errand ends as one whose route was not found twice: blocked, its failure reported once,
// and a repair or refuel trip told so that it can choose again.
void Sim::GiveUpTrip() {
    TheObjectWorld().Orders().GivenUpByRule(*this, "a structure covers the trip's end");
    goals.DropFinished();
    goals.BlockFront();
    if (Goal* front = goals.Front(); front && front->reportFailure == 1) {
        SendEvent(4, this);
        front->reportFailure = 0;
    }
    MarkEconomyRouteFailed(*this, 1);
}

// A wreck named the unit's attacker as it refused a step makes the attack manoeuvre hold the
// unit before it, firing, until it is shot away: a minute or two for one weapon. Named so
// kFriendHoldMs ago, it is forgotten and a way round friends and wrecks is asked, as for a
// wreck that holds a unit without firing (FriendInTheWay). One the computer player names after
// a failed route search is not touched.
void Sim::ForgetWreckInTheWay() {
    if (friendWay.wreck.IsNull() || friendWay.wreckMs < kFriendHoldMs) return;
    if (lastAttacker == friendWay.wreck) {
        lastAttacker = SimId();
        routeAroundFriends = 1;
        goals.DropFinished();
    }
    friendWay.wreck = SimId();
}

void Sim::FriendWay::Count(int elapsedMs) {
    if (heldMs >= 0) heldMs += elapsedMs;
    if (!wreck.IsNull()) wreckMs += elapsedMs;
    asideMs = std::max(0, asideMs - elapsedMs);
}

// The number of units in the ring when the chain of blockers that starts at the blocker (each
// one's blocking object in turn, at most as many as BlockerOnDestination follows) comes back
// to this unit, this one counted; 0 when it does not.
int Sim::BlockersLeadBack(GameObject* blocker) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* o = blocker;
    for (int i = 0; o && i < kBlockerChain; ++i) {
        SimId next;
        o->GetBlockingSim(next);
        if (next.IsNull()) return 0;
        if (next == id) return i + 2;
        o = world.FindObject(next);
    }
    return 0;
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
    PartAttachment* longest = LongestRangeWeapon();
    if (!target || !longest || IsHostileTo(target) != 1) return 0;
    return longest->InRange(position, target) == 1 ? 1 : 0;
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
