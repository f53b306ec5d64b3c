#pragma once
// How long a weapon's shot may be under way on its sender's machine, from the tick that fired
// it to the tick that strikes, and how many shots one turret of it may have under way at once:
// the one model of a shot's flight that a peer's word is measured by (FiredShots, RecentDead).
// It is never shorter than a real flight at ticks of up to kTickMs: the steps of each class are
// taken as the shot's update takes them, with a tick's wait after each wait that starts afresh
// and the least a move can gain once rounded to whole pixels.
#include <cstdint>

class MountTemplate;
class SpeedPlayed;

class ShotFlight {
public:
    // A step that waits for a period and then starts its next wait afresh (an arc's hop, a
    // launch or burst frame, a pulse's growth) takes up to a tick more than its period; this
    // covers ticks of up to twice the frame floor. Longer ticks are a stall's: see MostInFlight.
    static constexpr int32_t kTickMs = 32;
    // How far past its reach a target's centre may stand when the turret fires: the mount
    // fires at a large target once its reach meets the target's footprint.
    static constexpr int32_t kBeyondReachPixels = 160;

    // What a peer's shot of a weapon is measured by when it is counted: the longest its hit may
    // come after it (its flight), how soon its mount may fire again, and how many of the
    // mount's shots may be under way at once.
    struct Measure {
        int32_t flightMs = 0;
        int32_t reloadMs = 1;
        int mostInFlight = 1;
    };

    // The weapon's (a weapon mount's) flight at one game speed's adjustment (3 minus the SPEED
    // setting), in ms; 0 for none.
    static int32_t FlightMs(const MountTemplate* weapon, int adjustment);
    // The longest at any game speed.
    static int32_t LongestMs(const MountTemplate* weapon);
    // The longest of any weapon of the catalogue at any game speed.
    static int32_t LongestOfCatalogue();
    // The most shots one turret of the weapon may have under way at once at one game speed.
    static int MostInFlight(const MountTemplate* weapon, int adjustment);
    // The measure at the speed played at `battleMs`, and at each speed left no longer ago than
    // a shot of the weapon flies at it and `slackMs` (a shot fired before the change may still
    // come): the longest flight, the shortest reload, the most in flight of them.
    static Measure AtSpeedsPlayed(const MountTemplate* weapon, const SpeedPlayed& speeds,
                                  int32_t battleMs, int32_t slackMs);
};
