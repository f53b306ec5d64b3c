#include "map/TerrainMap.h"

#include <algorithm>
#include <cstring>

#include "core/BlockDecoder.h"
#include "core/ByteTable256.h"
#include "core/DisplayBase.h"
#include "core/Palette.h"
#include "core/PointNode.h"
#include "core/Random.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/ShadeTable.h"
#include "core/SpriteSet.h"
#include "map/LandAssets.h"
#include "map/LandFile.h"
#include "map/SquareMove.h"
#include "map/TerrainPainter.h"
#include "ui/ScreenBase.h"

namespace {
constexpr int kGridCells = TerrainMap::kMaxCells * TerrainMap::kMaxCells;

// Division rounding towards minus infinity: a pixel left of the map is in column -1.
int FloorDiv(int v, int d) {
    return v >= 0 ? v / d : -1 - (-1 - v) / d;
}

void CopyPath(char (&to)[256], const char* from) {
    if (from == nullptr) from = "";
    std::strncpy(to, from, sizeof to - 1);
    to[sizeof to - 1] = 0;
}
}  // namespace

TerrainMap::TerrainMap()
    : cellTiles(kGridCells, 0), visibility(kGridCells, -1), landFeatures(kGridCells, -1) {}

TerrainMap::~TerrainMap() = default;

void TerrainMap::SetDiscDataPath(const char* path) {
    CopyPath(discDataPath, path);
}

void TerrainMap::SetLocalDataPath(const char* path) {
    CopyPath(localDataPath, path);
}

void TerrainMap::SetAssets(LandAssets* source) {
    assets = source;
}

LandAssets& TerrainMap::Assets() const {
    return assets != nullptr ? *assets : LandAssets::Standard();
}

void TerrainMap::Load(const char* name) {
    ResourceFile file;
    if (!file.Open(name, ResourceFile::OpenMode::ReadBinary)) return;
    LandFile(*this).ParseDescription(file);
    file.Close();
}

void TerrainMap::LoadFromStream(ResourceFile& file) {
    LandFile(*this).ParseDescription(file);
}

void TerrainMap::AllocSearchArrays() {
    if (!decoded.empty()) return;
    decoded.resize(kTableLength);
    tileLetters.assign(kTableLength, 'X');
    tileDecorations.assign(kTableLength, -1);
    needed.assign(kTableLength, 0);
}

size_t TerrainMap::UsedCells() const {
    return static_cast<size_t>(std::clamp(mapSize.h, 0, kMaxCells)) * kMaxCells;
}

size_t TerrainMap::UsedTiles() const {
    return static_cast<size_t>(std::clamp(sheetTileCount, 0, kTableLength - 1)) + 1;
}

void TerrainMap::MakeEmpty() {
    // Cells are written only inside the map and name only tiles of its sheet, so the rows of
    // the map and the tiles of the sheet are all that can differ from an empty map's: a load
    // then costs what the land needs, not the largest land's.
    const size_t cells = UsedCells(), tiles = UsedTiles();
    auto clear = [](auto& table, size_t n, auto value) {
        std::fill_n(table.begin(), std::min(n, table.size()), value);
    };
    for (size_t i = 0; i < std::min(tiles, decoded.size()); ++i)
        decoded[i].reset();
    clear(tileLetters, tiles, 'X');
    clear(tileDecorations, tiles, int8_t{-1});
    clear(cellTiles, cells, 0);
    clear(visibility, cells, -1);
    clear(landFeatures, cells, -1);
    viewCells = Size();
    mapSize = Size();
    sheetOrigin = Size();
    sheetSize = Size();
    sheetTileCount = -1;
    secondPoints.DeleteAll();
    startPoints.DeleteAll();
    mapRect = Rect();
    featureSprites.reset();
    decorationSprites.reset();
    decodedView = Rect();
    tileData.clear();
}

void TerrainMap::InstallPalette() {
    if (palette == nullptr || display == nullptr) return;
    auto copy = std::make_unique<Palette>(*palette);
    display->RedrawAll();
    display->SetPalette(copy.release());
}

void TerrainMap::PixelToCell(const Point& p, int& row, int& column) const {
    row = p.y / kCellPixels;
    column = p.x / kCellPixels;
}

Point TerrainMap::CellCenter(int row, int column) const {
    return Point(column * kCellPixels + kCellPixels / 2, row * kCellPixels + kCellPixels / 2);
}

void TerrainMap::SetView(const Rect& screenRect) {
    screen = screenRect;
    viewCells = Size(screenRect.extent.w / kCellPixels, screenRect.extent.h / kCellPixels);
}

char TerrainMap::TileLetterAt(int row, int column) const {
    if (!IsInside(row, column) || tileLetters.empty()) return 'X';
    const int tile = cellTiles[CellIndex(row, column)];
    return tile >= 0 && tile < kTableLength ? tileLetters[tile] : 'X';
}

char TerrainMap::SheetTileLetter(int sheetTile) const {
    if (sheetTile < 0 || sheetTile >= static_cast<int>(tileLetters.size())) return 'X';
    return tileLetters[sheetTile];
}

char TerrainMap::TerrainTypeAt(int row, int column) const {
    if (!IsInside(row, column)) return 'e';
    if (row == 0 || column == 0 || row == mapSize.h - 1 || column == mapSize.w - 1) return 'e';
    if (landFeatures[CellIndex(row, column)] != -1 && !lowDetail) return 'p';
    return TileLetterAt(row, column);
}

char TerrainMap::TerrainTypeWithFog(int row, int column) const {
    if (!IsInside(row, column)) return 'e';
    if (row == 0 || column == 0 || row == mapSize.h - 1 || column == mapSize.w - 1) return 'e';
    if (visibility[CellIndex(row, column)] == -1 && !revealAll) return 'X';
    if (landFeatures[CellIndex(row, column)] != -1 && !lowDetail) return 'p';
    return TileLetterAt(row, column);
}

char TerrainMap::TerrainTypeAtPixel(const Point& p) const {
    const int row = FloorDiv(p.y, kCellPixels), column = FloorDiv(p.x, kCellPixels);
    if (!IsInside(row, column)) return 'X';
    if (landFeatures[CellIndex(row, column)] != -1 && !lowDetail) return 'p';
    return TileLetterAt(row, column);
}

int TerrainMap::CountTerrainInRect(const Rect& r, char letter) const {
    const Point low(std::max(0, r.origin.x), std::max(0, r.origin.y));
    const Point corner = r.BottomRight();
    const Point high(std::min(corner.x, mapRect.extent.w - 1),
                     std::min(corner.y, mapRect.extent.h - 1));
    if (high.x < low.x || high.y < low.y) return 0;
    int row0, column0, row1, column1;
    PixelToCell(low, row0, column0);
    PixelToCell(high, row1, column1);
    int count = 0;
    for (int row = row0; row <= row1; ++row) {
        for (int column = column0; column <= column1; ++column) {
            count += TerrainTypeAt(row, column) == letter;
        }
    }
    return count;
}

void TerrainMap::AddVisibility(int row, int column, int delta) {
    if (!IsInside(row, column)) return;
    int32_t& v = visibility[CellIndex(row, column)];
    if (delta > 0 && v == -1) v = 0;
    v += delta;
    // A cell seen once never returns to never-seen.
    if (v < 1) v = 0;
}

void TerrainMap::MoveVisibility(int fromRow, int fromColumn, int toRow, int toColumn, int reach) {
    const CountSquare from = SquareAbout(fromRow, fromColumn, reach, mapSize.h, mapSize.w);
    const CountSquare to = SquareAbout(toRow, toColumn, reach, mapSize.h, mapSize.w);
    auto remove = [](int32_t& v) { v = std::max(0, v - 1); };
    auto add = [](int32_t& v) { v = (v == -1 ? 0 : v) + 1; };
    if (!visibility.empty() &&
        MoveCountSquare(visibility.data(), kMaxCells, from, to, remove, add)) {
        return;
    }
    for (int r = from.row0; r <= from.row1; ++r) {
        for (int c = from.column0; c <= from.column1; ++c)
            AddVisibility(r, c, -1);
    }
    for (int r = to.row0; r <= to.row1; ++r) {
        for (int c = to.column0; c <= to.column1; ++c)
            AddVisibility(r, c, +1);
    }
}

int TerrainMap::Visibility(int row, int column) const {
    if (!IsInside(row, column)) return -1;
    if (revealAll) return 1;
    return visibility[CellIndex(row, column)];
}

int TerrainMap::VisibilityAtPixel(const Point& p) const {
    return Visibility(FloorDiv(p.y, kCellPixels), FloorDiv(p.x, kCellPixels));
}

int TerrainMap::RectVisibility(const Rect& r) const {
    if (revealAll) return 1;
    const Rect in = r.Intersect(mapRect);
    if (in == Rect()) return -1;
    int row0, column0, row1, column1;
    PixelToCell(in.origin, row0, column0);
    PixelToCell(in.BottomRight(), row1, column1);
    int result = -1;
    for (int row = row0; row <= row1; ++row) {
        for (int column = column0; column <= column1; ++column) {
            const int v = Visibility(row, column);
            if (v > 0) return 1;
            if (v == 0) result = 0;
        }
    }
    return result;
}

int TerrainMap::LandFeatureAt(int row, int column) const {
    return IsInside(row, column) ? landFeatures[CellIndex(row, column)] : -1;
}

void TerrainMap::ClearLandFeature(const Point& p) {
    const int row = FloorDiv(p.y, kCellPixels), column = FloorDiv(p.x, kCellPixels);
    if (IsInside(row, column)) landFeatures[CellIndex(row, column)] = -1;
}

void TerrainMap::DrawLandFeature(int row, int column, ScreenBase& view) {
    if (featureSprites == nullptr || lowDetail || shade1 == nullptr) return;
    const int frame = LandFeatureAt(row, column);
    if (frame == -1) return;
    featureSprites->DrawFrameShaded(view.MapToScreen(CellCenter(row, column)), frame, *shade1);
}

int TerrainMap::SheetTileAt(int row, int column) const {
    return IsInside(row, column) ? cellTiles[CellIndex(row, column)] : 0;
}

const uint8_t* TerrainMap::DecodedTile(int sheetTile) const {
    if (sheetTile < 0 || sheetTile >= static_cast<int>(decoded.size())) return nullptr;
    return decoded[sheetTile].get();
}

void TerrainMap::PaintFrameInto(uint8_t* picture, int frame) {
    if (display == nullptr || decorationSprites == nullptr) return;
    display->SetRedirect(picture, Size(kCellPixels, kCellPixels), kCellPixels);
    display->SetClipRect(Rect(Point(0, 0), Size(kCellPixels, kCellPixels)));
    decorationSprites->DrawFrameAt(Point(0, 0), frame);
    display->ClearRedirect();
    display->ResetClipRect();
}

int TerrainMap::ScarTile(const Point& p) {
    if (p.x < 0 || p.y < 0 || p.x >= mapRect.extent.w || p.y >= mapRect.extent.h) return 0;
    if (decorationSprites == nullptr) return 0;
    return PaintDecoration(p);
}

int TerrainMap::PaintDecoration(const Point& p) {
    int row, column;
    PixelToCell(p, row, column);
    if (decorationSprites == nullptr || TileLetterAt(row, column) != 'c') return 0;
    if (decorationSprites->LastFrameIndex() < 0) return 0;
    const int tile = cellTiles[CellIndex(row, column)];
    const int frame = RandomRange(0, decorationSprites->LastFrameIndex());
    // The decoration belongs to the tile: every cell showing it shows the decoration.
    tileDecorations[tile] = static_cast<int8_t>(frame);
    if (decoded[tile] != nullptr) PaintFrameInto(decoded[tile].get(), frame);
    return 1;
}

void TerrainMap::SetDecoration(int row, int column, int frame) {
    if (!IsInside(row, column) || tileDecorations.empty()) return;
    const int tile = cellTiles[CellIndex(row, column)];
    if (tileDecorations[tile] == static_cast<int8_t>(frame)) return;
    tileDecorations[tile] = static_cast<int8_t>(frame);
    if (decoded[tile] != nullptr && frame >= 0) PaintFrameInto(decoded[tile].get(), frame);
}

uint8_t TerrainMap::DecorationAt(int row, int column) const {
    if (!IsInside(row, column) || tileDecorations.empty()) return 0xFF;
    return static_cast<uint8_t>(tileDecorations[cellTiles[CellIndex(row, column)]]);
}

const uint8_t* TerrainMap::BlockData(int sheetTile) const {
    if (tileData.empty()) return nullptr;
    if (sheetTile == 0) return tileData.data();
    const int sheetRow = (sheetTile - 1) / sheetSize.w;
    const int sheetColumn = (sheetTile - 1) % sheetSize.w;
    const int row = sheetRow - sheetOrigin.h, column = sheetColumn - sheetOrigin.w;
    if (!IsInside(row, column)) return nullptr;
    const size_t local = 1 + static_cast<size_t>(row) * mapSize.w + column;
    return tileData.data() + local * kTileBytes;
}

void TerrainMap::DecodeTile(int sheetTile) {
    const uint8_t* blocks = BlockData(sheetTile);
    if (blocks == nullptr) return;
    std::unique_ptr<uint8_t[]> picture;
    if (!sparePictures.empty()) {
        picture = std::move(sparePictures.back());
        sparePictures.pop_back();
    } else {
        // The decoder writes every byte of the picture.
        picture = std::make_unique_for_overwrite<uint8_t[]>(kPictureBytes);
    }
    BlockDecoder().DecodeRect(picture.get(), Size(kCellPixels, kCellPixels), kCellPixels, blocks);
    decoded[sheetTile] = std::move(picture);
    const int frame = tileDecorations[sheetTile];
    if (decorationSprites != nullptr && frame >= 0) PaintFrameInto(decoded[sheetTile].get(), frame);
}

void TerrainMap::ReleaseTile(int sheetTile) {
    // A scrolling view frees about as many pictures as it decodes: keep a view's edge of them.
    if (decoded[sheetTile] != nullptr && sparePictures.size() < kSparePictures)
        sparePictures.push_back(std::move(decoded[sheetTile]));
    decoded[sheetTile].reset();
}

void TerrainMap::DecodeVisibleTiles(const Rect& view) {
    if (view == decodedView) return;
    if (decoded.empty()) AllocSearchArrays();
    int row0, column0, row1, column1;
    PixelToCell(view.origin, row0, column0);
    PixelToCell(view.BottomRight(), row1, column1);
    // Cells off the 200 x 200 grid show the spare tile.
    row0 = std::max(row0, 0), column0 = std::max(column0, 0);
    row1 = std::min(row1, kMaxCells - 1), column1 = std::min(column1, kMaxCells - 1);
    if (decoded[0] == nullptr) DecodeTile(0);
    // A load forgets the decoded view; until then a moved view needs only its changed cells.
    if (decodedView.extent.w > 0 && decodedView.extent.h > 0 && !viewUses.empty()) {
        ScrollDecodedTiles(row0, column0, row1, column1);
        decodedView = view;
        return;
    }
    // Only the sheet's tiles are counted (see MakeEmpty); the tables are sized once.
    const size_t tiles = UsedTiles();
    needed.resize(kTableLength);
    viewUses.resize(kTableLength);
    inMap.resize(kTableLength);
    std::fill_n(needed.begin(), tiles, 0);
    std::fill_n(viewUses.begin(), tiles, 0);
    for (int row = row0; row <= row1; ++row) {
        for (int column = column0; column <= column1; ++column) {
            const int tile = cellTiles[CellIndex(row, column)];
            if (tile >= 0 && tile < kTableLength) {
                needed[tile] = 1;
                ++viewUses[tile];
            }
        }
    }
    needed[0] = 1;
    std::fill_n(inMap.begin(), tiles, 0);
    for (int row = 0; row < mapSize.h; ++row) {
        const int sheetRow = sheetOrigin.h + row;
        for (int column = 0; column < mapSize.w; ++column) {
            const int tile = 1 + sheetRow * sheetSize.w + sheetOrigin.w + column;
            inMap[tile] = 1;
            if (needed[tile]) {
                if (decoded[tile] == nullptr) DecodeTile(tile);
            } else {
                decoded[tile].reset();
            }
        }
    }
    viewRow0 = row0, viewColumn0 = column0, viewRow1 = row1, viewColumn1 = column1;
    decodedView = view;
}

void TerrainMap::ScrollDecodedTiles(int row0, int column0, int row1, int column1) {
    // Each cell of the first rectangle outside the second, row by row and left to right: only
    // the strips a scroll exposes, not the whole view.
    auto outside = [](int r0, int c0, int r1, int c1, int inR0, int inC0, int inR1, int inC1,
                      auto&& visit) {
        for (int row = r0; row <= r1; ++row) {
            if (row < inR0 || row > inR1) {
                for (int column = c0; column <= c1; ++column)
                    visit(row, column);
                continue;
            }
            for (int column = c0; column <= std::min(c1, inC0 - 1); ++column)
                visit(row, column);
            for (int column = std::max(c0, inC1 + 1); column <= c1; ++column)
                visit(row, column);
        }
    };
    // Entering cells first: a tile that one cell leaves and another brings stays decoded, with
    // whatever was painted into it.
    entering.clear();
    outside(row0, column0, row1, column1, viewRow0, viewColumn0, viewRow1, viewColumn1,
            [this](int row, int column) {
                const int tile = cellTiles[CellIndex(row, column)];
                if (tile < 0 || tile >= kTableLength) return;
                if (viewUses[tile]++ == 0 && inMap[tile] && decoded[tile] == nullptr)
                    entering.push_back(tile);
            });
    // The entering tiles' blocks lie far apart in the tile data: ask for all of them at once
    // rather than waiting for each in turn.
    for (const int32_t tile : entering) {
        const uint8_t* blocks = BlockData(tile);
        if (blocks == nullptr) continue;
        for (int line = 0; line < kTileBytes; line += 64)
            __builtin_prefetch(blocks + line);
    }
    outside(viewRow0, viewColumn0, viewRow1, viewColumn1, row0, column0, row1, column1,
            [this](int row, int column) {
                const int tile = cellTiles[CellIndex(row, column)];
                if (tile < 0 || tile >= kTableLength) return;
                if (--viewUses[tile] == 0 && inMap[tile] && tile != 0) ReleaseTile(tile);
            });
    for (const int32_t tile : entering)
        DecodeTile(tile);
    viewRow0 = row0, viewColumn0 = column0, viewRow1 = row1, viewColumn1 = column1;
}

void TerrainMap::DrawViewZoom0(const Point& viewOrigin) {
    TerrainPainter::DrawView(*this, viewOrigin, 0);
}

void TerrainMap::DrawViewZoom1(const Point& viewOrigin) {
    TerrainPainter::DrawView(*this, viewOrigin, 1);
}

void TerrainMap::DrawViewZoom2(const Point& viewOrigin) {
    TerrainPainter::DrawView(*this, viewOrigin, 2);
}
