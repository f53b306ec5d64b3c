#include <gtest/gtest.h>

#include <memory>

#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"

TEST(UnitMakers, EmptyHooksGiveNeutralAnswers) {
    ObjectLand land;
    UnitMakers& makers = TheObjectWorld().Makers();
    ASSERT_EQ(&makers, &land.world.makers);
    TestUnit unit(1, 1, Point(64, 64));
    TestUnit blocker(1, 2, Point(96, 64));

    for (int type = 0; type <= UnitMakers::kManoeuvreTypes; ++type) {
        EXPECT_EQ(makers.MakeManoeuvre(type, {}), nullptr);
    }
    EXPECT_EQ(makers.MakeGoal(5, unit.id, {}, 1, 1), nullptr);
    EXPECT_EQ(makers.MoveBlockerAside(&unit, &blocker, 0), 0);
    makers.SetCarrierPartner(&unit, blocker.id);
}

TEST(UnitMakers, InstalledHooksAreCalledWithTheirArgumentsWithinRangeOnly) {
    UnitMakers makers;
    TestUnit unit(1, 1, Point(64, 64));
    TestUnit blocker(1, 2, Point(96, 64));

    GoalFields seen;
    for (int type : {1, 8}) {
        makers.goalMakers[type] = [&](const SimId& owner, const GoalFields& fields, int allow,
                                      int finish) {
            seen = fields;
            return std::make_unique<LocationGoal>(owner, fields.point, 0, allow, finish);
        };
    }
    GoalFields fields;
    fields.point = Point(70, 90);
    fields.amount = 99;
    std::unique_ptr<Goal> goal = makers.MakeGoal(8, unit.id, fields, 0, 1);
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(seen.amount, 99);
    EXPECT_EQ(goal->allowManoeuvres, 0);
    EXPECT_EQ(goal->finishOnArrival, 1);
    EXPECT_EQ(makers.MakeGoal(9, unit.id, fields, 1, 1), nullptr);
    EXPECT_EQ(makers.MakeGoal(-1, unit.id, fields, 1, 1), nullptr);

    GameObject* movedBy = nullptr;
    makers.moveBlockerAside = [&](GameObject* self, GameObject* other, int distance) {
        movedBy = self;
        return other == &blocker && distance == 3 ? 1 : 0;
    };
    EXPECT_EQ(makers.MoveBlockerAside(&unit, &blocker, 3), 1);
    EXPECT_EQ(movedBy, &unit);
    EXPECT_EQ(makers.MoveBlockerAside(&unit, nullptr, 3), 0);

    SimId partner;
    makers.setCarrierPartner = [&](GameObject*, const SimId& id) { partner = id; };
    makers.SetCarrierPartner(nullptr, blocker.id);
    EXPECT_TRUE(partner.IsNull());
    makers.SetCarrierPartner(&unit, blocker.id);
    EXPECT_EQ(partner, blocker.id);
}
