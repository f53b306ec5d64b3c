#pragma once
// A World with a small generated land (terrain, sight and path grids read from real land files)
// and a map object whose kind, design, destruction and orders a test sets, for the tests of the
// World's registry, placement, path requests and death pass.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/MemoryDisplay.h"
#include "core/Point.h"
#include "objects/GameObject.h"
#include "world/CollisionFilter.h"
#include "world/GameRecords.h"
#include "world/LandFixture.h"
#include "world/LandLoader.h"
#include "world/ObjectNode.h"
#include "world/PathGrid.h"
#include "world/SightGrid.h"
#include "world/TerrainMap.h"
#include "world/World.h"

struct IssuedOrder {
    int code;
    int flags;
    Point p;
};

class TestObject : public GameObject {
public:
    // Kinds 2 and 4 of the filter mark a footprint; the object's size is twice the radius.
    TestObject(int team, int serial, const Point& at, int kind = 1, int radius = 16, int layer = 0,
               int filterKind = 2)
        : GameObject(at, 0, Size(2 * radius, 2 * radius), nullptr, 0,
                     CollisionFilter(filterKind, layer, 0, 0, 0), SimId(team, serial), 100, 1),
          kind(kind) {}
    ~TestObject() override {
        if (deletions) ++*deletions;
    }

    int GetKind() override { return kind; }
    int IsDestroyed() override { return destroyed; }
    void Update(int elapsedMs) override {
        ++updates;
        if (onUpdate) onUpdate(*this, elapsedMs);
    }
    VehicleDesign* GetDesign() override { return design; }
    void ExecuteOrder(int code, int flags, const Point& p, const SimId&, int) override {
        orders.push_back({code, flags, p});
    }
    int FindFreeDock(GameObject*, int) override { return freeDock; }
    int GetStored() override { return stored; }

    int kind;
    int destroyed = 0;
    int updates = 0;
    int freeDock = 0;
    int stored = 0;
    VehicleDesign* design = nullptr;
    int* deletions = nullptr;
    std::vector<IssuedOrder> orders;
    std::function<void(TestObject&, int)> onUpdate;
};

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

// A land of open ground, `columns` by `rows` cells, with the letters given row by row laid over
// it ('c' where a row is short).
inline LandSpec OpenLand(int columns, int rows, const std::vector<std::string>& overlay = {}) {
    LandSpec spec;
    spec.columns = columns;
    spec.rows = rows;
    for (int r = 0; r < rows; ++r) {
        std::string line(static_cast<size_t>(columns), 'c');
        if (r < static_cast<int>(overlay.size())) {
            for (size_t c = 0; c < overlay[r].size() && c < line.size(); ++c)
                line[c] = overlay[r][c];
        }
        spec.letters.push_back(line);
    }
    return spec;
}

class WorldOnLand {
public:
    explicit WorldOnLand(const LandSpec& spec) {
        files.WriteLand(spec);
        world.localDir = files.Path();
        world.dataDir = files.Path();
        Land land = LandLoader::Load(world);
        world.terrain = std::move(land.map);
        world.sight = std::move(land.sight);
        world.pathGrid = std::move(land.paths);
        world.SetGameRecords(&records);
    }
    ~WorldOnLand() { world.ClearObjects(); }

    // Cell (row, column)'s centre in pixels.
    Point Centre(int row, int column) const { return world.pathGrid->CellCenter(row, column); }

    // A new object of team and serial at a cell centre, placed and listed as a Sim.
    TestObject* AddUnit(int team, int serial, int row, int column, int kind = 1) {
        auto unit = std::make_unique<TestObject>(team, serial, Centre(row, column), kind);
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
