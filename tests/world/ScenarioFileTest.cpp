// Scenario files: a game saved, read into a fresh World and saved again gives the same bytes;
// damaged files change nothing; bad records are dropped; a failed write keeps the old file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Crc32.h"
#include "core/Random.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/Wreck.h"
#include "platform/AtomicFile.h"
#include "support/SaveForms.h"
#include "support/SignedSave.h"
#include "world/MemoryCatalogueMedia.h"
#include "world/MissionStats.h"
#include "world/ScenarioCheck.h"
#include "world/ScenarioFixture.h"
#include "world/ScenarioText.h"

namespace {

// A wreck look for part 'a' of either clan, for the length of a test.
class WreckLook {
public:
    WreckLook() {
        SetCatalogueMedia(&media);
        WreckList.PushBack(new WreckTemplate('X', 'a', 0));
        DestructibleList.PushBack(new DestructibleTemplate('X', 'd'));
    }
    ~WreckLook() {
        WreckList.DeleteAll();
        DestructibleList.DeleteAll();
        SetCatalogueMedia(nullptr);
    }
    MemoryCatalogueMedia media;
};

std::string Header(const std::string& lines) {
    return ": H\nJ = 0\nL = V\nK = 0\nI = 1\n" + lines + "\n";
}

TEST(ScenarioFile, ARoundTripGivesTheSameBytes) {
    // The start scatters artifacts by the generator; from a fixed state none lands under a
    // unit, which would take it on the way back, whatever the tests before this one drew.
    SeedRandom(0);
    WreckLook look;
    ScenarioWorld s;
    auto descriptor = std::make_unique<Scenario>();
    descriptor->computerPlayers = 2;
    descriptor->difficulty = 3;
    descriptor->colour = 2;
    descriptor->ShuffleStartOrder();
    ASSERT_EQ(s.Start(std::move(descriptor)), 1);
    World& w = *s.world;
    RecordObject* unit = s.AddUnit(1, 10, 10, "VSbbc-------399199212299Test");
    unit->extra = 77;
    unit->purpose = 40;
    unit->teamRecord.third = 2;
    const SimId unitId = unit->id;
    RecordObject* spider = s.AddUnit(2, 12, 20, "TSbbc-----3301 9004299Killer:Spider");
    spider->teamRecord.second = 3;
    spider->teamRecord.third = 6;
    auto wreck =
        std::make_unique<Wreck>(w.pathGrid->CellCenter(20, 20), 0, Size(40, 40), nullptr, 0,
                                CollisionFilter(2, 0, 0, 0, 0), w.NewSimId(0), 0, 'V', 'a');
    wreck->SetCargoCapacity(500);
    wreck->AddCargo(300);
    ASSERT_EQ(w.AddWreck(std::move(wreck)), 1);
    w.AddGroup(std::make_unique<RecordObject>(w.NewSimId(2), Point(0, 0), 0, nullptr));
    // Decorations 0, 10, 13 and 32 (line ends and a blank as raw bytes) and none.
    // Frame 92 is the last with a character of its own.
    const int frames[] = {0, 10, 13, 32, -1, 92, 93};
    for (int c = 0; c < 7; ++c)
        w.terrain->SetDecoration(0, c, frames[c]);
    w.terrain->AddVisibility(1, 1, 1);
    w.Ally(SimId(2, 0), SimId(3, 0));
    w.scenario->debugFlag = 1;
    w.scenario->artifacts = 0;
    w.scenario->viewPoints[2] = Point(64, 96);
    w.teamStats[1]->kills = 4;
    auto* opponent = dynamic_cast<RecordController*>(w.controllers[2].get());
    ASSERT_NE(opponent, nullptr);
    opponent->SetDesignRules(std::make_unique<DesignRules>(), 9);
    opponent->rally = Point(300, 200);
    w.teamStats[1]->baseTime = 9000;

    // A sight cell whose four terrain cells were never seen on the first run, to stay
    // unexplored after the load.
    Point unseen(-1, -1);
    const Size cells = w.terrain->SizeInCells();
    for (int r = 0; r + 1 < cells.h && unseen.x < 0; r += 2) {
        for (int c = 0; c + 1 < cells.w && unseen.x < 0; c += 2) {
            const int seen =
                (w.terrain->Visibility(r, c) >= 0) + (w.terrain->Visibility(r + 1, c) >= 0) +
                (w.terrain->Visibility(r, c + 1) >= 0) + (w.terrain->Visibility(r + 1, c + 1) >= 0);
            if (seen == 0) unseen = w.terrain->CellCenter(r, c);
        }
    }
    ASSERT_GE(unseen.x, 0);

    ASSERT_EQ(w.SaveGame("a.scn"), 1);
    const std::string first = s.ReadFile("a.scn");
    for (const char* key :
         {"\ne = !+/B.~.", "\nr = Y\n", "\nn = 2\n", "\ns = 2,3\n", "\no = -1,-1,-1,-1,64,96,",
          "\nx = n\n", "\n: E\n", "Killer:Spider\nZ = 0\n", "\nq = 77\n", "\nZ = 40\n", "\n: R\n",
          "\n: F\n", "\nl = 4,0,9000,"})
        EXPECT_NE(first.find(key), std::string::npos) << key;
    // The land's lists hold one decoration and one sight row per row of cells, no more.
    const size_t lists = first.find("\n: L\n");
    ASSERT_NE(lists, std::string::npos);
    const std::string landRows = first.substr(lists, first.find("\n: ", lists + 1) - lists);
    size_t decorationRows = 0, sightRows = 0;
    for (size_t at = landRows.find("\ne = "); at != std::string::npos;
         at = landRows.find("\ne = ", at + 1))
        ++decorationRows;
    for (size_t at = landRows.find("\nf = "); at != std::string::npos;
         at = landRows.find("\nf = ", at + 1))
        ++sightRows;
    EXPECT_EQ(decorationRows, static_cast<size_t>(cells.h));
    EXPECT_EQ(sightRows, static_cast<size_t>(cells.h));

    s.Renew();
    ASSERT_EQ(s.StartFile("a.scn"), 1);
    ASSERT_EQ(s.world->SaveGame("b.scn"), 1);
    EXPECT_EQ(s.ReadFile("b.scn"), first);
    // What came back, by kind and id.
    World& back = *s.world;
    EXPECT_EQ(back.terrain->DecorationAt(0, 1), 10);
    EXPECT_EQ(back.terrain->DecorationAt(0, 4), 0xFF);
    EXPECT_EQ(back.terrain->DecorationAt(0, 5), 92);
    EXPECT_EQ(back.terrain->DecorationAt(0, 6), 0xFF);
    // The explored area comes back as seen before, in the terrain and in the local sight.
    EXPECT_EQ(back.terrain->Visibility(1, 1), 0);
    EXPECT_EQ(back.sight->IsExplored(back.terrain->CellCenter(1, 1), 1), 1);
    EXPECT_EQ(back.sight->IsVisible(back.terrain->CellCenter(1, 1), 1), 0);
    EXPECT_EQ(back.sight->IsExplored(unseen, 1), 0);
    EXPECT_EQ(back.AreAllied(2, 3), 1);
    // A save keeps no record of who sat where: the player is in its own slot, and the slot no
    // one plays has the colour the set-up screen gives it.
    EXPECT_EQ(back.scenario->playerSlots[1], 'V');
    EXPECT_EQ(back.scenario->teamColours[4], Scenario::kDroppedPlayerColour);
    EXPECT_EQ(back.teamStats[1]->kills, 4);
    auto* again = dynamic_cast<RecordObject*>(back.FindSim(unitId));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->extra, 77);
    EXPECT_EQ(again->purpose, 40);
    EXPECT_GT(back.nextSerial, again->id.serial);
    auto* controller = dynamic_cast<RecordController*>(back.controllers[2].get());
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->setupLevel, 3);
    // The opponent's rules come back from its factory's job design, settings and all.
    const size_t rulesLine = first.find("\nW = 9 ");
    ASSERT_NE(rulesLine, std::string::npos);
    ASSERT_NE(controller->rules, nullptr);
    EXPECT_EQ(controller->purpose, 9);
    const size_t codeStart = rulesLine + 7;
    const VehicleDesign job(
        first.substr(codeStart, first.find('\n', codeStart) - codeStart).c_str());
    VehicleDesign preset('V');
    controller->rules->ApplyPresets(preset);
    for (int i = 0; i < VehicleDesign::kParameters; ++i)
        EXPECT_EQ(preset.parameters[i], job.parameters[i]) << i;

    int mission = -1;
    char clan = 0;
    EXPECT_EQ(back.scenario->PeekHeader(mission, clan), 1);
    EXPECT_EQ(mission, 0);
    EXPECT_EQ(clan, 'V');
    // J and L must be the header's first two lines for the peek.
    s.WriteSave("late.scn", ": H\nK = 0\nJ = 4\nL = T\n");
    Scenario late;
    late.SetFileName("late.scn");
    EXPECT_EQ(late.PeekHeader(mission, clan), 0);

    // Clearing the game deletes the scenario and the team records.
    back.ClearObjects();
    EXPECT_EQ(back.scenario, nullptr);
    EXPECT_EQ(back.teamStats[1], nullptr);
    EXPECT_EQ(back.MissionNumber(), 0);
}

TEST(ScenarioFile, ASetColourAndTheTutorialControllerSurviveTheFile) {
    ScenarioWorld s;
    s.WriteSave("t.scn",
                ": H\nJ = 12\nL = V\nK = 0\nI = 1\nn = 1\n: E\nI = 1\nL = V\n"
                ": E\nI = 2\nL = T\n");
    auto descriptor = std::make_unique<Scenario>();
    descriptor->SetFileName("t.scn");
    descriptor->colour = 3;
    ASSERT_EQ(s.Start(std::move(descriptor)), 1);
    EXPECT_EQ(s.world->scenario->colour, 3);
    auto* tutorial = dynamic_cast<RecordController*>(s.world->controllers[1].get());
    ASSERT_NE(tutorial, nullptr);
    EXPECT_EQ(tutorial->request.source, ControllerRequest::Source::Header);
    // Mission 12 makes nothing from a players record: team 2's slot stays empty.
    EXPECT_EQ(s.world->controllers[2], nullptr);
}

// A unit listed under another team than the one its id names is handed to it on the load, and
// a team that had no colour yet takes the first free one of the unit's clan's range (the local
// team of clan V holds the first of 1 .. 4).
TEST(ScenarioFile, AUnitHandedToATeamWithoutAColourTakesTheFirstFreeOfItsClansRange) {
    const struct {
        char clan;
        int colour;
    } cases[] = {{'V', 2}, {'T', 5}};
    for (const auto& c : cases) {
        ScenarioWorld s;
        s.WriteFile("given.scn", std::string(": H\nJ = 0\nL = V\nK = 0\nI = 1\n"
                                             ": V\nI = 3\nB = 400,400\nA = 2,60\nH = VUnit\nL = ") +
                                     c.clan + "\n");
        ASSERT_EQ(s.StartFile("given.scn"), 1);
        ASSERT_EQ(s.world->scenario->teamColours[1], 1);
        EXPECT_EQ(s.world->scenario->teamColours[3], c.colour) << c.clan;
        EXPECT_NE(s.world->FindObject(SimId(2, 60)), nullptr) << c.clan;
    }
}

// A players record makes a controller for a team 1 to 4 of either clan, and only there.
TEST(ScenarioFile, PlayersRecordsMakeControllersOnlyForTeamsOneToFourOfAClan) {
    ScenarioWorld s;
    s.WriteSave("p.scn", Header("M = 2") +
                             ": E\nI = 4\nL = T\n: E\nI = 5\nL = T\n: E\nI = 0\nL = V\n"
                             ": E\nI = 2\nL = X\n: E\nI = 1\nL = V\n");
    ASSERT_EQ(s.StartFile("p.scn"), 1);
    const World& w = *s.world;
    EXPECT_EQ(w.controllers[0], nullptr);
    EXPECT_EQ(w.controllers[2], nullptr);
    EXPECT_EQ(w.controllers[3], nullptr);
    ASSERT_NE(w.controllers[1], nullptr);
    ASSERT_NE(w.controllers[4], nullptr);
    EXPECT_EQ(dynamic_cast<RecordController*>(w.controllers[1].get())->request.clan, 'V');
    EXPECT_EQ(dynamic_cast<RecordController*>(w.controllers[4].get())->request.clan, 'T');
    EXPECT_EQ(w.scenario->computerPlayers, 2);
}

// Every team 1 .. 4 may be this machine's; the set colour goes with it.
TEST(ScenarioFile, EachOfTheFourTeamsCanBeTheLocalOne) {
    for (int team = 1; team <= 4; ++team) {
        ScenarioWorld s;
        const std::string n = std::to_string(team);
        s.WriteSave("t.scn", ": H\nJ = 0\nL = V\nK = 0\nI = " + n + "\nn = 5\n");
        ASSERT_EQ(s.StartFile("t.scn"), 1) << team;
        ASSERT_NE(s.world->scenario, nullptr);
        EXPECT_EQ(s.world->scenario->localTeam, team);
        EXPECT_EQ(s.world->scenario->teamColours[team], 5) << team;
    }
}

TEST(ScenarioFile, ADamagedFileBuildsNothingAndStaysAsItWas) {
    const std::string big(ScenarioText::kMaxBytes + 1, 'x');
    const struct {
        const char* name;
        std::string text;
        ScenarioFault fault;
    } cases[] = {
        {"mission", Header("J = 13"), ScenarioFault::Mission},
        {"clan", Header("L = Q"), ScenarioFault::Clan},
        {"land", Header("K = 7"), ScenarioFault::Land},
        {"team", Header("I = 5"), ScenarioFault::LocalTeam},
        {"colour", Header("n = 9"), ScenarioFault::Colour},
        {"difficulty", Header("M = 0"), ScenarioFault::Difficulty},
        {"tech", Header("m = 9,1"), ScenarioFault::TechLevel},
        {"resources", Header("w = -5"), ScenarioFault::Resources},
        {"number", Header("J = 99999999999"), ScenarioFault::Mission},
        {"no header", ": V\nI = 1\n", ScenarioFault::NoHeader},
        {"truncated", ": H\nJ = ", ScenarioFault::Mission},
        {"empty", "", ScenarioFault::NoHeader},
        {"binary", std::string("\x01\x02:\xff\x00H", 6), ScenarioFault::NoHeader},
        {"huge", big, ScenarioFault::Unreadable},
        // Counters: negative, beyond their totals, or not six (three) numbers.
        {"kills -1", Header("l = -1,0,0,0,0,0"), ScenarioFault::Counters},
        {"time lowest", Header("l = 0,0,-2147483648,0,0,0"), ScenarioFault::Counters},
        {"totals negative", Header("u = 5,-1,0"), ScenarioFault::Counters},
        {"units lowest", Header("l = 0,0,0,0,0,-2147483648\nu = 4,10,10"), ScenarioFault::Counters},
        {"counters cut", Header("l = 1,2,3"), ScenarioFault::Counters},
        {"units made -1", Header("l = 0,0,0,0,0,-1"), ScenarioFault::Counters},
        {"total effort -1", Header("u = 0,0,-1"), ScenarioFault::Counters},
        {"totals past int32", Header("u = 2147483648,0,0"), ScenarioFault::Counters},
    };
    for (const auto& c : cases) {
        ScenarioWorld s;
        ASSERT_EQ(s.StartSkirmish(1), 1);
        const int before = s.CountObjects();
        s.WriteSave("bad.scn", c.text);
        auto descriptor = std::make_unique<Scenario>();
        descriptor->SetFileName("bad.scn");
        EXPECT_EQ(ScenarioCheck::Check(*descriptor), c.fault) << c.name;
        EXPECT_EQ(s.Start(std::move(descriptor)), 0) << c.name;
        // The game in play is untouched and the file is left alone.
        EXPECT_EQ(s.CountObjects(), before) << c.name;
        EXPECT_EQ(s.world->pendingScenario, nullptr) << c.name;
        EXPECT_STREQ(s.world->statusText, World::MessageLine(World::kDamagedSaveLine)) << c.name;
        s.world->statusText[0] = 0;
        EXPECT_EQ(s.ReadFile("bad.scn") == SignedSave(c.text), true) << c.name;
    }
    ScenarioWorld s;
    Scenario missing;
    missing.SetFileName("missing.scn");
    EXPECT_EQ(ScenarioCheck::Check(missing), ScenarioFault::Unreadable);
    EXPECT_EQ(s.StartFile("missing.scn"), 0);
}

// Each header value at the ends of its range passes the check, and one step past them fails.
TEST(ScenarioFile, HeaderValuesAreCheckedAtBothEndsOfTheirRanges) {
    const struct {
        const char* line;
        ScenarioFault fault;
    } cases[] = {
        {"J = 0", ScenarioFault::None},           {"J = 12", ScenarioFault::None},
        {"J = -1", ScenarioFault::Mission},       {"L = T", ScenarioFault::None},
        {"L = v", ScenarioFault::Clan},           {"I = 4", ScenarioFault::None},
        {"I = 0", ScenarioFault::LocalTeam},      {"n = -1", ScenarioFault::None},
        {"n = 1", ScenarioFault::None},           {"n = 8", ScenarioFault::None},
        {"n = 0", ScenarioFault::Colour},         {"n = -2", ScenarioFault::Colour},
        {"M = 1", ScenarioFault::None},           {"M = 5", ScenarioFault::None},
        {"M = 6", ScenarioFault::Difficulty},     {"m = 1,1", ScenarioFault::None},
        {"m = 8,8", ScenarioFault::None},         {"m = 0,1", ScenarioFault::TechLevel},
        {"m = 1,0", ScenarioFault::TechLevel},    {"m = 1,9", ScenarioFault::TechLevel},
        {"m = 3", ScenarioFault::TechLevel},      {"w = 0", ScenarioFault::None},
        {"w = x", ScenarioFault::Resources},      {"K = -2", ScenarioFault::Land},
        {"l = 0,0,0,0,0,0", ScenarioFault::None}, {"u = 0,0,0", ScenarioFault::None},
        {"u = 0,0", ScenarioFault::Counters},
    };
    ScenarioWorld s;
    for (const auto& c : cases) {
        s.WriteSave("h.scn", Header(c.line));
        Scenario descriptor;
        descriptor.SetFileName("h.scn");
        EXPECT_EQ(ScenarioCheck::Check(descriptor), c.fault) << c.line;
    }
}

// A save the game wrote, damaged the ways a disk or a hand damages files: each is refused by
// the check record before anything is parsed, the game in play stays, and the whole file
// still loads to the same state.
TEST(ScenarioFile, ADamagedSaveIsRefusedByItsCheckRecord) {
    WreckLook look;
    SeedRandom(0);
    ScenarioWorld s;
    ASSERT_EQ(s.StartSkirmish(1), 1);
    s.AddUnit(1, 10, 10, "VSbbc-------399199212299Test");
    s.world->teamStats[1]->kills = 3;
    ASSERT_EQ(s.world->SaveGame("whole.scn"), 1);
    const std::string whole = s.ReadFile("whole.scn");
    const size_t recordAt = whole.rfind("# check ");
    ASSERT_NE(recordAt, std::string::npos);
    EXPECT_EQ(whole.substr(recordAt), ScenarioText::CheckRecord(static_cast<int64_t>(recordAt),
                                                                Crc32::Of(whole.data(), recordAt)) +
                                          "\n");
    // One flipped bit in the first line of each section.
    struct Case {
        std::string name;
        std::string text;
        ScenarioFault fault = ScenarioFault::CheckRecord;
    };
    std::vector<Case> cases;
    for (size_t at = whole.find("\n: "); at != std::string::npos && at < recordAt;
         at = whole.find("\n: ", at + 1)) {
        const size_t line = whole.find('\n', at + 1) + 1;
        std::string flipped = whole;
        flipped[line] = static_cast<char>(flipped[line] ^ 0x04);
        cases.push_back({"bit in " + whole.substr(at + 1, 3), flipped});
    }
    ASSERT_GE(cases.size(), 4u);
    for (const int percent : {10, 50, 90, 99})
        cases.push_back(
            {"cut " + std::to_string(percent), whole.substr(0, whole.size() * percent / 100)});
    const size_t third = whole.find('\n', whole.size() / 3) + 1;
    std::string blank = whole;
    blank.insert(third, "\n");
    std::string longLine = whole;
    longLine.insert(third, std::string(300, 'q') + "\n");
    std::string flippedRecord = whole;
    flippedRecord[whole.size() - 2] ^= 0x01;
    std::string lengthOff = whole;
    lengthOff.replace(recordAt, std::string::npos,
                      ScenarioText::CheckRecord(static_cast<int64_t>(recordAt) + 1,
                                                Crc32::Of(whole.data(), recordAt)) +
                          "\n");
    cases.insert(cases.end(), {{"last line cut", whole.substr(0, whole.size() - 1)},
                               {"no record", whole.substr(0, recordAt)},
                               {"blank line", blank},
                               {"line too long", longLine},
                               {"record changed", flippedRecord},
                               {"length off by one", lengthOff},
                               {"line after the record", whole + "e = x\n"},
                               {"record twice", whole + whole.substr(recordAt)},
                               {"upper-case digits", whole.substr(0, recordAt) + "# check " +
                                                         std::to_string(recordAt) + " ABCDEF12\n"},
                               // Nothing names the format or holds a record: no header.
                               {"empty", "", ScenarioFault::NoHeader}});
    for (const Case& c : cases) {
        s.WriteFile("bad.scn", c.text);
        Scenario descriptor;
        descriptor.SetSaveFileName("bad.scn");
        EXPECT_EQ(ScenarioCheck::Check(descriptor), c.fault) << c.name;
        int mission = -1;
        char clan = 0;
        EXPECT_EQ(descriptor.PeekHeader(mission, clan), 0) << c.name;
        const int before = s.CountObjects();
        EXPECT_EQ(s.StartSave("bad.scn"), 0) << c.name;
        EXPECT_EQ(s.CountObjects(), before) << c.name;
        EXPECT_EQ(s.world->loadGameRefused, 1) << c.name;
        s.world->loadGameRefused = 0;
        // Opened as a scenario, a file that names the save format or still holds a record must
        // hold a valid one.
        Scenario loose;
        loose.SetFileName("bad.scn");
        const bool recordKept = c.text.find("\n# check ") != std::string::npos ||
                                c.text.rfind(ScenarioText::kFormatLine, 0) == 0;
        if (recordKept)
            EXPECT_EQ(ScenarioCheck::Check(loose), ScenarioFault::CheckRecord) << c.name;
        else
            EXPECT_NE(ScenarioCheck::Check(loose), ScenarioFault::CheckRecord) << c.name;
        // The load alone, without the check before it, loads nothing and says so.
        Scenario unchecked;
        unchecked.SetSaveFileName("bad.scn");
        ScenarioWorld other;
        EXPECT_EQ(unchecked.Load(*other.world), 0) << c.name;
        EXPECT_EQ(other.world->terrain, nullptr) << c.name;
    }
    // The whole save loads, and what it loads is saved and loaded again to the same state. The
    // file keeps no artifact's effect: each load draws them anew, here from the same seed.
    SeedRandom(11);
    ASSERT_EQ(s.StartSave("whole.scn"), 1);
    EXPECT_EQ(s.world->teamStats[1]->kills, 3);
    const uint64_t loaded = s.world->StateChecksum();
    ASSERT_EQ(s.world->SaveGame("again.scn"), 1);
    SeedRandom(11);
    ASSERT_EQ(s.StartSave("again.scn"), 1);
    EXPECT_EQ(s.world->StateChecksum(), loaded);
    // A pack scenario carries no record and is read as it stands.
    ScenarioText pack;
    const std::string body = whole.substr(0, recordAt);
    EXPECT_EQ(pack.ReadBytes(body.data(), body.size()), 1);
    // The header peek keeps the first three data lines and no more.
    EXPECT_EQ(pack.leading.size(), 3u);
    EXPECT_EQ(pack.ReadBytes(": H\nJ = 0\n", 11), 1);
    EXPECT_EQ(pack.leading.size(), 2u);
    // A line keeps the characters the game's line buffer holds, and no more.
    const std::string wideLine = ": H\nw = " + std::string(300, '7') + "\n";
    EXPECT_EQ(pack.ReadBytes(wideLine.data(), wideLine.size()), 1);
    ASSERT_EQ(pack.sections.size(), 1u);
    EXPECT_EQ(pack.sections[0].lines[0].size(), static_cast<size_t>(Scenario::kLineSize - 1));
    EXPECT_EQ(pack.ReadSaveBytes(body.data(), body.size()), 0);
    EXPECT_EQ(pack.damage, ScenarioText::Damage::CheckRecord);
    EXPECT_EQ(pack.ReadSaveBytes(whole.data(), whole.size()), 1);
    EXPECT_EQ(pack.damage, ScenarioText::Damage::None);
    // Text longer than the largest scenario is refused whole, whatever it holds.
    const std::string tooLong(ScenarioText::kMaxBytes + 1, '\n');
    EXPECT_EQ(pack.ReadBytes(tooLong.data(), tooLong.size()), 0);
    EXPECT_TRUE(pack.sections.empty());
}

// A file without the format line and without a record is read as it stands, a save among
// them after the structure checks; one that carries a record must hold it.
TEST(ScenarioFile, TheRecordIsCheckedWhereverOneIsCarried) {
    ScenarioWorld s;
    // No resources at all is a possible start; a save ends with a map row pair per land row.
    std::string mapState = ": L\n";
    const Size land = ScenarioCheck::LandSize(0);
    for (int row = 0; row < land.h; ++row)
        mapState += "e = .\nf = " + std::string(static_cast<size_t>(land.w), 'N') + "\n";
    const std::string body =
        ": H\nJ = 0\nL = V\nK = 0\nI = 1\nw = 0\n: V\nI = 1\nB = 100,100\nA = 1,5\nH = VUnit\n" +
        mapState;
    const std::string signedBody = SignedSave(body);
    std::string changed = signedBody;
    changed[body.find('V')] = 'T';
    struct Case {
        const char* name;
        std::string text;
        int asScenario;
        int asSave;
    };
    const std::vector<Case> cases = {
        {"no record", body, 1, 1},
        {"valid record", signedBody, 1, 1},
        {"body changed under the record", changed, 0, 0},
        {"line after the record", signedBody + "w = 5\n", 0, 0},
        {"record alone", SignedSave(""), 0, 0},
        {"record without its line feed", signedBody.substr(0, signedBody.size() - 1), 0, 0},
        {"comment that is no record", body + "# check the land\n", 1, 1},
        {"no record, no header", "J = 0\n", 0, 0},
    };
    for (const Case& c : cases) {
        s.WriteFile("hand.scn", c.text);
        EXPECT_EQ(s.StartFile("hand.scn"), c.asScenario) << c.name;
        EXPECT_EQ(s.StartSave("hand.scn"), c.asSave) << c.name;
        Scenario save;
        save.SetSaveFileName("hand.scn");
        Scenario copy;
        copy.CopyFrom(save);
        EXPECT_EQ(copy.IsSave(), true) << c.name;
        copy.SetFileName("hand.scn");
        EXPECT_EQ(copy.IsSave(), false) << c.name;
        // Loaded without the check first, the answer is the same: a readable text without a
        // header loads nothing to play either.
        Scenario unchecked;
        unchecked.SetFileName("hand.scn");
        ScenarioWorld other;
        other.WriteFile("hand.scn", c.text);
        EXPECT_EQ(unchecked.Load(*other.world), c.asScenario) << c.name;
    }
}

// Saves of the earlier writers load to the state this build's save of the same game loads to:
// the format's own (no format line, no record) and the one with a record but no format line.
// A save that names its format must end with its record; one without a record must hold what
// every whole save holds. Nothing read is written back, and a game saved from an earlier save
// is written in the new form.
TEST(ScenarioFile, SavesOfEarlierWritersLoadAndBrokenOnesAreRefused) {
    WreckLook look;
    SeedRandom(0);
    ScenarioWorld s;
    ASSERT_EQ(s.StartSkirmish(1), 1);
    s.AddUnit(1, 10, 10, "VSbbc-------399199212299Test");
    s.AddUnit(2, 12, 20, "TSbbc-----3301 9004299Killer:Spider");
    s.world->teamStats[1]->kills = 3;
    ASSERT_EQ(s.world->SaveGame("new.scn"), 1);
    const std::string fresh = s.ReadFile("new.scn");
    const std::string formatLine = std::string(ScenarioText::kFormatLine) + "\n";
    ASSERT_EQ(fresh.rfind(formatLine, 0), 0u);
    const size_t recordAt = fresh.rfind("# check ");
    ASSERT_NE(recordAt, std::string::npos);
    const std::string old = WithoutFormatLineAndRecord(fresh);
    const std::string previous = WithRecordOnly(fresh);
    ASSERT_EQ(old, fresh.substr(formatLine.size(), recordAt - formatLine.size()));
    ASSERT_EQ(previous, SignedSave(old));
    std::string crlf;
    for (const char c : old)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    // The structure faults, made from the old save.
    const std::vector<std::string> pieces = SectionsOf(old);
    ASSERT_TRUE(pieces[0].empty());
    ASSERT_EQ(pieces[1].rfind(": H\n", 0), 0u);
    std::vector<std::string> kept;
    std::vector<std::string> localUnits;
    for (const std::string& piece : pieces)
        (IsUnitOfTeam(piece, 1) ? localUnits : kept).push_back(piece);
    ASSERT_GE(localUnits.size(), 2u);  // the factory and the unit
    const std::string noLocal = Joined(kept);
    int teamWithout = 0;
    for (int team = 4; team >= 2 && !teamWithout; --team) {
        if (std::none_of(pieces.begin(), pieces.end(),
                         [&](const std::string& p) { return IsUnitOfTeam(p, team); }))
            teamWithout = team;
    }
    ASSERT_NE(teamWithout, 0);
    std::string otherLocal = old;
    otherLocal.replace(otherLocal.find("\nI = 1\n"), 7,
                       "\nI = " + std::to_string(teamWithout) + "\n");
    std::vector<std::string> doubled = pieces;
    const auto firstUnit = std::find_if(doubled.begin(), doubled.end(), [](const std::string& p) {
        return p.rfind(": V\n", 0) == 0;
    });
    ASSERT_NE(firstUnit, doubled.end());
    doubled.insert(firstUnit, *firstUnit);
    std::vector<std::string> withoutIds = pieces;
    withoutIds.insert(withoutIds.begin() + 2,
                      {": V\nI = 2\nH = VUnit\n", ": V\nI = 2\nH = VUnit\n"});
    auto withHeaderLine = [&](const std::string& line) {
        std::vector<std::string> longer = pieces;
        longer[1] += line + "\n";
        return Joined(longer);
    };
    const std::string line255 = withHeaderLine("q = " + std::string(251, '7'));
    const std::string line256 = withHeaderLine("q = " + std::string(252, '7'));

    using F = ScenarioFault;
    const struct {
        const char* name;
        std::string text;
        ScenarioFault asSave;
        ScenarioFault asScenario;
    } cases[] = {
        {"this build's", fresh, F::None, F::None},
        {"previous writer: record, no format line", previous, F::None, F::None},
        {"the format's own: neither", old, F::None, F::None},
        {"the format's own, CR LF", crlf, F::None, F::None},
        {"format line, no record", fresh.substr(0, recordAt), F::CheckRecord, F::CheckRecord},
        {"format line set before a previous save", formatLine + previous, F::CheckRecord,
         F::CheckRecord},
        {"format line with another record", formatLine + previous.substr(old.size()),
         F::CheckRecord, F::CheckRecord},
        {"no unit of the local team", noLocal, F::NoLocalTeamUnits, F::None},
        {"header only", pieces[1], F::NoLocalTeamUnits, F::None},
        {"local team without units", otherLocal, F::NoLocalTeamUnits, F::None},
        {"local units before the header", localUnits[0] + noLocal, F::NoLocalTeamUnits, F::None},
        {"a unit twice", Joined(doubled), F::SharedUnitId, F::None},
        {"two units without an id", Joined(withoutIds), F::None, F::None},
        {"a line of 255", line255, F::None, F::None},
        {"a line of 256", line256, F::LongLine, F::None},
        {"a comment of 256", "#" + std::string(255, 'c') + "\n" + old, F::LongLine, F::None},
        {"a line of 256 after CR LF", crlf + std::string(256, 'e') + "\n", F::LongLine, F::None},
        // Under a record the file is as the game wrote it.
        {"previous without the local team", SignedSave(noLocal), F::None, F::None},
        {"previous with a line of 256", SignedSave(line256), F::None, F::None},
        {"header checks first", Header("J = 13"), F::Mission, F::Mission},
    };
    for (const auto& c : cases) {
        s.WriteFile("case.scn", c.text);
        Scenario save;
        save.SetSaveFileName("case.scn");
        EXPECT_EQ(ScenarioCheck::Check(save), c.asSave) << c.name;
        Scenario loose;
        loose.SetFileName("case.scn");
        EXPECT_EQ(ScenarioCheck::Check(loose), c.asScenario) << c.name;
        const int before = s.CountObjects();
        const int loaded = s.StartSave("case.scn");
        EXPECT_EQ(loaded, c.asSave == F::None ? 1 : 0) << c.name;
        if (!loaded) {
            EXPECT_EQ(s.CountObjects(), before) << c.name;
        }
        EXPECT_EQ(s.ReadFile("case.scn") == c.text, true) << c.name;
    }

    // The format's own save cut short: at each section line, inside the map state, inside its
    // last line and at its last line feed, it is refused by the check and by the reader alike;
    // whole, or with an e line split by a raw line feed among its bytes, it loads.
    const int rows = ScenarioCheck::LandRows(0);
    ASSERT_GT(rows, 1);
    ASSERT_EQ(rows, s.world->terrain->SizeInCells().h);
    const std::string& mapState = pieces.back();
    ASSERT_EQ(mapState.rfind(": L\n", 0), 0u);
    const size_t mapAt = old.size() - mapState.size();
    const size_t lastLine = old.rfind('\n', old.size() - 2) + 1;
    std::string split = old;
    split.insert(mapAt + 10, "\n.");
    struct Cut {
        std::string name;
        size_t at;
        ScenarioFault fault;
    };
    std::vector<Cut> cuts;
    size_t at = 0;
    bool localUnit = false;
    for (size_t n = 1; n < pieces.size(); ++n) {
        at += pieces[n - 1].size();
        if (n > 1)
            cuts.push_back({"before section " + std::to_string(n) + " " + pieces[n].substr(0, 3),
                            at, localUnit ? F::NoMapState : F::NoLocalTeamUnits});
        localUnit = localUnit || IsUnitOfTeam(pieces[n], 1);
    }
    cuts.push_back({"after the map state's section line", mapAt + 4, F::MapRowsMissing});
    cuts.push_back({"before the last f line", lastLine, F::MapRowsMissing});
    cuts.push_back({"inside the last line", lastLine + 6, F::LastLineCut});
    cuts.push_back({"the last line feed", old.size() - 1, F::LastLineCut});
    cuts.push_back({"whole", old.size(), F::None});
    for (const Cut& c : cuts) {
        for (const std::string* text : std::vector<const std::string*>{&old, &crlf, &split}) {
            // The same cut in each form: CR LF ends shift it by a byte a line.
            const std::string& whole = *text;
            size_t cutAt = c.at;
            if (text == &crlf)
                cutAt += static_cast<size_t>(std::count(old.begin(), old.begin() + c.at, '\n'));
            if (text == &split && c.at > mapAt + 10) cutAt += 2;
            if (text == &crlf && c.fault == F::LastLineCut && c.at == old.size() - 1) ++cutAt;
            s.WriteFile("cut.scn", whole.substr(0, cutAt));
            Scenario save;
            save.SetSaveFileName("cut.scn");
            EXPECT_EQ(ScenarioCheck::Check(save), c.fault) << c.name << " " << cutAt;
            s.Renew();
            EXPECT_EQ(s.StartSave("cut.scn"), c.fault == F::None ? 1 : 0) << c.name;
            if (c.fault != F::None) {
                EXPECT_EQ(s.CountObjects(), 0) << c.name;
            }
        }
    }
    // A land the pack lacks gives no rows; the edit land (-1) is the loose file.
    for (const auto& [land, landRows] : std::vector<std::pair<int, int>>{
             {TerrainMap::kMaxCells + 1, 0}, {-2, 0}, {1, 0}, {-1, rows}})
        EXPECT_EQ(ScenarioCheck::LandRows(land), landRows) << land;
    ResourceFile().Delete(TerrainMap::kEditLand);
    EXPECT_EQ(ScenarioCheck::LandRows(-1), 0);
    // Rows are told by key, as the reader takes them: white space before the key and the '='
    // is allowed, a key without '=' after it is no row.
    // A sight row holds one character per column (the land's width stands for '#'), and a
    // decoration row at most that many (an earlier writer's raw byte could split one).
    const std::string width(static_cast<size_t>(s.world->terrain->SizeInCells().w), 'N');
    const struct {
        std::string row;
        ScenarioFault fault;
    } rowForms[] = {{" e = .\n\tf\t= #\n", F::None},
                    {"e = .\nf #\n", F::MapRowsMissing},
                    {"e = .\nfe = #\n", F::MapRowsMissing},
                    {"e = .\n= #\n", F::MapRowsMissing},
                    {"e = #\nf = #\n", F::None},
                    {"e = #.\nf = #\n", F::MapRowLength},
                    {"e = .\nf = #N\n", F::MapRowLength},
                    {"e = .\nf = N\n", F::MapRowLength},
                    {"e = .\nf = N\n#\n", F::MapRowLength}};
    for (const auto& form : rowForms) {
        std::string text = old.substr(0, mapAt) + ": L\n";
        std::string line = form.row;
        for (size_t at = line.find('#'); at != std::string::npos; at = line.find('#'))
            line.replace(at, 1, width);
        for (int row = 0; row < rows; ++row)
            text += line;
        ScenarioText read;
        ASSERT_EQ(read.ReadBytes(text.data(), text.size()), 1);
        EXPECT_EQ(ScenarioCheck::CheckStructure(read, 1, 0), form.fault) << form.row;
    }

    // On lands of other sizes the rows are the land's own: a whole save on a 48-row land loads,
    // one cut after 64 rows of a 72-row land is refused.
    const struct {
        int columns, rows, keptRows;
        ScenarioFault fault;
    } lands[] = {{64, 48, 48, F::None}, {80, 72, 72, F::None}, {80, 72, 64, F::MapRowsMissing}};
    for (const auto& l : lands) {
        ScenarioWorld other(ScenarioLand(l.columns, l.rows));
        ASSERT_EQ(other.StartSkirmish(1), 1);
        ASSERT_EQ(other.world->SaveGame("sized.scn"), 1);
        std::string text = WithoutFormatLineAndRecord(other.ReadFile("sized.scn"));
        size_t cut = text.rfind("\n: L\n") + 5;
        for (int row = 0; row < l.keptRows; ++row)
            cut = text.find('\n', text.find('\n', cut) + 1) + 1;
        EXPECT_EQ(cut == text.size(), l.keptRows == l.rows) << l.rows;
        other.WriteFile("sized.scn", text.substr(0, cut));
        Scenario save;
        save.SetSaveFileName("sized.scn");
        EXPECT_EQ(ScenarioCheck::Check(save), l.fault) << l.rows << " " << l.keptRows;
        other.Renew();
        EXPECT_EQ(other.StartSave("sized.scn"), l.fault == F::None ? 1 : 0) << l.rows;
    }

    // The same game from each writer: the same state, and saved again, the bytes this build
    // writes for the game loaded from its own save. A save keeps no artifact's effect: each load
    // draws them anew, here from one seed.
    s.Renew();
    SeedRandom(11);
    ASSERT_EQ(s.StartSave("new.scn"), 1);
    const uint64_t state = s.world->StateChecksum();
    EXPECT_EQ(s.world->teamStats[1]->kills, 3);
    ASSERT_EQ(s.world->SaveGame("again.scn"), 1);
    const std::string again = s.ReadFile("again.scn");
    EXPECT_EQ(again.rfind(formatLine, 0), 0u);
    for (const std::string* text : std::vector<const std::string*>{&previous, &old, &crlf}) {
        s.Renew();
        s.WriteFile("earlier.scn", *text);
        SeedRandom(11);
        ASSERT_EQ(s.StartSave("earlier.scn"), 1);
        EXPECT_EQ(s.world->StateChecksum(), state) << text->substr(0, 12);
        EXPECT_EQ(s.world->teamStats[1]->kills, 3);
        int mission = -1;
        char clan = 0;
        Scenario peek;
        peek.SetSaveFileName("earlier.scn");
        EXPECT_EQ(peek.PeekHeader(mission, clan), 1);
        EXPECT_EQ(clan, 'V');
        ASSERT_EQ(s.world->SaveGame("again.scn"), 1);
        EXPECT_EQ(s.ReadFile("again.scn") == again, true) << text->substr(0, 12);
        EXPECT_EQ(s.ReadFile("earlier.scn") == *text, true);
    }

    // Cut anywhere after its format line, this build's save is refused; the text reader sees
    // each cut, and the check and the load a few of them.
    std::vector<size_t> passed;
    for (size_t at = formatLine.size() - 1; at < fresh.size(); ++at) {
        ScenarioText text;
        if (text.ReadLooseBytes(fresh.data(), at) ||
            text.damage != ScenarioText::Damage::CheckRecord)
            passed.push_back(at);
    }
    EXPECT_TRUE(passed.empty()) << passed.size() << " cuts read, the first at " << passed[0];
    ScenarioText whole;
    EXPECT_EQ(whole.ReadLooseBytes(fresh.data(), fresh.size()), 1);
    EXPECT_TRUE(whole.closedByRecord);
    for (const size_t at : {formatLine.size(), fresh.size() / 3, recordAt, fresh.size() - 1}) {
        s.WriteFile("cut.scn", fresh.substr(0, at));
        Scenario save;
        save.SetSaveFileName("cut.scn");
        EXPECT_EQ(ScenarioCheck::Check(save), F::CheckRecord) << at;
        int mission = -1;
        char clan = 0;
        EXPECT_EQ(save.PeekHeader(mission, clan), 0) << at;
        EXPECT_EQ(s.StartSave("cut.scn"), 0) << at;
    }
    // The format line alone, or with a different ending, is what it names; a longer first line
    // is not.
    const struct {
        std::string text;
        int names;
    } firstLines[] = {{"# save 2", 1},     {"# save 2\n", 1},  {"# save 2\r\n", 1},
                      {"# save 2 ", 0},    {"# save 20\n", 0}, {"# save \n", 0},
                      {"\n# save 2\n", 0}, {"# save", 0},      {"", 0}};
    for (const auto& f : firstLines)
        EXPECT_EQ(ScenarioText::BeginsWithFormatLine(f.text.data(), f.text.size()), f.names)
            << f.text;
}

// Counters at the top of int32 are possible values: the save loads, and the score, the clock
// and the tally that play adds stay within int32 (the sanitizer tree stops on an overflow).
TEST(ScenarioFile, CountersAtTheTopOfInt32LoadAndScoreWithoutOverflow) {
    ScenarioWorld s;
    s.WriteSave("top.scn", Header("l = 2147483647,2147483647,2147483647,2147483647,2147483647,"
                                  "2147483647\nu = 2147483647,2147483647,2147483647"));
    ASSERT_EQ(s.StartFile("top.scn"), 1);
    MissionStats& stats = *s.world->teamStats[1];
    EXPECT_EQ(stats.kills, INT32_MAX);
    stats.StartClock();
    EXPECT_EQ(stats.ElapsedTotal(), INT32_MAX);
    stats.Tally(10, 10);
    EXPECT_EQ(stats.buildCost, INT32_MAX);
    EXPECT_EQ(MissionStats::totalUnits, INT32_MAX);
    const int score = stats.TotalScore(0, 2);
    EXPECT_GE(score, 0);
    EXPECT_LE(score, MissionStats::kBestScore);
}

TEST(ScenarioFile, BadRecordsAreDroppedAndNoIdIsUsedTwice) {
    ScenarioWorld s;
    const std::string text = Header("s = 1,7\ns = 2\ns = 3,3\ns = 0,2\ns = 2,5\ns = 1,4\ns = 4,2") +
                             ": V\nI = 9\nB = 100,100\nA = 9,50\nH = VUnit\n"    // team 9
                             ": V\nI = 1\nB = 100,100\nA = -1,-1\nH = VUnit\n"   // null id
                             ": V\nI = 1\nB = 100,100\nA = 1,60\nH = \n"         // no design
                             ": V\nI = 1\nB = 99999,100\nA = 1,61\nH = VUnit\n"  // off the map
                             ": V\nI = 1\nB = 100,100\nA = 1,62\nH = VUnit\n"    // kept
                             ": V\nI = 1\nB = 300,300\nA = 1,62\nH = VUnit\n"    // used id
                             ": V\nI = 1\nB = 100,100\nA = 1,63\nH = VUnit\n"    // place taken
                             ": C\nA = 0,62\nB = 400,400\nO = 5\n"               // kept
                             ": C\nA = 0,62\nB = 500,500\nO = 5\n"               // used id
                             ": M\nA = 0,20\nB = 200,200\n"                      // kept
                             ": M\nA = 0,20\nB = 250,250\n"                      // used id
                             ": M\nA = 0,21\nB = 99999,100\n"                    // off the map
                             ": V\nI = 0\nX = 1\nB = 600,600\nA = 0,40\n"        // team 0
                             ": V\nI = 2\nX = 1\nB = 300,600\nA = 2,41\n"        // kept
                             ": V\nI = 2\nX = 1\nB = 900,600\nA = 2,42\n"        // second
                             ": A\nA = 0,30\nB = 700,300\n"                      // kept
                             ": A\nA = 0,30\nB = 900,300\n"                      // used id
                             ": A\nA = 0,0\nB = 1100,300\n";                     // null id
    s.WriteSave("r.scn", text);
    ASSERT_EQ(s.StartFile("r.scn"), 1);
    World& w = *s.world;
    EXPECT_EQ(w.sims[1].Count(), 1);
    EXPECT_NE(w.FindSim(SimId(1, 62)), nullptr);
    EXPECT_EQ(w.sims[1].Count() + w.oreDeposits.Count(), 2);
    EXPECT_EQ(w.FindObject(SimId(1, 63)), nullptr);
    EXPECT_EQ(w.destructibles.Count(), 1);
    EXPECT_EQ(w.artifacts.Count(), 1);
    // A building for team 0, or a second one for a team: not made.
    ASSERT_NE(w.TeamFactory(2), nullptr);
    EXPECT_EQ(w.TeamFactory(2)->id, SimId(2, 41));
    EXPECT_EQ(w.FindObject(SimId(2, 42)), nullptr);
    EXPECT_EQ(w.FindObject(SimId(0, 40)), nullptr);
    EXPECT_EQ(w.scenario->factoryPlaced[0], 0);
    EXPECT_EQ(w.scenario->factoryPlaced[2], 1);
    EXPECT_EQ(w.nextSerial, 64);
    // Only pairs of two different teams 1 to 4 are kept: 1 and 4, 4 and 2.
    for (int a = 1; a < World::kTeams; ++a) {
        for (int b = 1; b < World::kTeams; ++b) {
            const int low = std::min(a, b), high = std::max(a, b);
            const bool kept = high == 4 && (low == 1 || low == 2);
            EXPECT_EQ(w.AreAllied(a, b), a == b || kept ? 1 : 0) << a << b;
        }
    }
    EXPECT_EQ(w.AreAllied(0, 2), 0);
}

TEST(ScenarioFile, AFailedWriteKeepsTheOldFileAndAnswersZero) {
    ScenarioWorld s;
    ASSERT_EQ(s.StartSkirmish(1), 1);
    s.WriteFile("keep.scn", "old contents\n");
    for (AtomicFileStage stage : {AtomicFileStage::Open, AtomicFileStage::Write,
                                  AtomicFileStage::Sync, AtomicFileStage::Rename}) {
        SetAtomicFileFault(stage);
        EXPECT_EQ(s.world->SaveGame("keep.scn"), 0);
        SetAtomicFileFault(AtomicFileStage::None);
        EXPECT_EQ(s.ReadFile("keep.scn"), "old contents\n");
        EXPECT_EQ(s.ReadFile("keep.scn.tmp"), "<missing>");
    }
    // A full device: the temporary file is the full device itself, so the lines fail as they
    // are written.
    std::filesystem::create_symlink("/dev/full", s.files.Path() + "keep.scn.tmp");
    EXPECT_EQ(s.world->SaveGame("keep.scn"), 0);
    EXPECT_EQ(s.ReadFile("keep.scn"), "old contents\n");
    EXPECT_FALSE(std::filesystem::is_symlink(s.files.Path() + "keep.scn.tmp"));
    // No name: nothing written, the scenario keeps its file name.
    EXPECT_EQ(s.world->SaveGame(""), 0);
    EXPECT_STREQ(s.world->scenario->FileName(), "keep.scn");
    // A directory in the target's place, and a directory that does not exist.
    std::filesystem::create_directory(s.files.Path() + "dir.scn");
    EXPECT_EQ(s.world->SaveGame("dir.scn"), 0);
    EXPECT_EQ(s.world->SaveGame("no/such/x.scn"), 0);
    // The autosave says so once per run of failures.
    SetAtomicFileFault(AtomicFileStage::Write);
    s.world->Autosave();
    EXPECT_STRNE(s.world->statusText, "");
    s.world->statusText[0] = 0;
    s.world->Autosave();
    EXPECT_STREQ(s.world->statusText, "");
    SetAtomicFileFault(AtomicFileStage::None);
    s.world->Autosave();
    EXPECT_EQ(s.world->autosaveFailing, 0);
    EXPECT_NE(s.ReadFile(World::kSnapshotFile), "<missing>");
}

TEST(ScenarioFile, LineHelpersReadSectionsOnlyFromALeadingColon) {
    EXPECT_EQ(ScnSectionLetter("  : V"), 'V');
    EXPECT_EQ(ScnSectionLetter("H = Killer:Spider"), 0);
    EXPECT_EQ(ScnKeyLetter("\t B = 1,2"), 'B');
    EXPECT_STREQ(ScnValueText("B =   1,2=3"), "1,2=3");
    EXPECT_STREQ(ScnValueText("B"), "");
    int32_t v[3] = {};
    EXPECT_EQ(ScnScanInts(" 4, -5,x", v, 3), 2);
    EXPECT_EQ(v[1], -5);
    EXPECT_EQ(ScnScanInts("-2147483648,2147483648", v, 2), 1);
    EXPECT_EQ(v[0], INT32_MIN);
    EXPECT_EQ(ScnScanInts("2147483647,-2147483649", v, 2), 1);
    EXPECT_EQ(v[0], INT32_MAX);
    EXPECT_EQ(ScnScanInts("7,,8", v, 3), 1);
    // Text of exactly the largest size is read.
    const std::string largest = ": H\n" + std::string(ScenarioText::kMaxBytes - 4, '\n');
    ScenarioText big;
    EXPECT_EQ(big.ReadBytes(largest.data(), largest.size()), 1);
    EXPECT_EQ(big.sections.size(), 1u);
    // CR LF, CR and LF all end a line; an empty line ends the text.
    ScenarioText text;
    const std::string bytes = ": H\r\nJ = 3\rL = T\n# note\n: E\r\nI = 2\n\n: V\n";
    ASSERT_EQ(text.ReadBytes(bytes.data(), bytes.size()), 1);
    ASSERT_EQ(text.sections.size(), 2u);
    EXPECT_EQ(text.sections[0].lines.size(), 2u);
    EXPECT_EQ(text.sections[1].lines.size(), 1u);
}

// The land's lists fill rows from the top: a row as wide as the land is read to its last
// cell, and a wider one is skipped without taking a row.
TEST(ScenarioFile, LandListRowsAreReadUpToTheLandsWidth) {
    ScenarioWorld s;
    const int width = 40;
    const std::string full(width, '"');      // frame 1 in every cell
    const std::string wide(width + 1, '#');  // frame 2, one cell too many
    // Row 2 (the wide row is skipped): only '!' to '~' name frames ('.' none); any other byte
    // reads as none.
    const std::string bytes = "!\x7f~ \x80\xff/\x1f.";
    s.WriteSave("edge.scn", Header("w = 0") + ": L\ne = " + full + "\ne = " + wide +
                                "\ne = $\ne = " + bytes + "\nf = " + std::string(width - 1, 'N') +
                                "Y\nf = " + std::string(width, 'N') + "Y\nf = Y\n");
    ASSERT_EQ(s.StartFile("edge.scn"), 1);
    const World& w = *s.world;
    ASSERT_EQ(w.terrain->SizeInCells().w, width);
    EXPECT_EQ(w.terrain->DecorationAt(0, 0), 1);
    EXPECT_EQ(w.terrain->DecorationAt(0, width - 1), 1);
    EXPECT_EQ(w.terrain->DecorationAt(1, 0), 3);
    EXPECT_NE(w.terrain->DecorationAt(2, 0), 2);
    const int rowTwo[] = {0, 0xFF, 92, 0xFF, 0xFF, 0xFF, 13, 0xFF, 0xFF};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(w.terrain->DecorationAt(2, c), rowTwo[c]) << c;
    EXPECT_EQ(w.terrain->Visibility(0, width - 1), 0);
    EXPECT_LT(w.terrain->Visibility(0, 0), 0);
    EXPECT_EQ(w.terrain->Visibility(1, 0), 0);
    EXPECT_LT(w.terrain->Visibility(2, 0), 0);
}

// Whether the game scatters artifacts is one letter of the header, read and written back.
TEST(ScenarioFile, TheArtifactsSettingIsReadAndWrittenBack) {
    const struct {
        const char* line;
        int artifacts;
        const char* written;
    } cases[] = {{"x = y", 1, "\nx = y\n"}, {"x = n", 0, "\nx = n\n"}, {"x = Y", 0, "\nx = n\n"}};
    for (const auto& c : cases) {
        ScenarioWorld s;
        s.WriteSave("x.scn", Header(c.line));
        ASSERT_EQ(s.StartFile("x.scn"), 1) << c.line;
        EXPECT_EQ(s.world->scenario->artifacts, c.artifacts) << c.line;
        ASSERT_EQ(s.world->SaveGame("y.scn"), 1) << c.line;
        EXPECT_NE(s.ReadFile("y.scn").find(c.written), std::string::npos) << c.line;
    }
}

// A file holds at most 20000 object records past its header, whatever they are; the land's
// lists are not counted. A unit listed second in a record's own team field must name a team.
TEST(ScenarioFile, ObjectRecordsPastTheLimitAreNotRead) {
    const struct {
        int before;
        const char* unit;
        bool kept;
    } cases[] = {{19999, "", true},
                 {20000, "", false},
                 {19990, "k = 4\n", true},
                 {0, "k = 5\n", false},
                 {0, "k = -1\n", false}};
    for (const auto& c : cases) {
        std::string text = Header("w = 0");
        for (int i = 0; i < c.before; ++i)
            text += i % 2 ? ": X\n" : ": L\n: Z\n";
        text += std::string(": V\nI = 1\nB = 300,300\nA = 1,80\nH = VUnit\n") + c.unit;
        ScenarioWorld s;
        s.WriteSave("many.scn", text);
        ASSERT_EQ(s.StartFile("many.scn"), 1) << c.before;
        EXPECT_EQ(s.world->FindSim(SimId(1, 80)) != nullptr, c.kept) << c.before << c.unit;
    }
}

// A saved line never carries a control character, which would end or split it: each one,
// from the lowest up to the unit separator and the delete, is written as '?', and a blank
// stays.
TEST(ScenarioFile, ControlCharactersInWrittenTextsBecomeQuestionMarks) {
    WreckLook look;
    ScenarioWorld s;
    ASSERT_EQ(s.StartSkirmish(1), 1);
    s.AddUnit(1, 10, 10, "VSbbc-------399199212299A\x01 B\x1f C\x7f D\tE");
    ASSERT_EQ(s.world->SaveGame("c.scn"), 1);
    const std::string saved = s.ReadFile("c.scn");
    EXPECT_NE(saved.find("A? B? C? D?E\n"), std::string::npos);
    for (const char c : {'\x01', '\x1f', '\x7f', '\t'})
        EXPECT_EQ(saved.find(c), std::string::npos) << static_cast<int>(c);
}

}  // namespace
