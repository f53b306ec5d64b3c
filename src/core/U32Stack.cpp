#include "core/U32Stack.h"

#include <algorithm>
#include <limits>

U32Stack::U32Stack(int32_t initialCapacity) {
    Reserve(std::max<int32_t>(initialCapacity, 1));
}

U32Stack::~U32Stack() {
    Free();
}

bool U32Stack::Grow() {
    // A freed stack has no capacity: it starts again at one slot.
    const int32_t grown = capacity > std::numeric_limits<int32_t>::max() / 2
                              ? std::numeric_limits<int32_t>::max()
                              : std::max<int32_t>(capacity * 2, 1);
    if (grown <= count) return false;
    Reserve(grown);
    return true;
}

void U32Stack::Reserve(int32_t n) {
    if (n <= capacity) return;
    auto grown = std::make_unique<uint32_t[]>(static_cast<size_t>(n));
    std::copy(data.get(), data.get() + capacity, grown.get());
    data = std::move(grown);
    capacity = n;
}

void U32Stack::Free() {
    data.reset();
    capacity = 0;
    count = 0;
}
