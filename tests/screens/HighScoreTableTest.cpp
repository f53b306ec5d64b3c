#include "screens/HighScoreTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "support/TempDirectory.h"
#include "support/UnreadableFile.h"

namespace {

class HighScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResourceFile::SetAssetPath((dir.Path() + "/").c_str()); }
    void TearDown() override { ResourceFile::SetAssetPath(""); }
    std::string File() const { return dir.Path() + "/score.dat"; }
    void Write(const std::string& text) { std::ofstream(File(), std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(File(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A table of the given scores, each named after its score.
    static std::string Scores(std::initializer_list<int> scores) {
        std::string text;
        for (const int s : scores)
            text += "p" + std::to_string(s) + "\n" + std::to_string(s) + "\n";
        return text;
    }
    TempDirectory dir;
    HighScoreTable table;
};

TEST_F(HighScoreFileTest, TheFifthBestQualifiesAboveItsEqualsAndTheFileIsNeverCut) {
    Write(Scores({100, 200, 300, 400, 500, 600}));
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Read);
    // 200 is the fifth best of six: the new row goes after it.
    EXPECT_EQ(table.AddCurrent(200), 2);
    table.SetCurrentName("new");
    ASSERT_EQ(table.Save(), 1);
    EXPECT_EQ(Read(), Scores({100, 200}) + "new\n200\n" + Scores({300, 400, 500, 600}));
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Read);
    EXPECT_EQ(table.AddCurrent(199), -1);
    EXPECT_TRUE(table.Rows().empty());
    // A missing file takes any score; the score is held to six digits.
    std::filesystem::remove(File());
    EXPECT_EQ(table.Load(), HighScoreTable::Outcome::Missing);
    EXPECT_EQ(table.AddCurrent(12345678), 0);
    EXPECT_EQ(HighScoreTable::RowText(table.Rows()[0]), "999999   - ");
}

TEST_F(HighScoreFileTest, HostileNamesRoundTripByteForByteAndLongOnesAreCut) {
    const std::string long116(116, 'n');
    const char* const names[] = {"#1", "", "   ", "-", "123"};
    int score = 10;
    for (const char* name : names) {
        table.Load();
        ASSERT_GE(table.AddCurrent(score++), 0);
        table.SetCurrentName(name);
        ASSERT_EQ(table.Save(), 1);
    }
    table.Load();
    table.AddCurrent(score);
    table.SetCurrentName((long116 + "x").c_str());
    ASSERT_EQ(table.Save(), 1);
    const std::string expected = "#1\n10\n\n11\n   \n12\n-\n13\n123\n14\n" + long116 + "\n15\n";
    EXPECT_EQ(Read(), expected);
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Read);
    ASSERT_EQ(table.Rows().size(), 6u);
    EXPECT_EQ(HighScoreTable::RowText(table.Rows()[5]).size(), 127u);
    ASSERT_EQ(table.Save(), 1);
    EXPECT_EQ(Read(), expected);
}

// Every name line followed by a score line that both read whole is kept, past any damage;
// anything else makes the table damaged. A leading byte order mark is no damage.
TEST_F(HighScoreFileTest, ADamagedFileKeepsEveryRowThatReadsWhole) {
    const struct {
        const char* name;
        std::string text;
        bool damaged;
        std::string rows;  // "name:score " for each row, lowest score first
    } cases[] = {
        {"no score line", "name\n", true, ""},
        {"seven digits", "name\n1234567\n", true, ""},
        {"negative", "name\n-5\n", true, ""},
        {"letter in the score", "name\n12a\n", true, ""},
        {"empty score", "name\n\n", true, ""},
        {"name too long", std::string(256, 'n') + "\n5\n", true, ""},
        {"control character", "na\x01me\n5\n", true, ""},
        {"delete character", "na\x7fme\n5\n", true, ""},
        {"slash after the digits", "name\n5/\n", true, ""},
        {"colon before the digits", "name\n:5\n", true, ""},
        {"too large", Scores({1}) + std::string(1 << 20, 'x') + "\n1\n", true, "p1:1 "},
        {"cut score line", Scores({1}) + "p666666\n6666", true, "p1:1 "},
        {"lonely name", Scores({1, 2}) + "lonely\n", true, "p1:1 p2:2 "},
        {"cut name line", Scores({1}) + "p2", true, "p1:1 "},
        {"flipped name byte",
         "p1\n1\np\x01"
         "2\n2\np3\n3\n",
         true, "p1:1 p3:3 "},
        {"flipped score byte", "p1\n1\np2\n2x\np3\n3\n", true, "p1:1 p3:3 "},
        {"lost line end", "p1\n1\np2x2\np3\n3\n", true, "p1:1 p3:3 "},
        {"split name", "p1\n1\np\n2\n2\np3\n3\n", true, "p1:1 p:2 p3:3 "},
        {"byte order mark", "\xEF\xBB\xBF" + Scores({4, 3}), false, "p3:3 p4:4 "},
        {"byte order mark alone", "\xEF\xBB\xBF", false, ""},
        {"whole", Scores({9, 7, 8}), false, "p7:7 p8:8 p9:9 "},
    };
    for (const auto& c : cases) {
        Write(c.text);
        EXPECT_EQ(table.Load(),
                  c.damaged ? HighScoreTable::Outcome::Damaged : HighScoreTable::Outcome::Read)
            << c.name;
        std::string rows;
        for (const HighScoreTable::Row& row : table.Rows())
            rows += row.name + ":" + std::to_string(row.score) + " ";
        EXPECT_EQ(rows, c.rows) << c.name;
        std::vector<HighScoreTable::Row> parsed;
        EXPECT_EQ(HighScoreTable::Parse(c.text, parsed), !c.damaged) << c.name;
        EXPECT_EQ(parsed.size(), table.Rows().size()) << c.name;
    }
    // Carriage returns before the line ends are no damage; every digit reads.
    Write("crlf\r\n7\r\nnines\r\n909090\r\n");
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Read);
    EXPECT_EQ(table.Rows()[0].name, "crlf");
    EXPECT_EQ(table.Rows()[1].score, 909090);
    // Space and tilde are printable; a line of 255 characters reads, its name cut to 116; 0 and
    // 9 are digits.
    const std::string longest(255, 'w');
    Write(" ~\n9\n" + longest + "\n0\n");
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Read);
    ASSERT_EQ(table.Rows().size(), 2u);
    EXPECT_EQ(table.Rows()[0].name, longest.substr(0, 116));
    EXPECT_EQ(table.Rows()[0].score, 0);
    EXPECT_EQ(table.Rows()[1].name, " ~");
    EXPECT_EQ(table.Rows()[1].score, 9);
}

// A table whose rows do not all read is kept aside, whole, before the next save writes the new
// table with the rows that read (never over an older damaged one).
TEST_F(HighScoreFileTest, ADamagedTableIsKeptAsideBeforeTheNextSave) {
    auto contents = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string damaged = Scores({300, 200}) + "p666666\n6666";
    Write(damaged);
    std::ofstream(File() + ".bad") << "older";
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Damaged);
    ASSERT_EQ(table.AddCurrent(50), 0);
    table.SetCurrentName("new");
    ASSERT_EQ(table.Save(), 1);
    // The rows that read whole are written back; the older damaged table stays.
    EXPECT_EQ(Read(), "new\n50\n" + Scores({200, 300}));
    EXPECT_EQ(contents(File() + ".bad.2"), damaged);
    EXPECT_EQ(contents(File() + ".bad"), "older");
    // A whole table is not moved.
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Read);
    table.AddCurrent(60);
    ASSERT_EQ(table.Save(), 1);
    EXPECT_EQ(Read(), "new\n50\n\n60\n" + Scores({200, 300}));
    EXPECT_FALSE(std::filesystem::exists(File() + ".bad.3"));
    // With every name for it taken a damaged table stays where it is, and no table is saved.
    const std::string again = "p1\n1\nbroken";
    Write(again);
    for (int n = 3; n <= ResourceFile::kSetAsideNames; ++n)
        std::ofstream(File() + ".bad." + std::to_string(n)) << "older";
    ASSERT_EQ(table.Load(), HighScoreTable::Outcome::Damaged);
    table.AddCurrent(80);
    EXPECT_EQ(table.Save(), 0);
    EXPECT_EQ(Read(), again);
    EXPECT_EQ(contents(File() + ".bad.100"), "older");
}

// Something in the file's place that gives no bytes cannot be read, which is no damage: it may
// hold every row whole. It is told by name, the table starts empty, this game's row is shown
// but never written, and the file stays as it was (type, link target, mode, bytes; no ".bad"),
// never waited on.
TEST_F(HighScoreFileTest, AFileThatCannotBeReadIsToldAndNeverWrittenOver) {
    namespace fs = std::filesystem;
    const std::string rows = Scores({200, 100});
    for (const UnreadableForm form : AllUnreadableForms()) {
        SCOPED_TRACE(NameOf(form));
        MakeUnreadable(form, File(), rows);
        const FileState before = StateOf(File());
        HighScoreTable::Outcome read = HighScoreTable::Outcome::Read;
        int saved = -1;
        ASSERT_TRUE(ReadingAs(form, dir.Path(), [&] {
            read = table.Load();
            table.AddCurrent(50);
            table.SetCurrentName("new");
            saved = table.Save();
        }));
        EXPECT_EQ(read, HighScoreTable::Outcome::Unreadable);
        EXPECT_TRUE(table.Unreadable() && !table.Damaged());
        ASSERT_EQ(table.Rows().size(), 1u);
        EXPECT_EQ(table.Rows()[0].name, "new");
        EXPECT_EQ(saved, 0);
        EXPECT_EQ(StateOf(File()), before);
        EXPECT_FALSE(fs::exists(fs::symlink_status(File() + ".bad")));
    }
    // Read by its owner, every row it held is there; the lines name the file.
    fs::remove_all(File());
    MakeUnreadable(UnreadableForm::NoPermission, File(), rows);
    ASSERT_EQ(table.Load(),
              geteuid() == 0 ? HighScoreTable::Outcome::Read : HighScoreTable::Outcome::Unreadable);
    EXPECT_EQ(table.Rows().size(), geteuid() == 0 ? 2u : 0u);
    ClearStringTable();
    EXPECT_EQ(HighScoreTable::UnreadableMessage(HighScoreTable::kUnreadableLine),
              "The high-score file cannot be read and is kept as it is: score.dat");
    EXPECT_EQ(HighScoreTable::UnreadableMessage(HighScoreTable::kNotWrittenLine),
              "Your score is shown, but not written: the high-score file cannot be read: "
              "score.dat");
}

// The size bound holds at exactly its limit: a whole table of kMaxBytes reads, one byte more
// does not.
TEST_F(HighScoreFileTest, TheSizeBoundIsExactlyItsLimit) {
    std::string text;
    const std::string name(200, 'n');
    // Rows of 203 bytes, then one that fills the table to the byte.
    while (text.size() + name.size() + 3 + 53 <= HighScoreTable::kMaxBytes)
        text += name + "\n5\n";
    const size_t rest = HighScoreTable::kMaxBytes - text.size() - 3;
    ASSERT_LE(rest, HighScoreTable::kMaxLine);
    Write(text + std::string(rest, 'r') + "\n5\n");
    ASSERT_EQ(Read().size(), HighScoreTable::kMaxBytes);
    EXPECT_EQ(table.Load(), HighScoreTable::Outcome::Read);
    Write(text + std::string(rest + 1, 'r') + "\n5\n");
    EXPECT_EQ(table.Load(), HighScoreTable::Outcome::Damaged);
    // The text's own reader holds the same bound, for text that comes from elsewhere.
    std::vector<HighScoreTable::Row> rows;
    EXPECT_TRUE(HighScoreTable::Parse(text + std::string(rest, 'r') + "\n5\n", rows));
    EXPECT_FALSE(HighScoreTable::Parse(text + std::string(rest + 1, 'r') + "\n5\n", rows));
    // The rows within the bound are kept; the one it cuts is not.
    EXPECT_EQ(rows.size(), text.size() / (name.size() + 3));
}

TEST_F(HighScoreFileTest, AFailedWriteKeepsTheOldFile) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    Write(Scores({5}));
    table.Load();
    table.AddCurrent(6);
    std::filesystem::create_symlink("/dev/full", File() + ".tmp");
    EXPECT_EQ(table.Save(), 0);
    EXPECT_EQ(Read(), Scores({5}));
    std::filesystem::remove(File() + ".tmp");
    std::filesystem::create_directory(File() + ".tmp");
    EXPECT_EQ(table.Save(), 0);
    EXPECT_EQ(Read(), Scores({5}));
}

TEST(HighScoreText, FormatWritesWhatParseReadsBack) {
    const std::vector<HighScoreTable::Row> rows{{5, "a"}, {7, ""}, {9, "x y"}};
    const std::string text = HighScoreTable::Format(rows);
    EXPECT_EQ(text, "a\n5\n\n7\nx y\n9\n");
    std::vector<HighScoreTable::Row> back;
    ASSERT_TRUE(HighScoreTable::Parse(text, back));
    ASSERT_EQ(back.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(back[i].score, rows[i].score) << i;
        EXPECT_EQ(back[i].name, rows[i].name) << i;
    }
    EXPECT_EQ(HighScoreTable::Format({}), "");
}

}  // namespace
