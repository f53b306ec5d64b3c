#pragma once
// The game speed a game plays at: one for every machine of it, whichever screen each shows. The
// options menu changes it here and tells the others; a peer's word sets it (at the set-up's
// start and on each change since). It lives in the catalogue's speed global (3 minus the menu
// speed), which turns catalogue periods into milliseconds. A peer's shots are measured at it; a
// speed left lately still counts for the shots fired before the change, until they have flown.
// Kept beside the battle's clock and cleared with each game.
#include <array>
#include <cstdint>

class SpeedPlayed {
public:
    // The speed global of the menu's fastest (5) and slowest (1) speeds.
    static constexpr int kFastest = -2;
    static constexpr int kSlowest = 2;

    // Plays at `adjustment` from `battleMs` on; a value past the five speeds (only a damaged or
    // hostile word holds one) is taken as the nearest speed. The speed left is noted as left then.
    void Change(int adjustment, int32_t battleMs);
    // Whether a shot fired at `adjustment` may be under way at `battleMs`, its flight at that
    // speed being `flownMs`: the speed is played, or was left no longer than that ago.
    bool InPlay(int adjustment, int32_t battleMs, int32_t flownMs) const;
    // A new game's battle clock starts again: only the speed played counts.
    void Clear();

private:
    static constexpr int32_t kNever = INT32_MIN;
    // When each speed was last left, by the battle's clock.
    std::array<int32_t, kSlowest - kFastest + 1> leftAtMs{kNever, kNever, kNever, kNever, kNever};
};
