#include "ui/ScreenBase.h"

#include <gtest/gtest.h>

#include "core/InputEvent.h"

// The World and parent screens rely on these answers from screens that override nothing:
// loading goes on, events pass through, and the coordinates are the display's.
TEST(ScreenBase, AScreenThatOverridesNothingRunsOnAndPassesEventsBy) {
    ScreenBase screen;
    EXPECT_EQ(screen.Load(), 1);
    EXPECT_EQ(screen.HandleEvents(16), 1);
    EXPECT_EQ(screen.HandleEvent(InputEvent(InputKind::Key, Point(1, 2), 'a')), 0);
    EXPECT_EQ(screen.Update(16), 1);
    EXPECT_EQ(screen.MapToScreen(Point(3, 4)), Point(3, 4));
    EXPECT_EQ(screen.SnapToZoom(Point(3, 4), Point(10, 20)), Point(13, 24));
    EXPECT_EQ(screen.exitCode, 0);
}
