// The factory's part in the scenario code and the design screen: building creation for the
// scenario reader, the world set-up and command 11, the resources they add, the job and the
// deposit the records name, and the refit of the local team's factory.
#include "catalogue/VehicleDesign.h"
#include "objects/BuildingCreation.h"
#include "objects/CommandBuffer.h"
#include "objects/FactoryBuilding.h"
#include "objects/FactoryProduction.h"
#include "world/World.h"

void World::InstallFactoryMakers() {
    scenarioMakers.createBuildingSim = [](char letter, const SimId& id, const Point& p,
                                          int local) -> std::unique_ptr<GameObject> {
        return CreateBuildingSim(letter, id, p, local);
    };
    // (cargo, credit), whatever the caller calls them.
    scenarioMakers.addFactoryResources = [](GameObject* factory, int cargo, int credit) {
        if (FactoryProduction* production = AsFactoryProduction(factory))
            production->AddResources(cargo, credit);
    };
    scenarioMakers.factoryJobDesign = [](GameObject* factory) -> VehicleDesign* {
        FactoryProduction* production = AsFactoryProduction(factory);
        if (!production) return nullptr;
        if (VehicleDesign* current = production->CurrentJob()) return current;
        const int queued = production->QueuedJobCount();
        return queued > 0 ? production->QueuedJob(queued - 1) : nullptr;
    };
    scenarioMakers.factoryLinkedObject = [](GameObject* factory) {
        FactoryProduction* production = AsFactoryProduction(factory);
        GameObject* deposit = production ? production->MinedDeposit() : nullptr;
        return deposit ? deposit->id : SimId();
    };
}

void World::FactoryDesignChanged() {
    auto* factory = dynamic_cast<FactoryBuilding*>(TeamFactory(LocalTeam()));
    if (!factory || !factory->GetDesign()) return;
    factory->BuildParts();
    commands->SendDesignUpdate(factory, factory->GetDesign()->CodeString());
}
