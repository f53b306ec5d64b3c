// Reading a scenario file into the current scenario and the World. The file is read whole and
// bounded first (ScenarioText); a record that names a team outside 0 .. 4, a null or used id,
// a design that makes no object or a point off the map is dropped, and the rest still loads.
#include <cstring>
#include <memory>

#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/BusyIndicator.h"
#include "core/SpriteSet.h"
#include "core/VoicePool.h"
#include "map/CollisionFilter.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/Artifact.h"
#include "objects/CommandBuffer.h"
#include "objects/DestructibleObject.h"
#include "objects/GameObject.h"
#include "objects/OreDeposit.h"
#include "world/LandLoader.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"
#include "world/ScenarioController.h"
#include "world/ScenarioMakers.h"
#include "world/ScenarioText.h"
#include "world/World.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int32_t kAllTechLevels = 8;
constexpr int32_t kDestructibleCargo = 12000;
// More records than any map can hold are not read.
constexpr int kMaxRecords = 20000;
const Size kDepositSize(128, 64);
const Size kArtifactSize(64, 64);

int32_t Int(const char* value, int32_t fallback) {
    int32_t v = fallback;
    ScnScanInts(value, &v, 1);
    return v;
}

// A value that is not two numbers leaves `out` as it was.
void ReadPoint(const char* value, Point& out) {
    int32_t v[2];
    if (ScnScanInts(value, v, 2) != 2) return;
    out = Point(v[0], v[1]);
}

void ReadId(const char* value, SimId& out) {
    int32_t v[2];
    if (ScnScanInts(value, v, 2) != 2) return;
    out = SimId(v[0], v[1]);
}

bool IsTeam(int32_t team) {
    return team >= 0 && team < World::kTeams;
}

// The decoration of a cell as one printable character: '.' for none, then the frames from 0
// up in the printable characters from '!' skipping '.'. The decoration sets hold far fewer
// frames than the 93 this covers; an unknown character reads as none.
int DecorationFromChar(char c) {
    if (c < '!' || c > '~' || c == '.') return -1;
    return c < '.' ? c - '!' : c - '!' - 1;
}

class Reader {
public:
    Reader(Scenario& scenario, World& world) : scenario(scenario), world(world) {}

    void Header(const Lines& lines);
    void Players(const Lines& lines);
    void Vehicles(const Lines& lines);
    void OreDeposits(const Lines& lines);
    void Destructibles(const Lines& lines);
    void Artifacts(const Lines& lines);
    void Wrecks(const Lines& lines);
    void Groups(const Lines& lines);
    void TerrainLists(const Lines& lines);
    bool CountRecord() { return ++records <= kMaxRecords; }

    int32_t techT = 1;
    int32_t techV = 1;

private:
    // A usable new id: a team of 0 .. 4, not null, not taken.
    bool FreeId(const SimId& id) {
        return !id.IsNull() && IsTeam(id.team) && id.serial > 0 && !world.FindObject(id);
    }
    bool OnMap(const Point& p) {
        if (!world.terrain) return false;
        const Size extent = world.terrain->PixelExtent();
        return p.x >= 0 && p.y >= 0 && p.x < extent.w && p.y < extent.h;
    }
    void ParseAll(GameObject* object, const Lines& lines) {
        for (const std::string& line : lines)
            object->Parse(ScnKeyLetter(line.c_str()), ScnValueText(line.c_str()));
    }

    Scenario& scenario;
    World& world;
    int records = 0;
    int eRows = 0;
    int fRows = 0;
};

void Reader::Header(const Lines& lines) {
    for (const std::string& text : lines) {
        const char* line = text.c_str();
        const char* value = ScnValueText(line);
        int32_t v[8] = {};
        switch (ScnKeyLetter(line)) {
            case 'J':
                scenario.missionNumber = Int(value, scenario.missionNumber);
                break;
            case 'L':
                if (*value) scenario.clanLetter = *value;
                break;
            case 'r':
                scenario.debugFlag = 1;
                break;
            case 'K':
                scenario.landNumber = Int(value, scenario.landNumber);
                break;
            case 'I':
                scenario.localTeam = Int(value, scenario.localTeam);
                break;
            case 'n':
                // A replayed mission keeps the colour its descriptor already has.
                if (scenario.colour == -1) scenario.colour = Int(value, -1);
                break;
            case 'M':
                scenario.difficulty = Int(value, scenario.difficulty);
                break;
            case 'j':
                ReadPoint(value, scenario.viewOrigin);
                break;
            case 'l':
                if (ScnScanInts(value, v, 6) == 6) {
                    if (!scenario.loadedStats)
                        scenario.loadedStats = std::make_unique<MissionStats>();
                    MissionStats& stats = *scenario.loadedStats;
                    stats.kills = v[0];
                    stats.losses = v[1];
                    stats.baseTime = v[2];
                    stats.buildCost = v[3];
                    stats.buildEffort = v[4];
                    stats.unitsMade = v[5];
                }
                break;
            case 'u':
                if (ScnScanInts(value, v, 3) == 3) {
                    scenario.savedUnits = v[0];
                    scenario.savedCost = v[1];
                    scenario.savedEffort = v[2];
                }
                break;
            case 'm':
                if (ScnScanInts(value, v, 2) == 2) {
                    techT = v[0];
                    techV = v[1];
                    scenario.techLevel = v[0];
                }
                break;
            case 'o':
                if (ScnScanInts(value, v, 8) == 8) {
                    for (int i = 0; i < Scenario::kViewPoints; ++i)
                        scenario.viewPoints[i] = Point(v[2 * i], v[2 * i + 1]);
                }
                break;
            case 's':
                // Only a pair of two different teams 1 .. 4 is an alliance.
                if (ScnScanInts(value, v, 2) == 2 && v[0] >= 1 && v[0] <= 4 && v[1] >= 1 &&
                    v[1] <= 4 && v[0] != v[1])
                    world.Ally(SimId(v[0], 0), SimId(v[1], 0));
                break;
            case 'w':
                scenario.resources = Int(value, scenario.resources);
                break;
            case 'x':
                scenario.artifacts = *value == 'y' ? 1 : 0;
                break;
            default:
                break;
        }
    }
    if (scenario.localTeam < 1 || scenario.localTeam > 4) scenario.localTeam = 1;
    if (scenario.colour == -1) scenario.colour = scenario.localTeam;
    scenario.teamColours[scenario.localTeam] = scenario.colour;
    world.clanLetter = scenario.clanLetter;
    world.localPlayer = ValueTriple(scenario.localTeam, scenario.colour);
    world.LoadLand();
    if (scenario.missionNumber == 12 && world.scenarioMakers.makeController) {
        ControllerRequest request;
        request.mission = scenario.missionNumber;
        request.campaignClan = scenario.clanLetter;
        request.team = scenario.localTeam;
        request.clan = scenario.clanLetter;
        request.techLevel = 1;
        request.source = ControllerRequest::Source::Header;
        world.SetTeamController(scenario.localTeam, world.scenarioMakers.makeController(request));
    }
}

void Reader::Players(const Lines& lines) {
    int32_t team = 0;
    char clan = 0;
    int32_t target = 0;
    int32_t strategy = 0;
    int32_t aggressiveness = 0;
    Point rally;
    SimId objective;
    std::unique_ptr<DesignRules> rules;
    int32_t purpose = 0;
    for (const std::string& text : lines) {
        const char* line = text.c_str();
        const char* value = ScnValueText(line);
        switch (ScnKeyLetter(line)) {
            case 'I':
                team = Int(value, 0);
                break;
            case 'L':
                clan = *value;
                break;
            case 'P':
                target = Int(value, 0);
                break;
            case 'Q':
                strategy = Int(value, 0);
                break;
            case 'R':
                aggressiveness = Int(value, 0);
                break;
            case 'S':
                ReadPoint(value, rally);
                break;
            case 'T':
                ReadId(value, objective);
                break;
            case 'W': {
                // The purpose code, a blank, the design code; the last W line counts.
                const char* blank = std::strchr(value, ' ');
                if (!blank) break;
                VehicleDesign design(blank + 1);
                rules = std::make_unique<DesignRules>(design);
                purpose = Int(value, 0);
                break;
            }
            default:
                break;
        }
    }
    if (team < 1 || team > 4 || (clan != 'V' && clan != 'T')) return;
    // The tutorial's controller of the local team comes from the header; a players record
    // must not take it away.
    if (scenario.missionNumber == 12 && team == scenario.localTeam) return;
    std::unique_ptr<ScenarioController> controller;
    if (world.scenarioMakers.makeController) {
        ControllerRequest request;
        request.mission = scenario.missionNumber;
        request.campaignClan = scenario.clanLetter;
        request.team = team;
        request.clan = clan;
        request.techLevel = scenario.techLevel;
        request.source = ControllerRequest::Source::PlayersRecord;
        controller = world.scenarioMakers.makeController(request);
    }
    ScenarioController* made = controller.get();
    world.SetTeamController(team, std::move(controller));
    if (!made) return;
    made->SetTargetTeam(target);
    made->SetStrategyBits(strategy);
    made->SetAggressiveness(aggressiveness);
    made->SetRallyPoint(rally);
    made->AddObjectiveId(objective, 0);
    if (rules) made->SetDesignRules(std::move(rules), purpose);
    ++scenario.computerPlayers;
}

void Reader::Vehicles(const Lines& lines) {
    int32_t team = 0;
    int32_t second = 0;
    char clan = scenario.clanLetter;
    Point position(-1, -1);
    SimId id;
    bool building = false;
    std::string design;
    int32_t purpose = 0;
    int32_t colour = -1;
    for (const std::string& text : lines) {
        const char* line = text.c_str();
        const char* value = ScnValueText(line);
        switch (ScnKeyLetter(line)) {
            case 'I':
                team = Int(value, 0);
                break;
            case 'k':
                second = Int(value, 0);
                break;
            case 'L':
                clan = *value;
                break;
            case 'B':
                ReadPoint(value, position);
                break;
            case 'A':
                ReadId(value, id);
                break;
            case 'X':
                building = true;
                break;
            case 'H':
                design = value;
                break;
            case 'Z':
                purpose = Int(value, 0);
                break;
            case 'n':
                colour = Int(value, -1);
                break;
            default:
                break;
        }
    }
    if (!IsTeam(team) || !FreeId(id) || !OnMap(position) || !IsTeam(second)) return;
    std::unique_ptr<GameObject> object;
    if (building) {
        if (team == 0 || world.TeamFactory(team) || !world.scenarioMakers.createBuildingSim) return;
        object = world.scenarioMakers.createBuildingSim(clan, id, position, 1);
        if (object) scenario.factoryPlaced[team] = 1;
    } else if (world.scenarioMakers.spawnSim) {
        object = world.scenarioMakers.spawnSim(design.c_str(), id, position);
        if (object) object->SetLocal(1);
    }
    if (!object) return;
    if (second != 0) object->teamRecord.second = second;
    if (world.scenarioMakers.setPurpose) world.scenarioMakers.setPurpose(object.get(), purpose);
    world.ReserveSerial(id.serial);
    VehicleDesign* made = object->GetDesign();
    const bool deploying =
        !building && made && dynamic_cast<DeployingChassisTemplate*>(made->chassis) != nullptr;
    GameObject* placed = object.get();
    if (deploying && !world.AddSim(object)) return;
    if (placed->collision.layer == 2) placed->collision.layer = 1;
    ParseAll(placed, lines);
    if (building) {
        world.AddBuilding(std::move(object));
    } else if (!deploying) {
        const bool carrier = made && made->chassis && made->chassis->role == 'g';
        if (carrier) {
            SimId link;
            if (world.scenarioMakers.carrierLink) link = world.scenarioMakers.carrierLink(placed);
            if (link.IsNull()) return;
        }
        // A unit the map refuses is deleted with its holder.
        if (!world.AddSim(object)) return;
    }
    if (team != placed->GetTeam()) {
        const int wanted = scenario.AssignTeamColour(team, clan == 'V' ? 1 : 5);
        placed->ChangeTeam(ValueTriple(team, wanted), 1);
    }
    if (colour == -1) colour = placed->GetTeam();
    placed->teamRecord.third = scenario.AssignTeamColour(placed->GetTeam(), colour);
    // A unit saved between its death and the death pass loads dead: it leaves the grids as
    // a unit killed now would, and the next death pass takes it.
    if (placed->IsDestroyed() == 1) placed->Destroy();
}

void Reader::OreDeposits(const Lines& lines) {
    SimId id;
    Point position(-1, -1);
    int32_t stored = 0;
    for (const std::string& text : lines) {
        const char* value = ScnValueText(text.c_str());
        switch (ScnKeyLetter(text.c_str())) {
            case 'A':
                ReadId(value, id);
                break;
            case 'B':
                ReadPoint(value, position);
                break;
            case 'O':
                stored = Int(value, 0);
                break;
            default:
                break;
        }
    }
    if (!FreeId(id) || !OnMap(position)) return;
    std::unique_ptr<GameObject> deposit = std::make_unique<OreDeposit>(
        position, kDepositSize, OreDepositPictures, CollisionFilter(0, 0, 0, 0, 0), id);
    world.ReserveSerial(id.serial);
    deposit->Deposit(stored);
    world.AddOreDeposit(deposit);
}

void Reader::Destructibles(const Lines& lines) {
    SimId id;
    Point position(-1, -1);
    int32_t cargo = 0;
    int32_t second = 0;
    int32_t colour = 0;
    for (const std::string& text : lines) {
        const char* value = ScnValueText(text.c_str());
        switch (ScnKeyLetter(text.c_str())) {
            case 'A':
                ReadId(value, id);
                break;
            case 'B':
                ReadPoint(value, position);
                break;
            case 'N':
                cargo = Int(value, 0);
                break;
            case 'k':
                second = Int(value, 0);
                break;
            case 'n':
                colour = Int(value, 0);
                break;
            default:
                break;
        }
    }
    auto* look = static_cast<DestructibleTemplate*>(DestructibleList.First());
    if (!FreeId(id) || !OnMap(position)) return;
    std::unique_ptr<GameObject> object =
        std::make_unique<DestructibleObject>(position, look ? look->pictures.get() : nullptr, id);
    world.ReserveSerial(id.serial);
    object->SetCargoCapacity(kDestructibleCargo);
    object->AddCargo(cargo);
    object->teamRecord.second = second;
    object->teamRecord.third = colour;
    world.AddDestructible(object);
}

void Reader::Artifacts(const Lines& lines) {
    SimId id;
    Point position(-1, -1);
    for (const std::string& text : lines) {
        const char* value = ScnValueText(text.c_str());
        const char key = ScnKeyLetter(text.c_str());
        if (key == 'A') ReadId(value, id);
        if (key == 'B') ReadPoint(value, position);
    }
    if (!FreeId(id) || !OnMap(position)) return;
    std::unique_ptr<GameObject> artifact =
        std::make_unique<Artifact>(position, kArtifactSize, ArtifactPictures, ArtifactSound,
                                   CollisionFilter(2, 1, 1, 1, 1), id);
    world.ReserveSerial(id.serial);
    GameObject* made = artifact.get();
    // An artifact the map refuses is deleted, and the other machines never hear of it.
    if (world.AddArtifact(artifact))
        world.commands->SendCreateScenarioObject(made, static_cast<Artifact*>(made)->effectType);
}

void Reader::Wrecks(const Lines& lines) {
    SimId id;
    Point position(-1, -1);
    int32_t cargo = 0;
    char clan = 0;
    char part = 0;
    for (const std::string& text : lines) {
        const char* value = ScnValueText(text.c_str());
        switch (ScnKeyLetter(text.c_str())) {
            case 'A':
                ReadId(value, id);
                break;
            case 'B':
                ReadPoint(value, position);
                break;
            case 'N':
                cargo = Int(value, 0);
                break;
            case 'L':
                clan = *value;
                break;
            case 'Y':
                part = *value;
                break;
            default:
                break;
        }
    }
    if (!FreeId(id) || !OnMap(position)) return;
    const int level = world.ClanTechLevel(clan);
    WreckTemplate* look = nullptr;
    for (ListNode* n = WreckList.First(); n && !look; n = WreckList.Next(n)) {
        auto* record = static_cast<WreckTemplate*>(n);
        if (record->minimumTechLevel <= level && (record->clan == clan || record->clan == 'X') &&
            record->role == part)
            look = record;
    }
    if (!look) return;
    WreckDescription description;
    description.position = position;
    description.size = look->pictures ? look->pictures->FrameSize() : Size(0, 0);
    description.picture = look->pictures.get();
    description.id = id;
    description.clan = clan;
    description.chassis = part;
    std::unique_ptr<GameObject> wreck =
        world.makeWreck ? world.makeWreck(description) : MakeWreck(description);
    if (!wreck) return;
    world.ReserveSerial(id.serial);
    wreck->teamRecord = ValueTriple(0);
    wreck->collision.team = 0;
    wreck->SetCargoCapacity(cargo);
    wreck->AddCargo(cargo);
    world.commands->SendCreateWreck(wreck.get(), clan, part);
    world.AddWreck(std::move(wreck));
}

void Reader::Groups(const Lines& lines) {
    SimId id;
    for (const std::string& text : lines) {
        if (ScnKeyLetter(text.c_str()) == 'A') ReadId(ScnValueText(text.c_str()), id);
    }
    if (!FreeId(id) || !world.scenarioMakers.makeGroup) return;
    std::unique_ptr<GameObject> group = world.scenarioMakers.makeGroup(id);
    if (!group) return;
    world.ReserveSerial(id.serial);
    ParseAll(group.get(), lines);
    world.AddGroup(std::move(group));
}

void Reader::TerrainLists(const Lines& lines) {
    if (!world.terrain) return;
    const Size cells = world.terrain->SizeInCells();
    for (const std::string& text : lines) {
        const char key = ScnKeyLetter(text.c_str());
        const char* value = ScnValueText(text.c_str());
        const int length = static_cast<int>(std::strlen(value));
        if (length > cells.w) continue;
        if (key == 'e' && eRows < cells.h) {
            const int row = eRows++;
            for (int column = 0; column < length; ++column)
                world.terrain->SetDecoration(row, column, DecorationFromChar(value[column]));
        } else if (key == 'f' && fRows < cells.h) {
            const int row = fRows++;
            for (int column = 0; column < length; ++column) {
                if (value[column] != 'Y') continue;
                world.terrain->AddVisibility(row, column, 1);
                world.terrain->AddVisibility(row, column, -1);
                if (world.sight) {
                    const Point centre = world.terrain->CellCenter(row, column);
                    world.sight->MarkExplored(centre.y / LandLoader::kSightCellPixels,
                                              centre.x / LandLoader::kSightCellPixels);
                }
            }
        }
    }
}

}  // namespace

int Scenario::ReadText() {
    if (text) return text->damage == ScenarioText::Damage::None ? 1 : 0;
    text = std::make_unique<ScenarioText>();
    return text->Read(FileName(), FileName() ? -1 : packEntry);
}

int Scenario::PeekHeader(int& mission, char& clan) {
    if (!ReadText()) return 0;
    return text->PeekHeader(mission, clan);
}

int Scenario::Load(World& world) {
    // The check before the game was cleared has read it already; a descriptor that was never
    // checked reads it here. A file that cannot be read loads nothing and answers 0.
    const int readable = ReadText();
    std::unique_ptr<ScenarioText> read = std::move(text);
    if (!readable) read->sections.clear();
    const int loaded = LoadText(world, *read);
    return readable && loaded ? 1 : 0;
}

int Scenario::LoadText(World& world, const ScenarioText& text) {
    if (world.voices) world.voices->SetMuted(1);
    world.techLevelT = kAllTechLevels;
    world.techLevelV = kAllTechLevels;
    if (busyIndicator) busyIndicator->Enable(1);
    computerPlayers = 0;
    Reader reader(*this, world);
    bool headerRead = false;
    for (const ScenarioText::Section& section : text.sections) {
        if (busyIndicator) busyIndicator->Tick();
        // Objects need the land the header loads.
        if (section.letter != 'H' && !headerRead) continue;
        // The land and the local player come from the first header only: another one would
        // load the land again under the objects already placed.
        if (section.letter == 'H' && headerRead) continue;
        if (section.letter != 'H' && section.letter != 'L' && !reader.CountRecord()) continue;
        switch (section.letter) {
            case 'H':
                headerRead = true;
                reader.Header(section.lines);
                break;
            case 'E':
                reader.Players(section.lines);
                break;
            case 'V':
                reader.Vehicles(section.lines);
                break;
            case 'C':
                reader.OreDeposits(section.lines);
                break;
            case 'M':
                reader.Destructibles(section.lines);
                break;
            case 'A':
                reader.Artifacts(section.lines);
                break;
            case 'R':
                reader.Wrecks(section.lines);
                break;
            case 'F':
                reader.Groups(section.lines);
                break;
            case 'L':
                reader.TerrainLists(section.lines);
                break;
            default:
                break;
        }
    }
    for (int team = 1; team < kTeams; ++team) {
        auto* controller = dynamic_cast<ScenarioController*>(world.controllers[team].get());
        if (controller) controller->Setup(difficulty);
    }
    MissionStats* local = IsTeam(localTeam) ? world.teamStats[localTeam].get() : nullptr;
    if (loadedStats) {
        if (local) local->CopyCounters(*loadedStats);
        loadedStats.reset();
    }
    if (savedUnits == 0) {
        MissionStats::ResetTotals(world);
    } else {
        MissionStats::totalUnits = savedUnits;
        MissionStats::totalCost = savedCost;
        MissionStats::totalEffort = savedEffort;
    }
    // A saved game keeps no record of who sat where: the local player plays in its own slot,
    // and a slot nobody plays has the colour the set-up screen gives it, so the game loaded is
    // the game saved.
    if (ResumesSavedGame()) {
        if (IsTeam(localTeam)) playerSlots[localTeam] = clanLetter;
        for (int team = 1; team < kTeams; ++team)
            if (teamColours[team] == -1) teamColours[team] = kDroppedPlayerColour;
    }
    if (busyIndicator) busyIndicator->Enable(0);
    world.techLevelT = reader.techT;
    world.techLevelV = reader.techV;
    if (world.voices) world.voices->SetMuted(0);
    // Without a header there is no land, no local player and nothing to play.
    return headerRead ? 1 : 0;
}
