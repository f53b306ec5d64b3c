// The host and join screen with real links on loopback: two to four machines (each a World of
// its own, bound to its own 127.0.0.x) go from host and join to a full mesh, player numbers
// and ready reports, and a joiner whose host is lost gives up; machines of another wire version
// (a later build, or one from before the version travelled) are refused in the lobby.
#include "net/NetworkScreen.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "core/StringTable.h"
#include "net/Mesh.h"
#include "net/WaitingRoom.h"
#include "objects/CommandBuffer.h"
#include "world/CommLink.h"

namespace {

using NetworkScreenTest = MeshTest;

TEST_F(NetworkScreenTest, TheHostStopsListeningOnceTheGameIsSet) {
    Make(2);
    Machine& host = *machines[0];
    // OK without a joiner does nothing.
    host.screen->OnButton(NetworkScreen::kOk);
    EXPECT_EQ(host.screen->State(), 3);
    ASSERT_TRUE(TickUntil([&] { return machines[1]->screen->State() == 5; }));
    // The joiner counts once its first frame is in.
    ASSERT_TRUE(TickUntil([&] { return host.screen->JoinersIn() == 1; }));
    // Every state the two screens pass through shows its own status line.
    std::set<std::pair<int, int>> shown;
    auto record = [&] {
        for (auto& m : machines)
            if (m->screen && !m->ended)
                shown.insert({m->screen->State(), m->screen->StatusString()});
    };
    record();
    host.screen->OnButton(NetworkScreen::kOk);
    ASSERT_TRUE(TickUntil([&] {
        record();
        return AllEnded();
    }));
    const std::map<int, int> statusOf = {
        {0, NetworkScreen::kJoinTypingString},  {1, NetworkScreen::kConnectingString},
        {2, NetworkScreen::kHostWaitingString}, {3, NetworkScreen::kJoinedString},
        {4, NetworkScreen::kJoinedString},      {5, NetworkScreen::kConnectedString}};
    std::set<int> states;
    for (const auto& [state, status] : shown) {
        states.insert(state);
        const auto known = statusOf.find(state);
        EXPECT_EQ(status, known == statusOf.end() ? NetworkScreen::kLinkingString : known->second)
            << state;
    }
    EXPECT_TRUE(states.count(3) && states.count(5)) << states.size();
    EXPECT_GE(*states.rbegin(), 6);
    // A late joiner is refused: nobody listens any more.
    Machine late("127.0.0.3", port);
    CommLink* link = late.world.AddPeer();
    for (int attempt = 0; attempt < 20; ++attempt) {
        EXPECT_EQ(link->Connect("127.0.0.1"), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (attempt == 10) clock.Advance(TcpLink::kRetryMs);
    }
}

TEST_F(NetworkScreenTest, AJoinerWhoseHostIsLostGivesUp) {
    Make(2);
    ASSERT_TRUE(TickUntil([&] { return machines[1]->screen->State() == 5; }));
    Machine& joiner = *machines[1];
    machines[0].reset();
    machines.erase(machines.begin());
    ASSERT_TRUE(TickUntil([&] { return joiner.ended == 1; }));
    EXPECT_EQ(joiner.screen->exitCode, 1);
    EXPECT_EQ(joiner.world.PeerCount(), 0);
}

TEST_F(NetworkScreenTest, AJoinersNumberComesFromTheFirstSetUpAndCancelEnds) {
    World world;
    NetworkScreen screen(world, 'J', nullptr);
    ASSERT_EQ(screen.Load(), 1);
    EXPECT_EQ(screen.StatusString(), NetworkScreen::kJoinTypingString);
    EXPECT_EQ(NetworkScreen::Current(world), &screen);
    screen.SetGameSetup(-1, 3, 0, 0, nullptr, nullptr);
    screen.SetGameSetup(3, 3, 1, 1, "127.0.0.4", nullptr);
    screen.SetGameSetup(4, 2, 0, 0, nullptr, nullptr);
    EXPECT_EQ(screen.PlayerNumber(), 3);
    EXPECT_EQ(screen.PeerCount(), 3);
    screen.OnButton(NetworkScreen::kCancel);
    EXPECT_EQ(screen.Update(16), 0);
    EXPECT_EQ(screen.exitCode, 1);
}

// A frame as the wire carries it (big-endian length, sequence, the constant 100) around a
// heartbeat: what a build without the hello sends first.
std::vector<uint8_t> HeartbeatFrame(uint32_t sequence) {
    CommandBuffer beat;
    beat.SetEnabled(1);
    beat.BeginRecording();
    beat.SendHeartbeat();
    beat.EndRecording();
    std::vector<uint8_t> bytes;
    for (uint32_t word : {static_cast<uint32_t>(beat.Size()), sequence, 100u})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<uint8_t>(word >> shift));
    bytes.insert(bytes.end(), beat.Data(), beat.Data() + beat.Size());
    return bytes;
}

// The side of another version is played by a link that announces it, or by a raw socket that
// sends heartbeats and no hello. The refusing side names both versions and goes on waiting.
TEST_F(NetworkScreenTest, AMachineOfAnotherVersionIsRefusedInTheLobby) {
    SetStringTableText(std::string(199, '\r') + "%d joined" + std::string(333 - 199, '\r') +
                       "Joiner %d refused, here %d.\rHost %d refused, here %d.\r");
    const std::string here = std::to_string(kWireVersion);
    struct Case {
        const char* what;
        // Who is of the other version: 'J' the joiner, 'H' the host.
        char other;
        int version;
        bool oldBuild;
    };
    const Case cases[] = {
        {"a joiner of a later build", 'J', kWireVersion + 1, false},
        {"a joiner of version 0", 'J', 0, false},
        {"a joiner from before the version travelled", 'J', kWireVersionNone, true},
        {"a host of a later build", 'H', kWireVersion + 5, false},
        {"a host from before the version travelled", 'H', kWireVersionNone, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        machines.clear();
        const int casePort = FreePort();
        uint32_t loopback = 0;
        ASSERT_EQ(sockets::Resolve("127.0.0.1", loopback), 1);
        if (c.other == 'J') {
            machines.push_back(std::make_unique<Machine>("127.0.0.1", casePort));
            Machine& host = *machines[0];
            host.Open('H');
            int raw = -1;
            if (c.oldBuild) {
                ASSERT_TRUE(TickUntil([&] { return host.screen->Room() != nullptr; }));
                ASSERT_GE(sockets::StartConnect("127.0.0.3", loopback, casePort, raw), 0);
                ASSERT_TRUE(TickUntil([&] { return sockets::ConnectResult(raw) == 1; }));
                const std::vector<uint8_t> beats = HeartbeatFrame(1);
                sockets::Send(raw, beats.data(), beats.size());
            } else {
                machines.push_back(std::make_unique<Machine>("127.0.0.3", casePort));
                machines[1]->Open('J', "127.0.0.1");
                static_cast<TcpLink*>(machines[1]->world.peerSlots[0].peerLink)
                    ->SetAnnouncedVersion(c.version);
            }
            const std::string line =
                "Joiner " + std::to_string(c.version) + " refused, here " + here + ".";
            ASSERT_TRUE(TickUntil([&] { return host.screen->StatusText() == line; }));
            EXPECT_EQ(host.screen->JoinersIn(), 0);
            EXPECT_EQ(host.world.PeerCount(), 0);
            EXPECT_EQ(host.screen->Room()->Waiting(), 0);
            EXPECT_EQ(host.screen->State(), 3);
            // The joiner finds itself closed before any set-up and gives up.
            if (c.oldBuild) {
                uint8_t bytes[64];
                EXPECT_TRUE(PollUntil([&] {
                    long n = 0;
                    while ((n = sockets::Receive(raw, bytes, sizeof bytes)) > 0) {
                    }
                    return n < 0;
                }));
                sockets::Close(raw);
            } else {
                ASSERT_TRUE(TickUntil([&] { return machines[1]->ended == 1; }));
                EXPECT_EQ(machines[1]->screen->exitCode, 1);
                EXPECT_EQ(machines[1]->screen->PlayerNumber(), -1);
            }
            // A joiner of this version gets in, and the line gives way to the count.
            machines.push_back(std::make_unique<Machine>("127.0.0.4", casePort));
            machines.back()->Open('J', "127.0.0.1");
            ASSERT_TRUE(TickUntil([&] { return host.screen->JoinersIn() == 1; }));
            EXPECT_EQ(host.screen->StatusText(), "1 joined");
        } else {
            int listener = -1;
            int raw = -1;
            if (c.oldBuild) {
                listener = sockets::OpenListener("127.0.0.1", casePort, 3);
                ASSERT_NE(listener, -1);
            } else {
                machines.push_back(std::make_unique<Machine>("127.0.0.1", casePort));
                std::function<std::unique_ptr<CommLink>()> make = machines[0]->world.makeLink;
                const int version = c.version;
                machines[0]->world.makeLink = [make, version]() -> std::unique_ptr<CommLink> {
                    std::unique_ptr<CommLink> link = make();
                    static_cast<TcpLink*>(link.get())->SetAnnouncedVersion(version);
                    return link;
                };
                machines[0]->Open('H');
            }
            machines.push_back(std::make_unique<Machine>("127.0.0.3", casePort));
            Machine& joiner = *machines.back();
            joiner.Open('J', "127.0.0.1");
            if (c.oldBuild) {
                char peer[16];
                ASSERT_TRUE(TickUntil([&] {
                    raw = raw == -1 ? sockets::Accept(listener, peer, sizeof peer) : raw;
                    return raw != -1;
                }));
                const std::vector<uint8_t> beats = HeartbeatFrame(1);
                sockets::Send(raw, beats.data(), beats.size());
            }
            const std::string line =
                "Host " + std::to_string(c.version) + " refused, here " + here + ".";
            ASSERT_TRUE(TickUntil([&] { return joiner.screen->StatusText() == line; }));
            EXPECT_EQ(joiner.screen->State(), 0);
            EXPECT_EQ(joiner.ended, 0);
            EXPECT_EQ(joiner.screen->PlayerNumber(), -1);
            // It holds one fresh link, as when it first opened, and may press OK again.
            EXPECT_EQ(joiner.world.PeerCount(), 1);
            EXPECT_EQ(joiner.world.peerSlots[0].peerLink->ConnectionLost(), 0);
            EXPECT_STREQ(joiner.world.statusText, "");
            if (c.oldBuild) {
                sockets::Close(raw);
                sockets::Close(listener);
            } else {
                // The host took it for a joiner of its own version, then lost it: no line.
                ASSERT_TRUE(TickUntil([&] { return machines[0]->screen->JoinersIn() == 0; }));
                EXPECT_STREQ(machines[0]->world.statusText, "");
            }
        }
    }
    machines.clear();
    ClearStringTable();
}

}  // namespace
