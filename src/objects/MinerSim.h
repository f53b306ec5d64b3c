#pragma once
// The unit of chassis 'f': it mines resource fields. Its mining goal brings it onto a field and
// starts a mining cycle; its unload goal starts an unloading cycle at a dock of its factory.
#include "objects/HaulerSim.h"

class MinerSim : public HaulerSim {
public:
    MinerSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design,
             PictureTemplate* role);
    ~MinerSim() override;

    // Faces 14 when the miner stands left of the object, else 10.
    void StartMining(GameObject* object, EconomyGoal* goal);
    void StopMining() { StopWork(); }

protected:
    GameObject* FindWorkTarget() override;
};
