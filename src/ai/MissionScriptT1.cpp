#include "ai/MissionScriptT1.h"

#include <memory>

#include "ai/RouteManoeuvre.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"

MissionScriptT1::~MissionScriptT1() = default;

void MissionScriptT1::Setup(int level) {
    AIPlayer::Setup(level);
    Squad& assembling = AddSquad(kAssembling);
    for (GameObject* unit : TeamObjects(team))
        if (unit->Purpose() == kAssembling) assembling.AddMember(*unit, 1);
    StartScriptTimer(kWaitMs);
}

void MissionScriptT1::Update(Timer& budget) {
    if (ScriptTimerFired()) {
        // Only a squad whose attack ended is assembling again by now.
        if (Squad* assembling = FindSquadByKind(kAssembling)) {
            auto route = std::make_unique<RouteManoeuvre>();
            route->loop = 0;
            for (const Point& p : {Point(2960, 304), Point(2576, 464), Point(1936, 528),
                                   Point(912, 816), Point(336, 1456)})
                route->AddWaypoint(p);
            assembling->manoeuvres.Add(std::move(route));
            assembling->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
        }
    }
    AIPlayer::Update(budget);
}
