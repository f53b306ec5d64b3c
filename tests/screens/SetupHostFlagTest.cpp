// Only the set-up screen of the machine that hosts a network game marks the World as the host:
// without the mark nobody lifts the pause a network game starts under. Every other player's
// colour stays unchosen until that player reports, and a report's tech level is taken whole.
#include <gtest/gtest.h>

#include "objects/CommandBuffer.h"
#include "screens/FrontEndTestFixture.h"
#include "screens/SetupScreen.h"
#include "support/MemoryLink.h"
#include "world/Scenario.h"

namespace {

TEST_F(FrontEndTest, OnlyTheHostsSetUpScreenMarksTheWorldAsTheHost) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    f->world->AddPeer();
    WriteFile("QX.INI", "[OPTIONS]\nTECH=5\n");
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
        // A network set-up gives the World its own slot and tells the peers its settings at
        // once; a single player's leaves the World's player alone.
        f->world->localPlayer.first = 4;
        if (c.network) f->world->StartRecording();
        const size_t sentBefore = f->world->Commands().Size();
        SetupScreen& s = Open<SetupScreen>(*f->world, p);
        EXPECT_EQ(f->world->networkHost, c.marked) << c.network << c.host;
        EXPECT_EQ(f->world->localPlayer.first, c.network ? c.slot : 4);
        int reportedSlot = 0;
        const uint8_t* bytes = f->world->Commands().Data();
        for (size_t at = sentBefore; at + 10 <= f->world->Commands().Size() && bytes[at] >= 7;
             at += bytes[at])
            if (bytes[at + 1] == 24) reportedSlot = bytes[at + 9];
        EXPECT_EQ(reportedSlot, c.network ? c.slot : 0);
        EXPECT_EQ(s.Record().teamColours[2], c.network ? -1 : Scenario::kDroppedPlayerColour);
        EXPECT_EQ(s.Record().techLevel, 5);
        if (c.network && !c.host) {
            SetupSettings host;
            host.techLevel = 1;
            s.ApplyPeerSettings(host, 0, 0);
            EXPECT_EQ(s.Record().techLevel, 1);
        }
        screen->Unload();
    }
}

}  // namespace
