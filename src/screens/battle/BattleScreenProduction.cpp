// What the screen does with the team factory's production: queueing the build list's pick,
// cancelling a job of the production list, and the debug panel's production line.
#include <cstdio>
#include <memory>

#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/PtrNode.h"
#include "core/TextWriter.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "screens/battle/BattleScreen.h"
#include "ui/ScrollList.h"
#include "world/World.h"

FactoryProduction* BattleScreen::Production() const {
    return AsFactoryProduction(Factory());
}

int32_t BattleScreen::BuildSelected(int32_t ctrl) {
    World* world = TheWorldOrNull();
    // 1.
    FactoryProduction* production = Production();
    if (!production || !world || !world->designLibrary || !buildList) return 0;
    // 2.
    const int32_t k = buildList->selection;
    if (designListFlag == 1) {
        // 3. A copy of the picked design, at the front of the jobs (the end with Ctrl).
        VehicleDesign* design = SelectedBuildDesign();
        if (!design) return 0;
        auto copy = std::make_unique<VehicleDesign>(design->CodeString());
        TellController(kEventDesignQueued, copy.get());
        return production->QueueJob(std::move(copy), ctrl ? 0 : 1) ? 1 : 0;
    }
    // 4. Every listed design of the picked group.
    DesignGroup* group = world->designLibrary->GroupAt(k);
    if (!group) return 0;
    int32_t result = 1;
    for (PtrNode* node = group->FirstAvailable(); node; node = group->NextAvailable(node)) {
        VehicleDesign* design = DesignGroup::DesignOf(node);
        if (!design || design->complete != 1) continue;
        if (!production->QueueJob(std::make_unique<VehicleDesign>(design->CodeString()), 1))
            result = 0;
    }
    return result;
}

int32_t BattleScreen::CancelSelectedJob() {
    FactoryProduction* production = Production();
    if (!production || !productionList) return 0;
    const int32_t selected = productionList->selection;
    const bool current = production->CurrentJob() != nullptr;
    if (selected == 0 && current) return production->CancelJob(nullptr) ? 1 : 0;
    // The rows after the job in progress list the queue from the job built next (the last) to
    // the first.
    const int32_t queued = production->QueuedJobCount();
    const int32_t index = queued - 1 - (selected - (current ? 1 : 0));
    if (selected < 0 || index < 0 || index >= queued) return 0;
    VehicleDesign* job = production->QueuedJob(index);
    return job && production->CancelJob(job) ? 1 : 0;
}

int32_t BattleScreen::DrawBuildingLine(GameObject* factory, int32_t y) {
    World* world = TheWorldOrNull();
    FactoryProduction* production = AsFactoryProduction(factory);
    if (!production || !production->CurrentJob() || !world || !world->font) return 0;
    char text[64];
    std::snprintf(text, sizeof text, "Building: %03d", production->RemainingTime() / 1000);
    world->font->DrawText(Point(1, y), text, 10);
    return 10;
}
