#include "screens/SetupScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/Bitmap.h"
#include "core/KeyCodes.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "screens/FrontEndTestFixture.h"
#include "support/MemoryLink.h"
#include "ui/ScrollList.h"
#include "world/Campaign.h"
#include "world/Scenario.h"

namespace {

class SetupTest : public FrontEndTest {
protected:
    SetupScreen& OpenSetup(const SetupParams& p) { return Open<SetupScreen>(*f->world, p); }
    static SetupParams Skirmish() {
        SetupParams p;
        p.scenarioList = p.enemiesGroup = p.clanGroup = p.techGroup = 1;
        return p;
    }
    static SetupParams Network(int host, int slot, int players) {
        SetupParams p;
        p.scenarioList = p.clanGroup = p.techGroup = 1;
        p.network = 1;
        p.host = host;
        p.ownSlot = slot;
        p.players = players;
        return p;
    }
    void WriteOptions(const std::string& lines) { WriteFile("QX.INI", "[OPTIONS]\n" + lines); }
    std::string Option(const char* key) {
        char text[64] = {};
        ReadProfileValue("QX", "OPTIONS", key, text, sizeof text);
        return text;
    }
    // Drags a slider knob to the end of its travel given by dx.
    void Drag(SetupScreen& s, int knob, int dx) {
        const Point from = s.ButtonOf(knob)->Centre();
        Post(InputKind::MouseMove, from, 0);
        Post(InputKind::ButtonDown, from, 'L');
        Post(InputKind::MouseMove, from + Point(dx, 0), 0);
        Post(InputKind::ButtonUp, from + Point(dx, 0), 'L');
        Frame();
    }
    static SetupSettings Report(int slot, char clan, int colour) {
        SetupSettings s;
        s.playerSlot = slot;
        s.clan = clan;
        s.colour = colour;
        return s;
    }
};

TEST_F(SetupTest, OptionsOutsideTheirRangeKeepTheDefaults) {
    const struct {
        const char* lines;
        int resources, colour, tech, enemies;
        char clan;
    } cases[] = {
        {"RESOURCES=9901\n", 5000, 1, 1, 1, 'V'},
        {"RESOURCES=9900\nTECH=9\nENEMIES=0\n", 9900, 1, 1, 1, 'V'},
        {"CLAN=t\nCOLOR=2\nTECH=8\nENEMIES=3\n", 5000, 6, 8, 3, 'T'},
        {"CLAN=T\nCOLOR=5\nRESOURCES=-1\n", 5000, 5, 1, 1, 'T'},
    };
    for (const auto& c : cases) {
        WriteOptions(c.lines);
        SetupScreen s(*f->world, Skirmish());
        EXPECT_EQ(s.Record().resources, c.resources) << c.lines;
        EXPECT_EQ(s.Record().colour, c.colour) << c.lines;
        EXPECT_EQ(s.Record().techLevel, c.tech) << c.lines;
        EXPECT_EQ(s.Record().computerPlayers, c.enemies) << c.lines;
        EXPECT_EQ(s.Record().clanLetter, c.clan) << c.lines;
    }
}

TEST_F(SetupTest, TheControlsStartAtTheStoredOptions) {
    const struct {
        const char* lines;
        int clanButton, swatch, enemiesButton, difficulty, tech, resources, artifacts;
    } cases[] = {
        // Defaults: clan V, colour 1, one enemy, difficulty 1, tech 1, 5000, artifacts on.
        {"", 0, 2, 8, 20, 18, 50, 1},
        {"CLAN=T\nCOLOR=3\nENEMIES=2\nDIFFICULTY=4\nTECH=5\nRESOURCES=3000\nARTIFACTS=NO\n", 1, 4,
         9, 80, 68, 30, 0},
        {"COLOR=4\nENEMIES=3\nDIFFICULTY=5\nTECH=8\nRESOURCES=9900\nARTIFACTS=n\n", 0, 5, 10, 100,
         106, 99, 0},
    };
    for (const auto& c : cases) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        WriteOptions(c.lines);
        SetupScreen& s = OpenSetup(Skirmish());
        for (int n = 0; n <= 1; ++n)
            EXPECT_EQ(s.ButtonOf(n)->pressed, n == c.clanButton ? 1 : 0) << c.lines << n;
        for (int n = 2; n <= 5; ++n)
            EXPECT_EQ(s.ButtonOf(n)->pressed, n == c.swatch ? 1 : 0) << c.lines << n;
        for (int n = 8; n <= 10; ++n)
            EXPECT_EQ(s.ButtonOf(n)->pressed, n == c.enemiesButton ? 1 : 0) << c.lines << n;
        EXPECT_EQ(s.ButtonOf(SetupScreen::kDifficulty)->GetValue(), c.difficulty) << c.lines;
        EXPECT_EQ(s.ButtonOf(SetupScreen::kTech)->GetValue(), std::min(c.tech, 100)) << c.lines;
        EXPECT_EQ(s.ButtonOf(SetupScreen::kResources)->GetValue(), c.resources) << c.lines;
        EXPECT_EQ(s.ButtonOf(SetupScreen::kArtifacts)->pressed, c.artifacts) << c.lines;
    }
}

TEST_F(SetupTest, SlidersReachBothEndsAndEveryChangeIsWrittenAtOnce) {
    SetupScreen& s = OpenSetup(Skirmish());
    Frame();
    Drag(s, SetupScreen::kTech, -200);
    EXPECT_EQ(s.Record().techLevel, 1);
    Drag(s, SetupScreen::kTech, 200);
    EXPECT_EQ(s.Record().techLevel, 8);
    EXPECT_EQ(Option("TECH"), "08");
    Drag(s, SetupScreen::kDifficulty, -300);
    EXPECT_EQ(s.Record().difficulty, 1);
    Drag(s, SetupScreen::kDifficulty, 300);
    EXPECT_EQ(s.Record().difficulty, 5);
    EXPECT_EQ(Option("DIFFICULTY"), "5");
    Drag(s, SetupScreen::kResources, 200);
    EXPECT_EQ(s.Record().resources, 9900);
    EXPECT_EQ(Option("RESOURCES"), "9900");
    Drag(s, SetupScreen::kResources, -200);
    EXPECT_EQ(Option("RESOURCES"), "0000");
    Click(s.ButtonOf(10));
    EXPECT_EQ(s.Record().computerPlayers, 3);
    EXPECT_EQ(Option("ENEMIES"), "3");
    Click(s.ButtonOf(SetupScreen::kArtifacts));
    EXPECT_EQ(s.Record().artifacts, 0);
    EXPECT_EQ(Option("ARTIFACTS"), "NO");
    Key(kKeyDown);
    EXPECT_EQ(Option("SCENARIO"), std::to_string(s.Record().landNumber));
    // A click on the list's third line takes that land; Up at the first line stays there.
    ScrollList& list = *s.List();
    ASSERT_GE(s.Entries().size(), 3u);
    list.top = 0;
    const Point third = list.listRect.origin + Point(10, 2 + 2 * list.lineHeight + 2);
    Post(InputKind::MouseMove, third, 0);
    Post(InputKind::ButtonDown, third, 'L');
    Frame();
    // Taken on the press.
    EXPECT_EQ(list.selection, 2);
    EXPECT_EQ(s.Record().landNumber, s.Entries()[2].packIndex);
    EXPECT_EQ(Option("SCENARIO"), std::to_string(s.Entries()[2].packIndex));
    Post(InputKind::ButtonUp, third, 'L');
    Frame();
    for (int i = 0; i < 3; ++i)
        Key(kKeyUp);
    EXPECT_EQ(list.selection, 0);
    EXPECT_EQ(s.Record().landNumber, s.Entries()[0].packIndex);
}

TEST_F(SetupTest, EachSliderValueGivesItsSettingWrittenAndDrawnBesideTheKnob) {
    // Slider value (0 .. 100) -> difficulty 1 .. 5 by twenties, resources by hundreds up to
    // 9900, tech level in eighths of the travel and at least 1. Near the end of its travel the
    // resources value would cross its panel's frame (x 629 the last column inside): it is
    // written left of the knob.
    const struct {
        int value, difficulty, resources, tech;
        const char *difficultyText, *resourcesText, *techText;
        bool resourcesLeft;
    } cases[] = {
        {0, 1, 0, 1, "1", "0000", "01", false},     {1, 1, 100, 1, "1", "0100", "01", false},
        {20, 1, 2000, 1, "1", "2000", "01", false}, {21, 2, 2100, 1, "2", "2100", "01", false},
        {25, 2, 2500, 2, "2", "2500", "02", false}, {41, 3, 4100, 3, "3", "4100", "03", false},
        {61, 4, 6100, 4, "4", "6100", "04", false}, {98, 5, 9800, 7, "5", "9800", "07", true},
        {99, 5, 9900, 7, "5", "9900", "07", true},  {100, 5, 9900, 8, "5", "9900", "08", true},
    };
    SetupScreen& s = OpenSetup(Skirmish());
    Frame();
    // A setting is written only when it changed (from 1, 5000 and 1 at the start).
    int difficulty = 1, resources = 5000, tech = 1;
    for (const auto& c : cases) {
        WriteOptions("");
        for (const int knob :
             {SetupScreen::kDifficulty, SetupScreen::kResources, SetupScreen::kTech})
            s.ButtonOf(knob)->SetValue(c.value);
        Frame();
        EXPECT_EQ(s.Record().difficulty, c.difficulty) << c.value;
        EXPECT_EQ(s.Record().resources, c.resources) << c.value;
        EXPECT_EQ(s.Record().techLevel, c.tech) << c.value;
        EXPECT_EQ(Option("DIFFICULTY"), difficulty != c.difficulty ? c.difficultyText : "")
            << c.value;
        EXPECT_EQ(Option("RESOURCES"), resources != c.resources ? c.resourcesText : "") << c.value;
        EXPECT_EQ(Option("TECH"), tech != c.tech ? c.techText : "") << c.value;
        difficulty = c.difficulty;
        resources = c.resources;
        tech = c.tech;
        for (const auto& [knob, text] :
             std::vector<std::pair<int, const char*>>{{SetupScreen::kDifficulty, c.difficultyText},
                                                      {SetupScreen::kResources, c.resourcesText},
                                                      {SetupScreen::kTech, c.techText}}) {
            const int width = f->world->font->TextWidth(text);
            const bool left = knob == SetupScreen::kResources && c.resourcesLeft;
            const Point at = s.ButtonOf(knob)->Bounds().origin + Point(left ? -2 - width : 40, 18);
            EXPECT_LE(at.x + width, 630) << c.value << " " << text;
            EXPECT_TRUE(Shows(*f->world->font, at, text, 10, at.x - 1, at.y - 12,
                              std::min(at.x + 30, 639), at.y + 2))
                << c.value << " " << text;
        }
    }
}

TEST_F(SetupTest, AClanSwitchMovesTheColourToTheTwinAndBack) {
    SetupScreen& s = OpenSetup(Skirmish());
    // The pointer shows a hand over a button and the arrow elsewhere.
    for (const auto& [at, shape] :
         std::vector<std::pair<Point, int>>{{s.ButtonOf(4)->Centre(), 34}, {Point(2, 2), 35}}) {
        Post(InputKind::MouseMove, at, 0);
        Frame();
        EXPECT_EQ(f->display.cursorShape, shape);
    }
    Click(s.ButtonOf(4));
    EXPECT_EQ(s.Record().colour, 3);
    EXPECT_EQ(Option("COLOR"), "3");
    Click(s.ButtonOf(1));
    EXPECT_EQ(s.Record().colour, 7);
    EXPECT_EQ(s.Record().playerSlots[1], 'T');
    EXPECT_EQ(Option("CLAN"), "T");
    // The swatch shows the second clan's colour.
    EXPECT_EQ(Pixel(s.ButtonOf(4)->Centre().x, s.ButtonOf(4)->Centre().y), 7);
    Click(s.ButtonOf(0));
    EXPECT_EQ(s.Record().colour, 3);
    EXPECT_EQ(s.Record().teamColours[1], 3);
}

TEST_F(SetupTest, StartGivesEveryValueAndAPermutationOfTheStartOrder) {
    SetupScreen& s = OpenSetup(Skirmish());
    // Q leaves only with Ctrl held.
    EXPECT_EQ(Key('q'), 1);
    EXPECT_EQ(Key('Q'), 1);
    EXPECT_EQ(Key(kKeyEnter), 0);
    EXPECT_EQ(s.exitCode, 0);
    std::vector<int> order(std::begin(s.Record().startOrder), std::end(s.Record().startOrder));
    std::sort(order.begin(), order.end());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(order[static_cast<size_t>(i)], i);
    EXPECT_EQ(s.Record().colour, 1);
    EXPECT_EQ(s.Record().playerSlots[1], 'V');
}

TEST_F(SetupTest, CtrlQLeavesLikeBack) {
    SetupScreen& s = OpenSetup(Skirmish());
    f->events.ctrlDown = 1;
    EXPECT_EQ(Key('q'), 0);
    f->events.ctrlDown = 0;
    EXPECT_EQ(s.exitCode, 1);
}

TEST_F(SetupTest, TheListTakesOnlyHeadersThatNameSomething) {
    std::string title;
    const struct {
        std::string header;
        int hide;
        bool listed;
        const char* shown;
    } cases[] = {
        {"@Special land\nrest", 0, true, "@Special land"},
        {"@Special land", 1, false, ""},
        {"@" + std::string(64, 'x'), 0, false, ""},
        {"@" + std::string(63, 'x'), 0, true, nullptr},
        {std::string("@ctl\x01"), 0, false, ""},
        {"abc", 0, false, ""},
        {"300\r\n", 0, true, "The game could not be saved."},
        {std::string(300, '7'), 0, false, ""},
    };
    for (const auto& c : cases) {
        title.clear();
        EXPECT_EQ(SetupScreen::EntryTitle(c.header.data(), c.header.size(), c.hide, title),
                  c.listed)
            << c.header;
        if (c.shown) {
            EXPECT_EQ(title, c.shown);
        }
    }
}

// A set-up report's payload as the peers read it: the scenario, clan, slot, colour, enemies,
// difficulty, artifacts, the four slots' letters and colours, the start order, the tech level
// and the resources (two bytes, low first).
struct SentReport {
    bool found = false;
    int scenario = 0, clan = 0, slot = 0, colour = 0, enemies = 0, difficulty = 0, artifacts = 0;
    int slotClan[4] = {}, slotColour[4] = {};
    int tech = 0, resources = 0;
};
SentReport Decode(const uint8_t* p) {
    SentReport r;
    auto sb = [](uint8_t b) { return static_cast<int>(static_cast<int8_t>(b)); };
    r.found = true;
    r.scenario = sb(p[0]);
    r.clan = p[1];
    r.slot = sb(p[2]);
    r.colour = sb(p[3]);
    r.enemies = sb(p[4]);
    r.difficulty = sb(p[5]);
    r.artifacts = p[6];
    for (int i = 0; i < 4; ++i) {
        r.slotClan[i] = p[7 + 2 * i];
        r.slotColour[i] = p[8 + 2 * i];
    }
    r.tech = p[35];
    r.resources = p[36] | (p[37] << 8);
    return r;
}
// The last report (kind 24) in the outgoing commands after `from`.
SentReport LastReport(const CommandBuffer& out, size_t from) {
    SentReport r;
    const uint8_t* bytes = out.Data();
    for (size_t at = from; at + 7 <= out.Size() && bytes[at] >= 7; at += bytes[at])
        if (bytes[at + 1] == 24) r = Decode(bytes + at + 7);
    return r;
}
// The start (kind 25: the report and the game speed, 46 bytes with the header) in a frame a
// peer link was given.
SentReport StartIn(const std::vector<uint8_t>& frame) {
    SentReport r;
    for (size_t at = 0; at + 46 <= frame.size(); ++at)
        if (frame[at] == 46 && frame[at + 1] == 25) r = Decode(frame.data() + at + 7);
    return r;
}

TEST_F(SetupTest, PeerReportsDecideColoursAndOnlyTheHostStartsOnceAllReported) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    f->world->AddPeer();
    f->world->AddPeer();
    SetupScreen& host = OpenSetup(Network(1, 1, 3));
    EXPECT_EQ(host.Record().colour, -1);
    EXPECT_EQ(host.GuestsWaiting(), 2);
    Click(host.ButtonOf(3));  // the host takes colour 2
    EXPECT_EQ(host.Record().colour, 2);
    // Slots outside 1 .. 4 and unknown clans change nothing.
    host.ApplyPeerSettings(Report(0, 'V', 3), 0, 0);
    host.ApplyPeerSettings(Report(5, 'V', 3), 0, 0);
    host.ApplyPeerSettings(Report(2, 'Q', 3), 0, 0);
    EXPECT_EQ(host.GuestsWaiting(), 2);
    // First reports only count the guests in; a start is refused until both did.
    host.ApplyPeerSettings(Report(2, 'T', -1), 0, 0);
    EXPECT_EQ(Key(kKeyEnter), 1);
    host.ApplyPeerSettings(Report(3, 'V', -1), 0, 0);
    EXPECT_EQ(host.GuestsWaiting(), 0);
    // The shared settings follow the peer's record, the sliders with them.
    SetupSettings shared = Report(3, 'V', -1);
    shared.artifacts = 0;
    shared.techLevel = 5;
    shared.resources = 3000;
    host.ApplyPeerSettings(shared, 0, 0);
    EXPECT_EQ(host.Record().artifacts, 0);
    EXPECT_EQ(host.Record().techLevel, 5);
    EXPECT_EQ(host.ButtonOf(SetupScreen::kTech)->GetValue(), 5 * 100 / 8 + 6);
    EXPECT_EQ(host.Record().resources, 3000);
    EXPECT_EQ(host.ButtonOf(SetupScreen::kResources)->GetValue(), 30);
    // So does the land: the list selects its entry, or none for a land the list lacks.
    ASSERT_NE(host.List(), nullptr);
    ASSERT_GE(host.Entries().size(), 2u);
    const int land = host.Record().landNumber;
    for (const auto& [number, selected] :
         std::vector<std::pair<int, int>>{{host.Entries()[1].packIndex, 1}, {9999, -1}}) {
        shared.scenarioNumber = number;
        host.ApplyPeerSettings(shared, 0, 0);
        EXPECT_EQ(host.Record().landNumber, number);
        EXPECT_EQ(host.List()->selection, selected) << number;
    }
    shared.scenarioNumber = land;
    host.ApplyPeerSettings(shared, 0, 0);
    // Unchosen and dropped colours disable nothing and conflict with nobody.
    host.ApplyPeerSettings(Report(3, 'V', 254), 0, 0);
    for (int n = 2; n <= 5; ++n)
        EXPECT_EQ(host.ButtonOf(n)->enabled, 1) << n;
    EXPECT_EQ(host.Record().colour, 2);
    // The guest in slot 2 picks 6, the host's twin: the host loses its colour.
    host.ApplyPeerSettings(Report(2, 'T', 6), 0, 0);
    EXPECT_EQ(host.Record().colour, -1);
    EXPECT_EQ(host.ButtonOf(3)->enabled, 0);
    EXPECT_EQ(host.ButtonOf(3)->pressed, 0);
    // The last slot's colour is held as well (its first report only counts it in): its
    // swatch goes grey.
    host.ApplyPeerSettings(Report(4, 'T', 8), 0, 0);
    host.ApplyPeerSettings(Report(4, 'T', 8), 0, 0);
    EXPECT_EQ(host.ButtonOf(5)->enabled, 0);
    host.ApplyPeerSettings(Report(4, 'T', 254), 0, 0);
    EXPECT_EQ(host.ButtonOf(5)->enabled, 1);
    // A leave reaches the host with the default slot 1: nothing changes.
    host.ApplyPeerSettings(SetupSettings(), 0, 1);
    EXPECT_EQ(host.Finished(), 0);
    // The start gives every unchosen slot a colour nobody else holds.
    host.ApplyPeerSettings(Report(3, 'V', 254), 0, 0);
    host.Record().teamColours[3] = -1;
    auto* link = static_cast<MemoryLink*>(f->world->peerSlots[0].peerLink);
    ASSERT_NE(link, nullptr);
    link->sent.clear();
    f->world->StartRecording();
    EXPECT_EQ(Key(kKeyEnter), 0);
    const Scenario& r = host.Record();
    // The start goes out at once with every slot as the host settled it.
    ASSERT_FALSE(link->sent.empty());
    const SentReport start = StartIn(link->sent.back());
    ASSERT_TRUE(start.found);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(start.slotClan[i], r.playerSlots[i + 1]) << i;
        EXPECT_EQ(start.slotColour[i], r.teamColours[i + 1] & 0xFF) << i;
    }
    EXPECT_EQ(start.colour, r.colour);
    for (int a = 1; a <= 3; ++a) {
        EXPECT_GE(r.teamColours[a], 1);
        for (int b = a + 1; b <= 3; ++b)
            EXPECT_FALSE(SetupScreen::Conflict(r.teamColours[a], r.teamColours[b])) << a << b;
    }
    EXPECT_EQ(r.teamColours[2], 6);
    EXPECT_EQ(r.colour, r.teamColours[1]);
}

TEST_F(SetupTest, EveryChangeTellsThePeersTheWholeRecord) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    f->world->AddPeer();
    SetupScreen& host = OpenSetup(Network(1, 1, 2));
    f->world->StartRecording();
    ASSERT_GE(host.Entries().size(), 2u);
    const struct {
        const char* what;
        int button;  // -1: the key instead; -2: the sliders to 61
        int32_t key;
    } cases[] = {
        {"clan T", 1, 0},       {"colour 3", 4, 0}, {"artifacts", SetupScreen::kArtifacts, 0},
        {"land", -1, kKeyDown}, {"sliders", -2, 0}, {"clan V", 0, 0},
    };
    for (const auto& c : cases) {
        const size_t before = f->world->Commands().Size();
        if (c.button >= 0) {
            Click(host.ButtonOf(c.button));
        } else if (c.button == -1) {
            Key(c.key);
        } else {
            for (const int knob :
                 {SetupScreen::kDifficulty, SetupScreen::kResources, SetupScreen::kTech})
                if (host.ButtonOf(knob)) host.ButtonOf(knob)->SetValue(61);
            Frame();
        }
        const SentReport sent = LastReport(f->world->Commands(), before);
        ASSERT_TRUE(sent.found) << c.what;
        const Scenario& r = host.Record();
        EXPECT_EQ(sent.scenario, r.landNumber) << c.what;
        EXPECT_EQ(sent.clan, r.clanLetter) << c.what;
        EXPECT_EQ(sent.slot, 1) << c.what;
        EXPECT_EQ(sent.colour, r.colour) << c.what;
        EXPECT_EQ(sent.enemies, r.computerPlayers) << c.what;
        EXPECT_EQ(sent.difficulty, r.difficulty) << c.what;
        EXPECT_EQ(sent.artifacts, r.artifacts) << c.what;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(sent.slotClan[i], r.playerSlots[i + 1]) << c.what << i;
            EXPECT_EQ(sent.slotColour[i], r.teamColours[i + 1] & 0xFF) << c.what << i;
        }
        EXPECT_EQ(sent.tech, r.techLevel) << c.what;
        EXPECT_EQ(sent.resources, r.resources) << c.what;
    }
    // The values the rows set, as the peers read them.
    const SentReport last = LastReport(f->world->Commands(), 0);
    EXPECT_EQ(last.clan, 'V');
    EXPECT_EQ(last.colour, 3);
    EXPECT_EQ(last.slotClan[0], 'V');
    EXPECT_EQ(last.slotColour[0], 3);
    EXPECT_EQ(last.artifacts, 0);
    EXPECT_EQ(last.tech, 4);
    EXPECT_EQ(last.resources, 6100);
    EXPECT_EQ(last.scenario, host.Entries()[1].packIndex);
}

TEST_F(SetupTest, AGuestTakesTheHostsStartWithEverySlotTheOrderAndTheSharedSettings) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    f->world->AddPeer();
    SetupScreen& guest = OpenSetup(Network(0, 2, 2));
    ASSERT_GE(guest.Entries().size(), 2u);
    SetupSettings start = Report(1, 'V', 3);
    const char clans[4] = {'V', 'T', 'X', 'X'};
    const int colours[4] = {3, 6, 254, 254};
    for (int n = 0; n < 4; ++n) {
        start.slotClan[n] = clans[n];
        start.slotColour[n] = colours[n];
    }
    for (int i = 0; i < 20; ++i)
        start.startOrder[i] = 19 - i;
    start.techLevel = 4;
    start.resources = 2000;
    start.artifacts = 0;
    start.scenarioNumber = guest.Entries()[1].packIndex;
    guest.ApplyPeerSettings(start, 1, 0);
    const Scenario& r = guest.Record();
    EXPECT_EQ(guest.Finished(), 1);
    EXPECT_EQ(guest.exitCode, 0);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(r.playerSlots[n], clans[n - 1]) << n;
        EXPECT_EQ(r.teamColours[n], colours[n - 1]) << n;
    }
    // The own colour is the own slot's (slot 2).
    EXPECT_EQ(r.colour, 6);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(r.startOrder[i], 19 - i) << i;
    EXPECT_EQ(r.techLevel, 4);
    EXPECT_EQ(r.resources, 2000);
    EXPECT_EQ(r.artifacts, 0);
    EXPECT_EQ(r.landNumber, guest.Entries()[1].packIndex);
    EXPECT_EQ(guest.List()->selection, 1);
    // A report or a leave sent before the start and read after it (a machine held up reads
    // its links one after another) changes nothing the start settled.
    guest.ApplyPeerSettings(Report(1, 'T', 4), 0, 0);
    guest.ApplyPeerSettings(Report(1, 'V', 3), 0, 1);
    EXPECT_EQ(r.playerSlots[1], 'V');
    EXPECT_EQ(r.teamColours[1], 3);
    EXPECT_EQ(guest.exitCode, 0);
    // The screen ends at its next pass, and for good.
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(guest.Update(16), 0);
}

// Two colours clash when they are the same or twins four apart; "none" (-1, 254 or anything
// outside 1 .. 8) clashes with nothing.
// A peer's tech level is taken from 1 to 8 and its resources from 0 to 9900, the sliders
// following; a value outside keeps what the screen had. Any artifacts value but 0 means on.
TEST_F(SetupTest, APeersSharedSettingsAreTakenOnlyWithinTheirRanges) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    f->world->AddPeer();
    SetupScreen& guest = OpenSetup(Network(0, 2, 2));
    const struct {
        int tech, resources, artifacts;
        int keptTech, keptResources, keptArtifacts;
    } cases[] = {
        {3, 2000, 0, 3, 2000, 0}, {0, -1, 2, 3, 2000, 1},   {9, 9901, 0, 3, 2000, 0},
        {1, 0, 1, 1, 0, 1},       {8, 9900, 0, 8, 9900, 0}, {-1, 10000, 7, 8, 9900, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tech << " " << c.resources);
        SetupSettings host = Report(1, 'V', 3);
        host.techLevel = c.tech;
        host.resources = c.resources;
        host.artifacts = c.artifacts;
        guest.ApplyPeerSettings(host, 0, 0);
        const Scenario& r = guest.Record();
        EXPECT_EQ(r.techLevel, c.keptTech);
        EXPECT_EQ(r.resources, c.keptResources);
        EXPECT_EQ(r.artifacts, c.keptArtifacts);
        // The knob stops at the end of its travel.
        EXPECT_EQ(guest.ButtonOf(SetupScreen::kTech)->GetValue(),
                  std::min(c.keptTech * 100 / 8 + 6, 100));
        EXPECT_EQ(guest.ButtonOf(SetupScreen::kResources)->GetValue(), c.keptResources / 100);
    }
}

TEST(SetupColours, ColoursClashWhenTheSameOrTwins) {
    const struct {
        int a, b;
        bool clash;
    } cases[] = {{1, 1, true},      {1, 5, true},  {5, 1, true},  {8, 8, true},  {4, 8, true},
                 {8, 4, true},      {1, 2, false}, {2, 7, false}, {0, 0, false}, {0, 4, false},
                 {9, 9, false},     {9, 5, false}, {1, 9, false}, {1, 0, false}, {-1, -1, false},
                 {254, 254, false}, {5, 9, false}, {4, 0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(SetupScreen::Conflict(c.a, c.b), c.clash) << c.a << " " << c.b;
}

TEST_F(SetupTest, AGuestCannotStartEndsOnALeaveAndWithoutPeers) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    CommLink* link = f->world->AddPeer();
    SetupScreen& guest = OpenSetup(Network(0, 2, 2));
    EXPECT_EQ(guest.Record().localTeam, 2);
    EXPECT_EQ(Key(kKeyEnter), 1);
    // The chat line takes the keys until Enter sends it.
    f->world->StartRecording();
    Key('u');
    ASSERT_EQ(guest.ChatOpen(), 1);
    const size_t before = f->world->Commands().Size();
    Key('h');
    Key(kKeyEnter);
    EXPECT_EQ(guest.ChatOpen(), 0);
    EXPECT_GT(f->world->Commands().Size(), before);
    const std::string sent(reinterpret_cast<const char*>(f->world->Commands().Data()) + before,
                           f->world->Commands().Size() - before);
    EXPECT_NE(sent.find(std::string("[") + link->HostName() + "]: h"), std::string::npos);
    guest.ApplyPeerSettings(SetupSettings(), 0, 1);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(guest.exitCode, 1);
    guest.Activate();
    guest.exitCode = 0;
    f->world->ClosePeers(link);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(guest.exitCode, 1);
}

TEST_F(SetupTest, EachChoiceIsHeardWithItsSoundAndARefusedStartWithBoth) {
    // A click or key on the skirmish set-up: the result, and the accept and refusal sounds.
    const struct {
        const char* what;
        int button;  // -1: a press on nothing; -2: the key instead
        int32_t key;
        int result, accepted, refused;
    } cases[] = {
        {"clan T", 1, 0, 1, 1, 0},
        {"colour 3", 4, 0, 1, 1, 0},
        {"two enemies", 9, 0, 1, 1, 0},
        {"artifacts", SetupScreen::kArtifacts, 0, 1, 1, 0},
        {"back", SetupScreen::kBack, 0, 0, 1, 0},
        {"start", SetupScreen::kStart, 0, 0, 1, 0},
        {"nothing", -1, 0, 1, 0, 1},
        {"escape", -2, kKeyEscape, 0, 1, 0},
        {"enter", -2, kKeyEnter, 0, 1, 0},
        {"a key nobody takes", -2, 'x', 1, 0, 0},
    };
    for (const auto& c : cases) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        SetupScreen& s = OpenSetup(Skirmish());
        Frame();
        sounds.Clear();
        int result = 0;
        if (c.button >= 0) {
            result = Click(s.ButtonOf(c.button));
        } else if (c.button == -1) {
            Post(InputKind::MouseMove, Point(600, 460), 0);
            Post(InputKind::ButtonDown, Point(600, 460), 'L');
            result = Frame();
        } else {
            result = Key(c.key);
        }
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(sounds.accepted, c.accepted) << c.what;
        EXPECT_EQ(sounds.refused, c.refused) << c.what;
    }
    // A guest's start is refused after the press is heard; its chat line opens and closes
    // with the accept sound.
    screen->Unload();
    screen.reset();
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    CommLink* link = f->world->AddPeer();
    SetupScreen& guest = OpenSetup(Network(0, 2, 2));
    sounds.Clear();
    EXPECT_EQ(Key(kKeyEnter), 1);
    EXPECT_EQ(sounds.accepted, 1);
    EXPECT_EQ(sounds.refused, 1);
    sounds.Clear();
    Key('u');
    EXPECT_EQ(sounds.accepted, 1);
    Key(kKeyEnter);
    EXPECT_EQ(sounds.accepted, 2);
    EXPECT_EQ(sounds.refused, 0);
    // Ctrl+F1 .. Ctrl+F4 address one player; the line goes out with the own colour first.
    Click(guest.ButtonOf(4));
    const int colour = guest.Record().colour;
    ASSERT_EQ((colour - 1) % 4, 2);
    f->world->StartRecording();
    // Ctrl+F5 opens no line; an empty line sends nothing.
    for (const auto& [key, to] : std::vector<std::pair<int32_t, int>>{
             {kKeyCtrlF1 + 1, 2}, {kKeyCtrlF1 + 3, 4}, {kKeyCtrlF1, 1}, {kKeyCtrlF1 + 4, -1}}) {
        const size_t before = f->world->Commands().Size();
        Key(key);
        ASSERT_EQ(guest.ChatOpen(), to > 0 ? 1 : 0) << key;
        if (to < 0) continue;
        Key(kKeyEnter);
        EXPECT_EQ(guest.ChatOpen(), 0);
        EXPECT_EQ(f->world->Commands().Size(), before) << key;
        Key(key);
        Key('o');
        Key(kKeyEnter);
        const std::string sent(reinterpret_cast<const char*>(f->world->Commands().Data()) + before,
                               f->world->Commands().Size() - before);
        const std::string line = std::string(1, static_cast<char>(colour)) + static_cast<char>(to) +
                                 "[" + link->HostName() + "]: o";
        EXPECT_NE(sent.find(line), std::string::npos) << key;
    }
}

TEST_F(SetupTest, LeavingANetworkSetUpTellsThePeersAtOnce) {
    for (const int32_t key : {kKeyEscape, 17}) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        f->world->ClosePeers(nullptr);
        f->world->makeLink = [] {
            return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>());
        };
        auto* link = static_cast<MemoryLink*>(f->world->AddPeer());
        SetupScreen& guest = OpenSetup(Network(0, 2, 2));
        f->world->StartRecording();
        link->sent.clear();
        EXPECT_EQ(Key(key), 0) << key;
        EXPECT_EQ(guest.exitCode, 1) << key;
        // A bare leave (kind 26, header only) in the frame the link was given.
        ASSERT_FALSE(link->sent.empty()) << key;
        const std::vector<uint8_t>& frame = link->sent.back();
        bool leave = false;
        for (size_t at = 0; at + 2 <= frame.size(); ++at)
            leave = leave || (frame[at] == 7 && frame[at + 1] == 26);
        EXPECT_TRUE(leave) << key;
    }
}

// The colour a slot nobody chose gets at the start: its own clan's colours (V 1 .. 4, T 5 .. 8)
// from its slot number on, skipping any that another player holds or holds the twin of.
TEST_F(SetupTest, AnUnchosenSlotTakesItsClansFirstColourThatNobodyHoldsOrTwins) {
    struct Case {
        int hostColour;
        char thirdClan;
        int thirdColour;
        char secondClan;
        int expected;
    } cases[] = {
        // 6 twins the host's 2, 7 twins the third's 3.
        {2, 'V', 3, 'T', 8},
        // 2 and 3 are held.
        {2, 'V', 3, 'V', 4},
        // 2 twins the third's 6.
        {1, 'T', 6, 'V', 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        f->world->ClosePeers(nullptr);
        f->world->makeLink = [] {
            return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>());
        };
        f->world->AddPeer();
        f->world->AddPeer();
        SetupScreen& host = OpenSetup(Network(1, 1, 3));
        Click(host.ButtonOf(1 + c.hostColour));
        ASSERT_EQ(host.Record().colour, c.hostColour);
        // First reports only count the guests in; the second ones carry their choices.
        for (int round = 0; round < 2; ++round) {
            host.ApplyPeerSettings(Report(2, c.secondClan, -1), 0, 0);
            host.ApplyPeerSettings(Report(3, c.thirdClan, c.thirdColour), 0, 0);
        }
        ASSERT_EQ(host.GuestsWaiting(), 0);
        EXPECT_EQ(Key(kKeyEnter), 0);
        EXPECT_EQ(host.Record().teamColours[2], c.expected);
        EXPECT_EQ(host.Record().teamColours[3], c.thirdColour);
    }
}

TEST_F(SetupTest, TheCheatKeysWorkOnlyWithTheCheatOption) {
    struct CheatsOff {
        ~CheatsOff() { cheatsOn = 0; }
    } restore;
    // The land pack with a special land first, listed only while special lands are shown (the
    // made pack holds special lands of its own: the campaign's).
    size_t specialsMade = 0;
    {
        std::vector<SetupScreen::ListEntry> shown, all;
        ASSERT_TRUE(SetupScreen::ReadLandList(1, shown));
        ASSERT_TRUE(SetupScreen::ReadLandList(0, all));
        specialsMade = all.size() - shown.size();
    }
    {
        ResourceFile lands;
        ASSERT_TRUE(lands.Open(TerrainMap::kLandPack, ResourceFile::OpenMode::Pack));
        std::vector<std::vector<uint8_t>> rows;
        for (int i = 0; lands.SelectEntry(0, i); ++i) {
            int32_t size = lands.Size();
            rows.emplace_back(static_cast<size_t>(size));
            lands.Read(size, rows.back().data());
        }
        PackWriter pack(1, static_cast<int>(rows.size()) + 1);
        const std::string special = "@Hidden land\n";
        pack.SetEntry(0, 0, std::vector<uint8_t>(special.begin(), special.end()));
        for (size_t i = 0; i < rows.size(); ++i)
            pack.SetEntry(0, static_cast<int>(i) + 1, rows[i]);
        std::filesystem::remove(Path(TerrainMap::kLandPack));
        ASSERT_TRUE(pack.WriteFile(Path(TerrainMap::kLandPack).string()));
    }
    SetupScreen& s = OpenSetup(Skirmish());
    Scenario& r = s.Record();
    std::vector<SetupScreen::ListEntry> shown, all;
    ASSERT_TRUE(SetupScreen::ReadLandList(1, shown));
    ASSERT_TRUE(SetupScreen::ReadLandList(0, all));
    ASSERT_EQ(s.Entries().size(), shown.size());
    ASSERT_EQ(all.size(), shown.size() + specialsMade + 1);
    ASSERT_EQ(all.front().packIndex, 0);
    const int land = r.landNumber;
    const int enemies = r.computerPlayers;
    const int mission = r.missionNumber;
    for (int32_t key : std::vector<int32_t>{'e', 'E', '0', 'm', 'M', kKeyF1 + 2}) {
        EXPECT_EQ(Key(key), 1) << key;
        EXPECT_EQ(r.landNumber, land) << key;
        EXPECT_EQ(r.computerPlayers, enemies) << key;
        EXPECT_EQ(r.missionNumber, mission) << key;
        EXPECT_EQ(s.Entries().size(), shown.size()) << key;
    }
    cheatsOn = 1;
    Key('e');
    EXPECT_EQ(r.landNumber, -1);
    EXPECT_EQ(s.List()->selection, -1);
    ASSERT_GE(enemies, 1);
    Key('0');
    EXPECT_EQ(r.computerPlayers, 0);
    for (int n = 8; n <= 10; ++n)
        EXPECT_EQ(s.ButtonOf(n)->pressed, 0) << n;
    // F1 to F11 pick missions 1 to 11 and their land; F12 is no mission key.
    for (const auto& [key, number] : std::vector<std::pair<int32_t, int>>{
             {kKeyF1, 1}, {kKeyF1 + 2, 3}, {kKeyF1 + 10, 11}, {kKeyF1 + 11, 11}}) {
        Key(key);
        EXPECT_EQ(r.missionNumber, number) << key;
        const MissionEntry* entry = Campaign::GetMissionEntry(r.clanLetter, number);
        EXPECT_EQ(r.packEntry, entry ? entry->packEntry : -1) << key;
    }
    // M shows the special lands too, and hides them again; either way the first is chosen.
    for (const auto* expected : {&all, &shown}) {
        Key('m');
        ASSERT_EQ(s.Entries().size(), expected->size());
        EXPECT_EQ(s.List()->selection, 0);
        EXPECT_EQ(r.landNumber, expected->front().packIndex);
        EXPECT_EQ(Option("SCENARIO"), std::to_string(r.landNumber));
    }
    // Ctrl+Alt+Enter starts with the debug flag.
    f->events.ctrlDown = f->events.altDown = 1;
    EXPECT_EQ(Key(kKeyEnter), 0);
    f->events.ctrlDown = f->events.altDown = 0;
    EXPECT_EQ(r.debugFlag, 1);
}

TEST_F(SetupTest, WithoutTheCheatOptionCtrlAltEnterStartsWithoutTheDebugFlag) {
    SetupScreen& s = OpenSetup(Skirmish());
    f->events.ctrlDown = f->events.altDown = 1;
    EXPECT_EQ(Key(kKeyEnter), 0);
    f->events.ctrlDown = f->events.altDown = 0;
    EXPECT_EQ(s.Record().debugFlag, 0);
}

TEST_F(SetupTest, OneEnemyMarkerShowsForEachEnemyFromTheLeft) {
    SetupScreen& s = OpenSetup(Skirmish());
    ResourceFile pack;
    ASSERT_TRUE(pack.Open(SetupScreen::kSmallPack, ResourceFile::OpenMode::Pack));
    ASSERT_TRUE(pack.SelectEntry(0, 7));
    Bitmap marker(&pack);
    const int xs[3] = {255, 301, 347};
    auto place = [&](int e) {
        std::vector<uint8_t> out;
        for (int y = 37; y < 37 + marker.GetSize().h; ++y)
            for (int x = xs[e]; x < xs[e] + marker.GetSize().w; ++x)
                out.push_back(Pixel(x, y));
        return out;
    };
    // Drawn again over the screen, a marker changes only the places that had none.
    for (int enemies = 1; enemies <= 3; ++enemies) {
        Click(s.ButtonOf(7 + enemies));
        ASSERT_EQ(s.Record().computerPlayers, enemies);
        for (int e = 0; e < 3; ++e) {
            const std::vector<uint8_t> shown = place(e);
            f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
            marker.DrawAt(Point(xs[e], 37));
            EXPECT_EQ(place(e) == shown, e < enemies) << enemies << " " << e;
            Frame();
        }
    }
}

TEST_F(SetupTest, TheMarkerSitsOnTheSwatchOfTheOwnColour) {
    SetupScreen& s = OpenSetup(Skirmish());
    ResourceFile pack;
    ASSERT_TRUE(pack.Open(SetupScreen::kSmallPack, ResourceFile::OpenMode::Pack));
    ASSERT_TRUE(pack.SelectEntry(0, 4));
    Bitmap marker(&pack);
    auto swatchArea = [&](int n) {
        // The marker frames the swatch from just outside it.
        const Rect r = s.ButtonOf(n)->Bounds();
        std::vector<uint8_t> out;
        for (int y = r.origin.y - 3; y < r.origin.y + r.extent.h + 3; ++y)
            for (int x = r.origin.x - 3; x < r.origin.x + r.extent.w + 3; ++x)
                out.push_back(Pixel(x, y));
        return out;
    };
    // The marker drawn again over the screen changes only swatches it was not on.
    for (int own = 2; own <= 5; ++own) {
        Click(s.ButtonOf(own));
        ASSERT_EQ(s.Record().colour, own - 1);
        for (int n = 2; n <= 5; ++n) {
            const std::vector<uint8_t> shown = swatchArea(n);
            f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
            marker.Draw(s.ButtonOf(n)->Centre());
            EXPECT_EQ(swatchArea(n) == shown, n == own) << own << " " << n;
            Frame();
        }
    }
}

}  // namespace
