#pragma once
// The sample format the application asks the sound device for.
#include <cstdint>

struct AudioFormat {
    int32_t bitsPerSample = 0;
    int32_t channels = 0;
    int32_t samplesPerSecond = 0;
};
