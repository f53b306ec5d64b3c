// Timer on a fake clock: the expiry boundary, pausing, stopping and the clock's wrap.
#include "core/Timer.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"

TEST(Timer, ExpiresExactlyAtItsPeriodAndStaysExpired) {
    FakeClock clock(1000);
    Timer timer(100);
    timer.Start();
    clock.Set(1099);
    EXPECT_FALSE(timer.Expired());
    EXPECT_EQ(timer.Elapsed(), 99);
    clock.Set(1100);
    EXPECT_TRUE(timer.Expired());
    clock.Set(500);  // even when the clock runs back or wraps
    EXPECT_TRUE(timer.Expired());
    EXPECT_EQ(timer.Elapsed(), 0);
    EXPECT_FALSE(timer.IsRunning());
}

TEST(Timer, PauseShiftsTheExpiry) {
    FakeClock clock(1000);
    Timer timer(100);
    timer.Start();
    clock.Set(1050);
    timer.Pause();
    clock.Set(1500);
    EXPECT_FALSE(timer.Expired());
    EXPECT_EQ(timer.Elapsed(), 50);
    clock.Set(1550);
    timer.Resume();
    EXPECT_EQ(timer.pausedAt, 0u);
    clock.Set(1599);
    EXPECT_FALSE(timer.Expired());
    clock.Set(1600);
    EXPECT_TRUE(timer.Expired());
}

TEST(Timer, NegativePeriodNeverExpires) {
    FakeClock clock(0);
    Timer timer(-1);
    timer.Start();
    clock.Advance(0x7fffffff);
    EXPECT_FALSE(timer.Expired());
    EXPECT_TRUE(timer.IsRunning());
}

TEST(Timer, StopAndPauseOnlyActOnARunningTimer) {
    FakeClock clock(10);
    Timer timer(100);
    timer.Stop();
    timer.Pause();
    EXPECT_EQ(timer.state, TimerState::New);
    timer.Start();
    clock.Set(40);
    timer.Stop();
    clock.Set(90);
    timer.Pause();
    timer.Resume();
    EXPECT_EQ(timer.state, TimerState::Stopped);
    EXPECT_EQ(timer.Elapsed(), 30);
    // A stopped timer keeps counting from its start for expiry.
    clock.Set(110);
    EXPECT_TRUE(timer.Expired());
}

TEST(Timer, NewTimerExpiresOnceTheClockPassesItsPeriod) {
    FakeClock clock(50);
    Timer timer(100);
    EXPECT_FALSE(timer.Expired());
    EXPECT_EQ(timer.Elapsed(), 0);
    clock.Set(100);
    EXPECT_TRUE(timer.Expired());
}

TEST(Timer, CountsAcrossTheClockWrap) {
    FakeClock clock(0xffffffe0u);
    Timer timer(100);
    timer.Start();
    clock.Advance(0x50);  // wraps to 0x30
    EXPECT_EQ(timer.Elapsed(), 0x50);
    EXPECT_FALSE(timer.Expired());
    clock.Advance(20);
    EXPECT_TRUE(timer.Expired());
}

TEST(Timer, StartRestartsAnExpiredTimer) {
    FakeClock clock(0);
    Timer timer(10);
    timer.Start();
    clock.Set(20);
    ASSERT_TRUE(timer.Expired());
    timer.Start();
    EXPECT_TRUE(timer.IsRunning());
    clock.Set(29);
    EXPECT_FALSE(timer.Expired());
}
