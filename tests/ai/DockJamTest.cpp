// A crowd at the factory's unloading dock: a loaded miner on its way in, and four scavengers
// just short of the dock, each sent aside into the next one's way round a ring, so
// that none of them can step and none is idle or blocked for the usual rules to move it. The
// miner gets its ore home within a minute, whether its team has a computer player or none (a
// human player's, where no controller hears that a unit is held up). Friends passing across a
// unit's way push it aside at most one step at a time, and it still gets where it was going. A
// Miner coming back round the open factory unloads wherever the factory stands on its cell.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SkirmishRun.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Vector.h"
#include "objects/DestructibleObject.h"
#include "objects/EconomyGoals.h"
#include "objects/FactoryBuilding.h"
#include "objects/FactoryProduction.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "objects/TargetGoal.h"
#include "support/MadeAssets.h"
#include "support/TopLevels.h"

namespace {

constexpr int kTeam = skirmish::kLocalTeam;
constexpr int kUnloadDockFlags = 2;
constexpr int kFullLoad = 600;
constexpr int kWithinSeconds = 60;

class DockJam : public MadeAssetsTest {
protected:
    // The sample design of that name, read from the first clan's design file.
    std::unique_ptr<VehicleDesign> Design(const std::string& name) {
        return skirmish::SampleDesign(name);
    }
    // Starts the run with the team's controller taken away (nothing but the scene moves its
    // units) and lets its factory open.
    void StartWithoutController(skirmish::SkirmishRun& run, GameObject*& factory) {
        ASSERT_EQ(run.Start(), 1);
        World& world = run.GetWorld();
        factory = world.TeamFactory(kTeam);
        ASSERT_NE(factory, nullptr);
        factory->SetOwner(nullptr);
        world.SetTeamController(kTeam, nullptr);
        run.Run(5, false);
    }
};

struct Unit {
    const char* name;
    const char* design;
    Point at;     // from the dock
    Point aside;  // where it was sent aside to, from the dock; (0, 0): no such order
    int cargo;
};

// The push goals a unit holds: one a push made, whatever waypoints lead to it.
int PushesHeld(const GameObject& unit) {
    int held = 0;
    unit.goals.ForEach([&held](Goal& g) { held += g.movedAside == 1 && g.waypoint == 0; });
    return held;
}

TEST_F(DockJam, LoadedMinerDeliversWithinAMinuteWithAndWithoutAController) {
    struct Scene {
        const char* name;
        std::vector<Unit> units;  // the miner first; a scavenger with cargo on its trip home
        int mostPushes;           // the most steps aside any unit holds at once
        int moved;                // the scavengers that left their places, at least
        bool minerOnItsTrip;      // the miner is given the trip home too
    };
    const Scene scenes[] = {
        // As the seed-9002 game stood: each scavenger's step aside is refused by the next one.
        {"a ring round the dock",
         {{"miner", "Miner", Point(-95, -31), Point(), kFullLoad},
          {"scavenger going down", "Scavenger", Point(-64, 1), Point(-64, 96), 78},
          {"scavenger in from the left", "Scavenger", Point(-95, 0), Point(), 259},
          {"scavenger going up", "Scavenger", Point(-65, 31), Point(-160, -64), 381},
          {"scavenger above", "Scavenger", Point(-33, -31), Point(-128, 64), 20}},
         1,
         3,
         false},
        // As the seed-4416 game stood: one that has just unloaded on the dock point, a loaded
        // friend on each side waiting for the dock. The middle one must not step into either.
        {"three in a row on the dock",
         {{"miner", "Miner", Point(-31, 0), Point(), kFullLoad},
          {"scavenger unloaded", "Scavenger", Point(0, 0), Point(), 0},
          {"scavenger in from the right", "Scavenger", Point(31, 0), Point(), 230}},
         1,
         1,
         true},
    };
    for (const Scene& scene : scenes) {
        for (const bool controlled : {true, false}) {
            SCOPED_TRACE(std::string(scene.name) +
                         (controlled ? ", computer team" : ", team without a controller"));
            skirmish::SkirmishRun run(Local(), 9002u, 1, 2, nullptr, 'V', true);
            ASSERT_EQ(run.Start(), 1);
            World& world = run.GetWorld();
            GameObject* factory = world.TeamFactory(kTeam);
            ASSERT_NE(factory, nullptr);
            if (!controlled) {
                factory->SetOwner(nullptr);
                world.SetTeamController(kTeam, nullptr);
                ASSERT_EQ(world.ControllerOf(kTeam), nullptr);
            }
            // Let the factory open; nothing of the team has left it yet.
            run.Run(5, false);
            const int dockIndex = factory->FindFreeDock(nullptr, kUnloadDockFlags);
            ASSERT_NE(dockIndex, -1);
            const Point offset = factory->GetDockOffset(dockIndex);
            const Point dock = factory->GetPosition() + offset;
            std::vector<Sim*> placed;
            for (const Unit& u : scene.units) {
                std::unique_ptr<VehicleDesign> design = Design(u.design);
                ASSERT_TRUE(design) << u.design;
                Sim* sim = SpawnSim(design, world.NewSimId(kTeam), dock + u.at, 1);
                ASSERT_NE(sim, nullptr) << u.name;
                EXPECT_EQ(sim->AddCargo(u.cargo), u.cargo) << u.name;
                if (EventReceiver* controller = world.ControllerOf(kTeam)) {
                    SimId made = sim->id;
                    controller->OnEvent(1, factory, &made);
                }
                placed.push_back(sim);
            }
            // The loaded scavengers' trips home: the way to the dock, the dock, the unloading;
            // ahead of it the step aside where there was one, its route already found.
            for (size_t i = scene.minerOnItsTrip ? 0 : 1; i < placed.size(); ++i) {
                Sim& s = *placed[i];
                if (scene.units[i].cargo == 0) continue;
                s.ClearGoals();
                s.goals.PushFront(std::make_unique<UnloadGoal>(s.id, 1, 1));
                s.goals.PushFront(std::make_unique<TargetGoal>(s.id, factory->id, offset, 1, 1));
                s.goals.Front()->active = 1;
                s.goals.Front()->reportFailure = 0;
                auto way = std::make_unique<LocationGoal>(s.id, dock, 0, 1, 1);
                way->waypoint = 1;
                way->reportFailure = 0;
                s.goals.PushFront(std::move(way));
                if (scene.units[i].aside != Point()) {
                    auto aside =
                        std::make_unique<LocationGoal>(s.id, dock + scene.units[i].aside, 0, 1, 1);
                    aside->active = 1;
                    aside->reportFailure = 0;
                    s.goals.PushFront(std::move(aside));
                }
            }
            Sim& miner = *placed[0];
            int deliveredAt = -1;
            double deliveredFrom = 0;
            int heldBehindFriend = 0;
            int mostPushes = 0;
            int asideIntoFriend = 0;
            // Each unit's step aside as last seen, so that a step is judged when it is sent: a
            // friend that walks onto the place later was not stood on when the step was given.
            std::map<Sim*, Point> asideSeen;
            for (int second = 1; second <= kWithinSeconds && deliveredAt < 0; ++second) {
                run.Run(1, false);
                SimId blocker;
                miner.GetBlockingSim(blocker);
                heldBehindFriend += !blocker.IsNull() && blocker.team == kTeam ? 1 : 0;
                // Pushed round the ring again and again, each unit holds one step aside at most;
                // none is sent to where a friend stands.
                for (Sim* s : placed) {
                    mostPushes = std::max(mostPushes, PushesHeld(*s));
                    // The place the step goes to, not a stop of the route there, which may pass
                    // over a friend as any route does.
                    Goal* step = nullptr;
                    s->goals.ForEach([&step](Goal& g) {
                        if (!step && g.movedAside == 1 && g.waypoint == 0) step = &g;
                    });
                    if (!step || s->goals.Front()->movedAside != 1) continue;
                    const auto seen = asideSeen.find(s);
                    if (seen != asideSeen.end() && seen->second == step->GetLocation()) continue;
                    asideSeen[s] = step->GetLocation();
                    for (Sim* other : placed)
                        asideIntoFriend += other != s && other->ContainsPoint(step->GetLocation());
                }
                if (miner.GetCargo() == 0) {
                    deliveredAt = second;
                    deliveredFrom = Vector(miner.GetPosition() - dock).magnitude;
                }
            }
            std::printf("%s, %s: delivered after %d s, held behind a friend %d s\n", scene.name,
                        controlled ? "computer team" : "no controller", deliveredAt,
                        heldBehindFriend);
            EXPECT_NE(deliveredAt, -1) << "the miner still carries " << miner.GetCargo();
            EXPECT_EQ(miner.GetCargo(), 0);
            EXPECT_LE(deliveredFrom, 32.0) << "delivered away from the dock";
            EXPECT_GT(heldBehindFriend, 0) << "the scene never held the miner up";
            EXPECT_EQ(mostPushes, scene.mostPushes) << "pushes piled up, or nobody was pushed";
            EXPECT_EQ(asideIntoFriend, 0) << "sent aside to where a friend stood";
            int moved = 0;
            for (size_t i = 1; i < placed.size(); ++i)
                moved += placed[i]->GetPosition() != dock + scene.units[i].at ? 1 : 0;
            EXPECT_GE(moved, scene.moved) << "the scavengers round the dock did not break up";
        }
    }
}

// A team without a controller (nothing but the scene moves its units) and friends that cross
// the way of the unit under test, back and forth, every few seconds, or drive against it. The
// unit holds at most one step aside at any tick, is never pushed off its errand, no unit is sent
// aside more than a few times, and it gets where it was sent: a loaded, damaged miner to the
// repairer's dock (where its trip ends; the repair is another matter); one of two friends sent
// face to face along one line to where the other stands, also with an idle friend between them,
// or with both only stepping aside there.
TEST_F(DockJam, FriendsCrossingAUnitsWayPushItAsideOnceAtATime) {
    struct Scene {
        const char* name;
        const char* design;
        Point from, to;  // from the factory
        bool toRepairer;
        Point oncoming;  // a friend sent the other way along the line; (0, 0): none
        int crossers;    // friends crossing the line between the two ends
        int withinSeconds;
        bool idleBetween = false;  // an idle friend stands half way along the line
        int column = 0;            // friends that drive from the far end to the near one
        // The unit and the oncoming friend hold steps aside only, no errand behind them.
        bool stepping = false;
    };
    const Scene scenes[] = {
        {"miner to its repairer", "Miner", Point(-220, 200), Point(200, 200), true, Point(), 3, 90},
        {"two face to face", "Miner", Point(-220, 200), Point(200, 200), false, Point(200, 200), 0,
         60},
        {"face to face, friends crossing", "Scavenger", Point(-220, 200), Point(200, 200), false,
         Point(200, 200), 2, 90},
        {"three in a row, the outer two passing", "Miner", Point(-220, 200), Point(200, 200), false,
         Point(200, 200), 0, 90, true},
        {"miner to its repairer, a column against it", "Miner", Point(-220, 200), Point(200, 200),
         true, Point(), 0, 90, false, 3},
        {"two stepping aside face to face", "Miner", Point(-220, 200), Point(200, 200), false,
         Point(200, 200), 0, 60, false, 0, true},
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(scene.name);
        skirmish::SkirmishRun run(Local(), 9002u, 1, 2, nullptr, 'V', true);
        World& world = run.GetWorld();
        GameObject* factory = nullptr;
        ASSERT_NO_FATAL_FAILURE(StartWithoutController(run, factory));
        const Point base = factory->GetPosition();
        auto spawn = [&](const char* name, const Point& at) {
            std::unique_ptr<VehicleDesign> design = Design(name);
            EXPECT_TRUE(design) << name;
            return design ? SpawnSim(design, world.NewSimId(kTeam), base + at, 1) : nullptr;
        };
        Sim* unit = spawn(scene.design, scene.from);
        ASSERT_NE(unit, nullptr);
        Sim* repairer = scene.toRepairer ? spawn("Repair Crawler", scene.to) : nullptr;
        Sim* oncoming = scene.oncoming != Point() ? spawn(scene.design, scene.oncoming) : nullptr;
        std::vector<Sim*> crossers;
        for (int i = 0; i < scene.crossers; ++i) {
            const int x =
                scene.from.x + (scene.to.x - scene.from.x) * (i + 1) / (scene.crossers + 1);
            crossers.push_back(spawn("Scavenger", Point(x, scene.from.y - 110)));
            ASSERT_NE(crossers.back(), nullptr);
        }
        if (scene.idleBetween) {
            const Point middle((scene.from.x + scene.to.x) / 2, (scene.from.y + scene.to.y) / 2);
            ASSERT_NE(spawn("Scavenger", middle), nullptr);
        }
        std::vector<Sim*> column;
        for (int i = 0; i < scene.column; ++i) {
            column.push_back(spawn("Scavenger", scene.to - Point(100 + 36 * i, 0)));
            ASSERT_NE(column.back(), nullptr);
            column.back()->ExecuteOrder(Sim::kOrderMove, 0, base + scene.from - Point(80, 0),
                                        SimId(), 0);
        }
        // Every push that took, on whom; and those on the unit while its errand lasted.
        std::map<int32_t, int> pushes;
        int pushedOffErrand = 0;
        world.unitMakers.asideObserver = [&](const GameObject&, const GameObject& pushed,
                                             AsideCaller) {
            ++pushes[pushed.id.serial];
            pushedOffErrand += &pushed == unit ? 1 : 0;
        };
        Point dock;  // where the repairer takes the unit in
        if (repairer) {
            unit->AddCargo(kFullLoad);
            unit->damage.SetValue(unit->damage.Max() / 2);
            unit->ExecuteOrder(Sim::kOrderRepair, 0, Point(), repairer->id, 0);
            unit->goals.ForEach([&](Goal& g) {
                if (g.IsRepair() == 1) dock = repairer->GetPosition() + g.StoredFields().point;
            });
            ASSERT_NE(dock, Point()) << "no repair goal";
        } else {
            unit->ExecuteOrder(Sim::kOrderMove, 0, base + scene.to, SimId(), 0);
            oncoming->ExecuteOrder(Sim::kOrderMove, 0, base + scene.from, SimId(), 0);
            for (Sim* s : {unit, oncoming})
                if (scene.stepping) s->goals.Front()->movedAside = 1;
        }
        int mostHeld = 0;
        int arrivedAt = -1;
        for (int tick = 1; tick <= scene.withinSeconds * 1000 / skirmish::kStepMs && arrivedAt < 0;
             ++tick) {
            // Every three seconds the crossers turn about, across the unit's line.
            if (tick % (3000 / skirmish::kStepMs) == 1) {
                const int side = tick / (3000 / skirmish::kStepMs) % 2 == 0 ? 110 : -110;
                for (Sim* c : crossers)
                    c->ExecuteOrder(Sim::kOrderMove, 0,
                                    Point(c->GetPosition().x, base.y + scene.from.y + side),
                                    SimId(), 0);
            }
            run.Clock().Advance(skirmish::kStepMs);
            world.Tick(static_cast<int>(winx_timeGetTime()));
            mostHeld = std::max(mostHeld, PushesHeld(*unit));
            const Point goal = repairer ? dock : base + scene.to;
            const bool there = Vector(unit->GetPosition() - goal).magnitude <= 32.0;
            if (there) arrivedAt = tick;
        }
        std::printf("%s: there after %d ticks, at most %d steps aside held\n", scene.name,
                    arrivedAt, mostHeld);
        EXPECT_NE(arrivedAt, -1) << "still at " << unit->GetPosition().x - base.x << ", "
                                 << unit->GetPosition().y - base.y;
        EXPECT_LE(mostHeld, 1);
        EXPECT_EQ(pushedOffErrand, 0);
        for (const auto& [serial, count] : pushes)
            EXPECT_LE(count, 3) << "unit " << serial << " sent aside again and again";
        for (Sim* c : column)
            EXPECT_GT(Vector(c->GetPosition() - base - scene.to).magnitude, 100.0)
                << "a friend of the column never got past";
        if (oncoming) {
            EXPECT_GT(Vector(oncoming->GetPosition() - (base + scene.oncoming)).magnitude, 32.0)
                << "the oncoming friend never got past";
        }
    }
}

// A Miner mines a field south-west of the open factory and comes back round it to the unloading
// dock, with the factory on its cell's middle and, as one stopped on its way unfolds, off it:
// the Miner gets its load into the factory. Off the middle it stood loaded for good at the
// factory's north-west corner (8 px east), or at its south-west corner (8 px south).
TEST_F(DockJam, AMinerReturningRoundTheOpenFactoryFromTheSouthWestUnloads) {
    const Point field(-128, 224);  // from the factory
    for (const Point& shift : {Point(0, 0), Point(8, 0), Point(0, 8), Point(8, 8)}) {
        SCOPED_TRACE("factory moved " + std::to_string(shift.x) + ", " + std::to_string(shift.y));
        skirmish::SkirmishRun run(Local(), 9002u, 1, 2, nullptr, 'V', true);
        ASSERT_EQ(run.Start(), 1);
        World& world = run.GetWorld();
        GameObject* factory = world.TeamFactory(kTeam);
        factory->SetOwner(nullptr);
        world.SetTeamController(kTeam, nullptr);
        ASSERT_EQ(world.PlaceObject(factory, factory->GetPosition() + shift, nullptr), 1);
        run.Run(5, false);
        ASSERT_NE(factory->FindFreeDock(nullptr, kUnloadDockFlags), -1)
            << "the factory is not open";
        const Point base = factory->GetPosition();
        auto* look = static_cast<DestructibleTemplate*>(DestructibleList.First());
        std::unique_ptr<GameObject> ore = std::make_unique<DestructibleObject>(
            base + field, look->pictures.get(), world.NewSimId(0));
        ore->SetCargoCapacity(5000);
        ore->AddCargo(5000);
        ASSERT_EQ(world.AddDestructible(ore), 1);
        std::unique_ptr<VehicleDesign> design = Design("Miner");
        Sim* miner =
            SpawnSim(design, world.NewSimId(kTeam), base + FactoryBuilding::kRollOutOffset, 1);
        ASSERT_NE(miner, nullptr);
        bool full = false;
        int oreBefore = -1, handedOver = -1;
        for (int second = 1; second <= 180 && handedOver < 0; ++second) {
            const int load = miner->GetCargo(), stored = factory->GetCargo();
            run.Run(1, false);
            full = full || miner->IsCargoFull() == 1;
            if (full && oreBefore < 0 && miner->GetCargo() < load) oreBefore = stored;
            if (full && miner->GetCargo() == 0) handedOver = second;
        }
        EXPECT_TRUE(full) << "the Miner never filled up";
        EXPECT_NE(handedOver, -1) << "the Miner still carries " << miner->GetCargo() << " at "
                                  << miner->GetPosition().x - base.x << ", "
                                  << miner->GetPosition().y - base.y;
        if (handedOver != -1) {
            EXPECT_GE(factory->GetCargo() - oreBefore, kFullLoad) << "the load went elsewhere";
        }
    }
}

// A line of friends from the roll-out square outward, each waiting on the next: the scene keeps
// the farthest from ever stepping, so none of them is idle or blocked. The finished product
// still leaves within a minute of reaching the door.
TEST_F(DockJam, ALineOfFriendsWaitingOnEachOtherLetsTheProductOut) {
    constexpr int kTicksPerSecond = 1000 / skirmish::kStepMs;
    skirmish::SkirmishRun run(Local(), 9002u, 1, 2, nullptr, 'V', true);
    World& world = run.GetWorld();
    GameObject* factory = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithoutController(run, factory));
    FactoryProduction* production = AsFactoryProduction(factory);
    ASSERT_NE(production, nullptr);
    const Point rollOut = factory->GetPosition() + FactoryBuilding::kRollOutOffset;
    std::vector<Sim*> line;
    for (int i = 0; i < 5; ++i) {
        std::unique_ptr<VehicleDesign> design = Design("Scavenger");
        ASSERT_TRUE(design);
        line.push_back(SpawnSim(design, world.NewSimId(kTeam), rollOut + Point(32, 32) * i, 1));
        ASSERT_NE(line.back(), nullptr) << i;
        line.back()->ExecuteOrder(Sim::kOrderMove, 0, rollOut + Point(480, 480), SimId(), 0);
    }
    Sim& head = *line.back();
    const Point headAt = head.GetPosition();
    ASSERT_EQ(production->QueueJob(Design("Scavenger"), 0), 1);
    production->AddResources(100000, 100000);
    int atDoorTicks = 0, heldTicks = 0, leftAt = -1;
    for (int tick = 1; tick <= 240 * kTicksPerSecond && leftAt < 0; ++tick) {
        head.moveTime = 0;
        run.Clock().Advance(skirmish::kStepMs);
        world.Tick(static_cast<int>(winx_timeGetTime()));
        const int state = production->ProductionState();
        atDoorTicks += state == 3 ? 1 : 0;
        SimId ahead;
        line[0]->GetBlockingSim(ahead);
        heldTicks += state == 3 && ahead == line[1]->id ? 1 : 0;
        if (state == 4) leftAt = tick;
    }
    EXPECT_NE(leftAt, -1) << "the product never left";
    EXPECT_LE(atDoorTicks, 60 * kTicksPerSecond);
    EXPECT_GT(heldTicks, 0) << "the line never stood at the door";
    EXPECT_EQ(head.GetPosition(), headAt) << "the line's head moved: nothing held the line";
}

}  // namespace
