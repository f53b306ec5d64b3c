#pragma once
// A value measured against a maximum (a map object's damage, among others). The value never
// goes below 0 through Add, but may pass the maximum.
#include <cstdint>

class Meter {
public:
    Meter() = default;
    Meter(int32_t max, int32_t value) : max(max), value(value) {}
    virtual ~Meter() = default;

    void SetValue(int32_t v) { value = v; }
    void SetMax(int32_t m) { max = m; }
    int32_t Value() const { return value; }
    int32_t Max() const { return max; }
    void Add(int32_t delta);
    bool IsOver() const { return value > max; }
    // value * 100 / max in 32-bit arithmetic, not clamped; 100 when max is 0.
    int32_t Percent() const;

    int32_t max = 0;
    int32_t value = 0;
};
