#pragma once
// What a land's start point must hold for a side to play from it: open ground for its factory,
// folded and open; open ground round the point the factory rolls its units out to; a ground
// route from that point to an ore field; and an ore field its first Miner finds by itself. Worked
// out with the game's own rules: the factory's place, geometry and sight, the miner's search
// distance, the buildable-ground test and a route search on the path grid.
#include <string>
#include <utility>
#include <vector>

namespace mkassets {

namespace StartCheck {

using Cell = std::pair<int, int>;  // (row, column)

extern const int kFactorySightReach;
// A new unit is pushed off its roll-out point when the next one comes out, and was seen standing
// 224 px off: a field this much nearer than the miner's search distance is found from there too.
constexpr int kRollOutDrift = 256;

// A land as its description gives it.
struct Layout {
    std::vector<std::string> letters;  // one row of terrain letters per map row
    std::vector<Cell> starts;
    std::vector<Cell> fields;    // the ore fields
    std::vector<Cell> features;  // cells a land feature stands on
    // How many cells each way round its own cell a start's factory opens the fog at the first
    // tick: the game's sight unless a test widens it.
    int sightReach = kFactorySightReach;
};

struct Verdict {
    bool footprint = false;  // every cell under the factory, folded and open, is open ground
    bool rollOut = false;    // the square round the roll-out point is open ground
    bool oreRoute = false;   // a ground unit can go from the roll-out point to an ore field
    // An ore field the first Miner finds by itself: its centre cell is in the factory's sight at
    // the first tick, it lies within the miner's search distance less kRollOutDrift of the
    // roll-out point, a ground route leads there, and it keeps clear of the factory's folded and
    // open footprints, its docks and the roll-out square.
    bool oreInSight = false;
    bool Holds() const { return footprint && rollOut && oreRoute && oreInSight; }
};

// The cell a start's factory rolls its units out to, and how many cells each way of it the
// factory wants open ground.
Cell RollOutCell(const Cell& start);
int RollOutReach();

// One verdict per start, in the layout's order. A route is sought round the start's own open
// factory, which stands in the way of its units.
std::vector<Verdict> Check(const Layout& layout);
// Empty when every start holds; else a sentence naming the land, the first start that does not
// hold and what it lacks.
std::string Fault(const Layout& layout, const std::string& title);

}  // namespace StartCheck

}  // namespace mkassets
