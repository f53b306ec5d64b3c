// What the map objects ask of the World beyond the registry and the placement: the controllers,
// the mission, the sounds, and the World's installation as their services.
#include "core/VoicePool.h"
#include "objects/ObjectWorld.h"
#include "world/Scenario.h"
#include "world/TeamController.h"
#include "world/World.h"

ObjectWorldRegistration::ObjectWorldRegistration(ObjectWorld* world) : world(world) {
    SetObjectWorld(world);
}

ObjectWorldRegistration::~ObjectWorldRegistration() {
    if (&TheObjectWorld() == world) SetObjectWorld(nullptr);
}

EventReceiver* World::ControllerOf(int team) {
    return DirectoryOf(team);
}

SquadDirectory* World::DirectoryOf(int team) {
    if (team < 0 || team >= kTeams) return nullptr;
    return controllers[team].get();
}

// Without a scenario in play every game is a free one.
int World::MissionNumber() {
    return scenario ? scenario->missionNumber : 0;
}

char World::MissionClan() {
    return scenario ? scenario->clanLetter : clanLetter;
}

void World::PlaySound(Sound* sound) {
    if (voices && sound) voices->Play(sound);
}
