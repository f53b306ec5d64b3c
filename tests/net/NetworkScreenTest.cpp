// The host and join screen with real links on loopback: two to four machines (each a World of
// its own, bound to its own 127.0.0.x) go from host and join to a full mesh, player numbers
// and ready reports, and a joiner whose host is lost gives up.
#include "net/NetworkScreen.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "net/Mesh.h"
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

}  // namespace
