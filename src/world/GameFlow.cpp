#include "world/GameFlow.h"

int GameFlow::Step(int /*currentMode*/) {
    return 0;
}
