#include "objects/BuildingCreation.h"

#include "catalogue/BuildingTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "objects/FactoryBuilding.h"

namespace {
constexpr int kTeams = 5;
}  // namespace

std::unique_ptr<FactoryBuilding> CreateBuildingSim(char letter, const SimId& id,
                                                   const Point& position, int local) {
    // 1. A letter from a file or a peer that names no record makes nothing.
    BuildingTemplate* record = FindBuildingTemplate(letter);
    if (!record || id.team < 0 || id.team >= kTeams) return nullptr;
    // 2, 3.
    auto design = std::make_unique<VehicleDesign>(letter);
    design->SetPrimaryPart(record->chassis.get());
    design->SetSecondaryPart(record->part);
    // 4, 5.
    auto factory = std::make_unique<FactoryBuilding>(position, id, record, std::move(design),
                                                     DestructionEffect);
    factory->SetLocal(local);
    return factory;
}
