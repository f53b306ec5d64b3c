#include "objects/UnitVariants.h"

#include <memory>

#include "catalogue/VehicleDesign.h"
#include "objects/AircraftSim.h"
#include "objects/CaptureSim.h"
#include "objects/CarrierSim.h"
#include "objects/DeployingSim.h"
#include "objects/UnitMakers.h"

namespace {

template <class Unit>
UnitMakers::SimMaker MakerOf() {
    return [](const Point& position, const SimId& id, std::unique_ptr<VehicleDesign>& design,
              PictureTemplate*) -> std::unique_ptr<Sim> {
        return std::make_unique<Unit>(position, id, std::move(design));
    };
}

}  // namespace

void InstallSpecialUnitMakers(UnitMakers& makers) {
    makers.simMakers[static_cast<int>(SimClass::Carrier)] = MakerOf<CarrierSim>();
    makers.simMakers[static_cast<int>(SimClass::Deploying)] = MakerOf<DeployingSim>();
    makers.simMakers[static_cast<int>(SimClass::Capture)] = MakerOf<CaptureSim>();
    makers.simMakers[static_cast<int>(SimClass::Aircraft)] = MakerOf<AircraftSim>();
    makers.setCarrierPartner = [](GameObject* carrier, const SimId& partner) {
        if (auto* c = dynamic_cast<CarrierSim*>(carrier)) c->SetPartner(partner);
    };
}

int StructureCodeOf(GameObject* object) {
    auto* unit = dynamic_cast<DeployingSim*>(object);
    return unit ? unit->StructureCode() : -1;
}

void SetDeployKind(GameObject* object, int kind) {
    if (auto* unit = dynamic_cast<DeployingSim*>(object)) unit->SetKind(kind);
}

SimId CarrierPartnerOf(GameObject* object) {
    auto* carrier = dynamic_cast<CarrierSim*>(object);
    return carrier ? carrier->Partner() : SimId();
}
