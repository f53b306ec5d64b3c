#include "map/TerrainPainter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "map/LandFixture.h"
#include "map/TerrainMap.h"

namespace {
constexpr uint8_t kUntouched = 3;
constexpr int kWidth = DisplayBase::kScreenWidth;

int CeilDiv(int v, int d) {
    return v >= 0 ? (v + d - 1) / d : -((-v) / d);
}

class TerrainPainterTest : public ::testing::Test {
protected:
    // A 24 x 20 map with every visibility value and a few cells that show the spare tile.
    void SetUp() override {
        LandLayout layout;
        layout.columns = 24;
        layout.rows = 20;
        files.WriteLand(layout);
        map = std::make_unique<TerrainMap>();
        map->SetDiscDataPath(files.Path().c_str());
        map->SetLocalDataPath(files.Path().c_str());
        map->Load("edit.lnd");
        ASSERT_TRUE(map->HasTiles());
        std::mt19937 random(7);
        for (int row = 0; row < 20; ++row) {
            for (int column = 0; column < 24; ++column) {
                const int pick = static_cast<int>(random() % 4);  // -1, 0, 1 or 2
                if (pick >= 1) map->AddVisibility(row, column, pick);
                if (pick == 1) map->AddVisibility(row, column, -1);
            }
        }
    }

    // The pixel the view shows at screen offset (u, w) from the view's corner.
    uint8_t Expected(const Point& view, int shift, int u, int w) const {
        const int s = 1 << shift;
        const int x = s * (u + CeilDiv(view.x, s)), y = s * (w + CeilDiv(view.y, s));
        const int row = y / 32, column = x / 32, i = (x % 32) / s, j = (y % 32) / s;
        int v = map->Visibility(row, column);
        const int tile = v == -1 ? 0 : map->SheetTileAt(row, column);
        const bool fogParity = ((i + j) & 1) == (s == 1 ? 0 : 1);
        if (v == 0 && fogParity) return TerrainMap::kFogColour;
        return TilePixel(tile, i * s, j * s);
    }

    // What screen offset (u, w) from the screen rectangle's corner holds after a drawing:
    // the view's whole-cell area as Expected, except that at 1:2 and 1:4 the right cut column
    // beside the whole rows ends on the rectangle's last column; kUntouched everywhere else.
    uint8_t Want(const Point& view, int shift, int u, int w) const {
        const Size extent = map->ScreenRect().extent;
        const Size cells = map->ViewSizeInCells();
        const int areaW = cells.w * 32, areaH = cells.h * 32;
        if (u < 0 || w < 0 || u >= extent.w || w >= areaH) return kUntouched;
        const int s = 1 << shift, ox = view.x % 32, oy = view.y % 32;
        // Screen rows of the top and bottom cut rows, and columns of the right cut column.
        const int topRows = oy == 0 ? 0 : 32 / s - CeilDiv(oy, s);
        const int bottomRows = CeilDiv(oy, s), cutColumns = CeilDiv(ox, s);
        const int moved = shift == 0 ? 0 : extent.w - areaW;
        if (w >= topRows && w < areaH - bottomRows) {
            if (u >= areaW - cutColumns + moved && u < areaW + moved)
                return Expected(view, shift, u - moved, w);
            if (u >= areaW - cutColumns) return kUntouched;
        }
        return u < areaW ? Expected(view, shift, u, w) : kUntouched;
    }

    // Every sample of every cell the view meets, placed by its map pixel (the right cut column
    // moved as Want says), lands on a distinct pixel, and exactly the pixels Want draws.
    ::testing::AssertionResult SamplesCoverEachDrawnPixelOnce(const Point& view, int shift) {
        const Size extent = map->ScreenRect().extent;
        const Size cells = map->ViewSizeInCells();
        const int s = 1 << shift, spanX = cells.w * 32 * s, spanY = cells.h * 32 * s;
        const int c0 = view.x / 32, r0 = view.y / 32, across = cells.w * s, down = cells.h * s;
        const bool cutRows = view.y % 32 != 0;
        std::vector<int> hits(static_cast<size_t>(extent.w) * extent.h, 0);
        for (int row = r0; row <= r0 + down; ++row) {
            for (int column = c0; column <= c0 + across; ++column) {
                const bool rightCut = column == c0 + across && view.x % 32 != 0;
                const bool corner = cutRows && (row == r0 || row == r0 + down);
                const int moved = shift > 0 && rightCut && !corner ? extent.w - cells.w * 32 : 0;
                for (int j = 0; j < 32 / s; ++j) {
                    for (int i = 0; i < 32 / s; ++i) {
                        const int x = column * 32 + i * s - view.x, y = row * 32 + j * s - view.y;
                        if (x < 0 || y < 0 || x >= spanX || y >= spanY) continue;
                        ++hits[static_cast<size_t>(y / s) * extent.w + x / s + moved];
                    }
                }
            }
        }
        for (int w = 0; w < extent.h; ++w) {
            for (int u = 0; u < extent.w; ++u) {
                const int count = hits[static_cast<size_t>(w) * extent.w + u];
                if (count != (Want(view, shift, u, w) == kUntouched ? 0 : 1)) {
                    return ::testing::AssertionFailure()
                           << "view " << view.x << "," << view.y << " zoom " << shift << " offset "
                           << u << "," << w << " has " << count << " samples";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Draws at the origin and compares every pixel of the page with the reference.
    ::testing::AssertionResult DrawMatches(const Point& view, int shift) {
        uint8_t* page = screen.BackPage();
        std::fill(page, page + kWidth * DisplayBase::kScreenHeight, kUntouched);
        TerrainPainter::DrawView(*map, view, shift);
        const Rect area = map->ScreenRect();
        // The screen rectangle and a margin round it: outside the rectangle nothing is drawn.
        const int y0 = std::max(0, area.origin.y - 4);
        const int y1 = std::min(DisplayBase::kScreenHeight, area.origin.y + area.extent.h + 4);
        const int x0 = std::max(0, area.origin.x - 4);
        const int x1 = std::min(kWidth, area.origin.x + area.extent.w + 4);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const uint8_t want = Want(view, shift, x - area.origin.x, y - area.origin.y);
                if (page[y * kWidth + x] != want) {
                    return ::testing::AssertionFailure()
                           << "view " << view.x << "," << view.y << " zoom " << shift << " pixel "
                           << x << "," << y << " is " << int(page[y * kWidth + x]) << " not "
                           << int(want);
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    MemoryDisplay screen;
    LandFixture files;
    std::unique_ptr<TerrainMap> map;
};
}  // namespace

TEST_F(TerrainPainterTest, EveryZoomMatchesTheReferenceAtEveryScrollOffset) {
    // A 96 x 64 view placed off the page's corner; offsets sweep two whole cells each way.
    map->SetView(Rect(Point(13, 7), Size(96, 64)));
    for (int shift = 0; shift <= 2; ++shift) {
        for (int vy = 0; vy < 64; vy += (shift == 0 ? 1 : 3)) {
            for (int vx = 0; vx < 64; ++vx) {
                ASSERT_TRUE(DrawMatches(Point(vx, vy), shift));
            }
        }
    }
}

TEST_F(TerrainPainterTest, RectangleNotAMultipleOfThirtyTwoMatchesTheReferenceAtEveryOffset) {
    // Widths and heights 1, 19 and 31 pixels over whole cells: the extra columns stay empty at
    // 1:1 and take the moved right cut column at 1:2 and 1:4; the extra rows always stay empty.
    const Size sizes[] = {Size(115, 75), Size(97, 95), Size(127, 33)};
    for (const Size& size : sizes) {
        map->SetView(Rect(Point(13, 7), size));
        for (int shift = 0; shift <= 2; ++shift) {
            for (int vy = 0; vy < 64; vy += (shift == 0 ? 3 : 5)) {
                for (int vx = 0; vx < 64; ++vx) {
                    ASSERT_TRUE(SamplesCoverEachDrawnPixelOnce(Point(vx, vy), shift));
                    ASSERT_TRUE(DrawMatches(Point(vx, vy), shift));
                }
            }
        }
    }
}

TEST_F(TerrainPainterTest, RightCutColumnEndsOnTheRectanglesLastColumnWhenZoomedOut) {
    // 106 x 64 pixels: three whole cells across and ten spare columns. At 1:2 with the origin
    // at (5, 6), the right cut column is cell column 6 (tile columns 0, 2, 4: three screen
    // columns) and the cut rows are cell rows 0 and 4.
    map->SetView(Rect(Point(0, 0), Size(106, 64)));
    ASSERT_TRUE(DrawMatches(Point(5, 6), 1));
    const uint8_t* page = screen.BackPage();
    const auto tileOf = [&](int row, int column) {
        return map->Visibility(row, column) == -1 ? 0 : map->SheetTileAt(row, column);
    };
    // Screen row 20 shows map y = 6 + 40 = 46: cell row 1, tile row 14.
    const int y = 20;
    for (int i = 0; i < 3; ++i) {
        const uint8_t tilePixel = TilePixel(tileOf(1, 6), i * 2, 14);
        const bool fogged = map->Visibility(1, 6) == 0 && ((i + 7) & 1) == 1;
        EXPECT_EQ(page[y * kWidth + 103 + i], fogged ? TerrainMap::kFogColour : tilePixel);
        EXPECT_EQ(page[y * kWidth + 93 + i], kUntouched);
    }
    // The top-right corner cell keeps its place under the whole cells' edge.
    EXPECT_NE(page[0 * kWidth + 95], kUntouched);
    EXPECT_EQ(page[0 * kWidth + 105], kUntouched);
    // At 1:1 the spare columns stay empty and the cut column ends on the whole cells' edge.
    ASSERT_TRUE(DrawMatches(Point(5, 6), 0));
    EXPECT_NE(page[y * kWidth + 95], kUntouched);
    for (int x = 96; x < 106; ++x)
        EXPECT_EQ(page[y * kWidth + x], kUntouched);
}

TEST_F(TerrainPainterTest, FullViewAtEachZoomWithAndWithoutFog) {
    map->SetView(Rect(Point(0, 0), Size(512, 480)));
    // 24 x 20 cells hold a whole 1:1 view only; at 1:2 and 1:4 the cells beyond the land show
    // the spare tile.
    for (int shift = 0; shift <= 2; ++shift) {
        EXPECT_TRUE(DrawMatches(Point(0, 0), shift));
        EXPECT_TRUE(DrawMatches(Point(31, 17), shift));
    }
    map->SetRevealAll(1);
    for (int shift = 0; shift <= 2; ++shift) {
        ASSERT_TRUE(DrawMatches(Point(5, 9), shift));
        // No fog and no spare tile inside the land.
        const uint8_t* page = screen.BackPage();
        for (int y = 0; y < 480; y += 7) {
            for (int x = 0; x < 512; x += 5) {
                const int mapX = 5 + (x << shift), mapY = 9 + (y << shift);
                if (mapX < 24 * 32 && mapY < 20 * 32) {
                    EXPECT_NE(page[y * kWidth + x], TerrainMap::kFogColour);
                }
            }
        }
    }
}

TEST_F(TerrainPainterTest, FoggedMapPixelKeepsItsColourWhenScrolledByOnePixel) {
    map->SetView(Rect(Point(0, 0), Size(128, 96)));
    map->AddVisibility(1, 1, -1);  // seen before: fogged
    TerrainPainter::DrawView(*map, Point(0, 0), 0);
    const uint8_t at = screen.BackPage()[40 * kWidth + 40];  // map pixel (40, 40)
    TerrainPainter::DrawView(*map, Point(1, 0), 0);
    EXPECT_EQ(screen.BackPage()[40 * kWidth + 39], at);
    EXPECT_EQ(at, TerrainMap::kFogColour);  // i + j = 16: even
}

TEST_F(TerrainPainterTest, HalfZoomWithOffsetThirtyOneDrawsNothingInTheTopCutRow) {
    map->SetView(Rect(Point(0, 0), Size(96, 64)));
    ASSERT_TRUE(DrawMatches(Point(0, 31), 1));
    // No sample of cell row 0 lies in view: the top screen row shows cell row 1's first row.
    const uint8_t* page = screen.BackPage();
    const int v = map->Visibility(1, 0);
    EXPECT_EQ(page[0], TilePixel(v == -1 ? 0 : map->SheetTileAt(1, 0), 0, 0));
    ASSERT_TRUE(DrawMatches(Point(0, 29), 2));
}

TEST_F(TerrainPainterTest, NothingIsDrawnWithoutAViewOrOutsideTheBuffer) {
    uint8_t* page = screen.BackPage();
    std::fill(page, page + kWidth * DisplayBase::kScreenHeight, kUntouched);
    TerrainPainter::DrawView(*map, Point(0, 0), 0);  // no SetView yet
    // A view less than a cell high has no whole cell: nothing drawn, nothing decoded.
    map->SetView(Rect(Point(0, 0), Size(96, 20)));
    TerrainPainter::DrawView(*map, Point(5, 7), 0);
    EXPECT_EQ(map->DecodedTile(map->SheetTileAt(0, 0)), nullptr);
    map->SetView(Rect(Point(600, 0), Size(96, 64)));  // would run off the page
    TerrainPainter::DrawView(*map, Point(0, 0), 0);
    map->SetView(Rect(Point(0, 0), Size(96, 64)));
    TerrainPainter::DrawView(*map, Point(-5, 0), 0);
    TerrainPainter::DrawView(*map, Point(0, 0), 3);
    // Whole cells that fit, but a moved right cut column that would end past the page.
    map->SetView(Rect(Point(600, 0), Size(50, 64)));
    TerrainPainter::DrawView(*map, Point(5, 0), 1);
    for (int i = 0; i < kWidth * DisplayBase::kScreenHeight; ++i)
        ASSERT_EQ(page[i], kUntouched);
}
