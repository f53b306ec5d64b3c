#include "objects/AfterCombatManoeuvre.h"

#include <memory>

#include "objects/GameObject.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/TargetGoal.h"

namespace {

constexpr int kTolerance = 10;

}  // namespace

AfterCombatManoeuvre::~AfterCombatManoeuvre() = default;

int AfterCombatManoeuvre::Execute(Sim& sim) {
    if (sim.combatEnded != 1) return 0;
    // 1.
    sim.combatEnded = 0;
    // 2.
    switch (mode) {
        case 2:
            sim.AddGoal(std::make_unique<LocationGoal>(sim.id, sim.returnPoint, kTolerance, 1, 1),
                        0);
            break;
        case 3:
            sim.ClearGoals();
            break;
        case 4:
            sim.AddGoal(std::make_unique<LocationGoal>(sim.id, sim.attackOrigin, kTolerance, 1, 1),
                        0);
            break;
        case 5: {
            sim.ClearGoals();
            // Without a factory there is nowhere to head for: a goal on no object would ask a
            // route to the map corner.
            GameObject* factory = TheObjectWorld().TeamFactory(sim.GetTeam());
            if (factory)
                sim.AddGoal(std::make_unique<TargetGoal>(sim.id, factory->id, Point(0, 0), 1, 1),
                            0);
            break;
        }
        default:
            return 0;
    }
    // 3.
    manoeuvre::SendFrontGoal(sim);
    return 1;
}
