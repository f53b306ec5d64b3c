#pragma once
// The lands: terrain letter grids drawn by small generators, their descriptions in the game's
// land-file layout and their block-coded tile sets, painted from one continuous picture of the
// ground so that neighbouring tiles join without seams.
#include <cstdint>
#include <string>
#include <vector>

namespace mkassets {

class AssetPalette;

// Everything here lives in its own namespace: the game has its own lands and land features.
namespace LandMaker {

// Open: open ground only and no land features (the campaign land, whose missions name fixed
// serials of team 0 and points all over the map).
enum class LandStyle { Valley, Basin, Maze, Rivers, Plain, Open };

// Where a tile set is stored: on the asset volumes' data directories or in the local one.
enum class TileHome { Volume, Local };

struct LandPlan {
    const char* title;    // for the maker's report
    const char* tileSet;  // completed to "<name>.tls"
    TileHome home;
    LandStyle style;
    int nameLine;
    int columns;
    int rows;
    uint64_t seed;
};

struct LandFeature {
    int row;
    int column;
    int frame;
};

struct Land {
    LandPlan plan;
    std::vector<std::string> letters;         // rows of terrain letters, one per map row
    std::vector<std::pair<int, int>> starts;  // (row, column)
    std::vector<std::pair<int, int>> fields;  // second points: (row, column)
    std::vector<LandFeature> features;
};

// Where a start's own ore field lies from it, in cells: in the factory's first sight (a Miner left
// to itself finds no field its side has never seen), on the open ground round the start, clear
// of the factory, its docks and its roll-out ground, and nearer than any other field to where a
// new unit stands once pushed off its roll-out point.
constexpr int kOwnFieldRows = 4;
constexpr int kOwnFieldColumns = -2;
constexpr int kTileBytes = 256;
constexpr int kTileSize = 32;
constexpr int kShadeValue = 55;
constexpr int kFeatureFrames = 6;
constexpr int kDecorationFrames = 4;
extern const char* const kFeaturePack;
extern const char* const kDecorationPack;

// The lands of the land pack, in row order, and the loose land "edit.lnd".
const std::vector<LandPlan>& PackLands();
const LandPlan& EditLand();

Land BuildLand(const LandPlan& plan);
// The land description; paletteRow and blendRow are the rows of the palette and blend packs.
std::string Describe(const Land& land, int paletteRow, int blendRow);
// The tile set: the never-seen tile, then one tile per map cell in sheet order.
std::vector<uint8_t> PaintTileSet(const Land& land, const AssetPalette& palette);
// Sprite packs of the land features and of the blast decorations.
std::vector<uint8_t> MakeFeaturePack(const AssetPalette& palette);
std::vector<uint8_t> MakeDecorationPack(const AssetPalette& palette);
}  // namespace LandMaker

}  // namespace mkassets
