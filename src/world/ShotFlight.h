#pragma once
// How long a weapon's shot may be under way on its sender's machine, from the tick that fired
// it to the tick that strikes, and how many shots one turret of it may have under way at once:
// what a peer's hit report is measured by (FiredShots). Both are the longest over every game
// speed a machine may run at, and over the ticks an honest machine takes when it keeps up.
#include <cstdint>

class MountTemplate;

class ShotFlight {
public:
    // A step that waits for a period and then starts its next wait afresh (an arc's hop, a
    // launch or burst frame, a pulse's growth) takes up to a tick more than its period; this
    // covers ticks of up to twice the frame floor. Longer ticks are a stall's: see MostInFlight.
    static constexpr int32_t kTickMs = 32;
    // How far past its reach a target's centre may stand when the turret fires: the mount
    // fires at a large target once its reach meets the target's footprint.
    static constexpr int32_t kBeyondReachPixels = 160;

    // The longest a shot of the weapon (a weapon mount) flies, in ms; 0 for none.
    static int32_t LongestMs(const MountTemplate* weapon);
    // The most shots one turret of the weapon may have under way at once.
    static int MostInFlight(const MountTemplate* weapon);
    // The weapon's flight at one game speed's adjustment (3 minus the SPEED setting).
    static int32_t FlightMs(const MountTemplate* weapon, int adjustment);
};
