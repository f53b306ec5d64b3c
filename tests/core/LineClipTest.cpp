// Lines cut at each edge of a clip rectangle keep their slope: every cut point is computed from
// the unclipped start, so a cut line draws the pixels of the whole line that lie inside.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <random>
#include <vector>

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

// A line that only grazes a corner may cut to ends on both sides of an edge, since each cut
// truncates; such a line is dropped whole, even where one cut end lies inside.
TEST_F(LineClip, ALineWhoseCutEndsFallOutsideTheClipDrawsNothing) {
    const Point lines[][2] = {
        {{169, 114}, {128, 84}},   // top right: cut to a vertical step out of the top
        {{110, 178}, {164, 138}},  // bottom right
        {{93, 131}, {109, 174}},   // bottom left
        {{75, 156}, {112, 73}},    // top left
        {{61, 135}, {180, 180}},   // bottom left, cut to a row that leaves by the left
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(testing::Message() << line[0].x << "," << line[0].y);
        FullClip();
        std::fill(Back(), Back() + 640 * 480, 0);
        screen.SetClipRect(Rect(Point(100, 100), Size(50, 50)));
        screen.DrawLine(5, 1, line[0], line[1]);
        screen.DrawDashedLine(5, 1, 2, 1, 0, line[0], line[1]);
        EXPECT_EQ(CountNot(0), 0);
    }
}

// Random lines inside the screen, by the rules a caller sees: a non-vertical line is one
// pixel per step of its longer axis, both ends included, each pixel within half a pixel of the
// ideal line; a vertical one runs from its second end and leaves out the first. A dashed line
// walks the same pixels: the start, then `phase` skipped, then dashes and gaps; a wide one
// adds neighbours across its longer axis.
TEST_F(LineClip, RandomLinesKeepToTheIdealLineAndTheirDashes) {
    std::mt19937 rng(36482);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 600; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const Point from(pick(5, 60), pick(5, 60));
        Point to(pick(5, 60), pick(5, 60));
        if (round % 5 == 0) to.x = from.x;  // vertical
        if (to == from) continue;
        FullClip();
        std::fill(Back(), Back() + 640 * 480, 0);
        screen.DrawLine(5, 1, from, to);
        const Point start = from.x < to.x ? from : to;
        const Point end = from.x < to.x ? to : from;
        const int dx = end.x - start.x, dy = end.y - start.y;
        const bool steep = dx == 0 || std::abs(dy) > dx;
        // The walk's pixels in order: one per step along the longer axis from the start.
        std::vector<Point> walk;
        for (int y = 0; y < 70; ++y) {
            for (int x = 0; x < 70; ++x) {
                if (At(x, y) == 5) walk.push_back(Point(x, y));
            }
        }
        auto along = [&](const Point& p) {
            return steep ? std::abs(p.y - start.y) : std::abs(p.x - start.x);
        };
        std::sort(walk.begin(), walk.end(),
                  [&](const Point& a, const Point& b) { return along(a) < along(b); });
        if (dx == 0) {
            ASSERT_EQ(static_cast<int>(walk.size()), std::abs(dy));
            EXPECT_EQ(At(to.x, to.y), 5);
            EXPECT_EQ(At(from.x, from.y), 0);
            for (size_t i = 0; i < walk.size(); ++i)
                EXPECT_EQ(along(walk[i]), static_cast<int>(i));
        } else {
            ASSERT_EQ(static_cast<int>(walk.size()), std::max(dx, std::abs(dy)) + 1);
            for (size_t i = 0; i < walk.size(); ++i) {
                const Point& p = walk[i];
                ASSERT_EQ(along(p), static_cast<int>(i));
                // Distance from the ideal line along the shorter axis, doubled: at most 1.
                const int64_t off =
                    steep ? int64_t{2} * ((p.x - start.x) * dy - (p.y - start.y) * dx)
                          : int64_t{2} * ((p.y - start.y) * dx - (p.x - start.x) * dy);
                ASSERT_LE(std::abs(off), steep ? std::abs(dy) : dx) << p.x << "," << p.y;
            }
            EXPECT_EQ(walk.front(), start);
            EXPECT_EQ(walk.back(), end);
        }

        const int width = pick(0, 4), dash = pick(2, 5), gap = pick(1, 6), phase = pick(0, 8);
        std::vector<uint8_t> expected(640 * 480, 0);
        auto put = [&](int x, int y) { expected[static_cast<size_t>(y * 640 + x)] = 7; };
        for (size_t i = 0; i < walk.size(); ++i) {
            // A non-vertical line's start is drawn whatever the phase: with no phase it is the
            // first pixel of the first dash, otherwise the phase is counted after it.
            const int cycle = dash + gap, index = static_cast<int>(i);
            bool drawn;
            if (dx == 0) {
                drawn = index >= phase && (index - phase) % cycle < dash;
            } else if (phase == 0) {
                drawn = index % cycle < dash;
            } else {
                drawn = index == 0 || (index > phase && (index - phase - 1) % cycle < dash);
            }
            if (!drawn) continue;
            const Point& p = walk[i];
            put(p.x, p.y);
            if (width == 2 || width == 3) steep ? put(p.x - 1, p.y) : put(p.x, p.y - 1);
            if (width == 3) steep ? put(p.x + 1, p.y) : put(p.x, p.y + 1);
        }
        std::fill(Back(), Back() + 640 * 480, 0);
        screen.DrawDashedLine(7, width, dash, gap, phase, from, to);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), Back()))
            << "dash " << dash << " gap " << gap << " phase " << phase << " width " << width
            << " from " << from.x << "," << from.y << " to " << to.x << "," << to.y;
    }
}

}  // namespace
