#pragma once
// Type 14: an idle unit sets out for the least explored part of the map. Its candidates are a
// grid of points over the map; those already explored drop out until none is left, and of the
// rest one of those farthest from any explored cell is picked. The computer opponents switch
// it to seek what is out of sight now instead of what was never seen.
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Point.h"
#include "objects/SquadManoeuvre.h"

class ExploreManoeuvre : public SquadManoeuvre {
public:
    static constexpr int kGridStep = 768;

    ExploreManoeuvre() = default;
    ~ExploreManoeuvre() override;

    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Explore); }
    std::optional<Point> PickTarget(Sim& sim);

    std::vector<Point> candidates;
    int32_t exhausted = 0;
    // 0: unexplored points; 1: points not seen now.
    int32_t visibilityMode = 0;

private:
    void FillCandidates(int margin, int width, int height);
    // Whether the team counts the point as found: explored, or in mode 1 seen now.
    int Known(const Point& p, int team) const;
    int Depth(const Point& p, int team) const;
};
