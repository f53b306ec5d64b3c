#include "core/FatalError.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <new>
#include <string>

#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "support/PackBuilder.h"
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

// A screen's pack or picture that is not there ends the program naming the file and what is
// wrong, on stderr and in the trace; the message box keeps the bare message. A FIFO standing
// where the trace goes is passed over, never waited on.
TEST(RequiredResources, AMissingPackOrEntryIsNamedWhateverStandsAtTheTrace) {
    ScopedWorkingDir dir;
    const Bytes pack = PackBuilder(1, 1).Entry(0, 0, "x").Build();
    dir.WriteFile("one.msp", std::string(pack.begin(), pack.end()));
    ResourceFile::SetAssetPath("");
    const struct {
        bool fifo;
        const char* pack;
        int row;
        const char* named;
    } cases[] = {
        {false, "gone.msp", 0, "Quarnex: Resource Missing: gone.msp: No such file or directory"},
        {false, "one.msp", 3,
         "Quarnex: Resource Missing: one.msp: has no entry at column 0, row 3"},
        {true, "gone.msp", 0, "Quarnex: Resource Missing: gone.msp: No such file or directory"},
        {true, "one.msp", 3, "Quarnex: Resource Missing: one.msp: has no entry at column 0, row 3"},
    };
    for (const auto& c : cases) {
        std::remove("zvd.out");
        if (c.fifo) {
            ASSERT_EQ(mkfifo("zvd.out", 0600), 0);
        }
        EXPECT_EXIT(
            {
                ResourceFile file;
                OpenRequiredPack(file, c.pack);
                RequiredPicture(file, 0, c.row);
            },
            ::testing::ExitedWithCode(255), c.named);
        if (!c.fifo) {
            EXPECT_EQ(dir.ReadFile("zvd.out"),
                      std::string("\nFATAL ERROR\nResource Missing\n") + (c.named + 27) + "\n");
        }
    }
    std::remove("zvd.out");
}
