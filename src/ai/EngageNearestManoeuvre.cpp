#include "ai/EngageNearestManoeuvre.h"

#include <cmath>
#include <memory>

#include "map/ObjectKinds.h"
#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/UnitMakers.h"

EngageNearestManoeuvre::~EngageNearestManoeuvre() = default;

int EngageNearestManoeuvre::Execute(Sim& sim) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* enemy = world.FindObjectNear(&sim, sim.GetEngageRange());
    if (ShouldEngage(sim, enemy) != 1) return 0;
    // Dropping the passed waypoints also clears the new front goal's active flag, so that it
    // asks for a fresh route from here.
    sim.goals.DropFinished();
    if (Goal* front = sim.goals.Front()) front->active = 0;
    world.Commands().SendGoal(&sim, sim.goals.Front());
    sim.SetLastAttacker(nullptr);
    rememberedPosition = sim.GetPosition();
    return 1;
}

int EngageNearestManoeuvre::ShouldEngage(GameObject& unit, GameObject* enemy) {
    const Point offset = unit.GetPosition() - rememberedPosition;
    const double moved = std::hypot(static_cast<double>(offset.x), static_cast<double>(offset.y));
    int answer = 0;
    if (!enemy) {
        if (moved >= kReactDistance) rememberedEnemy = SimId();
        return 0;
    }
    if (moved >= kReactDistance) {
        Goal* order = unit.goals.FirstUnfinished();
        GameObject* chased = order ? order->GetTarget() : nullptr;
        const bool chasingEnemy = chased && chased->GetTeam() != unit.GetTeam() &&
                                  chased->GetTeam() != 0 && chased->GetKind() != ObjectKind::kWreck;
        answer = !chasingEnemy && enemy->id != rememberedEnemy ? 1 : 0;
    }
    // Every enemy seen is noted, also when the unit has not moved far enough or is busy, so
    // that it reacts to each enemy once.
    rememberedEnemy = enemy->id;
    return answer;
}

void EngageNearestManoeuvre::Install(UnitMakers& makers) {
    makers.manoeuvreMakers[static_cast<int>(ManoeuvreType::EngageNearest)] =
        [](const ManoeuvreArguments&) { return std::make_unique<EngageNearestManoeuvre>(); };
}
