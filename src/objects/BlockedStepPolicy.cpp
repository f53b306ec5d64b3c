// The rules of our own for a unit whose step the map refused or whose route search found no way.
// The movement's own steps (Sim::RequestRoute, Sim::MoveAlong) say: a friend in the way,
// nothing more; the goal's own target in the way, or a blocker on the destination, the goal is
// blocked; a blocker on the move, wait; anything else, ask the route again; a retried search
// that fails ends the goal, a goal that failed so before holds the next search 5 s. Each row
// below departs from that, first row that applies. "On an errand": holding an order of its own,
// not only a step aside; a guard's counts, though no goal of it is queued. "A computer
// player's": of a side the computer plays (ObjectWorld::PlaysForComputer), never the local
// player's side that a controller only guides (the tutorial's). Every wait counts game time
// (Sim::FriendWay::Count), which stands still while the battle is paused; the 5 s hold after a
// second failure is the movement's own.
//
// | blocker; what the unit does  | what happens                | departs from, and why           |
// |------------------------------|-----------------------------|---------------------------------|
// "a wreck in the way is waited on" (kWreckInTheWay):
// | a wreck, not its target; any | waits; held kFriendHoldMs   | "nothing more": it asked a way  |
// | errand                       | since its last step, asks a | round at every refused step,    |
// |                              | route that counts its       | each back to a wreck            |
// |                              | friends                     |                                 |
// "structure covers the errand's side" (kStructureCoversSide):
// | a structure; a trip to a     | gives the errand up as a    | "nothing more": a route round   |
// | place beside a friend        | route not found twice       | friends ends short and the unit |
// | (repair, refuel) that a      | (reported once, a repair or | came back to the structure for  |
// | structure covers, or that    | refuel trip told)           | good; a repairer's way round a  |
// | runs into that friend (a     |                             | deployed client ran into it 4   |
// | deployed one) itself; never  |                             | times a second for minutes. An  |
// | an attack on an enemy        |                             | attack ends by its goal's own   |
// |                              |                             | steps alone                     |
// "a structure in the way is sought round" (kStructureInTheWay):
// | any other structure; any     | asks a route that counts    | "nothing more": the way stays   |
// | errand                       | its friends                 | shut for good                   |
// "a friend holds the unit's place" (kPlaceHeldByFriends):
// | a friend nearer the unit's   | the move counts as arrived: | "nothing more": a move ends     |
// | place (any friend within     | its route stops dropped, it | only on its place, or blocked   |
// | kPostReach of it), within    | ends as a quiet move        | on it by another than a friend. |
// | kCrowdReach; a computer      | blocked on its destination  | A ring of places clamped to the |
// | player's unit (never a       | does, reporting no failure; | map gave one corner to thirty   |
// | player's), a move with       | the attack behind it goes   | units, and an army gathering on |
// | nothing but attacks behind   | on, the formation guards it | its way to an attack all went   |
// | it (never a leg of a         | or the pool deploys it      | to one point: all but one stood |
// | worker's trip), not a        | where it stands             | round it for good, pushing the  |
// | guard's return, to a place   |                             | ones there off their posts. The |
// | another friend holds, of its |                             | three allied armies of level 5  |
// | side or an ally's (not on an |                             | cross each other's rings at the |
// | errand, bound there, or its  |                             | map's edge: one bound for a     |
// | own step refused)            |                             | place an ally's unit stood on,  |
// |                              |                             | held itself, waited a minute    |
// "an idle friend is sent aside" (kIdleFriendSentAside):
// | a friend not on an errand    | sends it aside by the       | "nothing more": an idle friend  |
// | (a guard at its post is on   | shared rule (which moves    | on a gathering point held all   |
// | one), not sent aside by this | only one idle or blocked)   | sent there. A guard so sent was |
// | row within kAsideMs; any     |                             | told to stop guarding and no    |
// | errand                       |                             | longer followed its ward        |
// "of two face to face one steps aside" (kFaceToFaceStepsAside):
// | a friend it holds (face to   | steps aside itself, at most | "nothing more": the two stood   |
// | face, the push refused or    | once in kAsideMs, never     | for good; pushing the other     |
// | not tried); the one that     | toward the friend: across   | drove it off its errand; in a   |
// | yields: without an errand    | its way, else across the    | passage one cell wide only      |
// | where the friend has one,    | line to the friend, else    | backing out clears. Both        |
// | else the later made          | straight back (a full step, | yielding, they sought mirrored  |
// |                              | else half); the errand      | ways round at the same moment   |
// |                              | stays behind; with no       | and met again, for minutes      |
// |                              | place, the next row         |                                 |
// "of two face to face in a lane, they trade places" (kFaceToFaceTradePlaces):
// | a friend it holds, both on   | the two trade places, each  | "nothing more": on a bridge one |
// | errands, each nearer the     | where it fits on the        | cell wide a line of one army    |
// | next place of its way on the | other's; where either does  | bound both ways stood for good, |
// | other's place, the step      | not, the next row           | and the army behind it on its   |
// | aside above not taken; both  |                             | island for minutes              |
// | computer players' units (of  |                             |                                 |
// | one side or allies; never a  |                             |                                 |
// | player's), the one that      |                             |                                 |
// | yields as above; never in a  |                             |                                 |
// | network game                 |                             |                                 |
// "of a ring of friends one steps aside" (kRingStepsAside):
// | a friend in a ring of three  | steps aside as above        | "nothing more": allied armies   |
// | or more, each held by the    |                             | crossing in a maze of one-cell  |
// | next back to the unit (at    |                             | ways stood in rings for minutes,|
// | most kRingHops); the one     |                             | each asking a way round friends |
// | that yields: the latest made |                             | that filled every way           |
// | of the ring                  |                             |                                 |
// "held by friends" (kHeldByFriends):
// | any other friend (on the     | waits; held kFriendHoldMs   | "nothing more": a line or ring  |
// | move, a line or ring, or the | since its last step, asks a | each waiting on the next never  |
// | above within kAsideMs); any  | route that counts its       | cleared; pushed at every step,  |
// | errand                       | friends, again after each   | a friend never took one         |
// |                              | hold                        |                                 |
// "the target fills the cell beside" (kTargetFillsCellBeside):
// | no way found; standing on a  | the target counts as what   | the retry and the 5 s hold,     |
// | cell beside its target       | blocks it, as on a refused  | again and again: a scavenger    |
// | goal's cell; not a goal      | step into it: the goal ends | stood beside its wreck for good |
// | bound for a side of it that  |                             |                                 |
// | reports its failure (never   |                             |                                 |
// | ended so)                    |                             |                                 |
// "a place beyond the drive's reach is given up" (kPlaceBeyondReach):
// | before a search; a computer  | the move or attack is given | a search to the nearest place   |
// | player's move or attack (not | up as a route not found     | it reached, again and again: an |
// | a step aside) to a place no  | twice; an attack is given   | army on an island no ground way |
// | way of its drive joins       | again only 5 s later, as    | leaves stood in a knot at its   |
// | (World::InReachOf), its      | below                       | shore for minutes, each bound   |
// | target beyond weapon reach   |                             | for its side's gathering point  |
// |                              |                             | or an enemy over the water      |
// "an attack whose way was not found waits" (kAttackWaitsAfterFailedRoute):
// | no way found on a retry; an  | the attack ends (the        | the attack given again at once: |
// | attack on an enemy           | movement's own step); the   | a unit shot at across water     |
// |                              | attack manoeuvre gives the  | asked 525 searches a minute     |
// |                              | same attack again only 5 s  |                                 |
// |                              | later, the unit free for    |                                 |
// |                              | its next order meanwhile    |                                 |
// "an enemy in the way is fired at" (kEnemyInTheWayNamed):
// | an enemy, not its target; a  | its controller names it the | nothing: an army past an enemy  |
// | computer player's unit whose | unit's attacker, so that    | busy elsewhere stood behind it  |
// | stance fires, no attacker it | its weapons turn on it      | for minutes, firing at nothing. |
// | can engage                   | (AIController::             | Never a player's unit nor a     |
// |                              | OnStepRefused)              | hold-fire design: its orders go |
// |                              |                             | on                              |
// "a wreck in the way is fired at" (kWreckInTheWayNamed):
// | a wreck, not its target; as  | named so as well, forgotten | nothing: an army in a field of  |
// | above, or a unit whose       | kFriendHoldMs later with a  | wrecks before a base asked a    |
// | stance explores (no design   | way round asked; so named   | way round at every step; named  |
// | screen gives it a player's   | and in reach, it asks no    | for good, it stood firing a     |
// | design)                      | search                      | minute. A unit that explores,   |
// |                              |                             | boxed in by wrecks beside its   |
// |                              |                             | factory, stood five minutes     |
// "the obstacle takes the held mount" (kObstacleTakesHeldMount):
// | its last attacker in its way | a mount held on the attack  | the attack target, out of       |
// | (a wreck or an enemy); a     | target takes the obstacle   | reach: a unit with one weapon   |
// | computer player's unit whose | while it reaches that, not  | never fired at the wreck in its |
// | stance fires, attacking a    | the target                  | way                             |
// | target its mount does not    |                             |                                 |
// | reach                        |                             |                                 |
// "an enemy in the way is gone round" (kEnemyInTheWayGoneRound):
// | an enemy on the move or      | waits; held kFriendHoldMs   | "a blocker on the move, wait":  |
// | waiting itself, not its      | since its last step, asks a | a raid bound for a structure    |
// | target nor its order's; a    | route that counts its       | stood for minutes behind an     |
// | computer player's unit whose | friends (the search counts  | enemy that was itself held face |
// | stance does not fire (a raid | enemies always), again      | to face with a friend, and a    |
// | on a structure, told to hold | after each hold             | unit that fires at nothing in   |
// | fire); never a player's      |                             | its way stood behind an enemy   |
// |                              |                             | whose shots could not hurt it   |
// "reach is a weapon's that hurts" (kReachOfAWeaponThatHurts):
// | none: before each step on an | its target counts as in     | the movement's own reach, its   |
// | attack; a computer player's  | reach only within the reach | longest weapon's: an army whose |
// | unit whose longest weapon    | of its longest weapon that  | longest weapon three shields of |
// | the target's shields bring   | hurts it, and it presses on | its kind brought to nothing     |
// | to nothing (the damage rule, | to that; with none that     | stood at its route stops, out   |
// | hit from where it stands),   | hurts, as its own           | of the reach of its weapons     |
// | another not                  |                             | that hurt, for minutes          |
// "an attacker nothing hurts is not answered" (kUnhurtAttackerNotAnswered):
// | none: an attacker to answer, | the attack manoeuvre gives  | the attack given: a unit took a |
// | a squad's target or the      | it no attack on it; its     | beaten side's unit for its      |
// | enemy nearest a guard; a     | order goes on. A guard      | attacker and stood firing at it |
// | computer player's unit that  | takes it for no target: its | with no effect for 20 minutes   |
// | no weapon of it hurts (each  | lower manoeuvres run        |                                 |
// | brought to nothing by the    |                             |                                 |
// | other's shields)             |                             |                                 |
// "an attack that hurts nothing is given up" (kAttackHurtingNothingGivenUp):
// | none: before each step; a    | the attack is given up, its | nothing: an army sent at a unit |
// | computer player's attack on  | route stops dropped; the    | none of its weapons could hurt  |
// | a unit that no weapon of it  | next order goes on          | stood at its route stops, or    |
// | hurts, as above              |                             | beside it firing, for minutes   |
//
// One exception stays with the factory's door: once a finished product has waited there a while,
// a friend on its way standing on the roll-out square behind another is taken as blocked for the
// door's push (FactoryBuilding::StepReserveAndOpen). Beside it, no unit on an errand is pushed by
// these rules, whoever passes.
//
// See also, rules of ours about reaching a place rather than a refused step, kept where they are
// decided: a target shown on the grid but not seen, and one within weapon reach, asks no search
// (the table beside manoeuvre::PursuitOf); a worker is sent only where its drive reaches
// (World::InReachOf, RepairSim::OrderRepair), and a repairer to a side of its client no structure
// covers while the other is open (RepairSim::OrderRepair, off with "structure covers the
// errand's side", which would give that trip up); a repair trip to a dock no structure, else no
// ore field, covers while another is free (GameObject::FindOpenDock, the first also off with
// that row); the strike under a friend
// (Weapon::Strike); the unload place in a dock's cell (EconomyGoals' UnloadPlace); explore points
// out of reach (ExploreManoeuvre::PickTarget).
#include "objects/BlockedStepPolicy.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <optional>

#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/EventReceiver.h"
#include "core/Vector.h"
#include "map/CollisionFilter.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/PartAttachment.h"
#include "objects/Sim.h"
#include "objects/TargetGoal.h"
#include "objects/UnitMakers.h"

namespace {

// The flags of a step aside, as the shared push rule orders it, and pi as facings take it.
constexpr int kAsideFlags = 0x17;
// How far apart the points of a step aside's way are looked at.
constexpr int kAsideWayPixels = 4;
constexpr double kPi = 3.14159;

// A row of the table each, in the order of BlockedStepPolicy::Rule.
constexpr const char* kNames[] = {
    "a wreck in the way is waited on",
    "structure covers the errand's side",
    "a structure in the way is sought round",
    "a friend holds the unit's place",
    "an idle friend is sent aside",
    "of two face to face one steps aside",
    "of two face to face in a lane, they trade places",
    "of a ring of friends one steps aside",
    "held by friends",
    "the target fills the cell beside",
    "a place beyond the drive's reach is given up",
    "an attack whose way was not found waits",
    "an enemy in the way is fired at",
    "a wreck in the way is fired at",
    "the obstacle takes the held mount",
    "an enemy in the way is gone round",
    "reach is a weapon's that hurts",
    "an attacker nothing hurts is not answered",
    "an attack that hurts nothing is given up",
};
static_assert(std::size(kNames) == BlockedStepPolicy::kRules, "a name for every row");

std::array<bool, BlockedStepPolicy::kRules> switchedOn = [] {
    std::array<bool, BlockedStepPolicy::kRules> all{};
    all.fill(true);
    return all;
}();

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

// Face to face: the friend in its way is held by the unit itself. A longer ring, each held by the
// next, is none: the unit waits and, held long, asks a way round its friends.
bool FaceToFace(Sim& sim, GameObject& blocker) {
    SimId next;
    blocker.GetBlockingSim(next);
    return next == sim.id;
}

// Made later: the greater id, the team breaking a tie of allies' numbers.
bool MadeLater(const GameObject& a, const GameObject& b) {
    return a.id.serial != b.id.serial ? a.id.serial > b.id.serial : a.id.team > b.id.team;
}

// The unit is the latest made of a ring of three or more friends, each held by the next back to
// it.
bool LatestOfRing(Sim& sim, GameObject& blocker) {
    constexpr int kRingHops = 8;
    bool latest = true;
    GameObject* at = &blocker;
    for (int hop = 0; hop < kRingHops; ++hop) {
        latest = latest && MadeLater(sim, *at);
        SimId next;
        at->GetBlockingSim(next);
        if (next == sim.id) return hop >= 1 && latest;
        at = TheObjectWorld().FindObject(next);
        if (!at || at == &blocker || at->IsMobile() == 0) return false;
    }
    return false;
}

// A way round its friends is asked afresh: the route stops go, and the hold starts again.
void AskWayRoundFriends(Sim& sim) {
    sim.routeAroundFriends = 1;
    sim.goals.DropFinished();
    sim.friendWay.heldMs = 0;
}

// The rows that wait: the unit stands, its order held, until kFriendHoldMs have passed since its
// last step, then asks a way round its friends. Each tick held is noted, named by its row.
void WaitsByRow(Sim& sim, BlockedStepPolicy::Rule rule) {
    if (!BlockedStepPolicy::On(rule)) return;
    if (sim.friendWay.heldMs >= Sim::kFriendHoldMs) return AskWayRoundFriends(sim);
    TheObjectWorld().Orders().HeldByRule(sim, BlockedStepPolicy::Name(rule));
}

// A guard at its post holds its order as well, though it queues no goal for it: sent aside, it
// was told to stop guarding and no longer followed its ward.
bool OnErrand(GameObject& o) {
    if (o.IsGuarding() == 1) return true;
    bool errand = false;
    o.goals.ForEach(
        [&errand](const Goal& g) { errand = errand || (g.movedAside == 0 && g.waypoint == 0); });
    return errand;
}

// Whether the unit would stand nearer the next place of its way at that point than it does.
bool NearerOnItsWay(GameObject& unit, const Point& at) {
    Goal* front = unit.goals.Front();
    if (!front) return false;
    auto apart = [](const Point& a, const Point& b) {
        const int64_t dx = a.x - b.x, dy = a.y - b.y;
        return dx * dx + dy * dy;
    };
    return apart(front->GetLocation(), at) < apart(front->GetLocation(), unit.GetPosition());
}

// Each goes on from the other's place: neither is blocked by the other any more. Both are
// computer players' units, of one side or of allies: a player's unit is never moved so. Never in
// a network game: the other machines move their copies by the commands alone, and no command
// tells of a trade. Each stands nearer its way's next place after the trade, so that two bound
// for places between them never trade back and forth.
bool TradesPlaces(Sim& sim, GameObject& friendInTheWay) {
    ObjectWorld& world = TheObjectWorld();
    auto* other = dynamic_cast<Sim*>(&friendInTheWay);
    if (!other || world.IsNetworkGame() == 1 || !world.PlaysForComputer(sim.GetTeam()) ||
        !world.PlaysForComputer(other->GetTeam()) || !OnErrand(sim) || !OnErrand(*other) ||
        !NearerOnItsWay(sim, other->GetPosition()) || !NearerOnItsWay(*other, sim.GetPosition()) ||
        world.TradePlaces(&sim, other) != 1)
        return false;
    for (Sim* unit : {&sim, other}) {
        unit->goals.UnblockFront();
        unit->blockingSim = SimId();
        unit->friendWay.heldMs = -1;
    }
    return true;
}

}  // namespace

const char* BlockedStepPolicy::Name(Rule rule) {
    return rule >= 0 && rule < kRules ? kNames[rule] : "";
}

bool BlockedStepPolicy::On(Rule rule) {
    return rule >= 0 && rule < kRules && switchedOn[rule];
}

// Checked twice over: a rule past the table is refused, and were that test lost, the write
// would throw rather than land past the table unseen.
void BlockedStepPolicy::Switch(Rule rule, bool on) {
    if (rule >= 0 && rule < kRules) switchedOn.at(rule) = on;
}

void BlockedStepPolicy::SwitchAll(bool on) {
    switchedOn.fill(on);
}

void BlockedStepPolicy::FriendInTheWay(Sim& sim, GameObject* blocker) {
    ObjectWorld& world = TheObjectWorld();
    Sim::FriendWay& way = sim.friendWay;
    if (way.heldMs < 0) way.heldMs = 0;
    if (blocker->GetKind() == ObjectKind::kWreck &&
        (!sim.goals.Front() || sim.goals.Front()->GetTarget() != blocker))
        return WaitsByRow(sim, kWreckInTheWay);
    if (blocker->IsMobile() == 0) {
        // A friend's side that a structure covers, this one or another (a repairer sent beside a
        // deployed unit that stands against the factory), or a way to it that runs into the
        // friend itself: no route round friends ever ends there. Never an attack on an enemy,
        // whose goal's place is the target's own that it covers.
        Goal* order = sim.goals.FirstUnfinished();
        GameObject* toward = order ? order->GetTarget() : nullptr;
        if (toward && sim.IsHostileTo(toward) == 0 &&
            order->GetType() == static_cast<int>(GoalType::Target) &&
            (StructureCovering(sim, order->GetLocation()) ||
             (On(kStructureCoversSide) && toward == blocker &&
              blocker->GetKind() == ObjectKind::kDeployed)))
            return GiveUp(sim, kStructureCoversSide, true);
        if (On(kStructureInTheWay)) AskWayRoundFriends(sim);
        return;
    }
    if (PlaceHeldByFriends(sim, *blocker)) {
        // Arrived, it failed nothing: its move ends as a quiet one blocked on its place does,
        // and counts as arrived, not given up.
        world.Orders().ArrivedByRule(sim, Name(kPlaceHeldByFriends));
        sim.goals.DropFinished();
        sim.goals.Front()->reportFailure = 0;
        sim.goals.BlockFront();
        return;
    }
    const bool errand = OnErrand(*blocker);
    auto* friendSim = dynamic_cast<Sim*>(blocker);
    if (On(kIdleFriendSentAside) && !errand && (!friendSim || friendSim->friendWay.asideMs == 0) &&
        world.Makers().MoveBlockerAside(&sim, blocker, 0, AsideCaller::FriendInTheWay) == 1) {
        if (friendSim) friendSim->friendWay.asideMs = Sim::kAsideMs;
        return;
    }
    // Of two face to face exactly one yields, so that they never both wait and seek mirrored
    // ways round each other at the same moment.
    const bool ownErrand = OnErrand(sim);
    const bool yields = errand != ownErrand ? errand : blocker->id.serial < sim.id.serial;
    if (On(kFaceToFaceStepsAside) && yields && FaceToFace(sim, *blocker) && way.asideMs == 0 &&
        StepAsideFor(sim, *blocker) == 1)
        return;
    if (On(kFaceToFaceTradePlaces) && yields && FaceToFace(sim, *blocker) &&
        TradesPlaces(sim, *blocker))
        return;
    if (On(kRingStepsAside) && way.asideMs == 0 && LatestOfRing(sim, *blocker) &&
        StepAsideFor(sim, *blocker) == 1)
        return;
    WaitsByRow(sim, kHeldByFriends);
}

bool BlockedStepPolicy::PlaceHeldByFriends(Sim& sim, const GameObject& blocker) {
    Goal* order = sim.goals.FirstUnfinished();
    if (!On(kPlaceHeldByFriends) || !TheObjectWorld().PlaysForComputer(sim.GetTeam()) ||
        sim.IsGuarding() == 1 || !order ||
        order->GetType() != static_cast<int>(GoalType::Location) || order->movedAside != 0)
        return false;
    // Behind the move, nothing or attacks on enemies: a gathering point on the way to a fight,
    // never a leg of a worker's trip.
    for (Goal* g = sim.goals.Next(order); g; g = sim.goals.Next(g)) {
        GameObject* target = g->GetTarget();
        if (g->GetType() != static_cast<int>(GoalType::Target) || !target ||
            sim.IsHostileTo(target) != 1)
            return false;
    }
    const Point place = order->GetLocation();
    const double own = Vector(place - sim.GetPosition()).magnitude;
    // At its post, as a formation counts a guard there, wherever the friend in its way stands.
    if (own > kCrowdReach ||
        (own > kPostReach && Vector(place - blocker.position).magnitude >= own))
        return false;
    // The friend on the place, of the unit's side or an ally's, has arrived there, is bound
    // there itself, or stands with its own step refused.
    ObjectWorld& world = TheObjectWorld();
    bool held = false;
    for (int team = 1; team < kTeamCount && !held; ++team) {
        if (team != sim.GetTeam() && world.AreAllied(sim.GetTeam(), team) != 1) continue;
        world.ForEachSim(team, [&](GameObject* o) {
            if (held || o == &sim || o->ContainsPoint(place) != 1) return;
            Goal* its = o->goals.FirstUnfinished();
            SimId holdsIt;
            o->GetBlockingSim(holdsIt);
            held = !OnErrand(*o) || o->IsGuarding() == 1 || (o->moving == 0 && !holdsIt.IsNull()) ||
                   (its && Vector(its->GetLocation() - place).magnitude <= TerrainMap::kCellPixels);
        });
    }
    return held;
}

GameObject* BlockedStepPolicy::StructureCovering(GameObject& object, const Point& place) {
    GameObject* covering = nullptr;
    if (!On(kStructureCoversSide) ||
        TheObjectWorld().CanPlace(&object, place, &covering, 0, 0) != 0 || !covering)
        return nullptr;
    return covering->IsMobile() == 0 ? covering : nullptr;
}

// Across its way, one side then the other in turn, but never toward the friend (with the friend
// beside its way, one of them lies on the friend's side and the same friend refused it again and
// again); else across the line to the friend, or straight back from it where both are shut. It
// goes ahead of the errand, as a push's would, and a later push replaces it. Where none of these
// places can be taken it takes no step, and the caller goes on to its next row.
int BlockedStepPolicy::StepAsideFor(Sim& sim, const GameObject& friendInTheWay) {
    ObjectWorld& world = TheObjectWorld();
    const int d = DefaultPushDistance();
    const Point position = sim.GetPosition();
    const Point from = friendInTheWay.position;
    const int toFriend = GameObject::FacingFromAngle(Vector(from - position).angle);
    const int side = sim.friendWay.turn % 2 == 0 ? -4 : 4;
    const int facings[5] = {sim.facing + side, sim.facing - side, toFriend + side, toFriend - side,
                            toFriend + 8};
    ++sim.friendWay.turn;
    // How far a step goes toward the friend: above 0, it does.
    auto toward = [&position, &from](const Point& step) {
        return int64_t{step.x} * (from.x - position.x) + int64_t{step.y} * (from.y - position.y);
    };
    auto stepTo = [](int k, int length) {
        const double a = GameObject::NormaliseFacing(k) * kPi / 8 - kPi;
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
            if (world.CanPlace(&sim, p, nullptr, 0, 0) != 1) return false;
        }
        bool amongFriends = false;
        world.ForEachSim(sim.GetTeam(), [&](GameObject* o) {
            amongFriends = amongFriends || (o != &sim && o->ContainsPoint(position + step) == 1);
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
    sim.goals.RemovePushedAside();
    const Goal* before = sim.goals.Front();
    sim.ExecuteOrder(Sim::kOrderMove, kAsideFlags, *to, SimId(), 0);
    if (Goal* aside = sim.goals.Front(); aside && aside != before) aside->movedAside = 1;
    sim.friendWay.asideMs = Sim::kAsideMs;
    return 1;
}

// What the unit does about it is its controller's to choose (the computer opponents' rule,
// AIController::OnStepRefused); a side the computer does not play goes on with its orders.
void BlockedStepPolicy::ObstacleInTheWay(Sim& sim, GameObject* blocker) {
    if (!blocker) return;
    const bool wreck = blocker->GetKind() == ObjectKind::kWreck;
    const bool enemy = blocker->GetTeam() != 0 && sim.IsHostileTo(blocker) == 1;
    if (!(wreck ? On(kWreckInTheWayNamed) : enemy && On(kEnemyInTheWayNamed))) return;
    ObjectWorld& world = TheObjectWorld();
    if (!world.PlaysForComputer(sim.GetTeam())) return;
    if (EventReceiver* controller = world.ControllerOf(sim.GetTeam()))
        controller->OnStepRefused(&sim, blocker);
}

void BlockedStepPolicy::BlockerOnTheMove(Sim& sim, GameObject& blocker) {
    Goal* front = sim.goals.Front();
    Goal* order = sim.goals.FirstUnfinished();
    if (!On(kEnemyInTheWayGoneRound) || blocker.GetTeam() == 0 || sim.IsHostileTo(&blocker) != 1 ||
        StanceFires(sim) || !TheObjectWorld().PlaysForComputer(sim.GetTeam()) || !front ||
        front->GetTarget() == &blocker || (order && order->GetTarget() == &blocker))
        return;
    sim.friendWay.heldMs = std::max(sim.friendWay.heldMs, 0);
    WaitsByRow(sim, kEnemyInTheWayGoneRound);
}

void BlockedStepPolicy::NoteWreckNamed(Sim& sim, const GameObject& wreck) {
    sim.friendWay.wreck = wreck.id;
    sim.friendWay.wreckMs = 0;
}

bool BlockedStepPolicy::ShootsWreckInTheWay(Sim& sim) {
    VehicleDesign* design = sim.GetDesign();
    return StanceFires(sim) || (design && design->parameters[0] == kExploringStance);
}

bool BlockedStepPolicy::StanceFires(Sim& sim) {
    VehicleDesign* design = sim.GetDesign();
    const int stance = design ? design->parameters[0] : 0;
    return stance == 1 || stance == 3 || stance == 4;
}

// The search moves a goal whose cell is closed to the nearest open cell, and finds no way when
// that is the unit's own.
GameObject* BlockedStepPolicy::TargetFillingTheCellBeside(Sim& sim, Goal* front) {
    if (!On(kTargetFillsCellBeside) || front->GetType() != static_cast<int>(GoalType::Target))
        return nullptr;
    GameObject* target = front->GetTarget();
    PathGrid* paths = TheObjectWorld().Paths();
    auto* onTarget = dynamic_cast<TargetGoal*>(front);
    if (!target || !paths || !onTarget) return nullptr;
    // Blocked on its target, a goal bound for a side of it that reports its failure never ends
    // (TargetGoal::IsDone): so held, a repairer beside a walled-off side of its client asked a
    // search every few ticks for good. The movement's own retry ends such a goal.
    if (front->reportFailure == 1 && onTarget->Offset() != Point()) return nullptr;
    short row = 0, column = 0, goalRow = 0, goalColumn = 0;
    paths->PixelToCell(sim.GetPosition(), row, column);
    paths->PixelToCell(front->GetLocation(), goalRow, goalColumn);
    const int apart = std::max(std::abs(row - goalRow), std::abs(column - goalColumn));
    return apart <= 1 ? target : nullptr;
}

bool BlockedStepPolicy::PlaceBeyondReach(Sim& sim, Goal* front) {
    ObjectWorld& world = TheObjectWorld();
    if (!On(kPlaceBeyondReach) || !world.PlaysForComputer(sim.GetTeam()) || front->movedAside != 0)
        return false;
    GameObject* target = front->GetTarget();
    if (world.InReachOf(&sim, target ? target->GetPosition() : front->GetLocation())) return false;
    GiveUp(sim, kPlaceBeyondReach, true);
    AttackRetryFailed(sim, target);
    return true;
}

// The attack ends by the movement's own step; only giving it again waits, so that an order, and
// the order queued behind it, go on at once.
void BlockedStepPolicy::AttackRetryFailed(Sim& sim, GameObject* aimedAt) {
    if (!On(kAttackWaitsAfterFailedRoute) || !aimedAt || sim.IsHostileTo(aimedAt) != 1) return;
    sim.friendWay.unreached = aimedAt->id;
    sim.friendWay.unreachedMs = 0;
}

bool BlockedStepPolicy::WaitsBeforeAttacking(const Sim& sim, const GameObject& target) {
    return On(kAttackWaitsAfterFailedRoute) && sim.friendWay.unreached == target.id &&
           sim.friendWay.unreachedMs < Sim::kRouteHoldMs;
}

// A wreck named the unit's attacker as it refused a step makes the attack manoeuvre hold the unit
// before it, firing, until it is shot away: a minute or two for one weapon. Named so
// kFriendHoldMs ago, it is forgotten and a way round friends and wrecks is asked, as for a wreck
// that holds a unit without firing. One the computer player names after a failed route search is
// not touched.
void BlockedStepPolicy::ForgetWreckInTheWay(Sim& sim) {
    Sim::FriendWay& way = sim.friendWay;
    if (way.wreck.IsNull() || way.wreckMs < Sim::kFriendHoldMs) return;
    if (sim.lastAttacker == way.wreck) {
        sim.lastAttacker = SimId();
        sim.routeAroundFriends = 1;
        sim.goals.DropFinished();
    }
    way.wreck = SimId();
}

// The object that refused the unit's last step, when it is also the unit's last attacker: a
// wreck the computer player names so, for the unit to shoot it out of its way, or an enemy the
// unit met in its way. The computer player's units alone, whose stance fires: a player's unit
// keeps its mounts as its orders and its attackers give them.
GameObject* BlockedStepPolicy::ObstacleForHeldMount(Sim& sim) {
    if (!On(kObstacleTakesHeldMount) || !TheObjectWorld().PlaysForComputer(sim.GetTeam()) ||
        !StanceFires(sim))
        return nullptr;
    GameObject* obstacle = TheObjectWorld().FindObject(sim.lastAttacker);
    SimId blocking;
    sim.GetBlockingSim(blocking);
    if (!obstacle || obstacle->id != blocking) return nullptr;
    return obstacle->GetKind() == ObjectKind::kWreck || sim.IsHostileTo(obstacle) == 1 ? obstacle
                                                                                       : nullptr;
}

void BlockedStepPolicy::GiveUp(Sim& sim, Rule rule, bool asFailedRoute) {
    // Counted before the goals change, while the order given up is still the unit's own.
    TheObjectWorld().Orders().GivenUpByRule(sim, Name(rule));
    if (asFailedRoute) sim.goals.DropFinished();
    sim.goals.BlockFront();
    if (asFailedRoute) {
        if (Goal* front = sim.goals.Front(); front && front->reportFailure == 1) {
            sim.SendEvent(4, &sim);
            front->reportFailure = 0;
        }
        MarkEconomyRouteFailed(sim, 1);
    }
}

void Sim::FriendWay::Count(int elapsedMs) {
    if (heldMs >= 0) heldMs += elapsedMs;
    if (!wreck.IsNull()) wreckMs += elapsedMs;
    if (!unreached.IsNull()) unreachedMs += elapsedMs;
    asideMs = std::max(0, asideMs - elapsedMs);
}

namespace {

// The target's shields bring a hit of the unit's weapon, from where the unit stands, to nothing.
// A weapon of no power of its own works otherwise, and only a unit carries shields.
bool ShieldsStop(Sim& sim, GameObject* target, SpriteAttachment& weapon) {
    auto* shielded = dynamic_cast<Sim*>(target);
    WeaponTemplate* w = weapon.GetTemplate();
    return shielded && w && w->GetFirePower() > 0 && shielded->HitBy(*w, &sim) <= 0;
}

bool HurtingRowApplies(BlockedStepPolicy::Rule rule, Sim& sim) {
    return BlockedStepPolicy::On(rule) && TheObjectWorld().PlaysForComputer(sim.GetTeam());
}

// Every active weapon of the unit is stopped by the other's shields (and it has one).
bool HurtsNothing(Sim& sim, GameObject& other) {
    int armed = 0;
    for (int i = 0; i < sim.partCount; ++i) {
        SpriteAttachment* a = sim.GetArmedPart(i);
        if (!a || a->active != 1) continue;
        if (!ShieldsStop(sim, &other, *a)) return false;
        ++armed;
    }
    return armed > 0;
}

}  // namespace

PartAttachment* BlockedStepPolicy::ReachingWeapon(Sim& sim, GameObject* target) {
    PartAttachment* longest = sim.LongestRangeWeapon();
    if (!longest || !HurtingRowApplies(kReachOfAWeaponThatHurts, sim) ||
        !ShieldsStop(sim, target, *longest))
        return longest;
    PartAttachment* best = nullptr;
    for (int i = 0; i < sim.partCount; ++i) {
        auto* a = dynamic_cast<PartAttachment*>(sim.GetArmedPart(i));
        if (!a || a->active != 1 || ShieldsStop(sim, target, *a)) continue;
        if (!best || a->GetTemplate()->GetRange() > best->GetTemplate()->GetRange()) best = a;
    }
    return best ? best : longest;
}

bool BlockedStepPolicy::LeavesUnhurtAttacker(Sim& sim, GameObject& attacker) {
    return HurtingRowApplies(kUnhurtAttackerNotAnswered, sim) && HurtsNothing(sim, attacker);
}

bool BlockedStepPolicy::AttackHurtsNothing(Sim& sim) {
    Goal* order = sim.goals.FirstUnfinished();
    if (!order || order->GetType() != static_cast<int>(GoalType::Target) ||
        !HurtingRowApplies(kAttackHurtingNothingGivenUp, sim))
        return false;
    GameObject* target = order->GetTarget();
    if (!target || sim.IsHostileTo(target) != 1 || !HurtsNothing(sim, *target)) return false;
    // As a failed route: a goal that reports its failure would otherwise stay, blocked. A blocker
    // so attacked is forgotten, or the Parts' attack on the blocker came back every update.
    GiveUp(sim, kAttackHurtingNothingGivenUp, true);
    if (sim.blockingSim == target->id) sim.blockingSim = SimId();
    return true;
}
