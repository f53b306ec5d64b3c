// Runs the asset maker and reads its packs, string table, sounds, music and land descriptions
// back through the game's resource files and string table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <queue>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "mkassets/AssetSet.h"
#include "mkassets/LandMaker.h"
#include "platform/InstanceLock.h"
#include "support/MadeAssets.h"
#include "support/Sanitized.h"

using namespace MadeAssets;

namespace {

// Cells reachable over open ground from a start, moving to the 4 or to all 8 neighbours; a
// diagonal step needs no open side cells, as the narrow gaps are meant to test.
std::set<std::pair<int, int>> Reachable(const LandText& land, std::pair<int, int> from,
                                        bool diagonal) {
    std::set<std::pair<int, int>> seen{from};
    std::queue<std::pair<int, int>> open;
    open.push(from);
    while (!open.empty()) {
        const auto [r, c] = open.front();
        open.pop();
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                if ((dr == 0 && dc == 0) || (!diagonal && dr != 0 && dc != 0)) continue;
                const int nr = r + dr, nc = c + dc;
                if (nr < 0 || nc < 0 || nr >= land.rows || nc >= land.columns) continue;
                if (land.letters[static_cast<size_t>(nr)][static_cast<size_t>(nc)] != 'c') continue;
                if (seen.insert({nr, nc}).second) open.push({nr, nc});
            }
        }
    }
    return seen;
}

// Everything under a folder, by relative path: a file's bytes, a link's target, or its kind.
std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        const fs::file_type type = entry.symlink_status().type();
        if (type == fs::file_type::regular) {
            const std::vector<uint8_t> bytes = FileBytes(entry.path());
            tree[name] = "file " + std::string(bytes.begin(), bytes.end());
        } else if (type == fs::file_type::symlink) {
            tree[name] = "link " + fs::read_symlink(entry.path()).string();
        } else {
            tree[name] = "kind " + std::to_string(static_cast<int>(type));
        }
    }
    return tree;
}

// The shared set with the player's files beside it, as the game's own folder holds them.
void CopySetWithPlayersFiles(const fs::path& set, const fs::path& to) {
    fs::copy(set, to, fs::copy_options::recursive);
    fs::remove(to / "done.log");
    std::ofstream(to / "QX.INI") << "settings";
    std::ofstream(to / "Assets" / "V.vdf") << "the player's designs";
    std::ofstream(to / "Assets" / "1.scn") << "the player's save";
}

// A maker whose start check refuses every land.
class RefusingStarts : public mkassets::AssetSet {
public:
    using AssetSet::AssetSet;

protected:
    std::string StartFault(const mkassets::LandMaker::Land& land) const override {
        return std::string("no start of ") + land.plan.title + " holds";
    }
};

// A maker whose rename of one file fails: a directory with a file of its own comes to stand at
// the name after every check has passed.
class BlockedAtCommit : public mkassets::AssetSet {
public:
    BlockedAtCommit(const fs::path& root, fs::path at)
        : AssetSet(root.string()), at(std::move(at)) {}

protected:
    bool PutInPlace(const std::string& temporary, const std::string& path,
                    std::string& why) override {
        if (fs::path(path) == at) {
            fs::remove(at);
            fs::create_directory(at);
            std::ofstream(at / "inside") << "kept";
        }
        return AssetSet::PutInPlace(temporary, path, why);
    }

private:
    fs::path at;
};

using AssetSetTest = MadeAssetsTest;

TEST_F(AssetSetTest, WritesTheSameBytesOnEveryRunAndReportsEveryFile) {
    Scratch scratch;
    // Over an older set, changed in places, with a stopped run's temporary and the player's
    // files: the set is whole and new, the player's files are as they were.
    CopySetWithPlayersFiles(Set(), scratch.path / "again");
    std::ofstream(scratch.path / "again" / "Assets" / "7a1.str", std::ios::trunc) << "older";
    fs::remove(scratch.path / "again" / "Assets" / "edit.lnd");
    std::ofstream(scratch.path / "again" / "Assets" / "7a1.XSF.mkassets-new") << "stopped";
    const std::map<std::string, std::string> players = {
        {"QX.INI", "file settings"},
        {"Assets/V.vdf", "file the player's designs"},
        {"Assets/1.scn", "file the player's save"}};
    mkassets::AssetSet maker((scratch.path / "again").string());
    ASSERT_TRUE(maker.Make((scratch.path / "previews").string())) << maker.LastError();
    std::map<std::string, std::string> made = Tree(scratch.path / "again");
    for (const auto& [name, content] : players) {
        EXPECT_EQ(made[name], content) << name;
        made.erase(name);
    }
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(Set())) {
        if (!entry.is_regular_file() || entry.path().filename() == "done.log") continue;
        ++files;
        const fs::path relative = fs::relative(entry.path(), Set());
        EXPECT_NE(shared.printed.find(relative.string()), std::string::npos) << relative;
        EXPECT_EQ(FileBytes(entry.path()), FileBytes(scratch.path / "again" / relative))
            << relative;
    }
    EXPECT_GT(files, 20);
    EXPECT_EQ(maker.Written().size(), static_cast<size_t>(files));
    // The previews were written beside: the pictures, and every land's.
    EXPECT_TRUE(fs::exists(scratch.path / "previews" / "title.png"));
    for (const LandText& land : ReadAllLands())
        EXPECT_TRUE(fs::exists(scratch.path / "previews" / (land.tileSet + "-zoom0.png")))
            << land.tileSet;
    // Nothing else is left: no temporary, no file of the older set that the set lacks.
    for (const auto& [name, content] : made)
        EXPECT_TRUE(fs::exists(Set() / name)) << name;
}

// A run refused by its checks, or one that cannot write a file, leaves an existing set (and
// the player's files beside it) byte for byte, and an empty folder empty, with its message; one
// whose rename fails is not reported as done.
TEST_F(AssetSetTest, ARefusedOrFailedRunLeavesTheFolderAsItWas) {
    Scratch scratch;
    CopySetWithPlayersFiles(Set(), scratch.path / "old");
    // What stands in the way at a name (a directory holds a file of its own; a folder link
    // leads to a player's folder holding a file of a set's name; the lock is another run's).
    enum class Block { Nothing, Directory, Fifo, Link, File, FolderLink, Lock, DirectoryAtCommit };
    const struct {
        const char* name;
        bool refuseStarts;
        Block block;
        const char* at;
        const char* said;
        bool alsoEmpty;  // run in an empty folder as well
        // Also run in the sanitizer tree, where each run of the maker takes tens of seconds: a
        // refused start, and a name found only while writing, over a set and in an empty folder.
        bool sanitized = false;
    } cases[] = {
        {"start refused", true, Block::Nothing, "", "no start of", true, true},
        {"directory at a name", false, Block::Directory, "Assets/7a0txxxx99s999.map",
         "is not a regular file", false},
        {"fifo at a name", false, Block::Fifo, "volumes/TELMIRA/Assets/Sounds/7a0.xsf",
         "is not a regular file", false},
        {"link at a name", false, Block::Link, "Assets/7a1.str", "is not a regular file", false},
        // A stopped run's leftover that is no file of its own, named for the player to remove.
        {"directory at a temporary", false, Block::Directory, "Assets/edit.lnd.mkassets-new",
         "edit.lnd.mkassets-new is left over from a stopped run", true},
        {"link at a movie copy's temporary", false, Block::Link,
         "volumes/TELMIRA/Assets/Movies/intro.mov.mkassets-new",
         "intro.mov.mkassets-new is left over from a stopped run", false},
        {"link at a movie folder", false, Block::FolderLink, "volumes/TELMIRA/Assets/Movies",
         "Movies is a link", true},
        {"link at a volume", false, Block::FolderLink, "volumes/VARNOK", "VARNOK is a link", false},
        {"another run's lock", false, Block::Lock, mkassets::AssetSet::kLockName,
         "another run of the maker is writing", true, true},
        // Something in the lock's way, named for the player to remove.
        {"directory at the lock", false, Block::Directory, mkassets::AssetSet::kLockName,
         "mkassets.lock is in the way of the maker's lock and is not a regular file; remove it",
         true},
        {"link at the lock", false, Block::Link, mkassets::AssetSet::kLockName,
         "mkassets.lock is in the way of the maker's lock and is not a regular file; remove it",
         false},
        // The names before it were put in place already, the rest are the old set's.
        {"directory at a name once checked", false, Block::DirectoryAtCommit,
         "Assets/7a0txxxx99s999.map", "7a0txxxx99s999.map in place: Is a directory", false},
        // Found only when that file is written: the files before it, and the directories they
        // needed, were made already.
        {"file at a sound directory", false, Block::File, "volumes/TELMIRA/Assets/Sounds",
         "cannot create the directory", true, true},
        {"file at a movie directory", false, Block::File, "volumes/VARNOK/Assets/Movies",
         "cannot create the directory", false},
    };
    int n = 0;
    const char* lastSaid = "";
    for (const auto& c : cases) {
        if (kTestsSanitized && !c.sanitized) continue;
        lastSaid = c.said;
        for (const bool existing : {true, false}) {
            if (!existing && !c.alsoEmpty) continue;
            SCOPED_TRACE(std::string(c.name) + (existing ? " over a set" : " in an empty folder"));
            const fs::path to = scratch.path / std::to_string(n++);
            if (existing)
                fs::copy(scratch.path / "old", to, fs::copy_options::recursive);
            else
                fs::create_directories(to);
            const fs::path at = to / c.at;
            if (c.block != Block::Nothing && c.block != Block::DirectoryAtCommit) {
                fs::create_directories(at.parent_path());
                fs::remove_all(at);
            }
            if (c.block == Block::File) std::ofstream(at) << "the player's";
            if (c.block == Block::Directory) {
                fs::create_directory(at);
                std::ofstream(at / "inside") << "kept";
            }
            if (c.block == Block::Fifo) {
                ASSERT_EQ(mkfifo(at.c_str(), 0600), 0);
            }
            if (c.block == Block::Link) fs::create_symlink("V.vdf", at);
            if (c.block == Block::FolderLink) {
                fs::create_directory(to / "Mine");
                std::ofstream(to / "Mine" / "intro.mov") << "the player's";
                fs::create_directory_symlink(to / "Mine", at);
            }
            winx_InstanceLock another;
            if (c.block == Block::Lock) {
                ASSERT_EQ(another.Acquire(at.string()), winx_InstanceLock::Result::Acquired);
            }
            std::map<std::string, std::string> expected = Tree(to);
            std::unique_ptr<mkassets::AssetSet> maker =
                c.refuseStarts ? std::make_unique<RefusingStarts>(to.string())
                : c.block == Block::DirectoryAtCommit
                    ? std::make_unique<BlockedAtCommit>(to, at)
                    : std::make_unique<mkassets::AssetSet>(to.string());
            EXPECT_FALSE(maker->Make(""));
            EXPECT_NE(maker->LastError().find(c.said), std::string::npos) << maker->LastError();
            const bool committing = c.block == Block::DirectoryAtCommit;
            EXPECT_EQ(maker->LastError().find("nothing in") == std::string::npos, committing);
            EXPECT_EQ(maker->Written().empty(), !committing);
            if (committing) {
                // The set's bytes are the same on every run: the files put in place are as
                // they were, and no temporary is left.
                expected[c.at] =
                    "kind " + std::to_string(static_cast<int>(fs::file_type::directory));
                expected[std::string(c.at) + "/inside"] = "file kept";
            }
            EXPECT_EQ(Tree(to), expected);
        }
    }
    // The program says so, with its exit code.
    const fs::path blocked = scratch.path / std::to_string(n - 1);
    const std::map<std::string, std::string> before = Tree(blocked);
    EXPECT_NE(RunMaker(blocked, scratch.path / "log"), 0);
    EXPECT_NE(ReadText(scratch.path / "log").find(lastSaid), std::string::npos);
    EXPECT_EQ(Tree(blocked), before);
}

TEST_F(AssetSetTest, FailsWithAMessageWhenTheOutputCannotBeMade) {
    Scratch scratch;
    const fs::path blocker = scratch.path / "blocker";
    std::ofstream(blocker) << "a file where a directory should go";
    EXPECT_NE(RunMaker(blocker / "set", scratch.path / "log"), 0);
    const std::string message = ReadText(scratch.path / "log");
    EXPECT_NE(message.find("cannot create"), std::string::npos) << message;
}

TEST_F(AssetSetTest, StringTableHasEveryLineWithTheConversionsItsCallersPass) {
    ClearStringTable();
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    for (int line = 0; line < 350; ++line) {
        ASSERT_NE(GetString(line), nullptr) << line;
        EXPECT_GT(std::strlen(GetString(line)), 0u) << line;
    }
    EXPECT_EQ(GetString(350), nullptr);
    // Every character has a glyph in the fonts (printable ASCII), or is a line break.
    for (int line = 0; line < 350; ++line) {
        for (const char* c = GetString(line); *c; ++c) {
            EXPECT_TRUE(*c == '\n' || (*c >= 32 && *c <= 126)) << line << ": " << GetString(line);
        }
    }
    const std::vector<std::pair<int, std::string>> formats = {
        {7, "s"},   {8, "ss"},  {14, "d"},  {28, "d"},  {29, "d"},   {30, "d"},
        {199, "d"}, {304, "d"}, {305, "d"}, {312, "d"}, {333, "dd"}, {334, "dd"}};
    for (int line = 0; line < 350; ++line) {
        // The catalogue's lines (33 to 196) are checked with the catalogue.
        if (line >= 33 && line <= 196) continue;
        std::string expected;
        for (const auto& [number, conversions] : formats) {
            if (number == line) expected = conversions;
        }
        EXPECT_EQ(Conversions(GetString(line)), expected) << line << ": " << GetString(line);
    }
    // The network screen's status lines stand in its dialog from x 257 to the frame at x 431,
    // six pixels a character, in at most two lines above the name box (a number counted as
    // up to two digits).
    for (int line : {197, 198, 199, 200, 220, 225, 308, 312, 313, 333, 334}) {
        std::string text = GetString(line);
        for (size_t at = text.find("%d"); at != std::string::npos; at = text.find("%d", at))
            text.replace(at, 2, "99");
        int lines = 1;
        size_t longest = 0;
        for (size_t from = 0;; ++lines) {
            const size_t end = text.find('\n', from);
            longest = std::max(longest, (end == std::string::npos ? text.size() : end) - from);
            if (end == std::string::npos) break;
            from = end + 1;
        }
        EXPECT_LE(longest, 28u) << line << ": " << text;
        EXPECT_LE(lines, 2) << line << ": " << text;
    }
    // The table's own line breaks reach the game as line feeds.
    EXPECT_NE(std::strchr(GetString(222), '\n'), nullptr);
    EXPECT_NE(std::strchr(GetString(266), '\n'), nullptr);
    ClearStringTable();
}

TEST_F(AssetSetTest, SoundPackHoldsEveryNamedSoundAs16BitAt22050) {
    ResourceFile pack;
    ASSERT_EQ(pack.Open("7a1.XSF", ResourceFile::OpenMode::Pack), 1);
    std::vector<int> named{14, 16, 56};
    for (int n = 23; n <= 49; ++n)
        named.push_back(n);
    std::set<int> formats;
    for (int number : named) {
        ASSERT_EQ(pack.SelectEntry(0, number), 1) << number;
        const SampleHeader h = ParseSample(EntryBytes(pack));
        formats.insert(h.format);
        EXPECT_TRUE(h.format == 1 || h.format == 2) << number;
        EXPECT_EQ(h.bits, 16u) << number;
        EXPECT_EQ(h.channels, 1u) << number;
        EXPECT_EQ(h.rate, 22050u) << number;
        EXPECT_GT(h.frames, 0u) << number;
        EXPECT_EQ(h.size, 18 + h.frames * 2) << number;
    }
    EXPECT_EQ(formats, (std::set<int>{1, 2}));
}

TEST_F(AssetSetTest, MusicPiecesAreStereoAndOutlastTheRingBufferOnBothVolumes) {
    for (const char* label : kVolumes) {
        // The music player opens the pack by its full path.
        ResourceFile pack;
        pack.plainPath = 1;
        ASSERT_EQ(pack.Open((Volume(label) / "Sounds" / "7a0.xsf").string().c_str(),
                            ResourceFile::OpenMode::Pack),
                  1)
            << label;
        ASSERT_GE(pack.Rows(), 3);
        for (int row = 0; row < pack.Rows(); ++row) {
            ASSERT_EQ(pack.SelectEntry(0, row), 1);
            const SampleHeader h = ParseSample(EntryBytes(pack));
            EXPECT_EQ(h.bits, 16u);
            EXPECT_EQ(h.channels, 2u);
            EXPECT_EQ(h.rate, 22050u);
            EXPECT_GT(h.frames, 88200u);  // more than the 4-second ring buffer
            EXPECT_EQ(h.size, 18 + h.frames * 4);
        }
    }
}

TEST_F(AssetSetTest, LandsDescribeValidMapsWithOpenGroundAtEveryStart) {
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    const std::vector<LandText> lands = ReadAllLands();
    ASSERT_GE(lands.size(), 4u);
    std::set<bool> local;
    for (size_t i = 0; i < lands.size(); ++i) {
        const LandText& land = lands[i];
        const bool packLand = i + 1 < lands.size();
        SCOPED_TRACE(land.tileSet);
        ASSERT_TRUE(land.complete);
        // A mission's own land is special: titled, and left out of the skirmish list.
        if (land.title.empty()) {
            ASSERT_NE(GetString(land.nameLine), nullptr);
        }
        EXPECT_LT(land.paletteRow, 27);
        EXPECT_GE(land.shade, 1);
        EXPECT_LE(land.columns, 200);
        EXPECT_LE(land.rows, 200);
        ASSERT_EQ(static_cast<int>(land.letters.size()), land.sheetRows);
        for (const std::string& row : land.letters) {
            ASSERT_EQ(static_cast<int>(row.size()), land.sheetColumns);
            EXPECT_EQ(row.find_first_not_of("cwr"), std::string::npos) << row;
        }
        ASSERT_GE(land.starts.size(), 4u);
        for (const auto& [row, column] : land.starts) {
            EXPECT_TRUE(StrictlyInside(land, row, column)) << row << "," << column;
            // Room for a factory and its docks (StartCheckTest checks the roll-out ground).
            for (int r = row - 4; r <= row + 4; ++r) {
                for (int c = column - 4; c <= column + 4; ++c) {
                    EXPECT_EQ(land.letters[static_cast<size_t>(r)][static_cast<size_t>(c)], 'c')
                        << "start " << row << "," << column;
                }
            }
        }
        for (const auto& [row, column] : land.fields)
            EXPECT_TRUE(StrictlyInside(land, row, column));
        ResourceFile features;
        // A land without land features (the campaign land) names no feature pack.
        if (land.features.empty()) {
            EXPECT_TRUE(land.featurePack.empty());
        } else {
            ASSERT_EQ(features.Open(land.featurePack.c_str(), ResourceFile::OpenMode::Pack), 1);
        }
        for (const LandText::Feature& f : land.features) {
            EXPECT_TRUE(StrictlyInside(land, f.row, f.column));
            EXPECT_GE(f.frame, 0);
            EXPECT_LT(f.frame, features.Rows());
        }
        ResourceFile decorations;
        EXPECT_EQ(decorations.Open(land.decorationPack.c_str(), ResourceFile::OpenMode::Pack), 1);
        ResourceFile blend;
        ASSERT_EQ(blend.Open("7a0txxxx99s999.map", ResourceFile::OpenMode::Pack), 1);
        EXPECT_LT(land.blendRow, blend.Rows());

        const fs::path tiles = TileSetOf(land, packLand);
        ASSERT_FALSE(tiles.empty());
        local.insert(tiles.parent_path() == Local());
        const std::vector<uint8_t> bytes = FileBytes(tiles);
        EXPECT_EQ(bytes.size(), static_cast<size_t>(1 + land.sheetRows * land.sheetColumns) * 256);
        EXPECT_FALSE(bytes[0] == 0x2A && bytes[1] == 0xCE && bytes[2] == 0x2A && bytes[3] == 0xCE);
    }
    EXPECT_EQ(local, (std::set<bool>{false, true}));  // both tile-set lookups are used
    ClearStringTable();
}

TEST_F(AssetSetTest, MazeLandNeedsDiagonalStepsAndHasAnIslandNoGroundPathReaches) {
    bool foundMaze = false;
    for (const LandText& land : ReadAllLands()) {
        if (land.tileSet != "maze") continue;
        foundMaze = true;
        std::vector<std::pair<int, int>> starts = land.starts;
        std::sort(starts.begin(), starts.end());  // north-west, north-east, south-west, south-east
        const auto straight = Reachable(land, starts[0], false);
        const auto diagonal = Reachable(land, starts[0], true);
        EXPECT_EQ(straight.count(starts[3]), 0u);  // the way goes through corner-only gaps
        EXPECT_EQ(diagonal.count(starts[3]), 1u);
        EXPECT_EQ(diagonal.count(starts[1]), 1u);  // over the long bridge
        EXPECT_EQ(diagonal.count(starts[2]), 0u);  // the cut-off island
    }
    EXPECT_TRUE(foundMaze);
}

// How a campaign mission is won (the game flow's end check): most when no hostile team keeps a
// factory; three missions by rules of their own.
enum class Win { Factories, OreField, AllyTurns, Units };
struct OwnRule {
    char clan;
    int mission;
    Win rule;
};
constexpr OwnRule kOwnRules[] = {
    {'T', 5, Win::OreField}, {'V', 5, Win::AllyTurns}, {'V', 10, Win::Units}};

// What a scenario file holds about its win: clan, mission and the hostile teams' factories.
struct MissionFacts {
    char clan = 0;
    int mission = 0;
    int hostileFactories = 0;
};

MissionFacts ReadFacts(const std::string& text) {
    MissionFacts facts;
    std::set<int> allies, factoryTeams;
    std::string section;
    bool factory = false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(": ", 0) == 0) {
            section = line.substr(2);
            factory = false;
        } else if (section == "H" && line.rfind("J = ", 0) == 0) {
            facts.mission = std::stoi(line.substr(4));
        } else if (section == "H" && line.rfind("L = ", 0) == 0) {
            facts.clan = line[4];
        } else if (section == "H" && line.rfind("s = ", 0) == 0) {
            const int a = std::stoi(line.substr(4)), b = std::stoi(line.substr(line.find(',') + 1));
            if (a == 1 || b == 1) allies.insert(a == 1 ? b : a);
        } else if (section == "V" && line == "X = Y") {
            factory = true;
        } else if (section == "V" && factory && line.rfind("I = ", 0) == 0) {
            factoryTeams.insert(std::stoi(line.substr(4)));
        }
    }
    for (int team : factoryTeams)
        facts.hostileFactories += team != 1 && !allies.count(team);
    return facts;
}

TEST_F(AssetSetTest, EveryBriefingNamesTheWayItsMissionIsWon) {
    ClearStringTable();
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    ResourceFile pack;
    ASSERT_EQ(pack.Open("7a0mxxxx99s999.scn", ResourceFile::OpenMode::Pack), 1);
    int checked = 0;
    for (int row = 0; row < 22; ++row) {
        ASSERT_EQ(pack.SelectEntry(0, row), 1) << row;
        const std::vector<uint8_t> bytes = EntryBytes(pack);
        const MissionFacts m = ReadFacts(std::string(bytes.begin(), bytes.end()));
        ASSERT_TRUE((m.clan == 'T' || m.clan == 'V') && m.mission >= 1 && m.mission <= 11) << row;
        // The campaign's text lines: clan T's briefings from 266, clan V's from 277.
        const char* line = GetString((m.clan == 'T' ? 266 : 277) + m.mission - 1);
        ASSERT_NE(line, nullptr);
        // Lower case, every line break and run of blanks one blank.
        std::string said;
        for (const char* c = line; *c; ++c) {
            const auto u = static_cast<unsigned char>(*c);
            if (!std::isspace(u))
                said += static_cast<char>(std::tolower(u));
            else if (!said.empty() && said.back() != ' ')
                said += ' ';
        }
        auto says = [&said](const char* words) { return said.find(words) != std::string::npos; };
        SCOPED_TRACE(std::string(1, m.clan) + std::to_string(m.mission) + ": " + said);
        Win rule = Win::Factories;
        for (const OwnRule& own : kOwnRules) {
            if (own.clan == m.clan && own.mission == m.mission) rule = own.rule;
        }
        // A clan it names is the enemy's.
        EXPECT_FALSE(says(m.clan == 'T' ? "telmira" : "varnok"));
        switch (rule) {
            case Win::Factories:
                ASSERT_GE(m.hostileFactories, 1);
                EXPECT_TRUE(says("factor"));
                EXPECT_FALSE(says("unit") || says("ore field"));
                // One factory is "the" factory; more are "both" or "every".
                EXPECT_EQ(says("every") || says("both"), m.hostileFactories > 1);
                EXPECT_EQ(says("factories") || says("every"), m.hostileFactories > 1);
                break;
            case Win::OreField:
                EXPECT_TRUE(says("ore field"));
                EXPECT_FALSE(says("destroy"));
                break;
            case Win::AllyTurns:
                EXPECT_TRUE(says("ally") && says("factory"));
                break;
            case Win::Units:
                EXPECT_TRUE(says("every enemy unit") && says("repairers"));
                break;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 22);
    ClearStringTable();
}

}  // namespace
