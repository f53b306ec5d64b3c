#include "ai/MissionScriptV4.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "ai/UnitTraits.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV4::~MissionScriptV4() = default;

void MissionScriptV4::Setup(int level) {
    AIPlayer::Setup(level);
    GroupA(1);
    if (Factory()) {
        HoldProduction(1);
        CountFactoryInSupport();
    }
    StartScriptTimer(kHoldMs);
}

void MissionScriptV4::Update(Timer& budget) {
    if (ScriptTimerFired()) HoldProduction(0);
    AIPlayer::Update(budget);
}

int MissionScriptV4::LaunchAttack(Squad& squad) {
    FactoryProduction* controls = FactoryControls();
    if (!controls || controls->IsProductionPaused()) return 0;
    return AIPlayer::LaunchAttack(squad);
}

GameObject* MissionScriptV4::TargetObject() {
    GameObject* target = nullptr;
    for (GameObject* o : TeamObjects(world.LocalTeam()))
        if (unit_traits::StructureType(o) == kTargetStructure) {
            target = o;
            break;
        }
    if (!target) target = AIPlayer::TargetObject();
    return GrowAttackSize(target, kMaxAttackSize);
}
