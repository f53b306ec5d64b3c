#pragma once
// One game's description: where its content comes from (a scenario file, an entry of the
// scenario pack, or nothing, in which case the world is generated from the land and the
// settings), the campaign clan and mission, the local player's team and colour, the player
// slots and the set-up settings. The World keeps the current one and the pending one the next
// game starts from. The same record heads every saved game.
//
// Split by concern: Scenario.cpp (the record and the generated world), ScenarioReader.cpp
// (reading a file), ScenarioWriter.cpp (writing one), ScenarioCheck.cpp (the read-only check).
#include <cstdint>
#include <memory>
#include <string>

#include "core/Point.h"

class MissionStats;
class ResourceFile;
class ScenarioText;
class World;

class Scenario {
public:
    static constexpr int kStartOrderLength = 20;
    static constexpr int kTeams = 5;
    static constexpr int kViewPoints = 4;
    static constexpr int kLineSize = 256;
    static constexpr int32_t kDroppedPlayerColour = 254;
    static constexpr char kPack[] = "7a0mxxxx99s999.scn";
    // Where a team's factory is placed, from the start point it is given.
    static const Point kFactoryOffset;

    Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;
    virtual ~Scenario();

    // Copies the settings, not the line buffer, the line start or the saved totals.
    void CopyFrom(const Scenario& other);
    // With a name: stores a copy and drops the pack entry. Null frees the name only.
    void SetFileName(const char* name);
    const char* FileName() const { return hasFileName ? fileName.c_str() : nullptr; }
    // As SetFileName, for a saved game: one that carries no check record (written before saves
    // did) must also hold what every whole save holds (ScenarioCheck::CheckStructure).
    void SetSaveFileName(const char* name);
    bool IsSave() const { return isSave; }
    // 1 for a game this program saved (a saved game or the autosave snapshot), which is all a
    // file name ever names: missions and skirmishes come from the pack or the land. Its figures
    // hold what the game's start gave each side, which a load must not give again.
    bool ResumesSavedGame() const { return FileName() != nullptr; }
    void SelectPackEntry(int entry);
    void ShuffleStartOrder();
    void CopyStartOrder(const Scenario& other);
    // The index into the land's start points of the n-th usable entry of the start order;
    // -1 when the land has too few.
    int StartPointIndex(int n, int startPointCount) const;
    int AssignTeamColour(int team, int preferred);
    int PlayerCount() const;
    int AllPlayerSlotsEmpty() const;

    // Starts the game: reads the file or pack entry, or generates a world. What the load
    // answered: 0 for a file that could not be read or holds no header.
    int Start(World& world);
    // A campaign descriptor without file or entry takes its mission row's entry.
    void TakeMissionRow();
    int PrepareDesigns(World& world);
    int BuildWorld(World& world);
    void ScatterArtifacts(World& world);
    void NextRound(World& world);

    // ScenarioReader.cpp. Only the first lines: 1 when the file begins with an H section whose
    // first two lines are J and L.
    int PeekHeader(int& mission, char& clan);
    // Reads the file or pack entry once and keeps it for the check, the header peek and the
    // load, which all use that one read; the load lets it go. 1 when it could be read.
    int ReadText();
    // The text read (null before ReadText or after the load).
    const ScenarioText* Text() const { return text.get(); }
    // 1 when a header was read and the game can go on; 0 for a file that could not be read
    // (one that names the save format or carries a check record, without a valid record) or
    // holds no header section.
    int Load(World& world);
    // Reads text already read and bounded (the check's, a fuzz input's).
    int LoadText(World& world, const ScenarioText& text);
    // ScenarioWriter.cpp. 1 when the whole file is in place; 0 keeps the old file.
    int Save(const char* name, World& world);

    int32_t missionNumber = 0;
    int32_t packEntry = -1;
    int32_t landNumber = 0;
    char clanLetter = 'V';
    int32_t localTeam = 1;
    int32_t colour = -1;
    int32_t computerPlayers = 1;
    int32_t difficulty = 1;
    int32_t startOrder[kStartOrderLength];
    int32_t factoryPlaced[kTeams] = {};
    char lineBuffer[kLineSize] = {};
    int32_t briefingShown = 0;
    Point viewOrigin;
    std::unique_ptr<MissionStats> loadedStats;
    int32_t savedUnits = 0;
    int32_t savedCost = 0;
    int32_t savedEffort = 0;
    int32_t lineStart = 0;
    int32_t debugFlag = 0;
    int32_t techLevel = 1;
    int32_t resources = 6000;
    Point viewPoints[kViewPoints];
    int32_t teamColours[kTeams];
    char playerSlots[kTeams];
    int32_t waitingForFactories = 0;
    int32_t networkPlayers = 0;
    int32_t factoriesAnnounced = 0;
    int32_t artifacts = 1;

private:
    // Places a production building for the team at its start point; null when the land has
    // no start point left for it.
    class GameObject* PlaceFactory(World& world, int team, char clan, int startIndex);

    std::string fileName;
    bool hasFileName = false;
    // The file was opened as a saved game (the load-game screen), not as a scenario.
    bool isSave = false;
    std::unique_ptr<ScenarioText> text;
};
