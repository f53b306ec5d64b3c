#include "world/ScenarioCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/ResourceFile.h"
#include "map/LandFile.h"
#include "map/TerrainMap.h"
#include "world/Scenario.h"
#include "world/ScenarioText.h"

namespace {

bool InRange(int32_t v, int32_t low, int32_t high) {
    return v >= low && v <= high;
}

// One header line; None when it is acceptable or not a checked key.
ScenarioFault CheckHeaderLine(const char* line) {
    const char* value = ScnValueText(line);
    int32_t v[2] = {0, 0};
    switch (ScnKeyLetter(line)) {
        case 'J':
            return ScnScanInts(value, v, 1) == 1 && InRange(v[0], 0, 12) ? ScenarioFault::None
                                                                         : ScenarioFault::Mission;
        case 'L':
            return *value == 'V' || *value == 'T' ? ScenarioFault::None : ScenarioFault::Clan;
        case 'K':
            return ScnScanInts(value, v, 1) == 1 && ScenarioCheck::LandExists(v[0])
                       ? ScenarioFault::None
                       : ScenarioFault::Land;
        case 'I':
            return ScnScanInts(value, v, 1) == 1 && InRange(v[0], 1, 4) ? ScenarioFault::None
                                                                        : ScenarioFault::LocalTeam;
        case 'n':
            return ScnScanInts(value, v, 1) == 1 && (v[0] == -1 || InRange(v[0], 1, 8))
                       ? ScenarioFault::None
                       : ScenarioFault::Colour;
        case 'M':
            return ScnScanInts(value, v, 1) == 1 && InRange(v[0], 1, 5) ? ScenarioFault::None
                                                                        : ScenarioFault::Difficulty;
        case 'm':
            return ScnScanInts(value, v, 2) == 2 && InRange(v[0], 1, 8) && InRange(v[1], 1, 8)
                       ? ScenarioFault::None
                       : ScenarioFault::TechLevel;
        case 'w':
            return ScnScanInts(value, v, 1) == 1 && v[0] >= 0 ? ScenarioFault::None
                                                              : ScenarioFault::Resources;
        case 'l':
        case 'u':
            // Read together once the header is through (CheckCounters).
            return ScenarioFault::None;
        default:
            return ScenarioFault::None;
    }
}

// The local team's statistics "l" (kills, losses, elapsed ms, cost, effort, units made) and
// the running totals "u" (units, cost, effort): counts, sums of costs and a time, so none is
// negative, and each line holds all of its numbers. (The team's own sums are not compared with
// the totals: a scenario's start rebuilds the totals after its units were tallied.)
ScenarioFault CheckCounters(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const char key = ScnKeyLetter(line.c_str());
        if (key != 'l' && key != 'u') continue;
        const int wanted = key == 'l' ? 6 : 3;
        int32_t v[6] = {};
        if (ScnScanInts(ScnValueText(line.c_str()), v, wanted) != wanted)
            return ScenarioFault::Counters;
        // No index to run past the six numbers kept.
        if (std::any_of(v, v + wanted, [](int32_t n) { return n < 0; }))
            return ScenarioFault::Counters;
    }
    return ScenarioFault::None;
}

// 0 for an e line, 1 for an f line, -1 for any other. Counted by key, '=' after it: the
// decoration bytes are written raw, so a line feed among them splits an e line, and the rest
// (whatever it begins with) is no row.
int MapRowKind(const char* line) {
    const char key = ScnKeyLetter(line);
    if (key != 'e' && key != 'f') return -1;
    const char* p = line;
    while (*p != key)
        ++p;
    for (++p; ScnIsWhite(*p); ++p) {
    }
    return *p != '=' ? -1 : key == 'e' ? 0 : 1;
}

}  // namespace

int ScenarioCheck::LandExists(int landNumber) {
    ResourceFile file;
    if (landNumber == -1) return file.Exists(TerrainMap::kEditLand);
    if (!InRange(landNumber, 0, TerrainMap::kMaxCells)) return 0;
    if (!file.Open(TerrainMap::kLandPack, ResourceFile::OpenMode::Pack)) return 0;
    return file.SelectEntry(0, landNumber);
}

Size ScenarioCheck::LandSize(int landNumber) {
    ResourceFile file;
    if (landNumber == -1) {
        if (!file.Open(TerrainMap::kEditLand, ResourceFile::OpenMode::ReadBinary)) return Size();
    } else {
        if (!InRange(landNumber, 0, TerrainMap::kMaxCells)) return Size();
        if (!file.Open(TerrainMap::kLandPack, ResourceFile::OpenMode::Pack)) return Size();
        if (!file.SelectEntry(0, landNumber)) return Size();
    }
    return LandFile::PeekSize(file);
}

ScenarioFault ScenarioCheck::Check(Scenario& descriptor) {
    if (!descriptor.ReadText()) {
        const ScenarioText* text = descriptor.Text();
        if (!text) return ScenarioFault::Unreadable;
        switch (text->damage) {
            case ScenarioText::Damage::CheckRecord:
                return ScenarioFault::CheckRecord;
            case ScenarioText::Damage::CannotRead:
                return ScenarioFault::CannotRead;
            default:
                return ScenarioFault::Unreadable;
        }
    }
    const ScenarioText& text = *descriptor.Text();
    const ScenarioFault fault = CheckText(text, descriptor.landNumber);
    if (fault != ScenarioFault::None) return fault;
    // A save the record closes is as the game wrote it; one without a record has only what it
    // holds to show that it is whole.
    if (descriptor.IsSave() && !text.closedByRecord)
        return CheckStructure(text, descriptor.localTeam, descriptor.landNumber);
    return ScenarioFault::None;
}

ScenarioFault ScenarioCheck::CheckStructure(const ScenarioText& text, int defaultLocalTeam,
                                            int defaultLand) {
    // The writer's line buffer holds 255 characters and the line's end.
    if (text.longestLine > static_cast<size_t>(Scenario::kLineSize - 1))
        return ScenarioFault::LongLine;
    // As the reader takes them: the first header's last I line, sections before it dropped,
    // a V section's last I and A lines, and no object without an id.
    int32_t localTeam = defaultLocalTeam;
    int32_t land = defaultLand;
    bool headerRead = false;
    bool localUnit = false;
    bool mapState = false;
    int mapRows[2] = {0, 0};
    // Each row's length, kept until the header's land is known: a row longer than any land
    // counts as too long for every land.
    std::vector<size_t> rowLengths[2];
    std::vector<std::pair<int32_t, int32_t>> ids;
    for (const ScenarioText::Section& section : text.sections) {
        if (section.letter == 'H' && !headerRead) {
            headerRead = true;
            for (const std::string& line : section.lines) {
                int32_t v = 0;
                const char key = ScnKeyLetter(line.c_str());
                if ((key == 'I' || key == 'K') &&
                    ScnScanInts(ScnValueText(line.c_str()), &v, 1) == 1)
                    (key == 'I' ? localTeam : land) = v;
            }
            continue;
        }
        if (section.letter == 'L') {
            // Rows are counted as the reader takes them, through every L section.
            mapState = true;
            for (const std::string& line : section.lines) {
                const int row = MapRowKind(line.c_str());
                if (row < 0) continue;
                ++mapRows[row];
                rowLengths[row].push_back(std::strlen(ScnValueText(line.c_str())));
            }
            continue;
        }
        if (section.letter != 'V' || !headerRead) continue;
        int32_t team = 0;
        int32_t id[2] = {-1, -1};
        for (const std::string& line : section.lines) {
            const char* value = ScnValueText(line.c_str());
            int32_t v[2] = {0, 0};
            const char key = ScnKeyLetter(line.c_str());
            // An I line that is no number is team 0 to the reader.
            if (key == 'I') {
                ScnScanInts(value, v, 1);
                team = v[0];
            }
            if (key == 'A' && ScnScanInts(value, v, 2) == 2) {
                id[0] = v[0];
                id[1] = v[1];
            }
        }
        // The header is read by now: its local team is the one the load plays.
        if (team == localTeam) localUnit = true;
        if (id[0] != -1 || id[1] != -1) ids.emplace_back(id[0], id[1]);
    }
    // A header-only file would start a battle without the player's factory.
    if (!localUnit) return ScenarioFault::NoLocalTeamUnits;
    // The reader keeps the first of two units with one id and drops the rest.
    std::sort(ids.begin(), ids.end());
    if (std::adjacent_find(ids.begin(), ids.end()) != ids.end()) return ScenarioFault::SharedUnitId;
    // The writer ends every save with the map state, a pair of lines for each row (none only
    // for a land without rows), and every line with a line feed: a save cut anywhere after
    // its units lacks one of them.
    if (!mapState) return ScenarioFault::NoMapState;
    const Size landSize = LandSize(land);
    if (std::min(mapRows[0], mapRows[1]) < landSize.h) return ScenarioFault::MapRowsMissing;
    if (!text.endsWithLineFeed) return ScenarioFault::LastLineCut;
    // One character per column: a sight row cut (and given a line feed) or run on is no row the
    // writer made.
    const auto columns = static_cast<size_t>(landSize.w);
    for (const size_t length : rowLengths[0])
        if (length > columns) return ScenarioFault::MapRowLength;
    for (const size_t length : rowLengths[1])
        if (length != columns) return ScenarioFault::MapRowLength;
    return ScenarioFault::None;
}

ScenarioFault ScenarioCheck::CheckText(const ScenarioText& text, int defaultLand) {
    bool header = false;
    bool landNamed = false;
    for (const ScenarioText::Section& section : text.sections) {
        if (section.letter != 'H') continue;
        header = true;
        for (const std::string& line : section.lines) {
            if (ScnKeyLetter(line.c_str()) == 'K') landNamed = true;
            const ScenarioFault fault = CheckHeaderLine(line.c_str());
            if (fault != ScenarioFault::None) return fault;
        }
        const ScenarioFault counters = CheckCounters(section.lines);
        if (counters != ScenarioFault::None) return counters;
    }
    if (!header) return ScenarioFault::NoHeader;
    // Without a K line the descriptor's land is loaded: it must exist as well.
    if (!landNamed && !LandExists(defaultLand)) return ScenarioFault::Land;
    return ScenarioFault::None;
}
