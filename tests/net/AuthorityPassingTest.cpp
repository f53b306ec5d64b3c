// The authority passes on while its growth words are on the way: each machine sees the deaths
// and link losses that pass it on, and the words, in whatever order its links deliver them, and
// every machine must take every honest growth word.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "map/ObjectKinds.h"
#include "net/CommandBytes.h"
#include "net/CommandExecutor.h"
#include "net/CommandReceivers.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "objects/OreDeposit.h"
#include "support/FakeClock.h"
#include "support/MemoryLink.h"
#include "world/RegistryTestFixture.h"

namespace {

const SimId kDeposit(0, 60);

// A factory's copy that falls once its owner's damage passes its most.
struct FactoryCopy : TestObject {
    FactoryCopy(int team, const Point& at) : TestObject(team, 20, at, ObjectKind::kFactory, 24) {}
    void ApplyDamageState(int32_t value, int32_t, char, char, char) override {
        if (value > damage.Max()) destroyed = 1;
    }
};

struct CountingReceivers : CommandReceivers {
    void Refused(const char* line) override { refused.push_back(line); }
    std::vector<std::string> refused;
};

// What one link delivers, in its order: a growth word of `amount`, the sender's factory's
// fatal damage, or the link's loss.
struct Event {
    enum Kind { kGrowth, kFall, kLoss } kind;
    int amount = 0;
};

Event Growth(int amount) {
    return {Event::kGrowth, amount};
}
const Event kFall{Event::kFall};
const Event kLoss{Event::kLoss};

struct Link {
    int team;
    std::vector<Event> events;
};

// One machine of team `local`, linked to every other team of four; its own factory fallen (a
// beaten machine still linked) when `beaten`.
struct Machine {
    Machine(int local, bool beaten) {
        SetObjectWorld(&world);
        world.makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
        world.localPlayer = ValueTriple(local);
        world.networkGame = 1;
        world.StartRecording();
        world.executeCommands = [this](CommandBuffer& m, int slot) { executor.Execute(m, slot); };
        for (int team = 1; team <= 4; ++team) {
            auto factory = std::make_unique<FactoryCopy>(team, land.Centre(2 + 2 * team, 3));
            factory->local = team == local ? 1 : 0;
            if (team == local) factory->destroyed = beaten ? 1 : 0;
            world.AddBuilding(std::move(factory));
            if (team == local) continue;
            world.AddPeer();
            const int slot = world.PeerCount() - 1;
            world.peerSlots[slot].peerTeam = team;
            world.peerSlots[slot].heardAt = clock.Now();
        }
        std::unique_ptr<GameObject> deposit = std::make_unique<OreDeposit>(
            land.Centre(7, 12), Size(128, 64), nullptr, CollisionFilter(0, 0, 0, 0, 0), kDeposit);
        EXPECT_EQ(world.AddOreDeposit(deposit), 1);
        if (beaten) world.CollectTheDead();
    }
    ~Machine() {
        world.ClosePeers(nullptr);
        SetObjectWorld(nullptr);
    }
    int Slot(int team) const {
        for (int slot = 0; slot < World::kPeerSlots; ++slot)
            if (world.peerSlots[slot].peerLink && world.peerSlots[slot].peerTeam == team)
                return slot;
        return -1;
    }
    // Delivers one event from `team`'s link; `pass`: the death pass runs at once after a fall
    // (else the copy stands fallen until the end). Then the network step's checks, as a frame.
    void Deliver(int team, const Event& event, bool pass) {
        SetObjectWorld(&world);
        const int slot = Slot(team);
        ASSERT_NE(slot, -1) << "team " << team << "'s link was closed before it delivered";
        if (event.kind == Event::kLoss) {
            static_cast<MemoryLink*>(world.peerSlots[slot].peerLink)->lost = 1;
        } else {
            const std::vector<uint8_t> bytes =
                event.kind == Event::kGrowth
                    ? CommandBytes(42, kDeposit).L(event.amount).Done()
                    : CommandBytes(6, SimId(team, 20)).L(101).L(101).B('-').B('-').B('-').Done();
            CommandBuffer& message = *world.peerSlots[slot].peerCommands;
            message.Rewind();
            std::copy(bytes.begin(), bytes.end(), message.start);
            message.cursor = message.start + bytes.size();
            EXPECT_EQ(executor.Execute(message, slot), 1);
            if (event.kind == Event::kFall && pass) world.CollectTheDead();
        }
        Frame();
    }
    void Frame() {
        world.CheckPeers();
        world.ApplyWaitingCommands();
    }
    int Ore() { return world.FindOreDeposit(kDeposit)->GetStored(); }

    FakeClock clock{5000};
    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    CountingReceivers receivers;
    CommandExecutor executor{world, receivers};
};

// Every merge of the links' own orders, each as the list of links to take the next event from.
void Merges(const std::vector<Link>& links, std::vector<size_t>& taken, std::vector<int>& order,
            const std::function<void(const std::vector<int>&)>& visit) {
    bool done = true;
    for (size_t i = 0; i < links.size(); ++i) {
        if (taken[i] == links[i].events.size()) continue;
        done = false;
        ++taken[i];
        order.push_back(static_cast<int>(i));
        Merges(links, taken, order, visit);
        order.pop_back();
        --taken[i];
    }
    if (done) visit(order);
}

// Four machines; each row gives what a receiving machine's links deliver (each link's events
// in the order its sender sent them): the old authority's growth before its fall or loss, the
// next in line's after it saw that, and so on.
TEST(AuthorityPassing, EveryMachineTakesEveryHonestGrowthWordInEveryOrderOfDelivery) {
    const struct {
        const char* what;
        int local;
        bool beaten;
        std::vector<Link> links;
    } rows[] = {
        {"the host falls, then player 2's machine goes: player 4",
         4,
         false,
         {{1, {Growth(1), kFall}}, {2, {Growth(10), kLoss}}, {3, {Growth(100)}}}},
        {"the same: player 3, the authority after both",
         3,
         false,
         {{1, {Growth(1), kFall}}, {2, {Growth(10), kLoss}}}},
        {"the same: the beaten host, still linked",
         1,
         true,
         {{2, {Growth(10), kLoss}}, {3, {Growth(100)}}}},
        {"the host falls, then player 2: player 4",
         4,
         false,
         {{1, {Growth(1), kFall}}, {2, {Growth(10), kFall}}, {3, {Growth(100)}}}},
        {"the same: the beaten player 2", 2, true, {{1, {Growth(1), kFall}}, {3, {Growth(100)}}}},
        {"the host's machine goes: player 3",
         3,
         false,
         {{1, {Growth(1), kLoss}}, {2, {Growth(10)}}}},
        {"the host's machine goes after its fall: player 4",
         4,
         false,
         {{1, {Growth(1), kFall, kLoss}}, {2, {Growth(10)}}, {3, {}}}},
    };
    int orders = 0;
    for (const auto& row : rows) {
        int sum = 0;
        for (const Link& link : row.links)
            for (const Event& event : link.events)
                if (event.kind == Event::kGrowth) sum += event.amount;
        std::vector<size_t> taken(row.links.size(), 0);
        std::vector<int> order;
        Merges(row.links, taken, order, [&](const std::vector<int>& merge) {
            for (bool pass : {false, true}) {
                Machine machine(row.local, row.beaten);
                std::vector<size_t> next(row.links.size(), 0);
                std::string told;
                for (int i : merge) {
                    const Link& link = row.links[static_cast<size_t>(i)];
                    const Event& event = link.events[next[static_cast<size_t>(i)]++];
                    told += " " + std::to_string(link.team) + "GFL"[event.kind];
                    machine.Deliver(link.team, event, pass);
                }
                // The next frame, for a wait a later slot's release ended.
                machine.Frame();
                SCOPED_TRACE(std::string(row.what) + ", delivered" + told +
                             (pass ? ", death passes at once" : ""));
                EXPECT_TRUE(machine.receivers.refused.empty()) << machine.receivers.refused[0];
                EXPECT_EQ(machine.Ore(), sum);
                for (const PeerSlot& peer : machine.world.peerSlots)
                    EXPECT_EQ(peer.Holding(), 0);
                ++orders;
            }
        });
    }
    // 30 + 6 + 3 + 30 + 3 + 3 + 4 merges, each with and without the death pass.
    EXPECT_EQ(orders, 2 * 79);
}

}  // namespace
