#pragma once
// How the scenario code makes the objects and controllers whose classes live above or beside
// the World: each neighbouring piece installs its maker on World::scenarioMakers, as the death
// pass's wreck maker is installed. A maker that is not installed answers null (or nothing), and
// the scenario code drops what it cannot make. Tests install fakes.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"

class GameObject;
class ScenarioController;
class VehicleDesign;

// Which controller a team gets. from: where the request comes from.
struct ControllerRequest {
    enum class Source : int32_t {
        // A generated world's opponent or the local team's auto-play.
        Generated = 0,
        // A players record (section E) of a scenario file.
        PlayersRecord = 1,
        // The header of a scenario file (the tutorial's controller of the local team).
        Header = 2,
    };
    int32_t mission = 0;
    // The campaign clan of the scenario.
    char campaignClan = 'V';
    int32_t team = 0;
    // The controller's own clan (E record's L).
    char clan = 'V';
    int32_t techLevel = 1;
    Source source = Source::Generated;
};

struct ScenarioMakers {
    // A unit from a design code string at a position, not yet listed; null when the design
    // gives no object. Installed by the units.
    std::function<std::unique_ptr<GameObject>(const char* designCode, const SimId& id,
                                              const Point& position)>
        spawnSim;
    // The clan's production building (flag 1 from the scenario code), not yet listed.
    // Installed by the economy.
    std::function<std::unique_ptr<GameObject>(char clan, const SimId& id, const Point& position,
                                              int flag)>
        createBuildingSim;
    // Paid funds and ore added to a production building.
    std::function<void(GameObject* factory, int funds, int ore)> addFactoryResources;
    // The design of the building's current job, or else the last design of its job queue; null.
    std::function<VehicleDesign*(GameObject* factory)> factoryJobDesign;
    // The object currently entering the building (the mined deposit); null id when none.
    std::function<SimId(GameObject* factory)> factoryLinkedObject;
    // A group with that id, not yet listed; its own lines go to GameObject::Parse. Installed by
    // the weapons.
    std::function<std::unique_ptr<GameObject>(const SimId& id)> makeGroup;
    // A carrier's link id (units whose primary part is 'g'); the null id when unlinked.
    std::function<SimId(GameObject* carrier)> carrierLink;
    // The squad id a controller stamped on the object (key Z).
    std::function<int32_t(GameObject*)> purposeOf;
    std::function<void(GameObject*, int32_t)> setPurpose;
    // The controller of a team; null for none. Installed by the computer opponents and the
    // mission scripts.
    std::function<std::unique_ptr<ScenarioController>(const ControllerRequest&)> makeController;
    // Clears the counters the computer opponents share, at the start of every game.
    std::function<void()> clearSharedCounters;
};
