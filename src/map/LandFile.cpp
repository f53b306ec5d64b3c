#include "map/LandFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/BusyIndicator.h"
#include "core/ByteTable256.h"
#include "core/DisplayBase.h"
#include "core/Palette.h"
#include "core/PointNode.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/ShadeTable.h"
#include "core/SpriteSet.h"
#include "core/Trace.h"
#include "map/LandAssets.h"
#include "map/TerrainMap.h"
#include "map/TileSet.h"

namespace {
// The busy indicator runs for the whole read, however it ends.
class BusyScope {
public:
    BusyScope() {
        if (busyIndicator != nullptr) busyIndicator->Enable(1);
    }
    ~BusyScope() {
        if (busyIndicator != nullptr) busyIndicator->Enable(0);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    void Step() {
        if (busyIndicator != nullptr) busyIndicator->Tick();
    }
};

int ReadLine(ResourceFile& file, char* line) {
    return file.ReadDataLine(LandFile::kLineLength, line);
}

// Up to n decimal numbers separated by blanks, as "%d %d" reads them: a number that cannot
// be read, and every one after it, keeps its default. Out-of-range numbers are clamped.
void ReadNumbers(const char* line, int n, int* values) {
    const char* at = line;
    for (int i = 0; i < n; ++i) {
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(at, &end, 10);
        if (end == at) return;
        values[i] = static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
        at = end;
    }
}

int ReadNumber(ResourceFile& file, char* line, int fallback) {
    int value = fallback;
    ReadLine(file, line);
    ReadNumbers(line, 1, &value);
    return value;
}

void ReadPair(ResourceFile& file, char* line, int& a, int& b) {
    int values[2] = {-1, -1};
    ReadLine(file, line);
    ReadNumbers(line, 2, values);
    a = values[0];
    b = values[1];
}

bool EndsList(int length, const char* line) {
    return length == 0 || line[0] == '*';
}
}  // namespace

bool LandFile::SizesUsable(const Size& size, const Size& origin, const Size& sheet) {
    constexpr int kMax = TerrainMap::kMaxCells;
    if (size.w < 1 || size.h < 1 || size.w > kMax || size.h > kMax) return false;
    if (sheet.w < 1 || sheet.h < 1 || sheet.w > kMax || sheet.h > kMax) return false;
    if (origin.w < 0 || origin.h < 0) return false;
    // Compared by subtraction: the origin is read from the file and may be near the int limit.
    return origin.w <= sheet.w - size.w && origin.h <= sheet.h - size.h;
}

bool LandFile::IsInnerCell(int sheetRow, int sheetColumn) const {
    const Size& origin = map.sheetOrigin;
    const Size& size = map.mapSize;
    return origin.h < sheetRow && sheetRow < origin.h + size.h - 1 && origin.w < sheetColumn &&
           sheetColumn < origin.w + size.w - 1;
}

Size LandFile::PeekSize(ResourceFile& file) {
    char line[kLineLength] = {};
    // A title, the palette, the shade value and the blend table come first.
    for (int n = 0; n < 4; ++n)
        ReadLine(file, line);
    Size size, origin, sheet;
    ReadPair(file, line, size.w, size.h);
    ReadPair(file, line, origin.w, origin.h);
    ReadPair(file, line, sheet.w, sheet.h);
    return SizesUsable(size, origin, sheet) ? size : Size(0, 0);
}

int LandFile::ParseDescription(ResourceFile& file) {
    BusyScope busy;
    map.MakeEmpty();
    map.AllocSearchArrays();
    busy.Step();
    LandAssets& assets = map.Assets();
    char line[kLineLength] = {};

    // Lines 1 to 4: a title, the palette, the shade value and the blend table.
    ReadLine(file, line);
    const int paletteRow = ReadNumber(file, line, 0);
    map.palette = assets.LoadPalette(paletteRow);
    if (map.palette == nullptr) map.palette = std::make_unique<Palette>();
    // Only a sane range reaches the table arithmetic.
    const int shade = std::clamp(ReadNumber(file, line, -1), -10000, 10000);
    map.shade1 = std::make_unique<ShadeTable>(-shade, *map.palette);
    busy.Step();
    map.shade2 = std::make_unique<ShadeTable>(100 - shade, *map.palette);
    const int blendRow = ReadNumber(file, line, 0);
    busy.Step();
    map.blend = assets.LoadBlendTable(blendRow);

    // Lines 5 to 7: map size, sheet origin and sheet size.
    ReadPair(file, line, map.mapSize.w, map.mapSize.h);
    ReadPair(file, line, map.sheetOrigin.w, map.sheetOrigin.h);
    ReadPair(file, line, map.sheetSize.w, map.sheetSize.h);

    int usable = 0;
    if (!SizesUsable(map.mapSize, map.sheetOrigin, map.sheetSize)) {
        Trace("Land description refused: map size, sheet origin or sheet size out of range");
    } else {
        map.mapRect = Rect(Point(0, 0), Size(map.mapSize.w * TerrainMap::kCellPixels,
                                             map.mapSize.h * TerrainMap::kCellPixels));
        // Line 8 opens the cell part.
        if (ReadLine(file, line) > 0 && line[0] == '*') {
            usable = ReadCells(file, line);
        } else {
            Trace("Land description refused: no '*' line before the cells");
        }
    }
    if (!usable) map.MakeEmpty();

    if (display != nullptr) display->SetPalette(new Palette(*map.palette));
    return usable;
}

int LandFile::ReadCells(ResourceFile& file, char* line) {
    BusyScope busy;
    // The tile set.
    if (ReadLine(file, line) == 0) {
        Trace("Land description refused: no tile-set name");
        return 0;
    }
    LoadTileSet(line);

    map.decodedView = Rect();
    map.sheetTileCount = map.sheetSize.w * map.sheetSize.h;

    // One line per sheet row; a short line leaves the rest of its tiles 'X'.
    const Size& origin = map.sheetOrigin;
    const Size& size = map.mapSize;
    int tile = 1;
    for (int r = 0; r < map.sheetSize.h; ++r) {
        busy.Step();
        const int length = ReadLine(file, line);
        if (r < origin.h || r >= origin.h + size.h) {
            tile += map.sheetSize.w;
            continue;
        }
        for (int c = 0; c < map.sheetSize.w; ++c, ++tile) {
            if (c < origin.w || c >= origin.w + size.w) continue;
            map.cellTiles[TerrainMap::CellIndex(r - origin.h, c - origin.w)] = tile;
            if (c < length) map.tileLetters[tile] = line[c];
        }
    }

    // The grid's closing line, then the start points and the second list.
    ReadLine(file, line);
    ReadPointList(file, line, map.startPoints);
    ReadPointList(file, line, map.secondPoints);

    // Land features.
    busy.Step();
    const int length = ReadLine(file, line);
    if (!EndsList(length, line)) {
        if (!lowDetail) map.featureSprites = map.Assets().LoadSpriteSet(line);
        ReadLandFeatures(file, line);
    }

    // Decorations.
    if (ReadLine(file, line) > 0) map.decorationSprites = map.Assets().LoadSpriteSet(line);
    return 1;
}

void LandFile::LoadTileSet(const char* name) {
    ResourceFile file;
    if (map.Assets().OpenTileSet(map.discDataPath, map.localDataPath, name, file)) {
        map.tileData = TileSet::Read(file, map.mapSize, map.sheetOrigin, map.sheetSize);
        file.Close();
    } else {
        map.tileData.assign(
            (static_cast<size_t>(map.mapSize.w) * map.mapSize.h + 1) * TileSet::kTileBytes, 0);
    }
}

void LandFile::ReadPointList(ResourceFile& file, char* line, NodeList& points) {
    for (;;) {
        const int length = ReadLine(file, line);
        if (EndsList(length, line)) return;
        int values[2] = {-1, -1};
        ReadNumbers(line, 2, values);
        const int sheetRow = values[0], sheetColumn = values[1];
        if (!IsInnerCell(sheetRow, sheetColumn)) continue;
        // Put at the front: the list ends up in the reverse of the file's order.
        ListNode* node = new PointNode(
            map.CellCenter(sheetRow - map.sheetOrigin.h, sheetColumn - map.sheetOrigin.w));
        points.PushFront(node);
    }
}

void LandFile::ReadLandFeatures(ResourceFile& file, char* line) {
    for (;;) {
        const int length = ReadLine(file, line);
        if (EndsList(length, line)) return;
        int values[3] = {-1, -1, -1};
        ReadNumbers(line, 3, values);
        const int sheetRow = values[0], sheetColumn = values[1], frame = values[2];
        if (!IsInnerCell(sheetRow, sheetColumn)) continue;
        if (map.featureSprites == nullptr || lowDetail) continue;
        if (frame < 0 || frame > map.featureSprites->LastFrameIndex()) continue;
        map.landFeatures[TerrainMap::CellIndex(sheetRow - map.sheetOrigin.h,
                                               sheetColumn - map.sheetOrigin.w)] = frame;
    }
}
