#include "core/Trace.h"

#include <gtest/gtest.h>

#include "core/Settings.h"
#include "support/ScopedWorkingDir.h"

TEST(Trace, WritesNothingUnlessTheFlagIsExactlyOne) {
    ScopedWorkingDir dir;
    for (int32_t flag : {0, 2}) {
        traceOn = flag;
        Trace("hidden");
    }
    traceOn = 0;
    EXPECT_EQ(dir.ReadFile("zvd.out"), "");
}

TEST(Trace, AppendsOneLinePerCallWhileOn) {
    ScopedWorkingDir dir;
    dir.WriteFile("zvd.out", "earlier\n");
    traceOn = 1;
    Trace("first");
    Trace("");
    Trace("second");
    traceOn = 0;
    Trace("after");
    EXPECT_EQ(dir.ReadFile("zvd.out"), "earlier\nfirst\n\nsecond\n");
}
