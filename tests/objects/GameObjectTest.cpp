#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "core/EventReceiver.h"
#include "core/Random.h"
#include "core/SpriteSet.h"
#include "objects/CommandReader.h"
#include "objects/GameObject.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"
#include "support/FakeObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

class EventLog : public EventReceiver {
public:
    void OnEvent(int32_t kind, void* a, void* b) override { events.push_back({kind, a, b}); }
    struct Event {
        int32_t kind;
        void* a;
        void* object;
    };
    std::vector<Event> events;
};

class GameObjectTest : public ::testing::Test {
protected:
    FakeObjectWorld world;
    TestUnit unit{1, 1, Point(100, 100)};
};

}  // namespace

TEST_F(GameObjectTest, NewObjectIsCentredOnItsPositionAndRankedBySkill) {
    GameObject o(Point(5, 6), 40, Size(20, 10), nullptr, 0, kUnitFilter, SimId(3, 9), 50, 0);
    // Rank is skill / 10: the unit panel's rank bar starts above 64.
    EXPECT_EQ(o.GetRank(), 65);
    EXPECT_EQ(o.GetRadius(), 10);
    EXPECT_EQ(o.GetBounds(), Rect(Point(-5, 1), Size(20, 10)));
    // Every edge of the bounds is inside; a pixel past any edge is not.
    const struct {
        Point p;
        int inside;
    } points[] = {{Point(-5, 1), 1}, {Point(14, 10), 1}, {Point(-6, 5), 0},  {Point(15, 5), 0},
                  {Point(4, 0), 0},  {Point(4, 11), 0},  {Point(-5, 10), 1}, {Point(14, 1), 1}};
    for (const auto& row : points)
        EXPECT_EQ(o.ContainsPoint(row.p), row.inside) << row.p.x << "," << row.p.y;
    // What the sight grid reads.
    EXPECT_EQ(o.ViewingPlayer(), 3);
    EXPECT_EQ(o.SecondViewingPlayer(), 0);
    EXPECT_EQ(o.HasBaseSight(), 1);
    // Sight follows a new owner; a second viewing player that was another team stays.
    o.secondViewingPlayer = 4;
    o.FollowOwnerSight(3, 1);
    EXPECT_EQ(o.ViewingPlayer(), 1);
    EXPECT_EQ(o.SecondViewingPlayer(), 4);
    o.FollowOwnerSight(4, 2);
    EXPECT_EQ(o.ViewingPlayer(), 1);
    EXPECT_EQ(o.SecondViewingPlayer(), 2);
    // Without a fuel tank an object takes no fuel.
    EXPECT_EQ(o.AddFuel(50), 0);
    EXPECT_EQ(o.GetFuel(), 0);
    // Nor does it store anything or count weapons.
    EXPECT_EQ(o.GetStored(), 0);
    EXPECT_EQ(o.GetStoredPercent(), 0);
    EXPECT_EQ(o.CountActiveWeapons(), 0);
    // A plain object stands, can be loaded and selected, and has no fuel tank.
    EXPECT_EQ(o.IsMobile(), 0);
    EXPECT_EQ(o.IsLanded(), 1);
    EXPECT_EQ(o.CanBeLoaded(), 1);
    EXPECT_EQ(o.IsSelectable(), 1);
    o.SetFuelCapacity(1000);
    EXPECT_EQ(o.GetFuel(), 0);
    EXPECT_EQ(o.IsFuelFull(), 0);
    EXPECT_EQ(o.GetFuelPercent(), 0);
}

TEST_F(GameObjectTest, DestroyWaitsForInvulnerabilityToEnd) {
    unit.ToggleInvulnerable();
    unit.Destroy();
    EXPECT_EQ(unit.IsDestroyed(), 0);
    unit.ToggleInvulnerable();
    EXPECT_EQ(unit.IsDestroyed(), 1);
    EXPECT_EQ(unit.damage.Value(), 101);
    // The largest maximum is no bar to dying.
    TestUnit hardest{1, 2, Point(100, 100)};
    hardest.damage.SetMax(2147483647);
    hardest.Destroy();
    EXPECT_EQ(hardest.IsDestroyed(), 1);
}

TEST_F(GameObjectTest, CargoStaysWithinItsCapacityAndNeverOverflows) {
    unit.cargo = 550;
    EXPECT_EQ(unit.AddCargo(100), 50);
    EXPECT_EQ(unit.GetCargo(), 600);
    EXPECT_EQ(unit.IsCargoFull(), 1);
    EXPECT_EQ(unit.GetCargoPercent(), 100);
    unit.cargo = 30;
    EXPECT_EQ(unit.TakeCargo(100), 30);
    EXPECT_EQ(unit.GetCargo(), 0);
    unit.cargo = 200;
    EXPECT_EQ(unit.TakeCargo(50), 50);
    EXPECT_EQ(unit.GetCargoPercent(), 25);
    // Amounts from records and peers reach the int limits without overflowing the check.
    unit.cargo = 200;
    EXPECT_EQ(unit.AddCargo(INT32_MAX), 400);
    EXPECT_EQ(unit.GetCargo(), 600);
    EXPECT_EQ(unit.AddCargo(INT32_MIN), -600);
    EXPECT_EQ(unit.AddCargo(INT32_MIN), 0);
    EXPECT_EQ(unit.GetCargo(), 0);
    unit.SetCargoCapacity(0);
    EXPECT_EQ(unit.GetCargoPercent(), 0);
}

TEST_F(GameObjectTest, SkillGrowsOnTheOwnerAndStopsAt950) {
    unit.skill = 800;
    for (int i = 0; i < 20; ++i)
        unit.GainSkill(1);
    EXPECT_EQ(unit.skill, 950);
    EXPECT_EQ(world.teamCounts[1], 20);
    unit.skill = 700;
    unit.GainSkill(0);
    EXPECT_EQ(unit.skill, 701);
    EXPECT_EQ(world.teamCounts[1], 20);
}

TEST_F(GameObjectTest, MirrorAsksTheOwnerForItsSkill) {
    world.commands.SetEnabled(1);
    unit.SetLocal(0);
    unit.GainSkill(1);
    EXPECT_EQ(unit.skill, 650);
    EXPECT_EQ(world.teamCounts[1], 0);
    EXPECT_EQ(Recorded(world.commands), ExpectedCommand(22, unit.id).U8(1).Bytes());
}

TEST_F(GameObjectTest, HostilityFollowsTeamsAlliancesAndAttackOrders) {
    // A wreck is never hostile by team; things (wrecks, fields, land features) are hostile only
    // through an attack order on things.
    struct Case {
        const char* name;
        int team, kind, hostile, underAttackOrder;
    };
    const Case cases[] = {{"enemy", 2, 1, 1, 1},        {"ally", 3, 1, 0, 0},
                          {"neutral", 0, 1, 0, 0},      {"own", 1, 1, 0, 0},
                          {"wreck", 2, 3, 0, 1},        {"field", 0, 5, 0, 1},
                          {"land feature", 0, 10, 0, 1}};
    world.Ally(1, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestUnit other(c.team, 5, Point());
        other.kind = c.kind;
        unit.attackObjects = 0;
        EXPECT_EQ(unit.IsHostileTo(&other), c.hostile);
        // The grids ask through their view of the object.
        EXPECT_EQ(unit.IsHostileTo(static_cast<MapObjectView*>(&other)), c.hostile);
        unit.attackObjects = 1;
        EXPECT_EQ(unit.IsHostileTo(&other), c.underAttackOrder);
    }
}

TEST_F(GameObjectTest, SelectingTellsTheLocalControllerOnce) {
    EventLog log;
    world.controllers[1] = &log;
    unit.SetSelected(1);
    unit.SetSelected(1);
    unit.SetSelected(0);
    unit.SetSelected(0);
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0].kind, 0x10);
    EXPECT_EQ(log.events[0].object, &unit);
    EXPECT_EQ(log.events[0].a, nullptr);
    EXPECT_EQ(log.events[1].kind, 0x11);
    world.controllers[1] = nullptr;
}

TEST_F(GameObjectTest, MoveStateNormalisesAnyFacing) {
    const int32_t parts[2] = {4, 9};
    unit.ApplyMoveState(Point(100, 100), -3, parts, 2);
    EXPECT_EQ(unit.facing, 13);
    EXPECT_EQ(world.placements, 0);
    unit.ApplyMoveState(Point(140, 100), 17, parts, 2);
    EXPECT_EQ(unit.facing, 1);
    EXPECT_EQ(unit.position, Point(140, 100));
    EXPECT_EQ(world.placements, 1);
    EXPECT_EQ(unit.partFacings, (std::vector<int32_t>{4, 9}));
    // A facing far out of range from a peer still lands in 0 .. 15.
    unit.ApplyMoveState(Point(140, 100), -35, parts, 0);
    EXPECT_EQ(unit.facing, 13);
    unit.ApplyMoveState(Point(140, 100), 1000, parts, 0);
    EXPECT_EQ(unit.facing, 8);
}

TEST_F(GameObjectTest, TargetGoalRecordsWhereTheAttackBegan) {
    TestUnit enemy(2, 5, Point(300, 300));
    world.Add(&enemy);
    unit.AddGoal(std::make_unique<LocationGoal>(unit.id, Point(50, 50), 16, 1, 1), 0);
    EXPECT_EQ(unit.attackOrigin, Point());
    unit.AddGoal(std::make_unique<TargetGoal>(unit.id, enemy.id, Point(), 1, 1), 1);
    EXPECT_EQ(unit.attackOrigin, Point(100, 100));
    EXPECT_EQ(unit.attackObjects, 0);
}

TEST_F(GameObjectTest, AttackOnAThingMarksAndUnmarksAttackObjects) {
    TestUnit wreck(0, 5, Point(300, 300));
    wreck.kind = 3;
    world.Add(&wreck);
    unit.AddGoal(std::make_unique<TargetGoal>(unit.id, wreck.id, Point(), 1, 1), 1);
    EXPECT_EQ(unit.attackObjects, 1);
    std::unique_ptr<Goal> popped = unit.PopGoal();
    ASSERT_TRUE(popped);
    EXPECT_EQ(unit.attackObjects, 0);
    EXPECT_EQ(unit.PopGoal(), nullptr);
}

TEST_F(GameObjectTest, WaitingMeansAnUnrequestedRouteOnAMoveGoal) {
    EXPECT_EQ(unit.IsWaiting(), 0);
    unit.AddGoal(std::make_unique<LocationGoal>(unit.id, Point(50, 50), 16, 1, 1), 0);
    EXPECT_EQ(unit.IsWaiting(), 1);
    EXPECT_EQ(unit.IsBusy(), 1);
    unit.MarkRouteRequested(unit.goals.Front());
    EXPECT_EQ(unit.IsWaiting(), 0);
    world.deferred = 1;
    unit.MarkRouteRequested(unit.goals.Front());
    EXPECT_EQ(unit.IsWaiting(), 1);
    unit.goals.BlockFront();
    EXPECT_EQ(unit.IsWaiting(), 0);
    unit.goals.UnblockFront();
    unit.routeWait = 1;
    EXPECT_EQ(unit.IsWaiting(), 0);
    // An attack waits for its route as a move does; a ride on a carrier never does.
    TestUnit attacker(1, 40, Point(100, 100));
    attacker.AddGoal(std::make_unique<TargetGoal>(attacker.id, SimId(2, 41), Point(), 1, 1), 0);
    EXPECT_EQ(attacker.IsWaiting(), 1);
    TestUnit rider(1, 42, Point(100, 100));
    rider.AddGoal(std::make_unique<TransportGoal>(rider.id, SimId(1, 43), 1), 0);
    EXPECT_EQ(rider.IsWaiting(), 0);
    // A finished front goal waits for nothing.
    TestUnit arrived(1, 44, Point(100, 100));
    arrived.AddGoal(std::make_unique<LocationGoal>(arrived.id, Point(50, 50), 16, 1, 1), 0);
    arrived.goals.Front()->waypoint = 1;
    EXPECT_EQ(arrived.IsWaiting(), 0);
}

TEST_F(GameObjectTest, SetGoalReplacesTheQueueAndClearGoalsEndsTheOrder) {
    unit.AddGoal(std::make_unique<LocationGoal>(unit.id, Point(50, 50), 16, 1, 1), 0);
    unit.AddGoal(std::make_unique<LocationGoal>(unit.id, Point(60, 50), 16, 1, 1), 0);
    unit.goals.PushBack(std::make_unique<LocationGoal>(unit.id, Point(80, 50), 16, 1, 1));
    Goal* second = unit.goals.Next(unit.goals.Front());
    ASSERT_NE(second, nullptr);
    Goal* third = unit.goals.Next(second);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetLocation(), Point(80, 50));
    EXPECT_EQ(unit.goals.Next(third), nullptr);
    const LocationGoal stranger(unit.id, Point(1, 1), 16, 1, 1);
    EXPECT_EQ(unit.goals.Next(&stranger), nullptr);
    unit.SetGoal(std::make_unique<LocationGoal>(unit.id, Point(70, 50), 16, 1, 1));
    ASSERT_NE(unit.goals.Front(), nullptr);
    EXPECT_EQ(unit.goals.Front()->GetLocation(), Point(70, 50));
    EXPECT_EQ(unit.goals.Next(unit.goals.Front()), nullptr);
    unit.ordered = 1;
    unit.ClearGoals();
    EXPECT_TRUE(unit.goals.IsEmpty());
    EXPECT_EQ(unit.ordered, 0);
    unit.SetGoal(nullptr);
    EXPECT_TRUE(unit.goals.IsEmpty());
}

TEST_F(GameObjectTest, ReferencePointsOutsideTheFiveAnswerZero) {
    unit.SetFootprint(Rect(Point(40, 50), Size(32, 32)));
    unit.SetReferencePoint(0, Point(1, 2));
    unit.SetReferencePoint(4, Point(7, 8));
    unit.SetReferencePoint(5, Point(9, 9));
    unit.SetReferencePoint(-1, Point(0, 1));
    EXPECT_EQ(unit.GetReferencePoint(0), Point(1, 2));
    EXPECT_EQ(unit.GetReferencePoint(4), Point(7, 8));
    EXPECT_EQ(unit.GetReferencePoint(5), Point());
    EXPECT_EQ(unit.GetReferencePoint(-1), Point());
    // A point refused is kept nowhere: what the object holds beside the five is untouched.
    EXPECT_EQ(unit.GetFootprint().origin, Point(40, 50));
    EXPECT_EQ(unit.GetFootprint().extent, Size(32, 32));
    EXPECT_EQ(unit.IsMoving(), 0);
}

TEST_F(GameObjectTest, RollHitDrawsAgainstSkill) {
    SeedRandom(12345);
    // The draw runs 0 to 1000 inclusive and hits only below the skill: skill 0 never hits, 1001
    // always does, and enough rolls draw 0 and 1000 both.
    for (const auto& [skill, least, most] :
         {std::tuple{0, 0, 0}, {1001, 5000, 5000}, {1000, 4980, 4999}, {500, 2300, 2700}}) {
        unit.skill = skill;
        int hits = 0;
        for (int i = 0; i < 5000; ++i)
            hits += unit.RollHit();
        EXPECT_GE(hits, least) << skill;
        EXPECT_LE(hits, most) << skill;
    }
}

TEST_F(GameObjectTest, SensorsAndStealthWorkOnlyWithTheirStructures) {
    unit.sensors.FitSensor('u');
    unit.sensors.FitSensor('w');
    unit.stealth.FitStealth('z');
    EXPECT_EQ(unit.SensorActive(SensorKind::A, 1), 0);
    EXPECT_EQ(unit.IsHidden(StealthKind::General, 1), 0);
    world.GrantStructure(1, 0);
    EXPECT_EQ(unit.SensorActive(SensorKind::A, 1), 1);
    EXPECT_EQ(unit.SensorActive(SensorKind::B, 1), 0);
    EXPECT_EQ(unit.SensorActive(SensorKind::C, 1), 1);
    world.GrantStructure(1, 1);
    EXPECT_EQ(unit.IsHidden(StealthKind::General, 1), 1);
    EXPECT_EQ(unit.IsHidden(StealthKind::A, 1), 0);
    EXPECT_EQ(unit.IsHidden(StealthKind::B, 1), 0);
    unit.stealth.FitStealth('y');
    EXPECT_EQ(unit.IsHidden(StealthKind::B, 1), 1);
    EXPECT_EQ(unit.IsHidden(StealthKind::A, 1), 0);
    // Firing shows it for 3000 ms of updates.
    unit.stealth.Reveal();
    unit.stealth.CountDownReveal(2999);
    EXPECT_EQ(unit.IsHidden(StealthKind::General, 1), 0);
    unit.stealth.CountDownReveal(2);
    EXPECT_EQ(unit.stealth.revealCountdown, -1);
    // The count stops once it has run out, at zero too.
    unit.stealth.Reveal();
    unit.stealth.CountDownReveal(3000);
    unit.stealth.CountDownReveal(50);
    EXPECT_EQ(unit.stealth.revealCountdown, 0);
    EXPECT_EQ(unit.IsHidden(StealthKind::General, 1), 1);
    // Refitting clears a removed sensor.
    unit.sensors.ClearSensors();
    unit.sensors.FitSensor('v');
    EXPECT_EQ(unit.SensorActive(SensorKind::A, 1), 0);
    EXPECT_EQ(unit.SensorActive(SensorKind::B, 1), 1);
    EXPECT_EQ(unit.SensorActive(SensorKind::C, 1), 0);
    // Each item letter fits its own sensor or stealth and nothing else.
    const struct {
        char letter;
        std::vector<int> sensors, stealths;  // A, B, C; plain, A, B
    } items[] = {{'u', {1, 0, 0}, {0, 0, 0}}, {'v', {0, 1, 0}, {0, 0, 0}},
                 {'w', {0, 0, 1}, {0, 0, 0}}, {'z', {0, 0, 0}, {1, 0, 0}},
                 {'k', {0, 0, 0}, {0, 1, 0}}, {'y', {0, 0, 0}, {0, 0, 1}},
                 {'a', {0, 0, 0}, {0, 0, 0}}};
    for (const auto& item : items) {
        SensorSet sensors;
        sensors.FitSensor(item.letter);
        StealthSet stealths;
        stealths.FitStealth(item.letter);
        EXPECT_EQ(std::vector<int>({sensors.sensorA, sensors.sensorB, sensors.sensorC}),
                  item.sensors)
            << item.letter;
        EXPECT_EQ(std::vector<int>({stealths.hidden, stealths.hiddenA, stealths.hiddenB}),
                  item.stealths)
            << item.letter;
    }
}

// A plain map object (a shot, an effect, a feature) answers every unit question as a thing
// that is no unit: it sees, stores, fights and flies nothing, stands where it is drawn, and
// measures its reach by its larger side.
TEST_F(GameObjectTest, APlainObjectAnswersAsAThingThatIsNoUnit) {
    GameObject o(Point(100, 60), 0, Size(20, 10), nullptr, 0, kUnitFilter, SimId(3, 9), 50, 1);
    EXPECT_EQ(o.GetTopLeft(), Point(90, 55));
    EXPECT_EQ(o.GetCentre(), Point(100, 60));
    EXPECT_EQ(o.GetDrawOrigin(), Point(100, 60));
    EXPECT_EQ(o.GetEngageRange(), 20);
    EXPECT_EQ(o.GetSightRadius(), 20);
    EXPECT_EQ(o.CanUnload(), 1);
    for (int answer :
         {o.IsFlyer(), o.HasSpecialAction(), o.IsDetectableA(), o.IsDetectableB(),
          o.IsDetectableC(), o.CanSee(&unit), o.GetMaxAltitude(), o.GetCruiseAltitude(),
          o.GetRepairPercent(), o.GetBreakOffPercent(), o.Deposit(5), o.Withdraw(5), o.GetStored(),
          o.GetStoredPercent(), o.GetFirePower(), o.CanEngage(&unit), o.IsGuarding(),
          o.CountActiveWeapons(), o.IsBusy()})
        EXPECT_EQ(answer, 0);
    EXPECT_EQ(o.SelectedPartIndex(), -1);
    EXPECT_EQ(o.GetEnemyMask(), 0u);
    for (const Point& p :
         {o.GetExtraPoint(), o.GetGuardPoint(), o.GetHardpointPosition(0), o.GetMountOffset(0)})
        EXPECT_EQ(p, Point());
    EXPECT_EQ(o.GetArmedPart(0), nullptr);
    EXPECT_EQ(o.GetDesign(), nullptr);
    EXPECT_EQ(o.GetLastAttacker(), nullptr);
    EXPECT_EQ(o.GetCollision(), &o.collision);
    EXPECT_EQ(o.GetMovementClass(), &o.collision);
    // Reference points: five kept, any other index reads as the origin and keeps nothing.
    o.SetReferencePoint(0, Point(1, 2));
    o.SetReferencePoint(4, Point(4, 5));
    o.SetReferencePoint(5, Point(6, 7));
    o.SetReferencePoint(-1, Point(6, 7));
    EXPECT_EQ(o.GetReferencePoint(0), Point(1, 2));
    EXPECT_EQ(o.GetReferencePoint(4), Point(4, 5));
    EXPECT_EQ(o.GetReferencePoint(5), Point());
    EXPECT_EQ(o.GetReferencePoint(-1), Point());
    o.SetLocal(0);
    EXPECT_EQ(o.local, 0);
}

namespace {

// A picture that notes how each drawing of it was asked for, and where.
class WayProbe : public Image {
public:
    explicit WayProbe(std::vector<std::pair<char, Point>>& log) : Image(Size(8, 8)), log(log) {}
    void DrawShaded(const Point& at, const ShadeTable&) override { log.push_back({'s', at}); }
    void DrawTinted(const Point& at, const ShadeTable&, int32_t) override {
        log.push_back({'t', at});
    }
    std::vector<std::pair<char, Point>>& log;
};

// A plain object shows its frame shaded by the land where there is one, and tinted by the
// table it is sensed with; nothing without them.
TEST(PlainObjectDrawing, ShadedByTheLandAndTintedWhenSensed) {
    std::vector<std::pair<char, Point>> log;
    SpriteSet pictures(2);
    pictures.SetFrame(std::make_unique<WayProbe>(log), 0);
    pictures.SetFrame(std::make_unique<WayProbe>(log), 1);
    ObjectLand land;
    GameObject o(Point(100, 60), 0, Size(8, 8), &pictures, 1, kUnitFilter, SimId(0, 9), 1, 1);
    ScreenBase view;
    const Point at = view.MapToScreen(Point(100, 60));
    o.Draw(view);
    o.DrawSensed(view, nullptr);
    o.DrawSensed(view, land.world.terrain->ShadeTable2());
    EXPECT_EQ(log, (std::vector<std::pair<char, Point>>{{'s', at}, {'t', at}}));
    log.clear();
    land.world.terrain.reset();
    o.Draw(view);
    EXPECT_TRUE(log.empty());
    // A frame is taken only within the pictures' indexes, and never without pictures.
    const struct {
        int asked, answer, frame;
    } frames[] = {{0, 1, 0}, {-1, 0, 0}, {1, 1, 1}, {2, 0, 1}};
    for (const auto& f : frames) {
        EXPECT_EQ(o.SetFrame(f.asked), f.answer) << f.asked;
        EXPECT_EQ(o.frame, f.frame) << f.asked;
    }
    GameObject bare(Point(100, 60), 0, Size(8, 8), nullptr, 0, kUnitFilter, SimId(0, 10), 1, 1);
    EXPECT_EQ(bare.SetFrame(0), 0);
}

}  // namespace
