#include "core/U32Stack.h"

#include <algorithm>
#include <limits>

U32Stack::U32Stack(int32_t initialCapacity) {
    Reserve(std::max<int32_t>(initialCapacity, 1));
}

U32Stack::~U32Stack() {
    Free();
}

void U32Stack::Push(uint32_t value) {
    if (count >= capacity) {
        // A freed stack has no capacity: it starts again at one slot.
        const int32_t grown = capacity > std::numeric_limits<int32_t>::max() / 2
                                  ? std::numeric_limits<int32_t>::max()
                                  : std::max<int32_t>(capacity * 2, 1);
        if (grown <= count) return;
        Reserve(grown);
    }
    data[count++] = value;
}

uint32_t U32Stack::Pop() {
    return count > 0 ? data[--count] : 0;
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
