#include "ai/MissionScriptT4.h"

#include "core/SimId.h"
#include "objects/GameObject.h"
#include "world/World.h"

MissionScriptT4::~MissionScriptT4() = default;

void MissionScriptT4::OnEvent(int32_t kind, void* a, void* b) {
    HandleEventA(kind, a, b);
    if (kind != kUnitBuilt || !b) return;
    // After the rally order (none while the rally point is unset); being counted in squad 1
    // does not touch orders, so it may come first.
    GameObject* unit = world.FindObject(*static_cast<SimId*>(b));
    if (unit && IsDeploying(unit))
        unit->ExecuteOrder(kDeployOrder, kDeployFlags, Point(kOutpostX, kOutpostY), SimId(), 0);
}
