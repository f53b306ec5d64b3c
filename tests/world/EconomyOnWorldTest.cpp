// The economy on a real World: a factory made by the World's own maker opens on an ore deposit
// of a generated land, builds sample miners that roll out, find the two fields, mine and unload,
// and at every tick the factory holds exactly what came in less what it paid.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <tuple>

#include "RegistryTestFixture.h"
#include "SampleDesignsFixture.h"
#include "WanderingUnit.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/ValueTriple.h"
#include "objects/CommandBuffer.h"
#include "objects/DestructibleObject.h"
#include "objects/FactoryProduction.h"
#include "objects/HaulerSim.h"
#include "objects/OreDeposit.h"
#include "support/FakeClock.h"

namespace {

constexpr int kStepMs = 50;
constexpr int kStart = 3000;

// Counts what the factory draws from it (it grows on its own as well).
class CountingDeposit : public OreDeposit {
public:
    using OreDeposit::OreDeposit;
    int Withdraw(int n) override {
        const int taken = OreDeposit::Withdraw(n);
        drawn += taken;
        return taken;
    }
    int64_t drawn = 0;
};

struct Outcome {
    uint64_t digest = 0;
    int ledgerBreaks = 0;
    int fieldBreaks = 0;
    int64_t unloaded = 0;  // units taken from the miners
    int64_t credited = 0;  // units times the factor
    int born = 0;
    int64_t drawn = 0;
};

class EconomyOnWorld : public sample_world::SampleDesignsTest {
protected:
    Outcome Run(int seconds) {
        Outcome out;
        FakeClock clock(1000);
        std::mt19937 random(18);
        LandLayout layout = GeneratedLand(random, 48, 48);
        // Open ground round the start and the two fields.
        const std::pair<int, int> start(12, 12);
        for (auto [row, column, reach] :
             {std::tuple(12, 12, 9), std::tuple(12, 30, 2), std::tuple(30, 12, 2)}) {
            for (int r = row - reach; r <= row + reach; ++r)
                for (int c = column - reach; c <= column + reach; ++c)
                    layout.letters[r][c] = 'c';
        }
        WorldOnLand land(layout);
        World& world = land.world;
        world.techLevelT = world.techLevelV = 8;
        TopLevels levels;
        SetCatalogueServices(&levels);
        world.commands->SetEnabled(1);
        // The miners' search skips ground their team has never seen.
        world.terrain->SetRevealAll(1);
        world.inGame = 1;
        world.paused = 0;
        const Point at = land.Centre(start.first, start.second);
        std::unique_ptr<GameObject> deposit =
            std::make_unique<CountingDeposit>(at, Size(128, 64), OreDepositPictures,
                                              CollisionFilter(0, 0, 0, 0, 0), world.NewSimId(0));
        auto* counting = static_cast<CountingDeposit*>(deposit.get());
        deposit->Deposit(2000);
        world.AddOreDeposit(deposit);
        std::map<int32_t, int64_t> fieldStart, taken;
        // The team holds both fields: their ore is worth twice while both hold some.
        for (const auto& [row, column, ore] :
             {std::tuple(12, 30, 3000), std::tuple(30, 12, 2400)}) {
            std::unique_ptr<GameObject> field = std::make_unique<DestructibleObject>(
                land.Centre(row, column),
                static_cast<DestructibleTemplate*>(DestructibleList.First())->pictures.get(),
                world.NewSimId(0));
            field->SetCargoCapacity(ore);
            field->AddCargo(ore);
            field->ChangeTeam(ValueTriple(1), 0);
            fieldStart[field->id.serial] = ore;
            world.AddDestructible(field);
        }
        std::unique_ptr<GameObject> made =
            world.scenarioMakers.createBuildingSim('V', world.NewSimId(1), at, 1);
        EXPECT_TRUE(made);
        if (!made) return out;
        FactoryProduction* factory = AsFactoryProduction(made.get());
        factory->AddResources(kStart, 0);
        made->Deposit(kStart);
        world.AddBuilding(std::move(made));
        std::unique_ptr<VehicleDesign> miner = Design("Miner");
        const int cost = miner->SumPartField5() + miner->SumPartField6();
        for (int i = 0; i < 3; ++i) {
            auto job = std::make_unique<VehicleDesign>('V');
            job->CopyFrom(*miner);
            factory->QueueJob(std::move(job), 0);
        }
        std::map<int32_t, int> cargo;  // each miner's load at the last tick
        for (int tick = 0; tick < seconds * 1000 / kStepMs; ++tick) {
            clock.Advance(kStepMs);
            world.Tick(static_cast<int>(clock.Now()));
            // The unloadings of this tick, from the commands the peers get.
            const uint8_t* p = world.commands->Data();
            for (size_t i = 0; i + 1 < world.commands->Size() && p[i] > 0; i += p[i]) {
                if (p[i + 1] != static_cast<int>(CommandKind::DeliverCargo)) continue;
                int32_t words[2] = {};
                std::memcpy(words, p + i + 7, sizeof words);
                out.unloaded += words[0];
                out.credited += int64_t{words[0]} * words[1];
            }
            world.commands->Rewind();
            // What each miner gained came from the field it works on.
            int64_t carried = 0;
            out.born = 0;
            for (ListNode* n = world.sims[1].First(); n; n = world.sims[1].Next(n)) {
                auto* unit = dynamic_cast<HaulerSim*>(static_cast<ObjectNode*>(n)->Object());
                if (!unit) continue;
                ++out.born;
                const int was = cargo[unit->id.serial];
                if (unit->GetCargo() > was) taken[unit->target.serial] += unit->GetCargo() - was;
                cargo[unit->id.serial] = unit->GetCargo();
                carried += unit->GetCargo();
                out.digest = out.digest * 1099511628211ull + unit->GetPosition().x * 4096u +
                             unit->GetPosition().y + unit->GetCargo();
            }
            int64_t fieldsLost = 0;
            for (const auto& [serial, ore] : fieldStart) {
                GameObject* field = world.FindObject(SimId(0, serial));
                const int64_t lost = ore - (field ? field->GetCargo() : 0);
                out.fieldBreaks += lost != taken[serial];
                fieldsLost += lost;
            }
            out.fieldBreaks += fieldsLost != carried + out.unloaded;
            // Paid for: every miner out and the one being built.
            const int64_t paid = (out.born + (factory->ProductionState() != 0)) * cost;
            const int64_t held =
                factory->AsObject()->GetCargo() + factory->GetStore() + factory->GetCredit();
            out.ledgerBreaks += held != 2 * kStart + out.credited + counting->drawn - paid;
        }
        out.drawn = counting->drawn;
        out.digest ^= world.StateChecksum();
        world.ClearObjects();
        SetCatalogueServices(nullptr);
        return out;
    }
};

TEST_F(EconomyOnWorld, FactoryBuildsMinersThatMineAndUnloadWithTheLedgerExact) {
    const Outcome first = Run(240);
    EXPECT_EQ(first.born, 3);
    EXPECT_GT(first.drawn, 0);
    EXPECT_GT(first.unloaded, 0);
    EXPECT_GT(first.credited, first.unloaded);
    EXPECT_EQ(first.ledgerBreaks, 0);
    EXPECT_EQ(first.fieldBreaks, 0);
    const Outcome second = Run(240);
    EXPECT_EQ(second.digest, first.digest);
    EXPECT_EQ(second.credited, first.credited);
}

}  // namespace
