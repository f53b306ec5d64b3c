// The factory commands another machine's factory sends reach its copy here as calls on the
// copy; whatever else the executor found under the id is left alone.
#include <gtest/gtest.h>

#include <memory>

#include "catalogue/VehicleDesign.h"
#include "net/FactoryReceivers.h"
#include "objects/BuildingCreation.h"
#include "objects/FactoryBuilding.h"
#include "support/SampleCatalogueWorld.h"
#include "world/TestObject.h"

namespace {

class FactoryReceiversTest : public SampleCatalogueWorld {
protected:
    void SetUp() override {
        SampleCatalogueWorld::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        copy = CreateBuildingSim('V', SimId(2, 1), Point(1000, 1000), 0);
        ASSERT_NE(copy, nullptr);
    }
    void TearDown() override {
        copy.reset();
        SampleCatalogueWorld::TearDown();
    }

    FactoryReceivers receivers;
    std::unique_ptr<FactoryBuilding> copy;
};

TEST_F(FactoryReceiversTest, EachCommandActsOnTheFactoryCopyAndNothingElse) {
    const char* product = "VPfaa-----";
    const char* warden = "VTdddfa---";
    TestObject unit(2, 9, Point(300, 300));
    const Point unitAt = unit.GetPosition();
    // Every call on an object that is not a factory does nothing (and does not fail).
    receivers.ApplyUnfoldState(&unit, 7);
    receivers.ApplyNewProduct(&unit, product, SimId(2, 50), 3);
    receivers.MoveProduct(&unit, Point(5, 5));
    receivers.ReserveExit(&unit, Point(5, 5));
    receivers.ReleaseProduct(&unit);
    receivers.RefitFactory(&unit, warden);
    receivers.CountExitAck(&unit);
    receivers.ApplyLedger(&unit, 7, 8, 9);
    EXPECT_EQ(unit.GetPosition(), unitAt);
    EXPECT_EQ(unit.cargo, 0);
    EXPECT_TRUE(world.ownedSims.empty());
    EXPECT_TRUE(world.reservations.empty());

    receivers.ApplyUnfoldState(copy.get(), 7);
    EXPECT_EQ(copy->unfoldState, 7);
    receivers.ApplyLedger(copy.get(), 7, 8, 9);
    EXPECT_EQ(copy->cargo, 7);
    EXPECT_EQ(copy->GetCredit(), 9);
    receivers.CountExitAck(copy.get());
    receivers.CountExitAck(copy.get());
    EXPECT_EQ(copy->acknowledgements, 2);

    receivers.ApplyNewProduct(copy.get(), product, SimId(2, 50), 3);
    ASSERT_EQ(copy->HasProduct(), 1);
    receivers.MoveProduct(copy.get(), Point(640, 700));
    EXPECT_EQ(copy->product->GetPosition(), Point(640, 700));
    world.blocked.push_back(Point(700, 700));
    receivers.ReserveExit(copy.get(), Point(700, 700));
    EXPECT_EQ(copy->reservationPending, 1);
    receivers.ReleaseProduct(copy.get());
    EXPECT_EQ(copy->HasProduct(), 0);
    EXPECT_EQ(copy->reservationPending, 0);
    ASSERT_EQ(world.ownedSims.size(), 1u);
    EXPECT_EQ(world.ownedSims[0]->id, SimId(2, 50));

    const std::string before = copy->GetDesign()->CodeString();
    receivers.RefitFactory(copy.get(), warden);
    EXPECT_NE(std::string(copy->GetDesign()->CodeString()), before);
}

}  // namespace
