#pragma once
// One machine of a network game run in one process: a World on a small open land, recording
// what it sends, with a peer link per other team; another machine's recorded commands are applied
// to it as its slot 0's messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "net/CommandExecutor.h"
#include "net/CommandReceivers.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "support/MemoryLink.h"
#include "world/RegistryTestFixture.h"

struct StreamMachine {
    explicit StreamMachine(const std::vector<int>& peerTeams) {
        world.makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
        for (size_t slot = 0; slot < peerTeams.size(); ++slot) {
            world.AddPeer();
            world.peerSlots[slot].peerTeam = peerTeams[slot];
        }
        world.networkGame = 1;
        world.StartRecording();
        world.commands->Rewind();
    }
    ~StreamMachine() { world.ClosePeers(nullptr); }

    // The other machine's recorded commands, applied here one command at a time; after each,
    // `check` runs with the command's kind.
    template <typename Check>
    void Apply(StreamMachine& from, Check check) {
        SetObjectWorld(&world);
        CommandBuffer& message = *world.peerSlots[0].peerCommands;
        for (const uint8_t* p = from.world.commands->start;
             p < from.world.commands->cursor && p[0] > 0; p += p[0]) {
            message.Rewind();
            std::copy(p, p + p[0], message.start);
            message.cursor = message.start + p[0];
            EXPECT_EQ(executor.Execute(message, 0), 1) << "kind " << int{p[1]};
            check(int{p[1]});
        }
        from.world.commands->Rewind();
    }
    void Apply(StreamMachine& from) {
        Apply(from, [](int) {});
    }

    // The lines of this machine's checksum listing that begin with `prefix` (a list's number
    // and a blank).
    std::vector<std::string> ListingLines(const std::string& prefix) {
        std::string listing;
        world.StateChecksum(&listing);
        std::vector<std::string> lines;
        size_t at = 0;
        for (size_t end = listing.find('\n'); end != std::string::npos;
             at = end + 1, end = listing.find('\n', at))
            if (listing.compare(at, prefix.size(), prefix) == 0)
                lines.push_back(listing.substr(at, end - at));
        return lines;
    }

    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    CommandReceivers receivers;
    CommandExecutor executor{world, receivers};
};
