#include "objects/TargetManoeuvre.h"

#include <memory>

#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/TargetGoal.h"

TargetManoeuvre::~TargetManoeuvre() = default;

int TargetManoeuvre::Execute(Sim& sim) {
    // 1.
    SimId blockerId;
    sim.GetBlockingSim(blockerId);
    GameObject* blocker = TheObjectWorld().FindObject(blockerId);
    if (!blocker || sim.IsHostileTo(blocker) != 1 || sim.goals.HasRepairGoal()) return 0;
    // 2, 3.
    Goal* order = sim.goals.FirstUnfinished();
    GameObject* target = order ? order->GetTarget() : nullptr;
    if (target && target->id == blocker->id) return 0;
    // 4.
    sim.AddGoal(std::make_unique<TargetGoal>(sim.id, blocker->id, Point(0, 0), 1, 1), 0);
    TheObjectWorld().Commands().SendGoal(&sim, sim.goals.Front());
    return 1;
}
