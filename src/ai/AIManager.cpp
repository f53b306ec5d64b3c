#include "ai/AIManager.h"

#include "core/Timer.h"
#include "objects/Squad.h"

AIManager::AIManager(AIController& owner) : owner(owner) {}

AIManager::~AIManager() = default;

int AIManager::IsUnitAvailable(GameObject& /*unit*/, int /*higherPriority*/) {
    return 0;
}

void AIManager::SetLevel(int newLevel) {
    if (newLevel < MinLevel()) {
        level = MinLevel();
    } else if (newLevel > MaxLevel()) {
        level = MaxLevel();
    } else {
        level = newLevel;
    }
}

Squad* AIManager::AddChild(std::unique_ptr<Squad> squad) {
    Squad* added = squad.release();
    children.InsertSorted(added, 1);
    return added;
}

Squad* AIManager::FindChild(int32_t squadId) const {
    for (ListNode* n = children.First(); n; n = children.Next(n)) {
        auto* squad = static_cast<Squad*>(n);
        if (squad->Id() == squadId) return squad;
    }
    return nullptr;
}

void AIManager::DeleteChild(Squad* squad) {
    if (!squad || children.IndexOf(squad) < 0) return;
    if (runCursor == squad->Id()) runCursor = 0;
    delete squad;
}

int AIManager::RunChildren(Timer* budget) {
    // 1. A cursor naming a squad that is gone restarts at the first.
    ListNode* n = runCursor != 0 ? FindChild(runCursor) : nullptr;
    if (!n) n = children.First();
    runCursor = 0;
    // 2, 3. The squad that ran out of budget is the first of the next run.
    while (n) {
        auto* squad = static_cast<Squad*>(n);
        if (squad->Update(budget) == 0) {
            runCursor = squad->Id();
            return 0;
        }
        n = children.Next(n);
    }
    // 4.
    return 1;
}
