#include "ai/MissionScriptV1.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "ai/UnitTraits.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV1::~MissionScriptV1() = default;

void MissionScriptV1::Setup(int level) {
    AIPlayer::Setup(level);
    Squad& patrol = AddSquad(kPatrolCode);
    for (GameObject* unit : TeamObjects(team))
        if (unit->Purpose() == kPatrolCode) patrol.AddMember(*unit, 1);
    StartScriptTimer(kWaitMs);
}

void MissionScriptV1::Update(Timer& budget) {
    if (ScriptTimerFired()) {
        if (Squad* patrol = FindSquadByKind(kPatrolCode)) {
            auto route = std::make_unique<RouteManoeuvre>();
            route->loop = 1;
            for (const Point& p : {Point(2736, 752), Point(624, 1200), Point(464, 240)})
                route->AddWaypoint(p);
            patrol->manoeuvres.Add(std::move(route));
            patrol->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
        }
    }
    AIPlayer::Update(budget);
}
