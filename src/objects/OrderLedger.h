#pragma once
// What became of the orders given to units: by the player (the battle screen's IssueOrder) or by
// a computer player's rules, guards among them, each counted as it ends: carried out (reached,
// its target gone), arrived by a rule of our own (named: a friend holds its place), ended by a
// step of the goal itself (its route blocked, its target unseen, out of its weapons' reach, a
// move that stopped short of a place it could not reach, a guard stopped by a push), given up
// by a rule of our own (named), or put aside by a newer order. It also keeps
// the longest an order waited behind one its unit could not carry out. Only looks: nothing here
// changes a unit, a goal's behaviour or the checksum, and while nobody switches it on every
// note returns at once.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/Point.h"
#include "core/SimId.h"

class GameObject;
class Goal;
class ObjectWorld;

enum class OrderEnd { Open, CarriedOut, ArrivedByRule, ByStep, GivenUpByRule, Replaced, UnitLost };

// Who gives the orders made while a scope stands: the unit's own rules (its movement, its
// manoeuvres: no order), the player, or whoever controls the unit's side.
enum class OrderGiver { OwnRules, Player, SideController };

class OrderLedger {
public:
    // The counts of one side's orders.
    struct Tally {
        int given = 0;
        int attacks = 0;
        int carriedOut = 0;
        int arrivedByRule = 0;
        int byStep = 0;
        int givenUp = 0;
        int attacksGivenUp = 0;
        int replaced = 0;
        int lost = 0;
        // By the step that ended them, by the rule of ours that counted them arrived, gave them
        // up or held them.
        std::map<std::string, int> steps;
        std::map<std::string, int> arrivals;
        std::map<std::string, int> rules;
        std::map<std::string, int> attackRules;  // the attacks among those given up
        std::map<std::string, int> holds;
        // The longest an order waited (ticks) behind one its unit could not carry out, and
        // what it waited behind.
        int longestWait = 0;
        std::string longestWaitText;
    };

    // Sets the giver while it stands and restores the one before.
    class Scope {
    public:
        Scope(OrderLedger& ledger, OrderGiver giver) : ledger(ledger), saved(ledger.giver) {
            ledger.giver = giver;
        }
        ~Scope() { ledger.giver = saved; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        OrderLedger& ledger;
        OrderGiver saved;
    };

    // The order number a goal holds for a moment while an order is given, to tell the goals it
    // makes from those it found.
    static constexpr int32_t kMarked = -1;
    // A move that ended farther than this from its place (a cell) stopped short of it: its route
    // went to the nearest place it reaches.
    static constexpr int kShortOfPlace = 32;

    explicit OrderLedger(ObjectWorld& world) : world(world) {}

    void SwitchOn() { on = true; }
    void SwitchOff() { on = false; }
    bool IsOn() const { return on; }

    // An order goal just made for the unit: counted as given when the scope's giver gives orders
    // (the side's controller only when the side has one).
    void Given(GameObject& unit, Goal& goal);
    // A guard order: its goal is held apart from the queue. It ends when the unit stops
    // guarding: put aside by a newer order, or ended by a step of the unit's own rules (a push,
    // its formation's), as the giver in scope tells; or with the unit.
    void Guarded(GameObject& unit, Goal& guard);
    void GuardStopped(Goal& guard);
    // The unit's goal loop found the goal done: which step ended it.
    void Done(GameObject& unit, Goal& goal);
    void Ended(GameObject& unit, Goal& goal, OrderEnd end, std::string_view how);
    // Every order in the unit's queue is put aside, or goes with the unit.
    void Cleared(GameObject& unit, OrderEnd end = OrderEnd::Replaced);
    // The unit's front goal leaves the queue. A location order whose route is found goes so,
    // the route's last stop taking its place in the same tick: that stop carries the order on.
    void Popped(GameObject& unit, Goal& goal);
    // A rule of ours gave up the unit's current order, or holds it (each call one hold).
    void GivenUpByRule(GameObject& unit, std::string_view rule);
    // A rule of ours counts the unit's current order arrived where it stands.
    void ArrivedByRule(GameObject& unit, std::string_view rule);
    void HeldByRule(GameObject& unit, std::string_view rule);
    // The last tick a rule of ours held the unit, -1 for none.
    int32_t LastHeld(const SimId& unit) const;

    // The side's counts so far (empty for a side that was given no order).
    Tally TallyOf(int team) const;
    // Orders given and not ended.
    int OpenCount() const { return static_cast<int>(open.size()); }

private:
    struct Entry {
        SimId unit;
        int team = 0;
        bool attack = false;
        int32_t givenTick = 0;
        // A move's place, to tell one that stopped short of it.
        bool move = false;
        Point place;
    };
    int32_t Now() const;
    // Counts the order's end and takes it off the open ones: the order's team, -1 for an order
    // not open.
    int Count(Goal& goal, OrderEnd end, std::string_view how);

    ObjectWorld& world;
    bool on = false;
    OrderGiver giver = OrderGiver::SideController;
    int32_t nextNumber = 0;
    // By order number: numbered in the order given, so every walk is the same on every machine.
    std::map<int32_t, Entry> open;
    std::map<int, Tally> tallies;
    std::map<int64_t, int32_t> lastHeld;
    // By unit, the order popped and the tick, until a goal of the same tick carries it on.
    std::map<int64_t, std::pair<int32_t, int32_t>> handedOver;
};
