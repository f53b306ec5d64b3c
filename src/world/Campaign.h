#pragma once
// The campaign's mission tables: for each clan, missions 0 (a skirmish) to 12 (the tutorial),
// each with its briefing movie, its entry of the scenario pack, the clan's volume label and the
// line of its mission text.
#include <cstdint>

class World;

struct MissionEntry {
    // Null: none.
    const char* movie;
    int32_t packEntry;
    const char* discLabel;
    int32_t textLine;
};

class Campaign {
public:
    static constexpr int kMissions = 13;
    static constexpr int kTutorial = 12;
    static constexpr int kFinalMission = 11;

    // 'T' selects clan T's table, any other letter clan V's. A mission outside 0 .. 12 (only a
    // damaged file could name one) has no row: null.
    static const MissionEntry* GetMissionEntry(char clan, int mission);
    // The text line of the current scenario's row; -1 without a scenario or row.
    static int GetMissionTextId(World& world);
    // The movie played after the final mission is won.
    static const char* VictoryMovie(char clan);
};
