#include "LandMaker.h"

#include <algorithm>
#include <cmath>

#include "AssetPalette.h"
#include "Canvas.h"
#include "Noise.h"
#include "PictureEncoding.h"
#include "StartCheck.h"
#include "StringLines.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace LandMaker {

const char* const kFeaturePack = "7a0lfeat99s999.msp";
const char* const kDecorationPack = "7a0ldeco99s999.msp";

namespace {

using Grid = std::vector<std::string>;
using Cell = std::pair<int, int>;

constexpr char kGround = 'c';
constexpr char kWater = 'w';
constexpr char kRock = 'r';
constexpr int kStartClearance = 4;  // open ground round a start point, in cells

void FillRect(Grid& grid, int row, int column, int height, int width, char letter) {
    for (int r = row; r < row + height; ++r) {
        for (int c = column; c < column + width; ++c) {
            if (r >= 0 && r < static_cast<int>(grid.size()) && c >= 0 &&
                c < static_cast<int>(grid[0].size())) {
                grid[static_cast<size_t>(r)][static_cast<size_t>(c)] = letter;
            }
        }
    }
}

void FillDisc(Grid& grid, int row, int column, int radius, char letter) {
    for (int r = row - radius; r <= row + radius; ++r) {
        for (int c = column - radius; c <= column + radius; ++c) {
            const int dr = r - row, dc = c - column;
            if (dr * dr + dc * dc <= radius * radius) FillRect(grid, r, c, 1, 1, letter);
        }
    }
}

// A road of open ground, two cells wide, between two cells.
void Road(Grid& grid, Cell from, Cell to) {
    const int steps = std::max(std::abs(to.first - from.first), std::abs(to.second - from.second));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
        const int r = static_cast<int>(std::lround(from.first + (to.first - from.first) * t));
        const int c = static_cast<int>(std::lround(from.second + (to.second - from.second) * t));
        FillRect(grid, r, c, 2, 2, kGround);
    }
}

bool NearAny(const std::vector<Cell>& cells, int row, int column, int distance) {
    return std::any_of(cells.begin(), cells.end(), [&](const Cell& cell) {
        return std::abs(cell.first - row) <= distance && std::abs(cell.second - column) <= distance;
    });
}

std::vector<Cell> CornerStarts(int rows, int columns) {
    const int top = std::max(kStartClearance + 2, rows / 5);
    const int left = std::max(kStartClearance + 2, columns / 5);
    const int bottom = rows - 1 - top;
    const int right = columns - 1 - left;
    std::vector<Cell> starts{{top, left}, {top, right}, {bottom, left}, {bottom, right}};
    if (rows >= 60 && columns >= 60) {
        starts.push_back({rows / 2, left});
        starts.push_back({rows / 2, right});
    }
    return starts;
}

// Height-field lands: low ground floods, high ground turns to rock.
Grid HeightLand(const LandPlan& plan, double waterBelow, double rockAbove, double scale) {
    const ValueNoise height(plan.seed);
    Grid grid(static_cast<size_t>(plan.rows),
              std::string(static_cast<size_t>(plan.columns), kGround));
    for (int r = 0; r < plan.rows; ++r) {
        for (int c = 0; c < plan.columns; ++c) {
            const double h = height.Fractal(c / scale, r / scale, 4);
            char& letter = grid[static_cast<size_t>(r)][static_cast<size_t>(c)];
            letter = h < waterBelow ? kWater : (h > rockAbove ? kRock : kGround);
        }
    }
    return grid;
}

void AddRivers(Grid& grid, const LandPlan& plan) {
    Rng rng(plan.seed ^ 0x51DEULL);
    for (int river = 0; river < 2; ++river) {
        const double base = plan.columns * (river == 0 ? 0.36 : 0.66);
        const double phase = rng.Unit() * 6.28;
        for (int r = 0; r < plan.rows; ++r) {
            const int centre = static_cast<int>(base + 4.0 * std::sin(r / 7.0 + phase));
            const bool ford = (r + river * 9) % 18 < 2;
            FillRect(grid, r, centre - 1, 1, 3, ford ? kGround : kWater);
        }
    }
}

constexpr int kIslandRadius = 6;

// The start islands' centres. A factory rolls its units out to the south-west, so the
// north-east island lies two columns further east than the others: its roll-out ground then
// keeps clear of the maze's outer wall.
std::vector<Cell> MazeStarts(int n) {
    return {{8, 8}, {8, n - 7}, {n - 9, 8}, {n - 9, n - 9}};
}

// A maze of rock walls on an island, with islands round it joined by bridges one cell wide,
// two of them only corner to corner, and one island that no ground path reaches.
Grid MazeLand(const LandPlan& plan) {
    Grid grid(static_cast<size_t>(plan.rows),
              std::string(static_cast<size_t>(plan.columns), kWater));
    const int n = plan.rows;  // the maze land is square
    for (const Cell& start : MazeStarts(n))
        FillDisc(grid, start.first, start.second, kIslandRadius, kGround);
    // Odd size: walls on the even offsets (both outer walls included), rooms on the odd ones.
    const int mazeTop = 14, mazeSize = n - 29;  // rows and columns 14 .. n - 16
    const int mazeEnd = mazeTop + mazeSize;     // first row and column past the maze
    FillRect(grid, mazeTop, mazeTop, mazeSize, mazeSize, kGround);
    const int rooms = (mazeSize - 1) / 2;
    for (int r = 0; r < mazeSize; ++r) {
        for (int c = 0; c < mazeSize; ++c) {
            if (r % 2 == 0 || c % 2 == 0) FillRect(grid, mazeTop + r, mazeTop + c, 1, 1, kRock);
        }
    }
    // Passages carved by a depth-first walk over the rooms.
    Rng rng(plan.seed);
    std::vector<bool> seen(static_cast<size_t>(rooms * rooms), false);
    std::vector<Cell> stack{{0, 0}};
    seen[0] = true;
    while (!stack.empty()) {
        const Cell room = stack.back();
        std::vector<Cell> next;
        for (const Cell& step : {Cell{-1, 0}, Cell{1, 0}, Cell{0, -1}, Cell{0, 1}}) {
            const int r = room.first + step.first, c = room.second + step.second;
            if (r >= 0 && r < rooms && c >= 0 && c < rooms &&
                !seen[static_cast<size_t>(r * rooms + c)]) {
                next.push_back({r, c});
            }
        }
        if (next.empty()) {
            stack.pop_back();
            continue;
        }
        const Cell chosen =
            next[static_cast<size_t>(rng.Range(0, static_cast<int>(next.size()) - 1))];
        seen[static_cast<size_t>(chosen.first * rooms + chosen.second)] = true;
        // The wall between two rooms lies at the sum of their offsets, 2 r + 1 and 2 r' + 1.
        FillRect(grid, mazeTop + 1 + room.first + chosen.first,
                 mazeTop + 1 + room.second + chosen.second, 1, 1, kGround);
        stack.push_back(chosen);
    }
    // North-west and south-east: openings in the outer wall's corners, reached over cells that
    // meet their neighbours only at the corners.
    FillRect(grid, mazeTop, mazeTop, 2, 2, kGround);
    FillRect(grid, mazeEnd - 2, mazeEnd - 2, 2, 2, kGround);
    FillRect(grid, mazeTop - 1, mazeTop - 1, 1, 1, kGround);
    FillRect(grid, mazeEnd, mazeEnd, 1, 1, kGround);
    FillRect(grid, mazeEnd + 1, mazeEnd + 1, 1, 1, kGround);
    // North-east: a bridge one cell wide, down and then west into a room of the east side.
    const int bridgeRow = mazeTop + 11;
    FillRect(grid, 13, n - 9, bridgeRow - 12, 1, kGround);
    FillRect(grid, bridgeRow, mazeEnd - 1, 1, n - 9 - (mazeEnd - 1), kGround);
    // The south-west island stays cut off.
    return grid;
}

void DrawStrokes(Grid& grid, const LandPlan& plan) {
    const ValueNoise wander(plan.seed ^ 0x5710CEULL);
    for (const Stroke& s : plan.strokes) {
        if (s.kind == Stroke::Kind::Box) {
            FillRect(grid, s.row, s.column, s.rowRadius, s.columnRadius, s.letter);
            continue;
        }
        for (int r = s.row - 2 * s.rowRadius; r <= s.row + 2 * s.rowRadius; ++r) {
            for (int c = s.column - 2 * s.columnRadius; c <= s.column + 2 * s.columnRadius; ++c) {
                const double dr = static_cast<double>(r - s.row) / s.rowRadius;
                const double dc = static_cast<double>(c - s.column) / s.columnRadius;
                // The edge wanders by up to an eighth of the radius either way.
                const double d =
                    std::sqrt(dr * dr + dc * dc) + (wander.At(c / 4.0, r / 4.0) - 0.5) / 4.0;
                if (d <= 1.0 && (s.kind == Stroke::Kind::Ellipse || d > 0.8))
                    FillRect(grid, r, c, 1, 1, s.letter);
            }
        }
    }
}

std::vector<Cell> RollOutCells(const std::vector<Cell>& starts) {
    std::vector<Cell> cells;
    for (const Cell& start : starts)
        cells.push_back(StartCheck::RollOutCell(start));
    return cells;
}

// The ground every start's factory rolls its units out onto is open, and no land feature
// stands on it. Opened after the features and fields are drawn, so that the draws, and with
// them the rest of the land, stay as they were.
void OpenRollOutGround(Land& land) {
    const int reach = StartCheck::RollOutReach();
    const std::vector<Cell> cells = RollOutCells(land.starts);
    for (const Cell& cell : cells) {
        FillRect(land.letters, cell.first - reach, cell.second - reach, 2 * reach + 1,
                 2 * reach + 1, kGround);
    }
    std::erase_if(land.features,
                  [&](const LandFeature& f) { return NearAny(cells, f.row, f.column, reach); });
}

Land Generate(const LandPlan& plan) {
    Land land;
    land.plan = plan;
    switch (plan.style) {
        case LandStyle::Valley:
            land.letters = HeightLand(plan, 0.34, 0.66, 14.0);
            break;
        case LandStyle::Basin:
            land.letters = HeightLand(plan, 0.22, 0.60, 10.0);
            break;
        case LandStyle::Rivers:
            land.letters = HeightLand(plan, 0.0, 0.70, 12.0);
            AddRivers(land.letters, plan);
            break;
        case LandStyle::Plain:
            land.letters = HeightLand(plan, 0.28, 0.76, 16.0);
            break;
        case LandStyle::Open:
            land.letters.assign(static_cast<size_t>(plan.rows),
                                std::string(static_cast<size_t>(plan.columns), kGround));
            break;
        case LandStyle::Maze:
            land.letters = MazeLand(plan);
            land.starts = MazeStarts(plan.rows);
            break;
    }
    if (plan.style != LandStyle::Maze) {
        land.starts = plan.starts.empty() ? CornerStarts(plan.rows, plan.columns) : plan.starts;
        const Cell centre{plan.rows / 2, plan.columns / 2};
        if (plan.style != LandStyle::Rivers) {
            for (const Cell& start : land.starts)
                Road(land.letters, start, centre);
        }
        DrawStrokes(land.letters, plan);
        for (const Cell& start : land.starts) {
            FillRect(land.letters, start.first - kStartClearance, start.second - kStartClearance,
                     2 * kStartClearance + 1, 2 * kStartClearance + 1, kGround);
        }
    }

    // Land features on open ground away from the start areas; destructible fields likewise.
    Rng rng(plan.seed ^ 0xFEA7ULL);
    const int percent = plan.style == LandStyle::Open ? 0 : plan.style == LandStyle::Maze ? 1 : 3;
    for (int r = 2; r < plan.rows - 2; ++r) {
        for (int c = 2; c < plan.columns - 2; ++c) {
            if (land.letters[static_cast<size_t>(r)][static_cast<size_t>(c)] != kGround) continue;
            if (NearAny(land.starts, r, c, kStartClearance + 2)) continue;
            if (rng.Range(0, 99) >= percent) continue;
            int frame = rng.Range(0, kFeatureFrames - 1);
            if (plan.style == LandStyle::Valley || plan.style == LandStyle::Rivers)
                frame = rng.Range(0, 3);
            if (plan.style == LandStyle::Basin) frame = rng.Range(2, 5);
            land.features.push_back({r, c, frame});
        }
    }
    const std::vector<Cell> rollOuts = RollOutCells(land.starts);
    while (land.fields.size() < 3) {
        const int r = rng.Range(3, plan.rows - 4), c = rng.Range(3, plan.columns - 4);
        if (land.letters[static_cast<size_t>(r)][static_cast<size_t>(c)] == kGround &&
            !NearAny(land.starts, r, c, kStartClearance + 2) &&
            std::find(land.fields.begin(), land.fields.end(), Cell{r, c}) == land.fields.end() &&
            !NearAny(rollOuts, r, c, StartCheck::RollOutReach())) {
            land.fields.push_back({r, c});
        }
    }
    // Each start holds a field of its own (see kOwnFieldRows). On the maze, from three of the
    // islands no ground route leads to the maze either (two meet it only corner to corner,
    // where no unit squeezes through). Drawn last, so that the other draws, and with them the
    // rest of the land, stay as they were.
    for (const Cell& start : land.starts)
        land.fields.push_back({start.first + kOwnFieldRows, start.second + kOwnFieldColumns});
    OpenRollOutGround(land);
    return land;
}

// The continuous picture of the ground, pixel by pixel; smooth fields are kept on an 8-pixel
// lattice and blended, fine grain comes from a hash.
class GroundPainter {
public:
    GroundPainter(const Land& land, const AssetPalette& palette)
        : land(land),
          palette(palette),
          latticeColumns(land.plan.columns * 4 + 2),
          latticeRows(land.plan.rows * 4 + 2),
          lattice(static_cast<size_t>(latticeColumns) * latticeRows) {
        const ValueNoise heightNoise(land.plan.seed * 3 + 1);
        const ValueNoise moistNoise(land.plan.seed * 5 + 2);
        const ValueNoise jitterX(land.plan.seed * 7 + 3);
        const ValueNoise jitterY(land.plan.seed * 11 + 4);
        // How far terrain borders wander from the cell edges; the maze keeps crisp walls.
        const double wobble = land.plan.style == LandStyle::Maze ? 16.0 : 70.0;
        auto heightAt = [&heightNoise](double x, double y) {
            return heightNoise.Fractal(x / 150.0, y / 150.0, 4);
        };
        for (int ly = 0; ly < latticeRows; ++ly) {
            for (int lx = 0; lx < latticeColumns; ++lx) {
                const double x = lx * 8.0, y = ly * 8.0;
                Sample& sample = lattice[static_cast<size_t>(ly) * latticeColumns + lx];
                sample.height = static_cast<float>(heightAt(x, y));
                // Light from the upper left: the rise of the ground along the diagonal.
                sample.light =
                    static_cast<float>((heightAt(x - 6, y - 6) - heightAt(x + 6, y + 6)) * 6.0);
                sample.moisture = static_cast<float>(moistNoise.Fractal(x / 260.0, y / 260.0, 3));
                sample.shiftX =
                    static_cast<float>((jitterX.Fractal(x / 48.0, y / 48.0, 2) - 0.5) * wobble);
                sample.shiftY =
                    static_cast<float>((jitterY.Fractal(x / 48.0, y / 48.0, 2) - 0.5) * wobble);
            }
        }
    }

    // What the ground is at a pixel: a ramp and a level on it, plus how much fine grain the
    // material shows. Fields vary slowly, so one surface serves a 2 x 2 group of pixels.
    struct Surface {
        RampId ramp = RampId::Earth;
        double level = 0.0;
        double grain = 0.0;
        bool water = false;
    };

    Surface SurfaceAt(int x, int y) const {
        const Sample f = Blend(x, y);
        const int sx = x + static_cast<int>(f.shiftX), sy = y + static_cast<int>(f.shiftY);
        const char letter = LetterAt(sx, sy);
        const double h = f.height;
        if (letter == kWater) {
            const bool shallow = LetterAt(sx - 8, sy) != kWater || LetterAt(sx + 8, sy) != kWater ||
                                 LetterAt(sx, sy - 8) != kWater || LetterAt(sx, sy + 8) != kWater;
            return {RampId::Water, 0.28 + 0.3 * h + (shallow ? 0.2 : 0.0), 0.06, true};
        }
        if (letter == kRock) {
            // Raised ground: a lit rim where the rock begins to the upper left, a shadowed cliff
            // where it ends to the lower right.
            double level = 0.3 + 0.45 * h + f.light * 2.0;
            if (LetterAt(sx - 5, sy - 5) != kRock) level += 0.25;
            if (LetterAt(sx + 5, sy + 5) != kRock) level -= 0.3;
            return {RampId::Rock, level, 0.12, false};
        }
        const bool shore = LetterAt(sx - 7, sy) == kWater || LetterAt(sx + 7, sy) == kWater ||
                           LetterAt(sx, sy - 7) == kWater || LetterAt(sx, sy + 7) == kWater;
        if (shore) return {RampId::Sand, 0.45 + 0.3 * h, 0.12, false};
        const double level = 0.34 + 0.34 * h + f.light * 1.0;
        if (land.plan.style == LandStyle::Basin) {
            return {f.moisture < 0.55 ? RampId::Sand : RampId::Earth, level + 0.1, 0.14, false};
        }
        return {f.moisture > 0.45 ? RampId::Grass : RampId::Earth, level, 0.14, false};
    }

    uint8_t Pixel(const Surface& surface, int x, int y) const {
        double level = surface.level + (Hash(x, y) - 0.5) * surface.grain;
        if (surface.water && ((x + 2 * y) / 3 + (Hash(x / 6, y / 2) > 0.8 ? 1 : 0)) % 7 == 0) {
            level += 0.12;  // ripples
        }
        return palette.GetRamp(surface.ramp).AtFraction(level);
    }

private:
    struct Sample {
        float height = 0, light = 0, moisture = 0, shiftX = 0, shiftY = 0;
    };

    char LetterAt(int x, int y) const {
        const int column = std::clamp(x / 32, 0, land.plan.columns - 1);
        const int row = std::clamp(y / 32, 0, land.plan.rows - 1);
        return land.letters[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }

    // All fields at a pixel, blended from the four lattice points round it.
    Sample Blend(int x, int y) const {
        const int ix = std::clamp(x / 8, 0, latticeColumns - 2);
        const int iy = std::clamp(y / 8, 0, latticeRows - 2);
        const float tx = static_cast<float>(x - ix * 8) / 8.0f;
        const float ty = static_cast<float>(y - iy * 8) / 8.0f;
        const Sample* a = lattice.data() + static_cast<size_t>(iy) * latticeColumns + ix;
        const Sample* c = a + latticeColumns;
        auto mix = [tx, ty](float p, float q, float r, float s) {
            const float top = p + (q - p) * tx;
            return top + (r + (s - r) * tx - top) * ty;
        };
        return {mix(a[0].height, a[1].height, c[0].height, c[1].height),
                mix(a[0].light, a[1].light, c[0].light, c[1].light),
                mix(a[0].moisture, a[1].moisture, c[0].moisture, c[1].moisture),
                mix(a[0].shiftX, a[1].shiftX, c[0].shiftX, c[1].shiftX),
                mix(a[0].shiftY, a[1].shiftY, c[0].shiftY, c[1].shiftY)};
    }

    double Hash(int x, int y) const {
        uint64_t z = (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) ^
                     static_cast<uint32_t>(y) ^ land.plan.seed;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * (1.0 / 9007199254740992.0);
    }

    const Land& land;
    const AssetPalette& palette;
    int latticeColumns;
    int latticeRows;
    std::vector<Sample> lattice;
};

int Distance(const Rgb& a, const Rgb& b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

// Codes 32 x 32 pixels as 8 x 8 blocks of two colours: the two most different colours of each
// block, every pixel taking the nearer one.
void CodeTile(const uint8_t* pixels, const AssetPalette& palette, std::vector<uint8_t>& out) {
    for (int by = 0; by < 8; ++by) {
        for (int bx = 0; bx < 8; ++bx) {
            uint8_t block[16];
            for (int i = 0; i < 16; ++i)
                block[i] = pixels[(by * 4 + i / 4) * 32 + bx * 4 + i % 4];
            // Most blocks hold a handful of distinct colours: pair those, not all sixteen.
            uint8_t distinct[16];
            int count = 0;
            for (uint8_t colour : block) {
                if (std::find(distinct, distinct + count, colour) == distinct + count) {
                    distinct[count++] = colour;
                }
            }
            uint8_t first = distinct[0], second = distinct[0];
            int widest = -1;
            for (int i = 0; i < count; ++i) {
                for (int j = i + 1; j < count; ++j) {
                    const int d =
                        Distance(palette.Colour(distinct[i]), palette.Colour(distinct[j]));
                    if (d > widest) {
                        widest = d;
                        first = distinct[i];
                        second = distinct[j];
                    }
                }
            }
            uint16_t mask = 0;
            for (int i = 0; i < 16; ++i) {
                const Rgb& c = palette.Colour(block[i]);
                if (Distance(c, palette.Colour(second)) < Distance(c, palette.Colour(first))) {
                    mask = static_cast<uint16_t>(mask | (1u << i));  // bit 4 x row + column
                }
            }
            out.insert(out.end(), {first, second, static_cast<uint8_t>(mask >> 8),
                                   static_cast<uint8_t>(mask & 0xFF)});
        }
    }
}

void Shadow(Canvas& canvas, int cx, int cy, int rx, int ry) {
    for (int y = cy - ry; y <= cy + ry; ++y) {
        for (int x = cx - rx; x <= cx + rx; ++x) {
            const double dx = (x - cx) / static_cast<double>(rx),
                         dy = (y - cy) / static_cast<double>(ry);
            if (dx * dx + dy * dy <= 1.0 && canvas.Inside(x, y) &&
                canvas.CoverAt(x, y) == Canvas::Cover::Clear) {
                canvas.PlotShade(x, y);
            }
        }
    }
}

// A ball lit from the upper left, in steps of a ramp.
void ShadedBall(Canvas& canvas, int cx, int cy, int radius, const mkassets::Ramp& ramp, Rng& rng) {
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            const double dx = (x - cx) / static_cast<double>(radius);
            const double dy = (y - cy) / static_cast<double>(radius);
            const double d2 = dx * dx + dy * dy;
            if (d2 > 1.0) continue;
            const double lit =
                0.55 - 0.45 * (dx + dy) * 0.7 - d2 * 0.25 + (rng.Unit() - 0.5) * 0.15;
            canvas.Plot(x, y, ramp.AtFraction(lit));
        }
    }
}

Canvas FeatureFrame(int frame, const AssetPalette& palette) {
    Canvas canvas(48, 48);
    Rng rng(0xFEA70000ULL + static_cast<uint64_t>(frame));
    const mkassets::Ramp& grass = palette.GetRamp(RampId::Grass);
    const mkassets::Ramp& earth = palette.GetRamp(RampId::Earth);
    const mkassets::Ramp& rock = palette.GetRamp(RampId::Rock);
    switch (frame) {
        case 0:  // broad tree
        case 1:  // narrow tree
            Shadow(canvas, 30, 32, frame == 0 ? 14 : 10, 8);
            canvas.FillRect(22, 26, 4, 10, earth.At(4));
            ShadedBall(canvas, 24, 20, frame == 0 ? 13 : 9, grass, rng);
            if (frame == 0) ShadedBall(canvas, 17, 24, 7, grass, rng);
            break;
        case 2:  // boulder
        case 3:  // boulder pair
            Shadow(canvas, 29, 30, 13, 8);
            ShadedBall(canvas, 23, 25, 10, rock, rng);
            if (frame == 3) ShadedBall(canvas, 33, 29, 6, rock, rng);
            break;
        case 4: {  // crystal spire
            Shadow(canvas, 30, 34, 10, 6);
            const mkassets::Ramp& crystal = palette.GetRamp(RampId::Crystal);
            for (int y = 6; y < 36; ++y) {
                const int half = (y - 6) / 4 + 1;
                for (int x = 24 - half; x <= 24 + half; ++x) {
                    canvas.Plot(x, y, crystal.At(x < 24 ? 6 : (x == 24 ? 7 : 3)));
                }
            }
            break;
        }
        default: {  // ruined pillar
            Shadow(canvas, 31, 34, 11, 6);
            const mkassets::Ramp& metal = palette.GetRamp(RampId::Metal);
            for (int y = 12; y < 36; ++y) {
                for (int x = 19; x < 29; ++x) {
                    if (y < 16 && (x + y) % 5 == 0) continue;  // broken top
                    canvas.Plot(x, y, metal.At(x < 22 ? 11 : (x < 26 ? 8 : 5)));
                }
            }
            break;
        }
    }
    return canvas;
}

Canvas DecorationFrame(int frame, const AssetPalette& palette) {
    Canvas canvas(32, 32);
    Rng rng(0xDEC00000ULL + static_cast<uint64_t>(frame));
    const mkassets::Ramp& earth = palette.GetRamp(RampId::Earth);
    const int cx = 12 + frame * 3 % 9, cy = 14 + frame * 5 % 7, radius = 6 + frame;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double d = std::hypot(x - cx, y - cy) / radius + (rng.Unit() - 0.5) * 0.35;
            if (d < 0.45) {
                canvas.Plot(x, y, earth.At(1));
            } else if (d < 0.8) {
                canvas.Plot(x, y, earth.At(3 + (x + y) % 2));
            } else if (d < 1.0 && rng.Unit() < 0.5) {
                canvas.Plot(x, y, earth.At(5));
            }
        }
    }
    return canvas;
}

LandPlan MissionLand(const char* title, const char* tileSet, int scenarioRow, int columns, int rows,
                     uint64_t seed, std::vector<Cell> starts, std::vector<Stroke> strokes) {
    return {title, tileSet,     TileHome::Local,   LandStyle::Open,   -1, columns, rows,
            seed,  scenarioRow, std::move(starts), std::move(strokes)};
}

}  // namespace

const std::vector<LandPlan>& PackLands() {
    static const std::vector<LandPlan> lands = {
        {"Green Valley", "green", TileHome::Volume, LandStyle::Valley, StringLines::kFirstLandName,
         64, 64, 101},
        {"Dust Basin", "dust", TileHome::Local, LandStyle::Basin, StringLines::kFirstLandName + 1,
         72, 56, 202},
        {"Island Maze", "maze", TileHome::Volume, LandStyle::Maze, StringLines::kFirstLandName + 2,
         48, 48, 303},
        {"Twin Rivers", "rivers", TileHome::Local, LandStyle::Rivers,
         StringLines::kFirstLandName + 3, 72, 72, 404},
        // The campaign's land: every point the mission scripts name lies inside it.
        {"Long Front", "front", TileHome::Local, LandStyle::Open, StringLines::kFirstLandName + 5,
         200, 136, 606},
        // The missions whose briefings name a place get a land of their own that shows it: a
        // ridge or a river across the way between the two factories, crossed at one narrow
        // place, water or rock beside the enemy's factory, a crater round it. Team 1 stands on
        // the first start, team 2 on the last; the other two keep the land playable from
        // every start.
        MissionLand("Thorn Pass", "thorn", 1, 128, 64, 711,
                    {{30, 14}, {10, 100}, {52, 14}, {30, 100}},
                    {{Stroke::Kind::Ellipse, kRock, 32, 60, 40, 5},
                     {Stroke::Kind::Box, kRock, 0, 59, 64, 3},
                     {Stroke::Kind::Box, kGround, 29, 51, 4, 19}}),
        MissionLand("Ash Lake", "ashlake", 2, 88, 72, 722, {{16, 14}, {16, 58}, {44, 14}, {44, 58}},
                    {{Stroke::Kind::Ellipse, kWater, 35, 64, 8, 11}}),
        MissionLand("Red Mesa", "mesa", 3, 88, 72, 733, {{52, 14}, {52, 58}, {18, 14}, {18, 58}},
                    {{Stroke::Kind::Ellipse, kRock, 10, 68, 6, 9},
                     {Stroke::Kind::Ellipse, kRock, 34, 70, 5, 7}}),
        MissionLand("Silent Bay", "bay", 5, 96, 64, 755, {{16, 14}, {48, 14}, {48, 76}, {16, 72}},
                    {{Stroke::Kind::Ellipse, kWater, 63, 46, 40, 9}}),
        MissionLand("Cinder Ford", "ford", 12, 128, 64, 822,
                    {{20, 14}, {52, 14}, {10, 100}, {40, 100}},
                    {{Stroke::Kind::Ellipse, kWater, 32, 60, 45, 3},
                     {Stroke::Kind::Box, kWater, 0, 59, 64, 3},
                     {Stroke::Kind::Box, kGround, 30, 53, 4, 13}}),
        MissionLand("Orrin Ridge", "ridge", 14, 96, 64, 844,
                    {{20, 16}, {52, 16}, {10, 72}, {40, 72}},
                    {{Stroke::Kind::Ellipse, kRock, 32, 46, 40, 4},
                     {Stroke::Kind::Box, kRock, 0, 45, 64, 3},
                     {Stroke::Kind::Box, kGround, 12, 38, 4, 17},
                     {Stroke::Kind::Box, kGround, 48, 38, 4, 17}}),
        MissionLand("Hollow Crown", "crater", 16, 96, 72, 866,
                    {{36, 14}, {12, 14}, {60, 14}, {34, 62}},
                    {{Stroke::Kind::Rim, kRock, 36, 70, 14, 22},
                     {Stroke::Kind::Box, kGround, 34, 42, 4, 14}}),
        MissionLand("Pale River", "pale", 18, 200, 48, 888,
                    {{24, 150}, {38, 40}, {38, 150}, {20, 40}},
                    {{Stroke::Kind::Ellipse, kWater, 24, 97, 30, 4},
                     {Stroke::Kind::Box, kWater, 0, 96, 48, 3},
                     {Stroke::Kind::Box, kGround, 8, 90, 4, 15},
                     {Stroke::Kind::Box, kGround, 34, 90, 4, 15}}),
        MissionLand("Sunken Gate", "gate", 19, 96, 64, 899,
                    {{14, 14}, {46, 14}, {14, 72}, {46, 72}},
                    {{Stroke::Kind::Ellipse, kRock, 32, 46, 40, 4},
                     {Stroke::Kind::Box, kRock, 0, 45, 64, 3},
                     {Stroke::Kind::Box, kGround, 35, 38, 4, 17}}),
    };
    return lands;
}

int CampaignLandRow(int scenarioRow) {
    const std::vector<LandPlan>& lands = PackLands();
    auto land = std::find_if(lands.begin(), lands.end(),
                             [&](const LandPlan& p) { return p.scenarioRow == scenarioRow; });
    if (land == lands.end()) {
        land = std::find_if(lands.begin(), lands.end(), [](const LandPlan& p) {
            return p.style == LandStyle::Open && p.scenarioRow < 0;
        });
    }
    return land == lands.end() ? -1 : static_cast<int>(land - lands.begin());
}

const LandPlan& EditLand() {
    // "edit.lnd" looks for its tiles in the local asset directory only.
    static const LandPlan land = {"Proving Ground",
                                  "proving",
                                  TileHome::Local,
                                  LandStyle::Plain,
                                  StringLines::kFirstLandName + 4,
                                  40,
                                  40,
                                  505};
    return land;
}

Land BuildLand(const LandPlan& plan) {
    return Generate(plan);
}

std::string Describe(const Land& land, int paletteRow, int blendRow) {
    // Data files end their reading at an empty line, so nothing here may produce one.
    const LandPlan& plan = land.plan;
    std::string text;
    auto line = [&text](const std::string& s) { text += s + "\n"; };
    line(plan.nameLine < 0 ? std::string("@") + plan.title : std::to_string(plan.nameLine));
    line(std::to_string(paletteRow));
    line(std::to_string(kShadeValue));
    line(std::to_string(blendRow));
    line(std::to_string(plan.columns) + " " + std::to_string(plan.rows));
    line("0 0");  // the map is the whole sheet
    line(std::to_string(plan.columns) + " " + std::to_string(plan.rows));
    line("*");
    line(plan.tileSet);
    for (const std::string& row : land.letters)
        line(row);
    line("*");
    for (const Cell& start : land.starts)
        line(std::to_string(start.first) + " " + std::to_string(start.second));
    line("*");
    for (const Cell& field : land.fields)
        line(std::to_string(field.first) + " " + std::to_string(field.second));
    line("*");
    if (land.features.empty()) {
        line("*");
    } else {
        line(kFeaturePack);
        for (const LandFeature& f : land.features) {
            line(std::to_string(f.row) + " " + std::to_string(f.column) + " " +
                 std::to_string(f.frame));
        }
        line("*");
    }
    line(kDecorationPack);
    return text;
}

std::vector<uint8_t> PaintTileSet(const Land& land, const AssetPalette& palette) {
    const GroundPainter painter(land, palette);
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(1 + land.plan.rows * land.plan.columns) * kTileBytes);
    // Tile 0, never-seen ground: the fog colour with a faint weave. Neither of its colours is
    // 0x2A, so a tile set never begins with the pack magic.
    uint8_t pixels[kTileSize * kTileSize];
    for (int i = 0; i < kTileSize * kTileSize; ++i) {
        const int x = i % kTileSize, y = i / kTileSize;
        pixels[i] = ((x + y) % 8 == 0 || (x - y + 32) % 8 == 0) ? PaletteIndex::kMiniUnknown
                                                                : PaletteIndex::kFog;
    }
    CodeTile(pixels, palette, out);
    for (int row = 0; row < land.plan.rows; ++row) {
        for (int column = 0; column < land.plan.columns; ++column) {
            for (int y = 0; y < kTileSize; y += 2) {
                for (int x = 0; x < kTileSize; x += 2) {
                    const int px = column * kTileSize + x, py = row * kTileSize + y;
                    const GroundPainter::Surface surface = painter.SurfaceAt(px, py);
                    for (int i = 0; i < 4; ++i) {
                        pixels[(y + i / 2) * kTileSize + x + i % 2] =
                            painter.Pixel(surface, px + i % 2, py + i / 2);
                    }
                }
            }
            CodeTile(pixels, palette, out);
        }
    }
    return out;
}

std::vector<uint8_t> MakeFeaturePack(const AssetPalette& palette) {
    PackWriter pack(1, kFeatureFrames);
    for (int frame = 0; frame < kFeatureFrames; ++frame) {
        pack.SetEntry(0, frame, EncodePicture(FeatureFrame(frame, palette)));
    }
    return pack.Build();
}

std::vector<uint8_t> MakeDecorationPack(const AssetPalette& palette) {
    PackWriter pack(1, kDecorationFrames);
    for (int frame = 0; frame < kDecorationFrames; ++frame) {
        pack.SetEntry(0, frame, EncodePicture(DecorationFrame(frame, palette)));
    }
    return pack.Build();
}

}  // namespace LandMaker

}  // namespace mkassets
