#include "ai/MissionScriptT3.h"

MissionScriptT3::~MissionScriptT3() = default;

void MissionScriptT3::Setup(int level) {
    AIPlayer::Setup(level);
    GroupA(kMinimumSize);
    HoldProduction(1);
    StartScriptTimer(kHoldMs);
}

void MissionScriptT3::Update(Timer& budget) {
    if (ScriptTimerFired()) HoldProduction(0);
    AIPlayer::Update(budget);
}
