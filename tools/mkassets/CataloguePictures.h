#pragma once
// The picture packs the template catalogue names: vehicles by facing, drives with their
// running frames, weapons and hardpoint items, the design-screen pictures, effects, shots,
// carrier and relay sequences, the factory folded and unfolded, wrecks and the catalogue's
// fixed packs. Each pack is described by a request; the catalogue's records say which.
#include <cstdint>
#include <vector>

#include "UnitPainter.h"

namespace mkassets {

class AssetPalette;

namespace CataloguePictures {

constexpr int kFacings = 16;
constexpr int kRunningFrames = 4;  // frame 0 standing, 1 to 3 while moving
constexpr int kWorkFrames = 25;    // the work animations of the fixed role records
constexpr int kDeployFrames = 4;

enum class Body : uint8_t {
    Scout,
    Tank,
    Assault,
    Heavy,
    Miner,
    Scavenger,
    Repair,
    Capture,
    Gunship,
    Bomber,
    Carrier,
    Relay,
    Factory
};
enum class Running : uint8_t { Wheels, Tracks, Hover, Skimmer, Legs, Pads };
enum class Arm : uint8_t { Gun, Twin, Cannon, Missile, Beam, Rocket, Spinner, Pulse };
enum class Device : uint8_t { Sensor, Shield, Cloak };
enum class Blast : uint8_t { Fire, Spark, Energy, Smoke, Huge };
enum class Projectile : uint8_t { Bullet, Shell, Bolt, Missile };

enum class PackKind : uint8_t {
    BodyMap,        // column set, one frame per facing (variant: Body)
    BodyPanel,      // streamed set: the design-screen picture
    RunningMap,     // grid: a row per facing, the running frames across (variant: Running)
    RunningPanel,   // streamed set: the running frames at the design-screen facing
    ArmMap,         // column set per facing (variant: Arm, size: mount size)
    ArmPanel,       // streamed set
    DeviceMap,      // column set per facing (variant: Device)
    DevicePanel,    // streamed set
    PanelBitmap,    // a single picture: the part's design-screen icon (variant, size as above;
                    // frames 0 for an Arm, 1 for a Device)
    ShieldGlow,     // row set: the defence item's shield flash
    Explosion,      // grid: a row per frame (variant: Blast, frames)
    Shot,           // grid: a row per facing, frames across (variant: Projectile, frames)
    FiringFlash,    // grid: a row per facing, the flash across (variant: Blast, frames)
    CarrierDeck,    // grid: unfold, ready, transfer and overlay sequences
    RelayDeployed,  // grid: the standing relay, then its deploy frames (variant: Body)
    RelayUnder,     // grid: the ground under the deploy animation
    RelayPad,       // column set per facing: the ground under the relay
    FactoryFolded,  // column set per facing
    FactoryPanel,   // column set
    FactoryPieces,  // grid: four wreck pieces, one per row
    FactoryBody,    // row set: the unfolding, the open factory last
    FactoryDoor,    // row set: the door opening
    Wreck,          // column set: a burnt-out hull, salvaged step by step (variant: Body)
    WorkGrid,       // grid: a row per working facing, the work frames across (variant: Body)
    SmokeGrid,      // grid: two rows of smoke
    Artifact,       // grid: six rows
    OreDeposit,     // row set
    OreField,       // row set
    LevelBar,       // column set
    LevelMeter,     // column set
};

struct PackRequest {
    PackKind kind = PackKind::BodyMap;
    int variant = 0;
    char clan = 'X';
    int size = 0;  // mount size, hull size class, or a relay's structure code
    int frames = 1;
};

std::vector<uint8_t> MakePack(const PackRequest& request, const AssetPalette& palette);

// Geometry the catalogue's offset tables are written from.
int BodyBox(Body body);
int RunningBox(int sizeClass);
int ArmBox(int mountSize);
constexpr int kDeviceBox = 24;
// The open factory's box, and where the game draws its body and door frames from the factory's
// position (the catalogue's building records carry these offsets).
constexpr int kFactoryBox = 128;
struct PixelOffset {
    int x = 0, y = 0;
};
constexpr PixelOffset kFactoryBodyOffset{0, 0};
constexpr PixelOffset kFactoryDoorOffset{0, 44};
constexpr int kPanelScale = 2;
constexpr int kPanelFacing = 14;
// Parts' panel pictures face right and stand lifted in their frame: nothing of them lies more
// than kPartPictureFloor rows below the frame's centre, so the unit panel's name under a part's
// point (from 6 rows below it) stays clear of the part.
constexpr int kPartPanelFacing = 8;
constexpr int kPartPictureFloor = 4;
// The unit panel's picture box, corners inclusive, and its layout: the hull, nose right, across
// the band at the top, the parts in up to two rows of two under it. A name is written from 6 to
// 14 rows below its part's point; a point left of x 62 gets its name ending 13 pixels right of
// it, any other its name starting 10 pixels left of it. So the left column's names end at x 57
// and the right column's start at x 66: two names of up to kPanelNameLength characters share a
// row with a gap between them.
// A chassis of up to two hardpoints has one row, and the whole stands lower by kOneRowDrop, so
// that it fills the box evenly; the hull of a body kind that has a chassis with more than two
// stands at the top.
constexpr int kUnitBoxLeft = 9, kUnitBoxTop = 112, kUnitBoxRight = 116, kUnitBoxBottom = 213;
constexpr int kHullBandTop = 114, kHullBandBottom = 163;
constexpr int kOneRowDrop = 18;
constexpr int kPanelNameLength = 8;
// Point `index` of `count` hardpoints in the unit panel.
UnitPainter::Offset UnitPanelPoint(int count, int index);
// Hardpoint `index` of `count` on a body, in the unit's frame.
UnitPainter::Offset MountPoint(Body body, int count, int index);
// The muzzle of a weapon, in the weapon's frame.
UnitPainter::Offset MuzzlePoint(Arm arm, int mountSize);
// A body nose right, as big as fits the unit panel's hull band (lowered for a one-row body):
// the unit panel's icon, on a canvas of the whole screen.
Canvas BodyIcon(Body body, bool oneRow, const AssetPalette& palette);

}  // namespace CataloguePictures

}  // namespace mkassets
