#pragma once
// What a land's start point must hold for a side to play from it: open ground for its factory,
// folded and open; open ground round the point the factory rolls its units out to; and a ground
// route from that point to an ore field. Worked out with the game's own rules: the factory's
// place and geometry, the buildable-ground test and a route search on the path grid.
#include <string>
#include <utility>
#include <vector>

namespace mkassets {

namespace StartCheck {

using Cell = std::pair<int, int>;  // (row, column)

// A land as its description gives it.
struct Layout {
    std::vector<std::string> letters;  // one row of terrain letters per map row
    std::vector<Cell> starts;
    std::vector<Cell> fields;    // the ore fields
    std::vector<Cell> features;  // cells a land feature stands on
};

struct Verdict {
    bool footprint = false;  // every cell under the factory, folded and open, is open ground
    bool rollOut = false;    // the square round the roll-out point is open ground
    bool oreRoute = false;   // a ground unit can go from the roll-out point to an ore field
    bool Holds() const { return footprint && rollOut && oreRoute; }
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
