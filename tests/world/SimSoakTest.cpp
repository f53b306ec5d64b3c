// A long run of real units: 200 units of the sample designs of both clans on a generated land
// under random orders (move, attack, guard, surround, move away, stop) and random direct hits
// for 10,000 fixed steps. No unit may stand on ground closed to it, every footprint cell names
// its unit, and once all are dead the path and sight grids are as the land left them. Units
// change owner on the way, and units loaded dead come and go. Two runs in one process, one
// drawing every unit each tick, must end in the same digest.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Random.h"
#include "core/StringTable.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "support/FakeClock.h"
#include "support/MadeAssets.h"
#include "support/Sanitized.h"
#include "ui/ScreenBase.h"
#include "world/FightTestSupport.h"
#include "world/RegistryTestFixture.h"
#include "world/SampleDesignsFixture.h"
#include "world/WanderingUnit.h"

namespace {

constexpr int kColumns = 64;
constexpr int kRows = 64;
constexpr int kUnits = 200;
constexpr int kTicks = 10000;
constexpr int kStepMs = 16;

// The ground designs of both clans (flyers, carriers, relays and capture units are other
// classes), read at the top tech level as the World reads designs.
class SimSoak : public sample_world::SampleDesignsTest {
protected:
    void SetUp() override {
        SampleDesignsTest::SetUp();
        for (auto& d : designs) {
            const SimClass kind = ClassForDesign(*d);
            if (kind != SimClass::Deploying && kind != SimClass::Aircraft &&
                kind != SimClass::Carrier && kind != SimClass::Capture)
                ground[d->clan == 'V' ? 0 : 1].push_back(d.get());
        }
    }

    std::vector<VehicleDesign*> ground[2];

    struct Outcome {
        uint64_t digest = 1469598103934665603ull;
        int orders = 0;
        int hits = 0;
        int deaths = 0;
        int fallen = 0;
        int moved = 0;
        int captures = 0;
        int loadedDead = 0;
    };

    // A unit read from a saved game between its death and the death pass, as the scenario
    // reader places it: listed, given to the team of its record, then found dead.
    bool PlaceLoadedDead(World& world, std::unique_ptr<VehicleDesign>& design, const SimId& id,
                         const Point& at, int team) {
        std::unique_ptr<Sim> sim = CreateSim(design, id, at);
        if (!sim) return false;
        sim->SetLocal(1);
        char text[16];
        std::snprintf(text, sizeof text, "%d", sim->damage.Max() + 1);
        sim->Parse('E', text);
        Sim* raw = sim.get();
        std::unique_ptr<GameObject> owned = std::move(sim);
        if (world.AddSim(owned) != 1) return false;
        if (team != raw->GetTeam()) raw->ChangeTeam(ValueTriple(team, team), 1);
        if (raw->IsDestroyed() == 1) raw->Destroy();
        return true;
    }

    Outcome Run(bool drawing) {
        Outcome out;
        FakeClock clock(1000);
        SeedRandom(77);
        std::mt19937 random(20261206);
        WorldOnLand land(GeneratedLand(random, kColumns, kRows));
        World& world = land.world;
        world.techLevelT = world.techLevelV = 8;
        world.makeWreck = [](const WreckDescription&) { return std::unique_ptr<GameObject>(); };
        const int cells = kRows * kColumns;
        std::vector<uint32_t> before(static_cast<size_t>(cells));
        for (int i = 0; i < cells; ++i)
            before[static_cast<size_t>(i)] = world.pathGrid->CellWord(i / kColumns, i % kColumns);

        std::vector<WeaponTemplate*> weapons;
        for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n))
            weapons.push_back(static_cast<WeaponTemplate*>(n));

        std::vector<SimId> ids;
        std::uniform_int_distribution<int> cell(1, kColumns - 2);
        std::uniform_int_distribution<int> teamOf(1, 4);
        int serial = 1;
        while (static_cast<int>(ids.size()) < kUnits && serial < 20 * kUnits) {
            const int team = teamOf(random);
            auto& list = ground[team % 2];
            std::uniform_int_distribution<size_t> which(0, list.size() - 1);
            auto design = std::make_unique<VehicleDesign>('V');
            design->CopyFrom(*list[which(random)]);
            const Point at = world.pathGrid->CellCenter(cell(random), cell(random));
            const SimId id(team, serial++);
            if (SpawnSim(design, id, at, 1)) ids.push_back(id);
        }
        EXPECT_EQ(static_cast<int>(ids.size()), kUnits);
        for (const SimId& id : ids)
            world.ReserveSerial(id.serial);

        ScreenBase view;
        std::uniform_int_distribution<int> orderOf(0, 5);
        std::uniform_int_distribution<size_t> unitOf(0, ids.size() - 1);
        std::uniform_int_distribution<size_t> weaponOf(0, weapons.size() - 1);
        std::uniform_int_distribution<int> pixel(16, kColumns * 32 - 16);
        const int codes[6] = {Sim::kOrderMove,     Sim::kOrderAttack,   Sim::kOrderGuard,
                              Sim::kOrderSurround, Sim::kOrderMoveAway, Sim::kOrderStop};
        for (int tick = 1; tick <= kTicks; ++tick) {
            clock.Advance(kStepMs);
            world.pathSearchesThisTick = 0;
            for (int k = 0; k < 3; ++k) {
                auto* sim = static_cast<Sim*>(world.FindObject(ids[unitOf(random)]));
                const SimId other = ids[unitOf(random)];
                const int code = codes[orderOf(random)];
                const Point p(pixel(random), pixel(random));
                if (!sim) continue;
                sim->IssueOrder(code, 0, p,
                                code == Sim::kOrderGuard && (p.x & 1) ? SimId() : other);
                ++out.orders;
            }
            // Captures: a unit goes over to another team now and then.
            if (tick % 40 == 0) {
                auto* sim = static_cast<Sim*>(world.FindObject(ids[unitOf(random)]));
                const int team = teamOf(random);
                if (sim && sim->IsDestroyed() == 0 && team != sim->GetTeam()) {
                    sim->ChangeTeam(ValueTriple(team, team), 1);
                    ++out.captures;
                }
            }
            if (tick % 250 == 0) {
                const int team = teamOf(random);
                auto& list = ground[team % 2];
                std::uniform_int_distribution<size_t> which(0, list.size() - 1);
                auto design = std::make_unique<VehicleDesign>('V');
                design->CopyFrom(*list[which(random)]);
                const Point at = world.pathGrid->CellCenter(cell(random), cell(random));
                if (PlaceLoadedDead(world, design, world.NewSimId(teamOf(random)), at, team))
                    ++out.loadedDead;
            }
            if (tick % 8 == 0) {
                GameObject* target = world.FindObject(ids[unitOf(random)]);
                const SimId attacker = ids[unitOf(random)];
                WeaponTemplate* weapon = weapons[weaponOf(random)];
                if (target) {
                    target->TakeDamage(weapon, attacker, nullptr, 0);
                    ++out.hits;
                }
            }
            world.UpdateObjects(kStepMs);
            int alive = 0;
            for (const SimId& id : ids) {
                auto* sim = static_cast<Sim*>(world.FindObject(id));
                // A unit that a shot destroyed in this tick has left the grids and waits for
                // the next death pass.
                if (!sim || sim->IsDestroyed()) continue;
                ++alive;
                if (drawing) {
                    sim->DrawUnder(view);
                    sim->Draw(view);
                }
                ExpectStandsWell(world, sim, tick);
                Mix(out.digest, sim->id.serial);
                Mix(out.digest, sim->GetPosition().x * 65536 + sim->GetPosition().y);
                Mix(out.digest, sim->facing * 1000000 + sim->damage.Value());
                out.moved += sim->moving;
            }
            Mix(out.digest, alive);
            out.fallen = kUnits - alive;
            if (HasFailure()) break;
        }
        for (const SimId& id : ids) {
            if (GameObject* sim = world.FindObject(id); sim && !sim->IsDestroyed()) {
                sim->TakeDamage(nullptr, SimId(), nullptr, 0);
                ++out.deaths;
            }
        }
        world.UpdateObjects(kStepMs);
        int listed = 0;
        for (int team = 0; team < World::kTeams; ++team)
            listed += world.sims[team].Count();
        EXPECT_EQ(listed, 0);
        int changed = 0;
        int occupied = 0;
        int seen = 0;
        for (int i = 0; i < cells; ++i) {
            const int row = i / kColumns;
            const int column = i % kColumns;
            changed += world.pathGrid->CellWord(row, column) != before[static_cast<size_t>(i)];
            for (int layer = 0; layer < 3; ++layer)
                occupied += world.pathGrid->Occupant(row, column, layer) != nullptr;
        }
        for (int layer = 0; layer < SightGrid::kLayers; ++layer) {
            for (int player = 1; player <= SightGrid::kPlayers; ++player) {
                for (int r = 0; r < world.sight->Rows(); ++r) {
                    for (int c = 0; c < world.sight->Columns(); ++c)
                        seen += world.sight->Value(layer, player, r, c) > 0;
                }
            }
        }
        EXPECT_EQ(changed, 0);
        EXPECT_EQ(occupied, 0);
        EXPECT_EQ(seen, 0);
        world.ClearObjects();
        return out;
    }
};

TEST_F(SimSoak, TwoHundredUnitsFightTenThousandTicksAndLeaveTheGridsAsTheyWere) {
    QX_LONG_RUN_OPTIMISED_ONLY();
    const Outcome plain = Run(false);
    if (HasFailure()) return;
    const Outcome drawn = Run(true);
    EXPECT_EQ(plain.digest, drawn.digest);
    EXPECT_EQ(plain.orders, drawn.orders);
    EXPECT_GT(plain.orders, kTicks);
    EXPECT_GT(plain.hits, kTicks / 20);
    // Unit-ticks in motion: routes are searched one a tick for all, so most units wait.
    EXPECT_GT(plain.moved, kUnits * 50);
    // Units fall to the hits during the fight and the rest are destroyed at the end.
    EXPECT_GT(plain.fallen, 0);
    EXPECT_GT(plain.deaths, 0);
    EXPECT_EQ(plain.captures, drawn.captures);
    EXPECT_GT(plain.captures, kTicks / 80);
    EXPECT_GT(plain.loadedDead, kTicks / 500);
}

}  // namespace
