#include "ai/MissionScriptV6.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "ai/UnitTraits.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV6::~MissionScriptV6() = default;

void MissionScriptV6::Setup(int level) {
    AIPlayer::Setup(level);
    MakeBaseSquads(3);
    CountFactoryInSupport();
    WalkA();
}

GameObject* MissionScriptV6::TargetObject() {
    GameObject* target = nullptr;
    for (GameObject* o : TeamObjects(world.LocalTeam())) {
        const char role = unit_traits::RoleOf(o);
        if (role == 'f' || role == 'k' || IsDeploying(o)) {
            target = o;
            break;
        }
    }
    if (!target) target = AIPlayer::TargetObject();
    return GrowAttackSize(target, kMaxAttackSize);
}
