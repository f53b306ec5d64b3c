#pragma once
// A row of the made scenario pack started in a World of its own with the game's real units,
// factories and controllers, as mode 9 starts a campaign mission, and run headless on a
// fixed-step clock. The pack-row check and the mission runs share it.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ai/ComputerOpponents.h"
#include "ai/UnitTraits.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "objects/GameObject.h"
#include "support/FakeClock.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/ScenarioMakers.h"
#include "world/World.h"

namespace mission_pack {

constexpr int kStepMs = 16;

class MissionPackWorld {
public:
    // local: the made set's asset folder; data: a volume's data folder.
    MissionPackWorld(const std::filesystem::path& local, const std::filesystem::path& data) {
        savedAutoPlay = autoPlayFlag;
        autoPlayFlag = 0;
        // The World installs the makers of the weapon templates the catalogue then reads.
        world = std::make_unique<World>();
        world->localDir = local.string() + "/";
        world->dataDir = data.string() + "/";
        InstallComputerOpponents(*world);
        LoadStringTable("7a1.str");
        LoadTemplateCatalogue("7a.pts");
    }
    ~MissionPackWorld() {
        world->ClearObjects();
        world.reset();
        ClearTemplateCatalogue();
        autoPlayFlag = savedAutoPlay;
    }
    MissionPackWorld(const MissionPackWorld&) = delete;
    MissionPackWorld& operator=(const MissionPackWorld&) = delete;

    // Starts the row as the game does; NewGame's answer.
    int Start(int row, uint32_t seed) {
        SeedRandom(seed);
        auto scenario = std::make_unique<Scenario>();
        scenario->SelectPackEntry(row);
        world->SetPendingScenario(std::move(scenario));
        if (world->NewGame() != 1) return 0;
        world->inGame = 1;
        world->paused = 0;
        return 1;
    }
    void Step() {
        clock.Advance(kStepMs);
        world->Tick(static_cast<int>(clock.Now()));
    }
    int64_t Now() const { return clock.Now() - kStartMs; }

    // The live objects of a team's Sim list, in list order.
    std::vector<GameObject*> Objects(int team) const {
        std::vector<GameObject*> out;
        NodeList& list = world->sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* o = static_cast<ObjectNode*>(n)->Object();
            if (o && !o->IsDestroyed()) out.push_back(o);
        }
        return out;
    }
    int32_t Purpose(GameObject* o) const {
        return world->scenarioMakers.purposeOf ? world->scenarioMakers.purposeOf(o) : 0;
    }

    std::unique_ptr<World> world;

private:
    static constexpr int64_t kStartMs = 1000;
    int32_t savedAutoPlay = 0;
    FakeClock clock{kStartMs};
};

}  // namespace mission_pack
