#include "AssetPalette.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <unordered_map>

namespace mkassets {

namespace {

struct FixedColour {
    uint8_t index;
    Rgb colour;
};

// The game's fixed roles and the eight team colours.
constexpr FixedColour kFixed[] = {
    {PaletteIndex::kBlack, {0, 0, 0}},
    {1, {210, 40, 36}},   // clan V red
    {2, {48, 96, 230}},   // clan V blue
    {3, {236, 206, 48}},  // clan V yellow
    {4, {52, 180, 72}},   // clan V green
    {5, {236, 116, 40}},  // clan T orange
    {6, {40, 184, 224}},  // clan T sky
    {7, {204, 88, 212}},  // clan T violet
    {8, {164, 224, 64}},  // clan T lime
    {PaletteIndex::kTextDim, {150, 158, 172}},
    {PaletteIndex::kText, {238, 234, 214}},
    {PaletteIndex::kStatusGood, {96, 224, 96}},
    {PaletteIndex::kStatusWarn, {244, 184, 64}},
    {PaletteIndex::kStatusBad, {236, 84, 72}},
    {PaletteIndex::kHighlight, {250, 240, 130}},
    {PaletteIndex::kTracerV, {255, 190, 70}},
    {PaletteIndex::kMiniGround, {92, 124, 56}},
    {PaletteIndex::kLightGrey, {200, 200, 204}},
    {PaletteIndex::kFieldText, {250, 250, 232}},
    {PaletteIndex::kSensorC, {170, 90, 220}},
    {PaletteIndex::kMiniWater, {40, 84, 172}},
    {PaletteIndex::kDestructible, {142, 100, 60}},
    {PaletteIndex::kFieldBack, {24, 40, 72}},
    {PaletteIndex::kSelectionBar, {36, 92, 112}},
    {PaletteIndex::kSensorB, {240, 132, 40}},
    {PaletteIndex::kWreck, {92, 82, 72}},
    {PaletteIndex::kMiniRock, {122, 116, 110}},
    {PaletteIndex::kMiniUnknown, {36, 40, 36}},
    {PaletteIndex::kBrightGreen, {120, 255, 120}},
    {PaletteIndex::kOre, {230, 210, 60}},
    {PaletteIndex::kHeading, {255, 200, 90}},
    {PaletteIndex::kPulse, {40, 255, 255}},
    {PaletteIndex::kResultsText, {220, 230, 255}},
    {PaletteIndex::kFog, {22, 24, 32}},
    {PaletteIndex::kWhite, {255, 255, 255}},
};

struct RampDesign {
    RampId id;
    int steps;
    std::initializer_list<Rgb> keys;  // dark to light, spread evenly over the steps
};

const RampDesign kRamps[] = {
    {RampId::Metal, 16, {{14, 16, 20}, {120, 124, 132}, {236, 238, 242}}},
    {RampId::Interface, 16, {{8, 16, 34}, {40, 72, 120}, {172, 204, 244}}},
    {RampId::Earth, 16, {{30, 20, 12}, {110, 80, 48}, {204, 176, 128}}},
    {RampId::Grass, 16, {{12, 28, 10}, {64, 110, 40}, {164, 206, 100}}},
    {RampId::Sand, 12, {{92, 72, 40}, {176, 150, 96}, {242, 224, 174}}},
    {RampId::Rock, 16, {{22, 22, 26}, {108, 108, 116}, {216, 214, 210}}},
    {RampId::Water, 16, {{4, 12, 40}, {24, 70, 130}, {120, 188, 232}}},
    {RampId::Fire, 16, {{48, 4, 0}, {180, 30, 0}, {250, 140, 20}, {255, 230, 90}, {255, 252, 220}}},
    {RampId::Ore, 8, {{48, 34, 6}, {170, 130, 30}, {255, 226, 96}}},
    {RampId::Crystal, 8, {{30, 10, 44}, {110, 60, 160}, {210, 170, 240}}},
};

Rgb Mix(Rgb a, Rgb b, double t) {
    auto channel = [t](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>(std::lround(x + (y - x) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

Rgb AlongKeys(const std::initializer_list<Rgb>& keys, double t) {
    const std::vector<Rgb> k(keys);
    const double scaled = t * static_cast<double>(k.size() - 1);
    const size_t segment = std::min(static_cast<size_t>(scaled), k.size() - 2);
    return Mix(k[segment], k[segment + 1], scaled - static_cast<double>(segment));
}

bool IsCandidate(int index) {
    return index >= 9 && index <= 254 && index != PaletteIndex::kPulse;
}

}  // namespace

Ramp::Ramp(std::vector<uint8_t> list) : indices(std::move(list)) {}

Ramp::~Ramp() = default;

uint8_t Ramp::At(int k) const {
    if (indices.empty()) return PaletteIndex::kBlack;
    return indices[static_cast<size_t>(std::clamp(k, 0, Size() - 1))];
}

uint8_t Ramp::AtFraction(double t) const {
    return At(static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * (Size() - 1))));
}

AssetPalette::AssetPalette() {
    std::array<bool, 256> taken{};
    for (const FixedColour& fixed : kFixed) {
        colours[fixed.index] = fixed.colour;
        taken[fixed.index] = true;
    }
    int next = 9;
    // The designs below fit the free entries; past them a colour would overwrite white, so the
    // allocator stops at 254 (the read-back test checks the fog entry and the count of distinct
    // colours).
    auto allocate = [&]() {
        while (next < 254 && taken[static_cast<size_t>(next)])
            ++next;
        taken[static_cast<size_t>(next)] = true;
        return static_cast<uint8_t>(next);
    };
    for (const RampDesign& design : kRamps) {
        std::vector<uint8_t> indices;
        for (int step = 0; step < design.steps; ++step) {
            const uint8_t index = allocate();
            colours[index] = AlongKeys(design.keys, step / static_cast<double>(design.steps - 1));
            indices.push_back(index);
        }
        ramps[static_cast<size_t>(design.id)] = Ramp(std::move(indices));
    }
    // The rest is a coarse colour cube and a grey scale, so any mix lands near some entry.
    constexpr uint8_t kLevels[] = {32, 96, 160, 224};
    for (uint8_t r : kLevels) {
        for (uint8_t g : kLevels) {
            for (uint8_t b : kLevels)
                colours[allocate()] = {r, g, b};
        }
    }
    const int greysFrom = next;
    int free = 0;
    for (int i = greysFrom; i < 255; ++i)
        free += taken[static_cast<size_t>(i)] ? 0 : 1;
    for (int k = 0; k < free; ++k) {
        const auto level = static_cast<uint8_t>(8 + (k * 240) / std::max(1, free - 1));
        colours[allocate()] = {level, level, level};
    }
}

AssetPalette::~AssetPalette() = default;

std::vector<uint8_t> AssetPalette::FileBytes() const {
    std::vector<uint8_t> bytes;
    bytes.reserve(768);
    for (const Rgb& c : colours)
        bytes.insert(bytes.end(), {c.r, c.g, c.b});
    return bytes;
}

uint8_t AssetPalette::Nearest(Rgb colour) const {
    int best = 9;
    int bestDistance = 1 << 30;
    for (int i = 9; i <= 254; ++i) {
        if (!IsCandidate(i)) continue;
        const int dr = colour.r - colours[static_cast<size_t>(i)].r;
        const int dg = colour.g - colours[static_cast<size_t>(i)].g;
        const int db = colour.b - colours[static_cast<size_t>(i)].b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

std::vector<uint8_t> AssetPalette::BlendTable() const {
    std::vector<uint8_t> table(1 + 65536);
    table[0] = 0;
    std::unordered_map<uint32_t, uint8_t> nearestOf;
    for (int a = 0; a < 256; ++a) {
        for (int b = a; b < 256; ++b) {
            uint8_t mixed = static_cast<uint8_t>(a);
            if (a != b) {
                const Rgb& ca = colours[static_cast<size_t>(a)];
                const Rgb& cb = colours[static_cast<size_t>(b)];
                const Rgb half{static_cast<uint8_t>((ca.r + cb.r) / 2),
                               static_cast<uint8_t>((ca.g + cb.g) / 2),
                               static_cast<uint8_t>((ca.b + cb.b) / 2)};
                const uint32_t key = (half.r << 16) | (half.g << 8) | half.b;
                auto found = nearestOf.find(key);
                if (found == nearestOf.end()) found = nearestOf.emplace(key, Nearest(half)).first;
                mixed = found->second;
            }
            table[1 + static_cast<size_t>(a) * 256 + b] = mixed;
            table[1 + static_cast<size_t>(b) * 256 + a] = mixed;
        }
    }
    return table;
}

}  // namespace mkassets
