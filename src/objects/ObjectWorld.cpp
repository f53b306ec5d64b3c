#include "objects/ObjectWorld.h"

#include "core/Point.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/UnitMakers.h"

namespace {

// Answers while no World is installed: nothing is found, no team is allied with another, no
// map exists, placements are taken as they come, and the command buffer stays switched off.
class NeutralObjectWorld : public ObjectWorld {
public:
    GameObject* FindObject(const SimId&) override { return nullptr; }
    GameObject* FindSim(const SimId&) override { return nullptr; }
    GameObject* FindDestructible(const SimId&) override { return nullptr; }
    GameObject* FindWreckById(const SimId&) override { return nullptr; }
    GameObject* TeamFactory(int) override { return nullptr; }
    int AreAllied(int teamA, int teamB) override { return teamA == teamB ? 1 : 0; }
    int LocalTeam() override { return 1; }
    int IsNetworkHost() override { return 0; }
    EventReceiver* ControllerOf(int) override { return nullptr; }
    SquadDirectory* DirectoryOf(int) override { return nullptr; }
    int TeamHasStructure(int, int) override { return 0; }
    void AddTeamCount(GameObject*) override {}
    int MissionNumber() override { return 0; }
    char MissionClan() override { return 'V'; }
    SimId NewSimId(int team) override { return SimId(team, nextSerial++); }
    // Nobody lists it, so it goes at once.
    void AddEffect(std::unique_ptr<GameObject>) override {}
    void RetireArtifact(GameObject*) override {}
    int PlaceObject(GameObject* object, const Point& p, GameObject** blocker) override {
        if (blocker) *blocker = nullptr;
        if (object) object->MoveTo(p);
        return 1;
    }
    int CanPlace(GameObject*, const Point&, GameObject** blocker, int, int) override {
        if (blocker) *blocker = nullptr;
        return 1;
    }
    void AddToGrids(GameObject*, const Point&, int) override {}
    void RemoveFromGrids(GameObject*, const Point&, int) override {}
    int IsAreaBuildable(const Rect&) override { return 0; }
    int RouteRequestsDeferred() override { return 0; }
    int RouteSearchGoesOn() override { return 0; }
    int IsRectVisible(const Rect&) override { return 0; }
    TerrainMap* Terrain() override { return nullptr; }
    PathGrid* Paths() override { return nullptr; }
    SightGrid* Sight() override { return nullptr; }
    void PlaySound(Sound*) override {}
    CommandBuffer& Commands() override { return commands; }
    void SendCommands(int) override { commands.Rewind(); }
    // None is ever installed here.
    UnitMakers& Makers() override { return makers; }
    // A unit nobody lists stays with its caller.
    int AddSim(std::unique_ptr<GameObject>&) override { return 0; }
    void AddWeapon(std::unique_ptr<GameObject>) override {}
    int MoveSimToTeam(GameObject*, int, int) override { return 0; }
    void ForEachSim(int, const std::function<void(GameObject*)>&) override {}
    GameObject* FindGroup(const SimId&) override { return nullptr; }
    GameObject* NearestStructure(int, int, const Point&) override { return nullptr; }
    GameObject* FindObjectNear(GameObject*, int) override { return nullptr; }
    int HasObjectAround(GameObject*, int) override { return 0; }
    GameObject* ArtifactAt(const Point&) override { return nullptr; }
    void NoteLocalPosition(GameObject*) override {}
    void AddCellEffect(const Point&) override {}
    int TakePathTurn(GameObject*) override { return 0; }
    void QueuePathRequest(GameObject*) override {}
    int RequestPath(GameObject*, const Point&, NodeList&, int, int) override { return 0; }
    void FollowWaypoints(GameObject*, NodeList&, int) override {}
    int MakeRingPoints(const Point&, unsigned, unsigned, NodeList&, double) override { return 0; }
    int TradePlaces(GameObject*, GameObject*) override { return 0; }
    int PlayerCount() override { return 1; }
    int HasPeer() override { return 0; }
    int32_t TickCount() override { return 0; }
    int IsNetworkGame() override { return 0; }
    int DebugMode() override { return 0; }
    int LowDetail() override { return 0; }
    GameObject* FindCargoCarrier(const SimId&) override { return nullptr; }
    GameObject* NearestDestructible(GameObject*, int) override { return nullptr; }
    GameObject* NearestWreck(GameObject*, const Point&, int) override { return nullptr; }
    GameObject* FindNearestWreck(GameObject*, int) override { return nullptr; }
    int CountTeamDestructibles(int) override { return 0; }

private:
    int32_t nextSerial = 1;
    CommandBuffer commands;
    UnitMakers makers;
};

NeutralObjectWorld& Neutral() {
    static NeutralObjectWorld neutral;
    return neutral;
}

ObjectWorld*& Installed() {
    static ObjectWorld* installed = nullptr;
    return installed;
}

}  // namespace

ObjectWorld& TheObjectWorld() {
    ObjectWorld* world = Installed();
    return world ? *world : Neutral();
}

void SetObjectWorld(ObjectWorld* world) {
    Installed() = world;
}

bool ObjectWorld::PlaysForComputer(int team) {
    if (!ControllerOf(team)) return false;
    if (team != LocalTeam()) return true;
    // The local team's controller, where no cheat installed it, came from the scenario, which
    // every peer reads alike; alone, it is the tutorial's guide.
    if (IsNetworkGame() == 1) return LocalTeamAutoPlayed() == 0;
    return LocalTeamAutoPlayed() == 1;
}

SimId ObjectWorld::ReservePlace(GameObject*, const Point&, GameObject** blocker) {
    if (blocker) *blocker = nullptr;
    return SimId();
}

void ObjectWorld::MoveReservation(const SimId&, GameObject*) {}

GameObject* ObjectWorld::NearestOreDeposit(GameObject*) {
    return nullptr;
}

GameObject* ObjectWorld::FindNearestWreck(GameObject*, int) {
    return nullptr;
}
