#pragma once
// The rules that keep the economy going without orders: a damaged unit goes to a repair unit
// (type 5), an idle miner to a field (6), an idle scavenger to a wreck (7), a loaded unit home
// to its factory (8) and an aircraft low on fuel to a refuelling structure (15). Each acts at
// most once per period, puts a chain of goals in front of the unit (the last pushed runs
// first) and tells the other machines the new front goal.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "objects/SquadManoeuvre.h"

class GameObject;
struct ManoeuvreArguments;

class RepairManoeuvre : public SquadManoeuvre {
public:
    static constexpr int kNearDistance = 1000;

    RepairManoeuvre(int urgentPercent, int idlePercent, int stayAway);
    ~RepairManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Repair); }

    // Clears the unit's goals and sends it to the repairer's free dock (fleeing its last
    // attacker first); with comeBack it returns to where it stood afterwards. Answers 1.
    static int SendToRepair(Sim& sim, GameObject& repairer, int comeBack);
    // The nearest repair unit of the Sim's team at any distance, or null.
    static GameObject* NearestRepairer(Sim& sim);

    // Damage percentages above which the unit goes even while busy, and when idle to a
    // repairer within kNearDistance.
    int32_t urgentPercent;
    int32_t idlePercent;
    int32_t stayAway;
    // Set when a route to the repair goal failed (or an order took over); OrderRepair clears it.
    int32_t routeFailed = 0;
};

class MiningManoeuvre : public SquadManoeuvre {
public:
    // How far from where it stands a miner looks for a field, in pixels.
    static constexpr int32_t kSearchDistance = 1000;

    explicit MiningManoeuvre(int cargoPercent);
    ~MiningManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Mining); }
    // The field to work on; the null id chooses anew.
    void SetTargetId(const SimId& id) { fieldId = id; }

    int32_t cargoPercent;
    int32_t searchDistance = kSearchDistance;
    SimId fieldId;
};

class ScavengeManoeuvre : public SquadManoeuvre {
public:
    ScavengeManoeuvre();
    ~ScavengeManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Scavenge); }

    int32_t searchDistance = 500;
    // Where the current series of wrecks began; (-1, -1) for none.
    Point homePoint{-1, -1};
};

class UnloadManoeuvre : public SquadManoeuvre {
public:
    explicit UnloadManoeuvre(int value);
    ~UnloadManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Unload); }

    // Given by the builder, not read by the rule.
    int32_t value;
};

class RefuelManoeuvre : public SquadManoeuvre {
public:
    static constexpr int kLowFuelPercent = 11;

    explicit RefuelManoeuvre(int value);
    ~RefuelManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Refuel); }

    int32_t value;
    // Set when a route to the refuel goal failed; the aircraft clears it.
    int32_t routeFailed = 0;
};

// Sets the route-failed flag of the repair manoeuvre when the Sim's queue holds a repair goal,
// else of the refuel manoeuvre when it holds a refuel goal.
void MarkEconomyRouteFailed(Sim& sim, int flag);

// The manoeuvre maker the World installs for types 5 to 8 and 15 (null for any other type).
std::unique_ptr<SquadManoeuvre> MakeEconomyManoeuvre(int type, const ManoeuvreArguments& a);
