// A skirmish in the real program, headless (fixed-step clock, scripted input, captures): from the
// main menu through the set-up and design screens into battle, then band-select, click-move,
// build, the panel's tabs, an edge scroll to a corner, zoom, pause, the options overlay and the
// mission text, and out with Ctrl+Q. Each step waits for its game mode, so a run that goes astray
// fails naming it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The battle's steps; every capture is followed by a wait so that it shows its own step.
const char kScript[] =
    "wait 500\n"
    "text \"m\"\n"
    "await 2 5000\n"
    "wait 300\n"
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

// Runs the game in the directory with freshly made assets; answers the exit code.
int RunSkirmish(const fs::path& game) {
    const fs::path maker = fs::path(QX_BINARY_DIR) / "qx-mkassets";
    if (std::system(
            (maker.string() + " " + game.string() + " > " + (game / "mkassets.log").string())
                .c_str()) != 0)
        return -2;
    fs::create_directory(game / "captures");
    std::ofstream(game / "QX.INI") << "[OPTIONS]\nMOVIES=NO\n";
    std::ofstream(game / "script.txt") << kScript;
    const fs::path binary = fs::path(QX_BINARY_DIR) / "quarnex";
    const std::string command =
        "cd '" + game.string() +
        "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy QX_CLOCK=fixed:16 "
        "QX_SCRIPT=script.txt QX_CAPTURE=captures timeout 120 '" +
        binary.string() + "' > stdout.txt 2> stderr.txt; echo $? > exit.txt";
    const int shellStatus = std::system(command.c_str());
    (void)shellStatus;
    int exitCode = -1;
    std::istringstream(ReadText(game / "exit.txt")) >> exitCode;
    return exitCode;
}

TEST(BattleEndToEnd, SkirmishFromTheMenuThroughEveryControlAndOut) {
    if (!fs::exists(fs::path(QX_BINARY_DIR) / "qx-mkassets"))
        GTEST_SKIP() << "the sample asset maker is not built";
    TempDirectory directory;
    const fs::path game(directory.Path());
    ASSERT_EQ(RunSkirmish(game), 0) << ReadText(game / "stderr.txt");
    const fs::path captures = game / "captures";
    auto picture = [&captures](const char* name) {
        return ReadText(captures / (std::string(name) + ".png"));
    };
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
    const std::string checksum = ReadText(captures / "paused.txt");
    ASSERT_GE(checksum.size(), 16u);
    EXPECT_EQ(checksum.substr(0, 16).find_first_not_of("0123456789abcdefABCDEF"), std::string::npos)
        << checksum;
}

}  // namespace
