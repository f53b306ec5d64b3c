#include <gtest/gtest.h>

#include <filesystem>

#include "core/Settings.h"
#include "objects/CommandBuffer.h"
#include "platform/ScriptHooks.h"
#include "support/MemoryLink.h"
#include "world/GameFlow.h"
#include "world/ObjectNode.h"
#include "world/PathRequestNode.h"
#include "world/Scenario.h"
#include "world/SimIdNode.h"
#include "world/TestObject.h"
#include "world/WorldTestFixture.h"

namespace {

// A World whose title screen (a recording screen) is current, in a battle that is running.
class WorldTick : public ::testing::Test {
protected:
    void SetUp() override {
        f.world->ApplyModeChange();
        screen = f.screens.Last("title");
        f.screens.log.calls.clear();
    }
    void StartBattle() {
        f.world->inGame = 1;
        f.world->paused = 0;
    }
    void AddController(int team, uint32_t cost) {
        auto controller = std::make_unique<BudgetController>(team, turns, f.clock, cost);
        f.world->SetTeamController(team, std::move(controller));
    }
    int Draws() const { return f.screens.log.Count("title.Draw"); }

    WorldFixture f;
    RecordingScreen* screen = nullptr;
    std::vector<int> turns;
};

TEST_F(WorldTick, PassesWithinTheFloorDoNothingAndTheirTimeCountsLater) {
    EXPECT_EQ(f.world->Tick(100), 1);
    EXPECT_EQ(screen->lastElapsed, 100);
    EXPECT_EQ(f.world->Tick(110), 1);
    EXPECT_EQ(Draws(), 1);
    EXPECT_EQ(f.world->Tick(115), 1);
    EXPECT_EQ(Draws(), 1);
    f.world->Tick(116);
    EXPECT_EQ(Draws(), 2);
    EXPECT_EQ(screen->lastElapsed, 16);
    EXPECT_EQ(f.world->lastTickMs, 116);
}

TEST_F(WorldTick, TheInterfaceStepsOncePerNewTenthOfASecond) {
    f.world->Tick(1090);
    const int afterFirst = f.display.cursorFrame;
    f.world->Tick(1106);
    EXPECT_EQ(f.display.cursorFrame, afterFirst + 1);
    EXPECT_EQ(f.world->lastTenth, 11);

    WorldFixture g;
    g.world->ApplyModeChange();
    g.world->Tick(1100);
    const int afterTenth11 = g.display.cursorFrame;
    g.world->Tick(1116);
    EXPECT_EQ(g.display.cursorFrame, afterTenth11);
    // However many tenths passed, one step.
    g.world->Tick(1500);
    EXPECT_EQ(g.display.cursorFrame, afterTenth11 + 1);
}

TEST_F(WorldTick, SnapshotIsDueAfterMoreThanASecondGatheredInAScenarioOnly) {
    for (int tick = 1; tick <= 58; ++tick) {
        EXPECT_EQ(f.world->GatherSnapshotTime(17), 0) << tick;
    }
    EXPECT_EQ(f.world->autosaveAccumMs, 986);
    EXPECT_EQ(f.world->GatherSnapshotTime(17), 1);
    EXPECT_EQ(f.world->autosaveAccumMs, 0);
    // Exactly a second is not yet more than one.
    EXPECT_EQ(f.world->GatherSnapshotTime(1000), 0);
    EXPECT_EQ(f.world->GatherSnapshotTime(1), 1);
    // The tick gathers nothing without a scenario in play.
    autosaveOn = 1;
    StartBattle();
    f.world->Tick(100);
    f.world->Tick(200);
    autosaveOn = 0;
    EXPECT_EQ(f.world->autosaveAccumMs, 0);
    // With a scenario in play, a battle's tick past the second writes the snapshot.
    f.world->scenario = std::make_unique<Scenario>();
    const std::string snapshot = f.directory.Path() + "/" + World::kSnapshotFile;
    ASSERT_FALSE(std::filesystem::exists(snapshot));
    autosaveOn = 1;
    int now = 300;
    for (int tick = 0; tick < 62; ++tick)
        f.world->Tick(now += 17);
    autosaveOn = 0;
    EXPECT_LT(f.world->autosaveAccumMs, 1000);
    EXPECT_GT(f.world->autosaveAccumMs, 0);
    EXPECT_TRUE(std::filesystem::exists(snapshot));
    EXPECT_EQ(f.world->autosaveFailing, 0);
}

TEST_F(WorldTick, MapObjectsStepOnlyInARunningBattle) {
    auto deposit = std::make_unique<TestObject>(0, 1, Point(100, 100));
    TestObject* object = deposit.get();
    ListNode* node = new ObjectNode(std::move(deposit));
    f.world->oreDeposits.PushFront(node);
    f.world->Tick(100);
    EXPECT_EQ(object->updates, 0);
    // A script awaiting the battle learns each tick whether one runs, paused or not.
    EXPECT_EQ(winx_ScriptBattleState(), winx_ScriptBattle::None);
    StartBattle();
    f.world->Tick(200);
    EXPECT_EQ(object->updates, 1);
    EXPECT_EQ(winx_ScriptBattleState(), winx_ScriptBattle::Running);
    f.world->paused = 1;
    f.world->Tick(300);
    EXPECT_EQ(object->updates, 1);
    EXPECT_EQ(winx_ScriptBattleState(), winx_ScriptBattle::Paused);
    winx_SetScriptBattle(winx_ScriptBattle::None);
}

TEST_F(WorldTick, NothingIsSimulatedWhilePausedButTheScreenStillDraws) {
    StartBattle();
    f.world->paused = 1;
    AddController(1, 0);
    SimIdNode* request = new SimIdNode(SimId(1, 7));
    f.world->pathRequests.PushFront(request);
    // Played alone, a pause runs no death pass: the dead stay listed until the battle runs.
    auto dead = std::make_unique<TestObject>(1, 9, Point(50, 50));
    dead->destroyed = 1;
    ListNode* deadNode = new ObjectNode(std::move(dead));
    f.world->sims[1].PushFront(deadNode);
    for (int now = 100; now <= 1000; now += 100)
        f.world->Tick(now);
    EXPECT_EQ(f.world->sims[1].Count(), 1);
    EXPECT_TRUE(turns.empty());
    EXPECT_EQ(f.world->frontRequestAge, 0);
    EXPECT_FALSE(f.world->pathRequests.IsEmpty());
    EXPECT_EQ(Draws(), 10);
}

TEST_F(WorldTick, PathRequestAtTheFrontIsDroppedAfterTenTicksAndTheNextStartsItsOwnWait) {
    StartBattle();
    SimIdNode* newer = new PathRequestNode(SimId(1, 8), 0, f.world->pathRequestIndex);
    SimIdNode* older = new SimIdNode(SimId(1, 7));
    f.world->pathRequests.PushFront(older);
    f.world->pathRequests.PushFront(newer);
    for (int tick = 1; tick <= 10; ++tick)
        f.world->Tick(100 * tick);
    EXPECT_EQ(f.world->frontRequestAge, 10);
    EXPECT_EQ(f.world->pathRequests.Count(), 2);
    f.world->Tick(1100);
    ASSERT_EQ(f.world->pathRequests.Count(), 1);
    EXPECT_EQ(static_cast<SimIdNode*>(f.world->pathRequests.Last())->id, SimId(1, 8));
    EXPECT_EQ(f.world->frontRequestAge, 0);
    // Every request counts the game time it has waited, at the front or behind it.
    auto* waiting = dynamic_cast<PathRequestNode*>(f.world->pathRequests.Last());
    ASSERT_NE(waiting, nullptr);
    const int32_t waited = waiting->waitedMs;
    EXPECT_GE(waited, 1000);
    f.world->Tick(1200);
    EXPECT_EQ(f.world->pathRequests.Count(), 1);
    EXPECT_EQ(waiting->waitedMs, waited + 100);
}

TEST_F(WorldTick, EveryTeamRunsInOrderWhileTheBudgetLasts) {
    StartBattle();
    for (int team = 0; team < World::kTeams; ++team)
        AddController(team, 10);
    f.world->Tick(100);
    EXPECT_EQ(turns, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(f.world->nextAiTeam, 0);
}

TEST_F(WorldTick, TheTeamThatUsedUpTheBudgetRunsFirstNextTick) {
    StartBattle();
    AddController(1, 10);
    AddController(2, 150);
    AddController(3, 10);
    AddController(4, 10);
    f.world->Tick(100);
    EXPECT_EQ(turns, (std::vector<int>{1, 2}));
    EXPECT_EQ(f.world->nextAiTeam, 2);
    turns.clear();
    f.world->Tick(200);
    // Team 2 again first (not team 3), and it uses the budget up again.
    EXPECT_EQ(turns, (std::vector<int>{2}));
    static_cast<BudgetController*>(f.world->controllers[2].get())->cost = 10;
    turns.clear();
    f.world->Tick(300);
    EXPECT_EQ(turns, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(f.world->nextAiTeam, 0);
}

TEST_F(WorldTick, HaltedComputerTeamsGetNoTurns) {
    StartBattle();
    AddController(1, 0);
    aiHalted = 1;
    f.world->Tick(100);
    aiHalted = 0;
    EXPECT_TRUE(turns.empty());
    f.world->Tick(200);
    EXPECT_EQ(turns, (std::vector<int>{1}));
}

TEST_F(WorldTick, ScreenRunsEventsUpdateAndDrawThenTheFrameIsPresented) {
    const int presents = f.display.presents;
    f.world->Tick(100);
    EXPECT_EQ(f.screens.log.calls,
              (std::vector<std::string>{"title.HandleEvents", "title.Update", "title.Draw"}));
    EXPECT_EQ(f.display.presents, presents + 1);
}

TEST_F(WorldTick, AScreenThatEndsIsStillDrawnAndTheModeChangesAtTheEndOfTheTick) {
    screen->handleResult = 0;
    // The title's default next mode is the main menu.
    EXPECT_EQ(f.world->Tick(100), 1);
    EXPECT_EQ(f.screens.log.calls,
              (std::vector<std::string>{"title.HandleEvents", "title.Update", "title.Draw",
                                        "title.Deactivate", "title.Unload", "title.Deleted",
                                        "menu.Load", "menu.Activate"}));
    EXPECT_EQ(f.world->currentMode, static_cast<int>(GameMode::MainMenu));
}

TEST_F(WorldTick, QuitModeEndsTheLoop) {
    screen->updateResult = 0;
    f.world->requestedMode = static_cast<int>(GameMode::Quit);
    EXPECT_EQ(f.world->Tick(100), 0);
    EXPECT_EQ(f.world->currentScreen, nullptr);
}

TEST_F(WorldTick, ANetworkGameWithoutPeersReturnsToTheMainMenuAtOnceButStaysOnTheResults) {
    f.world->networkGame = 1;
    EXPECT_EQ(f.world->Tick(100), 1);
    EXPECT_EQ(f.world->currentMode, static_cast<int>(GameMode::MainMenu));
    // The screen calls of that tick are skipped.
    EXPECT_EQ(f.screens.log.Count("title.Draw"), 0);
    // On the results screen it stays there.
    f.Switch(GameMode::Results);
    f.world->networkGame = 1;
    f.screens.log.calls.clear();
    f.world->Tick(200);
    EXPECT_EQ(f.world->currentMode, static_cast<int>(GameMode::Results));
    EXPECT_EQ(f.screens.log.Count("results.Draw"), 1);
}

// Modes 8 and 9 may leave the World without a screen; the frame is still presented.
TEST_F(WorldTick, WithoutAScreenTheTickStillPresents) {
    f.Switch(GameMode::MainMenu);
    f.Switch(GameMode::StartScenario);
    ASSERT_EQ(f.world->currentScreen, nullptr);
    // Without the game flow, which would move on from mode 9 at once.
    f.world->gameFlow.reset();
    const int presents = f.display.presents;
    EXPECT_EQ(f.world->Tick(100), 1);
    EXPECT_EQ(f.display.presents, presents + 1);
}

// A network game with two peers on memory links.
class WorldNetworkTick : public WorldTick {
protected:
    void SetUp() override {
        WorldTick::SetUp();
        f.world->makeLink = [this]() -> std::unique_ptr<CommLink> {
            auto link = std::make_unique<MemoryLink>();
            links.push_back(link.get());
            return link;
        };
        ASSERT_NE(f.world->AddPeer(), nullptr);
        ASSERT_NE(f.world->AddPeer(), nullptr);
        f.world->StartRecording();
        f.world->executeCommands = [this](CommandBuffer& message, int slot) {
            executed.emplace_back(slot, std::vector<uint8_t>(message.start, message.cursor));
        };
    }
    void TearDown() override { f.world->ClosePeers(nullptr); }

    std::vector<MemoryLink*> links;
    std::vector<std::pair<int, std::vector<uint8_t>>> executed;
};

TEST_F(WorldNetworkTick, EveryCompleteMessageOfEveryPeerIsExecutedInTurn) {
    links[0]->incoming.push_back({1, 2, 3});
    links[0]->incoming.push_back({4, 5});
    links[1]->incoming.push_back({6});
    EXPECT_EQ(f.world->NetworkStep(), 1);
    ASSERT_EQ(executed.size(), 3u);
    EXPECT_EQ(executed[0], (std::pair<int, std::vector<uint8_t>>{0, {1, 2, 3}}));
    EXPECT_EQ(executed[1], (std::pair<int, std::vector<uint8_t>>{0, {4, 5}}));
    EXPECT_EQ(executed[2], (std::pair<int, std::vector<uint8_t>>{1, {6}}));
    EXPECT_EQ(f.world->peerSlots[0].peerCommands->Size(), 0u);
}

// The recorded commands go out through the peers' own sending (see the peer slot tests).
TEST_F(WorldNetworkTick, AHeartbeatGoesOutEveryTwoSecondsAndLosingTheLastPeerEndsTheGame) {
    f.world->NetworkStep();
    EXPECT_TRUE(links[0]->sent.empty());
    f.clock.Advance(2000);
    f.world->NetworkStep();
    ASSERT_EQ(links[0]->sent.size(), 1u);
    EXPECT_EQ(links[0]->sent[0].size(), static_cast<size_t>(CommandBuffer::kHeaderSize));
    f.clock.Advance(1999);
    f.world->NetworkStep();
    EXPECT_EQ(links[0]->sent.size(), 1u);
    // Losing the last peer ends the network game.
    links[0]->lost = 1;
    EXPECT_EQ(f.world->NetworkStep(), 1);
    links[1]->lost = 1;
    EXPECT_EQ(f.world->NetworkStep(), 0);
    EXPECT_EQ(f.world->networkGame, 0);
}

TEST_F(WorldNetworkTick, AnEmptyCommandIsAHeartbeatAloneAndKeepsTheRecordingSwitch) {
    f.world->commands->SendPause(1);
    f.world->commands->SetEnabled(0);
    f.world->SendEmptyCommand();
    for (MemoryLink* link : links) {
        ASSERT_EQ(link->sent.size(), 1u);
        EXPECT_EQ(link->sent[0].size(), static_cast<size_t>(CommandBuffer::kHeaderSize));
        EXPECT_EQ(link->sent[0][1], 0);  // the heartbeat's kind
    }
    EXPECT_EQ(f.world->commands->Size(), 0u);
    EXPECT_EQ(f.world->commands->IsEnabled(), 0);
}

}  // namespace
