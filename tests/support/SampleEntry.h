#pragma once
// Builds sample entries in the sound pack's format for tests: format code 0 (little-endian
// header words after 16 unused bytes, and at 16 bits a block before the samples that is not
// played), 1 (big-endian header) or 2 (little-endian header), followed by the sample bytes.
#include <climits>
#include <cstdint>
#include <vector>

// SampleShape::frames: as many frames as the samples hold.
constexpr int32_t kFramesFromSamples = INT32_MIN;

struct SampleShape {
    int format = 2;
    int32_t bits = 16;
    int32_t channels = 2;
    int32_t rate = 22050;
    int32_t frames = kFramesFromSamples;
};

// The byte the unplayed block of format 0 is filled with, so a misplaced read shows.
constexpr uint8_t kSkippedBlockByte = 0xEE;

std::vector<uint8_t> MakeSampleEntry(const SampleShape& shape, const std::vector<uint8_t>& samples);
// Frame i of channel c holds a 16-bit value that names both (distinct up to 2^15 frames).
std::vector<uint8_t> CountingSamples16(int32_t frames, int32_t channels, int32_t base = 0);
