// The real clock counts from the process start, so the machine's uptime cannot bring timers to
// the signed wrap; the QX_CLOCK setting is read strictly.
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/Timer.h"

namespace {

class RawClock {
public:
    explicit RawClock(uint64_t start) : now(start) {
        winx_SetRawClockSource([this] { return now; });
    }
    ~RawClock() { winx_SetRawClockSource({}); }
    uint64_t now;
};

}  // namespace

TEST(Clock, TimersExpireAcrossTheSignedWrapOfTheMachineClock) {
    // Machine uptimes just short of 24.9 days, of 49.7 days, and of ten times that.
    for (const uint64_t boot : {0x7FFFFE0Cull, 0xFFFFFE0Cull, 0x9FFFFFE0Cull * 10}) {
        SCOPED_TRACE(boot);
        RawClock raw(boot);
        EXPECT_EQ(winx_timeGetTime(), kClockOrigin);
        Timer neverStarted(1000);
        Timer started(800);
        started.Start();
        raw.now = boot + 799;
        EXPECT_FALSE(started.Expired());
        EXPECT_EQ(started.Elapsed(), 799);
        raw.now = boot + 800;
        EXPECT_TRUE(started.Expired());
        EXPECT_TRUE(neverStarted.Expired());
        EXPECT_EQ(winx_timeGetTime(), kClockOrigin + 800);
        // The seed comes from the raw reading: two runs a second apart draw differently.
        EXPECT_EQ(winx_ClockSeed(), static_cast<uint32_t>(boot + 800));
    }
}

TEST(Clock, SettingIsFixedWithAStepFromOneToSixtySeconds) {
    const struct {
        const char* setting;
        uint32_t step;
    } cases[] = {{"fixed:16", 16},   {"fixed:1", 1},   {"fixed:60000", 60000}, {"fixed:0", 0},
                 {"fixed:60001", 0}, {"fixed:-16", 0}, {"fixed:", 0},          {"fixed:16ms", 0},
                 {"fixed: 16", 0},   {"real", 0},      {"FIXED:16", 0},        {"16", 0}};
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(winx_ParseClockSetting(c.setting, error), c.step) << c.setting;
        EXPECT_EQ(error.empty(), c.step != 0) << c.setting;
    }
}

TEST(Clock, StartingAgainKeepsAFixedClocksTimeOnlyAtTheSameStep) {
    const struct {
        const char* setting;
        uint32_t afterOnePass;
    } starts[] = {{"fixed:13", kClockOrigin + 13},
                  {"fixed:13", kClockOrigin + 26},
                  {"fixed:17", kClockOrigin + 17}};
    for (const auto& s : starts) {
        setenv("QX_CLOCK", s.setting, 1);
        winx_StartClock();
        EXPECT_EQ(winx_FixedClockActive(), 1);
        winx_AdvanceFixedClock();
        EXPECT_EQ(winx_timeGetTime(), s.afterOnePass) << s.setting;
    }
    unsetenv("QX_CLOCK");
    winx_StartClock();
    EXPECT_EQ(winx_FixedClockActive(), 0);
    // Set but empty is as unset: the clock runs in real time and the start goes on.
    setenv("QX_CLOCK", "", 1);
    winx_StartClock();
    EXPECT_EQ(winx_FixedClockActive(), 0);
    unsetenv("QX_CLOCK");
}

TEST(ClockDeathTest, AnInvalidSettingEndsTheStartWithExitCodeTwo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("QX_CLOCK", "fast", 1);
            winx_StartClock();
        },
        ::testing::ExitedWithCode(2), "QX_CLOCK=fast: expected fixed:N");
}
