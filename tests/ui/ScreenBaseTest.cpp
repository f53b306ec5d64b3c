#include "ui/ScreenBase.h"

#include <gtest/gtest.h>

#include "core/InputEvent.h"

namespace {
class PlainScreen : public ScreenBase {};
}  // namespace

TEST(ScreenBase, AScreenThatOverridesNothingRunsForeverAndUsesNoEvent) {
    PlainScreen screen;
    EXPECT_EQ(screen.Load(), 1);
    InputEvent key(InputKind::Key, Point(1, 2), 'a');
    InputEvent click(InputKind::ButtonDown, Point(3, 4), 'L');
    EXPECT_EQ(screen.HandleEvent(key), 0);
    EXPECT_EQ(screen.HandleEvent(click), 0);
    for (int ms : {0, 16, 100000}) {
        EXPECT_EQ(screen.HandleEvents(ms), 1);
        EXPECT_EQ(screen.Update(ms), 1);
    }
    EXPECT_EQ(screen.exitCode, 0);
}

TEST(ScreenBase, WithoutZoomPointsMapOneToOne) {
    PlainScreen screen;
    EXPECT_EQ(screen.MapToScreen(Point(-5, 700)), Point(-5, 700));
    EXPECT_EQ(screen.SnapToZoom(Point(10, 20), Point(3, -4)), Point(13, 16));
    screen.zoom = 2;
    EXPECT_EQ(screen.MapToScreen(Point(64, 32)), Point(64, 32));
}
