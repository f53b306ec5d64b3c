#pragma once
// What the map objects, their goals and the command buffer ask of the World: lookups by id,
// team questions, new ids and the effect list, placement and the grids, sight, sounds and the
// outgoing command stream. The World implements it and installs itself with SetObjectWorld;
// until one is installed a neutral stand-in answers (nothing found, no map, a switched-off
// command buffer), so objects can be built and tested without a World.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/SimId.h"
#include "objects/OrderLedger.h"

class CommandBuffer;
class EventReceiver;
class GameObject;
class NodeList;
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
    // 1 when the autoplay cheat installed the local team's controller, on this machine alone.
    virtual int LocalTeamAutoPlayed() { return 0; }
    // Whether the side is played by the computer, as the rules of our own written for computer
    // players ask it: a side with a controller, but not the local player's own, whose
    // controller may only guide the player (the tutorial's script), unless the autoplay cheat
    // plays it. Peers must agree for every team: in a network game the sides are judged by
    // the controllers every machine installs alike, so the autoplay cheat's controller, which
    // only this machine has, makes no side the computer's there.
    bool PlaysForComputer(int team);
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
    // The two trade places, each tested on the other's place without the other; 0 when either
    // does not fit there, or either is no unit standing on the grids (nothing changes then).
    virtual int TradePlaces(GameObject* a, GameObject* b) = 0;
    virtual void AddToGrids(GameObject* object, const Point& p, int radius) = 0;
    virtual void RemoveFromGrids(GameObject* object, const Point& p, int radius) = 0;
    // 1 when the pixel rectangle lies inside the map on buildable ground only.
    virtual int IsAreaBuildable(const Rect& r) = 0;
    // 1 while route requests are deferred (the path grid's mode word is 1).
    virtual int RouteRequestsDeferred() = 0;
    // 1 when the last route search stopped on its node budget: asked again with the same
    // request, it goes on where it stopped.
    virtual int RouteSearchGoesOn() = 0;

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
    // --- What the units ask beside the above.
    // Places and lists a unit in its team's Sim list; 0 leaves it with the caller.
    virtual int AddSim(std::unique_ptr<GameObject>& sim) = 0;
    // Lists a shot; the World owns it from then on.
    virtual void AddWeapon(std::unique_ptr<GameObject> weapon) = 0;
    // Moves a listed unit from its old team's Sim list to the front of the new team's; 0 when
    // it is not listed (nothing changes).
    virtual int MoveSimToTeam(GameObject* sim, int oldTeam, int newTeam) = 0;
    // The Sims of a team (0 .. 4), newest first; the visit must not add or remove Sims.
    virtual void ForEachSim(int team, const std::function<void(GameObject*)>& visit) = 0;
    virtual GameObject* FindGroup(const SimId& id) = 0;
    // The team's nearest standing structure of that code, or null.
    virtual GameObject* NearestStructure(int team, int code, const Point& p) = 0;
    // An object on layers 1 and 2 within the radius of the object's footprint, or null.
    virtual GameObject* FindObjectNear(GameObject* object, int radius) = 0;
    // 1 when an object of the team (-1: any) stands within two cells of the object.
    virtual int HasObjectAround(GameObject* object, int team) = 0;
    // The artifact on the point's cell, or null.
    virtual GameObject* ArtifactAt(const Point& p) = 0;
    // Notes a local object's position for the view's point list.
    virtual void NoteLocalPosition(GameObject* object) = 0;
    virtual void AddCellEffect(const Point& p) = 0;

    // Routes: the turn of the tick's one search, the queue, the search and its waypoint orders.
    virtual int TakePathTurn(GameObject* object) = 0;
    virtual void QueuePathRequest(GameObject* object) = 0;
    virtual int RequestPath(GameObject* object, const Point& goal, NodeList& route, int flag,
                            int radius) = 0;
    virtual void FollowWaypoints(GameObject* object, NodeList& route, int flags) = 0;
    // count points (PointNode) on a ring round the centre, clamped to the map; 0 for none.
    virtual int MakeRingPoints(const Point& centre, unsigned radius, unsigned count, NodeList& out,
                               double offset) = 0;

    // The game: players in it, whether a peer is connected, the object updates so far, the
    // network-game flag, the scenario's debug flag and the low-detail setting.
    virtual int PlayerCount() = 0;
    virtual int HasPeer() = 0;
    virtual int32_t TickCount() = 0;
    virtual int IsNetworkGame() = 0;
    virtual int DebugMode() = 0;
    virtual int LowDetail() = 0;
    // What became of the units' orders; it only looks, and only once switched on.
    OrderLedger& Orders() { return orderLedger; }

    // --- What the economy asks.
    // FindObject, kept only for a unit whose design's chassis letter is 'h'.
    virtual GameObject* FindCargoCarrier(const SimId& id) = 0;
    // The nearest field with ore left within the limit of the object (0: any distance), or null.
    virtual GameObject* NearestDestructible(GameObject* object, int limit) = 0;
    // The field a miner is sent to, looked for from an object (the miner, or its factory): the
    // World keeps to fields the miner's drive reaches; here, the nearest field.
    virtual GameObject* NearestFieldInReach(GameObject* from, GameObject* /*miner*/, int limit) {
        return NearestDestructible(from, limit);
    }
    // The nearest wreck with salvage left within the limit of the point, or of the object.
    virtual GameObject* NearestWreck(GameObject* object, const Point& p, int limit) = 0;
    // The wreck a scavenger is sent to, looked for from the point with a dock free for the
    // object (the scavenger, or its factory): the World keeps to wrecks the scavenger's drive
    // reaches; here, the nearest wreck.
    virtual GameObject* NearestWreckInReach(GameObject* object, const Point& p, int limit,
                                            GameObject* /*scavenger*/) {
        return NearestWreck(object, p, limit);
    }
    // Whether a repair trip may go from the unit to the point (a repairer, or the side of a
    // damaged one): the World keeps to places the unit's drive reaches; here, every place.
    virtual bool InReachOf(GameObject* /*unit*/, const Point& /*site*/) { return true; }
    // The fields the team owns that still hold ore.
    virtual int CountTeamDestructibles(int team) = 0;

    // --- What the factory asks beside the above; neutral until a World answers.
    // A placeholder holding the object's place at p: its id, or the null id when refused.
    virtual SimId ReservePlace(GameObject* object, const Point& p, GameObject** blocker);
    // Takes the placeholder off the grids and puts the object (null: none) in its place.
    virtual void MoveReservation(const SimId& id, GameObject* object);
    // The nearest ore deposit that still holds ore, or null.
    virtual GameObject* NearestOreDeposit(GameObject* object);
    // The nearest wreck within the limit that has a dock free for the object, or null.
    virtual GameObject* FindNearestWreck(GameObject* object, int limit);

    // --- What the deploying units, flyers and carriers ask. Each answers nothing (no place
    // held, nothing placed) until the World gives it.
    // A deploying unit becomes a structure or a unit again while its team's units and factory
    // are off the grids (the kinds come back through the unit's own setter).
    virtual int DeploySim(GameObject* /*sim*/) { return 0; }
    virtual int UndeploySim(GameObject* /*sim*/) { return 0; }
    // Holds a place for the object at p on the layer; the id of the holder, the null id when
    // the place is taken (the blocker, when asked, names who).
    virtual SimId ReservePlaceOnLayer(SimId& out, GameObject* /*object*/, const Point& /*p*/,
                                      int /*layer*/, GameObject** blocker) {
        if (blocker) *blocker = nullptr;
        out = SimId();
        return out;
    }
    // Gives the held place to the object on the layer (null: just lets the place go).
    virtual void MoveReservationOnLayer(const SimId& /*id*/, GameObject* /*object*/,
                                        int /*layer*/) {}
    // Moves the object to p on the layer; 0 (nothing changed) when the place is taken.
    virtual int PlaceOnLayer(GameObject* /*object*/, const Point& /*p*/, int /*layer*/,
                             GameObject** blocker) {
        if (blocker) *blocker = nullptr;
        return 0;
    }

private:
    OrderLedger orderLedger{*this};
};

// The installed World services; never null.
ObjectWorld& TheObjectWorld();
// Installs the services (null restores the neutral stand-in). The caller keeps ownership.
void SetObjectWorld(ObjectWorld* world);
