#pragma once
// A small standing rule that gives a unit or a squad something to do when its orders leave
// room: attack what blocks it, retaliate, explore, go mining, get repaired. Every manoeuvre
// type implements this contract; the node's key is its priority (lower runs first) and the
// ManoeuvreList it is added to owns it.
#include <cstdint>

#include "core/ListNode.h"
#include "core/Timer.h"

class Sim;
class Squad;

// The manoeuvre types, by the ids that designs and scripts use.
enum class ManoeuvreType : int32_t {
    Formation = 1,
    AssignTarget = 2,
    Attack = 3,
    Target = 4,
    Repair = 5,
    Mining = 6,
    Scavenge = 7,
    Unload = 8,
    EngageNearest = 9,
    AbandonTarget = 10,
    ClearWay = 11,
    Retaliate = 12,
    AfterCombat = 13,
    Explore = 14,
    Refuel = 15,
    FaceAttacker = 16,
    Route = 17,
};

class SquadManoeuvre : public ListNode {
public:
    static constexpr int32_t kPeriodMs = 5000;

    // The timer starts now.
    SquadManoeuvre();
    ~SquadManoeuvre() override;

    // The rule for one Sim: 1 when it acted (the list then restarts this manoeuvre's timer and
    // runs no further manoeuvre this time).
    virtual int Execute(Sim& sim);
    // The rule for a whole squad: 1 stops this pass over the squad's list.
    virtual int ExecuteForSquad(Squad& squad);
    // The type id, 1 to 17.
    virtual int GetType() const = 0;

    int32_t Priority() const { return key; }
    void SetPriority(int32_t priority) { key = priority; }

    // Restarted whenever the manoeuvre acted for a Sim; a type that may act only once per
    // period tests it in its own rule.
    Timer timer{kPeriodMs};
};
