#pragma once
// A test clock: installs itself as the platform's millisecond clock for its lifetime and
// restores the real clock in its destructor. Time moves only when the test says so, and may
// start anywhere (near the 32-bit wrap, say).
#include <cstdint>

class FakeClock {
public:
    explicit FakeClock(uint32_t startMs = 0);
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    uint32_t Now() const { return now; }
    void Set(uint32_t ms) { now = ms; }
    // Moves the clock forward, wrapping at 2^32 as the platform clock does.
    void Advance(uint32_t ms) { now += ms; }

private:
    uint32_t now;
};
