// The saved-game index: free names, titles, removal and a failing write.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/ResourceFile.h"
#include "platform/AtomicFile.h"
#include "support/TempDirectory.h"
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
    SavedGameIndex again;
    EXPECT_EQ(again.Count(), 2);
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
    ASSERT_EQ(twice.Count(), 2);
    EXPECT_STREQ(twice.At(0)->Title(), "First");
    EXPECT_STREQ(twice.At(1)->FileName(), "4.scn");
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
    for (int n = 0; n < SavedGameIndex::kNames; ++n)
        Write((std::to_string(n) + ".scn").c_str(), "");
    SavedGameIndex index;
    EXPECT_EQ(index.FindOrCreate("One too many"), nullptr);
    EXPECT_EQ(Read("999.scn"), "");
    std::remove(PathOf("500.scn").c_str());
    Write(SavedGameIndex::kIndexFile, "");
    for (AtomicFileStage stage : {AtomicFileStage::Open, AtomicFileStage::Sync}) {
        SetAtomicFileFault(stage);
        EXPECT_EQ(index.FindOrCreate("Lost"), nullptr);
        SetAtomicFileFault(AtomicFileStage::None);
        EXPECT_EQ(index.Count(), 0);
    }
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), "");
    SavedGameEntry* entry = index.FindOrCreate("Kept");
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->FileName(), "500.scn");
    index.Forget(entry);
    EXPECT_EQ(index.Count(), 0);
    EXPECT_EQ(Read(SavedGameIndex::kIndexFile), "");
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

    // An index of exactly the largest size is read; a byte more and it is not. (Its last line,
    // cut to the line length, has no title line to pair with.)
    const std::string pair = "7.scn\nSeven\n";
    for (const int extra : {0, 1}) {
        Write(SavedGameIndex::kIndexFile,
              pair + std::string(SavedGameIndex::kMaxIndexBytes - pair.size() + extra, 'x'));
        SavedGameIndex big;
        EXPECT_EQ(big.Count(), 1 - extra) << extra;
    }
}

}  // namespace
