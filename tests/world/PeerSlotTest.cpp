// The network peer slots: adding and closing links, packing the slots, sending the recorded
// commands and taking over the team of a lost player.
#include <gtest/gtest.h>

#include "core/Settings.h"
#include "core/StringTable.h"
#include "objects/CommandBuffer.h"
#include "support/MemoryLink.h"
#include "world/RegistryTestFixture.h"

namespace {

class Killable : public TestObject {
public:
    using TestObject::TestObject;
    void TakeDamage(WeaponTemplate*, const SimId&, EffectTemplate*, int amount) override {
        damageCalls.push_back(amount);
    }
    void ToggleInvulnerable() override { invulnerable = invulnerable ? 0 : 1; }
    int IsInvulnerable() override { return invulnerable; }
    std::vector<int> damageCalls;
};

class PeerSlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.makeLink = [this]() -> std::unique_ptr<CommLink> {
            auto link = std::make_unique<MemoryLink>(nextInit);
            link->disconnectTally = &disconnects;
            made.push_back(link.get());
            return link;
        };
    }
    void TearDown() override { world.ClosePeers(nullptr); }

    // Three peers playing teams 2, 3 and 4.
    void AddThree() {
        for (int team = 2; team <= 4; ++team) {
            ASSERT_NE(world.AddPeer(), nullptr);
            world.peerSlots[team - 2].peerTeam = team;
        }
    }

    // A unit and an invulnerable factory of a team another machine plays.
    TestObject* RemoteUnit(int team) {
        TestObject* unit = land.AddUnit(team, 1, 3, 3);
        unit->local = 0;
        return unit;
    }
    Killable* RemoteFactory(int team) {
        auto building = std::make_unique<Killable>(team, 2, land.Centre(6, 6), 4, 24);
        building->local = 0;
        building->invulnerable = 1;
        Killable* factory = building.get();
        world.AddBuilding(std::move(building));
        return factory;
    }

    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    std::vector<MemoryLink*> made;
    int nextInit = 1;
    int disconnects = 0;
};

TEST_F(PeerSlotTest, ALinkThatCannotStartIsDisconnectedAndTheSlotStaysFree) {
    nextInit = 0;
    EXPECT_EQ(world.AddPeer(), nullptr);
    EXPECT_EQ(world.PeerCount(), 0);
    EXPECT_EQ(disconnects, 1);
    nextInit = 1;
    CommLink* link = world.AddPeer();
    EXPECT_EQ(link, world.peerSlots[0].peerLink);
    EXPECT_NE(world.peerSlots[0].peerCommands, nullptr);
    // Never a fourth peer.
    world.AddPeer();
    world.AddPeer();
    EXPECT_EQ(world.AddPeer(), nullptr);
    EXPECT_EQ(world.PeerCount(), 3);
    // Without a link maker there is no link at all.
    world.ClosePeers(nullptr);
    world.makeLink = nullptr;
    EXPECT_EQ(world.AddPeer(), nullptr);
}

// A link that implements only sending and receiving never claims a peer, was never dropped,
// has no names and counts its frames from the first, so a lost one of its peers is closed
// without a reason on the status line.
TEST_F(PeerSlotTest, ALinkWithoutListeningOrConnectingNeverClaimsAPeer) {
    struct BareLink : CommLink {
        int Init() override { return 1; }
        int ConnectionLost() override { return 1; }
        void Disconnect() override {}
        int Send(const uint8_t*, size_t) override { return 0; }
        void Receive(uint8_t*, size_t, size_t&, size_t&) override {}
    };
    BareLink bare;
    EXPECT_EQ(bare.Listen(), 0);
    EXPECT_EQ(bare.Connect("host"), 0);
    EXPECT_EQ(bare.DropReason(), 0);
    bare.Drop(CommLink::kDroppedDamaged);
    EXPECT_EQ(bare.DropReason(), 0);
    EXPECT_EQ(bare.FramesReceived(), 1);
    EXPECT_EQ(bare.HostName(), nullptr);
    EXPECT_EQ(bare.LocalAddress(), nullptr);
    EXPECT_EQ(bare.PeerAddress(), nullptr);
    world.makeLink = [] { return std::unique_ptr<CommLink>(new BareLink); };
    ASSERT_NE(world.AddPeer(), nullptr);
    world.SetStatusMessage("", 0);
    world.CheckPeers();
    EXPECT_EQ(world.PeerCount(), 0);
    EXPECT_EQ(world.statusText[0], 0);
}

TEST_F(PeerSlotTest, ClosingSlotZeroOfThreeMovesTheOthersDownWithTheirBuffersAndTeams) {
    AddThree();
    CommLink* second = world.peerSlots[1].peerLink;
    CommLink* third = world.peerSlots[2].peerLink;
    CommandBuffer* secondBuffer = world.peerSlots[1].peerCommands.get();
    world.ClosePeers(world.peerSlots[0].peerLink);
    EXPECT_EQ(world.PeerCount(), 2);
    EXPECT_EQ(world.peerSlots[0].peerLink, second);
    EXPECT_EQ(world.peerSlots[1].peerLink, third);
    EXPECT_EQ(world.peerSlots[0].peerCommands.get(), secondBuffer);
    EXPECT_EQ(world.peerSlots[0].peerTeam, 3);
    EXPECT_EQ(world.peerSlots[1].peerTeam, 4);
    EXPECT_EQ(world.peerSlots[2].peerLink, nullptr);
    EXPECT_EQ(world.peerSlots[2].peerCommands, nullptr);
    EXPECT_EQ(world.peerSlots[2].peerTeam, -1);
}

TEST_F(PeerSlotTest, ClosingTheOnlyPeerStopsRecording) {
    ASSERT_NE(world.AddPeer(), nullptr);
    // A network game makes its land in full detail; the setting comes back after it.
    lowDetail = 1;
    world.StartRecording();
    world.StartRecording();
    EXPECT_EQ(lowDetail, 0);
    EXPECT_EQ(world.networkGame, 1);
    EXPECT_EQ(world.commands->IsEnabled(), 1);
    world.ClosePeers(nullptr);
    EXPECT_EQ(lowDetail, 1);
    lowDetail = 0;
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(world.networkGame, 0);
    EXPECT_EQ(world.commands->IsEnabled(), 0);
    world.commands->SendPause(1);
    EXPECT_EQ(world.commands->Size(), 0u);
}

TEST_F(PeerSlotTest, AnEmptyStreamSendsNothingAndARecordedOneGoesToEverySlotOnce) {
    AddThree();
    world.StartRecording();
    world.SendCommands(-1);
    for (MemoryLink* link : made)
        EXPECT_TRUE(link->sent.empty());
    world.commands->SendPause(1);
    const size_t length = world.commands->Size();
    ASSERT_GT(length, 0u);
    world.SendCommands(-1);
    for (MemoryLink* link : made) {
        ASSERT_EQ(link->sent.size(), 1u);
        EXPECT_EQ(link->sent[0].size(), length);
    }
    EXPECT_EQ(world.commands->Size(), 0u);
    // To one slot only; an empty slot drops the commands all the same.
    world.commands->SendPause(0);
    world.SendCommands(1);
    EXPECT_EQ(made[1]->sent.size(), 2u);
    EXPECT_EQ(made[0]->sent.size(), 1u);
    world.ClosePeers(world.peerSlots[2].peerLink);
    world.commands->SendPause(1);
    world.SendCommands(2);
    EXPECT_EQ(world.commands->Size(), 0u);
}

// The authority is the lowest-numbered player whose factory has not died and whose machine this
// machine has not seen lost; it alone takes a lost team over, and the others only mark the slot
// gone. A beaten player keeps its link (its machine stands paused) but answers for nobody else.
TEST_F(PeerSlotTest, OnlyTheLowestNumberedPlayerLeftTakesTheLostTeamOver) {
    const struct {
        const char* what;
        int local;
        std::vector<int> beaten;
        int lost;
        int authorityBefore;
        int authorityAfter;
    } cases[] = {
        {"another machine is lower", 3, {}, 2, 1, 1},
        {"this machine is the lowest", 1, {}, 2, 1, 1},
        {"the lowest is lost", 2, {}, 1, 1, 2},
        {"the host beaten, then a guest lost", 2, {1}, 3, 2, 2},
        {"the host beaten, then the next lost", 3, {1}, 2, 2, 3},
        {"this machine beaten", 1, {1}, 2, 2, 3},
        {"every other beaten", 4, {1, 2, 3}, 2, 4, 4},
        {"all beaten", 4, {1, 2, 3, 4}, 3, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorldOnLand side{OpenLand(16, 12)};
        World& w = side.world;
        std::vector<MemoryLink*> links;
        w.makeLink = [&links]() -> std::unique_ptr<CommLink> {
            auto link = std::make_unique<MemoryLink>();
            links.push_back(link.get());
            return link;
        };
        w.localPlayer = ValueTriple(c.local);
        for (int team = 1, slot = 0; team <= 4; ++team) {
            if (team == c.local) continue;
            ASSERT_NE(w.AddPeer(), nullptr);
            w.peerSlots[slot++].peerTeam = team;
        }
        w.StartRecording();
        for (int team : c.beaten)
            w.factoryDied[team] = 1;
        TestObject* remoteUnit = side.AddUnit(c.lost, 1, 3, 3);
        remoteUnit->local = 0;
        auto building = std::make_unique<Killable>(c.lost, 2, side.Centre(6, 6), 4, 24);
        building->local = 0;
        Killable* factory = building.get();
        w.AddBuilding(std::move(building));
        EXPECT_EQ(w.Authority(), c.authorityBefore);
        for (int slot = 0; slot < World::kPeerSlots; ++slot)
            if (w.peerSlots[slot].peerTeam == c.lost) links[static_cast<size_t>(slot)]->lost = 1;
        // Seen lost here from its own link: out of the rule before the peer check closes it.
        EXPECT_EQ(w.SlotPlaying(c.lost), -1);
        EXPECT_EQ(w.Authority(), c.authorityAfter);
        w.CheckPeers();
        EXPECT_EQ(side.records.emptied, std::vector<int>({c.lost}));
        EXPECT_EQ(w.Authority(), c.authorityAfter);
        const int takes = c.authorityAfter == c.local ? 1 : 0;
        EXPECT_EQ(remoteUnit->local, takes);
        EXPECT_EQ(factory->damageCalls.size(), static_cast<size_t>(takes));
        EXPECT_EQ(w.networkHost, takes);
        EXPECT_EQ(w.commands->Size() > 0, takes == 1);
        EXPECT_EQ(w.PeerCount(), 2);
        w.ClosePeers(nullptr);
    }
}

// The authority answers as the host (it grows the deposits) only while its own factory has not
// fallen: from the moment the factory is destroyed, which is when its fatal damage goes out,
// through the update that takes it to the dead list, to the death pass and on; a deposit that
// grows in that same update grows nothing. A machine that never had a factory answers still.
TEST_F(PeerSlotTest, TheAuthorityAnswersAsTheHostOnlyWhileItsOwnFactoryStands) {
    enum Factory { kNone, kStanding, kDestroyed, kBuried };
    const struct {
        const char* what;
        int networkHost;
        Factory factory;
        int before, during, after;
    } cases[] = {
        {"no factory", 1, kNone, 1, 1, 1},
        {"a standing factory", 1, kStanding, 1, 1, 1},
        {"a factory destroyed, its pass to come", 1, kDestroyed, 0, 0, 0},
        {"a factory buried", 1, kBuried, 0, 0, 0},
        {"not the authority", 0, kStanding, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorldOnLand side{OpenLand(16, 12)};
        World& w = side.world;
        w.localPlayer = ValueTriple(2);
        w.networkGame = 1;
        w.networkHost = c.networkHost;
        TestObject* factory = nullptr;
        if (c.factory != kNone) {
            auto building = std::make_unique<TestObject>(2, 20, side.Centre(6, 6), 4, 24);
            factory = building.get();
            w.AddBuilding(std::move(building));
            if (c.factory == kBuried) {
                factory->destroyed = 1;
                w.CollectTheDead();
            }
        }
        if (c.factory == kDestroyed) factory->destroyed = 1;
        EXPECT_EQ(w.IsNetworkHost(), c.before);
        // A deposit's update comes after the buildings' in the same tick.
        int during = -1;
        auto deposit = std::make_unique<TestObject>(0, 60, side.Centre(9, 9), 0, 16);
        deposit->onUpdate = [&w, &during](TestObject&, int) { during = w.IsNetworkHost(); };
        std::unique_ptr<GameObject> placed = std::move(deposit);
        w.AddOreDeposit(placed);
        w.UpdateObjects(16);
        EXPECT_EQ(during, c.during);
        EXPECT_EQ(w.IsNetworkHost(), c.after);
        EXPECT_EQ(w.FactoryFell(2), c.factory == kDestroyed || c.factory == kBuried ? 1 : 0);
        // No team's: a machine not yet told its own.
        EXPECT_EQ(w.FactoryFell(-1) + w.FactoryFell(World::kTeams), 0);
    }
}

TEST_F(PeerSlotTest, TheTakingMachineMakesTheUnitsLocalDestroysTheFactoryAndTellsThePeers) {
    AddThree();
    world.StartRecording();
    TestObject* remoteUnit = RemoteUnit(3);
    Killable* factory = RemoteFactory(3);
    land.records.allBelowEmpty = 1;
    land.records.players = 4;
    made[1]->lost = 1;
    world.CheckPeers();
    EXPECT_EQ(remoteUnit->local, 1);
    EXPECT_EQ(factory->local, 1);
    EXPECT_EQ(factory->invulnerable, 0);
    EXPECT_EQ(factory->damageCalls, std::vector<int>({0}));
    EXPECT_EQ(land.records.players, 3);
    // First the factory as this machine holds it (kind 57), so that every survivor values its
    // pieces alike, then the player-dropped command (kind 45): kinds in each header's second
    // byte.
    std::vector<int> kinds;
    for (const uint8_t* p = world.commands->start; p < world.commands->cursor && p[0] > 0;
         p += p[0])
        kinds.push_back(p[1]);
    EXPECT_EQ(kinds, (std::vector<int>{57, 45}));
    EXPECT_EQ(world.commands->start[2], 3);
}

// A lost team whose factory is already gone: the death pass that told its units' state ran
// while the lost machine owned them, so the taker tells it now (kind 57), then the drop.
TEST_F(PeerSlotTest, TheTakerTellsTheUnitsOfALostTeamWithoutAFactory) {
    AddThree();
    world.StartRecording();
    TestObject* remoteUnit = RemoteUnit(4);
    land.records.allBelowEmpty = 1;
    land.records.players = 4;
    made[2]->lost = 1;
    world.CheckPeers();
    EXPECT_EQ(remoteUnit->local, 1);
    std::vector<int> kinds;
    for (const uint8_t* p = world.commands->start; p < world.commands->cursor && p[0] > 0;
         p += p[0])
        kinds.push_back(p[1]);
    EXPECT_EQ(kinds, (std::vector<int>{57, 45}));
    EXPECT_EQ(world.commands->start[2], 4);
}

// A factory shot down while its machine plays on: that machine keeps its units, and the
// lowest-numbered player left takes them only once no linked machine plays the team. Two
// owners would each move them and ignore the other's word.
TEST_F(PeerSlotTest, AFactoryDeadWhileItsMachinePlaysLeavesItsUnitsToThatMachine) {
    AddThree();
    world.StartRecording();
    land.records.allBelowEmpty = 1;
    for (int played : {1, 0}) {
        world.peerSlots[0].peerTeam = played == 1 ? 2 : -1;
        TestObject* remoteUnit = land.AddUnit(2, 10 + played, 3, 3 + 4 * played);
        remoteUnit->local = 0;
        auto building = std::make_unique<TestObject>(2, 20 + played, land.Centre(8, 8), 4, 24);
        building->local = 0;
        building->destroyed = 1;
        world.AddBuilding(std::move(building));
        world.UpdateObjects(16);
        EXPECT_EQ(remoteUnit->local, 1 - played) << played;
        EXPECT_EQ(world.TeamFactory(2), nullptr);
    }
}

TEST_F(PeerSlotTest, APeerOfNoKnownTeamIsOnlyClosed) {
    AddThree();
    world.StartRecording();
    world.peerSlots[0].peerTeam = -1;
    world.peerSlots[1].peerTeam = World::kTeams;
    // Nor is such a peer ever the authority, even with every player's factory dead.
    world.factoryDied[1] = 1;
    world.factoryDied[4] = 1;
    EXPECT_EQ(world.Authority(), -1);
    made[0]->lost = 1;
    made[1]->lost = 1;
    world.CheckPeers();
    EXPECT_EQ(world.PeerCount(), 1);
    EXPECT_EQ(world.peerSlots[0].peerTeam, 4);
    EXPECT_TRUE(land.records.emptied.empty());
    EXPECT_EQ(land.records.players, 3);
    EXPECT_EQ(world.commands->Size(), 0u);
}

// A pause tells the peers where this machine's own units and buildings stand (kind 9), and
// nothing of the copies or of the dead, then marks the end of those states (kind 58, the
// pause's number); lifting it tells nothing.
TEST_F(PeerSlotTest, APauseSendsTheStateOfEveryOwnedObject) {
    AddThree();
    world.StartRecording();
    world.pauseLocked = 0;
    world.paused = 0;
    RemoteUnit(3);
    TestObject* own = land.AddUnit(1, 5, 8, 8);
    TestObject* dead = land.AddUnit(1, 6, 10, 10);
    dead->destroyed = 1;
    // Owned buildings of the first and the last team go too, each once, in team order.
    for (const int team : {4, 0}) {
        auto building =
            std::make_unique<Killable>(team, 7 + team, land.Centre(2, 2 + 4 * team), 4, 24);
        building->local = 1;
        world.AddBuilding(std::move(building));
    }
    auto sent = [this] {
        std::vector<std::pair<int, int>> kinds;
        for (const uint8_t* p = world.commands->start; p < world.commands->cursor && p[0] > 0;
             p += p[0])
            kinds.emplace_back(p[1], p[3]);
        world.commands->Rewind();
        return kinds;
    };
    world.TogglePause();
    EXPECT_EQ(world.paused, 1);
    EXPECT_EQ(sent(), (std::vector<std::pair<int, int>>{
                          {29, 255}, {9, 7}, {9, own->id.serial}, {9, 11}, {58, 255}}));
    EXPECT_EQ(world.markedPause, 1);
    world.TogglePause();
    EXPECT_EQ(sent(), (std::vector<std::pair<int, int>>{{29, 255}}));
    EXPECT_EQ(world.markedPause, 0);
    world.TogglePause();
    EXPECT_EQ(sent().back(), (std::pair<int, int>{58, 255}));
    EXPECT_EQ(world.markedPause, 2);
}

// A lost peer is named on the status line when this side dropped it for a reason, or when it
// played a team and simply went away; a peer of no player's team that went away is not.
TEST_F(PeerSlotTest, ALostPeerIsNamedOnTheStatusLineByWhyItWent) {
    std::string table(CommLink::kDroppedDamaged, '\r');
    table += "damaged %d\rstalled %d\r";
    ASSERT_EQ(SetStringTableText(table), 1);
    land.records.allBelowEmpty = 0;
    const struct {
        int team, reason;
        const char* shown;
    } cases[] = {
        {3, 0, "stalled 3"},
        {1, 0, "stalled 1"},
        {4, CommLink::kDroppedDamaged, "damaged 4"},
        {2, CommLink::kDroppedStalled, "stalled 2"},
        {0, 0, ""},
        {5, 0, ""},
        {-1, 0, ""},
    };
    int lost = 0;
    for (const auto& c : cases) {
        world.statusText[0] = 0;
        ASSERT_NE(world.AddPeer(), nullptr);
        world.peerSlots[0].peerTeam = c.team;
        if (c.reason != 0) made.back()->Drop(c.reason);
        made.back()->lost = 1;
        world.CheckPeers();
        EXPECT_STREQ(world.statusText, c.shown) << c.team << " " << c.reason;
        EXPECT_EQ(world.peersLost, ++lost);
        EXPECT_EQ(world.lastLostTeam, c.team);
        EXPECT_EQ(world.PeerCount(), 0);
    }
    ClearStringTable();
}

}  // namespace
