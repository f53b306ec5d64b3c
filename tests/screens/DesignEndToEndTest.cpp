// The design screen in the real program, headless: the main menu's design entry through the
// set-up screen into the design screen, and the leave key back to the menu, each step waiting
// for its game mode.
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

TEST(DesignEndToEnd, TheMenusDesignEntryOpensTheDesignScreenAndLeavesBackToTheMenu) {
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
                                          "text \"b\"\n"
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
}

}  // namespace
