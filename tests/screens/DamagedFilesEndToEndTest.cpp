// Damaged and hostile files through the real program: saved games the load-game screen must
// refuse (and the one it must load), a FIFO in place of each file the game reads, missing
// packs, and the temporaries a killed save leaves behind.
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "screens/EndToEndGame.h"
#include "support/SignedSave.h"

namespace {

using DamagedFilesEndToEnd = e2e::EndToEndTest;
namespace fs = std::filesystem;

// A small save of the sample land: a header, a computer player and two map rows.
const std::string kSave =
    ": H\nJ = 0\nL = V\nK = 0\nI = 1\nM = 1\nl = 2,1,5000,100,100,3\nu = 10,200,200\n"
    ": E\nI = 2\nL = T\nP = 0\n: L\ne = ....\nf = YYNN\ne = ....\nf = NNYY\n";

std::string FlipIn(const std::string& signedSave, const std::string& after) {
    std::string flipped = signedSave;
    const size_t at = flipped.find(after) + after.size();
    flipped[at] = static_cast<char>(flipped[at] ^ 0x02);
    return flipped;
}

TEST_F(DamagedFilesEndToEnd, TheLoadGameScreenRefusesEveryDamagedSaveAndLoadsAWholeOne) {
    game.WriteOptions(e2e::kMoviesOff);
    const std::string whole = SignedSave(kSave);
    std::string blank = whole;
    blank.insert(whole.find(": E"), "\n");
    std::string longLine = whole;
    longLine.insert(whole.find(": E"), std::string(400, 'x') + "\n");
    const struct {
        const char* name;
        std::string text;
    } damaged[] = {
        {"cut 10", whole.substr(0, whole.size() / 10)},
        {"cut 50", whole.substr(0, whole.size() / 2)},
        {"cut 90", whole.substr(0, whole.size() * 9 / 10)},
        {"last line cut", whole.substr(0, whole.size() - 5)},
        {"bit in H", FlipIn(whole, ": H\n")},
        {"bit in E", FlipIn(whole, ": E\n")},
        {"bit in L", FlipIn(whole, ": L\n")},
        {"bit in the record", FlipIn(whole, "# check ")},
        {"blank line", blank},
        {"line too long", longLine},
        // Inside a valid record: the structure checks.
        {"mission 13", SignedSave(": H\nJ = 13\nL = V\nK = 0\nI = 1\n")},
        {"kills negative", SignedSave(": H\nJ = 0\nL = V\nK = 0\nI = 1\nl = -1,0,0,0,0,0\n")},
        {"time at int32 low", SignedSave(": H\nJ = 0\nL = V\nK = 0\nI = 1\n"
                                         "l = 0,0,-2147483648,0,0,0\n")},
        {"totals past int32", SignedSave(": H\nJ = 0\nL = V\nK = 0\nI = 1\nu = 2147483648,0,0\n")},
        {"no header", SignedSave(": E\nI = 2\nL = T\n")},
    };
    std::string index;
    std::string script = std::string(e2e::kToMenu) + "text \"l\"\nwait 300\n";
    int n = 0;
    for (const auto& c : damaged) {
        const std::string name = std::to_string(n) + ".scn";
        std::ofstream(game.path / "Assets" / name, std::ios::binary) << c.text;
        index += name + "\n" + c.name + "\n";
        script += "key RETURN\nwait 200\nawait 2 100\ncapture refused-" + std::to_string(n) +
                  "\nkey DOWN\nwait 100\n";
        ++n;
    }
    // A FIFO in place of a saved game is refused as unreadable, and never waited on.
    const std::string fifo = std::to_string(n) + ".scn";
    ASSERT_EQ(mkfifo((game.path / "Assets" / fifo).c_str(), 0600), 0);
    index += fifo + "\na fifo\n";
    script += "key RETURN\nwait 200\nkey DOWN\nwait 100\n";
    ++n;
    const std::string good = std::to_string(n) + ".scn";
    std::ofstream(game.path / "Assets" / good, std::ios::binary) << whole;
    index += good + "\nwhole\n";
    std::ofstream(game.path / "Assets" / "GAMES.SAV", std::ios::binary) << index;
    // Every damaged one leaves the screen where it was; the whole one starts the battle.
    script += "key RETURN\nawait 3 5000\nwait 300\ncapture battle\nquit\nwait 2000\n";
    ASSERT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 60), 0) << game.Errors();
    EXPECT_FALSE(game.Capture("battle").empty());
    // Each damaged file was left as it was.
    for (size_t i = 0; i < std::size(damaged); ++i) {
        EXPECT_FALSE(game.Capture("refused-" + std::to_string(i)).empty()) << damaged[i].name;
        EXPECT_EQ(game.File("Assets/" + std::to_string(i) + ".scn"), damaged[i].text)
            << damaged[i].name;
    }
    EXPECT_EQ(game.File("Assets/GAMES.SAV"), index);
}

// With the index gone, the saved games on disk are still listed, under their file names: the
// first (cut short) is refused where it stands, the second row loads.
TEST_F(DamagedFilesEndToEnd, SavesWhoseIndexIsGoneAreStillListedAndLoad) {
    game.WriteOptions(e2e::kMoviesOff);
    const std::string whole = SignedSave(kSave);
    std::ofstream(game.path / "Assets" / "0.scn", std::ios::binary)
        << whole.substr(0, whole.size() / 2);
    std::ofstream(game.path / "Assets" / "4.scn", std::ios::binary) << whole;
    fs::remove(game.path / "Assets" / "GAMES.SAV");
    const std::string script = std::string(e2e::kToMenu) +
                               "text \"l\"\nwait 300\nkey RETURN\nwait 200\nawait 2 100\n"
                               "capture refused\nkey DOWN\nwait 100\nkey RETURN\nawait 3 5000\n"
                               "wait 300\ncapture battle\nquit\nwait 2000\n";
    ASSERT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 60), 0) << game.Errors();
    EXPECT_FALSE(game.Capture("refused").empty());
    EXPECT_FALSE(game.Capture("battle").empty());
    EXPECT_EQ(game.File("Assets/4.scn"), whole);
}

// A FIFO in place of each file the game reads: the game goes on without it (or stops with its
// message) at once, never waiting in open() for a writer that never comes.
TEST_F(DamagedFilesEndToEnd, AFifoInPlaceOfAFileNeverBlocksTheGame) {
    game.WriteOptions(e2e::kMoviesOff);
    const fs::path assets = game.path / "Assets";
    for (const char* name : {"GAMES.SAV", "V.vdf", "score.dat", "xx.scn"}) {
        fs::remove(assets / name);
        ASSERT_EQ(mkfifo((assets / name).c_str(), 0600), 0) << name;
    }
    // Through the menu into the design screen (which reads V.vdf) and out again.
    const std::string script = std::string(e2e::kToMenu) +
                               "text \"d\"\nwait 300\nkey RETURN\nawait 5 3000\nwait 300\n"
                               "key ESCAPE\nawait 2 3000\nwait 300\n" +
                               e2e::kOutFromMenu;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 60), 0) << game.Errors();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    // A FIFO gives no bytes: it cannot be read, which is no damage, and stays where it was.
    for (const char* name : {"GAMES.SAV", "V.vdf", "score.dat", "xx.scn"}) {
        EXPECT_EQ(fs::symlink_status(assets / name).type(), fs::file_type::fifo) << name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(assets / (std::string(name) + ".bad")))) << name;
    }

    // The script itself, and a pack the game cannot run without: each stops the start with
    // its message, within a second.
    ASSERT_EQ(mkfifo((game.path / "fifo.qxs").c_str(), 0600), 0);
    const std::string run = "cd '" + game.path.string() +
                            "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy QX_CLOCK=fixed:16 "
                            "QX_SCRIPT=fifo.qxs timeout 1 '" +
                            e2e::Program("quarnex").string() + "' > stdout.txt 2> stderr.txt";
    EXPECT_EQ(WEXITSTATUS(std::system(run.c_str())), 2);
    EXPECT_NE(game.Errors().find("fifo.qxs: cannot open the script: is not a regular file"),
              std::string::npos)
        << game.Errors();
}

// A movie that is a FIFO is skipped, not waited on: the intro plays nothing and the title
// comes.
TEST_F(DamagedFilesEndToEnd, AFifoInPlaceOfAMovieIsSkipped) {
    std::vector<fs::path> movies;
    for (const auto& entry : fs::recursive_directory_iterator(game.path / "volumes"))
        if (entry.path().extension() == ".mov") movies.push_back(entry.path());
    ASSERT_FALSE(movies.empty());
    for (const fs::path& movie : movies) {
        fs::remove(movie);
        ASSERT_EQ(mkfifo(movie.c_str(), 0600), 0) << movie;
    }
    const std::string script = std::string(e2e::kToMenu) + e2e::kOutFromMenu;
    EXPECT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 60), 0) << game.Errors();
}

// A kill during a save leaves the target whole and its temporary beside it; the next start
// removes exactly those temporaries and nothing else.
TEST_F(DamagedFilesEndToEnd, AStartRemovesTheTemporariesAKilledSaveLeft) {
    game.WriteOptions(e2e::kMoviesOff);
    const fs::path assets = game.path / "Assets";
    const std::string save = SignedSave(kSave);
    std::ofstream(assets / "0.scn", std::ios::binary) << save;
    std::ofstream(assets / "GAMES.SAV", std::ios::binary) << "0.scn\nkept\n";
    const char* const leftovers[] = {"0.scn.tmp",     "999.scn.tmp", "GAMES.SAV.tmp", "xx.scn.tmp",
                                     "score.dat.tmp", "V.vdf.tmp",   "T.vdf.tmp"};
    for (const char* name : leftovers)
        std::ofstream(assets / name) << "half a save";
    // Not the game's own temporaries: they stay.
    const char* const others[] = {"1000.scn.tmp", "0.scn.tmp.tmp", "notes.tmp", "0.scnx.tmp"};
    for (const char* name : others)
        std::ofstream(assets / name) << "someone else's";
    const std::string script = std::string(e2e::kToMenu) + e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(script), 0) << game.Errors();
    for (const char* name : leftovers)
        EXPECT_FALSE(fs::exists(assets / name)) << name;
    for (const char* name : others)
        EXPECT_TRUE(fs::exists(assets / name)) << name;
    EXPECT_EQ(game.File("Assets/0.scn"), save);
    EXPECT_EQ(game.File("Assets/GAMES.SAV"), "0.scn\nkept\n");
}

// Without the sound pack the game runs silent and names it; without a sprite pack it stops
// with "Resource Missing" naming the file. (That pack's name differs from another pack's only
// in one letter's case, and the case-blind lookup once took the other pack and ran on, ending
// with exit code 0 and no word.)
TEST_F(DamagedFilesEndToEnd, AMissingPackIsNamed) {
    game.WriteOptions(e2e::kMoviesOff);
    const fs::path assets = game.path / "Assets";
    fs::rename(assets / "7a1.XSF", game.path / "sounds.bak");
    const std::string script = std::string(e2e::kToMenu) + e2e::kOutFromMenu;
    ASSERT_EQ(game.Run(script), 0) << game.Errors();
    EXPECT_NE(game.Errors().find("the sound pack is missing, the game runs silent: "
                                 "./Assets/7a1.XSF: No such file or directory"),
              std::string::npos)
        << game.Errors();
    fs::rename(game.path / "sounds.bak", assets / "7a1.XSF");
    ASSERT_TRUE(fs::exists(assets / "7a0uTCqX99s999.msp"));
    fs::remove(assets / "7a0UTCqX99s999.msp");
    EXPECT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 20), 255);
    EXPECT_NE(game.Errors().find("Resource Missing"), std::string::npos) << game.Errors();
    EXPECT_NE(game.Errors().find("7a0UTCqX99s999.msp"), std::string::npos) << game.Errors();
}

}  // namespace
