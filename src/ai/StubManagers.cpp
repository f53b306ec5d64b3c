#include "ai/StubManagers.h"

void BuildPlanner::AddToSquad(GameObject& /*object*/) {}
