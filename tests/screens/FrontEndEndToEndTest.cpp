// The front end in the real program, headless (fixed-step clock, scripted input, captures):
// title, main menu, the set-up screen in each of its roles with a setting changed and kept in
// QX.INI, and the load-game screen with a good and a damaged saved game, then out through the
// exit pictures. Each step waits for its game mode, so a run that goes astray fails naming it.
#include <fstream>
#include <string>

#include "screens/EndToEndGame.h"

namespace {

using FrontEndEndToEnd = e2e::EndToEndTest;

TEST_F(FrontEndEndToEnd, MenuSetUpInEachRoleAndLoadGameWithADamagedGame) {
    game.WriteOptions(e2e::kMoviesOff);
    const std::filesystem::path assets = game.path / "Assets";
    std::ofstream(assets / "GAMES.SAV") << "0.scn\nbroken game\n1.scn\ngood game\n";
    std::ofstream(assets / "0.scn") << ": H\nJ = 13\nL = V\n";
    std::ofstream(assets / "1.scn") << ": H\nJ = 0\nL = V\nK = 0\nI = 1\n";
    const std::string script = std::string(e2e::kToMenu) +
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
                               "await 2 1000\n" +
                               e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(script), 0) << game.Errors();
    for (const char* name :
         {"menu", "setup-skirmish", "setup-design", "setup-campaign", "load", "load-damaged"})
        EXPECT_FALSE(game.Capture(name).empty()) << name;
    // The menu, the set-up roles and the load-game screen each look different.
    auto differ = [this](const char* a, const char* b) {
        return game.Capture(a) != game.Capture(b);
    };
    EXPECT_TRUE(differ("menu", "setup-skirmish"));
    EXPECT_TRUE(differ("setup-skirmish", "setup-design"));
    EXPECT_TRUE(differ("setup-design", "setup-campaign"));
    EXPECT_TRUE(differ("load", "load-damaged")) << "no status line for the damaged game";
    const std::string options = game.File("QX.INI");
    EXPECT_NE(options.find("ENEMIES=2"), std::string::npos) << options;
    EXPECT_NE(options.find("CLAN=T"), std::string::npos) << options;
    EXPECT_EQ(game.File("Assets/GAMES.SAV"), "0.scn\nbroken game\n1.scn\ngood game\n");
}

}  // namespace
