#include <gtest/gtest.h>

#include <algorithm>

#include "core/Bitmap.h"
#include "core/BusyIndicator.h"
#include "core/ColourBox.h"
#include "core/OutlineRect.h"
#include "core/SpriteSet.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"

namespace {

class Shapes : public ::testing::Test, public ScreenFixture {};

TEST_F(Shapes, BoxIsClippedAtTheScreenEdge) {
    ColourBox box(9, Size(10, 10));
    box.DrawAt(Point(-5, -5));
    EXPECT_EQ(CountNot(0), 25);
    EXPECT_EQ(At(4, 4), 9);
    int locks = screen.lockCalls;
    box.DrawAt(Point(-50, -50));
    EXPECT_EQ(screen.lockCalls, locks);
}

TEST_F(Shapes, CentredBoxCoversItsHalvesAroundThePoint) {
    ColourBox box(9, Size(7, 7));
    box.Draw(Point(10, 10));
    EXPECT_EQ(At(7, 7), 9);
    EXPECT_EQ(At(13, 13), 9);
    EXPECT_EQ(CountNot(0), 49);
    // Every effect of a box is the plain box.
    std::fill(Back(), Back() + 640 * 480, 0);
    box.DrawSilhouette(Point(10, 10), 50, 0);
    EXPECT_EQ(At(10, 10), 9);
    EXPECT_EQ(box.LastFrameIndex(), 0);
    EXPECT_EQ(box.SubImage(4), &box);
}

TEST_F(Shapes, TinyOutlinesFillThemselves) {
    OutlineRect one(5, Size(1, 1));
    one.DrawAt(Point(10, 10));
    EXPECT_EQ(CountNot(0), 1);
    OutlineRect two(5, Size(2, 2));
    two.DrawAt(Point(20, 20));
    EXPECT_EQ(CountNot(0), 5);
    // Centred: the odd pixel goes right of and below the point.
    OutlineRect(5, Size(5, 4)).Draw(Point(100, 100));
    EXPECT_EQ(At(98, 98), 5);
    EXPECT_EQ(At(102, 101), 5);
    EXPECT_EQ(At(97, 98), 0);
    EXPECT_EQ(At(98, 97), 0);
    EXPECT_EQ(CountNot(0), 5 + 2 * 5 + 2 * 2);
}

TEST_F(Shapes, OutlineCutByTheClipLosesThatEdge) {
    screen.SetClipRect(Rect(Point(0, 10), Size(640, 470)));
    OutlineRect frame(5, Size(10, 10));
    frame.DrawAt(Point(5, 5));  // top edge at row 5, above the clip
    EXPECT_EQ(At(5, 10), 0);    // the side column starts at the clip's second row
    EXPECT_EQ(At(5, 11), 5);
    EXPECT_EQ(At(14, 11), 5);
    EXPECT_EQ(At(9, 14), 5);  // bottom edge
    EXPECT_EQ(CountNot(0), 2 * 3 + 10);
}

TEST_F(Shapes, OutlineCutOnEachSideKeepsOnlyTheEdgesInside) {
    // The 10 x 10 frame at (5, 5) spans columns and rows 5..14; each clip cuts it in the middle
    // of one side. A cut side column stops one row short of the visible part's end.
    struct Case {
        Rect clip;
        Point blank;   // inside the clip, on the cut, never drawn
        Point corner;  // the last drawn pixel next to it
        int count;
    };
    const Case cases[] = {
        {Rect(Point(0, 0), Size(640, 10)), Point(5, 9), Point(5, 8), 10 + 2 * 3},
        {Rect(Point(0, 0), Size(640, 10)), Point(14, 9), Point(14, 8), 10 + 2 * 3},
        {Rect(Point(10, 0), Size(630, 480)), Point(10, 10), Point(14, 10), 2 * 5 + 8},
        {Rect(Point(0, 0), Size(10, 480)), Point(9, 10), Point(5, 10), 2 * 5 + 8},
    };
    for (const Case& c : cases) {
        std::fill(Back(), Back() + 640 * 480, 0);
        screen.SetClipRect(c.clip);
        OutlineRect(5, Size(10, 10)).DrawAt(Point(5, 5));
        EXPECT_EQ(At(c.blank.x, c.blank.y), 0) << c.blank.x << "," << c.blank.y;
        EXPECT_EQ(At(c.corner.x, c.corner.y), 5) << c.corner.x << "," << c.corner.y;
        EXPECT_EQ(CountNot(0), c.count) << c.blank.x << "," << c.blank.y;
    }
}

std::unique_ptr<SpriteSet> Frames(int count) {
    auto set = std::make_unique<SpriteSet>(count);
    for (int n = 0; n < count; ++n) {
        std::vector<uint8_t> bytes = CodedBitmap(Size(1, 1), Point(), Size(1, 1), {1, n + 1, 0, 1});
        set->SetFrame(std::make_unique<Bitmap>(bytes.data(), bytes.size()), n);
    }
    return set;
}

class Busy : public Shapes {
protected:
    FakeClock clock{1000};
};

TEST_F(Busy, NestedWaitsSaveTheCursorOnce) {
    screen.cursorShape = 34;
    BusyIndicator busy(Frames(3));
    EXPECT_EQ(busyIndicator, &busy);
    busy.Enable(1);
    EXPECT_EQ(screen.cursorShape, -1);
    screen.cursorShape = 35;  // someone writes it meanwhile
    busy.Enable(1);
    busy.Enable(0);
    EXPECT_EQ(screen.cursorShape, 35);
    busy.Enable(0);
    EXPECT_EQ(screen.cursorShape, 34);
    busy.Enable(0);  // unpaired: nothing to undo
    EXPECT_EQ(busy.Nesting(), 0);
}

TEST_F(Busy, ShowsOneFramePerSecondAndWraps) {
    BusyIndicator busy(Frames(2));
    busy.Enable(1);
    const int presents = screen.presents;
    EXPECT_EQ(busy.Tick(), 1);  // the first tick draws at once
    EXPECT_EQ(screen.presents, presents + 1);
    EXPECT_EQ(screen.FrontPage()[240 * 640 + 320], 1);
    EXPECT_EQ(busy.NextFrame(), 1);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(300);
        EXPECT_EQ(busy.Tick(), 1);  // nothing due, still a success
    }
    EXPECT_EQ(screen.presents, presents + 1);
    clock.Advance(100);
    busy.Tick();
    EXPECT_EQ(screen.presents, presents + 2);
    EXPECT_EQ(screen.FrontPage()[240 * 640 + 320], 2);
    EXPECT_EQ(busy.NextFrame(), 0);
    // The indicator leaves the clip rectangle reset.
    EXPECT_EQ(screen.GetClipRect(), Rect());
}

TEST_F(Busy, NoFrameWithoutAnOpenWait) {
    BusyIndicator busy(Frames(2));
    busy.Enable(1);
    busy.Tick();
    busy.Enable(0);
    const int presents = screen.presents;
    clock.Advance(5000);
    busy.Tick();
    busy.Tick();
    EXPECT_EQ(screen.presents, presents);
}

TEST_F(Busy, DestructorRestoresTheCursorOnlyDuringAWait) {
    screen.cursorShape = 34;
    { BusyIndicator busy(Frames(1)); }
    EXPECT_EQ(screen.cursorShape, 34);
    {
        BusyIndicator busy(Frames(1));
        busy.Enable(1);
    }
    EXPECT_EQ(screen.cursorShape, 34);
    EXPECT_EQ(busyIndicator, nullptr);
}

}  // namespace
