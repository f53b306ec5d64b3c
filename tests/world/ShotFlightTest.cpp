// How long a weapon's shot may be under way, worked by hand from each class's steps, and how
// many of a turret's shots fly at once: its reload into that flight, at one speed, and one
// more for a stalled sender's catching-up tick.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/ShotTestSupport.h"
#include "objects/WeaponTemplates.h"
#include "support/FakeClock.h"
#include "support/MadeAssets.h"
#include "world/MemoryCatalogueMedia.h"
#include "world/ShotFlight.h"
#include "world/SpeedPlayed.h"

namespace {

TEST(ShotFlight, AShotFliesItsClassesStepsOverItsReachAndATurretKeepsItsReloadIntoThem) {
    // Every weapon: 100 px of reach, a travel field of 12 (22 ms a step at the slowest speed,
    // 12 at speed 3, 2 at the fastest), a reload field of 500 (510 ms at the slowest speed, 500
    // at speed 3). A step that waits a period takes it and 32 ms more. A turret keeps its
    // reload into the flight at one speed, and one more.
    const struct {
        WeaponClass kind;
        int launchFrames;
        int32_t reloadField;
        int32_t slowestMs, fastestMs;
        int inFlightSlowest, inFlightAtThree;
    } rows[] = {
        // 1000 or 500 ms of countdown and two ticks.
        {WeaponClass::Beam, 0, 500, 1064, 1064, 3 + 1, 3 + 1},
        {WeaponClass::Cannon, 0, 500, 564, 564, 2 + 1, 2 + 1},
        {WeaponClass::Cannon, 0, 1800, 564, 564, 1 + 1, 1 + 1},
        // A reload a millisecond longer than the flight at speed 3: one shot flies at once.
        {WeaponClass::Cannon, 0, 565, 564, 564, 1 + 1, 1 + 1},
        {WeaponClass::Spin, 0, 500, 564, 564, 2 + 1, 2 + 1},
        // Its 100 px of reach, which a direct shot strikes past, at the least a step gains once
        // a move of two steps is rounded to whole pixels (1.11296 px): 90 steps, three delays
        // more for the first gathering, the step past the reach and the last part-step, and a
        // tick. At speed 3, 93 x 12 + 32.
        {WeaponClass::DirectShot, 0, 500, 93 * 22 + 32, 93 * 2 + 32, 5 + 1, 3 + 1},
        {WeaponClass::CyclingDirectShot, 0, 500, 93 * 22 + 32, 93 * 2 + 32, 5 + 1, 3 + 1},
        // A missile's 260 px (the reach and a large target's half, its course bending after
        // it): 234 steps. Five launch frames of 100 ms first; a homing missile flies no further.
        {WeaponClass::Missile, 5, 500, 5 * 132 + 237 * 22 + 32, 5 * 132 + 237 * 2 + 32, 12 + 1,
         8 + 1},
        {WeaponClass::HomingMissile, 0, 500, 237 * 22 + 32, 237 * 2 + 32, 11 + 1, 6 + 1},
        {WeaponClass::RocketShot, 5, 500, 5 * 132 + 237 * 22 + 32, 5 * 132 + 237 * 2 + 32, 12 + 1,
         8 + 1},
        // 26 hops of 10 px, 50 ms each, and the strike's tick.
        {WeaponClass::Arc, 0, 500, 26 * 82 + 32, 26 * 82 + 32, 5 + 1, 5 + 1},
        {WeaponClass::Arc, 0, 2000, 26 * 82 + 32, 26 * 82 + 32, 2 + 1, 2 + 1},
        // Five frames of 100 ms; one without pictures.
        {WeaponClass::Burst, 5, 500, 5 * 132, 5 * 132, 2 + 1, 2 + 1},
        {WeaponClass::Burst, 0, 500, 132, 132, 1 + 1, 1 + 1},
        // 22 px of reach every 50 ms until past 100 px: five steps, and the strike's tick.
        {WeaponClass::Pulse, 0, 500, 5 * 82 + 32, 5 * 82 + 32, 1 + 1, 1 + 1},
    };
    MemoryCatalogueMedia media;
    SetCatalogueMedia(&media);
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.kind));
        SCOPED_TRACE(row.reloadField);
        DirectionalEffectTemplate flash('X', 's', 0, "", 0, {});
        if (row.launchFrames > 0) {
            // Two facings' sequences, the longer counting.
            flash.pictures = std::make_unique<SpriteSet>(2);
            flash.pictures->SetFrame(std::make_unique<SpriteSet>(row.launchFrames - 1), 0);
            flash.pictures->SetFrame(std::make_unique<SpriteSet>(row.launchFrames), 1);
        }
        WeaponValues values;
        values.rangeField = 100;
        values.travelField = 12;
        values.reloadField = row.reloadField;
        values.fireEffect = &flash;
        const WeaponTemplate weapon(row.kind, values);
        EXPECT_EQ(ShotFlight::FlightMs(&weapon, 2), row.slowestMs);
        EXPECT_EQ(ShotFlight::FlightMs(&weapon, -2), row.fastestMs);
        EXPECT_EQ(ShotFlight::LongestMs(&weapon), std::max(row.slowestMs, row.fastestMs));
        EXPECT_EQ(ShotFlight::MostInFlight(&weapon, 2), row.inFlightSlowest);
        EXPECT_EQ(ShotFlight::MostInFlight(&weapon, 0), row.inFlightAtThree);
    }
    SetCatalogueMedia(nullptr);
    // A mount that is no weapon fires nothing.
    EXPECT_EQ(ShotFlight::LongestMs(nullptr), 0);
    EXPECT_EQ(ShotFlight::MostInFlight(nullptr, 0), 1);
}

// A peer's shot is measured at the speed played; after a change, at the speed left too, for as
// long as a shot fired at it before the change flies there and a link's slack: a Twin Gun (160
// px of reach, travel 12, reload 600) of an untold factory's turret.
TEST(ShotFlight, AShotIsMeasuredAtTheSpeedPlayedAndAtOneLeftUntilItsShotsHaveFlown) {
    WeaponValues values;
    values.rangeField = 160;
    values.travelField = 12;
    values.reloadField = 600;
    const WeaponTemplate twin(WeaponClass::DirectShot, values);
    // Its 160 px of reach at 1.11296 px a step: 144 steps, and 3 delays and a tick more.
    const int32_t atThree = 147 * 12 + 32, atOne = 147 * 22 + 32, atFive = 147 * 2 + 32;
    constexpr int32_t kSlack = 3000;
    const struct {
        const char* name;
        int from, to;
        int32_t afterMs;
        int32_t flightMs, reloadMs;
        int inFlight;
    } rows[] = {
        {"speed 3 throughout", 0, 0, 0, atThree, 600, 3 + 1},
        {"speed 1 throughout", 2, 2, 0, atOne, 610, 6 + 1},
        {"speed 5 throughout", -2, -2, 0, atFive, 590, 1 + 1},
        // The old speed's shots fly longer: kept until they have flown.
        {"1 to 3, at once", 2, 0, 0, atOne, 600, 6 + 1},
        {"1 to 3, at the end of speed 1's flight", 2, 0, atOne + kSlack, atOne, 600, 6 + 1},
        {"1 to 3, past it", 2, 0, atOne + kSlack + 1, atThree, 600, 3 + 1},
        // The new speed's shots fly longer at once; the old one's reload stays a while.
        {"5 to 3, at once", -2, 0, 0, atThree, 590, 3 + 1},
        {"5 to 3, past speed 5's flight", -2, 0, atFive + kSlack + 1, atThree, 600, 3 + 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SpeedPlayed speeds;
        SpeedAdjustment = row.from;
        speeds.Change(row.from, 1000);
        speeds.Change(row.to, 5000);
        EXPECT_EQ(SpeedAdjustment, row.to);
        const ShotFlight::Measure m =
            ShotFlight::AtSpeedsPlayed(&twin, speeds, 5000 + row.afterMs, kSlack);
        EXPECT_EQ(m.flightMs, row.flightMs);
        EXPECT_EQ(m.reloadMs, row.reloadMs);
        EXPECT_EQ(m.mostInFlight, row.inFlight);
        // No speed past the five is ever in play.
        EXPECT_FALSE(speeds.InPlay(SpeedPlayed::kFastest - 1, 5000, INT32_MAX));
        EXPECT_FALSE(speeds.InPlay(SpeedPlayed::kSlowest + 1, 5000, INT32_MAX));
        // A new game plays at its speed alone.
        speeds.Clear();
        EXPECT_EQ(ShotFlight::AtSpeedsPlayed(&twin, speeds, 5000, kSlack).flightMs,
                  ShotFlight::FlightMs(&twin, row.to));
    }
    SpeedAdjustment = 0;
}

// Every weapon of the sample catalogue fired for real through its own shot's update, at each
// game speed and at ticks of 16, 17 and 33 ms, at a target standing its reach and a large
// target's half away in five directions (a move of few steps rounds worst near 28 and 58
// degrees): it strikes no later than the model says, the tick that strikes counted. The model
// without the whole-pixel rounding of a move failed at every speed but the fastest.
class SampleShotFlights : public MadeCatalogueTest {
protected:
    void SetUp() override {
        InstallWeaponTemplates();
        MadeCatalogueTest::SetUp();
    }
    void TearDown() override {
        SpeedAdjustment = 0;
        MadeCatalogueTest::TearDown();
    }
};

TEST_F(SampleShotFlights, EveryWeaponStrikesWithinTheModelAtEverySpeedAndTick) {
    ShotLand land;
    FakeClock clock(1000);
    const Point from(80, 80);
    int fired = 0, serial = 900;
    for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n)) {
        auto* weapon = static_cast<WeaponTemplate*>(n);
        Sim* owner = land.Shooter(from, weapon);
        std::vector<std::pair<double, Mark*>> targets;
        for (double degrees : {0.0, 28.0, 45.0, 58.0, 90.0}) {
            const Vector away(
                degrees * 3.14159265 / 180,
                static_cast<double>(weapon->GetRange() + ShotFlight::kBeyondReachPixels));
            targets.emplace_back(degrees, land.Target(2, from + Point(static_cast<int>(away.x),
                                                                      static_cast<int>(away.y))));
        }
        for (int adjustment = -2; adjustment <= 2; ++adjustment) {
            SpeedAdjustment = adjustment;
            const int32_t modelMs = ShotFlight::FlightMs(weapon, adjustment);
            for (int tick : {16, 17, 33}) {
                for (const auto& [degrees, target] : targets) {
                    SCOPED_TRACE(std::string(1, weapon->clan) + weapon->role + " speed " +
                                 std::to_string(3 - adjustment) + " tick " + std::to_string(tick) +
                                 " at " + std::to_string(degrees));
                    std::unique_ptr<GameObject> shot(
                        weapon->CreateShot(owner, target, 0, SimId(1, ++serial), 1));
                    ASSERT_NE(shot, nullptr);
                    // The clock moves with the ticks: a burst counts its frames by it.
                    int flownMs = 0;
                    while (!shot->IsDestroyed() && flownMs <= modelMs) {
                        clock.Advance(static_cast<uint32_t>(tick));
                        flownMs += tick;
                        shot->Update(tick);
                    }
                    EXPECT_TRUE(shot->IsDestroyed());
                    EXPECT_LE(flownMs, modelMs);
                    ++fired;
                    land.world.effects.clear();
                }
            }
        }
        for (const auto& [degrees, target] : targets)
            land.world.paths.RemoveFootprint(target, target->GetPosition(), 1);
    }
    EXPECT_EQ(fired, 16 * 5 * 3 * 5);
}

}  // namespace
