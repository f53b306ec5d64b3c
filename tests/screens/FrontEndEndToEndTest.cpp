// The front end in the real program, headless (fixed-step clock, scripted input, captures):
// title, main menu, the set-up screen in each of its roles with a setting changed and kept in
// QX.INI, and the load-game screen with a good and a damaged saved game, then out through the
// exit pictures. Each step waits for its game mode, so a run that goes astray fails naming it.
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

TEST(FrontEndEndToEnd, MenuSetUpInEachRoleAndLoadGameWithADamagedGame) {
    const fs::path maker = fs::path(QX_BINARY_DIR) / "qx-mkassets";
    if (!fs::exists(maker)) GTEST_SKIP() << "the sample asset maker is not built";
    TempDirectory directory;
    const fs::path game(directory.Path());
    ASSERT_EQ(std::system(
                  (maker.string() + " " + game.string() + " > " + (game / "mkassets.log").string())
                      .c_str()),
              0);
    fs::create_directory(game / "captures");
    std::ofstream(game / "QX.INI") << "[OPTIONS]\nMOVIES=NO\n";
    std::ofstream(game / "Assets" / "GAMES.SAV") << "0.scn\nbroken game\n1.scn\ngood game\n";
    std::ofstream(game / "Assets" / "0.scn") << ": H\nJ = 13\nL = V\n";
    std::ofstream(game / "Assets" / "1.scn") << ": H\nJ = 0\nL = V\nK = 0\nI = 1\n";
    const std::string script =
        "wait 500\n"
        "text \"m\"\n"
        "await 2 5000\n"
        "wait 300\n"
        "capture menu\n"
        // Skirmish: two enemies, then back.
        "text \"o\"\n"
        "wait 300\n"
        "capture setup-skirmish\n"
        "move 320 47\n"
        "wait 100\n"
        "click L 320 47\n"
        "wait 300\n"
        "key ESCAPE\n"
        "wait 300\n"
        // Design entry and new campaign: the clan T, then back.
        "text \"d\"\n"
        "wait 300\n"
        "capture setup-design\n"
        "key ESCAPE\n"
        "wait 300\n"
        "text \"s\"\n"
        "wait 300\n"
        "move 257 203\n"
        "wait 100\n"
        "click L 257 203\n"
        "wait 300\n"
        "capture setup-campaign\n"
        "key ESCAPE\n"
        "wait 300\n"
        // Load game: the damaged game says so and stays.
        "text \"l\"\n"
        "wait 300\n"
        "capture load\n"
        "key RETURN\n"
        "wait 300\n"
        "capture load-damaged\n"
        "key ESCAPE\n"
        "wait 300\n"
        "await 2 1000\n"
        "key ESCAPE\n"
        "await 10 2000\n"
        "wait 30000\n";
    std::ofstream(game / "script.txt") << script;
    const fs::path binary = fs::path(QX_BINARY_DIR) / "quarnex";
    const std::string command =
        "cd '" + game.string() +
        "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy QX_CLOCK=fixed:16 "
        "QX_SCRIPT=script.txt QX_CAPTURE=captures timeout 300 '" +
        binary.string() + "' > stdout.txt 2> stderr.txt; echo $? > exit.txt";
    const int shellStatus = std::system(command.c_str());
    (void)shellStatus;
    int exitCode = -1;
    std::istringstream(ReadText(game / "exit.txt")) >> exitCode;
    ASSERT_EQ(exitCode, 0) << ReadText(game / "stderr.txt");
    for (const char* name :
         {"menu", "setup-skirmish", "setup-design", "setup-campaign", "load", "load-damaged"})
        EXPECT_TRUE(fs::exists(game / "captures" / (std::string(name) + ".png"))) << name;
    // The menu, the set-up roles and the load-game screen each look different.
    auto differ = [&game](const char* a, const char* b) {
        return ReadText(game / "captures" / (std::string(a) + ".png")) !=
               ReadText(game / "captures" / (std::string(b) + ".png"));
    };
    EXPECT_TRUE(differ("menu", "setup-skirmish"));
    EXPECT_TRUE(differ("setup-skirmish", "setup-design"));
    EXPECT_TRUE(differ("setup-design", "setup-campaign"));
    EXPECT_TRUE(differ("load", "load-damaged")) << "no status line for the damaged game";
    const std::string options = ReadText(game / "QX.INI");
    EXPECT_NE(options.find("ENEMIES=2"), std::string::npos) << options;
    EXPECT_NE(options.find("CLAN=T"), std::string::npos) << options;
    EXPECT_EQ(ReadText(game / "Assets" / "GAMES.SAV"), "0.scn\nbroken game\n1.scn\ngood game\n");
}

}  // namespace
