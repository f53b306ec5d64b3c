#include "ai/MissionScriptV11.h"

MissionScriptV11::~MissionScriptV11() = default;
