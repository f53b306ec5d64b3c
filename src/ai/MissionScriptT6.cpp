#include "ai/MissionScriptT6.h"

MissionScriptT6::~MissionScriptT6() = default;

void MissionScriptT6::Setup(int level) {
    AIPlayer::Setup(level);
    GroupB(kMinimumSize);
}

GameObject* MissionScriptT6::TargetObject() {
    return GrowAttackSize(AIPlayer::TargetObject(), kMaxAttackSize);
}
