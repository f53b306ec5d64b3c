#include "core/Meter.h"

#include <algorithm>
#include <cstdint>
#include <limits>

void Meter::Add(int32_t delta) {
    // Summed in 64 bits: a huge amount of damage saturates instead of wrapping to a heal.
    const int64_t sum = int64_t{value} + delta;
    value = static_cast<int32_t>(std::clamp<int64_t>(sum, 0, std::numeric_limits<int32_t>::max()));
}

int32_t Meter::Percent() const {
    if (max == 0) return 100;
    // The product wraps at 32 bits as the original arithmetic does.
    const int32_t scaled = static_cast<int32_t>(static_cast<uint32_t>(value) * 100u);
    if (max == -1) return static_cast<int32_t>(0u - static_cast<uint32_t>(scaled));
    return scaled / max;
}
