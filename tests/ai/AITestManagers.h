#pragma once
// A manager for the controller's tests: it records what it is asked, answers as the test says
// and may spend time on a fake clock in each step.
#include <functional>
#include <memory>
#include <vector>

#include "ai/AIController.h"
#include "ai/AIManager.h"
#include "objects/Squad.h"

class RecordingManager : public AIManager {
public:
    RecordingManager(AIController& owner, int32_t id, std::vector<int>* log = nullptr)
        : AIManager(owner), log(log) {
        key = id;
    }
    int IsUnitAvailable(GameObject&, int higherPriority) override {
        availabilityFlags.push_back(higherPriority);
        return lend;
    }
    int Think() override {
        if (log) log->push_back(Id());
        if (onStep) onStep();
        return acts;
    }
    void OnEvent(int32_t kind, void*, void* b) override {
        events.push_back(kind);
        if (kind == 1 && b) built.push_back(*static_cast<SimId*>(b));
    }
    int ClaimUnit(GameObject& unit, int32_t& squadId) override {
        claimedPurposes.push_back(unit.Purpose());
        if (claimSquad == 0) return 0;
        squadId = claimSquad;
        return 1;
    }
    Squad* NewSquad() { return AddChild(std::make_unique<Squad>(owner.Team())); }

    std::vector<int>* log;
    std::function<void()> onStep;
    int acts = 0;
    int lend = 1;
    int32_t claimSquad = 0;
    std::vector<int> availabilityFlags;
    std::vector<int32_t> claimedPurposes;
    std::vector<int> events;
    std::vector<SimId> built;
};

// Replaces the controller's managers with four recording ones (ids 1 .. 4).
inline std::vector<RecordingManager*> InstallRecordingManagers(AIController& ai,
                                                               std::vector<int>* log = nullptr) {
    ai.thinkCursor = nullptr;
    ai.squadCursor = nullptr;
    ai.managers.DeleteAll();
    ai.buildPlanner = nullptr;
    ai.squadPool = nullptr;
    ai.recruiter = nullptr;
    ai.groupManager = nullptr;
    std::vector<RecordingManager*> made;
    for (int32_t id = 1; id <= 4; ++id) {
        auto* m = new RecordingManager(ai, id, log);
        ai.managers.InsertSorted(m, 1);
        made.push_back(m);
    }
    return made;
}
