#include "objects/MinerSim.h"

#include "catalogue/VehicleDesign.h"
#include "objects/ObjectWorld.h"

namespace {

constexpr int32_t kFacings[3] = {10, 14, 2};
// 0 .. 17, then 9 down to 0; it decides at 18 whether to go back to 10.
constexpr int32_t kFrames[28] = {0,  1,  2,  3,  4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                                 14, 15, 16, 17, 9, 8, 7, 6, 5, 4, 3,  2,  1,  0};
constexpr WorkTable kWork{kFrames, 28, 18, 10};
constexpr HaulerSim::Profile kProfile{kFacings, 3, &kWork, &kWork, 2, 3, 1};

}  // namespace

MinerSim::MinerSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design,
                   PictureTemplate* role)
    : HaulerSim(position, id, std::move(design), role, kProfile) {}

MinerSim::~MinerSim() = default;

void MinerSim::StartMining(GameObject* object, EconomyGoal* goal) {
    int index = cycle.facingIndex;
    if (object) index = position.x < object->GetPosition().x ? 1 : 0;
    StartWork(object, goal, index);
}

GameObject* MinerSim::FindWorkTarget() {
    return TheObjectWorld().FindDestructible(target);
}
