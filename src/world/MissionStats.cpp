#include "world/MissionStats.h"

#include <cmath>
#include <cstdint>

#include "world/World.h"

int32_t MissionStats::totalUnits = 0;
int32_t MissionStats::totalCost = 0;
int32_t MissionStats::totalEffort = 0;

namespace {

constexpr int32_t kCampaignParMs = 180000;
constexpr int32_t kOpponentParMs = 600000;

// Truncation toward zero, clamped to 0 .. 100. A term that is not a number or infinite (a
// division by zero) must not reach the conversion, whose result would be undefined: it rates 0.
int RatingOf(float value) {
    if (!std::isfinite(value)) return 0;
    if (value <= 0.0f) return 0;
    if (value >= 100.0f) return 100;
    return static_cast<int>(value);
}

// A counter from a file may sit at either end of int32: sums are taken in 64 bits and a
// counter that would pass its end stays there, so nothing overflows and the file format's
// "%d" still holds every value.
int32_t Saturated(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void AddTo(int32_t& counter, int64_t amount) {
    counter = Saturated(int64_t{counter} + amount);
}

// A term above its cap, or not a number (or infinite), takes the cap.
float Capped(float term, float cap) {
    return std::isfinite(term) && term <= cap ? term : cap;
}

}  // namespace

MissionStats::MissionStats() : clock(std::make_unique<Timer>(0)) {}

MissionStats::MissionStats(const MissionStats& other) : MissionStats() {
    CopyCounters(other);
}

MissionStats::~MissionStats() = default;

void MissionStats::CopyCounters(const MissionStats& other) {
    kills = other.kills;
    losses = other.losses;
    buildEffort = other.buildEffort;
    buildCost = other.buildCost;
    unitsMade = other.unitsMade;
    baseTime = other.baseTime;
}

void MissionStats::ResetTotals(World& world) {
    totalCost = 0;
    totalEffort = 0;
    totalUnits = 0;
    for (int team = 1; team < World::kTeams; ++team) {
        totalUnits += world.sims[team].Count();
        if (world.TeamFactory(team)) ++totalUnits;
    }
}

void MissionStats::ClearTotals() {
    totalUnits = 0;
    totalCost = 0;
    totalEffort = 0;
}

void MissionStats::Tally(int effort, int cost) {
    AddTo(unitsMade, 1);
    AddTo(buildEffort, effort);
    AddTo(buildCost, cost);
    AddTo(totalUnits, 1);
    AddTo(totalEffort, effort);
    AddTo(totalCost, cost);
}

int32_t MissionStats::ElapsedTotal() const {
    return Saturated(int64_t{clock->Elapsed()} + baseTime);
}

int MissionStats::CombatRating() const {
    const float a = 0.5f - static_cast<float>(losses) / static_cast<float>(unitsMade);
    const float b =
        0.5f * static_cast<float>(kills) / static_cast<float>(int64_t{totalUnits} - unitsMade - 1);
    return RatingOf(100.0f * (a + b));
}

int MissionStats::TimeRating(int mission, int players) const {
    const float e = Capped(0.83f - static_cast<float>(int64_t{buildEffort} + buildCost) /
                                       static_cast<float>(int64_t{totalEffort} + totalCost),
                           0.5f);
    const int64_t par =
        mission != 0 ? int64_t{mission} * kCampaignParMs : int64_t{players - 1} * kOpponentParMs;
    const float t =
        Capped(0.5f * static_cast<float>(par) / static_cast<float>(ElapsedTotal()), 0.5f);
    return RatingOf(100.0f * (e + t));
}

int MissionStats::TotalScore(int mission, int players) const {
    float r = 0.0f;
    // A whole-number quotient: 3 losses against 2 kills is 1, 1 against 2 is 0.
    if (kills > 0) r = static_cast<float>(losses / kills);
    if (r > 1.0f) r = 1.0f;
    const double sum = 10000.0 * TimeRating(mission, players) / 100 +
                       10000.0 * CombatRating() / 100 + 10000.0 * (1.0 - r);
    const float score = static_cast<float>(33.3333 * sum);
    return static_cast<int>(score);
}
