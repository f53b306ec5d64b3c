#include "world/ScenarioCheck.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ResourceFile.h"
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

}  // namespace

int ScenarioCheck::LandExists(int landNumber) {
    ResourceFile file;
    if (landNumber == -1) return file.Exists(TerrainMap::kEditLand);
    if (!InRange(landNumber, 0, TerrainMap::kMaxCells)) return 0;
    if (!file.Open(TerrainMap::kLandPack, ResourceFile::OpenMode::Pack)) return 0;
    return file.SelectEntry(0, landNumber);
}

ScenarioFault ScenarioCheck::Check(Scenario& descriptor) {
    if (!descriptor.ReadText()) {
        const ScenarioText* text = descriptor.Text();
        return text && text->damage == ScenarioText::Damage::CheckRecord
                   ? ScenarioFault::CheckRecord
                   : ScenarioFault::Unreadable;
    }
    return CheckText(*descriptor.Text(), descriptor.landNumber);
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
