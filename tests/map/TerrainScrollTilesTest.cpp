// A view that scrolls (small steps, whole cells, jumps, off the land's edges) keeps decoded
// exactly the tiles of the cells it covers and the spare tile: the tiles that enter are
// decoded, those that leave are released, and a tile that stays keeps what was painted into it.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "map/LandFixture.h"
#include "map/TerrainMap.h"

namespace {

// The tiles the view's cells show, as the land describes them, and the spare tile.
std::set<int> TilesOfView(TerrainMap& map, const Rect& view) {
    std::set<int> tiles{0};
    const int r0 = std::max(0, view.origin.y / 32), c0 = std::max(0, view.origin.x / 32);
    const int r1 = (view.origin.y + view.extent.h - 1) / 32;
    const int c1 = (view.origin.x + view.extent.w - 1) / 32;
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            if (map.IsInside(r, c)) tiles.insert(map.SheetTileAt(r, c));
        }
    }
    return tiles;
}

std::set<int> DecodedTiles(TerrainMap& map) {
    std::set<int> tiles;
    for (int t = 0; t < TerrainMap::kTableLength; ++t) {
        if (map.DecodedTile(t) != nullptr) tiles.insert(t);
    }
    return tiles;
}

TEST(TerrainScrollTiles, AScrollingViewKeepsExactlyItsTilesDecoded) {
    MemoryDisplay screen;
    LandFixture files;
    LandLayout layout;
    // The land is a window of a larger sheet, so tiles outside it exist in the sheet.
    layout.columns = 40;
    layout.rows = 30;
    layout.originColumn = 3;
    layout.originRow = 2;
    layout.sheetColumns = 48;
    layout.sheetRows = 36;
    layout.letters = std::vector<std::string>(36, std::string(48, 'c'));
    layout.withDecorations = true;
    files.WriteLand(layout);
    TerrainMap map;
    map.SetDiscDataPath(files.Path().c_str());
    map.SetLocalDataPath(files.Path().c_str());
    map.Load("edit.lnd");

    std::mt19937 random(3);
    const Size sizes[] = {Size(256, 192), Size(512, 480), Size(96, 64)};
    Point origin(0, 0);
    int painted = -1;
    for (int step = 0; step < 400; ++step) {
        const Size size = sizes[(step / 100) % 3];
        const int kind = static_cast<int>(random() % 10);
        const int reach = kind < 6 ? 2 : kind < 9 ? 40 : 1200;
        origin = Point(static_cast<int>(origin.x + random() % (2 * reach + 1)) - reach,
                       static_cast<int>(origin.y + random() % (2 * reach + 1)) - reach);
        origin = Point(std::clamp(origin.x, -64, 40 * 32), std::clamp(origin.y, -64, 30 * 32));
        const Rect view(origin, size);
        map.DecodeVisibleTiles(view);
        ASSERT_EQ(DecodedTiles(map), TilesOfView(map, view)) << "step " << step;
        // No picture below or beyond the tile table, whatever is decoded.
        ASSERT_EQ(map.DecodedTile(-1), nullptr);
        ASSERT_EQ(map.DecodedTile(TerrainMap::kTableLength), nullptr);

        // A blast on a tile in view stays painted for as long as the tile stays in view.
        const int tile = painted >= 0 ? painted : -1;
        if (tile >= 0 && map.DecodedTile(tile) != nullptr) {
            ASSERT_EQ(map.DecodedTile(tile)[5 * 32 + 5], LandFixture::kDecorationColour)
                << "step " << step;
        }
        const Point centre(origin.x + size.w / 2, origin.y + size.h / 2);
        int row, column;
        map.PixelToCell(centre, row, column);
        if (map.IsInside(row, column) && step % 25 == 0) {
            map.SetDecoration(row, column, 1);
            painted = map.SheetTileAt(row, column);
        }
    }
    // Past the grid's last column or row the view shows only the spare tile, never the cells
    // that follow in the next row.
    for (const Point& corner : {Point(199 * 32 - 40, 0), Point(0, 199 * 32 - 40)}) {
        const Rect view(corner, Size(96, 64));
        map.DecodeVisibleTiles(view);
        EXPECT_EQ(DecodedTiles(map), std::set<int>{0}) << corner.x << "," << corner.y;
    }
}

}  // namespace
