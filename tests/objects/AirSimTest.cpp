#include <gtest/gtest.h>

#include "core/ResourceFile.h"
#include "objects/CommandReader.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectLand.h"
#include "objects/SimTestSupport.h"
#include "objects/UnitVariantsSupport.h"
#include "ui/ScreenBase.h"

namespace {

class Flyers : public ::testing::Test {
protected:
    void Step(Sim* sim, int ms = 75) {
        clock.Advance(static_cast<uint32_t>(ms));
        sim->Update(ms);
    }
    void Order(AirSim* flyer) {
        flyer->goals.PushBack(std::make_unique<LocationGoal>(flyer->id, Point(900, 900), 10, 1, 1));
    }
    static int Count(const std::vector<int>& kinds, int kind) {
        return static_cast<int>(std::count(kinds.begin(), kinds.end(), kind));
    }

    FakeClock clock{1000};
    SpecialKit kit;
    SpecialWorld world;
    const Point at{320, 320};
    const int rise = SpecialKit::kMaxAltitude - 10;
};

TEST_F(Flyers, DescendEveryUpdateAndClimbEverySecondAt75Ms) {
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    flyer->Parse('h', "Y");
    ASSERT_EQ(flyer->altitude, SpecialKit::kMaxAltitude);
    Step(flyer);  // lands: holds the place below
    Step(flyer);  // alone: moves into it on the next tick
    EXPECT_EQ(flyer->collision.layer, 1);
    EXPECT_EQ(flyer->GetPosition(), at + Point(0, rise));
    for (int i = 1; i <= 3; ++i) {
        Step(flyer);
        EXPECT_EQ(flyer->altitude, SpecialKit::kMaxAltitude - i);
    }
    while (flyer->descending == 1)
        Step(flyer);
    EXPECT_EQ(flyer->altitude, 10);
    EXPECT_EQ(flyer->IsLanded(), 1);
    // Landed, it can be taken aboard; up in the air it cannot.
    EXPECT_EQ(flyer->IsFlyer(), 1);
    EXPECT_EQ(flyer->CanBeLoaded(), 1);

    Order(flyer);
    for (int i = 0; i < 3; ++i)
        Step(flyer);
    ASSERT_EQ(flyer->collision.layer, 2);
    EXPECT_EQ(flyer->CanBeLoaded(), 0);
    std::vector<int> altitudes;
    for (int i = 0; i < 6; ++i) {
        Step(flyer);
        altitudes.push_back(flyer->altitude);
    }
    EXPECT_EQ(altitudes, (std::vector<int>{11, 11, 12, 12, 13, 13}));
    EXPECT_TRUE(world.held.empty());
}

TEST_F(Flyers, TheOwnerWaitsForEveryOtherPlayer) {
    world.network = 1;
    world.players = 3;
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    Order(flyer);
    Step(flyer);
    Step(flyer);  // holds the place above and announces it
    ASSERT_EQ(world.held.size(), 1u);
    EXPECT_EQ(flyer->changeConfirmed, 0);
    Step(flyer);
    flyer->CountAltitudeAck();
    Step(flyer);
    EXPECT_EQ(flyer->collision.layer, 1);
    flyer->CountAltitudeAck();
    Step(flyer);
    Step(flyer);
    EXPECT_EQ(flyer->collision.layer, 2);
    EXPECT_TRUE(world.held.empty());

    // A player who leaves before answering lowers the count: one answer is enough then.
    flyer->goals.Clear();
    for (int i = 0; i < 100 && world.held.empty(); ++i)
        Step(flyer);
    ASSERT_EQ(world.held.size(), 1u);
    flyer->CountAltitudeAck();
    world.players = 2;
    Step(flyer);
    Step(flyer);
    EXPECT_EQ(flyer->collision.layer, 1);
}

TEST_F(Flyers, ACopyThatCannotPlaceRetriesAndAnswersOnlyThen) {
    AirSim* copy = kit.Flyer(world, 1, 1, at);
    copy->local = 0;
    world.refuseLayer = 1;
    copy->StartAltitudeChange(2, at - Point(0, rise));
    for (int i = 0; i < 3; ++i)
        Step(copy);
    EXPECT_EQ(Count(CommandKinds(world.commands), 43), 0);
    EXPECT_EQ(copy->collision.layer, 1);
    world.refuseLayer = 0;
    Step(copy);
    Step(copy);
    EXPECT_EQ(Count(CommandKinds(world.commands), 43), 1);
    EXPECT_EQ(copy->collision.layer, 2);
    EXPECT_EQ(copy->climbing, 1);
}

TEST_F(Flyers, ALandingBlockedWhenAnOrderArrivesKeepsFlying) {
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    flyer->Parse('h', "Y");
    world.blocked.push_back(at + Point(0, rise));
    Step(flyer);
    EXPECT_EQ(flyer->landingBlocked, 1);
    EXPECT_EQ(flyer->descending, 1);
    Order(flyer);
    flyer->landingBlocked = 0;
    Step(flyer);
    EXPECT_EQ(flyer->descending, 0);
    EXPECT_EQ(flyer->collision.layer, 2);
}

// A blocker that cannot move is asked aside once, not at every descent step, and once more
// after an order the flyer finished in between.
TEST_F(Flyers, ALandingBlockedByAFixedObjectAsksItAsideOnceAndAgainAfterAnOrder) {
    struct Fixed : Sim {
        using Sim::Sim;
        int IsMobile() override { return 0; }
    } post(at, SimId(2, 40), kit.Design(kit.ground.get(), kit.plain.get()));
    // Done where the flyer stands, so that no route is asked for.
    struct Finished : PlainGoal {
        Finished(const SimId& owner, const Point& where)
            : PlainGoal(owner, GoalType::Location), where(where) {}
        Point GetLocation() override { return where; }
        int IsDone() override { return 1; }
        Point where;
    };
    int asked = 0;
    world.makers.moveBlockerAside = [&asked](GameObject*, GameObject*, int) { return ++asked; };
    world.placementBlocker = &post;
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    flyer->Parse('h', "Y");
    world.blocked.push_back(at + Point(0, rise));
    for (int i = 0; i < 4; ++i)
        Step(flyer);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(flyer->landingBlocked, 1);
    flyer->goals.PushBack(std::make_unique<Finished>(flyer->id, at));
    for (int i = 0; i < 4; ++i)
        Step(flyer);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(flyer->descending, 1);
    EXPECT_EQ(flyer->collision.layer, 2);
}

// A take-off whose place above is taken asks the one there aside and tries again at every
// update, saying nothing to the peers; a landing blocked by a unit that can move asks it aside
// at every step, not once.
TEST_F(Flyers, ABlockedTakeOffOrALandingOnAMoverAsksAsideEachTime) {
    Sim* other = kit.Unit(world, 2, 40, Point(10, 10));
    int asked = 0;
    world.makers.moveBlockerAside = [&asked](GameObject*, GameObject*, int) { return ++asked; };
    world.placementBlocker = other;
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    world.blocked.push_back(at - Point(0, rise));
    Order(flyer);
    world.commands.Rewind();
    for (int i = 0; i < 4; ++i)
        Step(flyer);
    EXPECT_EQ(asked, 3);  // every update after the first step time
    EXPECT_EQ(flyer->climbBlocked, 1);
    EXPECT_EQ(flyer->collision.layer, 1);
    EXPECT_EQ(Count(CommandKinds(world.commands), 18), 0);
    world.blocked.clear();
    Step(flyer);
    EXPECT_EQ(flyer->climbBlocked, 0);

    AirSim* lander = kit.Flyer(world, 1, 2, at + Point(200, 0));
    lander->Parse('h', "Y");
    world.blocked.push_back(at + Point(200, rise));
    asked = 0;
    for (int i = 0; i < 4; ++i)
        Step(lander);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(lander->collision.layer, 2);
    world.blocked.clear();
}

// A flyer changing height stands while it does, unless that change is held up: its movement
// time is spent on the spot. Otherwise it moves as a unit does.
TEST_F(Flyers, StandWhileTheirHeightChangesUnlessTheChangeIsHeldUp) {
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    struct Row {
        int descending, landingBlocked, climbing, climbBlocked;
        bool stands;
    };
    const Row rows[] = {{0, 0, 0, 0, false}, {1, 0, 0, 0, true},  {1, 1, 0, 0, false},
                        {0, 0, 1, 0, true},  {0, 0, 1, 1, false}, {1, 1, 1, 0, true}};
    for (const Row& r : rows) {
        flyer->descending = r.descending;
        flyer->landingBlocked = r.landingBlocked;
        flyer->climbing = r.climbing;
        flyer->climbBlocked = r.climbBlocked;
        flyer->moveTime = 1;  // less than one step
        EXPECT_EQ(flyer->StepMovement(), r.stands ? 1 : 0)
            << r.descending << r.landingBlocked << r.climbing << r.climbBlocked;
        EXPECT_EQ(flyer->moveTime, r.stands ? 0 : 1);
    }
}

TEST_F(Flyers, AnOrderThatEndsDuringTakeOffLeavesNoPlaceHeld) {
    world.network = 1;
    world.players = 2;
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    Order(flyer);
    Step(flyer);
    Step(flyer);
    ASSERT_EQ(world.held.size(), 1u);
    flyer->goals.Clear();
    Step(flyer);
    // The copies stand above already: the climb goes on.
    EXPECT_EQ(flyer->climbing, 1);
    flyer->CountAltitudeAck();
    for (int i = 0;
         i < 200 && (flyer->climbing == 1 || flyer->descending == 1 || flyer->collision.layer == 2);
         ++i) {
        Step(flyer);
        if (flyer->changeConfirmed == 0) flyer->CountAltitudeAck();
    }
    EXPECT_TRUE(world.held.empty());
    EXPECT_EQ(flyer->IsLanded(), 1);
    EXPECT_EQ(flyer->GetPosition(), at);

    // One that dies holding a place lets it go.
    Order(flyer);
    for (int i = 0; i < 4 && world.held.empty(); ++i)
        Step(flyer);
    ASSERT_EQ(world.held.size(), 1u);
    flyer->Destroy();
    EXPECT_TRUE(world.held.empty());
}

// What the owner tells its copies of a landing and a take-off: the change of layer with the
// place below or above, each altitude step where it stands, and the altitude reached. A copy
// fed that stream ends where the owner ends, and answers each change once.
TEST_F(Flyers, ACopyFedTheOwnersStreamLandsAndRisesWithIt) {
    AirSim* owner = kit.Flyer(world, 1, 1, at);
    AirSim* copy = kit.Flyer(world, 1, 2, at);
    copy->local = 0;
    for (AirSim* f : {owner, copy})
        f->Parse('h', "Y");
    struct Told {
        int kind;
        Point a, b;
    };
    auto replay = [&]() {
        std::vector<Told> told;
        const std::vector<uint8_t> bytes(world.commands.Data(),
                                         world.commands.Data() + world.commands.Size());
        world.commands.Rewind();
        CommandReader r(bytes.data(), bytes.size());
        CommandHeader h;
        while (r.NextCommand(h)) {
            EXPECT_EQ(h.id, owner->id);
            Told t{h.kind, {}, {}};
            if (h.kind == 18) {
                const int layer = r.ReadI16();
                t.a = Point(layer, 0);
                t.b = r.ReadPoint();
                copy->StartAltitudeChange(layer, t.b);
            } else if (h.kind == 19) {
                t.a = r.ReadPoint();
                t.b = r.ReadPoint();
                copy->ApplyAltitudeStep(t.a, t.b);
            } else if (h.kind == 20) {
                t.a = r.ReadPoint();
                copy->EndAltitudeChange(t.a);
            }
            // The other words (its moves) are not the altitude's.
            if (h.kind >= 18 && h.kind <= 20) told.push_back(t);
            r.SkipCommand();
        }
        return told;
    };
    // Landing: down to the low layer, then one step a tick from 29 to 10.
    for (int i = 0; i < 100 && (owner->descending == 1 || owner->collision.layer == 2); ++i)
        Step(owner);
    ASSERT_EQ(owner->IsLanded(), 1);
    std::vector<Told> told = replay();
    ASSERT_EQ(told.size(), 1u + static_cast<size_t>(rise) + 1u);
    EXPECT_EQ(told[0].kind, 18);
    EXPECT_EQ(told[0].a.x, 1);
    EXPECT_EQ(told[0].b, at + Point(0, rise));
    for (int i = 1; i <= rise; ++i) {
        EXPECT_EQ(told[static_cast<size_t>(i)].kind, 19) << i;
        EXPECT_EQ(told[static_cast<size_t>(i)].a, owner->GetPosition()) << i;
        const int altitude = SpecialKit::kMaxAltitude - i;
        EXPECT_EQ(told[static_cast<size_t>(i)].b, Point(altitude, altitude)) << i;
    }
    EXPECT_EQ(told.back().kind, 20);
    EXPECT_EQ(told.back().a, Point(10, 10));
    EXPECT_EQ(copy->altitude, owner->altitude);
    EXPECT_EQ(copy->collision.layer, owner->collision.layer);
    EXPECT_EQ(copy->GetPosition(), owner->GetPosition());
    EXPECT_EQ(Count(CommandKinds(world.commands), 43), 1);
    world.commands.Rewind();

    // Rising: up to the air layer, one step every second tick to the full height.
    Order(owner);
    for (int i = 0; i < 100 && owner->altitude < SpecialKit::kMaxAltitude; ++i)
        Step(owner);
    owner->goals.Clear();
    told = replay();
    ASSERT_GE(told.size(), 2u);
    EXPECT_EQ(told[0].kind, 18);
    EXPECT_EQ(told[0].a.x, 2);
    EXPECT_EQ(told[0].b, at);
    EXPECT_EQ(told.back().kind, 20);
    EXPECT_EQ(told.back().a, Point(SpecialKit::kMaxAltitude, SpecialKit::kMaxAltitude));
    EXPECT_EQ(std::count_if(told.begin(), told.end(), [](const Told& t) { return t.kind == 19; }),
              rise);
    EXPECT_EQ(copy->altitude, SpecialKit::kMaxAltitude);
    EXPECT_EQ(copy->collision.layer, 2);
    EXPECT_EQ(copy->GetPosition(), owner->GetPosition());
    EXPECT_EQ(Count(CommandKinds(world.commands), 43), 1);
}

TEST_F(Flyers, DrawTheirPictureBetweenTheTwoLayers) {
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    struct Case {
        int layer, climbing, descending, altitude;
        Point origin;
    } cases[] = {
        {1, 0, 0, 10, at},
        {1, 0, 1, 25, at - Point(0, 15)},
        {2, 1, 0, 12, at + Point(0, 18)},
        {1, 1, 0, 14, at - Point(0, 4)},
        {2, 0, 0, 30, at},
    };
    for (const Case& c : cases) {
        flyer->collision.layer = c.layer;
        flyer->climbing = c.climbing;
        flyer->descending = c.descending;
        flyer->altitude = c.altitude;
        EXPECT_EQ(flyer->GetDrawOrigin(), c.origin) << c.layer << c.climbing << c.descending;
    }
}

// A picture that notes where it is drawn, and whether in the team colour or tinted.
class PlaceLog : public Image {
public:
    explicit PlaceLog(std::vector<std::pair<char, Point>>& log) : Image(Size(16, 16)), log(log) {}
    void DrawShadeFilled(const Point& c, int32_t) override { log.emplace_back('c', c); }
    void DrawTinted(const Point& c, const ShadeTable&, int32_t) override {
        log.emplace_back('t', c);
    }
    std::vector<std::pair<char, Point>>& log;
};

// Drawn or only sensed, a flyer shows its picture at its draw origin, above its place while it
// descends, and stays where it is.
TEST_F(Flyers, AreDrawnAndSensedAtTheirDrawOrigin) {
    std::vector<std::pair<char, Point>> log;
    auto pictures = std::make_unique<SpriteSet>(16);
    for (int f = 0; f < 16; ++f)
        pictures->SetFrame(std::make_unique<PlaceLog>(log), f);
    kit.plain->mapPictures = std::move(pictures);
    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    LandFixture files;
    world.terrain = PlainTerrain(files, 10, 10);
    flyer->collision.layer = 1;
    flyer->descending = 1;
    flyer->altitude = 25;
    ASSERT_EQ(flyer->GetDrawOrigin(), at - Point(0, 15));
    ScreenBase view;
    const Point shown = view.MapToScreen(view.SnapToZoom(at - Point(0, 15), flyer->bob));
    flyer->Draw(view);
    flyer->DrawSensed(view, world.terrain->ShadeTable1());
    EXPECT_EQ(log, (std::vector<std::pair<char, Point>>{{'c', shown}, {'t', shown}}));
    EXPECT_EQ(flyer->GetPosition(), at);
    // Its shadow falls (altitude, altitude) from the draw origin, unless it hides from its own
    // team.
    for (int hidden : {0, 1}) {
        world.GrantStructure(1, 1);
        flyer->stealth.hidden = hidden;
        ASSERT_EQ(flyer->HiddenFromOwnTeam(), hidden);
        log.clear();
        flyer->DrawUnder(view);
        const Point shadow =
            view.MapToScreen(view.SnapToZoom(at - Point(0, 15), flyer->bob + Point(25, 25)));
        using Draws = std::vector<std::pair<char, Point>>;
        EXPECT_EQ(log, (hidden == 1 ? Draws{} : Draws{{'t', shadow}})) << hidden;
        EXPECT_EQ(flyer->GetPosition(), at);
    }
}

}  // namespace
