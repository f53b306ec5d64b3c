#include "platform/Clock.h"

#include <time.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr char kSettingName[] = "QX_CLOCK";
constexpr long kLongestStep = 60000;

std::function<uint32_t()>& ClockSource() {
    static std::function<uint32_t()> source;
    return source;
}

uint64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

struct RealClock {
    std::function<uint64_t()> raw;
    uint64_t processStart = MonotonicMs();

    uint64_t Raw() const { return raw ? raw() : MonotonicMs(); }
};

RealClock& Real() {
    static RealClock real;
    return real;
}

// The process start is taken when the program is loaded, not at the clock's first reading.
[[maybe_unused]] const bool processStartTaken = (Real(), true);

struct FixedClock {
    int active = 0;
    uint32_t step = 0;
    uint32_t now = kClockOrigin;
};

FixedClock ReadFixedSetting(bool refuseBadValue) {
    FixedClock f;
    const char* setting = std::getenv(kSettingName);
    if (!setting || !*setting) return f;
    std::string error;
    f.step = winx_ParseClockSetting(setting, error);
    f.active = f.step > 0 ? 1 : 0;
    if (!f.active && refuseBadValue) {
        std::fprintf(stderr, "%s=%s: %s\n", kSettingName, setting, error.c_str());
        std::exit(2);
    }
    return f;
}

FixedClock& Fixed() {
    static FixedClock fixed = ReadFixedSetting(false);
    return fixed;
}

}  // namespace

uint32_t winx_timeGetTime() {
    if (ClockSource()) return ClockSource()();
    if (Fixed().active) return Fixed().now;
    const RealClock& real = Real();
    // Cut to 32 bits after the origin is added: the clock still wraps, but only after 49.7 days
    // of one run.
    return static_cast<uint32_t>(real.Raw() - real.processStart + kClockOrigin);
}

uint32_t winx_ClockSeed() {
    if (ClockSource() || Fixed().active) return winx_timeGetTime();
    return static_cast<uint32_t>(Real().Raw());
}

void winx_SetClockSource(std::function<uint32_t()> source) {
    ClockSource() = std::move(source);
}

void winx_SetRawClockSource(std::function<uint64_t()> source) {
    RealClock& real = Real();
    real.raw = std::move(source);
    real.processStart = real.Raw();
}

uint64_t winx_RealTimeMs() {
    return Real().Raw();
}

uint32_t winx_ParseClockSetting(const char* setting, std::string& error) {
    if (!setting || std::strncmp(setting, "fixed:", 6) != 0) {
        error = "expected fixed:N with N milliseconds per pass";
        return 0;
    }
    const char* digits = setting + 6;
    char* end = nullptr;
    const long step =
        std::isdigit(static_cast<unsigned char>(*digits)) ? std::strtol(digits, &end, 10) : 0;
    if (!end || *end != '\0' || step < 1 || step > kLongestStep) {
        error = "the step must be a whole number of milliseconds from 1 to 60000";
        return 0;
    }
    return static_cast<uint32_t>(step);
}

void winx_StartClock() {
    const FixedClock setting = ReadFixedSetting(true);
    // A clock already running at this step keeps its time.
    if (setting.active != Fixed().active || setting.step != Fixed().step) Fixed() = setting;
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
