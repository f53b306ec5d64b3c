#pragma once
// The read-only pass over a scenario file before anything is cleared or built: a file that is
// missing, too big, without a header, or whose header names values the game cannot start
// (mission outside 0 .. 12, a clan other than V or T, a land the land pack lacks, a local team
// outside 1 .. 4, ...) is damaged and must not be loaded; so is a saved game without a check
// record that lacks what every whole save holds. The load-game screen may ask too.
#include "core/Size.h"

class Scenario;
class ScenarioText;

enum class ScenarioFault : int {
    None = 0,
    Unreadable = 1,
    NoHeader = 2,
    Mission = 3,
    Clan = 4,
    Land = 5,
    LocalTeam = 6,
    Colour = 7,
    Difficulty = 8,
    TechLevel = 9,
    Resources = 10,
    // A file that names the save format or carries a check record, without a valid record as
    // its last line: cut or changed.
    CheckRecord = 11,
    // Statistics counters (l, u) negative, unreadable or beyond their totals.
    Counters = 12,
    // What no whole save holds, in a save without a check record: a line longer than the
    // writer's line buffer, no unit or building of the local team, two units with one id.
    LongLine = 13,
    NoLocalTeamUnits = 14,
    SharedUnitId = 15,
    // Also in a save without a check record: the map state every save ends with (an L section
    // with an e and an f line for each row of the land), and the last line's end.
    NoMapState = 16,
    MapRowsMissing = 17,
    LastLineCut = 18,
    // A sight row that is not one character per column of the land, or a decoration row
    // longer than that (an earlier writer's raw bytes may split one, never lengthen it).
    MapRowLength = 19,
    // Something stands at the file's name but gave no bytes: no permission, a link to nothing,
    // a directory, a FIFO, a failed read. Not damage: the file may be whole.
    CannotRead = 20,
};

class ScenarioCheck {
public:
    // The descriptor's file, or its pack entry, read once into the descriptor (the load uses
    // the same read).
    static ScenarioFault Check(Scenario& descriptor);
    // defaultLand: the land loaded when the header names none.
    static ScenarioFault CheckText(const ScenarioText& text, int defaultLand);
    // The checks of a saved game that carries no check record (every save written before
    // saves did): a whole one has no line over the line buffer, a V section of the header's
    // local team (defaultLocalTeam when the header names none), each unit's id once, an L
    // section with at least as many e and f lines as the header's land (defaultLand when it
    // names none) has rows, and a line feed at its end.
    static ScenarioFault CheckStructure(const ScenarioText& text, int defaultLocalTeam,
                                        int defaultLand);
    // 1 when the land pack holds the land (-1: the loose land file exists).
    static int LandExists(int landNumber);
    // The columns and rows of the land's map as its description gives them (-1: the loose
    // land file); (0, 0) when it has none or cannot be read.
    static Size LandSize(int landNumber);
    static int LandRows(int landNumber) { return LandSize(landNumber).h; }
};
