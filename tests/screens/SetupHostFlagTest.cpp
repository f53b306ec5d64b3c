// Only the set-up screen of the machine that hosts a network game marks the World as the host:
// without the mark nobody lifts the pause a network game starts under.
#include <gtest/gtest.h>

#include "screens/FrontEndTestFixture.h"
#include "screens/SetupScreen.h"
#include "support/MemoryLink.h"

namespace {

TEST_F(FrontEndTest, OnlyTheHostsSetUpScreenMarksTheWorldAsTheHost) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    f->world->AddPeer();
    const struct {
        int network, host, slot, marked;
    } cases[] = {{1, 1, 1, 1}, {1, 0, 2, 0}, {0, 0, 0, 0}, {1, 1, 1, 1}, {0, 1, 0, 0}};
    for (const auto& c : cases) {
        SetupParams p;
        p.scenarioList = p.clanGroup = p.techGroup = 1;
        p.network = c.network;
        p.host = c.host;
        p.ownSlot = c.slot;
        p.players = c.network ? 2 : 0;
        Open<SetupScreen>(*f->world, p);
        EXPECT_EQ(f->world->networkHost, c.marked) << c.network << c.host;
        screen->Unload();
    }
}

}  // namespace
