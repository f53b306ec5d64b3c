#include "world/Scenario.h"

#include <cstring>

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/NodeList.h"
#include "core/PointNode.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "map/CollisionFilter.h"
#include "map/TerrainMap.h"
#include "objects/Artifact.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/CommandBuffer.h"
#include "objects/DestructibleObject.h"
#include "objects/GameObject.h"
#include "objects/OreDeposit.h"
#include "world/Campaign.h"
#include "world/MissionStats.h"
#include "world/ScenarioController.h"
#include "world/ScenarioMakers.h"
#include "world/ScenarioText.h"
#include "world/World.h"

namespace {

constexpr int32_t kFactoryStore = 3000;
constexpr int32_t kDestructibleCargo = 12000;
constexpr int32_t kDepositOre = 10000;
constexpr int32_t kNetworkLevel = 5;
const Point kViewMargin(250, 250);
const Size kDepositSize(128, 64);
const Size kArtifactSize(64, 64);
// The number of artifacts follows the map's size around this many pixels a side.
constexpr int32_t kArtifactSide = 3200;
// Draws for one artifact before it is given up; a full map must not hang the start.
constexpr int kArtifactDraws = 1000;

char OtherClan(char clan) {
    return clan == 'T' ? 'V' : 'T';
}

}  // namespace

const Point Scenario::kFactoryOffset(-32, 32);

Scenario::Scenario() {
    for (int32_t& entry : startOrder)
        entry = 1;
    for (int32_t& c : teamColours)
        c = -1;
    for (char& slot : playerSlots)
        slot = 'X';
    for (Point& p : viewPoints)
        p = Point(-1, -1);
}

Scenario::~Scenario() = default;

void Scenario::CopyFrom(const Scenario& other) {
    missionNumber = other.missionNumber;
    landNumber = other.landNumber;
    clanLetter = other.clanLetter;
    localTeam = other.localTeam;
    colour = other.colour;
    computerPlayers = other.computerPlayers;
    difficulty = other.difficulty;
    briefingShown = other.briefingShown;
    viewOrigin = other.viewOrigin;
    debugFlag = other.debugFlag;
    techLevel = other.techLevel;
    resources = other.resources;
    waitingForFactories = other.waitingForFactories;
    networkPlayers = other.networkPlayers;
    factoriesAnnounced = other.factoriesAnnounced;
    artifacts = other.artifacts;
    CopyStartOrder(other);
    std::memcpy(factoryPlaced, other.factoryPlaced, sizeof factoryPlaced);
    std::memcpy(teamColours, other.teamColours, sizeof teamColours);
    std::memcpy(playerSlots, other.playerSlots, sizeof playerSlots);
    if (other.FileName()) {
        SetFileName(other.FileName());
        isSave = other.isSave;
    }
    packEntry = other.packEntry;
    loadedStats.reset();
    if (other.loadedStats) loadedStats = std::make_unique<MissionStats>(*other.loadedStats);
    for (int i = 0; i < kViewPoints; ++i)
        viewPoints[i] = other.viewPoints[i];
}

void Scenario::SetFileName(const char* name) {
    // A text read belongs to the name it was read from.
    text.reset();
    fileName.clear();
    hasFileName = false;
    isSave = false;
    if (!name) return;
    fileName = name;
    hasFileName = true;
    packEntry = -1;
}

void Scenario::SetSaveFileName(const char* name) {
    SetFileName(name);
    isSave = name != nullptr;
}

void Scenario::SelectPackEntry(int entry) {
    SetFileName(nullptr);
    packEntry = entry;
}

void Scenario::ShuffleStartOrder() {
    NodeList scratch;
    for (int key = 0; key < kStartOrderLength; ++key) {
        ListNode* node = new ListNode;
        node->key = key;
        scratch.PushBack(node);
    }
    for (int32_t& entry : startOrder) {
        ListNode* node = scratch.RandomElement();
        entry = node->key;
        delete node;
    }
}

void Scenario::CopyStartOrder(const Scenario& other) {
    std::memcpy(startOrder, other.startOrder, sizeof startOrder);
}

int Scenario::StartPointIndex(int n, int startPointCount) const {
    if (debugFlag) return startPointCount > 0 ? 0 : -1;
    int counted = 0;
    for (const int32_t entry : startOrder) {
        if (entry < 0 || entry >= startPointCount) continue;
        if (++counted == n) return entry;
    }
    return -1;
}

int Scenario::AssignTeamColour(int team, int preferred) {
    if (preferred == 0) return 0;
    if (team < 0 || team >= kTeams) return -1;
    int32_t& result = teamColours[team];
    // The colour of a slot nobody chose, which the set-up screen gives every slot but the
    // player's and any number of teams share, is kept: a campaign mission's opponents have it, and
    // their saved objects came back with the first colour of their clan's range instead.
    if (preferred == kDroppedPlayerColour) {
        if (result == -1) result = preferred;
        return result;
    }
    const int low = preferred >= 5 ? 5 : 1;
    const int high = low + 3;
    // A preferred colour outside the range starts at its bottom, so the search ends.
    if (preferred < low || preferred > high) preferred = low;
    for (int round = 0; result == -1 && round < 4; ++round) {
        int candidate = preferred;
        for (int t = 1; t < kTeams; ++t) {
            if (teamColours[t] != preferred) continue;
            candidate = -1;
            preferred = preferred == high ? low : preferred + 1;
        }
        if (candidate != -1) result = candidate;
    }
    return result;
}

int Scenario::PlayerCount() const {
    return networkPlayers > 0 ? networkPlayers : computerPlayers + 1;
}

int Scenario::AllPlayerSlotsEmpty() const {
    for (int team = 1; team < localTeam && team < kTeams; ++team) {
        if (playerSlots[team] != 'X') return 0;
    }
    return 1;
}

int Scenario::Start(World& world) {
    InstallRegisteredOpponents(world);
    if (world.scenarioMakers.clearSharedCounters) world.scenarioMakers.clearSharedCounters();
    RestartBlockerCycle();
    TakeMissionRow();
    if (!FileName() && packEntry == -1) {
        // The sight grid is made for the local team when the land is loaded.
        world.localPlayer = ValueTriple(localTeam, colour);
        world.LoadLand();
        BuildWorld(world);
        return 1;
    }
    return Load(world);
}

// A campaign mission or the tutorial always comes from its row of the pack, even when the
// descriptor was made without the entry (a new campaign sets mission 1 after taking the
// skirmish row's entry -1).
void Scenario::TakeMissionRow() {
    if (FileName() || packEntry != -1 || missionNumber < 1) return;
    if (const MissionEntry* row = Campaign::GetMissionEntry(clanLetter, missionNumber))
        packEntry = row->packEntry;
}

int Scenario::PrepareDesigns(World& world) {
    for (int team = 1; team < kTeams; ++team) {
        if (world.controllers[team]) world.controllers[team]->PrepareDesigns();
    }
    return 1;
}

GameObject* Scenario::PlaceFactory(World& world, int team, char clan, int startIndex) {
    if (!world.terrain || !world.scenarioMakers.createBuildingSim) return nullptr;
    // The start points in reverse order of the land's list.
    NodeList& points = world.terrain->StartPoints();
    const int count = points.Count();
    if (startIndex < 0 || startIndex >= count) return nullptr;
    auto* node = static_cast<PointNode*>(points.At(count - 1 - startIndex));
    const Point position = node->value + kFactoryOffset;
    std::unique_ptr<GameObject> factory =
        world.scenarioMakers.createBuildingSim(clan, world.NewSimId(team), position, 1);
    if (!factory) return nullptr;
    factoryPlaced[team] = 1;
    factory->Deposit(kFactoryStore);
    factory->AddCargo(kFactoryStore);
    if (world.scenarioMakers.addFactoryResources)
        world.scenarioMakers.addFactoryResources(factory.get(), resources, resources);
    GameObject* placed = factory.get();
    world.AddBuilding(std::move(factory));
    return placed;
}

int Scenario::BuildWorld(World& world) {
    world.clanLetter = clanLetter;
    world.localPlayer = ValueTriple(localTeam, colour);
    world.techLevelT = techLevel;
    world.techLevelV = techLevel;
    const int startPoints = world.terrain ? world.terrain->StartPoints().Count() : 0;

    // A land with too few start points leaves the team without a building rather than
    // reading past its list.
    if (GameObject* factory =
            PlaceFactory(world, localTeam, clanLetter, StartPointIndex(localTeam, startPoints))) {
        viewOrigin = factory->GetPosition() - kViewMargin;
        factory->teamRecord.third = colour;
        world.commands->SendCreateFactory(factory, clanLetter);
    }

    if (world.networkGame) {
        waitingForFactories = 1;
        for (int team = 1; team < kTeams; ++team) {
            if (team != localTeam && playerSlots[team] != 'X') factoryPlaced[team] = 1;
        }
    } else if (debugFlag == 0) {
        const char opponents = OtherClan(clanLetter);
        const int wanted = computerPlayers > 0 ? computerPlayers : 1;
        int made = 0;
        for (int team = 1; team < kTeams && made < wanted; ++team) {
            if (team == localTeam) continue;
            ++made;
            GameObject* factory =
                PlaceFactory(world, team, opponents, StartPointIndex(team, startPoints));
            if (factory) {
                factory->teamRecord.third = opponents == 'T' ? team + 4 : team;
                teamColours[team] = factory->teamRecord.third;
                world.commands->SendCreateFactory(factory, opponents);
            }
            if (computerPlayers != 0 && world.scenarioMakers.makeController) {
                ControllerRequest request;
                request.mission = missionNumber;
                request.campaignClan = clanLetter;
                request.team = team;
                request.clan = opponents;
                request.techLevel = techLevel;
                world.SetTeamController(team, world.scenarioMakers.makeController(request));
            }
        }
    }

    DestructibleTemplate* destructible =
        static_cast<DestructibleTemplate*>(DestructibleList.First());
    if (world.terrain && destructible) {
        NodeList& seconds = world.terrain->SecondPoints();
        for (ListNode* n = seconds.First(); n; n = seconds.Next(n)) {
            std::unique_ptr<GameObject> object = std::make_unique<DestructibleObject>(
                static_cast<PointNode*>(n)->value, destructible->pictures.get(), world.NewSimId(0));
            object->SetCargoCapacity(kDestructibleCargo);
            object->AddCargo(kDestructibleCargo);
            world.AddDestructible(object);
        }
    }
    if (world.terrain) {
        NodeList& starts = world.terrain->StartPoints();
        for (ListNode* n = starts.First(); n; n = starts.Next(n)) {
            std::unique_ptr<GameObject> deposit = std::make_unique<OreDeposit>(
                static_cast<PointNode*>(n)->value, kDepositSize, OreDepositPictures,
                CollisionFilter(0, 0, 0, 0, 0), world.NewSimId(0));
            deposit->Deposit(kDepositOre);
            world.AddOreDeposit(deposit);
        }
    }

    int pairs = difficulty - 2;
    for (int a = 1; a < kTeams && pairs > 0; ++a) {
        if (!world.controllers[a]) continue;
        for (int b = a + 1; b < kTeams && pairs > 0; ++b) {
            if (!world.controllers[b]) continue;
            world.Ally(SimId(a, 0), SimId(b, 0));
            --pairs;
        }
    }

    if (autoPlayFlag && world.scenarioMakers.makeController) {
        ControllerRequest request;
        request.mission = missionNumber;
        request.campaignClan = clanLetter;
        request.team = localTeam;
        request.clan = clanLetter;
        request.techLevel = techLevel;
        world.SetTeamController(localTeam, world.scenarioMakers.makeController(request));
        world.localTeamAutoPlayed = world.controllers[localTeam] ? 1 : 0;
    }
    for (int team = 1; team < kTeams; ++team) {
        auto* controller = dynamic_cast<ScenarioController*>(world.controllers[team].get());
        if (controller) controller->Setup(world.networkGame ? kNetworkLevel : difficulty);
    }
    if (!world.networkGame) ScatterArtifacts(world);
    MissionStats::ResetTotals(world);
    return 1;
}

void Scenario::ScatterArtifacts(World& world) {
    if (artifacts == 0 || !world.terrain) return;
    const Size extent = world.terrain->PixelExtent();
    int count = 20;
    if (extent.w < kArtifactSide || extent.h < kArtifactSide)
        count = 10;
    else if (extent.w > kArtifactSide || extent.h > kArtifactSide)
        count = 40;
    for (int i = 0; i < count; ++i) {
        Point p;
        p.y = RandomRange(0, extent.h - 1);
        p.x = RandomRange(0, extent.w - 1);
        std::unique_ptr<GameObject> artifact =
            std::make_unique<Artifact>(p, kArtifactSize, ArtifactPictures, ArtifactSound,
                                       CollisionFilter(2, 1, 1, 1, 1), world.NewSimId(0));
        GameObject* made = artifact.get();
        int placed = world.AddArtifact(artifact);
        for (int draw = 1; !placed && draw < kArtifactDraws; ++draw) {
            p.y = RandomRange(0, extent.h - 1);
            p.x = RandomRange(0, extent.w - 1);
            artifact->SetPosition(p);
            placed = world.AddArtifact(artifact);
        }
        // An artifact that found no place is deleted with its holder and never announced.
        if (placed)
            world.commands->SendCreateScenarioObject(made,
                                                     static_cast<Artifact*>(made)->effectType);
    }
}

void Scenario::NextRound(World& world) {
    ++factoriesAnnounced;
    if (factoriesAnnounced != PlayerCount() - 1) return;
    waitingForFactories = 0;
    if (!world.networkHost) return;
    ScatterArtifacts(world);
    if (world.networkGame) {
        world.pauseLocked = 0;
        // The mission's time starts with play, as on the guests at the same message.
        world.StartClocks(1);
        world.SetPaused(0);
        world.commands->SendAllPlaced();
        world.commands->SendPause(0);
    }
}
