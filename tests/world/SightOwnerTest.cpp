// Sight follows the owner: a unit given to another team sees for it at once, on the map, when
// set down after being carried, when deployed, and on a copy; a sensor unit takes away exactly
// the sight it added; and a scenario's dead units and units of another team load without
// leaving any cell seen once they are gone.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "objects/UnitVariantsSupport.h"
#include "support/FakeClock.h"
#include "world/RegistryTestFixture.h"
#include "world/ScenarioFixture.h"

namespace {

// Sight cells above 0 of a player's layer (all players when 0).
int SeenCells(SightGrid& sight, int layer, int player = 0) {
    int seen = 0;
    for (int p = 1; p <= SightGrid::kPlayers; ++p) {
        if (player != 0 && p != player) continue;
        for (int r = 0; r < sight.Rows(); ++r) {
            for (int c = 0; c < sight.Columns(); ++c)
                seen += sight.Value(layer, p, r, c) > 0;
        }
    }
    return seen;
}

int SeenAnywhere(SightGrid& sight) {
    int seen = 0;
    for (int layer = 0; layer < SightGrid::kLayers; ++layer)
        seen += SeenCells(sight, layer);
    return seen;
}

class SightOwner : public ::testing::Test {
protected:
    template <class Unit>
    Unit* Make(ChassisTemplate* chassis, int team, int row, int column, int sensorA = 0) {
        auto unit = std::make_unique<Unit>(land.Centre(row, column), world.NewSimId(team),
                                           kit.Design(kit.ground.get(), chassis));
        unit->sensors.sensorA = sensorA;
        Unit* raw = unit.get();
        std::unique_ptr<GameObject> owned = std::move(unit);
        return world.AddSim(owned) == 1 ? raw : nullptr;
    }

    FakeClock clock{1000};
    SpecialKit kit;
    WorldOnLand land{OpenLand(60, 60)};
    World& world = land.world;
};

TEST_F(SightOwner, AUnitGivenToAnotherTeamSeesForItOnTheMapCarriedDeployedAndOnACopy) {
    enum class Way { OnTheMap, Carried, Deployed, Copy };
    for (const Way way : {Way::OnTheMap, Way::Carried, Way::Deployed, Way::Copy}) {
        const int w = static_cast<int>(way);
        Sim* unit = way == Way::Deployed ? Make<DeployingSim>(kit.structures[2].get(), 2, 20, 20)
                                         : Make<Sim>(kit.plain.get(), 2, 20, 20);
        ASSERT_NE(unit, nullptr) << w;
        const Point at = unit->GetPosition();
        if (way == Way::Deployed) {
            unit->facing = DeployingSim::kWorkingFacing;
            unit->DeployNow();
            ASSERT_EQ(unit->GetKind(), ObjectKind::kDeployed) << w;
        }
        if (way == Way::Copy) unit->SetLocal(0);
        if (way == Way::Carried) {
            world.RemoveFromGrids(unit, at, unit->GetRadius());
            unit->gridFlag = 0;
            unit->onMap = 0;
        }
        unit->ChangeTeam(ValueTriple(1, 1), 0);
        if (way == Way::Carried) {
            EXPECT_EQ(SeenAnywhere(*world.sight), 0) << w;
            unit->gridFlag = 1;
            unit->onMap = 1;
            world.AddToGrids(unit, at, unit->GetRadius());
        }
        EXPECT_EQ(unit->GetTeam(), 1) << w;
        EXPECT_EQ(world.sight->IsVisible(at, 1), 1) << w;
        EXPECT_EQ(world.sight->IsVisible(at, 2), 0) << w;
        EXPECT_EQ(SeenCells(*world.sight, 0, 2), 0) << w;
        // Moving carries the new owner's sight along.
        if (way != Way::Deployed) {
            const Point to = land.Centre(20, 40);
            ASSERT_EQ(world.PlaceObject(unit, to, nullptr), 1) << w;
            EXPECT_EQ(world.sight->IsVisible(to, 1), 1) << w;
            EXPECT_EQ(world.sight->IsVisible(at, 1), 0) << w;
            EXPECT_EQ(world.sight->IsVisible(to, 2), 0) << w;
        }
        unit->Destroy();
        world.UpdateObjects(16);
        EXPECT_EQ(SeenAnywhere(*world.sight), 0) << w;
    }
}

TEST_F(SightOwner, ASensorUnitTakesAwayWhatItAddedWhenItsTeamsSensorStructureComesOrGoes) {
    world.SetGameRecords(&land.records);
    for (const bool had : {true, false}) {
        land.records.scriptedTeam = had ? 1 : -1;
        land.records.scriptedCode = 0;
        Sim* unit = Make<Sim>(kit.plain.get(), 1, 30, 30, 1);
        ASSERT_NE(unit, nullptr);
        // 25 x 25 sight cells of layer 1 with the structure, none without.
        EXPECT_EQ(SeenCells(*world.sight, 1, 1), had ? 25 * 25 : 0) << had;
        land.records.scriptedTeam = had ? -1 : 1;
        ASSERT_EQ(world.PlaceObject(unit, land.Centre(34, 30), nullptr), 1);
        EXPECT_EQ(SeenCells(*world.sight, 1, 1), had ? 25 * 25 : 0) << had;
        unit->Destroy();
        world.UpdateObjects(16);
        EXPECT_EQ(SeenAnywhere(*world.sight), 0) << had;
    }
}

// A scenario's units made as real units of the plain chassis.
TEST(LoadedUnits, DeadUnitsAndUnitsOfAnotherTeamLeaveNoCellSeenOnceGone) {
    SpecialKit kit;
    ScenarioWorld s(ScenarioLand(60, 60));
    s.world->scenarioMakers.spawnSim = [&kit](const char* code, const SimId& id,
                                              const Point& p) -> std::unique_ptr<GameObject> {
        if (!code || !*code) return nullptr;
        return std::make_unique<Sim>(p, id, kit.Design(kit.ground.get(), kit.plain.get()));
    };
    const std::string text =
        ": H\nJ = 0\nL = V\nK = 0\nI = 1\n"
        ": V\nI = 1\nB = 400,400\nA = 1,60\nH = VUnit\n"                    // alive
        ": V\nI = 1\nB = 1000,400\nA = 1,61\nH = VUnit\nD = 10\nE = 11\n"   // dead
        ": V\nI = 1\nB = 400,1000\nA = 2,62\nH = VUnit\n"                   // team 2's, given
        ": V\nI = 1\nB = 1000,1000\nA = 2,63\nH = VUnit\nD = 10\nE = 99\n"  // both
        ": V\nI = 1\nB = 1500,1500\nA = 1,64\nH = VUnit\nD = 2147483647\nE = 2147483647\n"
        ": V\nI = 1\nB = 1500,400\nA = 1,65\nH = VUnit\nk = 3\n";  // controlled by 3
    s.WriteFile("dead.scn", text);
    ASSERT_EQ(s.StartFile("dead.scn"), 1);
    World& world = *s.world;
    SightGrid& sight = *world.sight;
    EXPECT_EQ(world.sims[1].Count(), 6);
    ASSERT_NE(world.FindObject(SimId(1, 65)), nullptr);
    EXPECT_EQ(world.FindObject(SimId(1, 65))->teamRecord.second, 3);
    EXPECT_EQ(world.FindObject(SimId(1, 60))->teamRecord.second, 1);
    EXPECT_EQ(sight.IsVisible(Point(400, 400), 1), 1);
    EXPECT_EQ(sight.IsVisible(Point(400, 1000), 1), 1);
    EXPECT_EQ(SeenCells(sight, 0, 2), 0);
    for (const Point& p : {Point(1000, 400), Point(1000, 1000)})
        EXPECT_EQ(sight.IsVisible(p, 1) + sight.IsVisible(p, 2), 0);
    // The dead ones go at the next death pass; the largest maximum is no bar to dying.
    GameObject* last = world.FindSim(SimId(1, 64));
    ASSERT_NE(last, nullptr);
    last->TakeDamage(nullptr, SimId(), nullptr, 0);
    EXPECT_EQ(last->IsDestroyed(), 1);
    world.UpdateObjects(16);
    EXPECT_EQ(world.sims[1].Count(), 3);
    for (const SimId& id : {SimId(1, 60), SimId(2, 62), SimId(1, 65)}) {
        // A unit that changed hands is listed under its new team, found by its id.
        GameObject* unit = world.FindObject(id);
        ASSERT_NE(unit, nullptr);
        unit->TakeDamage(nullptr, SimId(), nullptr, 0);
    }
    world.UpdateObjects(16);
    EXPECT_EQ(world.sims[1].Count(), 0);
    EXPECT_EQ(SeenAnywhere(sight), 0);
}

}  // namespace
