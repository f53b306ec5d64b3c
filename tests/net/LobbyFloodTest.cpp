// The host's lobby under a flood and with lost peers, on loopback with the test clock: two
// hundred clients from one address that connect, never send a byte and reconnect as soon as
// they are closed hold no player's place, and two real joiners from one address still get in,
// keep their slots and start the game; port scans and browsers leave no line naming a player;
// a peer lost while the mesh forms sends every side back to wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/StringTable.h"
#include "net/Mesh.h"
#include "net/WaitingRoom.h"
#include "support/MemoryLink.h"
#include "world/CommLink.h"

namespace {

using LobbyTest = MeshTest;

// Clients from one address that connect, read what the host sends them without ever sending
// a byte, and connect again as soon as they find themselves closed (or their attempt failed).
// Bounded: each Step makes at most one attempt per client.
class Flood {
public:
    Flood(const char* from, int port, int count) : from(from), port(port), clients(count) {
        sockets::Resolve("127.0.0.1", host);
    }
    ~Flood() { Stop(); }
    void Step() {
        for (Client& c : clients) {
            if (c.fd == -1) {
                ++attempts;
                const int result = sockets::StartConnect(from, host, port, c.fd);
                c.connected = result == 1;
                c.rounds = 0;
                continue;
            }
            if (!c.connected) {
                const int result = sockets::ConnectResult(c.fd);
                // An attempt the listener's full queue left hanging starts again later.
                if (result < 0 || (result == 0 && ++c.rounds > 200)) Close(c);
                c.connected = result == 1;
                continue;
            }
            uint8_t bytes[256];
            long n = 0;
            while ((n = sockets::Receive(c.fd, bytes, sizeof bytes)) > 0) {
            }
            if (n < 0) {
                ++closedByHost;
                Close(c);
            }
        }
    }
    void Stop() {
        for (Client& c : clients)
            Close(c);
    }
    int attempts = 0;
    int closedByHost = 0;

private:
    struct Client {
        int fd = -1;
        bool connected = false;
        int rounds = 0;
    };
    static void Close(Client& c) {
        if (c.fd != -1) sockets::Close(c.fd);
        c.fd = -1;
        c.connected = false;
    }
    const char* from;
    int port;
    uint32_t host = 0;
    std::vector<Client> clients;
};

// One round: the clock moves a frame on, every machine ticks, the flood steps.
struct Rounds {
    template <typename Each>
    void Run(Each each) {
        each();
        if (++count % 16 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int count = 0;
};

// The joiner's way in may be held up by the kernel when the listener's queue is full at the
// moment its connection arrives: it then tries again 5 s later by the test clock. On a machine
// so loaded that the kernel answers the flood's connections out of turn, more than one try may
// be needed, which the 15 s still allow for.
TEST_F(LobbyTest, TwoHundredReconnectingSilentClientsKeepNoRealJoinerOut) {
    Make(1);
    Machine& host = *machines[0];
    Flood flood("127.0.0.9", port, 200);
    Rounds rounds;
    int mostCounted = 0;
    int mostHeld = 0;
    auto round = [&] {
        rounds.Run([&] {
            clock.Advance(16);
            for (auto& m : machines)
                m->Tick();
            flood.Step();
        });
        mostCounted = std::max(mostCounted, host.screen->JoinersIn());
        mostHeld = std::max(mostHeld, host.world.PeerCount());
    };
    auto pushedOut = [&] { return host.screen->Room() ? host.screen->Room()->PushedOut() : 0; };
    // The flood alone, until the host has pushed out four hundred of its connections.
    for (int r = 0; r < 20000 && pushedOut() < 400; ++r)
        round();
    ASSERT_GE(pushedOut(), 400);
    EXPECT_EQ(mostCounted, 0) << "a connection that sent no frame counted as a joiner";
    EXPECT_EQ(mostHeld, 0) << "a connection that sent no frame held a slot";
    EXPECT_EQ(host.screen->Room()->Waiting(), WaitingRoom::kRoom);
    EXPECT_EQ(host.screen->State(), 3);
    // Two real joiners from one address, one after the other: each is in within 15 s.
    for (size_t joiner = 1; joiner <= 2; ++joiner) {
        SCOPED_TRACE(joiner);
        machines.push_back(std::make_unique<Machine>("127.0.0.2", port));
        machines[joiner]->Open('J', "127.0.0.1");
        const uint32_t began = clock.Now();
        bool joined = false;
        for (int r = 0; r < 20000 && !joined && clock.Now() - began <= 20000; ++r) {
            round();
            joined = host.screen->JoinersIn() == static_cast<int>(joiner) &&
                     machines[joiner]->screen->State() == 5;
        }
        ASSERT_TRUE(joined);
        EXPECT_LE(clock.Now() - began, 15000u);
    }
    // The joiners keep their slots while the flood goes on past the silent connections' time.
    const int before = flood.closedByHost;
    const uint32_t began = clock.Now();
    while (clock.Now() - began < TcpLink::kSilentMs + 1000) {
        round();
        ASSERT_EQ(host.screen->JoinersIn(), 2);
        ASSERT_EQ(host.world.PeerCount(), 2);
    }
    EXPECT_GT(flood.closedByHost - before, 100);
    EXPECT_GT(flood.attempts, 600);
    flood.Stop();
    host.screen->OnButton(NetworkScreen::kOk);
    ASSERT_TRUE(TickUntil([&] { return AllEnded(); }));
    EXPECT_EQ(host.screen->exitCode, 0);
    EXPECT_EQ(machines[1]->screen->exitCode, 0);
    EXPECT_EQ(machines[2]->screen->exitCode, 0);
    EXPECT_EQ(machines[1]->screen->PlayerNumber(), 2);
    EXPECT_EQ(machines[2]->screen->PlayerNumber(), 3);
    EXPECT_EQ(host.world.PeerCount(), 2);
    EXPECT_STREQ(host.world.statusText, "");
}

// Connections that are no player's: none is named on the status line, on the host's lobby or
// anywhere a link is found lost.
TEST_F(LobbyTest, NoLineNamesAPlayerWhoNeverJoined) {
    SetStringTableText(std::string(304, '\r') +
                       "Player %d sent damaged data.\rPlayer %d stopped.\r");
    Make(1);
    Machine& host = *machines[0];
    uint32_t address = 0;
    ASSERT_EQ(sockets::Resolve("127.0.0.1", address), 1);
    struct Visitor {
        const char* what;
        std::string bytes;
        bool closes;
    };
    const Visitor visitors[] = {
        {"a port scan", "", true},
        {"a browser", "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", false},
        {"garbage", std::string(40, '\x7f'), false},
        {"half a header", std::string("\0\0\0", 3), false},
        {"silence", "", false},
    };
    ASSERT_TRUE(TickUntil([&] { return host.screen->Room() != nullptr; }));
    std::vector<int> fds;
    for (const Visitor& v : visitors) {
        int fd = -1;
        ASSERT_GE(sockets::StartConnect("127.0.0.5", address, port, fd), 0) << v.what;
        ASSERT_TRUE(PollUntil([&] { return sockets::ConnectResult(fd) == 1; })) << v.what;
        if (!v.bytes.empty()) sockets::Send(fd, v.bytes.data(), v.bytes.size());
        if (v.closes) {
            sockets::Close(fd);
        } else {
            fds.push_back(fd);
        }
    }
    // Every one is taken in, and every one is gone again once the silent ones' time is up.
    ASSERT_TRUE(
        TickUntil([&] { return host.screen->Room() && host.screen->Room()->Accepted() == 5; }));
    const uint32_t began = clock.Now();
    ASSERT_TRUE(TickUntil([&] {
        clock.Advance(64);
        return host.screen->Room()->Waiting() == 0 && clock.Now() - began > TcpLink::kSilentMs;
    }));
    EXPECT_STREQ(host.world.statusText, "");
    EXPECT_EQ(host.screen->JoinersIn(), 0);
    EXPECT_EQ(host.screen->State(), 3);
    for (int fd : fds)
        sockets::Close(fd);
    // Wherever a lost link is checked: only a team a player plays is named, for any reason.
    struct Lost {
        int team;
        int reason;
        const char* line;
    };
    const Lost losses[] = {
        {-1, 0, ""},
        {-1, CommLink::kDroppedDamaged, ""},
        {-1, CommLink::kDroppedStalled, ""},
        {0, CommLink::kDroppedDamaged, ""},
        {2, 0, "Player 2 stopped."},
        {3, CommLink::kDroppedDamaged, "Player 3 sent damaged data."},
        {4, CommLink::kDroppedStalled, "Player 4 stopped."},
    };
    for (const Lost& l : losses) {
        SCOPED_TRACE(l.team * 1000 + l.reason);
        World world;
        world.makeLink = [] { return std::make_unique<MemoryLink>(); };
        auto* link = static_cast<MemoryLink*>(world.AddPeer());
        ASSERT_NE(link, nullptr);
        world.peerSlots[0].peerTeam = l.team;
        if (l.reason) {
            link->Drop(l.reason);
        } else {
            link->lost = 1;
        }
        world.CheckPeers();
        EXPECT_EQ(world.PeerCount(), 0);
        EXPECT_EQ(world.peersLost, 1);
        EXPECT_EQ(world.lastLostTeam, l.team);
        EXPECT_STREQ(world.statusText, l.line);
    }
    ClearStringTable();
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
    // Both wait again: the host listens from its lobby (no slot held), the joiner holds one
    // fresh link and may press OK.
    EXPECT_EQ(host.world.PeerCount(), 0);
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
