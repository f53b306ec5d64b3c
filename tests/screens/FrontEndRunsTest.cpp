// The front end's whole ways through the real program, headless: a skirmish won and its score
// kept, both clans' campaigns lost, replayed and won, and a battle saved and loaded back. Each
// step waits for its game mode, so a run that goes astray fails naming it (exit code 3).
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/TextWriter.h"
#include "screens/EndToEndGame.h"
#include "screens/ResultsScreen.h"

namespace {

namespace fs = std::filesystem;
using e2e::GameFolder;

using e2e::kBattleToMenu;
using e2e::kDesignToBattle;
using e2e::kSkirmishToDesign;

// Whether the results screen's score box in the capture shows exactly the score: its pixels
// of the value colour must be the ones the results font covers drawing it there.
bool ShowsScore(const GameFolder& game, const std::string& capture, const std::string& score) {
    const std::vector<uint8_t> shown = game.CapturePixels(capture);
    if (shown.empty()) return false;
    ResourceFile::SetAssetPath((game.path / "Assets").string().append("/").c_str());
    MemoryDisplay screen;
    screen.SetPalette(LoadPalette("7a0txxxx99s999.pal", 0, ResultsScreen::kPaletteRow).release());
    screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    constexpr int kValueColour = 126;
    TextWriter(ResultsScreen::kFontPack).DrawText(Point(268, 442), score.c_str(), kValueColour);
    const Rgb ink = screen.HardwarePalette()[kValueColour];
    ResourceFile::SetAssetPath("");
    for (int y = 425; y < 455; ++y) {
        for (int x = 262; x < 345; ++x) {
            const uint8_t* p = &shown[3 * (y * 640 + x)];
            const bool inked = p[0] == ink.r && p[1] == ink.g && p[2] == ink.b;
            if (inked != (screen.BackPage()[y * 640 + x] == kValueColour)) return false;
        }
    }
    return true;
}

class FrontEndRuns : public e2e::EndToEndTest {};

// 1. A skirmish against one computer opponent, won at once; the table takes the name typed.
TEST_F(FrontEndRuns, ASkirmishWonKeepsTheNameAndTheScoreShownInTheTable) {
    game.WriteOptions("[OPTIONS]\nMOVIES=NO\nENEMIES=1\n");
    const std::string script = std::string(e2e::kToMenu) + kSkirmishToDesign + kDesignToBattle +
                               "wait 500\n"
                               "destroy 2\n"
                               "await 6 30000\n"
                               // The score counts up, then the table opens with a row for it.
                               "wait 3000\n"
                               "capture table\n"
                               "wait 100\n"
                               "text \"ada\"\n"
                               "wait 300\n"
                               "capture named\n"
                               "wait 100\n"
                               "key RETURN\n"
                               "wait 300\n"
                               "capture saved\n"
                               "wait 100\n"
                               "key RETURN\n"
                               "await 2 5000\n"
                               "wait 300\n" +
                               e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(script), 0) << game.Errors();
    std::istringstream table(game.File("Assets/score.dat"));
    std::string name, score;
    ASSERT_TRUE(std::getline(table, name) && std::getline(table, score))
        << game.File("Assets/score.dat");
    EXPECT_EQ(name, "ada");
    EXPECT_TRUE(ShowsScore(game, "table", score)) << "the table's score is not " << score;
    EXPECT_FALSE(ShowsScore(game, "table", score + "1"));
    EXPECT_NE(game.Capture("table"), game.Capture("named")) << "the name did not show";
    EXPECT_NE(game.Capture("named"), game.Capture("saved")) << "the table did not close";
}

// The design screen's battle button, then the factory centred in the view, selected and
// destroyed: the mission is lost.
constexpr char kLoseTheFactory[] =
    "wait 500\n"
    "key H\n"
    "wait 500\n"
    "click L 270 240\n"
    "wait 300\n"
    "keydown CONTROL\n"
    "key K\n"
    "keyup CONTROL\n"
    "await 6 20000\n"
    "wait 300\n";
// The set-up screen started, the briefing skipped by a key: the design screen follows at once
// (a briefing played out lasts three seconds).
constexpr char kStartSkippingTheBriefing[] =
    "key RETURN\n"
    "await 8 5000\n"
    "wait 300\n"
    "key X\n"
    "await 4 1000\n"
    "wait 500\n";
// The options overlay's mission text, captured, and the overlay closed again.
std::string MissionText(const std::string& capture) {
    return "wait 500\n"
           "key ESCAPE\n"
           "wait 300\n"
           "move 300 225\n"
           "wait 100\n"
           "click L 300 225\n"
           "wait 300\n"
           "capture " +
           capture +
           "\n"
           "wait 100\n"
           "key ESCAPE\n"
           "wait 300\n";
}

// 2. New campaigns of both clans with the movies on. Clan V's first mission, lost, is played
// again from the prompt without its briefing, won, and leads through the table to the second
// mission's briefing and battle; clan T's first mission, lost, leaves for the menu.
TEST_F(FrontEndRuns, CampaignsOfBothClansLostReplayedWonAndLeft) {
    const std::string script =
        std::string("wait 500\nkey X\nwait 1500\ntext \"m\"\nawait 2 5000\nwait 300\n") +
        "text \"s\"\n"
        "wait 300\n" +
        kStartSkippingTheBriefing + kDesignToBattle + kLoseTheFactory +
        // Go on: the same mission, straight to the design screen.
        "key RETURN\n"
        "await 4 2000\n"
        "wait 500\n" +
        kDesignToBattle + MissionText("v1") +
        "destroy 2\n"
        "destroy 3\n"
        "destroy 4\n"
        "await 6 20000\n"
        "wait 3000\n"
        "text \"ada\"\n"
        "wait 100\n"
        "key RETURN\n"
        "wait 300\n" +
        // Leaving the table starts the next mission.
        kStartSkippingTheBriefing + kDesignToBattle + MissionText("v2") + kBattleToMenu +
        // Clan T's campaign: its clan button, then lost and left.
        "text \"s\"\n"
        "wait 300\n"
        "move 257 203\n"
        "wait 100\n"
        "click L 257 203\n"
        "wait 300\n" +
        kStartSkippingTheBriefing + kDesignToBattle + kLoseTheFactory +
        "key ESCAPE\n"
        "await 2 5000\n"
        "wait 300\n" +
        e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(script), 0) << game.Errors();
    EXPECT_NE(game.Capture("v1"), game.Capture("v2")) << "the second mission has the first's text";
    EXPECT_EQ(game.File("Assets/score.dat").substr(0, 4), "ada\n");
}

// 3. A battle saved from the options overlay, which does not pause it: the state one pass
// after the save is the one a second run of the program loads back (the game listed alone)
// and takes into battle, every computer's factory with the figures it was saved with: in a
// skirmish against a level-1 computer, against a level-3 one (whose factory got its level's
// start bonus once, at the game's start) and in the campaign's first mission.
TEST_F(FrontEndRuns, ABattleSavedFromTheOptionsOverlayLoadsBackIntoTheSameState) {
    const std::string campaignToDesign =
        "text \"s\"\n"
        "wait 300\n"
        "key RETURN\n"
        "await 4 5000\n"
        "wait 500\n";
    const struct {
        const char* name;
        std::string options;
        std::string toDesign;
    } rows[] = {
        {"a skirmish against a level-1 computer", e2e::kMoviesOff, kSkirmishToDesign},
        {"a skirmish against a level-3 computer", std::string(e2e::kMoviesOff) + "DIFFICULTY=3\n",
         kSkirmishToDesign},
        {"the campaign's first mission", e2e::kMoviesOff, campaignToDesign},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        GameFolder folder{scratch, std::string("save-") + std::to_string(&row - rows)};
        ASSERT_TRUE(folder.MakeAssets()) << folder.File("mkassets.log");
        folder.WriteOptions(row.options);
        const std::string save = std::string(e2e::kToMenu) + row.toDesign + kDesignToBattle +
                                 "wait 2000\n"
                                 "key ESCAPE\n"
                                 "wait 300\n"
                                 "move 300 110\n"
                                 "wait 100\n"
                                 "click L 300 110\n"
                                 "wait 16\n"
                                 "checksum saved\n"
                                 "wait 300\n" +
                                 kBattleToMenu + e2e::kOutFromMenu;
        folder.listings = true;
        ASSERT_EQ(folder.Run(save), 0) << folder.Errors();
        ASSERT_EQ(folder.File("Assets/GAMES.SAV"), "0.scn\nuntitled\n");
        const std::string load = std::string(e2e::kToMenu) +
                                 "text \"l\"\n"
                                 "wait 300\n"
                                 "key RETURN\n"
                                 "await 4 5000\n"
                                 "wait 500\n" +
                                 kDesignToBattle + "checksum loaded\nwait 300\n" + kBattleToMenu +
                                 e2e::kOutFromMenu;
        ASSERT_EQ(folder.Run(load), 0) << folder.Errors();
        const std::string saved = folder.SavedFieldsOf("saved");
        EXPECT_EQ(folder.SavedFieldsOf("loaded"), saved);
        EXPECT_GT(saved.size(), 200u) << saved;
        EXPECT_EQ(folder.Checksum("saved").size(), 17u) << folder.Checksum("saved");
        // Compared with them, the computers' factories (list 2, a team other than the player's
        // 1, kind 4) and their figures.
        std::istringstream lines(saved);
        int computerFactories = 0;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::vector<std::string> fields{std::istream_iterator<std::string>(words), {}};
            if (fields.size() == 21 && fields[0] == "2" && fields[1] != "1" && fields[3] == "4")
                ++computerFactories;
        }
        EXPECT_GE(computerFactories, 1) << saved;
    }
}

}  // namespace
