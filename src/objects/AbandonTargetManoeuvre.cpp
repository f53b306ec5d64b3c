#include "objects/AbandonTargetManoeuvre.h"

#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"

namespace {

constexpr int kWreckKind = 3;

}  // namespace

AbandonTargetManoeuvre::~AbandonTargetManoeuvre() = default;

int AbandonTargetManoeuvre::Execute(Sim& sim) {
    // 1.
    Goal* order = sim.goals.FirstUnfinished();
    if (!order || order->IsAttack() != 1) return 0;
    GameObject* target = order->GetTarget();
    if (!target || target->GetTeam() == sim.GetTeam() || target->GetTeam() == 0 ||
        target->GetKind() == kWreckKind || order->GetParam() == 0 || sim.CanEngage(target) == 1)
        return 0;
    // 2.
    TheObjectWorld().Orders().Ended(sim, *order, OrderEnd::ByStep, "its target out of reach");
    sim.goals.DropFinished();
    sim.PopGoal();
    manoeuvre::SendFrontGoal(sim);
    return 1;
}
