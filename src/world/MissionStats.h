#pragma once
// One team's record of the current game (kills, losses, what its units cost, how long the
// mission ran) and the two ratings and score the results screen shows. The running totals over
// all teams are the program's.
#include <cstdint>
#include <memory>

#include "core/Timer.h"

class World;

class MissionStats {
public:
    // The best score: perfect ratings and fewer losses than kills.
    static constexpr int32_t kBestScore = 999999;

    MissionStats();
    MissionStats(const MissionStats& other);
    MissionStats& operator=(const MissionStats&) = delete;
    virtual ~MissionStats();

    void CopyCounters(const MissionStats& other);
    // Units total: the units of teams 1 .. 4 in play plus one per production building; cost
    // and effort 0.
    static void ResetTotals(World& world);
    static void ClearTotals();
    void Tally(int effort, int cost);

    int32_t ElapsedTotal() const;
    void StartClock() { clock->Start(); }
    void StopClock() { clock->Stop(); }
    void PauseClock() { clock->Pause(); }
    void ResumeClock() { clock->Resume(); }

    // 0 .. 100.
    int CombatRating() const;
    // mission: the scenario's mission number; players: its player count.
    int TimeRating(int mission, int players) const;
    int TotalScore(int mission, int players) const;

    int32_t kills = 0;
    int32_t losses = 0;
    int32_t buildEffort = 0;
    int32_t buildCost = 0;
    int32_t unitsMade = 0;
    int32_t baseTime = 0;
    std::unique_ptr<Timer> clock;

    static int32_t totalUnits;
    static int32_t totalCost;
    static int32_t totalEffort;
};
