// The host and join screen with real links on loopback: two to four machines (each a World of
// its own, bound to its own 127.0.0.x) go from host and join to a full mesh, player numbers
// and ready reports, and a joiner whose host is lost gives up.
#include "net/NetworkScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/BitmapEncoder.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "net/Loopback.h"
#include "net/NetworkPlay.h"
#include "objects/CommandBuffer.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"
#include "world/CommLink.h"
#include "world/World.h"

namespace {

std::vector<uint8_t> SolidPicture(int width, int height, uint8_t colour) {
    const std::vector<uint8_t> pixels(static_cast<size_t>(width * height), colour);
    return EncodeRawBitmap(pixels.data(), width, height, width);
}

// A machine of the test: its World, bound to its own address, and its screen.
struct Machine {
    Machine(const std::string& address, int port) : address(address) {
        InstallNetworkPlay(world, address, port);
    }
    // Opens the screen on a first peer link, as the main menu does, and presses OK: the host
    // starts listening, a joiner starts connecting to the host.
    void Open(char mode, const char* host = nullptr) {
        screen = std::make_unique<NetworkScreen>(world, mode, world.AddPeer());
        ASSERT_EQ(screen->Load(), 1);
        if (host) screen->SetHostText(host);
        screen->OnButton(NetworkScreen::kOk);
    }
    void Tick() {
        world.NetworkStep();
        if (!ended && screen && screen->Update(16) == 0) ended = 1;
    }
    std::set<int> PeerTeams() const {
        std::set<int> teams;
        for (int slot = 0; slot < world.PeerCount(); ++slot)
            teams.insert(world.peerTeams[slot]);
        return teams;
    }

    std::string address;
    World world;
    std::unique_ptr<NetworkScreen> screen;
    int ended = 0;
};

class NetworkScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory("Assets");
        ResourceFile::SetAssetPath(".\\Assets\\");
        PackWriter pictures(1, 3);
        for (int row = 0; row < 3; ++row)
            pictures.SetEntry(0, row, SolidPicture(8, 8, static_cast<uint8_t>(row + 1)));
        WriteBytes("Assets/" + std::string(NetworkScreen::kBackgroundPack), pictures.Build());
        PackWriter busy(1, 1);
        busy.SetEntry(0, 0, SolidPicture(4, 4, 9));
        WriteBytes("Assets/" + std::string(NetworkScreen::kBusyPack), busy.Build());
    }
    void TearDown() override {
        machines.clear();
        ResourceFile::SetAssetPath("");
    }

    // Machine 0 hosts on 127.0.0.1; machine k joins from 127.0.0.(k + 1).
    void Make(int count) {
        for (int k = 0; k < count; ++k)
            machines.push_back(std::make_unique<Machine>("127.0.0." + std::to_string(k + 1), port));
        machines[0]->Open('H');
        for (int k = 1; k < count; ++k)
            machines[static_cast<size_t>(k)]->Open('J', "127.0.0.1");
    }
    // Ticks every machine until the condition holds (bounded); each round is a 16 ms frame
    // of the test clock, so a refused mesh connection is retried after 5000 ms of it.
    template <typename Condition>
    bool TickUntil(Condition condition) {
        return PollUntil([&] {
            clock.Advance(16);
            for (auto& m : machines)
                m->Tick();
            return condition();
        });
    }
    bool AllEnded() const {
        return std::all_of(machines.begin(), machines.end(),
                           [](const auto& m) { return m->ended; });
    }

    FakeClock clock{1000};
    ScopedWorkingDir directory;
    const int port = FreePort();
    std::vector<std::unique_ptr<Machine>> machines;
};

TEST_F(NetworkScreenTest, MachinesEndInAFullMeshWithTheirPlayerNumbers) {
    // Two and three joiners: the host presses OK once they are in; with three it goes on by
    // itself.
    for (int joiners : {1, 2, 3}) {
        SCOPED_TRACE(joiners);
        machines.clear();
        Make(joiners + 1);
        Machine& host = *machines[0];
        ASSERT_TRUE(TickUntil([&] {
            return joiners == 3
                       ? host.screen->State() >= 4
                       : host.world.PeerCount() == joiners + 1 &&
                             std::all_of(machines.begin() + 1, machines.end(),
                                         [](const auto& m) { return m->screen->State() == 5; });
        }));
        if (joiners < 3) host.screen->OnButton(NetworkScreen::kOk);
        ASSERT_TRUE(TickUntil([&] { return AllEnded(); }));
        std::set<int> numbers;
        for (size_t k = 0; k < machines.size(); ++k) {
            Machine& m = *machines[k];
            EXPECT_EQ(m.screen->exitCode, 0);
            EXPECT_EQ(m.screen->PeerCount(), joiners);
            EXPECT_EQ(m.world.PeerCount(), joiners);
            EXPECT_EQ(m.world.networkGame, 1);
            numbers.insert(m.screen->PlayerNumber());
            // Every peer slot knows the player it talks to: every number but its own.
            std::set<int> others;
            for (int n = 1; n <= joiners + 1; ++n)
                if (n != m.screen->PlayerNumber()) others.insert(n);
            EXPECT_EQ(m.PeerTeams(), others);
        }
        std::set<int> expected;
        for (int n = 1; n <= joiners + 1; ++n)
            expected.insert(n);
        EXPECT_EQ(numbers, expected);
        EXPECT_EQ(host.screen->PlayerNumber(), 1);
    }
}

TEST_F(NetworkScreenTest, TheHostStopsListeningOnceTheGameIsSet) {
    Make(2);
    Machine& host = *machines[0];
    // OK without a joiner does nothing.
    host.screen->OnButton(NetworkScreen::kOk);
    EXPECT_EQ(host.screen->State(), 3);
    ASSERT_TRUE(TickUntil([&] { return machines[1]->screen->State() == 5; }));
    ASSERT_TRUE(TickUntil([&] { return host.world.PeerCount() == 2; }));
    host.screen->OnButton(NetworkScreen::kOk);
    ASSERT_TRUE(TickUntil([&] { return AllEnded(); }));
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
