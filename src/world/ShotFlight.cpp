#include "world/ShotFlight.h"

#include <algorithm>
#include <cmath>

#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "objects/ArcShot.h"
#include "objects/BeamWeapon.h"
#include "objects/BurstWeapon.h"
#include "objects/CannonWeapon.h"
#include "objects/MissileWeapon.h"
#include "objects/PulseWeapon.h"
#include "objects/RocketShot.h"
#include "objects/SpinWeapon.h"
#include "world/SpeedPlayed.h"

namespace {

// One step of a flying shot: the length of the vector (1, 1).
constexpr double kStepPixels = 1.41421;

// The least a step of a flying shot gains toward its aim. A shot moves once enough time has
// gathered for more than two steps, all of them at once, and the move is rounded to whole
// pixels on each axis (Weapon::NextPoint): a move gains less than its length, most so for the
// shortest, two steps (2.83 px). Where its x part reaches just short of 1.5 px, it is rounded
// to (1, 2) px, which gains 2.226 px along its line: 1.113 px a step, 79 % of a step. A longer
// move loses no more than the same rounding, so less a step. Taken as a whole length at
// 1.414 px a step, a shot flying along an axis at three steps a move (4.24 px rounded to 4)
// came 4.4 % late; at two steps a move at that angle, 25 %.
double LeastStepPixels() {
    const double move = 2 * kStepPixels;
    const double across = 1.5 / move;
    return (1 * across + 2 * std::sqrt(1 - across * across)) / 2;
}

// A catalogue period at a speed: max(1, field + 5 × adjustment).
int32_t Period(int32_t field, int adjustment) {
    return std::max(1, field + 5 * adjustment);
}

int32_t ReloadMs(const MountTemplate* weapon, int adjustment) {
    if (const auto* w = dynamic_cast<const WeaponTemplate*>(weapon))
        return Period(w->reloadField, adjustment);
    return weapon ? std::max(1, weapon->GetReloadTime()) : 1;
}

// The longest sequence of the effect's pictures, in frames; 0 without pictures.
int32_t Frames(const EffectTemplate* effect) {
    SpriteSet* pictures = effect ? effect->pictures.get() : nullptr;
    int32_t longest = 0;
    for (int32_t i = 0; pictures && i < pictures->Count(); ++i)
        if (Image* sequence = pictures->SubImage(i))
            longest = std::max(longest, sequence->LastFrameIndex() + 1);
    return longest;
}

// A step that waits for `periodMs` and starts its next wait afresh, `count` times.
int64_t Steps(int64_t count, int32_t periodMs) {
    return count * (periodMs + ShotFlight::kTickMs);
}

// A flying shot's travel over `distance`, at the least a step gains: the whole steps gathered
// at the travel delay, the first once more than two delays have gathered, the step that passes
// the distance, and the tick that takes the last.
int64_t Travel(const WeaponTemplate& w, int64_t distance, int adjustment) {
    static const double kLeastStepPixels = LeastStepPixels();
    const auto steps =
        static_cast<int64_t>(std::ceil(static_cast<double>(distance) / kLeastStepPixels));
    return (steps + 3) * Period(w.travelField, adjustment) + ShotFlight::kTickMs;
}

}  // namespace

// What a shot of each class does between its firing tick and its strike:
// | class                      | under way                                                  |
// |----------------------------|------------------------------------------------------------|
// | direct, cycling direct     | its travel over its reach: it flies straight at a point    |
// |                            |   and strikes on the move that takes it past its reach     |
// | missile, homing missile    | its launch frames on the rack (100 ms each), then travel   |
// |                            |   over its reach and past it to a large target's centre    |
// |                            |   (a homing one's course bends after its target)           |
// | rocket, animated rocket    | the same; its launch needs pictures                        |
// | arc                        | a hop per 10 px to the target's centre, 50 ms each, and    |
// |                            |   the strike on the next tick                              |
// | beam, cannon, spin         | its countdown, then the strike on the next tick            |
// | burst                      | its frames at 100 ms (one without pictures)                |
// | pulse                      | its reach grown 22 px per 50 ms past the weapon's reach    |
int32_t ShotFlight::FlightMs(const MountTemplate* weapon, int adjustment) {
    const auto* w = dynamic_cast<const WeaponTemplate*>(weapon);
    if (!w) return 0;
    const int64_t reach = int64_t{std::max(w->GetRange(), 0)};
    const int64_t pastReach = reach + kBeyondReachPixels;
    int64_t ms = 0;
    switch (w->weaponClass) {
        case WeaponClass::DirectShot:
        case WeaponClass::CyclingDirectShot:
            ms = Travel(*w, reach, adjustment);
            break;
        case WeaponClass::Missile:
        case WeaponClass::HomingMissile:
            ms = Steps(Frames(w->fireEffect), MissileWeapon::kLaunchFrameMs) +
                 Travel(*w, pastReach, adjustment);
            break;
        case WeaponClass::RocketShot:
        case WeaponClass::AnimatedRocketShot:
            ms = Steps(Frames(w->fireEffect), RocketShot::kLaunchFrameMs) +
                 Travel(*w, pastReach, adjustment);
            break;
        case WeaponClass::Arc:
            ms = Steps(std::max<int64_t>(1, pastReach / ArcShot::kPointSpacing), ArcShot::kHopMs) +
                 kTickMs;
            break;
        case WeaponClass::Beam:
            ms = BeamWeapon::kCountdownMs + 2 * kTickMs;
            break;
        case WeaponClass::Cannon:
            ms = CannonWeapon::kCountdownMs + 2 * kTickMs;
            break;
        case WeaponClass::Spin:
            ms = SpinWeapon::kCountdownMs + 2 * kTickMs;
            break;
        case WeaponClass::Burst:
            ms = Steps(std::max(1, Frames(w->fireEffect)), BurstWeapon::kFramePeriodMs);
            break;
        case WeaponClass::Pulse:
            ms = Steps(reach / PulseWeapon::kReachStep + 1, PulseWeapon::kStepMs) + kTickMs;
            break;
    }
    return static_cast<int32_t>(std::min<int64_t>(ms, INT32_MAX / 4));
}

int32_t ShotFlight::LongestMs(const MountTemplate* weapon) {
    int32_t longest = 0;
    for (int a = SpeedPlayed::kFastest; a <= SpeedPlayed::kSlowest; ++a)
        longest = std::max(longest, FlightMs(weapon, a));
    return longest;
}

int32_t ShotFlight::LongestOfCatalogue() {
    int32_t longest = 0;
    for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n))
        longest = std::max(longest, LongestMs(static_cast<const MountTemplate*>(n)));
    return longest;
}

// A turret fires again a reload after its last shot, so as many of its shots fly at once as
// its reload goes into their flight, at one speed (every machine's flight and reload run at
// the speed played). One more: the tick in which a stalled sender's battle catches up may fire the
// turret's next shot before its last one strikes, as a countdown strikes on the tick after it ran
// out and a hop or frame steps once a tick.
int ShotFlight::MostInFlight(const MountTemplate* weapon, int adjustment) {
    if (!dynamic_cast<const WeaponTemplate*>(weapon)) return 1;
    const int64_t reload = ReloadMs(weapon, adjustment);
    const int64_t most =
        std::max<int64_t>(1, (int64_t{FlightMs(weapon, adjustment)} + reload - 1) / reload);
    return static_cast<int>(std::min<int64_t>(most, 1 << 10)) + 1;
}

ShotFlight::Measure ShotFlight::AtSpeedsPlayed(const MountTemplate* weapon,
                                               const SpeedPlayed& speeds, int32_t battleMs,
                                               int32_t slackMs) {
    Measure measure;
    bool first = true;
    for (int a = SpeedPlayed::kFastest; a <= SpeedPlayed::kSlowest; ++a) {
        const int32_t flight = FlightMs(weapon, a);
        if (!speeds.InPlay(a, battleMs, flight + slackMs)) continue;
        const int32_t reload = ReloadMs(weapon, a);
        measure.flightMs = std::max(measure.flightMs, flight);
        measure.reloadMs = first ? reload : std::min(measure.reloadMs, reload);
        measure.mostInFlight = std::max(measure.mostInFlight, MostInFlight(weapon, a));
        first = false;
    }
    return measure;
}
