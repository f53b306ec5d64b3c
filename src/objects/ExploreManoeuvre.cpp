#include "objects/ExploreManoeuvre.h"

#include <algorithm>

#include "core/Random.h"
#include "map/SightGrid.h"
#include "objects/Goal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"

namespace {

constexpr int kExploreFlags = 0x1d;

}  // namespace

ExploreManoeuvre::~ExploreManoeuvre() = default;

int ExploreManoeuvre::Execute(Sim& sim) {
    if (sim.goals.FirstUnfinished()) return 0;
    const std::optional<Point> to = PickTarget(sim);
    if (!to) return 0;
    sim.ExecuteOrder(manoeuvre::kMove, kExploreFlags, *to, SimId(), 0);
    manoeuvre::SendFrontGoal(sim);
    return 1;
}

void ExploreManoeuvre::FillCandidates(int margin, int width, int height) {
    const int right = width - margin;
    const int bottom = height - margin;
    if (margin > right || margin > bottom) return;
    auto column = [&](int x) {
        for (int y = margin; y <= bottom; y += kGridStep) {
            candidates.emplace_back(x, y);
            if (y + kGridStep > bottom && y != bottom) candidates.emplace_back(x, bottom);
        }
    };
    for (int x = margin; x <= right; x += kGridStep) {
        column(x);
        if (x + kGridStep > right && x != right) column(right);
    }
}

int ExploreManoeuvre::Known(const Point& p, int team) const {
    SightGrid* sight = TheObjectWorld().Sight();
    if (!sight) return 1;
    return visibilityMode == 1 ? sight->IsVisible(p, team) : sight->IsExplored(p, team);
}

int ExploreManoeuvre::Depth(const Point& p, int team) const {
    if (Known(p, team) == 1) return 0;
    SightGrid* sight = TheObjectWorld().Sight();
    int r0 = 0, c0 = 0;
    sight->PointToCell(p, r0, c0);
    const int rows = sight->Rows();
    const int columns = sight->Columns();
    bool found = false;
    int i = 0;
    while (!found && (i + 1 <= rows - r0 || i + 1 <= columns - c0)) {
        ++i;
        const int firstColumn = c0 - i >= 0 ? c0 - i : c0 + i;
        const int lastColumn = std::min(columns - 1, c0 + i);
        for (int r = std::max(0, r0 - i); r <= std::min(rows - 1, r0 + i) && !found; ++r) {
            const int step = r == r0 - i || r == r0 + i ? 1 : 2 * i;
            for (int c = firstColumn; c <= lastColumn && !found; c += step)
                found = Known(sight->CellCentre(r, c), team) == 1;
        }
    }
    return i;
}

// One rule of our own: a point the unit's drive cannot reach from where it stands (another
// island, across water it cannot cross) is not chosen, and stays a candidate for later. Chosen,
// the route led to the nearest place the unit could reach; there the order ended, the next such
// point was chosen, and the unit went back and forth between two places a cell apart for the
// rest of the game.
std::optional<Point> ExploreManoeuvre::PickTarget(Sim& sim) {
    SightGrid* sight = TheObjectWorld().Sight();
    if (!sight) return std::nullopt;
    // 1.
    if (candidates.empty())
        FillCandidates(sim.GetEngageRange(), sight->AreaSize().w, sight->AreaSize().h);
    // 2.
    const int team = sim.GetTeam();
    std::vector<Point> chosen;
    int deepest = -1;
    ObjectWorld& world = TheObjectWorld();
    for (auto it = candidates.begin(); it != candidates.end();) {
        if (exhausted == 0 && Known(*it, team) == 1) {
            it = candidates.erase(it);
            continue;
        }
        if (!world.InReachOf(&sim, *it)) {
            ++it;
            continue;
        }
        const int depth = Depth(*it, team);
        if (depth > deepest) {
            deepest = depth;
            chosen.clear();
        }
        if (depth == deepest) chosen.push_back(*it);
        ++it;
    }
    // 3.
    if (!chosen.empty()) {
        const Point pick =
            chosen[static_cast<size_t>(RandomRange(0, static_cast<int32_t>(chosen.size()) - 1))];
        candidates.erase(std::find(candidates.begin(), candidates.end(), pick));
        return pick;
    }
    // 4.
    exhausted = 1;
    return std::nullopt;
}
