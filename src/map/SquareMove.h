#pragma once
// Moving a viewer's square of counts on a grid without recounting the cells the old and the new
// square share. Removing and then adding a count leaves a cell as it was when it counts at least
// 1 (the viewer's own count is there); the clamps of a removal make a difference only below
// that. So where every cell of the overlap counts at least 1, only the cells that leave the
// square lose a count and only those that enter it gain one, with the same results as the full
// removal followed by the full addition.
#include <algorithm>
#include <cstddef>
#include <cstdint>

struct CountSquare {
    int row0, column0, row1, column1;  // inclusive; empty when row1 < row0 or column1 < column0

    bool Contains(int row, int column) const {
        return row >= row0 && row <= row1 && column >= column0 && column <= column1;
    }
};

// The square of cells within `reach` of (row, column), cut to rows x columns.
inline CountSquare SquareAbout(int row, int column, int reach, int rows, int columns) {
    return CountSquare{std::max(0, row - reach), std::max(0, column - reach),
                       std::min(rows - 1, row + reach), std::min(columns - 1, column + reach)};
}

// Calls change(v) on the cells of `square` that `other` does not cover: whole rows outside its
// rows, and on its rows the columns left and right of it.
template <class Change>
void ForCellsOutside(int32_t* cells, int pitch, const CountSquare& square, const CountSquare& other,
                     Change change) {
    for (int r = square.row0; r <= square.row1; ++r) {
        int32_t* row = cells + static_cast<std::ptrdiff_t>(r) * pitch;
        if (r < other.row0 || r > other.row1 || other.column1 < other.column0) {
            for (int c = square.column0; c <= square.column1; ++c)
                change(row[c]);
            continue;
        }
        for (int c = square.column0; c <= std::min(square.column1, other.column0 - 1); ++c)
            change(row[c]);
        for (int c = std::max(square.column0, other.column1 + 1); c <= square.column1; ++c)
            change(row[c]);
    }
}

// Moves the square `from` to `to` on a grid of `pitch` counts a row: remove(v) on the cells
// only `from` covers, add(v) on those only `to` covers. Answers false, changing nothing, when a
// cell of the overlap counts below 1: the caller then removes and adds in full.
template <class Remove, class Add>
bool MoveCountSquare(int32_t* cells, int pitch, const CountSquare& from, const CountSquare& to,
                     Remove remove, Add add) {
    const CountSquare both{std::max(from.row0, to.row0), std::max(from.column0, to.column0),
                           std::min(from.row1, to.row1), std::min(from.column1, to.column1)};
    if (both.row0 <= both.row1 && both.column0 <= both.column1) {
        for (int r = both.row0; r <= both.row1; ++r) {
            const int32_t* row = cells + static_cast<std::ptrdiff_t>(r) * pitch;
            int32_t least = 1;
            for (int c = both.column0; c <= both.column1; ++c)
                least = std::min(least, row[c]);
            if (least < 1) return false;
        }
    }
    ForCellsOutside(cells, pitch, from, to, remove);
    ForCellsOutside(cells, pitch, to, from, add);
    return true;
}
