// A skirmish in the real program, headless (fixed-step clock, scripted input, captures): from the
// main menu through the set-up and design screens into battle, then build, the panel's tabs, an
// edge scroll to a corner, zoom, pause, the options overlay and the mission text, and out with
// Ctrl+Q. Each step waits for its game mode, so a run that goes astray fails naming it.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/Palette.h"
#include "core/Point.h"
#include "core/Rect.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "screens/EndToEndGame.h"

namespace {

// The battle's steps; every capture is followed by a wait so that it shows its own step.
const char kScript[] = QX_E2E_SKIRMISH_FROM_MENU
    "wait 500\n"
    "capture start\n"
    "wait 100\n"
    // Build the highlighted design, close the build panel and step through the tabs.
    "key B\n"
    "wait 300\n"
    "capture build\n"
    "wait 100\n"
    "key P\n"
    "wait 300\n"
    "capture tab0\n"
    "wait 100\n"
    "click L 613 307\n"
    "wait 300\n"
    "capture tab1\n"
    "wait 100\n"
    "click L 613 307\n"
    "wait 300\n"
    "capture tab2\n"
    "wait 100\n"
    // The mouse held at the bottom right corner scrolls there.
    "move 639 479\n"
    "wait 1500\n"
    "move 320 240\n"
    "wait 100\n"
    "capture corner\n"
    "wait 100\n"
    "key Z\n"
    "wait 300\n"
    "capture zoom\n"
    "wait 100\n"
    "key Z\n"
    "wait 100\n"
    "keydown CONTROL\n"
    "key P\n"
    "keyup CONTROL\n"
    "wait 300\n"
    "capture paused\n"
    "checksum paused\n"
    "wait 300\n"
    "keydown CONTROL\n"
    "key P\n"
    "keyup CONTROL\n"
    "wait 100\n"
    "key ESCAPE\n"
    "wait 300\n"
    "capture options\n"
    "wait 100\n"
    "move 300 225\n"
    "wait 100\n"
    "click L 300 225\n"
    "wait 300\n"
    "capture missiontext\n"
    "wait 100\n"
    "key ESCAPE\n"
    "wait 300\n"
    "capture back\n"
    "wait 100\n"
    "keydown CONTROL\n"
    "key Q\n"
    "keyup CONTROL\n"
    "await 2 5000\n"
    "wait 300\n"
    "key ESCAPE\n"
    "await 10 2000\n"
    "wait 30000\n";

using BattleEndToEnd = e2e::EndToEndTest;

TEST_F(BattleEndToEnd, SkirmishFromTheMenuThroughEveryControlAndOut) {
    game.WriteOptions(e2e::kMoviesOff);
    ASSERT_EQ(game.Run(e2e::kToMenu + std::string(kScript)), 0) << game.Errors();
    auto picture = [this](const char* name) { return game.Capture(name); };
    for (const char* name : {"start", "build", "tab0", "tab1", "tab2", "corner", "zoom", "paused",
                             "options", "missiontext", "back"})
        EXPECT_FALSE(picture(name).empty()) << name;
    // Each step changes what is shown.
    const char* const differing[][2] = {
        {"start", "build"},         {"build", "tab0"},   {"tab0", "tab1"},   {"tab1", "tab2"},
        {"tab0", "tab2"},           {"tab2", "corner"},  {"corner", "zoom"}, {"paused", "back"},
        {"options", "missiontext"}, {"options", "back"},
    };
    for (const auto& pair : differing)
        EXPECT_NE(picture(pair[0]), picture(pair[1])) << pair[0] << " and " << pair[1];
    const std::string checksum = game.Checksum("paused");
    ASSERT_GE(checksum.size(), 16u);
    EXPECT_EQ(checksum.substr(0, 16).find_first_not_of("0123456789abcdefABCDEF"), std::string::npos)
        << checksum;
}

// The tutorial's battle: a Scout Infrared is built, comes out of the factory, and is found (the
// view centred on it), cleared, banded round, ordered to a point and found there. Its selection
// marker (the two bottom corners in the marker colour) shows where it stands.
const char kUnitScript[] =
    "text \"t\"\n"
    "await 3 20000\n"
    "move 480 60\n"
    "wait 900\n"
    "key DOWN\n"
    "wait 100\n"
    "key B\n"
    "wait 40000\n"
    "key N\n"
    "wait 300\n"
    "click R 480 60\n"
    "wait 300\n"
    "capture cleared\n"
    "wait 100\n"
    "down L 225 195\n"
    "wait 50\n"
    "move 260 230\n"
    "wait 50\n"
    "move 315 285\n"
    "wait 50\n"
    "up L 315 285\n"
    "wait 50\n"
    "move 480 60\n"
    "wait 300\n"
    "capture banded\n"
    "wait 100\n"
    "move 120 340\n"
    "wait 100\n"
    "click L 120 340\n"
    "wait 50\n"
    "move 480 60\n"
    "wait 12000\n"
    "capture arrived\n"
    "wait 100\n"
    "keydown CONTROL\n"
    "key Q\n"
    "keyup CONTROL\n"
    "await 2 5000\n"
    "wait 300\n";

constexpr int kMarkerColour = 100;

// Marker pixels in the box of the given half size about a point, leaving out the cursor's box
// about the parked pointer.
int MarkerPixelsNear(const std::vector<uint8_t>& rgb, const Rgb& marker, int cx, int cy, int half) {
    int n = 0;
    for (int y = std::max(0, cy - half); y <= std::min(447, cy + half); ++y) {
        for (int x = std::max(0, cx - half); x <= std::min(511, cx + half); ++x) {
            if (x >= 460 && x < 520 && y >= 40 && y < 100) continue;
            const size_t i = (static_cast<size_t>(y) * 640 + x) * 3;
            n += rgb[i] == marker.r && rgb[i + 1] == marker.g && rgb[i + 2] == marker.b;
        }
    }
    return n;
}

TEST_F(BattleEndToEnd, ABuiltUnitIsBandedAndStandsWhereItWasSent) {
    game.WriteOptions(e2e::kMoviesOff);
    ASSERT_EQ(game.Run(e2e::kToMenu + std::string(kUnitScript) + e2e::kOutFromMenu), 0)
        << game.Errors();
    const std::unique_ptr<Palette> palette =
        LoadPalette((game.path / "Assets" / "7a0txxxx99s999.pal").c_str(), 0, 0);
    ASSERT_TRUE(palette);
    const Rgb marker = palette->entries[kMarkerColour];
    const std::vector<uint8_t> cleared = game.CapturePixels("cleared");
    const std::vector<uint8_t> banded = game.CapturePixels("banded");
    const std::vector<uint8_t> arrived = game.CapturePixels("arrived");
    ASSERT_FALSE(cleared.empty() || banded.empty() || arrived.empty());
    // The scout stands at the view's centre once found; the band round it selects it.
    EXPECT_EQ(MarkerPixelsNear(cleared, marker, 270, 240, 40), 0);
    EXPECT_GE(MarkerPixelsNear(banded, marker, 270, 240, 40), 8);
    // Sent away, it stands at the target and no longer where it was.
    EXPECT_GE(MarkerPixelsNear(arrived, marker, 120, 340, 40), 8);
    EXPECT_EQ(MarkerPixelsNear(arrived, marker, 270, 240, 40), 0);
}

// The factory's first roll-out, on either clan: the factory stands open, a unit is ordered, and
// once a second from the order the capture shows where the factory stands.
constexpr int kRollOutCaptures = 6;
std::string RollOutScript() {
    std::string script = QX_E2E_SKIRMISH_FROM_MENU "wait 3000\ncapture open\nwait 100\nkey B\n";
    for (int i = 1; i <= kRollOutCaptures; ++i)
        script += "wait " + std::string(i == 1 ? "100" : "1000") + "\ncapture rollout" +
                  std::to_string(i) + "\n";
    return script + "wait 100\n" + e2e::kBattleToMenu;
}

// The open factory as its body's last frame draws it: its solid pixels, by their place from
// the frame's centre, in the palette's colours, and its team-coloured ones.
struct Footprint {
    std::vector<std::pair<Point, Rgb>> solid;
    std::vector<Point> team;
};

Footprint OpenBodyOf(const e2e::GameFolder& game, char clan, const Palette& palette) {
    const std::string bytes = game.File("Assets/7a0A" + std::string(1, clan) + "MAX99s999.msp");
    ResourceFile pack;
    if (bytes.empty() || pack.OpenBytes(bytes.data(), bytes.size()) != 1) return {};
    const std::unique_ptr<SpriteSet> body = LoadSpriteSetRow(pack);
    if (!body) return {};
    MemoryDisplay screen;
    const Point centre(320, 240);
    // Drawn with two team colours: the pixels that follow the colour are the team's.
    auto draw = [&](int team) {
        std::memset(screen.BackPage(), 0, 640 * 480);
        screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        body->DrawFrameShadeFilled(centre, body->LastFrameIndex(), team);
        screen.ResetClipRect();
        return std::vector<uint8_t>(screen.BackPage(), screen.BackPage() + 640 * 480);
    };
    const std::vector<uint8_t> first = draw(1), second = draw(2);
    Footprint footprint;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const size_t i = static_cast<size_t>(y) * 640 + x;
            if (first[i] == 0) continue;
            const Point at(x - centre.x, y - centre.y);
            if (first[i] != second[i])
                footprint.team.push_back(at);
            else
                footprint.solid.emplace_back(at, palette.entries[first[i]]);
        }
    }
    return footprint;
}

bool ShowsColour(const std::vector<uint8_t>& rgb, const Point& p, const Rgb& c) {
    if (p.x < 0 || p.y < 0 || p.x >= 640 || p.y >= 480) return false;
    const size_t i = (static_cast<size_t>(p.y) * 640 + p.x) * 3;
    return rgb[i] == c.r && rgb[i + 1] == c.g && rgb[i + 2] == c.b;
}

// The share of the body's solid pixels that a capture shows in their colours about a centre.
double ShareShown(const std::vector<uint8_t>& rgb, const Footprint& body, const Point& centre,
                  size_t step = 1) {
    int shown = 0, tried = 0;
    for (size_t k = 0; k < body.solid.size(); k += step, ++tried)
        shown += ShowsColour(rgb, centre + body.solid[k].first, body.solid[k].second);
    return tried ? static_cast<double>(shown) / tried : 0.0;
}

// Where the map view shows the body best: a sample of its pixels tried at every centre.
Point Locate(const std::vector<uint8_t>& rgb, const Footprint& body) {
    Point best;
    double bestShare = -1;
    for (int y = 0; y < 448; ++y) {
        for (int x = 0; x < 512; ++x) {
            const double share = ShareShown(rgb, body, Point(x, y), 61);
            if (share > bestShare) bestShare = share, best = Point(x, y);
        }
    }
    return best;
}

TEST_F(BattleEndToEnd, TheFactoryStandsWholeWhileItsFirstUnitRollsOut) {
    for (char clan : {'V', 'T'}) {
        SCOPED_TRACE(clan);
        e2e::GameFolder run(scratch, std::string("rollout-") + clan);
        ASSERT_TRUE(run.MakeAssets()) << run.File("mkassets.log");
        run.WriteOptions(std::string(e2e::kMoviesOff) + "CLAN=" + clan + "\n");
        ASSERT_EQ(run.Run(e2e::kToMenu + RollOutScript() + e2e::kOutFromMenu), 0) << run.Errors();
        const std::unique_ptr<Palette> palette =
            LoadPalette((run.path / "Assets" / "7a0txxxx99s999.pal").c_str(), 0, 0);
        ASSERT_TRUE(palette);
        const Footprint body = OpenBodyOf(run, clan, *palette);
        ASSERT_GT(body.solid.size(), 5000u);
        const std::vector<uint8_t> open = run.CapturePixels("open");
        ASSERT_FALSE(open.empty());
        const Point factory = Locate(open, body);
        ASSERT_GE(ShareShown(open, body, factory), 0.95) << "the open factory is not in view";
        // Every capture shows the whole factory where it stood (what it carries, a unit passing
        // over, may hide a little of it); in one at least its door stands open.
        bool doorOpened = false;
        for (int i = 1; i <= kRollOutCaptures; ++i) {
            const std::string name = "rollout" + std::to_string(i);
            const std::vector<uint8_t> shot = run.CapturePixels(name);
            ASSERT_FALSE(shot.empty()) << name;
            EXPECT_GE(ShareShown(shot, body, factory), 0.9) << name;
            int teamChanged = 0;
            for (const Point& at : body.team) {
                const Point p = factory + at;
                if (p.x < 0 || p.y < 0 || p.x >= 640 || p.y >= 480) continue;
                const size_t k = (static_cast<size_t>(p.y) * 640 + p.x) * 3;
                teamChanged += std::memcmp(&shot[k], &open[k], 3) != 0;
            }
            doorOpened = doorOpened || teamChanged >= 30;
        }
        EXPECT_TRUE(doorOpened) << "no roll-out: the door never opened";
    }
}

}  // namespace
