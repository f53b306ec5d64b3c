#include "objects/ScavengerSim.h"

#include "catalogue/VehicleDesign.h"
#include "objects/ObjectWorld.h"

namespace {

constexpr int32_t kFacings[4] = {2, 6, 10, 14};
// Salvage: 0 .. 24, then 13 down to 0; it decides at 24 whether to go back to 14.
constexpr int32_t kScavengeFrames[39] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                         13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 13,
                                         12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  1,  0};
// Unloading: 0 .. 13, then 24 down to 0.
constexpr int32_t kUnloadFrames[39] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                       13, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13,
                                       12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  1,  0};
constexpr WorkTable kScavenge{kScavengeFrames, 39, 24, 14};
constexpr WorkTable kUnload{kUnloadFrames, 39, 24, 14};
// An unloading cycle is never cut short.
constexpr HaulerSim::Profile kProfile{kFacings, 4, &kScavenge, &kUnload, 2, 4, 0};

}  // namespace

ScavengerSim::ScavengerSim(const Point& position, const SimId& id,
                           std::unique_ptr<VehicleDesign> design, PictureTemplate* role)
    : HaulerSim(position, id, std::move(design), role, kProfile) {}

ScavengerSim::~ScavengerSim() = default;

void ScavengerSim::StartScavenging(GameObject* wreck, EconomyGoal* goal) {
    int index = 3;
    if (wreck) {
        const Point w = wreck->GetPosition();
        // A wreck straight above or level falls to the last case: neither left nor right.
        if (w.x < position.x && w.y < position.y)
            index = 0;
        else if (w.x > position.x && w.y < position.y)
            index = 1;
        else if (w.x > position.x && w.y > position.y)
            index = 2;
    }
    StartWork(wreck, goal, index);
}

GameObject* ScavengerSim::FindWorkTarget() {
    return TheObjectWorld().FindWreckById(target);
}
