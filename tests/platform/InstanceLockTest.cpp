#include "platform/InstanceLock.h"

#include <gtest/gtest.h>

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
}

TEST(InstanceLock, UnreachableFileIsUnavailableNotRefused) {
    ScopedWorkingDir dir;
    winx_InstanceLock lock;
    EXPECT_EQ(lock.Acquire("no/such/dir/quarnex.lock"), Result::Unavailable);
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
