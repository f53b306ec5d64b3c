#include "objects/SimFactory.h"

#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"

namespace {

constexpr int kAirLayer = 2;

}  // namespace

SimClass ClassForDesign(const VehicleDesign& design) {
    const char chassis = design.chassis ? design.chassis->role : 0;
    if (chassis == 'g') return SimClass::Carrier;
    if (design.chassis && design.chassis->IsDeployable() == 1) return SimClass::Deploying;
    if (chassis == 't') return SimClass::Capture;
    // A design without a drive is never an aircraft.
    if (design.drive && design.drive->layer == kAirLayer) return SimClass::Aircraft;
    if (chassis == 'h') return SimClass::Scavenger;
    if (chassis == 'f') return SimClass::Miner;
    if (chassis == 'k') return SimClass::Repair;
    return SimClass::Plain;
}

PictureTemplate* RoleForClass(SimClass kind, const VehicleDesign& design) {
    const char clan = design.chassis ? design.chassis->clan : 'X';
    switch (kind) {
        case SimClass::Scavenger:
            return FindRoleTemplate(clan, 'h');
        case SimClass::Miner:
            return FindRoleTemplate(clan, 'f');
        case SimClass::Repair:
            return GetRepairRoleTemplate();
        default:
            return nullptr;
    }
}

std::unique_ptr<Sim> CreateSim(std::unique_ptr<VehicleDesign>& design, const SimId& id,
                               const Point& position) {
    if (!design || !design->chassis) return nullptr;
    const SimClass kind = ClassForDesign(*design);
    std::unique_ptr<Sim> sim;
    UnitMakers& makers = TheObjectWorld().Makers();
    const auto slot = static_cast<int>(kind);
    if (slot > 0 && slot < UnitMakers::kSimClasses && makers.simMakers[slot])
        sim = makers.simMakers[slot](position, id, design, RoleForClass(kind, *design));
    // A class whose maker is not installed (or makes nothing) is a plain unit for now.
    if (!sim && design) sim = std::make_unique<Sim>(position, id, std::move(design));
    if (sim && sim->GetDesign()) sim->GetDesign()->noCharge = 0;
    return sim;
}

Sim* SpawnSim(std::unique_ptr<VehicleDesign>& design, const SimId& id, const Point& position,
              int local) {
    std::unique_ptr<Sim> sim = CreateSim(design, id, position);
    if (!sim) return nullptr;
    sim->SetLocal(local);
    Sim* raw = sim.get();
    std::unique_ptr<GameObject> owned = std::move(sim);
    if (TheObjectWorld().AddSim(owned) == 1) return raw;
    // Refused: the unit goes, its design comes back.
    design = static_cast<Sim*>(owned.get())->ReleaseDesign();
    return nullptr;
}
