// The special units in a World on a generated land: the gathered structure answers agree with
// the team lists through deploys, undeploys, changes of owner and deaths; and a carrier pair
// hands a unit over, or loses it on the way, leaving the path and sight grids exactly as they
// were, with deploys of the team while it is aboard keeping it off them.
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "objects/TransportGoal.h"
#include "objects/UnitVariantsSupport.h"
#include "support/FakeClock.h"
#include "world/RegistryTestFixture.h"

namespace {

class SpecialUnitsWorld : public ::testing::Test {
protected:
    // Listed in the World's Sim list; null when the map refused it.
    template <class Unit>
    Unit* List(std::unique_ptr<Unit> unit) {
        Unit* raw = unit.get();
        std::unique_ptr<GameObject> owned = std::move(unit);
        return world.AddSim(owned) == 1 ? raw : nullptr;
    }
    template <class Unit>
    Unit* Make(PartTemplate* drive, ChassisTemplate* chassis, int team, int row, int column) {
        return List(std::make_unique<Unit>(land.Centre(row, column), world.NewSimId(team),
                                           kit.Design(drive, chassis)));
    }
    // Every cell word, occupant and sight count.
    std::vector<int64_t> Grids() {
        std::vector<int64_t> all;
        PathGrid& paths = *world.pathGrid;
        for (int r = 0; r < paths.Rows(); ++r) {
            for (int c = 0; c < paths.Columns(); ++c) {
                all.push_back(paths.CellWord(r, c));
                for (int layer = 0; layer < 3; ++layer)
                    all.push_back(reinterpret_cast<intptr_t>(paths.Occupant(r, c, layer)));
            }
        }
        SightGrid& sight = *world.sight;
        for (int layer = 1; layer < SightGrid::kLayers; ++layer) {
            for (int player = 1; player <= SightGrid::kPlayers; ++player) {
                for (int r = 0; r < sight.Rows(); ++r) {
                    for (int c = 0; c < sight.Columns(); ++c)
                        all.push_back(sight.Value(layer, player, r, c));
                }
            }
        }
        return all;
    }
    void ExpectFormsAgree(const char* when) {
        for (int team = 0; team < World::kTeams; ++team) {
            for (int code = 0; code < 6; ++code)
                EXPECT_EQ(world.TeamHasStructure(team, code), world.ScanForStructure(team, code))
                    << when << " team " << team << " code " << code;
        }
    }

    FakeClock clock{1000};
    SpecialKit kit;
    WorldOnLand land{OpenLand(40, 40)};
    World& world = land.world;
};

TEST_F(SpecialUnitsWorld, GatheredStructuresAgreeWithTheTeamLists) {
    std::mt19937 random(17);
    std::vector<DeployingSim*> units;
    for (int i = 0; i < 12; ++i)
        units.push_back(Make<DeployingSim>(kit.ground.get(), kit.structures[i % 6].get(), 1 + i % 2,
                                           4 + 3 * (i / 4), 4 + 8 * (i % 4)));
    for (DeployingSim* u : units)
        ASSERT_NE(u, nullptr);
    std::uniform_int_distribution<size_t> pick(0, units.size() - 1);
    for (int step = 0; step < 60; ++step) {
        const size_t index = pick(random);
        DeployingSim* u = units[index];
        if (!u) continue;
        switch (step % 4) {
            case 0:
            case 1:
                u->facing = DeployingSim::kWorkingFacing;
                u->DeployNow();
                ExpectFormsAgree("deploy");
                break;
            case 2:
                if (step % 8 == 2)
                    u->UndeployNow();
                else
                    u->ChangeTeam(ValueTriple(u->GetTeam() == 1 ? 2 : 1), 0);
                ExpectFormsAgree("undeploy or change of owner");
                break;
            default:
                if (step % 12 == 3) {
                    u->Destroy();
                    ExpectFormsAgree("death");
                    world.UpdateObjects(16);
                    units[index] = nullptr;
                    ExpectFormsAgree("death pass");
                }
                break;
        }
    }
    int deployed = 0;
    for (int team = 1; team <= 2; ++team)
        deployed += static_cast<int>(world.TeamStructures(team).size());
    EXPECT_GT(deployed, 0);
}

TEST_F(SpecialUnitsWorld, ACarrierPairLeavesTheGridsAsTheyWere) {
    world.SetGameRecords(&land.records);
    land.records.scriptedTeam = 1;
    land.records.scriptedCode = 4;
    for (const int lose : {0, 1, 2, 3}) {
        CarrierSim* a = Make<CarrierSim>(kit.flat.get(), kit.carrier.get(), 1, 10, 10);
        CarrierSim* b = Make<CarrierSim>(kit.flat.get(), kit.carrier.get(), 1, 28, 28);
        ASSERT_TRUE(a && b);
        a->SetPartner(b->id);
        b->SetPartner(a->id);
        for (int i = 0; i < 20; ++i) {
            clock.Advance(50);
            world.UpdateObjects(50);
        }
        ASSERT_EQ(a->carrierState, CarrierSim::kReady);
        const std::vector<int64_t> before = Grids();
        Sim* unit = Make<Sim>(kit.ground.get(), kit.plain.get(), 1, 10, 8);
        ASSERT_NE(unit, nullptr);
        const SimId unitId = unit->id;
        TransportGoal boarding(unit->id, a->id, 1);
        ASSERT_EQ(boarding.IsDone(), 1);
        // A deploy of the team while the unit is aboard leaves it off the grids.
        world.DeploySim(a);
        world.UndeploySim(a);
        EXPECT_EQ(world.pathGrid->Occupant(10, 8, 0), nullptr);
        // lose 0: handed over; 1: lost while pulled in; 2: while waiting; 3: rolling out.
        bool lost = false;
        for (int i = 0; i < 600 && world.FindObject(unitId); ++i) {
            const bool stage = (lose == 1 && unit->GetPosition() != land.Centre(10, 8)) ||
                               (lose == 2 && a->sendPending == 1) ||
                               (lose == 3 && b->released == 1 && !b->carried.IsNull());
            if (stage && !lost) {
                unit->TakeDamage(nullptr, SimId(), nullptr, 0);
                lost = true;
            }
            if (lose == 0 && b->carried.IsNull() && unit->onMap == 1) break;
            clock.Advance(50);
            world.UpdateObjects(50);
        }
        for (int i = 0; i < 40; ++i) {
            clock.Advance(50);
            world.UpdateObjects(50);
        }
        EXPECT_EQ(a->carrierState, CarrierSim::kReady) << lose;
        EXPECT_EQ(b->carrierState, CarrierSim::kReady) << lose;
        EXPECT_EQ(world.reservations.Count(), 0) << lose;
        if (lose == 0) {
            ASSERT_EQ(world.FindObject(unitId), unit);
            EXPECT_EQ(unit->GetPosition(),
                      b->GetDockPoint(unit->GetPosition() == b->GetDockPoint(0) ? 0 : 1))
                << lose;
            unit->Destroy();
            world.UpdateObjects(16);
        } else {
            EXPECT_TRUE(lost) << lose;
            EXPECT_EQ(world.FindObject(unitId), nullptr) << lose;
        }
        EXPECT_EQ(Grids(), before) << lose;
        a->Destroy();
        b->Destroy();
        world.UpdateObjects(16);
    }
}

// Order 11: the unit drives to the carrier, boards it, and the partner sets it down at a dock.
TEST_F(SpecialUnitsWorld, AUnitOrderedAboardDrivesToTheCarrierBoardsAndIsSetDownAtThePartner) {
    world.SetGameRecords(&land.records);
    land.records.scriptedTeam = 1;
    land.records.scriptedCode = 4;
    CarrierSim* a = Make<CarrierSim>(kit.flat.get(), kit.carrier.get(), 1, 10, 10);
    CarrierSim* b = Make<CarrierSim>(kit.flat.get(), kit.carrier.get(), 1, 28, 28);
    ASSERT_TRUE(a && b);
    a->SetPartner(b->id);
    b->SetPartner(a->id);
    for (int i = 0; i < 20; ++i) {
        clock.Advance(50);
        world.UpdateObjects(50);
    }
    ASSERT_EQ(a->carrierState, CarrierSim::kReady);
    Sim* unit = Make<Sim>(kit.ground.get(), kit.plain.get(), 1, 10, 20);
    ASSERT_NE(unit, nullptr);
    unit->IssueOrder(Sim::kOrderTransport, 0, Point(), a->id);
    int boarded = -1;
    int setDown = -1;
    for (int t = 1; t <= 3000 && setDown < 0; ++t) {
        clock.Advance(16);
        world.pathSearchesThisTick = 0;
        world.UpdateObjects(16);
        if (boarded < 0 && unit->onMap == 0) boarded = t;
        if (boarded > 0 && unit->onMap == 1 && b->carried.IsNull()) setDown = t;
    }
    EXPECT_GT(boarded, 1);
    EXPECT_GT(setDown, boarded);
    bool atDock = false;
    for (int i = 0; i < b->DockCount(); ++i)
        atDock = atDock || unit->GetPosition() == b->GetDockPoint(i);
    EXPECT_TRUE(atDock);
    EXPECT_EQ(unit->gridFlag, 1);
}

}  // namespace
