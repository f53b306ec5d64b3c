#include "ai/MissionScriptV7.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "ai/UnitTraits.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV7::~MissionScriptV7() = default;

void MissionScriptV7::Setup(int level) {
    AIPlayer::Setup(level);
    Squad& assembling = AddSquad(kAssembling);
    assembling.manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
    minimumAttackSize = 1;
    Squad& patrol = AddSquad(kPatrolCode);
    auto route = std::make_unique<RouteManoeuvre>();
    route->loop = 1;
    for (const Point& p : {Point(5328, 3952), Point(4912, 4112), Point(2896, 4112),
                           Point(1488, 4112), Point(816, 3952), Point(2896, 3952)})
        route->AddWaypoint(p);
    patrol.manoeuvres.Add(std::move(route));
    patrol.manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
    for (GameObject* unit : TeamObjects(team)) {
        const int32_t word = unit->Purpose();
        if (word != 0) SquadOfCode(word).AddMember(*unit, 1);
    }
}

void MissionScriptV7::Update(Timer& budget) {
    // The hold release of the missions before: the timer is never started here.
    if (ScriptTimerFired()) HoldProduction(0);
    AIPlayer::Update(budget);
}

GameObject* MissionScriptV7::TargetObject() {
    GameObject* target = nullptr;
    for (GameObject* o : TeamObjects(world.LocalTeam()))
        if (unit_traits::StructureType(o) == kTargetStructure) {
            target = o;
            break;
        }
    if (!target) target = AIPlayer::TargetObject();
    return GrowAttackSize(target, kMaxAttackSize);
}
