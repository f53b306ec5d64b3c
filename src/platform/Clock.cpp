#include "platform/Clock.h"

#include <time.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

std::function<uint32_t()>& ClockSource() {
    static std::function<uint32_t()> source;
    return source;
}

struct FixedClock {
    int active = 0;
    uint32_t step = 0;
    uint32_t now = 0;
};

FixedClock& Fixed() {
    static FixedClock fixed = [] {
        FixedClock f;
        const char* setting = std::getenv("QX_CLOCK");
        if (setting && std::strncmp(setting, "fixed:", 6) == 0) {
            char* end = nullptr;
            long step = std::strtol(setting + 6, &end, 10);
            if (end != setting + 6 && *end == '\0' && step > 0 && step <= 60000) {
                f.active = 1;
                f.step = static_cast<uint32_t>(step);
                // Start away from 0 so that "never started" timers behave as on a real clock.
                f.now = 100000;
            }
        }
        return f;
    }();
    return fixed;
}

uint32_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms =
        static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace

uint32_t winx_timeGetTime() {
    if (ClockSource()) return ClockSource()();
    if (Fixed().active) return Fixed().now;
    return MonotonicMs();
}

void winx_SetClockSource(std::function<uint32_t()> source) {
    ClockSource() = std::move(source);
}

int winx_FixedClockActive() {
    return Fixed().active;
}

void winx_AdvanceFixedClock() {
    if (Fixed().active) Fixed().now += Fixed().step;
}

void winx_AdvanceFixedClockBy(uint32_t ms) {
    if (Fixed().active) Fixed().now += ms;
}
