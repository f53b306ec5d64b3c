#include "ui/ScrollList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/InputEvent.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "support/DisplayFixtures.h"

namespace {

class Lists : public ::testing::Test, public ScreenFixture {
protected:
    // Ten rows of 10 pixels, arrows beside the top and the bottom row.
    Lists() {
        list.upRect = Rect(Point(190, 100), Size(10, 10));
        list.downRect = Rect(Point(190, 190), Size(10, 10));
    }
    static InputEvent Event(InputKind kind, int x, int y) {
        return InputEvent(kind, Point(x, y), 'L');
    }
    TextWriter font{MakeTestFont()};
    ScrollList list{Rect(Point(100, 100), Size(80, 100)), 10, &font, 50};
};

TEST_F(Lists, ShortListNeverScrolls) {
    list.SetCount(3);
    EXPECT_EQ(list.ScrollDown(), 0);
    list.ScrollToEnd();
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(list.ScrollPercent(), 0);
}

TEST_F(Lists, ScrollPercentRoundTrips) {
    list.SetCount(30);
    list.SetScrollPercent(50);
    EXPECT_EQ(list.top, 10);
    EXPECT_EQ(list.ScrollPercent(), 50);
    list.SetScrollPercent(250);
    EXPECT_EQ(list.top, 20);
    list.SetScrollPercent(-40);
    EXPECT_EQ(list.top, 0);
}

TEST_F(Lists, ShrinkingTheCountPullsTheSelectionIn) {
    list.SetCount(10);
    list.SetSelection(7);
    list.SetCount(5);
    EXPECT_EQ(list.selection, 4);
    list.SetSelection(12);
    EXPECT_EQ(list.selection, 4);
}

TEST_F(Lists, SelectingALineOutOfViewScrollsItIn) {
    list.SetCount(30);
    // Ten rows show; a line whose middle leaves the list becomes the bottom row, one above
    // it the top row.
    const struct {
        int top, select, newTop;
    } cases[] = {{0, 9, 0}, {0, 10, 1}, {0, 15, 6}, {20, 3, 3}, {20, 19, 19}, {5, 0, 0}};
    for (const auto& c : cases) {
        list.top = c.top;
        list.SetSelection(c.select);
        EXPECT_EQ(list.top, c.newTop) << c.top << " " << c.select;
    }
}

TEST_F(Lists, ClicksSelectLinesAndStopAtTheLastOne) {
    list.SetCount(4);
    EXPECT_EQ(list.HandleMouse(Event(InputKind::ButtonDown, 120, 125)), 1);
    EXPECT_EQ(list.selection, 2);
    list.HandleMouse(Event(InputKind::ButtonDown, 120, 195));
    EXPECT_EQ(list.selection, 3);
    // A count that ends at the selected line moves the selection onto the new last line.
    list.SetCount(3);
    EXPECT_EQ(list.selection, 2);
    list.SetCount(0);
    list.HandleMouse(Event(InputKind::ButtonDown, 120, 150));
    EXPECT_EQ(list.selection, -1);
    EXPECT_EQ(list.HandleMouse(Event(InputKind::ButtonDown, 20, 20)), 0);
    EXPECT_EQ(list.HandleMouse(Event(InputKind::MouseMove, 120, 150)), 0);
}

TEST_F(Lists, ClickingAVisibleLineKeepsTheView) {
    list.SetCount(30);
    for (const int y : {105, 111, 112, 195}) {
        list.top = 10;
        list.HandleMouse(Event(InputKind::ButtonDown, 120, y));
        EXPECT_EQ(list.selection, 10 + (y - 102) / 10) << y;
        EXPECT_EQ(list.top, 10) << y;
    }
}

TEST_F(Lists, ArrowClickScrollsOneLineOnRelease) {
    list.SetCount(30);
    // Both presses are the list's own: the screen must not act on them too.
    EXPECT_EQ(list.HandleMouse(Event(InputKind::ButtonDown, 195, 195)), 1);
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(list.HandleMouse(Event(InputKind::ButtonUp, 195, 195)), 1);
    EXPECT_EQ(list.top, 1);
    EXPECT_EQ(list.HandleMouse(Event(InputKind::ButtonDown, 195, 105)), 1);
    EXPECT_EQ(list.HandleMouse(Event(InputKind::ButtonUp, 195, 105)), 1);
    EXPECT_EQ(list.top, 0);
    // Each scroll says whether it moved.
    EXPECT_EQ(list.ScrollUp(), 0);
    EXPECT_EQ(list.ScrollDown(), 1);
    EXPECT_EQ(list.ScrollUp(), 1);
    EXPECT_EQ(list.top, 0);
}

TEST_F(Lists, HeldArrowRepeatsFromTheFourthTick) {
    list.SetCount(30);
    list.HandleMouse(Event(InputKind::ButtonDown, 195, 195));
    for (int tick = 1; tick <= 3; ++tick)
        list.Tick();
    EXPECT_EQ(list.top, 0);
    list.Tick();
    EXPECT_EQ(list.top, 1);
    list.Tick();
    list.Tick();
    EXPECT_EQ(list.top, 3);
    list.HandleMouse(Event(InputKind::ButtonUp, 300, 300));  // released elsewhere
    list.Tick();
    EXPECT_EQ(list.top, 3);
    EXPECT_EQ(list.scrollingDown, 0);
    EXPECT_EQ(list.repeatCount, 0);
}

TEST_F(Lists, OnlyVisibleLinesAreDrawnAndTheSelectionSitsOnItsBar) {
    list.SetCount(30);
    list.SetSelection(0);
    EXPECT_EQ(list.Draw(10, "X", 9), 0);
    EXPECT_EQ(CountNot(0), 0);
    EXPECT_EQ(list.Draw(0, "I", 9), 1);
    EXPECT_EQ(list.SelectedItemPosition(), Point(101, 104));
    EXPECT_EQ(At(101, 104), 50);
    EXPECT_EQ(At(178, 113), 50);
    EXPECT_EQ(At(103, 106), 9);  // the I's top bar: pen at (102, 112 - 6)
    list.ScrollDown();
    EXPECT_EQ(list.Draw(0, "I", 9), 0);
    EXPECT_EQ(screen.GetClipRect(), Rect());
    // With a view offset the list moves the other way: its origin is (100, 100) - (-20, -30),
    // and the top row is now line 1.
    std::fill(Back(), Back() + 640 * 480, 0);
    list.selection = 1;
    const Point offset(-20, -30);
    EXPECT_EQ(list.Draw(1, "I", 9, &offset), 1);
    EXPECT_EQ(At(121, 134), 50);
    EXPECT_EQ(At(198, 143), 50);
    EXPECT_EQ(At(123, 136), 9);
    EXPECT_EQ(CountNot(0), 78 * 10);
}

// A line wider than the list (80 pixels) is cut as far as it must be and ends in the cut mark;
// one that fits, to its last pixel, is drawn whole.
TEST_F(Lists, ALineTooWideForTheListEndsInTheCutMark) {
    std::string fits;
    while (font.TextWidth((fits + "W").c_str()) <= 80)
        fits += "W";
    const struct {
        std::string text;
        bool whole;
    } lines[] = {{"", true},
                 {"I", true},
                 {fits, true},
                 {fits + "I", false},
                 {"Heavy Assault Destroyer Mk II", false},
                 {std::string(300, 'x'), false}};
    for (const auto& l : lines) {
        const std::string shown = list.FitLine(l.text.c_str());
        EXPECT_LE(font.TextWidth(shown.c_str()), 80) << l.text;
        if (l.whole) {
            EXPECT_EQ(shown, l.text);
            continue;
        }
        const size_t kept = shown.size() - 2;
        ASSERT_EQ(shown.substr(kept), ScrollList::kCutMark) << l.text;
        EXPECT_EQ(shown.substr(0, kept), l.text.substr(0, kept));
        EXPECT_GT(font.TextWidth((l.text.substr(0, kept + 1) + ScrollList::kCutMark).c_str()), 80)
            << l.text;
    }
    // A cut line with its mark exactly as wide as the list keeps that character.
    const ScrollList narrow{Rect(Point(100, 100), Size(font.TextWidth("WWW.."), 100)), 10, &font,
                            50};
    EXPECT_EQ(narrow.FitLine("WWWWWW"), "WWW..");
}

TEST_F(Lists, ZeroLineHeightCountsAsOne) {
    ScrollList list(Rect(Point(0, 0), Size(10, 20)), 0, &font, 1);
    EXPECT_EQ(list.lineHeight, 1);
    EXPECT_EQ(list.visibleRows, 20);
}

}  // namespace
