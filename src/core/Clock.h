#pragma once
// The program's one time base: every timer reads the clock through GetTimeMs.
#include <cstdint>

uint32_t GetTimeMs();
