#include "world/FiredShots.h"

#include <algorithm>

namespace {

// Whether `a` is at or after `b` on the wall clock, which may wrap.
bool AtOrAfter(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) >= 0;
}

}  // namespace

int FiredShots::Heard(int32_t frames, int32_t battleMs, uint32_t wallMs) {
    if (frames == heardFrames) return 0;
    heardFrames = frames;
    // A new game's battle starts its clock again.
    const int32_t silence = std::clamp(battleMs - heardBattleMs, 0, kMostSilenceMs);
    heardBattleMs = battleMs;
    linkMs += silence;
    latest = Arrival{linkMs, wallMs};
    return 1;
}

FiredShots::Arrival FiredShots::TakeHeld(uint32_t wallMs) {
    if (held.empty()) return Arrival{linkMs, wallMs};
    const Arrival taken = held.front();
    held.pop_front();
    return taken;
}

void FiredShots::Count(const Shot& shot, int hardpoint, int turrets, int32_t reloadMs,
                       int mostInFlight, const Arrival& at) {
    Forget(at.linkMs);
    // A mount whose next shot is due already judges the next as a fresh one would.
    std::erase_if(mounts, [&at](const Mount& m) { return AtOrAfter(at.wallMs, m.dueAtMs); });
    int mount = hardpoint;
    bool counted = false;
    if (turrets <= 0) counted = Reloaded(shot, hardpoint, reloadMs, at.wallMs);
    for (int turret = 0; turret < turrets && !counted; ++turret) {
        mount = -1 - turret;
        counted = Reloaded(shot, mount, reloadMs, at.wallMs);
    }
    if (!counted) return;
    // The mount's shots still answerable, newest first: those past what may fly at once are
    // out, the newest shot among them.
    int flying = 1;
    for (auto it = shots.rbegin(); it != shots.rend(); ++it) {
        if (it->answered || it->shooter != shot.shooter || it->mount != mount ||
            !InFlight(*it, at.linkMs))
            continue;
        if (++flying > mostInFlight) it->answered = true;
    }
    if (shots.size() >= kMostShots) shots.pop_front();
    Shot kept = shot;
    kept.mount = mount;
    kept.firedAtMs = at.linkMs;
    shots.push_back(kept);
}

bool FiredShots::Reloaded(const Shot& shot, int hardpoint, int32_t reloadMs, uint32_t nowMs) {
    auto mount = std::find_if(mounts.begin(), mounts.end(), [&](const Mount& m) {
        return m.shooter == shot.shooter && m.hardpoint == hardpoint;
    });
    if (mount == mounts.end()) {
        if (mounts.size() >= kMostMounts) return false;
        mount = mounts.insert(mounts.end(), Mount{shot.shooter, hardpoint, nowMs, 0});
    } else if (!AtOrAfter(nowMs + static_cast<uint32_t>(mount->slackMs), mount->dueAtMs)) {
        return false;
    }
    const uint32_t from = AtOrAfter(nowMs, mount->dueAtMs) ? nowMs : mount->dueAtMs;
    const int32_t reload = std::max(reloadMs, 1);
    mount->dueAtMs = from + static_cast<uint32_t>(reload);
    mount->slackMs = std::max(mount->slackMs, reload);
    return true;
}

bool FiredShots::InFlight(const Shot& shot, int32_t linkMs) {
    return linkMs - shot.firedAtMs <= shot.lifeMs;
}

FiredShots::Shot* FiredShots::Unanswered(const SimId& shooter, char clan, char role,
                                         int32_t linkMs) {
    Forget(linkMs);
    for (Shot& shot : shots)
        if (!shot.answered && shot.shooter == shooter && shot.clan == clan && shot.role == role &&
            InFlight(shot, linkMs))
            return &shot;
    return nullptr;
}

void FiredShots::Clear() {
    *this = FiredShots();
}

void FiredShots::Forget(int32_t linkMs) {
    while (!shots.empty() && (shots.front().answered || !InFlight(shots.front(), linkMs)))
        shots.pop_front();
}
