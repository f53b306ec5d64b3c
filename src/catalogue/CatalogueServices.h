#pragma once
// What the catalogue and the designs need of the World: the clans' tech levels, the player's
// clan, the local team's factory design and the terrain colour table. The World installs
// itself here; until one is installed a neutral stand-in answers (level 1, clan 'V', no
// factory, no terrain).
#include <cstdint>

class ShadeTable;
class VehicleDesign;

class CatalogueServices {
public:
    virtual ~CatalogueServices() = default;

    // Tech level of clan 'T' or 'V'; the lower of the two for any other letter.
    virtual int ClanTechLevel(char clan) const = 0;
    // The clan letter of the local player.
    virtual char PlayerClan() const = 0;
    // The design of the local team's factory, or null when the team has none.
    virtual VehicleDesign* LocalFactoryDesign() = 0;
    // The factory's design was refitted: the factory rebuilds its parts and sends its design to
    // the peers. Called only after LocalFactoryDesign answered a design.
    virtual void FactoryDesignChanged() = 0;
    // The colour table through which ground drives are drawn while a terrain map is loaded;
    // null when no map is loaded.
    virtual const ShadeTable* TerrainColourTable() const = 0;
};

// The installed services; never null.
CatalogueServices& Services();
// Installs the services (null restores the neutral stand-in). The caller keeps ownership.
void SetCatalogueServices(CatalogueServices* services);
