// The factory on a real World: its footprint on the path grid across unfolding and folding, the
// refit of the local team's factory, and the makers the scenario code reaches it through.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "MemoryCatalogueMedia.h"
#include "RegistryTestFixture.h"
#include "ai/AIController.h"
#include "ai/EngageNearestManoeuvre.h"
#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "map/PathGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/FactoryBuilding.h"
#include "objects/FactoryProduction.h"
#include "objects/Sim.h"
#include "objects/SquadManoeuvre.h"
#include "support/FakeClock.h"

namespace {

std::vector<uint32_t> GridWords(const PathGrid& grid) {
    std::vector<uint32_t> words;
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Columns(); ++c)
            words.push_back(grid.CellWord(r, c));
    }
    return words;
}

std::vector<int> Kinds(const CommandBuffer& buffer) {
    std::vector<int> kinds;
    const uint8_t* p = buffer.Data();
    for (size_t at = 0; at + 1 < buffer.Size() && p[at] > 0; at += p[at])
        kinds.push_back(p[at + 1]);
    return kinds;
}

class FactoryOnWorld : public ::testing::Test {
protected:
    FactoryOnWorld() {
        SetCatalogueMedia(&media);
        BuildingValues v;
        v.letter = 'V';
        v.hitPoints = 2000;
        v.partCount = 2;
        v.doorFrameCount = 4;
        ChassisValues c;
        c.clan = 'V';
        c.role = 'z';
        c.strength = 2000;
        c.hardpointCount = 2;
        c.capacities.assign(2, 9);
        c.mountOffsets.assign(32, Point());
        drive.layer = 1;
        building =
            std::make_unique<BuildingTemplate>(v, std::make_unique<ChassisTemplate>(c), &drive);
        MountValues m;
        m.clan = 'V';
        m.role = 's';
        sensor = std::make_unique<SensorItemTemplate>(m, 0);
        world.localPlayer.first = 1;
    }
    ~FactoryOnWorld() override {
        land.world.ClearObjects();
        SetCatalogueMedia(nullptr);
    }

    FactoryBuilding* Place(int row, int column) {
        auto design = std::make_unique<VehicleDesign>('V');
        design->drive = &drive;
        design->chassis = building->chassis.get();
        auto f = std::make_unique<FactoryBuilding>(land.Centre(row, column), SimId(1, 1),
                                                   building.get(), std::move(design), nullptr);
        FactoryBuilding* raw = f.get();
        world.AddBuilding(std::move(f));
        return raw;
    }

    int TickUntil(FactoryBuilding& f, int state) {
        for (int i = 0; i < 200; ++i) {
            clock.Advance(100);
            f.Update(100);
            if (f.unfoldState == state) return 1;
        }
        return 0;
    }

    FakeClock clock{5000};
    MemoryCatalogueMedia media;
    WorldOnLand land{OpenLand(24, 20)};
    World& world = land.world;
    PartTemplate drive{'V', 'W', 0, 0, 0, 100, 1};
    std::unique_ptr<BuildingTemplate> building;
    std::unique_ptr<MountTemplate> sensor;
};

TEST_F(FactoryOnWorld, UnfoldingAndFoldingLeaveThePathGridAsItWas) {
    FactoryBuilding* f = Place(10, 10);
    const std::vector<uint32_t> folded = GridWords(*world.pathGrid);
    ASSERT_EQ(TickUntil(*f, FactoryProduction::kOpen), 1);
    const std::vector<uint32_t> open = GridWords(*world.pathGrid);
    EXPECT_NE(open, folded);
    // The open footprint covers the unfolded centre's cell.
    short row = 0;
    short column = 0;
    world.pathGrid->PixelToCell(f->UnfoldedCentre() + Point(70, -70), row, column);
    EXPECT_NE(world.pathGrid->CellWord(row, column) & kOccupancyPart, 0u);
    f->ExecuteOrder(Sim::kOrderMove, 0, f->GetPosition(), SimId(), 0);
    ASSERT_EQ(TickUntil(*f, FactoryProduction::kFolded), 1);
    EXPECT_EQ(GridWords(*world.pathGrid), folded);
}

// A computer player's factory is a unit of its own: the set-up gives it the manoeuvre that
// makes it fight the nearest enemy, and it keeps it.
TEST_F(FactoryOnWorld, AComputerPlayersSetUpGivesItsFactoryTheEngageManoeuvre) {
    FactoryBuilding* f = Place(10, 10);
    EngageNearestManoeuvre::Install(world.unitMakers);
    const int kEngage = static_cast<int>(ManoeuvreType::EngageNearest);
    EXPECT_EQ(f->FindManoeuvre(kEngage), nullptr);
    auto controller = std::make_unique<AIController>(1, 'V', 5);
    AIController* ai = controller.get();
    world.SetTeamController(1, std::move(controller));
    ai->Setup(1);
    EXPECT_EQ(f->Owner(), ai);
    EXPECT_NE(f->FindManoeuvre(kEngage), nullptr);
}

TEST_F(FactoryOnWorld, DesignChangeRebuildsTheLocalFactorysPartsAndTellsThePeers) {
    FactoryBuilding* f = Place(10, 10);
    world.commands->SetEnabled(1);
    world.commands->Rewind();
    ASSERT_EQ(world.LocalFactoryDesign(), f->GetDesign());
    EXPECT_EQ(f->Parts().Count(), 0);
    world.LocalFactoryDesign()->SetHardpoint(sensor.get(), 1);
    world.FactoryDesignChanged();
    EXPECT_EQ(f->Parts().Count(), 1);
    EXPECT_EQ(Kinds(*world.commands), std::vector<int>{27});
    world.commands->SetEnabled(0);
}

TEST_F(FactoryOnWorld, ScenarioMakersReachTheFactorysJobDepositAndResources) {
    FactoryBuilding* f = Place(10, 10);
    ScenarioMakers& makers = world.scenarioMakers;
    ASSERT_TRUE(makers.factoryJobDesign && makers.factoryLinkedObject &&
                makers.addFactoryResources);
    EXPECT_EQ(makers.factoryJobDesign(f), nullptr);
    auto first = std::make_unique<VehicleDesign>('V');
    auto last = std::make_unique<VehicleDesign>('V');
    VehicleDesign* lastRaw = last.get();
    f->QueueJob(std::move(first), 0);
    f->QueueJob(std::move(last), 0);
    EXPECT_EQ(makers.factoryJobDesign(f), lastRaw);
    EXPECT_EQ(makers.factoryLinkedObject(f), SimId());
    makers.addFactoryResources(f, 30, 40);
    EXPECT_EQ(f->GetCargo(), 30);
    EXPECT_EQ(f->GetCredit(), 40);
    TestObject plain(1, 9, Point(50, 50));
    EXPECT_EQ(makers.factoryJobDesign(&plain), nullptr);
    makers.addFactoryResources(&plain, 30, 40);
    EXPECT_EQ(plain.GetCargo(), 0);
}

}  // namespace
