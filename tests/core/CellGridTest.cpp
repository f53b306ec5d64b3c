#include "core/CellGrid.h"

#include <gtest/gtest.h>

namespace {

TEST(CellGrid, CountsRoundUpAndPointsFindTheirCells) {
    CellGrid grid(Size(32, 32), Size(100, 50), 2);
    EXPECT_EQ(grid.Columns(), 4);
    EXPECT_EQ(grid.Rows(), 2);
    int32_t row = 0, column = 0;
    grid.PointToCell(Point(99, 49), row, column);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 3);
    // Right of the last column the index spills into the next row.
    grid.PointToCell(Point(128, 0), row, column);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 0);
}

TEST(CellGrid, CellBytesStartZeroAndStayInRange) {
    CellGrid grid(Size(32, 32), Size(100, 50), 3);
    ASSERT_NE(grid.CellData(1, 3), nullptr);
    EXPECT_EQ(grid.CellData(1, 3)[2], 0);
    grid.CellData(1, 3)[2] = 7;
    EXPECT_EQ(grid.Cells()[(1 * 4 + 3) * 3 + 2], 7);
    EXPECT_EQ(grid.CellData(2, 0), nullptr);
    EXPECT_EQ(grid.CellData(0, -1), nullptr);
}

TEST(CellGrid, CornersAndCentres) {
    CellGrid grid(Size(64, 64), Size(640, 640), 1);
    EXPECT_EQ(grid.CellCentre(0, 0), Point(32, 32));
    EXPECT_EQ(grid.CellCorner(2, 3), Point(192, 128));
    CellGrid odd(Size(33, 33), Size(99, 99), 1);
    EXPECT_EQ(odd.CellCentre(0, 0), Point(16, 16));
}

TEST(CellGrid, ZeroCellSizeMakesAnEmptyGrid) {
    CellGrid grid(Size(0, 32), Size(100, 50), 1);
    EXPECT_EQ(grid.Columns(), 0);
    int32_t row = 5, column = 5;
    grid.PointToCell(Point(10, 10), row, column);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(column, -1);
    EXPECT_EQ(grid.CellData(0, 0), nullptr);
}

}  // namespace
