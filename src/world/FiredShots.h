#pragma once
// The shots one peer announced (fire commands) that no hit report of its answered yet, and
// when each of its mounts may fire again. A peer's hit report must answer to a shot this
// machine saw fired: every shot is announced before it can hit, on the same link, and hurts at
// most one object. A shot answers a hit only while it could still be in flight, and a mount
// counts only as often as it reloads, so a sender cannot bank shots it never fired or save up
// those it did. One per peer slot (PeerSlot), reset with it.
//
// Two clocks, for two bounds:
// | bound             | clock                      | why                                     |
// |-------------------|----------------------------|-----------------------------------------|
// | a mount's reload  | this machine's wall clock, | an honest mount fires again only once   |
// |                   |   as the announcement came |   every other machine answered its last |
// |                   |                            |   shot (kind 36), so a stalled link     |
// |                   |                            |   holds at most one shot of each mount; |
// |                   |                            |   each may come one reload early. The   |
// |                   |                            |   battle's clock would stand still here |
// |                   |                            |   in a pause the sender had not reached |
// |                   |                            |   yet, and refuse its shots             |
// | a shot's flight   | the link's clock: the      | announcement and hit travel in order on |
// |                   |   battle's time from       |   the link; a pause stands the shot     |
// |                   |   message to message, a    |   still on every machine, and a stalled |
// |                   |   silence counted up to    |   sender's one long tick, which ends    |
// |                   |   kMostSilenceMs           |   its shot's flight, counts no longer   |
// |                   |                            |   than a silence                        |
// | shots a mount     | counts, at each counted    | a newer shot puts the oldest out past   |
// |   keeps unanswered|   shot                     |   what its weapon has in flight at once |
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/SimId.h"

class FiredShots {
public:
    // Past these a sender's word grows nothing: the oldest shot is forgotten (it answers no
    // hit), and a mount past the count is not counted. An honest side's shots within their
    // flights and its mounts reloading at once stay far below.
    static constexpr size_t kMostShots = 1 << 14;
    static constexpr size_t kMostMounts = 1 << 12;
    // The most of a silence of the link its clock counts: every machine sends at least a
    // heartbeat every two seconds, so a longer one is a stall (the sender stopped, or its words
    // queued on the way), which holds its shots and their hits alike.
    static constexpr int32_t kMostSilenceMs = 2000;

    // When a command came on the link: the link's clock (below) and this machine's wall clock.
    struct Arrival {
        int32_t linkMs = 0;
        uint32_t wallMs = 0;
    };

    struct Shot {
        SimId shooter;
        // The team the shooter fought for when its shot was counted: its hit lands as that
        // team's, whatever became of the shooter since (a capture moves it, not its shots).
        int32_t team = -1;
        char clan = 0;
        char role = 0;
        // How far its weapon reaches; when its announcement came, by the link's clock, and how
        // long after that its hit may come: its weapon's flight and the sender's tick.
        int32_t reach = 0;
        int32_t firedAtMs = 0;
        int32_t lifeMs = 0;
        // The mount that fired it (a turret of a shooter whose hardpoints are not known here is
        // numbered below 0).
        int mount = 0;
        bool answered = false;
    };

    // A whole message came on the link as its `frames`th frame at `battleMs` of this machine's
    // battle and `wallMs` of its wall clock; 0 when the link delivered no frame since the last
    // (the message is a held word's commands, applied again). The link's clock counts the
    // battle's time from message to message, each silence at most kMostSilenceMs: it stands
    // still while the battle here is paused, so a shot in flight over a pause keeps its life,
    // and while the link is stalled, so a hit the stall kept back is judged by the time its
    // sender's battle ran.
    int Heard(int32_t frames, int32_t battleMs, uint32_t wallMs);
    // When the command being applied came, fresh or held.
    Arrival Latest() const { return latest; }
    // A command held behind a taker's word keeps its arrival, to be judged by it when applied
    // again, in the same order (TakeHeld; when none is kept, now: the link's clock as it stands
    // and `wallMs`).
    void Hold(const Arrival& arrival) { held.push_back(arrival); }
    Arrival TakeHeld(uint32_t wallMs);

    // Counts the shot of the shooter's hardpoint, whose weapon reloads in `reloadMs`, arriving
    // `at`; not when the mount fired faster than its reload allows by the wall clock. With
    // `turrets` above 0 the hardpoint is not known here: the shot goes to the first of that
    // many turrets of the shooter that may fire, whichever hardpoint and weapon it names. A
    // counted shot puts its mount's oldest unanswered shots out past `mostInFlight`.
    void Count(const Shot& shot, int hardpoint, int turrets, int32_t reloadMs, int mostInFlight,
               const Arrival& at);
    // The oldest unanswered shot of the shooter with those letters whose hit may still come
    // at `linkMs` of the link's clock, or null: a hit answers to it by setting `answered`.
    Shot* Unanswered(const SimId& shooter, char clan, char role, int32_t linkMs);
    void Clear();

private:
    // A mount of a shooter, whatever weapon it names: an untold factory's turret is one pool.
    struct Mount {
        SimId shooter;
        int hardpoint = 0;
        // When its next shot is due, and the longest reload it was counted with: how early a
        // shot may come.
        uint32_t dueAtMs = 0;
        int32_t slackMs = 0;
    };
    // Whether the mount numbered `hardpoint` of the shot's shooter may fire the shot now; if so
    // its next shot is due a reload later.
    bool Reloaded(const Shot& shot, int hardpoint, int32_t reloadMs, uint32_t nowMs);
    // Whether the shot's hit may come at `linkMs`.
    static bool InFlight(const Shot& shot, int32_t linkMs);
    // Forgets the answered and flown shots at the front.
    void Forget(int32_t linkMs);

    std::deque<Shot> shots;
    std::vector<Mount> mounts;
    // The link's clock: its time, the frame and battle time of the last message it counted.
    int32_t linkMs = 0;
    int32_t heardFrames = 0;
    int32_t heardBattleMs = 0;
    Arrival latest;
    std::deque<Arrival> held;
};
