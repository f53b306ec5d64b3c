#include "core/AtomicWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/AtomicFile.h"
#include "support/ScopedWorkingDir.h"

namespace {

// A reader sees the old text or the whole new one; no writer leaves its temporary behind.
TEST(AtomicWriter, TheTargetChangesOnlyWithACommitThatReachedTheDisk) {
    ScopedWorkingDir dir;
    const std::string saved = ResourceFile::AssetPath();
    ASSERT_EQ(ResourceFile::SetAssetPath("assets/"), 1);
    std::filesystem::create_directory("assets");
    // Over a damaged file (damaged rows) the old one must also keep its name at every stop,
    // and gets its second name only with a replacement that went through, or with a stop
    // right after it was given (as a kill would leave it).
    const struct {
        AtomicFileStage fault;
        bool commit;
        bool damaged;
        int result;
        const char* after;
        const char* aside;
    } cases[] = {
        {AtomicFileStage::None, true, false, 1, "new\n", nullptr},
        {AtomicFileStage::None, false, false, 0, "old\n", nullptr},
        {AtomicFileStage::Open, true, false, 0, "old\n", nullptr},
        {AtomicFileStage::Write, true, false, 0, "old\n", nullptr},
        {AtomicFileStage::Sync, true, false, 0, "old\n", nullptr},
        {AtomicFileStage::Rename, true, false, 0, "old\n", nullptr},
        {AtomicFileStage::Stop, true, false, 1, "new\n", nullptr},
        {AtomicFileStage::None, true, true, 1, "new\n", "old\n"},
        {AtomicFileStage::Open, true, true, 0, "old\n", nullptr},
        {AtomicFileStage::Write, true, true, 0, "old\n", nullptr},
        {AtomicFileStage::Sync, true, true, 0, "old\n", nullptr},
        {AtomicFileStage::Rename, true, true, 0, "old\n", nullptr},
        {AtomicFileStage::Stop, true, true, 0, "old\n", "old\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault) * 10 + c.damaged);
        dir.WriteFile("assets/keep.txt", "old\n");
        int result = 0;
        {
            SetAtomicFileFault(c.fault);
            AtomicWriter writer("keep.txt");
            EXPECT_EQ(writer.IsOpen(), c.fault == AtomicFileStage::Open ? 0 : 1);
            EXPECT_EQ(writer.WriteLine("new"),
                      c.fault == AtomicFileStage::Open ? ResourceFile::kWriteFailed : 0);
            // Until the commit the old text is what a reader gets.
            EXPECT_EQ(dir.ReadFile("assets/keep.txt"), "old\n");
            if (c.commit) {
                result = writer.CommitOver(c.damaged);
                // A second commit has nothing left to do.
                EXPECT_EQ(writer.Commit(), 0);
                EXPECT_EQ(writer.CommitOver(c.damaged), 0);
            }
            SetAtomicFileFault(AtomicFileStage::None);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(dir.ReadFile("assets/keep.txt"), c.after);
        EXPECT_EQ(dir.Exists("assets/keep.txt.bad"), c.aside != nullptr);
        if (c.aside) {
            EXPECT_EQ(dir.ReadFile("assets/keep.txt.bad"), c.aside);
        }
        EXPECT_FALSE(dir.Exists("assets/keep.txt.bad.2"));
        EXPECT_FALSE(dir.Exists("assets/keep.txt.tmp"));
        std::filesystem::remove("assets/keep.txt.bad");
    }
    // A taken second name is never replaced: the next free one is used.
    dir.WriteFile("assets/keep.txt", "old\n");
    dir.WriteFile("assets/keep.txt.bad", "older\n");
    {
        AtomicWriter writer("keep.txt");
        writer.WriteLine("new");
        EXPECT_EQ(writer.CommitOver(true), 1);
    }
    EXPECT_EQ(dir.ReadFile("assets/keep.txt"), "new\n");
    EXPECT_EQ(dir.ReadFile("assets/keep.txt.bad"), "older\n");
    EXPECT_EQ(dir.ReadFile("assets/keep.txt.bad.2"), "old\n");
    std::filesystem::remove("assets/keep.txt.bad");
    std::filesystem::remove("assets/keep.txt.bad.2");
    // A directory in the damaged file's place gives no second name: it is moved aside, and put
    // back when the replacement fails.
    std::filesystem::remove("assets/keep.txt");
    std::filesystem::create_directory("assets/keep.txt");
    {
        SetAtomicFileFault(AtomicFileStage::Rename);
        AtomicWriter writer("keep.txt");
        writer.WriteLine("new");
        EXPECT_EQ(writer.CommitOver(true), 0);
        SetAtomicFileFault(AtomicFileStage::None);
    }
    EXPECT_TRUE(std::filesystem::is_directory("assets/keep.txt"));
    EXPECT_FALSE(dir.Exists("assets/keep.txt.bad"));
    {
        AtomicWriter writer("keep.txt");
        writer.WriteLine("new");
        EXPECT_EQ(writer.CommitOver(true), 1);
    }
    EXPECT_EQ(dir.ReadFile("assets/keep.txt"), "new\n");
    EXPECT_TRUE(std::filesystem::is_directory("assets/keep.txt.bad"));
    std::filesystem::remove("assets/keep.txt.bad");
    // A damaged file gone before the replacement has nothing to keep or put back; a failed
    // replacement is still a failure.
    std::filesystem::remove("assets/keep.txt");
    for (const AtomicFileStage fault : {AtomicFileStage::Write, AtomicFileStage::Rename}) {
        SetAtomicFileFault(fault);
        AtomicWriter writer("keep.txt");
        writer.WriteLine("new");
        EXPECT_EQ(writer.CommitOver(true), 0) << static_cast<int>(fault);
        SetAtomicFileFault(AtomicFileStage::None);
        EXPECT_FALSE(dir.Exists("assets/keep.txt"));
        EXPECT_FALSE(dir.Exists("assets/keep.txt.bad"));
    }
    dir.WriteFile("assets/keep.txt", "old\n");

    // A whole path is taken as it stands; no name writes nothing.
    {
        AtomicWriter plain((dir.Path() + "/plain.txt").c_str(), 1);
        plain.WriteLine("p");
        EXPECT_EQ(plain.Commit(), 1);
    }
    EXPECT_EQ(dir.ReadFile("plain.txt"), "p\n");
    AtomicWriter none("");
    EXPECT_EQ(none.IsOpen(), 0);
    EXPECT_EQ(none.Commit(), 0);
    AtomicWriter null(nullptr);
    EXPECT_EQ(null.Commit(), 0);

    // A leftover temporary of exactly that target goes; the target and others stay.
    dir.WriteFile("assets/keep.txt.tmp", "half");
    dir.WriteFile("assets/other.txt.tmp", "half");
    AtomicWriter::RemoveLeftover("keep.txt");
    AtomicWriter::RemoveLeftover("");
    AtomicWriter::RemoveLeftover(nullptr);
    EXPECT_FALSE(dir.Exists("assets/keep.txt.tmp"));
    EXPECT_TRUE(dir.Exists("assets/other.txt.tmp"));
    EXPECT_TRUE(dir.Exists("assets/keep.txt"));
    dir.WriteFile("plain.txt.tmp", "half");
    AtomicWriter::RemoveLeftover((dir.Path() + "/plain.txt").c_str(), 1);
    EXPECT_FALSE(dir.Exists("plain.txt.tmp"));

    // A FIFO in the temporary's place is taken away, never written through; the save fails.
    ASSERT_EQ(mkfifo("assets/keep.txt.tmp", 0600), 0);
    {
        AtomicWriter blocked("keep.txt");
        EXPECT_EQ(blocked.IsOpen(), 0);
        EXPECT_EQ(blocked.Commit(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists("assets/keep.txt.tmp"));
    EXPECT_EQ(dir.ReadFile("assets/keep.txt"), "old\n");
    // A directory there is left alone.
    std::filesystem::create_directory("assets/keep.txt.tmp");
    {
        AtomicWriter blocked("keep.txt");
        EXPECT_EQ(blocked.Commit(), 0);
    }
    EXPECT_TRUE(std::filesystem::is_directory("assets/keep.txt.tmp"));
    ResourceFile::SetAssetPath(saved.c_str());
}

}  // namespace
