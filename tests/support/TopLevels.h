#pragma once
// Catalogue services for tests on the sample catalogue: every part of both clans can be built
// (the highest tech level), the player is of the first clan, and there is neither a factory
// design nor a terrain colour table.
#include "catalogue/CatalogueServices.h"

class TopLevels : public CatalogueServices {
public:
    int ClanTechLevel(char) const override { return 8; }
    char PlayerClan() const override { return 'V'; }
    VehicleDesign* LocalFactoryDesign() override { return nullptr; }
    void FactoryDesignChanged() override {}
    const ShadeTable* TerrainColourTable() const override { return nullptr; }
};
