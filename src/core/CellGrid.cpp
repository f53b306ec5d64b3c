#include "core/CellGrid.h"

#include <algorithm>

namespace {
int32_t CeilDiv(int32_t length, int32_t step) {
    if (step <= 0 || length <= 0) return 0;
    return length / step + (length % step > 0 ? 1 : 0);
}
}  // namespace

CellGrid::CellGrid(const Size& cell, const Size& area, int32_t bytesPerCell)
    : area(area), cell(cell), bytesPerCell(std::max(bytesPerCell, 0)) {
    columns = CeilDiv(area.w, cell.w);
    rows = CeilDiv(area.h, cell.h);
    cells.assign(static_cast<size_t>(columns) * rows * this->bytesPerCell, 0);
}

void CellGrid::PointToCell(const Point& point, int32_t& row, int32_t& column) const {
    if (cell.w == 0 || cell.h == 0 || columns == 0) {
        row = -1;
        column = -1;
        return;
    }
    const int32_t index = point.x / cell.w + (point.y / cell.h) * columns;
    row = index / columns;
    column = index % columns;
}

uint8_t* CellGrid::CellData(int32_t row, int32_t column) {
    if (!Contains(row, column)) return nullptr;
    return cells.data() + (static_cast<size_t>(row) * columns + column) * bytesPerCell;
}

const uint8_t* CellGrid::CellData(int32_t row, int32_t column) const {
    return const_cast<CellGrid*>(this)->CellData(row, column);
}

Point CellGrid::CellCorner(int32_t row, int32_t column) const {
    return Point(column * cell.w, row * cell.h);
}

Point CellGrid::CellCentre(int32_t row, int32_t column) const {
    return Point(column * cell.w + (cell.w >> 1), row * cell.h + (cell.h >> 1));
}
