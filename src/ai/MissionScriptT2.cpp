#include "ai/MissionScriptT2.h"

#include <memory>

#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptT2::~MissionScriptT2() = default;

void MissionScriptT2::Setup(int level) {
    AIPlayer::Setup(level);
    Squad& assembling = AddSquad(kAssembling);
    for (GameObject* unit : TeamObjects(team)) {
        const int32_t word = unit->Purpose();
        if (word == kAssembling) {
            assembling.AddMember(*unit, 1);
        } else if (word != 0) {
            // Word 40 too: without an attack manoeuvre that squad only holds its units.
            SquadOfCode(word).AddMember(*unit, 1);
        }
    }
    StartScriptTimer(kWaitMs);
}

void MissionScriptT2::Update(Timer& budget) {
    AttackLocalFactoryWhenTimerFires();
    AIPlayer::Update(budget);
}
