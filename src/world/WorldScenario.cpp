// The World's side of the scenario in play: the pending scenario, the land, the autosave,
// saving under a title, and the team records' clocks.
#include <cstring>
#include <string>

#include "catalogue/VehicleDesign.h"
#include "core/StringTable.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "objects/SimGroup.h"
#include "world/LandLoader.h"
#include "world/MissionStats.h"
#include "world/SavedGameIndex.h"
#include "world/Scenario.h"
#include "world/TeamController.h"
#include "world/World.h"

namespace {
constexpr int kMessageColour = 10;
}  // namespace

namespace {

// An older sample set fills the numbers it has no text for with "... <number>: reserved": that
// is no message, and the line's own text below says more.
bool IsPlaceholder(const char* text, int line) {
    const std::string ending = " " + std::to_string(line) + ": reserved";
    const size_t length = std::strlen(text);
    return length >= ending.size() &&
           ending.compare(0, ending.size(), text + length - ending.size()) == 0;
}

}  // namespace

const char* World::MessageLine(int line) {
    if (const char* text = GetString(line); text && *text && !IsPlaceholder(text, line))
        return text;
    switch (line) {
        case kSaveFailedLine:
            return "The game could not be saved.";
        case kDamagedSaveLine:
            return "This saved game is damaged and cannot be loaded.";
        case kDamagedPackLine:
            return "The mission data is missing or damaged.";
        case kNoRoomLine:
            return "No room for more saved games: delete one first.";
        case kDamagedIndexLine:
            return "The list of saved games is damaged: games it lost are shown by file name.";
        case kUnreadableIndexLine:
            return "The list of saved games cannot be read: it is kept as it is, games show by "
                   "file name.";
        case kIndexKeptLine:
            return "Saved, but not added to the list of saved games, which cannot be read.";
        case kSavedIndexKeptLine:
            return "Saved. The list of saved games cannot be read and is kept as it is.";
        case kDeleteRefusedLine:
            return "The game was not deleted: the list of saved games could not be written.";
        case kDeleteUnreadableLine:
            return "The game was not deleted: the list of saved games cannot be read.";
        case kMissingSaveLine:
            return "The file of this saved game is missing.";
        case kUnreadableSaveLine:
            return "The file of this saved game cannot be read:";
        case kDamagedDesignsLine:
            return "The design library was damaged and is kept aside as";
        case kDesignsNotSavedLine:
            return "The designs could not be saved.";
        case kDesignsHeldLine:
            return "The design library is damaged and could not be moved aside: design changes "
                   "are not saved.";
        case kUnreadableDesignsLine:
            return "Design library unreadable, left as it is:";
        case kDesignsNotWrittenLine:
            return "Designs kept this run, saved once readable:";
        default:
            return "";
    }
}

namespace {

void (*opponentsInstaller)(World&) = nullptr;

}  // namespace

void RegisterOpponentsInstaller(void (*install)(World&)) {
    opponentsInstaller = install;
}

void InstallRegisteredOpponents(World& world) {
    if (!world.scenarioMakers.makeController && opponentsInstaller) opponentsInstaller(world);
}

void World::InstallScenarioMakers() {
    scenarioMakers.spawnSim = [](const char* code, const SimId& id,
                                 const Point& p) -> std::unique_ptr<GameObject> {
        if (!code) return nullptr;
        auto design = std::make_unique<VehicleDesign>(code);
        // A design without a chassis makes no unit (and stays here, to be deleted).
        return CreateSim(design, id, p);
    };
    scenarioMakers.purposeOf = [](GameObject* o) { return o->Purpose(); };
    scenarioMakers.setPurpose = [](GameObject* o, int32_t code) { o->SetPurpose(code); };
    InstallFactoryMakers();
    scenarioMakers.makeGroup = [](const SimId& id) -> std::unique_ptr<GameObject> {
        return std::make_unique<SimGroup>(id);
    };
}

void World::SetPendingScenario(std::unique_ptr<Scenario> next) {
    pendingScenario = std::move(next);
}

int World::LoadLand() {
    Land land = LandLoader::Load(*this, terrain ? std::move(terrain) : std::move(spareTerrain));
    terrain = std::move(land.map);
    sight = std::move(land.sight);
    pathGrid = std::move(land.paths);
    LandLoader::PlaceLandFeatures(*terrain, *this);
    const Size cells = terrain->SizeInCells();
    return cells.w > 0 && cells.h > 0 ? 1 : 0;
}

void World::Autosave() {
    if (SaveGame(kSnapshotFile)) {
        autosaveFailing = 0;
        return;
    }
    if (autosaveFailing) return;
    autosaveFailing = 1;
    SetStatusMessage(MessageLine(kSaveFailedLine), kMessageColour);
}

int World::SaveGameUnderTitle(const char* title) {
    if (!savedGames) savedGames = std::make_unique<SavedGameIndex>();
    const bool known = savedGames->FindByTitle(SavedGameIndex::CleanTitle(title).c_str());
    SavedGameEntry* entry = savedGames->FindOrCreate(title);
    if (!entry) {
        char name[16];
        const bool full = !SavedGameIndex::CleanTitle(title).empty() &&
                          !savedGames->FreeFileName(name, sizeof name);
        SetStatusMessage(MessageLine(full ? kNoRoomLine : kSaveFailedLine), kMessageColour);
        return 0;
    }
    if (SaveGame(entry->FileName())) {
        // The index is left as it is while it cannot be read. A game it did not list before
        // (made now) has lost its title: later runs list it by its file name. One it listed
        // was saved over its own file and keeps its place.
        if (savedGames->Unreadable())
            SetStatusMessage(
                MessageLine(entry->TitleUnwritten() ? kIndexKeptLine : kSavedIndexKeptLine),
                kMessageColour);
        return 1;
    }
    // A new entry must not name a game that was never written.
    if (!known) savedGames->Forget(entry);
    SetStatusMessage(MessageLine(kSaveFailedLine), kMessageColour);
    return 0;
}

void World::StartClocks(int networkPlayStarts) {
    for (auto& stats : teamStats) {
        if (stats) stats->StartClock();
    }
    // Only a network game's play starts straight after its set-up: a skirmish, a mission or a
    // loaded game comes through the design screen, and its computers decide as they always did.
    if (networkPlayStarts != 1) return;
    for (int team = 1; team < kTeams; ++team) {
        if (controllers[team]) controllers[team]->StartPlay();
    }
}

void World::StopClocks() {
    for (auto& stats : teamStats) {
        if (stats) stats->StopClock();
    }
}
