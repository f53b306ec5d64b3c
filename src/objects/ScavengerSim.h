#pragma once
// The unit of chassis 'h': it salvages wrecks as a miner mines fields. When it dies its load
// goes into the value of the wreck it leaves (the World's death pass sees to that).
#include "objects/HaulerSim.h"

class ScavengerSim : public HaulerSim {
public:
    ScavengerSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design,
                 PictureTemplate* role);
    ~ScavengerSim() override;

    // Faces the wreck's quadrant: above-left 2, above-right 6, below-right 10, else 14.
    void StartScavenging(GameObject* wreck, EconomyGoal* goal);
    void StopScavenging() { StopWork(); }

protected:
    GameObject* FindWorkTarget() override;
};
