// The design screen in the real program, headless: the main menu's design entry through the
// set-up screen into the design screen; a chassis, a drive, a weapon and a defence item mounted
// on two hardpoints, a name typed with capitals and a standing order chosen; the leave key back
// to the menu with the design stored. A second start of the program finds the design in the
// library, opens it with every choice, renames it and stores it again.
#include <sstream>
#include <string>
#include <vector>

#include "screens/EndToEndGame.h"

namespace {

using DesignEndToEnd = e2e::EndToEndTest;

// A script step that clicks at a point with the pointer resting there first, as a player does.
std::string ClickAt(int x, int y) {
    const std::string at = std::to_string(x) + " " + std::to_string(y);
    return "move " + at + "\nwait 100\nclick L " + at + "\nwait 300\n";
}

const char kIntoDesign[] =
    "text \"d\"\n"
    "wait 300\n"
    "key RETURN\n"
    "await 5 3000\n"
    "wait 300\n";
const char kStoreAndLeave[] =
    "text \"b\"\n"
    "wait 300\n"
    "text \"y\"\n"
    "await 2 3000\n"
    "wait 300\n";

// The design lines of a design file whose name is the given one.
std::vector<std::string> CodesNamed(const std::string& file, const std::string& name) {
    std::vector<std::string> codes;
    std::istringstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.size() == 22 + name.size() && line.compare(22, std::string::npos, name) == 0)
            codes.push_back(line.substr(0, 22));
    }
    return codes;
}

TEST_F(DesignEndToEnd, ADesignWithEveryChoiceIsStoredAndComesBackAfterARestart) {
    game.WriteOptions(e2e::kMoviesOff);
    const std::string designsBefore = game.File("Assets/Vs.vdf");
    ASSERT_FALSE(designsBefore.empty());
    // Each category's first catalogue entry; a carried part goes onto a mount point of the
    // mounts panel; the name field takes the typed name; the standing orders' second row.
    const std::string first =
        std::string(e2e::kToMenu) + kIntoDesign + ClickAt(55, 34) + ClickAt(565, 195) +
        ClickAt(55, 94) + ClickAt(565, 195) + ClickAt(55, 154) + ClickAt(565, 195) +
        ClickAt(553, 63) + ClickAt(55, 214) + ClickAt(565, 195) + ClickAt(584, 85) +
        ClickAt(317, 415) +
        "text \"Rover AbC\"\n"
        "wait 100\n"
        "key RETURN\n"
        "wait 300\n" +
        ClickAt(400, 458) + ClickAt(178, 203) + kStoreAndLeave + e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(first), 0) << game.Errors();
    const std::vector<std::string> stored = CodesNamed(game.File("Assets/V.vdf"), "Rover AbC");
    ASSERT_EQ(stored.size(), 1u) << game.File("Assets/V.vdf");
    const std::string& code = stored[0];
    EXPECT_EQ(code[0], 'V');
    EXPECT_NE(code[1], '-') << "drive: " << code;
    EXPECT_NE(code[2], '-') << "chassis: " << code;
    int mounted = 0;
    for (int h = 3; h < 10; ++h)
        mounted += code[static_cast<size_t>(h)] != '-';
    EXPECT_EQ(mounted, 2) << "a weapon and a defence item: " << code;
    // Every sample design (the default design file) stands on the default standing order; the
    // chosen row changed it.
    const std::vector<std::string> sample = CodesNamed(designsBefore, "Miner");
    ASSERT_EQ(sample.size(), 1u);
    EXPECT_NE(code[10], sample[0][10]) << code;
    EXPECT_EQ(code.substr(11), sample[0].substr(11)) << code;

    // The library row after the eleven sample designs, the parts panel and the name field.
    const std::string second = std::string(e2e::kToMenu) + kIntoDesign + ClickAt(78, 458) +
                               ClickAt(170, 336) + ClickAt(238, 458) + ClickAt(317, 415) +
                               "text \"Rover Two\"\n"
                               "wait 100\n"
                               "key RETURN\n"
                               "wait 300\n" +
                               kStoreAndLeave + e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(second), 0) << game.Errors();
    const std::string after = game.File("Assets/V.vdf");
    EXPECT_EQ(CodesNamed(after, "Rover Two"), stored) << after;
    EXPECT_TRUE(CodesNamed(after, "Rover AbC").empty()) << after;
}

}  // namespace
