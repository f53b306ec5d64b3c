#pragma once
// Volume percentages and DirectSound attenuations (hundredths of a decibel, 0 = full,
// -10000 = silent), in the game's own bands.
#include <cstdint>

int32_t VolumeToAttenuation(int32_t percent);
// Each band maps back to its lowest percentage.
int32_t AttenuationToVolume(int32_t attenuation);
// The attenuation a movie plays at: the master volume taken relative to the movie's own.
int32_t MovieAttenuation(int32_t masterVolume, int32_t movieAttenuation);
