#include "catalogue/CatalogueServices.h"

namespace {

class NeutralServices final : public CatalogueServices {
public:
    int ClanTechLevel(char) const override { return 1; }
    char PlayerClan() const override { return 'V'; }
    VehicleDesign* LocalFactoryDesign() override { return nullptr; }
    void FactoryDesignChanged() override {}
    const ShadeTable* TerrainColourTable() const override { return nullptr; }
};

NeutralServices neutralServices;
CatalogueServices* installedServices = &neutralServices;

}  // namespace

CatalogueServices& Services() {
    return *installedServices;
}

void SetCatalogueServices(CatalogueServices* services) {
    installedServices = services ? services : &neutralServices;
}
