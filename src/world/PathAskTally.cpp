#include "world/PathAskTally.h"

#include <algorithm>
#include <cstdio>

void PathAskTally::StartTick(int32_t queueLength) {
    askedThisTick.fill(0);
    servedThisTick.fill(0);
    longestQueue = std::max(longestQueue, queueLength);
    ++ticks;
}

void PathAskTally::Ask(RouteAsk why) {
    const auto k = static_cast<size_t>(why);
    ++askedThisTick[k];
    ++asked[k];
}

void PathAskTally::Serve(RouteAsk why, int32_t waitedMs) {
    const auto k = static_cast<size_t>(why);
    ++servedThisTick[k];
    ++served[k];
    longestWaitMs[k] = std::max(longestWaitMs[k], waitedMs);
    int64_t tick = 0;
    for (const int64_t n : servedThisTick)
        tick += n;
    mostServedInTick = std::max(mostServedInTick, static_cast<int32_t>(tick));
}

const char* PathAskTally::Name(RouteAsk why) {
    static constexpr const char* kNames[kKinds] = {"place", "target",        "retry",     "goes on",
                                                   "group", "round friends", "step aside"};
    return kNames[static_cast<size_t>(why)];
}

std::string PathAskTally::Figures() const {
    const double perTick = ticks > 0 ? 1.0 / static_cast<double>(ticks) : 0.0;
    std::string line;
    char part[160];
    for (int k = 0; k < kKinds; ++k) {
        std::snprintf(part, sizeof part, " %s %.3f/%.3f (%d s);", Name(static_cast<RouteAsk>(k)),
                      static_cast<double>(asked[k]) * perTick,
                      static_cast<double>(served[k]) * perTick, longestWaitMs[k] / 1000);
        line += part;
    }
    std::snprintf(part, sizeof part, " longest queue %d, most served in a tick %d", longestQueue,
                  mostServedInTick);
    return line + part;
}
