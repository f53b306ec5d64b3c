// A change of a scroll list's count keeps the rows it shows filled: a list scrolled down pulls
// back as far as it must and no further, and a list that exactly fills its rows stays where it
// is.
#include <gtest/gtest.h>

#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "support/DisplayFixtures.h"
#include "ui/ScrollList.h"

namespace {

class ListCounts : public ::testing::Test, public ScreenFixture {
protected:
    TextWriter font{MakeTestFont()};
    // Ten rows of 10 pixels.
    ScrollList list{Rect(Point(100, 100), Size(80, 100)), 10, &font, 50};
};

TEST_F(ListCounts, ANewCountScrollsBackOnlyAsFarAsTheRowsNeed) {
    const struct {
        int count, top, newCount, topAfter;
    } cases[] = {
        {13, 3, 10, 0},    // shrunk to exactly its rows: from the top
        {30, 5, 15, 5},    // exactly filled from where it stands: stays
        {30, 5, 14, 4},    // one short: back by one
        {30, 0, 40, 0},    // grown: never scrolls
        {30, 20, 40, 20},  // grown while scrolled: stays
        {30, 20, 3, 0},    // shorter than its rows: from the top
    };
    for (const auto& c : cases) {
        list.SetCount(c.count);
        list.top = c.top;
        list.SetCount(c.newCount);
        EXPECT_EQ(list.top, c.topAfter) << c.count << " at " << c.top << " to " << c.newCount;
        // The last row shown is a line of the list whenever the list fills its rows.
        if (c.newCount >= list.visibleRows) {
            EXPECT_LE(list.top + list.visibleRows, c.newCount);
            EXPECT_EQ(list.ScrollDown(), list.top + list.visibleRows < c.newCount ? 1 : 0);
        }
    }
}

}  // namespace
