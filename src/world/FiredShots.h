#pragma once
// The shots one peer announced (fire commands) that no hit report of its answered yet, and
// when each of its mounts may fire again. A peer's hit report must answer to a shot this
// machine saw fired: every shot is announced before it can hit, on the same link, and hurts at
// most one object. A shot counts only as often as its mount reloads, so a sender cannot bank
// shots it never fired. One per peer slot (PeerSlot), reset with it.
//
// How often a mount may fire is judged on this machine's clock as the announcements arrive.
// An honest mount fires again only once every other machine answered its last shot (kind 36),
// so it cannot announce the next before this machine applied the last: a stalled link holds
// at most one shot of each mount, and once it delivers, the mount's next shot is a reload
// later. Each mount therefore may come one reload early, and no more.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/SimId.h"

class FiredShots {
public:
    // Past these a sender's word grows nothing: the oldest shot is forgotten (it answers no
    // hit), and a mount past the count is not counted. An honest side's shots within a span
    // and its mounts reloading at once stay far below.
    static constexpr size_t kMostShots = 1 << 14;
    static constexpr size_t kMostMounts = 1 << 12;

    struct Shot {
        SimId shooter;
        // The team the shooter fought for when its shot was counted: its hit lands as that
        // team's, whatever became of the shooter since (a capture moves it, not its shots).
        int32_t team = -1;
        char clan = 0;
        char role = 0;
        // How far its weapon reaches; when it was counted, in battle time.
        int32_t reach = 0;
        int32_t firedAtMs = 0;
        bool answered = false;
    };

    // Counts the shot of the shooter's hardpoint, whose weapon reloads in `reloadMs`, arriving
    // at `nowMs` on the wall clock; not when the mount fired faster than its reload allows.
    // With `turrets` above 0 the hardpoint is not known here: the shot goes to the first of
    // that many turrets of the shooter firing the shot's weapon that may fire, whichever
    // hardpoint it names.
    void Count(const Shot& shot, int hardpoint, int turrets, int32_t reloadMs, uint32_t nowMs);
    // The oldest unanswered shot of the shooter with those letters counted within the span of
    // a dead shooter's hits (RecentDead::SpanMs) before `battleMs`, or null: a hit answers to
    // it by setting `answered`.
    Shot* Unanswered(const SimId& shooter, char clan, char role, int32_t battleMs);
    void Clear();

private:
    struct Mount {
        SimId shooter;
        // A turret of a shooter whose hardpoints are not known here is numbered below 0.
        int hardpoint = 0;
        char clan = 0;
        char role = 0;
        // When its next shot is due, and the longest reload it was counted with: how early a
        // shot may come.
        uint32_t dueAtMs = 0;
        int32_t slackMs = 0;
    };
    // Whether the mount numbered `hardpoint` of the shot's shooter and weapon may fire the shot
    // now; if so its next shot is due a reload later.
    bool Reloaded(const Shot& shot, int hardpoint, int32_t reloadMs, uint32_t nowMs);
    // Forgets the answered and expired shots at the front.
    void Forget(int32_t battleMs);

    std::deque<Shot> shots;
    std::vector<Mount> mounts;
};
