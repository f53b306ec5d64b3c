#include <gtest/gtest.h>

#include <memory>

#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"

TEST(UnitMakers, HooksAnswerNeutrallyUntilInstalledAndThenOnlyWithinRange) {
    ObjectLand land;
    UnitMakers& makers = TheObjectWorld().Makers();
    ASSERT_EQ(&makers, &land.world.makers);
    TestUnit unit(1, 1, Point(64, 64));
    TestUnit blocker(1, 2, Point(96, 64));
    GoalFields fields;
    fields.point = Point(70, 90);
    for (int type = 0; type <= UnitMakers::kManoeuvreTypes; ++type)
        EXPECT_EQ(makers.MakeManoeuvre(type, {}), nullptr);
    EXPECT_EQ(makers.MakeGoal(8, unit.id, fields, 1, 1), nullptr);
    EXPECT_EQ(makers.MoveBlockerAside(&unit, &blocker, 0), 0);
    makers.SetCarrierPartner(&unit, blocker.id);

    for (int type : {1, 8}) {
        makers.goalMakers[type] = [](const SimId& owner, const GoalFields& f, int allow,
                                     int finish) {
            return std::make_unique<LocationGoal>(owner, f.point, 0, allow, finish);
        };
    }
    std::unique_ptr<Goal> goal = makers.MakeGoal(8, unit.id, fields, 0, 1);
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(goal->GetLocation(), fields.point);
    EXPECT_EQ(goal->allowManoeuvres, 0);
    EXPECT_EQ(goal->finishOnArrival, 1);
    makers.moveBlockerAside = [&](GameObject* self, GameObject* other, int distance) {
        return self == &unit && other == &blocker && distance == 3 ? 1 : 0;
    };
    // Out of range even with every hook beside the table installed.
    EXPECT_EQ(makers.MakeGoal(9, unit.id, fields, 1, 1), nullptr);
    EXPECT_EQ(makers.MakeGoal(-1, unit.id, fields, 1, 1), nullptr);
    EXPECT_EQ(makers.MoveBlockerAside(&unit, &blocker, 3), 1);
    EXPECT_EQ(makers.MoveBlockerAside(&unit, nullptr, 3), 0);
    SimId partner;
    makers.setCarrierPartner = [&](GameObject*, const SimId& id) { partner = id; };
    makers.SetCarrierPartner(nullptr, blocker.id);
    EXPECT_TRUE(partner.IsNull());
    makers.SetCarrierPartner(&unit, blocker.id);
    EXPECT_EQ(partner, blocker.id);
}
