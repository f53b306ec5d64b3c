// A skirmish in the real program, headless (fixed-step clock, scripted input, captures): from the
// main menu through the set-up and design screens into battle, then band-select, click-move,
// build, the panel's tabs, an edge scroll to a corner, zoom, pause, the options overlay and the
// mission text, and out with Ctrl+Q. Each step waits for its game mode, so a run that goes astray
// fails naming it.
#include <string>

#include "screens/EndToEndGame.h"

namespace {

// The battle's steps; every capture is followed by a wait so that it shows its own step.
const char kScript[] =
    "text \"o\"\n"
    "wait 300\n"
    "key RETURN\n"
    "wait 1000\n"
    "move 560 458\n"
    "wait 100\n"
    "click L 560 458\n"
    "await 3 20000\n"
    "wait 500\n"
    "capture start\n"
    "wait 100\n"
    // A band around the starting unit, then a move order for it.
    "down L 270 50\n"
    "wait 50\n"
    "move 290 70\n"
    "wait 50\n"
    "move 330 100\n"
    "wait 50\n"
    "up L 330 100\n"
    "wait 200\n"
    "capture band\n"
    "wait 100\n"
    "click L 380 120\n"
    "wait 1000\n"
    "capture moved\n"
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
    for (const char* name : {"start", "band", "moved", "build", "tab0", "tab1", "tab2", "corner",
                             "zoom", "paused", "options", "missiontext", "back"})
        EXPECT_FALSE(picture(name).empty()) << name;
    // Each step changes what is shown.
    const char* const differing[][2] = {
        {"start", "band"},  {"band", "moved"},  {"moved", "build"},         {"build", "tab0"},
        {"tab0", "tab1"},   {"tab1", "tab2"},   {"tab0", "tab2"},           {"tab2", "corner"},
        {"corner", "zoom"}, {"paused", "back"}, {"options", "missiontext"}, {"options", "back"},
    };
    for (const auto& pair : differing)
        EXPECT_NE(picture(pair[0]), picture(pair[1])) << pair[0] << " and " << pair[1];
    const std::string checksum = game.Checksum("paused");
    ASSERT_GE(checksum.size(), 16u);
    EXPECT_EQ(checksum.substr(0, 16).find_first_not_of("0123456789abcdefABCDEF"), std::string::npos)
        << checksum;
}

}  // namespace
