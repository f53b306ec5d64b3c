// Lines cut at each edge of a clip rectangle keep their slope: every cut point is computed from
// the unclipped start, so a cut line draws the pixels of the whole line that lie inside.
#include <gtest/gtest.h>

#include <iterator>

#include "core/MemoryDisplay.h"
#include "support/DisplayFixtures.h"

namespace {

class LineClip : public ::testing::Test, public ScreenFixture {};

TEST_F(LineClip, ACutLineEndsWhereTheWholeLineCrossesTheEdge) {
    struct Case {
        Point from, to;
        Point first, last;  // the drawn ends, in the order the line runs from the left
    };
    // The clip is 100 .. 149 both ways; the first lines are 20 wide and cut at the top or
    // bottom, the last ones cut at the right or left.
    const Case cases[] = {
        {{100, 100}, {120, 200}, {100, 100}, {109, 149}},  // downward, cut at the bottom
        {{120, 200}, {100, 100}, {100, 100}, {109, 149}},  // the same drawn from its other end
        {{100, 149}, {120, 49}, {100, 149}, {109, 100}},   // upward, cut at the top
        {{100, 0}, {120, 149}, {113, 100}, {120, 149}},    // downward, starting above the top
        {{100, 249}, {120, 100}, {113, 149}, {120, 100}},  // upward, starting below the bottom
        {{100, 100}, {200, 120}, {100, 100}, {149, 109}},  // shallow, cut at the right
        {{0, 100}, {149, 130}, {100, 120}, {149, 130}},    // shallow, starting left of the clip
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i);
        FullClip();
        std::fill(Back(), Back() + 640 * 480, 0);
        screen.SetClipRect(Rect(Point(100, 100), Size(50, 50)));
        screen.DrawLine(5, 1, c.from, c.to);
        EXPECT_EQ(At(c.first.x, c.first.y), 5);
        EXPECT_EQ(At(c.last.x, c.last.y), 5);
        // One pixel a row (or a column) from edge to edge.
        EXPECT_EQ(CountNot(0), 50);
    }
}

}  // namespace
