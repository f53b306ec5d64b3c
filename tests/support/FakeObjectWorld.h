#pragma once
// A World for the map-object tests: it installs itself as the objects' services while it lives,
// finds the objects a test hands it (not owned), keeps the effects given to it, answers team
// questions from settable tables, has path and sight grids of a given size in cells (a terrain
// map only when a test installs one), records sounds, placements and sends, and owns an
// outgoing command buffer whose messages it keeps.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "core/Point.h"
#include "core/Rect.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "objects/UnitMakers.h"

class FakeObjectWorld : public ObjectWorld {
public:
    static constexpr int kCell = 32;

    explicit FakeObjectWorld(int columns = 10, int rows = 10);
    ~FakeObjectWorld() override;
    FakeObjectWorld(const FakeObjectWorld&) = delete;
    FakeObjectWorld& operator=(const FakeObjectWorld&) = delete;

    // Objects FindObject answers for; a Sim-list object is found by FindSim too.
    void Add(GameObject* object, bool inSimList = false);
    void Forget(GameObject* object);
    void Ally(int a, int b) { allied[a][b] = allied[b][a] = 1; }
    void GrantStructure(int team, int code) { structures.insert({team, code}); }
    // The map's pixel size.
    Size Area() const { return Size(columns * kCell, rows * kCell); }

    GameObject* FindObject(const SimId& id) override;
    GameObject* FindSim(const SimId& id) override;
    GameObject* FindDestructible(const SimId& id) override;
    GameObject* FindWreckById(const SimId& id) override;
    GameObject* TeamFactory(int team) override;
    int AreAllied(int teamA, int teamB) override;
    int LocalTeam() override { return localTeam; }
    int IsNetworkHost() override { return host; }
    EventReceiver* ControllerOf(int team) override;
    int LocalTeamAutoPlayed() override { return localTeamAutoPlayed; }
    SquadDirectory* DirectoryOf(int team) override {
        return team >= 0 && team < 5 ? directories[team] : nullptr;
    }
    int TeamHasStructure(int team, int code) override;
    void AddTeamCount(GameObject* object) override;
    int MissionNumber() override { return mission; }
    char MissionClan() override { return missionClan; }
    SimId NewSimId(int team) override { return SimId(team, nextSerial++); }
    void AddEffect(std::unique_ptr<GameObject> effect) override;
    void RetireArtifact(GameObject* artifact) override { retired.push_back(artifact); }
    int PlaceObject(GameObject* object, const Point& p, GameObject** blocker) override;
    int CanPlace(GameObject* object, const Point& p, GameObject** blocker, int relaxed,
                 int radius) override;
    int TradePlaces(GameObject* a, GameObject* b) override;
    void AddToGrids(GameObject* object, const Point& p, int radius) override;
    void RemoveFromGrids(GameObject* object, const Point& p, int radius) override;
    int IsAreaBuildable(const Rect& r) override;
    int RouteRequestsDeferred() override { return deferred; }
    int RouteSearchGoesOn() override { return searchGoesOn; }
    int IsRectVisible(const Rect&) override { return visible; }
    TerrainMap* Terrain() override { return terrain.get(); }
    PathGrid* Paths() override { return &paths; }
    SightGrid* Sight() override { return &sight; }
    void PlaySound(Sound* sound) override { played.push_back(sound); }
    CommandBuffer& Commands() override { return commands; }
    void SendCommands(int slot) override;
    UnitMakers& Makers() override { return makers; }
    int AddSim(std::unique_ptr<GameObject>& sim) override;
    void AddWeapon(std::unique_ptr<GameObject> weapon) override {
        shots.push_back(std::move(weapon));
    }
    int MoveSimToTeam(GameObject* sim, int oldTeam, int newTeam) override;
    void ForEachSim(int team, const std::function<void(GameObject*)>& visit) override;
    GameObject* FindGroup(const SimId& id) override;
    // The structure a test names, of any code.
    GameObject* NearestStructure(int, int, const Point&) override { return structure; }
    GameObject* FindObjectNear(GameObject* o, int radius) override {
        return objectNear ? objectNear(o, radius) : nullptr;
    }
    int HasObjectAround(GameObject*, int) override { return objectAround; }
    GameObject* ArtifactAt(const Point&) override { return artifact; }
    void NoteLocalPosition(GameObject*) override { ++positionNotes; }
    void AddCellEffect(const Point& p) override { cellEffects.push_back(p); }
    int TakePathTurn(GameObject*) override { return pathTurn; }
    void QueuePathRequest(GameObject*) override { ++queuedRequests; }
    // A straight route from the object to the goal, or none while routeFound is 0.
    int RequestPath(GameObject* object, const Point& goal, NodeList& route, int flag,
                    int radius) override;
    // One location order per waypoint after the first, as the World gives them.
    void FollowWaypoints(GameObject* object, NodeList& route, int flags) override;
    int MakeRingPoints(const Point& centre, unsigned radius, unsigned count, NodeList& out,
                       double offset) override;
    int PlayerCount() override { return players; }
    int HasPeer() override { return peer; }
    int32_t TickCount() override { return ticks; }
    int IsNetworkGame() override { return network; }
    int DebugMode() override { return debug; }
    int LowDetail() override { return lowDetail; }
    // The economy's lookups over the objects the test added.
    GameObject* FindCargoCarrier(const SimId& id) override;
    GameObject* NearestDestructible(GameObject* object, int limit) override;
    GameObject* NearestWreck(GameObject* object, const Point& p, int limit) override;
    GameObject* FindNearestWreck(GameObject* object, int limit) override;
    int CountTeamDestructibles(int team) override;
    // The points of outOfReach are not reached; the rest as any world without terrain answers.
    bool InReachOf(GameObject* unit, const Point& p) override {
        return std::find(outOfReach.begin(), outOfReach.end(), p) == outOfReach.end() &&
               ObjectWorld::InReachOf(unit, p);
    }
    // A reservation is refused at the blocked points (naming placementBlocker); each taken one
    // is listed until it is moved.
    SimId ReservePlace(GameObject* object, const Point& p, GameObject** blocker) override;
    void MoveReservation(const SimId& id, GameObject* object) override;
    GameObject* NearestOreDeposit(GameObject*) override { return oreDeposit; }

    int columns;
    int rows;
    std::vector<GameObject*> objects;
    std::vector<GameObject*> sims;
    std::vector<std::unique_ptr<GameObject>> effects;
    std::vector<GameObject*> retired;
    int allied[5][5] = {};
    int localTeam = 1;
    // 1 as though the autoplay cheat played the local team: its controller plays it.
    int localTeamAutoPlayed = 0;
    int host = 0;
    EventReceiver* controllers[5] = {};
    SquadDirectory* directories[5] = {};
    std::set<std::pair<int, int>> structures;
    int teamCounts[5] = {};
    int mission = 0;
    char missionClan = 'V';
    int32_t nextSerial = 1000;
    GameObject* factories[5] = {};
    // CanPlace refuses these points, naming blockedBy; each call's relaxed flag is noted.
    std::vector<Point> blocked;
    GameObject* blockedBy = nullptr;
    // And these only where objects count (not relaxed): a structure's cover.
    std::vector<Point> covered;
    std::vector<int> canPlaceRelaxed;
    std::vector<Point> outOfReach;
    int placements = 0;
    // While set, PlaceObject refuses every point and names this blocker (may be null).
    int refusePlacement = 0;
    GameObject* placementBlocker = nullptr;
    int gridAdds = 0;
    int gridRemoves = 0;
    // Buildable ground: every rectangle inside the map unless a test says otherwise.
    std::function<int(const Rect&)> buildable;
    int deferred = 0;
    int searchGoesOn = 0;
    int visible = 1;
    std::unique_ptr<TerrainMap> terrain;
    PathGrid paths;
    SightGrid sight;
    std::vector<Sound*> played;
    CommandBuffer commands;
    // Every message handed to the links, in order.
    std::vector<std::vector<uint8_t>> sent;
    // Empty until a test installs its fakes.
    UnitMakers makers;
    // Units listed through AddSim (owned), refused while acceptSims is 0; shots listed.
    std::vector<std::unique_ptr<GameObject>> ownedSims;
    int acceptSims = 1;
    std::vector<std::unique_ptr<GameObject>> shots;
    std::vector<GameObject*> groups;
    int objectAround = 0;
    // What FindObjectNear answers (null when unset).
    std::function<GameObject*(GameObject*, int)> objectNear;
    GameObject* artifact = nullptr;
    GameObject* structure = nullptr;
    int positionNotes = 0;
    std::vector<Point> cellEffects;
    int pathTurn = 1;
    int queuedRequests = 0;
    int routeFound = 1;
    int routeRequests = 0;
    // The goal point and search flag of the last route request.
    Point lastAsked;
    int lastSearchFlag = -1;
    int players = 1;
    int peer = 0;
    int32_t ticks = 0;
    int network = 0;
    int debug = 0;
    int lowDetail = 0;
    // The placeholders held (their ids and points), and the objects put in their place (null
    // when a placeholder was just dropped).
    std::vector<std::pair<SimId, Point>> reservations;
    std::vector<GameObject*> reservationTakers;
    // Each AddToGrids and RemoveFromGrids with its point and radius, in order (+1 add, -1 remove).
    struct GridCall {
        int sign;
        Point p;
        int radius;
    };
    std::vector<GridCall> gridCalls;
    GameObject* oreDeposit = nullptr;

private:
    ObjectWorld* previous;
};
