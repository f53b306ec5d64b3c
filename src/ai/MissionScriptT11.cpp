#include "ai/MissionScriptT11.h"

#include "ai/ManagerTools.h"
#include "objects/GameObject.h"
#include "objects/GoalQueue.h"
#include "world/World.h"

namespace {

constexpr int kClearOrder = 9;
constexpr int kBoardOrder = 11;
constexpr int kBoardFlags = 6;
constexpr int kMoveOrder = 1;
constexpr int kMoveFlags = 0x1d;
constexpr int kAttackOrder = 2;
constexpr int kAttackFlags = 0xf;

}  // namespace

MissionScriptT11::~MissionScriptT11() = default;

void MissionScriptT11::Setup(int level) {
    AIController::Setup(level);
    transportTimer.period = kWavePeriodMs;
    transportTimer.Start();
}

void MissionScriptT11::Update(Timer& budget) {
    // 1.
    if (team == kWaveTeam && transportTimer.Expired()) {
        SendWave();
        // Also when the transport or the factory was missing: the next wave is due in turn.
        transportTimer.Start();
    }
    // 2.
    AIController::Update(budget);
}

void MissionScriptT11::SendWave() {
    GameObject* transport = world.FindSim(SimId(kWaveTeam, kTransportSerial));
    GameObject* factory = world.TeamFactory(world.LocalTeam());
    if (!transport || !factory) return;
    int32_t chosen = 0;
    for (GameObject* unit : manager_tools::Objects(world.sims[team])) {
        if (unit->goals.AttackTarget(unit, 1) || unit->goals.HasRepairGoal()) continue;
        const int32_t word = unit->Purpose();
        if (word != kFirstWord && word != kSecondWord) continue;
        if (chosen != 0 && chosen != word) continue;
        unit->ExecuteOrder(kClearOrder, 0, Point(), SimId(), 0);
        unit->ExecuteOrder(kBoardOrder, kBoardFlags, Point(), transport->id, 0);
        unit->ExecuteOrder(kMoveOrder, kMoveFlags, transport->GetPosition(), SimId(), 0);
        unit->ExecuteOrder(kAttackOrder, kAttackFlags, factory->GetPosition(), factory->id, 0);
        chosen = word;
    }
}

void MissionScriptT11::PauseTimers() {
    AIController::PauseTimers();
    transportTimer.Pause();
}

void MissionScriptT11::ResumeTimers() {
    AIController::ResumeTimers();
    transportTimer.Resume();
}
