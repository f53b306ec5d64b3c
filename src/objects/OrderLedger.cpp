#include "objects/OrderLedger.h"

#include "core/Vector.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"

namespace {

int64_t KeyOf(const SimId& id) {
    return int64_t{id.team} << 32 | static_cast<uint32_t>(id.serial);
}

}  // namespace

int32_t OrderLedger::Now() const {
    return world.TickCount();
}

void OrderLedger::Given(GameObject& unit, Goal& goal) {
    if (!on || goal.order != 0 || goal.waypoint == 1 || goal.movedAside == 1) return;
    if (giver == OrderGiver::OwnRules) {
        const auto handed = handedOver.find(KeyOf(unit.id));
        if (handed == handedOver.end()) return;
        if (handed->second.second == Now()) goal.order = handed->second.first;
        handedOver.erase(handed);
        return;
    }
    if (giver == OrderGiver::SideController && !world.PlaysForComputer(unit.GetTeam())) return;
    goal.order = ++nextNumber;
    GameObject* target = goal.GetTarget();
    Entry entry;
    entry.unit = unit.id;
    entry.team = unit.GetTeam();
    entry.attack = goal.IsAttack() == 1 && target && unit.IsHostileTo(target) == 1;
    entry.givenTick = Now();
    entry.move = goal.GetType() == static_cast<int>(GoalType::Location);
    entry.place = goal.GetLocation();
    open[goal.order] = entry;
    Tally& tally = tallies[entry.team];
    ++tally.given;
    if (entry.attack) ++tally.attacks;
}

void OrderLedger::Done(GameObject& unit, Goal& goal) {
    if (!on || goal.order <= 0) return;
    GameObject* target = goal.GetTarget();
    const bool targetGoal = goal.GetType() == static_cast<int>(GoalType::Target);
    // A repeated goal goes round again unless its target is gone.
    if (goal.repeat == 1 && !(targetGoal && !target)) return;
    if (targetGoal && (!target || target->IsDestroyed() == 1))
        return Ended(unit, goal, OrderEnd::CarriedOut, "its target gone");
    if (goal.IsOwnersFront(&unit) && unit.goals.IsFrontBlocked() == 1 && goal.reportFailure == 0)
        return Ended(unit, goal, OrderEnd::ByStep, "its route blocked");
    if (target && unit.teamRecord.first != target->teamRecord.first && unit.CanSee(target) == 0)
        return Ended(unit, goal, OrderEnd::ByStep, "its target unseen");
    // The route of a move to a place it cannot reach ends at the nearest place it does: done
    // there, it stopped short, as a player sees it.
    const auto found = open.find(goal.order);
    if (found != open.end() && found->second.move &&
        Vector(found->second.place - unit.GetPosition()).magnitude > kShortOfPlace)
        return Ended(unit, goal, OrderEnd::ByStep, "out of reach");
    Ended(unit, goal, OrderEnd::CarriedOut, "reached");
}

int OrderLedger::Count(Goal& goal, OrderEnd end, std::string_view how) {
    const auto found = open.find(goal.order);
    goal.order = 0;
    if (found == open.end()) return -1;
    const Entry entry = found->second;
    open.erase(found);
    Tally& tally = tallies[entry.team];
    switch (end) {
        case OrderEnd::CarriedOut:
            ++tally.carriedOut;
            break;
        case OrderEnd::ArrivedByRule:
            ++tally.arrivedByRule;
            ++tally.arrivals[std::string(how)];
            break;
        case OrderEnd::ByStep:
            ++tally.byStep;
            ++tally.steps[std::string(how)];
            break;
        case OrderEnd::GivenUpByRule:
            ++tally.givenUp;
            ++tally.rules[std::string(how)];
            if (entry.attack) {
                ++tally.attacksGivenUp;
                ++tally.attackRules[std::string(how)];
            }
            break;
        case OrderEnd::Replaced:
        case OrderEnd::Open:
            ++tally.replaced;
            break;
        case OrderEnd::UnitLost:
            ++tally.lost;
            break;
    }
    return entry.team;
}

void OrderLedger::Ended(GameObject& unit, Goal& goal, OrderEnd end, std::string_view how) {
    if (!on || goal.order <= 0) return;
    const int team = Count(goal, end, how);
    if (team < 0 || (end != OrderEnd::ByStep && end != OrderEnd::GivenUpByRule)) return;
    Tally& tally = tallies[team];
    // The order behind one its unit could not carry out waited from when it was given.
    for (const Goal* next = unit.goals.Next(&goal); next; next = unit.goals.Next(next)) {
        const auto behind = open.find(next->order);
        if (next->order == 0 || behind == open.end()) continue;
        const int32_t waited = Now() - behind->second.givenTick;
        if (waited > tally.longestWait) {
            tally.longestWait = waited;
            tally.longestWaitText = "unit " + std::to_string(unit.id.serial) + " behind an order " +
                                    (end == OrderEnd::ByStep ? "ended by " : "given up by ") +
                                    std::string(how);
        }
        break;
    }
}

void OrderLedger::Cleared(GameObject& unit, OrderEnd end) {
    if (!on) return;
    unit.goals.ForEach([this, end](const Goal& goal) {
        const auto found = open.find(goal.order);
        if (goal.order == 0 || found == open.end()) return;
        Tally& tally = tallies[found->second.team];
        ++(end == OrderEnd::UnitLost ? tally.lost : tally.replaced);
        open.erase(found);
    });
}

void OrderLedger::Popped(GameObject& unit, Goal& goal) {
    if (!on || goal.order <= 0) return;
    handedOver[KeyOf(unit.id)] = {goal.order, Now()};
}

void OrderLedger::Guarded(GameObject& unit, Goal& guard) {
    // A guard the unit's own rules set is no order, nor does it carry one on.
    if (on && giver != OrderGiver::OwnRules) Given(unit, guard);
}

void OrderLedger::GuardStopped(Goal& guard) {
    if (!on || guard.order <= 0) return;
    Count(guard, giver == OrderGiver::OwnRules ? OrderEnd::ByStep : OrderEnd::Replaced,
          "its guard stopped by a push or its formation");
}

void OrderLedger::GivenUpByRule(GameObject& unit, std::string_view rule) {
    if (!on) return;
    if (Goal* order = unit.goals.FirstUnfinished(); order && order->order != 0)
        return Ended(unit, *order, OrderEnd::GivenUpByRule, rule);
    // A goal the unit's own rules gave it: no order, yet the rule is named.
    ++tallies[unit.GetTeam()].rules[std::string(rule) + " (no order)"];
}

void OrderLedger::ArrivedByRule(GameObject& unit, std::string_view rule) {
    if (!on) return;
    if (Goal* order = unit.goals.FirstUnfinished(); order && order->order != 0)
        return Ended(unit, *order, OrderEnd::ArrivedByRule, rule);
    ++tallies[unit.GetTeam()].arrivals[std::string(rule) + " (no order)"];
}

void OrderLedger::HeldByRule(GameObject& unit, std::string_view rule) {
    if (!on) return;
    int32_t& last = lastHeld.try_emplace(KeyOf(unit.id), -1).first->second;
    // A hold noted on the tick after the last is the same hold going on.
    if (last < 0 || Now() - last > 1) ++tallies[unit.GetTeam()].holds[std::string(rule)];
    last = Now();
}

int32_t OrderLedger::LastHeld(const SimId& unit) const {
    const auto found = lastHeld.find(KeyOf(unit));
    return found == lastHeld.end() ? -1 : found->second;
}

OrderLedger::Tally OrderLedger::TallyOf(int team) const {
    const auto found = tallies.find(team);
    return found == tallies.end() ? Tally() : found->second;
}
