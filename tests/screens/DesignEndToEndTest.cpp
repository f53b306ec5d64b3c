// The design screen in the real program, headless: the main menu's design entry through the
// set-up screen into the design screen, a chassis picked, and the leave key back to the menu with
// the design stored, each step waiting for its game mode.
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

TEST(DesignEndToEnd, TheMenusDesignEntryOpensTheDesignScreenAndStoresADesignOnLeaving) {
    const fs::path maker = fs::path(QX_BINARY_DIR) / "qx-mkassets";
    if (!fs::exists(maker)) GTEST_SKIP() << "the sample asset maker is not built";
    TempDirectory directory;
    const fs::path game(directory.Path());
    ASSERT_EQ(std::system(
                  (maker.string() + " " + game.string() + " > " + (game / "mkassets.log").string())
                      .c_str()),
              0);
    fs::create_directory(game / "captures");
    const std::string designsBefore = ReadText(game / "Assets" / "V.vdf");
    std::ofstream(game / "QX.INI") << "[OPTIONS]\nMOVIES=NO\n";
    std::ofstream(game / "script.txt") << "wait 500\n"
                                          "text \"m\"\n"
                                          "await 2 5000\n"
                                          "wait 300\n"
                                          "capture menu\n"
                                          "text \"d\"\n"
                                          "wait 300\n"
                                          "key RETURN\n"
                                          "await 5 3000\n"
                                          "wait 300\n"
                                          "capture design\n"
                                          // The chassis category and its first entry.
                                          "move 55 34\n"
                                          "wait 100\n"
                                          "click L 55 34\n"
                                          "wait 300\n"
                                          "move 565 195\n"
                                          "wait 100\n"
                                          "click L 565 195\n"
                                          "wait 300\n"
                                          // Leaving with a change asks; yes stores it.
                                          "text \"b\"\n"
                                          "wait 300\n"
                                          "text \"y\"\n"
                                          "await 2 3000\n"
                                          "wait 300\n"
                                          "capture menu-again\n"
                                          "key ESCAPE\n"
                                          "await 10 2000\n"
                                          "wait 30000\n";
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
    auto capture = [&game](const char* name) {
        return ReadText(game / "captures" / (std::string(name) + ".png"));
    };
    for (const char* name : {"menu", "design", "menu-again"})
        EXPECT_FALSE(capture(name).empty()) << name;
    // The await of mode 2 after the leave key already proves the way back; the captures show
    // the design screen between two menus.
    EXPECT_TRUE(capture("menu") != capture("design"));
    EXPECT_TRUE(capture("design") != capture("menu-again"));
    // The World wrote the clan's design file on leaving, with the new design in it.
    const std::string designsAfter = ReadText(game / "Assets" / "V.vdf");
    EXPECT_GT(designsAfter.size(), designsBefore.size());
    EXPECT_EQ(designsBefore.find("Bastion"), std::string::npos);
    EXPECT_NE(designsAfter.find("Bastion"), std::string::npos) << designsAfter;
}

}  // namespace
