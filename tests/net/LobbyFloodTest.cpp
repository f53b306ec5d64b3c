// The host's lobby under a flood and with lost peers, on loopback with the test clock: fifty
// connections that never send a frame hold no player's place for long, and a real joiner still
// gets in and the game starts; a peer lost while the mesh forms sends every side back to wait.
#include <gtest/gtest.h>

#include "core/StringTable.h"
#include "net/Mesh.h"
#include "world/CommLink.h"

namespace {

using LobbyTest = MeshTest;

TEST_F(LobbyTest, FiftySilentConnectionsThenARealJoinerWhoGetsInAndStarts) {
    Make(1);
    Machine& host = *machines[0];
    auto silentEnd = std::make_shared<TcpEndpoint>("127.0.0.9", port);
    std::vector<std::unique_ptr<TcpLink>> silent;
    for (int i = 0; i < 50; ++i) {
        silent.push_back(std::make_unique<TcpLink>(silentEnd));
        ASSERT_EQ(silent.back()->Init(), 1);
    }
    int connected = 0;
    int mostCounted = 0;
    // Until every silent connection was taken in and dropped again; each holds a slot at most
    // ten seconds of the clock.
    for (int tick = 0; tick < 40000 && connected < 50; ++tick) {
        clock.Advance(16);
        host.Tick();
        connected = 0;
        for (auto& link : silent)
            connected += link->State() == TcpLink::kConnected || link->Connect("127.0.0.1") ? 1 : 0;
        mostCounted = std::max(mostCounted, host.screen->JoinersIn());
        if (tick % 16 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(connected, 50);
    EXPECT_EQ(mostCounted, 0) << "a connection that sent no frame counted as a joiner";
    EXPECT_EQ(host.screen->State(), 3);
    // The real joiner: taken in through the listener that stayed open, counted, and started.
    machines.push_back(std::make_unique<Machine>("127.0.0.2", port));
    machines[1]->Open('J', "127.0.0.1");
    bool joined = false;
    for (int tick = 0; tick < 40000 && !joined; ++tick) {
        clock.Advance(16);
        for (auto& m : machines)
            m->Tick();
        for (auto& link : silent)
            if (link->State() != TcpLink::kConnected) link->Connect("127.0.0.1");
        joined = host.screen->JoinersIn() == 1 && machines[1]->screen->State() == 5;
        if (tick % 16 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(joined);
    host.screen->OnButton(NetworkScreen::kOk);
    const bool ended = TickUntil([&] { return AllEnded(); });
    ASSERT_TRUE(ended);
    EXPECT_EQ(host.screen->exitCode, 0);
    EXPECT_EQ(machines[1]->screen->exitCode, 0);
    EXPECT_EQ(machines[1]->screen->PlayerNumber(), 2);
    EXPECT_EQ(host.world.PeerCount(), 1);
}

TEST_F(LobbyTest, APeerLostWhileTheMeshFormsSendsEverySideBackToWait) {
    SetStringTableText(std::string(312, '\r') + "Player %d was lost.\rA player was lost.\r");
    Make(3);
    Machine& host = *machines[0];
    ASSERT_TRUE(TickUntil([&] { return host.screen->JoinersIn() == 2; }));
    host.screen->OnButton(NetworkScreen::kOk);
    // Player 3's machine stops before it listens for player 2, who keeps trying to reach it:
    // the host and player 2 wait in state 7 for a mesh that cannot stand.
    const int lost = 3;
    ASSERT_TRUE(PollUntil([&] {
        clock.Advance(16);
        machines[0]->Tick();
        machines[1]->Tick();
        return host.screen->State() == 7 && machines[1]->screen->State() == 7;
    }));
    ASSERT_EQ(machines[1]->screen->PlayerNumber(), 2);
    // A report kept for the set-up of a game that cannot stand is forgotten with it.
    host.screen->HoldSetup(SetupSettings(), 0, 0);
    machines[2].reset();
    ASSERT_TRUE(
        TickUntil([&] { return host.screen->State() == 3 && machines[1]->screen->State() == 0; }));
    EXPECT_TRUE(host.screen->HeldSetups().empty());
    EXPECT_EQ(host.screen->StatusText(), "Player " + std::to_string(lost) + " was lost.");
    EXPECT_FALSE(machines[1]->screen->StatusText().empty());
    EXPECT_EQ(host.ended, 0);
    EXPECT_EQ(machines[1]->ended, 0);
    // Both wait with one fresh link each: the host listens again, the joiner may press OK.
    EXPECT_EQ(host.world.PeerCount(), 1);
    EXPECT_EQ(machines[1]->world.PeerCount(), 1);
    // And the two link up again.
    machines[1]->screen->OnButton(NetworkScreen::kOk);
    ASSERT_TRUE(TickUntil([&] { return host.screen->JoinersIn() == 1; }));
    host.screen->OnButton(NetworkScreen::kOk);
    ASSERT_TRUE(TickUntil([&] { return AllEnded(); }));
    EXPECT_EQ(host.screen->exitCode, 0);
    EXPECT_EQ(machines[1]->screen->PlayerNumber(), 2);
    ClearStringTable();
}

TEST_F(LobbyTest, AHostLostWhileTheMeshFormsIsNamedAsPlayerOne) {
    SetStringTableText(std::string(312, '\r') + "Player %d was lost.\rA player was lost.\r");
    Make(3);
    ASSERT_TRUE(TickUntil([&] { return machines[0]->screen->JoinersIn() == 2; }));
    machines[0]->screen->OnButton(NetworkScreen::kOk);
    // As above, player 3's machine stops, so player 2 waits in state 7; then the host goes.
    ASSERT_TRUE(PollUntil([&] {
        clock.Advance(16);
        machines[0]->Tick();
        machines[1]->Tick();
        return machines[1]->screen->State() == 7;
    }));
    machines[0].reset();
    ASSERT_TRUE(TickUntil([&] { return machines[1]->screen->State() == 0; }));
    EXPECT_EQ(machines[1]->screen->StatusText(), "Player 1 was lost.");
    ClearStringTable();
}

}  // namespace
