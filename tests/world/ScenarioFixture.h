#pragma once
// A World on a generated land in a scratch asset directory, with fakes installed for the makers
// the scenario code asks for: units with a design code and one own record line ('q'), a
// production building, a group, and controllers that keep the fields of a players record.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/DesignRules.h"
#include "catalogue/VehicleDesign.h"
#include "core/ResourceFile.h"
#include "map/LandFixture.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "support/FakeClock.h"
#include "support/SignedSave.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/ScenarioController.h"
#include "world/ScenarioMakers.h"
#include "world/TestObject.h"
#include "world/World.h"

// A map object with one own record line, "q = <extra>", and a purpose word.
class RecordObject : public TestObject {
public:
    RecordObject(const SimId& id, const Point& at, int kind, const char* designCode)
        : TestObject(id.team, id.serial, at, kind) {
        if (designCode) {
            ownDesign = std::make_unique<VehicleDesign>(designCode);
            design = ownDesign.get();
        }
    }
    void Parse(char key, const char* text) override {
        if (key == 'q') extra = std::atoi(text);
    }
    void Write(ResourceFile& file, char* buffer, int size) override {
        std::snprintf(buffer, static_cast<size_t>(size), "q = %d", extra);
        file.WriteLine(buffer);
    }
    int Deposit(int n) override {
        stored += n;
        return n;
    }

    int32_t extra = 0;
    int32_t purpose = 0;
    std::unique_ptr<VehicleDesign> ownDesign;
};

class RecordController : public ScenarioController {
public:
    explicit RecordController(const ControllerRequest& request) : request(request) {}
    void Update(Timer& /*budget*/) override {}
    char ClanLetter() override { return request.clan; }
    int32_t TargetTeam() override { return target; }
    void SetTargetTeam(int32_t team) override { target = team; }
    int32_t StrategyBits() override { return strategy; }
    void SetStrategyBits(int32_t bits) override { strategy = bits; }
    int32_t Aggressiveness() override { return aggressiveness; }
    void SetAggressiveness(int32_t value) override { aggressiveness = value; }
    void GetRallyPoint(Point& out) override { out = rally; }
    void SetRallyPoint(const Point& p) override { rally = p; }
    void GetObjectiveId(SimId& out, int /*index*/) override { out = objective; }
    void AddObjectiveId(const SimId& id, int /*key*/) override { objective = id; }
    void SetDesignRules(std::unique_ptr<DesignRules> newRules, int32_t code) override {
        rules = std::move(newRules);
        purpose = code;
    }
    DesignRules* GetDesignRules() override { return rules.get(); }
    int32_t DesignPurpose() override { return purpose; }
    void Setup(int level) override { setupLevel = level; }

    ControllerRequest request;
    int32_t target = 0;
    int32_t strategy = 0;
    int32_t aggressiveness = 0;
    Point rally;
    SimId objective;
    std::unique_ptr<DesignRules> rules;
    int32_t purpose = 0;
    int setupLevel = -1;
};

// Open ground, 40 x 30 cells, four start points and two second points.
inline LandLayout ScenarioLand(int columns = 40, int rows = 30) {
    LandLayout layout;
    layout.columns = columns;
    layout.rows = rows;
    for (int r = 0; r < rows; ++r)
        layout.letters.push_back(std::string(static_cast<size_t>(columns), 'c'));
    const int far = std::min(columns, rows) - 6;
    layout.starts = {{4, 4}, {4, far}, {far, 4}, {far, far}};
    layout.seconds = {{far / 2, far / 2}, {far / 2, 2}};
    return layout;
}

inline void InstallRecordMakers(World& world) {
    ScenarioMakers& m = world.scenarioMakers;
    m.spawnSim = [](const char* code, const SimId& id, const Point& p) {
        // An empty design code makes no unit, as a design without parts would.
        return code && *code ? std::make_unique<RecordObject>(id, p, 1, code) : nullptr;
    };
    m.createBuildingSim = [](char clan, const SimId& id, const Point& p, int /*flag*/) {
        const std::string code = std::string(1, clan) + "Factory";
        return std::make_unique<RecordObject>(id, p, 4, code.c_str());
    };
    m.makeGroup = [](const SimId& id) {
        return std::make_unique<RecordObject>(id, Point(0, 0), 0, nullptr);
    };
    m.purposeOf = [](GameObject* o) {
        auto* r = dynamic_cast<RecordObject*>(o);
        return r ? r->purpose : 0;
    };
    m.setPurpose = [](GameObject* o, int32_t value) {
        if (auto* r = dynamic_cast<RecordObject*>(o)) r->purpose = value;
    };
    m.factoryJobDesign = [](GameObject* factory) { return factory->GetDesign(); };
    // Mission 12 makes nothing from a players record, the tutorial from the header.
    m.makeController = [](const ControllerRequest& request) -> std::unique_ptr<ScenarioController> {
        if (request.mission == 12 && request.source != ControllerRequest::Source::Header)
            return nullptr;
        return std::make_unique<RecordController>(request);
    };
}

class ScenarioWorld {
public:
    explicit ScenarioWorld(const LandLayout& layout = ScenarioLand()) {
        files.WriteLand(layout);
        Renew();
    }
    ~ScenarioWorld() {
        if (world) world->ClearObjects();
    }
    // A fresh World over the same asset directory.
    void Renew() {
        if (world) world->ClearObjects();
        world.reset();
        world = std::make_unique<World>();
        world->localDir = files.Path();
        world->dataDir = files.Path();
        InstallRecordMakers(*world);
    }
    // Starts the descriptor as mode 9 does; NewGame's answer.
    int Start(std::unique_ptr<Scenario> scenario) {
        world->SetPendingScenario(std::move(scenario));
        return world->NewGame();
    }
    int StartFile(const char* name) {
        auto s = std::make_unique<Scenario>();
        s->SetFileName(name);
        return Start(std::move(s));
    }
    // As the load-game screen starts a saved game.
    int StartSave(const char* name) {
        auto s = std::make_unique<Scenario>();
        s->SetSaveFileName(name);
        return Start(std::move(s));
    }
    // A generated skirmish with this many opponents.
    int StartSkirmish(int opponents, int difficulty = 1) {
        auto s = std::make_unique<Scenario>();
        s->computerPlayers = opponents;
        s->difficulty = difficulty;
        s->ShuffleStartOrder();
        return Start(std::move(s));
    }
    // A loose save as the game writes it: the text and its check record.
    void WriteSave(const char* name, const std::string& text) const {
        WriteFile(name, SignedSave(text));
    }
    void WriteFile(const char* name, const std::string& text) const {
        std::FILE* f = std::fopen((files.Path() + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    std::string ReadFile(const char* name) const {
        std::string text;
        std::FILE* f = std::fopen((files.Path() + name).c_str(), "rb");
        if (!f) return "<missing>";
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
        return text;
    }
    // Adds a unit of the team through the unit maker at a cell's centre.
    RecordObject* AddUnit(int team, int row, int column, const char* code = "VTestUnit") {
        std::unique_ptr<GameObject> unit = world->scenarioMakers.spawnSim(
            code, world->NewSimId(team), world->pathGrid->CellCenter(row, column));
        auto* raw = static_cast<RecordObject*>(unit.get());
        EXPECT_EQ(world->AddSim(unit), 1);
        return raw;
    }
    int CountObjects() const {
        int count = 0;
        for (int team = 0; team < World::kTeams; ++team)
            count += world->sims[team].Count() + world->buildings[team].Count();
        return count + world->oreDeposits.Count() + world->destructibles.Count() +
               world->artifacts.Count() + world->wrecks.Count() + world->groups.Count();
    }

    LandFixture files;
    FakeClock clock{1000};
    std::unique_ptr<World> world;
};
