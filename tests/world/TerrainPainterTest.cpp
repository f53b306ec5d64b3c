#include "world/TerrainPainter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "world/LandFixture.h"
#include "world/TerrainMap.h"

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

    // Draws at the origin and compares every pixel of the page with the reference.
    ::testing::AssertionResult DrawMatches(const Point& view, int shift) {
        uint8_t* page = screen.BackPage();
        std::fill(page, page + kWidth * DisplayBase::kScreenHeight, kUntouched);
        TerrainPainter::DrawView(*map, view, shift);
        const Rect area = map->ScreenRect();
        const Size cells = map->ViewSizeInCells();
        // The view's area and a margin round it: inside the reference, outside untouched.
        const int y0 = std::max(0, area.origin.y - 4);
        const int y1 = std::min(DisplayBase::kScreenHeight, area.origin.y + cells.h * 32 + 4);
        const int x0 = std::max(0, area.origin.x - 4);
        const int x1 = std::min(kWidth, area.origin.x + cells.w * 32 + 4);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const int u = x - area.origin.x, w = y - area.origin.y;
                const bool inside = u >= 0 && w >= 0 && u < cells.w * 32 && w < cells.h * 32;
                const uint8_t want = inside ? Expected(view, shift, u, w) : kUntouched;
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
    TerrainPainter::DrawView(*map, Point(0, 0), 0);   // no SetView yet
    map->SetView(Rect(Point(600, 0), Size(96, 64)));  // would run off the page
    TerrainPainter::DrawView(*map, Point(0, 0), 0);
    map->SetView(Rect(Point(0, 0), Size(96, 64)));
    TerrainPainter::DrawView(*map, Point(-5, 0), 0);
    TerrainPainter::DrawView(*map, Point(0, 0), 3);
    for (int i = 0; i < kWidth * DisplayBase::kScreenHeight; ++i)
        ASSERT_EQ(page[i], kUntouched);
}
