#pragma once
// The handle of a sound-device buffer as the game holds it. None is no buffer; Placeholder
// stands in for a buffer while the device is closed, so that a sample counts as loaded, and
// never reaches the platform.
#include <cstdint>

enum class SoundBuffer : uint64_t { None = 0, Placeholder = 1 };
