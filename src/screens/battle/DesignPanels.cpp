#include "screens/battle/DesignPanels.h"

#include "ui/ScreenBase.h"
#include "world/World.h"

DesignPanels* FindDesignPanels() {
    World* world = TheWorld();
    if (!world || !world->designScreen) return nullptr;
    return dynamic_cast<DesignPanels*>(world->designScreen.get());
}
