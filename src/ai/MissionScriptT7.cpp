#include "ai/MissionScriptT7.h"

MissionScriptT7::~MissionScriptT7() = default;

void MissionScriptT7::Setup(int level) {
    AIPlayer::Setup(level);
    GroupB(kMinimumSize);
    StartScriptTimer(kTimerMs);
}
