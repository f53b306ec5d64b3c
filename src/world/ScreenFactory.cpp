#include "world/ScreenFactory.h"

namespace {
// Constant-initialised, so a registration during static initialisation finds it ready.
ScreenFactory* registeredFactory = nullptr;
}  // namespace

void RegisterScreenFactory(ScreenFactory* factory) {
    registeredFactory = factory;
}

ScreenFactory* RegisteredScreenFactory() {
    return registeredFactory;
}
