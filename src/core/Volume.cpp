#include "core/Volume.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

// Percentage bands from the top: the first band whose floor the percentage reaches.
struct Band {
    int32_t lowestPercent;
    int32_t attenuation;
};

constexpr std::array<Band, 12> kBands{{
    {100, 0},
    {90, -250},
    {80, -300},
    {70, -500},
    {60, -650},
    {50, -1000},
    {40, -1200},
    {30, -1500},
    {20, -2000},
    {10, -2500},
    {1, -3000},
    {INT32_MIN, -10000},
}};

}  // namespace

int32_t VolumeToAttenuation(int32_t percent) {
    for (const Band& band : kBands) {
        if (percent >= band.lowestPercent) return band.attenuation;
    }
    return -10000;
}

int32_t AttenuationToVolume(int32_t attenuation) {
    // A band runs from just above the next quieter row's attenuation up to its own row's, and
    // everything louder than the quietest step below full counts as full.
    for (size_t i = 0; i + 1 < kBands.size(); ++i) {
        if (attenuation > kBands[i + 1].attenuation) return kBands[i].lowestPercent;
    }
    return 0;
}

int32_t MovieAttenuation(int32_t masterVolume, int32_t movieAttenuation) {
    return VolumeToAttenuation(masterVolume * AttenuationToVolume(movieAttenuation) / 100);
}
