#pragma once
// What a unit does, by rules of our own, after the map refused its step or a route search found
// no way: wait, push a friend aside, step aside, seek a way round, or give its order up. The
// movement steps (Sim::RequestRoute, Sim::MoveAlong) ask the policy at each such moment; with
// every rule switched off they go exactly their own way. The table of the rules is in
// BlockedStepPolicy.cpp.
#include <cstdint>

class GameObject;
class Goal;
class PartAttachment;
class Point;
class Sim;

class BlockedStepPolicy {
public:
    // The rows of the table, each switchable on its own (all on in a game).
    enum Rule : int {
        kWreckInTheWay,
        kStructureCoversSide,
        kStructureInTheWay,
        kPlaceHeldByFriends,
        kIdleFriendSentAside,
        kFaceToFaceStepsAside,
        kFaceToFaceTradePlaces,
        kRingStepsAside,
        kHeldByFriends,
        kTargetFillsCellBeside,
        kPlaceBeyondReach,
        kAttackWaitsAfterFailedRoute,
        kEnemyInTheWayNamed,
        kWreckInTheWayNamed,
        kObstacleTakesHeldMount,
        kEnemyInTheWayGoneRound,
        kReachOfAWeaponThatHurts,
        kUnhurtAttackerNotAnswered,
        kAttackHurtingNothingGivenUp,
        kRules
    };
    // The row's short, stable name, as the ledger prints it.
    static const char* Name(Rule rule);
    static bool On(Rule rule);
    static void Switch(Rule rule, bool on);
    static void SwitchAll(bool on);

    // A friend of the unit's side, or a wreck, refused its step.
    static void FriendInTheWay(Sim& sim, GameObject* blocker);
    // 1 when a computer player's unit, on a move with nothing but attacks behind it (a place in a
    // formation, a gathering point; never a leg of a worker's trip), is held by a friend nearer the
    // place while another friend, of its side or an ally's, holds the place, within kCrowdReach
    // of it: the crowd fills the place, and the unit counts as arrived where it stands.
    static bool PlaceHeldByFriends(Sim& sim, const GameObject& blocker);
    // How far from its place a unit in the crowd round it counts as arrived: eight cells, a
    // quarter disc round a map corner for some fifty units.
    static constexpr int kCrowdReach = 256;
    // Within a cell and a half of its place a unit is at its post, as a formation counts its
    // guards: there any friend in its way will do.
    static constexpr int kPostReach = 48;
    // The structure that covers the place for the object, as the row "structure covers the
    // errand's side" takes it; null where none does, or with that row off.
    static GameObject* StructureCovering(GameObject& object, const Point& place);
    // An enemy or a wreck refused its step (before the movement's own cases run): the team's
    // controller is told.
    static void ObstacleInTheWay(Sim& sim, GameObject* blocker);
    // A wreck a controller named the unit's attacker as it refused a step, to be forgotten.
    static void NoteWreckNamed(Sim& sim, const GameObject& wreck);
    // 1 when the design's stance fires on its own: it engages the nearest, retaliates or attacks
    // what blocks it.
    static bool StanceFires(Sim& sim);
    // 1 when a wreck in its way is shot out of it: a stance that fires, or one that explores
    // (which no design screen gives a player's design), that no wreck boxes in for good.
    static bool ShootsWreckInTheWay(Sim& sim);
    static constexpr int kExploringStance = 5;
    // A search found no way for a target goal: the target when it counts as what blocks the
    // unit, else null.
    static GameObject* TargetFillingTheCellBeside(Sim& sim, Goal* front);
    // Before a route search: 1 when the row "a place beyond the drive's reach is given up" gave
    // the front goal up, a computer player's move or attack to a place that no way of the unit's
    // drive over the terrain joins (World::InReachOf).
    static bool PlaceBeyondReach(Sim& sim, Goal* front);
    // An attack's retried search found no way.
    static void AttackRetryFailed(Sim& sim, GameObject* aimedAt);
    // 1 while the attack manoeuvre waits before it gives the unit the same attack again.
    static bool WaitsBeforeAttacking(const Sim& sim, const GameObject& target);
    // Once per update: forgets a wreck named for refusing a step once the hold has passed.
    static void ForgetWreckInTheWay(Sim& sim);
    // The obstacle in the unit's way that a mount held on a far target takes instead; null when
    // none.
    static GameObject* ObstacleForHeldMount(Sim& sim);
    // The weapon whose reach puts the target in the unit's reach: its longest, or for a computer
    // player's unit the longest whose hits the target's shields do not bring to nothing (row
    // "reach is a weapon's that hurts"); null when it has none.
    static PartAttachment* ReachingWeapon(Sim& sim, GameObject* target);
    // 1 when a computer player's unit leaves the attacker unanswered, because the attacker's
    // shields bring every hit of every weapon of the unit to nothing.
    static bool LeavesUnhurtAttacker(Sim& sim, GameObject& attacker);
    // Before a step: 1 when the row "an attack that hurts nothing is given up" gave up the unit's
    // order, a computer player's attack on a unit whose shields bring every hit of it to nothing.
    static bool AttackHurtsNothing(Sim& sim);

    // Every order a rule of ours ends goes through here, named by its row: the front goal is
    // blocked, so that the goal loop ends it; as a failed route, its failure is reported once
    // and a repair or refuel trip is told.
    static void GiveUp(Sim& sim, Rule rule, bool asFailedRoute);

    // A blocker on the move, or waiting itself, refused its step, and the unit waits (the last of
    // the movement's own cases, which uses the front goal no more): a computer player's unit
    // whose stance does not fire, held by an enemy kFriendHoldMs, asks a way round it.
    static void BlockerOnTheMove(Sim& sim, GameObject& blocker);

private:
    // The unit's own step aside for a friend face to face; 1 when it took one.
    static int StepAsideFor(Sim& sim, const GameObject& friendInTheWay);
};
