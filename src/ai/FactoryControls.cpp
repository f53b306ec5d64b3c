#include "ai/FactoryControls.h"

#include "objects/GameObject.h"

FactoryControls* FactoryControlsOf(GameObject* object) {
    return dynamic_cast<FactoryControls*>(object);
}
