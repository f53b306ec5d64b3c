// A machine's start of a network game while its peers' factory words come: before it builds its
// game (the set-up still open), while it builds it, and after. Every factory must stand once
// the start is done, and the game must stop waiting for factories.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/CommandBytes.h"
#include "net/CommandExecutor.h"
#include "net/CommandReceivers.h"
#include "objects/ObjectWorld.h"
#include "support/MemoryLink.h"
#include "world/ScenarioFixture.h"

namespace {

enum class Moment { Before, During, After };

// Which player's word comes when; the machine plays `local` (1 hosts). A peer's factory word
// is followed on its link by the factory's state, which moves it by (32, 0).
struct StartRow {
    const char* name;
    int local;
    std::map<int, Moment> words;
};

// Where the peer's machine placed its factory, and what it stored there.
Point PlacedAt(int team) {
    return Point(32 * (3 + team) + 16, 32 * (6 + team) + 16);
}
std::vector<uint8_t> FactoryWord(int team, const Point& at) {
    return CommandBytes(11, SimId(team, 90 + team))
        .P(at)
        .L(700 + team)
        .L(20)
        .L(300)
        .B('T')
        .B(2)
        .Done();
}
std::vector<uint8_t> StateWord(int team, const Point& at) {
    return CommandBytes(9, SimId(team, 90 + team)).P(at).B(3).Done();
}

// Counts the words the executor refused.
struct RefusalCount : CommandReceivers {
    void Refused(const char* /*line*/) override { ++refused; }
    int refused = 0;
};

TEST(NetworkStart, EveryPeersFactoryStandsWhenItsWordComesAtAnyMomentOfTheStart) {
    const std::vector<StartRow> rows = {
        // As seen: a machine held up while the host started, the host's and player 4's words
        // came before its start, player 2's after.
        {"two before, one after",
         3,
         {{1, Moment::Before}, {2, Moment::After}, {4, Moment::Before}}},
        {"every word while the start builds",
         3,
         {{1, Moment::During}, {2, Moment::During}, {4, Moment::During}}},
        {"one at each moment", 2, {{1, Moment::Before}, {3, Moment::During}, {4, Moment::After}}},
        // The host's start lifts the pause once the last factory is in.
        {"the host, every word before",
         1,
         {{2, Moment::Before}, {3, Moment::Before}, {4, Moment::Before}}},
        {"every word after", 4, {{1, Moment::After}, {2, Moment::After}, {3, Moment::After}}},
    };
    for (const StartRow& row : rows) {
        SCOPED_TRACE(row.name);
        ScenarioWorld s;
        World& w = *s.world;
        SetObjectWorld(&w);
        w.makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
        RefusalCount receivers;
        CommandExecutor executor(w, receivers);
        w.executeCommands = [&executor](CommandBuffer& message, int slot) {
            executor.Execute(message, slot);
        };
        std::map<int, int> slotOf;
        for (const auto& [team, moment] : row.words) {
            slotOf[team] = w.PeerCount();
            w.AddPeer();
            w.peerSlots[slotOf[team]].peerTeam = team;
        }
        w.StartRecording();
        w.networkHost = row.local == 1 ? 1 : 0;
        auto deliver = [&](Moment moment) {
            for (const auto& [team, when] : row.words) {
                if (when != moment) continue;
                const Point at = PlacedAt(team);
                CommandBuffer& message = *w.peerSlots[slotOf[team]].peerCommands;
                message.Rewind();
                const std::vector<uint8_t> words =
                    Message({FactoryWord(team, at), StateWord(team, at + Point(32, 0))});
                std::copy(words.begin(), words.end(), message.start);
                message.cursor = message.start + words.size();
                EXPECT_EQ(executor.Execute(message, slotOf[team]), 1);
            }
        };
        // While it builds: as the start makes this machine's own factory.
        auto makeBuilding = w.scenarioMakers.createBuildingSim;
        bool during = false;
        w.scenarioMakers.createBuildingSim = [&](char clan, const SimId& id, const Point& p,
                                                 int flag) {
            if (id.team == row.local && !during) {
                during = true;
                deliver(Moment::During);
            }
            std::unique_ptr<GameObject> building = makeBuilding(clan, id, p, flag);
            building->local = flag;
            return building;
        };
        auto d = std::make_unique<Scenario>();
        d->localTeam = row.local;
        d->clanLetter = 'V';
        d->colour = row.local;
        d->artifacts = 0;
        d->networkPlayers = 4;
        for (int team = 1; team <= 4; ++team)
            d->playerSlots[team] = team == row.local ? 'V' : 'T';
        d->ShuffleStartOrder();
        deliver(Moment::Before);
        ASSERT_EQ(s.Start(std::move(d)), 1);
        EXPECT_TRUE(during);
        deliver(Moment::After);
        const Scenario& game = *w.scenario;
        for (int team = 1; team <= 4; ++team) {
            SCOPED_TRACE(team);
            GameObject* factory = w.TeamFactory(team);
            EXPECT_NE(factory, nullptr);
            EXPECT_EQ(game.factoryPlaced[team], 1);
            if (!factory || team == row.local) continue;
            // The word's own factory, with what it said, and the words behind it after it.
            EXPECT_EQ(factory->id, SimId(team, 90 + team));
            EXPECT_EQ(factory->GetStored(), 700 + team);
            EXPECT_EQ(factory->GetPosition(), PlacedAt(team) + Point(32, 0));
        }
        EXPECT_EQ(receivers.refused, 0);
        EXPECT_EQ(game.factoriesAnnounced, 3);
        EXPECT_EQ(game.waitingForFactories, 0);
        EXPECT_EQ(w.paused, row.local == 1 ? 0 : 1);
        EXPECT_EQ(w.pauseLocked, row.local == 1 ? 0 : 1);
        w.ClosePeers(nullptr);
        SetObjectWorld(nullptr);
    }
}

}  // namespace
