// The World's side of the special units: their class makers, the structure code and deploy
// kind its structure questions read, and the carrier link its scenario reader keeps.
#include "objects/UnitVariants.h"
#include "world/World.h"

void World::InstallSpecialUnits() {
    InstallSpecialUnitMakers(unitMakers);
    structureCodeOf = &StructureCodeOf;
    setDeployKind = &SetDeployKind;
    scenarioMakers.carrierLink = &CarrierPartnerOf;
}
