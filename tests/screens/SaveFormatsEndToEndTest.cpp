// Saves of every writer through the real program's load-game screen: a battle saved by this
// build, the same save as the writers before it wrote it, each loading into the same state, and
// the damaged ones the screen must refuse.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "screens/EndToEndGame.h"
#include "support/SaveForms.h"
#include "world/ScenarioText.h"

namespace {

using SaveFormatsEndToEnd = e2e::EndToEndTest;

using e2e::kBattleToMenu;
using e2e::kDesignToBattle;
using e2e::kSkirmishToDesign;
// The options overlay's save button, under the title the overlay offers.
constexpr char kSaveFromBattle[] =
    "key ESCAPE\n"
    "wait 300\n"
    "move 300 110\n"
    "wait 100\n"
    "click L 300 110\n"
    "wait 300\n"
    "key ESCAPE\n"
    "wait 300\n";

std::string OpenLoadScreenAt(int row) {
    std::string lines = "text \"l\"\nwait 300\n";
    for (int i = 0; i < row; ++i)
        lines += "key DOWN\nwait 100\n";
    return lines;
}

// 1 when the text begins with the format line and ends with its valid record.
bool IsNewForm(const std::string& text) {
    const std::string formatLine = std::string(ScenarioText::kFormatLine) + "\n";
    return text.rfind(formatLine, 0) == 0 &&
           ScenarioText::CheckedLength(text.data(), text.size()) > 0;
}

TEST_F(SaveFormatsEndToEnd, SavesOfEveryWriterLoadIntoOneStateAndBrokenOnesAreRefused) {
    game.WriteOptions(e2e::kMoviesOff);
    const std::string save = std::string(e2e::kToMenu) + kSkirmishToDesign + kDesignToBattle +
                             "wait 2000\n" + kSaveFromBattle + kBattleToMenu + e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(save), 0) << game.Errors();
    ASSERT_EQ(game.File("Assets/GAMES.SAV"), "0.scn\nuntitled\n");
    const std::string fresh = game.File("Assets/0.scn");
    ASSERT_TRUE(IsNewForm(fresh));
    const std::string old = WithoutFormatLineAndRecord(fresh);
    const std::string previous = WithRecordOnly(fresh);
    ASSERT_FALSE(old.empty());

    // The structure faults, made from the old form.
    const std::vector<std::string> pieces = SectionsOf(old);
    const size_t localAt = old.find("\nI = ");
    ASSERT_NE(localAt, std::string::npos);
    const int local = std::stoi(old.substr(localAt + 5));
    std::vector<std::string> others;
    for (const std::string& piece : pieces)
        if (!IsUnitOfTeam(piece, local)) others.push_back(piece);
    ASSERT_LT(others.size(), pieces.size());
    std::vector<std::string> longer = pieces;
    longer[1] += "q = " + std::string(252, '7') + "\n";
    std::vector<std::string> twice = pieces;
    for (size_t i = 0; i < twice.size(); ++i) {
        if (twice[i].rfind(": V\n", 0) == 0) {
            twice.insert(twice.begin() + static_cast<long>(i), twice[i]);
            break;
        }
    }
    ASSERT_EQ(twice.size(), pieces.size() + 1);
    const size_t recordAt = fresh.rfind("# check ");

    const struct {
        const char* name;
        std::string text;
    } loading[] = {{"this build", fresh}, {"the format's own", old}, {"previous writer", previous}};
    const struct {
        const char* name;
        std::string text;
    } refused[] = {
        {"format line alone", std::string(ScenarioText::kFormatLine) + "\n"},
        {"cut 10", fresh.substr(0, fresh.size() / 10)},
        {"cut 50", fresh.substr(0, fresh.size() / 2)},
        {"cut 90", fresh.substr(0, fresh.size() * 9 / 10)},
        {"no record", fresh.substr(0, recordAt)},
        {"last line feed cut", fresh.substr(0, fresh.size() - 1)},
        {"header only", pieces[1]},
        {"no unit of the local team", Joined(others)},
        {"a unit twice", Joined(twice)},
        {"a line of 256", Joined(longer)},
    };
    std::string index;
    int n = 0;
    for (const auto& c : loading) {
        std::ofstream(game.path / "Assets" / (std::to_string(n) + ".scn"), std::ios::binary)
            << c.text;
        index += std::to_string(n++) + ".scn\n" + c.name + "\n";
    }
    for (const auto& c : refused) {
        std::ofstream(game.path / "Assets" / (std::to_string(n) + ".scn"), std::ios::binary)
            << c.text;
        index += std::to_string(n++) + ".scn\n" + c.name + "\n";
    }
    std::ofstream(game.path / "Assets" / "GAMES.SAV", std::ios::binary) << index;

    // Each whole save into battle, its checksum there, back to the menu; the old form's game is
    // saved again from the battle, under its own title.
    std::string script = e2e::kToMenu;
    for (int row = 0; row < static_cast<int>(std::size(loading)); ++row) {
        script += OpenLoadScreenAt(row) + "key RETURN\nawait 4 5000\nwait 500\n" + kDesignToBattle +
                  "checksum loaded-" + std::to_string(row) + "\nwait 300\n";
        if (row == 1) script += kSaveFromBattle;
        script += kBattleToMenu;
    }
    // Every damaged one leaves the screen where it was (a load would leave the menu's mode).
    script += OpenLoadScreenAt(static_cast<int>(std::size(loading)));
    for (size_t i = 0; i < std::size(refused); ++i)
        script += "key RETURN\nwait 200\nawait 2 100\nkey DOWN\nwait 100\n";
    script += "key ESCAPE\nwait 300\n" + std::string(e2e::kOutFromMenu);
    game.listings = true;
    ASSERT_EQ(game.Run(script), 0) << game.Errors();

    EXPECT_EQ(game.Checksum("loaded-0").size(), 17u) << game.Checksum("loaded-0");
    const std::string state = game.SavedFieldsOf("loaded-0");
    EXPECT_GT(std::count(state.begin(), state.end(), '\n'), 20) << state;
    EXPECT_EQ(game.SavedFieldsOf("loaded-1"), state);
    EXPECT_EQ(game.SavedFieldsOf("loaded-2"), state);
    // Nothing was rewritten on a load; the old form's game, saved again, is in the new form.
    EXPECT_EQ(game.File("Assets/0.scn") == fresh, true);
    EXPECT_EQ(game.File("Assets/2.scn") == previous, true);
    const std::string resaved = game.File("Assets/1.scn");
    EXPECT_TRUE(IsNewForm(resaved));
    EXPECT_EQ(WithoutFormatLineAndRecord(resaved).empty(), false);
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_EQ(game.File("Assets/" + std::to_string(std::size(loading) + i) + ".scn") ==
                      refused[i].text,
                  true)
            << refused[i].name;
    EXPECT_EQ(game.File("Assets/GAMES.SAV"), index);
}

}  // namespace
