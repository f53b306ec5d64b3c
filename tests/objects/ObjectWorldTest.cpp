// The services the map objects see while no World is installed (a tool, or a test without a
// world): nothing is found, nothing is listed or held, no map and no network exist, placements
// are taken where asked, and nothing is sent.
#include <gtest/gtest.h>

#include <memory>

#include "core/EventReceiver.h"
#include "core/NodeList.h"
#include "core/Rect.h"
#include "objects/ObjectTestSupport.h"
#include "objects/ObjectWorld.h"
#include "support/FakeObjectWorld.h"

namespace {

TEST(NeutralWorld, FindsNothingListsNothingAndTakesEveryPlaceAsAsked) {
    ObjectWorld& world = TheObjectWorld();
    TestUnit unit(2, 7, Point(10, 10));
    const SimId id = unit.id;

    // Nothing is found.
    for (GameObject* found :
         {world.FindObject(id), world.FindSim(id), world.FindDestructible(id),
          world.FindWreckById(id), world.TeamFactory(2), world.FindGroup(id),
          world.NearestStructure(2, 1, Point()), world.FindObjectNear(&unit, 100),
          world.ArtifactAt(Point()), world.FindCargoCarrier(id),
          world.NearestDestructible(&unit, 100), world.NearestWreck(&unit, Point(), 100),
          world.FindNearestWreck(&unit, 100), world.NearestOreDeposit(&unit)})
        EXPECT_EQ(found, nullptr);
    EXPECT_EQ(world.ControllerOf(2), nullptr);
    EXPECT_EQ(world.DirectoryOf(2), nullptr);
    EXPECT_EQ(world.Terrain(), nullptr);
    EXPECT_EQ(world.Paths(), nullptr);
    EXPECT_EQ(world.Sight(), nullptr);

    // A team is allied with itself only; team 1 plays here, alone and without a network.
    EXPECT_EQ(world.AreAllied(2, 2), 1);
    EXPECT_EQ(world.AreAllied(2, 3), 0);
    EXPECT_EQ(world.LocalTeam(), 1);
    EXPECT_EQ(world.PlayerCount(), 1);
    for (int answer :
         {world.IsNetworkHost(), world.IsNetworkGame(), world.HasPeer(),
          world.TeamHasStructure(2, 1), world.MissionNumber(), world.RouteRequestsDeferred(),
          world.IsRectVisible(Rect(Point(0, 0), Size(10, 10))),
          world.IsAreaBuildable(Rect(Point(0, 0), Size(10, 10))), world.HasObjectAround(&unit, 50),
          world.TakePathTurn(&unit), world.DebugMode(), world.LowDetail(),
          world.CountTeamDestructibles(2), world.MoveSimToTeam(&unit, 2, 3), world.DeploySim(&unit),
          world.UndeploySim(&unit)})
        EXPECT_EQ(answer, 0);
    EXPECT_EQ(world.TickCount(), 0);
    EXPECT_EQ(world.MissionClan(), 'V');

    // Serials count up per call.
    const SimId first = world.NewSimId(3);
    const SimId second = world.NewSimId(3);
    EXPECT_EQ(first.team, 3);
    EXPECT_EQ(second.serial, first.serial + 1);

    // Placed where asked, nobody in the way; no place is held and no layer changes.
    GameObject* blocker = &unit;
    EXPECT_EQ(world.PlaceObject(&unit, Point(50, 60), &blocker), 1);
    EXPECT_EQ(unit.GetPosition(), Point(50, 60));
    EXPECT_EQ(blocker, nullptr);
    blocker = &unit;
    EXPECT_EQ(world.CanPlace(&unit, Point(70, 70), &blocker, 0, 0), 1);
    EXPECT_EQ(blocker, nullptr);
    blocker = &unit;
    EXPECT_TRUE(world.ReservePlace(&unit, Point(70, 70), &blocker).IsNull());
    EXPECT_EQ(blocker, nullptr);
    SimId held(2, 9);
    blocker = &unit;
    EXPECT_TRUE(world.ReservePlaceOnLayer(held, &unit, Point(70, 70), 2, &blocker).IsNull());
    EXPECT_TRUE(held.IsNull());
    EXPECT_EQ(blocker, nullptr);
    blocker = &unit;
    EXPECT_EQ(world.PlaceOnLayer(&unit, Point(90, 90), 2, &blocker), 0);
    EXPECT_EQ(unit.GetPosition(), Point(50, 60));
    EXPECT_EQ(blocker, nullptr);

    // No route, no ring, and a unit handed over stays with its caller.
    NodeList route;
    EXPECT_EQ(world.RequestPath(&unit, Point(100, 100), route, 0, 0), 0);
    EXPECT_EQ(world.MakeRingPoints(Point(100, 100), 50, 4, route, 0.0), 0);
    std::unique_ptr<GameObject> kept = std::make_unique<TestUnit>(2, 8, Point());
    EXPECT_EQ(world.AddSim(kept), 0);
    EXPECT_NE(kept, nullptr);

    // The command buffer stays off.
    world.Commands().SendFiringTimer(&unit);
    EXPECT_EQ(world.Commands().Size(), 0u);
}

TEST(NeutralWorld, ComesBackWhenAnInstalledWorldGoes) {
    {
        FakeObjectWorld installed;
        EXPECT_EQ(&TheObjectWorld(), &installed);
    }
    EXPECT_EQ(TheObjectWorld().LocalTeam(), 1);
    EXPECT_EQ(TheObjectWorld().Paths(), nullptr);
}

// Who the computer plays: a side with a controller, never the local player's own unless the
// autoplay cheat plays it alone on this machine; in a network game the cheat's controller,
// which no other peer has, makes no side the computer's, and the others count as every peer
// counts them.
TEST(ObjectWorldTeams, TheComputerPlaysASideWithAControllerNotOneItOnlyGuides) {
    FakeObjectWorld world;
    EventReceiver controller;
    const struct {
        int team;
        bool controlled, autoPlayed, network, computer;
    } rows[] = {
        {2, false, false, false, false}, {2, true, false, false, true},
        {1, false, false, false, false}, {1, true, false, false, false},
        {1, true, true, false, true},    {1, false, true, false, false},
        {2, true, true, false, true},    {1, true, true, true, false},
        {1, true, false, true, true},    {2, true, false, true, true},
    };
    for (const auto& row : rows) {
        world.controllers[row.team] = row.controlled ? &controller : nullptr;
        world.localTeamAutoPlayed = row.autoPlayed ? 1 : 0;
        world.network = row.network ? 1 : 0;
        EXPECT_EQ(world.PlaysForComputer(row.team), row.computer)
            << row.team << row.controlled << row.autoPlayed << row.network;
        world.controllers[row.team] = nullptr;
    }
}

}  // namespace
