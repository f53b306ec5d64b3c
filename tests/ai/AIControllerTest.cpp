#include "ai/AIController.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "AIFixture.h"
#include "ai/AIManager.h"
#include "ai/InfluenceGrid.h"
#include "catalogue/DesignRules.h"
#include "support/FakeClock.h"
#include "world/SimIdNode.h"

namespace {

// A manager with bounds of its own.
class NarrowManager : public AIManager {
public:
    using AIManager::AIManager;
    int MinLevel() const override { return 2; }
    int MaxLevel() const override { return 4; }
    int Think() override { return 0; }
    void OnEvent(int32_t, void*, void*) override {}
    int ClaimUnit(GameObject&, int32_t&) override { return 0; }
};

// A squad whose runs are scripted: each answer is used once, then 1.
class ScriptedSquad : public Squad {
public:
    ScriptedSquad(std::vector<int>& log, std::vector<int> answers)
        : Squad(1), log(log), answers(std::move(answers)) {}
    int Update(Timer*) override {
        log.push_back(Id());
        if (next < answers.size()) return answers[next++];
        return 1;
    }
    std::vector<int>& log;
    std::vector<int> answers;
    size_t next = 0;
};

// The strategies and aggressiveness values that 200 set-ups at the level draw.
std::pair<std::set<int32_t>, std::set<int32_t>> Draws(AIWorld& land, int level, int tech) {
    std::pair<std::set<int32_t>, std::set<int32_t>> seen;
    SeedRandom(static_cast<uint32_t>(level * 100 + tech));
    for (int draw = 0; draw < 200; ++draw) {
        AIController* ai = land.AddController(2, tech);
        ai->Setup(level);
        seen.first.insert(ai->StrategyBits());
        seen.second.insert(ai->Aggressiveness());
    }
    return seen;
}

}  // namespace

TEST(AIController, LevelsClampAndScaleBuildTimesInSinglePrecision) {
    AIWorld land;
    AIController* ai = land.AddController(2);
    ai->Setup(3);
    const std::pair<int, int> clamps[] = {{0, 1}, {-4, 1}, {1, 1}, {4, 4}, {5, 5}, {9, 5}};
    for (auto [given, stored] : clamps) {
        ai->SetLevel(given);
        EXPECT_EQ(ai->Level(), stored) << given;
        for (ListNode* n = ai->managers.First(); n; n = ai->managers.Next(n))
            EXPECT_EQ(static_cast<AIManager*>(n)->Level(), stored);
    }
    const int32_t scaled[] = {1250, 1100, 1000, 899, 750};
    for (int level = 1; level <= 5; ++level) {
        ai->SetLevel(level);
        EXPECT_EQ(ai->ScaleByLevel(1000), scaled[level - 1]) << level;
    }
    NarrowManager narrow(*ai);
    const std::pair<int, int> own[] = {{0, 2}, {3, 3}, {7, 4}};
    for (auto [given, stored] : own) {
        narrow.SetLevel(given);
        EXPECT_EQ(narrow.Level(), stored);
    }
}

TEST(AIController, SetupGivesTheFactoryAndUnitsTheLevelsSkillAndResources) {
    struct Row {
        int skill, store, cargo, resources;
    };
    const Row rows[] = {{550, 0, 0, 0},
                        {600, 0, 0, 0},
                        {650, 1000, 1000, 0},
                        {750, 2500, 2500, 1000},
                        {800, 3500, 3500, 2000}};
    for (int level = 1; level <= 5; ++level) {
        AIWorld land;
        FakeFactory* factory = land.AddFactory(2, Point(300, 300));
        AIUnit* unit = land.AddUnit(2, Point(100, 100));
        AIController* ai = land.AddController(2);
        ai->Setup(level);
        const Row& row = rows[level - 1];
        EXPECT_EQ(factory->skill, row.skill) << level;
        EXPECT_EQ(factory->stored, row.store);
        EXPECT_EQ(factory->cargo, row.cargo);
        EXPECT_EQ(factory->addedCargo, row.resources);
        EXPECT_EQ(factory->addedCredit, row.resources);
        EXPECT_EQ(factory->Owner(), ai);
        EXPECT_EQ(unit->skill, row.skill);
        EXPECT_EQ(unit->Owner(), ai);
    }
}

// Aggressiveness is 1 .. 3 at levels 1 and 2, 2 .. 3 above.
TEST(AIController, StrategyAndAggressivenessDrawsDependOnLevelAndTechLevel) {
    using S = std::set<int32_t>;
    struct Case {
        int level, tech;
        S strategies;
    };
    const Case cases[] = {
        {1, 1, S{0}},
        {1, 3, S{0, 0x10}},
        {2, 2, S{0x20}},
        {4, 3, S{0x20, 0x30}},
        {1, 4, S{0x01, 0x11}},
        {3, 5, S{0x21, 0x31}},
        {1, 6, S{0x01, 0x11, 0x04, 0x14}},
        {2, 6, S{0x21, 0x31, 0x04, 0x14, 0x24, 0x34}},
        {2, 8, S{0x21, 0x31, 0x04, 0x14, 0x24, 0x34, 0x22, 0x32}},
        {3, 8, S{0x21, 0x31, 0x04, 0x14, 0x24, 0x34, 0x22, 0x32, 0x28, 0x38}},
        {5, 5, S{0x21, 0x31}},
    };
    AIWorld land;
    land.AddFactory(2, Point(300, 300));
    for (const Case& c : cases) {
        const auto [strategies, aggressiveness] = Draws(land, c.level, c.tech);
        EXPECT_EQ(strategies, c.strategies) << c.level << " " << c.tech;
        EXPECT_EQ(aggressiveness, c.level <= 2 ? S({1, 2, 3}) : S({2, 3})) << c.level;
    }
}

TEST(AIController, PresetStrategyKeepsItsBitsAndQueuesTheirTypesInOrder) {
    AIWorld land;
    land.AddFactory(2, Point(300, 300));
    AIController* ai = land.AddController(2);
    ai->SetStrategyBits(0x3f);
    ai->SetAggressiveness(2);
    ai->Setup(3);
    EXPECT_EQ(ai->StrategyBits(), 0x3f);
    EXPECT_EQ(ai->Aggressiveness(), 2);
    std::vector<int> queue;
    for (ListNode* n = ai->typeQueue.First(); n; n = ai->typeQueue.Next(n))
        queue.push_back(n->key);
    EXPECT_EQ(queue, (std::vector<int>{3, 0, 1, 4, 2, 5}));
}

TEST(AIController, ATeamWithoutAFactoryGetsGridAndManagersButNoStrategy) {
    AIWorld land;
    AIUnit* unit = land.AddUnit(3, Point(100, 100));
    AIController* ai = land.AddController(3);
    ai->Setup(5);
    EXPECT_NE(ai->Grid(), nullptr);
    EXPECT_EQ(ai->managers.Count(), 4);
    std::vector<int32_t> ids;
    for (ListNode* n = ai->managers.First(); n; n = ai->managers.Next(n))
        ids.push_back(static_cast<AIManager*>(n)->Id());
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(ai->StrategyBits(), 0);
    EXPECT_EQ(ai->Aggressiveness(), 0);
    EXPECT_TRUE(ai->typeQueue.IsEmpty());
    EXPECT_EQ(unit->Owner(), ai);
    EXPECT_EQ(unit->skill, 800);
    ai->Setup(1);
    EXPECT_EQ(ai->managers.Count(), 4);
    EXPECT_EQ(ai->Level(), 5);
}

TEST(AIManager, RunResumesAtTheSquadThatRanOutAndRestartsWhenItIsGone) {
    AIWorld land;
    AIController* ai = land.AddController(2);
    NarrowManager manager(*ai);
    EXPECT_EQ(manager.RunChildren(nullptr), 1);
    std::vector<int> log;
    Squad* a = manager.AddChild(std::make_unique<ScriptedSquad>(log, std::vector<int>{}));
    Squad* b = manager.AddChild(std::make_unique<ScriptedSquad>(log, std::vector<int>{0, 0}));
    Squad* c = manager.AddChild(std::make_unique<ScriptedSquad>(log, std::vector<int>{}));
    EXPECT_EQ(manager.RunChildren(nullptr), 0);
    EXPECT_EQ(manager.RunCursor(), b->Id());
    EXPECT_EQ(manager.RunChildren(nullptr), 0);
    // The squad that ran out goes first; those before it are not run again in that pass.
    EXPECT_EQ(log, (std::vector<int>{a->Id(), b->Id(), b->Id()}));
    // The cursor's squad deleted between runs (a group merged away): the run restarts at the
    // first squad instead of resuming from freed memory.
    manager.DeleteChild(b);
    EXPECT_EQ(manager.RunCursor(), 0);
    log.clear();
    EXPECT_EQ(manager.RunChildren(nullptr), 1);
    EXPECT_EQ(log, (std::vector<int>{a->Id(), c->Id()}));
    EXPECT_EQ(manager.FindChild(c->Id()), c);
    EXPECT_EQ(manager.FindChild(-5), nullptr);
}

TEST(AIController, GoingFirstReleasesTheObjectsThatNameItAsOwner) {
    AIWorld land;
    FakeFactory* factory = land.AddFactory(2, Point(300, 300));
    AIUnit* unit = land.AddUnit(2, Point(100, 100));
    AIController* ai = land.AddController(2);
    ai->Setup(3);
    ASSERT_EQ(unit->Owner(), ai);
    land.world.SetTeamController(2, nullptr);
    EXPECT_EQ(unit->Owner(), nullptr);
    EXPECT_EQ(factory->Owner(), nullptr);
    // Deleting the objects now touches no freed controller (the sanitizer tree checks).
    land.world.ClearObjects();
}

// Destructible objects under 2000 px from the point, nearest first, none with enemy firepower in
// the 3 × 3 cells around it.
TEST(AIController, ObjectivesAreTheNearDestructiblesNoEnemyGuards) {
    AIWorld land(80, 20);
    AIController* ai = land.AddController(2);
    ai->Setup(3);
    std::vector<SimId> ids;
    auto field = [&](const Point& at, int destroyed) {
        auto object = std::make_unique<TestObject>(0, 700 + static_cast<int>(ids.size()), at, 5);
        object->destroyed = destroyed;
        ids.push_back(object->id);
        std::unique_ptr<GameObject> owned = std::move(object);
        land.world.AddDestructible(owned);
    };
    field(Point(2299, 300), 0);  // 1999 px
    field(Point(2300, 300), 0);  // 2000 px: too far
    field(Point(800, 300), 0);   // 500 px
    field(Point(900, 300), 1);   // destroyed
    field(Point(400, 300), 0);   // guarded
    land.AddUnit(1, Point(100, 300), 'a', 5);
    ai->AddObjectiveId(SimId(0, 1), 0);
    ai->Grid()->Refresh(2, *ai);
    ai->FindObjectives(Point(300, 300));
    std::vector<std::pair<SimId, int>> found;
    for (ListNode* n = ai->objectives.First(); n; n = ai->objectives.Next(n))
        found.push_back({static_cast<SimIdNode*>(n)->id, n->key});
    EXPECT_EQ(found, (std::vector<std::pair<SimId, int>>{{ids[2], 500}, {ids[0], 1999}}));
    // Equal keys keep their order; an index past the end answers the first.
    ai->AddObjectiveId(SimId(0, 6), 500);
    EXPECT_EQ(ai->ObjectiveId(0), ids[2]);
    EXPECT_EQ(ai->ObjectiveId(1), SimId(0, 6));
    EXPECT_EQ(ai->ObjectiveId(2), ids[0]);
    SimId out;
    ai->GetObjectiveId(out, 9);
    EXPECT_EQ(out, ids[2]);
    ai->objectives.DeleteAll();
    EXPECT_TRUE(ai->ObjectiveId(0).IsNull());
}

// A scenario's design rules become the pending order under their purpose; none clears it.
TEST(AIController, ScenarioDesignRulesBecomeThePendingOrderUnderTheirPurpose) {
    AIWorld land;
    AIController* ai = land.AddController(2);
    EXPECT_EQ(ai->DesignPurpose(), 0);
    auto rules = std::make_unique<DesignRules>();
    rules->presets[0] = 4;
    ai->SetDesignRules(std::move(rules), 7);
    ASSERT_NE(ai->pendingOrder, nullptr);
    EXPECT_EQ(ai->pendingOrder->presets[0], 4);
    EXPECT_EQ(ai->DesignPurpose(), 7);
    EXPECT_EQ(AIController::OrderPurpose(*ai->pendingOrder), 7);
    ai->SetDesignRules(nullptr, 5);
    EXPECT_EQ(ai->pendingOrder, nullptr);
    EXPECT_EQ(ai->DesignPurpose(), 0);
}

// Over a list of cells the balance weighs the team's own objects in them against the enemies
// in them: how long each side survives the other's fire.
TEST(AIController, TheBalanceOverCellsCountsOnlyWhatStandsInThem) {
    AIWorld land;
    land.AddFactory(2, Point(700, 700));
    AIController* ai = land.AddController(2);
    ai->Setup(3);
    land.AddUnit(2, Point(100, 100), 'a', 10)->SetHealth(100, 0);
    land.AddUnit(1, Point(120, 100), 'a', 5)->SetHealth(60, 10);
    // Elsewhere, and not counted.
    land.AddUnit(2, Point(1000, 500), 'a', 1000)->SetHealth(9000, 0);
    land.AddUnit(1, Point(1000, 520), 'a', 1000)->SetHealth(9000, 0);
    ai->Grid()->Refresh(2, *ai);
    const std::vector<InfluenceCell*> cells = {ai->Grid()->CellAt(Point(100, 100))};
    const int32_t all = InfluenceGrid::kAllCategories;
    EXPECT_EQ(ai->StrengthBalance(&cells, 0, nullptr, all, all), 100 / 5 - 50 / 10);
    const std::vector<InfluenceCell*> none;
    EXPECT_EQ(ai->StrengthBalance(&none, 0, nullptr, all, all), 0);
}
