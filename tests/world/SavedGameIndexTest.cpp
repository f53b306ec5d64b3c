// The saved-game index: free names, titles, removal and a failing write.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/ResourceFile.h"
#include "platform/AtomicFile.h"
#include "support/TempDirectory.h"
#include "support/UnreadableFile.h"
#include "world/SavedGameIndex.h"

namespace {

class SavedGameIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = ResourceFile::AssetPath();
        ResourceFile::SetAssetPath((dir.Path() + "/").c_str());
    }
    void TearDown() override { ResourceFile::SetAssetPath(previous.c_str()); }
    std::string PathOf(const char* name) const { return dir.Path() + "/" + name; }
    void Write(const char* name, const std::string& text) const {
        std::FILE* f = std::fopen(PathOf(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    std::string Read(const char* name) const {
        std::FILE* f = std::fopen(PathOf(name).c_str(), "rb");
        if (!f) return "<missing>";
        std::string text;
        char buffer[512];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
        return text;
    }

    // The index as a player who may not read it (mode 000) reads it.
    std::unique_ptr<SavedGameIndex> ReadAsAnotherUser() const {
        namespace fs = std::filesystem;
        fs::permissions(PathOf(SavedGameIndex::kIndexFile), fs::perms::none);
        std::unique_ptr<SavedGameIndex> index;
        if (!AsAnotherUser(dir.Path(), [&] { index = std::make_unique<SavedGameIndex>(); }))
            index.reset();
        fs::permissions(PathOf(SavedGameIndex::kIndexFile), fs::perms::owner_read);
        return index;
    }

    TempDirectory dir;
    std::string previous;
};

TEST_F(SavedGameIndexTest, NamesFillTheFirstGapAndTitlesAreReused) {
    SavedGameIndex index;
    EXPECT_EQ(index.Count(), 0);
    Write("0.scn", "x");
    Write("2.scn", "x");
    SavedGameEntry* first = index.FindOrCreate("  Evening  ");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->FileName(), "1.scn");
    EXPECT_STREQ(first->Title(), "Evening");
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), "1.scn\nEvening\n");
    // The same title again: the same entry, and the index is not written again.
    Write(SavedGameIndex::kIndexFile, "1.scn\nEvening\n# untouched\n");
    EXPECT_EQ(index.FindOrCreate("Evening"), first);
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), "1.scn\nEvening\n# untouched\n");
    EXPECT_STREQ(index.FindOrCreate("Night")->FileName(), "3.scn");
    EXPECT_EQ(index.FindByFile("3.scn"), index.At(1));
    // Read again: its two games, and the two on disk it does not name, by file name.
    SavedGameIndex again;
    EXPECT_EQ(again.Count(), 4);
    EXPECT_STREQ(again.At(2)->Title(), "0.scn");
    // Whatever stands at the first free number takes it, readable or not: a directory, a file
    // nobody may read, a pipe, a link that leads nowhere. Each new save goes past it, and
    // nothing there is written over.
    ASSERT_TRUE(std::filesystem::create_directory(PathOf("4.scn")));
    Write("5.SCN", "unreadable");
    std::filesystem::permissions(PathOf("5.SCN"), std::filesystem::perms::none);
    ASSERT_EQ(mkfifo(PathOf("6.scn").c_str(), 0600), 0);
    std::filesystem::create_symlink(PathOf("nowhere"), PathOf("7.scn"));
    const struct {
        const char* title;
        const char* name;
    } taken[] = {{"Dusk", "8.scn"}, {"Dawn", "9.scn"}};
    for (const auto& t : taken)
        EXPECT_STREQ(index.FindOrCreate(t.title)->FileName(), t.name) << t.title;
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("4.scn")));
    EXPECT_EQ(ResourceFile().Present("4.scn"), 1);
    EXPECT_EQ(ResourceFile().Present("10.scn"), 0);
    EXPECT_EQ(ResourceFile().Present(nullptr), 0);
    EXPECT_FALSE(std::filesystem::exists(PathOf("nowhere")));
    std::filesystem::permissions(PathOf("5.SCN"), std::filesystem::perms::owner_all);
    EXPECT_EQ(Read("5.SCN"), "unreadable");
}

TEST_F(SavedGameIndexTest, HostileIndexesNeverNameAnotherFile) {
    Write("7a.pts", "catalogue");
    Write("5.scn", "game");
    Write(SavedGameIndex::kIndexFile,
          "7a.pts\nCatalogue\n5.scn\n#shifted\n05.scn\nLeading zero\n1000.scn\nToo far\n"
          "6.scn\n\nX.scn\n5.scn\n8.scn\n\x01\x02 Fine \x7f title\n9.scn\n");
    SavedGameIndex index;
    ASSERT_EQ(index.Count(), 2);
    EXPECT_STREQ(index.At(0)->FileName(), "5.scn");
    // A file named twice is listed once, under its first title: deleting one entry must not
    // take another entry's game.
    Write(SavedGameIndex::kIndexFile, "3.scn\nFirst\n3.scn\nSecond\n4.scn\nThird\n");
    SavedGameIndex twice;
    // Damaged, so the game on disk that no entry names is listed too.
    ASSERT_EQ(twice.Count(), 3);
    EXPECT_STREQ(twice.At(0)->Title(), "First");
    EXPECT_STREQ(twice.At(1)->FileName(), "4.scn");
    EXPECT_STREQ(twice.At(2)->Title(), "5.scn");
    EXPECT_STREQ(index.At(0)->Title(), "shifted");
    EXPECT_STREQ(index.At(1)->Title(), "Fine  title");
    index.Remove(3);
    EXPECT_EQ(Read("5.scn"), "game");
    index.Remove(0);
    EXPECT_EQ(Read("5.scn"), "<missing>");
    EXPECT_EQ(Read("7a.pts"), "catalogue");
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), "8.scn\nFine  title\n");
    const std::string longTitle(300, 'x');
    const struct {
        const char* in;
        std::string out;
    } titles[] = {{"#hash", "hash"},
                  {"   ", ""},
                  {"a\nb", "ab"},
                  {longTitle.c_str(), longTitle.substr(0, SavedGameIndex::kMaxTitle)}};
    for (const auto& t : titles)
        EXPECT_EQ(SavedGameIndex::CleanTitle(t.in), t.out);
    EXPECT_EQ(index.FindOrCreate(" # "), nullptr);
}

TEST_F(SavedGameIndexTest, AFullIndexAndAFailedWriteAreRefused) {
    const std::string one = "0.scn\nZero\n";
    Write(SavedGameIndex::kIndexFile, one);
    SavedGameIndex index;
    for (int n = 0; n < SavedGameIndex::kNames; ++n)
        Write((std::to_string(n) + ".scn").c_str(), "");
    EXPECT_EQ(index.FindOrCreate("One too many"), nullptr);
    EXPECT_EQ(Read("999.scn"), "");
    std::remove(PathOf("500.scn").c_str());
    for (AtomicFileStage stage : {AtomicFileStage::Open, AtomicFileStage::Sync}) {
        SetAtomicFileFault(stage);
        EXPECT_EQ(index.FindOrCreate("Lost"), nullptr);
        SetAtomicFileFault(AtomicFileStage::None);
        EXPECT_EQ(index.Count(), 1);
    }
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), one);
    SavedGameEntry* entry = index.FindOrCreate("Kept");
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->FileName(), "500.scn");
    index.Forget(entry);
    EXPECT_EQ(index.Count(), 1);
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), one);
}

// Every limit of the reader at both sides: the names it takes, the longest title, line ends
// and the size of the index file itself.
TEST_F(SavedGameIndexTest, TheReaderTakesWhatItsLimitsAllowAndNoMore) {
    const struct {
        const char* name;
        int valid;
    } names[] = {{"0.scn", 1},  {"9.scn", 1},     {"999.scn", 1}, {"1000.scn", 0},
                 {"00.scn", 0}, {"0999.scn", 0},  {".scn", 0},    {"1.scnx", 0},
                 {"1.sc", 0},   {"12345.scn", 0}, {"/1.scn", 0},  {"1:.scn", 0}};
    for (const auto& n : names)
        EXPECT_EQ(SavedGameIndex::IsSavedGameName(n.name), n.valid) << n.name;
    EXPECT_EQ(SavedGameIndex::IsSavedGameName(nullptr), 0);

    const std::string full(SavedGameIndex::kMaxTitle, 'x');
    const struct {
        std::string in, out;
    } titles[] = {
        {full, full},
        {full + "y", full},
        {full.substr(1) + " y", full.substr(1)},  // the cut leaves a blank, which goes too
        {std::string("~\x1f") + " \x7f", "~"},
        {" # #a b ", "a b"},
    };
    for (const auto& t : titles)
        EXPECT_EQ(SavedGameIndex::CleanTitle(t.in.c_str()), t.out) << t.in;

    // Lines end in LF, CR LF or a lone CR; an unpaired last name is dropped.
    Write(SavedGameIndex::kIndexFile, "1.scn\r\nOne\r\n2.scn\rTwo\n3.scn\nThree\n4.scn");
    SavedGameIndex ends;
    ASSERT_EQ(ends.Count(), 3);
    EXPECT_STREQ(ends.At(0)->Title(), "One");
    EXPECT_STREQ(ends.At(1)->FileName(), "2.scn");
    EXPECT_STREQ(ends.At(1)->Title(), "Two");
    EXPECT_STREQ(ends.At(2)->Title(), "Three");

    // Of an index beyond the largest size the pairs within it are read: a last pair ending at
    // the bound is read, two bytes later its title is past it. (Both are damaged: the filler
    // line is longer than a line can be.)
    const std::string first = "7.scn\nSeven\n";
    const std::string last = "8.scn\nE\n";
    for (const int extra : {0, 2}) {
        const size_t filler =
            SavedGameIndex::kMaxIndexBytes + extra - first.size() - 3 - last.size();
        Write(SavedGameIndex::kIndexFile, first + std::string(filler, 'x') + "\nt\n" + last);
        SavedGameIndex big;
        EXPECT_TRUE(big.Damaged()) << extra;
        EXPECT_EQ(big.Count(), extra ? 1 : 2) << extra;
        EXPECT_STREQ(big.At(0)->Title(), "Seven") << extra;
    }
}

// An index with anything its writer does not write is damaged: the pairs it still holds whole
// are kept, every saved game on disk that none of them names is listed under its file name,
// and the next save first moves the index aside unchanged (never over an older one). A leading
// byte order mark is no damage.
TEST_F(SavedGameIndexTest, ADamagedIndexKeepsItsWholeEntriesListsTheRestAndGoesAside) {
    const std::string whole = "0.scn\nZero\n1.scn\nOne\n2.scn\nTwo\n";
    const struct {
        const char* name;
        std::string text;
        bool damaged;
        std::string entries;  // "file:title " for each entry, in order
        const char* aside;    // where the index went at the next save
    } cases[] = {
        {"whole", whole, false, "0.scn:Zero 1.scn:One 2.scn:Two ", nullptr},
        {"byte order mark", "\xEF\xBB\xBF" + whole, false, "0.scn:Zero 1.scn:One 2.scn:Two ",
         nullptr},
        {"flipped name", "0.scn\nZero\n1.scm\nOne\n2.scn\nTwo\n", true,
         "0.scn:Zero 2.scn:Two 1.scn:1.scn ", "GAMES.SAV.bad"},
        {"flipped title",
         "0.scn\nZero\n1.scn\nO\x01"
         "e\n2.scn\nTwo\n",
         true, "0.scn:Zero 1.scn:Oe 2.scn:Two ", "GAMES.SAV.bad"},
        {"lost line end", "0.scn\nZero\n1.scnxOne\n2.scn\nTwo\n", true,
         "0.scn:Zero 1.scn:1.scn 2.scn:2.scn ", "GAMES.SAV.bad"},
        {"cut", whole.substr(0, 19), true, "0.scn:Zero 1.scn:On 2.scn:2.scn ", "GAMES.SAV.bad"},
        {"named twice", "0.scn\nZero\n0.scn\nAgain\n", true, "0.scn:Zero 1.scn:1.scn 2.scn:2.scn ",
         "GAMES.SAV.bad"},
        {"a mark inside",
         "0.scn\nZero\n\xEF\xBB\xBF"
         "1.scn\nOne\n",
         true, "0.scn:Zero 1.scn:1.scn 2.scn:2.scn ", "GAMES.SAV.bad"},
        {"an older one aside", "1.scn\n#One\n", true, "1.scn:One 0.scn:0.scn 2.scn:2.scn ",
         "GAMES.SAV.bad.2"},
        // No index, or one without a pair, hides no game on disk; nothing goes aside.
        {"absent", "", false, "0.scn:0.scn 1.scn:1.scn 2.scn:2.scn ", nullptr},
        {"empty", "", false, "0.scn:0.scn 1.scn:1.scn 2.scn:2.scn ", nullptr},
        {"a mark alone", "\xEF\xBB\xBF", false, "0.scn:0.scn 1.scn:1.scn 2.scn:2.scn ", nullptr},
    };
    for (const auto& c : cases) {
        std::remove(PathOf("GAMES.SAV.bad").c_str());
        std::remove(PathOf("GAMES.SAV.bad.2").c_str());
        for (const char* game : {"0.scn", "1.scn", "2.scn"})
            Write(game, game);
        std::remove(PathOf("3.scn").c_str());
        if (std::string(c.aside ? c.aside : "") == "GAMES.SAV.bad.2")
            Write("GAMES.SAV.bad", "older");
        Write(SavedGameIndex::kIndexFile, c.text);
        if (std::string(c.name) == "absent")
            std::remove(PathOf(SavedGameIndex::kIndexFile).c_str());
        SavedGameIndex index;
        EXPECT_EQ(index.Damaged(), c.damaged) << c.name;
        EXPECT_EQ(index.TakeDamageNotice(), c.damaged ? 1 : 0) << c.name;
        EXPECT_EQ(index.TakeDamageNotice(), 0) << c.name;
        std::string entries;
        for (int i = 0; i < index.Count(); ++i)
            entries += std::string(index.At(i)->FileName()) + ":" + index.At(i)->Title() + " ";
        EXPECT_EQ(entries, c.entries) << c.name;
        // The next save writes the kept entries and the new one; the old index is kept aside.
        SavedGameEntry* added = index.FindOrCreate("New");
        ASSERT_NE(added, nullptr) << c.name;
        EXPECT_STREQ(added->FileName(), "3.scn") << c.name;
        SavedGameIndex again;
        EXPECT_FALSE(again.Damaged()) << c.name;
        EXPECT_EQ(again.Count(), index.Count()) << c.name;
        EXPECT_EQ(Read(c.aside ? c.aside : "GAMES.SAV.bad"), c.aside ? c.text : "<missing>")
            << c.name;
        if (c.aside && std::string(c.aside) == "GAMES.SAV.bad.2") {
            EXPECT_EQ(Read("GAMES.SAV.bad"), "older") << c.name;
        }
    }
}

// A damaged index that cannot go aside (every name for it taken) is never written over: the
// save is refused and the index stays byte for byte.
TEST_F(SavedGameIndexTest, ADamagedIndexThatCannotGoAsideIsNotWrittenOver) {
    const std::string damaged = "0.scn\nZero\n1.scn";
    Write("0.scn", "game");
    Write(SavedGameIndex::kIndexFile, damaged);
    Write("GAMES.SAV.bad", "older");
    for (int n = 2; n <= ResourceFile::kSetAsideNames; ++n)
        Write(("GAMES.SAV.bad." + std::to_string(n)).c_str(), "older");
    SavedGameIndex index;
    ASSERT_TRUE(index.Damaged());
    EXPECT_EQ(index.FindOrCreate("New"), nullptr);
    EXPECT_EQ(index.Remove(5), 0);
    // A delete it cannot write is refused: the entry and its game stay.
    EXPECT_EQ(index.Remove(0), 0);
    EXPECT_EQ(index.Count(), 1);
    EXPECT_STREQ(index.At(0)->FileName(), "0.scn");
    EXPECT_EQ(Read("0.scn"), "game");
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), damaged);
    EXPECT_EQ(Read("GAMES.SAV.bad.100"), "older");
    // A stop once the damaged index has its second name leaves it under both: read again, it
    // is still damaged and hides nothing; the next save replaces it.
    std::remove(PathOf("GAMES.SAV.bad.100").c_str());
    SetAtomicFileFault(AtomicFileStage::Stop);
    EXPECT_EQ(index.Remove(0), 0);
    SetAtomicFileFault(AtomicFileStage::None);
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), damaged);
    EXPECT_EQ(Read("GAMES.SAV.bad.100"), damaged);
    std::remove(PathOf("GAMES.SAV.bad.100").c_str());
    SavedGameIndex stopped;
    EXPECT_TRUE(stopped.Damaged());
    ASSERT_EQ(stopped.Count(), 1);
    EXPECT_EQ(stopped.Remove(0), 1);
    EXPECT_EQ(Read("0.scn"), "<missing>");
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), "");
    EXPECT_EQ(Read("GAMES.SAV.bad.100"), damaged);
}

// Something in the index's place that gives no bytes is unreadable, not damaged: it may hold
// every title whole (the game run as another user). It is told, never moved aside nor written
// over; the games on disk are listed by file name (matched ignoring case); a new save is listed
// for this run; a delete is refused, as the index may still name the game.
TEST_F(SavedGameIndexTest, AnIndexThatCannotBeReadIsToldAndNeverWrittenOver) {
    namespace fs = std::filesystem;
    const std::string titles = "0.scn\nZero\n12.scn\nTwelve\n";
    const std::string index = PathOf(SavedGameIndex::kIndexFile);
    Write("0.scn", "game");
    Write("12.SCN", "game");
    // A sysfs file opens as 4096 bytes and gives a few: a read that fails once open.
    // The reader's own memory reports 0 bytes and fails its read.
    enum class At { Directory, LinkToNothing, LinkLoop, Fifo, ShortRead, NoPermission, EmptyRead };
    // The owner's file (mode 000) comes last: it is read again below.
    for (const At at : {At::Directory, At::LinkToNothing, At::LinkLoop, At::Fifo, At::ShortRead,
                        At::EmptyRead, At::NoPermission}) {
        fs::remove_all(index);
        if (at == At::Directory) fs::create_directory(index);
        if (at == At::LinkToNothing || at == At::LinkLoop)
            fs::create_symlink(at == At::LinkLoop ? index : PathOf("nowhere"), index);
        if (at == At::Fifo) mkfifo(index.c_str(), 0600);
        if (at == At::ShortRead) fs::create_symlink("/sys/devices/system/cpu/online", index);
        if (at == At::EmptyRead) fs::create_symlink("/proc/self/mem", index);
        if (at == At::NoPermission) Write(SavedGameIndex::kIndexFile, titles);
        const fs::file_type before = fs::symlink_status(index).type();
        auto read =
            at == At::NoPermission ? ReadAsAnotherUser() : std::make_unique<SavedGameIndex>();
        const int row = static_cast<int>(at);
        ASSERT_TRUE(read && read->Unreadable() && !read->Damaged()) << row;
        EXPECT_EQ(read->TakeDamageNotice(), 1) << row;
        ASSERT_EQ(read->Count(), 2) << row;
        EXPECT_STREQ(read->At(1)->Title(), "12.scn") << row;
        EXPECT_STREQ(read->FindOrCreate("New")->FileName(), "1.scn") << row;
        EXPECT_EQ(read->Remove(0), 0) << row;
        EXPECT_EQ(read->Count(), 3) << row;
        EXPECT_EQ(Read("0.scn"), "game") << row;
        EXPECT_EQ(fs::symlink_status(index).type(), before) << row;
        EXPECT_FALSE(fs::exists(fs::symlink_status(PathOf("GAMES.SAV.bad")))) << row;
    }
    // Readable again, it has every title it held, and the game saved meanwhile (1.scn), which
    // it does not name, is listed by its file name at every read until a save writes the index
    // with it.
    Write("1.scn", "game");
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), titles);
    for (int visit = 0; visit < 2; ++visit) {
        SavedGameIndex readable;
        ASSERT_EQ(readable.Count(), 3) << visit;
        EXPECT_STREQ(readable.At(1)->Title(), "Twelve") << visit;
        EXPECT_STREQ(readable.At(2)->Title(), "1.scn") << visit;
        EXPECT_FALSE(readable.Unreadable() || readable.Damaged()) << visit;
    }
    SavedGameIndex readable;
    EXPECT_STREQ(readable.FindOrCreate("Later")->FileName(), "2.scn");
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), titles + "1.scn\n1.scn\n2.scn\nLater\n");
}

}  // namespace
