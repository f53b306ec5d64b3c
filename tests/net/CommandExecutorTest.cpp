// The command executor: every kind applied to the right copy (mirror, owner, any) on a World
// with owned and mirrored objects, payloads of missing objects consumed, and damaged messages
// refused whole with their peer dropped.
#include <gtest/gtest.h>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "net/ExecutorFixture.h"
#include "net/NetworkScreen.h"
#include "objects/Artifact.h"
#include "support/FakeClock.h"
#include "world/MemoryCatalogueMedia.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"

namespace {

class CommandExecutorTest : public ::testing::Test, public ExecutorFixture {};

const SimId kMirror(2, 10), kOwned(1, 11), kCapture(2, 12), kCarrier(1, 13), kField(0, 30),
    kWreck(0, 40), kMissing(3, 99);

TEST_F(CommandExecutorTest, EveryKindActsOnTheCopyItIsFor) {
    const Point p(100, 200);
    const Point fieldAt = fieldRaw->GetPosition();
    const Point wreckAt = wreck->GetPosition();
    struct Case {
        std::vector<uint8_t> bytes;
        Log expected;
        // The player of the sending slot.
        int sender = 2;
        // Whether the sender's factory died here.
        bool factoryDead = false;
    };
    const Case cases[] = {
        {CommandBytes(0).Done(), {}},
        {CommandBytes(2).Done(), {}},
        // Factories by the team byte: the mirror's acts, the owned one's does not.
        {CommandBytes(1, SimId(2, 20)).W(4).Done(), {"Unfold 2:20 4"}},
        {CommandBytes(1, SimId(1, 21)).W(4).Done(), {}},
        {CommandBytes(3, SimId(2, 0)).I(SimId(2, 99)).B(5).S("Vabc").Done(),
         {"NewProduct 2:20 Vabc 2:99 5"}},
        {CommandBytes(4, SimId(2, 0)).P(p).Done(), {"MoveProduct 2:20 100,200"}},
        {CommandBytes(5, SimId(2, 0)).Done(), {"Release 2:20"}},
        {CommandBytes(10, SimId(2, 77)).P(p).S("Vx").Done(), {"Spawn 2:20 2:77 100,200 Vx"}},
        {CommandBytes(27, SimId(2, 0)).S("Vdesign").Done(), {"Refit 2:20 Vdesign"}},
        {CommandBytes(38, SimId(2, 0)).P(p).Done(), {"ReserveExit 2:20 100,200"}},
        {CommandBytes(39, SimId(1, 0)).Done(), {"ExitAck 1:21"}},
        {CommandBytes(39, SimId(2, 0)).Done(), {}},
        // Damage goes to the mirror with its last two bytes swapped back; the report to the
        // owner (here of a shooter since dead).
        {CommandBytes(6, kMirror).L(7).L(-8).B('p').B('r').B('q').Done(), {"2:10 Damage 7 -8 pqr"}},
        {CommandBytes(6, kOwned).L(7).L(8).B('p').B('r').B('q').Done(), {}},
        {CommandBytes(7, kOwned).B('a').B('b').B('c').I(SimId(2, 98)).Done(),
         {"1:11 Hit abc 2:98"}},
        {CommandBytes(7, kMirror).B('a').B('b').B('c').I(kOwned).Done(), {}},
        // Goals.
        {CommandBytes(8, kMirror).W(1).P(p).Done(), {"2:10 Goal 1 100,200"}},
        {CommandBytes(8, kOwned).W(1).P(p).Done(), {}},
        {CommandBytes(8, kMirror).W(0).Done(), {"2:10 Goal none"}},
        {CommandBytes(8, kMirror).W(2).I(kOwned).P(Point(3, 4)).Done(),
         {"2:10 Goal 2 " + Pt(owned->GetPosition() + Point(3, 4))}},
        {CommandBytes(8, kMirror).W(3).P(fieldAt).Done(),
         {"MakeGoal 3 2:10 0:30 " + Pt(fieldAt), "2:10 Goal none"}},
        {CommandBytes(8, kMirror).W(3).P(p).Done(), {"2:10 Goal none"}},
        {CommandBytes(8, kMirror).W(4).P(wreckAt).P(Point(5, 6)).Done(),
         {"MakeGoal 4 2:10 0:40 5,6", "2:10 Goal none"}},
        {CommandBytes(8, kMirror).W(4).P(Point(-1, -1)).P(p).Done(), {"2:10 Goal none"}},
        {CommandBytes(8, kMirror).W(5).I(kCapture).P(p).Done(),
         {"MakeGoal 5 2:10 2:12 100,200", "2:10 Goal none"}},
        {CommandBytes(8, kMirror).W(6).Done(), {"MakeGoal 6 2:10 -1:-1 0,0", "2:10 Goal none"}},
        {CommandBytes(8, kMirror).W(7).I(kCarrier).Done(),
         {"2:10 Goal 7 " + Pt(mirror->GetPosition())}},
        {CommandBytes(8, kMirror).W(8).P(p).Done(),
         {"MakeGoal 8 2:10 -1:-1 100,200", "2:10 Goal none"}},
        // State: facings by the length.
        {CommandBytes(9, kMirror).P(p).B(3).B(4).B(255).Done(), {"2:10 Move 100,200 3 [4,-1]"}},
        {CommandBytes(9, kMirror).P(p).B(3).Done(), {"2:10 Move 100,200 3 []"}},
        // A team's factory is made once, announced by its own machine.
        {CommandBytes(11, SimId(3, 50)).P(p).L(1).L(2).L(3).B('F').B(9).Done(),
         {"CreateFactory 3:50 F 100,200 0", "Resources 3:50 0 2", "FactoryByte 3:50 9"},
         3},
        {CommandBytes(11, SimId(2, 50)).P(p).L(1).L(2).L(3).B('F').B(9).Done(), {}},
        // Shots on a mirror shooter; a missing target makes none but is still answered.
        {CommandBytes(12, SimId(2, 60)).B('V').B('a').P(p).I(kMirror).I(kOwned).B(2).B(7).Done(),
         {"Fire 2:10 1:11 Va 2 2:60 7"}},
        {CommandBytes(12, SimId(2, 60)).B('V').B('a').P(p).I(kMirror).I(kMissing).B(2).B(7).Done(),
         {}},
        {CommandBytes(12, SimId(1, 60)).B('V').B('a').P(p).I(kOwned).I(kMirror).B(2).B(7).Done(),
         {}},
        {CommandBytes(36, kOwned).B(3).Done(), {"ShotAck 1:11 3"}},
        {CommandBytes(36, kMirror).B(3).Done(), {}},
        {CommandBytes(21, kMirror).Done(), {"FiringTimer 2:10"}},
        {CommandBytes(22, kOwned).B(1).Done(), {"1:11 Skill 1"}},
        {CommandBytes(22, kMirror).B(1).Done(), {}},
        {CommandBytes(18, kMirror).W(-1).P(p).Done(), {"Climb 2:10 -1 100,200"}},
        {CommandBytes(19, kMirror).P(p).P(Point(9, 0)).Done(), {"AltStep 2:10 100,200 9,0"}},
        {CommandBytes(20, kMirror).P(Point(9, 0)).Done(), {"AltEnd 2:10 9,0"}},
        {CommandBytes(43, kOwned).Done(), {"AltAck 1:11"}},
        {CommandBytes(43, kMirror).Done(), {}},
        {CommandBytes(28, kMirror).B(1).Done(), {"2:10 Moving 1"}},
        {CommandBytes(32, kMirror).Done(), {"2:10 Deploy"}},
        {CommandBytes(33, kMirror).Done(), {"2:10 Undeploy"}},
        {CommandBytes(33, kOwned).Done(), {}},
        // Any copy it may change: the sender's own unit to its own team, a land feature. This
        // machine's unit or a unit's nominal hit is not the sender's to give.
        {CommandBytes(37, kMirror).B(2).B(6).Done(), {"2:10 Team 2,2,6 0"}},
        {CommandBytes(37, kOwned).B(2).B(6).Done(), {Refusal(37)}},
        {CommandBytes(54, SimId(0, 45)).Done(), {"0:45 Damage 1 1 XXX"}},
        {CommandBytes(54, kOwned).Done(), {Refusal(54)}},
        // Carriers: the owner's copy takes only the answer.
        {CommandBytes(47, kCarrier).I(kMirror).Done(), {}},
        {CommandBytes(48, kCarrier).I(kMirror).P(p).Done(), {}},
        {CommandBytes(50, kCarrier).P(p).Done(), {}},
        {CommandBytes(49, kCarrier).Done(), {"DropAck 1:13"}},
        {CommandBytes(47, kMirror).I(kOwned).Done(), {"PickUp 2:10 1:11"}},
        {CommandBytes(48, kMirror).I(kOwned).P(p).Done(), {"Carry 2:10 1:11 100,200"}},
        {CommandBytes(48, kMirror).I(kMissing).P(p).Done(), {}},
        {CommandBytes(50, kMirror).P(p).Done(), {"MoveCarried 2:10 100,200"}},
        {CommandBytes(51, kMirror).Done(), {"Drop 2:10"}},
        {CommandBytes(52, kMirror).Done(), {"ResetCarry 2:10"}},
        {CommandBytes(53, kCapture).I(kOwned).Done(), {"TakeOver 2:12 1:11"}},
        {CommandBytes(53, kMirror).I(kOwned).Done(), {}},
        // Artifacts are the host's: this machine is.
        {CommandBytes(34, SimId(0, 70)).P(p).B(3).Done(), {Refusal(34)}},
        // The owner's ledger reaches the mirror of its factory only.
        {CommandBytes(55, SimId(2, 0)).L(7).L(8).L(9).Done(), {"Ledger 2:20 7 8 9"}},
        {CommandBytes(55, SimId(1, 0)).L(7).L(8).L(9).Done(), {}},
        // A snapshot of where a team's units came to rest once its factory died moves a mirror
        // (and stops it); an owned object keeps its own state.
        {CommandBytes(57, kMirror).P(p).B(3).L(10).L(90).L(5).Done(),
         {"2:10 Move 100,200 3 []"},
         2,
         true},
        {CommandBytes(57, kOwned).P(p).B(3).L(10).L(90).L(5).Done(), {}},
        // Set-up and screens.
        {CommandBytes(24).Settings().Done(),
         {"Settings 4 V 2 VVXX 3 5000 00 19.18.17.16.15.14.13.12.11.10.9.8.7.6.5.4.3.2.1.0."}},
        {CommandBytes(25).Settings('T', 8, 9900).B(5).Done(),
         {"Speed -2", "Settings 4 T 2 VTXX 8 9900 10"},
         1},
        {CommandBytes(26).Done(), {"Settings 0 V 1 XXXX 1 5000 01"}},
        // A set-up screen's settings before the start: the order is not shuffled yet.
        {CommandBytes(24).Settings('V', 3, 5000, 18).Done(),
         {"Settings 4 V 2 VVXX 3 5000 00 19.18.17.16.15.14.13.12.11.10.9.8.7.6.5.4.3.2.1.18."}},
        {CommandBytes(40).B(1).Done(), {"Speed 2"}},
        {CommandBytes(31).B(1).Done(), {"Reveal 1"}},
        // Objects not found: their payloads are consumed.
        {Message({CommandBytes(8, kMissing).W(5).I(kOwned).P(p).Done(),
                  CommandBytes(6, kMirror).L(1).L(2).B('a').B('b').B('c').Done()}),
         {"2:10 Damage 1 2 acb"}},
    };
    Died(SimId(2, 98), owned->GetCentre());
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        log.clear();
        world.peerSlots[0].peerTeam = c.sender;
        mirrorFactory->destroyed = c.factoryDead ? 1 : 0;
        EXPECT_EQ(Execute(c.bytes), 1);
        EXPECT_EQ(log, c.expected);
        EXPECT_EQ(link->DropReason(), 0);
    }
}

TEST_F(CommandExecutorTest, WorldLevelKindsChangeTheWorldAndTheOwnersCargo) {
    const int ownedCargo = owned->cargo;
    const int ownedDamage = owned->damage.Value();
    // A guest playing team 3: slot 0's player 2 is the lowest left, the one who took team 4
    // over and decides for the game.
    world.localPlayer = ValueTriple(3);
    Execute(Message({
        CommandBytes(29).B(0).Done(),
        CommandBytes(30).Done(),
        CommandBytes(45).B(2).B(4).Done(),
        CommandBytes(41).B(0).B(4).S("not for us").Done(),
        CommandBytes(41).B(2).B(0).S("hello").Done(),
        CommandBytes(15, kMirror).L(25).Done(),
        // Repairs of this machine's own unit, or of one it does not know, are not a copy's.
        CommandBytes(15, kOwned).L(25).Done(),
        CommandBytes(15, kMissing).L(25).Done(),
        CommandBytes(23, kMirror).I(kWreck).L(10).Done(),
        CommandBytes(16, kMirror).L(4).L(3).Done(),
        // Its player number comes last: from now on the slot speaks for player 4.
        CommandBytes(46).B(4).Done(),
    }));
    EXPECT_EQ(world.paused, 0);
    EXPECT_EQ(world.pauseLocked, 0);
    EXPECT_EQ(world.peerSlots[0].peerTeam, 4);
    world.peerSlots[0].peerTeam = 2;
    EXPECT_EQ(land.records.players, 2);
    EXPECT_EQ(land.records.emptied, std::vector<int>{4});
    EXPECT_STREQ(world.statusText, "hello");
    EXPECT_EQ(mirror->damage.Value(), 25);
    EXPECT_EQ(owned->damage.Value(), ownedDamage);
    EXPECT_EQ(wreck->cargo, 290);
    // The unit hands over what it carries; the factory's side (and a reclaim's) comes with its
    // owner's ledger, never computed by a copy.
    EXPECT_EQ(mirror->cargo, 0);
    EXPECT_EQ(mirrorFactory->cargo, 1000);
    EXPECT_EQ(owned->cargo, ownedCargo);
    // The set-up reaches this World's host and join screen.
    NetworkScreen screen(world, 'J', nullptr);
    Execute(CommandBytes(44).B(3).B(3).B(1).B(1).A("127.0.0.4").A("x").Done());
    EXPECT_EQ(screen.PlayerNumber(), 3);
    EXPECT_EQ(screen.PeerCount(), 3);
    // The answer to kind 12 went into the outgoing stream.
    world.commands->Rewind();
    Execute(CommandBytes(12, SimId(2, 60))
                .B('V')
                .B('a')
                .P(Point())
                .I(kMirror)
                .I(kMissing)
                .B(2)
                .B(7)
                .Done());
    const std::vector<uint8_t> ack = CommandBytes(36, kMirror).B(2).Done();
    ASSERT_GE(world.commands->Size(), ack.size());
    EXPECT_TRUE(std::equal(ack.begin(), ack.end(),
                           world.commands->Data() + world.commands->Size() - ack.size()));
}

// The host alone decides who wins an artifact: the first claim (kind 35) wins there and is
// awarded to everybody (kind 56); a guest takes it only from the award, and only the host's
// (or, once it is lost, the lowest player's left).
TEST_F(CommandExecutorTest, AnArtifactHasOneWinnerTheHostAwards) {
    world.networkGame = 1;
    auto place = [this](int serial) {
        std::unique_ptr<GameObject> made = std::make_unique<Artifact>(
            land.Centre(serial < 75 ? 10 : 5, 3 + serial % 3 * 4), Size(64, 64), nullptr, nullptr,
            CollisionFilter(2, 1, 1, 1, 1), SimId(0, serial), 3);
        Artifact* artifact = static_cast<Artifact*>(made.get());
        EXPECT_EQ(world.AddArtifact(made), 1);
        return artifact;
    };
    world.networkHost = 1;
    Artifact* contested = place(70);
    // Both claimers' copies stand on it here.
    world.PlaceOver(mirror, contested->GetPosition());
    world.PlaceOver(capture, contested->GetPosition() + Point(32, 0));
    world.commands->Rewind();
    Execute(Message({CommandBytes(35, SimId(0, 70)).I(kMirror).Done(),
                     CommandBytes(35, SimId(0, 70)).I(kCapture).Done()}));
    EXPECT_EQ(contested->takerId, kMirror);
    EXPECT_EQ(mirror->damage.Max(), 125);
    EXPECT_EQ(capture->damage.Max(), 100);
    const std::vector<uint8_t> award = CommandBytes(56, SimId(0, 70)).I(kMirror).Done();
    ASSERT_EQ(world.commands->Size(), award.size());
    EXPECT_TRUE(std::equal(award.begin(), award.end(), world.commands->Data()));
    // Taken once: a later pick-up there neither changes the winner nor awards again.
    world.commands->Rewind();
    contested->PickUp(capture);
    EXPECT_EQ(contested->takerId, kMirror);
    EXPECT_EQ(world.commands->Size(), 0u);
    // A factory gift counts on the factory's own machine only (its ledger tells the others),
    // and a team without a factory gets nothing.
    std::unique_ptr<GameObject> gift =
        std::make_unique<Artifact>(land.Centre(10, 13), Size(64, 64), nullptr, nullptr,
                                   CollisionFilter(2, 1, 1, 1, 1), SimId(0, 73), 2);
    Artifact* ore = static_cast<Artifact*>(gift.get());
    ASSERT_EQ(world.AddArtifact(gift), 1);
    ore->PickUp(mirror);
    EXPECT_EQ(ore->takerId, kMirror);
    EXPECT_EQ(mirrorFactory->cargo, 1000);
    RecordingObject* homeless = Add(3, 14, 10, 1, 1, 0);
    Artifact(land.Centre(10, 1), Size(64, 64), nullptr, nullptr, CollisionFilter(2, 1, 1, 1, 1),
             SimId(0, 74), 2)
        .ApplyEffect(homeless);
    EXPECT_EQ(homeless->cargo, 0);
    // A guest playing team 3: a claim changes nothing, the award of player 2, the lowest left
    // (the host's machine is gone), makes the pick-up.
    world.networkHost = 0;
    world.localPlayer = ValueTriple(3);
    Artifact* awarded = place(71);
    Execute(CommandBytes(35, SimId(0, 71)).I(kCapture).Done());
    EXPECT_TRUE(awarded->takerId.IsNull());
    Execute(CommandBytes(56, SimId(0, 71)).I(kMirror).Done());
    EXPECT_EQ(awarded->takerId, kMirror);
    // While the host plays on, player 2 is a guest like this one: its award is refused.
    AddPeerPlaying(1);
    Artifact* kept = place(75);
    log.clear();
    Execute(CommandBytes(56, SimId(0, 75)).I(kMirror).Done());
    EXPECT_TRUE(kept->takerId.IsNull());
    EXPECT_EQ(log, Log{Refusal(56)});
    world.localPlayer = ValueTriple(1);
    // Its own unit on a guest only claims it.
    Artifact* claimed = place(72);
    claimed->PickUp(owned);
    EXPECT_TRUE(claimed->takerId.IsNull());
    world.networkGame = 0;
}

// A guest's mission clocks start when play starts (the host's all-placed word), not while the
// game waited for the factories.
TEST_F(CommandExecutorTest, PlayStartingStartsTheMissionClocks) {
    FakeClock clock(1000);
    // Said by the lowest player left.
    world.localPlayer = ValueTriple(3);
    world.teamStats[1] = std::make_unique<MissionStats>();
    world.teamStats[1]->StartClock();
    clock.Advance(30000);
    Execute(CommandBytes(30).Done());
    clock.Advance(2000);
    EXPECT_EQ(world.teamStats[1]->ElapsedTotal(), 2000);
}

// Each text on its own: a later one would hide whether the first was shown.
TEST_F(CommandExecutorTest, AMessageIsShownOnlyToItsAddresseeOrToEverybody) {
    world.localPlayer = ValueTriple(1);
    world.SetStatusMessage("", 0);
    Execute(CommandBytes(41).B(0).B(3).S("not for us").Done());
    EXPECT_STREQ(world.statusText, "");
    Execute(CommandBytes(41).B(2).B(1).S("for us").Done());
    EXPECT_STREQ(world.statusText, "for us");
    Execute(CommandBytes(41).B(2).B(0).S("for all").Done());
    EXPECT_STREQ(world.statusText, "for all");
}

TEST_F(CommandExecutorTest, ASnapshotSetsTheMirrorsDamageAndCargoAndClearsItsGoals) {
    // Where its units came to rest, told once its factory died.
    mirrorFactory->destroyed = 1;
    mirror->goals.PushFront(std::make_unique<FakeGoal>(1, kMirror, SimId()));
    Execute(CommandBytes(57, kMirror).P(Point(64, 96)).B(3).L(30).L(90).L(7).Done());
    EXPECT_EQ(mirror->damage.Value(), 30);
    EXPECT_EQ(mirror->damage.Max(), 90);
    EXPECT_EQ(mirror->cargo, 7);
    EXPECT_EQ(mirror->goals.Front(), nullptr);
    // Amounts past the limits are held to them.
    Execute(CommandBytes(57, kMirror).P(Point(64, 96)).B(3).L(300).L(90).L(-7).Done());
    EXPECT_EQ(mirror->damage.Value(), 90);
    EXPECT_EQ(mirror->cargo, 0);
    // The copy goes where its owner says, also onto a place this machine's own unit holds
    // (state and snapshot alike).
    const Point held = owned->GetPosition();
    Execute(CommandBytes(9, kMirror).P(held).B(3).Done());
    EXPECT_EQ(mirror->GetPosition(), held);
    Execute(CommandBytes(57, kMirror).P(Point(64, 96)).B(3).L(30).L(90).L(7).Done());
    EXPECT_EQ(mirror->GetPosition(), Point(64, 96));
    Execute(CommandBytes(57, kMirror).P(held).B(3).L(30).L(90).L(7).Done());
    EXPECT_EQ(mirror->GetPosition(), held);
    // A wreck piece takes what its owner valued it at, past the room this machine gave it; a
    // unit's cargo stays within its room.
    const SimId pieceId = World::WreckPieceId(mirrorFactory->id, 1);
    auto made = std::make_unique<RecordingObject>(log, pieceId.team, pieceId.serial,
                                                  land.Centre(10, 10), 3, 0);
    RecordingObject* piece = made.get();
    ASSERT_EQ(world.AddWreck(std::move(made)), 1);
    piece->cargoCapacity = 200;
    mirror->cargoCapacity = 200;
    Execute(CommandBytes(57, pieceId).P(piece->GetPosition()).B(0).L(5).L(10).L(450).Done());
    EXPECT_EQ(piece->cargo, 450);
    EXPECT_EQ(piece->cargoCapacity, 450);
    Execute(CommandBytes(57, kMirror).P(held).B(3).L(30).L(90).L(450).Done());
    EXPECT_EQ(mirror->cargo, 200);
    EXPECT_EQ(mirror->cargoCapacity, 200);
}

TEST_F(CommandExecutorTest, AnAnnouncedFactoryIsMirroredAndCountsTowardsTheNextRound) {
    world.scenario = std::make_unique<Scenario>();
    world.scenario->networkPlayers = 3;
    const Point at = land.Centre(10, 3);
    // Each factory announced by its own team's machine.
    world.peerSlots[0].peerTeam = 3;
    Execute(CommandBytes(11, SimId(3, 50)).P(at).L(1).L(2).L(3).B('F').B(9).Done());
    GameObject* factory = world.TeamFactory(3);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->id, SimId(3, 50));
    EXPECT_EQ(factory->local, 0);
    EXPECT_EQ(factory->GetCargo(), 3);
    EXPECT_EQ(world.scenario->factoryPlaced[3], 1);
    EXPECT_EQ(world.scenario->factoriesAnnounced, 1);
    // A second announcement for the team changes nothing.
    Execute(CommandBytes(11, SimId(3, 51)).P(at).L(1).L(2).L(3).B('F').B(9).Done());
    EXPECT_EQ(world.scenario->factoriesAnnounced, 1);
    EXPECT_EQ(world.TeamFactory(3), factory);
    // The last factory the host waited for starts play everywhere: it unpauses and says so.
    world.networkGame = 1;
    world.networkHost = 1;
    world.paused = 1;
    world.pauseLocked = 1;
    world.scenario->waitingForFactories = 1;
    world.commands->Rewind();
    world.peerSlots[0].peerTeam = 4;
    Execute(CommandBytes(11, SimId(4, 52)).P(land.Centre(3, 10)).L(1).L(2).L(3).B('F').B(9).Done());
    EXPECT_EQ(world.scenario->factoriesAnnounced, 2);
    EXPECT_EQ(world.scenario->waitingForFactories, 0);
    EXPECT_EQ(world.paused, 0);
    EXPECT_EQ(world.pauseLocked, 0);
    const std::vector<uint8_t> go = CommandBytes(29).B(0).Done();
    ASSERT_GE(world.commands->Size(), go.size());
    EXPECT_TRUE(std::equal(go.begin(), go.end(),
                           world.commands->Data() + world.commands->Size() - go.size()));
    world.networkGame = 0;
    world.networkHost = 0;
    world.scenario.reset();
}

TEST_F(CommandExecutorTest, MiningAndSalvageFollowTheMirrorsFrontGoal) {
    mirror->goals.PushFront(std::make_unique<FakeGoal>(3, kMirror, kField));
    Execute(CommandBytes(14, kMirror).L(50).Done());
    EXPECT_EQ(fieldRaw->cargo, 450);
    EXPECT_EQ(mirror->cargo, 50);
    EXPECT_EQ(log, Log{"0:30 Team 2,2,2 1"});
    // Not the front goal's type: nothing.
    Execute(CommandBytes(17, kMirror).L(50).Done());
    EXPECT_EQ(wreck->cargo, 300);
    mirror->goals.PushFront(std::make_unique<FakeGoal>(4, kMirror, kWreck));
    log.clear();
    // Only the last word, amount 0, ends the wreck.
    Execute(CommandBytes(17, kMirror).L(30).Done());
    EXPECT_TRUE(log.empty());
    Execute(CommandBytes(17, kMirror).L(0).Done());
    EXPECT_EQ(wreck->cargo, 270);
    EXPECT_EQ(mirror->cargo, 80);
    EXPECT_EQ(log, Log{"0:40 Destroy"});
}

TEST_F(CommandExecutorTest, AWreckTakesThePictureOfItsClanOrAnyClanAndTheMirrorsPlace) {
    MemoryCatalogueMedia media;
    SetCatalogueMedia(&media);
    auto* veteran = new WreckTemplate('X', 'c', 0);
    veteran->minimumTechLevel = 3;
    std::vector<ListNode*> records = {new WreckTemplate('T', 'a', 0),
                                      new WreckTemplate('X', 'b', 0), veteran};
    // Peers' wrecks come only in network games, where a wreck lies where its maker put it.
    world.networkGame = 1;
    // Each clan's wreck pictures by its own tech level.
    world.techLevelT = 3;
    world.techLevelV = 1;
    for (ListNode* r : records)
        WreckList.PushBack(r);
    std::vector<std::string> made;
    world.makeWreck = [&](const WreckDescription& d) -> std::unique_ptr<GameObject> {
        made.push_back(Id(d.id) + " " + d.clan + d.chassis + " " + Pt(d.position));
        return std::make_unique<RecordingObject>(log, d.id.team, d.id.serial, d.position, 3, 1);
    };
    const Point open = land.Centre(10, 10);
    // Each wreck left by a death seen here.
    int dead = 500;
    auto died = [&](char clan, char chassis, const Point& at) {
        Died(SimId(2, dead++), at, clan, chassis);
    };
    for (char chassis : {'a', 'b', 'c'})
        died('V', chassis, open);
    died('T', 'a', owned->GetPosition());
    died('T', 'c', land.Centre(10, 3));
    died('X', 'c', land.Centre(12, 12));
    died('X', 'b', land.Centre(12, 14));
    Execute(Message(
        {CommandBytes(13, SimId(2, 80)).B('V').B('a').P(open).L(50).B(3).Done(),
         CommandBytes(13, SimId(2, 81)).B('V').B('b').P(open).L(50).B(3).Done(),
         CommandBytes(13, SimId(2, 82)).B('T').B('a').P(owned->GetPosition()).L(9).B(3).Done(),
         CommandBytes(13, SimId(2, 83)).B('V').B('c').P(open).L(9).B(3).Done(),
         CommandBytes(13, SimId(2, 84)).B('T').B('c').P(land.Centre(10, 3)).L(9).B(3).Done()}));
    // No picture for a 'V' wreck of chassis 'a'. The 'T' wreck under the owned unit is kept as
    // on the maker's machine, where the unit's copy may stand elsewhere.
    EXPECT_EQ(made, (std::vector<std::string>{"2:81 Vb " + Pt(open),
                                              "2:82 Ta " + Pt(owned->GetPosition()),
                                              "2:84 Tc " + Pt(land.Centre(10, 3))}));
    // A wreck of no clan takes the lower of the two clans' levels: the veteran picture waits.
    made.clear();
    Execute(Message(
        {CommandBytes(13, SimId(2, 87)).B('X').B('c').P(land.Centre(12, 12)).L(9).B(3).Done(),
         CommandBytes(13, SimId(2, 88)).B('X').B('b').P(land.Centre(12, 14)).L(9).B(3).Done()}));
    EXPECT_EQ(made, (std::vector<std::string>{"2:88 Xb " + Pt(land.Centre(12, 14))}));
    world.techLevelV = 3;
    made.clear();
    died('X', 'c', land.Centre(12, 12));
    Execute(CommandBytes(13, SimId(2, 89)).B('X').B('c').P(land.Centre(12, 12)).L(9).B(3).Done());
    EXPECT_EQ(made, (std::vector<std::string>{"2:89 Xc " + Pt(land.Centre(12, 12))}));
    world.techLevelV = 1;
    GameObject* underUnit = world.FindWreckById(SimId(2, 82));
    ASSERT_NE(underUnit, nullptr);
    EXPECT_EQ(underUnit->GetPosition(), owned->GetPosition());
    EXPECT_EQ(underUnit->GetCargo(), 9);
    GameObject* wreckMade = world.FindWreckById(SimId(2, 81));
    ASSERT_NE(wreckMade, nullptr);
    EXPECT_EQ(wreckMade->local, 0);
    EXPECT_EQ(wreckMade->GetCargo(), 50);
    // Nobody's, as the maker's own, in the colour the maker sent.
    for (GameObject* w : {underUnit, wreckMade}) {
        EXPECT_EQ(w->teamRecord.first, 0);
        EXPECT_EQ(w->teamRecord.third, 3);
    }
    // The maker's colour whatever this machine's copy of the team holds: a captured unit's
    // wreck, or one whose factory died on the maker's machine first, differs from the team's.
    mirrorFactory->teamRecord.third = 5;
    const struct {
        int32_t serial;
        int sent;
        bool factoryDead;
        int32_t colour;
    } colours[] = {{90, 0, false, 0},     {91, 7, false, 7},    {92, 5, true, 5},
                   {93, 254, false, 254}, {94, 255, false, -1}, {95, 8, true, 8}};
    for (const auto& c : colours) {
        mirrorFactory->destroyed = c.factoryDead ? 1 : 0;
        died('T', 'c', land.Centre(3 + c.serial - 90, 12));
        Execute(CommandBytes(13, SimId(2, c.serial))
                    .B('T')
                    .B('c')
                    .P(land.Centre(3 + c.serial - 90, 12))
                    .L(9)
                    .B(c.sent)
                    .Done());
        GameObject* w = world.FindWreckById(SimId(2, c.serial));
        ASSERT_NE(w, nullptr) << c.serial;
        EXPECT_EQ(w->teamRecord.third, c.colour) << c.serial;
        EXPECT_EQ(w->teamRecord.first, 0) << c.serial;
        EXPECT_EQ(w->GetCargo(), 9) << c.serial;
    }
    mirrorFactory->destroyed = 0;
    // The old length, without the colour, is a damaged command.
    EXPECT_EQ(
        Execute(CommandBytes(13, SimId(2, 96)).B('T').B('c').P(land.Centre(12, 3)).L(9).Done()), 0);
    EXPECT_EQ(world.FindWreckById(SimId(2, 96)), nullptr);
    world.networkGame = 0;
    for (ListNode* r : records)
        delete r;
    SetCatalogueMedia(nullptr);
}

TEST_F(CommandExecutorTest, ADamagedMessageChangesNothingAndDropsItsPeer) {
    const std::vector<uint8_t> good = CommandBytes(29).B(0).Done();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"length below 7", CommandBytes(0).Done(6)},
        {"length past the message", CommandBytes(29).B(0).Done(9)},
        {"length disagreeing with the kind", CommandBytes(1, SimId(2, 0)).W(1).B(0).Done()},
        {"kind above 59", CommandBytes(60).Done()},
        {"pause mark without its number", CommandBytes(58).B(1).Done()},
        {"eleven facings", CommandBytes(9, kMirror)
                               .P(Point())
                               .B(0)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .B(1)
                               .Done()},
        {"state without facing", CommandBytes(9, kMirror).P(Point()).Done()},
        {"text without NUL", CommandBytes(27, SimId(2, 0)).S("abc", false).Done()},
        {"bytes after the NUL", CommandBytes(41).B(0).B(0).S("hi").B(1).Done()},
        {"goal type 9", CommandBytes(8, kMirror).W(9).Done()},
        {"goal fields missing", CommandBytes(8, kMirror).W(2).P(Point()).Done()},
        {"factory for team 0",
         CommandBytes(11, SimId(0, 50)).P(Point()).L(1).L(2).L(3).B('F').B(9).Done()},
        {"factory for team 5",
         CommandBytes(11, SimId(5, 50)).P(Point()).L(1).L(2).L(3).B('F').B(9).Done()},
        {"clan letter", CommandBytes(24).Settings('Q').Done()},
        {"start order repeats at the start",
         CommandBytes(25).Settings('V', 3, 5000, 18).B(5).Done()},
        {"tech 9", CommandBytes(24).Settings('V', 9).Done()},
        {"resources 9901", CommandBytes(24).Settings('V', 3, 9901).Done()},
        {"speed 6", CommandBytes(25).Settings().B(6).Done()},
        {"speed 0", CommandBytes(40).B(0).Done()},
        {"player 5", CommandBytes(44).B(5).B(3).B(0).B(0).A("").A("").Done()},
        {"address not dotted", CommandBytes(44).B(2).B(2).B(0).B(1).A("host.example").A("").Done()},
        {"address too short", CommandBytes(44).B(2).B(2).B(0).B(1).A("127.0.1").A("").Done()},
        {"second address not dotted",
         CommandBytes(44).B(2).B(3).B(0).B(2).A("127.0.0.2").A("host.example").Done()},
        {"dropped team 0", CommandBytes(45).B(2).B(0).Done()},
        {"player number 7", CommandBytes(46).B(7).Done()},
        {"new owner team 5", CommandBytes(37, kOwned).B(5).B(1).Done()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.paused = 1;
        world.peerSlots[0].peerTeam = 2;
        link->lost = 0;
        link->dropReason = 0;
        log.clear();
        const uint64_t before = world.StateChecksum();
        // The good command in front is not applied either: the message is checked whole.
        EXPECT_EQ(Execute(Message({good, c.bytes})), 0);
        EXPECT_EQ(world.paused, 1);
        EXPECT_EQ(world.StateChecksum(), before);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(link->DropReason(), CommLink::kDroppedDamaged);
        EXPECT_EQ(link->ConnectionLost(), 1);
    }
    // The World drops the peer with a message naming its player.
    world.CheckPeers();
    EXPECT_EQ(world.PeerCount(), 0);
    EXPECT_STREQ(world.statusText, "Player 2 sent damaged data.");
}

}  // namespace
