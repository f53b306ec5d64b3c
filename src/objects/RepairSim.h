#pragma once
// The unit of chassis 'k' (kind 2): it services damaged units that dock beside it. A client's
// repair goal starts the service; the repairer turns toward the client and plays its service
// cycle while the client still needs mending. Sent to a client (OrderRepair), it drives beside
// it and then calls the client over. It mends itself slowly and cannot be selected.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "core/Timer.h"
#include "objects/Sim.h"
#include "objects/WorkCycle.h"

class EconomyGoal;
class PictureTemplate;

class RepairSim : public Sim {
public:
    static constexpr int32_t kSelfRepairMs = 250;
    static constexpr int32_t kDockSide = 64;

    RepairSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design,
              PictureTemplate* role);
    ~RepairSim() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void DrawUnder(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    void IssueOrder(int code, int flags, const Point& p, const SimId& target) override;
    void ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int arg) override;
    int IsGuarding() override { return 0; }
    Point GetGuardPoint() override { return Point(); }
    int GetKind() override { return 2; }
    // A busy repairer is not "landed": a client's repair goal waits for it.
    int IsLanded() override { return servicing == 1 ? 0 : 1; }
    int IsSelectable() override { return 0; }
    int StepMovement() override;
    void OrderRepair(const SimId& client) override;
    // A repairer runs no goal step and no part updates.
    void UpdateParts(int) override {}
    void RunManoeuvreList() override;

    // Faces 0 when the client stands left of the repairer, else 8.
    void StartService(GameObject* client, EconomyGoal* goal);
    void EndService();
    // The client goal whose service runs now (not owned), or null.
    EconomyGoal* ServiceGoal() const { return repairGoal; }

    int32_t servicing = 0;
    Timer selfRepairTimer{kSelfRepairMs};
    SimId client;
    SimId pendingClient;
    // Set by the computer opponents when they send the repairer out: it drives back afterwards.
    int32_t returnFlag = 0;
    Point returnPoint;
    WorkCycle cycle;

private:
    int KeepServicing();
    Image* WorkPicture() const;
    int ServiceFacing() const;

    EconomyGoal* repairGoal = nullptr;
};
