#pragma once
// Three 32-bit values carried together; a map object's team record (owning team, controlling
// team, colour number).
#include <cstdint>

class ValueTriple {
public:
    // All three set to v.
    explicit ValueTriple(int32_t v = 0) : first(v), second(v), third(v) {}
    // (a, a, b).
    ValueTriple(int32_t a, int32_t b) : first(a), second(a), third(b) {}
    ValueTriple(const ValueTriple& other) = default;
    ValueTriple& operator=(const ValueTriple& other) = default;
    virtual ~ValueTriple() = default;

    int32_t first;
    int32_t second;
    int32_t third;
};
