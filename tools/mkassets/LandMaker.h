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

// Open: open ground only and no land features (the campaign lands, whose missions name fixed
// serials of team 0 and points all over the map), with the shapes its plan draws on it.
enum class LandStyle { Valley, Basin, Maze, Rivers, Plain, Open };

// Where a tile set is stored: on the asset volumes' data directories or in the local one.
enum class TileHome { Volume, Local };

// A shape of one terrain letter drawn on a mission's open land: an ellipse (filled, or only its
// rim, the outer fifth of its radius) whose edge wanders with the land's noise,
// or a box with straight edges, which later shapes of the list draw over.
struct Stroke {
    enum class Kind { Ellipse, Rim, Box };
    Kind kind;
    char letter;
    int row;  // the centre, or the box's top left cell
    int column;
    int rowRadius;     // the box's height
    int columnRadius;  // the box's width
};

struct LandPlan {
    const char* title;    // for the maker's report; a mission land's header too
    const char* tileSet;  // completed to "<name>.tls"
    TileHome home;
    LandStyle style;
    int nameLine;  // -1: a mission's own land, whose header is its title after '@', so that the
                   // skirmish list leaves it out
    int columns;
    int rows;
    uint64_t seed;
    // A mission's own land: the scenario-pack row played on it (-1: a skirmish land, or the
    // campaign land every other mission plays on), its starts (team 1 on the first, team 2 on
    // the last) and its shapes, in drawing order.
    int scenarioRow = -1;
    std::vector<std::pair<int, int>> starts = {};
    std::vector<Stroke> strokes = {};
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
// The land-pack row a scenario-pack row plays on: the mission's own land, else the campaign land.
int CampaignLandRow(int scenarioRow);
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
