#pragma once
// What miners and scavengers share: they stand still at a working facing while their goal
// moves the load, play a work cycle from their work pictures (one sequence per facing index),
// and unload the same way at a dock of their factory. MinerSim and ScavengerSim give the
// tables, the facing they turn to and the object they work on.
#include <cstdint>
#include <memory>

#include "core/SimId.h"
#include "objects/Sim.h"
#include "objects/WorkCycle.h"

class EconomyGoal;
class PictureTemplate;

class HaulerSim : public Sim {
public:
    // What tells the two kinds apart.
    struct Profile {
        // Working facings by facing index.
        const int32_t* facings;
        int32_t facingCount;
        const WorkTable* workTable;
        const WorkTable* unloadTable;
        int32_t unloadIndex;
        // The goal type of the work (mining 3, scavenging 4).
        int32_t workGoalType;
        // 1: an order cuts an unloading cycle short too.
        int32_t cutsUnloading;
    };

    HaulerSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design,
              PictureTemplate* role, const Profile& profile);
    ~HaulerSim() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void DrawUnder(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    void IssueOrder(int code, int flags, const Point& p, const SimId& target) override;
    void ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int arg) override;
    int CanUnload() override { return IsWorking() ? 0 : 1; }
    void BeginUnload(Goal* goal) override;
    void EndUnload() override;
    int StepMovement() override;

    // 1 in a work or an unloading cycle.
    int IsWorking() const { return working == 1 || unloading == 1 ? 1 : 0; }
    // The goals whose cycles run now (not owned); null when none.
    EconomyGoal* WorkGoal() const { return workGoal; }
    EconomyGoal* UnloadGoal() const { return unloadGoal; }

    int32_t working = 0;
    int32_t unloading = 0;
    SimId target;
    WorkCycle cycle;

protected:
    // Starts a work cycle on the object at the facing index.
    void StartWork(GameObject* object, EconomyGoal* goal, int facingIndex);
    // Marks the goal's work done and goes idle.
    void StopWork();
    // The worked object by the kind's own lookup, or null.
    virtual GameObject* FindWorkTarget() = 0;

private:
    int WorkingFacing() const;
    int KeepWorking();
    void CutShort();
    // The work picture while it works at its working facing, else null.
    Image* WorkPicture() const;

    EconomyGoal* workGoal = nullptr;
    EconomyGoal* unloadGoal = nullptr;
    const Profile& profile;
};
