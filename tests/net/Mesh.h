#pragma once
// Machines of a network game in one test process: each a World on a small land of its own,
// bound to its own 127.0.0.x, with the host and join screen on its first peer link. Machine 0
// hosts; the others join it. Each tick is a 16 ms frame of the test clock, so a refused mesh
// connection is retried after 5000 ms of it.
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
#include "net/NetworkScreen.h"
#include "objects/ObjectWorld.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"
#include "world/RegistryTestFixture.h"

struct Machine {
    Machine(const std::string& address, int port) : address(address) {
        InstallNetworkPlay(world, address, port);
    }
    // Opens the screen on a first peer link, as the main menu does, and presses OK: the host
    // starts listening, a joiner starts connecting to the host.
    void Open(char mode, const char* host = nullptr) {
        screen = std::make_unique<NetworkScreen>(world, mode, world.AddPeer());
        // The land fixture pointed the assets at its own files.
        ResourceFile::SetAssetPath(".\\Assets\\");
        ASSERT_EQ(screen->Load(), 1);
        if (host) screen->SetHostText(host);
        screen->OnButton(NetworkScreen::kOk);
    }
    // One frame: the network step (which applies what arrived to this machine's objects), then
    // the screen while it runs.
    void Tick() {
        SetObjectWorld(&world);
        world.NetworkStep();
        if (!ended && screen && screen->Update(16) == 0) ended = 1;
    }
    std::set<int> PeerTeams() const {
        std::set<int> teams;
        for (int slot = 0; slot < world.PeerCount(); ++slot)
            teams.insert(world.peerSlots[slot].peerTeam);
        return teams;
    }

    std::string address;
    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    std::unique_ptr<NetworkScreen> screen;
    int ended = 0;
};

class MeshTest : public ::testing::Test {
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
        SetObjectWorld(nullptr);
        ResourceFile::SetAssetPath("");
    }
    static std::vector<uint8_t> SolidPicture(int width, int height, uint8_t colour) {
        const std::vector<uint8_t> pixels(static_cast<size_t>(width * height), colour);
        return EncodeRawBitmap(pixels.data(), width, height, width);
    }

    // Machine 0 hosts on 127.0.0.1; machine k joins from 127.0.0.(k + 1).
    void Make(int count) {
        for (int k = 0; k < count; ++k)
            machines.push_back(std::make_unique<Machine>("127.0.0." + std::to_string(k + 1), port));
        machines[0]->Open('H');
        for (int k = 1; k < count; ++k)
            machines[static_cast<size_t>(k)]->Open('J', "127.0.0.1");
    }
    // Ticks every machine until the condition holds (bounded).
    template <typename Condition>
    bool TickUntil(Condition condition) {
        return PollUntil([&] {
            clock.Advance(16);
            for (auto& m : machines)
                if (m) m->Tick();
            return condition();
        });
    }
    bool AllEnded() const {
        return std::all_of(machines.begin(), machines.end(),
                           [](const auto& m) { return !m || m->ended; });
    }
    // Builds the mesh of `count` machines: the host presses OK once every joiner is in (the
    // third one starts the game by itself).
    bool Mesh(int count) {
        Make(count);
        Machine& host = *machines[0];
        const bool joined = TickUntil([&] {
            return count == 4
                       ? host.screen->State() >= 4
                       : host.screen->JoinersIn() == count - 1 &&
                             std::all_of(machines.begin() + 1, machines.end(),
                                         [](const auto& m) { return m->screen->State() == 5; });
        });
        if (!joined) return false;
        if (count < 4) host.screen->OnButton(NetworkScreen::kOk);
        return TickUntil([&] { return AllEnded(); });
    }

    FakeClock clock{1000};
    ScopedWorkingDir directory;
    const int port = FreePort(World::kPeerSlots + 1);
    std::vector<std::unique_ptr<Machine>> machines;
};
