#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "support/ScopedWorkingDir.h"

using Result = winx_InstanceLock::Result;

TEST(InstanceLock, SecondCopyInTheSameDirectoryIsRefusedUntilTheFirstLetsGo) {
    ScopedWorkingDir dir;
    winx_InstanceLock second;
    {
        winx_InstanceLock first;
        EXPECT_EQ(first.Acquire("quarnex.lock"), Result::Acquired);
        EXPECT_EQ(second.Acquire("quarnex.lock"), Result::HeldElsewhere);
        first.Release();
        EXPECT_EQ(second.Acquire("quarnex.lock"), Result::Acquired);
        second.Release();
        EXPECT_EQ(first.Acquire("quarnex.lock"), Result::Acquired);
    }
    // Destroying the owner lets go as well.
    EXPECT_EQ(second.Acquire("quarnex.lock"), Result::Acquired);
    // A holder that removes the file lets go; one that does not hold it removes nothing.
    winx_InstanceLock third;
    third.ReleaseAndRemove();
    EXPECT_TRUE(std::filesystem::exists("quarnex.lock"));
    second.ReleaseAndRemove();
    EXPECT_FALSE(std::filesystem::exists("quarnex.lock"));
    EXPECT_EQ(third.Acquire("quarnex.lock"), Result::Acquired);
    EXPECT_EQ(second.Acquire("quarnex.lock"), Result::HeldElsewhere);
}

// Nothing is made through what stands at the name, and nothing there is taken for the lock.
TEST(InstanceLock, UnreachableFileIsUnavailableNotRefused) {
    ScopedWorkingDir dir;
    std::filesystem::create_symlink("elsewhere", "link.lock");
    std::filesystem::create_directory("directory.lock");
    ASSERT_EQ(mkfifo("fifo.lock", 0600), 0);
    for (const char* name :
         {"no/such/dir/quarnex.lock", "link.lock", "directory.lock", "fifo.lock"}) {
        winx_InstanceLock lock;
        EXPECT_EQ(lock.Acquire(name), Result::Unavailable) << name;
        EXPECT_FALSE(lock.Problem().empty()) << name;
    }
    EXPECT_FALSE(std::filesystem::exists("elsewhere"));
}

TEST(InstanceLock, AnotherProcessInTheSameDirectoryIsRefused) {
    ScopedWorkingDir dir;
    winx_InstanceLock running;
    ASSERT_EQ(running.Acquire("quarnex.lock"), Result::Acquired);
    // The death test's child is a second process starting in the same directory.
    EXPECT_EXIT(
        {
            winx_InstanceLock second;
            std::exit(second.Acquire("quarnex.lock") == Result::HeldElsewhere ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}
