// The host alone grows the deposits; when its machine is lost the lowest-numbered player left
// takes that over, so the survivors' deposits go on growing and still agree.
#include <gtest/gtest.h>

#include "net/Mesh.h"
#include "objects/OreDeposit.h"

namespace {

class HostLossTest : public MeshTest {
protected:
    static constexpr int kOre = 1000;
    OreDeposit* DepositOf(Machine& m) {
        return dynamic_cast<OreDeposit*>(m.world.FindOreDeposit(SimId(0, 400)));
    }
    // Every live machine lets its deposit update once its grow timer has run out.
    void Grow() {
        clock.Advance(OreDeposit::kGrowMs + 16);
        for (auto& m : machines) {
            if (!m) continue;
            SetObjectWorld(&m->world);
            DepositOf(*m)->Update(16);
        }
    }
    // Ticks until every live machine holds the same ore; that amount, or -1.
    int SettledOre() {
        int ore = -1;
        const bool settled = TickUntil([&] {
            ore = -1;
            for (auto& m : machines) {
                if (!m) continue;
                const int here = DepositOf(*m)->GetStored();
                if (ore != -1 && here != ore) return false;
                ore = here;
            }
            return true;
        });
        return settled ? ore : -1;
    }
};

TEST_F(HostLossTest, TheLowestPlayerLeftGrowsTheDepositsOnceTheHostIsLost) {
    ASSERT_TRUE(Mesh(3));
    for (auto& m : machines) {
        const int own = m->screen->PlayerNumber();
        m->world.localPlayer = ValueTriple(own);
        m->world.networkHost = own == 1 ? 1 : 0;
        m->land.records.players = 3;
        m->land.records.allBelowEmpty = own == 1 ? 1 : 0;
        std::unique_ptr<GameObject> deposit =
            std::make_unique<OreDeposit>(m->land.Centre(5, 5), Size(32, 32), nullptr,
                                         CollisionFilter(0, 0, 0, 0, 0), SimId(0, 400));
        deposit->local = 0;
        ASSERT_EQ(m->world.AddOreDeposit(deposit), 1);
        DepositOf(*m)->AddOre(kOre);
    }
    Grow();
    const int grown = SettledOre();
    EXPECT_GT(grown, kOre) << "the host grows them";
    // The host's machine dies: slot 1 is empty, so player 2 is now the lowest left.
    machines[0].reset();
    for (auto& m : machines)
        if (m) m->land.records.allBelowEmpty = m->screen->PlayerNumber() == 2 ? 1 : 0;
    ASSERT_TRUE(TickUntil([&] {
        return machines[1]->world.PeerCount() == 1 && machines[2]->world.PeerCount() == 1;
    }));
    for (size_t k = 1; k < 3; ++k)
        EXPECT_EQ(machines[k]->world.networkHost, machines[k]->screen->PlayerNumber() == 2 ? 1 : 0);
    Grow();
    const int after = SettledOre();
    // Grown once, by one machine: both hold the same larger amount.
    EXPECT_GT(after, grown);
    EXPECT_LE(after, grown + OreDeposit::kFastGrowth);
    SetObjectWorld(nullptr);
}

}  // namespace
