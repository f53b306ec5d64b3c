// Generated worlds: start points, colours, opponents, alliances, the debug flag and artifacts.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/PointNode.h"
#include "core/Random.h"
#include "map/TerrainMap.h"
#include "world/Campaign.h"
#include "world/GameRecords.h"
#include "world/MissionStats.h"
#include "world/ScenarioFixture.h"

namespace {

TEST(ScenarioSetup, StartPointsSkipEntriesTheLandLacks) {
    Scenario s;
    const int32_t order[] = {7, 2, 0, 9, 1};
    for (int i = 0; i < 5; ++i)
        s.startOrder[i] = order[i];
    for (int i = 5; i < Scenario::kStartOrderLength; ++i)
        s.startOrder[i] = 19;
    EXPECT_EQ(s.StartPointIndex(1, 3), 2);
    EXPECT_EQ(s.StartPointIndex(3, 3), 1);
    // Too few start points: no index, not a wild one.
    EXPECT_EQ(s.StartPointIndex(4, 3), -1);
    s.debugFlag = 1;
    EXPECT_EQ(s.StartPointIndex(4, 3), 0);
    EXPECT_EQ(s.StartPointIndex(1, 0), -1);
    s.ShuffleStartOrder();
    std::vector<int> seen(Scenario::kStartOrderLength, 0);
    for (int32_t entry : s.startOrder)
        ++seen.at(static_cast<size_t>(entry));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), Scenario::kStartOrderLength);
}

// A copy (the replay of a mission, the set-up screen's descriptor) takes the file it names,
// its own copy of the loaded counters and every view point; a source without a file leaves
// the copy's file as it was.
TEST(ScenarioSetup, ACopyTakesTheFileTheCountersAndTheViewPoints) {
    Scenario source;
    source.SetSaveFileName("s.scn");
    source.loadedStats = std::make_unique<MissionStats>();
    source.loadedStats->kills = 3;
    for (int i = 0; i < Scenario::kViewPoints; ++i)
        source.viewPoints[i] = Point(10 * i, 20 * i + 1);
    source.factoryPlaced[4] = 1;
    Scenario copy;
    copy.CopyFrom(source);
    EXPECT_STREQ(copy.FileName(), "s.scn");
    EXPECT_TRUE(copy.IsSave());
    ASSERT_NE(copy.loadedStats, nullptr);
    EXPECT_NE(copy.loadedStats.get(), source.loadedStats.get());
    EXPECT_EQ(copy.loadedStats->kills, 3);
    for (int i = 0; i < Scenario::kViewPoints; ++i)
        EXPECT_EQ(copy.viewPoints[i], source.viewPoints[i]) << i;
    EXPECT_EQ(copy.factoryPlaced[4], 1);
    Scenario unnamed;
    copy.CopyFrom(unnamed);
    EXPECT_STREQ(copy.FileName(), "s.scn");
    EXPECT_EQ(copy.loadedStats, nullptr);
    EXPECT_EQ(copy.viewPoints[3], Point(-1, -1));
    EXPECT_EQ(copy.factoryPlaced[4], 0);
}

TEST(ScenarioSetup, ColoursAvoidTheOnesOtherTeamsHold) {
    Scenario s;
    s.teamColours[1] = 1;
    s.teamColours[3] = 2;
    EXPECT_EQ(s.AssignTeamColour(2, 1), 3);
    EXPECT_EQ(s.AssignTeamColour(2, 7), 3);
    EXPECT_EQ(s.AssignTeamColour(4, 0), 0);
    s.teamColours[1] = 8;
    EXPECT_EQ(s.AssignTeamColour(4, 8), 5);
    // A full range still ends.
    Scenario full;
    for (int t = 1; t < 5; ++t)
        full.teamColours[t] = t;
    EXPECT_EQ(full.AssignTeamColour(0, 1), -1);
    // Teams 0 to 4 take colours; a team outside them takes none.
    Scenario fresh;
    EXPECT_EQ(fresh.AssignTeamColour(4, 2), 2);
    // The top colour of each range is a colour of it.
    EXPECT_EQ(fresh.AssignTeamColour(1, 4), 4);
    EXPECT_EQ(fresh.AssignTeamColour(2, 8), 8);
    EXPECT_EQ(fresh.AssignTeamColour(5, 3), -1);
    EXPECT_EQ(fresh.AssignTeamColour(-1, 3), -1);
    // The colour of a slot nobody chose is kept by as many teams as ask for it, and the colour a
    // team holds already stays.
    EXPECT_EQ(fresh.AssignTeamColour(3, Scenario::kDroppedPlayerColour),
              Scenario::kDroppedPlayerColour);
    EXPECT_EQ(fresh.AssignTeamColour(0, Scenario::kDroppedPlayerColour),
              Scenario::kDroppedPlayerColour);
    EXPECT_EQ(fresh.AssignTeamColour(4, Scenario::kDroppedPlayerColour), 2);
}

TEST(ScenarioSetup, OpponentsAlliancesAndTheDebugFlag) {
    const struct {
        int opponents, difficulty, debug, factories, controllers, pairs;
    } cases[] = {
        {1, 1, 0, 2, 1, 0}, {3, 2, 0, 4, 3, 0}, {3, 4, 0, 4, 3, 2},
        {3, 5, 0, 4, 3, 3}, {0, 5, 0, 2, 0, 0}, {3, 5, 1, 1, 0, 0},
    };
    for (const auto& c : cases) {
        ScenarioWorld s;
        auto d = std::make_unique<Scenario>();
        d->computerPlayers = c.opponents;
        d->difficulty = c.difficulty;
        d->debugFlag = c.debug;
        d->colour = 1;
        ASSERT_EQ(s.Start(std::move(d)), 1);
        World& w = *s.world;
        int factories = 0;
        int controllers = 0;
        int pairs = 0;
        for (int a = 1; a < World::kTeams; ++a) {
            factories += w.TeamFactory(a) ? 1 : 0;
            controllers += w.controllers[a] ? 1 : 0;
            for (int b = a + 1; b < World::kTeams; ++b)
                pairs += w.AreAllied(a, b);
            if (auto* rc = dynamic_cast<RecordController*>(w.controllers[a].get())) {
                EXPECT_EQ(rc->setupLevel, c.difficulty);
            }
        }
        EXPECT_EQ(factories, c.factories) << c.opponents << " " << c.difficulty;
        EXPECT_EQ(controllers, c.controllers);
        EXPECT_EQ(pairs, c.pairs);
        // One deposit per start point; a fake factory standing on one may refuse it.
        EXPECT_GE(w.oreDeposits.Count(), 3);
        EXPECT_EQ(w.MissionNumber(), 0);
        EXPECT_EQ(w.LandNumber(), 0);
    }
}

TEST(ScenarioSetup, WithoutAPendingScenarioTheDefaultOneStartsOnTheLooseLand) {
    ScenarioWorld s;
    ASSERT_EQ(s.world->NewGame(), 1);
    const Scenario& d = *s.world->scenario;
    EXPECT_EQ(d.landNumber, -1);
    EXPECT_EQ(s.world->LandNumber(), -1);
    EXPECT_EQ(d.difficulty, 3);
    EXPECT_EQ(d.colour, 1);
    EXPECT_EQ(d.playerSlots[1], 'V');
    ASSERT_NE(s.world->TeamFactory(1), nullptr);
    ASSERT_NE(s.world->TeamFactory(2), nullptr);
    // Each team at a start point of its own, not both on the same one.
    EXPECT_NE(s.world->TeamFactory(1)->GetPosition(), s.world->TeamFactory(2)->GetPosition());
    // A factory stands one cell left of and below its start point.
    NodeList& starts = s.world->terrain->StartPoints();
    for (int team : {1, 2}) {
        int on = 0;
        for (int i = 0; i < starts.Count(); ++i)
            on += static_cast<PointNode*>(starts.At(i))->value + Point(-32, 32) ==
                  s.world->TeamFactory(team)->GetPosition();
        EXPECT_EQ(on, 1) << team;
    }
    // The view opens up and left of the local factory, so that it shows inside the view.
    EXPECT_EQ(d.viewOrigin, s.world->TeamFactory(1)->GetPosition() - Point(250, 250));
    for (int team = 0; team < World::kTeams; ++team)
        EXPECT_NE(s.world->teamStats[team], nullptr);
}

TEST(ScenarioSetup, ATeamWithoutAStartPointGetsNoBuilding) {
    LandLayout layout = ScenarioLand();
    layout.starts.resize(2);
    ScenarioWorld s(layout);
    ASSERT_EQ(s.StartSkirmish(3), 1);
    int factories = 0;
    for (int team = 1; team < World::kTeams; ++team)
        factories += s.world->TeamFactory(team) ? 1 : 0;
    EXPECT_EQ(factories, 2);
}

TEST(ScenarioSetup, ArtifactCountFollowsTheMapSizeAndAFullMapEnds) {
    // 100 columns are 3200 pixels.
    const struct {
        int columns, rows, count;
    } cases[] = {{99, 100, 10}, {100, 100, 20}, {100, 101, 40}, {101, 99, 10}};
    for (const auto& c : cases) {
        ScenarioWorld s(ScenarioLand(c.columns, c.rows));
        SeedRandom(7);
        ASSERT_EQ(s.StartSkirmish(1), 1);
        EXPECT_EQ(s.world->artifacts.Count(), c.count) << c.columns << "x" << c.rows;
    }
    // Water everywhere: no artifact finds a place, none is kept or announced.
    LandLayout wet = ScenarioLand(12, 10);
    for (std::string& row : wet.letters)
        row.assign(row.size(), 'w');
    ScenarioWorld s(wet);
    ASSERT_EQ(s.StartSkirmish(1), 1);
    EXPECT_EQ(s.world->artifacts.Count(), 0);
}

// Rows 0 (the skirmish) to 12 (the tutorial) of each clan; no row either side of them.
TEST(ScenarioSetup, TheCampaignTableHasThirteenRowsAClan) {
    for (const char clan : {'V', 'T'}) {
        ASSERT_NE(Campaign::GetMissionEntry(clan, 0), nullptr);
        EXPECT_EQ(Campaign::GetMissionEntry(clan, 0)->packEntry, -1);
        ASSERT_NE(Campaign::GetMissionEntry(clan, 12), nullptr);
        EXPECT_EQ(Campaign::GetMissionEntry(clan, 12)->packEntry, 22);
        EXPECT_EQ(Campaign::GetMissionEntry(clan, 13), nullptr);
        EXPECT_EQ(Campaign::GetMissionEntry(clan, -1), nullptr);
    }
    World w;
    EXPECT_EQ(Campaign::GetMissionTextId(w), -1);
    w.scenario = std::make_unique<Scenario>();
    w.scenario->clanLetter = 'T';
    w.scenario->missionNumber = 3;
    EXPECT_EQ(Campaign::GetMissionTextId(w), 268);
    w.scenario->missionNumber = 13;
    EXPECT_EQ(Campaign::GetMissionTextId(w), -1);
}

TEST(ScenarioSetup, ACampaignDescriptorWithoutEntryTakesItsRow) {
    ScenarioWorld s;
    auto d = std::make_unique<Scenario>();
    d->missionNumber = 1;
    // No pack is there: the row's entry is asked for and found missing, so nothing starts.
    EXPECT_EQ(s.Start(std::move(d)), 0);
    EXPECT_STREQ(s.world->statusText, World::MessageLine(World::kDamagedPackLine));
}

}  // namespace

namespace {

TEST(ScenarioSetup, TheWorldsRecordsCountIntoTheTeamRecordsAndTheScenario) {
    ScenarioWorld s;
    ASSERT_EQ(s.StartSkirmish(2), 1);
    World& w = *s.world;
    GameRecords& records = *w.gameRecords;
    EXPECT_EQ(records.HasScenario(), 1);
    records.CountKill(1);
    records.CountLoss(2);
    records.CountLoss(9);
    records.TallyUnit(3, 40, 60);
    // Teams 0 to 4 keep records; a team past either end counts nowhere.
    for (int team : {-1, 0, 4, 5})
        records.CountKill(team);
    EXPECT_EQ(w.teamStats[0]->kills, 1);
    EXPECT_EQ(w.teamStats[4]->kills, 1);
    EXPECT_EQ(w.teamStats[1]->kills, 1);
    EXPECT_EQ(w.teamStats[2]->losses, 1);
    EXPECT_EQ(w.teamStats[3]->buildCost, 60);
    EXPECT_EQ(records.PlayerCount(), 3);
    records.SetPlayerCount(2);
    EXPECT_EQ(records.PlayerCount(), 2);
    records.EmptyPlayerSlot(2);
    EXPECT_EQ(w.scenario->teamColours[2], Scenario::kDroppedPlayerColour);
    EXPECT_EQ(w.scenario->playerSlots[2], 'X');
    EXPECT_EQ(records.AllPlayerSlotsEmpty(), 1);
    w.scenario->localTeam = 3;
    w.scenario->playerSlots[1] = 'T';
    EXPECT_EQ(records.AllPlayerSlotsEmpty(), 0);
    w.scenario->missionNumber = 10;
    EXPECT_EQ(records.HasScriptedStructure(2, 3), 1);
    w.ClearObjects();
    EXPECT_EQ(records.HasScenario(), 0);
    EXPECT_EQ(records.AllPlayerSlotsEmpty(), 0);
    EXPECT_EQ(records.PlayerCount(), 0);
    records.CountKill(1);
}

}  // namespace

namespace {

// In a network game each machine builds only its own team's building and counts the others
// placed for every slot a player holds; the game waits for their announcements.
TEST(ScenarioSetup, ANetworkGameBuildsOnlyTheLocalBuildingAndWaitsForTheOthers) {
    ScenarioWorld s;
    s.world->networkGame = 1;
    auto d = std::make_unique<Scenario>();
    d->localTeam = 2;
    d->clanLetter = 'V';
    d->colour = 2;
    const char slots[] = {'X', 'T', 'V', 'X', 'V'};
    std::copy(std::begin(slots), std::end(slots), d->playerSlots);
    d->ShuffleStartOrder();
    ASSERT_EQ(s.Start(std::move(d)), 1);
    World& w = *s.world;
    const Scenario& placed = *w.scenario;
    EXPECT_EQ(placed.waitingForFactories, 1);
    EXPECT_EQ(w.pauseLocked, 1);
    const int expected[World::kTeams] = {0, 1, 1, 0, 1};
    for (int team = 1; team < World::kTeams; ++team) {
        EXPECT_EQ(placed.factoryPlaced[team], expected[team]) << team;
        EXPECT_EQ(w.TeamFactory(team) != nullptr, team == 2) << team;
        EXPECT_EQ(w.controllers[team], nullptr) << team;
    }
    w.networkGame = 0;
}

}  // namespace
