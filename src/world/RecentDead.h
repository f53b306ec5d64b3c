#pragma once
// The units and factories this machine saw die lately, of every team: where each stood, what it
// mounted and what its wreck may be. A peer's word about an object that is gone here is
// measured by it: a hit report whose shooter died with its shot in flight, and a wreck, which
// its maker's death pass makes once the object died there. Battle time counts the span, so a
// pause keeps the dead; the record goes with each game (World::ClearObjects).
//
// Every machine notes the same deaths (its copies die by their owner's word, in that link's
// order), and a wreck is matched by place and kind, never by the order of the notes, so every
// machine matches a wreck alike.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/Point.h"
#include "core/SimId.h"
#include "world/CommLink.h"

class GameObject;

class RecentDead {
public:
    // The death pass's measures: an air unit's wreck lies this far below it; a unit's wreck
    // holds this share of its design's value.
    static constexpr int kAirWreckDrop = 40;
    static constexpr double kWreckShare = 0.75;
    // How far a wreck its maker announces may lie from where this machine's copy died: the
    // copy stands where the owner's state before the fatal damage put it, but a step or two of
    // its own clock may have moved it since; a factory's pieces lie round its centre, up to a
    // piece's offset and half its size away.
    static constexpr int kWreckLagPixels = 32;
    static constexpr int kPieceReachPixels = 160;
    // Beyond the longest shot's flight, how much later a dead shooter's hit may be reported: a
    // link's delay and a stalled sender's tick.
    static constexpr int32_t kLinkSlackMs = 3000;
    // And how long its report may stand held here behind a taker's word, the battle running on:
    // the held queue waits until the awaited machine has been silent this long.
    static constexpr int32_t kHeldMs = static_cast<int32_t>(CommLink::kSilentMs);

    // A design's hardpoints.
    static constexpr size_t kWeapons = 7;

    struct Death {
        SimId id;
        // Its team when it died: the player whose machine answered for it.
        int32_t team = -1;
        int32_t kind = 0;
        int32_t diedAtMs = 0;
        Point centre;
        // The longest reach of the weapons its copy knew of (a factory's copy may not know its
        // turrets: a computer player re-equips it without a word).
        int32_t reach = 0;
        // Its wreck: where it lies (a unit's: where it stood, or kAirWreckDrop below if it flew;
        // a factory's pieces: round its centre), its letters, the most it may hold,
        // and how many pieces are still to come (a unit's one, a factory's three or four).
        Point wreckAt;
        char wreckClan = 0;
        char wreckChassis = 0;
        int64_t mostWreckValue = 0;
        int32_t wrecksLeft = 0;
    };

    // What the record keeps of an object, standing or dead (diedAtMs left 0).
    static Death Describe(GameObject* object);
    // Battle time passes: the deaths older than the span are forgotten.
    void Elapse(int32_t elapsedMs);
    // Notes the object's death now, unless it is noted already (the wreck check notes a copy
    // the kill in the same message destroyed, before the death pass comes to it).
    void Note(GameObject* object);
    // The death of the id within the span, or null.
    const Death* Find(const SimId& id) const;
    // The death whose wreck lies at `at` with those letters and may hold `value`, of a team
    // `answered` accepts, with a piece still to come; the nearest, the lowest id of equals. Null
    // when none matches. The caller takes the piece (wrecksLeft).
    Death* MatchWreck(char clan, char chassis, const Point& at, int64_t value,
                      const std::function<bool(int32_t team)>& answered);
    // How far a wreck at `at` lies from where the death's wreck may lie, in pixels along the
    // farther axis.
    static int WreckDistance(const Death& death, const Point& at);
    // The longest shot's flight, the link's slack and the longest hold.
    static int32_t SpanMs();
    void Clear();

    int32_t nowMs = 0;
    std::vector<Death> deaths;
};
