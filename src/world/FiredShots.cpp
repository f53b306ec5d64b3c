#include "world/FiredShots.h"

#include <algorithm>

#include "world/RecentDead.h"

namespace {

// Whether `a` is at or after `b` on the wall clock, which may wrap.
bool AtOrAfter(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) >= 0;
}

}  // namespace

void FiredShots::Count(const Shot& shot, int hardpoint, int turrets, int32_t reloadMs,
                       uint32_t nowMs) {
    Forget(shot.firedAtMs);
    // A mount whose next shot is due already judges the next as a fresh one would.
    std::erase_if(mounts, [nowMs](const Mount& m) { return AtOrAfter(nowMs, m.dueAtMs); });
    bool counted = false;
    if (turrets <= 0) counted = Reloaded(shot, hardpoint, reloadMs, nowMs);
    for (int turret = 0; turret < turrets && !counted; ++turret)
        counted = Reloaded(shot, -1 - turret, reloadMs, nowMs);
    if (!counted) return;
    if (shots.size() >= kMostShots) shots.pop_front();
    shots.push_back(shot);
}

bool FiredShots::Reloaded(const Shot& shot, int hardpoint, int32_t reloadMs, uint32_t nowMs) {
    auto mount = std::find_if(mounts.begin(), mounts.end(), [&](const Mount& m) {
        return m.shooter == shot.shooter && m.hardpoint == hardpoint && m.clan == shot.clan &&
               m.role == shot.role;
    });
    if (mount == mounts.end()) {
        if (mounts.size() >= kMostMounts) return false;
        mount = mounts.insert(mounts.end(),
                              Mount{shot.shooter, hardpoint, shot.clan, shot.role, nowMs, 0});
    } else if (!AtOrAfter(nowMs + static_cast<uint32_t>(mount->slackMs), mount->dueAtMs)) {
        return false;
    }
    const uint32_t from = AtOrAfter(nowMs, mount->dueAtMs) ? nowMs : mount->dueAtMs;
    const int32_t reload = std::max(reloadMs, 1);
    mount->dueAtMs = from + static_cast<uint32_t>(reload);
    mount->slackMs = std::max(mount->slackMs, reload);
    return true;
}

FiredShots::Shot* FiredShots::Unanswered(const SimId& shooter, char clan, char role,
                                         int32_t battleMs) {
    Forget(battleMs);
    for (Shot& shot : shots)
        if (!shot.answered && shot.shooter == shooter && shot.clan == clan && shot.role == role)
            return &shot;
    return nullptr;
}

void FiredShots::Clear() {
    shots.clear();
    mounts.clear();
}

void FiredShots::Forget(int32_t battleMs) {
    const int32_t span = RecentDead::SpanMs();
    while (!shots.empty() && (shots.front().answered || battleMs - shots.front().firedAtMs > span))
        shots.pop_front();
}
