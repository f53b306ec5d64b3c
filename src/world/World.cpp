#include "world/World.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/BusyIndicator.h"
#include "core/MusicPlayer.h"
#include "core/PaletteCycler.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "core/Trace.h"
#include "core/VoicePool.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/CommandBuffer.h"
#include "objects/EconomyMakers.h"
#include "objects/GameObject.h"
#include "objects/LandFeature.h"
#include "objects/ManoeuvreMakers.h"
#include "objects/WeaponTemplates.h"
#include "ui/ScreenBase.h"
#include "world/CommLink.h"
#include "world/GameFlow.h"
#include "world/GameRecords.h"
#include "world/MissionStats.h"
#include "world/ObjectNode.h"
#include "world/SavedGameIndex.h"
#include "world/Scenario.h"
#include "world/ScenarioCheck.h"
#include "world/ScreenFactory.h"
#include "world/TeamController.h"
#include "world/WorldGameRecords.h"

namespace {
// Every catalogue part is accepted while designs are read or written.
constexpr int32_t kAllTechLevels = 8;
// A land feature covers a little more than its 32-pixel cell.
const Size kLandFeatureSize(34, 34);
}  // namespace

World* TheWorld() {
    return dynamic_cast<World*>(application);
}

void RequestGameMode(GameMode mode) {
    if (World* world = TheWorld()) world->requestedMode = static_cast<int32_t>(mode);
}

// Runs before the entry routine: nothing here may read another dynamically initialised global.
World::World() {
    ResetAlliances();
    commands = std::make_unique<CommandBuffer>();
    gameFlow = std::make_unique<GameFlow>(*this);
    ownRecords = std::make_unique<WorldGameRecords>(*this);
    gameRecords = ownRecords.get();
    InstallScenarioMakers();
    InstallSpecialUnits();
    InstallEconomyMakers(unitMakers);
    InstallWeaponTemplates();
    InstallManoeuvreMakers(unitMakers);
    // Every World plays from the same first push facing, whatever an earlier one left.
    RestartBlockerCycle();
    designLibrary = std::make_unique<DesignLibrary>();
    SetCatalogueServices(this);
    terrainServices = this;
}

World::~World() {
    // The controllers go while the object lists still stand, so that they can release the
    // objects that name them as owner.
    for (auto& controller : controllers)
        controller.reset();
    ForgetObjectLookups();
    // Records made from now on are plain again, as before this World.
    SetWeaponTemplateMaker({});
    if (&Services() == this) SetCatalogueServices(nullptr);
    if (terrainServices == this) terrainServices = nullptr;
    if (currentScreen != battleScreen.get() && currentScreen != designScreen.get()) {
        delete currentScreen;
    }
    currentScreen = nullptr;
    for (PeerSlot& peer : peerSlots) {
        delete peer.peerLink;
        peer.peerLink = nullptr;
    }
}

int World::ClanTechLevel(char clan) const {
    if (clan == 'T') return techLevelT;
    if (clan == 'V') return techLevelV;
    return techLevelT < techLevelV ? techLevelT : techLevelV;
}

VehicleDesign* World::LocalFactoryDesign() {
    GameObject* factory = TeamFactory(localPlayer.first);
    return factory ? factory->GetDesign() : nullptr;
}

const ShadeTable* World::TerrainColourTable() const {
    return terrain ? terrain->ShadeTable1() : nullptr;
}

int World::AreAllied(int teamA, int teamB) {
    if (teamA < 0 || teamA >= kTeams || teamB < 0 || teamB >= kTeams) return 0;
    return alliance[teamA][teamB] == kAllied ? 1 : 0;
}

// Without a scenario in play the loose land file is loaded.
int World::LandNumber() {
    return scenario ? scenario->landNumber : -1;
}

void World::AddLandFeatureAt(const Point& centre) {
    AddLandFeature(std::make_unique<LandFeature>(centre, kLandFeatureSize, NewSimId(0)));
}

void World::Pause() {
    if (suspended == 1) return;
    suspended = 1;
    if (music) music->Suspend();
    if (voices) voices->StopAll();
    if (battleScreen && Screens()) Screens()->StopBattleVoice(*battleScreen);
    if (gameRecords) gameRecords->PauseClocks();
}

// Voices are not restarted.
void World::Resume() {
    if (!suspended) return;
    suspended = 0;
    if (music) music->Resume();
    if (gameRecords) gameRecords->ResumeClocks();
}

int World::NewGame() {
    // A damaged file is found before anything is cleared or built; the game in play (if any)
    // and the file stay as they are. The check reads the file once; the load uses that read.
    if (pendingScenario) pendingScenario->TakeMissionRow();
    if (pendingScenario && (pendingScenario->FileName() || pendingScenario->packEntry != -1)) {
        const ScenarioFault fault = ScenarioCheck::Check(*pendingScenario);
        if (fault != ScenarioFault::None) {
            RefuseDamagedScenario(pendingScenario->FileName() != nullptr);
            pendingScenario.reset();
            return 0;
        }
    }
    if (busyIndicator) busyIndicator->Enable(1);
    gameStarting = 1;
    ClearObjects();
    scenario = std::move(pendingScenario);
    if (!scenario) {
        scenario = std::make_unique<Scenario>();
        scenario->landNumber = -1;
        scenario->clanLetter = 'V';
        scenario->playerSlots[scenario->localTeam] = 'V';
        scenario->teamColours[scenario->localTeam] = 1;
        scenario->colour = 1;
        scenario->computerPlayers = 1;
        scenario->difficulty = 3;
        // A new descriptor sends every team to the same start point until it is shuffled.
        scenario->ShuffleStartOrder();
    }
    paused = 1;
    inGame = 0;
    pauseLocked = networkGame ? 1 : 0;
    ForgetPauses();
    frontRequestAge = 0;
    frontRequest = SimId();
    droppedRequestWaits.clear();
    overdueKnown = false;
    pathSearchesThisTick = 0;
    pathTurnsThisTick = 1;
    pathAsks = PathAskTally();
    searchToFinish = SimId();
    nextSerial = 1;
    for (auto& stats : teamStats)
        stats = std::make_unique<MissionStats>();
    MissionStats::ClearTotals();
    if (!scenario->Start(*this)) {
        // The load could not use the file after all: nothing of it stays in play.
        RefuseDamagedScenario(scenario->FileName() != nullptr);
        ClearObjects();
        scenario.reset();
        gameStarting = 0;
        if (busyIndicator) busyIndicator->Enable(0);
        return 0;
    }
    LoadClanDesigns();
    scenario->PrepareDesigns(*this);
    if (busyIndicator) busyIndicator->Enable(0);
    // The peers' factories that came early join the game only now that it stands.
    ApplyWordsHeldForStart();
    return 1;
}

void World::RefuseDamagedScenario(bool save) {
    Trace(save ? "Saved game refused as damaged" : "Scenario refused as damaged");
    SetStatusMessage(MessageLine(save ? kDamagedSaveLine : kDamagedPackLine), 10);
    if (save) loadGameRefused = 1;
}

void World::ClearObjects() {
    if (currentScreen &&
        (currentScreen == battleScreen.get() || currentScreen == designScreen.get())) {
        currentScreen = nullptr;
    }
    DiscardBattleAndDesignScreens();
    ForgetObjectLookups();
    for (int team = 0; team < kTeams; ++team) {
        effects[team].DeleteAll();
        sims[team].DeleteAll();
        buildings[team].DeleteAll();
        weapons[team].DeleteAll();
    }
    // Team 0's slot is left alone.
    for (int team = 1; team < kTeams; ++team)
        controllers[team].reset();
    localTeamAutoPlayed = 0;
    wrecks.DeleteAll();
    destructibles.DeleteAll();
    oreDeposits.DeleteAll();
    artifacts.DeleteAll();
    takenArtifacts.DeleteAll();
    artifactAwards.clear();
    awaitedWinners.clear();
    wreckMakers.clear();
    recentDead.Clear();
    speedPlayed.Clear();
    // The shots answer to this game's objects and battle clock only.
    for (PeerSlot& peer : peerSlots)
        peer.firedShots.Clear();
    std::fill(std::begin(factoryDied), std::end(factoryDied), uint8_t{0});
    std::fill(std::begin(factoryFalling), std::end(factoryFalling), uint8_t{0});
    std::fill(std::begin(factoryFitTold), std::end(factoryFitTold), uint8_t{0});
    std::fill(std::begin(factoryWounded), std::end(factoryWounded), uint8_t{0});
    lastAuthority = -1;
    groups.DeleteAll();
    landFeatures.DeleteAll();
    if (designLibrary) designLibrary->Clear();
    cellEffects.DeleteAll();
    reservations.DeleteAll();
    if (terrain) {
        terrain->MakeEmpty();
        spareTerrain = std::move(terrain);
    }
    sight.reset();
    pathGrid.reset();
    scenario.reset();
    for (auto& stats : teamStats)
        stats.reset();
    ResetAlliances();
    techLevelV = 1;
    techLevelT = 1;
    lastLocalPosition = Point(0, 0);
}

// The Sims that answered to the old controller answer to the new one before the old one goes,
// so that none keeps a pointer to a deleted owner.
void World::SetTeamController(int team, std::unique_ptr<TeamController> controller) {
    if (team < 0 || team >= kTeams) return;
    TeamController* old = controllers[team].get();
    if (old && old != controller.get()) {
        for (NodeList& list : sims) {
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                GameObject* o = static_cast<ObjectNode*>(n)->Object();
                if (o && o->Owner() == old) o->SetOwner(controller.get());
            }
        }
    }
    controllers[team] = std::move(controller);
    // Any other controller of the local team is the scenario's; the autoplay cheat marks its own.
    if (team == LocalTeam()) localTeamAutoPlayed = 0;
}

int World::LoadClanDesigns() {
    const int32_t savedT = techLevelT;
    const int32_t savedV = techLevelV;
    techLevelT = kAllTechLevels;
    techLevelV = kAllTechLevels;
    designLibrary->Clear();
    char name[16];
    std::snprintf(name, sizeof name, "%c.vdf", clanLetter);
    int result = designLibrary->Load(name);
    DesignFileUnreadable(clanLetter) = designLibrary->unreadable;
    RunDesigns& run = RunDesignsOf(clanLetter);
    if (designLibrary->unreadable) {
        Trace(("Design library cannot be read: " + designLibrary->fault).c_str());
        SetStatusMessage((std::string(MessageLine(kUnreadableDesignsLine)) + " " + name).c_str(),
                         10);
        // The designs stored this run stand in for the library, not the sample designs.
        if (!run.listing.empty() &&
            designLibrary->LoadFromBytes(run.listing.data(), run.listing.size())) {
            designsAsRead = designLibrary->Listing();
            techLevelT = savedT;
            techLevelV = savedV;
            return 1;
        }
        designLibrary->Clear();
    }
    if (!result && designLibrary->damaged) {
        // Refused whole and kept aside, unchanged, so that a later save cannot write the
        // remains over it; the player reads where it went. When it cannot be moved, it stays
        // where it is and nothing is written over it this run.
        Trace(("Design library refused as damaged: " + designLibrary->fault).c_str());
        std::string aside;
        if (ResourceFile().SetAside(name, aside)) {
            if (!aside.empty())
                SetStatusMessage(
                    (std::string(MessageLine(kDamagedDesignsLine)) + " " + aside).c_str(), 10);
        } else {
            DesignFileHeld(clanLetter) = 1;
            Trace("The damaged design library could not be moved aside: it is left in place");
            SetStatusMessage(MessageLine(kDesignsHeldLine), 10);
        }
    }
    if (!result) {
        std::snprintf(name, sizeof name, "%cs.vdf", clanLetter);
        result = designLibrary->Load(name);
        if (!result && designLibrary->damaged)
            Trace(("Sample design library refused as damaged: " + designLibrary->fault).c_str());
    }
    designsAsRead = designLibrary->Listing();
    // A library that reads again (or is gone) gets the designs stored while it could not be
    // read, written at once so that they do not wait for a visit to the design screen.
    if (!DesignFileUnreadable(clanLetter) && !run.listing.empty()) {
        if (AddRunDesigns(run) > 0) result = 1;
        if (!SaveClanDesigns())
            Trace("The designs stored while the library could not be read are not written yet");
    }
    techLevelT = savedT;
    techLevelV = savedV;
    return result;
}

int World::AddRunDesigns(const RunDesigns& run) {
    // The design lines of a listing: from its first line to the first '*'. The listing holds
    // them last to first.
    auto codes = [](const std::string& listing) {
        std::vector<std::string> lines;
        size_t at = listing.find('\n');
        while (at != std::string::npos && at + 1 < listing.size() && listing[at + 1] != '*') {
            const size_t end = listing.find('\n', at + 1);
            if (end == std::string::npos) break;
            lines.push_back(listing.substr(at + 1, end - at - 1));
            at = end;
        }
        return lines;
    };
    std::set<std::string> known;
    for (const std::string& code : codes(run.grewFrom))
        known.insert(code);
    for (ListNode* n = designLibrary->designs.First(); n; n = designLibrary->designs.Next(n))
        known.insert(static_cast<VehicleDesign*>(n)->CodeString());
    const std::vector<std::string> stored = codes(run.listing);
    int added = 0;
    for (auto code = stored.rbegin(); code != stored.rend(); ++code) {
        if (!known.insert(*code).second) continue;
        designLibrary->AppendDesign(new VehicleDesign(code->c_str()));
        ++added;
    }
    return added;
}

// Always into the local asset directory, whatever directory the designs were read from.
int World::SaveClanDesigns() {
    const int32_t savedT = techLevelT;
    const int32_t savedV = techLevelV;
    techLevelT = kAllTechLevels;
    techLevelV = kAllTechLevels;
    int result = 1;
    // A library the player did not change is not written: the file stays byte for byte, and
    // an empty library (which Save refuses) is no failure.
    if (!designLibrary->designs.IsEmpty() && designLibrary->Listing() != designsAsRead) {
        char path[32];
        std::snprintf(path, sizeof path, ".\\Assets\\%c.vdf", clanLetter);
        // A damaged library that could not be moved aside, or one that cannot be read, is not
        // written over: the change is reported as not saved.
        result = DesignFileHeld(clanLetter) || DesignFileUnreadable(clanLetter)
                     ? 0
                     : designLibrary->Save(path);
        if (result) designsAsRead = designLibrary->Listing();
        // Kept for the rest of the run while the library cannot be read.
        RunDesigns& run = RunDesignsOf(clanLetter);
        if (!result && DesignFileUnreadable(clanLetter)) {
            if (run.listing.empty()) run.grewFrom = designsAsRead;
            run.listing = designLibrary->Listing();
        }
    }
    // Written, or nothing left to write to a library that reads: the run keeps nothing apart.
    if (result && !DesignFileUnreadable(clanLetter) && !DesignFileHeld(clanLetter))
        RunDesignsOf(clanLetter) = RunDesigns();
    techLevelT = savedT;
    techLevelV = savedV;
    return result;
}

std::string World::DesignsNotSavedLine() {
    if (!DesignFileUnreadable(clanLetter)) return MessageLine(kDesignsNotSavedLine);
    return std::string(MessageLine(kDesignsNotWrittenLine)) + " " + clanLetter + ".vdf";
}

void World::SetPaused(int state) {
    if (pauseLocked == 1 || paused == state) return;
    if (state == 1) {
        paused = 1;
        for (int team = 1; team < kTeams; ++team) {
            if (controllers[team]) controllers[team]->PauseTimers();
        }
        if (gameRecords) gameRecords->PauseClocks();
    } else if (state == 0) {
        LiftPause();
        paused = 0;
        for (int team = 1; team < kTeams; ++team) {
            if (controllers[team]) controllers[team]->ResumeTimers();
        }
        if (gameRecords) gameRecords->ResumeClocks();
    }
}

int World::SaveGame(const char* name) {
    if (!scenario) return 0;
    return scenario->Save(name, *this);
}

int World::PeerCount() const {
    int count = 0;
    for (const PeerSlot& peer : peerSlots) {
        if (peer.peerLink) ++count;
    }
    return count;
}

int World::PeerPlays(int team) const {
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        if (peerSlots[slot].peerLink && peerSlots[slot].peerTeam == team) return 1;
    }
    return 0;
}

int World::SlotPlaying(int team) const {
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        CommLink* link = peerSlots[slot].peerLink;
        if (link && link->ConnectionLost() == 0 && peerSlots[slot].peerTeam == team) return slot;
    }
    return -1;
}

int World::Authority(int except) const {
    int lowest = -1;
    auto consider = [this, &lowest, except](int team) {
        if (team >= 1 && team < kTeams && team != except && factoryDied[team] == 0 &&
            (lowest == -1 || team < lowest))
            lowest = team;
    };
    consider(localPlayer.first);
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        CommLink* link = peerSlots[slot].peerLink;
        if (link && link->ConnectionLost() == 0) consider(peerSlots[slot].peerTeam);
    }
    return lowest;
}

int World::FactoryFell(int team) {
    if (team < 0 || team >= kTeams) return 0;
    if (factoryDied[team] != 0 || factoryFalling[team] != 0) return 1;
    GameObject* factory = TeamFactory(team);
    return factory && factory->IsDestroyed() == 1 ? 1 : 0;
}

// The host, or the authority after it, grows the deposits and awards the artifacts only while
// its own factory has not fallen. Its fatal damage goes out as the factory falls, and the peers
// take no growth of its after that word (CommandExecutor::GrowthVerdict); networkHost itself
// follows only at the next peer check, and an update between would grow once more.
int World::IsNetworkHost() {
    return networkHost == 1 && FactoryFell(LocalTeam()) == 0 ? 1 : 0;
}

void World::ResetAlliances() {
    for (int a = 0; a < kTeams; ++a) {
        for (int b = 0; b < kTeams; ++b)
            alliance[a][b] = a == b ? kAllied : 0;
    }
}

MissionStats* World::LocalTeamStats() const {
    const int32_t team = localPlayer.first;
    return team >= 0 && team < kTeams ? teamStats[team].get() : nullptr;
}

ScreenFactory* World::Screens() {
    if (!screenFactory) screenFactory = RegisteredScreenFactory();
    return screenFactory;
}
