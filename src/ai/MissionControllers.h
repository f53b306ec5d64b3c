#pragma once
// The controller of a campaign mission's team (missions 1 to 12). A players record of a team
// other than 0 and of clan 'V' or 'T' gets the scripted player of its mission (mission 11: the
// planning controller of its campaign clan); mission 12's
// controller comes from the scenario header only, never from a players record, so such a
// record cannot replace the tutorial. Answers null where nothing is made.
#include <memory>

#include "world/ScenarioMakers.h"

class ScenarioController;

// 1 when the request is a campaign mission's (1 to 12) or another number above 12 that gets
// nothing; mission 0 is the planning controller's, and mission 11's opponents are planning
// controllers at the last tech level.
bool IsScriptedMission(const ControllerRequest& request);
std::unique_ptr<ScenarioController> MakeMissionController(const ControllerRequest& request);
