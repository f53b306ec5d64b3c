#pragma once
// A counter that is refilled to a maximum and counted down without a lower bound.
#include <cstdint>

class ValueCounter {
public:
    ValueCounter() = default;
    ValueCounter(const ValueCounter& other) = default;
    ValueCounter& operator=(const ValueCounter& other) = default;
    virtual ~ValueCounter();

    // The current value is left as it is.
    void SetMax(int32_t m) { max = m; }
    void Reset() { current = max; }
    void Subtract(int32_t amount);
    bool IsPositive() const { return current > 0; }

    int32_t max = 0;
    int32_t current = 0;
};
