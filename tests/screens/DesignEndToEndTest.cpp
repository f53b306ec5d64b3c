// The design screen in the real program, headless: the main menu's design entry through the
// set-up screen into the design screen, a chassis picked, and the leave key back to the menu with
// the design stored, each step waiting for its game mode.
#include <string>

#include "screens/EndToEndGame.h"

namespace {

using DesignEndToEnd = e2e::EndToEndTest;

TEST_F(DesignEndToEnd, TheMenusDesignEntryOpensTheDesignScreenAndStoresADesignOnLeaving) {
    const std::string designsBefore = game.File("Assets/V.vdf");
    game.WriteOptions(e2e::kMoviesOff);
    const std::string script = std::string(e2e::kToMenu) +
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
                               "capture menu-again\n" +
                               e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(script), 0) << game.Errors();
    auto capture = [this](const char* name) { return game.Capture(name); };
    for (const char* name : {"menu", "design", "menu-again"})
        EXPECT_FALSE(capture(name).empty()) << name;
    // The await of mode 2 after the leave key already proves the way back; the captures show
    // the design screen between two menus.
    EXPECT_TRUE(capture("menu") != capture("design"));
    EXPECT_TRUE(capture("design") != capture("menu-again"));
    // The World wrote the clan's design file on leaving, with the new design in it.
    const std::string designsAfter = game.File("Assets/V.vdf");
    EXPECT_GT(designsAfter.size(), designsBefore.size());
    EXPECT_EQ(designsBefore.find("Bastion"), std::string::npos);
    EXPECT_NE(designsAfter.find("Bastion"), std::string::npos) << designsAfter;
}

}  // namespace
