#pragma once
// The five goals of the economy: mine a field (type 3), salvage a wreck (4), be repaired at a
// repair unit (5), unload at the team's factory (6) and take on fuel at a refuelling point (8).
// None moves its unit: each works where the unit stands, once the unit covers its working
// point, while the unit class plays the work cycle; the amounts move only on the machine that
// simulates the unit, which tells the others. Each goal ends only a work cycle it started.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "core/Timer.h"
#include "objects/Goal.h"

class GameObject;

class EconomyGoal : public Goal {
public:
    // The step timer gets the period and is started when startNow is 1.
    EconomyGoal(const SimId& owner, int allowManoeuvres, int finishOnArrival, int32_t period,
                int startNow);
    ~EconomyGoal() override;

    // Where the owner stands now; (0, 0) without it.
    Point GetLocation() override;
    // The unit class calls it when the work cycle this goal started has ended.
    void SetWorkDone() { workDone = 1; }

    Timer stepTimer;
    int32_t docked = 0;
    int32_t workDone = 0;

protected:
    GameObject* Owner() const;
};

class MiningGoal : public EconomyGoal {
public:
    static constexpr int32_t kTake = 20;
    static constexpr int32_t kPeriodMs = 500;

    MiningGoal(const SimId& owner, const SimId& field, int allowManoeuvres);
    ~MiningGoal() override;
    int GetType() const override { return static_cast<int>(GoalType::Mining); }
    void Step() override;
    int IsDone() override;
    GoalFields StoredFields() const override;

    SimId targetId;
};

class ScavengeGoal : public EconomyGoal {
public:
    static constexpr int32_t kTake = 20;
    static constexpr int32_t kPeriodMs = 500;

    ScavengeGoal(const SimId& owner, const SimId& wreck, const Point& dockOffset,
                 int allowManoeuvres);
    ~ScavengeGoal() override;
    int GetType() const override { return static_cast<int>(GoalType::Scavenge); }
    void Step() override;
    int IsDone() override;
    GoalFields StoredFields() const override;

    SimId targetId;
    Point dockOffset;
};

class RepairGoal : public EconomyGoal {
public:
    static constexpr int32_t kMend = 10;
    static constexpr int32_t kPeriodMs = 100;

    RepairGoal(const SimId& owner, const SimId& repairer, const Point& dockOffset, int amount,
               int allowManoeuvres, int finishOnArrival);
    ~RepairGoal() override;
    int GetType() const override { return static_cast<int>(GoalType::Repair); }
    int GetAmount() override { return amount; }
    void Step() override;
    int IsDone() override;
    int IsRepair() override { return 1; }
    int ReservedQuery() override { return 1; }
    int HoldsStill() override { return 1; }
    GoalFields StoredFields() const override;

    SimId targetId;
    Point dockOffset;
    // Repair until the damage is at most this.
    int32_t amount;
};

class UnloadGoal : public EconomyGoal {
public:
    static constexpr int32_t kGive = 50;
    static constexpr int32_t kPeriodMs = 500;
    static constexpr int kDockFlags = 2;

    UnloadGoal(const SimId& owner, int amount, int allowManoeuvres);
    ~UnloadGoal() override;
    int GetType() const override { return static_cast<int>(GoalType::Unload); }
    void Step() override;
    int IsDone() override;
    int ReservedQuery() override { return 1; }
    GoalFields StoredFields() const override;

    // What the team's fields make each unloaded unit worth: 1 for a scavenger; for others 1,
    // 2, 3 or 4 as the team holds 0-1, 2-3, 4-6 or 7 and more fields with ore.
    static int Factor(GameObject& unit);

    // Unload until the load is at most this.
    int32_t amount;
};

class RefuelGoal : public EconomyGoal {
public:
    static constexpr int32_t kFuel = 6000;
    static constexpr int32_t kPeriodMs = 200;

    RefuelGoal(const SimId& owner, const Point& point, int fuelPercent, int allowManoeuvres);
    ~RefuelGoal() override;
    int GetType() const override { return static_cast<int>(GoalType::Refuel); }
    void Step() override;
    int IsDone() override;
    int IsRefuel() override { return 1; }
    // Within 48 px of a destination on the map.
    int IsAt(const Point& pos, const Point& dest) override;
    GoalFields StoredFields() const override;

    Point point;
    int32_t fuelPercent;
};

// Where a unit stands to unload at the factory's dock of that index: the middle of the
// path-grid cell that holds the dock point (the rule beside it in EconomyGoals.cpp).
Point UnloadPlace(GameObject& factory, int dock);

// The goal maker the World installs for types 3 to 6 and 8 (null for any other type).
std::unique_ptr<Goal> MakeEconomyGoal(int type, const SimId& owner, const GoalFields& fields,
                                      int allowManoeuvres, int finishOnArrival);
