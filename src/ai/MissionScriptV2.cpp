#include "ai/MissionScriptV2.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "ai/UnitTraits.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV2::~MissionScriptV2() = default;

void MissionScriptV2::Setup(int level) {
    AIPlayer::Setup(level);
    Squad& assembling = AddSquad(kAssembling);
    bool attackFounded = false;
    for (GameObject* unit : TeamObjects(team)) {
        const int32_t word = unit->Purpose();
        if (word == kAssembling) {
            assembling.AddMember(*unit, 1);
        } else if (word == kAttacking) {
            if (attackFounded) continue;
            attackFounded = true;
            FoundAttackSquad().AddMember(*unit, 1);
        } else if (word != 0) {
            SquadOfCode(word).AddMember(*unit, 1);
        }
    }
    StartScriptTimer(kWaitMs);
}

void MissionScriptV2::Update(Timer& budget) {
    AttackLocalFactoryWhenTimerFires();
    AIPlayer::Update(budget);
}
