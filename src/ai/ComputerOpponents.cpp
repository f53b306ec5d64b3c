#include "ai/ComputerOpponents.h"

#include <memory>
#include <utility>

#include "ai/AIController.h"
#include "ai/EngageNearestManoeuvre.h"
#include "ai/MissionControllers.h"
#include "world/World.h"

namespace {

constexpr int kSkirmish = 0;

}  // namespace

void InstallComputerOpponents(World& world) {
    world.scenarioMakers.makeController =
        [](const ControllerRequest& request) -> std::unique_ptr<ScenarioController> {
        if (request.mission == kSkirmish)
            return std::make_unique<AIController>(request.team, request.clan, request.techLevel);
        return MakeMissionController(request);
    };
    // The factory of a computer team and every design that names it react to the nearest enemy.
    EngageNearestManoeuvre::Install(world.unitMakers);
    // Keeps what another piece installed before.
    auto previous = std::move(world.scenarioMakers.clearSharedCounters);
    World* target = &world;
    world.scenarioMakers.clearSharedCounters = [previous, target]() {
        if (previous) previous();
        target->routeAnalysis = World::RouteAnalysis();
    };
}

namespace {

struct Registration {
    Registration() { RegisterOpponentsInstaller(&InstallComputerOpponents); }
};
Registration registration;

}  // namespace

// Referenced by the program's link so that the registration is part of the program.
extern "C" {
int qxComputerOpponentsLinked = 1;
}
