#include "ai/MissionScriptV3.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "ai/UnitTraits.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV3::~MissionScriptV3() = default;

void MissionScriptV3::Setup(int level) {
    AIPlayer::Setup(level);
    GroupA(3);
    HoldProduction(1);
    StartScriptTimer(kHoldMs);
}

void MissionScriptV3::Update(Timer& budget) {
    if (ScriptTimerFired()) HoldProduction(0);
    AIPlayer::Update(budget);
}

GameObject* MissionScriptV3::TargetObject() {
    GameObject* target = nullptr;
    for (GameObject* o : TeamObjects(world.LocalTeam()))
        if (unit_traits::RoleOf(o) == 'f') {
            target = o;
            break;
        }
    if (!target) target = AIPlayer::TargetObject();
    return GrowAttackSize(target, kMaxAttackSize);
}
