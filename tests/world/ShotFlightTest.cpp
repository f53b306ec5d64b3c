// How long a weapon's shot may be under way, worked by hand from each class's steps, and how
// many of a turret's shots fly at once: its reload into that flight, at one speed, and one
// more for a stalled sender's catching-up tick.
#include <gtest/gtest.h>

#include <memory>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "net/ShotFlight.h"
#include "world/MemoryCatalogueMedia.h"

namespace {

TEST(ShotFlight, AShotFliesItsClassesStepsOverItsReachAndATurretKeepsItsReloadIntoThem) {
    // Every weapon: 100 px of reach, a travel field of 12 (22 ms a step at the slowest speed,
    // 2 at the fastest), a reload field of 500 (490 ms at the fastest, 510 at the slowest).
    // Flights at the slowest speed; a step that waits a period takes it and 32 ms more.
    const struct {
        WeaponClass kind;
        int launchFrames;
        int32_t reloadField;
        int32_t slowestMs, fastestMs;
        int inFlight;
    } rows[] = {
        // 1000 or 500 ms of countdown and two ticks.
        {WeaponClass::Beam, 0, 500, 1064, 1064, 4},
        {WeaponClass::Cannon, 0, 500, 564, 564, 3},
        {WeaponClass::Cannon, 0, 1800, 564, 564, 2},
        {WeaponClass::Spin, 0, 500, 564, 564, 3},
        // 260 px (the reach and a large target's half) at 1.41421 px a step: 184 steps, three
        // delays more for the first gathering and the last part-step, and a tick.
        {WeaponClass::DirectShot, 0, 500, 187 * 22 + 32, 187 * 2 + 32, 9 + 1},
        {WeaponClass::CyclingDirectShot, 0, 500, 187 * 22 + 32, 187 * 2 + 32, 9 + 1},
        // Five launch frames of 100 ms first; a homing missile flies no further.
        {WeaponClass::Missile, 5, 500, 5 * 132 + 187 * 22 + 32, 5 * 132 + 187 * 2 + 32, 11},
        {WeaponClass::HomingMissile, 0, 500, 187 * 22 + 32, 187 * 2 + 32, 10},
        {WeaponClass::RocketShot, 5, 500, 5 * 132 + 187 * 22 + 32, 5 * 132 + 187 * 2 + 32, 11},
        // 26 hops of 10 px, 50 ms each, and the strike's tick.
        {WeaponClass::Arc, 0, 500, 26 * 82 + 32, 26 * 82 + 32, 5 + 1},
        {WeaponClass::Arc, 0, 2000, 26 * 82 + 32, 26 * 82 + 32, 2 + 1},
        // Five frames of 100 ms; one without pictures.
        {WeaponClass::Burst, 5, 500, 5 * 132, 5 * 132, 3},
        {WeaponClass::Burst, 0, 500, 132, 132, 2},
        // 22 px of reach every 50 ms until past 100 px: five steps, and the strike's tick.
        {WeaponClass::Pulse, 0, 500, 5 * 82 + 32, 5 * 82 + 32, 2},
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
        EXPECT_EQ(ShotFlight::MostInFlight(&weapon), row.inFlight);
    }
    SetCatalogueMedia(nullptr);
    // A mount that is no weapon fires nothing.
    EXPECT_EQ(ShotFlight::LongestMs(nullptr), 0);
    EXPECT_EQ(ShotFlight::MostInFlight(nullptr), 1);
}

}  // namespace
