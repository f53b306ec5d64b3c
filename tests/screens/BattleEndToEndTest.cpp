// A skirmish in the real program, headless (fixed-step clock, scripted input, captures): from the
// main menu through the set-up and design screens into battle, then build, the panel's tabs, an
// edge scroll to a corner, zoom, pause, the options overlay and the mission text, and out with
// Ctrl+Q. Each step waits for its game mode, so a run that goes astray fails naming it.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/Palette.h"
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

}  // namespace
