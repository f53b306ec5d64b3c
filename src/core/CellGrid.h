#pragma once
// An area divided into equal cells with a fixed number of bytes kept per cell (the sight grid
// is built on it). Cells are addressed (row, column).
#include <cstdint>
#include <vector>

#include "core/Point.h"
#include "core/Size.h"

class CellGrid {
public:
    // Columns and rows round up; every cell byte starts zero. A cell size of 0 makes an empty
    // grid.
    CellGrid(const Size& cell, const Size& area, int32_t bytesPerCell);
    virtual ~CellGrid() = default;

    // index = x / cell.w + (y / cell.h) * columns, then row = index / columns and column =
    // index mod columns. A point right of the last column spills into the following rows;
    // callers pass points inside the area. Both are -1 on an empty grid.
    void PointToCell(const Point& point, int32_t& row, int32_t& column) const;

    bool Contains(int32_t row, int32_t column) const {
        return row >= 0 && column >= 0 && row < rows && column < columns;
    }
    // The bytes of a cell, or null outside the grid.
    uint8_t* CellData(int32_t row, int32_t column);
    const uint8_t* CellData(int32_t row, int32_t column) const;

    Size AreaSize() const { return area; }
    Size CellSize() const { return cell; }
    // The top-left pixel of a cell.
    Point CellCorner(int32_t row, int32_t column) const;
    // The centre pixel of a cell (halves by arithmetic shift).
    Point CellCentre(int32_t row, int32_t column) const;
    int32_t Rows() const { return rows; }
    int32_t Columns() const { return columns; }
    int32_t BytesPerCell() const { return bytesPerCell; }
    uint8_t* Cells() { return cells.data(); }

protected:
    Size area;
    Size cell;
    int32_t bytesPerCell;
    std::vector<uint8_t> cells;
    int32_t rows = 0;
    int32_t columns = 0;
};
