#include "ai/MissionScriptV5.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "ai/UnitTraits.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV5::~MissionScriptV5() = default;

void MissionScriptV5::Setup(int level) {
    AIPlayer::Setup(level);
    MakeBaseSquads(3);
    CountFactoryInSupport();
    WalkA();
}

GameObject* MissionScriptV5::TargetObject() {
    const int32_t local = world.LocalTeam();
    if (targetTeam != local && !world.TeamFactory(targetTeam)) targetTeam = local;
    GameObject* target = nullptr;
    for (GameObject* o : TeamObjects(targetTeam)) {
        const char role = unit_traits::RoleOf(o);
        if (role == 'f' || role == 'k' || IsDeploying(o)) {
            target = o;
            break;
        }
    }
    if (!target) target = AIPlayer::TargetObject();
    return GrowAttackSize(target, kMaxAttackSize);
}
