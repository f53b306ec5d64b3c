// The engage-nearest rule reacts once per enemy after a 256-pixel move and leaves a unit that is
// already after an enemy alone.
#include <gtest/gtest.h>

#include <memory>

#include "ai/EngageNearestManoeuvre.h"
#include "objects/ObjectTestSupport.h"
#include "objects/SimTestSupport.h"
#include "objects/TargetGoal.h"
#include "objects/UnitMakers.h"
#include "support/FakeObjectWorld.h"

namespace {

// Answers the near-object search with whatever the test puts near, noting the radius asked.
class NearWorld : public FakeObjectWorld {
public:
    NearWorld() : FakeObjectWorld(40, 40) {}
    GameObject* FindObjectNear(GameObject*, int radius) override {
        askedRadius = radius;
        return near;
    }
    GameObject* near = nullptr;
    int askedRadius = -1;
};

class EngageNearest : public ::testing::Test {
protected:
    EngageNearest() {
        std::unique_ptr<GameObject> owned = kit.MakeSim(1, 1, Point(100, 0));
        unit = static_cast<Sim*>(owned.get());
        world.AddSim(owned);
        for (TestUnit* o : {&enemy, &other, &wreck, &neutral})
            world.Add(o);
        wreck.kind = 3;
        world.commands.SetEnabled(1);
    }
    void Chase(const TestUnit& target) {
        unit->ClearGoals();
        unit->AddGoal(std::make_unique<TargetGoal>(unit->id, target.id, Point(), 1, 1), 0);
        unit->goals.Front()->active = 1;
    }
    int RunAt(const Point& p, GameObject* near) {
        unit->SetPosition(p);
        world.near = near;
        return rule.Execute(*unit);
    }

    NearWorld world;
    SimKit kit;
    Sim* unit = nullptr;
    TestUnit enemy{2, 10, Point(300, 0)};
    TestUnit other{2, 11, Point(300, 40)};
    TestUnit wreck{2, 12, Point(300, 80)};
    TestUnit neutral{0, 13, Point(300, 120)};
    EngageNearestManoeuvre rule;
};

}  // namespace

TEST_F(EngageNearest, ReactsOnlyAfterMoving256PixelsFromWhereItLastReacted) {
    EXPECT_EQ(rule.GetType(), 9);
    // From the start point (0, 0): 255 pixels is not far enough, and the enemy seen there is
    // noted, so it draws no reaction later either.
    EXPECT_EQ(RunAt(Point(255, 0), &enemy), 0);
    EXPECT_EQ(world.askedRadius, unit->GetEngageRange());
    EXPECT_EQ(rule.rememberedEnemy, enemy.id);
    EXPECT_EQ(RunAt(Point(256, 0), &enemy), 0);
    // A new enemy at 256 pixels: the unit reacts, forgets its attacker and notes where it is.
    unit->lastAttacker = enemy.id;
    Chase(neutral);
    EXPECT_TRUE(world.commands.Size() == 0);
    EXPECT_EQ(RunAt(Point(256, 0), &other), 1);
    EXPECT_EQ(unit->goals.Front()->active, 0);
    // The restarted goal goes to the peers.
    EXPECT_EQ(CommandKinds(world.commands).back(), 8);
    EXPECT_TRUE(unit->lastAttacker.IsNull());
    EXPECT_EQ(rule.rememberedPosition, Point(256, 0));
    EXPECT_EQ(rule.rememberedEnemy, other.id);
    // The same enemy after another long move draws no second reaction; a new one does.
    EXPECT_EQ(RunAt(Point(600, 0), &other), 0);
    EXPECT_EQ(RunAt(Point(600, 0), &enemy), 1);
    // Nothing near after a long move forgets the enemy, so it may draw a reaction again.
    EXPECT_EQ(RunAt(Point(900, 0), nullptr), 0);
    EXPECT_TRUE(rule.rememberedEnemy.IsNull());
    EXPECT_EQ(RunAt(Point(900, 0), &enemy), 1);
}

TEST_F(EngageNearest, KeepsAnEnemyChaseButRestartsOneAfterAWreckOrANeutral) {
    struct Case {
        TestUnit* chased;
        int reacts;
    };
    for (Case c : {Case{&enemy, 0}, Case{&wreck, 1}, Case{&neutral, 1}}) {
        EngageNearestManoeuvre fresh;
        Chase(*c.chased);
        unit->SetPosition(Point(400, 400));
        world.near = &other;
        EXPECT_EQ(fresh.Execute(*unit), c.reacts) << c.chased->id.serial;
        // Whatever the answer, the enemy seen is noted.
        EXPECT_EQ(fresh.rememberedEnemy, other.id);
        EXPECT_EQ(unit->goals.Front()->active, c.reacts ? 0 : 1);
    }
}

TEST_F(EngageNearest, IsMadeForDesignsOnceInstalled) {
    UnitMakers makers;
    EXPECT_EQ(makers.MakeManoeuvre(9, {}), nullptr);
    EngageNearestManoeuvre::Install(makers);
    std::unique_ptr<SquadManoeuvre> made = makers.MakeManoeuvre(9, {});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetType(), 9);
}
