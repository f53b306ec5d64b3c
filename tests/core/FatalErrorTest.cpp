#include "core/FatalError.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>

#include "core/DisplayBase.h"
#include "core/Settings.h"
#include "support/ScopedWorkingDir.h"

namespace {

// Leaves a mark in the working directory, where the parent of a death test can see it.
void Mark(const char* name) {
    if (std::FILE* file = std::fopen(name, "w")) std::fclose(file);
}

class MarkingDisplay : public DisplayBase {
public:
    ~MarkingDisplay() override { Mark("display-deleted"); }
    void Suspend() override { Mark("display-suspended"); }
};

class ThrowingDisplay : public DisplayBase {
public:
    void Suspend() override { throw 4; }
};

}  // namespace

TEST(FatalError, TracesSuspendsTheDisplayAndExitsWith255) {
    ScopedWorkingDir dir;
    traceOn = 0;
    MarkingDisplay screen;
    EXPECT_EXIT(FatalError(2), ::testing::ExitedWithCode(255), "Quarnex: Out of Disk Space");
    EXPECT_EQ(dir.ReadFile("zvd.out"), "\nFATAL ERROR\nOut of Disk Space\n");
    EXPECT_TRUE(dir.Exists("display-suspended"));
    EXPECT_FALSE(dir.Exists("display-deleted"));
}

TEST(FatalError, WorksBeforeTheDisplayExists) {
    ScopedWorkingDir dir;
    ASSERT_EQ(display, nullptr);
    EXPECT_EXIT(FatalError(0), ::testing::ExitedWithCode(255), "Quarnex: Resource Missing");
    EXPECT_EQ(dir.ReadFile("zvd.out"), "\nFATAL ERROR\nResource Missing\n");
}

TEST(FatalError, EndsEvenWhenTheDisplayFailsAgain) {
    ScopedWorkingDir dir;
    ThrowingDisplay screen;
    EXPECT_EXIT(FatalError(4), ::testing::ExitedWithCode(255), "Cannot initialize DirectDraw");
}

TEST(OutOfMemoryHandler, DeletesTheDisplayAndTracesNothing) {
    ScopedWorkingDir dir;
    traceOn = 1;
    auto* screen = new MarkingDisplay();
    EXPECT_EXIT(OutOfMemoryHandler(), ::testing::ExitedWithCode(255),
                "Quarnex: OUT OF MEMORY/MEMORY FAILURE");
    traceOn = 0;
    EXPECT_TRUE(dir.Exists("display-deleted"));
    EXPECT_FALSE(dir.Exists("zvd.out"));
    delete screen;
}
