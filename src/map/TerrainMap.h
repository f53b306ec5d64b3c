#pragma once
// The ground of the current mission: up to 200 x 200 cells of 32 x 32 map pixels, each showing
// a tile of the land's tile sheet (and through it a terrain letter), the local player's
// visibility of every cell, the land features standing on cells, the land's palette and colour
// tables, the block-coded tile data and a cache of decoded tile pictures for the view.
// Cells are addressed (row, column); pixel positions are (x, y).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/NodeList.h"
#include "core/Point.h"
#include "core/Rect.h"
#include "core/Size.h"

class ByteTable256;
class LandAssets;
class Palette;
class ResourceFile;
class ScreenBase;
class ShadeTable;
class SpriteSet;

class TerrainMap {
public:
    static constexpr int kMaxCells = 200;
    static constexpr int kCellPixels = 32;
    // How many cells each way round its own cell a local object with sight of its own opens.
    static constexpr int kViewerReach = 8;
    static constexpr int kTableLength = kMaxCells * kMaxCells + 1;
    static constexpr int kTileBytes = 256;      // block-coded
    static constexpr int kPictureBytes = 1024;  // decoded, 32 rows of 32
    static constexpr uint8_t kFogColour = 254;
    static constexpr const char* kLandPack = "7a0lxxxx99s999.lnd";
    static constexpr const char* kEditLand = "edit.lnd";

    TerrainMap();
    TerrainMap(const TerrainMap&) = delete;
    TerrainMap& operator=(const TerrainMap&) = delete;
    virtual ~TerrainMap();

    // Set-up.
    void SetDiscDataPath(const char* path);
    void SetLocalDataPath(const char* path);
    // The source of the palette, tables, sprite sets and tile set (borrowed; the standard one
    // unless set).
    void SetAssets(LandAssets* source);
    // Reads the named description (through the asset directory); a file that does not open
    // leaves the map empty.
    void Load(const char* name);
    void LoadFromStream(ResourceFile& file);
    // Back to the state of a map that was never loaded, keeping the tables' memory for the
    // next land.
    void MakeEmpty();
    void AllocSearchArrays();
    void InstallPalette();

    // Geometry.
    virtual void PixelToCell(const Point& p, int& row, int& column) const;
    Point CellCenter(int row, int column) const;
    Size SizeInCells() const { return mapSize; }
    Size PixelExtent() const { return mapRect.extent; }
    void SetView(const Rect& screen);
    bool IsInside(int row, int column) const {
        return row >= 0 && row < mapSize.h && column >= 0 && column < mapSize.w;
    }

    // Terrain letters.
    char TerrainTypeAt(int row, int column) const;
    char TerrainTypeWithFog(int row, int column) const;
    char TerrainTypeAtPixel(const Point& p) const;
    int CountTerrainInRect(const Rect& r, char letter) const;
    // The letter of a cell's own tile, whatever stands on it; 'X' outside the map.
    char TileLetterAt(int row, int column) const;
    // The letter of a sheet tile; 'X' for a tile no description line gave a letter.
    char SheetTileLetter(int sheetTile) const;
    virtual int IsUnexplored(char letter) const { return letter == 'X'; }

    // The local player's visibility.
    void AddVisibility(int row, int column, int delta);
    // AddVisibility(-1) over the cells within `reach` of the first cell, then AddVisibility(+1)
    // over those within `reach` of the second, touching only the cells that differ where the
    // cells of both are seen now.
    void MoveVisibility(int fromRow, int fromColumn, int toRow, int toColumn, int reach);
    int Visibility(int row, int column) const;
    int VisibilityAtPixel(const Point& p) const;
    int RectVisibility(const Rect& r) const;
    void SetRevealAll(int on) { revealAll = on; }
    int RevealAll() const { return revealAll; }

    // Land features.
    int LandFeatureAt(int row, int column) const;
    void ClearLandFeature(const Point& p);
    void DrawLandFeature(int row, int column, ScreenBase& view);

    // Decorations and blasts.
    int ScarTile(const Point& p);
    int PaintDecoration(const Point& p);
    void SetDecoration(int row, int column, int frame);
    uint8_t DecorationAt(int row, int column) const;

    // Tile cache and drawing.
    void DecodeVisibleTiles(const Rect& mapRect);
    void DrawViewZoom0(const Point& viewOrigin);
    void DrawViewZoom1(const Point& viewOrigin);
    void DrawViewZoom2(const Point& viewOrigin);
    void StepAnimation() {}

    // What the loader, the drawing and the scenario code read.
    int SheetTileAt(int row, int column) const;
    const uint8_t* DecodedTile(int sheetTile) const;
    const std::vector<uint8_t>& TileData() const { return tileData; }
    bool HasTiles() const { return !tileData.empty() && mapSize.w > 0 && mapSize.h > 0; }
    Size SheetOrigin() const { return sheetOrigin; }
    Size SheetSize() const { return sheetSize; }
    int SheetTileCount() const { return sheetTileCount; }
    Size ViewSizeInCells() const { return viewCells; }
    Rect ScreenRect() const { return screen; }
    NodeList& StartPoints() { return startPoints; }
    // The description's second point list (scenarios read it).
    NodeList& SecondPoints() { return secondPoints; }
    Palette* GetPalette() const { return palette.get(); }
    const ShadeTable* ShadeTable1() const { return shade1.get(); }
    const ShadeTable* ShadeTable2() const { return shade2.get(); }
    const ByteTable256* BlendTable() const { return blend.get(); }
    SpriteSet* LandFeatureSprites() const { return featureSprites.get(); }
    SpriteSet* DecorationSprites() const { return decorationSprites.get(); }

private:
    friend class LandFile;
    friend class TerrainPainter;

    static int CellIndex(int row, int column) { return row * kMaxCells + column; }
    // The local block data of a sheet tile of the map's part, or null.
    const uint8_t* BlockData(int sheetTile) const;
    void DecodeTile(int sheetTile);
    // Frees a tile's picture, keeping it for the next tile to decode.
    void ReleaseTile(int sheetTile);
    // DecodeVisibleTiles for a view that moved: only the cells that entered or left it count.
    void ScrollDecodedTiles(int row0, int column0, int row1, int column1);
    void PaintFrameInto(uint8_t* picture, int frame);
    // The leading entries of the cell tables and of the tile tables the current land can use.
    size_t UsedCells() const;
    size_t UsedTiles() const;
    LandAssets& Assets() const;

    Size viewCells;
    Size mapSize;
    Size sheetOrigin;  // w: first column, h: first row
    Size sheetSize;
    std::vector<std::unique_ptr<uint8_t[]>> decoded;
    static constexpr size_t kSparePictures = 64;
    std::vector<std::unique_ptr<uint8_t[]>> sparePictures;
    std::vector<int32_t> entering;  // the tiles a scroll must decode (kept for its capacity)
    int32_t tableLength = kTableLength;
    std::vector<char> tileLetters;
    std::vector<int8_t> tileDecorations;
    std::vector<uint8_t> needed;
    // For the decoded view: how many of its cells show each tile, whether a tile lies in the
    // map's part of the sheet (the tiles freed when out of view), and its cells.
    std::vector<uint16_t> viewUses;
    std::vector<uint8_t> inMap;
    int32_t viewRow0 = 0, viewColumn0 = 0, viewRow1 = -1, viewColumn1 = -1;
    std::vector<int32_t> cellTiles;
    std::vector<int32_t> visibility;
    Rect screen;
    int32_t sheetTileCount = -1;
    int32_t revealAll = 0;
    std::unique_ptr<ShadeTable> shade1;
    std::unique_ptr<ShadeTable> shade2;
    std::unique_ptr<ByteTable256> blend;
    NodeList secondPoints;
    NodeList startPoints;
    Rect mapRect;
    std::unique_ptr<SpriteSet> featureSprites;
    std::unique_ptr<SpriteSet> decorationSprites;
    std::vector<int32_t> landFeatures;
    std::unique_ptr<Palette> palette;
    Rect decodedView;
    char localDataPath[256] = {};
    char discDataPath[256] = {};
    std::vector<uint8_t> tileData;
    LandAssets* assets = nullptr;
};
