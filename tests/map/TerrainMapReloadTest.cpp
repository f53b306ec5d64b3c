// A map loaded again answers, decodes and draws exactly as a fresh map given the same land,
// whatever the land before it was: a load clears only what a land can have touched.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "map/LandFixture.h"
#include "map/TerrainMap.h"

namespace {

class TerrainMapReload : public ::testing::Test {
protected:
    void Load(TerrainMap& map, const std::string& text) {
        files.Write("edit.lnd", text);
        map.SetDiscDataPath(files.Path().c_str());
        map.SetLocalDataPath(files.Path().c_str());
        map.Load("edit.lnd");
    }
    // Every answer about every cell of the grid and every sheet tile, then the drawn view.
    std::string Observed(TerrainMap& map) {
        std::string s;
        for (int row = -1; row <= TerrainMap::kMaxCells; ++row) {
            for (int column = -1; column <= TerrainMap::kMaxCells; ++column) {
                s += {map.TerrainTypeAt(row, column),
                      map.TerrainTypeWithFog(row, column),
                      map.TileLetterAt(row, column),
                      static_cast<char>(map.Visibility(row, column) + 2),
                      static_cast<char>(map.LandFeatureAt(row, column) + 2),
                      static_cast<char>(map.DecorationAt(row, column))};
                s += std::to_string(map.SheetTileAt(row, column));
            }
        }
        for (int t = 0; t < TerrainMap::kTableLength; ++t)
            s += map.SheetTileLetter(t);
        map.SetView(Rect(Point(0, 0), Size(640, 480)));
        std::memset(screen.BackPage(), 0, 640 * 480);
        map.DrawViewZoom0(Point(40, 8));
        s.append(reinterpret_cast<const char*>(screen.BackPage()), 640 * 480);
        for (int t = 0; t < TerrainMap::kTableLength; ++t)
            s += map.DecodedTile(t) ? '1' : '0';
        return s;
    }

    MemoryDisplay screen;
    LandFixture files;
};

}  // namespace

TEST_F(TerrainMapReload, ALoadAfterAnotherLandMatchesAFreshMap) {
    // The large land reaches the last tile of its sheet.
    LandLayout large;
    large.columns = 30, large.rows = 24, large.originColumn = 6, large.originRow = 4;
    large.sheetColumns = 36, large.sheetRows = 28;
    for (int r = 0; r < large.sheetRows; ++r)
        large.letters.push_back(std::string(36, r % 3 ? 'c' : 'w'));
    large.withFeatures = large.withDecorations = true;
    large.features = {{5, 7, 1}, {26, 34, 2}};
    files.WriteLand(large);  // the tile set covers the small land's sheet too
    const std::string largeText = DescriptionText(large);

    LandLayout small;
    small.letters = {"cccccccc", "ccwwcccc", "ccwwcrcc"};
    small.withDecorations = true;
    TerrainMap freshLarge;
    Load(freshLarge, largeText);
    const std::string expectLarge = Observed(freshLarge);
    // A smaller land, then a refused one (its sizes read, its cells not).
    const std::string later[] = {DescriptionText(small), "title\n0\n30\n0\n8 6\n0 0\n8 6\n"};
    for (const std::string& text : later) {
        TerrainMap reused;
        Load(reused, largeText);
        for (int row = 0; row < large.rows; ++row) {
            for (int column = 0; column < large.columns; ++column) {
                reused.AddVisibility(row, column, 1 + column % 2);
                reused.SetDecoration(row, column, column % 2);
            }
        }
        Observed(reused);
        Load(reused, text);
        TerrainMap fresh;
        Load(fresh, text);
        EXPECT_TRUE(Observed(reused) == Observed(fresh)) << text;
        // What the first land left outside the second must not show through a third.
        Load(reused, largeText);
        EXPECT_TRUE(Observed(reused) == expectLarge) << text;
    }
}
