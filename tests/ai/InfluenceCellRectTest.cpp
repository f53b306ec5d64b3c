// The influence grid's cells at the map's right and bottom edges are cut to the map, each way
// on its own, and their centres are the centres of what is left.
#include <gtest/gtest.h>

#include "AIFixture.h"
#include "ai/InfluenceGrid.h"

TEST(InfluenceCellRect, TheLastColumnAndRowAreCutToTheMap) {
    // 300 px cells on the 768 × 640 map: the last column is 168 px wide, the last row 40 high.
    AIWorld land;
    InfluenceGrid grid(land.world, 300, 300);
    ASSERT_EQ(grid.Columns(), 3);
    ASSERT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.CellRect(*grid.CellAt(0, 2)), Rect(Point(600, 0), Size(168, 300)));
    EXPECT_EQ(grid.CellRect(*grid.CellAt(2, 0)), Rect(Point(0, 600), Size(300, 40)));
    EXPECT_EQ(grid.CellRect(*grid.CellAt(2, 2)), Rect(Point(600, 600), Size(168, 40)));
    EXPECT_EQ(grid.CellCentre(*grid.CellAt(2, 2)), Point(684, 620));
}
