// The commit of a finished temporary file: the target gets the new text whole, or keeps its old
// one and the temporary goes, whichever step fails.
#include "platform/AtomicFile.h"
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/TempDirectory.h"

namespace {

std::string Text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(AtomicFile, ACommitReplacesTheTargetWholeOrLeavesItAsItWas) {
    TempDirectory dir;
    const std::string target = dir.Path() + "/save.dat";
    const std::string temporary = AtomicTemporaryPath(target);
    EXPECT_EQ(temporary, target + ".tmp");
    std::filesystem::create_directory(dir.Path() + "/folder");
    struct Case {
        AtomicFileStage fault;
        bool writeTemporary;
        std::string target;
        int committed;
    };
    const Case cases[] = {{AtomicFileStage::None, true, target, 1},
                          {AtomicFileStage::Sync, true, target, 0},
                          {AtomicFileStage::Rename, true, target, 0},
                          {AtomicFileStage::Write, true, target, 1},
                          {AtomicFileStage::None, false, target, 0},
                          {AtomicFileStage::None, true, dir.Path() + "/folder", 0}};
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(round);
        dir.Write("save.dat", "old");
        const std::string text = "new " + std::to_string(++round);
        if (c.writeTemporary) dir.Write("save.dat.tmp", text);
        SetAtomicFileFault(c.fault);
        EXPECT_EQ(CommitTemporaryFile(temporary, c.target), c.committed);
        SetAtomicFileFault(AtomicFileStage::None);
        EXPECT_EQ(Text(target), c.committed && c.target == target ? text : "old");
        EXPECT_FALSE(std::filesystem::exists(temporary));
        EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "/folder"));
    }
    EXPECT_FALSE(AtomicFileFaultAt(AtomicFileStage::None));
    dir.Write("save.dat.tmp", "dropped");
    DiscardTemporaryFile(temporary);
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_EQ(Text(target), "old");
}

// A game started with its input closed opens the temporary file as descriptor 0 to sync it:
// the commit works all the same. Run in a child, whose input can go.
TEST(AtomicFile, ACommitWorksWhenTheTemporaryFileIsDescriptorZero) {
    TempDirectory dir;
    const std::string target = dir.Path() + "/save.dat";
    dir.Write("save.dat", "old");
    dir.Write("save.dat.tmp", "new");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(0);
        _exit(CommitTemporaryFile(AtomicTemporaryPath(target), target) == 1 ? 0 : 1);
    }
    EXPECT_EQ(ExitCodeOf(child), 0);
    EXPECT_EQ(Text(target), "new");
    EXPECT_FALSE(std::filesystem::exists(AtomicTemporaryPath(target)));
}
