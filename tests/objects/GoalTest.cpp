#include <gtest/gtest.h>

#include <memory>

#include "objects/GoalQueue.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"

namespace {

class Goals : public ::testing::Test {
protected:
    Goals() {
        land.world.Add(&unit);
        land.world.Add(&enemy);
        land.world.Add(&mate);
    }

    std::unique_ptr<LocationGoal> To(const Point& p, int finish = 1) {
        return std::make_unique<LocationGoal>(unit.id, p, 16, 1, finish);
    }
    std::unique_ptr<TargetGoal> At(const SimId& target, const Point& offset = Point()) {
        return std::make_unique<TargetGoal>(unit.id, target, offset, 1, 1);
    }

    // 10 x 10 cells of 32 pixels.
    ObjectLand land;
    FakeObjectWorld& world = land.world;
    TestUnit unit{1, 1, Point(100, 100)};
    TestUnit enemy{2, 1, Point(200, 100)};
    TestUnit mate{1, 2, Point(100, 200)};
};

}  // namespace

TEST_F(Goals, LocationGoalsAreKeptOneTileInsideTheMap) {
    EXPECT_EQ(To(Point(0, 0))->point, Point(32, 32));
    EXPECT_EQ(To(Point(400, 400))->point, Point(287, 287));
    EXPECT_EQ(To(Point(288, 100))->point, Point(288, 100));
    EXPECT_EQ(To(Point(100, 288))->point, Point(100, 288));
    EXPECT_EQ(To(Point(-50, 289))->point, Point(32, 287));
    // A goal that names no tolerance (one read from a record) stops within half a sight cell;
    // every test land has sight cells of 64 pixels.
    EXPECT_EQ(DefaultLocationTolerance(), 32);
}

TEST_F(Goals, LocationGoalIsDoneWithinItsTolerance) {
    unit.goals.PushFront(To(Point(116, 100)));
    Goal* goal = unit.goals.Front();
    EXPECT_EQ(goal->IsDone(), 1);
    unit.position = Point(133, 100);
    EXPECT_EQ(goal->IsDone(), 0);
    // 16.4 pixels away: the distance is truncated before the comparison.
    unit.position = Point(129, 110);
    EXPECT_EQ(goal->IsDone(), 1);
}

TEST_F(Goals, LocationGoalWithoutFinishOnArrivalEndsOnlyByAReportedBlock) {
    unit.goals.PushFront(To(Point(100, 100), 0));
    Goal* goal = unit.goals.Front();
    EXPECT_EQ(goal->IsDone(), 0);
    unit.goals.BlockFront();
    EXPECT_EQ(goal->IsDone(), 0);
    goal->reportFailure = 0;
    EXPECT_EQ(goal->IsDone(), 1);
}

TEST_F(Goals, TargetGoalFollowsItsMovingTarget) {
    auto goal = At(enemy.id, Point(0, -32));
    EXPECT_EQ(goal->GetLocation(), Point(200, 68));
    EXPECT_EQ(goal->lastTargetPosition, Point(200, 100));
    enemy.position = Point(328, 100);
    EXPECT_EQ(goal->GetLocation(), Point(328, 68));
    EXPECT_EQ(goal->TargetMoved(), 0);  // 128 px: exactly two sight cells
    enemy.position = Point(329, 100);
    EXPECT_EQ(goal->TargetMoved(), 1);
    goal->RefreshLocation();
    EXPECT_EQ(goal->TargetMoved(), 0);
    EXPECT_EQ(goal->StoredFields().point, Point(0, -32));
    EXPECT_EQ(goal->StoredFields().id, enemy.id);
    goal->param = 7;
    EXPECT_EQ(goal->StoredFields().param, 7);
    // Weapons aim at the target's centre moved by the offset.
    EXPECT_EQ(goal->GetAimPoint(), enemy.GetCentre() + Point(0, -32));
    // A target that is gone has not moved, and there is nowhere to go or aim.
    auto lost = At(SimId(2, 99), Point(0, -32));
    EXPECT_EQ(lost->TargetMoved(), 0);
    EXPECT_EQ(lost->GetLocation(), Point());
    EXPECT_EQ(lost->GetAimPoint(), Point());
}

TEST_F(Goals, TargetGoalOnAHostileEndsWhenItDiesOrIsLostFromSight) {
    unit.goals.PushFront(At(enemy.id));
    Goal* goal = unit.goals.Front();
    unit.position = enemy.position;
    EXPECT_EQ(goal->IsDone(), 0);
    unit.sees = 0;
    EXPECT_EQ(goal->IsDone(), 1);
    unit.sees = 1;
    // A blocked route ends the attack unless the failure is still to be reported.
    unit.goals.BlockFront();
    EXPECT_EQ(goal->IsDone(), 0);
    goal->reportFailure = 0;
    EXPECT_EQ(goal->IsDone(), 1);
    unit.goals.UnblockFront();
    EXPECT_EQ(goal->IsDone(), 0);
    // A goal whose owner is gone has nothing to pursue.
    TargetGoal orphan(SimId(1, 99), enemy.id, Point(), 1, 1);
    EXPECT_EQ(orphan.IsDone(), 1);
    enemy.Destroy();
    EXPECT_EQ(goal->IsDone(), 1);
    world.Forget(&enemy);
    EXPECT_EQ(goal->IsDone(), 1);
    EXPECT_EQ(goal->GetLocation(), Point());
    EXPECT_EQ(goal->GetTarget(), nullptr);
}

TEST_F(Goals, TargetGoalOnAFriendEndsWhenItBlocksOrIsReached) {
    unit.goals.PushFront(At(mate.id));
    Goal* goal = unit.goals.Front();
    EXPECT_EQ(goal->IsDone(), 0);
    unit.blocker = mate.id;
    EXPECT_EQ(goal->IsDone(), 1);
    unit.blocker = SimId();
    unit.position = Point(110, 220);  // the same 32-pixel cell
    EXPECT_EQ(goal->IsDone(), 1);
    // With an offset, a blocking friend is not the destination.
    unit.SetGoal(At(mate.id, Point(64, 0)));
    goal = unit.goals.Front();
    unit.blocker = mate.id;
    unit.position = Point(100, 100);
    EXPECT_EQ(goal->IsDone(), 0);
    unit.position = Point(170, 210);
    EXPECT_EQ(goal->IsDone(), 1);
}

TEST_F(Goals, IsAtRefusesDestinationsOffTheMap) {
    LocationGoal goal(unit.id, Point(100, 100), 16, 1, 1);
    EXPECT_EQ(goal.IsAt(Point(5, 5), Point(10, 10)), 1);
    EXPECT_EQ(goal.IsAt(Point(40, 5), Point(10, 10)), 0);
    EXPECT_EQ(goal.IsAt(Point(320, 10), Point(320, 10)), 0);
    EXPECT_EQ(goal.IsAt(Point(10, 320), Point(10, 320)), 0);
    EXPECT_EQ(goal.IsAt(Point(-1, 10), Point(-1, 10)), 0);
    EXPECT_EQ(goal.IsAt(Point(319, 319), Point(319, 319)), 1);
}

// Without the sight grid or the path grid no place is the target.
TEST(GoalGrids, AGoalWithEitherGridMissingIsNotAtItsTarget) {
    class Partial : public FakeObjectWorld {
    public:
        explicit Partial(bool sightMissing) : sightMissing(sightMissing) {}
        SightGrid* Sight() override { return sightMissing ? nullptr : FakeObjectWorld::Sight(); }
        PathGrid* Paths() override { return sightMissing ? FakeObjectWorld::Paths() : nullptr; }
        bool sightMissing;
    };
    for (const bool sightMissing : {true, false}) {
        Partial world(sightMissing);
        LocationGoal goal(SimId(1, 1), Point(100, 100), 16, 1, 1);
        EXPECT_EQ(goal.IsAt(Point(5, 5), Point(10, 10)), 0) << sightMissing;
    }
    FakeObjectWorld whole;
    LocationGoal goal(SimId(1, 1), Point(100, 100), 16, 1, 1);
    EXPECT_EQ(goal.IsAt(Point(5, 5), Point(10, 10)), 1);
}

TEST_F(Goals, TransportGoalWaitsWhereTheOwnerStandsUntilTheCarrierGoes) {
    TestUnit carrier(1, 9, Point(10, 10));
    world.Add(&carrier, true);
    TransportGoal goal(unit.id, carrier.id, 0);
    EXPECT_EQ(goal.finishOnArrival, 1);
    EXPECT_EQ(goal.GetLocation(), unit.position);
    EXPECT_EQ(goal.StoredFields().id, carrier.id);
    EXPECT_EQ(goal.IsDone(), 0);
    // Without its owner the goal has no place.
    EXPECT_EQ(TransportGoal(SimId(1, 99), carrier.id, 0).GetLocation(), Point());
    carrier.Destroy();
    EXPECT_EQ(goal.IsDone(), 1);
    world.Forget(&carrier);
    EXPECT_EQ(goal.IsDone(), 1);
}

TEST_F(Goals, RemoveUpToTargetDropsEverythingUpToTheLastGoalOnIt) {
    GoalQueue& q = unit.goals;
    q.PushBack(To(Point(40, 40)));
    q.PushBack(At(enemy.id));
    q.PushBack(To(Point(50, 50)));
    q.PushBack(At(enemy.id));
    q.PushBack(To(Point(60, 60)));
    q.RemoveUpToTarget(&mate);
    EXPECT_EQ(q.Front()->GetLocation(), Point(40, 40));
    q.RemoveUpToTarget(&enemy);
    ASSERT_NE(q.Front(), nullptr);
    EXPECT_EQ(q.Front()->GetLocation(), Point(60, 60));
    EXPECT_EQ(q.Next(q.Front()), nullptr);
}

TEST_F(Goals, DropFinishedDeletesLeadingWaypointsOnly) {
    GoalQueue& q = unit.goals;
    q.PushBack(To(Point(40, 40)));
    q.PushBack(To(Point(50, 50)));
    q.Front()->waypoint = 1;
    q.Next(q.Front())->active = 1;
    q.DropFinished();
    ASSERT_NE(q.Front(), nullptr);
    EXPECT_EQ(q.Front()->GetLocation(), Point(50, 50));
    EXPECT_EQ(q.Front()->active, 0);
    q.Front()->active = 1;
    q.DropFinished();
    EXPECT_EQ(q.Front()->active, 0);
    q.Front()->waypoint = 1;
    q.DropFinished();
    EXPECT_TRUE(q.IsEmpty());
}

TEST_F(Goals, QueueQueriesWalkEveryGoal) {
    GoalQueue& q = unit.goals;
    EXPECT_EQ(q.RepeatAll(), 1);
    EXPECT_EQ(q.AttackTarget(&unit, 0), nullptr);
    q.PushBack(To(Point(40, 40)));
    q.PushBack(At(mate.id));
    q.PushBack(At(enemy.id));
    q.Front()->waypoint = 1;
    EXPECT_EQ(q.FirstUnfinished(), q.Next(q.Front()));
    EXPECT_EQ(q.AttackTarget(&unit, 0), &mate);
    EXPECT_EQ(q.AttackTarget(&unit, 1), &enemy);
    EXPECT_EQ(q.AttackGoal(&unit, 1)->GetTarget(), &enemy);
    EXPECT_EQ(q.HasGoalOfType(2), 1);
    EXPECT_EQ(q.HasGoalOfType(7), 0);
    EXPECT_EQ(q.HasRepairGoal(), 0);
    EXPECT_EQ(q.RepeatAll(), 0);
    q.ForEach([](Goal& g) { EXPECT_EQ(g.repeat, 1); });
    EXPECT_EQ(q.Next(nullptr), nullptr);
}

TEST_F(Goals, BlockedFrontGoalNearlyThereCountsAsDone) {
    unit.goals.PushFront(To(Point(139, 100), 1));
    // Not there by tolerance, not blocked: not done.
    EXPECT_EQ(FrontGoalDone(&unit), 0);
    unit.goals.BlockFront();
    EXPECT_EQ(FrontGoalDone(&unit), 1);
    unit.blocker = enemy.id;
    EXPECT_EQ(FrontGoalDone(&unit), 0);
    unit.blocker = mate.id;
    EXPECT_EQ(FrontGoalDone(&unit), 1);
    unit.SetGoal(To(Point(140, 100), 1));
    unit.goals.BlockFront();
    EXPECT_EQ(FrontGoalDone(&unit), 0);
    unit.SetGoal(To(Point(110, 100), 0));
    EXPECT_EQ(FrontGoalDone(&unit), 0);
}

namespace {

// A goal of no particular kind aims at nothing, moves nothing, carries no amount or parameter
// and neither holds its unit still nor asks for a place.
TEST(PlainGoals, AnswerAsAGoalOfNoParticularKind) {
    FieldsGoal goal(SimId(1, 1), 3, SimId(2, 2), Point(40, 50));
    EXPECT_EQ(goal.GetTarget(), nullptr);
    goal.SetParam(7);
    for (int answer :
         {goal.TargetMoved(), goal.GetAmount(), goal.IsLocation(), goal.IsAttack(), goal.IsRepair(),
          goal.IsRefuel(), goal.ReservedQuery(), goal.HoldsStill(), goal.GetParam()})
        EXPECT_EQ(answer, 0);
}

}  // namespace
