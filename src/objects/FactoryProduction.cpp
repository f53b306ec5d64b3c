#include "objects/FactoryProduction.h"

#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

// A cross-cast: the factory building is a map object and a FactoryProduction at once, and a
// test fake may be the same; nothing else answers.
FactoryProduction* AsFactoryProduction(GameObject* object) {
    return dynamic_cast<FactoryProduction*>(object);
}

FactoryProduction* TeamFactoryProduction(int team) {
    return AsFactoryProduction(TheObjectWorld().TeamFactory(team));
}
