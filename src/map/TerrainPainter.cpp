#include "map/TerrainPainter.h"

#include <algorithm>
#include <cstring>

#include "core/DisplayBase.h"
#include "core/Point.h"
#include "core/Rect.h"
#include "core/RleBlitter.h"
#include "core/Size.h"
#include "core/WindowProc.h"
#include "map/TerrainMap.h"

namespace {
constexpr int kCell = TerrainMap::kCellPixels;
constexpr uint8_t kFog = TerrainMap::kFogColour;
// The fog colour in every byte of a word.
constexpr uint64_t kFogWord = kFog * 0x0101010101010101ull;

int FloorDiv(int v, int d) {
    return v >= 0 ? v / d : -1 - (-1 - v) / d;
}
int CeilDiv(int v, int d) {
    return -FloorDiv(-v, d);
}

// What one frame's drawing needs, fixed for the whole view.
struct Frame {
    TerrainMap& map;
    uint8_t* pixels;
    int32_t pitch;
    int scale;         // 1, 2 or 4
    Point view;        // view origin in map pixels
    Point screen;      // screen pixel of the view origin
    int spanX, spanY;  // view extent in map pixels
};

// The picture and fog of a cell: never-seen cells show the spare tile without fog.
const uint8_t* PictureOf(const Frame& f, int row, int column, bool& fogged) {
    // Visibility answers 1 for every cell under reveal-all and -1 off the map.
    const int v = f.map.Visibility(row, column);
    fogged = v == 0;
    const int tile = v == -1 ? 0 : f.map.SheetTileAt(row, column);
    const uint8_t* picture = f.map.DecodedTile(tile);
    return picture != nullptr ? picture : f.map.DecodedTile(0);
}

// A whole cell at 1:2 or 1:4: every scale-th pixel of every scale-th row; fog where i + j is
// odd.
template <int Scale>
void WholeCellZoomed(const Frame& f, const uint8_t* tile, bool fogged, uint8_t* out) {
    constexpr int side = kCell / Scale;
    for (int j = 0; j < side; ++j, out += f.pitch) {
        const uint8_t* row = tile + j * Scale * kCell;
        if (!fogged) {
            for (int i = 0; i < side; ++i)
                out[i] = row[i * Scale];
        } else {
            for (int i = 0; i < side; ++i)
                out[i] = ((i + j) & 1) ? kFog : row[i * Scale];
        }
    }
}

// Any cell, showing only the samples whose map pixels lie inside the view, moved shiftX screen
// columns right of where those map pixels fall.
void ClippedCell(const Frame& f, int row, int column, int shiftX = 0) {
    const int s = f.scale;
    const int left = column * kCell - f.view.x, top = row * kCell - f.view.y;
    const int side = kCell / s;
    const int i0 = std::max(0, CeilDiv(-left, s)), i1 = std::min(side, CeilDiv(f.spanX - left, s));
    const int j0 = std::max(0, CeilDiv(-top, s)), j1 = std::min(side, CeilDiv(f.spanY - top, s));
    if (i0 >= i1 || j0 >= j1) return;
    bool fogged;
    const uint8_t* tile = PictureOf(f, row, column, fogged);
    if (tile == nullptr) return;
    const int fogParity = s == 1 ? 0 : 1;
    const int baseX = f.screen.x + FloorDiv(left, s) + shiftX,
              baseY = f.screen.y + FloorDiv(top, s);
    for (int j = j0; j < j1; ++j) {
        uint8_t* out = f.pixels + static_cast<ptrdiff_t>(baseY + j) * f.pitch + baseX;
        const uint8_t* src = tile + j * s * kCell;
        // The samples first, then the fog over every other one: no test per pixel.
        if (s == 1) {
            if (!fogged) {
                rle::CopySpan(out + i0, src + i0, i1 - i0);
                continue;
            }
            // The fogged row made whole in words, as for whole cells, and its visible part
            // copied in one piece.
            uint64_t words[kCell / 8];
            std::memcpy(words, src, kCell);
            const uint64_t keep = (j & 1) ? 0x00FF00FF00FF00FFull : 0xFF00FF00FF00FF00ull;
            const uint64_t fog = kFogWord & ~keep;
            for (uint64_t& word : words)
                word = (word & keep) | fog;
            rle::CopySpan(out + i0, reinterpret_cast<const uint8_t*>(words) + i0, i1 - i0);
            continue;
        }
        for (int i = i0; i < i1; ++i)
            out[i] = src[i * s];
        if (fogged) {
            // The first i from i0 with (i + j) & 1 == fogParity.
            for (int i = i0 + (((i0 + j) & 1) != fogParity ? 1 : 0); i < i1; i += 2)
                out[i] = kFog;
        }
    }
}

void WholeCell(const Frame& f, int row, int column) {
    bool fogged;
    const uint8_t* tile = PictureOf(f, row, column, fogged);
    if (tile == nullptr) return;
    const int x = f.screen.x + (column * kCell - f.view.x) / f.scale;
    const int y = f.screen.y + (row * kCell - f.view.y) / f.scale;
    uint8_t* out = f.pixels + static_cast<ptrdiff_t>(y) * f.pitch + x;
    // 1:1 goes a row of cells at a time (WholeRow1).
    if (f.scale == 2) {
        WholeCellZoomed<2>(f, tile, fogged, out);
    } else {
        WholeCellZoomed<4>(f, tile, fogged, out);
    }
}
// A row of whole cells at 1:1, written a pixel row at a time across all of them, so that the
// page is filled in the order it lies in memory.
void WholeRow1(const Frame& f, int row, int firstColumn, int lastColumn) {
    constexpr int kMaxAcross = 64;
    const uint8_t* tiles[kMaxAcross];
    bool fogs[kMaxAcross];
    const int y = f.screen.y + (row * kCell - f.view.y);
    for (int first = firstColumn; first <= lastColumn; first += kMaxAcross) {
        const int count = std::min(kMaxAcross, lastColumn - first + 1);
        for (int k = 0; k < count; ++k)
            tiles[k] = PictureOf(f, row, first + k, fogs[k]);
        uint8_t* out = f.pixels + static_cast<ptrdiff_t>(y) * f.pitch + f.screen.x +
                       (first * kCell - f.view.x);
        for (int j = 0; j < kCell; ++j, out += f.pitch) {
            // The lowest byte of a word is its leftmost pixel; fog where i + j is even.
            const uint64_t keep = (j & 1) ? 0x00FF00FF00FF00FFull : 0xFF00FF00FF00FF00ull;
            const uint64_t fog = (j & 1) ? 0xFE00FE00FE00FE00ull : 0x00FE00FE00FE00FEull;
            for (int k = 0; k < count; ++k) {
                if (tiles[k] == nullptr) continue;
                const uint8_t* tile = tiles[k] + j * kCell;
                if (!fogs[k]) {
                    std::memcpy(out + k * kCell, tile, kCell);
                    continue;
                }
                uint64_t words[kCell / 8];
                std::memcpy(words, tile, kCell);
                for (uint64_t& word : words)
                    word = (word & keep) | fog;
                std::memcpy(out + k * kCell, words, kCell);
            }
        }
    }
}
}  // namespace

void TerrainPainter::DrawView(TerrainMap& map, const Point& viewOrigin, int zoomShift) {
    if (display == nullptr || !map.HasTiles() || zoomShift < 0 || zoomShift > 2) return;
    // The caller keeps the origin on the map; a negative one draws nothing.
    if (viewOrigin.x < 0 || viewOrigin.y < 0) return;
    const int s = 1 << zoomShift;
    const Size cells = map.ViewSizeInCells();
    if (cells.w <= 0 || cells.h <= 0) return;

    // 1. Decode the tiles of the view's map rectangle.
    map.DecodeVisibleTiles(Rect(viewOrigin, Size(cells.w * kCell * s, cells.h * kCell * s)));
    // 2, 3. Screen origin and frame buffer.
    const Rect screenRect = map.ScreenRect();
    const Point screen = screenRect.origin;
    // At 1:2 and 1:4 the right cut column (corners aside) ends on the rectangle's own last
    // column, even when the rectangle is wider than its whole cells, and the columns it moves
    // off keep what they held. The battle screen gives such a width only when the whole map
    // fits across the view, with the origin at 0 and no cut column, so the gap never shows.
    const int rightCutShift = s > 1 ? screenRect.extent.w - cells.w * kCell : 0;
    uint8_t* pixels = nullptr;
    Size bufferSize;
    int32_t pitch = 0;
    display->GetFrameBuffer(pixels, bufferSize, pitch);
    // Never write outside the buffer, whatever the screen rectangle says.
    if (pixels == nullptr || screen.x < 0 || screen.y < 0 ||
        screen.x + cells.w * kCell + rightCutShift > bufferSize.w ||
        screen.y + cells.h * kCell > bufferSize.h || pitch < bufferSize.w) {
        display->ReleaseFrameBuffer();
        return;
    }
    const int across = cells.w * s, down = cells.h * s;
    const Frame f{map, pixels, pitch, s, viewOrigin, screen, across * kCell, down * kCell};

    // 4, 5. First row and column, offsets, and the cut rows and columns.
    const int r0 = viewOrigin.y / kCell, oy = viewOrigin.y % kCell;
    const int c0 = viewOrigin.x / kCell, ox = viewOrigin.x % kCell;
    const int firstRow = oy == 0 ? r0 : r0 + 1, lastRow = r0 + down - 1;
    const int firstColumn = ox == 0 ? c0 : c0 + 1, lastColumn = c0 + across - 1;

    // 6. Whole cells, a row at a time, letting the cursor follow the mouse.
    for (int row = firstRow; row <= lastRow; ++row) {
        PumpMouseMove();
        if (s == 1) {
            WholeRow1(f, row, firstColumn, lastColumn);
            continue;
        }
        for (int column = firstColumn; column <= lastColumn; ++column)
            WholeCell(f, row, column);
    }
    // 7. Cut cells: top and bottom rows, left and right columns, then the corners.
    if (oy != 0) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            ClippedCell(f, r0, column);
            ClippedCell(f, r0 + down, column);
        }
    }
    if (ox != 0) {
        for (int row = firstRow; row <= lastRow; ++row) {
            ClippedCell(f, row, c0);
            ClippedCell(f, row, c0 + across, rightCutShift);
        }
    }
    if (oy != 0 && ox != 0) {
        ClippedCell(f, r0, c0);
        ClippedCell(f, r0, c0 + across);
        ClippedCell(f, r0 + down, c0);
        ClippedCell(f, r0 + down, c0 + across);
    }
    // 8.
    display->ReleaseFrameBuffer();
}
