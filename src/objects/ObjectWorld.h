#pragma once
// What the map objects, their goals and the command buffer ask of the World: lookups by id,
// team questions, new ids and the effect list, placement and the grids, sight, sounds and the
// outgoing command stream. The World implements it and installs itself with SetObjectWorld;
// until one is installed a neutral stand-in answers (nothing found, no map, a switched-off
// command buffer), so objects can be built and tested without a World.
#include <cstdint>
#include <memory>

#include "core/SimId.h"

class CommandBuffer;
class EventReceiver;
class GameObject;
class PathGrid;
class Point;
class Rect;
class SightGrid;
class Sound;
class SquadDirectory;
class TerrainMap;
class UnitMakers;

class ObjectWorld {
public:
    virtual ~ObjectWorld() = default;

    // Lookups; each answers null for the null id or an object that no longer exists.
    // Any list, in the registry's search order.
    virtual GameObject* FindObject(const SimId& id) = 0;
    // The Sim list of the id's team only.
    virtual GameObject* FindSim(const SimId& id) = 0;
    // The destructible-object list (scenario section M) and the wreck list only.
    virtual GameObject* FindDestructible(const SimId& id) = 0;
    virtual GameObject* FindWreckById(const SimId& id) = 0;
    // The team's factory building, or null.
    virtual GameObject* TeamFactory(int team) = 0;

    // Teams. AreAllied and LocalTeam have the terrain services' signatures, so the World's
    // answers serve both.
    virtual int AreAllied(int teamA, int teamB) = 0;
    virtual int LocalTeam() = 0;
    // 1 on the machine that hosts a network game.
    virtual int IsNetworkHost() = 0;
    // The controller of a team (0 .. 4), or null.
    virtual EventReceiver* ControllerOf(int team) = 0;
    // The same controller as the directory of the team's squads (the owner a Sim of the team
    // takes), or null.
    virtual SquadDirectory* DirectoryOf(int team) = 0;
    // 1 when the team owns a standing structure of that code, or the mission grants it.
    virtual int TeamHasStructure(int team, int code) = 0;
    // One more on the first counter of the object's team statistics.
    virtual void AddTeamCount(GameObject* object) = 0;
    // The current scenario's mission number (0 outside the campaign) and campaign clan.
    virtual int MissionNumber() = 0;
    virtual char MissionClan() = 0;

    // Ids and lists.
    virtual SimId NewSimId(int team) = 0;
    // Lists an explosion effect in its team's effect list; the World owns it from then on.
    virtual void AddEffect(std::unique_ptr<GameObject> effect) = 0;
    // Moves an artifact from the artifact list to the taken-artifact list.
    virtual void RetireArtifact(GameObject* artifact) = 0;

    // Placement. A refused placement changes nothing; the blocker out-arguments may be null.
    virtual int PlaceObject(GameObject* object, const Point& p, GameObject** blocker) = 0;
    // relaxed 0 counts the object's own occupancy bits too; radius 0 is its footprint radius.
    virtual int CanPlace(GameObject* object, const Point& p, GameObject** blocker, int relaxed,
                         int radius) = 0;
    virtual void AddToGrids(GameObject* object, const Point& p, int radius) = 0;
    virtual void RemoveFromGrids(GameObject* object, const Point& p, int radius) = 0;
    // 1 when the pixel rectangle lies inside the map on buildable ground only.
    virtual int IsAreaBuildable(const Rect& r) = 0;
    // 1 while route requests are deferred (the path grid's mode word is 1).
    virtual int RouteRequestsDeferred() = 0;

    // 1 when some cell of the pixel rectangle is seen now by the local player.
    virtual int IsRectVisible(const Rect& r) = 0;

    // The map and its grids; null while no land is loaded.
    virtual TerrainMap* Terrain() = 0;
    virtual PathGrid* Paths() = 0;
    virtual SightGrid* Sight() = 0;

    // Plays a sound through the voice pool (nothing for null).
    virtual void PlaySound(Sound* sound) = 0;

    // The outgoing command stream.
    virtual CommandBuffer& Commands() = 0;
    // Hands the outgoing bytes to one peer slot (0 .. 2) or to all (-1) as one message and
    // empties the buffer; nothing when it is empty.
    virtual void SendCommands(int slot) = 0;

    // The makers and shared rules that other parts of the game install for the units.
    virtual UnitMakers& Makers() = 0;
};

// The installed World services; never null.
ObjectWorld& TheObjectWorld();
// Installs the services (null restores the neutral stand-in). The caller keeps ownership.
void SetObjectWorld(ObjectWorld* world);
