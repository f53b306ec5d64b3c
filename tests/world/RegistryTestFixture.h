#pragma once
// A World on a small generated land with recording game records, for the tests of the World's
// registry, placement, path requests, death pass, alliances and peer slots.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/MemoryDisplay.h"
#include "core/Point.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "world/GameRecords.h"
#include "world/ObjectNode.h"
#include "world/TestObject.h"
#include "world/World.h"
#include "world/WorldLand.h"

// The scenario and statistics as a test sees them: counters and settable slot answers.
class RecordingGameRecords : public GameRecords {
public:
    void CountLoss(int team) override { ++losses[team]; }
    void CountKill(int team) override { ++kills[team]; }
    void TallyUnit(int team, int effort, int cost) override {
        ++tallied[team];
        lastEffort = effort;
        lastCost = cost;
    }
    void PauseClocks() override { ++clockPauses; }
    void ResumeClocks() override { ++clockResumes; }
    int HasScenario() override { return scenario; }
    void EmptyPlayerSlot(int team) override { emptied.push_back(team); }
    int AllPlayerSlotsEmpty() override { return allBelowEmpty; }
    int PlayerCount() override { return players; }
    void SetPlayerCount(int count) override { players = count; }
    int HasScriptedStructure(int team, int code) override {
        return team == scriptedTeam && code == scriptedCode ? 1 : 0;
    }

    int losses[5] = {};
    int kills[5] = {};
    int tallied[5] = {};
    int lastEffort = -1;
    int lastCost = -1;
    int clockPauses = 0;
    int clockResumes = 0;
    int scenario = 1;
    std::vector<int> emptied;
    int allBelowEmpty = 0;
    int players = 3;
    int scriptedTeam = -1;
    int scriptedCode = -1;
};

class WorldOnLand {
public:
    explicit WorldOnLand(const LandLayout& layout) {
        LoadLand(world, files, layout);
        world.SetGameRecords(&records);
    }
    ~WorldOnLand() { world.ClearObjects(); }

    // Cell (row, column)'s centre in pixels.
    Point Centre(int row, int column) const { return world.pathGrid->CellCenter(row, column); }

    // A new object of team and serial at a cell centre, placed and listed as a Sim; an id
    // given names it instead (as a unit that changed hands keeps its id).
    TestObject* AddUnit(int team, int serial, int row, int column, int kind = 1, int layer = 0,
                        const SimId& id = SimId()) {
        auto unit =
            std::make_unique<TestObject>(team, serial, Centre(row, column), kind, 16, layer);
        if (!id.IsNull()) unit->id = id;
        TestObject* raw = unit.get();
        raw->deletions = &deletions;
        std::unique_ptr<GameObject> owned = std::move(unit);
        EXPECT_EQ(world.AddSim(owned), 1);
        return raw;
    }

    MemoryDisplay screen;
    LandFixture files;
    World world;
    RecordingGameRecords records;
    int deletions = 0;
};
