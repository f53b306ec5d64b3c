#include "ai/MissionScriptT9.h"

MissionScriptT9::~MissionScriptT9() = default;

void MissionScriptT9::Setup(int level) {
    AIPlayer::Setup(level);
    GroupA(kMinimumSize);
}
