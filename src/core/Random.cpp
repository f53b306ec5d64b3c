#include "core/Random.h"

#include <cmath>

namespace {
constexpr uint32_t kModulus = 714025;
constexpr uint32_t kMultiplier = 4096;
constexpr uint32_t kIncrement = 150889;

uint32_t seed = 0;
}  // namespace

void SeedRandom(uint32_t value) {
    seed = value % kModulus;
}

uint32_t RandomNext() {
    // seed < 714025, so the product stays below 2^32.
    seed = (seed * kMultiplier + kIncrement) % kModulus;
    return seed;
}

uint32_t RandomMax() {
    return kModulus - 1;
}

int32_t RandomRange(int32_t a, int32_t b) {
    const uint32_t ua = static_cast<uint32_t>(a);
    const uint32_t ub = static_cast<uint32_t>(b);
    const double lo = ua < ub ? ua : ub;
    const double hi = ua < ub ? ub : ua;
    const double r = RandomNext();
    const double value = std::floor(lo + (hi + 0.99 - lo) * r / RandomMax());
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(value)));
}
