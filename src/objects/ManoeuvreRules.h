#pragma once
// What the combat and movement manoeuvres share: giving a unit a goal and telling the other
// machines, attacking a target or approaching it while it is unseen, ordering a squad member
// against a target, walking a squad's members and picking the candidate nearest a point.
#include <memory>
#include <vector>

#include "core/Point.h"

class GameObject;
class Goal;
class Squad;

namespace manoeuvre {

// Order codes of the squad rules and the movement manoeuvres.
constexpr int kMove = 1;
constexpr int kAttack = 2;
constexpr int kGuard = 3;
constexpr int kStopGuarding = 9;

// Pushes the goal at the front of the unit's queue and sends the unit's front goal; a null goal
// leaves the queue as it is and sends nothing.
void GiveFrontGoal(GameObject& unit, std::unique_ptr<Goal> goal);
// Sends the unit's front goal (or none).
void SendFrontGoal(GameObject& unit);
// How a unit goes after a target (the table beside it in ManoeuvreRules.cpp): attacks it,
// approaches it, or is on its way to it already.
enum class Pursuit { Attack, Approach, OnItsWay };
Pursuit PursuitOf(GameObject& unit, GameObject& target);
// 1 when the unit, a computer player's, is sent at nothing whose shields stop its every hit.
bool LeftUnhurt(GameObject& unit, GameObject& target);
// A target goal to attack, a location goal at the target's centre to approach it, null when the
// unit is on its way already or left unhurt above.
std::unique_ptr<Goal> AttackOrApproach(GameObject& unit, GameObject& target);
// A move toward a target the member does not attack yet (its reference point for the squad's
// team while that point is set and unseen, else its position), then the attack.
void OrderMemberAgainst(GameObject& member, GameObject& target, int squadTeam, int moveFlags,
                        int attackFlags);
// The squad's members in member order (newest first).
std::vector<GameObject*> Members(const Squad& squad);
// Takes the entry nearest the point out of the list (straight distance; the first of equal
// distances); null when the list is empty.
GameObject* TakeNearest(std::vector<GameObject*>& list, const Point& p);
// Tells the unit's team controller of an event, when the team has one.
void Report(GameObject& unit, int kind, void* a, void* b);

}  // namespace manoeuvre
