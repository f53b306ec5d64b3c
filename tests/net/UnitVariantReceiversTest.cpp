// The game's receivers hand the flyers', carriers' and capture units' commands to the classes
// that apply them, and leave an object of another class alone.
#include <gtest/gtest.h>

#include "net/CommandReceivers.h"
#include "net/NetworkPlay.h"
#include "objects/UnitVariantsSupport.h"

namespace {

TEST(SpecialReceivers, ReachTheUnitsThatApplyThem) {
    FakeClock clock(1000);
    SpecialKit kit;
    SpecialWorld world;
    CommandReceivers& to = GameReceivers();
    const Point at(320, 320);

    AirSim* flyer = kit.Flyer(world, 1, 1, at);
    flyer->local = 0;
    to.StartAltitudeChange(flyer, 2, at - Point(0, 20));
    EXPECT_EQ(flyer->collision.layer, 2);
    to.ApplyAltitudeStep(flyer, at - Point(0, 20), Point(14, 14));
    EXPECT_EQ(flyer->altitude, 14);
    to.EndAltitudeChange(flyer, Point(30, 30));
    EXPECT_EQ(flyer->climbing, 0);
    EXPECT_EQ(flyer->altitude, 30);
    to.CountAltitudeAck(flyer);
    EXPECT_EQ(flyer->acknowledgements, 1);

    CarrierSim* carrier = kit.Carrier(world, 1, 2, at);
    Sim* unit = kit.Unit(world, 1, 3, at + Point(40, 0));
    carrier->local = 0;
    to.ApplyPickUp(carrier, unit->id);
    EXPECT_EQ(carrier->Carried(), unit);
    EXPECT_EQ(unit->onMap, 0);
    to.MoveCarried(carrier, at + Point(2, 0));
    EXPECT_EQ(unit->GetPosition(), at + Point(2, 0));
    to.ResetCarry(carrier);
    EXPECT_EQ(carrier->Carried(), nullptr);
    to.BeginCarry(carrier, unit, carrier->GetDockPoint(0));
    EXPECT_EQ(carrier->transferPhase, CarrierSim::kLettingUnitOut);
    to.CountDropAck(carrier);
    EXPECT_EQ(carrier->dropAcknowledgements, 1);
    to.ApplyDrop(carrier);
    EXPECT_EQ(unit->onMap, 1);
    EXPECT_EQ(unit->GetPosition(), carrier->GetDockPoint(0));

    CaptureSim* capture = kit.Capturer(world, 1, 4, at);
    capture->local = 0;
    Sim* enemy = kit.Unit(world, 2, 5, at);
    to.TakeOver(capture, enemy);
    EXPECT_EQ(enemy->teamRecord.second, 1);
    EXPECT_EQ(capture->IsDestroyed(), 1);

    // Another class ignores them.
    Sim* plain = kit.Unit(world, 1, 6, at);
    to.StartAltitudeChange(plain, 2, at);
    to.ApplyPickUp(plain, unit->id);
    to.TakeOver(plain, enemy);
    EXPECT_EQ(plain->collision.layer, 1);
    EXPECT_EQ(plain->IsDestroyed(), 0);
}

}  // namespace
