// Miners and a scavenger left to themselves: they find the fields and the wreck, work, go home
// and unload, and not one unit of ore is made or lost on the way; two runs end the same.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "EconomyTestSupport.h"
#include "objects/CommandBuffer.h"
#include "objects/EconomyMakers.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"

namespace {

constexpr int kTeam = 1;
constexpr int kTickMs = 16;

struct Outcome {
    uint64_t digest = 1469598103934665603ull;
    int delivered = 0;
    int credited = 0;
    int ledgerBreaks = 0;
    int loadsEmptied = 0;
};

void Fold(uint64_t& digest, int64_t v) {
    digest = (digest ^ static_cast<uint64_t>(v)) * 1099511628211ull;
}

// The (amount, factor) of the unloading commands in the buffer.
void ReadDeliveries(const CommandBuffer& buffer, int& taken, int& credited) {
    const uint8_t* p = buffer.Data();
    for (size_t at = 0; at + 1 < buffer.Size() && p[at] > 0; at += p[at]) {
        if (p[at + 1] != static_cast<int>(CommandKind::DeliverCargo)) continue;
        int32_t words[2] = {};
        std::memcpy(words, p + at + 7, sizeof words);
        taken += words[0];
        credited += words[0] * words[1];
    }
}

Outcome RunEconomy(int seconds) {
    FakeClock clock(1000);
    FakeObjectWorld world(40, 40);
    InstallEconomyMakers(world.makers);
    world.commands.SetEnabled(1);
    EconomyKit kit;
    Thing factory(4, SimId(kTeam, 50), Point(640, 640), 0, 1000000);
    for (const Point& dock : {Point(0, 96), Point(-96, 0), Point(96, 0)})
        factory.AppendDock(2, dock);
    world.factories[kTeam] = &factory;
    world.Add(&factory);
    // Two fields of the team (unloading is then worth twice).
    std::vector<std::unique_ptr<Thing>> fields;
    for (const Point& at : {Point(320, 352), Point(960, 896)}) {
        fields.push_back(
            std::make_unique<Thing>(5, SimId(kTeam, 60 + int(fields.size())), at, 700));
        world.Add(fields.back().get());
    }
    // A wreck for the scavenger, whose salvage unloads at factor 1.
    Thing wreck(3, SimId(0, 70), Point(704, 256), 300);
    wreck.AppendDock(8, Point(0, 64));
    world.Add(&wreck);
    const int start = 1400 + 300;
    std::vector<std::unique_ptr<HaulerSim>> miners;
    for (const Point& at : {Point(544, 640), Point(736, 640)}) {
        miners.push_back(kit.Miner(SimId(kTeam, 1 + int(miners.size())), at));
        world.Add(miners.back().get(), true);
    }
    miners.push_back(kit.Scavenger(SimId(kTeam, 3), Point(640, 352)));
    world.Add(miners.back().get(), true);
    Outcome out;
    for (int tick = 0; tick < seconds * 1000 / kTickMs; ++tick) {
        clock.Advance(kTickMs);
        for (auto& m : miners)
            m->Update(kTickMs);
        ReadDeliveries(world.commands, out.delivered, out.credited);
        world.commands.Rewind();
        int inFields = wreck.cargo;
        int carried = 0;
        for (auto& f : fields)
            inFields += f->cargo;
        for (auto& m : miners) {
            carried += m->cargo;
            Fold(out.digest, m->GetPosition().x * 4096 + m->GetPosition().y);
            Fold(out.digest, m->cargo);
        }
        Fold(out.digest, factory.cargo);
        // What left the fields and the wreck is carried or was delivered; the factory got it
        // times the factor of each unloading.
        if (start - inFields != carried + out.delivered || factory.cargo != out.credited) {
            ++out.ledgerBreaks;
        }
        for (auto& m : miners)
            out.loadsEmptied += m->unloading == 1 && m->cargo == 0 ? 1 : 0;
    }
    for (auto& m : miners) {
        m->ClearGoals();
        world.Forget(m.get());
    }
    world.factories[kTeam] = nullptr;
    return out;
}

TEST(EconomyRun, MinersAndAScavengerUnloadWithTheLedgerExactAtEveryTick) {
    const Outcome first = RunEconomy(240);
    EXPECT_EQ(first.ledgerBreaks, 0);
    // Every unit of both fields and the wreck reached the factory; the fields' ore was worth
    // twice while both held some, the salvage once.
    EXPECT_EQ(first.delivered, 1700);
    EXPECT_GT(first.credited, first.delivered);
    EXPECT_LT(first.credited, 1400 * 2 + 300);
    EXPECT_GT(first.loadsEmptied, 0);
    const Outcome second = RunEconomy(240);
    EXPECT_EQ(second.digest, first.digest);
    EXPECT_EQ(second.delivered, first.delivered);
}

}  // namespace
