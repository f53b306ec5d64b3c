#pragma once
// The one palette of the sample assets: the indices the game gives fixed roles, the team
// colours, and ramps (dark to light) for terrain, metal, fire and the interface, so that the
// game's shade and blend tables find close colours for every mix.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Palette.h"

namespace mkassets {

// Palette indices with fixed roles in the game.
namespace PaletteIndex {
constexpr uint8_t kBlack = 0;
constexpr uint8_t kTeamFirst = 1;  // 1-4 clan V, 5-8 clan T
constexpr uint8_t kTextDim = 9;
constexpr uint8_t kText = 10;
constexpr uint8_t kStatusGood = 11;
constexpr uint8_t kStatusWarn = 15;
constexpr uint8_t kStatusBad = 16;
constexpr uint8_t kHighlight = 18;
constexpr uint8_t kTracerV = 19;
constexpr uint8_t kMiniGround = 27;
constexpr uint8_t kLightGrey = 32;
constexpr uint8_t kFieldText = 34;
constexpr uint8_t kSensorC = 41;
constexpr uint8_t kMiniWater = 92;
constexpr uint8_t kDestructible = 53;
constexpr uint8_t kFieldBack = 54;
constexpr uint8_t kSelectionBar = 55;
constexpr uint8_t kSensorB = 67;
constexpr uint8_t kWreck = 81;
constexpr uint8_t kMiniRock = 45;
constexpr uint8_t kMiniUnknown = 97;
constexpr uint8_t kBrightGreen = 100;
constexpr uint8_t kOre = 109;
constexpr uint8_t kHeading = 110;
constexpr uint8_t kPulse = 111;
constexpr uint8_t kResultsText = 126;
constexpr uint8_t kFog = 254;
constexpr uint8_t kWhite = 255;
}  // namespace PaletteIndex

enum class RampId { Metal, Interface, Earth, Grass, Sand, Rock, Water, Fire, Ore, Crystal, Count };

// A dark-to-light run of palette indices.
class Ramp {
public:
    Ramp() = default;
    explicit Ramp(std::vector<uint8_t> indices);
    virtual ~Ramp();

    int Size() const { return static_cast<int>(indices.size()); }
    // Step k, clamped to the ramp.
    uint8_t At(int k) const;
    // The step at brightness t in 0..1, clamped.
    uint8_t AtFraction(double t) const;

private:
    std::vector<uint8_t> indices;
};

class AssetPalette {
public:
    AssetPalette();
    virtual ~AssetPalette();

    const Rgb& Colour(int index) const { return colours[static_cast<size_t>(index & 0xFF)]; }
    const Ramp& GetRamp(RampId id) const { return ramps[static_cast<size_t>(id)]; }

    // 768 bytes: red, green, blue of entries 0 to 255.
    std::vector<uint8_t> FileBytes() const;
    // The closest index by squared distance among 9..254 without 111, lower index on a tie:
    // the game's own rule, so tables made here agree with the ones it builds.
    uint8_t Nearest(Rgb colour) const;
    // Flag byte 0 and the 256 x 256 table of half-and-half mixes (screen x 256 + picture).
    std::vector<uint8_t> BlendTable() const;

private:
    std::array<Rgb, 256> colours{};
    std::array<Ramp, static_cast<size_t>(RampId::Count)> ramps;
};

}  // namespace mkassets
