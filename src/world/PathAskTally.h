#pragma once

// How many route searches were asked of the path queue and how many served, by why they were
// asked, in the last tick and over the game, with the longest wait of a served request: the
// measure of who crowds the queue.
#include <array>
#include <cstdint>
#include <string>

#include "objects/RouteAsk.h"

struct PathAskTally {
    static constexpr int kKinds = static_cast<int>(RouteAsk::kCount);
    using Counts = std::array<int64_t, kKinds>;
    // This tick's, cleared as the tick starts (StartTick).
    Counts askedThisTick{};
    Counts servedThisTick{};
    Counts asked{};
    Counts served{};
    // The longest a request waited before it was served, by kind.
    std::array<int32_t, kKinds> longestWaitMs{};
    int32_t longestQueue = 0;
    int32_t mostServedInTick = 0;
    int64_t ticks = 0;

    void StartTick(int32_t queueLength);
    void Ask(RouteAsk why);
    void Serve(RouteAsk why, int32_t waitedMs);
    // One line: per kind, asked / served per tick on average over the game, and the longest wait.
    std::string Figures() const;
    static const char* Name(RouteAsk why);
};
