#include "core/ValueCounter.h"

ValueCounter::~ValueCounter() {
    max = 0;
    current = 0;
}

void ValueCounter::Subtract(int32_t amount) {
    current = static_cast<int32_t>(static_cast<uint32_t>(current) - static_cast<uint32_t>(amount));
}
